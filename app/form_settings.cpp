// The settings file: reading every setting into the biller box and the
// window's fields, writing them back, the grid layout, and copying the biller
// details onto the page.

#include "app/Unit1.h"
#include "app/inifile.h"
#include "app/settingsrules.h"
#include "invoice/reminder.h"
#include "invoice/shoppingcart.h"
#include "storage/commanderror.h"
#include "storage/textfile.h"
#include "widgets/stringgrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kFile = u"File"_s;
const QString kBiller = kBillerSection.toString();
const QString kMargins = u"Marginaalit"_s;

struct StringSetting
{
    const char16_t *key;
    QLineEdit *TForm1::*field;
    const char16_t *defaultValue;
};

// The biller's text settings in file order, split where the two VAT check
// boxes stand between them.
constexpr StringSetting kBillerTexts[] = {
    {u"OtsikkoNimi", &TForm1::YritNimi1, u"Nimi?"},
    {u"Otsikkorivi2", &TForm1::YritOts11, u""},
    {u"Otsikkorivi3", &TForm1::YritOts12, u""},
    {u"Nimi", &TForm1::VirallNimi1, u"Nimi?"},
    {u"Osoite1", &TForm1::Osoite11, u"Osoite?"},
    {u"Osoite2", &TForm1::Osoite12, u""},
    {u"Kaupunki", &TForm1::Posti1, u"00000 KAUPUNKI?"},
    {u"Puhelin", &TForm1::Puhelin1, u"(00)0000000?"},
    {u"Faksi", &TForm1::Faksi1, u""},
    {u"Kotipaikka", &TForm1::Koti1, u"KAUPUNKI?"},
    {u"SeurLasku", &TForm1::NextNr1, u"1"},
    // A reference of at least four digits with its check digit, as banks require.
    {u"SeurViite", &TForm1::NextViite1, u"100"},
    {u"Y-yunnus", &TForm1::YTunnus1, u"1234567-8?"},
    {u"Alv-tunnus", &TForm1::AlvTunnus1, u"1234567-8?"},
    {u"Alv", &TForm1::Alv1, u"25,5"},
};
constexpr StringSetting kBillerTextsAfterVat[] = {
    {u"Pankki", &TForm1::Pankki1, u""},
    {u"Iban", &TForm1::Iban1, u"FI00 0000 0000 0000 00?"},
    {u"Bic", &TForm1::Bic1, u"BANKBANK?"},
    {u"Maksuehto", &TForm1::MaksuEhto1, u"14 pv netto"},
    {u"Viiv.korko", &TForm1::ViivKorko1, u"13%"},
    {u"Huom.aika", &TForm1::HuomAika1, u"7 pv"},
    {u"VapaaTeksti1", &TForm1::FreeText1, u""},
    {u"VapaaTeksti2", &TForm1::FreeText2, u""},
    {u"Kopiot", &TForm1::CopyKpl1, u"0"},
};

// Yes/no options of the biller details that later versions added, off by default.
struct OptionSetting
{
    const char16_t *key;
    QCheckBox *TForm1::*field;
};

constexpr OptionSetting kNewOptions[] = {
    {u"RfViite", &TForm1::RfViite1},
    {u"QrKoodi", &TForm1::QrKoodi1},
};

// The biller's e-invoice details, newer than most settings files.
constexpr StringSetting kEinvoiceTexts[] = {
    {u"Verkkolaskuosoite", &TForm1::Verkkolaskuosoite1, u""},
    {u"Valittajatunnus", &TForm1::Valittaja1, u""},
};
constexpr char16_t kEinvoiceFormatKey[] = u"Verkkolaskumuoto";

struct MarginSetting
{
    const char16_t *key;
    int TForm1::*field;
};

constexpr MarginSetting kMarginSettings[] = {
    {u"Left", &TForm1::MarginLeft},       {u"Top", &TForm1::MarginTop},
    {u"Right", &TForm1::MarginRight},     {u"Bottom", &TForm1::MarginBottom},
    {u"BankTrLeft", &TForm1::GiroMarginLeft}, {u"BankTrRight", &TForm1::GiroMarginRight},
};

QString key(const char16_t *text)
{
    return QString::fromUtf16(text);
}

QColor grey(int step)
{
    const int level = BrightnessLevel(step);
    return QColor(level, level, level);
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Text, color);
    pal.setColor(QPalette::WindowText, color);
    widget->setPalette(pal);
}

void setBackground(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

} // namespace

