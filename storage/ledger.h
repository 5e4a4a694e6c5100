#pragma once

#include "invoice/invoicerecord.h"
#include "invoice/penaltyinterest.h"
#include "storage/paymentimport.h"
#include "storage/payments.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The invoice ledger: every invoice saved in the save folder's year folders,
// one row each, with what the payments file says has been paid on it.
// Amounts are whole cents.

/// Where an invoice stands with its payments.
enum class LedgerStatus { Open, Paid, PartlyPaid, Overdue, Credited, Refund };

/// The status as the list shows it: "avoin", "maksettu", "osittain
/// maksettu", "erääntynyt", "hyvitetty", "palautettava".
QString LedgerStatusText(LedgerStatus status);

/// The status of an invoice of which `owedCents` is to be paid with this
/// much paid: more paid than owed is money owed back to the customer
/// ("palautettava"); nothing left of a credit note or of an invoice its
/// credit notes take back whole (`credited`) is "hyvitetty", of any other
/// "maksettu"; something left open is overdue when the due date lies before
/// today, else partly paid or open.
LedgerStatus LedgerStatusOf(qint64 owedCents, qint64 paidCents, bool credited, const QDate &dueDate,
                            const QDate &today);

/// Columns of the ledger as the window shows them, left to right.
enum LedgerColumn : int {
    LedgerNumberColumn,
    LedgerDateColumn,
    LedgerCustomerColumn,
    LedgerDueDateColumn,
    LedgerTotalColumn,
    /// What the latest reminder claims besides the invoice ("Perintä").
    LedgerCollectionColumn,
    LedgerPaidColumn,
    LedgerOpenColumn,
    LedgerStatusColumn,
    LedgerYearColumn,
    LedgerRemindedColumn,
    LedgerColumnCount
};

/// The heading of a ledger column.
QString LedgerColumnTitle(LedgerColumn column);

/// A payment reminder saved of an invoice (ReminderFilePath).
struct LedgerReminder
{
    QString path;
    int number = 1;
    QDate date;
    qint64 totalCents = 0;
    /// Its penalty interest and fee: what it claims besides the invoice.
    qint64 collectionCents = 0;
};

/// A reminder as the ledger lists it under its invoice:
/// "Maksumuistutus 1, 7.12.2026: 80,13 €".
QString LedgerReminderText(const LedgerReminder &reminder);

/// One saved invoice in the ledger.
struct LedgerRow
{
    /// The year folder's name and the invoice file.
    QString year;
    QString path;
    QString number;
    /// The invoice date and due date as the invoice holds them, and as dates
    /// (invalid when the text is none).
    QString dateText;
    QDate date;
    QString dueDateText;
    QDate dueDate;
    QString customer;
    /// The customer's business ID on the invoice; empty for a consumer.
    QString businessId;
    QString reference;
    qint64 totalCents = 0;
    qint64 paidCents = 0;
    /// Of a credit note, the year and number of the invoice it credits.
    QString creditedYear;
    QString creditedNumber;
    /// What credit notes change of what is to be paid (ApplyCredits): on a
    /// credited invoice the sum of their totals (below zero), on a credit note
    /// whose invoice is in the ledger its own total taken back (above zero).
    qint64 creditCents = 0;
    /// The penalty interest and fee of the latest reminder: owed once the
    /// reminder is made.
    qint64 collectionCents = 0;
    LedgerStatus status = LedgerStatus::Open;
    /// The leading whole number of the number and the year, for their order.
    qint64 numberValue = -1;
    qint64 yearValue = -1;
    /// NameSortKey of the customer.
    QString customerKey;
    /// Number, customer and reference case folded, for the search box.
    QString searchText;

    /// The reminders saved of the invoice, by their number.
    QList<LedgerReminder> reminders;

    /// What is to be paid: the total with the credit notes and the latest
    /// reminder's interest and fee.
    qint64 owedCents() const { return totalCents + creditCents + collectionCents; }
    /// What is left to pay; below zero, what is owed back to the customer.
    qint64 openCents() const { return owedCents() - paidCents; }
    /// The date of the latest reminder; invalid without one.
    QDate lastReminded() const;
};

/// The date of the row's latest reminder as the ledger shows it; empty
/// without one.
QString LedgerRemindedText(const LedgerRow &row);

/// A file in a year folder that is no invoice of the ledger, and why.
struct LedgerSkippedFile
{
    /// The year folder's name.
    QString year;
    QString path;
    QString reason;
};

