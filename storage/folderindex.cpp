// The save folder's SQLite index: its schema, its checks and the rows of the
// files it knows.

#include "folderindex.h"

#include "storage/invoicefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

#include <atomic>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// Raised whenever the tables change; an index of another version is rebuilt.
constexpr int kSchemaVersion = 1;

const QString kFileColumns =
    u"name, size, modified, defaults, kind, reason, number, date_text, date_day, due_text, due_day, customer, "
    "business_id, reference, total, credited_year, credited_number, number_value, year_value, customer_key, "
    "search_text, reminded_number, reminder_number, reminder_day, reminder_total, reminder_collection"_s;

const QStringList kCreateTables = {
    u"CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT)"_s,
    u"CREATE TABLE folders (year TEXT PRIMARY KEY, modified INTEGER)"_s,
    u"CREATE TABLE files (year TEXT NOT NULL, name TEXT NOT NULL, size INTEGER, modified INTEGER, defaults TEXT, "
    "kind INTEGER, reason TEXT, number TEXT, date_text TEXT, date_day INTEGER, due_text TEXT, due_day INTEGER, "
    "customer TEXT, business_id TEXT, reference TEXT, total INTEGER, credited_year TEXT, credited_number TEXT, "
    "number_value INTEGER, year_value INTEGER, customer_key TEXT, search_text TEXT, reminded_number TEXT, "
    "reminder_number INTEGER, reminder_day INTEGER, reminder_total INTEGER, reminder_collection INTEGER, "
    "PRIMARY KEY (year, name))"_s,
    u"CREATE INDEX files_number ON files (year, number)"_s,
    u"CREATE INDEX files_credited ON files (credited_year, credited_number)"_s,
    u"CREATE INDEX files_reminded ON files (year, reminded_number)"_s,
    u"CREATE TABLE payments (position INTEGER PRIMARY KEY, year TEXT, number TEXT, day INTEGER, cents INTEGER, "
    "reference TEXT, payer TEXT, archive_id TEXT, source TEXT, file_entry TEXT)"_s,
    u"CREATE INDEX payments_invoice ON payments (year, number)"_s,
};

std::atomic<int> connectionCount{0};

QVariant dayOf(const QDate &date)
{
    return date.isValid() ? QVariant(date.toJulianDay()) : QVariant();
}

QDate dateOf(const QVariant &day)
{
    return day.isNull() ? QDate() : QDate::fromJulianDay(day.toLongLong());
}

void removeIndexFiles(const QString &path)
{
    for (const QString &suffix : {u""_s, u"-journal"_s, u"-wal"_s, u"-shm"_s})
        QFile::remove(path + suffix);
}

IndexedFile fileOfQuery(const QSqlQuery &query, const QString &year, const QString &yearFolder)
{
    IndexedFile indexed;
    indexed.name = query.value(0).toString();
    indexed.state = {query.value(1).toLongLong(), query.value(2).toLongLong()};
    indexed.defaultsKey = query.value(3).toString();
    LedgerFile &file = indexed.file;
    file.kind = LedgerFileKind(query.value(4).toInt());
    file.year = year;
    file.path = yearFolder + indexed.name;
    file.usesDefaults = !indexed.defaultsKey.isEmpty();
    switch (file.kind) {
    case LedgerFileKind::Skipped:
        file.reason = query.value(5).toString();
        break;
    case LedgerFileKind::Invoice: {
        LedgerRow &row = file.row;
        row.year = year;
        row.path = file.path;
        row.number = query.value(6).toString();
        row.dateText = query.value(7).toString();
        row.date = dateOf(query.value(8));
        row.dueDateText = query.value(9).toString();
        row.dueDate = dateOf(query.value(10));
        row.customer = query.value(11).toString();
        row.businessId = query.value(12).toString();
        row.reference = query.value(13).toString();
        row.totalCents = query.value(14).toLongLong();
        row.creditedYear = query.value(15).toString();
        row.creditedNumber = query.value(16).toString();
        row.numberValue = query.value(17).toLongLong();
        row.yearValue = query.value(18).toLongLong();
        row.customerKey = query.value(19).toString();
        row.searchText = query.value(20).toString();
        break;
    }
    case LedgerFileKind::Reminder:
        file.remindedNumber = query.value(21).toString();
        file.reminder = {file.path, query.value(22).toInt(), dateOf(query.value(23)), query.value(24).toLongLong(),
                         query.value(25).toLongLong()};
        break;
    case LedgerFileKind::EarlierVersion:
        break;
    }
    return indexed;
}

} // namespace