void TForm1::LoadSettings()
{
    // A settings path that names a FIFO or a folder is not read; the
    // defaults stand and the user learns why.
    if (!IsRegularFileOrMissing(IniFileName))
        m_prompter->message(this, FileOpenError(IniFileName).message());
    const IniSnapshot ini(IniFileName);
    DataDir = ini.readString(kFile, u"OletDir", QString());
    // A folder typed into the file by hand may lack its closing separator.
    if (!DataDir.isEmpty() && !DataDir.endsWith(u'/') && !DataDir.endsWith(QDir::separator()))
        DataDir += QDir::separator();
    for (const StringSetting &s : kBillerTexts)
        (this->*s.field)->setText(ini.readString(kBiller, key(s.key), key(s.defaultValue)));
    SisAlv2->setChecked(ini.readBool(kBiller, u"ASisAlv", false));
    YhtSisAlv->setChecked(ini.readBool(kBiller, u"YhtSisAlv", true));
    for (const StringSetting &s : kBillerTextsAfterVat)
        (this->*s.field)->setText(ini.readString(kBiller, key(s.key), key(s.defaultValue)));
    UpDown1->setValue(ClampBrightnessStep(ini.readInteger(kBiller, u"OtsBakCol", 7)));
    UpDown2->setValue(ClampBrightnessStep(ini.readInteger(kBiller, u"OtsTxtCol", 0)));
    ViivakoodiVal1->setChecked(ini.readBool(kBiller, u"Viivakoodi", false));
    PdfOletus1->setChecked(ini.readBool(kBiller, u"PdfOletus", false));
    for (const OptionSetting &o : kNewOptions)
        (this->*o.field)->setChecked(ini.readBool(kBiller, key(o.key), false));
    for (const StringSetting &s : kEinvoiceTexts)
        (this->*s.field)->setText(ini.readString(kBiller, key(s.key), key(s.defaultValue)));
    const EinvoiceFormat format = StoredEinvoiceFormat(ini.readInteger(kBiller, kEinvoiceFormatKey, 0));
    Verkkolaskumuoto1->setCurrentIndex(int(format));
    // The reminder settings as the file holds them, checked when the box is
    // accepted.
    const ReminderSettings reminderDefaults;
    Muistutusmaksu1->setText(ini.readString(kBiller, kReminderFeeKey, PaymentAmountText(reminderDefaults.feeCents)));
    Muistutusaika1->setText(ini.readString(kBiller, kReminderTermKey, reminderDefaults.term));
    Vakiokorvaus1->setChecked(ini.readBool(kBiller, kFixedCompensationKey, reminderDefaults.fixedCompensation));
    ShowReferenceRateRows(ReferenceRateRows(
        ini.readString(kBiller, kReferenceRatesKey, ReferenceRatesText(reminderDefaults.referenceRates))));

    for (const MarginSetting &m : kMarginSettings)
        this->*m.field = ClampMarginMm(ini.readInteger(kMargins, key(m.key), 0));

    const auto layout = [&](const QString &name, int number, int current) {
        return ini.readInteger(kBiller, name + QString::number(number), current);
    };
    for (int c = 0; c < LaskuRivit1->colCount(); ++c)
        LaskuRivit1->setColWidth(c, ClampGridColumnWidth(layout(u"ColWidth"_s, c, LaskuRivit1->colWidth(c))));
    for (int r = 0; r < AsiakOsoite1->rowCount(); ++r)
        AsiakOsoite1->setRowHeight(r, ClampGridRowHeight(layout(u"AsiakRow"_s, r, AsiakOsoite1->rowHeight(r))));
    for (int r = 0; r < YritNimi2->rowCount(); ++r)
        YritNimi2->setRowHeight(r, ClampGridRowHeight(layout(u"OmatRow"_s, r, YritNimi2->rowHeight(r))));

    XPrintMode = ini.readInteger(u"PrintMode", u"XPrint", 0) == 1;
    PasteType = ini.readString(u"ClipBoard", u"PasteType", QString());
    Paste1->setVisible(PasteType == kShoppingCartMark);

    ApplyBillerDetails();
    BillerChanged = false;
}

void TForm1::SaveDataDir()
{
    WriteIniString(IniFileName, kFile, u"OletDir", DataDir);
}

