// The biller details box: the user's own business details, the counters, the
// VAT defaults, the output options and the payment reminders' settings. It
// shows the window's profile and collects the edited one on "OK".

#include "app/inifile.h"
#include "app/settingsrules.h"
#include "app/startup.h"
#include "app/Unit1.h"
#include "base/commanderror.h"
#include "invoice/amount.h"
#include "invoice/numbering.h"
#include "invoice/reminder.h"
#include "widgets/widgetfactory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QValidator>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct BillerEdit
{
    QLineEdit *TForm1::*field;
    QString &(*setting)(Profile &);
    const char16_t *name;
    const char16_t *label;
    int left;
    int top;
    int width;
};

// Edits outside the heading preview, with their labels above them, and the
// settings they show.
constexpr BillerEdit kBillerEdits[] = {
    {&TForm1::VirallNimi1, [](Profile &p) -> QString & { return p.biller.officialName; }, u"VirallNimi1", u"Yrityksen virallinen nimi", 368, 40, 145},
    {&TForm1::Osoite11, [](Profile &p) -> QString & { return p.biller.address1; }, u"Osoite11", u"Osoite1", 368, 84, 145},
    {&TForm1::Osoite12, [](Profile &p) -> QString & { return p.biller.address2; }, u"Osoite12", u"Osoite2 tai www-osoite", 368, 128, 145},
    {&TForm1::Puhelin1, [](Profile &p) -> QString & { return p.biller.phone; }, u"Puhelin1", u"Puhelinnumero", 16, 176, 161},
    {&TForm1::Faksi1, [](Profile &p) -> QString & { return p.biller.fax; }, u"Faksi1", u"Faksinumero", 192, 176, 161},
    {&TForm1::Posti1, [](Profile &p) -> QString & { return p.biller.postOffice; }, u"Posti1", u"Postinumero ja -toimipaikka", 368, 176, 145},
    {&TForm1::NextNr1, [](Profile &p) -> QString & { return p.nextInvoiceNumber; }, u"NextNr1", u"Seuraava laskun nro", 16, 224, 161},
    {&TForm1::NextViite1, [](Profile &p) -> QString & { return p.nextReferenceBase; }, u"NextViite1", u"Seuraava viitenumero ilman tark.nroa", 192, 224, 161},
    {&TForm1::Koti1, [](Profile &p) -> QString & { return p.biller.homeTown; }, u"Koti1", u"Kotipaikka", 368, 224, 145},
    {&TForm1::YTunnus1, [](Profile &p) -> QString & { return p.biller.businessId; }, u"YTunnus1", u"Y-tunnus", 16, 268, 161},
    {&TForm1::AlvTunnus1, [](Profile &p) -> QString & { return p.biller.vatId; }, u"AlvTunnus1", u"Alv-tunnus", 192, 268, 161},
    {&TForm1::Alv1, [](Profile &p) -> QString & { return p.vatPercent; }, u"Alv1", u"Yleinen alv-%", 368, 268, 73},
    {&TForm1::Pankki1, [](Profile &p) -> QString & { return p.biller.bank; }, u"Pankki1", u"Pankin nimi", 16, 312, 161},
    {&TForm1::Iban1, [](Profile &p) -> QString & { return p.biller.iban; }, u"Iban1", u"IBAN", 192, 312, 161},
    {&TForm1::Bic1, [](Profile &p) -> QString & { return p.biller.bic; }, u"Bic1", u"BIC", 368, 312, 129},
    {&TForm1::MaksuEhto1, [](Profile &p) -> QString & { return p.defaults.paymentTerms; }, u"MaksuEhto1", u"Maksuehto", 16, 356, 97},
    {&TForm1::ViivKorko1, [](Profile &p) -> QString & { return p.defaults.penaltyInterest; }, u"ViivKorko1", u"Viivästyskorko", 192, 356, 49},
    {&TForm1::HuomAika1, [](Profile &p) -> QString & { return p.defaults.reminderTime; }, u"HuomAika1", u"Huomautusaika", 368, 356, 105},
    {&TForm1::FreeText1, [](Profile &p) -> QString & { return p.biller.freeText1; }, u"FreeText1", u"Vapaa teksti vasemmalla", 16, 400, 217},
    {&TForm1::FreeText2, [](Profile &p) -> QString & { return p.biller.freeText2; }, u"FreeText2", u"Vapaa teksti oikealla", 280, 400, 217},
    {&TForm1::Verkkolaskuosoite1, [](Profile &p) -> QString & { return p.biller.einvoice.address; }, u"Verkkolaskuosoite1", u"Verkkolaskuosoite", 16, 444, 161},
    {&TForm1::Valittaja1, [](Profile &p) -> QString & { return p.biller.einvoice.operatorId; }, u"Valittaja1", u"Välittäjätunnus", 192, 444, 161},
};

