// The invoice drawn on a PDF page as a reader sees it: its texts searchable
// with poppler, its barcode read back with ZBar from the rendered page.

#include "output/bankbarcode.h"
#include "output/pdfhdr2.h"
#include "tests/support/formfixture.h"
#include "widgets/stringgrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return u"<%1 did not run>"_s.arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

const QByteArray kBiller = "[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\n"
                           "Viivakoodi=1\r\nSeurLasku=57\r\n";

} // namespace

class RenderTest : public QObject
{
    Q_OBJECT

private slots:
    void pdfPageShowsInvoiceAndBarcode();
};

void RenderTest::pdfPageShowsInvoiceAndBarcode()
{
    FormFixture f(kBiller);
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
    form.RenderInvoice(true, true);
    pdf.EndDoc();

    const QString text = run(u"pdftotext"_s, {u"-layout"_s, pdf.FileName, u"-"_s});
    for (const QString &shown : {u"LASKU"_s, u"Matti Meikäläinen"_s, u"Kuusikatu 1"_s, u"Suunnittelutyö"_s,
                                 u"125,50"_s, u"Testi Oy"_s, u"FI21 1234 5600 0007 85"_s, u"57"_s})
        QVERIFY2(text.contains(shown), qPrintable(shown + u" not in:\n"_s + text));

    const QString content = BuildBankBarcode(form.Iban3->text(), form.TotSum2->text(), form.ViiteNro2->text(),
                                             form.EraPv3->text());
    QCOMPARE(content.size(), kBankBarcodeLength);
    const QString png = dir.filePath(u"page"_s);
    run(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, u"300"_s, u"-singlefile"_s, pdf.FileName, png});
    QCOMPARE(run(u"zbarimg"_s, {u"--quiet"_s, u"--raw"_s, u"-Sdisable"_s, u"-Scode128.enable"_s, png + u".png"_s}).trimmed(), content);
}

QTEST_MAIN(RenderTest)
#include "tst_render.moc"
