// The biller details box: the user's own business details, the counters, the
// VAT defaults and the output options. Its widgets are the program's working
// copy of these settings.

#include "app/Unit1.h"
#include "app/inifile.h"
#include "app/settingsrules.h"
#include "widgets/widgetfactory.h"
#include "invoice/numbering.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QValidator>

using namespace Qt::StringLiterals;

namespace {

struct BillerEdit
{
    QLineEdit *TForm1::*field;
    const char16_t *name;
    const char16_t *label;
    int left;
    int top;
    int width;
};

// Edits outside the heading preview, with their labels above them. Their
// texts come from the settings, defaults included.
constexpr BillerEdit kBillerEdits[] = {
    {&TForm1::VirallNimi1, u"VirallNimi1", u"Yrityksen virallinen nimi", 368, 40, 145},
    {&TForm1::Osoite11, u"Osoite11", u"Osoite1", 368, 84, 145},
    {&TForm1::Osoite12, u"Osoite12", u"Esim. www-osoite", 368, 128, 145},
    {&TForm1::Puhelin1, u"Puhelin1", u"Esim. Puhelinnumero", 16, 176, 161},
    {&TForm1::Faksi1, u"Faksi1", u"Esim. Faksinumero", 192, 176, 161},
    {&TForm1::Posti1, u"Posti1", u"Postinumero ja -toimipaikka", 368, 176, 145},
    {&TForm1::NextNr1, u"NextNr1", u"Seuraava laskun nro", 16, 224, 161},
    {&TForm1::NextViite1, u"NextViite1", u"Seuraava viitenumero ilman tark.nroa", 192, 224, 161},
    {&TForm1::Koti1, u"Koti1", u"Kotipaikka", 368, 224, 145},
    {&TForm1::YTunnus1, u"YTunnus1", u"Y-tunnus", 16, 268, 161},
    {&TForm1::AlvTunnus1, u"AlvTunnus1", u"Alv-tunnus", 192, 268, 161},
    {&TForm1::Alv1, u"Alv1", u"Yleinen alv-%", 368, 268, 73},
    {&TForm1::Pankki1, u"Pankki1", u"Pankin nimi", 16, 312, 161},
    {&TForm1::Iban1, u"Iban1", u"IBAN", 192, 312, 161},
    {&TForm1::Bic1, u"Bic1", u"BIC", 368, 312, 129},
    {&TForm1::MaksuEhto1, u"MaksuEhto1", u"Maksuehto", 16, 356, 97},
    {&TForm1::ViivKorko1, u"ViivKorko1", u"Viivästyskorko", 192, 356, 49},
    {&TForm1::HuomAika1, u"HuomAika1", u"Huomautusaika", 368, 356, 105},
    {&TForm1::FreeText1, u"FreeText1", u"Vapaa teksti vasemmalla", 16, 400, 217},
    {&TForm1::FreeText2, u"FreeText2", u"Vapaa teksti oikealla", 280, 400, 217},
    {&TForm1::Verkkolaskuosoite1, u"Verkkolaskuosoite1", u"Verkkolaskuosoite", 16, 444, 161},
    {&TForm1::Valittaja1, u"Valittaja1", u"Välittäjätunnus", 192, 444, 161},
};

// The e-invoice format's choice, in the row of the e-invoice address.
constexpr QRect kFormatChoice(368, 444, 145, 22);

constexpr int kEditHeight = 22;

// The heading preview sits below its box's title, which takes more room here
// than the design allowed for.
constexpr int kTitleRoom = 6;

// Limits what is typed into a box, not what the program puts there: a longer
// text from the settings is shown and written whole, and typing cannot make
// it longer still.
class TypedLengthValidator : public QValidator
{
public:
    TypedLengthValidator(QLineEdit *edit, int maxLength)
        : QValidator(edit)
        , m_edit(edit)
        , m_maxLength(maxLength)
        , m_accepted(edit->text())
    {
    }