// The e-invoice format's choice, in the row of the e-invoice address.
constexpr QRect kFormatChoice(368, 444, 145, 22);

constexpr int kEditHeight = 22;

// The reminder settings, in a column of their own right of the others.
constexpr QRect kReminderBox(564, 32, 197, 473);

// The columns of the rate table, as ReferenceRateRow holds them.
enum RateColumn : int { RateStartColumn, RateValueColumn, RateColumnCount };

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

// The edits of the heading preview and of the copy count, with their settings.
struct SettingEdit
{
    QLineEdit *TForm1::*field;
    QString &(*setting)(Profile &);
};

const SettingEdit kHeadingEdits[] = {
    {&TForm1::YritNimi1, [](Profile &p) -> QString & { return p.headingLines[0]; }},
    {&TForm1::YritOts11, [](Profile &p) -> QString & { return p.headingLines[1]; }},
    {&TForm1::YritOts12, [](Profile &p) -> QString & { return p.headingLines[2]; }},
    {&TForm1::CopyKpl1, [](Profile &p) -> QString & { return p.copies; }},
};

// The box's yes/no settings, in the order they are shown (one check box's
// handler may set another).
struct SettingCheck
{
    QCheckBox *TForm1::*field;
    bool &(*setting)(Profile &);
};

const SettingCheck kChecks[] = {
    {&TForm1::SisAlv2, [](Profile &p) -> bool & { return p.defaults.unitPricesWithVat; }},
    {&TForm1::YhtSisAlv, [](Profile &p) -> bool & { return p.defaults.rowTotalsWithVat; }},
    {&TForm1::ViivakoodiVal1, [](Profile &p) -> bool & { return p.options.barcode; }},
    {&TForm1::PdfOletus1, [](Profile &p) -> bool & { return p.options.pdfDefault; }},
    {&TForm1::RfViite1, [](Profile &p) -> bool & { return p.options.rfReference; }},
    {&TForm1::QrKoodi1, [](Profile &p) -> bool & { return p.options.qrCode; }},
    {&TForm1::Vakiokorvaus1, [](Profile &p) -> bool & { return p.reminders.fixedCompensation; }},
};

// The reminder settings the box collects, so no longer as the file had them.
constexpr QStringView kCollectedReminderKeys[] = {kReferenceRatesKey, kReminderFeeKey, kFixedCompensationKey,
                                                  kReminderTermKey};

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

    createReminderSettings();

    Ok2 = new QPushButton(u"OK"_s, box);
    Ok2->setObjectName(u"Ok2"_s);
    Ok2->setGeometry(304, 520, 75, 25);
    Cancel2 = new QPushButton(kCancelWord.toString(), box);
    Cancel2->setObjectName(u"Cancel2"_s);
    Cancel2->setGeometry(416, 520, 75, 25);
}

