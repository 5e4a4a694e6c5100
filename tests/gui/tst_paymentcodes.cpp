// What a payer's bank reads from the invoice: VAT by rate, the RF reference,
// the bank barcode with its digits printed as text, and the payment QR code,
// each read back from the PDF as a reader sees it.

#include "invoice/numbering.h"
#include "output/bankbarcode.h"
#include "storage/cp1252.h"
#include "tests/support/formfixture.h"
#include "tests/support/inkpage.h"
#include "tests/support/testfiles.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kBiller = "[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\n"
                           "Viivakoodi=1\r\nSeurViite=100\r\n";

// Opens an invoice of these rows ("quantity;price;VAT %") as "Nouda lasku" does.
void openInvoice(FormFixture &f, const QTemporaryDir &dir, const QStringList &rows, const QString &reference)
{
    QString text = u"\"57\",\"7.12.2026\",\"%1\",\"\",\"\"\r\n\"Matti\",\"Katu 1\",\" \",\" \"\r\n"_s.arg(reference);
    for (const QString &row : rows) {
        const QStringList cells = row.split(u';');
        text += u"\" \",\"Tuote\",%1,kpl,\"%2\",\"%3\",\"\"\r\n"_s.arg(cells[0], cells[1], cells[2]);
    }
    QFile file(dir.filePath(u"57.csv"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(stringToCp1252(text));
    file.close();
    f.prompter().answerOpen(file.fileName());
    f.form().Noudalasku1->trigger();
}

// "Tulosta pdf" into the folder; the PDF's path.
QString exportPdf(FormFixture &f, const QTemporaryDir &dir)
{
    const QString pdf = dir.filePath(u"lasku.pdf"_s);
    f.prompter().answerSave(pdf);
    f.form().Pdfexport1->trigger();
    return pdf;
}

// The words on the lowest quarter of the PDF's first page, where the giro
// form has its reference, due date and sum (A4 is 595 × 842 points).
QStringList giroWords(const QString &pdf)
{
    return toolOutput(u"pdftotext"_s, {u"-l"_s, u"1"_s, u"-x"_s, u"0"_s, u"-y"_s, u"631"_s, u"-W"_s, u"595"_s,
                                       u"-H"_s, u"211"_s, pdf, u"-"_s})
        .simplified()
        .split(u' ');
}

// The invoice as a reader gets it: "Tulosta pdf" (dpi 0), or "Tulosta" to a
// printer of this resolution that writes a PDF file; the PDF's path.
QString writePage(FormFixture &f, const QTemporaryDir &dir, int dpi)
{
    if (dpi == 0)
        return exportPdf(f, dir);
    const QString pdf = dir.filePath(u"tulostin.pdf"_s);
    f.prompter().answerPrinter(pdf, dpi);
    f.form().Print1->trigger();
    return pdf;
}

} // namespace

class PaymentCodesTest : public QObject
{
    Q_OBJECT

private slots:
    void vatByRateOnWindowAndPdf_data();
    void vatByRateOnWindowAndPdf();
    void vatLinesShareBaselineAboveRule_data();
    void vatLinesShareBaselineAboveRule();
    void virtualBarcodeDigitsAllVisible_data();
    void virtualBarcodeDigitsAllVisible();
    void rfReferenceBarcodeAndQrCodeReadBack();
    void onlyAPaymentGetsABarcode_data();
    void onlyAPaymentGetsABarcode();
    void failingReferenceIsMarkedAndGetsNoCodes_data();
    void failingReferenceIsMarkedAndGetsNoCodes();
    void newOptionsWrittenOnlyWhenUsed();
};

void PaymentCodesTest::vatByRateOnWindowAndPdf_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("one rate: the page as always") << QStringList{u"2;50,00;25,5"_s, u"1;10,00;25,5"_s} << QStringList();
    QTest::newRow("three rates, rising order")
        << QStringList{u"2;50,00;25,5"_s, u"1;30,00;10"_s, u"3;4,20;13,5"_s, u"1;0,99;25,5"_s}
        << QStringList{u"Alv 10 %|30,00|3,00"_s, u"Alv 13,5 %|12,60|1,70"_s, u"Alv 25,5 %|100,99|25,75"_s};
    QTest::newRow("credit row and 0 %") << QStringList{u"1;100,00;0"_s, u"-1;20,00;25,5"_s}
                                        << QStringList{u"Alv 0 %|100,00|0,00"_s, u"Alv 25,5 %|-20,00|-5,10"_s};
}

