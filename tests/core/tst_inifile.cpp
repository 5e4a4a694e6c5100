// The settings file: reading and writing single keys under the Windows
// private-profile rules, and the file on disk as Windows-1252.

#include "app/inifile.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void readString_data();
    void readString();
    void parseInteger_data();
    void parseInteger();
    void writeString_data();
    void writeString();
    void rewritingKeyNeverGrowsLine_data();
    void rewritingKeyNeverGrowsLine();
    void lineBreakInValue_data();
    void lineBreakInValue();
    void cp1252RoundTrip_data();
    void cp1252RoundTrip();
    void unknownContentKeptByteForByte_data();
    void unknownContentKeptByteForByte();
    void missingFileGivesDefaultsAndFirstWriteCreatesIt();
    void integersAndOptionsThroughFile();
    void writeUnderRegularFileFails();
    void readOnlyFolderKeepsOldFile();
};

void TestIniFile::readString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString longValue(1500, u'x');
    QTest::newRow("exact names") << u"[Laskuttaja]\r\nNimi=Oy\r\n"_s << u"Laskuttaja"_s << u"Nimi"_s << u"Oy"_s;
    QTest::newRow("section in other case") << u"[laskuttaja]\r\nNimi=Oy\r\n"_s << u"LASKUTTAJA"_s << u"Nimi"_s << u"Oy"_s;
    QTest::newRow("key in other case") << u"[Laskuttaja]\r\nnIMI=Oy\r\n"_s << u"Laskuttaja"_s << u"Nimi"_s << u"Oy"_s;
    QTest::newRow("non-ASCII names in other case") << u"[ÄÖ]\r\nkä=1\r\n"_s << u"äö"_s << u"KÄ"_s << u"1"_s;
    QTest::newRow("blanks around names and value") << u"[ S ]\r\n \tk \t= a b \t\r\n"_s << u"S"_s << u"k"_s << u"a b"_s;
    QTest::newRow("no-break space is not a blank") << u"[S]\r\nk=1\u00a0\r\n"_s << u"S"_s << u"k"_s << u"1\u00a0"_s;
    QTest::newRow("equals sign in value") << u"[S]\r\nk=a=b\r\n"_s << u"S"_s << u"k"_s << u"a=b"_s;
    QTest::newRow("empty value is not the default") << u"[S]\r\nk=\r\n"_s << u"S"_s << u"k"_s << QString();
    QTest::newRow("missing section") << u"[T]\r\nk=1\r\n"_s << u"S"_s << u"k"_s << u"default"_s;
    QTest::newRow("missing key") << u"[S]\r\nj=1\r\n"_s << u"S"_s << u"k"_s << u"default"_s;
    QTest::newRow("key of the next section") << u"[S]\r\nj=1\r\n[T]\r\nk=2\r\n"_s << u"S"_s << u"k"_s << u"default"_s;
    QTest::newRow("key before any section") << u"k=1\r\n[S]\r\n"_s << u"S"_s << u"k"_s << u"default"_s;
    QTest::newRow("first key wins") << u"[S]\r\nk=1\r\nK=2\r\n"_s << u"S"_s << u"k"_s << u"1"_s;
    QTest::newRow("first section wins") << u"[S]\r\nk=1\r\n[s]\r\nk=2\r\n"_s << u"S"_s << u"k"_s << u"1"_s;
    QTest::newRow("comment line ignored") << u"[S]\r\n;k=1\r\nk=2\r\n"_s << u"S"_s << u"k"_s << u"2"_s;
    QTest::newRow("line without equals ignored") << u"[S]\r\nk\r\n"_s << u"S"_s << u"k"_s << u"default"_s;
    QTest::newRow("CR only") << u"[R]\rk=0\r[S]\rk=1\r"_s << u"S"_s << u"k"_s << u"1"_s;
    QTest::newRow("LF only") << u"[R]\nk=0\n[S]\nk=1\n"_s << u"S"_s << u"k"_s << u"1"_s;
    QTest::newRow("mixed line ends") << u"[R]\nk=0\r[S]\r\nj=2\rk=1"_s << u"S"_s << u"k"_s << u"1"_s;
    QTest::newRow("value of 1023 kept") << u"[S]\r\nk="_s + longValue.first(1023) << u"S"_s << u"k"_s << longValue.first(1023);
    QTest::newRow("longer value cut to 1023") << u"[S]\r\nk="_s + longValue << u"S"_s << u"k"_s << longValue.first(1023);
}

