// What a payer's bank reads from the invoice: VAT by rate, the RF reference,
// the bank barcode with its digits printed as text, and the payment QR code,
// each read back from the PDF as a reader sees it.

#include "invoice/numbering.h"
#include "storage/cp1252.h"
#include "tests/support/formfixture.h"
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

// What ZBar reads of one symbology ("qrcode", "code128") on the PDF's last
// page at this resolution: the symbol's exact bytes.
QString codeOnPage(const QString &pdf, const QTemporaryDir &dir, int dpi, const QString &symbology)
{
    const QString png = dir.filePath(u"sivu%1"_s.arg(dpi));
    toolOutput(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, QString::number(dpi), u"-singlefile"_s, pdf, png});
    QString read = toolOutput(u"zbarimg"_s, {u"--quiet"_s, u"--raw"_s, u"-Sdisable"_s, u"-S%1.enable"_s.arg(symbology),
                                             u"-S%1.binary"_s.arg(symbology), png + u".png"_s});
    // --raw ends each symbol with a line break of its own.
    if (read.endsWith(u'\n'))
        read.chop(1);
    return read;
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

} // namespace

class PaymentCodesTest : public QObject
{
    Q_OBJECT

private slots:
    void vatByRateOnWindowAndPdf_data();
    void vatByRateOnWindowAndPdf();
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
        QCOMPARE(codeOnPage(pdf, dir, dpi, u"qrcode"_s), payment);
    QCOMPARE(codeOnPage(pdf, dir, 300, u"code128"_s), barcode);
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
    QCOMPARE(codeOnPage(pdf, dir, 300, u"code128"_s), coded ? barcode : QString());
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
    QCOMPARE(codeOnPage(pdf, dir, 300, u"qrcode"_s).endsWith(QString(reference).remove(u' ') + u"\n\nReqdExctnDt/2026-12-21"_s),
             !fails);
    QCOMPARE(codeOnPage(pdf, dir, 300, u"code128"_s).startsWith(reference.startsWith(u"RF"_s) ? u"5"_s : u"4"_s), !fails);
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
