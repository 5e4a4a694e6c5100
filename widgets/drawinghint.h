#pragma once

class QWidget;

// How the renderer draws a widget on paper beyond its place, text and font.
// A widget carries at most one hint; what it means depends on the widget's
// kind, and a widget without one is drawn plainly.
enum class DrawingHint : int {
    /// Labels and edits from their top-left corner; bevels one device unit wide.
    None = 0,
    /// Labels and edits: the text ends 4 device units before the box's right
    /// edge, so a long text grows to the left.
    RightAligned = 1,
    /// Edits: the text stands on the box's bottom edge.
    BottomAligned = 2,
    /// Labels: the text keeps within the box, in a smaller font where the
    /// output's font is wider, aligned as the label is.
    Fitted = 3,
    /// Bevels: a line 0.13 mm wide (the value is the width in hundredths of
    /// a millimetre).
    ThinLine = 13,
    /// Bevels: a line 0.5 mm wide, the giro form's rules.
    RuleLine = 50,
    /// Labels: the text turned 90° counter-clockwise, running upward from
    /// the box's top-left corner.
    TurnedText = 90,
};

void setDrawingHint(QWidget *widget, DrawingHint hint);
DrawingHint drawingHintOf(const QWidget *widget);

/// A bevel's line width in hundredths of a millimetre; 0 for a bevel drawn
/// one device unit wide.
int lineWidthHundredthsMm(DrawingHint hint);