std::optional<FileState> FileStateOf(const QString &path)
{
    // One stat, the time to the nanosecond: a file rewritten within the
    // same second at the same size is still seen.
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return FileState{qint64(status.st_size), qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

std::optional<qint64> FolderModifiedOf(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return std::nullopt;
    return qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}

QString DefaultsKey(const InvoiceDefaults &defaults)
{
    return QStringList{YesNoText(defaults.unitPricesWithVat), YesNoText(defaults.rowTotalsWithVat), defaults.paymentTerms,
                       defaults.penaltyInterest, defaults.reminderTime}
        .join(u'\x1f');
}

FolderIndex::FolderIndex(const QString &saveFolder)
    : m_path(QDir(saveFolder).filePath(kIndexFileName.toString())),
      m_connection(u"laskutus-index-%1"_s.arg(connectionCount.fetch_add(1)))
{
    open();
}

FolderIndex::~FolderIndex()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

void FolderIndex::open()
{
    QSqlDatabase db = QSqlDatabase::contains(m_connection) ? QSqlDatabase::database(m_connection, false)
                                                           : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connection);
    const QFileInfo folder(QFileInfo(m_path).absolutePath());
    m_onDisk = folder.isDir() && folder.isWritable();
    if (m_onDisk) {
        db.setDatabaseName(m_path);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
        if (db.open() && usable())
            return;
        db.close();
        removeIndexFiles(m_path);
        if (db.open()) {
            try {
                create();
                return;
            } catch (const IndexError &) {
                db.close();
                removeIndexFiles(m_path);
            }
        }
    }
    // A folder that cannot be written is answered from its files alone.
    m_onDisk = false;
    db.setDatabaseName(u":memory:"_s);
    db.setConnectOptions(QString());
    if (!db.open())
        throw IndexError(db.lastError().text().toStdString());
    create();
}

bool FolderIndex::usable()
{
    try {
        QSqlQuery version = run(u"SELECT value FROM meta WHERE key = 'schema'"_s);
        if (!version.next() || version.value(0).toInt() != kSchemaVersion)
            return false;
        QSqlQuery check = run(u"PRAGMA quick_check"_s);
        return check.next() && check.value(0).toString() == u"ok"_s;
    } catch (const IndexError &) {
        return false;
    }
}

void FolderIndex::create()
{
    run(u"PRAGMA synchronous = NORMAL"_s);
    begin();
    for (const QString &sql : kCreateTables)
        run(sql);
    run(u"INSERT INTO meta (key, value) VALUES ('schema', ?)"_s, {kSchemaVersion});
    commit();
}

void FolderIndex::rebuild()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    if (m_onDisk)
        removeIndexFiles(m_path);
    open();
}

QSqlQuery FolderIndex::run(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw IndexError(query.lastError().text().toStdString());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw IndexError(query.lastError().text().toStdString());
    return query;
}

void FolderIndex::begin()
{
    run(u"BEGIN IMMEDIATE"_s);
}

void FolderIndex::commit()
{
    run(u"COMMIT"_s);
}

void FolderIndex::rollback()
{
    QSqlQuery(QSqlDatabase::database(m_connection, false)).exec(u"ROLLBACK"_s);
}

QHash<QString, qint64> FolderIndex::folderTimes()
{
    QHash<QString, qint64> times;
    QSqlQuery query = run(u"SELECT year, modified FROM folders"_s);
    while (query.next())
        times.insert(query.value(0).toString(), query.value(1).toLongLong());
    return times;
}

void FolderIndex::setFolderTime(const QString &year, qint64 modified)
{
    run(u"INSERT OR REPLACE INTO folders (year, modified) VALUES (?, ?)"_s, {year, modified});
}

void FolderIndex::removeFolder(const QString &year)
{
    run(u"DELETE FROM files WHERE year = ?"_s, {year});
    run(u"DELETE FROM folders WHERE year = ?"_s, {year});
}

QHash<QString, IndexedFile> FolderIndex::filesOf(const QString &year, const QString &saveFolder)
{
    const QString yearFolder = QDir(saveFolder).filePath(year) + u'/';
    QHash<QString, IndexedFile> files;
    QSqlQuery query = run(u"SELECT %1 FROM files WHERE year = ?"_s.arg(kFileColumns), {year});
    while (query.next()) {
        IndexedFile file = fileOfQuery(query, year, yearFolder);
        files.insert(file.name, std::move(file));
    }
    return files;
}

std::optional<IndexedFile> FolderIndex::file(const QString &year, const QString &name, const QString &saveFolder)
{
    QSqlQuery query = run(u"SELECT %1 FROM files WHERE year = ? AND name = ?"_s.arg(kFileColumns), {year, name});
    if (!query.next())
        return std::nullopt;
    return fileOfQuery(query, year, QDir(saveFolder).filePath(year) + u'/');
}

