// Filling in an invoice on the page as a person does: the rows grid's cursor
// walk, totals, mirrors on the giro form, the new-invoice command and layout.

#include "widgets/bevel.h"
#include "widgets/stringgrid.h"
#include "invoice/invoicedata.h"
#include "storage/cp1252.h"
#include "storage/invoicefile.h"
#include "tests/support/formfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString nbsp = QString(QChar(0xA0));

// Replaces a header field's text by typing, as a person selects it and types.
void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

// The header values of a saved invoice file, one a HeaderField.
QStringList savedHeader(const QString &path)
{
    return ReadInvoiceFile(path).header;
}

} // namespace

class InvoiceEditingTest : public QObject
{
    Q_OBJECT

private slots:
    void startupShowsNewInvoiceOnPageAndGiro();
    void quantityThenPriceFillsRowAndTotals();
    void vatRateTypedByUserIsKept_data();
    void vatRateTypedByUserIsKept();
    void enterWalk_data();
    void enterWalk();
    void totalColumnNeverTakesCursor_data();
    void totalColumnNeverTakesCursor();
    void totalColumnNeverTakesEditor_data();
    void totalColumnNeverTakesEditor();
    void leavingEmptyRowDoesNotRecalculate();
    void editingTotalByHandUpdatesGiro();
    void headingDoubleClickCycles();
    void unitDoubleClickFollowsHiddenIndex();
    void unitDoubleClickOnOpenEditorCycles();
    void extraRowsMoveGiroAndBack();
    void newInvoiceClearsAndKeepsCounters();
    void dueDateFollowsTypedDateAndTerms_data();
    void dueDateFollowsTypedDateAndTerms();
    void pricesIncludeVatToggleRecalculates();
    void overflowShowsMessageAndKeepsTotals();
    void hugePasteIntoCellIsHandled();
    void fieldsHaveAccessibleNames();
    void columnMoveTogglesResizing();
};

void InvoiceEditingTest::startupShowsNewInvoiceOnPageAndGiro()
{
    FormFixture f;
    TForm1 &form = f.form();
    QCOMPARE(form.windowTitle(), u"Laskutus"_s);
    QCOMPARE(form.LaskuPvm1->text(), u"7.12.2026"_s);
    QCOMPARE(form.EraPv2->text(), u"21.12.2026"_s);
    QCOMPARE(form.LaskuNro1->text(), u"1"_s);
    QCOMPARE(form.ViiteNro1->text(), u"1009"_s);
    QCOMPARE(form.LaskuPvm2->text(), u"7.12.2026"_s);
    QCOMPARE(form.EraPv3->text(), u"21.12.2026"_s);
    QCOMPARE(form.LaskuNro2->text(), u"1"_s);
    QCOMPARE(form.ViiteNro2->text(), u"1009"_s);
    QCOMPARE(form.Alv1->text(), u"25,5"_s);
    QCOMPARE(form.LaskuRivit1->rowCount(), 16);
    const QStringList headings = {u" "_s, u"Selite"_s, u"Määrä"_s, u" Yks."_s, u"á hinta"_s,
                                  u"Alv-%"_s, u"Yht. €"_s};
    for (int c = 0; c < 7; ++c)
        QCOMPARE(form.LaskuRivit1->cell(c, 0), headings[c]);
    QCOMPARE(form.AsiakRekisteri1->cell(5, 0), u"As.nro"_s);
    QVERIFY(form.OmatTiedot1->isHidden());
    QVERIFY(form.AsiakBox1->isHidden());
    QCOMPARE(form.width(), 817);
    QCOMPARE(form.PankkiSiirto1->y() + form.PankkiSiirto1->height(), 1099);
}

