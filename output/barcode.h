#pragma once

#include "output/bankbarcode.h"
#include "output/outputkind.h"

#include <QString>

class QPainter;

// Drawing a Code 128 symbol, code set C, of any even run of digits: black bars
// on white, 105 mm wide and 12 mm high, centred in the first 150 mm of the
// device page with the bars ending at `bottom`. Nothing is drawn when the
// symbol would be narrower than 70 mm. Sizes follow the canvas's resolution.

/// Where and how large DrawCode128 draws a symbol of the content's digit
/// pairs on this canvas for this kind of output.
Code128Geometry Code128GeometryOn(const QString &content, const QPainter &canvas, OutputKind kind);

/// Draws with the direct method for an XPrint printer; on any other printer
/// and on a PDF page as filled rectangles on the bitmap method's module grid
/// and at its place, so the bars cover the same device units a bitmap of the
/// symbol would, drawn as vectors.
void DrawCode128(const QString &content, QPainter &canvas, int bottom, OutputKind kind);

/// Draws each bar straight on the canvas; every bar is one device unit
/// narrower than its modules while the bars keep the exact module grid.
void DrawCode128Direct(const QString &content, QPainter &canvas, int bottom);
