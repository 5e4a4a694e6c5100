// Customer numbers of the register, its file lines and the customers'
// e-invoice addresses.

#include "customerregister.h"

#include "storage/gridline.h"

#include <QDir>

#include <vector>

namespace {

// The value of a text that is exactly the decimal text of a positive number
// up to limit ("7", not "07", " 7" or "7a"), else 0.
int plainNumber(QStringView text, int limit)
{
    if (text.isEmpty() || text.size() > 9 || text.front() == u'0')
        return 0;
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value <= limit ? value : 0;
}

bool isBlank(const QString &cell)
{
    return cell.trimmed().isEmpty();
}

} // namespace

QString RegisterFilePath(const QString &dataDir)
{
    return dataDir + RegisterFileBaseName();
}

QString RegisterFileBaseName()
{
    return QStringLiteral("AsiakRek.csv");
}

int SmallestFreeCustomerNumber(const QStringList &numbers)
{
    return SmallestFreeCustomerNumber(numbers.size(), [&numbers](qsizetype i) { return QStringView(numbers[i]); });
}

int SmallestFreeCustomerNumber(qsizetype count, const std::function<QStringView(qsizetype)> &numberAt)
{
    // With n texts, one of 1 to n + 1 is always free.
    const int limit = int(count) + 1;
    std::vector<bool> used(size_t(limit) + 1, false);
    for (qsizetype i = 0; i < count; ++i)
        used[size_t(plainNumber(numberAt(i), limit))] = true;
    int number = 1;
    while (used[size_t(number)])
        ++number;
    return number;
}

QString CustomerNotRegisteredText(const QString &registerPath)
{
    return QStringLiteral("Asiakasta ei lisätty asiakasrekisteriin: tiedostoa %1 ei voitu lukea, eikä sen "
                          "päälle tallenneta. Lasku tallennetaan silti.")
        .arg(QDir::toNativeSeparators(registerPath));
}

QStringList RegisterLineCells(QStringList row)
{
    const bool einvoice = !isBlank(row.value(EinvoiceAddressColumn)) || !isBlank(row.value(EinvoiceOperatorColumn));
    row.resize(einvoice ? RegisterColumnCount : CustomerNumberColumn + 1);
    return row;
}

EinvoiceAddress RegisterRowEinvoice(const QStringList &row)
{
    return {row.value(EinvoiceAddressColumn).trimmed(), row.value(EinvoiceOperatorColumn).trimmed()};
}

EinvoiceAddress RegisterEinvoiceFor(const QList<QStringList> &registerRows, QStringView customerNumber)
{
    const QStringView number = customerNumber.trimmed();
    if (number.isEmpty())
        return {};
    for (const QStringList &row : registerRows) {
        if (QStringView(row.value(CustomerNumberColumn)).trimmed().compare(number, Qt::CaseInsensitive) == 0)
            return RegisterRowEinvoice(row);
    }
    return {};
}

InvoiceData WithRegisterEinvoice(InvoiceData invoice, const QList<QStringList> &registerRows)
{
    return WithRegisterEinvoice(std::move(invoice), [&registerRows](QStringView customerNumber) {
        return RegisterEinvoiceFor(registerRows, customerNumber);
    });
}

InvoiceData WithRegisterEinvoice(InvoiceData invoice,
                                 const std::function<EinvoiceAddress(QStringView customerNumber)> &find)
{
    QStringList &header = invoice.header;
    if (!header.value(BuyerEinvoiceAddressField).isEmpty() || !header.value(BuyerEinvoiceOperatorField).isEmpty())
        return invoice;
    const EinvoiceAddress found = find(header.value(CustomerNumberField));
    if (found.address.isEmpty() && found.operatorId.isEmpty())
        return invoice;
    while (header.size() < HeaderFieldCount)
        header.append(QString());
    header[BuyerEinvoiceAddressField] = found.address;
    header[BuyerEinvoiceOperatorField] = found.operatorId;
    return invoice;
}
