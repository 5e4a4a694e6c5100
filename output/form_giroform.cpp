// The bank giro form at the foot of the page: its printed texts, rules and
// the data fields that mirror the invoice, and the copy of the payer onto it.

#include "app/Unit1.h"
#include "widgets/widgetfactory.h"

#include <QComboBox>
#include <QLabel>

#include "widgets/stringgrid.h"

using namespace Qt::StringLiterals;

void TForm1::createGiroForm()
{
    QWidget *giro = PankkiSiirto1;
    const QFont smallPrint = pageFont(u"Small Fonts"_s, 7);
    const QFont dataFont = pageFont(u"Arial"_s, 10);
    const QFont bigData = pageFont(u"Arial"_s, 12, true);

    // Rules: the dashed cut line on top, then the form grid.
    makeBevel(giro, u"Bevel24"_s, QRect(0, 0, 777, 33), Bevel::Shape::TopLine);
    makeBevel(giro, u"Bevel14"_s, QRect(0, 61, 777, 10), Bevel::Shape::BottomLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel15"_s, QRect(0, 250, 777, 10), Bevel::Shape::BottomLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel16"_s, QRect(0, 282, 777, 10), Bevel::Shape::BottomLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel17"_s, QRect(408, 0, 20, 291), Bevel::Shape::LeftLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel18"_s, QRect(14, 113, 392, 10), Bevel::Shape::BottomLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel19"_s, QRect(408, 217, 369, 10), Bevel::Shape::BottomLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel20"_s, QRect(72, 0, 20, 122), Bevel::Shape::LeftLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel21"_s, QRect(468, 227, 20, 64), Bevel::Shape::LeftLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel22"_s, QRect(608, 260, 20, 31), Bevel::Shape::LeftLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel23"_s, QRect(72, 260, 20, 31), Bevel::Shape::LeftLine, DrawingHint::RuleLine);
    makeBevel(giro, u"Bevel25"_s, QRect(72, 234, 336, 10), Bevel::Shape::BottomLine, DrawingHint::ThinLine);

    // The bilingual printed texts. The headings stand between rules: those
    // of the left column end before its rule, those of the reference and
    // due date before theirs, and Underskrift before the signature line.
    // Their boxes hold them on paper whatever font stands for the design's.
    const auto heading = [&](const QString &name, const QString &caption, int left, int top, int right,
                             Qt::Alignment alignment) {
        QLabel *label = makeLabel(giro, name, caption, left, top, right - left);
        label->setAlignment(alignment | Qt::AlignTop);
        setDrawingHint(label, DrawingHint::Fitted);
    };
    // Right of the turned "TILISIIRTO.  GIRERING" along the payer's rows.
    constexpr int kTurnedRight = 16;
    constexpr int kLeftColumnEnd = 70;
    constexpr int kReferenceColumnEnd = 466;
    heading(u"Label51"_s, u"Saajan"_s, 2, 8, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label52"_s, u"tilinumero"_s, 2, 20, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label53"_s, u"Mottagarens"_s, 2, 36, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label54"_s, u"kontonummer"_s, 2, 48, kLeftColumnEnd, Qt::AlignRight);
    makeLabel(giro, u"Label67"_s, u"IBAN"_s, 80, 4);
    makeLabel(giro, u"Label68"_s, u"BIC"_s, 416, 4);
    heading(u"Label55"_s, u"Saaja"_s, 2, 78, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label56"_s, u"Mottagare"_s, 2, 94, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label57"_s, u"Maksajan"_s, kTurnedRight, 126, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label58"_s, u"nimi ja"_s, kTurnedRight, 138, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label59"_s, u"osoite"_s, kTurnedRight, 150, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label60"_s, u"Betalarens"_s, kTurnedRight, 166, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label61"_s, u"namn och"_s, kTurnedRight, 178, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label62"_s, u"adress"_s, kTurnedRight, 190, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label63"_s, u"Allekirjoitus"_s, kTurnedRight, 226, kLeftColumnEnd, Qt::AlignLeft);
    heading(u"Label64"_s, u"Underskrift"_s, kTurnedRight, 240, kLeftColumnEnd, Qt::AlignLeft);
    heading(u"Label65"_s, u"Tililta nro"_s, 2, 262, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label66"_s, u"Från konto nr"_s, 2, 274, kLeftColumnEnd, Qt::AlignRight);
    heading(u"Label69"_s, u"Viitenro"_s, 412, 228, kReferenceColumnEnd, Qt::AlignLeft);
    heading(u"Label70"_s, u"Ref. nr"_s, 412, 242, kReferenceColumnEnd, Qt::AlignLeft);
    // The due date's and the sum's headings clear of the rule above them.
    heading(u"Label71"_s, u"Eräpäivä"_s, 412, 262, kReferenceColumnEnd, Qt::AlignLeft);
    heading(u"Label72"_s, u"Förfallodag"_s, 412, 274, kReferenceColumnEnd, Qt::AlignLeft);
    makeLabel(giro, u"Label73"_s, u"Euro"_s, 612, 262);
    makeLabel(giro, u"Label44"_s, u"Maksu välitetään saajalle maksujenvälityksen "_s, kGiroTermsLeft, 296)->setFont(smallPrint);
    makeLabel(giro, u"Label48"_s, u"ehtojen mukaisesti ja vain maksajan ilmoitta-"_s, kGiroTermsLeft, 306)->setFont(smallPrint);
    makeLabel(giro, u"Label75"_s, u"man tilinumeron perusteella."_s, kGiroTermsLeft, 316)->setFont(smallPrint);
    makeLabel(giro, u"Label49"_s, u"Betalningen förmedlas till mottagaren enligt "_s, kGiroTermsLeft, 328)->setFont(smallPrint);
    makeLabel(giro, u"Label50"_s, u"villkoren för betalningsförmedling och endast"_s, kGiroTermsLeft, 338)->setFont(smallPrint);
    makeLabel(giro, u"Label77"_s, u"till det kontonummer som betalaren angivit."_s, kGiroTermsLeft, 348)->setFont(smallPrint);
    TiliSiirtoLabel = makeLabel(giro, u"TiliSiirtoLabel"_s, u"TILISIIRTO.  GIRERING"_s, 0, 248);
    TiliSiirtoLabel->setFont(pageFont(u"Arial"_s, 9));
    TiliSiirtoLabel->adjustSize();
    setDrawingHint(TiliSiirtoLabel, DrawingHint::TurnedText);
    TiliSiirtoLabel->hide();
    Label74 = makeLabel(giro, u"Label74"_s, u"Lasku nro"_s, 424, 88);
    Label76 = makeLabel(giro, u"Label76"_s, u"Päiväys"_s, 424, 104);
    Label74->setFont(dataFont);
    Label76->setFont(dataFont);
    Label74->adjustSize();
    Label76->adjustSize();

    // Data fields, filled from the biller details and the invoice.
    auto data = [&](const QString &name, const QString &caption, int left, int top, int width,
                    const QFont &font) {
        QLabel *label = makeLabel(giro, name, caption, left, top);
        label->setFont(font);
        label->adjustSize();
        label->resize(width, label->height());
        return label;
    };
    Iban3 = data(u"Iban3"_s, u"FI00 0000 0000 0000 00"_s, 88, 28, 316, bigData);
    Bic3 = data(u"Bic3"_s, u"BANKBANK"_s, 424, 28, 345, bigData);
    // The payee's lines stand clear of the rule above them, umlauts and all.
    VirallNimi3 = data(u"VirallNimi3"_s, QString(), 88, 74, 316, dataFont);
    Osoite31 = data(u"Osoite31"_s, QString(), 88, 90, 316, dataFont);
    Posti3 = data(u"Posti3"_s, QString(), 88, 106, 316, dataFont);
    AsiakNimi2 = data(u"AsiakNimi2"_s, QString(), 88, 128, 316, dataFont);
    AsiakOsoite2 = data(u"AsiakOsoite2"_s, QString(), 88, 144, 316, dataFont);
    AsiakOsoite3 = data(u"AsiakOsoite3"_s, QString(), 88, 160, 316, dataFont);
    AsiakOsoite4 = data(u"AsiakOsoite4"_s, QString(), 88, 176, 316, dataFont);
    LaskuNro2 = data(u"LaskuNro2"_s, QString(), 488, 88, 281, dataFont);
    LaskuPvm2 = data(u"LaskuPvm2"_s, QString(), 480, 104, 289, dataFont);
    ViiteNro2 = data(u"ViiteNro2"_s, QString(), 480, 236, 289, bigData);
    EraPv3 = data(u"EraPv3"_s, QString(), 480, 268, 124, bigData);
    // Right-aligned to x 767: a long sum grows to the left.
    TotSum2 = data(u"TotSum2"_s, u"00 000,00"_s, 612, 268, 155, bigData);
    TotSum2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    setDrawingHint(TotSum2, DrawingHint::RightAligned);
}

void TForm1::FillPayerOnGiro()
{
    // The name box is never printed: its text reaches paper through the
    // address grid's first line.
    const QString name = AsiakNimi1->currentText();
    AsiakOsoite1->setCell(kBlockTextColumn, CustomerNameLine, name);
    AsiakNimi2->setText(name);
    AsiakOsoite2->setText(AsiakOsoite1->cell(kBlockTextColumn, CustomerAddress1Line));
    AsiakOsoite3->setText(AsiakOsoite1->cell(kBlockTextColumn, CustomerAddress2Line));
    AsiakOsoite4->setText(AsiakOsoite1->cell(kBlockTextColumn, CustomerAddress3Line));
    // The customer's e-invoice address changes with the customer.
    ShowBuyerEinvoice();
}
