#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

#include <functional>

class QWidget;

// A font with its colour, as the page's font areas keep it: copying a font
// copies the colour too.
struct FontObject
{
    QFont font;
    QColor color = Qt::black;
};

// One font area of the page: its settings section, its leading font and the
// widgets that copy it, and the widgets a right-click on which selects it.
struct FontArea
{
    QString section;
    std::function<FontObject()> leader;
    std::function<void(const FontObject &)> setLeader;
    QList<QWidget *> copies;
    QList<QWidget *> clickTargets;
};
