// The rows grid's popup commands: emptying, deleting and inserting rows, and
// carrying rows over the clipboard.

#include "widgets/stringgrid.h"
#include "tests/support/formfixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A column's cells from row `first` to row `last`, joined by "|".
QString columnText(const StringGrid *grid, int column, int first, int last)
{
    QStringList texts;
    for (int r = first; r <= last; ++r)
        texts.append(grid->cell(column, r));
    return texts.join(u'|');
}

void fillRows(StringGrid *grid, int rows)
{
    for (int r = 1; r <= rows; ++r) {
        grid->setCell(1, r, u"Rivi "_s + QString::number(r));
        grid->setCell(2, r, u"1"_s);
        grid->setCell(4, r, QString::number(r));
        grid->setCell(5, r, u"0"_s);
    }
}

} // namespace

class RowCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void rowCommand_data();
    void rowCommand();
    void unitIndexRestartsInMovedRows();
    void copyAndPasteCarryRowsToNewInvoice();
    void pastedLinesReplaceRowsInPlace_data();
    void pastedLinesReplaceRowsInPlace();
    void pasteIsEnabledOnlyWithClipboardText();
};

void RowCommandsTest::rowCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("descriptions");
    QTest::addColumn<QString>("prices");
    QTest::addColumn<QString>("lastRows");
    QTest::newRow("empty row 2") << u"Tyhjää rivi"_s << 2 << u"Rivi 1||Rivi 3|Rivi 4|Rivi 5|"_s
                                 << u"1,00||3,00|4,00|5,00|"_s << u"|Viimeinen"_s;
    QTest::newRow("delete row 3") << u"Poista rivi"_s << 3 << u"Rivi 1|Rivi 2|Rivi 4|Rivi 5||"_s
                                  << u"1,00|2,00|4,00|5,00||"_s << u"Viimeinen|"_s;
    QTest::newRow("insert at row 2") << u"Lisää rivi"_s << 2 << u"Rivi 1||Rivi 2|Rivi 3|Rivi 4|Rivi 5"_s
                                     << u"1,00||2,00|3,00|4,00|5,00"_s << u"|"_s;
}

// Each cell keeps its column, and the totals wait for the next recalculation.
void RowCommandsTest::rowCommand()
{
    QFETCH(QString, command);
    QFETCH(int, row);
    QFETCH(QString, descriptions);
    QFETCH(QString, prices);
    QFETCH(QString, lastRows);
    FormFixture f;
    QVERIFY(f.show());
    TForm1 &form = f.form();
    StringGrid *grid = form.LaskuRivit1;
    fillRows(grid, 5);
    grid->setCell(1, 15, u"Viimeinen"_s);
    form.RecalcInvoice();
    QCOMPARE(form.TotSum->text(), u"15,00"_s);

    clickCell(grid, 1, row);
    chooseFromGridPopup(form.FontPopup1, grid, 1, row, command);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(columnText(grid, 1, 1, 6), descriptions);
    QCOMPARE(columnText(grid, 4, 1, 6), prices);
    QCOMPARE(columnText(grid, 1, 14, 15), lastRows);
    QCOMPARE(form.TotSum->text(), u"15,00"_s);
}

void RowCommandsTest::unitIndexRestartsInMovedRows()
{
    FormFixture f;
    TForm1 &form = f.form();
    form.LaskuRivit1DblClick(3, 2);
    form.LaskuRivit1DblClick(3, 2);
    QCOMPARE(form.LaskuRivit1->cell(3, 2), u"h"_s);
    form.LaskuRivit1->setCurrentCell(1, 1);
    form.Lisarivi1->trigger();
    QCOMPARE(form.LaskuRivit1->cell(3, 3), u"h"_s);
    form.LaskuRivit1DblClick(3, 3);
    QCOMPARE(form.LaskuRivit1->cell(3, 3), u"kpl"_s);
}

