#pragma once

#include <QList>

// How the invoice rows share out over printed pages when there are more of
// them than the page's rows box holds.

/// The first row of each page. Row 0, the headings, stands on every page;
/// rows 1 onward fill the rest of a box boxHeight high in the order given,
/// each page at least one row. Rows after lastTextRow, which are empty,
/// never start a page: an invoice whose text rows fit gives {1}.
QList<int> RowPageStarts(const QList<int> &rowHeights, int boxHeight, int lastTextRow);
