#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>

// What a reader sees on a rendered page: its ink (dark pixels), told apart
// into rules (long straight runs and dashed lines, barcode bars too) and
// everything else, which is text. pdftotext also finds text that a clip
// hides, so what is visible is measured here.

/// A word of a PDF page and its box in points, as pdftotext -bbox gives it.
struct PdfWord
{
    QString text;
    QRectF box;
};

/// The words of one page of a PDF, in reading order.
QList<PdfWord> pdfWords(const QString &pdf, int page = 1);

/// The first word with this text, or an empty one.
PdfWord findWord(const QList<PdfWord> &words, const QString &text);

/// "x,y wxh", for messages.
QString boxText(const QRect &box);

class InkPage
{
public:
    /// One page of a PDF rendered by pdftoppm at `dotsPerInch`.
    InkPage(const QString &pdf, int page, int dotsPerInch);
    /// An image already rendered, such as a grabbed widget.
    InkPage(const QImage &image, int dotsPerInch);

    QSize size() const { return m_image.size(); }
    /// Millimetres in pixels of this page.
    int mm(double millimetres) const;
    /// A box in points (a PdfWord's) in pixels of this page, rounded outward.
    QRect pixels(const QRectF &points) const;

    /// The bounding box of the ink in `area` that is not part of a rule;
    /// empty when there is none.
    QRect textInk(const QRect &area) const;
    /// The bounding box of the rule ink in `area`; empty when there is none.
    QRect ruleInk(const QRect &area) const;
    /// The topmost row below `y` that holds rule ink between `left` and
    /// `right`; -1 when there is none.
    int ruleRowBelow(int y, int left, int right) const;

private:
    void classify();
    bool inked(int x, int y) const { return m_ink[std::size_t(y) * m_image.width() + x]; }
    bool ruled(int x, int y) const { return m_rule[std::size_t(y) * m_image.width() + x]; }

    QImage m_image;
    int m_dpi = 0;
    std::vector<bool> m_ink;
    std::vector<bool> m_rule;
};