    State validate(QString &input, int &) const override
    {
        // Text set by the program leaves the box unmodified.
        if (m_edit->isModified() && !KeepsTypedLength(m_accepted, input, m_maxLength))
            return Invalid;
        m_accepted = input;
        return Acceptable;
    }

private:
    QLineEdit *m_edit;
    int m_maxLength;
    mutable QString m_accepted;
};

QSpinBox *brightness(QWidget *parent, const QString &name, const QString &label, int left, int value)
{
    QLabel *caption = makeLabel(parent, u"Label_"_s + name, label, 0, 89 + kTitleRoom);
    caption->setFont(pageFont(u"MS Sans Serif"_s, 7));
    caption->adjustSize();
    caption->move(left - caption->width() - 4, 89 + kTitleRoom);
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(0, 10);
    spin->setSingleStep(1);
    spin->setWrapping(false);
    spin->setValue(value);
    spin->setGeometry(left, 84 + kTitleRoom, 49, kEditHeight);
    spin->setAccessibleName(label);
    return spin;
}

} // namespace

void TForm1::createBillerBox()
{
    QGroupBox *box = OmatTiedot1;
    box->setFont(pageFont(u"MS Sans Serif"_s, 10));

    OmatBox1 = new QGroupBox(u"Laskun lähettäjän otsikkotiedot"_s, box);
    OmatBox1->setObjectName(u"OmatBox1"_s);
    OmatBox1->setGeometry(16, 32, 329, 113 + kTitleRoom);
    OmatBox1->setAutoFillBackground(true);
    OmatBox1->setFont(pageFont(u"MS Sans Serif"_s, 8));
    YritNimi1 = makeEdit(OmatBox1, u"YritNimi1"_s, QRect(8, 12 + kTitleRoom, 313, kEditHeight),
                         u"Yrityksen nimi otsikossa"_s, true);
    YritNimi1->setFont(pageFont(u"Arial"_s, 12));
    YritOts11 = makeEdit(OmatBox1, u"YritOts11"_s, QRect(8, 36 + kTitleRoom, 313, kEditHeight),
                         u"Otsikkorivi 2"_s, true);
    YritOts12 = makeEdit(OmatBox1, u"YritOts12"_s, QRect(8, 60 + kTitleRoom, 313, kEditHeight),
                         u"Otsikkorivi 3"_s, true);
    YritOts11->setFont(pageFont(u"Arial"_s, 10));
    YritOts12->setFont(pageFont(u"Arial"_s, 10));
    UpDown1 = brightness(OmatBox1, u"UpDown1"_s, u"Taustavärin kirkkaus:"_s, 112, 7);
    UpDown2 = brightness(OmatBox1, u"UpDown2"_s, u"Tekstin kirkkaus:"_s, 272, 0);

    for (const BillerEdit &e : kBillerEdits) {
        const QString label = QString::fromUtf16(e.label);
        QLabel *caption = makeLabel(box, u"Label_"_s + QString::fromUtf16(e.name), label, e.left, e.top - 18);
        caption->setFont(pageFont(u"MS Sans Serif"_s, 8));
        caption->adjustSize();
        // A caption wider than its column would run into the next one.
        if (caption->width() > e.width + 12) {
            caption->setFont(pageFont(u"MS Sans Serif"_s, 7));
            caption->adjustSize();
        }
        QLineEdit *edit = makeEdit(box, QString::fromUtf16(e.name), QRect(e.left, e.top, e.width, kEditHeight),
                                   label, true);
        this->*e.field = edit;
    }

    SisAlv2 = makeCheckBox(box, u"SisAlv2"_s, u"á hinta sis. alv"_s, 456, 262);
    YhtSisAlv = makeCheckBox(box, u"YhtSisAlv"_s, u"Rivi yht. sis. alv"_s, 456, 282);
    YhtSisAlv->setChecked(true);

    const QString formatLabel = u"Verkkolaskun muoto"_s;
    QLabel *formatCaption = makeLabel(box, u"Label_Verkkolaskumuoto1"_s, formatLabel, kFormatChoice.left(),
                                      kFormatChoice.top() - 18);
    formatCaption->setFont(pageFont(u"MS Sans Serif"_s, 8));
    formatCaption->adjustSize();
    Verkkolaskumuoto1 = new QComboBox(box);
    Verkkolaskumuoto1->setObjectName(u"Verkkolaskumuoto1"_s);
    Verkkolaskumuoto1->setAccessibleName(formatLabel);
    Verkkolaskumuoto1->addItems(EinvoiceFormatNames());
    Verkkolaskumuoto1->setGeometry(kFormatChoice);

    QLabel *copies = makeLabel(box, u"Label_CopyKpl1"_s, u"Tulostus kpl  1 +"_s, 0, 483);
    copies->move(112 - copies->width() - 4, 483);
    CopyKpl1 = makeEdit(box, u"CopyKpl1"_s, QRect(112, 480, 17, kEditHeight), u"Tulostus kpl  1 +"_s, true);
    CopyKpl1->setValidator(new TypedLengthValidator(CopyKpl1, kCopiesTypedLength));
    ViivakoodiVal1 = makeCheckBox(box, u"ViivakoodiVal1"_s, u"Viivakoodi"_s, 176, 483);
    PdfOletus1 = makeCheckBox(box, u"PdfOletus1"_s, u"Oletustulostus Pdf"_s, 20, 518);
    RfViite1 = makeCheckBox(box, u"RfViite1"_s, u"RF-viite"_s, 272, 483);
    QrKoodi1 = makeCheckBox(box, u"QrKoodi1"_s, u"QR-koodi"_s, 368, 483);
    for (QCheckBox *check : {SisAlv2, YhtSisAlv, PdfOletus1, RfViite1, QrKoodi1}) {
        check->setFont(pageFont(u"MS Sans Serif"_s, 8));
        check->adjustSize();
    }

    Ok2 = new QPushButton(u"OK"_s, box);
    Ok2->setObjectName(u"Ok2"_s);
    Ok2->setGeometry(304, 520, 75, 25);
    Cancel2 = new QPushButton(u"Peruuta"_s, box);
    Cancel2->setObjectName(u"Cancel2"_s);
    Cancel2->setGeometry(416, 520, 75, 25);
}

