// The settings file as the user meets it: defaults on a first start, a file
// written by hand, the biller details box, margins, fonts and closing.

#include "app/inifile.h"
#include "app/settingsrules.h"
#include "invoice/reminder.h"
#include "widgets/stringgrid.h"
#include "storage/cp1252.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QByteArray crlf(const QString &text)
{
    QString withCr = text;
    withCr.replace(u"\n"_s, u"\r\n"_s);
    return stringToCp1252(withCr);
}

QString ini(const FormFixture &f, const QString &section, const QString &key)
{
    return ReadIniString(f.settingsPath(), section, key, u"<missing>"_s);
}

// How a number read from the settings file is put to use.
using StoredNumberRule = int (*)(int);
// What the window shows of a setting, as text.
using Reading = QString (*)(TForm1 &);

QColor background(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

// The reference rates the program ships with, as the settings write them.
const QString kShippedRates = u"1.1.2020=0,0;1.7.2020=0,0;1.1.2021=0,0;1.7.2021=0,0;1.1.2022=0,0;1.7.2022=0,0;"
                              "1.1.2023=2,5;1.7.2023=4,0;1.1.2024=4,5;1.7.2024=4,5;1.1.2025=3,5;1.7.2025=2,5;"
                              "1.1.2026=2,5"_s;

// Edits the biller details box as a person does. Each step is one of
// "fee=text", "term=text", "phone=text" (typed over the edit's text),
// "fixed" (a click on the check box), "row,column=text" (typed into a cell
// of the rate table), "add" ("Lisää") and "remove row" ("Poista").
void editBillerBox(TForm1 &form, const QStringList &steps)
{
    const auto retype = [](QLineEdit *edit, const QString &text) {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    };
    for (const QString &step : steps) {
        const QString value = step.section(u'=', 1);
        if (step.startsWith(u"fee="_s)) {
            retype(form.Muistutusmaksu1, value);
        } else if (step.startsWith(u"term="_s)) {
            retype(form.Muistutusaika1, value);
        } else if (step.startsWith(u"phone="_s)) {
            retype(form.Puhelin1, value);
        } else if (step == u"fixed"_s) {
            QTest::mouseClick(form.Vakiokorvaus1, Qt::LeftButton, {}, QPoint(6, form.Vakiokorvaus1->height() / 2));
        } else if (step == u"add"_s) {
            QTest::mouseClick(form.LisaaViitekorko1, Qt::LeftButton);
        } else if (step.startsWith(u"remove "_s)) {
            form.Viitekorot1->setCurrentCell(step.mid(7).toInt(), 0);
            QTest::mouseClick(form.PoistaViitekorko1, Qt::LeftButton);
        } else {
            const QString cell = step.section(u'=', 0, 0);
            form.Viitekorot1->setFocus();
            form.Viitekorot1->setCurrentCell(cell.section(u',', 0, 0).toInt(), cell.section(u',', 1).toInt());
            typeKeys(value);
            pressKey(Qt::Key_Return);
        }
    }
}

QStringList fileLines(const QByteArray &bytes)
{
    return cp1252ToString(bytes).split(u"\r\n"_s);
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartShowsDefaults();
    void handWrittenFileLoadsAndUnknownLinesSurvive();
    void profileArgumentNamesTheFile();
    void closingWritesGridLayout();
    void storedValues_data();
    void storedValues();
    void okRegroupsReferenceAndSaves_data();
    void okRegroupsReferenceAndSaves();
    void okWithoutChangeWritesNothingButResetsInvoiceVat();
    void brightnessPreviewAndPageAfterOk();
    void cancelRestoresStoredValues();
    void pdfDefaultIsAChangeToConfirm();
    void failedWriteKeepsOldFileAndBoxOpen();
    void pastedLineBreaksCannotAddKeys();
    void marginEntry_data();
    void marginEntry();
    void giroMarginCaptions();
    void rightClickOpensPopupWhereAllowed();
    void fontChoiceChangesAreaAndIsStored();
    void cancelledFontChoiceWritesNothing();
    void storedAreaFonts();
    void copyCountTypedOneCharacter_data();
    void copyCountTypedOneCharacter();
    void storedNumberRanges_data();
    void storedNumberRanges();
    void outOfRangeNumbersStartUsableWindow();
    void einvoiceDetailsStoredOnlyWhenSet_data();
    void einvoiceDetailsStoredOnlyWhenSet();
    void reminderSettingsStoredWhenChanged_data();
    void reminderSettingsStoredWhenChanged();
    void badReminderSettingsRefused_data();
    void badReminderSettingsRefused();
    void unreadableReminderKeysKeptBySave();
};

void SettingsTest::firstStartShowsDefaults()
{
    FormFixture f;
    TForm1 &form = f.form();
    QCOMPARE(form.YritNimi1->text(), u"Nimi?"_s);
    QCOMPARE(form.NextNr1->text(), u"1"_s);
    QCOMPARE(form.NextViite1->text(), u"100"_s);
    QCOMPARE(form.Alv1->text(), u"25,5"_s);
    QCOMPARE(form.MaksuEhto1->text(), u"14 pv netto"_s);
    QCOMPARE(form.ViivKorko1->text(), u"13%"_s);
    QCOMPARE(form.HuomAika1->text(), u"7 pv"_s);
    QCOMPARE(form.CopyKpl1->text(), u"0"_s);
    QVERIFY(!form.SisAlv2->isChecked());
    QVERIFY(form.YhtSisAlv->isChecked());
    QCOMPARE(form.UpDown1->value(), 7);
    QCOMPARE(form.UpDown2->value(), 0);
    QVERIFY(!form.BillerChanged);
    QCOMPARE(form.VirallNimi2->text(), u"Nimi?"_s);
    QCOMPARE(form.VirallNimi3->text(), u"Nimi?"_s);
    QCOMPARE(form.Iban3->text(), u"FI00 0000 0000 0000 00?"_s);
    QCOMPARE(form.YritNimi2->cell(1, 0), u"Nimi?"_s);
    QCOMPARE(background(form.OmaPanel), QColor(182, 182, 182));
    QCOMPARE(form.DataDir, QString());
    QVERIFY(!QFile::exists(f.settingsPath()));
}

void SettingsTest::handWrittenFileLoadsAndUnknownLinesSurvive()
{
    const QByteArray original = crlf(u"; oma kommentti\n"
                                     "[laskuttaja]\n"
                                     "NIMI=Pörssi & Öljy Oy\n"
                                     "osoite1=Kauppakatu 1\n"
                                     "Tuntematon=säilyy €\n"
                                     "seurlasku=57\n"
                                     "\n"
                                     "[Muu osio]\n"
                                     "avain=arvo\n"
                                     "[FILE]\n"
                                     "oletdir=/tmp/laskut/\n"_s);
    FormFixture f(original);
    TForm1 &form = f.form();
    QCOMPARE(form.VirallNimi1->text(), u"Pörssi & Öljy Oy"_s);
    QCOMPARE(form.Osoite31->text(), u"Kauppakatu 1"_s);
    QCOMPARE(form.LaskuNro1->text(), u"57"_s);
    QCOMPARE(form.DataDir, u"/tmp/laskut/"_s);

    form.Laskuttajantiedot1Click();
    form.Koti1->setText(u"Mäntsälä €"_s);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QVERIFY(form.OmatTiedot1->isHidden());

    const QByteArray written = f.settingsBytes();
    for (const char *line : {"; oma kommentti\r\n", "[laskuttaja]\r\n", "NIMI=P\xf6rssi & \xd6ljy Oy\r\n",
                             "Tuntematon=s\xe4ilyy \x80\r\n", "[Muu osio]\r\navain=arvo\r\n",
                             "[FILE]\r\noletdir=/tmp/laskut/\r\n", "Kotipaikka=M\xe4nts\xe4l\xe4 \x80\r\n"})
        QVERIFY2(written.contains(line), line);
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"Kotipaikka"_s), u"Mäntsälä €"_s);
    QCOMPARE(form.Koti2->text(), u"Mäntsälä €"_s);
    QVERIFY(!written.contains("\n\n"));
}

