#pragma once

#include "invoice/invoicerecord.h"
#include "invoice/penaltyinterest.h"
#include "invoice/payment.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

class IniSnapshot;

// Payment reminders ("MAKSUMUISTUTUS") of overdue invoices: the open amount,
// the penalty interest, the fee, the new total and due date with the giro
// form's payment codes, and the reminder's own small file beside the
// invoice, which stays as it was.

/// The reminder's settings in the biller section of the settings file, each
/// written only once the user changes it: the reference rates
/// (ReferenceRatesText), the fee ("5,00"), the fixed compensation of a
/// business customer (yes/no) and the reminder's payment term ("14 pv").
inline constexpr QStringView kReferenceRatesKey = u"Viitekorot";
inline constexpr QStringView kReminderFeeKey = u"Muistutusmaksu";
inline constexpr QStringView kFixedCompensationKey = u"Vakiokorvaus";
inline constexpr QStringView kReminderTermKey = u"Muistutusaika";

/// The fee when the settings name none, and the most a consumer is charged.
constexpr qint64 kDefaultReminderFeeCents = 500;
constexpr qint64 kConsumerReminderFeeCapCents = 500;
/// The fixed compensation a business customer may be charged once an invoice.
constexpr qint64 kFixedCompensationCents = 4000;
/// The reminder's payment term when the settings name none.
inline constexpr QStringView kDefaultReminderTerm = u"14 pv";
/// Days past the due date before a consumer may be reminded at a fee.
constexpr int kConsumerReminderDelayDays = 14;

/// What reminders take from the biller details.
struct ReminderSettings
{
    ReferenceRates referenceRates = PublishedReferenceRates();
    qint64 feeCents = kDefaultReminderFeeCents;
    bool fixedCompensation = false;
    /// Days are its first whole number, as with payment terms.
    QString term = kDefaultReminderTerm.toString();
};

/// The reminder settings of the settings file; a missing key gives its
/// default, a fee that is no amount 0,00. Throws what ParseReferenceRates
/// throws.
ReminderSettings ReadReminderSettings(const IniSnapshot &ini);

/// The fee as typed in the biller details ("5,00", "5"). Throws
/// CommandError, in Finnish, when it is no amount or is below zero.
qint64 ReminderFeeCents(QStringView text);

/// The reminder's payment term as typed, blanks trimmed. Throws
/// CommandError, in Finnish, when its first whole number, the days, is
/// missing or below one.
QString ReminderTermText(QStringView text);

/// What the caller decides for one reminder.
struct ReminderRequest
{
    /// The invoice's year folder.
    QString year;
    QDate date;
    /// Reminders of this invoice sent before this one.
    int earlierReminders = 0;
    /// Whether the customer is a business; by default an invoice with the
    /// customer's business ID is.
    std::optional<bool> business;
    /// What credit notes take back of the invoice (zero or below): it is no
    /// debt, so it bears no interest either.
    qint64 creditedCents = 0;
};

/// What the fee line charges.
enum class ReminderFeeKind { Fee, FixedCompensation };

/// The caption of the fee line: "Muistutusmaksu" or "Vakiokorvaus perintäkuluista".
QString ReminderFeeText(ReminderFeeKind kind);

/// A payment as a reminder lists it.
struct ReceivedPayment
{
    QDate date;
    qint64 cents = 0;
    friend bool operator==(const ReceivedPayment &, const ReceivedPayment &) = default;
};

