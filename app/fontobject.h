#pragma once

#include <QColor>
#include <QFont>

// A font with its colour, as the page's font areas keep it: copying a font
// copies the colour too.
struct FontObject
{
    QFont font;
    QColor color = Qt::black;
};