void TForm1::connectSettings()
{
    for (const BillerEdit &e : kBillerEdits)
        connect(this->*e.field, &QLineEdit::textChanged, this, &TForm1::Koti1Change);
    for (QLineEdit *edit : {YritNimi1, YritOts11, YritOts12, CopyKpl1})
        connect(edit, &QLineEdit::textChanged, this, &TForm1::Koti1Change);
    for (QCheckBox *check : {ViivakoodiVal1, RfViite1, QrKoodi1})
        connect(check, &QCheckBox::toggled, this, &TForm1::Koti1Change);
    // Unlike the VAT defaults, the PDF default is a change to confirm or cancel.
    connect(PdfOletus1, &QCheckBox::toggled, this, &TForm1::Koti1Change);
    connect(Verkkolaskumuoto1, &QComboBox::currentIndexChanged, this, &TForm1::Koti1Change);
    connect(PdfOletus1, &QCheckBox::toggled, this, &TForm1::LisaRivit1Click);
    connect(UpDown1, &QSpinBox::valueChanged, this, &TForm1::Tausta1Change);
    connect(UpDown2, &QSpinBox::valueChanged, this, &TForm1::Teksti1Change);
    connectCommand(Ok2, &QPushButton::clicked, &TForm1::Ok2Click);
    connectCommand(Cancel2, &QPushButton::clicked, &TForm1::Cancel2Click);
    connectMargins();
    connectFontAreas();
}

EinvoiceFormat TForm1::ChosenEinvoiceFormat() const
{
    return StoredEinvoiceFormat(Verkkolaskumuoto1->currentIndex());
}

void TForm1::Koti1Change()
{
    BillerChanged = true;
}

void TForm1::Tausta1Change()
{
    const int level = BrightnessLevel(UpDown1->value());
    QPalette pal = OmatBox1->palette();
    pal.setColor(QPalette::Window, QColor(level, level, level));
    OmatBox1->setPalette(pal);
    BillerChanged = true;
}

void TForm1::Teksti1Change()
{
    const int level = BrightnessLevel(UpDown2->value());
    for (QLineEdit *edit : {YritNimi1, YritOts11, YritOts12}) {
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Text, QColor(level, level, level));
        edit->setPalette(pal);
    }
    BillerChanged = true;
}

void TForm1::Ok2Click()
{
    if (BillerChanged) {
        NextViite1->setText(RegroupReferenceBase(NextViite1->text()));
        // A failed write leaves the box open with the edits, so the user can
        // try again.
        SaveSettings();
    }
    OmatTiedot1->hide();
    LaskuPanel1->setEnabled(true);
    // The defaults just confirmed apply to the invoice on screen.
    SisAlv1->setChecked(SisAlv2->isChecked());
    InvoiceRowTotalsWithVat.reset();
    RecalcInvoice();
}

void TForm1::Cancel2Click()
{
    if (BillerChanged)
        LoadSettings();
    OmatTiedot1->hide();
    LaskuPanel1->setEnabled(true);
}
