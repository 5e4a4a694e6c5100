#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// Whole numbers read out of text, reference numbers with their check digit,
// RF creditor references, the reference base counter, and date text with due
// dates.

/// Digits of a Finnish reference number, its check digit included.
constexpr int kNationalReferenceMinDigits = 4;
constexpr int kNationalReferenceMaxDigits = 20;

/// Check digits after "RF" in an RF creditor reference.
constexpr int kRfCheckDigits = 2;

/// Most characters of an RF creditor reference after its check digits.
constexpr int kRfBodyMaxLength = 21;

/// Reads the next whole number (a run of digits and "-") at or after the 1-based
/// position and moves the position past it. The run gives 0 when it is not a
/// 32-bit integer ("2026-12-06", "-", beyond the range); no run gives 0 with the
/// position past the end.
int TakeInteger(QStringView text, int &position);

/// The first whole number of a text in decimal, of any length: what
/// TakeInteger reads from position 1, and beyond the 32-bit range the run's
/// digits without leading zeros. "0" when the text has no such number.
QString WholeNumberText(QStringView text);

/// A whole number in decimal plus one, of any length: "2147483647" gives
/// "2147483648", "-1" gives "0".
QString IncrementWholeNumberText(const QString &number);

/// Appends the Finnish reference check digit (weights 3, 7, 9 from the right)
/// computed over the rightmost run of digits, single separators inside it
/// stepped over. Empty text stays empty; text without digits gets 0.
QString AppendCheckDigit(const QString &text);

/// Whether the text is a Finnish reference number: blanks (any white space)
/// ignored, 4 to 20 ASCII digits of which the last is the check digit that
/// AppendCheckDigit gives the others.
bool IsValidNationalReference(QStringView reference);

/// The RF creditor reference of a Finnish reference number: "RF", the two
/// check digits and the number's digits, written in groups of four from the
/// left ("1009" gives "RF18 1009"). Empty when the number is not valid.
QString RfReference(QStringView national);

/// Whether the text is a valid RF creditor reference: blanks ignored, "RF" in
/// capitals, two check digits from 02 to 98, and 1 to 21 ASCII digits or
/// capital letters, the whole leaving 1 mod 97 once the first four characters
/// are moved to the end and each letter is read as its two digits 10 to 35.
bool IsValidRfReference(QStringView reference);

/// Whether the text is written as an RF creditor reference, valid or not: "RF"
/// in capitals first once blanks are ignored.
bool IsRfReference(QStringView reference);

/// What follows "RF" and the two check digits of a reference in RF form,
/// blanks removed.
QString RfReferenceBody(QStringView reference);

/// Whether a reference given is neither a valid Finnish reference number nor a
/// valid RF creditor reference. Blanks alone are no reference and do not fail.
bool ReferenceFailsCheck(QStringView reference);

/// "d.m.yyyy" without leading zeros in day and month; an invalid date gives the
/// empty date "00.00.0000".
QString DateText(const QDate &date);

/// Today plus the first whole number of the payment terms, in days (0 without a
/// number; a negative number goes back). A result outside the years 1 to 9999
/// gives an invalid date.
QDate DueDate(const QDate &today, QStringView paymentTerms);

/// Groups a reference base in fives from the right, the last group of four
/// leaving room for the check digit: "1234567890" gives "1 23456 7890".
/// Only blanks are removed first; other characters count like digits.
QString RegroupReferenceBase(const QString &text);

/// Steps a reference base by one in place, carrying over single separators:
/// "12 99" gives "13 00", "999" gives "1000", empty text gives "1". A carry that
/// meets another character is dropped ("A99" gives "A00").
QString StepReferenceBase(const QString &text);

/// The due date of an invoice: its date text ("d.m.yyyy") plus the first whole
/// number of its payment terms, counted through month lengths in which
/// February has 29 days in years divisible by 4. nullopt unless the date
/// reads as 1 <= d <= 31, 1 <= m <= 12, 1900 < y < 2099. A negative term
/// counts back the same way.
std::optional<QString> RecalcDueDateText(QStringView invoiceDate, QStringView terms);
