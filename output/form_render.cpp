// Drawing the invoice on paper or a PDF page: the page's panels redrawn
// widget by widget, scaled from screen pixels to the device, then the barcode.

#include "app/startup.h"
#include "app/Unit1.h"
#include "output/bankbarcode.h"
#include "output/barcode.h"
#include "output/paymentcodes.h"
#include "output/qrcode.h"
#include "output/rowpages.h"
#include "output/scaling.h"
#include "widgets/bevel.h"
#include "widgets/drawinghint.h"
#include "widgets/stringgrid.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPaintDevice>
#include <QPainter>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {

// How far a fitted label's font may shrink, and by how much at a time.
constexpr qreal kSmallestFittedPoints = 4;
constexpr qreal kFittingStepPoints = 0.25;

// Where the payment QR code stands on the giro form: right of the payer
// block, under the invoice number and date, in the form's own pixels.
constexpr QRect kQrBox(675, 126, 92, 92);

// Where a page whose rows go on says so, in the totals panel's pixels: at
// the invoice total's caption.
constexpr int kContinuedLeft = 400;
constexpr int kContinuedTop = 42;

// The size of the bank barcode's digits printed above its bars.
constexpr int kVirtualBarcodePoints = 7;

// A long enough box for one line of text drawn from its top-left corner.
QRect textBox(int x, int y)
{
    return QRect(x, y, 1 << 20, 1 << 20);
}

// Draws one line of text from its top-left corner where a box aligned left
// and top with Qt::TextSingleLine would, its baseline the font's ascent below
// y, without the cost of laying the text out in a box.
void drawLine(QPainter &canvas, int x, int y, QString text)
{
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    // The painter's metrics are those of its font on its device already.
    canvas.drawText(QPointF(x, y + QFontMetricsF(canvas.fontMetrics()).ascent()), text);
}

// What drawing the same text in the same font at the same resolution gives
// is found once: a batch of invoices draws the same headings on every page.
// The face is the one the font resolves to, which substitution may change.
struct DrawnText
{
    QString text;
    QFont font;
    QString face;
    int dpiX = 0;
    int dpiY = 0;
    int room = 0;

    bool operator==(const DrawnText &) const = default;
};

size_t qHash(const DrawnText &key, size_t seed = 0)
{
    return qHashMulti(seed, key.text, key.font, key.face, key.dpiX, key.dpiY, key.room);
}

// The point size a fitted heading shrinks to so as to keep within the room.
qreal fittedPointSize(const QLabel *heading, int room, const QPaintDevice *device)
{
    static QHash<DrawnText, qreal> found;
    const int dpi = device->logicalDpiY();
    const DrawnText key{heading->text(), heading->font(), QFontInfo(heading->font()).family(), dpi, dpi, room};
    if (const auto known = found.constFind(key); known != found.cend())
        return *known;
    QFont font = heading->font();
    while (QFontMetrics(font, device).horizontalAdvance(heading->text()) > room
           && font.pointSizeF() > kSmallestFittedPoints)
        font.setPointSizeF(font.pointSizeF() - kFittingStepPoints);
    found.insert(key, font.pointSizeF());
    return font.pointSizeF();
}

// The text turned 90° counter-clockwise as an image of the device's
// resolution, white around black letters; null for an empty text.
QImage turnedText(const QString &text, const QFont &font, const QPaintDevice &device)
{
    static QHash<DrawnText, QImage> made;
    const DrawnText key{text, font, QFontInfo(font).family(), device.logicalDpiX(), device.logicalDpiY()};
    if (const auto known = made.constFind(key); known != made.cend())
        return *known;
    const QFontMetrics metrics(font, &device);
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();
    if (w <= 0 || h <= 0)
        return QImage();
    QImage flat(w, h, QImage::Format_RGB32);
    flat.setDotsPerMeterX(device.logicalDpiX() * 10000 / 254);
    flat.setDotsPerMeterY(device.logicalDpiY() * 10000 / 254);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, w, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    QImage turned(h, w, QImage::Format_RGB32);
    for (int i = 0; i < w; ++i) {
        for (int j = 0; j < h; ++j)
            turned.setPixel(j, w - 1 - i, flat.pixel(i, j));
    }
    made.insert(key, turned);
    return turned;
}

} // namespace