void SettingsTest::profileArgumentNamesTheFile()
{
    FormFixture f(QByteArray(), {u"firma2"_s, u"x"_s});
    TForm1 &form = f.form();
    const QString profile = f.folder() + u"/firma2.ini"_s;
    QCOMPARE(form.IniFileName, profile);
    QCOMPARE(form.HelpFileName, f.folder() + u"/laskutus.html"_s);
    form.VirallNimi1->setText(u"Firma Kaksi"_s);
    form.Ok2Click();
    QCOMPARE(ReadIniString(profile, u"Laskuttaja", u"Nimi", QString()), u"Firma Kaksi"_s);
    QVERIFY(!QFile::exists(f.settingsPath()));
}

void SettingsTest::closingWritesGridLayout()
{
    FormFixture f;
    QVERIFY(f.show());
    f.form().LaskuRivit1->setColWidth(1, 350);
    f.form().close();
    for (int c = 0; c < 7; ++c)
        QVERIFY(ini(f, u"Laskuttaja"_s, u"ColWidth"_s + QString::number(c)) != u"<missing>"_s);
    for (int r = 0; r < 4; ++r)
        QCOMPARE(ini(f, u"Laskuttaja"_s, u"AsiakRow"_s + QString::number(r)), u"19"_s);
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"OmatRow0"_s), u"38"_s);
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"OmatRow2"_s), u"19"_s);
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"ColWidth1"_s), u"350"_s);
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"ColWidth7"_s), u"<missing>"_s);
    // The settings are written whole, the defaults with them.
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"Nimi"_s), u"Nimi?"_s);

    // The next start takes the stored width.
    FormFixture again(f.settingsBytes());
    QCOMPARE(again.form().LaskuRivit1->colWidth(1), 350);
}

void SettingsTest::storedValues_data()
{
    const Reading vatDefaults = [](TForm1 &form) {
        return QString::number(form.SisAlv2->isChecked()) + u' ' + QString::number(form.YhtSisAlv->isChecked());
    };
    const Reading xprint = [](TForm1 &form) { return QString::number(form.CurrentProfile().xPrint); };
    const Reading pasteShown = [](TForm1 &form) { return QString::number(form.Paste1->isVisible()); };
    const Reading brightness = [](TForm1 &form) {
        return QString::number(form.UpDown1->value()) + u' ' + QString::number(form.UpDown2->value());
    };
    const Reading unitAndPriceWidths = [](TForm1 &form) {
        return QString::number(form.LaskuRivit1->colWidth(3)) + u' ' + QString::number(form.LaskuRivit1->colWidth(4));
    };
    const Reading margins = [](TForm1 &form) {
        return QString::number(form.CurrentProfile().margins.left) + u' ' + QString::number(form.CurrentProfile().margins.giroRight);
    };
    const Reading nameLength = [](TForm1 &form) { return QString::number(form.VirallNimi1->text().size()); };

    QTest::addColumn<QString>("file");
    QTest::addColumn<Reading>("reading");
    QTest::addColumn<QString>("expected");
    QTest::newRow("VAT-inclusive prices keep row totals with VAT")
        << u"[Laskuttaja]\nASisAlv=1\nYhtSisAlv=0\n"_s << vatDefaults << u"1 1"_s;
    QTest::newRow("XPrint 2 leaves it off") << u"[PrintMode]\nXPrint=2\n"_s << xprint << u"0"_s;
    QTest::newRow("XPrint 1 turns it on") << u"[PrintMode]\nXPrint=1\n"_s << xprint << u"1"_s;
    QTest::newRow("lower-case paste type keeps Liitä hidden")
        << u"[ClipBoard]\nPasteType=ostoskori\n"_s << pasteShown << u"0"_s;
    QTest::newRow("paste type OSTOSKORI shows Liitä")
        << u"[ClipBoard]\nPasteType=OSTOSKORI\n"_s << pasteShown << u"1"_s;
    QTest::newRow("hexadecimal brightness") << u"[Laskuttaja]\nOtsBakCol=0x0A\n"_s << brightness << u"10 0"_s;
    QTest::newRow("brightness above range is clamped")
        << u"[Laskuttaja]\nOtsBakCol=15\nOtsTxtCol=-3\n"_s << brightness << u"10 0"_s;
    QTest::newRow("unreadable column width keeps the design width")
        << u"[Laskuttaja]\nColWidth3=abc\nColWidth4=70\n"_s << unitAndPriceWidths << u"42 70"_s;
    QTest::newRow("margins") << u"[Marginaalit]\nLeft=20\nBankTrRight=-4\n"_s << margins << u"20 -4"_s;
    QTest::newRow("long value cut to 1023")
        << u"[Laskuttaja]\nNimi="_s + QString(1500, u'x') + u"\n"_s << nameLength << u"1023"_s;
}