// The lines by rate add up to the three totals, on the window and in the PDF.
void PaymentCodesTest::vatByRateOnWindowAndPdf()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    FormFixture f(kBiller);
    TForm1 &form = f.form();
    const int plainHeight = form.LaskuPanel2->height();

    openInvoice(f, dir, rows, u"1009"_s);

    QStringList shown;
    for (qsizetype i = 3; i + 2 < form.VatRateLabels.size(); i += 3) {
        shown.append(form.VatRateLabels[i]->text() + u'|' + form.VatRateLabels[i + 1]->text() + u'|'
                     + form.VatRateLabels[i + 2]->text());
    }
    QCOMPARE(shown, lines);
    QCOMPARE(form.LaskuPanel2->height() > plainHeight, !lines.isEmpty());
    const QString text = toolOutput(u"pdftotext"_s, {u"-layout"_s, exportPdf(f, dir), u"-"_s}).simplified();
    for (const QString &line : std::as_const(lines))
        QVERIFY2(text.contains(QString(line).replace(u'|', u' ')), qPrintable(line + u" not in: "_s + text));
    QCOMPARE(text.contains(u"Alv-erittely"_s), !lines.isEmpty());
}

void PaymentCodesTest::vatLinesShareBaselineAboveRule_data()
{
    QTest::addColumn<int>("printerDpi");
    QTest::addColumn<int>("readDpi");
    QTest::newRow("Tulosta pdf, read at 300 dpi") << 0 << 300;
    QTest::newRow("printed at 200 dpi") << 200 << 200;
}

