// Lines and frames of the page, and its yellow push panels.

#include "bevel.h"

#include "widgets/drawinghint.h"

#include <QMouseEvent>
#include <QPainter>

Bevel::Bevel(Shape shape, QWidget *parent)
    : QWidget(parent)
    , m_shape(shape)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Bevel::paintEvent(QPaintEvent *)
{
    // Drawn as on paper: black, as wide as the hint says.
    QPainter painter(this);
    const int hundredths = lineWidthHundredthsMm(drawingHintOf(this));
    const int width = hundredths <= 0 ? 1 : std::max(1, (hundredths * logicalDpiY() + 1270) / 2540);
    QPen pen(palette().color(QPalette::WindowText), width);
    pen.setCapStyle(Qt::FlatCap);
    const int w = this->width();
    const int h = height();
    const int edge = width / 2;
    switch (m_shape) {
    case Shape::Box:
    case Shape::RightLine:
        break;
    case Shape::Frame:
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(QRectF(edge, edge, w - width, h - width));
        break;
    case Shape::TopLine:
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(0, edge, w, edge);
        break;
    case Shape::BottomLine:
        painter.setPen(pen);
        painter.drawLine(0, h - width + edge, w, h - width + edge);
        break;
    case Shape::LeftLine:
        painter.setPen(pen);
        painter.drawLine(edge, 0, edge, h);
        break;
    }
}

ClickPanel::ClickPanel(const QString &caption, QWidget *parent)
    : QFrame(parent)
    , m_caption(caption)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::yellow);
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(caption);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}

void ClickPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_caption.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), Qt::AlignCenter, m_caption);
}
