// Whole-row commands of the rows grid's popup menu: empty, delete and insert
// a row, copy all rows to the clipboard and paste them back; and the
// shopping-cart paste, which makes a new invoice of a listing.

#include "app/Unit1.h"
#include "invoice/shoppingcart.h"
#include "storage/textfile.h"
#include "widgets/stringgrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
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
    connectCommand(Paste1, &QAction::triggered, &TForm1::Paste1Click);
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
    const QStringList lines = SplitTextLines(text, EmptyLines::Keep);
    // Files are refused as they are read; a clipboard text is checked here.
    if (const QString reason = LinesRefusal(lines); !reason.isEmpty()) {
        m_prompter->message(this, PastedLinesRefusedText(reason));
        return;
    }
    LaskuRivit1->commitEdit();
    LinesToGrid(LaskuRivit1, lines);
    RecalcInvoice();
}

void TForm1::Paste1Click()
{
    const std::optional<ShoppingCart> cart = ParseShoppingCart(QApplication::clipboard()->text());
    if (!cart)
        return;
    if (!cart->refusal.isEmpty()) {
        m_prompter->message(this, ShoppingCartRefusedText(cart->refusal));
        return;
    }
    Uusi1Click();
    // Shops show prices with VAT.
    SisAlv1->setChecked(true);
    // May fill the business ID, customer number and last address line from the register.
    AsiakNimi1->setEditText(cart->name);
    AsiakOsoite1->setCell(kBlockTextColumn, CustomerNameLine, cart->name);
    AsiakOsoite1->setCell(kBlockTextColumn, CustomerAddress1Line, cart->address1);
    AsiakOsoite1->setCell(kBlockTextColumn, CustomerAddress2Line, cart->address2);

    QList<QStringList> rows;
    rows.reserve(cart->items.size());
    for (const CartItem &item : cart->items) {
        QStringList cells(RowColumnCount);
        cells[CodeColumn] = item.code;
        cells[TextColumn] = item.description;
        cells[QuantityColumn] = item.quantity;
        cells[UnitColumn] = item.unit;
        cells[PriceColumn] = item.price;
        cells[VatColumn] = m_profile.vatPercent;
        rows.append(std::move(cells));
    }
    // Every item gets a row, past the page's rows as for an opened invoice.
    LisaRivit1->setChecked(rows.size() > kPageRowLines);
    RowsToGrid(LaskuRivit1, std::move(rows));
    RecalcInvoice();
    // What the invoice does not show whole is named while the listing is at hand.
    if (!cart->problems.isEmpty())
        m_prompter->message(this, ShoppingCartProblemsText(cart->problems));
}