void RowCommandsTest::copyAndPasteCarryRowsToNewInvoice()
{
    FormFixture f;
    TForm1 &form = f.form();
    StringGrid *grid = form.LaskuRivit1;
    fillRows(grid, 3);
    grid->setCell(0, 2, u"A, \"B\""_s);
    form.Copy2->trigger();
    const QString copied = QApplication::clipboard()->text();
    QCOMPARE(copied.count(u"\r\n"_s), 3);
    QVERIFY(copied.endsWith(u"\r\n"_s));
    QVERIFY(form.Paste2->isEnabled());

    form.Uusi1Click();
    fillRows(grid, 5);
    grid->setCell(1, 4, u"Jää"_s);
    form.Paste2->trigger();
    QCOMPARE(columnText(grid, 1, 1, 5), u"Rivi 1|Rivi 2|Rivi 3|Jää|Rivi 5"_s);
    QCOMPARE(grid->cell(0, 2), u"A, \"B\""_s);
    QCOMPARE(grid->cell(0, 1), u" "_s);
    QCOMPARE(form.TotSum->text(), u"15,00"_s);

    // More rows than the page holds all arrive.
    QString many;
    for (int i = 1; i <= 20; ++i)
        many += u"x,Tuote"_s + QString::number(i) + u",1,\" \",2,0\r\n"_s;
    QApplication::clipboard()->setText(many);
    form.Paste2->trigger();
    QCOMPARE(grid->rowCount(), 22);
    QCOMPARE(grid->cell(1, 20), u"Tuote20"_s);
    QCOMPARE(form.TotSum->text(), u"40,00"_s);
}

void RowCommandsTest::pastedLinesReplaceRowsInPlace_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("codesAndDescriptions");
    QTest::addColumn<QString>("total");
    const QString emptied = u"Eka/|/|Kolmas/|/Rivi 4"_s;
    QTest::newRow("blank line empties its row") << u"Eka\r\n\r\nKolmas\r\n"_s << emptied << u"4,00"_s;
    QTest::newRow("blanks and empty quotes empty a row") << u"Eka\n  ,\"\",\nKolmas"_s << emptied << u"4,00"_s;
    QTest::newRow("lines ended by CR") << u"Eka\r\rKolmas\r"_s << emptied << u"4,00"_s;
    QTest::newRow("final line break adds no row")
        << u"Eka\r\n"_s << u"Eka/|/Rivi 2|/Rivi 3|/Rivi 4"_s << u"9,00"_s;
    QTest::newRow("blank lines at the end leave the rows below")
        << u"Eka\r\n\r\n \r\n"_s << u"Eka/|/Rivi 2|/Rivi 3|/Rivi 4"_s << u"9,00"_s;
}

// Each pasted line stands for the row of its place, an empty line too.
void RowCommandsTest::pastedLinesReplaceRowsInPlace()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, codesAndDescriptions);
    QFETCH(QString, total);
    FormFixture f;
    QVERIFY(f.show());
    TForm1 &form = f.form();
    StringGrid *grid = form.LaskuRivit1;
    fillRows(grid, 4);
    form.RecalcInvoice();
    QApplication::clipboard()->setText(clipboard);

    chooseFromGridPopup(form.FontPopup1, grid, 1, 1, u"Liitä rivit"_s);
    if (QTest::currentTestFailed())
        return;

    QStringList rows;
    for (int r = 1; r <= 4; ++r)
        rows.append(grid->cell(0, r) + u'/' + grid->cell(1, r));
    QCOMPARE(rows.join(u'|'), codesAndDescriptions);
    QCOMPARE(form.TotSum->text(), total);
}

void RowCommandsTest::pasteIsEnabledOnlyWithClipboardText()
{
    QApplication::clipboard()->setText(u"Osoite, jonka käyttäjä kopioi"_s);
    FormFixture f;
    QVERIFY(f.show());
    TForm1 &form = f.form();
    // Starting the program leaves what the user copied elsewhere alone.
    QCOMPARE(QApplication::clipboard()->text(), u"Osoite, jonka käyttäjä kopioi"_s);
    QVERIFY(!form.Paste2->isEnabled());
    QTest::mouseClick(form.LaskuRivit1->viewport(), Qt::RightButton, {}, QPoint(60, 30));
    QVERIFY(form.Paste2->isEnabled());
    form.FontPopup1->hide();
    QApplication::clipboard()->clear();
    QTest::mouseClick(form.LaskuRivit1->viewport(), Qt::RightButton, {}, QPoint(60, 30));
    QVERIFY(!form.Paste2->isEnabled());
    form.FontPopup1->hide();
}

QTEST_MAIN(RowCommandsTest)
#include "tst_rowcommands.moc"
