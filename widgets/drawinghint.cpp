// The drawing hint a widget carries for the renderer.

#include "drawinghint.h"

#include <QVariant>
#include <QWidget>

namespace {

constexpr char kHintProperty[] = "drawingHint";

} // namespace

void setDrawingHint(QWidget *widget, DrawingHint hint)
{
    widget->setProperty(kHintProperty, static_cast<int>(hint));
}

DrawingHint drawingHintOf(const QWidget *widget)
{
    return static_cast<DrawingHint>(widget->property(kHintProperty).toInt());
}

int lineWidthHundredthsMm(DrawingHint hint)
{
    switch (hint) {
    case DrawingHint::ThinLine:
    case DrawingHint::RuleLine:
        return static_cast<int>(hint);
    default:
        return 0;
    }
}
