// The payment QR code as a reader sees it: drawn on a PDF page and on printer
// pages, then read back with ZBar and measured on the rendered pixels.

#include "output/epcqr.h"
#include "output/pdfhdr2.h"
#include "output/qrcode.h"
#include "tests/support/testfiles.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// What the page holds before the code is drawn: light grey, so that a quiet
// zone left undrawn shows.
const QColor kPageColour(200, 200, 200);

QString paymentText(const QString &payee)
{
    return EpcQrText(u"NDEAFIHH", payee, u"FI21 1234 5600 0007 85", u"2\u00a0510,00", u"RF18 1009", u"21.12.2026")
        .value_or(QString());
}

double devicePerMm(int dpi)
{
    return dpi / 25.4;
}

// The smallest rectangle of the image's dark pixels; empty when there are none.
QRect darkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// True when every pixel of the rectangle's edge (one pixel wide) is white.
bool whiteEdge(const QImage &image, const QRect &rect)
{
    for (int x = rect.left(); x <= rect.right(); ++x) {
        if (qGray(image.pixel(x, rect.top())) < 250 || qGray(image.pixel(x, rect.bottom())) < 250)
            return false;
    }
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        if (qGray(image.pixel(rect.left(), y)) < 250 || qGray(image.pixel(rect.right(), y)) < 250)
            return false;
    }
    return true;
}

// What ZBar reads from the image: as text, a line of the character set it
// guesses; with -Sbinary, the symbol's bytes as they are.
QString readBack(const QString &png, const QStringList &options = {})
{
    return toolOutput(u"zbarimg"_s, QStringList{u"--raw"_s, u"--quiet"_s} + options + QStringList{png});
}

// A4 page at the resolution as a printer's page image.
QImage printerPage(int dpi)
{
    QImage image(qRound(210 * devicePerMm(dpi)), qRound(297 * devicePerMm(dpi)), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(kPageColour);
    return image;
}

} // namespace

class QrCodeTest : public QObject
{
    Q_OBJECT

private slots:
    void readsBackFromPdfPage_data();
    void readsBackFromPdfPage();
    void readsBackFromPrinterPage_data();
    void readsBackFromPrinterPage();
    void drawsNothingWithoutSymbol_data();
    void drawsNothingWithoutSymbol();
};

void QrCodeTest::readsBackFromPdfPage_data()
{
    QTest::addColumn<QString>("payee");
    QTest::addColumn<int>("boxMm");
    QTest::addColumn<int>("renderDpi");
    QTest::newRow("40 mm box, read at 150 dpi") << u"Testi Oy"_s << 40 << 150;
    QTest::newRow("40 mm box, read at 300 dpi") << u"Testi Oy"_s << 40 << 300;
    QTest::newRow("payee with Ä and ö, read at 300 dpi") << u"Äijälän Sähkö ja Öljy Oy"_s << 40 << 300;
    QTest::newRow("10 mm box grows to 20 mm, read at 150 dpi") << u"Testi Oy"_s << 10 << 150;
    QTest::newRow("10 mm box grows to 20 mm, read at 300 dpi") << u"Testi Oy"_s << 10 << 300;
}

void QrCodeTest::readsBackFromPdfPage()
{
    QFETCH(QString, payee);
    QFETCH(int, boxMm);
    QFETCH(int, renderDpi);
    const QString text = paymentText(payee);
    QVERIFY(!text.isEmpty());

    // The program's PDF document: A4 at 96 device units per inch.
    QTemporaryDir dir;
    TNimbPDF pdf;
    pdf.FileName = dir.filePath(u"qr.pdf"_s);
    pdf.BeginDoc();
    QPainter &canvas = *pdf.GetCanvas();
    canvas.fillRect(0, 0, pdf.PageWidth(), pdf.PageHeight(), kPageColour);
    const QPoint corner(200, 600);
    const int boxSide = qRound(boxMm * devicePerMm(96));
    DrawQrCode(text, canvas, QRect(corner, QSize(boxSide, boxSide)), OutputKind::Pdf);
    pdf.EndDoc();

    // Drawn in vector: the page holds no image.
    const QStringList images = toolOutput(u"pdfimages"_s, {u"-list"_s, pdf.FileName}).trimmed().split(u'\n');
    QCOMPARE(images.size(), 2);

    const QString png = dir.filePath(u"qr.png"_s);
    toolOutput(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, QString::number(renderDpi), u"-singlefile"_s, pdf.FileName,
                              dir.filePath(u"qr"_s)});
    QCOMPARE(readBack(png), text + u'\n');
    QCOMPARE(readBack(png, {u"-Sbinary"_s}), text);

    // The square with its quiet zone is the box's side, or 20 mm when the
    // box is smaller, from the box's corner; its dark modules keep four
    // modules off its edges, which are white.
    const QImage page(png);
    QVERIFY(!page.isNull());
    const int modules = EncodeQrSymbol(text).width;
    const QRect dark = darkBounds(page);
    const double side = std::max(boxMm, 20) * devicePerMm(renderDpi);
    const double module = side / (modules + 8);
    const QPointF origin = QPointF(corner) * renderDpi / 96;
    QVERIFY2(std::abs(dark.width() - modules * module) <= 2, qPrintable(QString::number(dark.width())));
    QVERIFY2(std::abs(dark.height() - modules * module) <= 2, qPrintable(QString::number(dark.height())));
    QVERIFY(std::abs(dark.left() - (origin.x() + 4 * module)) <= 1.5);
    QVERIFY(std::abs(dark.top() - (origin.y() + 4 * module)) <= 1.5);
    QVERIFY(whiteEdge(page, dark.adjusted(-qFloor(4 * module) + 2, -qFloor(4 * module) + 2,
                                          qFloor(4 * module) - 2, qFloor(4 * module) - 2)));
    QVERIFY(dark.width() * (modules + 8) / modules >= 20 * devicePerMm(renderDpi) - 2);
}

