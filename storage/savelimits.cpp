// Measuring an invoice's and the register's file lines against the reader's
// limit before anything is written.

#include "savelimits.h"

#include "storage/customerregister.h"
#include "storage/gridline.h"
#include "storage/invoicefile.h"
#include "storage/textfile.h"

using namespace Qt::StringLiterals;

namespace {

// The name shown for a customer: its beginning, enough to find it by.
constexpr qsizetype kShownNameLength = 40;

bool fits(const QString &line)
{
    return LineLengthRefusal(line.size()).isEmpty();
}

// Whether the cells, written as the writer writes them, fit on one line;
// cells that make no line fit.
bool cellsFit(const QStringList &cells, bool always)
{
    QStringList lines;
    return !AppendCellsLine(cells, lines, always) || fits(lines.constFirst());
}

QString tooLongText(const QString &notSaved, const QString &part)
{
    return u"%1 ei tallennettu: liian pitkä teksti, %2. Tiedoston rivi saa olla enintään %3 merkkiä, "
           "ja lainausmerkki vie niistä kaksi. Lyhennä tekstiä ja tallenna uudelleen."_s
        .arg(notSaved, part)
        .arg(kMaxTextLineLength);
}

} // namespace

QString InvoiceTooLongPart(const InvoiceData &invoice)
{
    if (!fits(FormatHeaderLine(invoice.header))) {
        // When the values before the biller's fit, the biller's made it too long.
        if (fits(FormatHeaderLine(invoice.header.mid(0, BillerNameField))))
            return u"laskuttajan tiedot (virallinen nimi, osoite, Y-tunnus, ALV-tunnus, IBAN ja BIC)"_s;
        return u"laskun numero, päiväys, viitenumero, Y-tunnus ja asiakasnumero"_s;
    }
    if (!cellsFit(invoice.customer, true))
        return u"asiakkaan nimi ja osoite"_s;
    for (qsizetype i = 0; i < invoice.rows.size(); ++i) {
        if (!cellsFit(invoice.rows[i], false))
            return u"laskurivi %1"_s.arg(i + 1);
    }
    return QString();
}

QString RegisterTooLongPart(const QList<QStringList> &rows)
{
    for (const QStringList &row : rows) {
        if (!cellsFit(RegisterLineCells(row), false))
            return TooLongCustomerPart(row.value(NameColumn));
    }
    return QString();
}

QString TooLongCustomerPart(const QString &name)
{
    const QString line = OnOneLine(name);
    const QString shown = line.size() > kShownNameLength ? line.first(kShownNameLength) + u'…' : line;
    return u"asiakasrekisterin asiakas \"%1\""_s.arg(shown);
}

QString InvoiceTooLongText(const QString &part)
{
    return tooLongText(u"Laskua"_s, part);
}

QString RegisterTooLongText(const QString &part)
{
    return tooLongText(u"Asiakasrekisteriä"_s, part);
}