void TForm1::createReminderSettings()
{
    Muistutukset1 = new QGroupBox(u"Maksumuistutukset"_s, OmatTiedot1);
    Muistutukset1->setObjectName(u"Muistutukset1"_s);
    Muistutukset1->setGeometry(kReminderBox);
    Muistutukset1->setFont(pageFont(u"MS Sans Serif"_s, 8));
    const int inner = kReminderBox.width() - 16;
    const auto captioned = [this](const QString &name, const QString &label, const QRect &geometry) {
        makeLabel(Muistutukset1, u"Label_"_s + name, label, geometry.left(), geometry.top() - 18)->adjustSize();
        return makeEdit(Muistutukset1, name, geometry, label, true);
    };
    Muistutusmaksu1 = captioned(u"Muistutusmaksu1"_s, u"Muistutusmaksu"_s, QRect(8, 42, 73, kEditHeight));
    Muistutusaika1 = captioned(u"Muistutusaika1"_s, u"Muistutusaika"_s, QRect(96, 42, 73, kEditHeight));
    Vakiokorvaus1 = makeCheckBox(Muistutukset1, u"Vakiokorvaus1"_s, u"Vakiokorvaus 40 € yritysasiakkaille"_s, 8, 74);
    Vakiokorvaus1->adjustSize();
    if (Vakiokorvaus1->width() > inner) {
        Vakiokorvaus1->setFont(pageFont(u"MS Sans Serif"_s, 7));
        Vakiokorvaus1->adjustSize();
    }

    makeLabel(Muistutukset1, u"Label_Viitekorot1"_s, u"Viitekorot"_s, 8, 104)->adjustSize();
    Viitekorot1 = new QTableWidget(0, RateColumnCount, Muistutukset1);
    Viitekorot1->setObjectName(u"Viitekorot1"_s);
    Viitekorot1->setAccessibleName(u"Viitekorot"_s);
    Viitekorot1->setHorizontalHeaderLabels({u"Alkaen"_s, u"Viitekorko %"_s});
    Viitekorot1->verticalHeader()->hide();
    Viitekorot1->verticalHeader()->setDefaultSectionSize(20);
    Viitekorot1->horizontalHeader()->setStretchLastSection(true);
    Viitekorot1->setColumnWidth(RateStartColumn, 84);
    Viitekorot1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Viitekorot1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Typing into a cell replaces its text, as in the page's grids.
    Viitekorot1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::AnyKeyPressed);
    Viitekorot1->setGeometry(8, 122, inner, 306);
    LisaaViitekorko1 = new QPushButton(u"Lisää"_s, Muistutukset1);
    LisaaViitekorko1->setObjectName(u"LisaaViitekorko1"_s);
    LisaaViitekorko1->setGeometry(8, 436, (inner - 8) / 2, 25);
    PoistaViitekorko1 = new QPushButton(u"Poista"_s, Muistutukset1);
    PoistaViitekorko1->setObjectName(u"PoistaViitekorko1"_s);
    PoistaViitekorko1->setGeometry(8 + inner - (inner - 8) / 2, 436, (inner - 8) / 2, 25);
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
    for (QLineEdit *edit : {Muistutusmaksu1, Muistutusaika1})
        connect(edit, &QLineEdit::textChanged, this, &TForm1::Koti1Change);
    connect(Vakiokorvaus1, &QCheckBox::toggled, this, &TForm1::Koti1Change);
    connect(Viitekorot1, &QTableWidget::itemChanged, this, &TForm1::Koti1Change);
    connectCommand(LisaaViitekorko1, &QPushButton::clicked, &TForm1::LisaaViitekorko1Click);
    connectCommand(PoistaViitekorko1, &QPushButton::clicked, &TForm1::PoistaViitekorko1Click);
    connectCommand(Ok2, &QPushButton::clicked, &TForm1::Ok2Click);
    connectCommand(Cancel2, &QPushButton::clicked, &TForm1::Cancel2Click);
    connectMargins();
    connectFontAreas();
}

EinvoiceFormat TForm1::ChosenEinvoiceFormat() const
{
    return m_profile.einvoiceFormat;
}

void TForm1::ShowProfile(const Profile &profile)
{
    Profile shown = profile;
    for (const BillerEdit &e : kBillerEdits)
        (this->*e.field)->setText(e.setting(shown));
    for (const SettingEdit &e : kHeadingEdits)
        (this->*e.field)->setText(e.setting(shown));
    for (const SettingCheck &c : kChecks)
        (this->*c.field)->setChecked(c.setting(shown));
    UpDown1->setValue(profile.headingBackground);
    UpDown2->setValue(profile.headingText);
    Verkkolaskumuoto1->setCurrentIndex(int(profile.einvoiceFormat));
    // A reminder setting that did not read is shown as typed, for the user
    // to mend; "OK" refuses it until then.
    Muistutusmaksu1->setText(
        UnreadText(profile, kReminderFeeKey).value_or(PaymentAmountText(profile.reminders.feeCents)));
    Muistutusaika1->setText(UnreadText(profile, kReminderTermKey).value_or(profile.reminders.term));
    ShowReferenceRateRows(ReferenceRateRows(UnreadText(profile, kReferenceRatesKey)
                                                .value_or(ReferenceRatesText(profile.reminders.referenceRates))));
}

