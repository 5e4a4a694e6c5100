// Editing the invoice in place: the rows grid's cursor rules, Enter walk and
// double-click conveniences, and the header values mirrored on the giro form.

#include "app/Unit1.h"
#include "invoice/amount.h"
#include "invoice/numbering.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

const QColor kFailedFieldColor(255, 200, 200);
const QString kReferenceFailsText =
    u"Viitenumeron tarkiste ei täsmää: pankkiviivakoodia ja QR-koodia ei tulosteta."_s;

const QStringList kCodeHeadings = {u" "_s, u"ID"_s, u"Item"_s, u"Rivi"_s};
const QStringList kUnitNames = {u" "_s, u"kpl"_s, u"h"_s, u"km"_s};

} // namespace

void TForm1::connectInvoiceEditing()
{
    connect(LaskuNro1, &QLineEdit::textChanged, this, &TForm1::LaskuNro1Change);
    connect(EraPv2, &QLineEdit::textChanged, this, &TForm1::EraPv2Change);
    connect(TotSum, &QLineEdit::textChanged, this, &TForm1::TotSumChange);
    connect(LaskuPvm1, &QLineEdit::textChanged, this, &TForm1::LaskuPvm1Change);
    connect(ViiteNro1, &QLineEdit::textChanged, this, &TForm1::ViiteNro1Change);
    // The giro form starts from the page's values, not its design placeholders.
    LaskuNro1Change();
    EraPv2Change();
    TotSumChange();
    LaskuPvm1Change();
    ViiteNro1Change();

    LaskuRivit1->onSelectCell = [this](int column, int row) { return LaskuRivit1SelectCell(column, row); };
    LaskuRivit1->onKeyDown = [this](int key, Qt::KeyboardModifiers) { return LaskuRivit1KeyDown(key); };
    LaskuRivit1->onDoubleClick = [this](int column, int row) { return LaskuRivit1DblClick(column, row); };

    connectCommand(SisAlv1, &QCheckBox::toggled, &TForm1::SisAlv1Click);
    connectCommand(LisaRivit1, &QCheckBox::toggled, &TForm1::LisaRivit1Click);
    connect(SisAlv2, &QCheckBox::toggled, this, &TForm1::SisAlv2Click);
    connect(YhtSisAlv, &QCheckBox::toggled, this, &TForm1::SisAlv2Click);
    connectCommand(Uusi1, &ClickPanel::clicked, &TForm1::Uusi1Click);
}

void TForm1::LaskuNro1Change()
{
    LaskuNro2->setText(LaskuNro1->text());
}

void TForm1::EraPv2Change()
{
    EraPv3->setText(EraPv2->text());
}

void TForm1::TotSumChange()
{
    TotSum2->setText(TotSum->text());
}

void TForm1::LaskuPvm1Change()
{
    LaskuPvm2->setText(LaskuPvm1->text());
}

void TForm1::ViiteNro1Change()
{
    ViiteNro2->setText(ViiteNro1->text());
    // The window shows why the barcode and the QR code will be missing; the
    // mark is the box's background, which never reaches paper.
    const bool fails = ReferenceFailsCheck(ViiteNro1->text());
    QPalette palette = ViiteNro1->palette();
    palette.setColor(QPalette::Base, fails ? kFailedFieldColor : SumAlv0->palette().color(QPalette::Base));
    ViiteNro1->setPalette(palette);
    ViiteNro1->setToolTip(fails ? kReferenceFailsText : QString());
}

bool TForm1::LaskuRivit1SelectCell(int column, int row)
{
    const int c = LaskuRivit1->col();
    const int r = LaskuRivit1->row();
    const bool enteredAmount = (c == QuantityColumn || c == PriceColumn || c == VatColumn)
        && !LaskuRivit1->cell(QuantityColumn, r).isEmpty()
        && !LaskuRivit1->cell(PriceColumn, r).isEmpty();
    const bool priced = enteredAmount || !LaskuRivit1->cell(TotalColumn, r).isEmpty();
    if (priced) {
        // A rate the user typed stays, 13,5 and 25.5 included; only a missing
        // or unusable one takes the general rate.
        if ((c == QuantityColumn || c == PriceColumn) && VatRateNeedsDefault(LaskuRivit1->cell(VatColumn, r)))
            LaskuRivit1->setCell(VatColumn, r, m_profile.vatPercent);
        RecalcInvoice();
    }
    if (column == TotalColumn) {
        const int next = r < LaskuRivit1->rowCount() - 1 ? r + 1 : r;
        LaskuRivit1->setCurrentCell(TextColumn, next);
        return false;
    }
    Q_UNUSED(row);
    return true;
}

bool TForm1::LaskuRivit1KeyDown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    const int c = LaskuRivit1->col();
    const int r = LaskuRivit1->row();
    if (c < PriceColumn)
        LaskuRivit1->setCurrentCell(c + 1, r);
    else
        LaskuRivit1->setCurrentCell(TextColumn, r < LaskuRivit1->rowCount() - 1 ? r + 1 : r);
    return true;
}

bool TForm1::LaskuRivit1DblClick(int column, int row)
{
    if (row == 0 && column == CodeColumn) {
        CodeHeadingIndex = (CodeHeadingIndex + 1) % 4;
        LaskuRivit1->setCell(CodeColumn, 0, kCodeHeadings[CodeHeadingIndex]);
    } else if (row == 0 && column == TextColumn) {
        const bool product = LaskuRivit1->cellTag(TextColumn, 0) == 0;
        LaskuRivit1->setCellTag(TextColumn, 0, product ? 1 : 0);
        LaskuRivit1->setCell(TextColumn, 0, product ? u"Tuote"_s : u"Selite"_s);
    } else if (row >= 1 && column == UnitColumn) {
        const int index = (LaskuRivit1->cellTag(UnitColumn, row) + 1) % 4;
        LaskuRivit1->setCellTag(UnitColumn, row, index);
        LaskuRivit1->setCell(UnitColumn, row, kUnitNames[index]);
    } else {
        return false;
    }
    return true;
}

void TForm1::ColMove1Click()
{
    const bool on = ColMove1->isChecked();
    LaskuRivit1->setResizable(on, false);
    AsiakOsoite1->setResizable(false, on);
    YritNimi2->setResizable(false, on);
}

void TForm1::LisaRivit1Click()
{
    LayoutPage();
}
