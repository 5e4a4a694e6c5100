// The invoice drawn on a PDF page as a reader sees it: its texts searchable
// with poppler, its barcode read back with ZBar from the rendered page.

#include "output/bankbarcode.h"
#include "output/pdfhdr2.h"
#include "tests/support/formfixture.h"
#include "tests/support/inkpage.h"
#include "tests/support/testfiles.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"

#include <QCheckBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kBiller = "[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\n"
                           "Viivakoodi=1\r\nSeurLasku=57\r\n";

} // namespace

class RenderTest : public QObject
{
    Q_OBJECT

private slots:
    void pdfPageShowsInvoiceAndBarcode();
    void savingWithPdfDefaultWritesBoth_data();
    void savingWithPdfDefaultWritesBoth();
    void printingGivesInvoiceThenCopies_data();
    void printingGivesInvoiceThenCopies();
    void printedBarcodeReadsBack_data();
    void printedBarcodeReadsBack();
    void rowsBeyondTheBoxContinueOnNextPage_data();
    void rowsBeyondTheBoxContinueOnNextPage();
    void giroTextsClearOfRules_data();
    void giroTextsClearOfRules();
    void printerWritingAFileIsOfferedTheInvoicesPdf_data();
    void printerWritingAFileIsOfferedTheInvoicesPdf();
    void printDialogWithoutPrinterOffersTheInvoicesPdf();
};

void RenderTest::pdfPageShowsInvoiceAndBarcode()
{
    // The biller's e-invoice details belong to the biller details box, not to the page.
    FormFixture f(kBiller + "Verkkolaskuosoite=003799999999\r\nValittajatunnus=003723327487\r\nVerkkolaskumuoto=2\r\n");
    TForm1 &form = f.form();
    form.AsiakNimi1->setEditText(u"Matti Meikäläinen"_s);
    form.AsiakOsoite1->setCell(kBlockTextColumn, CustomerAddress1Line, u"Kuusikatu 1"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Suunnittelutyö"_s, u"2"_s, u"h"_s, u"50"_s, u"25,5"_s, QString()});
    form.RecalcInvoice();
    form.FillPayerOnGiro();

    QTemporaryDir dir;
    TNimbPDF pdf;
    pdf.FileName = dir.filePath(u"57.pdf"_s);
    pdf.BeginDoc();
    form.Rendering.canvas = pdf.GetCanvas();
    form.Rendering.deviceWidth = pdf.PageWidth();
    form.Rendering.deviceHeight = pdf.PageHeight();
    form.Rendering.kind = OutputKind::Pdf;
    form.PreparePageForOutput();
    form.RenderInvoice(true, true);
    pdf.EndDoc();

    const QString text = toolOutput(u"pdftotext"_s, {u"-layout"_s, pdf.FileName, u"-"_s});
    for (const QString &shown : {u"LASKU"_s, u"Matti Meikäläinen"_s, u"Kuusikatu 1"_s, u"Suunnittelutyö"_s,
                                 u"125,50"_s, u"Testi Oy"_s, u"FI21 1234 5600 0007 85"_s, u"57"_s})
        QVERIFY2(text.contains(shown), qPrintable(shown + u" not in:\n"_s + text));
    QCOMPARE(f.form().Verkkolaskuosoite1->text(), u"003799999999"_s);
    for (const QString &hidden : {u"003799999999"_s, u"003723327487"_s, u"Peppol"_s, u"Verkkolasku"_s, u"Välittäjä"_s})
        QVERIFY2(!text.contains(hidden), qPrintable(hidden + u" printed:\n"_s + text));

    const QString content = BuildBankBarcode(form.Iban3->text(), form.TotSum2->text(), form.ViiteNro2->text(),
                                             form.EraPv3->text());
    QCOMPARE(content.size(), kBankBarcodeLength);
    const QString png = dir.filePath(u"page"_s);
    toolOutput(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, u"300"_s, u"-singlefile"_s, pdf.FileName, png});
    QCOMPARE(toolOutput(u"zbarimg"_s, {u"--quiet"_s, u"--raw"_s, u"-Sdisable"_s, u"-Scode128.enable"_s, png + u".png"_s}).trimmed(), content);
    // The bars are vector rectangles: the page's one image is the turned giro caption.
    const QStringList images = toolOutput(u"pdfimages"_s, {u"-list"_s, pdf.FileName}).trimmed().split(u'\n').mid(2);
    QCOMPARE(images.size(), 1);
    // Stored losslessly: a JPEG would blur the caption's letters.
    QVERIFY2(!images.constFirst().contains(u"jpeg"_s), qPrintable(images.constFirst()));
}

