// Helpers that create the page's widgets at fixed positions.

#include "widgetfactory.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <limits>

QFont pageFont(const QString &family, int points, bool bold)
{
    QFont font(family, points);
    font.setBold(bold);
    return font;
}

void allowAnyLength(QLineEdit *edit)
{
    edit->setMaxLength(std::numeric_limits<int>::max());
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                  int width)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    if (width > 0)
        label->resize(width, label->height());
    return label;
}

QLineEdit *makeEdit(QWidget *parent, const QString &name, const QRect &geometry,
                    const QString &accessibleName, bool frame)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setFrame(frame);
    edit->setGeometry(geometry);
    edit->setAccessibleName(accessibleName);
    allowAnyLength(edit);
    if (!frame)
        edit->setTextMargins(0, 0, 0, 0);
    return edit;
}

QCheckBox *makeCheckBox(QWidget *parent, const QString &name, const QString &caption, int left,
                        int top)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->move(left, top);
    box->adjustSize();
    box->setAccessibleName(caption);
    return box;
}

Bevel *makeBevel(QWidget *parent, const QString &name, const QRect &geometry, Bevel::Shape shape,
                 DrawingHint lineWidth)
{
    auto *bevel = new Bevel(shape, parent);
    bevel->setObjectName(name);
    bevel->setGeometry(geometry);
    setDrawingHint(bevel, lineWidth);
    return bevel;
}
