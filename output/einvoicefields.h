#pragma once

#include "invoice/invoicerecord.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The parts both e-invoice formats are made of: the amounts they carry,
// taken from the page's own totals, and the conversions of texts, dates,
// units and addresses. The writers include this, never each other.

/// Every amount is in euros, every address in Finland.
inline constexpr QStringView kEinvoiceCurrency = u"EUR";
inline constexpr QStringView kEinvoiceCountry = u"FI";

/// One row of the invoice as the e-invoices carry it. The page prints only a
/// total per row; the e-invoices also state each row's amount without VAT
/// and its VAT, made so that a rate's rows add up to the base the page's VAT
/// line for that rate prints.
struct EinvoiceRow
{
    /// The row's cells (RowColumn order), the price and total as the page shows them.
    QStringList cells;
    /// Whether the row has a quantity and a price; other rows carry text only.
    bool priced = false;
    /// The row's VAT rate as the page's VAT line names it ("25,5").
    QString rate;
    qint64 netCents = 0;
    qint64 vatCents = 0;
    /// The row's amount with VAT.
    qint64 grossCents = 0;
};

/// The totals and VAT lines exactly as RecordTotals gives them, and the rows
/// with their shares of them.
struct EinvoiceAmounts
{
    InvoiceTotals totals;
    QList<EinvoiceRow> rows;
};

/// The invoice's amounts for an e-invoice. Throws FloatingPointOverflow.
EinvoiceAmounts EinvoiceAmountsOf(const InvoiceRecord &record);

/// Whole cents of an amount text as FormatAmount writes it ("-1 234,50"):
/// ParseCents, 0 when the text is no amount.
qint64 AmountCents(QStringView amount);

/// Cents as a decimal number with two decimals and the given decimal mark,
/// no group separators: "-1234,50" or "-1234.50".
QString CentsText(qint64 cents, QChar decimalMark);

/// A number read from amount text (a quantity) written with the fewest
/// decimals that read back as the same stored value, no exponent, no group
/// separators, the given decimal mark.
QString DecimalText(double value, QChar decimalMark);

/// A text as an e-invoice element holds it: characters XML cannot carry
/// dropped, blanks at the ends trimmed, cut to the longest the element takes.
QString EinvoiceText(QStringView text, qsizetype longest);

/// A unit price with at least two and at most `decimals` decimals, trailing
/// zeros beyond two dropped, rounded half away from zero.
QString PriceText(long double value, int decimals, QChar decimalMark);

/// A date "d.m.yyyy" of the invoice (ReadDate); nullopt when the text is no
/// real date or its year is below 1000.
std::optional<QDate> EinvoiceDate(QStringView text);

/// The UN/ECE Recommendation 20 code of a unit as the rows name units ("kpl"
/// is C62, "h" is HUR); C62 (one) for a unit it does not know.
QString UnitCodeUN(QStringView unit);

/// A postal address read from address lines: the last line beginning with a
/// postcode gives the postcode and town, the lines before it the street lines.
struct EinvoicePostalAddress
{
    QStringList streets;
    QString postcode;
    QString town;
};

/// The postal address in the lines; empty postcode and town when no line
/// begins with a postcode.
EinvoicePostalAddress PostalAddressOf(const QStringList &lines);

/// The biller's VAT ID: the one given, or else the Finnish VAT ID that the
/// business ID makes ("FI" and its digits); empty when neither is known.
QString SellerVatId(const BillerDetails &biller);

/// Peppol's electronic address scheme for Finnish OVT codes, the only
/// Finnish scheme its code list holds.
extern const QString kOvtEndpointScheme;

/// The Peppol endpoint of an e-invoice address, an OVT code: one given ("0037",
/// the business ID's eight digits and up to five more characters) as it is,
/// or the one a business ID "1234567-1" or a Finnish VAT ID "FI12345671"
/// makes; empty for any other address.
QString PeppolEndpoint(QStringView address);

/// The text a 0 % rate carries as its reason: the program knows no more than
/// that the sale is not taxed.
extern const QString kZeroVatReasonText;

/// The invoice's reference without its blanks, as payments carry it.
QString ReferenceText(const InvoiceRecord &record);

/// Whether the record's reference is an RF creditor reference.
bool HasRfReference(const InvoiceRecord &record);
