// The settings as one value: a file read and written back unchanged, each
// change touching its own line only, values that do not read kept, and a
// failed write leaving the old file whole.

#include "app/inifile.h"
#include "app/profile.h"
#include "tests/support/replacementcounter.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

using Change = std::function<void(Profile &)>;

// The file a first "OK" writes with every setting at its default.
QByteArray defaultFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"laskutus.ini"_s);
    WriteProfile(path, DefaultProfile());
    return readBytes(path);
}

QByteArray replaced(QByteArray bytes, const QByteArray &before, const QByteArray &after)
{
    if (!bytes.contains(before))
        qFatal("test data lacks %s", before.constData());
    return bytes.replace(before, after);
}

// A file of today's program with what users and other versions add.
QByteArray lived(const QByteArray &base)
{
    QByteArray bytes = replaced(base, "[Laskuttaja]\r\n", "[Laskuttaja]\r\n; oma huomautus\r\nTuntematon= a  b \r\n");
    bytes = replaced(bytes, "OletDir=\r\n", "OletDir=/home/a/laskut\r\n");
    bytes = replaced(bytes, "Left=0\r\n", "Left=0\r\nYlaTunniste=kyllä\r\n");
    return bytes + "[Oma osio]\r\navain=arvo\r\n\r\n";
}

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT

private slots:
    void writtenBackByteForByte_data();
    void writtenBackByteForByte();
    void changeTouchesItsLinesOnly_data();
    void changeTouchesItsLinesOnly();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void unreadReminderSettingsRefused_data();
    void unreadReminderSettingsRefused();
};

void TestProfile::writtenBackByteForByte_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray base = defaultFile();
    QTest::newRow("as written") << base;
    QTest::newRow("unknown keys, sections and comments") << lived(base);
    QByteArray unreadable = replaced(lived(base), "OtsBakCol=7\r\n", "OtsBakCol=harmaa\r\n");
    unreadable = replaced(unreadable, "Left=0\r\n", "Left=vasen\r\n");
    unreadable = replaced(unreadable, "YhtSisAlv=1\r\n", "YhtSisAlv=\r\n");
    unreadable += "[Laskuttaja2]\r\n";
    unreadable = replaced(unreadable, "PdfOletus=0\r\n",
                          "PdfOletus=0\r\nViitekorot=2026=2,5\r\nMuistutusmaksu=viisi\r\nMuistutusaika=pian\r\n"
                          "Verkkolaskumuoto=kolme\r\nColWidth2=leveä\r\n");
    QTest::newRow("values that do not read") << unreadable + "[TotSum]\r\nFontSize=iso\r\nFontStyle=\r\n";
    QByteArray spelled = replaced(base, "ASisAlv=0\r\n", " asisalv = 0x0 \r\n");
    spelled = replaced(spelled, "OtsBakCol=7\r\n", "OtsBakCol=+7\r\n");
    spelled = replaced(spelled, "Top=0\r\n", "Top=999\r\n");
    spelled = replaced(spelled, "OletDir=\r\n", "OletDir=/home/a/laskut\r\n");
    spelled = replaced(spelled, "[Marginaalit]", "[MARGINAALIT]");
    spelled = replaced(spelled, "PdfOletus=0\r\n", "PdfOletus=0\r\nOtsTxtCol=15\r\nQrKoodi=0\r\nColWidth1=3\r\n");
    QTest::newRow("other spellings of the same values") << spelled.replace("\r\n", "\n");
    QTest::newRow("no file") << QByteArray();
}

void TestProfile::writtenBackByteForByte()
{
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"laskutus.ini"_s);
    if (!file.isEmpty())
        writeBytes(path, file);

    const Profile profile = ReadProfile(path);
    ReplacementCounter replacements(dir.path(), u"laskutus.ini"_s);
    WriteProfile(path, profile);
    if (file.isEmpty()) {
        // A missing file is made with every setting at its default.
        QCOMPARE(readBytes(path), defaultFile());
        QCOMPARE(replacements.count(), 1);
        return;
    }
    QCOMPARE(readBytes(path), file);
    QCOMPARE(replacements.count(), 0);
    // A profile read from a file writes that file's text.
    QCOMPARE(ProfileFileText(QString::fromLatin1(file), profile), QString::fromLatin1(file));
}

