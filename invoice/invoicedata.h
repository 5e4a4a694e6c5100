#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// What an invoice holds, named once for the whole program: the columns of the
// rows grid and of the customer register, the header values in the order of
// an invoice file's first line, and the page's size in rows. The window's
// widgets stay the live invoice; InvoiceData is a snapshot of them for files,
// output and export.

/// Columns of the rows grid, and of each row of an invoice file.
enum RowColumn : int {
    CodeColumn,
    TextColumn,
    QuantityColumn,
    UnitColumn,
    PriceColumn,
    VatColumn,
    TotalColumn,
    RowColumnCount
};

/// Columns of the customer register grid, and of each line of its file.
enum RegisterColumn : int {
    NameColumn,
    Address1Column,
    Address2Column,
    Address3Column,
    BusinessIdColumn,
    CustomerNumberColumn,
    /// The customer's e-invoice address and its operator's id. Files of
    /// earlier versions have six columns; a line gets these two only when
    /// one of them is set, and earlier versions drop them on reading.
    EinvoiceAddressColumn,
    EinvoiceOperatorColumn,
    RegisterColumnCount
};

/// The header values in the order of an invoice file's first line. The
/// first five are all that files held before the invoice kept its VAT mode
/// and terms; the reader takes a file with fewer values and ignores further
/// ones, so files stay readable both ways.
enum HeaderField : int {
    InvoiceNumberField,
    InvoiceDateField,
    ReferenceField,
    BusinessIdField,
    CustomerNumberField,
    /// "á hinta sis. alv" of the invoice, yes/no.
    UnitPricesWithVatField,
    /// "Rivi yht. sis. alv" the invoice was totalled with, yes/no.
    RowTotalsWithVatField,
    PaymentTermsField,
    PenaltyInterestField,
    ReminderTimeField,
    DueDateField,
    /// The buyer's e-invoice address (an OVT code or a business ID) and its
    /// operator's id; written only when set, so invoices without them keep
    /// the file line they had.
    BuyerEinvoiceAddressField,
    BuyerEinvoiceOperatorField,
    /// Of a credit note, the year and number of the invoice it credits;
    /// written only when set, so an invoice keeps the line it had.
    CreditedYearField,
    CreditedNumberField,
    /// The biller the invoice was issued with: official name, address lines,
    /// post office, business ID, VAT ID, IBAN and BIC. Written with every
    /// invoice, so the values before them are written too, empty or not; a
    /// file without them takes today's biller details.
    BillerNameField,
    BillerAddress1Field,
    BillerAddress2Field,
    BillerPostOfficeField,
    BillerBusinessIdField,
    BillerVatIdField,
    BillerIbanField,
    BillerBicField,
    HeaderFieldCount
};

/// The customer block: the name, then the address lines, as an invoice file's
/// second line holds them.
enum CustomerLine : int {
    CustomerNameLine,
    CustomerAddress1Line,
    CustomerAddress2Line,
    CustomerAddress3Line,
    CustomerLineCount
};

/// The column of the customer address grid and of the biller heading grid
/// that holds the text; column 0 is a narrow margin.
constexpr int kBlockTextColumn = 1;

/// Invoice rows on the page without the extra rows page; an invoice with more
/// shows "Lisärivit" checked.
constexpr int kPageRowLines = 16;

/// One invoice as texts: the header values (HeaderField order), the customer
/// lines (CustomerLine order) and the rows (RowColumn order each).
struct InvoiceData
{
    QStringList header;
    QStringList customer;
    QList<QStringList> rows;
};

/// Whether a text reads as an invoice's date: three whole numbers, day 1 to
/// 31, month 1 to 12 and year 1 to 9999.
bool IsInvoiceDateText(QStringView date);

/// The year folder's name: the third whole number of the invoice date text
/// in decimal, "0" when the date holds fewer than three numbers.
QString InvoiceYearOfDate(QStringView invoiceDate);

/// A yes/no header value spelled as the settings file spells its options.
QString YesNoText(bool yes);

/// The yes/no value stored in the header's field: a whole number, yes when
/// not 0; nullopt when the field is missing or holds no whole number, as in
/// files written before the field existed.
std::optional<bool> StoredYesNo(const QStringList &header, HeaderField field);

/// Whether the header holds its invoice's due date as a date (day 1 to 31,
/// month 1 to 12, year 1 to 9999). Without one, as in files written before
/// the due date was kept, the opened invoice's due date is recomputed.
bool HasStoredDueDate(const QStringList &header);
