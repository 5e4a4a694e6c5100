// The save folder on disk: the files read and written as earlier versions
// keep them, the ledger answered from the index of them.

#include "folderstore.h"

#include "base/commanderror.h"
#include "storage/customerregister.h"
#include "storage/customertable.h"
#include "storage/invoicefile.h"
#include "storage/reminderfile.h"
#include "storage/textfile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QStringList kInvoiceFilter = {u"*.csv"_s};

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

const FileState kNoFile = {-1, -1};

} // namespace

FolderStore::FolderStore(const QString &location, const BillerDetails &biller, const InvoiceDefaults &defaults)
    : m_location(SaveFolderPath(location)), m_biller(biller), m_defaults(defaults),
      m_defaultsKey(DefaultsKey(defaults))
{
}

FolderStore::~FolderStore() = default;

FolderIndex &FolderStore::index()
{
    // Opened at the first question that needs it: a save folder only
    // looked at (a page exported, an invoice refused) gets no index file.
    if (!m_index)
        m_index = std::make_unique<FolderIndex>(m_location);
    return *m_index;
}

template <typename Answer>
Answer FolderStore::withIndex(const std::function<Answer()> &question)
{
    try {
        return question();
    } catch (const IndexError &) {
        index().rollback();
    } catch (...) {
        index().rollback();
        throw;
    }
    // A damaged index is never trusted: it is built again from the files.
    try {
        index().rebuild();
        return question();
    } catch (const IndexError &error) {
        index().rollback();
        throw CommandError(u"Tallennuskansion %1 hakemistoa ei voitu käyttää (%2); poista tiedosto %3, niin se "
                           "tehdään uudelleen."_s.arg(QDir::toNativeSeparators(m_location),
                                                      QString::fromUtf8(error.what()), kIndexFileName));
    }
}

QString FolderStore::location() const
{
    return m_location;
}

void FolderStore::setSettings(const BillerDetails &biller, const InvoiceDefaults &defaults)
{
    m_biller = biller;
    m_defaults = defaults;
    m_defaultsKey = DefaultsKey(defaults);
}

QList<std::pair<QString, qint64>> FolderStore::yearFolders() const
{
    QList<std::pair<QString, qint64>> folders;
    const QDir saveFolder(m_location);
    for (const QString &name : saveFolder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!IsYearFolderName(name))
            continue;
        if (const std::optional<qint64> modified = FolderModifiedOf(saveFolder.filePath(name)))
            folders.append({name, *modified});
    }
    return folders;
}

bool FolderStore::fresh(const IndexedFile &indexed, const FileState &state) const
{
    return indexed.state == state && (indexed.defaultsKey.isEmpty() || indexed.defaultsKey == m_defaultsKey);
}

IndexedFile FolderStore::readFile(const QString &year, const QString &name, const FileState &state) const
{
    IndexedFile indexed;
    indexed.name = name;
    indexed.state = state;
    indexed.file = ReadLedgerFile(year, QDir(QDir(m_location).filePath(year)).filePath(name), m_biller, m_defaults);
    if (indexed.file.usesDefaults)
        indexed.defaultsKey = m_defaultsKey;
    return indexed;
}

void FolderStore::syncYear(const QString &year, qint64 folderModified, qint64 indexedModified, LedgerFiles *into)
{
    // A question of one invoice notices the files added and removed by their
    // names; one changed in place (its folder's time unchanged too) is the
    // whole ledger's to notice, which stats every file.
    const bool namesOnly = into == nullptr;
    const QString folder = QDir(m_location).filePath(year);
    const QList<std::pair<QString, FileState>> files = InvoiceFolderFiles(folder, !namesOnly);
    QHash<QString, FileState> onDisk;
    onDisk.reserve(files.size());
    for (const auto &[name, state] : files)
        onDisk.insert(name, state);
    QStringList gone;
    index().forEachFileOf(year, m_location, [&](IndexedFile &&indexed) {
        const auto found = onDisk.constFind(indexed.name);
        if (found == onDisk.cend()) {
            gone.append(indexed.name);
        } else if (namesOnly || fresh(indexed, *found)) {
            if (into)
                into->add(std::move(indexed.file));
            onDisk.erase(found);
        }
    }, into != nullptr);
    for (const QString &name : std::as_const(gone))
        index().removeFile(year, name);
    // What is left was added, changed or read with other defaults.
    for (auto file = onDisk.cbegin(); file != onDisk.cend(); ++file) {
        FileState state = file.value();
        if (namesOnly) {
            const std::optional<FileState> stated = FileStateOf(QDir(folder).filePath(file.key()));
            if (!stated)
                continue;
            state = *stated;
        }
        IndexedFile read = readFile(year, file.key(), state);
        index().putFile(year, read);
        if (into)
            into->add(std::move(read.file));
    }
    if (folderModified != indexedModified)
        index().setFolderTime(year, folderModified);
}