// Each line by rate reads as one line: its caption and its amounts in one
// size on one baseline, on the window and on paper, and the last line stands
// clear above the footer's dashed rule.
void PaymentCodesTest::vatLinesShareBaselineAboveRule()
{
    QFETCH(int, printerDpi);
    QFETCH(int, readDpi);
    QTemporaryDir dir;
    FormFixture f(kBiller);
    TForm1 &form = f.form();
    QVERIFY(f.show());
    openInvoice(f, dir, {u"2;50,00;25,5"_s, u"1;30,00;14"_s, u"3;4,20;10"_s}, u"1009"_s);
    const QList<QStringList> lines = {{u"10"_s, u"12,60"_s, u"1,26"_s},
                                      {u"14"_s, u"30,00"_s, u"4,20"_s},
                                      {u"25,5"_s, u"100,00"_s, u"25,50"_s}};
    QCOMPARE(form.VatRateLabels.size(), (lines.size() + 1) * 3);

    // On the window: one font and one top per line, each label tall enough
    // for its text, the last one clear of the rule.
    const auto *rule = form.LaskuPanel2->findChild<QWidget *>(u"Bevel4"_s);
    QVERIFY(rule);
    const InkPage window(form.LaskuPanel2->grab().toImage(), 96);
    QRect lastInk;
    for (qsizetype i = 0; i < form.VatRateLabels.size(); ++i) {
        const QLabel *label = form.VatRateLabels[i];
        const QLabel *caption = form.VatRateLabels[i - i % 3];
        QCOMPARE(label->font(), caption->font());
        QCOMPARE(label->y(), caption->y());
        QVERIFY2(label->height() >= QFontMetrics(label->font()).height(), qPrintable(label->text()));
        const QRect ink = window.textInk(label->geometry());
        QVERIFY2(!ink.isEmpty(), qPrintable(label->text()));
        if (i >= form.VatRateLabels.size() - 3)
            lastInk |= ink;
    }
    QVERIFY2(rule->y() - lastInk.bottom() - 1 >= window.mm(1.0), qPrintable(u"%1 %2"_s.arg(lastInk.bottom()).arg(rule->y())));

    // On paper the words of each line share their box's top and bottom, the
    // font's ascent and descent from one baseline.
    const QString pdf = writePage(f, dir, printerDpi);
    const QList<PdfWord> words = pdfWords(pdf);
    const PdfWord heading = findWord(words, u"Alv-erittely"_s);
    const PdfWord footer = findWord(words, u"Pankki:"_s);
    QVERIFY(!heading.text.isEmpty() && !footer.text.isEmpty());
    const auto inZone = [&](const QString &text) {
        for (const PdfWord &word : words) {
            if (word.text == text && word.box.top() > heading.box.top() && word.box.bottom() < footer.box.top())
                return word;
        }
        return PdfWord();
    };
    const InkPage page(pdf, 1, readDpi);
    QRect lastLine;
    for (const QStringList &line : lines) {
        const PdfWord rate = inZone(line[0]);
        QVERIFY2(!rate.text.isEmpty(), qPrintable(line[0]));
        for (const QString &amount : line.mid(1)) {
            const PdfWord word = inZone(amount);
            QVERIFY2(!word.text.isEmpty(), qPrintable(amount));
            QVERIFY2(qAbs(word.box.top() - rate.box.top()) < 0.25 && qAbs(word.box.bottom() - rate.box.bottom()) < 0.25,
                     qPrintable(u"%1: %2..%3, %4: %5..%6"_s.arg(line[0]).arg(rate.box.top()).arg(rate.box.bottom())
                                    .arg(amount).arg(word.box.top()).arg(word.box.bottom())));
            lastLine |= page.textInk(page.pixels(word.box));
        }
        lastLine |= page.textInk(page.pixels(rate.box));
    }
    const int ruleRow = page.ruleRowBelow(lastLine.bottom(), lastLine.left(), lastLine.right());
    QVERIFY2(ruleRow - lastLine.bottom() - 1 >= page.mm(1.0),
             qPrintable(u"ink ends at %1, rule at %2"_s.arg(lastLine.bottom()).arg(ruleRow)));
}

void PaymentCodesTest::virtualBarcodeDigitsAllVisible_data()
{
    QTest::addColumn<int>("printerDpi");
    QTest::addColumn<int>("readDpi");
    QTest::addColumn<QByteArray>("giroMargins");
    QTest::addColumn<double>("digitHeightMm");
    QTest::newRow("Tulosta pdf, read at 300 dpi") << 0 << 300 << QByteArray() << 1.6;
    QTest::newRow("printed at 120 dpi") << 120 << 120 << QByteArray() << 1.6;
    QTest::newRow("printed at 300 dpi") << 300 << 300 << QByteArray() << 1.6;
    QTest::newRow("printed at 600 dpi") << 600 << 600 << QByteArray() << 1.6;
    // The text moves left of the bars to keep clear of the terms.
    QTest::newRow("giro margins 40 mm, printed at 120 dpi")
        << 120 << 120 << QByteArray("BankTrLeft=40\r\nBankTrRight=40\r\n") << 1.6;
    // The form leaves less room left of the terms than the text takes.
    QTest::newRow("giro right margin 150 mm, printed at 300 dpi")
        << 300 << 300 << QByteArray("BankTrRight=150\r\n") << 1.1;
}

