// The invoice page's upper part, totals and footer, and the biller's heading
// block, each widget at its pixel position, and the page laid out to A4.

#include "app/Unit1.h"
#include "widgets/stringgrid.h"
#include "widgets/widgetfactory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRowsGridWidths[] = {37, 400, 50, 42, 64, 52, 87};

// A header field of the invoice: a small label on the left, the bold value
// on the right; the label is given to `caption` when asked.
QLineEdit *headerField(QWidget *panel, const QString &name, const QString &label, int row,
                       QLabel **caption = nullptr)
{
    const int top = 86 + row * 16;
    QLabel *made = makeLabel(panel, u"Label_"_s + name, label, 456, top + 2);
    if (caption)
        *caption = made;
    QLineEdit *edit = makeEdit(panel, name, QRect(584, top, 177, 16), label);
    edit->setFont(pageFont(u"MS Sans Serif"_s, 10, true));
    return edit;
}

// A footer line of the biller's details, with an optional caption before it.
QLabel *footerLabel(QWidget *panel, const QString &name, const QString &caption, int left, int top,
                    int captionWidth)
{
    if (!caption.isEmpty())
        makeLabel(panel, u"Label_"_s + name, caption, left, top);
    return makeLabel(panel, name, QString(), left + captionWidth, top, 184 - captionWidth);
}

} // namespace

void TForm1::createHeadingBlock()
{
    OmaPanel->setAutoFillBackground(true);
    Label1 = makeLabel(OmaPanel, u"Label1"_s, u"Laskun lähettäjä"_s, 8, 2);
    YritNimi2 = new StringGrid(kBlockTextColumn + 1, 3, OmaPanel);
    YritNimi2->setObjectName(u"YritNimi2"_s);
    YritNimi2->setAccessibleName(u"Laskun lähettäjä"_s);
    YritNimi2->setFixed(1, 0);
    YritNimi2->setEditable(false);
    YritNimi2->setFocusPolicy(Qt::NoFocus);
    YritNimi2->setFrameShape(QFrame::NoFrame);
    YritNimi2->setShowGrid(false);
    YritNimi2->setFont(pageFont(u"Arial"_s, 10));
    YritNimi2->setColWidth(0, 8);
    YritNimi2->setColWidth(1, 381);
    YritNimi2->setRowHeight(0, 38);
    YritNimi2->setRowHeight(1, 19);
    YritNimi2->setRowHeight(2, 19);
    YritNimi2->setGeometry(16, 16, 391, 79);
}