int TForm1::ScaleX(int x) const
{
    return MulDiv(x + Rendering.panelOriginX, Rendering.deviceWidth, Rendering.virtualWidth);
}

int TForm1::ScaleY(int y) const
{
    return MulDiv(y + Rendering.panelOriginY, Rendering.deviceHeight, Rendering.virtualHeight);
}

void TForm1::PreparePageForOutput()
{
    // The giro form's amount, due date, reference and account mirror the
    // page's, so with the totals counted the codes of the page's record carry
    // what the payer reads. A reference that fails its own check gets no code
    // (it would send the payment astray), nor does an amount the codes cannot carry.
    // A reminder's rows are lines of text with amounts, no prices to count,
    // and its codes are its own.
    if (ReminderOnPage) {
        FillPayerOnGiro();
        Rendering.bankBarcode = ReminderOnPage->bankBarcode;
        Rendering.epcQrText = ReminderOnPage->epcQrText;
        return;
    }
    RecalcInvoice();
    FillPayerOnGiro();
    // Each code counts the totals again: only those the options print.
    const InvoiceRecord record = CollectRecord();
    Rendering.bankBarcode = m_profile.options.barcode ? RecordBankBarcode(record) : QString();
    Rendering.epcQrText = m_profile.options.qrCode ? RecordEpcQrText(record) : std::nullopt;
}

void TForm1::RenderInvoice(bool drawPage, bool drawGiro)
{
    QPainter &canvas = *Rendering.canvas;
    const int pixelsPerMm = PixelsPerMm(logicalDpiY());
    const int pageWidth = LaskuPanel1->width();
    canvas.setPen(QPen(Qt::black, 1));
    canvas.setBrush(Qt::white);
    canvas.setBackground(Qt::white);
    canvas.setBackgroundMode(Qt::OpaqueMode);

    const Margins &margins = m_profile.margins;
    Rendering.pageOffsetX = margins.left * pixelsPerMm;
    Rendering.pageOffsetY = margins.top * pixelsPerMm;
    Rendering.virtualWidth = pageWidth + pixelsPerMm * (margins.left + margins.right);
    Rendering.virtualHeight = MulDiv(pageWidth, 297, 210) + Rendering.pageOffsetY + margins.bottom * pixelsPerMm;
    canvas.fillRect(0, 0, Rendering.deviceWidth, Rendering.deviceHeight, Qt::white);

    if (drawPage) {
        RenderPanel(OmaPanel, true);
        RenderPanel(LaskuPanel1, false);
        if (Rendering.lastRowsPage)
            RenderPanel(LaskuPanel2, false);
    }
    if (drawGiro) {
        // On its own page the giro form stands where a one-page invoice has it.
        if (!drawPage && LisaRivit1->isChecked())
            Rendering.pageOffsetY -= PankkiSiirto1->height();
        Rendering.pageOffsetX = margins.giroLeft * pixelsPerMm;
        Rendering.virtualWidth = pageWidth + pixelsPerMm * (margins.giroLeft + margins.giroRight);
        RenderPanel(PankkiSiirto1, false);
        const QString &content = Rendering.bankBarcode;
        if (m_profile.options.barcode && IsBankBarcodeContent(content)) {
            DrawCode128(content, canvas, Rendering.deviceHeight, Rendering.kind);
            DrawVirtualBarcode(content);
        }
        if (m_profile.options.qrCode && Rendering.epcQrText)
            DrawQrCode(*Rendering.epcQrText, canvas, QRect(QPoint(ScaleX(kQrBox.left()), ScaleY(kQrBox.top())),
                                                           QPoint(ScaleX(kQrBox.right()), ScaleY(kQrBox.bottom()))),
                       Rendering.kind);
    }
}

