#pragma once

#include <QFrame>

// A drawn line or frame on the page, as wide as its drawing hint says.
class Bevel : public QWidget
{
    Q_OBJECT

public:
    enum class Shape { Box, Frame, TopLine, BottomLine, LeftLine, RightLine };

    Bevel(Shape shape, QWidget *parent);

    Shape shape() const { return m_shape; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Shape m_shape;
};

// A yellow push panel that reports a click anywhere on itself.
class ClickPanel : public QFrame
{
    Q_OBJECT

public:
    ClickPanel(const QString &caption, QWidget *parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
};