void SettingsTest::storedValues()
{
    QFETCH(QString, file);
    QFETCH(Reading, reading);
    QFETCH(QString, expected);
    FormFixture f(crlf(file));
    QCOMPARE(reading(f.form()), expected);
    QVERIFY(!f.form().BillerChanged);
}

void SettingsTest::okRegroupsReferenceAndSaves_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("regrouped");
    QTest::newRow("ten digits") << u"1234567890"_s << u"1 23456 7890"_s;
    QTest::newRow("blanks moved") << u"12 345"_s << u"1 2345"_s;
    QTest::newRow("four digits") << u"1234"_s << u"1234"_s;
    QTest::newRow("empty") << QString() << QString();
}

void SettingsTest::okRegroupsReferenceAndSaves()
{
    QFETCH(QString, typed);
    QFETCH(QString, regrouped);
    FormFixture f;
    TForm1 &form = f.form();
    form.Laskuttajantiedot1Click();
    QVERIFY(!form.LaskuPanel1->isEnabled());
    form.NextViite1->setText(typed);
    QVERIFY(form.BillerChanged);
    form.Ok2Click();
    QCOMPARE(form.NextViite1->text(), regrouped);
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"SeurViite"_s), regrouped);
    QVERIFY(!form.BillerChanged);
    QVERIFY(form.LaskuPanel1->isEnabled());
}

void SettingsTest::okWithoutChangeWritesNothingButResetsInvoiceVat()
{
    FormFixture f;
    TForm1 &form = f.form();
    form.LaskuRivit1->setCell(2, 1, u"1"_s);
    form.LaskuRivit1->setCell(4, 1, u"10"_s);
    form.LaskuRivit1->setCell(5, 1, u"25,5"_s);
    form.SisAlv1->setChecked(true);
    form.Laskuttajantiedot1Click();
    form.NextViite1->blockSignals(true);
    form.NextViite1->setText(u"12345"_s);
    form.NextViite1->blockSignals(false);
    form.Ok2Click();
    QVERIFY(!QFile::exists(f.settingsPath()));
    QCOMPARE(form.NextViite1->text(), u"12345"_s);
    QVERIFY(!form.SisAlv1->isChecked());
    QCOMPARE(form.TotSum->text(), u"12,55"_s);
}

void SettingsTest::brightnessPreviewAndPageAfterOk()
{
    FormFixture f;
    TForm1 &form = f.form();
    form.Laskuttajantiedot1Click();
    form.UpDown1->setValue(10);
    QCOMPARE(background(form.OmatBox1), QColor(255, 255, 255));
    QCOMPARE(background(form.OmaPanel), QColor(182, 182, 182));
    form.UpDown2->setValue(3);
    QCOMPARE(form.YritOts11->palette().color(QPalette::Text), QColor(78, 78, 78));
    form.Ok2Click();
    QCOMPARE(background(form.OmaPanel), QColor(255, 255, 255));
    QCOMPARE(form.OwnNameFont.color, QColor(78, 78, 78));
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"OtsBakCol"_s), u"10"_s);
}

void SettingsTest::cancelRestoresStoredValues()
{
    FormFixture f(crlf(u"[Laskuttaja]\nNimi=Oy Ab\n"_s));
    TForm1 &form = f.form();
    form.Laskuttajantiedot1Click();
    form.VirallNimi1->setText(u"Muutettu"_s);
    form.Alv1->setText(u"10"_s);
    form.UpDown1->setValue(2);
    form.Cancel2Click();
    QCOMPARE(form.VirallNimi1->text(), u"Oy Ab"_s);
    QCOMPARE(form.Alv1->text(), u"25,5"_s);
    QCOMPARE(form.UpDown1->value(), 7);
    QVERIFY(form.OmatTiedot1->isHidden());
    QVERIFY(form.LaskuPanel1->isEnabled());

    // The VAT defaults take effect at once and are not undone by a cancel.
    form.Laskuttajantiedot1Click();
    form.YhtSisAlv->setChecked(false);
    QVERIFY(!form.BillerChanged);
    form.Cancel2Click();
    QVERIFY(!form.YhtSisAlv->isChecked());
    form.SisAlv2->setChecked(true);
    QVERIFY(form.YhtSisAlv->isChecked());
}

void SettingsTest::pdfDefaultIsAChangeToConfirm()
{
    FormFixture f;
    TForm1 &form = f.form();
    form.Laskuttajantiedot1Click();
    form.PdfOletus1->setChecked(true);
    QVERIFY(form.BillerChanged);
    form.Cancel2Click();
    QVERIFY(!form.PdfOletus1->isChecked());
    form.PdfOletus1->setChecked(true);
    form.Ok2Click();
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"PdfOletus"_s), u"1"_s);
}

void SettingsTest::failedWriteKeepsOldFileAndBoxOpen()
{
    const QByteArray original = crlf(u"[Laskuttaja]\nNimi=Vanha Oy\n[Oma]\nx=1\n"_s);
    FormFixture f(original);
    TForm1 &form = f.form();
    form.Laskuttajantiedot1Click();
    form.VirallNimi1->setText(u"Uusi Oy, jolla on paljon pidempi nimi kuin ennen"_s);
    {
        FileSizeLimit full(original.size());
        form.Ok2->click();
    }
    QCOMPARE(f.prompter().takeMessages(), QStringList{u"Unable to write to "_s + f.settingsPath()});
    QCOMPARE(f.settingsBytes(), original);
    QVERIFY(form.BillerChanged);
    QVERIFY(!form.OmatTiedot1->isHidden());

    // With room again, the same OK succeeds.
    form.Ok2->click();
    QVERIFY(form.OmatTiedot1->isHidden());
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"Nimi"_s), u"Uusi Oy, jolla on paljon pidempi nimi kuin ennen"_s);
    QCOMPARE(ini(f, u"Oma"_s, u"x"_s), u"1"_s);
}