// A payer types the digits above the bars into the bank: every one of them
// is inked on the page, in a readable size, clear of the bars and the rules.
void PaymentCodesTest::virtualBarcodeDigitsAllVisible()
{
    QFETCH(int, printerDpi);
    QFETCH(int, readDpi);
    QFETCH(QByteArray, giroMargins);
    QFETCH(double, digitHeightMm);
    QTemporaryDir dir;
    FormFixture f(kBiller + "[Marginaalit]\r\n" + giroMargins);
    TForm1 &form = f.form();
    openInvoice(f, dir, {u"2;50,00;25,5"_s}, u"1009"_s);
    const QString content = BuildBankBarcode(form.Iban3->text(), form.TotSum2->text(), form.ViiteNro2->text(),
                                             form.EraPv3->text());
    QCOMPARE(content.size(), kBankBarcodeLength);

    const QString pdf = writePage(f, dir, printerDpi);

    const QList<PdfWord> words = pdfWords(pdf);
    const PdfWord caption = findWord(words, u"Virtuaaliviivakoodi"_s);
    const PdfWord digits = findWord(words, content);
    QVERIFY2(!caption.text.isEmpty() && !digits.text.isEmpty(), qPrintable(toolOutput(u"pdftotext"_s, {pdf, u"-"_s})));
    const InkPage page(pdf, 1, readDpi);
    const QRect box = page.pixels(digits.box);
    QVERIFY2(page.size().width() > box.right() && box.left() >= 0, qPrintable(u"%1..%2"_s.arg(box.left()).arg(box.right())));
    // The ink reaches both ends of the text's box within part of a digit.
    const QRect ink = page.textInk(box);
    const int slack = box.width() / kBankBarcodeLength / 3;
    QVERIFY2(ink.left() <= box.left() + slack && ink.right() >= box.right() - slack,
             qPrintable(u"ink %1..%2 of %3..%4"_s.arg(ink.left()).arg(ink.right()).arg(box.left()).arg(box.right())));
    QVERIFY2(ink.height() >= page.mm(digitHeightMm), qPrintable(QString::number(ink.height())));
    const QRect whole = ink | page.textInk(page.pixels(caption.box));
    // Not left of both the bars and the giro form, whose lowest rule ends
    // at its left edge, and left of the terms.
    const QRect giro = page.ruleInk(QRect(0, whole.top() - page.mm(5), page.size().width(), page.mm(5)));
    const QRect bars = page.ruleInk(QRect(0, whole.bottom() + 1, page.size().width(), page.mm(5)));
    const int leftmost = std::min(giro.left(), bars.left());
    const QRect terms = page.textInk(page.pixels(findWord(words, u"Maksu"_s).box));
    QVERIFY2(whole.left() >= leftmost && whole.right() + page.mm(1.0) < terms.left(),
             qPrintable(u"%1..%2 between %3 and %4"_s.arg(whole.left()).arg(whole.right()).arg(leftmost).arg(terms.left())));
    const QRect near = page.ruleInk(whole.adjusted(-1, -1, 1, 1));
    QVERIFY2(near.isEmpty(), qPrintable(u"text "_s + boxText(whole) + u", rule "_s + boxText(near)));
}