void TForm1::createUpperPanel()
{
    QWidget *panel = LaskuPanel1;
    Bevel1 = makeBevel(panel, u"Bevel1"_s, QRect(448, 82, 321, 134), Bevel::Shape::Frame);
    Bevel3 = makeBevel(panel, u"Bevel3"_s, QRect(8, 108, 425, 104), Bevel::Shape::Frame);
    Bevel2 = makeBevel(panel, u"Bevel2"_s, QRect(8, 220, 761, 516), Bevel::Shape::Frame);

    Label2 = makeLabel(panel, u"Label2"_s, u"Asiakas/Maksaja"_s, 16, 111);
    AsiakOsoite1 = new StringGrid(kBlockTextColumn + 1, CustomerLineCount, panel);
    AsiakOsoite1->setObjectName(u"AsiakOsoite1"_s);
    AsiakOsoite1->setAccessibleName(u"Asiakkaan osoite"_s);
    AsiakOsoite1->setFixed(1, 0);
    AsiakOsoite1->setFrameShape(QFrame::NoFrame);
    AsiakOsoite1->setShowGrid(false);
    AsiakOsoite1->setFixedColor(AsiakOsoite1->palette().color(QPalette::Base));
    AsiakOsoite1->setDefaultRowHeight(19);
    AsiakOsoite1->setColWidth(0, 8);
    AsiakOsoite1->setColWidth(1, 387);
    for (int r = 0; r < 4; ++r)
        AsiakOsoite1->setRowHeight(r, 19);
    AsiakOsoite1->setGeometry(16, 127, 397, 80);

    // The name box lies over the address grid's first line.
    AsiakNimi1 = new QComboBox(panel);
    AsiakNimi1->setObjectName(u"AsiakNimi1"_s);
    AsiakNimi1->setEditable(true);
    AsiakNimi1->setInsertPolicy(QComboBox::NoInsert);
    allowAnyLength(AsiakNimi1->lineEdit());
    AsiakNimi1->setFrame(false);
    AsiakNimi1->setFont(pageFont(u"Arial"_s, 11, true));
    AsiakNimi1->setGeometry(25, 126, 388, 21);
    AsiakNimi1->setAccessibleName(u"Asiakas/Maksaja"_s);

    Lasku1 = makeLabel(panel, u"Lasku1"_s, u"LASKU"_s, 456, 48);
    Lasku1->setFont(pageFont(u"MS Sans Serif"_s, 16, true));
    Lasku1->adjustSize();

    LaskuPvm1 = headerField(panel, u"LaskuPvm1"_s, u"Laskun päiväys"_s, 0, &LaskuPvm1Label);
    LaskuNro1 = headerField(panel, u"LaskuNro1"_s, u"Laskun numero"_s, 1);
    QLabel *dueCaption = nullptr;
    QLabel *termsCaption = nullptr;
    QLabel *interestCaption = nullptr;
    EraPv2 = headerField(panel, u"EraPv2"_s, u"Eräpäivä"_s, 2, &dueCaption);
    MaksuEhto2 = headerField(panel, u"MaksuEhto2"_s, u"Maksuehto"_s, 3, &termsCaption);
    ViivKorko2 = headerField(panel, u"ViivKorko2"_s, u"Viivästyskorko"_s, 4, &interestCaption);
    PaymentFields << dueCaption << EraPv2 << termsCaption << MaksuEhto2 << interestCaption << ViivKorko2;
    HuomAika2 = headerField(panel, u"HuomAika2"_s, u"Huomautusaika"_s, 5);
    AsiakY1 = headerField(panel, u"AsiakY1"_s, u"Asiakkaan Y-tunnus"_s, 6);
    AsiakNro1 = headerField(panel, u"AsiakNro1"_s, u"Asiakasnumero"_s, 7);

    Valmis1 = new ClickPanel(u"VALMIS/TALLENNA"_s, panel);
    Valmis1->setObjectName(u"Valmis1"_s);
    Valmis1->setGeometry(544, 16, 129, 25);
    Uusi1 = new ClickPanel(u"UUSI"_s, panel);
    Uusi1->setObjectName(u"Uusi1"_s);
    Uusi1->setGeometry(688, 16, 57, 25);

    LaskuRivit1 = new StringGrid(RowColumnCount, kPageRowLines, panel);
    LaskuRivit1->setObjectName(u"LaskuRivit1"_s);
    LaskuRivit1->setAccessibleName(u"Laskurivit"_s);
    LaskuRivit1->setFixed(0, 1);
    LaskuRivit1->setFrameShape(QFrame::Box);
    LaskuRivit1->setLineWidth(1);
    LaskuRivit1->setFont(pageFont(u"Arial"_s, 10));
    LaskuRivit1->setRightAlignedColumns({QuantityColumn, PriceColumn, VatColumn, TotalColumn});
    // Row totals are written only by the recalculation.
    LaskuRivit1->setReadOnlyColumns({TotalColumn});
    LaskuRivit1->setDefaultRowHeight(20);
    int width = 2;
    for (int c = 0; c < 7; ++c) {
        LaskuRivit1->setColWidth(c, kRowsGridWidths[c]);
        width += kRowsGridWidths[c] + LaskuRivit1->gridLineWidth();
    }
    LaskuRivit1->setGeometry(12, 224, width, 357);
}

