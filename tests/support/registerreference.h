#pragma once

#include <QList>
#include <QStringList>

// The register's order and file lines worked out the plain way, row lists
// sorted whole: what the register's own table must give, byte for byte.

/// Re-sorts register rows (cells in column order, no heading row) the way the
/// register is kept: empty cells become a blank placeholder, rows without a
/// cell of two or more characters are dropped, rows are ordered by the name
/// cell and then the other cells, column by column, ignoring case, and of
/// rows equal ignoring case only the first is kept.
void SortRegisterRows(QList<QStringList> &rows);

/// The register file's lines: one per row worth writing (AppendCellsLine),
/// in the rows' order, each of RegisterLineCells.
QStringList RegisterFileLines(const QList<QStringList> &rows);
