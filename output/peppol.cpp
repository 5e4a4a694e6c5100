// The Peppol BIS Billing 3.0 invoice of a record, a UBL 2.1 Invoice written
// with QXmlStreamWriter.

#include "invoice/creditnote.h"
#include "peppol.h"

#include "invoice/amount.h"
#include "output/einvoicefields.h"
#include "output/paymentfields.h"

#include <QXmlStreamWriter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The UBL 2.1 namespaces share one stem.
const QString kUblNamespaceStem = u"urn:oasis:names:specification:ubl:schema:xsd:"_s;
const QString kInvoiceNamespace = kUblNamespaceStem + u"Invoice-2"_s;
const QString kCreditNoteNamespace = kUblNamespaceStem + u"CreditNote-2"_s;
const QString kAggregateNamespace = kUblNamespaceStem + u"CommonAggregateComponents-2"_s;
const QString kBasicNamespace = kUblNamespaceStem + u"CommonBasicComponents-2"_s;
const QString kCustomizationId = u"urn:cen.eu:en16931:2017#compliant#urn:fdc:peppol.eu:2017:poacc:billing:3.0"_s;
const QString kProfileId = u"urn:fdc:peppol.eu:2017:poacc:billing:01:1.0"_s;
const QString kVatScheme = u"VAT"_s;
// SEPA credit transfer, to the biller's IBAN.
const QString kCreditTransfer = u"58"_s;

// UBL leaves texts unbounded; these keep a runaway cell from making a file
// no receiver shows.
constexpr qsizetype kTextLength = 1000;
constexpr int kNetPriceDecimals = 6;
// How far a line's quantity times its price may miss the line's amount: the
// rules allow two cents, a rounded row and its share of the rate's rounding
// take at most one and a half.
constexpr long double kPriceSlack = 0.0151L;

class PeppolWriter
{
public:
    PeppolWriter(const InvoiceRecord &record, QByteArray *out)
        : m_record(record), m_xml(out), m_amounts(EinvoiceAmountsOf(record)),
          m_creditNote(IsCreditNote(record.invoice.header)), m_sign(m_creditNote ? -1 : 1)
    {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(1);
    }

    void write();

private:
    QString header(HeaderField field) const { return m_record.invoice.header.value(field); }

    void basic(const QString &name, const QString &value);
    void basicIf(const QString &name, const QString &value);
    void amount(const QString &name, qint64 cents);
    void start(const QString &name) { m_xml.writeStartElement(kAggregateNamespace, name); }
    void end() { m_xml.writeEndElement(); }

    void endpoint(const QString &address);
    void postalAddress(const EinvoicePostalAddress &address);
    void taxCategory(const QString &element, const QString &rate, bool withReason);
    void seller();
    void buyer();
    void payment();
    void taxTotal();
    void monetaryTotal();
    void lines();

    const InvoiceRecord &m_record;
    QXmlStreamWriter m_xml;
    const EinvoiceAmounts m_amounts;
    /// A credit note is a CreditNote document, whose amounts and quantities
    /// are those of the page with their signs turned.
    const bool m_creditNote;
    const int m_sign;
};

void PeppolWriter::basic(const QString &name, const QString &value)
{
    m_xml.writeTextElement(kBasicNamespace, name, value);
}

// Peppol allows no empty elements.
void PeppolWriter::basicIf(const QString &name, const QString &value)
{
    const QString text = EinvoiceText(value, kTextLength);
    if (!text.isEmpty())
        basic(name, text);
}

void PeppolWriter::amount(const QString &name, qint64 cents)
{
    m_xml.writeStartElement(kBasicNamespace, name);
    m_xml.writeAttribute(u"currencyID"_s, kEinvoiceCurrency.toString());
    m_xml.writeCharacters(CentsText(m_sign * cents, u'.'));
    m_xml.writeEndElement();
}

void PeppolWriter::endpoint(const QString &address)
{
    m_xml.writeStartElement(kBasicNamespace, u"EndpointID"_s);
    m_xml.writeAttribute(u"schemeID"_s, kOvtEndpointScheme);
    m_xml.writeCharacters(PeppolEndpoint(address));
    m_xml.writeEndElement();
}

