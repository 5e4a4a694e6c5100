#include "inkpage.h"

#include "tests/support/testfiles.h"

#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Lighter pixels are paper, also the faint edge of a smoothed line.
constexpr int kInkGray = 160;
// Straight runs of ink at least this long are rules: no letter of the page's
// fonts has a straight stroke as long.
constexpr double kRuleMm = 5.0;
// A dashed line keeps at least this share of a stretch of this length inked;
// a line of text does not.
constexpr double kDashedStretchMm = 100.0;
constexpr double kDashedShare = 0.6;

QString unescaped(QString text)
{
    return text.replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s).replace(u"&quot;"_s, u"\""_s)
        .replace(u"&apos;"_s, u"'"_s).replace(u"&amp;"_s, u"&"_s);
}

} // namespace

QList<PdfWord> pdfWords(const QString &pdf, int page)
{
    const QString number = QString::number(page);
    const QString xml = toolOutput(u"pdftotext"_s, {u"-bbox"_s, u"-f"_s, number, u"-l"_s, number, pdf, u"-"_s});
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    QList<PdfWord> words;
    for (const QRegularExpressionMatch &m : word.globalMatch(xml)) {
        words.append({unescaped(m.captured(5)), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                                        QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

PdfWord findWord(const QList<PdfWord> &words, const QString &text)
{
    for (const PdfWord &word : words) {
        if (word.text == text)
            return word;
    }
    return {};
}

QString boxText(const QRect &box)
{
    return u"%1,%2 %3x%4"_s.arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height());
}

InkPage::InkPage(const QString &pdf, int page, int dotsPerInch)
    : m_dpi(dotsPerInch)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(u"page"_s);
    const QString number = QString::number(page);
    toolOutput(u"pdftoppm"_s, {u"-png"_s, u"-gray"_s, u"-r"_s, QString::number(dotsPerInch), u"-f"_s, number, u"-l"_s, number,
                               u"-singlefile"_s, pdf, png});
    // A page at 600 dpi is larger than Qt reads by default.
    QImageReader reader(png + u".png"_s);
    reader.setAllocationLimit(0);
    m_image = reader.read().convertToFormat(QImage::Format_Grayscale8);
    classify();
}

InkPage::InkPage(const QImage &image, int dotsPerInch)
    : m_image(image.convertToFormat(QImage::Format_Grayscale8))
    , m_dpi(dotsPerInch)
{
    classify();
}

int InkPage::mm(double millimetres) const
{
    return int(std::lround(millimetres * m_dpi / 25.4));
}

QRect InkPage::pixels(const QRectF &points) const
{
    const double scale = m_dpi / 72.0;
    const int left = int(std::floor(points.left() * scale));
    const int top = int(std::floor(points.top() * scale));
    return QRect(QPoint(left, top), QPoint(int(std::ceil(points.right() * scale)) - 1,
                                           int(std::ceil(points.bottom() * scale)) - 1));
}

void InkPage::classify()
{
    const int w = m_image.width();
    const int h = m_image.height();
    m_ink.assign(std::size_t(w) * h, false);
    m_rule.assign(std::size_t(w) * h, false);
    for (int y = 0; y < h; ++y) {
        const uchar *line = m_image.constScanLine(y);
        for (int x = 0; x < w; ++x)
            m_ink[std::size_t(y) * w + x] = line[x] < kInkGray;
    }
    const int rule = mm(kRuleMm);
    const auto markRuns = [&](int count, int length, auto at) {
        for (int i = 0; i < count; ++i) {
            int start = 0;
            for (int j = 0; j <= length; ++j) {
                if (j < length && m_ink[at(i, j)])
                    continue;
                if (j - start >= rule) {
                    for (int k = start; k < j; ++k)
                        m_rule[at(i, k)] = true;
                }
                start = j + 1;
            }
        }
    };
    markRuns(h, w, [w](int y, int x) { return std::size_t(y) * w + x; });
    markRuns(w, h, [w](int x, int y) { return std::size_t(y) * w + x; });
    // Dashed lines: ink in a long stretch of its row that is mostly ink. The
    // stretch is longer than any line of digits, whose tops and feet also
    // ink much of a row.
    const int stretch = mm(kDashedStretchMm);
    std::vector<int> sums(std::size_t(w) + 1);
    const auto dashed = [&](int from, int to) {
        from = std::max(from, 0);
        to = std::min(to, w);
        return to - from == stretch && sums[to] - sums[from] >= kDashedShare * stretch;
    };
    for (int y = 0; y < h; ++y) {
        // Solid rules found above do not count: a row past a rule's end is
        // not dashed.
        for (int x = 0; x < w; ++x)
            sums[x + 1] = sums[x] + (inked(x, y) && !ruled(x, y) ? 1 : 0);
        for (int x = 0; x < w; ++x) {
            if (inked(x, y) && !ruled(x, y)
                && (dashed(x - stretch / 2, x - stretch / 2 + stretch) || dashed(x, x + stretch)
                    || dashed(x + 1 - stretch, x + 1)))
                m_rule[std::size_t(y) * w + x] = true;
        }
    }
}

QRect InkPage::textInk(const QRect &area) const
{
    QRect box;
    const QRect inside = area & m_image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (inked(x, y) && !ruled(x, y))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

QRect InkPage::ruleInk(const QRect &area) const
{
    QRect box;
    const QRect inside = area & m_image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (ruled(x, y))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

int InkPage::ruleRowBelow(int y, int left, int right) const
{
    for (int row = std::max(y + 1, 0); row < m_image.height(); ++row) {
        for (int x = std::max(left, 0); x <= std::min(right, m_image.width() - 1); ++x) {
            if (ruled(x, row))
                return row;
        }
    }
    return -1;
}