// With RF-viite and QR-koodi a new invoice's reference is the RF form of the
// national one, its barcode is version 5 and its QR code the payment text.
void PaymentCodesTest::rfReferenceBarcodeAndQrCodeReadBack()
{
    QTemporaryDir dir;
    FormFixture f(kBiller + "RfViite=1\r\nQrKoodi=1\r\n[File]\r\nOletDir=" + dir.path().toUtf8() + "/\r\n");
    TForm1 &form = f.form();
    QCOMPARE(form.ViiteNro1->text(), u"RF18 1009"_s);
    QVERIFY(IsValidRfReference(form.ViiteNro1->text()));
    QCOMPARE(form.ViiteNro2->text(), u"RF18 1009"_s);
    form.AsiakNimi1->setEditText(u"Matti"_s);
    QVERIFY(f.show());
    typeIntoGrid(form.LaskuRivit1, 2, 1, u"2"_s);
    typeIntoGrid(form.LaskuRivit1, 4, 1, u"1234,5"_s);
    pressKey(Qt::Key_Tab);
    QCOMPARE(form.TotSum->text(), u"3\u00A0098,60"_s);

    const QString pdf = exportPdf(f, dir);

    // Version 5: IBAN digits, euros, cents, the RF check digits, the body to
    // 21 digits, the due date 21.12.2026.
    const QString barcode = u"5"_s + u"2112345600000785"_s + u"003098"_s + u"60"_s + u"18"_s
        + u"1009"_s.rightJustified(21, u'0') + u"261221"_s;
    const QString payment = u"BCD\n002\n1\nSCT\nNDEAFIHH\nTesti Oy\nFI2112345600000785\nEUR3098.60\n\nRF181009\n\n"
                            "ReqdExctnDt/2026-12-21"_s;
    for (int dpi : {150, 300})
        QCOMPARE(codeOnPage(pdf, dir.path(), dpi, u"qrcode"_s), payment);
    QCOMPARE(codeOnPage(pdf, dir.path(), 300, u"code128"_s), barcode);
    const QString text = toolOutput(u"pdftotext"_s, {pdf, u"-"_s});
    const QRegularExpressionMatch digits = QRegularExpression(u"Virtuaaliviivakoodi\\s+(\\d+)"_s).match(text);
    QCOMPARE(digits.captured(1), barcode);

    QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    QFile saved(form.DataDir + u"2026/1.csv"_s);
    QVERIFY2(saved.open(QIODevice::ReadOnly), qPrintable(saved.fileName()));
    QVERIFY(saved.readLine().startsWith("\"1\",\"7.12.2026\",\"RF18 1009\""));
}

void PaymentCodesTest::onlyAPaymentGetsABarcode_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<bool>("coded");
    QTest::newRow("credit note") << u"-1"_s << u"-125,50"_s << false;
    QTest::newRow("nothing to pay") << u"0"_s << u"0,00"_s << false;
    QTest::newRow("payment") << u"1"_s << u"125,50"_s << true;
}

// A row typed in as a user does and the invoice written with "Tulosta pdf":
// the giro form shows the sum as it stands, and only a sum above zero gets
// the barcode and its digits, which a payer's bank would take as a payment.
void PaymentCodesTest::onlyAPaymentGetsABarcode()
{
    QFETCH(QString, quantity);
    QFETCH(QString, sum);
    QFETCH(bool, coded);
    QTemporaryDir dir;
    FormFixture f(kBiller);
    TForm1 &form = f.form();
    form.AsiakNimi1->setEditText(u"Matti"_s);
    QVERIFY(f.show());
    typeIntoGrid(form.LaskuRivit1, 1, 1, u"Hyvitys"_s);
    typeIntoGrid(form.LaskuRivit1, 2, 1, quantity);
    typeIntoGrid(form.LaskuRivit1, 4, 1, u"100"_s);
    pressKey(Qt::Key_Tab);
    QCOMPARE(form.LaskuRivit1->cell(5, 1), u"25,5"_s);
    QCOMPARE(form.TotSum2->text(), sum);

    const QString pdf = exportPdf(f, dir);

    const QString barcode = u"4"_s + u"2112345600000785"_s + u"00012550"_s + u"000"_s + u"1009"_s.rightJustified(20, u'0')
        + u"261221"_s;
    QCOMPARE(codeOnPage(pdf, dir.path(), 300, u"code128"_s), coded ? barcode : QString());
    QCOMPARE(toolOutput(u"pdftotext"_s, {pdf, u"-"_s}).contains(u"Virtuaaliviivakoodi"_s), coded);
    const QStringList giro = giroWords(pdf);
    QVERIFY2(giro.contains(sum), qPrintable(giro.join(u' ')));
}