void TForm1::DrawVirtualBarcode(const QString &content)
{
    // A payer types these digits into the bank, so every one of them shows:
    // a millimetre above the bars from their left end, moved left when the
    // text would reach the payment terms, but not beyond the bars or the
    // form, in a smaller font only when it would not fit there at all.
    QPainter &canvas = *Rendering.canvas;
    const Code128Geometry g = Code128GeometryOn(content, canvas, Rendering.kind);
    if (!g.drawn)
        return;
    const QString text = VirtualBarcodeText(content);
    const int dpi = canvas.device() ? canvas.device()->logicalDpiY() : 96;
    const int gap = TenthsMmToDevice(10, dpi);
    const int left = std::min(g.left, ScaleX(0));
    const int right = ScaleX(kGiroTermsLeft) - gap;
    canvas.save();
    QFont font(u"Arial"_s, kVirtualBarcodePoints);
    canvas.setFont(font);
    const int width = canvas.fontMetrics().horizontalAdvance(text);
    if (width > right - left && right > left) {
        font.setPointSizeF(kVirtualBarcodePoints * qreal(right - left) / width);
        canvas.setFont(font);
    }
    const int x = std::min(g.left, right - canvas.fontMetrics().horizontalAdvance(text));
    canvas.setPen(Qt::black);
    canvas.setBackgroundMode(Qt::TransparentMode);
    // Neither the caption nor the digits reach below the baseline.
    canvas.drawText(QPoint(x, Rendering.deviceHeight - g.barHeight - gap), text);
    canvas.restore();
}

void TForm1::RenderInvoicePages(const std::function<void()> &newPage, bool withGiro)
{
    // Rows that do not fit in the rows box continue on further pages, the
    // totals and the footer under the last of them, so no row is printed
    // over the totals.
    QList<int> heights;
    for (int r = 0; r < LaskuRivit1->rowCount(); ++r)
        heights.append(LaskuRivit1->rowHeight(r));
    // Rows are drawn from 2 pixels below the grid's top.
    const QList<int> firstRows = RowPageStarts(heights, LaskuRivit1->height() - 2, LaskuRivit1->lastTextRow());
    const auto reset = qScopeGuard([this] {
        Rendering.firstRow = 1;
        Rendering.lastRow = -1;
        Rendering.lastRowsPage = true;
    });
    const bool giroAlone = LisaRivit1->isChecked();
    // Nothing is paid on a credit note: it prints no giro form.
    withGiro = withGiro && !IsCreditNoteOnPage();
    for (qsizetype p = 0; p < firstRows.size(); ++p) {
        if (p > 0)
            newPage();
        Rendering.lastRowsPage = p + 1 == firstRows.size();
        Rendering.firstRow = firstRows[p];
        Rendering.lastRow = Rendering.lastRowsPage ? -1 : firstRows[p + 1] - 1;
        RenderInvoice(true, withGiro && Rendering.lastRowsPage && !giroAlone);
        if (!Rendering.lastRowsPage) {
            // Where the totals would stand: the reader looks on for them.
            Rendering.panelOriginX = Rendering.pageOffsetX + LaskuPanel2->x();
            Rendering.panelOriginY = Rendering.pageOffsetY + LaskuPanel2->y();
            QPainter &canvas = *Rendering.canvas;
            canvas.setFont(TotSum->font());
            canvas.setPen(Qt::black);
            drawLine(canvas, ScaleX(kContinuedLeft), ScaleY(kContinuedTop), u"Jatkuu sivulla %1"_s.arg(p + 2));
        }
    }
    if (withGiro && giroAlone) {
        newPage();
        RenderInvoice(false, true);
    }
}