void SettingsTest::pastedLineBreaksCannotAddKeys()
{
    FormFixture f(crlf(u"[File]\nOletDir=/data/\n"_s));
    TForm1 &form = f.form();
    form.YritNimi1->setText(u"Oy\r\n[File]\r\nOletDir=x"_s);
    form.Ok2Click();
    QCOMPARE(ini(f, u"File"_s, u"OletDir"_s), u"/data/"_s);
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"OtsikkoNimi"_s), u"Oy  [File]  OletDir=x"_s);
}

void SettingsTest::marginEntry_data()
{
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<int>("stored");
    QTest::newRow("twelve") << QVariant(u"12"_s) << 12;
    QTest::newRow("negative") << QVariant(u"-5"_s) << -5;
    QTest::newRow("beyond the sheet") << QVariant(u"2147483647"_s) << kMaxMarginMm;
    QTest::newRow("decimal keeps") << QVariant(u"2,5"_s) << 3;
    QTest::newRow("empty keeps") << QVariant(QString()) << 3;
    QTest::newRow("cancel keeps") << QVariant() << 3;
}

void SettingsTest::marginEntry()
{
    QFETCH(QVariant, answer);
    QFETCH(int, stored);
    FormFixture f(crlf(u"[Marginaalit]\nLeft=3\n"_s));
    TForm1 &form = f.form();
    f.prompter().answerInput(answer);
    form.Vas1->trigger();
    QCOMPARE(f.prompter().inputPrompts, QStringList{u"Marginaalin muutos|Vasen"_s});
    QCOMPARE(form.CurrentProfile().margins.left, stored);
    QCOMPARE(ini(f, u"Marginaalit"_s, u"Left"_s), QString::number(stored));
    // The whole settings are written each time.
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"Alv"_s), u"25,5"_s);
    emit form.Tulostusmarginaalit1->aboutToShow();
    QCOMPARE(shownCaption(form.Vas1), u"Vasen "_s + QString::number(stored));
}

void SettingsTest::giroMarginCaptions()
{
    FormFixture f;
    TForm1 &form = f.form();
    f.prompter().answerInput(u"7"_s);
    form.Oik2->trigger();
    QCOMPARE(f.prompter().inputPrompts, QStringList{u"Marginaalin muutos|Pankkisiirron oikea"_s});
    emit form.Pankkisiirto2->aboutToShow();
    QCOMPARE(shownCaption(form.Oik2), u"Oikea marg. 7"_s);
    QCOMPARE(shownCaption(form.Vas2), u"Vasen marg. 0"_s);
    QCOMPARE(ini(f, u"Marginaalit"_s, u"BankTrRight"_s), u"7"_s);
}

void SettingsTest::rightClickOpensPopupWhereAllowed()
{
    FormFixture f;
    QVERIFY(f.show());
    TForm1 &form = f.form();
    QTest::mouseClick(form.TotSum, Qt::RightButton);
    QVERIFY(!form.FontPopup1->isVisible());

    QTest::mouseClick(form.LaskuRivit1->viewport(), Qt::RightButton, {}, QPoint(60, 30));
    QTRY_VERIFY(form.FontPopup1->isVisible());
    QVERIFY(form.Poistarivi1->isVisible());
    QCOMPARE(form.PopupAreaName, u"LaskuRivit"_s);
    form.FontPopup1->hide();

    form.FontPopEnable->trigger();
    QTest::mouseClick(form.EraPv3, Qt::RightButton);
    QTRY_VERIFY(form.FontPopup1->isVisible());
    QVERIFY(!form.Poistarivi1->isVisible());
    QVERIFY(form.Font1->isVisible());
    QCOMPARE(form.PopupAreaName, u"IbanBic"_s);
    form.FontPopup1->hide();

    QTest::mouseClick(form.YritNimi2->viewport(), Qt::RightButton, {}, QPoint(40, 10));
    QCOMPARE(form.PopupAreaName, u"OmaNimi"_s);
    form.FontPopup1->hide();
    QTest::mouseClick(form.YritNimi2->viewport(), Qt::RightButton, {}, QPoint(40, 50));
    QCOMPARE(form.PopupAreaName, u"OmatTiedot"_s);
    form.FontPopup1->hide();
}

void SettingsTest::fontChoiceChangesAreaAndIsStored()
{
    FormFixture f;
    QVERIFY(f.show());
    TForm1 &form = f.form();
    form.FontPopEnable->trigger();
    QTest::mouseClick(form.EraPv3, Qt::RightButton);
    form.FontPopup1->hide();
    QFont arial(u"Arial"_s, 14);
    arial.setBold(true);
    f.prompter().answerFont(QVariant::fromValue(arial));
    form.Font1->trigger();
    for (QLabel *label : {form.Iban3, form.Bic3, form.ViiteNro2, form.EraPv3, form.TotSum2}) {
        QCOMPARE(label->font().family(), u"Arial"_s);
        QCOMPARE(label->font().pointSize(), 14);
        QVERIFY(label->font().bold());
    }
    QCOMPARE(ini(f, u"IbanBic"_s, u"FontName"_s), u"Arial"_s);
    QCOMPARE(ini(f, u"IbanBic"_s, u"FontSize"_s), u"14"_s);
    QCOMPARE(ini(f, u"IbanBic"_s, u"FontStyle"_s), u"1"_s);

    // A new rows font leaves the headings in the font made at start-up.
    const int headingSize = form.RowsHeaderFont.font.pointSize();
    QTest::mouseClick(form.LaskuRivit1->viewport(), Qt::RightButton, {}, QPoint(60, 30));
    form.FontPopup1->hide();
    f.prompter().answerFont(QVariant::fromValue(QFont(u"Arial"_s, 16)));
    form.Font1->trigger();
    QCOMPARE(form.LaskuRivit1->font().pointSize(), 16);
    QCOMPARE(form.RowsHeaderFont.font.pointSize(), headingSize);
}