void PaymentCodesTest::failingReferenceIsMarkedAndGetsNoCodes_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<bool>("fails");
    QTest::newRow("national, check digit right") << u"1009"_s << false;
    QTest::newRow("national, check digit wrong") << u"1008"_s << true;
    QTest::newRow("RF, check digits right, opened with the option off") << u"RF18 1009"_s << false;
    QTest::newRow("RF, check digits wrong") << u"RF19 1009"_s << true;
    QTest::newRow("RF, check digits 01 where 98 belongs") << u"RF01 20909"_s << true;
}

// The window marks a reference that fails its own check, and the page then
// carries neither the barcode nor the QR code.
void PaymentCodesTest::failingReferenceIsMarkedAndGetsNoCodes()
{
    QFETCH(QString, reference);
    QFETCH(bool, fails);
    QTemporaryDir dir;
    FormFixture f(kBiller + "QrKoodi=1\r\n");
    TForm1 &form = f.form();
    QVERIFY(f.show());
    openInvoice(f, dir, {u"1;10,00;25,5"_s}, QString());
    form.ViiteNro1->setFocus();
    typeKeys(reference);

    QCOMPARE(form.ViiteNro1->palette().color(QPalette::Base) != form.SumAlv0->palette().color(QPalette::Base), fails);
    QCOMPARE(form.ViiteNro1->toolTip().isEmpty(), !fails);
    const QString pdf = exportPdf(f, dir);
    QCOMPARE(codeOnPage(pdf, dir.path(), 300, u"qrcode"_s).endsWith(QString(reference).remove(u' ') + u"\n\nReqdExctnDt/2026-12-21"_s),
             !fails);
    QCOMPARE(codeOnPage(pdf, dir.path(), 300, u"code128"_s).startsWith(reference.startsWith(u"RF"_s) ? u"5"_s : u"4"_s), !fails);
    QCOMPARE(toolOutput(u"pdftotext"_s, {pdf, u"-"_s}).contains(u"Virtuaaliviivakoodi"_s), !fails);
}

// A settings file without the new options stays as it is when the biller
// details are saved with them off; once used, an option keeps its line.
void PaymentCodesTest::newOptionsWrittenOnlyWhenUsed()
{
    FormFixture f(kBiller + "[Oma]\r\nx=1\r\n");
    TForm1 &form = f.form();
    QVERIFY(f.show());
    const auto confirm = [&](QCheckBox *option) {
        form.Laskuttajantiedot1->trigger();
        if (option)
            QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(4, option->height() / 2));
        else
            form.Puhelin1->setText(u"09 123"_s);
        QTest::mouseClick(form.Ok2, Qt::LeftButton);
        return f.settingsBytes();
    };

    const QByteArray written = confirm(nullptr);
    QVERIFY(!written.contains("RfViite") && !written.contains("QrKoodi"));
    form.Laskuttajantiedot1->trigger();
    form.Puhelin1->setText(u"09 124"_s);
    QTest::mouseClick(form.Ok2, Qt::LeftButton);
    QCOMPARE(f.settingsBytes(), QByteArray(written).replace("09 123", "09 124"));
    QByteArray file = confirm(form.RfViite1);
    QVERIFY(file.contains("\r\nRfViite=1\r\n") && !file.contains("QrKoodi"));
    file = confirm(form.RfViite1);
    QVERIFY(file.contains("\r\nRfViite=0\r\n"));
    file = confirm(form.QrKoodi1);
    QVERIFY(file.contains("\r\nQrKoodi=1\r\n"));

    // The option changes the next invoice's reference, not the one on screen.
    QCOMPARE(form.ViiteNro1->text(), u"1009"_s);
    form.Laskuttajantiedot1->trigger();
    QTest::mouseClick(form.RfViite1, Qt::LeftButton, {}, QPoint(4, form.RfViite1->height() / 2));
    QTest::mouseClick(form.Cancel2, Qt::LeftButton);
    QVERIFY(!form.RfViite1->isChecked());
}

QTEST_MAIN(PaymentCodesTest)
#include "tst_paymentcodes.moc"
