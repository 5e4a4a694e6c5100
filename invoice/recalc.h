#pragma once

#include <QList>
#include <QString>

// The totals of an invoice: row totals, the VAT sum and the three invoice totals,
// computed from the rows' amount texts.

/// The amount cells of one invoice row: quantity, unit price, VAT rate and row total.
struct RowAmounts
{
    QString quantity;
    QString price;
    QString vat;
    QString total;
};

/// The three totals fields: without VAT (SumAlv0), VAT (AlvSum1), invoice total (TotSum).
struct InvoiceTotals
{
    QString withoutVat;
    QString vat;
    QString total;
};

/// Rewrites each row's unit price and total and returns the three totals.
/// A row without a quantity or a price gets empty price and total cells.
/// With VAT-inclusive unit prices the row totals include VAT whatever
/// totalsIncludeVat says, and the VAT is never added to them a second time.
/// Throws FloatingPointOverflow; rows already rewritten keep their new text.
InvoiceTotals RecalcAmounts(QList<RowAmounts> &rows, bool pricesIncludeVat, bool totalsIncludeVat);
