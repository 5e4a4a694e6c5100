#pragma once

#include "output/paymentfields.h"

#include <QString>
#include <QStringView>

#include <optional>

// The payment QR code's text: a SEPA credit transfer in the European Payments
// Council's format, with the Finnish banks' use of its fields (the reference
// as structured remittance, the due date as the requested execution date).

/// The most bytes a payment QR code's text may hold; a reader may refuse more.
constexpr qsizetype kEpcQrMaxBytes = 331;

/// The QR code's text from the giro form's captions, lines joined by LF with
/// none after the last:
///   BCD, 002, 1 (UTF-8), SCT, the BIC without blanks, the payee's name (blanks
///   in runs and line breaks made one space, trimmed, cut to 70 characters),
///   the IBAN without blanks, EUR and the amount as 2510.00, an empty purpose,
///   the reference without blanks, an empty unstructured remittance, and
///   ReqdExctnDt/YYYY-MM-DD from a due date "d.m.yyyy".
/// A due date that does not read as a real date leaves its line out, so the
/// text ends with the reference.
/// nullopt when there is no valid IBAN (IsValidIban), a BIC given is not one
/// (IsValidBic), there is no amount (PaymentAmountCents) between 0,01 and
/// 999 999 999,99 or no reference, or when the text would be longer than
/// kEpcQrMaxBytes in UTF-8. The reference's own check digits are the
/// caller's to check.
std::optional<QString> EpcQrText(QStringView bic, QStringView payeeName, QStringView iban,
                                 QStringView amount, QStringView reference, QStringView dueDate);
