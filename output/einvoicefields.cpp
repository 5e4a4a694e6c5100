// The parts both e-invoice formats are made of: the amounts and rows they
// carry, and the small conversions of texts, dates, units and addresses.

#include "output/einvoicefields.h"

#include "invoice/amount.h"
#include "invoice/dates.h"
#include "invoice/numbering.h"
#include "output/paymentfields.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Quantities are typed with a few decimals; beyond this many the stored
// value's binary tail would show.
constexpr int kMostDecimals = 15;

// Cents of an amount in euros, half away from zero.
qint64 roundedCents(long double euros)
{
    return std::llround(euros * 100.0L);
}

// Moves a rate's row amounts without VAT a cent at a time, largest rows
// first, until they add up to the base the page printed for the rate. The
// page's base comes from the rate's summed totals and summed VAT, so the
// rows' own rounded amounts may miss it by a few cents.
void shareBase(QList<EinvoiceRow> &rows, const QList<qsizetype> &rateRows, qint64 base)
{
    if (rateRows.isEmpty())
        return;
    qint64 sum = 0;
    for (qsizetype index : rateRows)
        sum += rows[index].netCents;
    QList<qsizetype> order = rateRows;
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return std::llabs(rows[a].netCents) > std::llabs(rows[b].netCents);
    });
    const qint64 step = base > sum ? 1 : -1;
    for (qsizetype k = 0; sum != base; k = (k + 1) % order.size()) {
        rows[order[k]].netCents += step;
        sum += step;
    }
}

} // namespace

const QString kZeroVatReasonText = u"Arvonlisäveroton myynti"_s;
const QString kOvtEndpointScheme = u"0216"_s;
EinvoiceAmounts EinvoiceAmountsOf(const InvoiceRecord &record)
{
    const bool pricesWithVat = UnitPricesWithVat(record);
    const bool totalsWithVat = RowTotalsWithVat(record);
    QList<RowAmounts> amounts;
    amounts.reserve(record.invoice.rows.size());
    for (const QStringList &row : record.invoice.rows)
        amounts.append({row.value(QuantityColumn), row.value(PriceColumn), row.value(VatColumn), row.value(TotalColumn)});

    EinvoiceAmounts result;
    result.totals = RecalcAmounts(amounts, pricesWithVat, totalsWithVat);
    QList<double> rates;
    for (const VatRateLine &line : std::as_const(result.totals.rates))
        rates.append(ParseAmount(line.rate));
    QList<QList<qsizetype>> rowsOfRate(rates.size());

    for (qsizetype i = 0; i < amounts.size(); ++i) {
        EinvoiceRow row;
        row.cells = record.invoice.rows[i];
        row.cells.resize(RowColumnCount);
        row.cells[PriceColumn] = amounts[i].price;
        row.cells[TotalColumn] = amounts[i].total;
        row.priced = !amounts[i].total.isEmpty();
        if (row.priced) {
            const double rate = ParseAmount(amounts[i].vat);
            const qsizetype line = rates.indexOf(rate);
            row.rate = result.totals.rates.value(line).rate;
            rowsOfRate[line].append(result.rows.size());
            const qint64 total = AmountCents(amounts[i].total);
            if (pricesWithVat) {
                row.grossCents = total;
                row.netCents = std::llround(static_cast<long double>(total) * 100.0L / (100.0L + rate));
            } else if (totalsWithVat) {
                row.grossCents = total;
                const double amount = StoreReal(static_cast<long double>(ParseAmount(amounts[i].quantity))
                                                * ParseAmount(amounts[i].price));
                row.netCents = AmountCents(FormatAmount(amount));
            } else {
                row.netCents = total;
            }
        }
        result.rows.append(row);
    }

    for (qsizetype line = 0; line < rates.size(); ++line)
        shareBase(result.rows, rowsOfRate[line], AmountCents(result.totals.rates[line].withoutVat));

    const bool totalsIncludeVat = pricesWithVat || totalsWithVat;
    for (qsizetype line = 0; line < rates.size(); ++line) {
        for (qsizetype index : std::as_const(rowsOfRate[line])) {
            EinvoiceRow &row = result.rows[index];
            if (totalsIncludeVat) {
                row.vatCents = row.grossCents - row.netCents;
            } else {
                row.vatCents = roundedCents(static_cast<long double>(row.netCents) / 100.0L * rates[line] / 100.0L);
                row.grossCents = row.netCents + row.vatCents;
            }
        }
    }
    return result;
}

qint64 AmountCents(QStringView amount)
{
    return ParseCents(amount).value_or(0);
}

QString CentsText(qint64 cents, QChar decimalMark)
{
    return FormatCents(cents, CentsGrouping::None).replace(u',', decimalMark);
}

QString DecimalText(double value, QChar decimalMark)
{
    // Room for the 39 whole digits of the largest stored amount and the decimals.
    char buffer[128];
    QString text;
    for (int decimals = 0; decimals <= kMostDecimals; ++decimals) {
        const char *end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
        text = QString::fromLatin1(buffer, end - buffer).replace(u'.', u',');
        if (ParseAmount(text) == value)
            break;
    }
    return text.replace(u',', decimalMark);
}

