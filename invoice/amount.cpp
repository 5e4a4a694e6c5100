// Amount text: reading and writing money, quantities and VAT rates, and the
// 6-byte real that every stored amount is rounded to.

#include "amount.h"

#include <QtNumeric>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr char16_t kNoBreakSpace = 0x00A0;

// 2^127 and 2^-128: the limits of the 6-byte real.
const long double kRealLimit = std::ldexp(1.0L, 127);
const long double kRealSmallest = std::ldexp(1.0L, -128);

// Decimal orders beyond the 80-bit extended range: the text conversion
// overflows above, and gives 0 below.
constexpr std::int64_t kHighestOrder = 4933;
constexpr std::int64_t kLowestOrder = -4960;
// A written exponent stops growing here; any text shorter than this still
// reads to the right order.
constexpr std::int64_t kExponentCap = 1'000'000'000'000'000;

struct RealForm
{
    long double value = 0;
    bool overflow = false;
};

// Rounds to a 40-bit significand (half away from zero) and clears values below
// the smallest 6-byte real.
RealForm roundToReal(long double value)
{
    if (!std::isfinite(value))
        return {value, true};
    if (value == 0)
        return {0, false};
    int exponent = 0;
    const long double fraction = std::frexp(value, &exponent);
    const long double rounded = std::ldexp(std::round(std::ldexp(fraction, 40)), exponent - 40);
    if (std::fabs(rounded) >= kRealLimit)
        return {rounded, true};
    if (std::fabs(rounded) < kRealSmallest)
        return {0, false};
    return {rounded, false};
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The text's value before storing, or nullopt when it does not read as a number.
// A huge value within the extended range but beyond this platform's long double
// comes back as an infinity, so that storing it overflows.
std::optional<long double> readAmount(QStringView text)
{
    // Both rewrites (first full stop to comma, no-break spaces out) in one pass;
    // any other character outside ASCII cannot belong to a number.
    std::string s;
    s.reserve(static_cast<std::size_t>(text.size()));
    bool stopSeen = false;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == kNoBreakSpace)
            continue;
        if (c >= 0x80)
            return std::nullopt;
        if (c == u'.' && !stopSeen) {
            stopSeen = true;
            s.push_back(',');
            continue;
        }
        s.push_back(static_cast<char>(c));
    }

    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    const std::size_t intStart = i;
    while (i < n && isAsciiDigit(s[i]))
        ++i;
    const std::size_t intEnd = i;
    bool comma = false;
    std::size_t fracStart = i;
    std::size_t fracEnd = i;
    if (i < n && s[i] == ',') {
        comma = true;
        fracStart = ++i;
        while (i < n && isAsciiDigit(s[i]))
            ++i;
        fracEnd = i;
    }
    if (intEnd == intStart && !comma)
        return std::nullopt;
    std::int64_t exponent = 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            negativeExponent = s[i++] == '-';
        const std::size_t expStart = i;
        while (i < n && isAsciiDigit(s[i])) {
            if (exponent < kExponentCap)
                exponent = exponent * 10 + (s[i] - '0');
            ++i;
        }
        if (i == expStart)
            return std::nullopt;
        if (negativeExponent)
            exponent = -exponent;
    }
    while (i < n && s[i] == ' ')
        ++i;
    if (i != n)
        return std::nullopt;

    // Significant digits D and order k with value = 0.D x 10^k, so that the
    // conversion sees a bounded exponent however long the text is.
    std::string digits;
    digits.reserve((intEnd - intStart) + (fracEnd - fracStart));
    digits.append(s, intStart, intEnd - intStart);
    digits.append(s, fracStart, fracEnd - fracStart);
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0.0L;
    const std::size_t last = digits.find_last_not_of('0');
    const std::int64_t order = static_cast<std::int64_t>(intEnd - intStart)
            - static_cast<std::int64_t>(first) + exponent;
    if (order > kHighestOrder)
        return std::nullopt;
    if (order < kLowestOrder)
        return 0.0L;

    std::string normal = "0.";
    normal.append(digits, first, last - first + 1);
    normal += 'e';
    normal += std::to_string(order);
    long double value = 0;
    const std::errc error = std::from_chars(normal.data(), normal.data() + normal.size(), value).ec;
    if (error == std::errc::result_out_of_range) {
        if (order <= 0)
            return 0.0L;
        if (order == kHighestOrder)
            return std::nullopt;
        value = HUGE_VALL;
    } else if (error != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace

FloatingPointOverflow::FloatingPointOverflow()
    : std::runtime_error("Floating point overflow")
{
}

double StoreReal(long double value)
{
    const RealForm stored = roundToReal(value);
    if (stored.overflow)
        throw FloatingPointOverflow();
    // The 6-byte zero has no sign.
    if (stored.value == 0)
        return 0.0;
    return static_cast<double>(stored.value);
}

std::optional<double> TryParseAmount(QStringView text)
{
    const std::optional<long double> value = readAmount(text);
    if (!value)
        return std::nullopt;
    return StoreReal(*value);
}

double ParseAmount(QStringView text)
{
    return TryParseAmount(text).value_or(0.0);
}

QString FormatAmount(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

    const long double shifted = static_cast<long double>(value) + 0.000001L;
    // Forty decimals decide the rounding at two: no long double lies within
    // 1e-40 of a half cent without being one.
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, shifted,
                                            std::chars_format::fixed, 40);
    if (error != std::errc())
        return QStringLiteral("0,00");
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));

    const bool negative = !text.empty() && text.front() == '-';
    const std::size_t point = text.find('.');
    // Integer digits followed by two decimals, rounded half away from zero.
    std::string cents(text.substr(negative ? 1 : 0, point - (negative ? 1 : 0)));
    cents.append(text.substr(point + 1, 2));
    if (text[point + 3] >= '5') {
        std::size_t k = cents.size();
        while (k > 0 && cents[k - 1] == '9')
            cents[--k] = '0';
        if (k == 0)
            cents.insert(cents.begin(), '1');
        else
            ++cents[k - 1];
    }
    const bool zero = cents.find_first_not_of('0') == std::string::npos;

    const std::size_t intLength = cents.size() - 2;
    QString result;
    result.reserve(static_cast<qsizetype>(cents.size() + intLength / 3 + 2));
    if (negative && !zero)
        result += u'-';
    for (std::size_t k = 0; k < intLength; ++k) {
        if (k > 0 && (intLength - k) % 3 == 0)
            result += QChar(kNoBreakSpace);
        result += QLatin1Char(cents[k]);
    }
    result += u',';
    result += QLatin1Char(cents[intLength]);
    result += QLatin1Char(cents[intLength + 1]);
    return result;
}

