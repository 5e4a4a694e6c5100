#pragma once

#include "output/einvoice.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Numbers read from the settings file are forced into the range that makes
// sense for what they set, so a value edited by hand can neither overflow the
// arithmetic that uses it nor make a part of the page unusable.

/// Column widths of the page grids, in pixels: wide enough to see and to grab
/// the border, narrow enough that the border stays inside the rows grid
/// (741 pixels wide) and can be dragged back.
constexpr int kMinGridColumnWidth = 8;
constexpr int kMaxGridColumnWidth = 720;

/// Row heights of the page grids, in pixels, by the same reasoning: the
/// smallest of them, the biller heading, is 79 pixels tall.
constexpr int kMinGridRowHeight = 8;
constexpr int kMaxGridRowHeight = 72;

/// Font sizes of the font areas, in points: from the smallest still readable
/// on paper to far more than the page has room for.
constexpr int kMinFontPointSize = 6;
constexpr int kMaxFontPointSize = 144;

/// Print margins, in millimetres either way: never more than an A4 sheet's
/// longer side.
constexpr int kMaxMarginMm = 297;

/// A stored column width forced into kMinGridColumnWidth..kMaxGridColumnWidth.
int ClampGridColumnWidth(int width);

/// A stored row height forced into kMinGridRowHeight..kMaxGridRowHeight.
int ClampGridRowHeight(int height);

/// A stored font size forced into kMinFontPointSize..kMaxFontPointSize;
/// nullopt for 0 or less, which is no size at all and leaves the font's own.
std::optional<int> StoredFontPointSize(int size);

/// A margin forced into -kMaxMarginMm..kMaxMarginMm.
int ClampMarginMm(int margin);

/// The size of the rows grid's heading font: eight tenths of the rows font,
/// rounded, at least 1.
int RowsHeadingPointSize(int rowsPointSize);

/// The most characters the copy count box takes as typed. A longer count
/// stored in the settings is still shown and written whole.
constexpr int kCopiesTypedLength = 1;

/// Whether an edit typed into a box limited to maxLength characters is kept:
/// typing never makes the text longer than maxLength, or than a longer text
/// from the settings already is.
bool KeepsTypedLength(QStringView before, QStringView after, int maxLength);

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

/// The names the biller details box offers the e-invoice formats by, in
/// EinvoiceFormat order.
QStringList EinvoiceFormatNames();

/// The e-invoice format stored as its number in EinvoiceFormat order; a
/// number of no format (a value edited by hand) is Finvoice.
EinvoiceFormat StoredEinvoiceFormat(int stored);
