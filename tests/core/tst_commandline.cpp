// The command line: the window's profile or invoice, the options answered
// without a window, the batch PDF export and its targets.

#include "app/commandline.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void invoiceFileOnDisk();
    void targets_data();
    void targets();
    void ibanOfAnExport_data();
    void ibanOfAnExport();
    void reminderPdfNamedAndNeverReplaced();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    // "help", "version", "export", "list", "window" or "error"; a list's year is its output.
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("start");
    QTest::addColumn<QString>("invoiceFile");
    const QStringList none;
    QTest::newRow("no arguments") << none << u"window"_s << QString() << none << none << QString();
    QTest::newRow("a profile for the window") << QStringList{u"firma2"_s, u"x"_s} << u"window"_s << QString()
                                             << none << QStringList{u"firma2"_s, u"x"_s} << QString();
    QTest::newRow("an invoice file for the window")
        << QStringList{u"2026/57.csv"_s} << u"window"_s << QString() << none << none << u"2026/57.csv"_s;
    QTest::newRow("an invoice file in capitals")
        << QStringList{u"VANHA.CSV"_s, u"x"_s} << u"window"_s << QString() << none << none << u"VANHA.CSV"_s;
    QTest::newRow("a .csv name that is no file stays a profile")
        << QStringList{u"puuttuu.csv"_s} << u"window"_s << QString() << none << QStringList{u"puuttuu.csv"_s}
        << QString();
    QTest::newRow("a file not ending in .csv stays a profile")
        << QStringList{u"2026/57.txt"_s} << u"window"_s << QString() << none << QStringList{u"2026/57.txt"_s}
        << QString();
    QTest::newRow("--help") << QStringList{u"--help"_s} << u"help"_s << QString() << none << none << QString();
    QTest::newRow("-h after a profile") << QStringList{u"firma2"_s, u"-h"_s} << u"help"_s << QString() << none
                                        << none << QString();
    QTest::newRow("--version") << QStringList{u"--version"_s} << u"version"_s << QString() << none << none
                               << QString();
    QTest::newRow("an unknown long option") << QStringList{u"--versio"_s} << u"error"_s << QString() << none
                                            << none << QString();
    QTest::newRow("an unknown short option") << QStringList{u"-v"_s} << u"error"_s << QString() << none << none
                                             << QString();
    QTest::newRow("an option after a profile") << QStringList{u"firma2"_s, u"--x"_s} << u"error"_s << QString()
                                               << none << none << QString();
    QTest::newRow("--profile without --pdf") << QStringList{u"--profile"_s, u"firma2"_s} << u"error"_s
                                             << QString() << none << none << QString();
    QTest::newRow("export of two invoices")
        << QStringList{u"--pdf"_s, u"out"_s, u"1.csv"_s, u"2.csv"_s} << u"export"_s << u"out"_s
        << QStringList{u"1.csv"_s, u"2.csv"_s} << none << QString();
    QTest::newRow("export with a profile")
        << QStringList{u"--profile"_s, u"firma2"_s, u"--pdf"_s, u"1.pdf"_s, u"1.csv"_s} << u"export"_s << u"1.pdf"_s
        << QStringList{u"1.csv"_s} << QStringList{u"firma2"_s} << QString();
    QTest::newRow("no invoice") << QStringList{u"--pdf"_s, u"out"_s} << u"error"_s << u"out"_s << none << none
                                << QString();
    QTest::newRow("no output") << QStringList{u"1.csv"_s, u"--pdf"_s} << u"error"_s << QString()
                               << QStringList{u"1.csv"_s} << none << QString();
    QTest::newRow("unknown option in an export")
        << QStringList{u"--pdf"_s, u"out"_s, u"--pfd"_s, u"1.csv"_s} << u"error"_s << u"out"_s << none << none
        << QString();
    QTest::newRow("short option in an export") << QStringList{u"--pdf"_s, u"out"_s, u"-x"_s, u"1.csv"_s}
                                               << u"error"_s << u"out"_s << none << none << QString();
    QTest::newRow("list") << QStringList{u"--list"_s} << u"list"_s << QString() << none << none << QString();
    QTest::newRow("list of a year with a profile")
        << QStringList{u"--list"_s, u"2026"_s, u"--profile"_s, u"firma2"_s} << u"list"_s << u"2026"_s << none
        << QStringList{u"firma2"_s} << QString();
    QTest::newRow("list of no year") << QStringList{u"--list"_s, u"2026/57.csv"_s} << u"error"_s << QString()
                                     << none << none << QString();
    QTest::newRow("list of two years") << QStringList{u"--list"_s, u"2025"_s, u"2026"_s} << u"error"_s << u"2025"_s
                                       << none << none << QString();
    QTest::newRow("list and an export") << QStringList{u"--pdf"_s, u"out"_s, u"--list"_s, u"1.csv"_s}
                                        << u"error"_s << u"out"_s << none << none << QString();
    QTest::newRow("payments imported with a profile")
        << QStringList{u"--import-payments"_s, u"a.xml"_s, u"--profile"_s, u"firma2"_s, u"b.txt"_s} << u"import"_s
        << QString() << QStringList{u"a.xml"_s, u"b.txt"_s} << QStringList{u"firma2"_s} << QString();
    QTest::newRow("payments import of no file") << QStringList{u"--import-payments"_s} << u"error"_s << QString()
                                                << none << none << QString();
    QTest::newRow("payments import with a profile of no name")
        << QStringList{u"--import-payments"_s, u"a.xml"_s, u"--profile"_s} << u"error"_s << QString()
        << QStringList{u"a.xml"_s} << none << QString();
    QTest::newRow("list with an unknown option") << QStringList{u"--list"_s, u"--all"_s} << u"error"_s
                                                 << QString() << none << none << QString();
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, action);
    QFETCH(QString, output);
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, start);
    QFETCH(QString, invoiceFile);
    const QStringList files = {u"2026/57.csv"_s, u"VANHA.CSV"_s, u"2026/57.txt"_s};
    const CommandLine line =
        ParseCommandLine(arguments, [&files](const QString &path) { return files.contains(path); });
    const QString done = line.help               ? u"help"_s
                         : line.version          ? u"version"_s
                         : !line.error.isEmpty() ? u"error"_s
                         : line.exportKind       ? u"export"_s
                         : line.list             ? u"list"_s
                         : line.importPayments   ? u"import"_s
                                                 : u"window"_s;
    QCOMPARE(done, action);
    QCOMPARE(line.list ? line.listYear : line.output, output);
    QCOMPARE(line.inputs, inputs);
    QCOMPARE(line.startArguments, start);
    QCOMPARE(line.invoiceFile, invoiceFile);
}