void RenderTest::savingWithPdfDefaultWritesBoth_data()
{
    QTest::addColumn<bool>("extraRows");
    QTest::addColumn<bool>("folderMissing");
    QTest::addColumn<QString>("pages");
    QTest::newRow("one page") << false << false << u"1"_s;
    QTest::newRow("Lisärivit: the giro form alone on page 2") << true << false << u"2"_s;
    QTest::newRow("PDF folder missing: message, invoice saved, counters kept") << false << true << QString();
}

// "VALMIS/TALLENNA" with "Oletustulostus Pdf" saves the invoice file and then
// its PDF; a PDF that cannot be written leaves the saved file, the counters
// and the invoice on screen.
void RenderTest::savingWithPdfDefaultWritesBoth()
{
    QFETCH(bool, extraRows);
    QFETCH(bool, folderMissing);
    QFETCH(QString, pages);
    QTemporaryDir data;
    FormFixture f(kBiller + "PdfOletus=1\r\n[File]\r\nOletDir=" + data.path().toUtf8() + "/\r\n");
    TForm1 &form = f.form();
    form.AsiakNimi1->setEditText(u"Matti Meikäläinen"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Suunnittelutyö"_s, u"2"_s, u"h"_s, u"50"_s, u"25,5"_s, QString()});
    form.LisaRivit1->setChecked(extraRows);
    const QString pdf = folderMissing ? data.filePath(u"puuttuu/57.pdf"_s) : data.filePath(u"2026/57.pdf"_s);
    f.prompter().answerSave(pdf);

    QTest::mouseClick(form.Valmis1, Qt::LeftButton);

    QVERIFY(QFileInfo::exists(data.filePath(u"2026/57.csv"_s)));
    if (folderMissing) {
        QCOMPARE(f.prompter().takeMessages(),
                 QStringList{u"Pdf-tiedostoa ei voitu kirjoittaa:\r\n"_s + QDir::toNativeSeparators(pdf)});
        QCOMPARE(form.NextNr1->text(), u"57"_s);
        QCOMPARE(form.AsiakNimi1->currentText(), u"Matti Meikäläinen"_s);
        return;
    }
    QCOMPARE(form.NextNr1->text(), u"58"_s);
    QVERIFY(toolOutput(u"pdfinfo"_s, {pdf}).simplified().contains(u"Pages: "_s + pages));
    const QString first = toolOutput(u"pdftotext"_s, {u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, pdf, u"-"_s});
    QVERIFY2(first.contains(u"Suunnittelutyö"_s), qPrintable(first));
    QCOMPARE(first.contains(u"Maksajan"_s), !extraRows);
    if (extraRows) {
        const QString second = toolOutput(u"pdftotext"_s, {u"-f"_s, u"2"_s, u"-l"_s, u"2"_s, pdf, u"-"_s});
        QVERIFY2(second.contains(u"Maksajan"_s) && !second.contains(u"Suunnittelutyö"_s), qPrintable(second));
    }
}

void RenderTest::printingGivesInvoiceThenCopies_data()
{
    QTest::addColumn<QString>("copies");
    QTest::addColumn<bool>("extraRows");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QStringList>("firstJob");
    QTest::addColumn<QStringList>("secondJob");
    const QString giro = u"Maksajan"_s;
    QTest::newRow("no copies") << u"0"_s << false << QString() << QStringList{giro} << QStringList();
    QTest::newRow("three copies") << u"3"_s << false << QString() << QStringList{giro}
                                  << QStringList{u"kopio"_s, u"kopio"_s, u"kopio"_s};
    QTest::newRow("Lisärivit and one copy") << u"1"_s << true << QString() << QStringList{u"rows"_s, giro}
                                            << QStringList{u"kopio"_s};
    QTest::newRow("first job fails") << u"1"_s << false << u"first"_s << QStringList() << QStringList();
    QTest::newRow("copies job fails") << u"2"_s << false << u"copies"_s << QStringList{giro} << QStringList();
}

// "Tulosta" to a printer that writes a PDF file: job 1 is the invoice with
// its giro form, job 2 the copies headed "LASKU (kopio)" without it; the
// window reads "LASKU" afterwards, whatever happened.
void RenderTest::printingGivesInvoiceThenCopies()
{
    QFETCH(QString, copies);
    QFETCH(bool, extraRows);
    QFETCH(QString, failing);
    QFETCH(QStringList, firstJob);
    QFETCH(QStringList, secondJob);
    QTemporaryDir dir;
    FormFixture f(kBiller + "Kopiot=" + copies.toLatin1() + "\r\n");
    TForm1 &form = f.form();
    form.AsiakNimi1->setEditText(u"Matti Meikäläinen"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Suunnittelutyö"_s, u"2"_s, u"h"_s, u"50"_s, u"25,5"_s, QString()});
    form.LisaRivit1->setChecked(extraRows);
    const QString invoice = failing == u"first" ? dir.filePath(u"puuttuu/tulostin.pdf"_s) : dir.filePath(u"tulostin.pdf"_s);
    const QString copiesFile = dir.filePath(u"tulostin (kopiot).pdf"_s);
    if (failing == u"copies")
        QVERIFY(QDir().mkpath(copiesFile));
    f.prompter().answerPrinter(invoice);

    form.Print1->trigger();

    QCOMPARE(form.Lasku1->text(), u"LASKU"_s);
    if (!failing.isEmpty()) {
        const QString failed = failing == u"first" ? invoice : copiesFile;
        QCOMPARE(f.prompter().takeMessages(), QStringList{u"Tulostus ei onnistunut:\r\n"_s + QDir::toNativeSeparators(failed)});
    }
    const auto pagesOf = [](const QString &pdf, const QStringList &expected) {
        for (int page = 1; page <= expected.size(); ++page) {
            const QString text = toolOutput(u"pdftotext"_s, {u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), pdf, u"-"_s});
            const QString &what = expected[page - 1];
            QVERIFY2(text.contains(u"LASKU"_s) || what == u"Maksajan", qPrintable(text));
            QCOMPARE(text.contains(u"LASKU (kopio)"_s), what == u"kopio");
            QCOMPARE(text.contains(u"Maksajan"_s), what == u"Maksajan");
            QCOMPARE(text.contains(u"Suunnittelutyö"_s), what != u"Maksajan" || !expected.contains(u"rows"_s));
        }
        if (!expected.isEmpty())
            QVERIFY(toolOutput(u"pdfinfo"_s, {pdf}).simplified().contains(u"Pages: "_s + QString::number(expected.size())));
    };
    pagesOf(invoice, firstJob);
    if (secondJob.isEmpty())
        QVERIFY(!QFileInfo(copiesFile).isFile());
    pagesOf(copiesFile, secondJob);
}

void RenderTest::printedBarcodeReadsBack_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<bool>("xprint");
    QTest::newRow("300 dpi") << 300 << false;
    QTest::newRow("600 dpi") << 600 << false;
    QTest::newRow("300 dpi, XPrint: bars drawn one by one") << 300 << true;
    QTest::newRow("600 dpi, XPrint: bars drawn one by one") << 600 << true;
}

