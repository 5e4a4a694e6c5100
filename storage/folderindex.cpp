// The save folder's SQLite index: its schema, its checks and the rows of the
// files it knows.

#include "folderindex.h"

#include "storage/invoicefile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

#include <atomic>
#include <limits>

#include <dirent.h>
#include <fcntl.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// Raised whenever the tables change; an index of another version is rebuilt.
constexpr int kSchemaVersion = 2;

// What a query needs is a column; the rest of what the ledger reads of a
// file is one value (rowData), read back far faster than a column each.
const QString kFileColumns = u"name, size, modified, defaults, kind, data"_s;

const QStringList kCreateTables = {
    u"CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT)"_s,
    u"CREATE TABLE folders (year TEXT PRIMARY KEY, modified INTEGER)"_s,
    u"CREATE TABLE files (year TEXT NOT NULL, name TEXT NOT NULL, size INTEGER, modified INTEGER, defaults TEXT, "
    "kind INTEGER, number TEXT, credited_year TEXT, credited_number TEXT, reminded_number TEXT, data BLOB, "
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

qint64 dayNumber(const QDate &date)
{
    return date.isValid() ? date.toJulianDay() : std::numeric_limits<qint64>::min();
}

QDate dateOfDay(qint64 day)
{
    return day == std::numeric_limits<qint64>::min() ? QDate() : QDate::fromJulianDay(day);
}

QByteArray rowData(const LedgerFile &file)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_4);
    switch (file.kind) {
    case LedgerFileKind::Invoice: {
        const LedgerRow &row = file.row;
        stream << row.number << row.dateText << dayNumber(row.date) << row.dueDateText << dayNumber(row.dueDate)
               << row.customer << row.businessId << row.reference << row.totalCents << row.creditedYear
               << row.creditedNumber << row.numberValue << row.yearValue << row.customerKey << row.searchText;
        break;
    }
    case LedgerFileKind::Reminder:
        stream << file.remindedNumber << qint32(file.reminder.number) << dayNumber(file.reminder.date)
               << file.reminder.totalCents << file.reminder.collectionCents;
        break;
    case LedgerFileKind::Skipped:
        stream << file.reason;
        break;
    case LedgerFileKind::EarlierVersion:
        break;
    }
    return data;
}

void readRowData(const QByteArray &data, LedgerFile &file)
{
    QDataStream stream(data);
    stream.setVersion(QDataStream::Qt_6_4);
    qint64 day = 0;
    qint64 due = 0;
    switch (file.kind) {
    case LedgerFileKind::Invoice: {
        LedgerRow &row = file.row;
        row.year = file.year;
        row.path = file.path;
        stream >> row.number >> row.dateText >> day >> row.dueDateText >> due >> row.customer >> row.businessId
            >> row.reference >> row.totalCents >> row.creditedYear >> row.creditedNumber >> row.numberValue
            >> row.yearValue >> row.customerKey >> row.searchText;
        row.date = dateOfDay(day);
        row.dueDate = dateOfDay(due);
        break;
    }
    case LedgerFileKind::Reminder: {
        qint32 number = 0;
        stream >> file.remindedNumber >> number >> day >> file.reminder.totalCents >> file.reminder.collectionCents;
        file.reminder.path = file.path;
        file.reminder.number = number;
        file.reminder.date = dateOfDay(day);
        break;
    }
    case LedgerFileKind::Skipped:
        stream >> file.reason;
        break;
    case LedgerFileKind::EarlierVersion:
        break;
    }
    if (stream.status() != QDataStream::Ok)
        throw IndexError("row data");
}

