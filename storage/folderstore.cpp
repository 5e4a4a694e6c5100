// The save folder on disk, read and written file by file.

#include "folderstore.h"

#include "storage/commanderror.h"
#include "storage/customerregister.h"
#include "storage/customertable.h"
#include "storage/invoicefile.h"
#include "storage/textfile.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

FolderStore::FolderStore(const QString &location, const BillerDetails &biller, const InvoiceDefaults &defaults)
    : m_location(SaveFolderPath(location)), m_biller(biller), m_defaults(defaults)
{
}

FolderStore::~FolderStore() = default;

QString FolderStore::location() const
{
    return m_location;
}

void FolderStore::setSettings(const BillerDetails &biller, const InvoiceDefaults &defaults)
{
    m_biller = biller;
    m_defaults = defaults;
}

QString FolderStore::invoicePath(const QString &year, const QString &number) const
{
    return QDir(m_location).filePath(year + u'/' + number + u".csv"_s);
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
    SavedInvoice saved{path, QString()};
    if (QFileInfo::exists(path) && !sameFile(path, replaces))
        saved.earlierVersion = KeepEarlierVersion(path);
    WriteTextLines(path, InvoiceFileLines(invoice));
    return saved;
}

Ledger FolderStore::ledger(const QDate &today, const QString &year)
{
    return ReadLedger(m_location, m_biller, m_defaults, today, year);
}

std::optional<LedgerRow> FolderStore::ledgerRow(const QString &year, const QString &number, const QDate &today)
{
    const Ledger all = ledger(today, year);
    for (const LedgerRow &row : all.rows) {
        if (row.number == number)
            return row;
    }
    return std::nullopt;
}

std::optional<LedgerRow> FolderStore::ledgerRowOfFile(const QString &path, const QDate &today)
{
    const QFileInfo file(path);
    const QString year = file.absoluteDir().dirName();
    if (!IsYearFolderName(year) || !sameFile(file.absoluteDir().absolutePath() + u"/.."_s, m_location))
        return std::nullopt;
    const Ledger all = ledger(today, year);
    for (const LedgerRow &row : all.rows) {
        if (sameFile(row.path, path))
            return row;
    }
    return std::nullopt;
}

QList<LedgerRow> FolderStore::creditNotesOf(const QString &year, const QString &number, const QDate &today)
{
    QList<LedgerRow> notes;
    for (const LedgerRow &row : ledger(today).rows) {
        if (row.creditedYear == year && row.creditedNumber == number
            && !(row.year == year && row.number == number))
            notes.append(row);
    }
    return notes;
}

QStringList FolderStore::years()
{
    QStringList years;
    for (const QString &folder : QDir(m_location).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (IsYearFolderName(folder))
            years.append(folder);
    }
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
    return ReadPaymentsFile(PaymentsFilePath(m_location));
}

QList<Payment> FolderStore::paymentsOf(const QString &year, const QString &number)
{
    QList<Payment> of;
    for (const Payment &payment : payments()) {
        if (payment.matched() && payment.year == year && payment.invoiceNumber == number)
            of.append(payment);
    }
    return of;
}

void FolderStore::writePayments(const QList<Payment> &payments)
{
    WritePaymentsFile(PaymentsFilePath(m_location), payments);
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
    WriteReminderFile(file, reminder);
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