void TForm1::RenderPanel(QWidget *panel, bool fill)
{
    // Panels stand at page positions inside the scroll area, so scrolling
    // never moves the output.
    Rendering.panelOriginX = Rendering.pageOffsetX + panel->x();
    Rendering.panelOriginY = Rendering.pageOffsetY + panel->y();
    QPainter &canvas = *Rendering.canvas;
    if (fill) {
        // The heading block prints in the grey the window shows it in, and
        // its texts' opaque background is that grey too.
        const QColor background = panel->palette().color(QPalette::Window);
        canvas.fillRect(QRect(QPoint(ScaleX(0), ScaleY(0)), QPoint(ScaleX(panel->width()), ScaleY(panel->height()))),
                        background);
        canvas.setBackground(background);
    }
    // Labels and lines first, then the edit boxes and grids, each in the
    // order they were made; other widgets never reach paper, and hidden ones do.
    // Nothing is paid on a credit note: its payment fields print blank.
    const bool creditNote = IsCreditNoteOnPage() && !ReminderOnPage;
    QList<QWidget *> children;
    for (QObject *child : panel->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && !(creditNote && PaymentFields.contains(widget)))
            children.append(widget);
    }
    for (QWidget *child : std::as_const(children)) {
        if (auto *label = qobject_cast<QLabel *>(child))
            DrawLabel(label);
        else if (auto *bevel = qobject_cast<Bevel *>(child))
            DrawBevel(bevel);
    }
    for (QWidget *child : std::as_const(children)) {
        if (auto *edit = qobject_cast<QLineEdit *>(child))
            DrawEdit(edit);
        else if (auto *grid = qobject_cast<StringGrid *>(child))
            DrawGrid(grid);
    }
    // Opaque texts may have covered lines; the lines go back on top.
    for (QWidget *child : std::as_const(children)) {
        if (auto *bevel = qobject_cast<Bevel *>(child); bevel && bevel->x() < LaskuPanel1->width())
            DrawBevel(bevel);
    }
    canvas.setBrush(Qt::white);
    canvas.setBackground(Qt::white);
}

void TForm1::DrawLabel(const QLabel *label)
{
    QPainter &canvas = *Rendering.canvas;
    canvas.setFont(label->font());
    canvas.setPen(label->palette().color(QPalette::WindowText));
    const QString &text = label->text();
    const DrawingHint hint = drawingHintOf(label);
    if (hint == DrawingHint::TurnedText) {
        DrawRotatedText(ScaleX(label->x()), ScaleY(label->y()), text);
        return;
    }
    int x = ScaleX(label->x());
    if (hint == DrawingHint::RightAligned)
        x = ScaleX(label->x() + label->width()) - canvas.fontMetrics().horizontalAdvance(text) - 4;
    if (hint == DrawingHint::Fitted) {
        // The output's font may be wider than the window's. A column of
        // headings, the fitted labels ending where this one does, shrinks
        // to one size at which each of them keeps off the rule beside it.
        const int right = label->x() + label->width();
        qreal points = label->font().pointSizeF();
        for (QObject *sibling : label->parent()->children()) {
            const auto *heading = qobject_cast<const QLabel *>(sibling);
            if (heading && heading->x() + heading->width() == right && drawingHintOf(heading) == DrawingHint::Fitted)
                points = std::min(points, fittedPointSize(heading, ScaleX(right) - 4 - ScaleX(heading->x()),
                                                          canvas.device()));
        }
        QFont font = label->font();
        font.setPointSizeF(points);
        canvas.setFont(font);
        if (label->alignment() & Qt::AlignRight)
            x = ScaleX(right) - 4 - canvas.fontMetrics().horizontalAdvance(text);
    }
    drawLine(canvas, x, ScaleY(label->y()), text);
    canvas.setPen(QPen(Qt::black, 1));
}

void TForm1::DrawEdit(const QLineEdit *edit)
{
    QPainter &canvas = *Rendering.canvas;
    canvas.setFont(edit->font());
    canvas.setPen(edit->palette().color(QPalette::Text));
    const QString text = edit->text();
    const DrawingHint hint = drawingHintOf(edit);
    int x = ScaleX(edit->x());
    if (hint == DrawingHint::RightAligned)
        x = ScaleX(edit->x() + edit->width()) - canvas.fontMetrics().horizontalAdvance(text) - 4;
    int y = ScaleY(edit->y());
    if (hint == DrawingHint::BottomAligned)
        y = ScaleY(edit->y() + edit->height()) - canvas.fontMetrics().height();
    drawLine(canvas, x, y, text);
    canvas.setPen(QPen(Qt::black, 1));
}

