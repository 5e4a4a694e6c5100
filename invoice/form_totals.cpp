// The invoice's totals: every row's price and total, the VAT sum and the three
// totals, recomputed from the rows grid.

#include "app/Unit1.h"
#include "widgets/stringgrid.h"
#include "invoice/amount.h"
#include "invoice/recalc.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

void TForm1::RecalcInvoice()
{
    const int rows = LaskuRivit1->rowCount();
    QList<RowAmounts> amounts;
    amounts.reserve(rows);
    for (int r = 1; r < rows; ++r) {
        amounts.append({LaskuRivit1->cell(QuantityColumn, r), LaskuRivit1->cell(PriceColumn, r),
                        LaskuRivit1->cell(VatColumn, r), LaskuRivit1->cell(TotalColumn, r)});
    }
    auto writeBack = [&] {
        for (int r = 1; r < rows; ++r) {
            LaskuRivit1->setCell(PriceColumn, r, amounts[r - 1].price);
            LaskuRivit1->setCell(TotalColumn, r, amounts[r - 1].total);
        }
    };
    try {
        const InvoiceTotals totals = RecalcAmounts(amounts, SisAlv1->isChecked(), YhtSisAlv->isChecked());
        writeBack();
        AlvSum1->setText(totals.vat);
        SumAlv0->setText(totals.withoutVat);
        TotSum->setText(totals.total);
    } catch (const FloatingPointOverflow &) {
        // Rows rewritten before the overflow keep their new text; the totals stay.
        writeBack();
        m_prompter->message(this, u"Floating point overflow"_s);
    }
}

void TForm1::SisAlv1Click()
{
    RecalcInvoice();
}

void TForm1::SisAlv2Click()
{
    if (SisAlv2->isChecked())
        YhtSisAlv->setChecked(true);
}
