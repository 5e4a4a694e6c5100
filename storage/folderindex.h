#pragma once

#include "storage/ledger.h"
#include "storage/payments.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <functional>
#include <optional>
#include <stdexcept>

// The save folder's index: one SQLite database beside the year folders
// holding, for each file of them, its size and modification time and what
// the ledger reads of it (LedgerFile), and the payments file likewise. It
// answers nothing by itself: the files stay the truth and FolderStore
// compares them with it before every answer. A database that is not one,
// of another schema or failing its check is removed and built again; one
// that cannot be written is kept in memory instead.

/// The index file's name in the save folder: no year folder, not "*.csv",
/// so earlier versions and "Nouda lasku" pass it by.
inline constexpr QStringView kIndexFileName = u"Laskutus-hakemisto.sqlite";

/// A file's size and modification time: when both are as indexed, the file
/// is taken to hold what was read of it.
struct FileState
{
    qint64 size = -1;
    qint64 modified = -1;
    friend bool operator==(const FileState &, const FileState &) = default;
};

/// The state of the file at path; nullopt when there is none.
std::optional<FileState> FileStateOf(const QString &path);

/// The "*.csv" files of a folder as QDir lists them, with their states, in
/// no order: one directory read and one stat a file. Without `withStates`
/// the names alone (states left unknown): no stat of a file whose directory
/// entry says what it is.
QList<std::pair<QString, FileState>> InvoiceFolderFiles(const QString &folder, bool withStates = true);

/// The modification time of the folder at path, which changes as a file is
/// added to it, removed or renamed; nullopt when there is no folder.
std::optional<qint64> FolderModifiedOf(const QString &path);

/// A file as the index holds it.
struct IndexedFile
{
    QString name;
    FileState state;
    /// DefaultsKey of the defaults the row was read with, when it uses them.
    QString defaultsKey;
    LedgerFile file;
};

/// A query or write of the index failed: the index is rebuilt.
class IndexError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class FolderIndex
{
public:
    /// Opens the index of the save folder (ending with a separator).
    explicit FolderIndex(const QString &saveFolder);
    ~FolderIndex();
    FolderIndex(const FolderIndex &) = delete;
    FolderIndex &operator=(const FolderIndex &) = delete;

    /// Removes what the index holds and starts it again, in memory when the
    /// folder's file cannot be made.
    void rebuild();
    /// Checks the whole database once (SQLite's quick_check), as a question
    /// reading all of it does; throws IndexError when it fails. A question
    /// of one invoice reads a few pages, whose damage SQLite reports itself.
    void verify();
    /// Whether the index lives in the save folder (not only in memory).
    bool onDisk() const { return m_onDisk; }

    /// A transaction that writes: another copy of the program waits for it.
    void begin();
    void commit();
    void rollback();

    /// The modification times of the year folders when last listed.
    QHash<QString, qint64> folderTimes();
    void setFolderTime(const QString &year, qint64 modified);
    /// Forgets a year folder and its files.
    void removeFolder(const QString &year);

    /// Gives each file of a year folder the index holds to `take`; without
    /// `withData`, its name, state and kind alone.
    void forEachFileOf(const QString &year, const QString &saveFolder,
                       const std::function<void(IndexedFile &&)> &take, bool withData = true);
    void putFile(const QString &year, const IndexedFile &file);
    void removeFile(const QString &year, const QString &name);

    /// How many invoices the index holds.
    qsizetype invoiceCount();
    /// Names of the invoices of the year and number; the credit notes of it;
    /// its reminders (each as year and name).
    QList<std::pair<QString, QString>> invoicesNamed(const QString &year, const QString &number);
    QList<std::pair<QString, QString>> creditNotesOf(const QString &year, const QString &number);
    QList<std::pair<QString, QString>> remindersOf(const QString &year, const QString &number);
    /// The credit notes of other years crediting invoices of the year.
    QList<std::pair<QString, QString>> creditNotesOfYear(const QString &year);
    std::optional<IndexedFile> file(const QString &year, const QString &name, const QString &saveFolder);

    /// The payments file's state as indexed; nullopt when none was.
    std::optional<FileState> paymentsState();
    void putPayments(const QList<Payment> &payments, const FileState &state);
    QList<Payment> paymentsOf(const QString &year, const QString &number);

private:
    void open();
    bool usable();
    void create();
    QSqlQuery run(const QString &sql, const QVariantList &values = {});

    QString m_path;
    QString m_connection;
    bool m_onDisk = false;
    bool m_verified = false;
};

/// A key naming the defaults, to tell whether a row was read with today's.
QString DefaultsKey(const InvoiceDefaults &defaults);
