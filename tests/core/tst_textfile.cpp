// Reading and writing the program's text files: bytes, line ends, errors.

#include "base/commanderror.h"
#include "storage/textfile.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void splitTextLines_data();
    void splitTextLines();
    void readsLineEnds_data();
    void readsLineEnds();
    void writesWindows1252WithCrLf();
    void writesUnknownCharacterAsQuestionMark();
    void writeReplacesExistingFile();
    void writtenLinesReadBack();
    void missingFileThrowsOpenError();
    void directoryThrowsOpenError();
    void unwritableTargetThrowsCreateError();
    void failedWriteLeavesOldFileWhole();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTextFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestTextFile::splitTextLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    // Pasted rows keep empty lines before the last line holding something.
    QTest::addColumn<QStringList>("pasted");

    const QStringList ab{u"a"_s, u"b"_s};
    QTest::newRow("empty") << QString() << QStringList{} << QStringList{};
    QTest::newRow("no final break") << u"a\r\nb"_s << ab << ab;
    QTest::newRow("final break adds no line") << u"a\r\nb\r\n"_s << ab << ab;
    QTest::newRow("lone break gives no line") << u"\r\n"_s << QStringList{} << QStringList{};
    QTest::newRow("empty line left out") << u"a\r\n\r\nb\r\n"_s << ab << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("CR only") << u"a\rb\r"_s << ab << ab;
    QTest::newRow("LF only") << u"a\nb\n"_s << ab << ab;
    QTest::newRow("LF CR is two breaks") << u"a\n\rb\n\r"_s << ab << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("mixed") << u"a\r\nb\nc\rd"_s << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s}
                           << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
    QTest::newRow("NUL hides nothing after it") << u"a\r\nb\0c\r\nd"_s
                                                << QStringList{u"a"_s, u"b\0c"_s, u"d"_s}
                                                << QStringList{u"a"_s, u"b\0c"_s, u"d"_s};
    QTest::newRow("lines giving no cell text left out")
        << u" \t\r\n,,\r\n\"\",\"\"\r\n\0\r\nx\r\n,\r\n"_s << QStringList{u"x"_s}
        << QStringList{u" \t"_s, u",,"_s, u"\"\",\"\""_s, u"\0"_s, u"x"_s};
    QTest::newRow("placeholder line kept") << u"\" \"\r\n\r\n"_s << QStringList{u"\" \""_s} << QStringList{u"\" \""_s};
    QTest::newRow("tabs and blanks stay") << u" a\tb \r\n"_s << QStringList{u" a\tb "_s} << QStringList{u" a\tb "_s};
}

void TestTextFile::splitTextLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, pasted);
    QCOMPARE(SplitTextLines(text), lines);
    QCOMPARE(SplitTextLines(text, EmptyLines::Keep), pasted);
}

void TestTextFile::readsLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    const QStringList twoLines{u"Mäki"_s, u"Öljy \u20ac"_s};
    QTest::newRow("CR LF") << QByteArray("M\xe4ki\r\n\xd6ljy \x80\r\n") << twoLines;
    QTest::newRow("CR only") << QByteArray("M\xe4ki\r\xd6ljy \x80\r") << twoLines;
    QTest::newRow("LF only") << QByteArray("M\xe4ki\n\xd6ljy \x80\n") << twoLines;
    QTest::newRow("no final break") << QByteArray("M\xe4ki\r\n\xd6ljy \x80") << twoLines;
    QTest::newRow("NUL hides nothing after it")
        << QByteArray("M\xe4ki\r\n\xd6ljy") + '\0' + QByteArray("\x80\r\nkept\r\n")
        << QStringList{u"Mäki"_s, u"Öljy\0\u20ac"_s, u"kept"_s};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void TestTextFile::readsLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);

    writeBytes(path(u"in.csv"_s), bytes);
    QCOMPARE(ReadTextLines(path(u"in.csv"_s)), lines);
}

void TestTextFile::writesWindows1252WithCrLf()
{
    WriteTextLines(path(u"out.csv"_s), {u"ä,ö"_s, QString(), u"\u20ac 5"_s});
    QCOMPARE(readBytes(path(u"out.csv"_s)), QByteArray("\xe4,\xf6\r\n\r\n\x80 5\r\n"));
}

void TestTextFile::writesUnknownCharacterAsQuestionMark()
{
    WriteTextLines(path(u"out.csv"_s), {u"a\u0161\u4e2d\U0001F600b"_s, u"x\0y"_s});
    QCOMPARE(readBytes(path(u"out.csv"_s)), QByteArray("a\x9a??b\r\nx?y\r\n"));
}

void TestTextFile::writeReplacesExistingFile()
{
    writeBytes(path(u"out.csv"_s), QByteArray("a much longer old content\r\n"));
    WriteTextLines(path(u"out.csv"_s), {u"new"_s});
    QCOMPARE(readBytes(path(u"out.csv"_s)), QByteArray("new\r\n"));
}

void TestTextFile::writtenLinesReadBack()
{
    const QStringList lines{u"\"Åke Öhman\",\" \",x"_s, QString(), u"  blanks  "_s};
    WriteTextLines(path(u"out.csv"_s), lines);
    QCOMPARE(ReadTextLines(path(u"out.csv"_s)), (QStringList{lines[0], lines[2]}));
}

void TestTextFile::missingFileThrowsOpenError()
{
    const QString missing = path(u"none.csv"_s);
    try {
        ReadTextLines(missing);
        QFAIL("no error");
    } catch (const FileOpenError &error) {
        QCOMPARE(error.message(), u"Cannot open file "_s + QDir::toNativeSeparators(missing));
        QCOMPARE(QString::fromStdString(error.what()), error.message());
    }
}

void TestTextFile::directoryThrowsOpenError()
{
    QVERIFY_THROWS_EXCEPTION(FileOpenError, ReadTextLines(m_dir->path()));
}

void TestTextFile::unwritableTargetThrowsCreateError()
{
    // Tests may run as root, so make the folder a regular file instead.
    writeBytes(path(u"plain"_s), QByteArray("x"));
    const QString target = path(u"plain/out.csv"_s);
    try {
        WriteTextLines(target, {u"a"_s});
        QFAIL("no error");
    } catch (const FileCreateError &error) {
        QCOMPARE(error.message(), u"Cannot create file "_s + QDir::toNativeSeparators(target));
    }
    QCOMPARE(readBytes(path(u"plain"_s)), QByteArray("x"));
}

void TestTextFile::failedWriteLeavesOldFileWhole()
{
#ifdef Q_OS_UNIX
    // A file size limit makes the write fail halfway, as a full disk would.
    const QByteArray old("old line\r\n");
    writeBytes(path(u"out.csv"_s), old);

    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);

    bool thrown = false;
    try {
        WriteTextLines(path(u"out.csv"_s), QStringList(1000, u"0123456789"_s));
    } catch (const FileCreateError &) {
        thrown = true;
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(thrown);
    QCOMPARE(readBytes(path(u"out.csv"_s)), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{u"out.csv"_s});
#else
    QSKIP("needs a file size limit");
#endif
}

QTEST_APPLESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
