// The payment codes of an invoice and of a reminder.

#include "output/paymentcodes.h"

#include "invoice/amount.h"
#include "invoice/creditnote.h"
#include "invoice/dates.h"
#include "invoice/numbering.h"
#include "output/bankbarcode.h"
#include "output/epcqr.h"

namespace {

QString headerValue(const InvoiceRecord &record, HeaderField field)
{
    return record.invoice.header.value(field);
}

// Payment codes are made only for a reference that passes its check, and
// never for a credit note: nothing is to be paid on it.
bool referenceSound(const InvoiceRecord &record)
{
    return !IsCreditNote(record.invoice.header) && !ReferenceFailsCheck(headerValue(record, ReferenceField));
}

} // namespace

QString RecordBankBarcode(const InvoiceRecord &record)
{
    if (!referenceSound(record))
        return {};
    return BuildBankBarcode(record.biller.iban, RecordTotals(record).total, headerValue(record, ReferenceField),
                            RecordDueDate(record));
}

QString RecordVirtualBarcode(const InvoiceRecord &record)
{
    const QString content = RecordBankBarcode(record);
    return IsBankBarcodeContent(content) ? VirtualBarcodeText(content) : QString();
}

std::optional<QString> RecordEpcQrText(const InvoiceRecord &record)
{
    if (!referenceSound(record))
        return std::nullopt;
    return EpcQrText(record.biller.bic, record.biller.officialName, record.biller.iban, RecordTotals(record).total,
                     headerValue(record, ReferenceField), RecordDueDate(record));
}

Reminder WithPaymentCodes(Reminder reminder, const BillerDetails &biller)
{
    // The giro form asks for the new total by the new due date, with the
    // invoice's reference so that the payment meets the invoice.
    if (!ReferenceFailsCheck(reminder.reference)) {
        const QString total = PaymentAmountText(reminder.totalCents);
        const QString due = DateText(reminder.newDueDate);
        reminder.bankBarcode = BuildBankBarcode(biller.iban, total, reminder.reference, due);
        reminder.epcQrText = EpcQrText(biller.bic, biller.officialName, biller.iban, total, reminder.reference, due);
    }
    return reminder;
}
