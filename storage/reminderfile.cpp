// The reminder's file beside the invoice: its name, lines and reading.

#include "storage/reminderfile.h"

#include "base/commanderror.h"
#include "invoice/amount.h"
#include "invoice/dates.h"
#include "invoice/numbering.h"
#include "invoice/penaltyinterest.h"
#include "storage/gridline.h"
#include "storage/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kReminderSuffix = u"-M"_s;
const QString kFileSuffix = u".csv"_s;
const QString kPaymentMark = u"maksu"_s;
const QString kPeriodMark = u"korko"_s;

// Columns of the reminder file's lines (ReminderFileLines).
enum HeadColumn : int {
    HeadMarkColumn,
    HeadNumberColumn,
    HeadYearColumn,
    HeadInvoiceNumberColumn,
    HeadInvoiceDateColumn,
    HeadDueDateColumn,
    HeadReferenceColumn,
    HeadDateColumn,
    HeadNewDueDateColumn,
    HeadBusinessColumn,
    HeadStatedRateColumn,
    HeadColumnCount
};

enum AmountColumn : int {
    AmountOriginalColumn,
    AmountPaidColumn,
    AmountOpenColumn,
    AmountInterestColumn,
    AmountFeeKindColumn,
    AmountFeeColumn,
    AmountTotalColumn,
    // Written only on a credited invoice's reminder.
    AmountCreditedColumn,
    AmountColumnCount
};

enum PaymentLineColumn : int { PaymentMarkColumn, PaymentLineDateColumn, PaymentLineAmountColumn, PaymentLineCount };

enum PeriodColumn : int {
    PeriodMarkColumn,
    PeriodFirstColumn,
    PeriodLastColumn,
    PeriodAmountOpenColumn,
    PeriodReferenceRateColumn,
    PeriodRateColumn,
    PeriodStatedColumn,
    PeriodDaysColumn,
    PeriodDaysInYearColumn,
    PeriodColumnCount
};

const QString kFeeKindNames[] = {u"maksu"_s, u"vakiokorvaus"_s};

// Earlier versions took reference rates up to 999,99 % and wrote a business
// customer's rate, the margin added, of up to 1007,99 %.
constexpr int kStoredRateWholeDigits = kRateWholeDigits + 1;

// A yes/no cell as YesNoText writes it.
bool yesOf(const QString &cell)
{
    return cell.toInt() != 0;
}

QStringList cellsOf(const QString &line, int count)
{
    QStringList cells = ReadLineIntoCells(line, count);
    for (QString &cell : cells)
        cell = cell.trimmed();
    return cells;
}

} // namespace

QString ReminderFileStem(const QString &name, int number)
{
    return name + kReminderSuffix + QString::number(number);
}

QString ReminderFileName(const QString &invoiceNumber, int number)
{
    return ReminderFileStem(invoiceNumber, number) + kFileSuffix;
}

QString ReminderFilePath(const QString &dataDir, const QString &year, const QString &invoiceNumber, int number)
{
    return dataDir + year + QDir::separator() + ReminderFileName(invoiceNumber, number);
}

QString ReminderPdfPath(const QString &dataDir, const QString &year, const QString &invoiceNumber, int number)
{
    const QString file = ReminderFilePath(dataDir, year, invoiceNumber, number);
    return file.left(file.lastIndexOf(u'.')) + u".pdf"_s;
}

bool IsReminderFileName(QStringView name)
{
    static const QRegularExpression pattern(u"^.+-M[1-9][0-9]*\\.csv$"_s, QRegularExpression::CaseInsensitiveOption);
    return pattern.match(name.toString()).hasMatch();
}

int SavedReminderCount(const QString &dataDir, const QString &year, const QString &invoiceNumber)
{
    int count = 0;
    while (QFileInfo::exists(ReminderFilePath(dataDir, year, invoiceNumber, count + 1)))
        ++count;
    return count;
}

QStringList ReminderFileLines(const Reminder &reminder)
{
    QStringList lines;
    QStringList head(HeadColumnCount);
    head[HeadMarkColumn] = kReminderFileMark.toString();
    head[HeadNumberColumn] = QString::number(reminder.number);
    head[HeadYearColumn] = reminder.year;
    head[HeadInvoiceNumberColumn] = reminder.invoiceNumber;
    head[HeadInvoiceDateColumn] = reminder.invoiceDate;
    head[HeadDueDateColumn] = DateText(reminder.dueDate);
    head[HeadReferenceColumn] = reminder.reference;
    head[HeadDateColumn] = DateText(reminder.date);
    head[HeadNewDueDateColumn] = DateText(reminder.newDueDate);
    head[HeadBusinessColumn] = YesNoText(reminder.business);
    head[HeadStatedRateColumn] = reminder.statedRate ? RateText(*reminder.statedRate) : QString();
    AppendCellsLine(head, lines, true);

    QStringList amounts(AmountColumnCount);
    amounts[AmountOriginalColumn] = PaymentAmountText(reminder.originalCents);
    amounts[AmountPaidColumn] = PaymentAmountText(reminder.paidCents);
    amounts[AmountOpenColumn] = PaymentAmountText(reminder.openCents);
    amounts[AmountInterestColumn] = PaymentAmountText(reminder.interest.cents);
    amounts[AmountFeeKindColumn] = kFeeKindNames[int(reminder.feeKind)];
    amounts[AmountFeeColumn] = PaymentAmountText(reminder.feeCents);
    amounts[AmountTotalColumn] = PaymentAmountText(reminder.totalCents);
    if (reminder.creditedCents != 0)
        amounts[AmountCreditedColumn] = PaymentAmountText(reminder.creditedCents);
    else
        amounts.removeLast();
    AppendCellsLine(amounts, lines, true);

    for (const ReceivedPayment &payment : reminder.payments)
        AppendCellsLine({kPaymentMark, DateText(payment.date), PaymentAmountText(payment.cents)}, lines, true);
    for (const InterestPeriod &p : reminder.interest.periods) {
        AppendCellsLine({kPeriodMark, DateText(p.first), DateText(p.last), PaymentAmountText(p.openCents),
                         RateText(p.referenceRate), RateText(p.rate), YesNoText(p.statedRate), QString::number(p.days),
                         QString::number(p.daysInYear)},
                        lines, true);
    }
    return lines;
}