void FolderStore::syncChangedFolders()
{
    QHash<QString, qint64> indexed = index().folderTimes();
    for (const auto &[year, modified] : yearFolders()) {
        const auto found = indexed.constFind(year);
        if (found == indexed.cend() || *found != modified)
            syncYear(year, modified, found == indexed.cend() ? -1 : *found, nullptr);
        indexed.remove(year);
    }
    for (auto gone = indexed.cbegin(); gone != indexed.cend(); ++gone)
        index().removeFolder(gone.key());
}

std::optional<LedgerFile> FolderStore::syncFile(const QString &year, const QString &name)
{
    const QString path = QDir(QDir(m_location).filePath(year)).filePath(name);
    const std::optional<FileState> state = FileStateOf(path);
    std::optional<IndexedFile> indexed = index().file(year, name, m_location);
    if (!state) {
        if (indexed)
            index().removeFile(year, name);
        return std::nullopt;
    }
    if (indexed && fresh(*indexed, *state))
        return std::move(indexed->file);
    IndexedFile read = readFile(year, name, *state);
    index().putFile(year, read);
    return std::move(read.file);
}

QList<LedgerFile> FolderStore::filesAround(const QList<LedgerFile> &invoices)
{
    QList<std::pair<QString, QString>> names;
    for (const LedgerFile &invoice : invoices) {
        const LedgerRow &row = invoice.row;
        names += index().creditNotesOf(row.year, row.number);
        names += index().remindersOf(row.year, row.number);
        if (!row.creditedNumber.isEmpty())
            names += index().invoicesNamed(row.creditedYear, row.creditedNumber);
    }
    QList<LedgerFile> files = invoices;
    QList<std::pair<QString, QString>> seen;
    for (const LedgerFile &invoice : invoices)
        seen.append({invoice.year, QFileInfo(invoice.path).fileName()});
    for (const auto &name : std::as_const(names)) {
        if (seen.contains(name))
            continue;
        seen.append(name);
        if (std::optional<LedgerFile> file = syncFile(name.first, name.second))
            files.append(std::move(*file));
    }
    return files;
}

std::optional<LedgerRow> FolderStore::rowAmong(const QList<LedgerFile> &invoices, const QString &path,
                                               const QDate &today)
{
    if (invoices.isEmpty())
        return std::nullopt;
    const LedgerRow &first = invoices.constFirst().row;
    const QString year = first.year;
    const QString number = first.number;
    QList<LedgerFile> files = filesAround(invoices);
    index().commit();
    const Ledger ledger = LedgerOfFiles(files, paymentsOf(year, number), today);
    for (const LedgerRow &row : ledger.rows) {
        if (row.year == year && row.number == number && (path.isEmpty() || row.path == path))
            return row;
    }
    return std::nullopt;
}

std::optional<std::pair<QString, QString>> FolderStore::placeOf(const QString &path) const
{
    const QFileInfo file(path);
    QDir folder = file.absoluteDir();
    const QString year = folder.dirName();
    if (!IsYearFolderName(year) || !folder.cdUp() || !sameFile(folder.path(), m_location))
        return std::nullopt;
    return std::pair{year, file.fileName()};
}

void FolderStore::indexWritten(const QString &year, std::optional<qint64> folderBefore, const QStringList &names)
{
    try {
        withIndex<bool>([&] {
            index().begin();
            // The folder's new time is this write's alone when the index knew
            // its time before: else another change waits for its listing.
            const std::optional<qint64> indexedTime = index().folderTimes().value(year, -1);
            for (const QString &name : names)
                syncFile(year, name);
            if (folderBefore && indexedTime == folderBefore)
                if (const std::optional<qint64> after = FolderModifiedOf(QDir(m_location).filePath(year)))
                    index().setFolderTime(year, *after);
            index().commit();
            return true;
        });
    } catch (const CommandError &) {
        // The files are written; the next question reads them.
    }
}

QString FolderStore::invoicePath(const QString &year, const QString &number) const
{
    return QDir(QDir(m_location).filePath(year)).filePath(number + u".csv"_s);
}

bool FolderStore::hasInvoice(const QString &year, const QString &number) const
{
    return QFileInfo(invoicePath(year, number)).isFile();
}

InvoiceRecord FolderStore::readInvoice(const QString &year, const QString &number)
{
    return readInvoiceFile(invoicePath(year, number));
}

InvoiceRecord FolderStore::readInvoiceFile(const QString &path)
{
    return ReadInvoiceRecord(path, m_biller, m_defaults);
}

