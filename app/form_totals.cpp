// The invoice's totals: every row's price and total, the VAT sum and the three
// totals, recomputed from the rows grid.

#include "app/Unit1.h"
#include "invoice/amount.h"
#include "invoice/recalc.h"
#include "widgets/stringgrid.h"
#include "widgets/widgetfactory.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
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
        const InvoiceTotals totals = RecalcAmounts(amounts, SisAlv1->isChecked(), RowTotalsWithVat());
        writeBack();
        AlvSum1->setText(totals.vat);
        SumAlv0->setText(totals.withoutVat);
        TotSum->setText(totals.total);
        ShowVatRates(totals.rates);
    } catch (const FloatingPointOverflow &) {
        // Rows rewritten before the overflow keep their new text; the totals stay.
        writeBack();
        m_prompter->message(this, u"Floating point overflow"_s);
    }
}

void TForm1::ShowVatRates(const QList<VatRateLine> &rates)
{
    // Rows: the headings, then one per rate; columns: the rate, the amount
    // without VAT and the VAT, under the totals' captions and amounts.
    constexpr int kFirstLine = kFooterTop - 2;
    constexpr int kRateLeft = 400;
    constexpr int kWithoutVatRight = 600;
    constexpr int kVatRight = 761;
    constexpr int kAmountWidth = 100;
    // Clear space between the last line and the footer's rule, over a
    // millimetre on paper.
    constexpr int kRuleGap = 4;
    const qsizetype lines = rates.size() >= 2 ? rates.size() + 1 : 0;
    if (VatRateLabels.size() != lines * 3) {
        // Hidden widgets still print, so unused labels go entirely.
        qDeleteAll(VatRateLabels);
        VatRateLabels.clear();
        for (qsizetype i = 0; i < lines * 3; ++i) {
            QLabel *label = makeLabel(LaskuPanel2, u"AlvErittely%1"_s.arg(i + 1), QString(), kRateLeft, kFirstLine);
            if (i % 3 > 0) {
                label->setAlignment(Qt::AlignRight | Qt::AlignTop);
                setDrawingHint(label, DrawingHint::RightAligned);
            }
            label->show();
            VatRateLabels.append(label);
        }
    }
    // Every line in the totals' caption font as it is now (the user may have
    // changed it since): caption and amounts of a line share one baseline,
    // and the lines are as tall as the font.
    const QFont font = SumAlv0Label->font();
    const int lineHeight = QFontMetrics(font).height();
    for (qsizetype i = 0; i < VatRateLabels.size(); ++i) {
        QLabel *label = VatRateLabels[i];
        label->setFont(font);
        const int top = kFirstLine + int(i / 3) * lineHeight;
        const int column = int(i % 3);
        if (column == 0)
            label->setGeometry(kRateLeft, top, kWithoutVatRight - kAmountWidth - kRateLeft, lineHeight);
        else
            label->setGeometry((column == 1 ? kWithoutVatRight : kVatRight) - kAmountWidth, top, kAmountWidth, lineHeight);
    }
    const int room = lines > 0 ? int(lines) * lineHeight + kRuleGap : 0;
    if (LaskuPanel2->height() != TotalsPanelHeight + room) {
        for (const auto &[widget, top] : std::as_const(FooterPlaces))
            widget->move(widget->x(), top + room);
        LaskuPanel2->resize(LaskuPanel2->width(), TotalsPanelHeight + room);
        LayoutPage();
    }
    if (lines == 0)
        return;
    const QStringList headings = {u"Alv-erittely"_s, u"Veroton"_s, u"Vero"_s};
    for (int c = 0; c < 3; ++c)
        VatRateLabels[c]->setText(headings[c]);
    for (qsizetype r = 0; r < rates.size(); ++r) {
        VatRateLabels[(r + 1) * 3]->setText(u"Alv %1 %"_s.arg(rates[r].rate));
        VatRateLabels[(r + 1) * 3 + 1]->setText(rates[r].withoutVat);
        VatRateLabels[(r + 1) * 3 + 2]->setText(rates[r].vat);
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
    // The VAT defaults apply at once, with no "OK" to wait for; the file
    // gets them with the next change of the settings.
    m_profile.defaults.unitPricesWithVat = SisAlv2->isChecked();
    m_profile.defaults.rowTotalsWithVat = YhtSisAlv->isChecked();
}
