// Whole numbers in text, reference numbers and their counter, RF creditor
// references, invoice dates and due dates.

#include "numbering.h"

#include <algorithm>
#include <cstdint>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

int digitValue(QChar c)
{
    return c.unicode() - u'0';
}

bool isCapitalLetter(QChar c)
{
    return c.unicode() >= u'A' && c.unicode() <= u'Z';
}

QString withoutBlanks(QStringView text)
{
    QString kept;
    for (QChar c : text) {
        if (!c.isSpace())
            kept += c;
    }
    return kept;
}

constexpr QStringView kRfPrefix = u"RF";
constexpr qsizetype kRfHeadLength = kRfPrefix.size() + kRfCheckDigits;
constexpr int kRfModulus = 97;
constexpr int kRfCheckBase = 98;
// The check digits 98 minus a remainder mod 97 can take; 00, 01 and 99 would
// pass the remainder test for a reference whose check digits are 97, 98, 02.
constexpr int kRfLowestCheck = kRfCheckBase - (kRfModulus - 1);
constexpr int kRfHighestCheck = kRfCheckBase;
constexpr int kRfValidRemainder = 1;
constexpr qsizetype kRfGroupLength = 4;
// A letter counts as the two digits of 10 for A up to 35 for Z.
constexpr int kFirstLetterValue = 10;

// The remainder mod 97 of the number the digits and capitals write, carried on
// from the remainder of what stands before them.
int rfRemainder(QStringView text, int before = 0)
{
    int remainder = before;
    for (QChar c : text) {
        if (isAsciiDigit(c))
            remainder = (remainder * 10 + digitValue(c)) % kRfModulus;
        else
            remainder = (remainder * 100 + kFirstLetterValue + (c.unicode() - u'A')) % kRfModulus;
    }
    return remainder;
}

// Days in four years of the program's own calendar, where every fourth year leaps.
constexpr std::int64_t kDaysInFourYears = 1461;

int monthLength(std::int64_t month, std::int64_t year)
{
    static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year % 4 == 0)
        return 29;
    return kLengths[month - 1];
}

} // namespace

