#pragma once

#include <QList>
#include <QTextStream>

#include <algorithm>

// Shared by the timing programs.

inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

/// The median of the measured values.
inline double median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return double(values[middle]);
    return (double(values[middle - 1]) + double(values[middle])) / 2.0;
}
