// The program's string grid on its own: cell texts and counts, the
// cell-select, key and double-click hooks, read-only columns, Escape, Tab
// past a hook that moves the rows, sizes and border dragging. Qt's warnings
// of editing a cell that is not there fail every test.

#include "widgets/stringgrid.h"
#include "tests/support/formfixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A shown grid of four columns and five rows under one heading row, with
// the cursor on (1, 1).
class Grid
{
public:
    Grid()
    {
        grid->setFixed(0, 1);
        grid->setGeometry(0, 0, 300, 200);
        window.resize(300, 200);
        window.show();
        window.activateWindow();
        grid->setFocus();
        grid->setCurrentCell(1, 1);
    }
    bool shown() { return QTest::qWaitForWindowActive(&window); }
    QPoint centre(int column, int row) const { return grid->visualRect(grid->model()->index(row, column)).center(); }
    /// The open cell editor, or null.
    QLineEdit *editor() const { return qobject_cast<QLineEdit *>(QApplication::focusWidget()); }
    QPoint cursor() const { return QPoint(grid->col(), grid->row()); }

    QWidget window;
    StringGrid *grid = new StringGrid(4, 5, &window);
};

// Every row as "a|b|c|d", a cell's tag after "#" when it has one.
QStringList snapshot(const StringGrid *grid)
{
    QStringList rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->colCount(); ++c) {
            const int tag = grid->cellTag(c, r);
            cells.append(tag ? grid->cell(c, r) + u'#' + QString::number(tag) : grid->cell(c, r));
        }
        rows.append(cells.join(u'|'));
    }
    return rows;
}

using Change = void (*)(StringGrid *);
using Reading = int (*)(StringGrid *);
using Gesture = void (*)(Grid &);

} // namespace

class StringGridTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cellsAndCounts_data();
    void cellsAndCounts();
    void selectHookMayRefuseMove_data();
    void selectHookMayRefuseMove();
    void keyHookSeesKeysFirst_data();
    void keyHookSeesKeysFirst();
    void doubleClickHook_data();
    void doubleClickHook();
    void readOnlyColumnNeverTakesEditor_data();
    void readOnlyColumnNeverTakesEditor();
    void escapeRestoresCell_data();
    void escapeRestoresCell();
    void tabPastMovedRowsEditsWhereCursorIs_data();
    void tabPastMovedRowsEditsWhereCursorIs();
    void sizes_data();
    void sizes();
    void borderDragging_data();
    void borderDragging();
};

void StringGridTest::init()
{
    // "edit: index was invalid", "edit: editing failed": Qt tried to open an
    // editor on a cell the grid no longer has.
    QTest::failOnWarning(QRegularExpression(u"^edit: "_s));
}

void StringGridTest::cellsAndCounts_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("rows");
    const QString empty = u"|||"_s;
    QTest::newRow("a cell") << Change([](StringGrid *g) { g->setCell(1, 2, u"x"_s); })
                            << 4 << QStringList{empty, empty, u"|x||"_s, empty, empty};
    QTest::newRow("outside the grid nothing") << Change([](StringGrid *g) {
        g->setCell(4, 1, u"x"_s);
        g->setCell(0, 5, u"x"_s);
        g->setCell(-1, 0, u"x"_s);
    }) << 4 << QStringList(5, empty);
    QTest::newRow("a short row padded, a long one cut")
        << Change([](StringGrid *g) {
               g->setRowCells(1, {u"a"_s});
               g->setRowCells(2, {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s});
           })
        << 4 << QStringList{empty, u"a|||"_s, u"a|b|c|d"_s, empty, empty};
    QTest::newRow("more rows keep the texts") << Change([](StringGrid *g) {
        g->setCell(1, 4, u"x"_s);
        g->setCellTag(1, 4, 3);
        g->setRowCount(6);
    }) << 4 << QStringList{empty, empty, empty, empty, u"|x#3||"_s, empty};
    QTest::newRow("fewer rows forget the rest, tags too") << Change([](StringGrid *g) {
        g->setCell(1, 4, u"x"_s);
        g->setCellTag(1, 4, 3);
        g->setCellTag(1, 2, 2);
        g->setRowCount(4);
        g->setRowCount(5);
    }) << 4 << QStringList{empty, empty, u"|#2||"_s, empty, empty};
    QTest::newRow("more columns keep the texts") << Change([](StringGrid *g) {
        g->setCell(3, 1, u"d"_s);
        g->setColCount(5);
    }) << 5 << QStringList{u"||||"_s, u"|||d|"_s, u"||||"_s, u"||||"_s, u"||||"_s};
    QTest::newRow("all rows replaced, tags forgotten") << Change([](StringGrid *g) {
        g->setCellTag(1, 1, 1);
        g->setAllRows({{u"h"_s}, {u"a"_s, u"b"_s}});
    }) << 4 << QStringList{u"h|||"_s, u"a|b||"_s};
}

