// The settings written whole: one replacement of the settings file for each
// "OK" of the biller details, saved invoice, margin and font, the rest of
// the file kept byte for byte, and a write that fails half way leaving the
// old file as it was.

#include "app/profile.h"
#include "storage/cp1252.h"
#include "widgets/bevel.h"
#include "tests/support/formfixture.h"
#include "tests/support/replacementcounter.h"
#include "tests/support/testfiles.h"
#include "widgets/stringgrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A settings file as today's program leaves it, with a user's own lines and
// a value that does not read.
QByteArray livedFile(const QString &saveFolder = QString())
{
    Profile profile = DefaultProfile();
    profile.dataDir = saveFolder;
    QString text = ProfileFileText(QString(), profile);
    text.replace(u"[Laskuttaja]\r\n"_s, u"[Laskuttaja]\r\n; oma huomautus\r\nTuntematon= a  b \r\n"_s);
    text.replace(u"OtsBakCol=7\r\n"_s, u"OtsBakCol=harmaa\r\n"_s);
    return stringToCp1252(text + u"[Oma osio]\r\navain=arvo\r\n"_s);
}

QByteArray changed(QByteArray bytes, const QByteArray &before, const QByteArray &after)
{
    if (!bytes.contains(before))
        qFatal("test data lacks %s", before.constData());
    return bytes.replace(before, after);
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

using Action = std::function<void(FormFixture &)>;

} // namespace

class SettingsProfileTest : public QObject
{
    Q_OBJECT

private slots:
    void okWritesOnce_data();
    void okWritesOnce();
    void okFailingHalfWayKeepsOldFile();
    void unreadFeeShownAndMended();
    void eachChangeWritesOnce_data();
    void eachChangeWritesOnce();
};

void SettingsProfileTest::okWritesOnce_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("label");
    QTest::newRow("phone") << u"Puhelin1"_s << u"09 123 456"_s << QByteArray("Puhelin=(00)0000000?\r\n")
                           << QByteArray("Puhelin=09 123 456\r\n") << u"Puhelin2"_s;
    QTest::newRow("IBAN") << u"Iban1"_s << u"FI21 1234 5600 0007 85"_s << QByteArray("Iban=FI00 0000 0000 0000 00?\r\n")
                          << QByteArray("Iban=FI21 1234 5600 0007 85\r\n") << u"Iban3"_s;
    QTest::newRow("reminder fee, newer than the file")
        << u"Muistutusmaksu1"_s << u"7,5"_s << QByteArray("PdfOletus=0\r\n")
        << QByteArray("PdfOletus=0\r\nMuistutusmaksu=7,50\r\n") << QString();
    QTest::newRow("QR code clicked") << u"QrKoodi1"_s << QString() << QByteArray("PdfOletus=0\r\n")
                                     << QByteArray("PdfOletus=0\r\nQrKoodi=1\r\n") << QString();
}

void SettingsProfileTest::okWritesOnce()
{
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QString, label);
    const QByteArray original = livedFile();
    FormFixture f(original);
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.Laskuttajantiedot1Click();
    if (auto *line = form.findChild<QLineEdit *>(edit))
        retype(line, typed);
    else
        QTest::mouseClick(form.findChild<QCheckBox *>(edit), Qt::LeftButton, {}, QPoint(4, 4));

    ReplacementCounter replacements(f.folder(), QFileInfo(f.settingsPath()).fileName());
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QCOMPARE(f.prompter().takeMessages(), QStringList());
    QVERIFY(form.OmatTiedot1->isHidden());
    QCOMPARE(replacements.count(), 1);
    QCOMPARE(f.settingsBytes(), changed(original, before, after));
    if (!label.isEmpty())
        QCOMPARE(form.findChild<QLabel *>(label)->text(), typed);

    // Nothing changed, nothing is written.
    form.Laskuttajantiedot1Click();
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QCOMPARE(replacements.count(), 1);
}