int TakeInteger(QStringView text, int &position)
{
    const qsizetype length = text.size();
    qsizetype pos = position < 1 ? 1 : position;
    const auto inRun = [&text](qsizetype p) {
        const QChar c = text[p - 1];
        return isAsciiDigit(c) || c == u'-';
    };
    while (pos <= length && !inRun(pos))
        ++pos;
    const qsizetype start = pos;
    while (pos <= length && inRun(pos))
        ++pos;
    position = static_cast<int>(qMin<qsizetype>(pos, std::numeric_limits<int>::max()));
    if (start > length || start == pos)
        return 0;

    qsizetype p = start;
    const bool negative = text[p - 1] == u'-';
    if (negative)
        ++p;
    if (p == pos)
        return 0;
    // The magnitude is checked as it grows, so a long run cannot overflow.
    const std::int64_t limit = negative ? std::int64_t(std::numeric_limits<int>::max()) + 1
                                        : std::numeric_limits<int>::max();
    std::int64_t value = 0;
    for (; p < pos; ++p) {
        const QChar c = text[p - 1];
        if (!isAsciiDigit(c))
            return 0;
        value = value * 10 + digitValue(c);
        if (value > limit)
            return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

QString AppendCheckDigit(const QString &text)
{
    if (text.isEmpty())
        return text;
    static constexpr int kWeights[3] = {3, 7, 9};
    // 1-based positions, as in the reference rules.
    const auto at = [&text](qsizetype i) { return text[i - 1]; };
    qsizetype i = text.size();
    while (i > 1 && !isAsciiDigit(at(i)))
        --i;
    int sum = 0;
    int k = 0;
    while (i >= 1 && isAsciiDigit(at(i))) {
        sum += digitValue(at(i)) * kWeights[k];
        --i;
        if (i > 1 && !isAsciiDigit(at(i)))
            --i;
        k = (k + 1) % 3;
    }
    return text + QChar(u'0' + sum % 10);
}

bool IsValidNationalReference(QStringView reference)
{
    const QString digits = withoutBlanks(reference);
    if (digits.size() < kNationalReferenceMinDigits || digits.size() > kNationalReferenceMaxDigits
        || !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        return false;
    return AppendCheckDigit(digits.chopped(1)) == digits;
}

QString RfReference(QStringView national)
{
    if (!IsValidNationalReference(national))
        return {};
    const QString body = withoutBlanks(national);
    // The check digits stand as "00" while they are worked out.
    const int remainder = rfRemainder(u"00", rfRemainder(kRfPrefix, rfRemainder(body)));
    const QString compact = kRfPrefix.toString()
        + QString::number(kRfCheckBase - remainder).rightJustified(kRfCheckDigits, u'0') + body;
    QString grouped;
    for (qsizetype i = 0; i < compact.size(); i += kRfGroupLength) {
        if (i > 0)
            grouped += u' ';
        grouped += compact.mid(i, kRfGroupLength);
    }
    return grouped;
}

bool IsValidRfReference(QStringView reference)
{
    const QString compact = withoutBlanks(reference);
    if (compact.size() <= kRfHeadLength || compact.size() > kRfHeadLength + kRfBodyMaxLength
        || !compact.startsWith(kRfPrefix))
        return false;
    const QStringView head = QStringView(compact).first(kRfHeadLength);
    const QStringView checkDigits = head.sliced(kRfPrefix.size());
    const QStringView body = QStringView(compact).sliced(kRfHeadLength);
    if (!std::all_of(checkDigits.begin(), checkDigits.end(), isAsciiDigit)
        || !std::all_of(body.begin(), body.end(),
                        [](QChar c) { return isAsciiDigit(c) || isCapitalLetter(c); }))
        return false;
    const int check = digitValue(checkDigits[0]) * 10 + digitValue(checkDigits[1]);
    if (check < kRfLowestCheck || check > kRfHighestCheck)
        return false;
    return rfRemainder(head, rfRemainder(body)) == kRfValidRemainder;
}

bool IsRfReference(QStringView reference)
{
    return withoutBlanks(reference).startsWith(kRfPrefix);
}

QString RfReferenceBody(QStringView reference)
{
    return withoutBlanks(reference).mid(kRfPrefix.size() + kRfCheckDigits);
}

bool ReferenceFailsCheck(QStringView reference)
{
    return !withoutBlanks(reference).isEmpty() && !IsValidNationalReference(reference)
        && !IsValidRfReference(reference);
}

QString DateText(const QDate &date)
{
    if (!date.isValid())
        return QStringLiteral("00.00.0000");
    const int year = date.year();
    QString yearText = QString::number(qAbs(year)).rightJustified(4, u'0');
    if (year < 0)
        yearText.prepend(u'-');
    return QString::number(date.day()) + u'.' + QString::number(date.month()) + u'.' + yearText;
}

QString WholeNumberText(QStringView text)
{
    int position = 1;
    if (const int value = TakeInteger(text, position))
        return QString::number(value);
    // TakeInteger gives 0 for a run of digits beyond its range too, which is
    // still a number; position stands just past the run.
    const qsizetype end = position - 1;
    qsizetype start = end;
    while (start > 0 && (isAsciiDigit(text[start - 1]) || text[start - 1] == u'-'))
        --start;
    QStringView digits = text.sliced(start, end - start);
    const bool negative = digits.startsWith(u'-');
    if (negative)
        digits = digits.sliced(1);
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        return u"0"_s;
    while (digits.size() > 1 && digits.front() == u'0')
        digits = digits.sliced(1);
    if (digits == u"0")
        return u"0"_s;
    return (negative ? u"-"_s : QString()) + digits.toString();
}

QString IncrementWholeNumberText(const QString &number)
{
    const bool negative = number.startsWith(u'-');
    QString digits = negative ? number.mid(1) : number;
    if (!negative) {
        qsizetype i = digits.size();
        while (i > 0 && digits[i - 1] == u'9')
            digits[--i] = u'0';
        if (i == 0)
            digits.prepend(u'1');
        else
            digits[i - 1] = QChar(digits[i - 1].unicode() + 1);
        return digits;
    }
    // Below zero one more is one less in magnitude.
    qsizetype i = digits.size();
    while (i > 0 && digits[i - 1] == u'0')
        digits[--i] = u'9';
    if (i > 0)
        digits[i - 1] = QChar(digits[i - 1].unicode() - 1);
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    return digits == u"0" ? digits : u"-"_s + digits;
}

QDate DueDate(const QDate &today, QStringView paymentTerms)
{
    int position = 1;
    const int days = TakeInteger(paymentTerms, position);
    const QDate due = today.addDays(days);
    if (!due.isValid() || due.year() < 1 || due.year() > 9999)
        return {};
    return due;
}

QString RegroupReferenceBase(const QString &text)
{
    QString grouped = text;
    grouped.remove(u' ');
    for (qsizetype i = 4; i < grouped.size(); i += 6)
        grouped.insert(grouped.size() - i, u' ');
    return grouped;
}

QString StepReferenceBase(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("1");
    QString stepped = text;
    // 1-based positions, as in the counter rules.
    const auto isDigitAt = [&stepped](qsizetype p) { return isAsciiDigit(stepped[p - 1]); };
    qsizetype p = stepped.size();
    while (p > 1 && !isDigitAt(p))
        --p;
    while (p >= 1 && isDigitAt(p)) {
        QChar &c = stepped[p - 1];
        if (c != u'9') {
            c = QChar(c.unicode() + 1);
            return stepped;
        }
        c = u'0';
        --p;
        if (p > 1 && !isDigitAt(p))
            --p;
    }
    if (p == 0)
        stepped.prepend(u'1');
    return stepped;
}

std::optional<QString> RecalcDueDateText(QStringView invoiceDate, QStringView terms)
{
    int position = 1;
    std::int64_t day = TakeInteger(invoiceDate, position);
    std::int64_t month = TakeInteger(invoiceDate, position);
    std::int64_t year = TakeInteger(invoiceDate, position);
    if (day < 1 || day > 31 || month < 1 || month > 12 || year <= 1900 || year >= 2099)
        return std::nullopt;
    int termPosition = 1;
    day += TakeInteger(terms, termPosition);

    // Any 48 months hold 1461 days, so whole four-year spans are stepped at once;
    // what is left walks at most 49 months.
    if (day > kDaysInFourYears) {
        const std::int64_t spans = (day - 1) / kDaysInFourYears;
        day -= spans * kDaysInFourYears;
        year += 4 * spans;
    } else if (day < 1) {
        const std::int64_t spans = -day / kDaysInFourYears;
        day += spans * kDaysInFourYears;
        year -= 4 * spans;
    }
    while (day > monthLength(month, year)) {
        day -= monthLength(month, year);
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    while (day < 1) {
        if (--month < 1) {
            month = 12;
            --year;
        }
        day += monthLength(month, year);
    }
    return QString::number(day) + u'.' + QString::number(month) + u'.' + QString::number(year);
}
