// The invoice on the page and its snapshot: collecting the widgets' texts
// into an InvoiceData and showing one on the widgets, the only mapping
// between the two.

#include "app/Unit1.h"
#include "widgets/stringgrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <array>

namespace {

// The header edits in the order of the header values.
std::array<QLineEdit *, HeaderFieldCount> headerEdits(const TForm1 &form)
{
    return {form.LaskuNro1, form.LaskuPvm1, form.ViiteNro1, form.AsiakY1, form.AsiakNro1};
}

} // namespace

InvoiceData TForm1::CollectInvoice() const
{
    InvoiceData invoice;
    for (const QLineEdit *edit : headerEdits(*this))
        invoice.header.append(edit->text());
    invoice.customer.append(AsiakNimi1->currentText());
    for (int line = CustomerAddress1Line; line < CustomerLineCount; ++line)
        invoice.customer.append(AsiakOsoite1->cell(kBlockTextColumn, line));
    for (int r = 1; r < LaskuRivit1->rowCount(); ++r)
        invoice.rows.append(LaskuRivit1->rowCells(r));
    return invoice;
}

void TForm1::ShowInvoice(const InvoiceData &invoice)
{
    const auto edits = headerEdits(*this);
    for (qsizetype i = 0; i < std::min(invoice.header.size(), qsizetype(edits.size())); ++i)
        edits[i]->setText(invoice.header[i]);

    for (int line = 0; line < std::min(int(invoice.customer.size()), int(CustomerLineCount)); ++line)
        AsiakOsoite1->setCell(kBlockTextColumn, line, invoice.customer[line]);
    // The address just shown is the invoice's own, not the register's.
    FillingCustomer = true;
    AsiakNimi1->setEditText(AsiakOsoite1->cell(kBlockTextColumn, CustomerNameLine));
    FillingCustomer = false;

    // Lay out the page for the rows first: the layout sets the grid's row
    // count, and rows beyond it would otherwise be cut off.
    LisaRivit1->setChecked(invoice.rows.size() > kPageRowLines);
    RowsToGrid(LaskuRivit1, invoice.rows);
}