void InvoiceEditingTest::quantityThenPriceFillsRowAndTotals()
{
    FormFixture f;
    QVERIFY(f.show());
    StringGrid *grid = f.form().LaskuRivit1;
    typeIntoGrid(grid, 2, 1, u"2"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(grid->col(), 3);
    pressKey(Qt::Key_Return);
    QCOMPARE(grid->col(), 4);
    typeKeys(u"10"_s);
    pressKey(Qt::Key_Return);

    QCOMPARE(grid->row(), 2);
    QCOMPARE(grid->col(), 1);
    QCOMPARE(grid->cell(5, 1), u"25,5"_s);
    QCOMPARE(grid->cell(4, 1), u"10,00"_s);
    QCOMPARE(grid->cell(6, 1), u"25,10"_s);
    QCOMPARE(f.form().SumAlv0->text(), u"20,00"_s);
    QCOMPARE(f.form().AlvSum1->text(), u"5,10"_s);
    QCOMPARE(f.form().TotSum->text(), u"25,10"_s);
    QCOMPARE(f.form().TotSum2->text(), u"25,10"_s);
}

void InvoiceEditingTest::vatRateTypedByUserIsKept_data()
{
    QTest::addColumn<QString>("vat");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("total");
    QTest::newRow("food 13,5 %") << u"13,5"_s << u"13,5"_s << u"22,70"_s;
    QTest::newRow("decimal with full stop") << u"25.5"_s << u"25.5"_s << u"25,10"_s;
    QTest::newRow("books 10 %") << u"10"_s << u"10"_s << u"22,00"_s;
    QTest::newRow("zero rate") << u"0"_s << u"0"_s << u"20,00"_s;
    QTest::newRow("negative gets default") << u"-5"_s << u"25,5"_s << u"25,10"_s;
    QTest::newRow("text gets default") << u"alv"_s << u"25,5"_s << u"25,10"_s;
}

void InvoiceEditingTest::vatRateTypedByUserIsKept()
{
    QFETCH(QString, vat);
    QFETCH(QString, shown);
    QFETCH(QString, total);
    FormFixture f;
    QVERIFY(f.show());
    StringGrid *grid = f.form().LaskuRivit1;
    grid->setCell(5, 1, vat);
    typeIntoGrid(grid, 2, 1, u"2"_s);
    pressKey(Qt::Key_Return);
    pressKey(Qt::Key_Return);
    typeKeys(u"10"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(grid->cell(5, 1), shown);
    QCOMPARE(grid->cell(6, 1), total);

    // Editing the quantity again keeps the rate.
    typeIntoGrid(grid, 2, 1, u"3"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(grid->cell(5, 1), shown);
}

void InvoiceEditingTest::enterWalk_data()
{
    QTest::addColumn<int>("fromColumn");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("toColumn");
    QTest::addColumn<int>("toRow");
    QTest::newRow("code to description") << 0 << 3 << 1 << 3;
    QTest::newRow("unit to price") << 3 << 3 << 4 << 3;
    QTest::newRow("price to next description") << 4 << 3 << 1 << 4;
    QTest::newRow("VAT to next description") << 5 << 3 << 1 << 4;
    QTest::newRow("last row stays") << 4 << 15 << 1 << 15;
}

void InvoiceEditingTest::enterWalk()
{
    QFETCH(int, fromColumn);
    QFETCH(int, fromRow);
    QFETCH(int, toColumn);
    QFETCH(int, toRow);
    FormFixture f;
    QVERIFY(f.show());
    StringGrid *grid = f.form().LaskuRivit1;
    grid->setFocus();
    grid->setCurrentCell(fromColumn, fromRow);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(grid->col(), toColumn);
    QCOMPARE(grid->row(), toRow);
}

void InvoiceEditingTest::totalColumnNeverTakesCursor_data()
{
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<int>("clickedRow");
    QTest::addColumn<int>("expectedRow");
    QTest::newRow("goes below the current row, not the clicked one") << 2 << 7 << 3;
    QTest::newRow("last row stays") << 15 << 3 << 15;
}

void InvoiceEditingTest::totalColumnNeverTakesCursor()
{
    QFETCH(int, currentRow);
    QFETCH(int, clickedRow);
    QFETCH(int, expectedRow);
    FormFixture f;
    QVERIFY(f.show());
    StringGrid *grid = f.form().LaskuRivit1;
    grid->setCurrentCell(2, currentRow);
    const QRect cell = grid->visualRect(grid->model()->index(clickedRow, 6));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(grid->col(), 1);
    QCOMPARE(grid->row(), expectedRow);

    // Tab from the VAT cell cannot land there either.
    grid->setCurrentCell(5, 1);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(grid->col(), 1);
    QCOMPARE(grid->row(), 2);
}

void InvoiceEditingTest::totalColumnNeverTakesEditor_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("action");
    QTest::newRow("Tab from the VAT cell's open editor") << 5 << 1 << u"24"_s << u"Tab"_s;
    QTest::newRow("Tab from the VAT cell") << 5 << 1 << QString() << u"Tab"_s;
    QTest::newRow("Shift+Tab from the code cell's open editor") << 0 << 2 << u"x"_s << u"Backtab"_s;
    QTest::newRow("Shift+Tab from the code cell") << 0 << 2 << QString() << u"Backtab"_s;
    QTest::newRow("Enter from the VAT cell's open editor") << 5 << 1 << u"24"_s << u"Return"_s;
    QTest::newRow("right arrow from the VAT cell") << 5 << 1 << QString() << u"Right"_s;
    QTest::newRow("End on the row") << 2 << 1 << QString() << u"End"_s;
    QTest::newRow("Home, then End") << 5 << 1 << QString() << u"Home End"_s;
    QTest::newRow("click on the total") << 5 << 1 << u"24"_s << u"click"_s;
    QTest::newRow("double-click on the total") << 5 << 1 << QString() << u"double-click"_s;
}

// Whatever key, click or editor leads there, the row total never takes the
// cursor or an editor: what is typed next lands elsewhere and the total stays.
void InvoiceEditingTest::totalColumnNeverTakesEditor()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, action);
    FormFixture f;
    QVERIFY(f.show());
    StringGrid *grid = f.form().LaskuRivit1;
    grid->setCell(2, 1, u"2"_s);
    grid->setCell(4, 1, u"10"_s);
    grid->setCell(5, 1, u"24"_s);
    grid->setFocus();
    grid->setCurrentCell(4, 1);
    grid->setCurrentCell(column, row);
    typeKeys(typed);

    const QMap<QString, Qt::Key> keys = {{u"Tab"_s, Qt::Key_Tab}, {u"Backtab"_s, Qt::Key_Backtab},
                                         {u"Return"_s, Qt::Key_Return}, {u"Right"_s, Qt::Key_Right},
                                         {u"End"_s, Qt::Key_End}, {u"Home"_s, Qt::Key_Home}};
    const QPoint total = grid->visualRect(grid->model()->index(1, 6)).center();
    for (const QString &step : action.split(u' ')) {
        if (step == u"click")
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, total);
        else if (step == u"double-click")
            doubleClick(grid->viewport(), total);
        else
            pressKey(keys.value(step));
    }
    QVERIFY(grid->col() != 6);
    typeKeys(u"999"_s);
    pressKey(Qt::Key_Return);

    for (int r = 1; r < grid->rowCount(); ++r)
        QVERIFY2(!grid->cell(6, r).contains(u"999"_s), qPrintable(grid->cell(6, r)));
    QCOMPARE(grid->cell(6, 1), u"24,80"_s);
    QCOMPARE(f.form().SumAlv0->text(), u"20,00"_s);
    QCOMPARE(f.form().AlvSum1->text(), u"4,80"_s);
    QCOMPARE(f.form().TotSum->text(), u"24,80"_s);
}

