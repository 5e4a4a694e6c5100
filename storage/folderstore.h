#pragma once

#include "storage/folderindex.h"
#include "storage/savefolder.h"

#include <functional>
#include <memory>

// The save folder on disk: the invoice files in their year folders, the
// payments file, the reminders beside their invoices and the customer
// register, as earlier versions keep them, with an index of them
// (FolderIndex) brought up to the files before every answer: a year folder
// whose modification time changed is listed again, and so is every folder
// for the whole ledger; a file is read again when its size or modification
// time differs from the index's, or it was completed with other defaults.
class FolderStore : public SaveFolder
{
public:
    FolderStore(const QString &location, const BillerDetails &biller, const InvoiceDefaults &defaults);
    ~FolderStore() override;

    QString location() const override;
    void setSettings(const BillerDetails &biller, const InvoiceDefaults &defaults) override;
    const BillerDetails &biller() const override { return m_biller; }

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
    // The year folders of the save folder and their modification times.
    QList<std::pair<QString, qint64>> yearFolders() const;
    // Every file of a year folder, the index brought up to them
    // (its time as indexed, -1 when it was not), in no order.
    // `into` takes them unless it is nullptr.
    void syncYear(const QString &year, qint64 folderModified, qint64 indexedModified, LedgerFiles *into);
    // The year folders added, removed or changed since the index listed them.
    void syncChangedFolders();
    // One file as it stands; nullopt when it is gone.
    std::optional<LedgerFile> syncFile(const QString &year, const QString &name);
    IndexedFile readFile(const QString &year, const QString &name, const FileState &state) const;
    bool fresh(const IndexedFile &indexed, const FileState &state) const;
    // The files one invoice's row is counted from: the invoices, their
    // credit notes and the invoices they credit, and their reminders.
    QList<LedgerFile> filesAround(const QList<LedgerFile> &invoices);
    std::optional<LedgerRow> rowAmong(const QList<LedgerFile> &invoices, const QString &path, const QDate &today);
    // The invoice file's year folder and name, when it lies in a year folder of this save folder.
    std::optional<std::pair<QString, QString>> placeOf(const QString &path) const;
    // What a write of this program changed in a year folder is indexed.
    void indexWritten(const QString &year, std::optional<qint64> folderBefore, const QStringList &names);
    FolderIndex &index();
    // Runs a question on the index, once more on a rebuilt one when it fails.
    template <typename Answer>
    Answer withIndex(const std::function<Answer()> &question);

    QString m_location;
    BillerDetails m_biller;
    InvoiceDefaults m_defaults;
    std::unique_ptr<FolderIndex> m_index;
    QString m_defaultsKey;
};