void TForm1::createTotalsPanel()
{
    QWidget *panel = LaskuPanel2;
    Panel2 = new ClickPanel(QString(), panel);
    Panel2->setObjectName(u"Panel2"_s);
    Panel2->setGeometry(16, 8, 97, 25);
    LisaRivit1 = makeCheckBox(Panel2, u"LisaRivit1"_s, u"Lisärivit"_s, 8, 4);
    SisAlv1 = makeCheckBox(panel, u"SisAlv1"_s, u"á hinta sis. alv"_s, 128, 12);

    QLabel *referenceCaption = makeLabel(panel, u"Label_ViiteNro1"_s, u"Viitenumero"_s, 16, 46);
    ViiteNro1 = makeEdit(panel, u"ViiteNro1"_s, QRect(96, 43, 240, 18), u"Viitenumero"_s);
    PaymentFields << referenceCaption << ViiteNro1;
    ViiteNro1->setFont(pageFont(u"MS Sans Serif"_s, 10, true));

    SumAlv0Label = makeLabel(panel, u"Label_SumAlv0"_s, u"Arvonlisäveroton hinta yhteensä"_s, 400, 6);
    SumAlv0 = makeEdit(panel, u"SumAlv0"_s, QRect(616, 4, 145, 18), u"Arvonlisäveroton hinta yhteensä"_s);
    AlvSum1Label = makeLabel(panel, u"Label_AlvSum1"_s, u"Arvonlisävero yhteensä"_s, 400, 24);
    AlvSum1 = makeEdit(panel, u"AlvSum1"_s, QRect(616, 22, 145, 18), u"Arvonlisävero yhteensä"_s);
    TotSumLabel = makeLabel(panel, u"Label_TotSum"_s, u"Lasku yhteensä euroa"_s, 400, 46);
    TotSumLabel->setFont(pageFont(u"MS Sans Serif"_s, 8, true));
    TotSumLabel->adjustSize();
    TotSum = makeEdit(panel, u"TotSum"_s, QRect(576, 42, 185, 22), u"Lasku yhteensä euroa"_s);
    TotSum->setFont(pageFont(u"Arial"_s, 12, true));
    for (QLineEdit *sum : {SumAlv0, AlvSum1}) {
        sum->setFont(pageFont(u"MS Sans Serif"_s, 10));
    }
    for (QLineEdit *sum : {SumAlv0, AlvSum1, TotSum}) {
        sum->setAlignment(Qt::AlignRight);
        setDrawingHint(sum, DrawingHint::RightAligned);
    }

    makeBevel(panel, u"Bevel4"_s, QRect(8, kFooterTop, 761, 4), Bevel::Shape::TopLine);
    VirallNimi2 = footerLabel(panel, u"VirallNimi2"_s, QString(), 16, 80, 0);
    Osoite21 = footerLabel(panel, u"Osoite21"_s, QString(), 16, 94, 0);
    Posti2 = footerLabel(panel, u"Posti2"_s, QString(), 16, 108, 0);
    FreeText3 = footerLabel(panel, u"FreeText3"_s, QString(), 16, 122, 0);
    Puhelin2 = footerLabel(panel, u"Puhelin2"_s, u"Puh."_s, 208, 80, 32);
    Faksi2 = footerLabel(panel, u"Faksi2"_s, u"Faksi"_s, 208, 94, 32);
    Osoite22 = footerLabel(panel, u"Osoite22"_s, QString(), 208, 108, 0);
    Pankki2 = footerLabel(panel, u"Pankki2"_s, u"Pankki:"_s, 400, 80, 40);
    Iban2 = footerLabel(panel, u"Iban2"_s, u"IBAN:"_s, 400, 94, 40);
    Bic2 = footerLabel(panel, u"Bic2"_s, u"BIC:"_s, 400, 108, 40);
    FreeText4 = footerLabel(panel, u"FreeText4"_s, QString(), 400, 122, 0);
    Koti2 = footerLabel(panel, u"Koti2"_s, u"Kotipaikka:"_s, 592, 80, 60);
    YTunnus2 = footerLabel(panel, u"YTunnus2"_s, u"Y-tunnus:"_s, 592, 94, 60);
    Vat2 = footerLabel(panel, u"Vat2"_s, u"VAT:"_s, 592, 108, 60);
    for (QObject *child : panel->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && widget->y() >= kFooterTop)
            FooterPlaces.append({widget, widget->y()});
    }
    TotalsPanelHeight = panel->height();
}

int TForm1::PageWindowWidth() const
{
    return LaskuPanel1->x() * 2 + LaskuPanel1->width() + 40;
}

void TForm1::LayoutPage()
{
    // Panel positions are page coordinates, unaffected by scrolling.
    const int h2 = LaskuPanel2->height();
    const int hg = PankkiSiirto1->height();
    const int pageHeight = (297 * LaskuPanel1->width() + 105) / 210;

    const int upper = LisaRivit1->isChecked() ? pageHeight - h2 : pageHeight - h2 - hg;
    LaskuPanel1->resize(LaskuPanel1->width(), upper);
    LaskuPanel2->move(LaskuPanel2->x(), upper);
    PankkiSiirto1->move(PankkiSiirto1->x(), upper + h2);

    const int gridHeight = upper - LaskuRivit1->y();
    LaskuRivit1->resize(LaskuRivit1->width(), gridHeight);
    // Rows that hold text are never dropped by a smaller page, so an opened or
    // pasted invoice longer than the page keeps every row.
    const int rows = (gridHeight - 2) / (LaskuRivit1->defaultRowHeight() + LaskuRivit1->gridLineWidth());
    LaskuRivit1->setRowCount(std::max(rows, LaskuRivit1->lastTextRow() + 1));
    Bevel2->resize(Bevel2->width(), upper + h2 - 2 - Bevel2->y());

    Page->resize(std::max(Page->width(), LaskuPanel1->width()), PankkiSiirto1->y() + hg);
    int height = pageHeight;
    if (const QScreen *screen = this->screen()) {
        if (screen->size().height() < pageHeight + 40)
            height = screen->size().height() - 40;
    }
    resize(PageWindowWidth(), height);
}
