// Exporting saved invoices from the command line, run as a user runs it: the
// program in a folder of its own, no display, PDFs read back with poppler.

#include "tests/support/testfiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray invoice(const char *number, const char *customer)
{
    return QByteArray("\"") + number + "\",\"1.12.2026\",\"1009\",\"\",\"1\"\r\n\"" + customer
        + "\",\"Katu 1\",\" \",\" \"\r\n\" \",Kahvi,2,\" \",\"3,50\",\"25,5\",\"8,79\"\r\n";
}

} // namespace

class PdfBatchTest : public QObject
{
    Q_OBJECT

private slots:
    void exportsEachInvoiceAndReportsFailures_data();
    void exportsEachInvoiceAndReportsFailures();
};

void PdfBatchTest::exportsEachInvoiceAndReportsFailures_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("one invoice into one file") << QStringList{u"57.csv"_s} << u"lasku.pdf"_s
                                               << QStringList{u"lasku.pdf"_s} << 0;
    QTest::newRow("a batch into a folder, one file missing")
        << QStringList{u"57.csv"_s, u"puuttuu.csv"_s, u"58.csv"_s} << u"pdf"_s
        << QStringList{u"pdf/57.pdf"_s, u"pdf/58.pdf"_s} << 1;
}

void PdfBatchTest::exportsEachInvoiceAndReportsFailures()
{
    QFETCH(QStringList, inputs);
    QFETCH(QString, output);
    QFETCH(QStringList, written);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    const QString program = dir.filePath(u"laskutus"_s);
    QVERIFY(QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program));
    writeBytes(dir.filePath(u"laskutus.INI"_s), "[Laskuttaja]\r\nNimi=Testi Oy\r\n");
    writeBytes(dir.filePath(u"57.csv"_s), invoice("57", "Matti Meik\xe4l\xe4inen"));
    writeBytes(dir.filePath(u"58.csv"_s), invoice("58", "Oy Toinen Ab"));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.remove(u"DISPLAY"_s);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir.path());
    process.start(program, QStringList{u"--pdf"_s, output} + inputs);
    QVERIFY(process.waitForFinished(60000));
    const QString report = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY2(report.contains(u"%1/%1 "_s.arg(inputs.size())), qPrintable(report));
    QCOMPARE(report.contains(u"Virhe: puuttuu.csv: Cannot open file puuttuu.csv"_s), exitCode != 0);

    for (const QString &pdf : written) {
        const QString text = toolOutput(u"pdftotext"_s, {dir.filePath(pdf), u"-"_s});
        QVERIFY2(text.contains(u"LASKU"_s) && text.contains(u"Testi Oy"_s) && text.contains(u"Kahvi"_s),
                 qPrintable(pdf + u": "_s + text));
    }
    QVERIFY(toolOutput(u"pdftotext"_s, {dir.filePath(written.constFirst()), u"-"_s}).contains(u"Matti Meikäläinen"_s));
}

QTEST_MAIN(PdfBatchTest)
#include "tst_pdfbatch.moc"
