#pragma once

#include "widgets/bevel.h"
#include "widgets/drawinghint.h"

#include <QFont>
#include <QRect>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

// Small helpers that place the page's widgets at their pixel positions.

/// A font of the page in points; the stored face names stay as they are and
/// the system substitutes a face it has.
QFont pageFont(const QString &family, int points, bool bold = false);

/// Lets an edit hold a text of any length instead of Qt's default 32,767
/// characters, so that what a file holds is shown and saved whole.
void allowAnyLength(QLineEdit *edit);

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption, int left, int top,
                  int width = 0);
QLineEdit *makeEdit(QWidget *parent, const QString &name, const QRect &geometry,
                    const QString &accessibleName, bool frame = false);
QCheckBox *makeCheckBox(QWidget *parent, const QString &name, const QString &caption, int left,
                        int top);
Bevel *makeBevel(QWidget *parent, const QString &name, const QRect &geometry, Bevel::Shape shape,
                 DrawingHint lineWidth = DrawingHint::None);
