#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// The payee's account, bank and the amount as the giro form writes them,
// checked the same way for the bank barcode and the payment QR code.

/// The text without its blanks, as the codes carry an IBAN, BIC or reference.
QString WithoutBlanks(QStringView text);

/// True when the text is an IBAN whose check digits hold: blanks are ignored;
/// two capital letters, two digits, then capital letters and digits, 15 to 34
/// characters in all; moved to the end, the first four characters give with
/// A = 10 … Z = 35 a number whose remainder by 97 is 1.
bool IsValidIban(QStringView iban);

/// True when the text, blanks ignored, is a BIC: four capital letters for the
/// bank, two for the country, two capitals or digits for the location and
/// optionally three capitals or digits for the branch.
bool IsValidBic(QStringView bic);
