// The Finvoice 3.0 document of a record and its SOAP transmission frame,
// written with QXmlStreamWriter.

#include "invoice/creditnote.h"
#include "finvoice.h"

#include "invoice/amount.h"
#include "output/einvoicefields.h"
#include "output/paymentcodes.h"
#include "output/paymentfields.h"

#include <QRegularExpression>
#include <QXmlStreamWriter>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The longest texts the schema's elements take.
constexpr qsizetype kNameLength = 70;
constexpr qsizetype kAddressLength = 35;
constexpr qsizetype kArticleNameLength = 100;
constexpr qsizetype kFreeTextLength = 512;
constexpr qsizetype kTermsLength = 70;
constexpr qsizetype kUnitLength = 14;
constexpr qsizetype kInvoiceNumberLength = 20;
// The shortest name of a party, and the longest quantity text, the schema takes.
constexpr qsizetype kShortestName = 2;
constexpr qsizetype kQuantityLength = 14;
constexpr qsizetype kMessageIdLength = 48;
constexpr int kUnitPriceDecimals = 5;

const QString kDateFormat = u"CCYYMMDD"_s;
const QString kEnvelopeNamespace = u"http://schemas.xmlsoap.org/soap/envelope/"_s;
const QString kEbxmlNamespace = u"http://www.oasis-open.org/committees/ebxml-msg/schema/msg-header-2_0.xsd"_s;
const QString kXlinkNamespace = u"http://www.w3.org/1999/xlink"_s;

QString finvoiceDate(const QDate &date)
{
    return date.toString(u"yyyyMMdd"_s);
}

// A percentage as the schema writes one ("25,5"), or empty when the text is
// none: the penalty interest is typed as "13%" or "8 %".
QString percentText(QStringView text)
{
    static const QRegularExpression percent(u"^[1-9]?[0-9]{1,2}(,[0-9]{1,4})?$"_s);
    QString bare = WithoutBlanks(text);
    bare.remove(u'%');
    bare.replace(u'.', u',');
    return percent.match(bare).hasMatch() ? bare : QString();
}

// A quantity as the schema takes it: its exact text when that fits in
// kQuantityLength characters, or else rounded to the decimals that fit;
// none when its whole part alone does not.
std::optional<QString> quantityText(double quantity)
{
    const QString exact = DecimalText(quantity, u',');
    if (exact.size() <= kQuantityLength)
        return exact;
    const qsizetype comma = exact.indexOf(u',');
    for (qsizetype decimals = comma < 0 ? 0 : kQuantityLength - comma - 1; decimals >= 0; --decimals) {
        QString text = QString::number(quantity, 'f', int(decimals));
        if (text.contains(u'.')) {
            while (text.endsWith(u'0'))
                text.chop(1);
            if (text.endsWith(u'.'))
                text.chop(1);
        }
        if (text == u"-0")
            text = u"0"_s;
        if (text.size() <= kQuantityLength)
            return text.replace(u'.', u',');
    }
    return std::nullopt;
}

// A party's name as the schema takes it: at least kShortestName characters.
bool nameFits(const QString &name)
{
    return EinvoiceText(name, kNameLength).size() >= kShortestName;
}

class FinvoiceWriter
{
public:
    FinvoiceWriter(const InvoiceRecord &record, const QDateTime &sent, QByteArray *out)
        : m_record(record), m_sent(sent), m_xml(out), m_amounts(EinvoiceAmountsOf(record))
    {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(1);
    }

    void writeFrame();
    void writeDocument();

private:
    QString header(HeaderField field) const { return m_record.invoice.header.value(field); }
    QString messageId() const;
    bool transmitted() const;

    void text(const QString &name, const QString &value, qsizetype longest);
    void textIf(const QString &name, const QString &value, qsizetype longest);
    void amount(const QString &name, qint64 cents);
    void date(const QString &name, const QDate &value);
    void postalAddress(const QString &prefix, const EinvoicePostalAddress &address);