void PeppolWriter::postalAddress(const EinvoicePostalAddress &address)
{
    start(u"PostalAddress"_s);
    basicIf(u"StreetName"_s, address.streets.value(0));
    basicIf(u"AdditionalStreetName"_s, address.streets.value(1));
    basicIf(u"CityName"_s, address.town);
    basicIf(u"PostalZone"_s, address.postcode);
    const QString more = EinvoiceText(address.streets.mid(2).join(u' '), kTextLength);
    if (!more.isEmpty()) {
        start(u"AddressLine"_s);
        basic(u"Line"_s, more);
        end();
    }
    start(u"Country"_s);
    basic(u"IdentificationCode"_s, kEinvoiceCountry.toString());
    end();
    end();
}

// A 0 % rate is an exempt sale (category E) with its reason; other rates
// are standard rated (S).
void PeppolWriter::taxCategory(const QString &element, const QString &rate, bool withReason)
{
    const bool exempt = ParseAmount(rate) == 0;
    start(element);
    basic(u"ID"_s, exempt ? u"E"_s : u"S"_s);
    basic(u"Percent"_s, DecimalText(ParseAmount(rate), u'.'));
    if (exempt && withReason)
        basic(u"TaxExemptionReason"_s, kZeroVatReasonText);
    start(u"TaxScheme"_s);
    basic(u"ID"_s, kVatScheme);
    end();
    end();
}

void PeppolWriter::write()
{
    const QString document = m_creditNote ? u"CreditNote"_s : u"Invoice"_s;
    const QString documentNamespace = m_creditNote ? kCreditNoteNamespace : kInvoiceNamespace;
    m_xml.writeStartDocument();
    m_xml.writeDefaultNamespace(documentNamespace);
    m_xml.writeNamespace(kAggregateNamespace, u"cac"_s);
    m_xml.writeNamespace(kBasicNamespace, u"cbc"_s);
    m_xml.writeStartElement(documentNamespace, document);
    basic(u"CustomizationID"_s, kCustomizationId);
    basic(u"ProfileID"_s, kProfileId);
    basic(u"ID"_s, EinvoiceText(header(InvoiceNumberField), kTextLength));
    basic(u"IssueDate"_s, EinvoiceDate(header(InvoiceDateField)).value_or(QDate()).toString(Qt::ISODate));
    // A credit note has no due date: nothing is to be paid.
    const std::optional<QDate> due = EinvoiceDate(RecordDueDate(m_record));
    if (due && !m_creditNote)
        basic(u"DueDate"_s, due->toString(Qt::ISODate));
    basic(document + u"TypeCode"_s, m_creditNote ? u"381"_s : u"380"_s);

    // One note only: the biller's free texts, then the text rows before the
    // first priced row (the others go with the line they follow).
    QStringList notes = {EinvoiceText(m_record.biller.freeText1, kTextLength),
                         EinvoiceText(m_record.biller.freeText2, kTextLength)};
    for (const EinvoiceRow &row : m_amounts.rows) {
        if (row.priced)
            break;
        notes << EinvoiceText(row.cells[TextColumn], kTextLength);
    }
    notes.removeAll(QString());
    if (!notes.isEmpty())
        basic(u"Note"_s, notes.join(u'\n'));
    basic(u"DocumentCurrencyCode"_s, kEinvoiceCurrency.toString());
    // The program keeps no reference of the buyer's own; the customer
    // number is what the buyer knows the biller's invoices by.
    const QString customerNumber = EinvoiceText(header(CustomerNumberField), kTextLength);
    basic(u"BuyerReference"_s,
          customerNumber.isEmpty() ? EinvoiceText(header(InvoiceNumberField), kTextLength) : customerNumber);
    if (m_creditNote) {
        start(u"BillingReference"_s);
        start(u"InvoiceDocumentReference"_s);
        basic(u"ID"_s, EinvoiceText(header(CreditedNumberField), kTextLength));
        end();
        end();
    }
    seller();
    buyer();
    payment();
    taxTotal();
    monetaryTotal();
    lines();
    m_xml.writeEndElement();
    m_xml.writeEndDocument();
}