struct Ledger
{
    /// In invoice order: year, then number (LedgerInvoiceOrder).
    QList<LedgerRow> rows;
    QList<LedgerSkippedFile> skipped;
    /// The payments file as read, in file order.
    QList<Payment> payments;
};

/// Whether a comes before b in invoice order: the year, then the invoice
/// number, as numbers, then as texts.
bool LedgerInvoiceOrder(const LedgerRow &a, const LedgerRow &b);

/// Compares two rows by a column as the window sorts it: numbers and
/// amounts as numbers, dates as dates, customers in the register's name
/// order; ties in invoice order. Negative, zero or positive.
int CompareLedgerRows(const LedgerRow &a, const LedgerRow &b, LedgerColumn column);

/// Whether a folder of the save folder is a year folder: its name all digits.
bool IsYearFolderName(QStringView name);

/// Whether an invoice file is a kept copy of a replaced invoice
/// (EarlierVersionPath), no invoice of the ledger.
bool IsEarlierVersionFile(const QString &path);

/// Sets each row's creditCents from the credit notes among the rows: a credit
/// note's total reduces what is to be paid on the invoice it credits, and is
/// then no amount of its own to be paid back.
void ApplyCredits(QList<LedgerRow> &rows);

/// Sets each row's paid amount, the sum of the matched payments of its year
/// and number, and its status on today by LedgerStatusOf of what is owed.
void ApplyPayments(QList<LedgerRow> &rows, const QList<Payment> &payments, const QDate &today);

/// What one file of a year folder is to the ledger.
enum class LedgerFileKind { Invoice, Reminder, Skipped, EarlierVersion };

/// One file of a year folder as the ledger reads it (ReadLedgerFile).
struct LedgerFile
{
    LedgerFileKind kind = LedgerFileKind::Skipped;
    /// Of an invoice: its row, before credit notes, payments and reminders.
    LedgerRow row;
    /// Of a reminder: its year folder, path and the number of its invoice,
    /// and the reminder as its invoice's row lists it.
    QString year;
    QString path;
    QString remindedNumber;
    LedgerReminder reminder;
    /// Of a file skipped: why, in Finnish.
    QString reason;
    /// Whether the row was completed with the defaults (a file of an earlier
    /// version lacking its VAT mode or terms): it changes with them.
    bool usesDefaults = false;
};

/// Reads the file at `path` of year folder `year` as ReadLedger reads each.
LedgerFile ReadLedgerFile(const QString &year, const QString &path, const BillerDetails &biller,
                          const InvoiceDefaults &defaults);

/// The ledger of the files read (in year folder and file order) and the
/// payments file's payments, as ReadLedger gives it; with `year`, the rows and
/// files of that year alone, credited as the files given credit them.
Ledger LedgerOfFiles(QList<LedgerFile> files, QList<Payment> payments, const QDate &today,
                     const QString &year = QString());

/// Files read for the ledger, the invoices' rows apart from the others: a
/// large ledger is gathered without a second copy of its rows.
struct LedgerFiles
{
    QList<LedgerRow> rows;
    QList<LedgerFile> others;
    void add(LedgerFile &&file);
};

Ledger LedgerOfFiles(LedgerFiles files, QList<Payment> payments, const QDate &today,
                     const QString &year = QString());

/// The sums of the rows as the foot of "Laskut" shows them: each row's own
/// total, what was paid and what is left open (LedgerRow::openCents, credit
/// notes and the latest reminder counted), and the rows counted.
struct LedgerSums
{
    qsizetype count = 0;
    qint64 totalCents = 0;
    qint64 paidCents = 0;
    qint64 openCents = 0;
    friend bool operator==(const LedgerSums &, const LedgerSums &) = default;

    /// Counts one row more.
    void add(const LedgerRow &row);
};

LedgerSums LedgerSumsOf(const QList<LedgerRow> &rows);

/// Reads every invoice file of the save folder's year folders as
/// ReadInvoiceRecord reads it, with the payments of the payments file, and
/// each invoice's reminders saved beside it; files that are no invoices,
/// invoices whose total cannot be counted, reminders that do not read and
/// reminders of no invoice of the ledger are left out and reported in
/// `skipped`, in Finnish. With `year`, the rows and files of that year
/// folder alone, credited as the whole ledger credits them (a credit note
/// may be of a later year than its invoice). Throws what ReadPaymentsFile
/// throws.
Ledger ReadLedger(const QString &dataDir, const BillerDetails &biller, const InvoiceDefaults &defaults,
                  const QDate &today, const QString &year = QString());