SavedInvoice FolderStore::saveInvoice(const InvoiceData &invoice, const QString &replaces)
{
    const QString number = invoice.header.value(InvoiceNumberField);
    const QString year = InvoiceYearOfDate(invoice.header.value(InvoiceDateField));
    const QString path = invoicePath(year, number);
    if (!IsUsableInvoiceNumber(number))
        throw FileCreateError(path);
    // One level only; a folder that cannot be made shows when the file is written.
    QDir(m_location).mkdir(year);
    const std::optional<qint64> folderBefore = FolderModifiedOf(QDir(m_location).filePath(year));
    SavedInvoice saved{path, QString()};
    if (QFileInfo::exists(path) && !sameFile(path, replaces))
        saved.earlierVersion = KeepEarlierVersion(path);
    // The file first: the index follows the files.
    WriteTextLines(path, InvoiceFileLines(invoice));
    QStringList names{QFileInfo(path).fileName()};
    if (!saved.earlierVersion.isEmpty())
        names.append(QFileInfo(saved.earlierVersion).fileName());
    indexWritten(year, folderBefore, names);
    return saved;
}

Ledger FolderStore::ledger(const QDate &today, const QString &year)
{
    LedgerFiles files = withIndex<LedgerFiles>([&] {
        index().verify();
        index().begin();
        QHash<QString, qint64> indexed = index().folderTimes();
        LedgerFiles files;
        // The rows gathered in place, without copies as the list grows.
        if (year.isEmpty())
            files.rows.reserve(index().invoiceCount());
        for (const auto &[folder, modified] : yearFolders()) {
            const auto found = indexed.constFind(folder);
            const qint64 indexedModified = found == indexed.cend() ? -1 : *found;
            // One year's list lists its own folder; of the others, only
            // what was added or removed, and the rows crediting it.
            if (year.isEmpty() || folder == year)
                syncYear(folder, modified, indexedModified, &files);
            else if (indexedModified != modified)
                syncYear(folder, modified, indexedModified, nullptr);
            indexed.remove(folder);
        }
        for (auto gone = indexed.cbegin(); gone != indexed.cend(); ++gone)
            index().removeFolder(gone.key());
        if (!year.isEmpty()) {
            QList<std::pair<QString, QString>> names = index().creditNotesOfYear(year);
            for (const LedgerRow &row : std::as_const(files.rows)) {
                if (!row.creditedNumber.isEmpty() && row.creditedYear != year)
                    names += index().invoicesNamed(row.creditedYear, row.creditedNumber);
            }
            names.removeIf([&year](const auto &name) { return name.first == year; });
            std::sort(names.begin(), names.end());
            names.erase(std::unique(names.begin(), names.end()), names.end());
            for (const auto &[folder, name] : std::as_const(names))
                if (std::optional<LedgerFile> file = syncFile(folder, name))
                    files.add(std::move(*file));
        }
        index().commit();
        return files;
    });
    return LedgerOfFiles(std::move(files), payments(), today, year);
}

std::optional<LedgerRow> FolderStore::ledgerRow(const QString &year, const QString &number, const QDate &today)
{
    return withIndex<std::optional<LedgerRow>>([&] {
        index().begin();
        syncChangedFolders();
        QList<LedgerFile> invoices;
        for (const auto &[folder, name] : index().invoicesNamed(year, number))
            if (std::optional<LedgerFile> file = syncFile(folder, name);
                file && file->kind == LedgerFileKind::Invoice && file->row.number == number)
                invoices.append(std::move(*file));
        if (invoices.isEmpty()) {
            index().commit();
            return std::optional<LedgerRow>();
        }
        return rowAmong(invoices, QString(), today);
    });
}

std::optional<LedgerRow> FolderStore::ledgerRowOfFile(const QString &path, const QDate &today)
{
    const std::optional<std::pair<QString, QString>> place = placeOf(path);
    if (!place)
        return std::nullopt;
    return withIndex<std::optional<LedgerRow>>([&] {
        index().begin();
        syncChangedFolders();
        const std::optional<LedgerFile> file = syncFile(place->first, place->second);
        if (!file || file->kind != LedgerFileKind::Invoice) {
            index().commit();
            return std::optional<LedgerRow>();
        }
        // Other files of the same number count with it, as in the ledger.
        QList<LedgerFile> invoices{*file};
        for (const auto &[folder, name] : index().invoicesNamed(file->row.year, file->row.number))
            if (name != place->second)
                if (std::optional<LedgerFile> other = syncFile(folder, name);
                    other && other->kind == LedgerFileKind::Invoice)
                    invoices.append(std::move(*other));
        return rowAmong(invoices, file->path, today);
    });
}

