// The floor for the PDF export benchmark: QPdfWriter alone writing the pages
// of one invoice, nothing else. The texts are those of the program's own
// PDF of the invoice, as `pdftohtml -xml -zoom 1` lists them (each text with
// its page, place, size and boldness), drawn in the same font and, as the
// program draws them, on an opaque background; the page's
// rules and barcode bars are drawn as lines and filled rectangles, and with
// --qr a QR symbol of about the size of the payment code as one filled path.
// Usage: bench_pdf_floor TEXTS.xml FOLDER DOCUMENTS [--qr]: writes the pages
// DOCUMENTS times over, into FOLDER/1.pdf, FOLDER/2.pdf and so on.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

constexpr int kDotsPerInch = 96;
constexpr double kDotsPerPoint = kDotsPerInch / 72.0;
// An EPC payment code of an invoice is a symbol of about 45 modules a side.
constexpr int kQrModules = 45;

struct PlacedText
{
    int page = 1;
    QPointF topLeft;
    double points = 10;
    bool bold = false;
    QString text;
};

// The texts of pdftohtml's XML, in device units of the floor's pages.
QList<PlacedText> readTexts(const QString &path, int &pages)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    QHash<QString, double> fontSizes;
    QList<PlacedText> texts;
    pages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == u"page") {
            pages = attributes.value(u"number"_s).toInt();
        } else if (xml.name() == u"fontspec") {
            fontSizes.insert(attributes.value(u"id"_s).toString(), attributes.value(u"size"_s).toDouble());
        } else if (xml.name() == u"text") {
            PlacedText placed;
            placed.page = pages;
            placed.topLeft = QPointF(attributes.value(u"left"_s).toDouble(), attributes.value(u"top"_s).toDouble())
                * kDotsPerPoint;
            placed.points = fontSizes.value(attributes.value(u"font"_s).toString(), 10);
            while (!xml.atEnd() && !(xml.readNext() == QXmlStreamReader::EndElement && xml.name() == u"text")) {
                if (xml.isStartElement() && xml.name() == u"b")
                    placed.bold = true;
                else if (xml.isCharacters())
                    placed.text += xml.text();
            }
            texts.append(placed);
        }
    }
    return texts;
}

// A QR symbol's worth of dark modules, row runs joined into one path.
QPainterPath qrSymbol(QPointF topLeft, double module)
{
    QRandomGenerator random(45);
    QPainterPath dark;
    dark.setFillRule(Qt::WindingFill);
    for (int y = 0; y < kQrModules; ++y) {
        int x = 0;
        while (x < kQrModules) {
            const int length = 1 + int(random.bounded(3));
            if (random.bounded(2) == 1)
                dark.addRect(QRectF(topLeft.x() + x * module, topLeft.y() + y * module, length * module, module));
            x += length;
        }
    }
    return dark;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 4)
        return 2;
    int pages = 0;
    const QList<PlacedText> texts = readTexts(QString::fromLocal8Bit(argv[1]), pages);
    if (texts.isEmpty())
        return 2;
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    if (!folder.mkpath(u"."_s))
        return 1;
    const int documents = QByteArray(argv[3]).toInt();
    const bool qr = argc > 4 && QByteArray(argv[4]) == "--qr";
    for (int document = 1; document <= documents; ++document) {
        QPdfWriter writer(folder.filePath(QString::number(document) + u".pdf"_s));
        writer.setResolution(kDotsPerInch);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        // As on the program's pages, each text covers what lies beneath it.
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Qt::white);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                writer.newPage();
            for (const PlacedText &placed : texts) {
                if (placed.page != page)
                    continue;
                QFont font(u"Arial"_s);
                font.setPointSizeF(placed.points);
                font.setBold(placed.bold);
                painter.setFont(font);
                painter.drawText(QRectF(placed.topLeft, QSizeF(1000, 100)), Qt::AlignLeft | Qt::AlignTop, placed.text);
            }
            // The rules of the page and of the giro form.
            for (int i = 0; i < 15; ++i)
                painter.drawLine(10, 200 + i * 40, 780, 200 + i * 40);
            if (page < pages)
                continue;
            // The 54-digit bank barcode: about 100 bars on a 332-module grid.
            for (int x = 0; x < 332; x += 3)
                painter.fillRect(117 + x, 1078, 1 + x % 2, 45, Qt::black);
            if (qr) {
                painter.fillRect(QRect(675, 530, 92, 92), Qt::white);
                painter.fillPath(qrSymbol(QPointF(680, 535), 82.0 / kQrModules), Qt::black);
            }
        }
        if (!painter.end())
            return 1;
    }
    return 0;
}
