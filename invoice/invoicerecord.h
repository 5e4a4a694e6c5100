#pragma once

#include "invoice/invoicedata.h"
#include "invoice/recalc.h"

#include <QString>

#include <optional>

// An issued invoice as one plain value, and what follows from it: the totals
// and VAT lines, the due date and the payment codes. Nothing here needs a
// window, so saved invoices can be exported, listed or sent as e-invoices
// from the record alone.

/// Where a party receives e-invoices: its address (an OVT code, or a
/// business ID) and the id of its operator.
struct EinvoiceAddress
{
    QString address;
    QString operatorId;
};

/// The biller as an invoice is issued: the settings' biller details.
struct BillerDetails
{
    QString officialName;
    QString address1;
    QString address2;
    QString postOffice;
    QString phone;
    QString fax;
    QString homeTown;
    QString businessId;
    QString vatId;
    QString bank;
    QString iban;
    QString bic;
    QString freeText1;
    QString freeText2;
    EinvoiceAddress einvoice;
};

/// One issued invoice completely: its header values (the VAT mode and terms
/// among them), customer and rows as the file holds them, and who issued it.
/// A yes/no header value that is missing reads as no.
struct InvoiceRecord
{
    InvoiceData invoice;
    BillerDetails biller;
};

/// What an invoice takes from today's settings when its file does not say:
/// files written before the VAT mode and terms were kept with the invoice.
struct InvoiceDefaults
{
    bool unitPricesWithVat = false;
    bool rowTotalsWithVat = false;
    QString paymentTerms;
    QString penaltyInterest;
    QString reminderTime;
};

/// The invoice as it was issued, every header value present: a VAT mode or
/// term the file lacks taken from the defaults, and a due date the file does
/// not keep as a date counted from the invoice date and the invoice's terms
/// (kept as it is when that gives no date). A file that keeps them comes back
/// exactly as saved.
InvoiceData CompletedInvoice(InvoiceData invoice, const InvoiceDefaults &defaults);

/// The member of BillerDetails that a header field keeps of the biller an
/// invoice was issued with; nullptr for a field that keeps none.
QString BillerDetails::*IssuedBillerMember(int field);

/// The biller an invoice was issued with: `current` (today's biller details)
/// with each value the header keeps of its biller put in. A file of an
/// earlier version keeps none and is issued by today's biller.
BillerDetails IssuedBiller(const QStringList &header, BillerDetails current);

/// A stored invoice as a complete record (CompletedInvoice), issued by the
/// biller it keeps (IssuedBiller of `biller`, today's details), whose values
/// its header then holds in full.
InvoiceRecord IssuedRecord(InvoiceData stored, const BillerDetails &biller, const InvoiceDefaults &defaults);

/// The buyer's e-invoice address kept with the invoice; empty when none.
EinvoiceAddress BuyerEinvoice(const InvoiceRecord &record);

/// Whether the invoice's unit prices include VAT ("á hinta sis. alv").
bool UnitPricesWithVat(const InvoiceRecord &record);

/// Whether the invoice's row totals include VAT ("Rivi yht. sis. alv").
bool RowTotalsWithVat(const InvoiceRecord &record);

/// The totals and VAT lines of the invoice's rows, by RecalcAmounts under
/// the invoice's own VAT mode. Throws FloatingPointOverflow.
InvoiceTotals RecordTotals(const InvoiceRecord &record);

/// The due date text: the one the invoice holds, as it stands (a typed
/// text that is no date gives payment codes without a due date, or none);
/// for a record without one, not completed from an older file, the invoice
/// date plus the invoice's terms (RecalcDueDateText), empty when that gives
/// no date.
QString RecordDueDate(const InvoiceRecord &record);
