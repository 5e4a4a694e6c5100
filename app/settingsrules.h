#pragma once

#include <QString>
#include <QStringView>

#include <optional>

/// A stored brightness step forced into the range 0 to 10 that the heading
/// colour controls hold.
int ClampBrightnessStep(int step);

/// The grey level 0..255 of a brightness step: 26 a step, step 10 white.
int BrightnessLevel(int step);

/// A whole number typed by the user (blanks around allowed); nullopt for
/// anything else, a decimal fraction or empty text included.
std::optional<int> ParseWholeNumber(QStringView text);

/// Font style bits as stored: 1 bold, 2 italic, 4 underline, 8 strike-out.
int FontStyleBits(bool bold, bool italic, bool underline, bool strikeOut);