void InvoiceEditingTest::leavingEmptyRowDoesNotRecalculate()
{
    FormFixture f;
    QVERIFY(f.show());
    StringGrid *grid = f.form().LaskuRivit1;
    typeIntoGrid(grid, 1, 1, u"Työ"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(f.form().TotSum->text(), QString());

    // A row that has a total recalculates when any of its cells is left.
    grid->setCell(2, 2, u"1"_s);
    grid->setCell(4, 2, u"5"_s);
    grid->setCell(6, 2, u"x"_s);
    grid->setCurrentCell(0, 2);
    grid->setCurrentCell(1, 2);
    // An empty rate counts as 0 % when the row was not left from quantity or price.
    QCOMPARE(grid->cell(6, 2), u"5,00"_s);
    QCOMPARE(f.form().TotSum->text(), u"5,00"_s);
}

void InvoiceEditingTest::editingTotalByHandUpdatesGiro()
{
    FormFixture f;
    f.form().TotSum->setText(u"99,00"_s);
    QCOMPARE(f.form().TotSum2->text(), u"99,00"_s);
    f.form().LaskuNro1->setText(u"57"_s);
    QCOMPARE(f.form().LaskuNro2->text(), u"57"_s);
    f.form().RecalcInvoice();
    QCOMPARE(f.form().TotSum2->text(), u"0,00"_s);
}

void InvoiceEditingTest::headingDoubleClickCycles()
{
    FormFixture f;
    TForm1 &form = f.form();
    const QStringList expected = {u"ID"_s, u"Item"_s, u"Rivi"_s, u" "_s};
    for (const QString &heading : expected) {
        form.LaskuRivit1DblClick(0, 0);
        QCOMPARE(form.LaskuRivit1->cell(0, 0), heading);
    }
    form.LaskuRivit1DblClick(1, 0);
    QCOMPARE(form.LaskuRivit1->cell(1, 0), u"Tuote"_s);
    form.LaskuRivit1DblClick(1, 0);
    QCOMPARE(form.LaskuRivit1->cell(1, 0), u"Selite"_s);
    form.LaskuRivit1DblClick(2, 3);
    QCOMPARE(form.LaskuRivit1->cell(2, 3), QString());

    // Through the mouse too.
    QVERIFY(f.show());
    const QRect heading = form.LaskuRivit1->visualRect(form.LaskuRivit1->model()->index(0, 0));
    QTest::mouseDClick(form.LaskuRivit1->viewport(), Qt::LeftButton, {}, heading.center());
    QCOMPARE(form.LaskuRivit1->cell(0, 0), u"ID"_s);
}

void InvoiceEditingTest::unitDoubleClickFollowsHiddenIndex()
{
    FormFixture f;
    TForm1 &form = f.form();
    form.LaskuRivit1DblClick(3, 2);
    QCOMPARE(form.LaskuRivit1->cell(3, 2), u"kpl"_s);
    form.LaskuRivit1->setCell(3, 2, u"pcs"_s);
    form.LaskuRivit1DblClick(3, 2);
    QCOMPARE(form.LaskuRivit1->cell(3, 2), u"h"_s);
    form.LaskuRivit1DblClick(3, 2);
    form.LaskuRivit1DblClick(3, 2);
    QCOMPARE(form.LaskuRivit1->cell(3, 2), u" "_s);

    // A new invoice resets the hidden index with the row.
    form.LaskuRivit1DblClick(3, 4);
    form.Uusi1Click();
    form.LaskuRivit1DblClick(3, 4);
    QCOMPARE(form.LaskuRivit1->cell(3, 4), u"kpl"_s);
}

void InvoiceEditingTest::unitDoubleClickOnOpenEditorCycles()
{
    FormFixture f;
    QVERIFY(f.show());
    StringGrid *grid = f.form().LaskuRivit1;
    const QPoint unit = grid->visualRect(grid->model()->index(2, 3)).center();
    doubleClick(grid->viewport(), unit);
    QCOMPARE(grid->cell(3, 2), u"kpl"_s);

    // The cell under the pointer decides, its editor open or not.
    typeIntoGrid(grid, 3, 2, u"pcs"_s);
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor != grid);
    QCOMPARE(grid->cell(3, 2), u"pcs"_s);
    doubleClick(editor, editor->rect().center());
    QCOMPARE(grid->cell(3, 2), u"h"_s);

    // In a text cell the double-click stays the editor's own: it selects a word.
    typeIntoGrid(grid, 1, 2, u"Kahvi"_s);
    editor = QApplication::focusWidget();
    doubleClick(editor, QPoint(8, editor->height() / 2));
    QCOMPARE(QApplication::focusWidget(), editor);
    QCOMPARE(qobject_cast<QLineEdit *>(editor)->selectedText(), u"Kahvi"_s);
    QCOMPARE(grid->cell(1, 2), u"Kahvi"_s);
    QCOMPARE(grid->cell(3, 2), u"h"_s);
}