void PeppolWriter::seller()
{
    const BillerDetails &biller = m_record.biller;
    start(u"AccountingSupplierParty"_s);
    start(u"Party"_s);
    endpoint(biller.einvoice.address);
    start(u"PartyName"_s);
    basic(u"Name"_s, EinvoiceText(biller.officialName, kTextLength));
    end();
    postalAddress(PostalAddressOf({biller.address1, biller.address2, biller.postOffice}));
    // Rated sales need the seller's VAT ID: when none is given, the Finnish
    // one made from the business ID.
    start(u"PartyTaxScheme"_s);
    basic(u"CompanyID"_s, SellerVatId(biller));
    start(u"TaxScheme"_s);
    basic(u"ID"_s, kVatScheme);
    end();
    end();
    start(u"PartyLegalEntity"_s);
    basic(u"RegistrationName"_s, EinvoiceText(biller.officialName, kTextLength));
    basicIf(u"CompanyID"_s, WithoutBlanks(biller.businessId));
    basicIf(u"CompanyLegalForm"_s, biller.homeTown.isEmpty() ? QString() : u"Kotipaikka "_s + biller.homeTown);
    end();
    if (!EinvoiceText(biller.phone, kTextLength).isEmpty()) {
        start(u"Contact"_s);
        basic(u"Telephone"_s, EinvoiceText(biller.phone, kTextLength));
        end();
    }
    end();
    end();
}

void PeppolWriter::buyer()
{
    const QStringList &customer = m_record.invoice.customer;
    start(u"AccountingCustomerParty"_s);
    start(u"Party"_s);
    endpoint(BuyerEinvoice(m_record).address);
    start(u"PartyName"_s);
    basic(u"Name"_s, EinvoiceText(customer.value(CustomerNameLine), kTextLength));
    end();
    postalAddress(PostalAddressOf({customer.value(CustomerAddress1Line), customer.value(CustomerAddress2Line),
                                   customer.value(CustomerAddress3Line)}));
    start(u"PartyLegalEntity"_s);
    basic(u"RegistrationName"_s, EinvoiceText(customer.value(CustomerNameLine), kTextLength));
    basicIf(u"CompanyID"_s, WithoutBlanks(header(BusinessIdField)));
    end();
    end();
    end();
}

void PeppolWriter::payment()
{
    const BillerDetails &biller = m_record.biller;
    // Nothing is paid on a credit note: it states no means of payment, only
    // the terms the rules want with an amount due above zero.
    if (!m_creditNote) {
        start(u"PaymentMeans"_s);
        basic(u"PaymentMeansCode"_s, kCreditTransfer);
        basicIf(u"PaymentID"_s, ReferenceText(m_record));
        start(u"PayeeFinancialAccount"_s);
        basic(u"ID"_s, WithoutBlanks(biller.iban));
        if (IsValidBic(biller.bic)) {
            start(u"FinancialInstitutionBranch"_s);
            basic(u"ID"_s, WithoutBlanks(biller.bic));
            end();
        }
        end();
        end();
    }

    QStringList terms = {EinvoiceText(header(PaymentTermsField), kTextLength)};
    const QString penalty = EinvoiceText(header(PenaltyInterestField), kTextLength);
    if (!penalty.isEmpty())
        terms << u"viivästyskorko "_s + penalty;
    terms.removeAll(QString());
    if (!terms.isEmpty()) {
        start(u"PaymentTerms"_s);
        basic(u"Note"_s, terms.join(u", "_s));
        end();
    }
}

// The VAT per rate as the page prints it: the base and the VAT of each rate
// line, summed VAT as the page's total VAT.
void PeppolWriter::taxTotal()
{
    start(u"TaxTotal"_s);
    amount(u"TaxAmount"_s, AmountCents(m_amounts.totals.vat));
    for (const VatRateLine &line : m_amounts.totals.rates) {
        start(u"TaxSubtotal"_s);
        amount(u"TaxableAmount"_s, AmountCents(line.withoutVat));
        amount(u"TaxAmount"_s, AmountCents(line.vat));
        taxCategory(u"TaxCategory"_s, line.rate, true);
        end();
    }
    end();
}