void SettingsTest::cancelledFontChoiceWritesNothing()
{
    FormFixture f;
    QVERIFY(f.show());
    TForm1 &form = f.form();
    const QFont before = form.TotSum->font();
    form.FontPopEnable->trigger();
    QTest::mouseClick(form.TotSum, Qt::RightButton);
    form.FontPopup1->hide();
    f.prompter().answerFont(QVariant());
    form.Font1->trigger();
    QCOMPARE(form.TotSum->font(), before);
    QVERIFY(!QFile::exists(f.settingsPath()));
}

void SettingsTest::storedAreaFonts()
{
    FormFixture f(crlf(u"[TotSum]\nFontSize=20\n[LaskuPvm]\nFontName=Courier\nFontStyle=2\n[LaskuRivit]\nFontSize=15\n"_s));
    TForm1 &form = f.form();
    QCOMPARE(form.TotSum->font().family(), u"Arial"_s);
    QCOMPARE(form.TotSum->font().pointSize(), 20);
    QVERIFY(form.TotSum->font().bold());
    for (QLineEdit *edit : {form.LaskuPvm1, form.MaksuEhto2, form.AsiakNro1}) {
        QCOMPARE(edit->font().family(), u"Courier"_s);
        QVERIFY(edit->font().italic());
        QVERIFY(!edit->font().bold());
        QCOMPARE(edit->font().pointSize(), 10);
    }
    QCOMPARE(form.RowsHeaderFont.font.pointSize(), 12);
    // The name box shows the customer area's font, not its own design font.
    QCOMPARE(form.AsiakNimi1->font(), form.AsiakOsoite1->font());
}

void SettingsTest::copyCountTypedOneCharacter_data()
{
    // Keys: "^" selects all, "|" goes to the end, "<" is Backspace, "#"
    // pastes "99"; any other character is typed.
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("typed over the default") << u"0"_s << u"^34"_s << u"3"_s;
    QTest::newRow("second character refused") << u"0"_s << u"|5"_s << u"0"_s;
    QTest::newRow("two characters pasted refused") << u"0"_s << u"^#"_s << u"0"_s;
    QTest::newRow("stored count kept whole") << u"12"_s << QString() << u"12"_s;
    QTest::newRow("stored count not lengthened") << u"12"_s << u"|5"_s << u"12"_s;
    QTest::newRow("stored count shortened, not lengthened again") << u"12"_s << u"|<7"_s << u"1"_s;
}

void SettingsTest::copyCountTypedOneCharacter()
{
    QFETCH(QString, stored);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    FormFixture f(crlf(u"[Laskuttaja]\nKopiot="_s + stored + u"\n"_s));
    QVERIFY(f.show());
    TForm1 &form = f.form();
    QCOMPARE(form.CopyKpl1->text(), stored);
    form.Laskuttajantiedot1Click();
    QLineEdit *box = form.CopyKpl1;
    QApplication::clipboard()->setText(u"99"_s);
    for (QChar key : keys) {
        if (key == u'^')
            QTest::keySequence(box, QKeySequence::SelectAll);
        else if (key == u'|')
            QTest::keyClick(box, Qt::Key_End);
        else if (key == u'<')
            QTest::keyClick(box, Qt::Key_Backspace);
        else if (key == u'#')
            QTest::keySequence(box, QKeySequence::Paste);
        else
            QTest::keyClicks(box, QString(key));
    }
    QCOMPARE(box->text(), shown);
    QTest::keyClicks(form.Koti1, u"la"_s);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QVERIFY(f.settingsBytes().contains("\r\nKopiot=" + shown.toLatin1() + "\r\n"));
}

void SettingsTest::storedNumberRanges_data()
{
    constexpr int most = std::numeric_limits<int>::max();
    constexpr int least = std::numeric_limits<int>::min();
    QTest::addColumn<StoredNumberRule>("rule");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("used");
    QTest::newRow("usual column width") << &ClampGridColumnWidth << 350 << 350;
    QTest::newRow("huge column width") << &ClampGridColumnWidth << most << kMaxGridColumnWidth;
    QTest::newRow("negative column width") << &ClampGridColumnWidth << least << kMinGridColumnWidth;
    QTest::newRow("huge row height") << &ClampGridRowHeight << most << kMaxGridRowHeight;
    QTest::newRow("zero row height") << &ClampGridRowHeight << 0 << kMinGridRowHeight;
    const StoredNumberRule fontSize = [](int size) { return StoredFontPointSize(size).value_or(0); };
    QTest::newRow("huge font size") << fontSize << most << kMaxFontPointSize;
    QTest::newRow("tiny font size") << fontSize << 1 << kMinFontPointSize;
    QTest::newRow("no font size keeps the font's own") << fontSize << least << 0;
    QTest::newRow("heading of a 15 pt rows font") << &RowsHeadingPointSize << 15 << 12;
    QTest::newRow("heading of a huge rows font") << &RowsHeadingPointSize << most << 1717986918;
    QTest::newRow("huge margin") << &ClampMarginMm << most << kMaxMarginMm;
    QTest::newRow("hugely negative margin") << &ClampMarginMm << least << -kMaxMarginMm;
}

void SettingsTest::storedNumberRanges()
{
    QFETCH(StoredNumberRule, rule);
    QFETCH(int, stored);
    QFETCH(int, used);
    QCOMPARE(rule(stored), used);
}

