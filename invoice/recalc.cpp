// The one computation of an invoice's totals: each row's amount and VAT, the
// VAT per rate, then the totals, with every stored value rounded as a 6-byte real.

#include "recalc.h"

#include "amount.h"

#include <QMap>
#include <QtNumeric>

#include <charconv>
#include <optional>

namespace {

constexpr char16_t kNoBreakSpace = 0x00A0;

// The lowest bit of the smallest 6-byte real is 2^-167, so this many decimals
// write any rate exactly.
constexpr int kExactRateDecimals = 167;

// Running sums of the invoice or of one rate: row totals as written, and the
// row VATs unrounded.
struct RowSums
{
    double total = 0;
    double vat = 0;

    void add(double rowTotal, double rowVat)
    {
        total = StoreReal(static_cast<long double>(total) + rowTotal);
        vat = StoreReal(static_cast<long double>(vat) + rowVat);
    }
};

// The three totals of summed rows. The derived total is read back from the
// texts just written, so that the three agree to the cent.
InvoiceTotals totalsOf(const RowSums &sums, bool vatIncluded)
{
    InvoiceTotals totals;
    totals.vat = FormatAmount(sums.vat);
    if (vatIncluded) {
        totals.total = FormatAmount(sums.total);
        totals.withoutVat = FormatAmount(StoreReal(
                static_cast<long double>(ParseAmount(totals.total)) - ParseAmount(totals.vat)));
    } else {
        totals.withoutVat = FormatAmount(sums.total);
        totals.total = FormatAmount(StoreReal(
                static_cast<long double>(ParseAmount(totals.withoutVat)) + ParseAmount(totals.vat)));
    }
    return totals;
}

// Puts a no-break space between the groups of thousands of "-12345,6".
QString groupThousands(QString number)
{
    const qsizetype start = number.startsWith(u'-') ? 1 : 0;
    const qsizetype comma = number.indexOf(u',');
    for (qsizetype k = (comma < 0 ? number.size() : comma) - 3; k > start; k -= 3)
        number.insert(k, QChar(kNoBreakSpace));
    return number;
}

// The rate with the fewest decimals that read back as the same rate, so that
// "24,0" shows as "24" and "25.50" as "25,5". The fewest never end in a zero.
QString rateText(double rate)
{
    // Room for the 39 whole digits of the largest 6-byte real and every decimal.
    char buffer[256];
    QString text;
    for (int decimals = 0; decimals <= kExactRateDecimals; ++decimals) {
        const char *end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long double>(rate),
                                        std::chars_format::fixed, decimals).ptr;
        text = QString::fromLatin1(buffer, end - buffer).replace(u'.', u',');
        if (ParseAmount(text) == rate)
            break;
    }
    return groupThousands(text);
}

// The invoice totals as the sums of the rate lines in whole cents, so that the
// lines add up to them exactly; nullopt when a sum does not fit in 64 bits.
std::optional<InvoiceTotals> sumOfLines(const QList<VatRateLine> &lines)
{
    qint64 withoutVat = 0;
    qint64 vat = 0;
    for (const VatRateLine &line : lines) {
        const std::optional<qint64> lineWithoutVat = ParseCents(line.withoutVat);
        const std::optional<qint64> lineVat = ParseCents(line.vat);
        if (!lineWithoutVat || !lineVat || qAddOverflow(withoutVat, *lineWithoutVat, &withoutVat)
            || qAddOverflow(vat, *lineVat, &vat))
            return std::nullopt;
    }
    qint64 total = 0;
    if (qAddOverflow(withoutVat, vat, &total))
        return std::nullopt;
    return InvoiceTotals{FormatCents(withoutVat), FormatCents(vat), FormatCents(total), lines};
}

} // namespace

InvoiceTotals RecalcAmounts(QList<RowAmounts> &rows, bool pricesIncludeVat, bool totalsIncludeVat)
{
    RowSums invoiceSums;
    // Keyed by the rate the VAT cell reads as, so rising.
    QMap<double, RowSums> rateSums;

    for (RowAmounts &row : rows) {
        const double quantity = ParseAmount(row.quantity);
        const double price = ParseAmount(row.price);
        if (quantity == 0 || price == 0) {
            row.price.clear();
            row.total.clear();
            continue;
        }
        row.price = FormatAmount(price);
        const double amount = StoreReal(static_cast<long double>(quantity) * price);
        const double rate = ParseAmount(row.vat);
        double rowVat = 0;
        if (pricesIncludeVat) {
            rowVat = StoreReal(static_cast<long double>(amount) * rate / (rate + 100.0L));
            row.total = FormatAmount(amount);
        } else {
            rowVat = StoreReal(static_cast<long double>(amount) * rate * 0.01L);
            row.total = totalsIncludeVat
                    ? FormatAmount(StoreReal(static_cast<long double>(amount) + rowVat))
                    : FormatAmount(amount);
        }
        const double rowTotal = ParseAmount(row.total);
        invoiceSums.add(rowTotal, rowVat);
        rateSums[rate].add(rowTotal, rowVat);
    }

    const bool vatIncluded = totalsIncludeVat || pricesIncludeVat;
    QList<VatRateLine> lines;
    lines.reserve(rateSums.size());
    for (auto it = rateSums.cbegin(); it != rateSums.cend(); ++it) {
        const InvoiceTotals share = totalsOf(it.value(), vatIncluded);
        lines.append({rateText(it.key()), share.withoutVat, share.vat});
    }
    // A single rate's sums are the invoice's own. Beyond 64-bit cents no 6-byte
    // real holds cents anyway, and the rows give the totals as for one rate.
    if (lines.size() > 1) {
        if (std::optional<InvoiceTotals> summed = sumOfLines(lines))
            return *summed;
    }
    InvoiceTotals totals = totalsOf(invoiceSums, vatIncluded);
    totals.rates = lines;
    return totals;
}