QString PriceText(long double value, int decimals, QChar decimalMark)
{
    char buffer[128];
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    QString text = QString::fromLatin1(buffer, end - buffer);
    while (text.size() - text.indexOf(u'.') > 3 && text.endsWith(u'0'))
        text.chop(1);
    if (text == u"-0.00")
        text = u"0.00"_s;
    return text.replace(u'.', decimalMark);
}

QString EinvoiceText(QStringView text, qsizetype longest)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        // XML 1.0 holds no other control characters; line breaks become blanks.
        if (c == u'\t' || c == u'\n' || c == u'\r')
            kept.append(u' ');
        else if (c >= u' ' && c != QChar(0xFFFE) && c != QChar(0xFFFF))
            kept.append(c);
    }
    kept = kept.trimmed().left(longest);
    // A character beyond the first 65 536 is two; never keep half of one.
    if (!kept.isEmpty() && kept.back().isHighSurrogate())
        kept.chop(1);
    return kept.trimmed();
}

std::optional<QDate> EinvoiceDate(QStringView text)
{
    const QDate date = ReadDate(text);
    if (!date.isValid() || date.year() < 1000)
        return std::nullopt;
    return date;
}

QString UnitCodeUN(QStringView unit)
{
    static const QList<std::pair<QStringList, QString>> codes = {
        {{u"kpl"_s, u"kappale"_s, u"kpl."_s}, u"C62"_s},
        {{u"h"_s, u"t"_s, u"tunti"_s, u"tuntia"_s}, u"HUR"_s},
        {{u"min"_s}, u"MIN"_s},
        {{u"pv"_s, u"vrk"_s}, u"DAY"_s},
        {{u"vk"_s}, u"WEE"_s},
        {{u"kk"_s}, u"MON"_s},
        {{u"v"_s}, u"ANN"_s},
        {{u"km"_s}, u"KMT"_s},
        {{u"m"_s}, u"MTR"_s},
        {{u"m2"_s, u"m²"_s}, u"MTK"_s},
        {{u"m3"_s, u"m³"_s}, u"MTQ"_s},
        {{u"kg"_s}, u"KGM"_s},
        {{u"g"_s}, u"GRM"_s},
        {{u"t."_s, u"tonni"_s}, u"TNE"_s},
        {{u"l"_s, u"ltr"_s}, u"LTR"_s},
        {{u"kWh"_s}, u"KWH"_s},
        {{u"pari"_s}, u"PR"_s},
        {{u"erä"_s, u"setti"_s}, u"SET"_s},
    };
    const QString name = unit.trimmed().toString();
    for (const auto &[names, code] : codes) {
        if (names.contains(name, Qt::CaseInsensitive))
            return code;
    }
    return u"C62"_s;
}

EinvoicePostalAddress PostalAddressOf(const QStringList &lines)
{
    static const QRegularExpression postOffice(u"^(\\d{5})\\s+(\\S.*)$"_s);
    EinvoicePostalAddress address;
    qsizetype officeLine = -1;
    for (qsizetype i = lines.size() - 1; i >= 0 && officeLine < 0; --i) {
        const QRegularExpressionMatch match = postOffice.match(lines[i].trimmed());
        if (match.hasMatch()) {
            officeLine = i;
            address.postcode = match.captured(1);
            address.town = match.captured(2).trimmed();
        }
    }
    for (qsizetype i = 0; i < officeLine; ++i) {
        if (!lines[i].trimmed().isEmpty())
            address.streets.append(lines[i].trimmed());
    }
    return address;
}

QString SellerVatId(const BillerDetails &biller)
{
    const QString given = WithoutBlanks(biller.vatId);
    if (!given.isEmpty())
        return given;
    static const QRegularExpression businessId(u"^(\\d{7})-(\\d)$"_s);
    const QRegularExpressionMatch match = businessId.match(WithoutBlanks(biller.businessId));
    if (!match.hasMatch())
        return {};
    return u"FI"_s + match.captured(1) + match.captured(2);
}

QString PeppolEndpoint(QStringView address)
{
    static const QRegularExpression ovt(u"^0037\\d{8}[0-9A-Za-z]{0,5}$"_s);
    static const QRegularExpression businessId(u"^(\\d{7})-(\\d)$"_s);
    static const QRegularExpression vatId(u"^FI(\\d{8})$"_s);
    const QString text = WithoutBlanks(address);
    if (ovt.match(text).hasMatch())
        return text;
    if (const QRegularExpressionMatch match = businessId.match(text); match.hasMatch())
        return u"0037"_s + match.captured(1) + match.captured(2);
    if (const QRegularExpressionMatch match = vatId.match(text); match.hasMatch())
        return u"0037"_s + match.captured(1);
    return {};
}

QString ReferenceText(const InvoiceRecord &record)
{
    return WithoutBlanks(record.invoice.header.value(ReferenceField));
}

bool HasRfReference(const InvoiceRecord &record)
{
    return IsRfReference(record.invoice.header.value(ReferenceField));
}
