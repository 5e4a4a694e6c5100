// The command line: the window's profile, the batch PDF export and its targets.

#include "app/commandline.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void targets();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("exportPdf");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("start");
    QTest::addColumn<bool>("failed");
    QTest::newRow("a profile for the window") << QStringList{u"firma2"_s, u"x"_s} << false << QString()
                                             << QStringList() << QStringList{u"firma2"_s, u"x"_s} << false;
    QTest::newRow("export of two invoices")
        << QStringList{u"--pdf"_s, u"out"_s, u"1.csv"_s, u"2.csv"_s} << true << u"out"_s
        << QStringList{u"1.csv"_s, u"2.csv"_s} << QStringList() << false;
    QTest::newRow("export with a profile")
        << QStringList{u"--profile"_s, u"firma2"_s, u"--pdf"_s, u"1.pdf"_s, u"1.csv"_s} << true << u"1.pdf"_s
        << QStringList{u"1.csv"_s} << QStringList{u"firma2"_s} << false;
    QTest::newRow("no invoice") << QStringList{u"--pdf"_s, u"out"_s} << true << u"out"_s << QStringList()
                                << QStringList() << true;
    QTest::newRow("no output") << QStringList{u"1.csv"_s, u"--pdf"_s} << true << QString() << QStringList{u"1.csv"_s}
                               << QStringList() << true;
    QTest::newRow("unknown option") << QStringList{u"--pdf"_s, u"out"_s, u"--pfd"_s, u"1.csv"_s} << true << u"out"_s
                                    << QStringList() << QStringList() << true;
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, exportPdf);
    QFETCH(QString, output);
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, start);
    QFETCH(bool, failed);
    const CommandLine line = ParseCommandLine(arguments);
    QCOMPARE(line.exportPdf, exportPdf);
    QCOMPARE(line.output, output);
    QCOMPARE(line.inputs, inputs);
    QCOMPARE(line.startArguments, start);
    QCOMPARE(!line.error.isEmpty(), failed);
    QVERIFY(ParseCommandLine({u"--help"_s}).help);
}

void TestCommandLine::targets()
{
    QCOMPARE(PdfTargetFor(u"lasku.pdf"_s, u"2026/57.csv"_s, false), u"lasku.pdf"_s);
    QCOMPARE(PdfTargetFor(u"out"_s, u"2026/57.csv"_s, true), QDir(u"out"_s).filePath(u"57.pdf"_s));
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