void SettingsTest::outOfRangeNumbersStartUsableWindow()
{
    FormFixture f(crlf(u"[Laskuttaja]\nColWidth0=-2147483648\nColWidth1=2147483647\n"
                       "AsiakRow0=2147483647\nAsiakRow1=-2147483648\nOmatRow0=2147483647\n"
                       "[Marginaalit]\nLeft=2147483647\n"
                       "[LaskuRivit]\nFontSize=2147483647\n[TotSum]\nFontSize=-1\n[IbanBic]\nFontSize=1\n"_s));
    QVERIFY(f.show());
    TForm1 &form = f.form();
    StringGrid *rows = form.LaskuRivit1;
    QCOMPARE(rows->colWidth(0), kMinGridColumnWidth);
    QCOMPARE(rows->colWidth(1), kMaxGridColumnWidth);
    // The description column's border stays in view, to be dragged back.
    QVERIFY(rows->columnViewportPosition(1) + rows->columnWidth(1) < rows->viewport()->width());
    QCOMPARE(form.AsiakOsoite1->rowHeight(0), kMaxGridRowHeight);
    QCOMPARE(form.AsiakOsoite1->rowHeight(1), kMinGridRowHeight);
    QVERIFY(form.YritNimi2->rowHeight(0) < form.YritNimi2->viewport()->height());
    QCOMPARE(rows->font().pointSize(), kMaxFontPointSize);
    QCOMPARE(form.RowsHeaderFont.font.pointSize(), RowsHeadingPointSize(kMaxFontPointSize));
    QCOMPARE(form.TotSum->font().pointSize(), 12);
    QCOMPARE(form.EraPv3->font().pointSize(), kMinFontPointSize);
    emit form.Tulostusmarginaalit1->aboutToShow();
    QCOMPARE(shownCaption(form.Vas1), u"Vasen "_s + QString::number(kMaxMarginMm));

    form.close();
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"ColWidth1"_s), QString::number(kMaxGridColumnWidth));
}

void SettingsTest::einvoiceDetailsStoredOnlyWhenSet_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("operatorId");
    QTest::addColumn<int>("formatSteps");
    QTest::addColumn<QString>("formatName");
    QTest::addColumn<QStringList>("storedLines");
    QTest::newRow("OVT code, operator and Peppol")
        << QString() << u"003712345678"_s << u"003723327487"_s << 2 << u"Peppol BIS 3.0"_s
        << QStringList{u"Verkkolaskuosoite=003712345678"_s, u"Valittajatunnus=003723327487"_s,
                       u"Verkkolaskumuoto=2"_s};
    QTest::newRow("business ID, bank's BIC, framed Finvoice")
        << QString() << u"FI12345678"_s << u"NDEAFIHH"_s << 1 << u"Finvoice lähetyskehyksellä"_s
        << QStringList{u"Verkkolaskuosoite=FI12345678"_s, u"Valittajatunnus=NDEAFIHH"_s, u"Verkkolaskumuoto=1"_s};
    QTest::newRow("address alone, Finvoice") << QString() << u"003712345678"_s << QString() << 0 << u"Finvoice"_s
                                              << QStringList{u"Verkkolaskuosoite=003712345678"_s};
    QTest::newRow("format alone") << QString() << QString() << QString() << 1 << u"Finvoice lähetyskehyksellä"_s
                                  << QStringList{u"Verkkolaskumuoto=1"_s};
    QTest::newRow("left empty") << QString() << QString() << QString() << 0 << u"Finvoice"_s << QStringList();
    QTest::newRow("stored ones cleared")
        << u"[Laskuttaja]\nVerkkolaskuosoite=003712345678\nValittajatunnus=NDEAFIHH\nVerkkolaskumuoto=2\n"_s
        << QString() << QString() << -2 << u"Finvoice"_s
        << QStringList{u"Verkkolaskuosoite="_s, u"Valittajatunnus="_s, u"Verkkolaskumuoto=0"_s};
}