/// One reminder, everything its page and giro form print.
struct Reminder
{
    /// 1 for an invoice's first reminder (file "-M1"), 2 for the next.
    int number = 1;
    QString year;
    QString invoiceNumber;
    QString invoiceDate;
    QDate dueDate;
    QString reference;
    qint64 originalCents = 0;
    /// What credit notes took back of it, zero or below.
    qint64 creditedCents = 0;
    /// The payments received on or before the reminder's date, by date.
    QList<ReceivedPayment> payments;
    qint64 paidCents = 0;
    qint64 openCents = 0;
    bool business = false;
    /// The invoice's own rate when it states one as a percentage.
    std::optional<int> statedRate;
    PenaltyInterest interest;
    ReminderFeeKind feeKind = ReminderFeeKind::Fee;
    qint64 feeCents = 0;
    /// Open amount, interest and fee.
    qint64 totalCents = 0;
    QDate date;
    QDate newDueDate;
    /// The bank barcode's content for the new total and due date with the
    /// original reference; empty when the invoice's reference or the
    /// biller's IBAN fails its check.
    QString bankBarcode;
    std::optional<QString> epcQrText;
    friend bool operator==(const Reminder &, const Reminder &) = default;
};

/// The reminder of the invoice on the request's date, with the invoice's
/// payments (PaymentsOfRow). Interest runs from the day after the due date
/// to the reminder's date (CountPenaltyInterest); the fee is the settings'
/// fee, at most kConsumerReminderFeeCapCents for a consumer, and for a
/// business customer the fixed compensation instead on an invoice's first
/// reminder when the settings say so. The new due date is the reminder's
/// date plus the settings' term. Throws CommandError, in Finnish, when the
/// invoice has no due date, is not overdue on the date, has nothing open,
/// when a consumer is reminded sooner than kConsumerReminderDelayDays after
/// the due date, when the term takes the new due date past the year 9999
/// or an amount is beyond what a reminder file holds (so that every
/// reminder made reads back from its file), and as CountPenaltyInterest
/// throws.
Reminder MakeReminder(const InvoiceRecord &record, const QList<Payment> &payments, const ReminderRequest &request,
                      const ReminderSettings &settings);

/// The reminder with its payment codes (bankBarcode, epcQrText) made from
/// its total, new due date and reference and the biller's account: what a
/// reminder read from its file needs before its giro form is printed. A
/// reference failing its check leaves them as they were.
Reminder WithPaymentCodes(Reminder reminder, const BillerDetails &biller);

/// A name with the mark of reminder `number`: "57" gives "57-M1". The
/// reminder's file and its PDF are named so.
QString ReminderFileStem(const QString &name, int number);

/// The reminder file's name in the invoice's year folder: "57-M1.csv".
QString ReminderFileName(const QString &invoiceNumber, int number);

/// The path of the invoice's reminder `number` in the save folder (which
/// ends with a separator).
QString ReminderFilePath(const QString &dataDir, const QString &year, const QString &invoiceNumber, int number);

/// Whether a file name is one a reminder is saved under ("57-M1.csv").
bool IsReminderFileName(QStringView name);

/// The reminders already saved of the invoice: 0 without one; else the
/// highest n whose "-Mn" file exists, counting from 1 without gaps.
int SavedReminderCount(const QString &dataDir, const QString &year, const QString &invoiceNumber);

/// The first cell of a reminder file.
inline constexpr QStringView kReminderFileMark = u"MAKSUMUISTUTUS";

/// The lines of a reminder file, in the grid line format: the head
/// (mark, reminder number, year, invoice number, invoice date, due date,
/// reference, reminder date, new due date, business yes/no, stated rate or
/// empty), the amounts (original, paid, open, interest, fee kind, fee,
/// total, and what credit notes took back when they did), one "maksu" line a payment (date, amount) and one "korko" line an
/// interest period (first and last day, open amount, reference rate, rate,
/// stated yes/no, days, days in year). The payment codes are not kept: they
/// follow from the amounts and the invoice.
QStringList ReminderFileLines(const Reminder &reminder);

/// The reminder the lines of a reminder file hold; nullopt when they are not
/// one. The payment codes are left empty (WithPaymentCodes).
std::optional<Reminder> ReadReminderFileLines(const QStringList &lines);

/// Writes the reminder's file, whole or not at all; throws what
/// WriteTextLines throws.
void WriteReminderFile(const QString &path, const Reminder &reminder);

/// Reads a reminder file. Throws what ReadTextLines throws, and
/// CommandError when the file is no reminder.
Reminder ReadReminderFile(const QString &path);
