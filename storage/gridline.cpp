// The comma-separated line form of a grid row or column.

#include "gridline.h"

#include "storage/textfile.h"

using namespace Qt::StringLiterals;

namespace {

// Blanks and control characters separate fields. A NUL is one of them: a
// damaged file's NUL reads as a blank and hides nothing after it.
bool isSeparatorSpace(QChar c)
{
    return c.unicode() <= 32;
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

// One field as it stands in the line: a quoted field without its quotes,
// its inner quotes still doubled.
struct RawField
{
    QStringView text;
    bool quoted = false;
};

// Cuts a line into its fields one at a time, without copying them.
class FieldCutter
{
public:
    explicit FieldCutter(QStringView line)
        : m_line(line)
    {
        skipSpaces();
    }

    bool atEnd() const { return m_pos >= m_line.size(); }

    RawField next()
    {
        const qsizetype size = m_line.size();
        RawField field;
        if (m_line[m_pos] == u'"') {
            const qsizetype start = ++m_pos;
            while (m_pos < size) {
                if (m_line[m_pos] == u'"') {
                    if (m_pos + 1 < size && m_line[m_pos + 1] == u'"') {
                        m_pos += 2;
                        continue;
                    }
                    break;
                }
                ++m_pos;
            }
            field = {m_line.sliced(start, m_pos - start), true};
            if (m_pos < size)
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < size && m_line[m_pos] != u',' && !isSeparatorSpace(m_line[m_pos]))
                ++m_pos;
            field = {m_line.sliced(start, m_pos - start), false};
        }
        skipSpaces();
        if (m_pos < size && m_line[m_pos] == u',') {
            ++m_pos;
            skipSpaces();
        }
        return field;
    }

private:
    void skipSpaces()
    {
        while (m_pos < m_line.size() && isSeparatorSpace(m_line[m_pos]))
            ++m_pos;
    }

    QStringView m_line;
    qsizetype m_pos = 0;
};

QString fieldText(const RawField &field)
{
    if (!field.quoted)
        return field.text.toString();
    QString text;
    text.reserve(field.text.size());
    for (qsizetype i = 0; i < field.text.size(); ++i) {
        const QChar c = field.text[i];
        if (c == u'"')
            ++i;
        text += c == u'\0' ? QChar(u' ') : c;
    }
    return text;
}

} // namespace

QString FormatCellsLine(const QStringList &cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += u',';
        // A line break would cut the line in two, shifting every later value.
        QString text = OnOneLine(cells[i]);
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

bool FillPlaceholders(QStringList &cells)
{
    bool worth = false;
    for (QString &text : cells) {
        if (text.isEmpty())
            text = u" "_s;
        else if (text.size() >= 2)
            worth = true;
    }
    return worth;
}

bool AppendCellsLine(QStringList cells, QStringList &lines, bool always)
{
    if (cells.isEmpty())
        return false;
    if (!FillPlaceholders(cells) && !always)
        return false;
    lines.append(FormatCellsLine(cells));
    return true;
}

QStringList SplitGridLine(QStringView line, qsizetype maxFields)
{
    QStringList fields;
    for (FieldCutter cutter(line); !cutter.atEnd() && fields.size() != maxFields;)
        fields.append(fieldText(cutter.next()));
    return fields;
}

QStringList ReadLineIntoCells(QStringView line, int cellCount)
{
    QStringList cells(qMax(cellCount, 0));
    qsizetype next = 0;
    for (FieldCutter cutter(line); !cutter.atEnd() && next < cells.size();) {
        // An empty field leaves its cell empty, so the next field lands there.
        const RawField field = cutter.next();
        if (!field.text.isEmpty())
            cells[next++] = fieldText(field);
    }
    return cells;
}

bool IsEmptyGridLine(QStringView line)
{
    for (FieldCutter cutter(line); !cutter.atEnd();) {
        if (!cutter.next().text.isEmpty())
            return false;
    }
    return true;
}