void SettingsProfileTest::okFailingHalfWayKeepsOldFile()
{
    const QByteArray original = livedFile();
    FormFixture f(original);
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.Laskuttajantiedot1Click();
    // The first change fits the old file's size; the longer name does not.
    retype(form.YritNimi1, u"Oy Ab"_s);
    retype(form.VirallNimi1, u"Osakeyhtio, jolla on paljon pidempi nimi"_s);
    {
        FileSizeLimit full(original.size() + 20);
        QTest::mouseClick(form.Ok2, Qt::LeftButton);
    }
    QCOMPARE(f.prompter().takeMessages(), QStringList{u"Unable to write to "_s + f.settingsPath()});
    QCOMPARE(f.settingsBytes(), original);
    QVERIFY(!form.OmatTiedot1->isHidden());
    QCOMPARE(form.VirallNimi1->text(), u"Osakeyhtio, jolla on paljon pidempi nimi"_s);
    // The page keeps the details it was showing.
    QCOMPARE(form.VirallNimi2->text(), u"Nimi?"_s);

    ReplacementCounter replacements(f.folder(), QFileInfo(f.settingsPath()).fileName());
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QCOMPARE(replacements.count(), 1);
    QCOMPARE(f.settingsBytes(),
             changed(changed(original, "OtsikkoNimi=Nimi?\r\n", "OtsikkoNimi=Oy Ab\r\n"), "Nimi=Nimi?\r\n",
                     stringToCp1252(u"Nimi=Osakeyhtio, jolla on paljon pidempi nimi\r\n"_s)));
    QCOMPARE(form.VirallNimi2->text(), u"Osakeyhtio, jolla on paljon pidempi nimi"_s);
}

void SettingsProfileTest::unreadFeeShownAndMended()
{
    const QByteArray original = changed(livedFile(), "PdfOletus=0\r\n", "PdfOletus=0\r\nMuistutusmaksu=viisi\r\n");
    FormFixture f(original);
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.Laskuttajantiedot1Click();
    // Shown as the file has it, and refused until mended.
    QCOMPARE(form.Muistutusmaksu1->text(), u"viisi"_s);
    retype(form.Puhelin1, u"09 1"_s);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QCOMPARE(f.prompter().takeMessages(),
             QStringList{u"Muistutusmaksu \"viisi\" ei ole rahasumma; kirjoita euroina ja sentteinä, esim. 5,00."_s});
    QCOMPARE(f.settingsBytes(), original);

    // Mended to the default amount, it is written.
    retype(form.Muistutusmaksu1, u"5"_s);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QVERIFY(form.OmatTiedot1->isHidden());
    QCOMPARE(f.settingsBytes(), changed(changed(original, "Muistutusmaksu=viisi\r\n", "Muistutusmaksu=5,00\r\n"),
                                        "Puhelin=(00)0000000?\r\n", "Puhelin=09 1\r\n"));
}

void SettingsProfileTest::eachChangeWritesOnce_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("a saved invoice's counters")
        << Action([](FormFixture &f) {
               TForm1 &form = f.form();
               form.AsiakNimi1->setEditText(u"Matti Meikäläinen"_s);
               form.LaskuRivit1->setRowCells(
                   1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s, u"125,50"_s});
               QTest::mouseClick(form.Valmis1, Qt::LeftButton);
           })
        << QByteArray("SeurLasku=1\r\nSeurViite=100\r\n") << QByteArray("SeurLasku=2\r\nSeurViite=101\r\n");
    QTest::newRow("a margin")
        << Action([](FormFixture &f) {
               f.prompter().answerInput(u"12"_s);
               f.form().Vas1->trigger();
           })
        << QByteArray("\nLeft=0\r\n") << QByteArray("\nLeft=12\r\n");
}

void SettingsProfileTest::eachChangeWritesOnce()
{
    QFETCH(Action, action);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir saveFolder;
    const QByteArray original = livedFile(saveFolder.path() + u'/');
    FormFixture f(original);
    QVERIFY(f.show());

    ReplacementCounter replacements(f.folder(), QFileInfo(f.settingsPath()).fileName());
    action(f);
    QCOMPARE(f.prompter().takeMessages(), QStringList());
    QCOMPARE(replacements.count(), 1);
    QCOMPARE(f.settingsBytes(), changed(original, before, after));
}

QTEST_MAIN(SettingsProfileTest)
#include "tst_settingsprofile.moc"