    void transmissionDetails();
    void seller();
    void buyer();
    void invoiceDetails();
    void rows();
    void payment();

    const InvoiceRecord &m_record;
    const QDateTime m_sent;
    QXmlStreamWriter m_xml;
    const EinvoiceAmounts m_amounts;
};

QString FinvoiceWriter::messageId() const
{
    return (m_sent.toString(u"yyyyMMddHHmmss"_s) + u'-' + EinvoiceText(header(InvoiceNumberField), kInvoiceNumberLength))
        .left(kMessageIdLength);
}

// The transmission details need both ends of the route.
bool FinvoiceWriter::transmitted() const
{
    const EinvoiceAddress seller = m_record.biller.einvoice;
    const EinvoiceAddress buyer = BuyerEinvoice(m_record);
    return !seller.address.trimmed().isEmpty() && !seller.operatorId.trimmed().isEmpty()
            && !buyer.address.trimmed().isEmpty() && !buyer.operatorId.trimmed().isEmpty();
}

void FinvoiceWriter::text(const QString &name, const QString &value, qsizetype longest)
{
    m_xml.writeTextElement(name, EinvoiceText(value, longest));
}

void FinvoiceWriter::textIf(const QString &name, const QString &value, qsizetype longest)
{
    if (!EinvoiceText(value, longest).isEmpty())
        text(name, value, longest);
}

void FinvoiceWriter::amount(const QString &name, qint64 cents)
{
    m_xml.writeStartElement(name);
    m_xml.writeAttribute(u"AmountCurrencyIdentifier"_s, kEinvoiceCurrency.toString());
    m_xml.writeCharacters(CentsText(cents, u','));
    m_xml.writeEndElement();
}

void FinvoiceWriter::date(const QString &name, const QDate &value)
{
    m_xml.writeStartElement(name);
    m_xml.writeAttribute(u"Format"_s, kDateFormat);
    m_xml.writeCharacters(finvoiceDate(value));
    m_xml.writeEndElement();
}

// The schema wants a street, a postcode and a town, or no address at all.
void FinvoiceWriter::postalAddress(const QString &prefix, const EinvoicePostalAddress &address)
{
    if (address.streets.isEmpty() || address.postcode.isEmpty() || EinvoiceText(address.town, kAddressLength).size() < 2)
        return;
    m_xml.writeStartElement(prefix + u"PostalAddressDetails"_s);
    for (const QString &street : address.streets.first(qMin<qsizetype>(address.streets.size(), 3))) {
        if (EinvoiceText(street, kAddressLength).size() >= 2)
            text(prefix + u"StreetName"_s, street, kAddressLength);
    }
    text(prefix + u"TownName"_s, address.town, kAddressLength);
    text(prefix + u"PostCodeIdentifier"_s, address.postcode, kAddressLength);
    m_xml.writeTextElement(u"CountryCode"_s, kEinvoiceCountry.toString());
    m_xml.writeEndElement();
}

