#pragma once

#include "output/outputkind.h"

#include <QList>
#include <QString>

class QPainter;
class QRect;

// Drawing a QR code symbol of any text: the text as 8-bit data in UTF-8, error
// correction level M, the smallest version it fits in. It knows nothing of
// invoices.

/// The symbol's modules, row by row from the top-left, without the quiet zone.
struct QrSymbol
{
    /// Modules on a side; 0 when there is no symbol.
    int width = 0;
    QList<bool> dark;

    bool isDark(int x, int y) const { return dark[qsizetype(y) * width + x]; }
};

/// The symbol of the text; none for an empty text or one too long for any version.
QrSymbol EncodeQrSymbol(const QString &text);

/// Draws the symbol, dark on white, with its quiet zone of four white modules,
/// as a square whose top-left corner is the box's. `box` is in device units of
/// an untransformed canvas. The square is never smaller than 20 mm at the
/// canvas's resolution, and otherwise as large as the box's shorter side:
/// - on a PDF page exactly that side, the dark modules filled vector squares;
/// - on a printer each module a whole number of device units: the largest
///   square of such modules within the side, or the smallest one of at least
///   20 mm when that is larger, the modules filled rectangles straight on
///   the device.
/// A box smaller than 20 mm is thus overdrawn to the right and below. Nothing
/// is drawn when there is no symbol.
void DrawQrCode(const QString &text, QPainter &canvas, const QRect &box, OutputKind kind);
