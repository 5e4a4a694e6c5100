// "Hyvityslasku" as a person uses it: a saved invoice opened with "Nouda
// lasku" or chosen in "Laskut" becomes a credit note with the next number;
// saved with "VALMIS/TALLENNA" as a PDF without payment codes, reopened as a
// credit note, and shown in the ledger against the invoice it credits.

#include "invoice/numbering.h"
#include "storage/cp1252.h"
#include "storage/invoicefile.h"
#include "invoice/creditnote.h"
#include "storage/ledgerwindow.h"
#include "storage/payments.h"
#include "storage/textfile.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Invoice 1 of 1.12.2026: two rows without VAT in the prices, 124,38 with VAT.
InvoiceData original()
{
    InvoiceData data;
    data.header = {u"1"_s, u"1.12.2026"_s, AppendCheckDigit(u"100"_s), u"2345678-0"_s, u"7"_s, YesNoText(false),
                   YesNoText(false), u"14 pv netto"_s, u"8 %"_s, u"7 pv"_s, u"15.12.2026"_s};
    data.customer = {u"Virtanen Oy"_s, u"Katu 1"_s, QString(), u"00100 HELSINKI"_s};
    data.rows = {{QString(), u"Työ"_s, u"1"_s, u"h"_s, u"80,00"_s, u"25,5"_s, QString()},
                 {QString(), u"Tarvike"_s, u"2"_s, u"kpl"_s, u"9,55"_s, u"25,5"_s, QString()}};
    return data;
}

QStringList shown(const LedgerWindow &window, LedgerColumn column)
{
    QStringList texts;
    const QAbstractItemModel *model = window.Taulukko->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, column).data().toString());
    return texts;
}

QString cellOf(const LedgerWindow &window, const QString &number, LedgerColumn column)
{
    return shown(window, column).value(shown(window, LedgerNumberColumn).indexOf(number));
}

LedgerWindow *openLedger(FormFixture &fixture)
{
    chooseFromMenuBar(fixture.form(), {u"Tiedosto"_s, u"Laskut…"_s});
    return fixture.form().LedgerList;
}

// A save folder holding the original invoice as 2026/1.csv; the folder with
// its separator.
QString saveFolderWithOriginal(const QTemporaryDir &data)
{
    const QString dataDir = data.path() + u'/';
    QDir().mkpath(dataDir + u"2026"_s);
    WriteTextLines(dataDir + u"2026/1.csv"_s, InvoiceFileLines(original()));
    return dataDir;
}

} // namespace

class CreditNoteTest : public QObject
{
    Q_OBJECT

private slots:
    void creditNoteSavedPrintedAndLedgered_data();
    void creditNoteSavedPrintedAndLedgered();
    void creditNoteNeedsAnOpenedInvoice();
    void creditNotePrintsNoPaymentFields_data();
    void creditNotePrintsNoPaymentFields();
    void paidInvoiceCreditedIsRefundDueAndNotCreditedAgain();
};

// A new invoice has nothing to credit: the user hears how to choose one, and
// the page stays an invoice.
void CreditNoteTest::creditNoteNeedsAnOpenedInvoice()
{
    FormFixture fixture;
    QVERIFY(fixture.show());
    chooseFromMenuBar(fixture.form(), {u"Tiedosto"_s, u"Hyvityslasku"_s});
    QCOMPARE(fixture.prompter().takeMessages(),
             QStringList{u"Nouda ensin hyvitettävä lasku (\"Nouda lasku\")."_s});
    QCOMPARE(fixture.form().Lasku1->text(), u"LASKU"_s);
}

void CreditNoteTest::creditNoteSavedPrintedAndLedgered_data()
{
    QTest::addColumn<bool>("fromLedger");
    QTest::addColumn<bool>("removeRow");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("originalStatus");
    QTest::addColumn<QString>("originalOpen");
    QTest::newRow("from the menu, whole") << false << false << u"-124,37"_s << u"hyvitetty"_s << u"0,00"_s;
    QTest::newRow("from the ledger, one row") << true << true << u"-100,40"_s << u"avoin"_s << u"23,97"_s;
}

