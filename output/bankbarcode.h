#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The Finnish bank barcode: its 54-digit content and the Code 128 symbol,
// code set C, that carries it, with the symbol's size on a device.

/// Digits of a complete bank barcode content; any other length is not drawn.
constexpr int kBankBarcodeLength = 54;

/// The content from the giro form's captions: version 5 when the reference is
/// an RF creditor reference, version 4 when it is a national one. The version
/// digit, the 16 digits of the IBAN, the euros left-padded to 6 and the cents
/// to 2; then in version 4 "000" and the reference's digits left-padded to 20,
/// in version 5 the RF check digits and the body left-padded to 21; last the
/// due date as YYMMDD, or 000000 when none is given.
/// Each field is checked on its own, so no field can shift another: the
/// content is empty unless the IBAN is a Finnish one that passes its check,
/// the total an amount (PaymentAmountCents) from 0,01 to 999 999,99, the
/// reference one that passes its check (an RF one of digits only) and the due
/// date a real day or none.
QString BuildBankBarcode(QStringView iban, QStringView total, QStringView reference,
                         QStringView dueDate);

/// Whether a built content can be drawn: exactly kBankBarcodeLength digits.
bool IsBankBarcodeContent(QStringView content);

/// The line printed above the bars for a payer to type into the bank: the
/// caption "Virtuaaliviivakoodi", two blanks and the content's digits.
QString VirtualBarcodeText(QStringView content);

/// The symbol characters of a code set C symbol for a run of digits: Start C
/// (105), one value 0..99 per digit pair (an odd last digit is ignored), the
/// check character and Stop (106).
QList<int> Code128SetCValues(QStringView digits);

/// The element widths in modules of a symbol character, bar first: six
/// elements of 11 modules for 0..105, seven of 13 for Stop with its
/// termination bar.
QList<int> Code128Elements(int value);

/// Where and how large a symbol of `dataCharacters` digit pairs is drawn at
/// `dotsPerInch`, in device units: 105 mm shared among its modules, 12 mm
/// high, centred in the first 150 mm of the page. `drawn` is false when the
/// symbol would be narrower than 70 mm.
struct Code128Geometry
{
    int module = 0;
    int width = 0;
    int widthMm = 0;
    int left = 0;
    int barHeight = 0;
    bool drawn = false;
};

/// The geometry of the bitmap method: a bitmap of `width` plus two modules,
/// its left edge at `left`.
Code128Geometry Code128BitmapGeometry(int dataCharacters, int dotsPerInch);

/// The geometry of the direct method, which draws each bar on the device.
Code128Geometry Code128DirectGeometry(int dataCharacters, int dotsPerInch);
