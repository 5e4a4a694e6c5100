#pragma once

#include "invoice/invoicerecord.h"
#include "invoice/reminder.h"

#include <QString>

#include <optional>

// The payment codes of an invoice and of a reminder: the bank barcode's
// content, the virtual barcode and the payment QR code's text, made from the
// biller's account, the amount, the reference and the due date.

/// The bank barcode's content (BuildBankBarcode) from the biller's IBAN, the
/// invoice total, the reference and the due date; empty when the reference
/// fails its check, since a code would send the payment astray, and for a
/// credit note (IsCreditNote), on which nothing is paid.
QString RecordBankBarcode(const InvoiceRecord &record);

/// The virtual barcode printed above the bars: VirtualBarcodeText of the
/// bank barcode's content; empty when there is no content to draw.
QString RecordVirtualBarcode(const InvoiceRecord &record);

/// The payment QR code's text (EpcQrText) from the biller's BIC, official
/// name and IBAN, the invoice total, the reference and the due date; nullopt
/// when EpcQrText gives none, the reference fails its check or the record is
/// a credit note.
std::optional<QString> RecordEpcQrText(const InvoiceRecord &record);

/// The reminder with its payment codes (bankBarcode, epcQrText) made from
/// its total, new due date and reference and the biller's account: a reminder
/// is made and read from its file without them, and gets them before its
/// giro form is printed. A reference failing its check leaves them as they
/// were.
Reminder WithPaymentCodes(Reminder reminder, const BillerDetails &biller);