void StringGridTest::cellsAndCounts()
{
    QFETCH(Change, change);
    QFETCH(int, columns);
    QFETCH(QStringList, rows);
    StringGrid grid(4, 5);
    change(&grid);
    QCOMPARE(snapshot(&grid), rows);
    QCOMPARE(grid.rowCount(), rows.size());
    QCOMPARE(grid.colCount(), columns);
}

void StringGridTest::selectHookMayRefuseMove_data()
{
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QList<QPoint>>("asked");
    QTest::newRow("click on a refused cell")
        << Gesture([](Grid &g) { QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.centre(2, 3)); })
        << QPoint(1, 1) << QList<QPoint>{{2, 3}};
    QTest::newRow("click on an allowed cell")
        << Gesture([](Grid &g) { QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.centre(2, 2)); })
        << QPoint(2, 2) << QList<QPoint>{{2, 2}};
    QTest::newRow("arrow keys") << Gesture([](Grid &) {
        pressKey(Qt::Key_Down);
        pressKey(Qt::Key_Down);
    }) << QPoint(1, 2) << QList<QPoint>{{1, 2}, {1, 3}};
    QTest::newRow("moved by the program") << Gesture([](Grid &g) { g.grid->setCurrentCell(0, 3); }) << QPoint(1, 1)
                                          << QList<QPoint>{{0, 3}};
    QTest::newRow("heading row refused before the hook")
        << Gesture([](Grid &g) { QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.centre(1, 0)); })
        << QPoint(1, 1) << QList<QPoint>();
}

void StringGridTest::selectHookMayRefuseMove()
{
    QFETCH(Gesture, gesture);
    QFETCH(QPoint, cursor);
    QFETCH(QList<QPoint>, asked);
    Grid g;
    QVERIFY(g.shown());
    QList<QPoint> seen;
    g.grid->onSelectCell = [&seen](int column, int row) {
        seen.append(QPoint(column, row));
        return row != 3;
    };
    gesture(g);
    QCOMPARE(g.cursor(), cursor);
    QCOMPARE(seen, asked);
}

void StringGridTest::keyHookSeesKeysFirst_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<QList<int>>("seen");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QString>("cell");
    QTest::newRow("Enter taken by the hook") << QString() << int(Qt::Key_Return) << QList<int>{Qt::Key_Return}
                                             << QPoint(3, 1) << QString();
    QTest::newRow("Enter from an open editor") << u"ab"_s << int(Qt::Key_Return)
                                               << QList<int>{Qt::Key_A, Qt::Key_Return} << QPoint(3, 1) << u"ab"_s;
    QTest::newRow("other keys go on to the grid") << QString() << int(Qt::Key_Down) << QList<int>{Qt::Key_Down}
                                                  << QPoint(1, 2) << QString();
}

void StringGridTest::keyHookSeesKeysFirst()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QList<int>, seen);
    QFETCH(QPoint, cursor);
    QFETCH(QString, cell);
    Grid g;
    QVERIFY(g.shown());
    QList<int> keys;
    StringGrid *grid = g.grid;
    grid->onKeyDown = [&keys, grid](int pressed, Qt::KeyboardModifiers) {
        keys.append(pressed);
        if (pressed != Qt::Key_Return)
            return false;
        grid->setCurrentCell(3, grid->row());
        return true;
    };
    typeKeys(typed);
    pressKey(Qt::Key(key));
    QCOMPARE(keys, seen);
    QCOMPARE(g.cursor(), cursor);
    QCOMPARE(grid->cell(1, 1), cell);
    QCOMPARE(QApplication::focusWidget(), grid);
}

void StringGridTest::doubleClickHook_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("selected");
    QTest::newRow("a cell the hook serves") << 2 << QString() << u"kpl"_s << QString();
    QTest::newRow("its open editor") << 2 << u"pcs"_s << u"kpl"_s << QString();
    QTest::newRow("a cell the hook leaves") << 1 << QString() << QString() << QString();
    QTest::newRow("its open editor selects the word") << 1 << u"Kahvi"_s << u"Kahvi"_s << u"Kahvi"_s;
}

