// The header values an invoice's rules read: dates, the year folder's name
// and yes/no values.

#include "invoice/invoicedata.h"

#include "invoice/numbering.h"

using namespace Qt::StringLiterals;

bool IsInvoiceDateText(QStringView date)
{
    int position = 1;
    const int day = TakeInteger(date, position);
    const int month = TakeInteger(date, position);
    const int year = TakeInteger(date, position);
    return day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 1 && year <= 9999;
}

QString InvoiceYearOfDate(QStringView invoiceDate)
{
    int position = 1;
    int year = 0;
    for (int i = 0; i < 3; ++i)
        year = TakeInteger(invoiceDate, position);
    return QString::number(year);
}

QString YesNoText(bool yes)
{
    return yes ? u"1"_s : u"0"_s;
}

std::optional<bool> StoredYesNo(const QStringList &header, HeaderField field)
{
    if (header.size() <= field)
        return std::nullopt;
    bool ok = false;
    const int value = header[field].trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value != 0;
}

bool HasStoredDueDate(const QStringList &header)
{
    return header.size() > DueDateField && IsInvoiceDateText(header[DueDateField]);
}