std::optional<qint64> ParseCents(QStringView text)
{
    const QStringView plain = text.trimmed();
    const qsizetype n = plain.size();
    qsizetype i = 0;
    const bool negative = i < n && plain[i] == u'-';
    if (negative)
        ++i;
    const auto isDigitAt = [&](qsizetype k) { return k < n && plain[k] >= u'0' && plain[k] <= u'9'; };
    const auto isGroupBlankAt = [&](qsizetype k) { return k < n && (plain[k] == u' ' || plain[k] == QChar(kNoBreakSpace)); };
    qint64 cents = 0;
    const auto takeDigit = [&] {
        return !qMulOverflow(cents, qint64(10), &cents) && !qAddOverflow(cents, qint64(plain[i++].unicode() - u'0'), &cents);
    };

    const qsizetype euroStart = i;
    while (isDigitAt(i)) {
        if (!takeDigit())
            return std::nullopt;
    }
    const qsizetype firstGroup = i - euroStart;
    // Blanks part groups of thousands only: up to three digits first, then threes.
    if (firstGroup == 0 || (isGroupBlankAt(i) && firstGroup > 3))
        return std::nullopt;
    while (isGroupBlankAt(i)) {
        ++i;
        for (int k = 0; k < 3; ++k) {
            if (!isDigitAt(i) || !takeDigit())
                return std::nullopt;
        }
        if (isDigitAt(i))
            return std::nullopt;
    }
    int decimals = 0;
    if (i < n && plain[i] == u',') {
        ++i;
        for (; isDigitAt(i); ++decimals) {
            if (decimals == 2 || !takeDigit())
                return std::nullopt;
        }
        if (decimals == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    for (; decimals < 2; ++decimals) {
        if (qMulOverflow(cents, qint64(10), &cents))
            return std::nullopt;
    }
    return negative ? -cents : cents;
}

QString FormatCents(qint64 cents, CentsGrouping grouping)
{
    // Unsigned, so that the most negative count has a magnitude too.
    const quint64 magnitude = cents < 0 ? 0 - static_cast<quint64>(cents) : static_cast<quint64>(cents);
    const QString euros = QString::number(magnitude / 100);
    QString text;
    text.reserve(euros.size() + euros.size() / 3 + 4);
    if (cents < 0)
        text += u'-';
    for (qsizetype k = 0; k < euros.size(); ++k) {
        if (grouping == CentsGrouping::NoBreakSpaces && k > 0 && (euros.size() - k) % 3 == 0)
            text += QChar(kNoBreakSpace);
        text += euros[k];
    }
    text += u',';
    text += QString::number(magnitude % 100).rightJustified(2, u'0');
    return text;
}

bool VatRateNeedsDefault(QStringView vat)
{
    const std::optional<long double> value = readAmount(vat);
    if (!value)
        return true;
    // Judged as the stored rate, without the overflow a later recalculation reports.
    return roundToReal(*value).value < 0;
}

namespace {

// Up to twelve digits of euros keeps every amount exact in cents.
constexpr qint64 kLargestPaymentCents = 99'999'999'999'999;

} // namespace

QString PaymentAmountText(qint64 cents)
{
    return FormatCents(cents, CentsGrouping::None);
}

std::optional<qint64> ParsePaymentAmount(QStringView text)
{
    const std::optional<qint64> cents = ParseCents(text);
    if (!cents || *cents < -kLargestPaymentCents || *cents > kLargestPaymentCents)
        return std::nullopt;
    return cents;
}
