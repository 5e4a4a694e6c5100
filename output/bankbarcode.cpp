// The bank barcode's content and the Code 128 symbol's characters and size.

#include "bankbarcode.h"

#include "invoice/numbering.h"
#include "output/scaling.h"

#include <algorithm>
#include <array>

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
constexpr int kEuroDigits = 6;
constexpr int kCentDigits = 2;
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
    const bool rf = IsRfReference(reference);
    QString content = (rf ? kRfReferenceVersion : kNationalReferenceVersion) + digitsOf(iban);

    const qsizetype comma = total.indexOf(u',');
    content += digitsOf(total.left(comma)).rightJustified(kEuroDigits, u'0');
    QString cents;
    for (qsizetype i = comma + 1; comma >= 0 && i < total.size() && isDigit(total[i]); ++i)
        cents += total[i];
    content += cents.leftJustified(kCentDigits, u'0');

    const QString referenceDigits = digitsOf(reference);
    if (rf) {
        // After "RF" come the check digits, then the body; letters in the body
        // stay, so that such a reference gives no barcode.
        content += referenceDigits.left(kRfCheckDigits) + RfReferenceBody(reference).rightJustified(kRfBodyMaxLength, u'0');
    } else {
        content += kNationalReferenceFiller;
        content += referenceDigits.rightJustified(kNationalReferenceMaxDigits, u'0');
    }

    int position = 1;
    const int day = TakeInteger(dueDate, position);
    const int month = TakeInteger(dueDate, position);
    const int year = TakeInteger(dueDate, position);
    // Padding the growing text gives a one-digit month or year its leading zero.
    QString date = QString::number(day).rightJustified(2, u'0');
    date = (QString::number(month) + date).rightJustified(4, u'0');
    date = (QString::number(year % 100) + date).rightJustified(6, u'0');
    return content + date;
}

bool IsBankBarcodeContent(QStringView content)
{
    return content.size() == kBankBarcodeLength && std::all_of(content.begin(), content.end(), isDigit);
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