// The bank barcode on a printed page, at the printer's resolution, reads back
// as exactly the content built from the giro form.
void RenderTest::printedBarcodeReadsBack()
{
    QFETCH(int, dpi);
    QFETCH(bool, xprint);
    QTemporaryDir dir;
    FormFixture f(kBiller + "QrKoodi=1\r\n" + (xprint ? "[PrintMode]\r\nXPrint=1\r\n" : ""));
    TForm1 &form = f.form();
    form.AsiakNimi1->setEditText(u"Matti Meikäläinen"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50"_s, u"25,5"_s, QString()});
    form.RecalcInvoice();
    const QString content = BuildBankBarcode(form.Iban3->text(), form.TotSum2->text(), form.ViiteNro2->text(),
                                             form.EraPv3->text());
    const QString pdf = dir.filePath(u"tulostin.pdf"_s);
    f.prompter().answerPrinter(pdf, dpi);

    form.Print1->trigger();

    const QString png = dir.filePath(u"sivu"_s);
    toolOutput(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, QString::number(dpi), u"-singlefile"_s, pdf, png});
    QCOMPARE(toolOutput(u"zbarimg"_s, {u"--quiet"_s, u"--raw"_s, u"-Sdisable"_s, u"-Scode128.enable"_s, png + u".png"_s}).trimmed(),
             content);
    const QString qr = toolOutput(u"zbarimg"_s, {u"--quiet"_s, u"--raw"_s, u"-Sdisable"_s, u"-Sqrcode.enable"_s, png + u".png"_s});
    QVERIFY2(qr.startsWith(u"BCD\n002\n1\nSCT\nNDEAFIHH\n"_s) && qr.contains(u"\nEUR125.50\n\n1009\n"_s), qPrintable(qr));
    // XPrint turns the caption's font on the printer; otherwise the caption
    // is a lossless image. The bars and the QR code are vectors on every
    // printer: no JPEG blurs their edges.
    const QString text = toolOutput(u"pdftotext"_s, {pdf, u"-"_s});
    QCOMPARE(text.simplified().contains(u"TILISIIRTO. GIRERING"_s), xprint);
    const QStringList images = toolOutput(u"pdfimages"_s, {u"-list"_s, pdf}).trimmed().split(u'\n').mid(2);
    QCOMPARE(images.size(), xprint ? 0 : 1);
    for (const QString &image : images)
        QVERIFY2(!image.contains(u"jpeg"_s), qPrintable(image));
}