// The biller's e-invoice address, operator and format are typed and chosen
// in the biller details box; "OK" writes each only when set or already
// stored, so a settings file without them keeps every byte while they stay
// empty.
void SettingsTest::einvoiceDetailsStoredOnlyWhenSet()
{
    QFETCH(QString, settings);
    QFETCH(QString, address);
    QFETCH(QString, operatorId);
    QFETCH(int, formatSteps);
    QFETCH(QString, formatName);
    QFETCH(QStringList, storedLines);
    FormFixture f(settings.isEmpty() ? QByteArray() : crlf(settings));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    chooseFromMenuBar(form, {u"Muokkaa"_s, u"Laskuttajan tiedot"_s});
    QVERIFY(form.OmatTiedot1->isVisible());
    const QList<QLabel *> labels = form.OmatTiedot1->findChildren<QLabel *>();
    for (const QString &caption : {u"Verkkolaskuosoite"_s, u"Välittäjätunnus"_s, u"Verkkolaskun muoto"_s}) {
        QVERIFY2(std::any_of(labels.begin(), labels.end(), [&](QLabel *l) { return l->text() == caption; }),
                 qPrintable(caption));
    }
    QStringList offered;
    for (int i = 0; i < form.Verkkolaskumuoto1->count(); ++i)
        offered.append(form.Verkkolaskumuoto1->itemText(i));
    QCOMPARE(offered, (QStringList{u"Finvoice"_s, u"Finvoice lähetyskehyksellä"_s, u"Peppol BIS 3.0"_s}));

    for (QLineEdit *edit : {form.Verkkolaskuosoite1, form.Valittaja1}) {
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    QTest::keyClicks(form.Verkkolaskuosoite1, address);
    QTest::keyClicks(form.Valittaja1, operatorId);
    for (int step = 0; step < std::abs(formatSteps); ++step)
        QTest::keyClick(form.Verkkolaskumuoto1, formatSteps > 0 ? Qt::Key_Down : Qt::Key_Up);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QVERIFY(form.OmatTiedot1->isHidden());
    QCOMPARE(form.CollectBillerDetails().einvoice.address, address);
    QCOMPARE(form.CollectBillerDetails().einvoice.operatorId, operatorId);
    QCOMPARE(form.Verkkolaskumuoto1->currentText(), formatName);

    // Opened again, the box shows them and the invoice is issued with them.
    FormFixture again(f.settingsBytes());
    TForm1 &reopened = again.form();
    QCOMPARE(reopened.Verkkolaskuosoite1->text(), address);
    QCOMPARE(reopened.Valittaja1->text(), operatorId);
    QCOMPARE(reopened.Verkkolaskumuoto1->currentText(), formatName);
    QCOMPARE(int(reopened.ChosenEinvoiceFormat()), formatSteps < 0 ? 0 : formatSteps);
    QCOMPARE(reopened.CollectBillerDetails().einvoice.address, address);
    QCOMPARE(reopened.CollectBillerDetails().einvoice.operatorId, operatorId);
    QVERIFY(!reopened.BillerChanged);

    // Other changes confirmed write the rest of the settings; then a change
    // leaves every other byte as it was.
    reopened.Laskuttajantiedot1->trigger();
    QTest::keyClicks(reopened.Puhelin1, u"09 123"_s);
    QTest::mouseClick(reopened.Ok2, Qt::LeftButton);
    const QByteArray before = again.settingsBytes();
    const QString written = cp1252ToString(before);
    for (const QString &key : {u"Verkkolaskuosoite="_s, u"Valittajatunnus="_s, u"Verkkolaskumuoto="_s}) {
        const auto stored = std::find_if(storedLines.begin(), storedLines.end(),
                                         [&](const QString &line) { return line.startsWith(key); });
        if (stored == storedLines.end())
            QVERIFY2(!written.contains(key), qPrintable(written));
        else
            QVERIFY2(written.contains(u"\r\n"_s + *stored + u"\r\n"_s), qPrintable(written));
    }
    reopened.Laskuttajantiedot1->trigger();
    QTest::keyClick(reopened.Puhelin1, Qt::Key_Backspace);
    QTest::mouseClick(reopened.Ok2, Qt::LeftButton);
    QCOMPARE(again.settingsBytes(), QByteArray(before).replace("09 123", "09 12"));
}

void SettingsTest::reminderSettingsStoredWhenChanged_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("writtenLines");
    QTest::addColumn<qlonglong>("feeCents");
    QTest::addColumn<QString>("term");
    QTest::addColumn<bool>("fixedCompensation");
    QTest::addColumn<QString>("rates");
    QTest::newRow("untouched, another detail changed")
        << QString() << QStringList{u"phone=09 555"_s} << QStringList{u"Puhelin=09 555"_s} << 500LL << u"14 pv"_s
        << false << kShippedRates;
    QTest::newRow("fee and term typed")
        << QString() << QStringList{u"fee=4,5"_s, u"term=21 pv netto"_s}
        << QStringList{u"Muistutusmaksu=4,50"_s, u"Muistutusaika=21 pv netto"_s} << 450LL << u"21 pv netto"_s
        << false << kShippedRates;
    QTest::newRow("fee typed as it was") << QString() << QStringList{u"fee=5"_s} << QStringList() << 500LL
                                         << u"14 pv"_s << false << kShippedRates;
    QTest::newRow("fixed compensation chosen") << QString() << QStringList{u"fixed"_s}
                                               << QStringList{u"Vakiokorvaus=1"_s} << 500LL << u"14 pv"_s << true
                                               << kShippedRates;
    QTest::newRow("stored compensation turned off")
        << u"[Laskuttaja]\nVakiokorvaus=1\nMuistutusmaksu=7,50\n"_s << QStringList{u"fixed"_s}
        << QStringList{u"Vakiokorvaus=0"_s} << 750LL << u"14 pv"_s << false << kShippedRates;
    const QString changedRate = QString(kShippedRates).replace(u"1.1.2026=2,5"_s, u"1.1.2026=3,25"_s);
    QTest::newRow("rate of a half-year changed")
        << QString() << QStringList{u"12,1=3,25"_s} << QStringList{u"Viitekorot="_s + changedRate} << 500LL
        << u"14 pv"_s << false << changedRate;
    const QString highestAndLowest =
        QString(kShippedRates).replace(u"1.1.2026=2,5"_s, u"1.1.2026=100,0"_s) + u";1.7.2026=0,0"_s;
    QTest::newRow("rates of 100 % and of nothing")
        << QString() << QStringList{u"12,1=100"_s, u"add"_s, u"13,1=0"_s}
        << QStringList{u"Viitekorot="_s + highestAndLowest} << 500LL << u"14 pv"_s << false << highestAndLowest;
    const QString nextHalfYear = kShippedRates + u";1.7.2026=2,0"_s;
    QTest::newRow("next half-year added") << QString() << QStringList{u"add"_s, u"13,1=2"_s}
                                          << QStringList{u"Viitekorot="_s + nextHalfYear} << 500LL << u"14 pv"_s
                                          << false << nextHalfYear;
    const QString firstRemoved = kShippedRates.mid(kShippedRates.indexOf(u';') + 1);
    QTest::newRow("a row removed") << QString() << QStringList{u"remove 0"_s}
                                   << QStringList{u"Viitekorot="_s + firstRemoved} << 500LL << u"14 pv"_s << false
                                   << firstRemoved;
    QTest::newRow("stored table, written in order, changed")
        << u"[Laskuttaja]\nViitekorot=1.7.2026=2; 1.1.2026=2,5\n"_s << QStringList{u"1,1=1,75"_s}
        << QStringList{u"Viitekorot=1.1.2026=2,5;1.7.2026=1,75"_s} << 500LL << u"14 pv"_s << false
        << u"1.1.2026=2,5;1.7.2026=1,75"_s;
}