void TestIniFile::readString()
{
    QFETCH(QString, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    const QString value = IniReadString(text, section, key, u"default"_s);
    QCOMPARE(value, expected);
    QCOMPARE(value.isNull(), false);
}

void TestIniFile::parseInteger_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("decimal") << u"42"_s << 42;
    QTest::newRow("zero is not the default") << u"0"_s << 0;
    QTest::newRow("leading zeros") << u"007"_s << 7;
    QTest::newRow("negative") << u"-7"_s << -7;
    QTest::newRow("plus sign") << u"+5"_s << 5;
    QTest::newRow("hex 0x0A") << u"0x0A"_s << 10;
    QTest::newRow("hex 0X1f") << u"0X1f"_s << 31;
    QTest::newRow("largest int") << u"2147483647"_s << 2147483647;
    QTest::newRow("smallest int") << u"-2147483648"_s << int(-2147483647 - 1);
    QTest::newRow("largest int in hex") << u"0x7FFFFFFF"_s << 2147483647;
    QTest::newRow("0x alone") << u"0x"_s << -99;
    QTest::newRow("empty") << QString() << -99;
    QTest::newRow("sign alone") << u"-"_s << -99;
    QTest::newRow("letters") << u"abc"_s << -99;
    QTest::newRow("trailing letters") << u"12abc"_s << -99;
    QTest::newRow("blank inside") << u"1 2"_s << -99;
    QTest::newRow("hex digits without prefix") << u"1f"_s << -99;
    QTest::newRow("bad hex digit") << u"0x1G"_s << -99;
    QTest::newRow("sign after 0x") << u"0x-1"_s << -99;
    QTest::newRow("full-width digits") << u"\uff11\uff12"_s << -99;
    QTest::newRow("overflow") << u"2147483648"_s << -99;
    QTest::newRow("negative overflow") << u"-2147483649"_s << -99;
    QTest::newRow("hex overflow") << u"0x80000000"_s << -99;
    QTest::newRow("huge") << u"99999999999999999999999999"_s << -99;
}

void TestIniFile::parseInteger()
{
    QFETCH(QString, value);
    QFETCH(int, expected);

    QCOMPARE(IniParseInteger(value, -99), expected);
}

void TestIniFile::writeString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("replace keeps the key's spelling")
        << u"[Laskuttaja]\r\nNIMI=Vanha\r\n"_s << u"laskuttaja"_s << u"Nimi"_s << u"Uusi"_s
        << u"[Laskuttaja]\r\nNIMI=Uusi\r\n"_s;
    QTest::newRow("rewritten line is exactly key=value")
        << u"[S]\r\n  k = old \r\n"_s << u"S"_s << u"k"_s << u"new"_s
        << u"[S]\r\nk=new\r\n"_s;
    QTest::newRow("replace the last line without ending")
        << u"[S]\r\nk=old"_s << u"S"_s << u"k"_s << u"new"_s
        << u"[S]\r\nk=new"_s;
    QTest::newRow("only the first of two keys replaced")
        << u"[S]\r\nk=1\r\nk=2\r\n"_s << u"S"_s << u"k"_s << u"3"_s
        << u"[S]\r\nk=3\r\nk=2\r\n"_s;
    QTest::newRow("only the first of two sections used")
        << u"[S]\r\na=1\r\n[S]\r\nk=2\r\n"_s << u"S"_s << u"k"_s << u"3"_s
        << u"[S]\r\na=1\r\nk=3\r\n[S]\r\nk=2\r\n"_s;
    QTest::newRow("new key after the section's last key")
        << u"[A]\r\na=1\r\n\r\n;note\r\n[B]\r\nb=2\r\n"_s << u"A"_s << u"n"_s << u"3"_s
        << u"[A]\r\na=1\r\nn=3\r\n\r\n;note\r\n[B]\r\nb=2\r\n"_s;
    QTest::newRow("new key in a section without keys")
        << u"[A]\r\n;note\r\n[B]\r\n"_s << u"A"_s << u"n"_s << u"3"_s
        << u"[A]\r\nn=3\r\n;note\r\n[B]\r\n"_s;
    QTest::newRow("new key after a last line without ending")
        << u"[A]\r\na=1"_s << u"A"_s << u"n"_s << u"3"_s
        << u"[A]\r\na=1\r\nn=3\r\n"_s;
    QTest::newRow("commented-out key stays a comment")
        << u"[S]\r\n;k=1\r\n"_s << u"S"_s << u"k"_s << u"2"_s
        << u"[S]\r\nk=2\r\n;k=1\r\n"_s;
    QTest::newRow("new section at the end")
        << u"[A]\r\na=1\r\n"_s << u"B"_s << u"b"_s << u"2"_s
        << u"[A]\r\na=1\r\n[B]\r\nb=2\r\n"_s;
    QTest::newRow("new section after text without ending")
        << u"[A]\r\na=1"_s << u"B"_s << u"b"_s << u"2"_s
        << u"[A]\r\na=1\r\n[B]\r\nb=2\r\n"_s;
    QTest::newRow("empty file")
        << QString() << u"B"_s << u"b"_s << u"2"_s
        << u"[B]\r\nb=2\r\n"_s;
    QTest::newRow("LF file keeps its LF lines")
        << u"[A]\n a=1\nx=2\n"_s << u"A"_s << u"x"_s << u"3"_s
        << u"[A]\n a=1\nx=3\n"_s;
    QTest::newRow("mixed line ends kept, new line CR LF")
        << u"[A]\ra=1\nb=2\r\n[B]\n"_s << u"A"_s << u"c"_s << u"3"_s
        << u"[A]\ra=1\nb=2\r\nc=3\r\n[B]\n"_s;
    QTest::newRow("CR LF in the value written as blanks")
        << u"[S]\r\nk=old\r\n"_s << u"S"_s << u"k"_s << u"a\r\nb\rc\nd"_s
        << u"[S]\r\nk=a  b c d\r\n"_s;
}

