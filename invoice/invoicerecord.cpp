#include "invoice/invoicerecord.h"

#include "invoice/numbering.h"

#include <utility>

namespace {

QString headerValue(const InvoiceRecord &record, HeaderField field)
{
    return record.invoice.header.value(field);
}

// The invoice date plus the invoice's terms; the kept text when that gives
// no date.
QString countedDueDate(const QStringList &header)
{
    return RecalcDueDateText(header.value(InvoiceDateField), header.value(PaymentTermsField))
        .value_or(header.value(DueDateField));
}

// The header fields keeping the biller an invoice was issued with, in file order.
constexpr std::pair<HeaderField, QString BillerDetails::*> kIssuedBillerFields[] = {
    {BillerNameField, &BillerDetails::officialName},
    {BillerAddress1Field, &BillerDetails::address1},
    {BillerAddress2Field, &BillerDetails::address2},
    {BillerPostOfficeField, &BillerDetails::postOffice},
    {BillerBusinessIdField, &BillerDetails::businessId},
    {BillerVatIdField, &BillerDetails::vatId},
    {BillerIbanField, &BillerDetails::iban},
    {BillerBicField, &BillerDetails::bic},
};

} // namespace

QString BillerDetails::*IssuedBillerMember(int field)
{
    for (const auto &[kept, member] : kIssuedBillerFields) {
        if (kept == field)
            return member;
    }
    return nullptr;
}

BillerDetails IssuedBiller(const QStringList &header, BillerDetails current)
{
    for (const auto &[field, member] : kIssuedBillerFields) {
        if (field < header.size())
            current.*member = header[field];
    }
    return current;
}

InvoiceData CompletedInvoice(InvoiceData invoice, const InvoiceDefaults &defaults)
{
    QStringList &header = invoice.header;
    const qsizetype stored = header.size();
    header.resize(HeaderFieldCount);
    const auto keepOr = [&](HeaderField field, const QString &byDefault) {
        if (field >= stored)
            header[field] = byDefault;
    };
    if (!StoredYesNo(header, UnitPricesWithVatField))
        header[UnitPricesWithVatField] = YesNoText(defaults.unitPricesWithVat);
    if (!StoredYesNo(header, RowTotalsWithVatField))
        header[RowTotalsWithVatField] = YesNoText(defaults.rowTotalsWithVat);
    keepOr(PaymentTermsField, defaults.paymentTerms);
    keepOr(PenaltyInterestField, defaults.penaltyInterest);
    keepOr(ReminderTimeField, defaults.reminderTime);
    if (!HasStoredDueDate(header))
        header[DueDateField] = countedDueDate(header);
    return invoice;
}

InvoiceRecord IssuedRecord(InvoiceData stored, const BillerDetails &biller, const InvoiceDefaults &defaults)
{
    const BillerDetails issued = IssuedBiller(stored.header, biller);
    InvoiceData invoice = CompletedInvoice(std::move(stored), defaults);
    for (const auto &[field, member] : kIssuedBillerFields)
        invoice.header[field] = issued.*member;
    return {std::move(invoice), issued};
}

EinvoiceAddress BuyerEinvoice(const InvoiceRecord &record)
{
    return {headerValue(record, BuyerEinvoiceAddressField), headerValue(record, BuyerEinvoiceOperatorField)};
}

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
    return header.size() > DueDateField ? header[DueDateField] : countedDueDate(header);
}
