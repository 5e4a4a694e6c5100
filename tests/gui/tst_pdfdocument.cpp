// The PDF document as a reader finds it: page sizes, pages and searchable text
// read back with poppler's tools, the title the window gives each kind of
// document, and a failed export that replaces nothing.

#include "base/commanderror.h"
#include "invoice/numbering.h"
#include "invoice/reminder.h"
#include "output/pdfhdr2.h"
#include "storage/cp1252.h"
#include "storage/invoicefile.h"
#include "storage/textfile.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Writes a document of the given pages, each page's text at its top left.
void writePages(TNimbPDF &pdf, const QStringList &pages)
{
    pdf.BeginDoc();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0)
            pdf.NewPage();
        QPainter *canvas = pdf.GetCanvas();
        canvas->setFont(QFont(u"Arial"_s, 12));
        canvas->drawText(40, 60, pages[i]);
    }
    pdf.EndDoc();
}

} // namespace

class PdfDocumentTest : public QObject
{
    Q_OBJECT

private slots:
    void pageSizes_data();
    void pageSizes();
    void pagesAndTextReadBack();
    void titleNamesDocumentAndBiller_data();
    void titleNamesDocumentAndBiller();
    void failedExportReplacesNothing_data();
    void failedExportReplacesNothing();
};

void PdfDocumentTest::pageSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("points");
    QTest::newRow("A4") << int(TPageSize::psA4) << false << 793 << 1123 << u"595 x 842"_s;
    QTest::newRow("Letter") << int(TPageSize::psLetter) << false << 816 << 1056 << u"612 x 792"_s;
    QTest::newRow("Legal, landscape") << int(TPageSize::psLegal) << true << 1344 << 816 << u"1008 x 612"_s;
}

void PdfDocumentTest::pageSizes()
{
    QFETCH(int, size);
    QFETCH(bool, landscape);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, points);
    TNimbPDF pdf;
    pdf.SetPageSize(TPageSize(size));
    pdf.SetOrientation(landscape ? TPageOrientation::poLandscape : TPageOrientation::poPortrait);
    QCOMPARE(pdf.PageWidth(), width);
    QCOMPARE(pdf.PageHeight(), height);

    QTemporaryDir dir;
    pdf.FileName = dir.filePath(u"koko.pdf"_s);
    writePages(pdf, {u"LASKU"_s});
    QVERIFY(toolOutput(u"pdfinfo"_s, {pdf.FileName}).simplified().contains(u"Page size: "_s + points + u" pts"_s));
}

void PdfDocumentTest::pagesAndTextReadBack()
{
    QTemporaryDir dir;
    TNimbPDF pdf;
    pdf.FileName = dir.filePath(u"57.pdf"_s);
    pdf.Title = u"Lasku 57"_s;
    writePages(pdf, {u"LASKU 57 Yhteensä 125,50"_s, u"TILISIIRTO. GIRERING"_s});
    QCOMPARE(pdf.PageCount(), 2);

    const QString info = toolOutput(u"pdfinfo"_s, {pdf.FileName}).simplified();
    QVERIFY2(info.contains(u"Pages: 2"_s), qPrintable(info));
    QVERIFY2(info.contains(u"Title: Lasku 57"_s), qPrintable(info));
    const QString text = toolOutput(u"pdftotext"_s, {u"-layout"_s, pdf.FileName, u"-"_s});
    QVERIFY2(text.contains(u"LASKU 57 Yhteensä 125,50"_s), qPrintable(text));
    QVERIFY2(text.contains(u"TILISIIRTO. GIRERING"_s), qPrintable(text));
    // Fonts travel in the file, so every reader shows the same letters.
    const QStringList fonts = toolOutput(u"pdffonts"_s, {pdf.FileName}).split(u'\n').mid(2);
    QVERIFY(!fonts.isEmpty() && !fonts.constFirst().isEmpty());
    for (const QString &font : fonts)
        QVERIFY2(font.isEmpty() || font.contains(u" yes "_s), qPrintable(font));
}