void InvoiceEditingTest::extraRowsMoveGiroAndBack()
{
    FormFixture f;
    TForm1 &form = f.form();
    const int giroTop = form.PankkiSiirto1->y();
    form.LisaRivit1->setChecked(true);
    QCOMPARE(form.LaskuRivit1->rowCount(), 34);
    QCOMPARE(form.LaskuPanel1->height(), 1099 - 157);
    QCOMPARE(form.PankkiSiirto1->y(), 1099);
    form.LisaRivit1->setChecked(false);
    QCOMPARE(form.LaskuRivit1->rowCount(), 16);
    QCOMPARE(form.PankkiSiirto1->y(), giroTop);

    // Rows holding text are not dropped when the page gets shorter.
    form.LisaRivit1->setChecked(true);
    form.LaskuRivit1->setCell(1, 30, u"Rivi 30"_s);
    form.LisaRivit1->setChecked(false);
    QCOMPARE(form.LaskuRivit1->rowCount(), 31);
    QCOMPARE(form.LaskuRivit1->cell(1, 30), u"Rivi 30"_s);

    // A new invoice unchecks it.
    form.LisaRivit1->setChecked(true);
    form.Uusi1Click();
    QVERIFY(!form.LisaRivit1->isChecked());
    QCOMPARE(form.LaskuRivit1->rowCount(), 16);
}

