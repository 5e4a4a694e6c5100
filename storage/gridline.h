#pragma once

#include <QString>
#include <QStringList>

// The grid line format: one line of comma-separated cell texts, used by the
// invoice files, the customer register and the row clipboard.

/// Writes cell texts as one line. A text is quoted, with inner quotes
/// doubled, when it is empty or holds a comma, a quote or a character with
/// code 1..32; otherwise it is written bare. A line break or NUL inside a
/// text is written as a blank, so the line stays one line.
QString FormatCellsLine(const QStringList &cells);

/// Puts the blank placeholder into every empty cell, so that later values keep
/// their cells on reading, and tells whether the row is worth writing: some
/// cell holds two or more characters (a row of placeholders read back is not).
bool FillPlaceholders(QStringList &cells);

/// Appends the cells as one line when always is set or some cell holds two or
/// more characters; empty cells are written as a blank placeholder so that
/// later values keep their cells on reading. Returns whether it appended.
bool AppendCellsLine(QStringList cells, QStringList &lines, bool always);

/// Cuts a line into its fields. Quoted fields may hold commas and blanks, a
/// doubled quote stands for one and an unclosed quote runs to the end; bare
/// fields end at a comma or a blank. Two commas give an empty field. A NUL
/// counts as a blank. With maxFields given, the fields after the first
/// maxFields are not read.
QStringList SplitGridLine(QStringView line, qsizetype maxFields = -1);

/// The cells of one grid row or column after reading the line into it: each
/// field goes to the first cell still empty, fields beyond the cells are
/// dropped, and an empty field therefore uses up no cell.
QStringList ReadLineIntoCells(QStringView line, int cellCount);

/// Whether the line gives no cell text at all: it holds only blanks, control
/// characters, commas and empty quoted fields. Such a line makes no row.
bool IsEmptyGridLine(QStringView line);
