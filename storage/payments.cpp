// The payments file: reading and writing the payments received.

#include "payments.h"

#include "base/commanderror.h"
#include "invoice/amount.h"
#include "invoice/dates.h"
#include "invoice/numbering.h"
#include "storage/gridline.h"
#include "storage/invoicefile.h"
#include "storage/textfile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString kFileName = u"Maksut.csv"_s;

std::optional<QDate> dateOf(QStringView text)
{
    const QDate date = ReadDate(text);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// Blank cells read back as one blank, as the grid line format writes an empty cell.
QString cellText(const QStringList &cells, PaymentColumn column)
{
    return cells.value(column).trimmed();
}

} // namespace

QString PaymentsFilePath(const QString &dataDir)
{
    return dataDir + kFileName;
}

QStringList PaymentLineCells(const Payment &payment)
{
    QStringList cells(PaymentColumnCount);
    cells[PaymentYearColumn] = payment.year;
    cells[PaymentInvoiceColumn] = payment.invoiceNumber;
    cells[PaymentDateColumn] = DateText(payment.date);
    cells[PaymentAmountColumn] = PaymentAmountText(payment.cents);
    cells[PaymentReferenceColumn] = payment.reference;
    cells[PaymentPayerColumn] = payment.payer;
    cells[PaymentArchiveIdColumn] = payment.archiveId;
    cells[PaymentSourceColumn] = payment.source;
    cells[PaymentFileEntryColumn] = payment.fileEntry;
    // Without a place in a bank's file the line stays as earlier versions wrote it.
    if (payment.fileEntry.isEmpty())
        cells.removeLast();
    return cells;
}

std::optional<Payment> PaymentOfCells(const QStringList &cells)
{
    const std::optional<QDate> date = dateOf(cells.value(PaymentDateColumn));
    const std::optional<qint64> cents = ParsePaymentAmount(cells.value(PaymentAmountColumn));
    if (!date || !cents)
        return std::nullopt;
    return Payment{cellText(cells, PaymentYearColumn), cellText(cells, PaymentInvoiceColumn), *date, *cents,
                   cellText(cells, PaymentReferenceColumn), cellText(cells, PaymentPayerColumn),
                   cellText(cells, PaymentArchiveIdColumn), cellText(cells, PaymentSourceColumn),
                   cellText(cells, PaymentFileEntryColumn)};
}

QList<Payment> ReadPaymentsFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return {};
    const QStringList lines = ReadTextLines(path);
    QList<Payment> payments;
    payments.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // A NUL is no character of a line the program writes: the file is damaged.
        if (lines[i].contains(QChar(u'\0')))
            throw CommandError(u"Maksutiedoston %1 rivillä %2 on NUL-merkki: tiedosto on vioittunut."_s.arg(
                QDir::toNativeSeparators(path)).arg(i + 1));
        const std::optional<Payment> payment = PaymentOfCells(ReadLineIntoCells(lines[i], PaymentColumnCount));
        if (!payment)
            throw CommandError(u"Maksutiedoston %1 rivi %2 ei ole maksu:\r\n%3"_s.arg(
                QDir::toNativeSeparators(path)).arg(i + 1).arg(lines[i].left(200)));
        payments.append(*payment);
    }
    return payments;
}

void WritePaymentsFile(const QString &path, const QList<Payment> &payments)
{
    QStringList lines;
    lines.reserve(payments.size());
    for (const Payment &payment : payments)
        AppendCellsLine(PaymentLineCells(payment), lines, true);
    WriteTextLines(path, lines);
}
