#pragma once

#include "invoice/invoicedata.h"
#include "invoice/recalc.h"

#include <QString>

#include <optional>

// An issued invoice as one plain value, and what follows from it: the totals
// and VAT lines, the due date and the payment codes. Nothing here needs a
// window, so saved invoices can be exported, listed or sent as e-invoices
// from the record alone.

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
};

/// One issued invoice completely: its header values (the VAT mode and terms
/// among them), customer and rows as the file holds them, and who issued it.
/// A yes/no header value that is missing reads as no.
struct InvoiceRecord
{
    InvoiceData invoice;
    BillerDetails biller;
};

/// Whether the invoice's unit prices include VAT ("á hinta sis. alv").
bool UnitPricesWithVat(const InvoiceRecord &record);

/// Whether the invoice's row totals include VAT ("Rivi yht. sis. alv").
bool RowTotalsWithVat(const InvoiceRecord &record);

/// The totals and VAT lines of the invoice's rows, by RecalcAmounts under
/// the invoice's own VAT mode. Throws FloatingPointOverflow.
InvoiceTotals RecordTotals(const InvoiceRecord &record);

/// The due date text: the one kept with the invoice when it is a date,
/// otherwise the invoice date plus the invoice's payment terms
/// (RecalcDueDateText); the kept text as it is when neither gives a date.
QString RecordDueDate(const InvoiceRecord &record);

/// The bank barcode's content (BuildBankBarcode) from the biller's IBAN, the
/// invoice total, the reference and the due date; empty when the reference
/// fails its check, since a code would send the payment astray.
QString RecordBankBarcode(const InvoiceRecord &record);

/// The virtual barcode printed above the bars: VirtualBarcodeText of the
/// bank barcode's content; empty when there is no content to draw.
QString RecordVirtualBarcode(const InvoiceRecord &record);

/// The payment QR code's text (EpcQrText) from the biller's BIC, official
/// name and IBAN, the invoice total, the reference and the due date; nullopt
/// when EpcQrText gives none or the reference fails its check.
std::optional<QString> RecordEpcQrText(const InvoiceRecord &record);