void FolderIndex::putFile(const QString &year, const IndexedFile &indexed)
{
    const LedgerFile &file = indexed.file;
    const LedgerRow &row = file.row;
    const bool invoice = file.kind == LedgerFileKind::Invoice;
    const bool reminder = file.kind == LedgerFileKind::Reminder;
    const QVariant none;
    run(u"INSERT OR REPLACE INTO files (year, %1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?)"_s.arg(kFileColumns),
        {year, indexed.name, indexed.state.size, indexed.state.modified, indexed.defaultsKey, int(file.kind),
         file.reason, invoice ? QVariant(row.number) : none, invoice ? QVariant(row.dateText) : none,
         invoice ? dayOf(row.date) : none, invoice ? QVariant(row.dueDateText) : none,
         invoice ? dayOf(row.dueDate) : none, invoice ? QVariant(row.customer) : none,
         invoice ? QVariant(row.businessId) : none, invoice ? QVariant(row.reference) : none,
         invoice ? QVariant(row.totalCents) : none,
         invoice && !row.creditedNumber.isEmpty() ? QVariant(row.creditedYear) : none,
         invoice && !row.creditedNumber.isEmpty() ? QVariant(row.creditedNumber) : none,
         invoice ? QVariant(row.numberValue) : none, invoice ? QVariant(row.yearValue) : none,
         invoice ? QVariant(row.customerKey) : none, invoice ? QVariant(row.searchText) : none,
         reminder ? QVariant(file.remindedNumber) : none, reminder ? QVariant(file.reminder.number) : none,
         reminder ? dayOf(file.reminder.date) : none, reminder ? QVariant(file.reminder.totalCents) : none,
         reminder ? QVariant(file.reminder.collectionCents) : none});
}

void FolderIndex::removeFile(const QString &year, const QString &name)
{
    run(u"DELETE FROM files WHERE year = ? AND name = ?"_s, {year, name});
}

namespace {

QList<std::pair<QString, QString>> namesOf(QSqlQuery query)
{
    QList<std::pair<QString, QString>> names;
    while (query.next())
        names.append({query.value(0).toString(), query.value(1).toString()});
    return names;
}

} // namespace

QList<std::pair<QString, QString>> FolderIndex::invoicesNamed(const QString &year, const QString &number)
{
    return namesOf(run(u"SELECT year, name FROM files WHERE year = ? AND number = ? AND kind = ?"_s,
                       {year, number, int(LedgerFileKind::Invoice)}));
}

QList<std::pair<QString, QString>> FolderIndex::creditNotesOf(const QString &year, const QString &number)
{
    return namesOf(run(u"SELECT year, name FROM files WHERE credited_year = ? AND credited_number = ? AND kind = ?"_s,
                       {year, number, int(LedgerFileKind::Invoice)}));
}

QList<std::pair<QString, QString>> FolderIndex::remindersOf(const QString &year, const QString &number)
{
    return namesOf(run(u"SELECT year, name FROM files WHERE year = ? AND reminded_number = ? AND kind = ?"_s,
                       {year, number, int(LedgerFileKind::Reminder)}));
}

QList<std::pair<QString, QString>> FolderIndex::creditNotesOfYear(const QString &year)
{
    return namesOf(run(u"SELECT year, name FROM files WHERE credited_year = ? AND year <> ? AND kind = ?"_s,
                       {year, year, int(LedgerFileKind::Invoice)}));
}

std::optional<FileState> FolderIndex::paymentsState()
{
    QSqlQuery query = run(u"SELECT value FROM meta WHERE key = 'payments'"_s);
    if (!query.next())
        return std::nullopt;
    const QStringList parts = query.value(0).toString().split(u':');
    return FileState{parts.value(0).toLongLong(), parts.value(1).toLongLong()};
}

void FolderIndex::putPayments(const QList<Payment> &payments, const FileState &state)
{
    run(u"DELETE FROM payments"_s);
    QSqlQuery insert(QSqlDatabase::database(m_connection, false));
    if (!insert.prepare(u"INSERT INTO payments (position, year, number, day, cents, reference, payer, archive_id, "
                        "source, file_entry) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s))
        throw IndexError(insert.lastError().text().toStdString());
    for (qsizetype i = 0; i < payments.size(); ++i) {
        const Payment &payment = payments[i];
        for (const QVariant &value :
             {QVariant(i), QVariant(payment.year), QVariant(payment.invoiceNumber), dayOf(payment.date),
              QVariant(payment.cents), QVariant(payment.reference), QVariant(payment.payer),
              QVariant(payment.archiveId), QVariant(payment.source), QVariant(payment.fileEntry)})
            insert.addBindValue(value);
        if (!insert.exec())
            throw IndexError(insert.lastError().text().toStdString());
    }
    run(u"INSERT OR REPLACE INTO meta (key, value) VALUES ('payments', ?)"_s,
        {u"%1:%2"_s.arg(state.size).arg(state.modified)});
}

QList<Payment> FolderIndex::paymentsOf(const QString &year, const QString &number)
{
    QSqlQuery query = run(u"SELECT year, number, day, cents, reference, payer, archive_id, source, file_entry "
                          "FROM payments WHERE year = ? AND number = ? ORDER BY position"_s,
                          {year, number});
    QList<Payment> payments;
    while (query.next())
        payments.append({query.value(0).toString(), query.value(1).toString(), dateOf(query.value(2)),
                         query.value(3).toLongLong(), query.value(4).toString(), query.value(5).toString(),
                         query.value(6).toString(), query.value(7).toString(), query.value(8).toString()});
    return payments;
}
