// The unit that draws QR code symbols; it knows nothing of invoices.

#include "qrcode.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QRect>

#include <qrencode.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

namespace {

constexpr int kQuietModules = 4;
constexpr double kSmallestSideMm = 20.0;

struct QrcodeFree
{
    void operator()(QRcode *code) const { QRcode_free(code); }
};

int resolutionOf(const QPainter &canvas)
{
    return canvas.device() ? canvas.device()->logicalDpiY() : 96;
}

// Calls run(x, y, length) for every row's runs of dark modules, in modules
// from the symbol's top-left corner; one rectangle per run keeps a page small.
void forEachRun(const QrSymbol &symbol, const std::function<void(int, int, int)> &run)
{
    for (int y = 0; y < symbol.width; ++y) {
        for (int x = 0; x < symbol.width;) {
            if (!symbol.isDark(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < symbol.width && symbol.isDark(x, y))
                ++x;
            run(start, y, x - start);
        }
    }
}

// The white square with its quiet zone and the dark modules, `module` device
// units on a side, from `origin`.
void fillModules(QPainter &painter, QPoint origin, int module, const QrSymbol &symbol)
{
    const int side = (symbol.width + 2 * kQuietModules) * module;
    painter.fillRect(QRect(origin, QSize(side, side)), Qt::white);
    const QPoint first = origin + QPoint(kQuietModules * module, kQuietModules * module);
    forEachRun(symbol, [&](int x, int y, int length) {
        painter.fillRect(first.x() + x * module, first.y() + y * module, length * module, module, Qt::black);
    });
}

} // namespace

QrSymbol EncodeQrSymbol(const QString &text)
{
    if (text.isEmpty())
        return {};
    const QByteArray data = text.toUtf8();
    const std::unique_ptr<QRcode, QrcodeFree> code(
        QRcode_encodeData(int(data.size()), reinterpret_cast<const unsigned char *>(data.constData()), 0,
                          QR_ECLEVEL_M));
    if (!code)
        return {};
    QrSymbol symbol;
    symbol.width = code->width;
    symbol.dark.resize(qsizetype(code->width) * code->width);
    // The lowest bit of each byte is the module's colour; the others tell its role.
    for (qsizetype i = 0; i < symbol.dark.size(); ++i)
        symbol.dark[i] = (code->data[i] & 1) != 0;
    return symbol;
}

void DrawQrCode(const QString &text, QPainter &canvas, const QRect &box, OutputKind kind)
{
    const QrSymbol symbol = EncodeQrSymbol(text);
    if (symbol.width == 0)
        return;
    const int modules = symbol.width + 2 * kQuietModules;
    const double smallest = kSmallestSideMm / 25.4 * resolutionOf(canvas);
    const double side = std::max(double(std::min(box.width(), box.height())), smallest);

    if (kind == OutputKind::Pdf) {
        // One filled path: viewers draw no seams between neighbouring modules.
        const double module = side / modules;
        const QPointF first = QPointF(box.topLeft()) + QPointF(kQuietModules * module, kQuietModules * module);
        QPainterPath dark;
        dark.setFillRule(Qt::WindingFill);
        forEachRun(symbol, [&](int x, int y, int length) {
            dark.addRect(QRectF(first.x() + x * module, first.y() + y * module, length * module, module));
        });
        canvas.fillRect(QRectF(QPointF(box.topLeft()), QSizeF(side, side)), Qt::white);
        canvas.fillPath(dark, Qt::black);
        return;
    }

    // On a printer whole device units a module, filled straight on the device:
    // never an image that a PDF printer would store as a JPEG.
    const int module = std::max(int(side) / modules, int(std::ceil(smallest / modules)));
    fillModules(canvas, box.topLeft(), module, symbol);
}