Profile TForm1::CollectProfile() const
{
    Profile p = m_profile;
    for (const BillerEdit &e : kBillerEdits)
        e.setting(p) = (this->*e.field)->text();
    for (const SettingEdit &e : kHeadingEdits)
        e.setting(p) = (this->*e.field)->text();
    for (const SettingCheck &c : kChecks)
        c.setting(p) = (this->*c.field)->isChecked();
    p.nextReferenceBase = RegroupReferenceBase(p.nextReferenceBase);
    p.headingBackground = UpDown1->value();
    p.headingText = UpDown2->value();
    p.einvoiceFormat = StoredEinvoiceFormat(Verkkolaskumuoto1->currentIndex());
    p.reminders.referenceRates = ReferenceRatesOfRows(ReferenceRateRowsShown());
    p.reminders.feeCents = ReminderFeeCents(Muistutusmaksu1->text());
    p.reminders.term = ReminderTermText(Muistutusaika1->text());
    p.unread.removeIf([](const UnreadSetting &u) {
        return std::any_of(std::begin(kCollectedReminderKeys), std::end(kCollectedReminderKeys),
                           [&u](QStringView key) { return u.key.compare(key, Qt::CaseInsensitive) == 0; });
    });
    return p;
}

QList<ReferenceRateRow> TForm1::ReferenceRateRowsShown() const
{
    const auto cell = [this](int row, int column) {
        const QTableWidgetItem *item = Viitekorot1->item(row, column);
        return item ? item->text() : QString();
    };
    QList<ReferenceRateRow> rows;
    for (int row = 0; row < Viitekorot1->rowCount(); ++row)
        rows.append({cell(row, RateStartColumn), cell(row, RateValueColumn)});
    return rows;
}

void TForm1::ShowReferenceRateRows(const QList<ReferenceRateRow> &rows)
{
    Viitekorot1->setRowCount(0);
    for (const ReferenceRateRow &rate : rows) {
        const int row = Viitekorot1->rowCount();
        Viitekorot1->insertRow(row);
        Viitekorot1->setItem(row, RateStartColumn, new QTableWidgetItem(rate.start));
        Viitekorot1->setItem(row, RateValueColumn, new QTableWidgetItem(rate.rate));
    }
}

ReminderSettings TForm1::CollectReminderSettings() const
{
    return CheckedReminderSettings(m_profile);
}

void TForm1::LisaaViitekorko1Click()
{
    QList<ReferenceRateRow> rows = ReferenceRateRowsShown();
    rows.append(NextReferenceRateRow(rows, m_prompter->today()));
    ShowReferenceRateRows(rows);
    BillerChanged = true;
    // The new half-year's rate is what the user comes to type.
    Viitekorot1->setFocus();
    Viitekorot1->setCurrentCell(int(rows.size()) - 1, RateValueColumn);
}

void TForm1::PoistaViitekorko1Click()
{
    const int row = Viitekorot1->currentRow();
    if (row < 0)
        throw CommandError(u"Valitse ensin poistettava viitekorko taulukosta."_s);
    Viitekorot1->removeRow(row);
    BillerChanged = true;
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
        // Reminder settings that do not read are refused before anything
        // is written; a failed write leaves the box open with the edits, so
        // the user can try again.
        SaveProfile(CollectProfile());
        ShowProfile(m_profile);
        ApplyBillerDetails();
        BillerChanged = false;
    }
    OmatTiedot1->hide();
    LaskuPanel1->setEnabled(true);
    // The defaults just confirmed apply to the invoice on screen.
    SisAlv1->setChecked(m_profile.defaults.unitPricesWithVat);
    InvoiceRowTotalsWithVat.reset();
    RecalcInvoice();
}

void TForm1::Cancel2Click()
{
    if (BillerChanged) {
        ShowProfile(m_profile);
        ApplyBillerDetails();
        BillerChanged = false;
    }
    OmatTiedot1->hide();
    LaskuPanel1->setEnabled(true);
}