void TForm1::DrawBevel(const Bevel *bevel)
{
    QPainter &canvas = *Rendering.canvas;
    const int hundredths = lineWidthHundredthsMm(drawingHintOf(bevel));
    const int dpi = canvas.device() ? canvas.device()->logicalDpiY() : 96;
    QPen pen(Qt::black, hundredths <= 0 ? 1 : MulDiv(hundredths, dpi, 2540));
    const int l = bevel->x();
    const int t = bevel->y();
    const int r = l + bevel->width();
    const int b = t + bevel->height();
    const auto line = [&](int x1, int y1, int x2, int y2) {
        canvas.drawLine(ScaleX(x1), ScaleY(y1), ScaleX(x2), ScaleY(y2));
    };
    switch (bevel->shape()) {
    case Bevel::Shape::Frame:
        canvas.setPen(pen);
        line(l, b, l, t);
        line(l, t, r, t);
        line(r, t, r, b);
        line(r, b, l, b);
        break;
    case Bevel::Shape::TopLine:
        // The cut line along the top of the giro form.
        pen.setStyle(Qt::DashLine);
        canvas.setPen(pen);
        line(l, t, r, t);
        break;
    case Bevel::Shape::BottomLine:
        canvas.setPen(pen);
        line(l, b, r, b);
        break;
    case Bevel::Shape::LeftLine:
        canvas.setPen(pen);
        line(l, b, l, t);
        break;
    case Bevel::Shape::Box:
    case Bevel::Shape::RightLine:
        break;
    }
    canvas.setPen(QPen(Qt::black, pen.width()));
}

void TForm1::DrawGrid(const StringGrid *grid)
{
    QPainter &canvas = *Rendering.canvas;
    const QFontMetrics screenMetrics(grid->font());
    // Rows repeat their units, quantities and VAT rates: each text measured once.
    QHash<QString, int> screenWidths;
    const auto screenWidth = [&](const QString &text) {
        auto known = screenWidths.constFind(text);
        if (known == screenWidths.cend())
            known = screenWidths.insert(text, screenMetrics.horizontalAdvance(text));
        return *known;
    };
    int y = grid->y() + 2;
    const bool rows = grid == LaskuRivit1;
    const int lastRow = rows && Rendering.lastRow >= 0 ? Rendering.lastRow : grid->rowCount() - 1;
    for (int r = 0; r <= lastRow; ++r) {
        if (rows && r > 0 && r < Rendering.firstRow)
            continue;
        const bool attached = r == 0 && grid->attachedFont();
        canvas.setFont(attached ? grid->attachedFont()->font : grid->font());
        canvas.setPen(attached ? grid->attachedFont()->color : grid->textColor());
        for (int c = 0, x = grid->x() + 2; c < grid->colCount(); x += grid->colWidth(c) + grid->gridLineWidth(), ++c) {
            const QString &text = grid->cell(c, r);
            // An empty cell draws nothing, and most of the rows box's are.
            if (text.isEmpty())
                continue;
            const int offset = grid->isRightAligned(c) ? grid->colWidth(c) - screenWidth(text) - 4 : 0;
            drawLine(canvas, ScaleX(x + offset), ScaleY(y), text);
        }
        y += grid->rowHeight(r);
    }
    canvas.setPen(QPen(Qt::black, 1));
}

void TForm1::DrawRotatedText(int x, int y, const QString &text)
{
    QPainter &canvas = *Rendering.canvas;
    if (Rendering.kind == OutputKind::XPrintPrinter) {
        // The printer turns the font itself.
        canvas.save();
        canvas.translate(x, y);
        canvas.rotate(-90);
        canvas.drawText(textBox(0, -canvas.fontMetrics().height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        canvas.restore();
        return;
    }
    const QImage turned = turnedText(text, canvas.font(), *canvas.device());
    if (turned.isNull())
        return;
    // Kept exact: a PDF would otherwise store the text as a JPEG, blurred at its edges.
    canvas.save();
    canvas.setRenderHint(QPainter::LosslessImageRendering);
    canvas.drawImage(x, y - turned.height(), turned);
    canvas.restore();
}
