#pragma once

#include <QList>
#include <QString>

// The totals of an invoice: row totals, the VAT per rate and the three invoice
// totals, computed from the rows' amount texts.

/// The amount cells of one invoice row: quantity, unit price, VAT rate and row total.
struct RowAmounts
{
    QString quantity;
    QString price;
    QString vat;
    QString total;
};

/// One VAT rate's share of an invoice. The rate is amount text with the fewest
/// decimals that read back as the same rate ("25,5", "13,5", "10", "0").
struct VatRateLine
{
    QString rate;
    QString withoutVat;
    QString vat;
};

/// The three totals fields: without VAT (SumAlv0), VAT (AlvSum1), invoice total
/// (TotSum), and one line per VAT rate of the priced rows in rising order of the
/// rate; no lines when no row is priced.
struct InvoiceTotals
{
    QString withoutVat;
    QString vat;
    QString total;
    QList<VatRateLine> rates;
};

/// Rewrites each row's unit price and total and returns the totals.
/// A row without a quantity or a price gets empty price and total cells, and
/// its rate is not listed. Rows whose VAT cells read as the same number share
/// a rate. The VAT of a rate is the sum of its unrounded row VATs rounded to
/// the cent; when the row totals include VAT, the rate's amount without VAT is
/// its row totals less that VAT. The invoice totals are the sums of the rate
/// lines to the cent, unless these go beyond 64-bit cents: then they come from
/// all the rows as for a single rate.
/// With VAT-inclusive unit prices the row totals include VAT whatever
/// totalsIncludeVat says, and the VAT is never added to them a second time.
/// Throws FloatingPointOverflow; rows already rewritten keep their new text.
InvoiceTotals RecalcAmounts(QList<RowAmounts> &rows, bool pricesIncludeVat, bool totalsIncludeVat);
