// Sharing the invoice rows out over pages.

#include "rowpages.h"

QList<int> RowPageStarts(const QList<int> &rowHeights, int boxHeight, int lastTextRow)
{
    QList<int> starts{1};
    const int room = boxHeight - rowHeights.value(0);
    int used = 0;
    for (int r = 1; r <= lastTextRow && r < rowHeights.size(); ++r) {
        if (used > 0 && used + rowHeights[r] > room) {
            starts.append(r);
            used = 0;
        }
        used += rowHeights[r];
    }
    return starts;
}