std::optional<Reminder> ReadReminderFileLines(const QStringList &lines)
{
    if (lines.size() < 2)
        return std::nullopt;
    const QStringList head = cellsOf(lines[0], HeadColumnCount);
    const QStringList amounts = cellsOf(lines[1], AmountColumnCount);
    if (head[HeadMarkColumn] != kReminderFileMark)
        return std::nullopt;
    Reminder reminder;
    bool numbered = false;
    reminder.number = head[HeadNumberColumn].toInt(&numbered);
    reminder.year = head[HeadYearColumn];
    reminder.invoiceNumber = head[HeadInvoiceNumberColumn];
    reminder.invoiceDate = head[HeadInvoiceDateColumn];
    reminder.dueDate = ReadDate(head[HeadDueDateColumn]);
    reminder.reference = head[HeadReferenceColumn];
    reminder.date = ReadDate(head[HeadDateColumn]);
    reminder.newDueDate = ReadDate(head[HeadNewDueDateColumn]);
    reminder.business = yesOf(head[HeadBusinessColumn]);
    if (!head[HeadStatedRateColumn].isEmpty())
        reminder.statedRate = ParseRateText(head[HeadStatedRateColumn], kStoredRateWholeDigits);
    if (!numbered || !reminder.dueDate.isValid() || !reminder.date.isValid() || !reminder.newDueDate.isValid())
        return std::nullopt;

    const auto feeKind = std::find(std::begin(kFeeKindNames), std::end(kFeeKindNames), amounts[AmountFeeKindColumn]);
    if (feeKind == std::end(kFeeKindNames))
        return std::nullopt;
    reminder.feeKind = ReminderFeeKind(feeKind - std::begin(kFeeKindNames));
    qint64 *const targets[] = {&reminder.originalCents, &reminder.paidCents, &reminder.openCents,
                               &reminder.interest.cents, nullptr, &reminder.feeCents, &reminder.totalCents,
                               &reminder.creditedCents};
    for (int column = 0; column < AmountColumnCount; ++column) {
        if (!targets[column] || (column == AmountCreditedColumn && amounts[column].isEmpty()))
            continue;
        const std::optional<qint64> cents = ParsePaymentAmount(amounts[column]);
        if (!cents)
            return std::nullopt;
        *targets[column] = *cents;
    }

    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList cells = cellsOf(lines[i], PeriodColumnCount);
        if (cells[PaymentMarkColumn] == kPaymentMark) {
            ReceivedPayment payment;
            payment.date = ReadDate(cells[PaymentLineDateColumn]);
            const std::optional<qint64> cents = ParsePaymentAmount(cells[PaymentLineAmountColumn]);
            if (!payment.date.isValid() || !cents)
                return std::nullopt;
            payment.cents = *cents;
            reminder.payments.append(payment);
        } else if (cells[PeriodMarkColumn] == kPeriodMark) {
            InterestPeriod period;
            period.first = ReadDate(cells[PeriodFirstColumn]);
            period.last = ReadDate(cells[PeriodLastColumn]);
            const std::optional<qint64> open = ParsePaymentAmount(cells[PeriodAmountOpenColumn]);
            const std::optional<int> reference =
                ParseRateText(cells[PeriodReferenceRateColumn], kStoredRateWholeDigits);
            const std::optional<int> rate = ParseRateText(cells[PeriodRateColumn], kStoredRateWholeDigits);
            bool daysRead = false;
            bool yearRead = false;
            period.days = cells[PeriodDaysColumn].toInt(&daysRead);
            period.daysInYear = cells[PeriodDaysInYearColumn].toInt(&yearRead);
            if (!period.first.isValid() || !period.last.isValid() || !open || !reference || !rate || !daysRead
                || !yearRead)
                return std::nullopt;
            period.openCents = *open;
            period.referenceRate = *reference;
            period.rate = *rate;
            period.statedRate = yesOf(cells[PeriodStatedColumn]);
            reminder.interest.periods.append(period);
        } else {
            return std::nullopt;
        }
    }
    return reminder;
}

void WriteReminderFile(const QString &path, const Reminder &reminder)
{
    WriteTextLines(path, ReminderFileLines(reminder));
}

Reminder ReadReminderFile(const QString &path)
{
    const std::optional<Reminder> reminder = ReadReminderFileLines(ReadTextLines(path));
    if (!reminder)
        throw CommandError(u"Tiedosto %1 ei ole maksumuistutus."_s.arg(QDir::toNativeSeparators(path)));
    return *reminder;
}
