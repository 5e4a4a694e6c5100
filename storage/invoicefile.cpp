// Invoice files: naming, the header and file lines, and the counters.

#include "invoicefile.h"

#include "base/commanderror.h"
#include "invoice/numbering.h"
#include "storage/gridline.h"
#include "storage/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Names that Windows opens as devices whatever folder they stand in.
bool isDeviceName(QStringView number)
{
    QStringView stem = number.left(number.indexOf(u'.'));
    while (stem.endsWith(u' '))
        stem.chop(1);
    static const QStringList devices = [] {
        QStringList names = {u"CON"_s, u"PRN"_s, u"AUX"_s, u"NUL"_s};
        for (int i = 1; i <= 9; ++i)
            names << u"COM"_s + QString::number(i) << u"LPT"_s + QString::number(i);
        return names;
    }();
    for (const QString &device : devices) {
        if (stem.compare(device, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool hasText(const QStringList &cells)
{
    return std::any_of(cells.begin(), cells.end(), [](const QString &cell) { return !cell.trimmed().isEmpty(); });
}

} // namespace

bool IsUsableInvoiceNumber(QStringView number)
{
    if (number.isEmpty() || number.contains(u".."))
        return false;
    bool onlyDotsAndBlanks = true;
    for (QChar c : number) {
        const char16_t u = c.unicode();
        if (u < 32 || (u >= 0x7F && u <= 0x9F))
            return false;
        if (QStringView(u"/\\:*?\"<>|").contains(c))
            return false;
        if (c != u'.' && c != u' ')
            onlyDotsAndBlanks = false;
    }
    return !onlyDotsAndBlanks && !isDeviceName(number);
}

QString FormatHeaderLine(const QStringList &values)
{
    QString line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += u',';
        line += u'"';
        line += OnOneLine(values[i]).replace(u"\""_s, u"\"\""_s);
        line += u'"';
    }
    return line;
}

QStringList InvoiceFileLines(const InvoiceData &invoice)
{
    // Values after the due date are written only when set, so an invoice
    // without them keeps the line it had; one that keeps its biller writes
    // every value up to the biller's last, each in its place.
    QStringList header = invoice.header;
    const bool keepsBiller = std::any_of(header.begin() + std::min(header.size(), qsizetype(BillerNameField)),
                                         header.end(), [](const QString &value) { return !value.isEmpty(); });
    const qsizetype written = keepsBiller ? BillerBicField + 1 : DueDateField + 1;
    while (header.size() > written && header.last().isEmpty())
        header.removeLast();
    QStringList lines = {FormatHeaderLine(header)};
    AppendCellsLine(invoice.customer, lines, true);
    for (const QStringList &row : invoice.rows)
        AppendCellsLine(row, lines, false);
    return lines;
}

QString InvoiceLinesRefusal(const QStringList &lines)
{
    if (lines.isEmpty())
        return u"tiedosto on tyhjä"_s;
    const QStringList header = SplitGridLine(lines[0], HeaderFieldCount);
    if (header.size() <= InvoiceNumberField || header[InvoiceNumberField].trimmed().isEmpty())
        return u"otsikkorivillä ei ole laskun numeroa"_s;
    if (header.size() <= InvoiceDateField || !IsInvoiceDateText(header[InvoiceDateField]))
        return u"otsikkorivillä ei ole kelvollista laskun päiväystä"_s;
    if (lines.size() < 2 || !hasText(ReadLineIntoCells(lines[1], CustomerLineCount)))
        return u"siinä ei ole asiakasriviä"_s;
    if (lines.size() < 3)
        return u"siinä ei ole yhtään laskuriviä"_s;
    return QString();
}

std::optional<InvoiceData> ReadInvoiceFileLines(const QStringList &lines)
{
    if (!InvoiceLinesRefusal(lines).isEmpty())
        return std::nullopt;
    return InvoiceData{SplitGridLine(lines[0], HeaderFieldCount),
                       ReadLineIntoCells(lines[1], CustomerLineCount),
                       ReadLinesIntoRows(lines.mid(2), RowColumnCount)};
}

QString NotAnInvoiceText(const QString &path, const QString &reason)
{
    return u"Tiedosto %1 ei ole lasku: %2."_s.arg(QDir::toNativeSeparators(path), reason);
}

QString InvoiceNotSavedText(const QString &reason)
{
    return u"Laskua ei tallennettu, koska sitä ei voisi avata uudelleen: %1."_s.arg(reason);
}

InvoiceData ReadInvoiceFile(const QString &path)
{
    const QStringList lines = ReadTextLines(path);
    if (const QString reason = InvoiceLinesRefusal(lines); !reason.isEmpty())
        throw CommandError(NotAnInvoiceText(path, reason));
    return *ReadInvoiceFileLines(lines);
}

InvoiceRecord ReadInvoiceRecord(const QString &path, const BillerDetails &biller, const InvoiceDefaults &defaults)
{
    return IssuedRecord(ReadInvoiceFile(path), biller, defaults);
}

QList<QStringList> ReadLinesIntoRows(const QStringList &lines, int cellCount)
{
    QList<QStringList> rows;
    rows.reserve(lines.size());
    for (const QString &line : lines)
        rows.append(ReadLineIntoCells(line, cellCount));
    return rows;
}

std::optional<QString> NextInvoiceCounter(QStringView counter, QStringView invoiceNumber)
{
    const QString next = WholeNumberText(counter);
    if (WholeNumberText(invoiceNumber) != next)
        return std::nullopt;
    return IncrementWholeNumberText(next);
}

QString EarlierVersionPath(const QString &path, int version)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix().isEmpty() ? QString() : u"."_s + file.suffix();
    const QString mark = version <= 1 ? u" (aiempi versio)"_s
                                      : u" (aiempi versio %1)"_s.arg(version);
    return file.dir().filePath(file.completeBaseName() + mark + suffix);
}

QString KeepEarlierVersion(const QString &path)
{
    int version = 1;
    while (QFileInfo::exists(EarlierVersionPath(path, version)))
        ++version;
    const QString kept = EarlierVersionPath(path, version);
    if (!QFile::copy(path, kept))
        throw FileCreateError(kept);
    return kept;
}

QString ReplaceInvoiceQuestion(const QString &invoiceNumber, const QString &path)
{
    return u"Lasku numero %1 on jo tallennettu tiedostoon\r\n%2\r\n\r\n"
           "Korvataanko tallennettu lasku tällä? Sen aiempi versio säilyy samassa kansiossa."_s
        .arg(invoiceNumber, QDir::toNativeSeparators(path));
}

QString SaveFolderPath(const QString &chosenFolder)
{
    if (chosenFolder.isEmpty())
        return QString();
    QString folder = QDir::toNativeSeparators(QFileInfo(chosenFolder).absoluteFilePath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

QString InvoiceSavedText(const QString &invoiceNumber, const QStringList &paths)
{
    QStringList shown;
    for (const QString &path : paths)
        shown << QDir::toNativeSeparators(path);
    return u"Lasku %1 tallennettu: %2"_s.arg(invoiceNumber, shown.join(u", "_s));
}
