#include "invoice/invoicerecord.h"

#include "invoice/numbering.h"
#include "output/bankbarcode.h"
#include "output/epcqr.h"
#include "storage/invoicefile.h"

namespace {

QString headerValue(const InvoiceRecord &record, HeaderField field)
{
    return record.invoice.header.value(field);
}

// Payment codes are made only for a reference that passes its check.
bool referenceSound(const InvoiceRecord &record)
{
    return !ReferenceFailsCheck(headerValue(record, ReferenceField));
}

} // namespace

bool UnitPricesWithVat(const InvoiceRecord &record)
{
    return StoredYesNo(record.invoice.header, UnitPricesWithVatField).value_or(false);
}

bool RowTotalsWithVat(const InvoiceRecord &record)
{
    return StoredYesNo(record.invoice.header, RowTotalsWithVatField).value_or(false);
}

InvoiceTotals RecordTotals(const InvoiceRecord &record)
{
    QList<RowAmounts> amounts;
    amounts.reserve(record.invoice.rows.size());
    for (const QStringList &row : record.invoice.rows)
        amounts.append({row.value(QuantityColumn), row.value(PriceColumn), row.value(VatColumn), row.value(TotalColumn)});
    return RecalcAmounts(amounts, UnitPricesWithVat(record), RowTotalsWithVat(record));
}

QString RecordDueDate(const InvoiceRecord &record)
{
    const QStringList &header = record.invoice.header;
    if (HasStoredDueDate(header))
        return header[DueDateField];
    return RecalcDueDateText(headerValue(record, InvoiceDateField), headerValue(record, PaymentTermsField))
        .value_or(headerValue(record, DueDateField));
}

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