void TestCommandLine::invoiceFileOnDisk()
{
    QTemporaryDir dir;
    const QString invoice = dir.filePath(u"57.csv"_s);
    QFile file(invoice);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QDir(dir.path()).mkdir(u"kansio.csv"_s));
    QCOMPARE(ParseCommandLine({invoice}).invoiceFile, invoice);
    QCOMPARE(ParseCommandLine({dir.filePath(u"kansio.csv"_s)}).startArguments,
             QStringList{dir.filePath(u"kansio.csv"_s)});
    QCOMPARE(ParseCommandLine({dir.filePath(u"58.csv"_s)}).startArguments, QStringList{dir.filePath(u"58.csv"_s)});
}

void TestCommandLine::targets_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<bool>("existingFolder");
    QTest::addColumn<QStringList>("targets");
    QTest::addColumn<bool>("refused");
    QTest::newRow("one invoice into a file") << u"lasku.pdf"_s << QStringList{u"2026/57.csv"_s} << false
                                             << QStringList{u"lasku.pdf"_s} << false;
    QTest::newRow("one invoice into an existing folder") << u"out"_s << QStringList{u"2026/57.csv"_s} << true
                                                         << QStringList{u"out/57.pdf"_s} << false;
    QTest::newRow("one invoice into a folder ending in /")
        << u"out/"_s << QStringList{u"2026/57.csv"_s} << false << QStringList{u"out/57.pdf"_s} << false;
    QTest::newRow("several invoices") << u"out"_s << QStringList{u"2026/57.csv"_s, u"2026/58.csv"_s} << false
                                      << QStringList{u"out/57.pdf"_s, u"out/58.pdf"_s} << false;
    QTest::newRow("the same number of two years, only those renamed")
        << u"out"_s << QStringList{u"a/2025/1.csv"_s, u"a/2026/1.csv"_s, u"a/2026/2.csv"_s} << false
        << QStringList{u"out/2025-1.pdf"_s, u"out/2026-1.pdf"_s, u"out/2.pdf"_s} << false;
    QTest::newRow("names meeting without regard to case")
        << u"out"_s << QStringList{u"2025/A1.csv"_s, u"2026/a1.csv"_s} << false
        << QStringList{u"out/2025-A1.pdf"_s, u"out/2026-a1.pdf"_s} << false;
    QTest::newRow("a renamed one meets another") << u"out"_s
                                                 << QStringList{u"2025-1.csv"_s, u"x/2025/1.csv"_s, u"y/2026/1.csv"_s}
                                                 << false << QStringList() << true;
    QTest::newRow("two years of two folders") << u"out"_s << QStringList{u"a/2026/1.csv"_s, u"b/2026/1.csv"_s}
                                              << false << QStringList() << true;
}

