// The invoice on the page and its snapshot: collecting the widgets' texts
// into an InvoiceData or a whole InvoiceRecord and showing one on the
// widgets, the only mapping between the two; the biller it is issued with
// shown on the page's labels.

#include "app/Unit1.h"
#include "invoice/creditnote.h"
#include "invoice/reminderpage.h"
#include "storage/invoicefile.h"
#include "widgets/stringgrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

// The edit holding a header value; nullptr for the VAT modes, which are states.
QLineEdit *headerEdit(const TForm1 &form, int field)
{
    switch (field) {
    case InvoiceNumberField: return form.LaskuNro1;
    case InvoiceDateField: return form.LaskuPvm1;
    case ReferenceField: return form.ViiteNro1;
    case BusinessIdField: return form.AsiakY1;
    case CustomerNumberField: return form.AsiakNro1;
    case PaymentTermsField: return form.MaksuEhto2;
    case PenaltyInterestField: return form.ViivKorko2;
    case ReminderTimeField: return form.HuomAika2;
    case DueDateField: return form.EraPv2;
    default: return nullptr;
    }
}

} // namespace

bool TForm1::RowTotalsWithVat() const
{
    return InvoiceRowTotalsWithVat.value_or(m_profile.defaults.rowTotalsWithVat);
}

InvoiceData TForm1::CollectInvoice() const
{
    InvoiceData invoice;
    for (int field = 0; field < HeaderFieldCount; ++field) {
        if (const QLineEdit *edit = headerEdit(*this, field))
            invoice.header.append(edit->text());
        else if (field == UnitPricesWithVatField)
            invoice.header.append(YesNoText(SisAlv1->isChecked()));
        else if (field == RowTotalsWithVatField)
            invoice.header.append(YesNoText(RowTotalsWithVat()));
        else if (field == BuyerEinvoiceAddressField)
            invoice.header.append(BuyerEinvoice.address);
        else if (field == BuyerEinvoiceOperatorField)
            invoice.header.append(BuyerEinvoice.operatorId);
        else if (field == CreditedYearField)
            invoice.header.append(CreditedYear);
        else if (field == CreditedNumberField)
            invoice.header.append(CreditedNumber);
        else
            invoice.header.append(PageBiller.*IssuedBillerMember(field));
    }
    invoice.customer.append(AsiakNimi1->currentText());
    for (int line = CustomerAddress1Line; line < CustomerLineCount; ++line)
        invoice.customer.append(AsiakOsoite1->cell(kBlockTextColumn, line));
    for (int r = 1; r < LaskuRivit1->rowCount(); ++r)
        invoice.rows.append(LaskuRivit1->rowCells(r));
    return invoice;
}

BillerDetails TForm1::CollectBillerDetails() const
{
    return m_profile.biller;
}

InvoiceDefaults TForm1::CollectDefaults() const
{
    return m_profile.defaults;
}

InvoiceRecord TForm1::CollectRecord() const
{
    return {CollectInvoice(), PageBiller};
}

void TForm1::ShowBiller(const BillerDetails &biller)
{
    PageBiller = biller;
    const std::pair<QString, QList<QLabel *>> labels[] = {
        {biller.officialName, {VirallNimi2, VirallNimi3}},
        {biller.address1, {Osoite21, Osoite31}},
        {biller.address2, {Osoite22}},
        {biller.postOffice, {Posti2, Posti3}},
        {biller.phone, {Puhelin2}},
        {biller.fax, {Faksi2}},
        {biller.homeTown, {Koti2}},
        {biller.businessId, {YTunnus2}},
        {biller.vatId, {Vat2}},
        {biller.bank, {Pankki2}},
        {biller.iban, {Iban2, Iban3}},
        {biller.bic, {Bic2, Bic3}},
        {biller.freeText1, {FreeText3}},
        {biller.freeText2, {FreeText4}},
    };
    for (const auto &[text, targets] : labels) {
        for (QLabel *target : targets)
            target->setText(text);
    }
}

void TForm1::ShowInvoice(const InvoiceRecord &record)
{
    // A complete invoice (CompletedInvoice): every header value is the
    // invoice's own, and none is counted again here.
    const InvoiceData &invoice = record.invoice;
    ShowBiller(record.biller);
    for (int field = 0; field < HeaderFieldCount; ++field) {
        if (QLineEdit *edit = headerEdit(*this, field))
            edit->setText(invoice.header.value(field));
    }
    InvoiceRowTotalsWithVat = StoredYesNo(invoice.header, RowTotalsWithVatField);
    BuyerEinvoice = {invoice.header.value(BuyerEinvoiceAddressField), invoice.header.value(BuyerEinvoiceOperatorField)};
    ShowBuyerEinvoice();
    CreditedYear = invoice.header.value(CreditedYearField);
    CreditedNumber = invoice.header.value(CreditedNumberField);
    ShowHeading();
    // Set as a click would, so the totals are those of the day it was saved.
    SisAlv1->setChecked(StoredYesNo(invoice.header, UnitPricesWithVatField).value_or(false));

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

bool TForm1::IsCreditNoteOnPage() const
{
    return !CreditedNumber.trimmed().isEmpty();
}

void TForm1::ShowHeading(bool copy)
{
    Lasku1->setText(ReminderOnPage ? kReminderHeading.toString() : InvoiceHeading(IsCreditNoteOnPage(), copy));
    // Widened for a longer heading, never narrowed: "LASKU" prints as it did.
    Lasku1->resize(std::max(Lasku1->width(), Lasku1->sizeHint().width()), Lasku1->height());
}
