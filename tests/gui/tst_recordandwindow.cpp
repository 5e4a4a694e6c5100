// The invoice record built in code, with no window, gives the totals, VAT
// lines, due date and payment codes that the same invoice typed into the
// window shows and prints.

#include "invoice/invoicerecord.h"
#include "output/bankbarcode.h"
#include "output/paymentcodes.h"
#include "storage/invoicefile.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"
#include "widgets/stringgrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kBiller = "[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\n"
                           "Viivakoodi=1\r\nQrKoodi=1\r\nSeurViite=100\r\nMaksuehto=30 pv netto\r\n";

// The rows as "quantity;price;VAT %"; the due date counted from the terms.
InvoiceRecord recordInCode(const QStringList &rows, const QString &reference, bool pricesWithVat)
{
    InvoiceRecord record;
    record.invoice.header = {u"1"_s, u"7.12.2026"_s, reference, QString(), QString(), YesNoText(pricesWithVat),
                             YesNoText(true), u"30 pv netto"_s, QString(), QString()};
    record.invoice.customer = {u"Matti"_s, u"Katu 1"_s, QString(), QString()};
    for (const QString &row : rows) {
        const QStringList cells = row.split(u';');
        record.invoice.rows.append({QString(), u"Tuote"_s, cells[0], QString(), cells[1], cells[2], QString()});
    }
    record.biller.officialName = u"Testi Oy"_s;
    record.biller.iban = u"FI21 1234 5600 0007 85"_s;
    record.biller.bic = u"NDEAFIHH"_s;
    return record;
}

// The VAT lines as "Alv 10 %|30,00|3,00", as the window shows them.
QStringList rateLines(const QList<VatRateLine> &rates)
{
    QStringList lines;
    if (rates.size() < 2)
        return lines;
    for (const VatRateLine &rate : rates)
        lines.append(u"Alv %1 %|%2|%3"_s.arg(rate.rate, rate.withoutVat, rate.vat));
    return lines;
}

QStringList shownRateLines(const TForm1 &form)
{
    QStringList shown;
    for (qsizetype i = 3; i + 2 < form.VatRateLabels.size(); i += 3) {
        shown.append(form.VatRateLabels[i]->text() + u'|' + form.VatRateLabels[i + 1]->text() + u'|'
                     + form.VatRateLabels[i + 2]->text());
    }
    return shown;
}

} // namespace

class RecordAndWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void recordMatchesTypedInvoice_data();
    void recordMatchesTypedInvoice();
};

void RecordAndWindowTest::recordMatchesTypedInvoice_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("rf");
    QTest::addColumn<bool>("pricesWithVat");
    QTest::addColumn<bool>("stillTyping");
    QTest::newRow("one rate") << QStringList{u"2;50,00;25,5"_s, u"1;10,00;25,5"_s} << false << false << false;
    QTest::newRow("three rates") << QStringList{u"2;50,00;25,5"_s, u"1;30,00;10"_s, u"3;4,20;13,5"_s,
                                                u"1;0,99;25,5"_s}
                                 << false << false << false;
    QTest::newRow("prices with VAT") << QStringList{u"3;72,60;25,5"_s, u"1;11,00;10"_s} << false << true << false;
    QTest::newRow("RF reference") << QStringList{u"2;1234,5;25,5"_s} << true << false << false;
    // The last VAT rate still in its cell's editor when "Tulosta pdf" is
    // chosen: the page, the giro form and the codes all count it.
    QTest::newRow("printed while typing") << QStringList{u"2;50,00;25,5"_s, u"1;10,00;14"_s} << false << false << true;
}

void RecordAndWindowTest::recordMatchesTypedInvoice()
{
    QFETCH(QStringList, rows);
    QFETCH(bool, rf);
    QFETCH(bool, pricesWithVat);
    QFETCH(bool, stillTyping);
    const InvoiceRecord record = recordInCode(rows, rf ? u"RF18 1009"_s : u"1009"_s, pricesWithVat);
    const InvoiceTotals totals = RecordTotals(record);

    QTemporaryDir dir;
    FormFixture f(kBiller + (rf ? "RfViite=1\r\n" : ""));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.AsiakNimi1->setEditText(u"Matti"_s);
    if (pricesWithVat)
        QTest::mouseClick(form.SisAlv1, Qt::LeftButton);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows[r].split(u';');
        typeIntoGrid(form.LaskuRivit1, TextColumn, int(r) + 1, u"Tuote"_s);
        typeIntoGrid(form.LaskuRivit1, QuantityColumn, int(r) + 1, cells[0]);
        typeIntoGrid(form.LaskuRivit1, PriceColumn, int(r) + 1, cells[1]);
        typeIntoGrid(form.LaskuRivit1, VatColumn, int(r) + 1, cells[2]);
    }
    if (!stillTyping) {
        pressKey(Qt::Key_Tab);
        // The window's own record derives the same.
        const InvoiceRecord collected = form.CollectRecord();
        QCOMPARE(RecordTotals(collected).total, totals.total);
        QCOMPARE(RecordBankBarcode(collected), RecordBankBarcode(record));
        QCOMPARE(RecordEpcQrText(collected), RecordEpcQrText(record));
    }

    const QString pdf = dir.filePath(u"lasku.pdf"_s);
    f.prompter().answerSave(pdf);
    form.Pdfexport1->trigger();

    QCOMPARE(form.ViiteNro1->text(), record.invoice.header[ReferenceField]);
    QCOMPARE(form.SumAlv0->text(), totals.withoutVat);
    QCOMPARE(form.AlvSum1->text(), totals.vat);
    QCOMPARE(form.TotSum->text(), totals.total);
    QCOMPARE(form.TotSum2->text(), totals.total);
    QCOMPARE(shownRateLines(form), rateLines(totals.rates));
    QCOMPARE(form.EraPv2->text(), RecordDueDate(record));
    QCOMPARE(RecordDueDate(record), u"6.1.2027"_s);
    const QString barcode = RecordBankBarcode(record);
    QCOMPARE(barcode.size(), kBankBarcodeLength);
    QCOMPARE(codeOnPage(pdf, dir.path(), 300, u"code128"_s), barcode);
    QCOMPARE(codeOnPage(pdf, dir.path(), 300, u"qrcode"_s), RecordEpcQrText(record).value_or(u"(none)"_s));
    const QString text = toolOutput(u"pdftotext"_s, {pdf, u"-"_s});
    const QRegularExpressionMatch virtualBarcode = QRegularExpression(u"Virtuaaliviivakoodi\\s+\\d+"_s).match(text);
    QCOMPARE(virtualBarcode.captured().simplified(), RecordVirtualBarcode(record).simplified());
}

QTEST_MAIN(RecordAndWindowTest)
#include "tst_recordandwindow.moc"