void TestCommandLine::targets()
{
    QFETCH(QString, output);
    QFETCH(QStringList, inputs);
    QFETCH(bool, existingFolder);
    QFETCH(QStringList, targets);
    QFETCH(bool, refused);
    const ExportTargets result = ExportTargetsFor(ExportKind::Pdf, output, inputs, ExportOutputIsFolder(output, inputs.size(), existingFolder));
    QStringList expected;
    for (const QString &target : targets)
        expected.append(QDir::cleanPath(target));
    QStringList got;
    for (const QString &target : result.targets)
        got.append(QDir::cleanPath(target));
    QCOMPARE(got, expected);
    QCOMPARE(!result.error.isEmpty(), refused);
}

void TestCommandLine::ibanOfAnExport_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("iban");
    QTest::addColumn<bool>("refused");
    const int pdf = int(ExportKind::Pdf);
    QTest::newRow("a PDF, a valid IBAN") << pdf << u"FI21 1234 5600 0007 85"_s << false;
    QTest::newRow("a PDF, no IBAN") << pdf << QString() << false;
    QTest::newRow("a PDF, blanks") << pdf << u"  "_s << false;
    QTest::newRow("a PDF, the placeholder") << pdf << u"FI00 0000 0000 0000 00?"_s << true;
    QTest::newRow("a PDF, a check digit wrong") << pdf << u"FI21 1234 5600 0007 86"_s << true;
    QTest::newRow("a reminder, no IBAN") << int(ExportKind::Reminder) << QString() << false;
    QTest::newRow("a Finvoice, no IBAN") << int(ExportKind::Finvoice) << QString() << true;
    QTest::newRow("a Peppol invoice, no IBAN") << int(ExportKind::Peppol) << QString() << true;
}

// An empty IBAN prints a page without payment codes; anything else must
// pass its check, and an e-invoice needs one.
void TestCommandLine::ibanOfAnExport()
{
    QFETCH(int, kind);
    QFETCH(QString, iban);
    QFETCH(bool, refused);
    const QString refusal = ExportIbanRefusal(ExportKind(kind), iban, u"laskutus.INI"_s);
    QCOMPARE(!refusal.isEmpty(), refused);
    if (refused)
        QCOMPARE(refusal, u"laskuttajan tilinumero (IBAN) \"%1\" asetustiedostossa laskutus.INI ei ole kelvollinen"_s
                              .arg(iban));
}

// Into a folder a reminder's PDF is named as its file; no file, nor a link
// that leads nowhere, of that name is ever replaced.
void TestCommandLine::reminderPdfNamedAndNeverReplaced()
{
    QTemporaryDir dir;
    const QStringList inputs{u"2026/57.csv"_s};
    const ExportTargets targets = ExportTargetsFor(ExportKind::Reminder, dir.path(), inputs, true);
    QCOMPARE(targets.targets.size(), 1);
    const QString second = ReminderPdfTarget(targets.targets[0], true, 2);
    QCOMPARE(second, dir.filePath(u"57-M2.pdf"_s));
    QCOMPARE(ReminderPdfTarget(u"muistutus.pdf"_s, false, 2), u"muistutus.pdf"_s);
    QCOMPARE(ReminderPdfRefusal(second), QString());

    QFile file(second);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QFile::link(dir.filePath(u"puuttuu.pdf"_s), dir.filePath(u"57-M3.pdf"_s)));
    for (const QString &taken : {second, dir.filePath(u"57-M3.pdf"_s)}) {
        QCOMPARE(ReminderPdfRefusal(taken), u"%1 on jo olemassa, eikä maksumuistutuksen pdf-tiedosto korvaa sitä; "
                                            "muistutusta ei kirjoitettu"_s.arg(QDir::toNativeSeparators(taken)));
    }
    // A file named as the invoice in the folder stops no reminder.
    QVERIFY(file.rename(targets.targets[0]));
    QCOMPARE(ExportTargetsRefusal(ExportKind::Reminder, dir.path(), true, inputs, targets.targets), QString());
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