void TForm1::SaveSettings()
{
    const QString &ini = IniFileName;
    SaveDataDir();
    for (const StringSetting &s : kBillerTexts)
        WriteIniString(ini, kBiller, key(s.key), (this->*s.field)->text());
    WriteIniInteger(ini, kBiller, u"ASisAlv", SisAlv2->isChecked() ? 1 : 0);
    WriteIniInteger(ini, kBiller, u"YhtSisAlv", YhtSisAlv->isChecked() ? 1 : 0);
    for (const StringSetting &s : kBillerTextsAfterVat)
        WriteIniString(ini, kBiller, key(s.key), (this->*s.field)->text());
    WriteIniInteger(ini, kBiller, u"OtsBakCol", UpDown1->value());
    WriteIniInteger(ini, kBiller, u"OtsTxtCol", UpDown2->value());
    WriteIniInteger(ini, kBiller, u"Viivakoodi", ViivakoodiVal1->isChecked() ? 1 : 0);
    WriteIniInteger(ini, kBiller, u"PdfOletus", PdfOletus1->isChecked() ? 1 : 0);
    // Options newer than most settings files are written only when on or
    // already there, so a file of an older version stays as it was.
    const IniSnapshot stored(ini);
    for (const OptionSetting &o : kNewOptions) {
        const bool on = (this->*o.field)->isChecked();
        if (on || stored.contains(kBiller, key(o.key)))
            WriteIniInteger(ini, kBiller, key(o.key), on ? 1 : 0);
    }
    for (const StringSetting &s : kEinvoiceTexts) {
        const QString text = (this->*s.field)->text();
        if (!text.isEmpty() || stored.contains(kBiller, key(s.key)))
            WriteIniString(ini, kBiller, key(s.key), text);
    }
    const EinvoiceFormat format = ChosenEinvoiceFormat();
    if (format != EinvoiceFormat::Finvoice || stored.contains(kBiller, kEinvoiceFormatKey))
        WriteIniInteger(ini, kBiller, kEinvoiceFormatKey, int(format));
    for (const MarginSetting &m : kMarginSettings)
        WriteIniInteger(ini, kMargins, key(m.key), this->*m.field);
    // The reminder settings, each only when it differs from its default or
    // is already there. "OK" of the biller details refuses settings that do
    // not read; keys edited by hand into such stay as they stand when the
    // counters or margins are saved, and the user is told when reminding.
    std::optional<ReminderSettings> reminders;
    try {
        reminders = CollectReminderSettings();
    } catch (const CommandError &) {
    }
    if (reminders) {
        const ReminderSettings reminderDefaults;
        const auto writeReminderSetting = [&](QStringView name, bool changed, const QString &value) {
            if (changed || stored.contains(kBiller, name))
                WriteIniString(ini, kBiller, name, value);
        };
        writeReminderSetting(kReferenceRatesKey, reminders->referenceRates != reminderDefaults.referenceRates,
                             ReferenceRatesText(reminders->referenceRates));
        writeReminderSetting(kReminderFeeKey, reminders->feeCents != reminderDefaults.feeCents,
                             PaymentAmountText(reminders->feeCents));
        writeReminderSetting(kFixedCompensationKey,
                             reminders->fixedCompensation != reminderDefaults.fixedCompensation,
                             QString::number(reminders->fixedCompensation ? 1 : 0));
        writeReminderSetting(kReminderTermKey, reminders->term != reminderDefaults.term, reminders->term);
    }
    ApplyBillerDetails();
    BillerChanged = false;
}

void TForm1::SaveGridLayout()
{
    const QString &ini = IniFileName;
    for (int c = 0; c < LaskuRivit1->colCount(); ++c)
        WriteIniInteger(ini, kBiller, u"ColWidth"_s + QString::number(c), LaskuRivit1->colWidth(c));
    for (int r = 0; r < AsiakOsoite1->rowCount(); ++r)
        WriteIniInteger(ini, kBiller, u"AsiakRow"_s + QString::number(r), AsiakOsoite1->rowHeight(r));
    for (int r = 0; r < YritNimi2->rowCount(); ++r)
        WriteIniInteger(ini, kBiller, u"OmatRow"_s + QString::number(r), YritNimi2->rowHeight(r));
}

void TForm1::ApplyBillerDetails()
{
    YritNimi2->setCell(kBlockTextColumn, 0, YritNimi1->text());
    YritNimi2->setCell(kBlockTextColumn, 1, YritOts11->text());
    YritNimi2->setCell(kBlockTextColumn, 2, YritOts12->text());
    // An invoice opened from its file keeps the biller it was issued with;
    // what it does not keep is today's.
    const BillerDetails today = CollectBillerDetails();
    ShowBiller(OpenedInvoiceFile.isEmpty() ? today : IssuedBiller(CollectInvoice().header, today));
    MaksuEhto2->setText(MaksuEhto1->text());
    ViivKorko2->setText(ViivKorko1->text());
    HuomAika2->setText(HuomAika1->text());

    const QColor background = grey(UpDown1->value());
    setBackground(OmatBox1, background);
    setBackground(OmaPanel, background);
    YritNimi2->setCellColor(background);
    YritNimi2->setFixedColor(background);
    const QColor text = grey(UpDown2->value());
    setTextColor(YritNimi1, text);
    YritNimi2->setTextColor(text);
    OwnNameFont.color = text;
    YritNimi2->viewport()->update();
}