void RenderTest::rowsBeyondTheBoxContinueOnNextPage_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("extraRows");
    QTest::addColumn<QList<int>>("lastRowOfPage");
    QTest::newRow("16 rows fit one page") << 16 << false << QList<int>{16};
    QTest::newRow("33 rows with Lisärivit fit one page, giro form on page 2") << 33 << true << QList<int>{33, 0};
    QTest::newRow("40 rows with Lisärivit: rows on 2 pages, giro form on page 3") << 40 << true << QList<int>{34, 40, 0};
    QTest::newRow("20 rows without Lisärivit: giro form under the last rows") << 20 << false << QList<int>{16, 20};
}

// An opened invoice with more rows than the rows box holds prints the rest
// on the next page, with the totals under its last row and never over them.
void RenderTest::rowsBeyondTheBoxContinueOnNextPage()
{
    QFETCH(int, rows);
    QFETCH(bool, extraRows);
    QFETCH(QList<int>, lastRowOfPage);
    QTemporaryDir dir;
    QByteArray file = "\"57\",\"7.12.2026\",\"1009\",\"\",\"\"\r\n\"Matti\",\"Katu 1\",\" \",\" \"\r\n";
    for (int r = 1; r <= rows; ++r)
        file += "\" \",\"Rivi " + QByteArray::number(r) + "\",1,kpl,\"1,00\",\"0\",\"1,00\"\r\n";
    const QString invoice = dir.filePath(u"57.csv"_s);
    QFile out(invoice);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
    out.close();
    FormFixture f(kBiller);
    TForm1 &form = f.form();
    QVERIFY(f.show());
    f.prompter().answerOpen(invoice);
    form.Noudalasku1->trigger();
    if (form.LisaRivit1->isChecked() != extraRows)
        QTest::mouseClick(form.LisaRivit1, Qt::LeftButton, {}, QPoint(4, form.LisaRivit1->height() / 2));
    QCOMPARE(form.LisaRivit1->isChecked(), extraRows);
    const QString pdf = dir.filePath(u"57.pdf"_s);
    f.prompter().answerSave(pdf);

    form.Pdfexport1->trigger();

    QVERIFY(toolOutput(u"pdfinfo"_s, {pdf}).simplified().contains(u"Pages: "_s + QString::number(lastRowOfPage.size())));
    int first = 1;
    for (qsizetype page = 0; page < lastRowOfPage.size(); ++page) {
        const QString number = QString::number(page + 1);
        const QString text = toolOutput(u"pdftotext"_s, {u"-f"_s, number, u"-l"_s, number, pdf, u"-"_s});
        const int last = lastRowOfPage[page];
        for (int r = 1; r <= rows; ++r)
            QVERIFY2(text.contains(QRegularExpression(u"\\bRivi %1\\b"_s.arg(r))) == (r >= first && r <= last), qPrintable(number + u": "_s + text));
        const bool rowsPage = last > 0;
        QCOMPARE(text.contains(u"Lasku yhteensä euroa"_s), rowsPage && last == rows);
        QCOMPARE(text.contains(u"Jatkuu sivulla %1"_s.arg(page + 2)), rowsPage && last < rows);
        QCOMPARE(text.contains(u"Maksajan"_s), page + 1 == lastRowOfPage.size());
        first = last + 1;
    }
}

