// Fixed invoices exported with `laskutus --pdf` keep every word where it was:
// the words of their pages and the positions a reader finds them at are
// compared with the stored ones, within half a millimetre.
//
// After a deliberate change of the page, LASKUTUS_UPDATE_GOLDEN=1 rewrites
// the stored words from what the program writes now.

#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

constexpr double kMillimetresPerPoint = 25.4 / 72.0;
constexpr double kToleranceMm = 0.5;

QString dataFile(const QString &name)
{
    return QStringLiteral(LASKUTUS_TEST_DATA) + u'/' + name;
}

// One word of a page and its box, in millimetres from the page's top left.
struct PlacedWord
{
    int page = 0;
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    QString text;

    QString line() const
    {
        return u"%1 %2 %3 %4 %5 %6"_s.arg(page)
            .arg(left, 0, 'f', 2)
            .arg(top, 0, 'f', 2)
            .arg(right, 0, 'f', 2)
            .arg(bottom, 0, 'f', 2)
            .arg(text);
    }
};

// The words pdftotext finds on the pages, in its reading order. Only the
// words and boxes are kept: the document's creation date changes with each
// export.
QList<PlacedWord> wordsOfPdf(const QString &pdf)
{
    QXmlStreamReader xml(toolOutput(u"pdftotext"_s, {u"-bbox-layout"_s, pdf, u"-"_s}));
    QList<PlacedWord> words;
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"page") {
            ++page;
        } else if (xml.name() == u"word") {
            const auto mm = [&xml](const char *attribute) {
                return xml.attributes().value(QLatin1StringView(attribute)).toDouble() * kMillimetresPerPoint;
            };
            PlacedWord word{page, mm("xMin"), mm("yMin"), mm("xMax"), mm("yMax"), {}};
            word.text = xml.readElementText();
            words.append(word);
        }
    }
    return words;
}

QList<PlacedWord> storedWords(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QList<PlacedWord> words;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        const QStringList parts = line.split(u' ');
        if (parts.size() < 6)
            continue;
        words.append({parts[0].toInt(), parts[1].toDouble(), parts[2].toDouble(), parts[3].toDouble(),
                      parts[4].toDouble(), parts.mid(5).join(u' ')});
    }
    return words;
}

QByteArray storedText(const QList<PlacedWord> &words)
{
    QByteArray text;
    for (const PlacedWord &word : words)
        text += word.line().toUtf8() + '\n';
    return text;
}

bool samePlace(const PlacedWord &a, const PlacedWord &b)
{
    return a.page == b.page && a.text == b.text && qAbs(a.left - b.left) <= kToleranceMm
        && qAbs(a.top - b.top) <= kToleranceMm && qAbs(a.right - b.right) <= kToleranceMm
        && qAbs(a.bottom - b.bottom) <= kToleranceMm;
}

// Runs `laskutus --pdf` from a program folder of its own with the stored
// settings; the PDF written, or empty when the export failed.
QString exportWithProgram(const QTemporaryDir &dir, const QString &csv)
{
    const QString program = dir.filePath(u"laskutus"_s);
    QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program);
    writeBytes(dir.filePath(u"laskutus.INI"_s), readBytes(dataFile(u"kultainen.ini"_s)));
    const QString pdf = dir.filePath(u"sivut.pdf"_s);
    QProcess process;
    process.start(program, {u"--pdf"_s, pdf, csv});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning() << process.readAllStandardError();
        return {};
    }
    return pdf;
}

} // namespace

class GoldenPagesTest : public QObject
{
    Q_OBJECT

private slots:
    void wordsStayInPlace_data();
    void wordsStayInPlace();
};

void GoldenPagesTest::wordsStayInPlace_data()
{
    QTest::addColumn<QString>("invoice");
    QTest::newRow("one row") << u"kultainen-yksi-rivi"_s;
    QTest::newRow("40 rows, Lisärivit, two VAT rates") << u"kultainen-40-rivia"_s;
    QTest::newRow("RF reference, QR code") << u"kultainen-rf-qr"_s;
}

void GoldenPagesTest::wordsStayInPlace()
{
    QFETCH(QString, invoice);
    QTemporaryDir dir;
    const QString pdf = exportWithProgram(dir, dataFile(invoice + u".csv"_s));
    QVERIFY(!pdf.isEmpty());
    const QList<PlacedWord> words = wordsOfPdf(pdf);
    QVERIFY2(!words.isEmpty(), "pdftotext (package poppler-utils) found no words");

    const QString stored = dataFile(invoice + u".sanat.txt"_s);
    if (qEnvironmentVariableIntValue("LASKUTUS_UPDATE_GOLDEN") == 1) {
        writeBytes(stored, storedText(words));
        qInfo("Rewrote %s", qPrintable(stored));
    }
    const QList<PlacedWord> expected = storedWords(stored);
    QVERIFY2(!expected.isEmpty(), qPrintable(u"No stored words in "_s + stored));
    for (qsizetype i = 0; i < qMin(words.size(), expected.size()); ++i) {
        QVERIFY2(samePlace(words[i], expected[i]),
                 qPrintable(u"word %1: found \"%2\", stored \"%3\" (page, left, top, right, bottom in mm, word)"_s
                                .arg(i + 1)
                                .arg(words[i].line(), expected[i].line())));
    }
    QCOMPARE(words.size(), expected.size());
}

QTEST_MAIN(GoldenPagesTest)
#include "tst_goldenpages.moc"