// The ebXML message header the banks' forwarding service routes by: the
// sender and receiver are the parties' e-invoice addresses, each with its
// operator as intermediator.
void FinvoiceWriter::writeFrame()
{
    const EinvoiceAddress seller = m_record.biller.einvoice;
    const EinvoiceAddress buyer = BuyerEinvoice(m_record);
    const auto party = [&](const QString &element, const QString &id, const QString &role) {
        m_xml.writeStartElement(kEbxmlNamespace, element);
        m_xml.writeTextElement(kEbxmlNamespace, u"PartyId"_s, EinvoiceText(id, kAddressLength));
        m_xml.writeTextElement(kEbxmlNamespace, u"Role"_s, role);
        m_xml.writeEndElement();
    };
    m_xml.writeNamespace(kEnvelopeNamespace, u"SOAP-ENV"_s);
    m_xml.writeNamespace(kXlinkNamespace, u"xlink"_s);
    m_xml.writeNamespace(kEbxmlNamespace, u"eb"_s);
    m_xml.writeStartElement(kEnvelopeNamespace, u"Envelope"_s);
    m_xml.writeStartElement(kEnvelopeNamespace, u"Header"_s);
    m_xml.writeStartElement(kEbxmlNamespace, u"MessageHeader"_s);
    m_xml.writeAttribute(kEnvelopeNamespace, u"mustUnderstand"_s, u"1"_s);
    m_xml.writeAttribute(kEbxmlNamespace, u"version"_s, u"2.0"_s);
    party(u"From"_s, seller.address, u"Sender"_s);
    party(u"From"_s, seller.operatorId, u"Intermediator"_s);
    party(u"To"_s, buyer.address, u"Receiver"_s);
    party(u"To"_s, buyer.operatorId, u"Intermediator"_s);
    m_xml.writeTextElement(kEbxmlNamespace, u"CPAId"_s, u"yoursandmycpa"_s);
    m_xml.writeTextElement(kEbxmlNamespace, u"ConversationId"_s, QString());
    m_xml.writeTextElement(kEbxmlNamespace, u"Service"_s, u"Routing"_s);
    m_xml.writeTextElement(kEbxmlNamespace, u"Action"_s, u"ProcessInvoice"_s);
    m_xml.writeStartElement(kEbxmlNamespace, u"MessageData"_s);
    m_xml.writeTextElement(kEbxmlNamespace, u"MessageId"_s, messageId());
    m_xml.writeTextElement(kEbxmlNamespace, u"Timestamp"_s, m_sent.toString(Qt::ISODate));
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeStartElement(kEnvelopeNamespace, u"Body"_s);
    m_xml.writeStartElement(kEbxmlNamespace, u"Manifest"_s);
    m_xml.writeAttribute(kEbxmlNamespace, u"id"_s, u"Manifest"_s);
    m_xml.writeAttribute(kEbxmlNamespace, u"version"_s, u"2.0"_s);
    m_xml.writeStartElement(kEbxmlNamespace, u"Reference"_s);
    m_xml.writeAttribute(kEbxmlNamespace, u"id"_s, u"Finvoice"_s);
    m_xml.writeAttribute(kXlinkNamespace, u"href"_s, messageId());
    m_xml.writeStartElement(kEbxmlNamespace, u"schema"_s);
    m_xml.writeAttribute(kEbxmlNamespace, u"location"_s, u"http://www.finvoice.info/finvoice.xsd"_s);
    m_xml.writeAttribute(kEbxmlNamespace, u"version"_s, u"3.0"_s);
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeEndDocument();
}

void FinvoiceWriter::writeDocument()
{
    // UTF-8, which the schema takes as well as ISO-8859-15: it holds every
    // character an invoice file can, the typographic quotes and dashes of
    // Windows-1252 among them, which ISO-8859-15 lacks.
    m_xml.writeStartDocument();
    m_xml.writeStartElement(u"Finvoice"_s);
    m_xml.writeAttribute(u"Version"_s, u"3.0"_s);
    if (transmitted())
        transmissionDetails();
    seller();
    buyer();
    invoiceDetails();
    const QString barcode = RecordBankBarcode(m_record);
    if (!barcode.isEmpty())
        m_xml.writeTextElement(u"VirtualBankBarcode"_s, barcode);
    rows();
    payment();
    m_xml.writeEndElement();
    m_xml.writeEndDocument();
}