void RenderTest::giroTextsClearOfRules_data()
{
    QTest::addColumn<int>("printerDpi");
    QTest::addColumn<int>("readDpi");
    QTest::addColumn<QString>("sansSerif");
    for (const QString &face : {QString(), u"DejaVu Sans"_s}) {
        const QString fonts = face.isEmpty() ? u"installed fonts"_s : face + u" for Arial and MS Sans Serif"_s;
        QTest::addRow("Tulosta pdf, read at 200 dpi, %s", qPrintable(fonts)) << 0 << 200 << face;
        QTest::addRow("Tulosta pdf, read at 300 dpi, %s", qPrintable(fonts)) << 0 << 300 << face;
        QTest::addRow("printed at 300 dpi, %s", qPrintable(fonts)) << 300 << 300 << face;
        QTest::addRow("printed at 600 dpi, %s", qPrintable(fonts)) << 600 << 600 << face;
    }
}

// Every text of the giro form, umlauts and all, shows whole with clear paper
// between it and the form's rules.
void RenderTest::giroTextsClearOfRules()
{
    QFETCH(int, printerDpi);
    QFETCH(int, readDpi);
    QFETCH(QString, sansSerif);
    // The system decides which font stands for a face it lacks; some
    // choose a wider and taller one than others.
    const auto substitutes = qScopeGuard([] {
        QFont::removeSubstitutions(u"Arial"_s);
        QFont::removeSubstitutions(u"MS Sans Serif"_s);
    });
    if (!sansSerif.isEmpty()) {
        QFont::insertSubstitution(u"Arial"_s, sansSerif);
        QFont::insertSubstitution(u"MS Sans Serif"_s, sansSerif);
    }
    QTemporaryDir dir;
    FormFixture f("[Laskuttaja]\r\nNimi=\xd6ljy\xe4 \xc4\xe4nekoski Oy\r\nOsoite1=\xc4ij\xe4nkatu 1\r\n"
                  "Kaupunki=40100 Jyv\xe4skyl\xe4\r\nIban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\nViivakoodi=1\r\n");
    TForm1 &form = f.form();
    form.AsiakNimi1->setEditText(u"Åke Öhman"_s);
    form.AsiakOsoite1->setCell(kBlockTextColumn, CustomerAddress1Line, u"Yläjärventie 7"_s);
    form.AsiakOsoite1->setCell(kBlockTextColumn, CustomerAddress2Line, u"98765 ÄHTÄRI"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50"_s, u"25,5"_s, QString()});
    form.RecalcInvoice();
    QCOMPARE(form.VirallNimi3->text(), u"Öljyä Äänekoski Oy"_s);
    const QString pdf = dir.filePath(u"sivu.pdf"_s);
    if (printerDpi == 0) {
        f.prompter().answerSave(pdf);
        form.Pdfexport1->trigger();
    } else {
        f.prompter().answerPrinter(pdf, printerDpi);
        form.Print1->trigger();
    }

    const QList<PdfWord> words = pdfWords(pdf);
    const PdfWord top = findWord(words, u"IBAN"_s);
    QVERIFY(!top.text.isEmpty());
    const InkPage page(pdf, 1, readDpi);
    QStringList checked;
    for (const PdfWord &word : words) {
        if (word.box.top() < top.box.top() - 0.5)
            continue;
        const QRect box = page.pixels(word.box);
        const QRect ink = page.textInk(box);
        QVERIFY2(!ink.isEmpty() && box.left() >= 0, qPrintable(word.text));
        const QRect rule = page.ruleInk(ink.adjusted(-1, -1, 1, 1));
        QVERIFY2(rule.isEmpty(), qPrintable(word.text + u": ink "_s + boxText(ink) + u", rule "_s + boxText(rule)));
        checked.append(word.text);
    }
    for (const QString &text : {u"Öljyä"_s, u"Äijänkatu"_s, u"Jyväskylä"_s, u"Åke"_s, u"Öhman"_s, u"ÄHTÄRI"_s,
                                u"kontonummer"_s, u"Mottagarens"_s, u"Från"_s, u"Förfallodag"_s, u"Virtuaaliviivakoodi"_s})
        QVERIFY2(checked.contains(text), qPrintable(text + u" not among: "_s + checked.join(u' ')));
}

void RenderTest::printerWritingAFileIsOfferedTheInvoicesPdf_data()
{
    QTest::addColumn<bool>("saveFolder");
    QTest::addColumn<bool>("save");
    QTest::newRow("VALMIS/TALLENNA twice: each invoice its own PDF") << true << true;
    QTest::newRow("Tulosta: the invoice's PDF, as Tulosta pdf suggests") << true << false;
    QTest::newRow("Tulosta before any save folder: the dialog's own name") << false << false;
}

// The print dialog offers a printer that writes a file the invoice's own
// "<save folder>/<year>/<number>.pdf", so a second invoice never writes over
// the first one's PDF; the file holds the codes as vectors, read back whole.
void RenderTest::printerWritingAFileIsOfferedTheInvoicesPdf()
{
    QFETCH(bool, saveFolder);
    QFETCH(bool, save);
    QTemporaryDir data;
    FormFixture f(kBiller + "QrKoodi=1\r\n"
                  + (saveFolder ? "[File]\r\nOletDir=" + data.path().toUtf8() + "/\r\n" : QByteArray()));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    QStringList expected;
    const QStringList numbers = save ? QStringList{u"57"_s, u"58"_s} : QStringList{u"57"_s};
    for (const QString &number : numbers) {
        form.AsiakNimi1->setEditText(u"Matti Meikäläinen"_s);
        form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50"_s, u"25,5"_s, QString()});
        QCOMPARE(form.LaskuNro1->text(), number);
        const QString pdf = saveFolder ? data.filePath(u"2026/%1.pdf"_s.arg(number)) : QString();
        expected << pdf;
        f.prompter().answerPrinter(saveFolder ? pdf : data.filePath(u"tulostin.pdf"_s));
        if (save)
            QTest::mouseClick(form.Valmis1, Qt::LeftButton);
        else
            chooseFromMenuBar(form, {u"Tiedosto"_s, u"Tulosta"_s});
        if (save) {
            QCOMPARE(form.TallennusTila1->text(),
                     u"Lasku %1 tallennettu: %2, %3"_s.arg(number, QDir::toNativeSeparators(data.filePath(u"2026/%1.csv"_s.arg(number))),
                                                           QDir::toNativeSeparators(pdf)));
        }
    }
    QCOMPARE(f.prompter().printFilesOffered, expected);
    if (!saveFolder)
        return;
    for (const QString &pdf : std::as_const(expected)) {
        QVERIFY(QFileInfo(pdf).isFile());
        const QStringList images = toolOutput(u"pdfimages"_s, {u"-list"_s, pdf}).trimmed().split(u'\n').mid(2);
        for (const QString &image : images)
            QVERIFY2(!image.contains(u"jpeg"_s), qPrintable(image));
        QCOMPARE(codeOnPage(pdf, data.path(), 300, u"code128"_s).size(), kBankBarcodeLength);
        QVERIFY(codeOnPage(pdf, data.path(), 300, u"qrcode"_s).startsWith(u"BCD\n"_s));
    }
}

// Qt's own print dialog on a machine without a printer: it chooses the
// printer that writes a PDF file, with the invoice's PDF in its file field,
// and the PDF is written there.
void RenderTest::printDialogWithoutPrinterOffersTheInvoicesPdf()
{
    // No print system to ask: a machine without a printer.
    const QByteArray server = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", QDir::temp().filePath(u"ei-tulostinta/cups.sock"_s).toLocal8Bit());
    const auto restore = qScopeGuard([&] { qputenv("CUPS_SERVER", server); });
    QTemporaryDir data;
    FormFixture f(kBiller + "[File]\r\nOletDir=" + data.path().toUtf8() + "/\r\n");
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.AsiakNimi1->setEditText(u"Matti Meikäläinen"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50"_s, u"25,5"_s, QString()});
    QString shownFile;
    bool fileChosen = false;
    f.prompter().printDialog = [&](QWidget *parent, QPrinter &printer) {
        QPrintDialog dialog(&printer, parent);
        QTimer::singleShot(0, &dialog, [&] {
            if (const auto *file = dialog.findChild<QLineEdit *>(u"filename"_s))
                shownFile = file->text();
            // The printer that writes a file is the list's last.
            if (const auto *printers = dialog.findChild<QComboBox *>(u"printers"_s))
                fileChosen = printers->currentIndex() == printers->count() - 1;
            dialog.accept();
        });
        return dialog.exec() == QDialog::Accepted;
    };

    QTest::mouseClick(form.Valmis1, Qt::LeftButton);

    const QString pdf = data.filePath(u"2026/57.pdf"_s);
    QCOMPARE(shownFile, QDir::toNativeSeparators(pdf));
    QVERIFY(fileChosen);
    QVERIFY(QFileInfo(pdf).isFile());
    QCOMPARE(form.LaskuNro1->text(), u"58"_s);
}

QTEST_MAIN(RenderTest)
#include "tst_render.moc"