// The hook answers for the cell under the pointer, its editor open or not;
// where it does nothing the editor keeps its own double-click.
void StringGridTest::doubleClickHook()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, cell);
    QFETCH(QString, selected);
    Grid g;
    QVERIFY(g.shown());
    StringGrid *grid = g.grid;
    QList<QPoint> asked;
    grid->onDoubleClick = [&asked, grid](int c, int r) {
        asked.append(QPoint(c, r));
        if (c != 2)
            return false;
        grid->setCell(c, r, u"kpl"_s);
        return true;
    };
    QWidget *target = grid->viewport();
    QPoint position = g.centre(column, 2);
    if (!typed.isEmpty()) {
        typeIntoGrid(grid, column, 2, typed);
        target = g.editor();
        QVERIFY(target);
        position = QPoint(8, target->height() / 2);
    }
    doubleClick(target, position);
    QCOMPARE(asked.value(0), QPoint(column, 2));
    QCOMPARE(grid->cell(column, 2), cell);
    QCOMPARE(g.editor() ? g.editor()->selectedText() : QString(), selected);
}

void StringGridTest::readOnlyColumnNeverTakesEditor_data()
{
    QTest::addColumn<Gesture>("gesture");
    QTest::newRow("F2") << Gesture([](Grid &) { pressKey(Qt::Key_F2); });
    QTest::newRow("typing") << Gesture([](Grid &) { typeKeys(u"9"_s); });
    // A click on the current cell edits once the double-click time is over.
    QTest::newRow("click on the current cell") << Gesture([](Grid &g) {
        QTest::mouseClick(g.grid->viewport(), Qt::LeftButton, {}, g.centre(2, 1));
        QTest::qWait(QApplication::doubleClickInterval() + 100);
    });
    QTest::newRow("double-click")
        << Gesture([](Grid &g) { doubleClick(g.grid->viewport(), g.centre(2, 1)); });
}

void StringGridTest::readOnlyColumnNeverTakesEditor()
{
    QFETCH(Gesture, gesture);
    Grid g;
    QVERIFY(g.shown());
    g.grid->setReadOnlyColumns({2});
    g.grid->setCell(2, 1, u"24,80"_s);
    // Tab from the editor on its left lands on the column without an editor.
    typeIntoGrid(g.grid, 1, 1, u"a"_s);
    pressKey(Qt::Key_Tab);
    QCOMPARE(g.cursor(), QPoint(2, 1));
    gesture(g);
    typeKeys(u"9"_s);
    QCOMPARE(QApplication::focusWidget(), g.grid);
    QCOMPARE(g.grid->cell(2, 1), u"24,80"_s);
    QVERIFY(!g.grid->isCellEditable(2, 1));
}

void StringGridTest::escapeRestoresCell_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<Gesture>("edit");
    QTest::addColumn<QString>("edited");
    QTest::newRow("typed over") << u"vanha"_s << Gesture([](Grid &) { typeKeys(u"uusi"_s); }) << u"uusi"_s;
    QTest::newRow("added to with F2") << u"vanha"_s << Gesture([](Grid &) {
        pressKey(Qt::Key_F2);
        pressKey(Qt::Key_End);
        typeKeys(u"x"_s);
    }) << u"vanhax"_s;
    QTest::newRow("shortened with F2") << u"vanha"_s << Gesture([](Grid &) {
        pressKey(Qt::Key_F2);
        pressKey(Qt::Key_End);
        pressKey(Qt::Key_Backspace);
        pressKey(Qt::Key_Backspace);
    }) << u"van"_s;
    QTest::newRow("emptied") << u"vanha"_s << Gesture([](Grid &g) {
        pressKey(Qt::Key_F2);
        QTest::keySequence(g.editor(), QKeySequence::SelectAll);
        pressKey(Qt::Key_Delete);
    }) << QString();
    QTest::newRow("an empty cell") << QString() << Gesture([](Grid &) { typeKeys(u"abc"_s); }) << u"abc"_s;
}

// The cell follows every keystroke; Escape gives back what it held.
void StringGridTest::escapeRestoresCell()
{
    QFETCH(QString, before);
    QFETCH(Gesture, edit);
    QFETCH(QString, edited);
    Grid g;
    QVERIFY(g.shown());
    g.grid->setCell(1, 1, before);
    edit(g);
    QCOMPARE(g.grid->cell(1, 1), edited);
    pressKey(Qt::Key_Escape);
    QCOMPARE(g.grid->cell(1, 1), before);
    QCOMPARE(QApplication::focusWidget(), g.grid);
}

void StringGridTest::tabPastMovedRowsEditsWhereCursorIs_data()
{
    QTest::addColumn<Change>("moveRows");
    // As the register sorts a new customer into place: the typed row moves up.
    QTest::newRow("rows replaced") << Change([](StringGrid *g) {
        QList<QStringList> rows;
        for (int r = 0; r < g->rowCount(); ++r)
            rows.append(g->rowCells(r));
        rows.move(4, 1);
        g->setAllRows(rows);
    });
    QTest::newRow("rows taken away and put back") << Change([](StringGrid *g) {
        const QStringList typed = g->rowCells(4);
        g->setRowCount(2);
        g->setRowCount(5);
        g->setRowCells(1, typed);
    });
}

