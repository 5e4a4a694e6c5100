// Invoice files: naming, the header and file lines, and the counters.

#include "invoicefile.h"

#include "app/inifile.h"
#include "invoice/numbering.h"
#include "storage/fileerror.h"
#include "storage/gridline.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QString withoutLineBreaks(QString text)
{
    for (QChar &c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            c = u' ';
    }
    return text;
}

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

} // namespace

QString InvoiceYearOfDate(QStringView invoiceDate)
{
    int position = 1;
    int year = 0;
    for (int i = 0; i < 3; ++i)
        year = TakeInteger(invoiceDate, position);
    return QString::number(year);
}

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
        line += withoutLineBreaks(values[i]).replace(u"\""_s, u"\"\""_s);
        line += u'"';
    }
    return line;
}

QStringList InvoiceFileLines(const QStringList &header, const QStringList &customer,
                             const QList<QStringList> &rows)
{
    QStringList lines = {FormatHeaderLine(header)};
    AppendCellsLine(customer, lines, true);
    for (const QStringList &row : rows)
        AppendCellsLine(row, lines, false);
    return lines;
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
    int position = 1;
    const int next = TakeInteger(counter, position);
    position = 1;
    if (TakeInteger(invoiceNumber, position) != next)
        return std::nullopt;
    return QString::number(qint64(next) + 1);
}

QString SaveFolderOfEnteredName(const QString &enteredName)
{
    if (enteredName.isEmpty())
        return QString();
    QString folder = QDir::toNativeSeparators(QFileInfo(enteredName).absolutePath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

QString CommandErrorText(const std::exception &error)
{
    if (const auto *file = dynamic_cast<const FileError *>(&error))
        return file->message();
    if (const auto *ini = dynamic_cast<const IniWriteError *>(&error))
        return ini->message();
    return QString::fromUtf8(error.what());
}
