#pragma once

#include "storage/savefolder.h"

// The save folder on disk: the invoice files in their year folders, the
// payments file, the reminders beside their invoices and the customer
// register, as earlier versions keep them.
class FolderStore : public SaveFolder
{
public:
    FolderStore(const QString &location, const BillerDetails &biller, const InvoiceDefaults &defaults);
    ~FolderStore() override;

    QString location() const override;
    void setSettings(const BillerDetails &biller, const InvoiceDefaults &defaults) override;

    QString invoicePath(const QString &year, const QString &number) const override;
    bool hasInvoice(const QString &year, const QString &number) const override;
    InvoiceRecord readInvoice(const QString &year, const QString &number) override;
    InvoiceRecord readInvoiceFile(const QString &path) override;
    SavedInvoice saveInvoice(const InvoiceData &invoice, const QString &replaces = QString()) override;

    Ledger ledger(const QDate &today, const QString &year = QString()) override;
    std::optional<LedgerRow> ledgerRow(const QString &year, const QString &number, const QDate &today) override;
    std::optional<LedgerRow> ledgerRowOfFile(const QString &path, const QDate &today) override;
    QList<LedgerRow> creditNotesOf(const QString &year, const QString &number, const QDate &today) override;
    QStringList years() override;
    QList<LedgerSkippedFile> skippedFiles(const QString &year = QString()) override;

    QString paymentsPath() const override;
    QList<Payment> payments() override;
    QList<Payment> paymentsOf(const QString &year, const QString &number) override;
    void writePayments(const QList<Payment> &payments) override;

    int savedReminderCount(const QString &year, const QString &number) override;
    QList<LedgerReminder> reminders(const QString &year, const QString &number) override;
    QString saveReminder(const Reminder &reminder) override;

    QString registerPath() const override;
    bool hasRegister() const override;
    QByteArray readRegister() override;
    QList<QStringList> registerRows() override;
    void writeRegister(const QByteArray &bytes) override;

private:
    QString m_location;
    BillerDetails m_biller;
    InvoiceDefaults m_defaults;
};