void QrCodeTest::readsBackFromPrinterPage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("boxSide");
    QTest::newRow("printer bitmap, 300 dpi, 30 mm box") << int(OutputKind::Printer) << 300 << 354;
    QTest::newRow("XPrint direct, 300 dpi, 30 mm box") << int(OutputKind::XPrintPrinter) << 300 << 354;
    QTest::newRow("printer bitmap, 600 dpi, 25 mm box") << int(OutputKind::Printer) << 600 << 591;
    // Whole modules within the box would stay under 20 mm here.
    QTest::newRow("printer bitmap, 300 dpi, 20.3 mm box") << int(OutputKind::Printer) << 300 << 240;
    QTest::newRow("XPrint direct, 300 dpi, 10 mm box") << int(OutputKind::XPrintPrinter) << 300 << 118;
    QTest::newRow("printer bitmap, 600 dpi, 10 mm box") << int(OutputKind::Printer) << 600 << 236;
}

void QrCodeTest::readsBackFromPrinterPage()
{
    QFETCH(int, kind);
    QFETCH(int, dpi);
    QFETCH(int, boxSide);
    const QString text = paymentText(u"Testi Oy"_s);
    QImage page = printerPage(dpi);
    const QRect box(dpi, 2 * dpi, boxSide, boxSide);
    {
        QPainter painter(&page);
        DrawQrCode(text, painter, box, OutputKind(kind));
    }
    QTemporaryDir dir;
    const QString png = dir.filePath(u"page.png"_s);
    QVERIFY(page.save(png));
    QCOMPARE(readBack(png), text + u'\n');
    QCOMPARE(readBack(png, {u"-Sbinary"_s}), text);

    // Every module is a whole number of pixels: the dark modules span a
    // multiple of the symbol's modules, four modules in from the box's corner.
    const int modules = EncodeQrSymbol(text).width;
    const QRect dark = darkBounds(page);
    QCOMPARE(dark.width(), dark.height());
    QCOMPARE(dark.width() % modules, 0);
    const int module = dark.width() / modules;
    QCOMPARE(dark.topLeft(), box.topLeft() + QPoint(4 * module, 4 * module));

    // The square with its quiet zone is pure black and white, and nothing
    // beyond it is drawn.
    const int side = (modules + 8) * module;
    for (int y = box.top(); y < box.top() + side; ++y) {
        for (int x = box.left(); x < box.left() + side; ++x) {
            const QRgb pixel = page.pixel(x, y);
            QVERIFY2(pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255),
                     qPrintable(u"(%1, %2)"_s.arg(x).arg(y)));
        }
    }
    QCOMPARE(page.pixelColor(box.left() + side, box.top()), kPageColour);
    QCOMPARE(page.pixelColor(box.left(), box.top() + side), kPageColour);

    // At least 20 mm, and the largest square within the box unless that
    // would be smaller.
    const double smallest = 20 * devicePerMm(dpi);
    QVERIFY2(side >= smallest, qPrintable(QString::number(side)));
    QVERIFY2((side <= boxSide && side + modules + 8 > boxSide) || side - (modules + 8) < smallest,
             qPrintable(QString::number(side)));
}

void QrCodeTest::drawsNothingWithoutSymbol_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    // 2,331 bytes fill the largest symbol at level M.
    const QString tooLong = u"A"_s.repeated(2332);
    QTest::newRow("empty text, PDF") << QString() << int(OutputKind::Pdf);
    QTest::newRow("empty text, printer") << QString() << int(OutputKind::Printer);
    QTest::newRow("too long for any version, PDF") << tooLong << int(OutputKind::Pdf);
    QTest::newRow("too long for any version, printer") << tooLong << int(OutputKind::Printer);
    QTest::newRow("too long for any version, XPrint") << tooLong << int(OutputKind::XPrintPrinter);
}

void QrCodeTest::drawsNothingWithoutSymbol()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QCOMPARE(EncodeQrSymbol(text).width, 0);
    QImage page = printerPage(300);
    const QImage before = page;
    {
        QPainter painter(&page);
        DrawQrCode(text, painter, QRect(300, 300, 600, 600), OutputKind(kind));
    }
    QVERIFY(page == before);

    // One byte less fits in the largest symbol, 177 modules on a side.
    if (!text.isEmpty())
        QCOMPARE(EncodeQrSymbol(text.left(2331)).width, 177);
}

QTEST_MAIN(QrCodeTest)
#include "tst_qrcode.moc"