void FinvoiceWriter::transmissionDetails()
{
    const EinvoiceAddress seller = m_record.biller.einvoice;
    const EinvoiceAddress buyer = BuyerEinvoice(m_record);
    m_xml.writeStartElement(u"MessageTransmissionDetails"_s);
    m_xml.writeStartElement(u"MessageSenderDetails"_s);
    text(u"FromIdentifier"_s, seller.address, kAddressLength);
    text(u"FromIntermediator"_s, seller.operatorId, kAddressLength);
    m_xml.writeEndElement();
    m_xml.writeStartElement(u"MessageReceiverDetails"_s);
    text(u"ToIdentifier"_s, buyer.address, kAddressLength);
    text(u"ToIntermediator"_s, buyer.operatorId, kAddressLength);
    m_xml.writeEndElement();
    m_xml.writeStartElement(u"MessageDetails"_s);
    m_xml.writeTextElement(u"MessageIdentifier"_s, messageId());
    m_xml.writeTextElement(u"MessageTimeStamp"_s, m_sent.toString(Qt::ISODate));
    m_xml.writeEndElement();
    m_xml.writeEndElement();
}

void FinvoiceWriter::seller()
{
    const BillerDetails &biller = m_record.biller;
    m_xml.writeStartElement(u"SellerPartyDetails"_s);
    textIf(u"SellerPartyIdentifier"_s, biller.businessId, kAddressLength);
    text(u"SellerOrganisationName"_s, biller.officialName, kNameLength);
    // A missing VAT ID is left out rather than made from the business ID:
    // the Finvoice states what the biller gave.
    textIf(u"SellerOrganisationTaxCode"_s, biller.vatId, kAddressLength);
    postalAddress(u"Seller"_s, PostalAddressOf({biller.address1, biller.address2, biller.postOffice}));
    m_xml.writeEndElement();
    textIf(u"SellerOrganisationUnitNumber"_s, biller.einvoice.address, kAddressLength);
    if (!EinvoiceText(biller.phone, kAddressLength).isEmpty()) {
        m_xml.writeStartElement(u"SellerCommunicationDetails"_s);
        text(u"SellerPhoneNumberIdentifier"_s, biller.phone, kAddressLength);
        m_xml.writeEndElement();
    }
    m_xml.writeStartElement(u"SellerInformationDetails"_s);
    textIf(u"SellerHomeTownName"_s, biller.homeTown, kAddressLength);
    // A biller with a VAT ID is entered in the VAT register; the usual mark.
    if (!WithoutBlanks(biller.vatId).isEmpty())
        m_xml.writeTextElement(u"SellerVatRegistrationText"_s, u"Alv.Rek"_s);
    textIf(u"SellerFaxNumber"_s, biller.fax, kAddressLength);
    // The account is stated only with its bank, as the schema wants both.
    if (IsValidIban(biller.iban) && IsValidBic(biller.bic)) {
        m_xml.writeStartElement(u"SellerAccountDetails"_s);
        m_xml.writeStartElement(u"SellerAccountID"_s);
        m_xml.writeAttribute(u"IdentificationSchemeName"_s, u"IBAN"_s);
        m_xml.writeCharacters(WithoutBlanks(biller.iban));
        m_xml.writeEndElement();
        m_xml.writeStartElement(u"SellerBic"_s);
        m_xml.writeAttribute(u"IdentificationSchemeName"_s, u"BIC"_s);
        m_xml.writeCharacters(WithoutBlanks(biller.bic));
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
}

void FinvoiceWriter::buyer()
{
    const QStringList &customer = m_record.invoice.customer;
    m_xml.writeStartElement(u"BuyerPartyDetails"_s);
    textIf(u"BuyerPartyIdentifier"_s, header(BusinessIdField), kAddressLength);
    text(u"BuyerOrganisationName"_s, customer.value(CustomerNameLine), kNameLength);
    postalAddress(u"Buyer"_s, PostalAddressOf({customer.value(CustomerAddress1Line), customer.value(CustomerAddress2Line),
                                               customer.value(CustomerAddress3Line)}));
    m_xml.writeEndElement();
    textIf(u"BuyerOrganisationUnitNumber"_s, BuyerEinvoice(m_record).address, kAddressLength);
}

void FinvoiceWriter::invoiceDetails()
{
    const InvoiceTotals &totals = m_amounts.totals;
    m_xml.writeStartElement(u"InvoiceDetails"_s);
    const bool creditNote = IsCreditNote(m_record.invoice.header);
    m_xml.writeTextElement(u"InvoiceTypeCode"_s, creditNote ? u"INV02"_s : u"INV01"_s);
    m_xml.writeTextElement(u"InvoiceTypeCodeUN"_s, creditNote ? u"381"_s : u"380"_s);
    m_xml.writeTextElement(u"InvoiceTypeText"_s, InvoiceHeading(creditNote));
    m_xml.writeTextElement(u"OriginCode"_s, u"Original"_s);
    text(u"InvoiceNumber"_s, header(InvoiceNumberField), kInvoiceNumberLength);
    date(u"InvoiceDate"_s, EinvoiceDate(header(InvoiceDateField)).value_or(QDate()));
    if (creditNote)
        text(u"OriginalInvoiceNumber"_s, header(CreditedNumberField), kInvoiceNumberLength);
    textIf(u"SellersBuyerIdentifier"_s, header(CustomerNumberField), kNameLength);
    amount(u"InvoiceTotalVatExcludedAmount"_s, AmountCents(totals.withoutVat));
    amount(u"InvoiceTotalVatAmount"_s, AmountCents(totals.vat));
    amount(u"InvoiceTotalVatIncludedAmount"_s, AmountCents(totals.total));
    // The highest rate first, as Finnish e-invoices list them.
    for (auto it = totals.rates.crbegin(); it != totals.rates.crend(); ++it) {
        const VatRateLine &line = *it;
        const bool exempt = ParseAmount(line.rate) == 0;
        m_xml.writeStartElement(u"VatSpecificationDetails"_s);
        amount(u"VatBaseAmount"_s, AmountCents(line.withoutVat));
        m_xml.writeTextElement(u"VatRatePercent"_s, WithoutBlanks(line.rate));
        // A 0 % rate is an exempt sale (category E), as the sales a small
        // Finnish business makes without VAT are; it names its reason.
        m_xml.writeTextElement(u"VatCode"_s, exempt ? u"E"_s : u"S"_s);
        amount(u"VatRateAmount"_s, AmountCents(line.vat));
        if (exempt)
            m_xml.writeTextElement(u"VatFreeText"_s, kZeroVatReasonText);
        m_xml.writeEndElement();
    }
    // The biller's free texts print at the foot of the page.
    textIf(u"InvoiceFreeText"_s, m_record.biller.freeText1, kFreeTextLength);
    textIf(u"InvoiceFreeText"_s, m_record.biller.freeText2, kFreeTextLength);

    m_xml.writeStartElement(u"PaymentTermsDetails"_s);
    textIf(u"PaymentTermsFreeText"_s, header(PaymentTermsField), kTermsLength);
    if (const std::optional<QDate> due = EinvoiceDate(RecordDueDate(m_record)))
        date(u"InvoiceDueDate"_s, *due);
    const QString penalty = EinvoiceText(header(PenaltyInterestField), kTermsLength);
    if (!penalty.isEmpty()) {
        // The interest as the invoice words it, and as a percentage when it
        // reads as one.
        m_xml.writeStartElement(u"PaymentOverDueFineDetails"_s);
        text(u"PaymentOverDueFineFreeText"_s, u"Viivästyskorko "_s + penalty, kTermsLength);
        const QString percent = percentText(penalty);
        if (!percent.isEmpty())
            m_xml.writeTextElement(u"PaymentOverDueFinePercent"_s, percent);
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
    m_xml.writeEndElement();
}

void FinvoiceWriter::rows()
{
    const bool pricesWithVat = UnitPricesWithVat(m_record);
    int position = 0;
    for (const EinvoiceRow &row : m_amounts.rows) {
        const QString code = EinvoiceText(row.cells[CodeColumn], kNameLength);
        const QString description = row.cells[TextColumn];
        if (!row.priced) {
            // A text row says something about the rows around it: a row of
            // its own without amounts, its text in full.
            if (code.isEmpty() && EinvoiceText(description, kFreeTextLength).isEmpty())
                continue;
            m_xml.writeStartElement(u"InvoiceRow"_s);
            textIf(u"ArticleIdentifier"_s, code, kNameLength);
            textIf(u"RowFreeText"_s, description, kFreeTextLength);
            m_xml.writeEndElement();
            continue;
        }
        const double quantity = ParseAmount(row.cells[QuantityColumn]);
        const QString unit = EinvoiceText(row.cells[UnitColumn], kUnitLength);
        m_xml.writeStartElement(u"InvoiceRow"_s);
        textIf(u"ArticleIdentifier"_s, code, kNameLength);
        textIf(u"ArticleName"_s, description, kArticleNameLength);
        m_xml.writeStartElement(u"InvoicedQuantity"_s);
        if (!unit.isEmpty())
            m_xml.writeAttribute(u"QuantityUnitCode"_s, unit);
        m_xml.writeAttribute(u"QuantityUnitCodeUN"_s, UnitCodeUN(unit));
        m_xml.writeCharacters(quantityText(quantity).value_or(QString()));
        m_xml.writeEndElement();
        m_xml.writeStartElement(u"UnitPriceAmount"_s);
        m_xml.writeAttribute(u"AmountCurrencyIdentifier"_s, kEinvoiceCurrency.toString());
        // The unit price is without VAT; prices typed with VAT keep theirs too.
        if (pricesWithVat)
            m_xml.writeCharacters(PriceText(row.netCents / 100.0L / quantity, kUnitPriceDecimals, u','));
        else
            m_xml.writeCharacters(CentsText(AmountCents(row.cells[PriceColumn]), u','));
        m_xml.writeEndElement();
        if (pricesWithVat) {
            m_xml.writeStartElement(u"UnitPriceVatIncludedAmount"_s);
            m_xml.writeAttribute(u"AmountCurrencyIdentifier"_s, kEinvoiceCurrency.toString());
            m_xml.writeCharacters(CentsText(AmountCents(row.cells[PriceColumn]), u','));
            m_xml.writeEndElement();
        }
        m_xml.writeTextElement(u"RowPositionIdentifier"_s, QString::number(++position));
        m_xml.writeTextElement(u"RowVatRatePercent"_s, WithoutBlanks(row.rate));
        m_xml.writeTextElement(u"RowVatCode"_s, ParseAmount(row.rate) == 0 ? u"E"_s : u"S"_s);
        amount(u"RowVatAmount"_s, row.vatCents);
        amount(u"RowVatExcludedAmount"_s, row.netCents);
        amount(u"RowAmount"_s, row.grossCents);
        m_xml.writeEndElement();
    }
}

void FinvoiceWriter::payment()
{
    const BillerDetails &biller = m_record.biller;
    const QString reference = ReferenceText(m_record);
    const std::optional<QDate> invoiceDate = EinvoiceDate(header(InvoiceDateField));
    // The schema wants the payment details also on a credit note; it states
    // its (negative) total, but no reference or means to pay with.
    const bool creditNote = IsCreditNote(m_record.invoice.header);
    m_xml.writeStartElement(u"EpiDetails"_s);
    m_xml.writeStartElement(u"EpiIdentificationDetails"_s);
    date(u"EpiDate"_s, invoiceDate.value_or(QDate()));
    m_xml.writeTextElement(u"EpiReference"_s, reference);
    m_xml.writeEndElement();

    m_xml.writeStartElement(u"EpiPartyDetails"_s);
    m_xml.writeStartElement(u"EpiBfiPartyDetails"_s);
    if (IsValidBic(biller.bic)) {
        m_xml.writeStartElement(u"EpiBfiIdentifier"_s);
        m_xml.writeAttribute(u"IdentificationSchemeName"_s, u"BIC"_s);
        m_xml.writeCharacters(WithoutBlanks(biller.bic));
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
    m_xml.writeStartElement(u"EpiBeneficiaryPartyDetails"_s);
    if (EinvoiceText(biller.officialName, kAddressLength).size() >= 2)
        text(u"EpiNameAddressDetails"_s, biller.officialName, kAddressLength);
    const QString businessId = WithoutBlanks(biller.businessId);
    if (businessId.size() >= 8 && businessId.size() <= 11)
        m_xml.writeTextElement(u"EpiBei"_s, businessId);
    m_xml.writeStartElement(u"EpiAccountID"_s);
    m_xml.writeAttribute(u"IdentificationSchemeName"_s, u"IBAN"_s);
    m_xml.writeCharacters(WithoutBlanks(biller.iban));
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeEndElement();

    m_xml.writeStartElement(u"EpiPaymentInstructionDetails"_s);
    if (!reference.isEmpty() && !creditNote) {
        m_xml.writeStartElement(u"EpiRemittanceInfoIdentifier"_s);
        m_xml.writeAttribute(u"IdentificationSchemeName"_s, HasRfReference(m_record) ? u"ISO"_s : u"SPY"_s);
        m_xml.writeCharacters(reference);
        m_xml.writeEndElement();
    }
    m_xml.writeStartElement(u"EpiInstructedAmount"_s);
    m_xml.writeAttribute(u"AmountCurrencyIdentifier"_s, kEinvoiceCurrency.toString());
    m_xml.writeCharacters(CentsText(AmountCents(m_amounts.totals.total), u','));
    m_xml.writeEndElement();
    m_xml.writeStartElement(u"EpiCharge"_s);
    m_xml.writeAttribute(u"ChargeOption"_s, u"SHA"_s);
    m_xml.writeCharacters(u"SHA"_s);
    m_xml.writeEndElement();
    // A due date that is no date (terms the program cannot count) leaves the
    // payment due on the invoice date.
    date(u"EpiDateOptionDate"_s, EinvoiceDate(RecordDueDate(m_record)).value_or(invoiceDate.value_or(QDate())));
    if (!creditNote)
        m_xml.writeTextElement(u"EpiPaymentMeansCode"_s, u"58"_s);
    m_xml.writeEndElement();
    m_xml.writeEndElement();
}

} // namespace

QString FinvoiceRefusal(const InvoiceRecord &record)
{
    QStringList reasons;
    const QString buyer = record.invoice.customer.value(CustomerNameLine);
    // A name missing altogether is refused for every format.
    if (!EinvoiceText(buyer, kNameLength).isEmpty() && !nameFits(buyer))
        reasons << u"Asiakkaan nimessä on oltava Finvoice-laskussa vähintään %1 merkkiä."_s.arg(kShortestName);
    if (!nameFits(record.biller.officialName))
        reasons << u"Laskuttajan virallisessa nimessä on oltava Finvoice-laskussa vähintään %1 merkkiä."_s.arg(kShortestName);
    const EinvoiceAmounts amounts = EinvoiceAmountsOf(record);
    for (qsizetype i = 0; i < amounts.rows.size(); ++i) {
        const EinvoiceRow &row = amounts.rows[i];
        if (row.priced && !quantityText(ParseAmount(row.cells[QuantityColumn])))
            reasons << u"Rivin %1 määrä on liian suuri Finvoice-laskuun (enintään %2 merkkiä)."_s.arg(i + 1).arg(kQuantityLength);
    }
    return reasons.join(u'\n');
}

QByteArray WriteFinvoice(const InvoiceRecord &record, bool framed, const QDateTime &sent)
{
    QByteArray frame;
    if (framed) {
        // The frame is a document of its own, without a declaration, and
        // the Finvoice document's declaration opens the line after its end,
        // as the banks' framed files have it: a reader splits the two there.
        FinvoiceWriter(record, sent, &frame).writeFrame();
        while (frame.endsWith('\n'))
            frame.chop(1);
        frame.append('\n');
    }
    QByteArray document;
    FinvoiceWriter(record, sent, &document).writeDocument();
    return frame + document;
}
