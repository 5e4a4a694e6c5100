// The bank barcode's content and the Code 128 symbol's characters and size.

#include "bankbarcode.h"

#include "invoice/amount.h"
#include "invoice/dates.h"
#include "invoice/numbering.h"
#include "output/paymentfields.h"
#include "output/scaling.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace {

// The published Code 128 symbol character patterns, values 0 to 106: element
// widths in modules, bar first.
constexpr std::array<const char *, 107> kPatterns = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112",
};

constexpr int kStartC = 105;
constexpr int kStop = 106;

constexpr QChar kNationalReferenceVersion = u'4';
constexpr QChar kRfReferenceVersion = u'5';
constexpr int kAccountDigits = 16;
constexpr QStringView kFinland = u"FI";
constexpr int kEuroDigits = 6;
constexpr int kCentDigits = 2;
constexpr int kDueDateDigits = 6;
// A payment of at least a cent, at most what six euro digits hold.
constexpr std::int64_t kLowestCents = 1;
constexpr std::int64_t kHighestCents = 99'999'999;
// Version 4 keeps these zeros between the amount and the reference.
constexpr QStringView kNationalReferenceFiller = u"000";

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString digitsOf(QStringView text)
{
    QString digits;
    for (QChar c : text) {
        if (isDigit(c))
            digits += c;
    }
    return digits;
}

// The account: the 16 digits of a Finnish IBAN that passes its check.
std::optional<QString> accountField(QStringView iban)
{
    const QString plain = iban.toString().simplified().remove(u' ');
    const QString digits = digitsOf(plain);
    if (plain != kFinland.toString() + digits || digits.size() != kAccountDigits || !IsValidIban(plain))
        return std::nullopt;
    return digits;
}

// Euros and cents of a payment: nothing for a credit or zero, nor for more
// than the six euro digits hold.
std::optional<QString> amountField(QStringView total)
{
    const std::optional<qint64> cents = ParseCents(total);
    if (!cents || *cents < kLowestCents || *cents > kHighestCents)
        return std::nullopt;
    return QString::number(*cents / 100).rightJustified(kEuroDigits, u'0')
        + QString::number(*cents % 100).rightJustified(kCentDigits, u'0');
}

// What follows the amount up to the due date: in version 4 "000" and the
// national reference, in version 5 the RF check digits and the body, which
// must be all digits to fit the barcode.
std::optional<QString> referenceField(QStringView reference)
{
    if (IsValidNationalReference(reference))
        return kNationalReferenceFiller.toString() + digitsOf(reference).rightJustified(kNationalReferenceMaxDigits, u'0');
    const QString body = RfReferenceBody(reference);
    if (!IsValidRfReference(reference) || !std::all_of(body.begin(), body.end(), isDigit))
        return std::nullopt;
    return digitsOf(reference).left(kRfCheckDigits) + body.rightJustified(kRfBodyMaxLength, u'0');
}

// The due date as YYMMDD; six zeros when none is given ("00.00.0000" or
// empty), nothing when the text names no real day.
std::optional<QString> dueDateField(QStringView dueDate)
{
    if (dueDate.trimmed().isEmpty() || dueDate.trimmed() == DateText(QDate()))
        return QString(kDueDateDigits, u'0');
    const QDate date = ReadDate(dueDate);
    if (!date.isValid())
        return std::nullopt;
    return date.toString(u"yyMMdd");
}

// Modules of a symbol of n data characters: start, data, check, stop and the
// two-module termination bar.
int modulesOf(int dataCharacters)
{
    return (dataCharacters + 3) * 11 + 2;
}

} // namespace

QString BuildBankBarcode(QStringView iban, QStringView total, QStringView reference,
                         QStringView dueDate)
{
    const std::optional<QString> account = accountField(iban);
    const std::optional<QString> amount = amountField(total);
    const std::optional<QString> referenceDigits = referenceField(reference);
    const std::optional<QString> date = dueDateField(dueDate);
    if (!account || !amount || !referenceDigits || !date)
        return {};
    const QChar version = IsRfReference(reference) ? kRfReferenceVersion : kNationalReferenceVersion;
    return version + *account + *amount + *referenceDigits + *date;
}

bool IsBankBarcodeContent(QStringView content)
{
    return content.size() == kBankBarcodeLength && std::all_of(content.begin(), content.end(), isDigit);
}

QString VirtualBarcodeText(QStringView content)
{
    return QStringLiteral("Virtuaaliviivakoodi  ") + content.toString();
}

QList<int> Code128SetCValues(QStringView digits)
{
    QList<int> values{kStartC};
    int sum = kStartC;
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2) {
        const int value = (digits[i].unicode() - u'0') * 10 + (digits[i + 1].unicode() - u'0');
        sum += int(values.size()) * value;
        values.append(value);
    }
    values.append(sum % 103);
    values.append(kStop);
    return values;
}

QList<int> Code128Elements(int value)
{
    QList<int> widths;
    if (value < 0 || value >= int(kPatterns.size()))
        return widths;
    for (const char *c = kPatterns[value]; *c; ++c)
        widths.append(*c - '0');
    return widths;
}

Code128Geometry Code128BitmapGeometry(int dataCharacters, int dotsPerInch)
{
    Code128Geometry g;
    g.module = MulDiv(1050, dotsPerInch, modulesOf(dataCharacters) * 254);
    g.width = (dataCharacters + 3) * 11 * g.module + 2;
    g.widthMm = MulDiv(g.width, 254, dotsPerInch * 10);
    g.left = (TenthsMmToDevice(1500, dotsPerInch) - g.width) / 2;
    g.barHeight = TenthsMmToDevice(120, dotsPerInch);
    g.drawn = g.module > 0 && g.widthMm >= 70;
    return g;
}

Code128Geometry Code128DirectGeometry(int dataCharacters, int dotsPerInch)
{
    Code128Geometry g;
    g.module = MulDiv(1050, dotsPerInch, modulesOf(dataCharacters) * 254);
    g.width = modulesOf(dataCharacters) * g.module;
    g.widthMm = MulDiv(g.module * 254, modulesOf(dataCharacters), dotsPerInch * 10);
    g.left = TenthsMmToDevice((150 - g.widthMm) * 5, dotsPerInch);
    g.barHeight = TenthsMmToDevice(120, dotsPerInch);
    g.drawn = g.module > 0 && g.widthMm >= 70;
    return g;
}