/// The sums as one line: "4 laskua: summa 515,50 €, maksettu 40,00 €, avoinna 475,50 €".
QString LedgerSumsText(const LedgerSums &sums);

/// The years of the rows, each once, in order.
QStringList LedgerYears(const QList<LedgerRow> &rows);

/// What the search box asks for: a text found in the number, customer or
/// reference, or an amount equal to the total or the open amount.
struct LedgerFilter
{
    QString text;
    std::optional<qint64> cents;
    QString year;
};

/// The search of a typed text and a chosen year (empty for every year).
/// An amount may be typed with a decimal comma or point: "125,50", "125.50".
LedgerFilter LedgerFilterOf(QStringView typed, const QString &year);

bool LedgerRowMatches(const LedgerRow &row, const LedgerFilter &filter);

/// An amount as a person types it: ParsePaymentAmount, a point taken as the
/// decimal comma when the text has no comma.
std::optional<qint64> ParseTypedAmount(QStringView text);

/// The list of `laskutus --list`: a heading line, then one line an invoice,
/// tab separated: year, number, date, customer, reference, due date, total,
/// paid, open, status, the date of the latest reminder (empty without one),
/// what the latest reminder claims besides the invoice ("Perintä");
/// amounts with a decimal comma; lines end with "\n".
QString LedgerListText(const QList<LedgerRow> &rows);

/// The ledger's invoices as payments are matched to them.
QList<PayableInvoice> PayableInvoices(const QList<LedgerRow> &rows);

/// The payment the user marks by hand on the row's invoice.
Payment ManualPayment(const LedgerRow &row, const QDate &date, qint64 cents);

/// The indexes of the payments matched to the row's invoice, in file order.
QList<qsizetype> PaymentsOfRow(const QList<Payment> &payments, const LedgerRow &row);

/// A row of the invoice typed as "57" or "2026/57". Throws CommandError, in
/// Finnish, when no invoice or more than one (of several years) has the
/// number.
qsizetype LedgerRowOfTyped(const QList<LedgerRow> &rows, QStringView typed);

/// Money received that the ledger counts on no invoice: a payment whose
/// reference matched none (or whose invoice is no longer in the ledger), or
/// what an invoice was paid beyond what is owed on it.
struct UnallocatedPayment
{
    /// The payment's index in the payments file; of an overpayment, the
    /// overpaid invoice's latest payment.
    qsizetype payment = -1;
    /// Of an overpayment, the overpaid invoice's row; -1 for a payment.
    qsizetype overpaidRow = -1;
    qint64 cents = 0;
};

/// The payments matched to no invoice of the rows, in file order, then the
/// overpayments of the rows: of an invoice with more paid than owed, the
/// excess, as much as was paid on it.
QList<UnallocatedPayment> UnallocatedPayments(const QList<LedgerRow> &rows, const QList<Payment> &payments);

/// The columns "Kohdistamattomat suoritukset" lists, left to right.
enum UnallocatedColumn : int {
    UnallocatedDateColumn,
    UnallocatedAmountColumn,
    UnallocatedReferenceColumn,
    UnallocatedPayerColumn,
    UnallocatedSourceColumn,
    /// What it is: of no invoice, or whose overpayment.
    UnallocatedNoteColumn,
    UnallocatedColumnCount
};

/// The headings of the columns, and the cells of one.
QStringList UnallocatedPaymentHeadings();
QStringList UnallocatedPaymentCells(const UnallocatedPayment &unallocated, const QList<LedgerRow> &rows,
                                    const QList<Payment> &payments);

/// The payments file with the unallocated money given to the invoice of
/// `to`: a payment is matched to it; an overpayment moves as two payments
/// marked by hand on the day of the overpaid invoice's latest payment, the
/// excess taken off that invoice and put on `to`. Throws CommandError, in
/// Finnish, when `to` is the overpaid invoice itself or the payment is no
/// longer in `payments`.
QList<Payment> AllocatedPayments(QList<Payment> payments, const Payment &payment,
                                 const UnallocatedPayment &unallocated, const QList<LedgerRow> &rows,
                                 const LedgerRow &to);

/// The payment as a payment of no invoice, kept as the bank reported it.
Payment UnallocatedOf(Payment payment);

/// The first half-year from the day after the due date to `until` whose
/// reference rate the table lacks; nullopt when it has every one.
std::optional<QDate> MissingReferenceRateHalfYear(const ReferenceRates &rates, const QDate &dueDate,
                                                  const QDate &until);