// Tab from a cell's editor asks the hook to move on; a hook that moves the
// rows and puts the cursor itself leaves Qt's own next cell stale, and the
// next keys go where the cursor is.
void StringGridTest::tabPastMovedRowsEditsWhereCursorIs()
{
    QFETCH(Change, moveRows);
    Grid g;
    QVERIFY(g.shown());
    StringGrid *grid = g.grid;
    bool moving = false;
    grid->onSelectCell = [&moving, moveRows, grid](int, int) {
        if (moving || grid->row() != 4)
            return true;
        moving = true;
        moveRows(grid);
        grid->setCurrentCell(2, 1);
        moving = false;
        return false;
    };
    typeIntoGrid(grid, 1, 4, u"Virtanen"_s);
    pressKey(Qt::Key_Tab);
    QCOMPARE(g.cursor(), QPoint(2, 1));
    typeKeys(u"Tie 1"_s);
    QCOMPARE(grid->rowCells(1), (QStringList{QString(), u"Virtanen"_s, u"Tie 1"_s, QString()}));
    QCOMPARE(grid->rowCells(4), QStringList(4));
}

void StringGridTest::sizes_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<Reading>("reading");
    QTest::addColumn<int>("expected");
    const Change width50 = [](StringGrid *g) { g->setColWidth(1, 50); };
    QTest::newRow("column width without the grid line")
        << width50 << Reading([](StringGrid *g) { return g->colWidth(1); }) << 50;
    QTest::newRow("column on screen with the grid line")
        << width50 << Reading([](StringGrid *g) { return g->columnWidth(1); }) << 51;
    QTest::newRow("negative width is none") << Change([](StringGrid *g) { g->setColWidth(1, -5); })
                                            << Reading([](StringGrid *g) { return g->colWidth(1); }) << 0;
    QTest::newRow("row height") << Change([](StringGrid *g) { g->setRowHeight(2, 30); })
                                << Reading([](StringGrid *g) { return g->rowHeight(2); }) << 30;
    QTest::newRow("other rows keep the default") << Change([](StringGrid *g) { g->setRowHeight(2, 30); })
                                                 << Reading([](StringGrid *g) { return g->rowHeight(3); }) << 20;
    QTest::newRow("new rows take a new default") << Change([](StringGrid *g) {
        g->setDefaultRowHeight(25);
        g->setRowCount(7);
    }) << Reading([](StringGrid *g) { return g->rowHeight(6); }) << 25;
}

void StringGridTest::sizes()
{
    QFETCH(Change, change);
    QFETCH(Reading, reading);
    QFETCH(int, expected);
    StringGrid grid(4, 5);
    change(&grid);
    QCOMPARE(reading(&grid), expected);
}

void StringGridTest::borderDragging_data()
{
    QTest::addColumn<bool>("columns");
    QTest::addColumn<bool>("rows");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<QSize>("size");
    QTest::newRow("column border, columns resizable") << true << false << QPoint(20, 0) << QSize(85, 20);
    QTest::newRow("row border, rows resizable") << false << true << QPoint(0, 10) << QSize(65, 30);
    QTest::newRow("column border, rows resizable only") << false << true << QPoint(20, 0) << QSize(65, 20);
    QTest::newRow("row border, columns resizable only") << true << false << QPoint(0, 10) << QSize(65, 20);
    QTest::newRow("nothing resizable") << false << false << QPoint(20, 10) << QSize(65, 20);
    QTest::newRow("never below one pixel") << true << true << QPoint(-200, 0) << QSize(1, 20);
}

// Size is (width of column 1, height of row 1) after dragging the border at
// their shared corner's right or bottom edge.
void StringGridTest::borderDragging()
{
    QFETCH(bool, columns);
    QFETCH(bool, rows);
    QFETCH(QPoint, drag);
    QFETCH(QSize, size);
    Grid g;
    QVERIFY(g.shown());
    StringGrid *grid = g.grid;
    grid->setColWidth(1, 65);
    grid->setRowHeight(1, 20);
    grid->setResizable(columns, rows);
    const QRect cell = grid->visualRect(grid->model()->index(1, 1));
    const QPoint border = drag.x() ? QPoint(cell.right() + 1, cell.center().y())
                                   : QPoint(cell.center().x(), cell.bottom() + 1);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(grid->viewport(), border + drag);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, border + drag);
    QCOMPARE(QSize(grid->colWidth(1), grid->rowHeight(1)), size);
}

QTEST_MAIN(StringGridTest)
#include "tst_stringgrid.moc"