void TestIniFile::writeString()
{
    QFETCH(QString, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, expected);

    const QString written = IniWriteString(text, section, key, value);
    QCOMPARE(written, expected);
    QCOMPARE(IniReadString(written, section, key, QString()),
             QString(value).replace(u'\r', u' ').replace(u'\n', u' '));
}

void TestIniFile::rewritingKeyNeverGrowsLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("value with leading blanks")
        << u"[Laskuttaja]\r\nNimi=Oy\r\n[Muu]\r\n"_s << u"  Oy"_s << u"[Laskuttaja]\r\nNimi=  Oy\r\n[Muu]\r\n"_s;
    QTest::newRow("blanks in the file and in the value, LF line ends kept")
        << u"[Laskuttaja]\nNimi = \t Oy  \nx=1\n"_s << u" Oy"_s << u"[Laskuttaja]\nNimi= Oy\nx=1\n"_s;
}

// Saving rewrites the same key again and again with the value it read back.
void TestIniFile::rewritingKeyNeverGrowsLine()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(QString, expected);

    QString written = text;
    for (int save = 0; save < 3; ++save)
        written = IniWriteString(written, u"laskuttaja", u"Nimi", value);
    QCOMPARE(written, expected);
}

void TestIniFile::lineBreakInValue_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("File before Laskuttaja") << u"[File]\r\nOletDir=/laskut/\r\n[Laskuttaja]\r\nNimi=Vanha\r\n"_s;
    QTest::newRow("Laskuttaja before File") << u"[Laskuttaja]\r\nNimi=Vanha\r\n[File]\r\nOletDir=/laskut/\r\n"_s;
    QTest::newRow("no Laskuttaja yet") << u"[File]\r\nOletDir=/laskut/\r\n"_s;
}

// A pasted value must not split into lines that plant keys or sections.
void TestIniFile::lineBreakInValue()
{
    QFETCH(QString, text);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"laskutus.ini"_s);
    writeBytes(path, text.toLatin1());

    WriteIniString(path, u"Laskuttaja", u"Nimi", u"Oy\r\n[File]\r\nOletDir=x");
    QCOMPARE(ReadIniString(path, u"Laskuttaja", u"Nimi", QString()), u"Oy  [File]  OletDir=x"_s);
    QCOMPARE(ReadIniString(path, u"File", u"OletDir", QString()), u"/laskut/"_s);
}

void TestIniFile::cp1252RoundTrip_data()
{
    QTest::addColumn<QByteArray>("byte");
    QTest::addColumn<QString>("character");

    QTest::newRow("a with diaeresis") << QByteArray(1, char(0xE4)) << u"ä"_s;
    QTest::newRow("o with diaeresis") << QByteArray(1, char(0xF6)) << u"ö"_s;
    QTest::newRow("euro sign") << QByteArray(1, char(0x80)) << u"€"_s;
}

void TestIniFile::cp1252RoundTrip()
{
    QFETCH(QByteArray, byte);
    QFETCH(QString, character);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"laskutus.ini"_s);
    const QByteArray original = "[Laskuttaja]\r\nNimi=A" + byte + "B\r\n";
    writeBytes(path, original);

    QCOMPARE(ReadIniString(path, u"Laskuttaja", u"Nimi", QString()), u"A"_s + character + u"B"_s);

    WriteIniString(path, u"Laskuttaja", u"Osoite1", character);
    QCOMPARE(readBytes(path), original + "Osoite1=" + byte + "\r\n");
    QCOMPARE(ReadIniString(path, u"Laskuttaja", u"Osoite1", QString()), character);
}

