#include "invoice/creditnote.h"

#include "base/commanderror.h"
#include "invoice/numbering.h"

using namespace Qt::StringLiterals;

bool IsCreditNote(const QStringList &header)
{
    return !header.value(CreditedNumberField).trimmed().isEmpty();
}

void CheckCreditable(const InvoiceData &invoice)
{
    if (!IsCreditNote(invoice.header))
        return;
    throw CommandError(u"Lasku %1 on hyvityslasku (laskulle %2); hyvityslaskua ei voi hyvittää. "
                       "Jos hyvitys oli liian suuri, tee asiakkaalle uusi lasku."_s.arg(
                           invoice.header.value(InvoiceNumberField).trimmed(),
                           invoice.header.value(CreditedNumberField).trimmed()));
}

QString InvoiceHeading(bool creditNote, bool copy)
{
    const QString heading = creditNote ? u"HYVITYSLASKU"_s : u"LASKU"_s;
    return copy ? heading + u" (kopio)"_s : heading;
}

QString CreditNoteFirstRowText(const QString &number, const QString &date)
{
    return u"Hyvitys laskulle %1 (%2)"_s.arg(number, date);
}

QString NegatedQuantity(const QString &quantity)
{
    const QString trimmed = quantity.trimmed();
    if (trimmed.isEmpty())
        return quantity;
    return trimmed.startsWith(u'-') ? trimmed.mid(1) : u"-"_s + trimmed;
}

InvoiceData CreditNoteOf(const InvoiceData &original, const QStringList &fresh)
{
    CheckCreditable(original);
    InvoiceData credit = original;
    QStringList &header = credit.header;
    header.resize(HeaderFieldCount);
    for (HeaderField field : {InvoiceNumberField, InvoiceDateField, ReferenceField})
        header[field] = fresh.value(field);
    // Its own due date from its own date and the original's terms.
    header[DueDateField] = RecalcDueDateText(header[InvoiceDateField], header[PaymentTermsField])
                               .value_or(header[InvoiceDateField]);
    const QString number = original.header.value(InvoiceNumberField).trimmed();
    const QString date = original.header.value(InvoiceDateField).trimmed();
    header[CreditedYearField] = InvoiceYearOfDate(date);
    header[CreditedNumberField] = number;

    QStringList first(RowColumnCount);
    first[TextColumn] = CreditNoteFirstRowText(number, date);
    credit.rows = {first};
    for (QStringList row : original.rows) {
        row.resize(RowColumnCount);
        row[QuantityColumn] = NegatedQuantity(row[QuantityColumn]);
        credit.rows.append(row);
    }
    return credit;
}
