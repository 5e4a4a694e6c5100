#pragma once

#include "invoice/invoicerecord.h"
#include "invoice/reminder.h"
#include "storage/ledger.h"
#include "storage/payments.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The save folder: every saved invoice, the customer register, the payments
// and the reminders, asked and written through one interface. The window,
// the "Laskut" window and the command line hold a SaveFolder and open no
// file of it themselves, so that another kind of storage (a database server
// shared by a team) can stand behind the same questions.
//
// Amounts are whole cents. Every answer is of the data as it stands at the
// question: what was changed by hand or by another copy of the program
// since the last one is seen. Failures throw CommandError (or its
// FileCreateError), in Finnish.

/// One invoice saved: where it went and, when an invoice of the same number
/// was replaced, where its earlier version is kept.
struct SavedInvoice
{
    QString path;
    QString earlierVersion;
};

class SaveFolder
{
public:
    virtual ~SaveFolder();

    /// Where the data is, as the user chose it: for a folder its path,
    /// ending with a separator.
    virtual QString location() const = 0;

    /// Today's biller details and defaults: an invoice whose file lacks its
    /// VAT mode or terms (files of earlier versions) is read with them.
    virtual void setSettings(const BillerDetails &biller, const InvoiceDefaults &defaults) = 0;
    /// Today's biller details, as last given.
    virtual const BillerDetails &biller() const = 0;

    // --- Invoices ---------------------------------------------------------

    /// The path an invoice of the year folder and number is saved under,
    /// whether or not it is saved.
    virtual QString invoicePath(const QString &year, const QString &number) const = 0;
    /// Whether an invoice of that year and number is saved.
    virtual bool hasInvoice(const QString &year, const QString &number) const = 0;
    /// The saved invoice as a complete record (ReadInvoiceRecord) with
    /// today's biller details. Throws when it is missing or no invoice.
    virtual InvoiceRecord readInvoice(const QString &year, const QString &number) = 0;
    virtual InvoiceRecord readInvoiceFile(const QString &path) = 0;
    /// Saves the invoice in its year folder (InvoiceYearOfDate of its date),
    /// the invoice first and then what the folder knows of it; an invoice of
    /// the same number saved before is kept as its earlier version
    /// (KeepEarlierVersion) unless `replaces` names that very file (the
    /// invoice opened and saved again). Nothing is lost when it fails.
    virtual SavedInvoice saveInvoice(const InvoiceData &invoice, const QString &replaces = QString()) = 0;

    // --- The ledger -------------------------------------------------------

    /// Every saved invoice, as ReadLedger answers it; with `year`, of that
    /// year folder alone (its credit notes counted from every year).
    virtual Ledger ledger(const QDate &today, const QString &year = QString()) = 0;
    /// The ledger row of one invoice, its credit notes of any year, payments
    /// and reminders counted in; nullopt when it is not saved. Costs the
    /// same however many invoices the folder holds.
    virtual std::optional<LedgerRow> ledgerRow(const QString &year, const QString &number, const QDate &today) = 0;
    /// The ledger row of the invoice file at `path`; nullopt when the file is
    /// no invoice of a year folder of this save folder.
    virtual std::optional<LedgerRow> ledgerRowOfFile(const QString &path, const QDate &today) = 0;
    /// The credit notes of an invoice, of any year, in invoice order.
    virtual QList<LedgerRow> creditNotesOf(const QString &year, const QString &number, const QDate &today) = 0;
    /// The year folders holding invoices, in order.
    virtual QStringList years() = 0;
    /// Files of the year folders that are no invoices or reminders, and why.
    virtual QList<LedgerSkippedFile> skippedFiles(const QString &year = QString()) = 0;

    // --- Payments ---------------------------------------------------------

    /// Where the payments are kept (PaymentsFilePath): no invoice to open.
    virtual QString paymentsPath() const = 0;
    /// The payments file, in file order (ReadPaymentsFile).
    virtual QList<Payment> payments() = 0;
    /// The payments given to one invoice, in file order.
    virtual QList<Payment> paymentsOf(const QString &year, const QString &number) = 0;
    /// Replaces every payment, whole or not at all (WritePaymentsFile).
    virtual void writePayments(const QList<Payment> &payments) = 0;

    // --- Reminders --------------------------------------------------------

    /// SavedReminderCount of the invoice.
    virtual int savedReminderCount(const QString &year, const QString &number) = 0;
    /// The reminders saved of the invoice, by number.
    virtual QList<LedgerReminder> reminders(const QString &year, const QString &number) = 0;
    /// Saves the reminder beside its invoice and returns its path. Throws
    /// CommandError when a reminder of that number is saved already.
    virtual QString saveReminder(const Reminder &reminder) = 0;

    // --- The customer register --------------------------------------------

    /// Where the register is kept (RegisterFilePath).
    virtual QString registerPath() const = 0;
    /// Whether anything is kept where the register goes: a register that
    /// cannot be read is one too, never written over.
    virtual bool hasRegister() const = 0;
    /// The register file's bytes as CustomerTable::readFile gives them. A
    /// large register is read on a worker thread while the folder answers
    /// other questions: this reads the register alone.
    virtual QByteArray readRegister() = 0;
    /// The register's rows of cells (RegisterColumnCount each); none when
    /// there is no register.
    virtual QList<QStringList> registerRows() = 0;
    /// Replaces the register with the bytes, whole or not at all.
    virtual void writeRegister(const QByteArray &bytes) = 0;
};

/// The save folder at `location` (a folder path), its answers read with the
/// biller details and defaults. The folder keeps an index of its files
/// beside them when it can be written; the files stay the truth.
std::unique_ptr<SaveFolder> OpenSaveFolder(const QString &location, const BillerDetails &biller,
                                           const InvoiceDefaults &defaults);

/// The reminder of the saved invoice file at `path` on `date`: its ledger
/// row (credit notes of any year), its payments and the reminders saved of
/// it, without reading any other invoice; its payment codes are added
/// where it is shown (WithPaymentCodes). Throws CommandError, in Finnish,
/// when the file is not an invoice of the save folder's year folders, and
/// as MakeReminder throws.
Reminder SavedInvoiceReminder(SaveFolder &folder, const QString &path, const QDate &date,
                              std::optional<bool> business, const ReminderSettings &settings);