IndexedFile fileOfQuery(const QSqlQuery &query, const QString &year, const QString &yearFolder, bool withData = true)
{
    IndexedFile indexed;
    indexed.name = query.value(0).toString();
    indexed.state = {query.value(1).toLongLong(), query.value(2).toLongLong()};
    indexed.defaultsKey = query.value(3).toString();
    LedgerFile &file = indexed.file;
    const int kind = query.value(4).toInt();
    if (kind < int(LedgerFileKind::Invoice) || kind > int(LedgerFileKind::EarlierVersion))
        throw IndexError("kind");
    file.kind = LedgerFileKind(kind);
    file.year = year;
    file.path = yearFolder + indexed.name;
    file.usesDefaults = !indexed.defaultsKey.isEmpty();
    if (withData)
        readRowData(query.value(5).toByteArray(), file);
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

QList<std::pair<QString, FileState>> InvoiceFolderFiles(const QString &folder, bool withStates)
{
    QList<std::pair<QString, FileState>> files;
    DIR *directory = ::opendir(QFile::encodeName(folder).constData());
    if (!directory)
        return files;
    const int descriptor = ::dirfd(directory);
    while (const dirent *entry = ::readdir(directory)) {
        const QByteArray name(entry->d_name);
        // As QDir lists "*.csv" files: any case, no hidden file, a link
        // followed to its file.
        if (name.startsWith('.') || name.size() < 5 || qstricmp(name.right(4).constData(), ".csv") != 0)
            continue;
        if (!withStates && entry->d_type == DT_REG) {
            files.append({QFile::decodeName(name), FileState()});
            continue;
        }
        struct stat status = {};
        if (::fstatat(descriptor, entry->d_name, &status, 0) != 0 || !S_ISREG(status.st_mode))
            continue;
        files.append({QFile::decodeName(name),
                      {qint64(status.st_size), qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec}});
    }
    ::closedir(directory);
    return files;
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
    m_verified = false;
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
        return version.next() && version.value(0).toInt() == kSchemaVersion;
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

void FolderIndex::verify()
{
    if (m_verified)
        return;
    QSqlQuery check = run(u"PRAGMA quick_check"_s);
    if (!check.next() || check.value(0).toString() != u"ok"_s)
        throw IndexError("quick_check");
    m_verified = true;
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

void FolderIndex::forEachFileOf(const QString &year, const QString &saveFolder,
                                const std::function<void(IndexedFile &&)> &take, bool withData)
{
    const QString yearFolder = QDir(saveFolder).filePath(year) + u'/';
    QString columns = kFileColumns;
    if (!withData)
        columns.chop(QStringView(u", data").size());
    QSqlQuery query = run(u"SELECT %1 FROM files WHERE year = ?"_s.arg(columns), {year});
    // Customers and dates recur from invoice to invoice: each text is kept
    // once, shared by its rows, so that a large ledger fits in less memory.
    QSet<QString> texts;
    const auto shared = [&texts](QString &text) {
        const auto found = texts.constFind(text);
        if (found != texts.cend())
            text = *found;
        else
            texts.insert(text);
    };
    while (query.next()) {
        IndexedFile file = fileOfQuery(query, year, yearFolder, withData);
        LedgerRow &row = file.file.row;
        for (QString *text : {&row.dateText, &row.dueDateText, &row.customer, &row.businessId, &row.customerKey})
            shared(*text);
        take(std::move(file));
    }
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
    const bool invoice = file.kind == LedgerFileKind::Invoice;
    const bool credit = invoice && !file.row.creditedNumber.isEmpty();
    const QVariant none;
    run(u"INSERT OR REPLACE INTO files (year, name, size, modified, defaults, kind, number, credited_year, "
        "credited_number, reminded_number, data) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
        {year, indexed.name, indexed.state.size, indexed.state.modified, indexed.defaultsKey, int(file.kind),
         invoice ? QVariant(file.row.number) : none, credit ? QVariant(file.row.creditedYear) : none,
         credit ? QVariant(file.row.creditedNumber) : none,
         file.kind == LedgerFileKind::Reminder ? QVariant(file.remindedNumber) : none, rowData(file)});
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

qsizetype FolderIndex::invoiceCount()
{
    QSqlQuery query = run(u"SELECT COUNT(*) FROM files WHERE kind = ?"_s, {int(LedgerFileKind::Invoice)});
    return query.next() ? query.value(0).toLongLong() : 0;
}

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