void CreditNoteTest::creditNoteSavedPrintedAndLedgered()
{
    QFETCH(bool, fromLedger);
    QFETCH(bool, removeRow);
    QFETCH(QString, total);
    QFETCH(QString, originalStatus);
    QFETCH(QString, originalOpen);

    QTemporaryDir data;
    const QString dataDir = saveFolderWithOriginal(data);
    const QString originalPath = dataDir + u"2026/1.csv"_s;
    FormFixture fixture(stringToCp1252(u"[File]\r\nOletDir="_s + dataDir
                                       + u"\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\nSeurLasku=5\r\nPdfOletus=1\r\n"
                                         "Viivakoodi=1\r\nQrKoodi=1\r\nIban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\n"_s));
    TForm1 &form = fixture.form();
    QVERIFY(fixture.show());

    if (fromLedger) {
        LedgerWindow *ledger = openLedger(fixture);
        QVERIFY(ledger);
        const QModelIndex cell = ledger->Taulukko->model()->index(0, LedgerCustomerColumn);
        QTest::mouseClick(ledger->Taulukko->viewport(), Qt::LeftButton, {}, ledger->Taulukko->visualRect(cell).center());
        QTest::mouseClick(ledger->Hyvityslasku, Qt::LeftButton);
    } else {
        fixture.prompter().answerOpen(originalPath);
        chooseFromMenuBar(form, {u"Tiedosto"_s, u"Nouda lasku"_s});
        QCOMPARE(form.Lasku1->text(), u"LASKU"_s);
        chooseFromMenuBar(form, {u"Tiedosto"_s, u"Hyvityslasku"_s});
    }
    StringGrid *grid = form.LaskuRivit1;
    QCOMPARE(form.LaskuNro1->text(), u"5"_s);
    QCOMPARE(form.LaskuPvm1->text(), u"7.12.2026"_s);
    QCOMPARE(form.Lasku1->text(), u"HYVITYSLASKU"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virtanen Oy"_s);
    QCOMPARE(grid->cell(TextColumn, 1), u"Hyvitys laskulle 1 (1.12.2026)"_s);
    QCOMPARE(grid->cell(QuantityColumn, 1), QString());
    QCOMPARE(grid->cell(TextColumn, 2), u"Työ"_s);
    QCOMPARE(grid->cell(QuantityColumn, 2), u"-1"_s);
    QCOMPARE(grid->cell(QuantityColumn, 3), u"-2"_s);
    QCOMPARE(form.MaksuEhto2->text(), u"14 pv netto"_s);
    QCOMPARE(form.TotSum->text(), u"-124,37"_s);
    if (removeRow) {
        clickCell(grid, TextColumn, 3);
        chooseFromGridPopup(form.FontPopup1, grid, TextColumn, 3, u"Poista rivi"_s);
    }

    const QString pdf = dataDir + u"5.pdf"_s;
    fixture.prompter().answerSave(pdf);
    QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    const QString creditPath = dataDir + u"2026/5.csv"_s;
    const InvoiceData saved = ReadInvoiceFile(creditPath);
    QCOMPARE(saved.header.value(CreditedYearField), u"2026"_s);
    QCOMPARE(saved.header.value(CreditedNumberField), u"1"_s);
    const QString text = toolOutput(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    QVERIFY2(text.contains(u"HYVITYSLASKU"_s), qPrintable(text));
    QVERIFY2(text.contains(total), qPrintable(text));
    // Nothing is to be paid: no giro form, no codes.
    QVERIFY2(!text.contains(u"maksujenvälityksen"_s), qPrintable(text));
    QCOMPARE(codeOnPage(pdf, data.path(), 300, u"qrcode"_s), QString());
    QCOMPARE(codeOnPage(pdf, data.path(), 300, u"code128"_s), QString());
    // The next invoice is an invoice again.
    QCOMPARE(form.Lasku1->text(), u"LASKU"_s);
    QCOMPARE(form.LaskuNro1->text(), u"6"_s);

    fixture.prompter().answerOpen(creditPath);
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Nouda lasku"_s});
    QCOMPARE(form.Lasku1->text(), u"HYVITYSLASKU"_s);
    QCOMPARE(form.TotSum->text(), total);

    LedgerWindow *ledger = openLedger(fixture);
    QVERIFY(ledger);
    ledger->refresh();
    QCOMPARE(cellOf(*ledger, u"1"_s, LedgerStatusColumn), originalStatus);
    QCOMPARE(cellOf(*ledger, u"1"_s, LedgerOpenColumn), originalOpen);
    QCOMPARE(cellOf(*ledger, u"5"_s, LedgerTotalColumn), total);
    QCOMPARE(cellOf(*ledger, u"5"_s, LedgerStatusColumn), u"hyvitetty"_s);
    QCOMPARE(cellOf(*ledger, u"5"_s, LedgerOpenColumn), u"0,00"_s);
}

void CreditNoteTest::creditNotePrintsNoPaymentFields_data()
{
    QTest::addColumn<bool>("printer");
    QTest::newRow("Tulosta pdf") << false;
    QTest::newRow("Tulosta, to a printer that writes a file") << true;
}

// Nothing is paid on a credit note: its page leaves the due date, the terms,
// the penalty interest and the reference blank, captions and all, where the
// invoice it credits prints them.
void CreditNoteTest::creditNotePrintsNoPaymentFields()
{
    QFETCH(bool, printer);
    QTemporaryDir data;
    const QString dataDir = saveFolderWithOriginal(data);
    const QString originalPath = dataDir + u"2026/1.csv"_s;
    FormFixture fixture(stringToCp1252(u"[File]\r\nOletDir="_s + dataDir
                                       + u"\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\nSeurLasku=5\r\n"
                                         "Iban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\n"_s));
    TForm1 &form = fixture.form();
    QVERIFY(fixture.show());
    const auto printed = [&](const QString &name) {
        const QString pdf = dataDir + name;
        if (printer) {
            fixture.prompter().answerPrinter(pdf);
            chooseFromMenuBar(form, {u"Tiedosto"_s, u"Tulosta"_s});
        } else {
            fixture.prompter().answerSave(pdf);
            chooseFromMenuBar(form, {u"Tiedosto"_s, u"Tulosta pdf"_s});
        }
        // Blanks as pdftotext spaces them differ from the page's ("8 %" reads "8%").
        return toolOutput(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s}).remove(u' ');
    };
    const QStringList captions = {u"Eräpäivä"_s, u"Maksuehto"_s, u"Viivästyskorko"_s, u"Viitenumero"_s};

    fixture.prompter().answerOpen(originalPath);
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Nouda lasku"_s});
    const QString invoice = printed(u"lasku.pdf"_s);
    for (const QString &shown : captions + QStringList{u"14pvnetto"_s, u"8%"_s, u"15.12.2026"_s, u"1009"_s})
        QVERIFY2(invoice.contains(shown), qPrintable(shown + u" not in:\n"_s + invoice));

    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Hyvityslasku"_s});
    const QStringList values = {form.EraPv2->text(), form.MaksuEhto2->text(), form.ViivKorko2->text(),
                                form.ViiteNro1->text()};
    QCOMPARE(values.mid(1, 2), (QStringList{u"14 pv netto"_s, u"8 %"_s}));
    const QString credit = printed(u"hyvitys.pdf"_s);
    QVERIFY2(credit.contains(u"HYVITYSLASKU"_s) && credit.contains(u"Laskunnumero"_s), qPrintable(credit));
    for (QString blank : captions + values) {
        blank.remove(u' ');
        QVERIFY2(blank.isEmpty() || !credit.contains(blank), qPrintable(blank + u" in:\n"_s + credit));
    }
}

// Invoice 1 paid, then credited whole by 5: the money is owed back, and the
// credit note cannot be credited from "Laskut" nor from the menu; the page
// stays as it was.
void CreditNoteTest::paidInvoiceCreditedIsRefundDueAndNotCreditedAgain()
{
    QTemporaryDir data;
    const QString dataDir = saveFolderWithOriginal(data);
    const QString creditPath = dataDir + u"2026/5.csv"_s;
    WriteTextLines(creditPath, InvoiceFileLines(CreditNoteOf(original(), {u"5"_s, u"7.12.2026"_s, u"1054"_s})));
    WritePaymentsFile(PaymentsFilePath(dataDir), {Payment{u"2026"_s, u"1"_s, QDate(2026, 12, 3), 12437, QString(),
                                                          QString(), QString(), kManualPaymentSource.toString()}});
    FormFixture fixture(stringToCp1252(u"[File]\r\nOletDir="_s + dataDir
                                       + u"\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\nSeurLasku=6\r\n"_s));
    TForm1 &form = fixture.form();
    QVERIFY(fixture.show());
    LedgerWindow *ledger = openLedger(fixture);
    QVERIFY(ledger);
    QCOMPARE(cellOf(*ledger, u"1"_s, LedgerStatusColumn), u"palautettava"_s);
    QCOMPARE(cellOf(*ledger, u"1"_s, LedgerOpenColumn), u"-124,37"_s);
    QCOMPARE(cellOf(*ledger, u"5"_s, LedgerStatusColumn), u"hyvitetty"_s);
    QCOMPARE(cellOf(*ledger, u"5"_s, LedgerOpenColumn), u"0,00"_s);

    const QString refused = u"Lasku 5 on hyvityslasku (laskulle 1); hyvityslaskua ei voi hyvittää. "
                            "Jos hyvitys oli liian suuri, tee asiakkaalle uusi lasku."_s;
    const int row = int(shown(*ledger, LedgerNumberColumn).indexOf(u"5"_s));
    const QModelIndex cell = ledger->Taulukko->model()->index(row, LedgerCustomerColumn);
    QTest::mouseClick(ledger->Taulukko->viewport(), Qt::LeftButton, {}, ledger->Taulukko->visualRect(cell).center());
    QTest::mouseClick(ledger->Hyvityslasku, Qt::LeftButton);
    QCOMPARE(fixture.prompter().takeMessages(), QStringList{refused});
    QCOMPARE(fixture.prompter().messageWindows, QStringList{u"Laskut"_s});
    QCOMPARE(form.LaskuNro1->text(), u"6"_s);
    QCOMPARE(form.Lasku1->text(), u"LASKU"_s);

    fixture.prompter().answerOpen(creditPath);
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Nouda lasku"_s});
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Hyvityslasku"_s});
    QCOMPARE(fixture.prompter().takeMessages(), QStringList{refused});
    QCOMPARE(form.LaskuNro1->text(), u"5"_s);
    QCOMPARE(form.Lasku1->text(), u"HYVITYSLASKU"_s);
    QCOMPARE(form.TotSum->text(), u"-124,37"_s);
}

QTEST_MAIN(CreditNoteTest)
#include "tst_creditnote.moc"
