// The bank barcode as a reader sees it: drawn by each method on a page image
// at printer and PDF resolutions, then read back with ZBar.

#include "output/bankbarcode.h"
#include "output/barcode.h"
#include "output/scaling.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// An A4 page at the resolution, white as the renderer leaves it.
QImage page(int dpi)
{
    QImage image(TenthsMmToDevice(2100, dpi), TenthsMmToDevice(2970, dpi), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

} // namespace

class BarcodeTest : public QObject
{
    Q_OBJECT

private slots:
    void readsBackAsItsContent_data();
    void readsBackAsItsContent();
};

void BarcodeTest::readsBackAsItsContent_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("kind");
    QTest::newRow("printer, 300 dpi, bitmap") << 300 << int(OutputKind::Printer);
    QTest::newRow("XPrint printer, 300 dpi, direct") << 300 << int(OutputKind::XPrintPrinter);
    QTest::newRow("XPrint printer, 600 dpi, direct") << 600 << int(OutputKind::XPrintPrinter);
    QTest::newRow("PDF surface, 96 dpi, rectangles") << 96 << int(OutputKind::Pdf);
}

void BarcodeTest::readsBackAsItsContent()
{
    QFETCH(int, dpi);
    QFETCH(int, kind);
    const QString content = BuildBankBarcode(u"FI21 1234 5600 0007 85"_s, u"1\u00a0234,50"_s, u"12345 3"_s,
                                             u"5.7.2026"_s);
    QCOMPARE(content.size(), kBankBarcodeLength);
    QImage image = page(dpi);
    {
        QPainter painter(&image);
        DrawCode128(content, painter, image.height(), OutputKind(kind));
    }

    // The bars stand where the size rules put them: ending at the page's
    // bottom, 12 mm high, from the symbol's left edge.
    const Code128Geometry g = kind == int(OutputKind::XPrintPrinter)
        ? Code128DirectGeometry(kBankBarcodeLength / 2, dpi)
        : Code128BitmapGeometry(kBankBarcodeLength / 2, dpi);
    const int row = image.height() - g.barHeight / 2;
    int first = -1;
    for (int x = 0; x < image.width() && first < 0; ++x) {
        if (qGray(image.pixel(x, row)) < 128)
            first = x;
    }
    QCOMPARE(first, g.left);
    QCOMPARE(qGray(image.pixel(first, image.height() - g.barHeight)), 0);
    QCOMPARE(qGray(image.pixel(first, image.height() - g.barHeight - 1)), 255);

    // Read back by ZBar from the page, with a quiet zone a reader needs
    // around the symbol on paper.
    QTemporaryDir dir;
    QImage framed(image.width(), image.height() + g.barHeight, QImage::Format_RGB32);
    framed.fill(Qt::white);
    QPainter(&framed).drawImage(0, 0, image);
    const QString png = dir.filePath(u"page.png"_s);
    QVERIFY(framed.save(png));
    QProcess zbar;
    zbar.start(u"zbarimg"_s, {u"--quiet"_s, u"--raw"_s, u"-Scode128.enable"_s, png});
    QVERIFY2(zbar.waitForFinished(60000), "zbarimg (package zbar-tools) did not run");
    QCOMPARE(QString::fromLatin1(zbar.readAllStandardOutput()).trimmed(), content);
}

QTEST_MAIN(BarcodeTest)
#include "tst_barcode.moc"