void PdfDocumentTest::titleNamesDocumentAndBiller_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::newRow("an invoice") << u"lasku"_s << u"Lasku 1, Testi Oy"_s;
    QTest::newRow("a credit note") << u"hyvityslasku"_s << u"Hyvityslasku 5, Testi Oy"_s;
    QTest::newRow("a reminder") << u"maksumuistutus"_s << u"Maksumuistutus 1, Testi Oy"_s;
}

// A reader's window and a document list show the title: what the document
// is, its number and who sent it.
void PdfDocumentTest::titleNamesDocumentAndBiller()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QTemporaryDir data;
    QVERIFY(QDir(data.path()).mkdir(u"2026"_s));
    const QString invoicePath = data.filePath(u"2026/1.csv"_s);
    InvoiceData invoice;
    invoice.header = {u"1"_s, u"1.1.2026"_s, AppendCheckDigit(u"100"_s), QString(), u"7"_s, YesNoText(false),
                      YesNoText(false), u"14 pv netto"_s, u"8 %"_s, u"7 pv"_s, u"15.1.2026"_s};
    invoice.customer = {u"Virtanen Matti"_s, u"Katu 1"_s, QString(), u"00100 HELSINKI"_s};
    invoice.rows = {{QString(), u"Työ"_s, u"1"_s, u"h"_s, u"80,00"_s, u"25,5"_s, QString()}};
    WriteTextLines(invoicePath, InvoiceFileLines(invoice));
    FormFixture fixture(stringToCp1252(u"[File]\r\nOletDir="_s + data.path() + u'/'
                                       + u"\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\nSeurLasku=5\r\n"
                                         "Iban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\n"_s));
    TForm1 &form = fixture.form();
    QVERIFY(fixture.show());
    const QString pdfPath = data.filePath(u"asiakirja.pdf"_s);
    if (kind == u"maksumuistutus"_s) {
        form.WriteReminder(invoicePath, form.ReminderOfInvoiceFile(invoicePath, QDate(2026, 2, 20), std::nullopt),
                           pdfPath);
    } else {
        fixture.prompter().answerOpen(invoicePath);
        chooseFromMenuBar(form, {u"Tiedosto"_s, u"Nouda lasku"_s});
        if (kind == u"hyvityslasku"_s)
            chooseFromMenuBar(form, {u"Tiedosto"_s, u"Hyvityslasku"_s});
        fixture.prompter().answerSave(pdfPath);
        chooseFromMenuBar(form, {u"Tiedosto"_s, u"Tulosta pdf"_s});
    }
    const QString info = toolOutput(u"pdfinfo"_s, {pdfPath});
    const QRegularExpression titleLine(u"^Title:\\s+(.*)$"_s, QRegularExpression::MultilineOption);
    QCOMPARE(titleLine.match(info).captured(1), title);
}

void PdfDocumentTest::failedExportReplacesNothing_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::newRow("folder missing") << false;
    QTest::newRow("disk full") << true;
}

// A failed export says so and leaves an older PDF of the name whole.
void PdfDocumentTest::failedExportReplacesNothing()
{
    QFETCH(bool, fullDisk);
    QTemporaryDir dir;
    const QString path = fullDisk ? dir.filePath(u"57.pdf"_s) : dir.filePath(u"puuttuu/57.pdf"_s);
    const QByteArray older = "%PDF-1.4 aiempi";
    if (fullDisk)
        writeBytes(path, older);
    TNimbPDF pdf;
    pdf.FileName = path;
    try {
        FileSizeLimit full(fullDisk ? 200 : 1 << 30);
        writePages(pdf, {QString(2000, u'x')});
        QFAIL("the export did not fail");
    } catch (const CommandError &error) {
        QVERIFY2(error.message().startsWith(u"Pdf-tiedostoa ei voitu kirjoittaa"_s), qPrintable(error.message()));
        QVERIFY(error.message().contains(QDir::toNativeSeparators(path)));
    }
    QCOMPARE(readBytes(path), fullDisk ? older : QByteArray());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), fullDisk ? QStringList{u"57.pdf"_s} : QStringList());
}

QTEST_MAIN(PdfDocumentTest)
#include "tst_pdfdocument.moc"
