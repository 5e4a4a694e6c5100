#include "registerreference.h"

#include "storage/collation.h"
#include "storage/customerregister.h"
#include "storage/gridline.h"

#include <algorithm>
#include <numeric>
#include <vector>

void SortRegisterRows(QList<QStringList> &rows)
{
    QList<QStringList> kept;
    QStringList keys;
    for (QStringList &row : rows) {
        if (!FillPlaceholders(row))
            continue;
        QString key;
        for (const QString &cell : std::as_const(row))
            AppendRowOrderKey(cell, key);
        keys.append(std::move(key));
        kept.append(std::move(row));
    }
    std::vector<qsizetype> order(kept.size());
    std::iota(order.begin(), order.end(), qsizetype(0));
    // Stable, so that of rows equal ignoring case the first one stays.
    std::stable_sort(order.begin(), order.end(), [&keys](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });
    QList<QStringList> sorted;
    qsizetype previous = -1;
    for (qsizetype index : order) {
        if (previous >= 0 && keys[index] == keys[previous])
            continue;
        sorted.append(std::move(kept[index]));
        previous = index;
    }
    rows = std::move(sorted);
}

QStringList RegisterFileLines(const QList<QStringList> &rows)
{
    QStringList lines;
    for (const QStringList &row : rows)
        AppendCellsLine(RegisterLineCells(row), lines, false);
    return lines;
}
