// The floor for the PDF export benchmark: QPdfWriter alone writing pages with
// about the texts, lines and barcode bars of one invoice, nothing else.
// Usage: bench_pdf_floor OUT.pdf PAGES [DOCUMENTS]: PAGES pages in one file,
// written DOCUMENTS times over (one file each time, as a batch export does).

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const int pages = QByteArray(argv[2]).toInt();
    const int documents = argc > 3 ? QByteArray(argv[3]).toInt() : 1;
    for (int document = 0; document < documents; ++document) {
        QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
        writer.setResolution(96);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        const QFont fonts[] = {QFont(QStringLiteral("Arial"), 10), QFont(QStringLiteral("Arial"), 16, QFont::Bold),
            QFont(QStringLiteral("Arial"), 12, QFont::Bold), QFont(QStringLiteral("Arial"), 7)};
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            // About 90 texts: header fields, 20 rows of 7 cells' worth, footer, giro form.
            for (int i = 0; i < 90; ++i) {
                painter.setFont(fonts[i % 4]);
                painter.drawText(QRect(10 + (i % 6) * 120, 20 + i * 8, 400, 40), Qt::AlignLeft | Qt::AlignTop,
                    QStringLiteral("Teksti %1 Suunnittelutyö 125,50").arg(i));
            }
            for (int i = 0; i < 30; ++i)
                painter.drawLine(10, 200 + i * 20, 780, 200 + i * 20);
            // The 54-digit barcode: about 100 bars on a 332-module grid.
            for (int x = 0; x < 332; x += 3)
                painter.fillRect(117 + x, 1078, 1 + x % 2, 45, Qt::black);
        }
        if (!painter.end())
            return 1;
    }
    return 0;
}