QList<LedgerRow> FolderStore::creditNotesOf(const QString &year, const QString &number, const QDate &today)
{
    const QList<LedgerFile> files = withIndex<QList<LedgerFile>>([&] {
        index().begin();
        syncChangedFolders();
        QList<LedgerFile> files;
        for (const auto &names : {index().invoicesNamed(year, number), index().creditNotesOf(year, number)})
            for (const auto &[folder, name] : names)
                if (std::optional<LedgerFile> file = syncFile(folder, name))
                    files.append(std::move(*file));
        index().commit();
        return files;
    });
    QList<Payment> payments;
    for (const LedgerFile &file : files)
        if (file.kind == LedgerFileKind::Invoice)
            payments += paymentsOf(file.row.year, file.row.number);
    QList<LedgerRow> notes = LedgerOfFiles(files, payments, today).rows;
    notes.removeIf([&](const LedgerRow &row) {
        return row.creditedYear != year || row.creditedNumber != number || (row.year == year && row.number == number);
    });
    return notes;
}

QStringList FolderStore::years()
{
    QStringList years;
    for (const auto &folder : yearFolders())
        years.append(folder.first);
    std::sort(years.begin(), years.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return years;
}

QList<LedgerSkippedFile> FolderStore::skippedFiles(const QString &year)
{
    return ledger(QDate::currentDate(), year).skipped;
}

QString FolderStore::paymentsPath() const
{
    return PaymentsFilePath(m_location);
}

QList<Payment> FolderStore::payments()
{
    const QString path = PaymentsFilePath(m_location);
    const FileState state = FileStateOf(path).value_or(kNoFile);
    QList<Payment> payments = ReadPaymentsFile(path);
    try {
        withIndex<bool>([&] {
            if (index().paymentsState() == state)
                return true;
            index().begin();
            index().putPayments(payments, state);
            index().commit();
            return true;
        });
    } catch (const CommandError &) {
        // Read from the file, the answer stands without the index.
    }
    return payments;
}

QList<Payment> FolderStore::paymentsOf(const QString &year, const QString &number)
{
    const FileState state = FileStateOf(PaymentsFilePath(m_location)).value_or(kNoFile);
    try {
        if (index().paymentsState() == state)
            return index().paymentsOf(year, number);
    } catch (const IndexError &) {
        // Read from the file below, which indexes it again.
    }
    QList<Payment> of;
    for (const Payment &payment : payments()) {
        if (payment.matched() && payment.year == year && payment.invoiceNumber == number)
            of.append(payment);
    }
    return of;
}

void FolderStore::writePayments(const QList<Payment> &payments)
{
    const QString path = PaymentsFilePath(m_location);
    WritePaymentsFile(path, payments);
    try {
        withIndex<bool>([&] {
            index().begin();
            index().putPayments(payments, FileStateOf(path).value_or(kNoFile));
            index().commit();
            return true;
        });
    } catch (const CommandError &) {
        // The file is written; the next question reads it.
    }
}

int FolderStore::savedReminderCount(const QString &year, const QString &number)
{
    return SavedReminderCount(m_location, year, number);
}

QList<LedgerReminder> FolderStore::reminders(const QString &year, const QString &number)
{
    const std::optional<LedgerRow> row = ledgerRow(year, number, QDate::currentDate());
    return row ? row->reminders : QList<LedgerReminder>();
}

QString FolderStore::saveReminder(const Reminder &reminder)
{
    const QString file = ReminderFilePath(m_location, reminder.year, reminder.invoiceNumber, reminder.number);
    // Another reminder may have been saved since this one was made.
    if (QFileInfo::exists(file))
        throw CommandError(u"Laskun %1 maksumuistutus %2 on jo tallennettu (%3)."_s.arg(
            reminder.invoiceNumber, QString::number(reminder.number), QDir::toNativeSeparators(file)));
    const std::optional<qint64> folderBefore = FolderModifiedOf(QFileInfo(file).absolutePath());
    WriteReminderFile(file, reminder);
    indexWritten(reminder.year, folderBefore, {QFileInfo(file).fileName()});
    return file;
}

QString FolderStore::registerPath() const
{
    return RegisterFilePath(m_location);
}

bool FolderStore::hasRegister() const
{
    return QFileInfo::exists(registerPath());
}

QByteArray FolderStore::readRegister()
{
    return CustomerTable::readFile(registerPath());
}

QList<QStringList> FolderStore::registerRows()
{
    if (!hasRegister())
        return {};
    return ReadLinesIntoRows(ReadTextLines(registerPath()), RegisterColumnCount);
}

void FolderStore::writeRegister(const QByteArray &bytes)
{
    if (!ReplaceFileContents(registerPath(), bytes))
        throw FileCreateError(registerPath());
}

std::unique_ptr<SaveFolder> OpenSaveFolder(const QString &location, const BillerDetails &biller,
                                           const InvoiceDefaults &defaults)
{
    return std::make_unique<FolderStore>(location, biller, defaults);
}
