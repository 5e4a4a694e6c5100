// The comma-separated line form of a grid row or column.

#include "gridline.h"

using namespace Qt::StringLiterals;

namespace {

// Blanks and control characters separate fields; NUL ends the line.
bool isSeparatorSpace(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

bool needsQuotes(QStringView text)
{
    if (text.isEmpty())
        return true;
    for (QChar c : text) {
        if (c.unicode() <= 32 || c == u'"' || c == u',')
            return true;
    }
    return false;
}

} // namespace

QString FormatCellsLine(const QStringList &cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += u',';
        QString text = cells[i];
        // A line break would cut the line in two and a NUL would end the
        // file for its reader; either would shift every later value.
        for (QChar &c : text) {
            if (c == u'\r' || c == u'\n' || c == u'\0')
                c = u' ';
        }
        if (needsQuotes(text)) {
            line += u'"';
            line += text.replace(u'"', u"\"\""_s);
            line += u'"';
        } else {
            line += text;
        }
    }
    return line;
}

bool AppendCellsLine(QStringList cells, QStringList &lines, bool always)
{
    if (cells.isEmpty())
        return false;
    bool worth = false;
    for (QString &text : cells) {
        if (text.isEmpty())
            text = u" "_s;
        else if (text.size() >= 2)
            worth = true;
    }
    if (!always && !worth)
        return false;
    lines.append(FormatCellsLine(cells));
    return true;
}

QStringList SplitGridLine(QStringView line)
{
    const qsizetype nul = line.indexOf(QChar(u'\0'));
    if (nul >= 0)
        line = line.left(nul);
    const qsizetype size = line.size();

    QStringList fields;
    qsizetype pos = 0;
    auto skipSpaces = [&] {
        while (pos < size && isSeparatorSpace(line[pos]))
            ++pos;
    };

    skipSpaces();
    while (pos < size) {
        if (line[pos] == u'"') {
            QString field;
            ++pos;
            while (pos < size) {
                if (line[pos] == u'"') {
                    if (pos + 1 < size && line[pos + 1] == u'"') {
                        field += u'"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                field += line[pos];
                ++pos;
            }
            fields.append(field);
        } else {
            const qsizetype start = pos;
            while (pos < size && line[pos] != u',' && line[pos].unicode() > 32)
                ++pos;
            fields.append(line.sliced(start, pos - start).toString());
        }
        skipSpaces();
        if (pos < size && line[pos] == u',') {
            ++pos;
            skipSpaces();
        }
    }
    return fields;
}

QStringList ReadLineIntoCells(QStringView line, int cellCount)
{
    QStringList cells(qMax(cellCount, 0));
    qsizetype next = 0;
    for (const QString &field : SplitGridLine(line)) {
        if (next >= cells.size())
            break;
        // An empty field leaves its cell empty, so the next field lands there.
        if (!field.isEmpty())
            cells[next++] = field;
    }
    return cells;
}
