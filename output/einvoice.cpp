// E-invoices of a record: what must be known before one is written, and
// the format's writer chosen.

#include "output/einvoice.h"

#include "base/commanderror.h"
#include "invoice/numbering.h"
#include "output/einvoicefields.h"
#include "output/finvoice.h"
#include "output/paymentfields.h"
#include "output/peppol.h"
#include "storage/textfile.h"

#include <QDir>

using namespace Qt::StringLiterals;

QString EinvoiceRefusal(const InvoiceRecord &record, EinvoiceFormat format)
{
    const InvoiceData &invoice = record.invoice;
    QStringList missing;
    if (!EinvoiceDate(invoice.header.value(InvoiceDateField)))
        missing << u"Laskun päivämäärä ei ole kelvollinen."_s;
    if (invoice.customer.value(CustomerNameLine).trimmed().isEmpty())
        missing << u"Asiakkaan nimi puuttuu."_s;
    if (!IsValidIban(record.biller.iban))
        missing << u"Laskuttajan tilinumero (IBAN) ei ole kelvollinen."_s;
    if (ReferenceFailsCheck(invoice.header.value(ReferenceField)))
        missing << u"Viitenumeron tarkiste ei täsmää."_s;
    const EinvoiceAmounts amounts = EinvoiceAmountsOf(record);
    if (std::none_of(amounts.rows.cbegin(), amounts.rows.cend(), [](const EinvoiceRow &row) { return row.priced; }))
        missing << u"Laskulla ei ole yhtään riviä, jolla on määrä ja hinta."_s;

    const EinvoiceAddress seller = record.biller.einvoice;
    const EinvoiceAddress buyer = BuyerEinvoice(record);
    if (format == EinvoiceFormat::Finvoice || format == EinvoiceFormat::FramedFinvoice) {
        if (const QString finvoice = FinvoiceRefusal(record); !finvoice.isEmpty())
            missing << finvoice;
    }
    if (format == EinvoiceFormat::FramedFinvoice) {
        if (seller.address.trimmed().isEmpty() || seller.operatorId.trimmed().isEmpty())
            missing << u"Laskuttajan verkkolaskuosoite tai välittäjätunnus puuttuu."_s;
        if (buyer.address.trimmed().isEmpty() || buyer.operatorId.trimmed().isEmpty())
            missing << u"Asiakkaan verkkolaskuosoite tai välittäjätunnus puuttuu."_s;
    }
    if (format == EinvoiceFormat::Peppol) {
        if (PeppolEndpoint(seller.address).isEmpty())
            missing << u"Laskuttajan verkkolaskuosoite (OVT-tunnus tai Y-tunnus) puuttuu."_s;
        if (PeppolEndpoint(buyer.address).isEmpty())
            missing << u"Asiakkaan verkkolaskuosoite (OVT-tunnus tai Y-tunnus) puuttuu."_s;
        if (SellerVatId(record.biller).isEmpty())
            missing << u"Laskuttajan Y-tunnus puuttuu."_s;
    }
    return missing.join(u'\n');
}

QByteArray WriteEinvoice(const InvoiceRecord &record, EinvoiceFormat format, const QDateTime &sent)
{
    if (!EinvoiceRefusal(record, format).isEmpty())
        return {};
    switch (format) {
    case EinvoiceFormat::Finvoice:
        return WriteFinvoice(record, false, sent);
    case EinvoiceFormat::FramedFinvoice:
        return WriteFinvoice(record, true, sent);
    case EinvoiceFormat::Peppol:
        return WritePeppol(record);
    }
    return {};
}

void WriteEinvoiceFile(const QString &path, const InvoiceRecord &record, EinvoiceFormat format, const QDateTime &sent)
{
    if (const QString reason = EinvoiceRefusal(record, format); !reason.isEmpty())
        throw CommandError(u"Verkkolaskua ei kirjoitettu:\r\n%1"_s.arg(QString(reason).replace(u"\n"_s, u"\r\n"_s)));
    if (!ReplaceFileContents(path, WriteEinvoice(record, format, sent)))
        throw CommandError(u"Verkkolaskutiedostoa ei voitu kirjoittaa:\r\n%1"_s.arg(QDir::toNativeSeparators(path)));
}

QString EinvoiceSavedText(const QString &path)
{
    return u"Verkkolasku tallennettu: %1"_s.arg(QDir::toNativeSeparators(path));
}

QString BuyerEinvoiceMarkText(const EinvoiceAddress &address)
{
    const QString to = address.address.trimmed();
    if (to.isEmpty())
        return {};
    const QString via = address.operatorId.trimmed();
    return via.isEmpty() ? u"Verkkolaskuosoite %1"_s.arg(to) : u"Verkkolaskuosoite %1, välittäjä %2"_s.arg(to, via);
}