void InvoiceEditingTest::newInvoiceClearsAndKeepsCounters()
{
    FormFixture f;
    TForm1 &form = f.form();
    form.LaskuRivit1->setCell(1, 1, u"Työ"_s);
    form.AsiakY1->setText(u"1234567-8"_s);
    form.AsiakOsoite1->setCell(1, 2, u"Katu 1"_s);
    form.AsiakOsoite2->setText(u"Katu 1"_s);
    form.NextNr1->setText(u"0042"_s);
    form.NextViite1->setText(u"1000"_s);
    form.Ok2Click();
    form.MaksuEhto2->setText(u"netto"_s);
    f.prompter().setToday(QDate(2028, 2, 15));
    form.Uusi1Click();
    QCOMPARE(form.LaskuRivit1->cell(1, 1), QString());
    QCOMPARE(form.AsiakY1->text(), QString());
    QCOMPARE(form.AsiakOsoite1->cell(1, 2), QString());
    QCOMPARE(form.AsiakOsoite2->text(), QString());
    QCOMPARE(form.LaskuNro1->text(), u"42"_s);
    QCOMPARE(form.ViiteNro1->text(), u"10003"_s);
    QCOMPARE(form.ViiteNro2->text(), u"10003"_s);
    QCOMPARE(form.LaskuPvm1->text(), u"15.2.2028"_s);
    QCOMPARE(form.EraPv2->text(), u"15.2.2028"_s);
    QCOMPARE(form.MaksuEhto2->text(), u"netto"_s);
    QCOMPARE(form.TotSum->text(), QString());
    QCOMPARE(form.NextNr1->text(), u"0042"_s);
}