void TestProfile::changeTouchesItsLinesOnly_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray base = lived(defaultFile());
    QTest::newRow("counters")
        << base << Change([](Profile &p) {
               p.nextInvoiceNumber = u"12"_s;
               p.nextReferenceBase = u"1012"_s;
           })
        << replaced(replaced(base, "SeurLasku=1\r\n", "SeurLasku=12\r\n"), "SeurViite=100\r\n", "SeurViite=1012\r\n");
    QTest::newRow("an option newer than the file")
        << base << Change([](Profile &p) { p.options.rfReference = true; })
        << replaced(base, "PdfOletus=0\r\n", "PdfOletus=0\r\nRfViite=1\r\n");
    QTest::newRow("a newer option turned off stays written")
        << replaced(base, "PdfOletus=0\r\n", "PdfOletus=0\r\nQrKoodi=1\r\n")
        << Change([](Profile &p) { p.options.qrCode = false; })
        << replaced(base, "PdfOletus=0\r\n", "PdfOletus=0\r\nQrKoodi=0\r\n");
    const QByteArray grey = replaced(base, "OtsBakCol=7\r\n", "OtsBakCol=harmaa\r\n");
    QTest::newRow("a value that does not read stays when another changes")
        << grey << Change([](Profile &p) { p.biller.iban = u"FI21 1234 5600 0007 85"_s; })
        << replaced(grey, "Iban=FI00 0000 0000 0000 00?\r\n", "Iban=FI21 1234 5600 0007 85\r\n");
    QTest::newRow("a value that does not read gives way to one set")
        << grey << Change([](Profile &p) { p.headingBackground = 3; }) << replaced(base, "OtsBakCol=7\r\n", "OtsBakCol=3\r\n");
    const QByteArray fee = replaced(base, "PdfOletus=0\r\n", "PdfOletus=0\r\nMuistutusmaksu=viisi\r\n");
    QTest::newRow("an unread fee confirmed at its default")
        << fee << Change([](Profile &p) { p.unread.clear(); })
        << replaced(base, "PdfOletus=0\r\n", "PdfOletus=0\r\nMuistutusmaksu=5,00\r\n");
    QTest::newRow("a font chosen")
        << base << Change([](Profile &p) {
               p.fonts[FontAreaSection::Total.toString()] = {u"Arial"_s, 14, 1};
           })
        << base + "[TotSum]\r\nFontName=Arial\r\nFontSize=14\r\nFontStyle=1\r\n";
    QTest::newRow("a column dragged")
        << base << Change([](Profile &p) { p.grid.rowsColumnWidths[2] = 120; })
        << replaced(base, "PdfOletus=0\r\n", "PdfOletus=0\r\nColWidth2=120\r\n");
    QTest::newRow("margins and folder")
        << base << Change([](Profile &p) {
               p.margins.giroRight = -4;
               p.dataDir = u"/srv/laskut/"_s;
           })
        << replaced(replaced(base, "BankTrRight=0\r\n", "BankTrRight=-4\r\n"), "OletDir=/home/a/laskut\r\n",
                    "OletDir=/srv/laskut/\r\n");
}

void TestProfile::changeTouchesItsLinesOnly()
{
    QFETCH(QByteArray, file);
    QFETCH(Change, change);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"laskutus.ini"_s);
    writeBytes(path, file);

    Profile profile = ReadProfile(path);
    change(profile);
    ReplacementCounter replacements(dir.path(), u"laskutus.ini"_s);
    WriteProfile(path, profile);
    QCOMPARE(replacements.count(), 1);
    QCOMPARE(readBytes(path), expected);
    // Read again, the file gives the changed profile's values.
    QCOMPARE(ProfileFileText(QString::fromLatin1(expected), ReadProfile(path)), QString::fromLatin1(expected));
}

void TestProfile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("place");
    QTest::newRow("read-only folder") << u"readonly"_s;
    QTest::newRow("a folder where the file should be") << u"folder"_s;
    QTest::newRow("under a regular file") << u"file"_s;
}

void TestProfile::failedWriteKeepsOldFile()
{
    QFETCH(QString, place);
    QTemporaryDir dir;
    QString path = dir.filePath(u"laskutus.ini"_s);
    const QByteArray original = lived(defaultFile());
    writeBytes(path, original);
    QFile folder(dir.path());
    const QFileDevice::Permissions writable = folder.permissions();
    const auto restore = qScopeGuard([&] { folder.setPermissions(writable); });
    if (place == u"readonly") {
        QVERIFY(folder.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (QFile probe(dir.filePath(u"probe"_s)); probe.open(QIODevice::WriteOnly))
            QSKIP("Folder permissions do not stop this user (root) from writing");
    } else if (place == u"folder") {
        path = dir.filePath(u"kansio.ini"_s);
        QVERIFY(QDir(dir.path()).mkdir(u"kansio.ini"_s));
    } else {
        path = dir.filePath(u"laskutus.ini/laskutus.ini"_s);
    }

    Profile profile = ReadProfile(path);
    profile.nextInvoiceNumber = u"99"_s;
    QCOMPARE(refusalOf([&] { WriteProfile(path, profile); }), u"Unable to write to "_s + QDir::toNativeSeparators(path));
    QCOMPARE(readBytes(dir.filePath(u"laskutus.ini"_s)), original);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"laskutus.ini"_s});
}

void TestProfile::unreadReminderSettingsRefused_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("all read") << QByteArray("Muistutusmaksu=7,50\r\nMuistutusaika=10 pv\r\n") << QString();
    QTest::newRow("a fee that is no amount")
        << QByteArray("Muistutusmaksu=viisi\r\n")
        << u"Muistutusmaksu \"viisi\" ei ole rahasumma; kirjoita euroina ja sentteinä, esim. 5,00."_s;
    QTest::newRow("a term without days")
        << QByteArray("Muistutusaika=pian\r\n")
        << u"Muistutusaika \"pian\" ei kerro maksuaikaa päivinä; kirjoita esim. 14 pv."_s;
    QTest::newRow("an unreadable rate table")
        << QByteArray("Viitekorot=2026=2,5\r\n")
        << u"Viitekorkojen asetus ei ole luettavissa kohdasta \"2026=2,5\"; korjaa se laskuttajan tietoihin."_s;
}

void TestProfile::unreadReminderSettingsRefused()
{
    QFETCH(QByteArray, lines);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"laskutus.ini"_s);
    writeBytes(path, "[Laskuttaja]\r\n" + lines);
    const Profile profile = ReadProfile(path);
    ReminderSettings settings;
    QCOMPARE(refusalOf([&] { settings = CheckedReminderSettings(profile); }), refusal);
    if (refusal.isEmpty()) {
        QCOMPARE(settings.feeCents, 750);
        QCOMPARE(settings.term, u"10 pv"_s);
    }
}

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_profile.moc"
