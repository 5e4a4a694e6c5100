#pragma once

// Conversions between screen pixels, millimetres, points and device units:
// multiply, then divide, with a 64-bit intermediate.

/// value × numerator ÷ denominator, rounded to the nearest integer with halves
/// away from zero; -1 for a zero denominator or a result outside int.
int MulDiv(int value, int numerator, int denominator);

/// Tenths of a millimetre in device units at `dotsPerInch`, rounded.
int TenthsMmToDevice(int tenths, int dotsPerInch);
