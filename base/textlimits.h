#pragma once

#include <QString>
#include <QtGlobal>

// The most text the program takes in one piece, a file read or rows pasted:
// beyond it a text is damaged or no invoice data.

/// The most lines holding something that one text may give. No register or
/// invoice comes near it; a text with more is damaged, and its rows could
/// take more memory than the machine has.
constexpr qsizetype kMaxTextLines = 500000;

/// The longest line read, in characters: far more than any row the program
/// writes. A longer text would cost many times its size when shown.
constexpr qsizetype kMaxTextLineLength = 100000;

/// "yli 500000 riviä" when count is more than kMaxTextLines; empty otherwise.
QString LineCountRefusal(qsizetype count);

/// "yli 100000 merkin rivi" when length is more than kMaxTextLineLength; empty otherwise.
QString LineLengthRefusal(qsizetype length);
