#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>
#include <stdexcept>

// Amount text: money, quantities and VAT rates as text with a decimal comma and
// the no-break space (U+00A0) between groups of thousands, whatever the locale.

/// Thrown when a stored amount reaches 2^127 in magnitude; abandons the recalculation.
class FloatingPointOverflow : public std::runtime_error
{
public:
    FloatingPointOverflow();
};

/// Rounds a value to the 6-byte real form (40-bit significand, exponents of
/// 2^-128 up to 2^126; smaller magnitudes become 0). Throws FloatingPointOverflow
/// when the rounded magnitude is 2^127 or more, or the value is not finite.
double StoreReal(long double value);

/// Reads amount text: the first full stop counts as the comma, no-break spaces
/// are dropped, then blanks, an optional sign, digits, an optional comma with
/// digits, an optional exponent and blanks. Anything else, and a value beyond
/// the range of the text conversion (1e5000), reads as 0. The value is stored
/// as a 6-byte real, so a readable magnitude of 2^127 or more throws
/// FloatingPointOverflow.
double ParseAmount(QStringView text);

/// As ParseAmount, but nullopt when the text does not read as a number
/// (empty text included). Throws FloatingPointOverflow as ParseAmount does.
std::optional<double> TryParseAmount(QStringView text);

/// Writes a value with two decimals after adding 0.000001, rounding half away
/// from zero: 1234.5 gives "1 234,50" with a no-break space. Exact for any
/// magnitude; a value that rounds to zero gives "0,00", never "-0,00".
QString FormatAmount(double value);

/// Whole cents of money text as the program writes it and people type it:
/// an optional minus sign, the euros, then optionally a decimal comma with one
/// or two decimals ("-12,00", "1234,5", "12"). The euros are either plain
/// digits or groups of three after the first group of one to three digits,
/// each after one blank or no-break space ("1 234 567,50"). Blanks around the
/// text are ignored. nullopt for anything else ("2905, 4", "12 34", "12,",
/// "1,005", "+5", "1e3") and for amounts beyond 64 bits of cents.
std::optional<qint64> ParseCents(QStringView text);

/// Groups of thousands in money text written by FormatCents.
enum class CentsGrouping {
    NoBreakSpaces, ///< "-1 234,50" with U+00A0, as the page shows money
    None, ///< "-1234,50", as the payments and reminders files keep it
};

/// Whole cents as money text with two decimals; ParseCents reads it back.
QString FormatCents(qint64 cents, CentsGrouping grouping = CentsGrouping::NoBreakSpaces);

/// True when a VAT cell needs the default rate: the text is empty, unreadable or
/// negative. Any rate that reads as zero or more, whole or decimal ("13,5"), stays.
/// Never throws.
bool VatRateNeedsDefault(QStringView vat);

/// Cents as the payments file and the window write an amount: "1234,50",
/// "-5,00".
QString PaymentAmountText(qint64 cents);

/// The cents of an amount as a person or the payments file writes it
/// (ParseCents: "1 234,50", "1234,5", "12"); nullopt when it is no amount
/// or has more than twelve digits of euros.
std::optional<qint64> ParsePaymentAmount(QStringView text);