void InvoiceEditingTest::dueDateFollowsTypedDateAndTerms_data()
{
    // Each step types into "Laskun päiväys" (date), "Maksuehto" (terms) or
    // "Eräpäivä" (due); the invoice starts on 7.12.2026, "14 pv netto".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("terms");
    QTest::addColumn<QString>("due");
    QTest::newRow("date typed") << QStringList{u"date=1.11.2026"_s} << u"14 pv netto"_s << u"15.11.2026"_s;
    QTest::newRow("date over the year end") << QStringList{u"date=28.12.2026"_s} << u"14 pv netto"_s
                                            << u"11.1.2027"_s;
    QTest::newRow("terms typed") << QStringList{u"terms=30 pv netto"_s} << u"30 pv netto"_s << u"6.1.2027"_s;
    QTest::newRow("terms without days") << QStringList{u"terms=netto"_s} << u"netto"_s << u"7.12.2026"_s;
    QTest::newRow("date, then terms") << QStringList{u"date=1.11.2026"_s, u"terms=7 pv"_s} << u"7 pv"_s
                                      << u"8.11.2026"_s;
    QTest::newRow("due date typed stands") << QStringList{u"date=1.11.2026"_s, u"due=30.11.2026"_s}
                                           << u"14 pv netto"_s << u"30.11.2026"_s;
    QTest::newRow("typed due date gives way to the date")
        << QStringList{u"due=30.11.2026"_s, u"date=2.11.2026"_s} << u"14 pv netto"_s << u"16.11.2026"_s;
    QTest::newRow("typed due date gives way to the terms")
        << QStringList{u"due=30.11.2026"_s, u"terms=21 pv"_s} << u"21 pv"_s << u"28.12.2026"_s;
}

void InvoiceEditingTest::dueDateFollowsTypedDateAndTerms()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, terms);
    QFETCH(QString, due);
    QTemporaryDir saveFolder;
    FormFixture f(stringToCp1252(u"[File]\r\nOletDir="_s + saveFolder.path() + u"/\r\n"_s));
    QVERIFY(f.show());
    TForm1 &form = f.form();
    QCOMPARE(form.EraPv2->text(), u"21.12.2026"_s);
    const QHash<QString, QLineEdit *> fields = {
        {u"date"_s, form.LaskuPvm1}, {u"terms"_s, form.MaksuEhto2}, {u"due"_s, form.EraPv2}};
    for (const QString &step : std::as_const(steps))
        retype(fields.value(step.section(u'=', 0, 0)), step.section(u'=', 1));
    QCOMPARE(form.EraPv2->text(), due);
    QCOMPARE(form.EraPv3->text(), due);

    form.AsiakNimi1->setEditText(u"Yritys Oy"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"1"_s, QString(), u"10,00"_s, u"25,5"_s});
    QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    QCOMPARE(f.prompter().takeMessages(), QStringList());
    const QStringList header = savedHeader(saveFolder.filePath(u"2026/1.csv"_s));
    QCOMPARE(header.value(PaymentTermsField), terms);
    QCOMPARE(header.value(DueDateField), due);
}

void InvoiceEditingTest::pricesIncludeVatToggleRecalculates()
{
    FormFixture f;
    TForm1 &form = f.form();
    form.LaskuRivit1->setCell(2, 1, u"1"_s);
    form.LaskuRivit1->setCell(4, 1, u"12,55"_s);
    form.LaskuRivit1->setCell(5, 1, u"25,5"_s);
    form.SisAlv1->setChecked(true);
    QCOMPARE(form.LaskuRivit1->cell(6, 1), u"12,55"_s);
    QCOMPARE(form.AlvSum1->text(), u"2,55"_s);
    QCOMPARE(form.SumAlv0->text(), u"10,00"_s);

    // Row totals that include VAT are not given the VAT a second time.
    form.YhtSisAlv->setChecked(false);
    form.RecalcInvoice();
    QCOMPARE(form.TotSum->text(), u"12,55"_s);
    QCOMPARE(form.SumAlv0->text(), u"10,00"_s);

    // The default keeps "Rivi yht. sis. alv" checked.
    form.SisAlv2->setChecked(true);
    QVERIFY(form.YhtSisAlv->isChecked());
    // A new invoice follows the default and recalculates the emptied rows.
    form.SisAlv1->setChecked(false);
    form.Uusi1Click();
    QVERIFY(form.SisAlv1->isChecked());
    QCOMPARE(form.TotSum->text(), u"0,00"_s);
}