void TestIniFile::unknownContentKeptByteForByte_data()
{
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("expected");

    QByteArray everyHighByte;
    for (int b = 0x80; b <= 0xFF; ++b)
        everyHighByte.append(char(b));
    const QByteArray head = "; kasin kirjoitettu\r\n"
                            "\r\n"
                            "[Muu]\n"
                            "Tavut=" + everyHighByte + "\r\n"
                            "  sekalaista ilman yhtasuuruutta\r"
                            "[Laskuttaja]  ; huomautus\r\n"
                            "  NIMI   =  Vanha  \r\n";
    const QByteArray tail = "\r\n"
                            "; loppu\n"
                            "[Tuntematon]\r\n"
                            "x = 1";
    QTest::addRow("key replaced") << head + tail << u"Nimi"_s
                                  << QByteArray(head).replace("  NIMI   =  Vanha  ", "NIMI=Uusi") + tail;
    QTest::addRow("key added") << head + tail << u"Osoite1"_s
                               << head + "Osoite1=Uusi\r\n" + tail;
}

void TestIniFile::unknownContentKeptByteForByte()
{
    QFETCH(QByteArray, original);
    QFETCH(QString, key);
    QFETCH(QByteArray, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"laskutus.ini"_s);
    writeBytes(path, original);

    WriteIniString(path, u"Laskuttaja", key, u"Uusi");
    QCOMPARE(readBytes(path), expected);
}

void TestIniFile::missingFileGivesDefaultsAndFirstWriteCreatesIt()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"profiili.ini"_s);

    QCOMPARE(ReadIniString(path, u"Laskuttaja", u"Nimi", u"Nimi?"_s), u"Nimi?"_s);
    QCOMPARE(ReadIniInteger(path, u"Laskuttaja", u"OtsBakCol", 7), 7);
    QCOMPARE(ReadIniBool(path, u"Laskuttaja", u"YhtSisAlv", true), true);
    QVERIFY(!QFile::exists(path));

    WriteIniString(path, u"File", u"OletDir", u"/laskut/");
    QCOMPARE(readBytes(path), QByteArray("[File]\r\nOletDir=/laskut/\r\n"));
}

void TestIniFile::integersAndOptionsThroughFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"laskutus.ini"_s);
    writeBytes(path, "[Laskuttaja]\r\nOtsBakCol=0x0A\r\nViivakoodi=abc\r\nPdfOletus=2\r\n");

    QCOMPARE(ReadIniInteger(path, u"Laskuttaja", u"OtsBakCol", 7), 10);
    QCOMPARE(ReadIniBool(path, u"Laskuttaja", u"Viivakoodi", true), true);
    QCOMPARE(ReadIniBool(path, u"Laskuttaja", u"PdfOletus", false), true);

    WriteIniInteger(path, u"Laskuttaja", u"OtsBakCol", -3);
    WriteIniInteger(path, u"Laskuttaja", u"Viivakoodi", 0);
    QCOMPARE(readBytes(path), QByteArray("[Laskuttaja]\r\nOtsBakCol=-3\r\nViivakoodi=0\r\nPdfOletus=2\r\n"));
    QCOMPARE(ReadIniInteger(path, u"Laskuttaja", u"OtsBakCol", 7), -3);
    QCOMPARE(ReadIniBool(path, u"Laskuttaja", u"Viivakoodi", true), false);
}

// Holds even for root: no folder can be made under a regular file.
void TestIniFile::writeUnderRegularFileFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    writeBytes(dir.filePath(u"tiedosto"_s), "x");
    const QString path = dir.filePath(u"tiedosto/laskutus.ini"_s);
    const QString expected = u"Unable to write to "_s + QDir::toNativeSeparators(path);

    try {
        WriteIniString(path, u"Laskuttaja", u"Nimi", u"Oy");
        QFAIL("the write did not fail");
    } catch (const IniWriteError &error) {
        QCOMPARE(error.message(), expected);
        QCOMPARE(QString::fromUtf8(error.what()), expected);
    }
    QCOMPARE(readBytes(dir.filePath(u"tiedosto"_s)), QByteArray("x"));
}

void TestIniFile::readOnlyFolderKeepsOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"laskutus.ini"_s);
    const QByteArray original = "[Laskuttaja]\r\nNimi=Vanha\r\n";
    writeBytes(path, original);

    QFile folder(dir.path());
    const QFileDevice::Permissions writable = folder.permissions();
    QVERIFY(folder.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const auto restore = qScopeGuard([&] { folder.setPermissions(writable); });

    QFile probe(dir.filePath(u"probe"_s));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        QSKIP("Folder permissions do not stop this user (root) from writing");
    }

    QVERIFY_THROWS_EXCEPTION(IniWriteError, WriteIniString(path, u"Laskuttaja", u"Nimi", u"Uusi"));
    QCOMPARE(readBytes(path), original);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"laskutus.ini"_s});
}

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