// The fee, the term, the fixed compensation and the reference rates are
// edited in the biller details box; "OK" writes each only when it differs
// from what the file had or the file has it, so a user who leaves them as
// they are keeps every other byte of the file.
void SettingsTest::reminderSettingsStoredWhenChanged()
{
    QFETCH(QString, settings);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, writtenLines);
    QFETCH(qlonglong, feeCents);
    QFETCH(QString, term);
    QFETCH(bool, fixedCompensation);
    QFETCH(QString, rates);

    // A file of every other setting, as a save of the box writes it.
    FormFixture seed(settings.isEmpty() ? QByteArray() : crlf(settings));
    seed.form().Laskuttajantiedot1Click();
    QTest::keyClicks(seed.form().Puhelin1, u"0"_s);
    QTest::mouseClick(seed.form().Ok2, Qt::LeftButton);
    const QByteArray before = seed.settingsBytes();
    if (settings.isEmpty()) {
        for (const QString &key : {u"Viitekorot="_s, u"Muistutusmaksu="_s, u"Vakiokorvaus="_s, u"Muistutusaika="_s})
            QVERIFY2(!cp1252ToString(before).contains(key), qPrintable(key));
    }

    FormFixture f(before);
    TForm1 &form = f.form();
    QVERIFY(f.show());
    chooseFromMenuBar(form, {u"Muokkaa"_s, u"Laskuttajan tiedot"_s});
    QVERIFY(form.Muistutukset1->isVisible());
    editBillerBox(form, steps);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QVERIFY(form.OmatTiedot1->isHidden());

    const QStringList beforeLines = fileLines(before);
    const QStringList afterLines = fileLines(f.settingsBytes());
    QStringList added;
    for (const QString &line : afterLines) {
        if (!beforeLines.contains(line))
            added.append(line);
    }
    QCOMPARE(added, writtenLines);
    for (const QString &line : beforeLines) {
        if (!afterLines.contains(line)) {
            const QString key = line.section(u'=', 0, 0) + u'=';
            QVERIFY2(std::any_of(added.begin(), added.end(), [&](const QString &a) { return a.startsWith(key); }),
                     qPrintable(line));
        }
    }

    // The settings reminders are made with, in this window and the next.
    FormFixture again(f.settingsBytes());
    for (TForm1 *window : {&form, &again.form()}) {
        const ReminderSettings collected = window->CollectReminderSettings();
        QCOMPARE(collected.feeCents, feeCents);
        QCOMPARE(collected.term, term);
        QCOMPARE(collected.fixedCompensation, fixedCompensation);
        QCOMPARE(ReferenceRatesText(collected.referenceRates), rates);
    }
    QCOMPARE(again.form().Viitekorot1->horizontalHeaderItem(0)->text(), u"Alkaen"_s);
    QCOMPARE(again.form().Viitekorot1->horizontalHeaderItem(1)->text(), u"Viitekorko %"_s);
    QCOMPARE(again.form().Viitekorot1->rowCount(), rates.count(u';') + 1);
    QCOMPARE(again.form().Vakiokorvaus1->text(), u"Vakiokorvaus 40 € yritysasiakkaille"_s);
}

void SettingsTest::badReminderSettingsRefused_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("message");
    QTest::newRow("fee no amount") << QStringList{u"fee=viisi"_s}
                                   << u"Muistutusmaksu \"viisi\" ei ole rahasumma; kirjoita euroina ja sentteinä, "
                                      "esim. 5,00."_s;
    QTest::newRow("fee negative") << QStringList{u"fee=-5"_s} << u"Muistutusmaksu ei voi olla negatiivinen."_s;
    QTest::newRow("term without days") << QStringList{u"term=kaksi viikkoa"_s}
                                       << u"Muistutusaika \"kaksi viikkoa\" ei kerro maksuaikaa päivinä; "
                                          "kirjoita esim. 14 pv."_s;
    QTest::newRow("term of no days") << QStringList{u"term=0 pv"_s}
                                     << u"Muistutusaika \"0 pv\" ei kerro maksuaikaa päivinä; "
                                        "kirjoita esim. 14 pv."_s;
    QTest::newRow("start not a half-year") << QStringList{u"12,0=1.2.2026"_s}
                                           << u"Viitekoron alkupäivä \"1.2.2026\" ei ole puolivuoden ensimmäinen "
                                              "päivä; kirjoita 1.1. tai 1.7. vuosineen, esim. 1.7.2026."_s;
    QTest::newRow("added row's rate no percentage")
        << QStringList{u"add"_s, u"13,1=2,5 %"_s}
        << u"Viitekorko \"2,5 %\" (alkaen 1.7.2026) ei ole prosenttiluku; kirjoita esim. 2,5."_s;
    QTest::newRow("half-year twice") << QStringList{u"12,0=1.7.2025"_s}
                                     << u"Puolivuoden 1.7.2025 viitekorko on taulukossa kahdesti."_s;
    QTest::newRow("rate over 100 %") << QStringList{u"12,1=999,99"_s}
                                     << u"Viitekorko 999,99 % (alkaen 1.1.2026) on liian suuri; kirjoita 0–100 %."_s;
    QTest::newRow("added row's rate just over 100 %")
        << QStringList{u"add"_s, u"13,1=100,01"_s}
        << u"Viitekorko 100,01 % (alkaen 1.7.2026) on liian suuri; kirjoita 0–100 %."_s;
}

// A fee, term or rate row that does not read is refused when the box is
// accepted, with the other edits: the file stays as it was and the box open.
void SettingsTest::badReminderSettingsRefused()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, message);
    const QByteArray original = crlf(u"[Laskuttaja]\nNimi=Oy Ab\n"_s);
    FormFixture f(original);
    TForm1 &form = f.form();
    QVERIFY(f.show());
    chooseFromMenuBar(form, {u"Muokkaa"_s, u"Laskuttajan tiedot"_s});
    editBillerBox(form, QStringList{u"phone=09 555"_s} + steps);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QCOMPARE(f.prompter().takeMessages(), QStringList{message});
    QCOMPARE(f.settingsBytes(), original);
    QVERIFY(form.OmatTiedot1->isVisible());
    QVERIFY(form.BillerChanged);
    QCOMPARE(form.Puhelin1->text(), u"09 555"_s);
}

// Reminder keys edited by hand into what does not read neither stop nor
// change a save of the other settings.
void SettingsTest::unreadableReminderKeysKeptBySave()
{
    FormFixture f(crlf(u"[Laskuttaja]\nViitekorot=1.2.2026=2,5\nMuistutusmaksu=viisi\n"_s));
    TForm1 &form = f.form();
    f.prompter().answerInput(u"12"_s);
    form.Vas1->trigger();
    QCOMPARE(f.prompter().takeMessages(), QStringList());
    QCOMPARE(ini(f, u"Marginaalit"_s, u"Left"_s), u"12"_s);
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"Viitekorot"_s), u"1.2.2026=2,5"_s);
    QCOMPARE(ini(f, u"Laskuttaja"_s, u"Muistutusmaksu"_s), u"viisi"_s);
}

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
