// The payee's IBAN and BIC and the amount text, as payment codes take them.

#include "paymentfields.h"

#include <QString>

namespace {

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
