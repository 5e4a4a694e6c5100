#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The payment QR code's text: a SEPA credit transfer in the European Payments
// Council's format, with the Finnish banks' use of its fields (the reference
// as structured remittance, the due date as the requested execution date).

/// True when the text is an IBAN whose check digits hold: blanks are ignored;
/// two capital letters, two digits, then capital letters and digits, 15 to 34
/// characters in all; moved to the end, the first four characters give with
/// A = 10 … Z = 35 a number whose remainder by 97 is 1.
bool IsValidIban(QStringView iban);

/// The QR code's text from the giro form's captions, lines joined by LF with
/// none after the last:
///   BCD, 002, 1 (UTF-8), SCT, the BIC without blanks, the payee's name (blanks
///   in runs and line breaks made one space, trimmed, cut to 70 characters),
///   the IBAN without blanks, EUR and the amount as 2510.00, an empty purpose,
///   the reference without blanks, an empty unstructured remittance, and
///   ReqdExctnDt/YYYY-MM-DD from a due date "d.m.yyyy".
/// A due date that does not read as a real date leaves its line out, so the
/// text ends with the reference.
/// nullopt when there is no valid IBAN (IsValidIban), no amount "2 510,00"
/// (no-break or plain spaces between groups, a decimal comma and at most two
/// decimals) between 0,01 and 999 999 999,99, or no reference. The
/// reference's own check digits are the caller's to check.
std::optional<QString> EpcQrText(QStringView bic, QStringView payeeName, QStringView iban,
                                 QStringView amount, QStringView reference, QStringView dueDate);