void InvoiceEditingTest::overflowShowsMessageAndKeepsTotals()
{
    FormFixture f;
    TForm1 &form = f.form();
    form.LaskuRivit1->setCell(2, 1, u"1"_s);
    form.LaskuRivit1->setCell(4, 1, u"5"_s);
    form.LaskuRivit1->setCell(2, 2, u"1e30"_s);
    form.LaskuRivit1->setCell(4, 2, u"1e30"_s);
    form.TotSum->setText(u"1,00"_s);
    form.RecalcInvoice();
    QCOMPARE(f.prompter().takeMessages(), QStringList{u"Floating point overflow"_s});
    QCOMPARE(form.LaskuRivit1->cell(4, 1), u"5,00"_s);
    QCOMPARE(form.TotSum->text(), u"1,00"_s);
}

void InvoiceEditingTest::hugePasteIntoCellIsHandled()
{
    FormFixture f;
    QVERIFY(f.show());
    StringGrid *grid = f.form().LaskuRivit1;
    const QString huge = QString(10000, u'9');
    grid->setCell(2, 1, huge);
    grid->setCell(4, 1, u"1"_s + QString(10000, u'x'));
    grid->setCurrentCell(2, 1);
    grid->setCurrentCell(1, 2);
    QCOMPARE(grid->cell(4, 1), QString());
    typeIntoGrid(grid, 1, 3, u"a"_s);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->insert(QString(10000, u'b'));
    pressKey(Qt::Key_Return);
    QCOMPARE(grid->cell(1, 3).size(), 10001);
}

void InvoiceEditingTest::fieldsHaveAccessibleNames()
{
    FormFixture f;
    TForm1 &form = f.form();
    QCOMPARE(form.LaskuPvm1->accessibleName(), u"Laskun päiväys"_s);
    QCOMPARE(form.TotSum->accessibleName(), u"Lasku yhteensä euroa"_s);
    QCOMPARE(form.Alv1->accessibleName(), u"Yleinen alv-%"_s);
    const auto edits = form.findChildren<QLineEdit *>();
    for (const QLineEdit *edit : edits) {
        if (edit->parent() && edit->parent()->inherits("QAbstractSpinBox"))
            continue;
        if (edit->parent() && edit->parent()->inherits("QComboBox"))
            continue;
        QVERIFY2(!edit->accessibleName().isEmpty(), qPrintable(edit->objectName()));
    }
    for (const QCheckBox *box : form.findChildren<QCheckBox *>())
        QVERIFY2(!box->accessibleName().isEmpty(), qPrintable(box->objectName()));
    for (const StringGrid *grid : form.findChildren<StringGrid *>())
        QVERIFY2(!grid->accessibleName().isEmpty(), qPrintable(grid->objectName()));
}

void InvoiceEditingTest::columnMoveTogglesResizing()
{
    FormFixture f;
    QVERIFY(f.show());
    TForm1 &form = f.form();
    StringGrid *grid = form.LaskuRivit1;
    const int before = grid->colWidth(1);
    const QRect cell = grid->visualRect(grid->model()->index(1, 1));
    const QPoint border(cell.right() + 1, cell.center().y());
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(grid->viewport(), border + QPoint(30, 0));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
    QCOMPARE(grid->colWidth(1), before);

    form.ColMove1->trigger();
    QVERIFY(form.ColMove1->isChecked());
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(grid->viewport(), border + QPoint(30, 0));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
    QCOMPARE(grid->colWidth(1), before + 30);
}

QTEST_MAIN(InvoiceEditingTest)
#include "tst_invoiceediting.moc"