void PeppolWriter::monetaryTotal()
{
    const InvoiceTotals &totals = m_amounts.totals;
    start(u"LegalMonetaryTotal"_s);
    amount(u"LineExtensionAmount"_s, AmountCents(totals.withoutVat));
    amount(u"TaxExclusiveAmount"_s, AmountCents(totals.withoutVat));
    amount(u"TaxInclusiveAmount"_s, AmountCents(totals.total));
    amount(u"PayableAmount"_s, AmountCents(totals.total));
    end();
}

void PeppolWriter::lines()
{
    const bool pricesWithVat = UnitPricesWithVat(m_record);
    int position = 0;
    for (qsizetype i = 0; i < m_amounts.rows.size(); ++i) {
        const EinvoiceRow &row = m_amounts.rows[i];
        if (!row.priced)
            continue;
        ++position;
        long double quantity = ParseAmount(row.cells[QuantityColumn]);
        // The net price of the unit: the page's price when it is without VAT,
        // otherwise the row's amount without VAT shared over its quantity.
        long double price = pricesWithVat ? row.netCents / 100.0L / quantity
                                          : AmountCents(row.cells[PriceColumn]) / 100.0L;
        // A price is never negative: a credit row is a negative quantity.
        if (price < 0) {
            price = -price;
            quantity = -quantity;
        }
        QString priceText = pricesWithVat ? PriceText(price, kNetPriceDecimals, u'.') : CentsText(std::llround(price * 100), u'.');
        QString baseQuantity;
        // A net price whose decimals cannot give the row's amount is stated
        // for the row's whole quantity instead.
        if (std::fabs(quantity * priceText.toDouble() - row.netCents / 100.0L) > kPriceSlack) {
            priceText = CentsText(std::llabs(row.netCents), u'.');
            baseQuantity = DecimalText(std::fabs(static_cast<double>(quantity)), u'.');
        }
        const QString unit = UnitCodeUN(row.cells[UnitColumn]);

        start(m_creditNote ? u"CreditNoteLine"_s : u"InvoiceLine"_s);
        basic(u"ID"_s, QString::number(position));
        QStringList notes;
        for (qsizetype k = i + 1; k < m_amounts.rows.size() && !m_amounts.rows[k].priced; ++k)
            notes << EinvoiceText(m_amounts.rows[k].cells[TextColumn], kTextLength);
        notes.removeAll(QString());
        if (!notes.isEmpty())
            basic(u"Note"_s, notes.join(u'\n'));
        m_xml.writeStartElement(kBasicNamespace, m_creditNote ? u"CreditedQuantity"_s : u"InvoicedQuantity"_s);
        m_xml.writeAttribute(u"unitCode"_s, unit);
        m_xml.writeCharacters(DecimalText(static_cast<double>(m_sign * quantity), u'.'));
        m_xml.writeEndElement();
        amount(u"LineExtensionAmount"_s, row.netCents);
        start(u"Item"_s);
        QString name = EinvoiceText(row.cells[TextColumn], kTextLength);
        const QString code = EinvoiceText(row.cells[CodeColumn], kTextLength);
        if (name.isEmpty())
            name = code.isEmpty() ? u"Rivi "_s + QString::number(position) : code;
        basic(u"Name"_s, name);
        if (!code.isEmpty()) {
            start(u"SellersItemIdentification"_s);
            basic(u"ID"_s, code);
            end();
        }
        taxCategory(u"ClassifiedTaxCategory"_s, row.rate, false);
        end();
        start(u"Price"_s);
        m_xml.writeStartElement(kBasicNamespace, u"PriceAmount"_s);
        m_xml.writeAttribute(u"currencyID"_s, kEinvoiceCurrency.toString());
        m_xml.writeCharacters(priceText);
        m_xml.writeEndElement();
        if (!baseQuantity.isEmpty()) {
            m_xml.writeStartElement(kBasicNamespace, u"BaseQuantity"_s);
            m_xml.writeAttribute(u"unitCode"_s, unit);
            m_xml.writeCharacters(baseQuantity);
            m_xml.writeEndElement();
        }
        end();
        end();
    }
}

} // namespace

QByteArray WritePeppol(const InvoiceRecord &record)
{
    QByteArray out;
    PeppolWriter(record, &out).write();
    return out;
}
