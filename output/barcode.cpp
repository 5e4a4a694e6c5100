// The unit that draws Code 128 symbols; it knows nothing of invoices.

#include "barcode.h"

#include "output/bankbarcode.h"
#include "output/scaling.h"

#include <QPaintDevice>
#include <QPainter>

#include <functional>

namespace {

int resolutionOf(const QPainter &canvas)
{
    return canvas.device() ? canvas.device()->logicalDpiY() : 96;
}

// Calls bar(x, width) for every bar of the symbol, the termination bar last,
// x and width in device units from the symbol's left edge.
void forEachBar(const QString &content, int module, const std::function<void(int, int)> &bar)
{
    int x = 0;
    for (int value : Code128SetCValues(content)) {
        const QList<int> elements = Code128Elements(value);
        // The stop's seventh element, the termination bar, is a bar as well.
        for (qsizetype j = 0; j < elements.size(); ++j) {
            const int width = elements[j] * module;
            if (j % 2 == 0)
                bar(x, width);
            x += width;
        }
    }
}

} // namespace

Code128Geometry Code128GeometryOn(const QString &content, const QPainter &canvas, OutputKind kind)
{
    const int pairs = int(content.size() / 2);
    return kind == OutputKind::XPrintPrinter ? Code128DirectGeometry(pairs, resolutionOf(canvas))
                                             : Code128BitmapGeometry(pairs, resolutionOf(canvas));
}

void DrawCode128(const QString &content, QPainter &canvas, int bottom, OutputKind kind)
{
    if (kind == OutputKind::XPrintPrinter) {
        DrawCode128Direct(content, canvas, bottom);
        return;
    }
    const Code128Geometry g = Code128GeometryOn(content, canvas, kind);
    if (!g.drawn)
        return;
    const int top = bottom - TenthsMmToDevice(0, resolutionOf(canvas)) - g.barHeight;
    // The bars are filled rectangles on the bitmap method's module grid, in
    // device units: sharp on every printer and in every viewer, and never an
    // image that a PDF printer would store as a JPEG, blurring their edges.
    forEachBar(content, g.module, [&](int x, int width) {
        canvas.fillRect(g.left + x, top, width, g.barHeight, Qt::black);
    });
}

void DrawCode128Direct(const QString &content, QPainter &canvas, int bottom)
{
    const int dpi = resolutionOf(canvas);
    const Code128Geometry g = Code128DirectGeometry(int(content.size() / 2), dpi);
    if (!g.drawn)
        return;
    const int y1 = bottom - TenthsMmToDevice(0, dpi);
    const int y0 = y1 - g.barHeight;
    canvas.save();
    canvas.setPen(Qt::NoPen);
    canvas.setBrush(Qt::black);
    // A rectangle with corners (x, y0) and (x + w - 1, y1) covers x to x + w - 2.
    forEachBar(content, g.module, [&](int x, int width) {
        canvas.drawRect(g.left + x, y0, std::max(width - 1, 0), y1 - y0);
    });
    canvas.restore();
}
