// Whole-row commands of the rows grid's popup menu: empty, delete and insert
// a row, and copy all rows to the clipboard and paste them back.

#include "app/Unit1.h"
#include "storage/textfile.h"
#include "widgets/stringgrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>

namespace {

// Moving or emptying a row starts its hidden unit index again.
void setRow(StringGrid *grid, int row, const QStringList &cells)
{
    grid->setRowCells(row, cells);
    grid->setCellTag(UnitColumn, row, 0);
}

} // namespace

void TForm1::connectRowCommands()
{
    connectCommand(Tyhjarivi1, &QAction::triggered, &TForm1::Tyhjarivi1Click);
    connectCommand(Poistarivi1, &QAction::triggered, &TForm1::Poistarivi1Click);
    connectCommand(Lisarivi1, &QAction::triggered, &TForm1::Lisarivi1Click);
    connectCommand(Copy2, &QAction::triggered, &TForm1::Copy2Click);
    connectCommand(Paste2, &QAction::triggered, &TForm1::Paste2Click);
}

void TForm1::Tyhjarivi1Click()
{
    const int r = LaskuRivit1->row();
    if (r < 1)
        return;
    LaskuRivit1->commitEdit();
    setRow(LaskuRivit1, r, QStringList());
}

void TForm1::Poistarivi1Click()
{
    const int r = LaskuRivit1->row();
    if (r < 1)
        return;
    LaskuRivit1->commitEdit();
    const int last = LaskuRivit1->rowCount() - 1;
    for (int row = r; row < last; ++row)
        setRow(LaskuRivit1, row, LaskuRivit1->rowCells(row + 1));
    setRow(LaskuRivit1, last, QStringList());
}

void TForm1::Lisarivi1Click()
{
    const int r = LaskuRivit1->row();
    if (r < 1)
        return;
    LaskuRivit1->commitEdit();
    for (int row = LaskuRivit1->rowCount() - 1; row > r; --row)
        setRow(LaskuRivit1, row, LaskuRivit1->rowCells(row - 1));
    setRow(LaskuRivit1, r, QStringList());
}

void TForm1::Copy2Click()
{
    LaskuRivit1->commitEdit();
    QStringList lines;
    GridToLines(LaskuRivit1, lines);
    QString text;
    for (const QString &line : std::as_const(lines))
        text += line + QStringLiteral("\r\n");
    QApplication::clipboard()->setText(text);
    Paste2->setEnabled(true);
}

void TForm1::Paste2Click()
{
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    const QStringList lines = SplitTextLines(text);
    // Files are refused as they are read; a clipboard text is checked here.
    if (const QString reason = LinesRefusal(lines); !reason.isEmpty()) {
        m_prompter->message(this, PastedLinesRefusedText(reason));
        return;
    }
    LaskuRivit1->commitEdit();
    LinesToGrid(LaskuRivit1, lines);
    RecalcInvoice();
}
