// The payee's IBAN and BIC and the amount text, as payment codes take them.

#include "paymentfields.h"

#include <QString>

namespace {

// Beyond this the amount is no payment; stopping there keeps the sum
// within 64 bits for any length of text.
constexpr std::int64_t kLargestEuros = 999'999'999'999'999;

constexpr qsizetype kShortestIban = 15;
constexpr qsizetype kLongestIban = 34;
constexpr qsizetype kBicLength = 8;
constexpr qsizetype kBicWithBranchLength = 11;
// Letters only: the bank code and the country code.
constexpr qsizetype kBicLetters = 6;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isCapital(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

} // namespace

QString WithoutBlanks(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (!c.isSpace())
            result += c;
    }
    return result;
}

bool IsValidIban(QStringView iban)
{
    const QString plain = WithoutBlanks(iban);
    if (plain.size() < kShortestIban || plain.size() > kLongestIban || !isCapital(plain[0])
        || !isCapital(plain[1]) || !isDigit(plain[2]) || !isDigit(plain[3]))
        return false;
    const QString rearranged = plain.mid(4) + plain.left(4);
    int remainder = 0;
    for (QChar c : rearranged) {
        if (isDigit(c))
            remainder = (remainder * 10 + (c.unicode() - u'0')) % 97;
        else if (isCapital(c))
            remainder = (remainder * 100 + (c.unicode() - u'A' + 10)) % 97;
        else
            return false;
    }
    return remainder == 1;
}

bool IsValidBic(QStringView bic)
{
    const QString plain = WithoutBlanks(bic);
    if (plain.size() != kBicLength && plain.size() != kBicWithBranchLength)
        return false;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (!isCapital(plain[i]) && (i < kBicLetters || !isDigit(plain[i])))
            return false;
    }
    return true;
}

std::optional<std::int64_t> PaymentAmountCents(QStringView amount)
{
    const QString plain = WithoutBlanks(amount);
    const qsizetype comma = plain.indexOf(u',');
    const QStringView euros = QStringView(plain).left(comma);
    const QStringView decimals = comma < 0 ? QStringView() : QStringView(plain).mid(comma + 1);
    if (euros.isEmpty() || decimals.size() > 2 || (comma >= 0 && decimals.isEmpty()))
        return std::nullopt;
    std::int64_t cents = 0;
    for (QChar c : euros) {
        if (!isDigit(c))
            return std::nullopt;
        cents = cents * 10 + (c.unicode() - u'0');
        if (cents > kLargestEuros)
            return std::nullopt;
    }
    cents *= 100;
    for (qsizetype i = 0; i < 2; ++i) {
        const QChar c = i < decimals.size() ? decimals[i] : u'0';
        if (!isDigit(c))
            return std::nullopt;
        cents += (c.unicode() - u'0') * (i == 0 ? 10 : 1);
    }
    return cents;
}
