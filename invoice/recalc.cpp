// The one computation of an invoice's totals: each row's amount and VAT, then
// the VAT sum and the totals, with every stored value rounded as a 6-byte real.

#include "recalc.h"

#include "amount.h"

InvoiceTotals RecalcAmounts(QList<RowAmounts> &rows, bool pricesIncludeVat, bool totalsIncludeVat)
{
    // Running sums: row totals as written, and the row VATs unrounded.
    double totalSum = 0;
    double vatSum = 0;

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
        totalSum = StoreReal(static_cast<long double>(totalSum) + ParseAmount(row.total));
        vatSum = StoreReal(static_cast<long double>(vatSum) + rowVat);
    }

    // The derived total is read back from the texts just written, so that the
    // three fields agree to the cent.
    InvoiceTotals totals;
    totals.vat = FormatAmount(vatSum);
    if (totalsIncludeVat || pricesIncludeVat) {
        totals.total = FormatAmount(totalSum);
        totals.withoutVat = FormatAmount(StoreReal(
                static_cast<long double>(ParseAmount(totals.total)) - ParseAmount(totals.vat)));
    } else {
        totals.withoutVat = FormatAmount(totalSum);
        totals.total = FormatAmount(StoreReal(
                static_cast<long double>(ParseAmount(totals.withoutVat)) + ParseAmount(totals.vat)));
    }
    return totals;
}
