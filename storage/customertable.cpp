// The customer register's rows in compact form: reading the file into them,
// their order, the lookups and the file's bytes.

#include "customertable.h"

#include "base/commanderror.h"
#include "storage/collation.h"
#include "storage/cp1252.h"
#include "storage/customerregister.h"
#include "storage/textfile.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QChar kPlaceholder = u' ';
// Above this many changed rows one sort of all rows costs less than placing
// each by itself.
constexpr qsizetype kMostPlacedRows = 64;
// How many lines are read between looks at the cancel flag.
constexpr qsizetype kLinesBetweenCancelChecks = 1024;

// Separators of the grid line format; below 0x80 Windows-1252 is ASCII, and
// no byte above it stands for a separator, so lines are cut byte by byte.
bool isSeparatorSpace(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

const std::array<char16_t, 256> &cp1252Table()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> chars{};
        QByteArray bytes(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            bytes[b] = char(b);
        const QString text = cp1252ToString(bytes);
        for (int b = 0; b < 256; ++b)
            chars[size_t(b)] = text[b].unicode();
        return chars;
    }();
    return table;
}

// Cuts a line of Windows-1252 bytes into its fields as the grid line format
// does (storage/gridline.h), without copying them.
class ByteFieldCutter
{
public:
    struct Field
    {
        const char *data;
        qsizetype size;
        bool quoted;
    };

    ByteFieldCutter(const char *line, qsizetype size)
        : m_line(line)
        , m_size(size)
    {
        skipSpaces();
    }

    bool atEnd() const { return m_pos >= m_size; }

    Field next()
    {
        Field field{};
        if (m_line[m_pos] == '"') {
            const qsizetype start = ++m_pos;
            while (m_pos < m_size) {
                if (m_line[m_pos] == '"') {
                    if (m_pos + 1 < m_size && m_line[m_pos + 1] == '"') {
                        m_pos += 2;
                        continue;
                    }
                    break;
                }
                ++m_pos;
            }
            field = {m_line + start, m_pos - start, true};
            if (m_pos < m_size)
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_size && m_line[m_pos] != ',' && !isSeparatorSpace(m_line[m_pos]))
                ++m_pos;
            field = {m_line + start, m_pos - start, false};
        }
        skipSpaces();
        if (m_pos < m_size && m_line[m_pos] == ',') {
            ++m_pos;
            skipSpaces();
        }
        return field;
    }

private:
    void skipSpaces()
    {
        while (m_pos < m_size && isSeparatorSpace(m_line[m_pos]))
            ++m_pos;
    }

    const char *m_line;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

// Whether the line gives any cell text (IsEmptyGridLine).
bool lineHasText(const char *line, qsizetype size)
{
    for (ByteFieldCutter cutter(line, size); !cutter.atEnd();) {
        if (cutter.next().size > 0)
            return true;
    }
    return false;
}

// The cells of one line, read as ReadLineIntoCells reads its text: quoted
// fields lose their quotes, a doubled quote stands for one and a NUL in them
// for a blank; each field that is not empty fills the next cell.
void readLineCells(const char *line, qsizetype size, QStringList &cells)
{
    const auto &table = cp1252Table();
    for (QString &cell : cells)
        cell.resize(0);
    qsizetype next = 0;
    for (ByteFieldCutter cutter(line, size); !cutter.atEnd() && next < cells.size();) {
        const ByteFieldCutter::Field field = cutter.next();
        if (field.size == 0)
            continue;
        QString &cell = cells[next++];
        cell.resize(field.size);
        QChar *out = cell.data();
        for (qsizetype i = 0; i < field.size; ++i) {
            const char16_t c = table[static_cast<unsigned char>(field.data[i])];
            if (field.quoted && c == u'"')
                ++i;
            *out++ = QChar(field.quoted && c == 0 ? u' ' : c);
        }
        cell.resize(out - cell.constData());
    }
}

bool isBlank(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

// Writes a cell as FormatCellsLine writes it, in Windows-1252 as
// stringToCp1252 encodes it, at the end of bytes; returns its length in
// characters, as the reader measures a line.
qsizetype appendCell(QStringView cell, QByteArray &bytes)
{
    bool quoted = cell.isEmpty();
    bool plain = true;
    for (QChar c : cell) {
        const char16_t u = c.unicode();
        if (u <= 32 || u == u'"' || u == u',') {
            quoted = true;
            if (u == u'"' || u == u'\r' || u == u'\n' || u == 0)
                plain = false;
        } else if (u >= 0x80 && (u < 0xA0 || u > 0xFF)) {
            plain = false;
        }
    }
    qsizetype length = cell.size() + (quoted ? 2 : 0);
    if (quoted)
        bytes += '"';
    if (plain) {
        const qsizetype start = bytes.size();
        bytes.resize(start + cell.size());
        char *out = bytes.data() + start;
        for (QChar c : cell)
            *out++ = char(c.unicode());
    } else {
        // A line break or NUL would cut the line; a quote is doubled.
        QString text = cell.toString();
        for (QChar &c : text) {
            if (c == u'\r' || c == u'\n' || c == u'\0')
                c = u' ';
        }
        const qsizetype quotes = text.count(u'"');
        text.replace(u'"', u"\"\""_s);
        length += quotes;
        bytes += stringToCp1252(text);
    }
    if (quoted)
        bytes += '"';
    return length;
}

} // namespace


CustomerTable::Row CustomerTable::makeRow(const QStringList &cells)
{
    Row row;
    row.start = quint32(m_text.size());
    for (int c = 0; c < kColumns; ++c) {
        const QStringView cell = c < cells.size() ? QStringView(cells[c]) : QStringView();
        if (cell.isEmpty()) {
            m_text.push_back(kPlaceholder.unicode());
            row.shownEmpty |= quint8(1u << c);
        } else {
            m_text.insert(m_text.end(), cell.utf16(), cell.utf16() + cell.size());
        }
        row.ends[size_t(c)] = quint32(m_text.size());
    }
    return row;
}

QStringList CustomerTable::storedCells(const Row &row) const
{
    QStringList cells;
    cells.reserve(kColumns);
    for (int c = 0; c < kColumns; ++c)
        cells.append(storedCell(row, c).toString());
    return cells;
}

CustomerTable::Row CustomerTable::normalized(const Row &row)
{
    if (row.shownEmpty == 0)
        return row;
    // The stored cells hold the placeholder where they are shown empty.
    Row result = row;
    result.shownEmpty = 0;
    return result;
}

QStringView CustomerTable::storedCell(const Row &row, int column) const
{
    const quint32 start = column == 0 ? row.start : row.ends[size_t(column - 1)];
    return QStringView(m_text.data() + start, qsizetype(row.ends[size_t(column)] - start));
}

QStringView CustomerTable::cell(qsizetype row, int column) const
{
    if (row < 0 || row >= size() || column < 0 || column >= kColumns)
        return {};
    const Row &r = m_rows[size_t(row)];
    if (r.shownEmpty & (1u << column))
        return {};
    return storedCell(r, column);
}

QStringList CustomerTable::rowCells(qsizetype row) const
{
    QStringList cells;
    cells.reserve(kColumns);
    for (int c = 0; c < kColumns; ++c)
        cells.append(cell(row, c).toString());
    return cells;
}

QString CustomerTable::namePrimaryKey(qsizetype row) const
{
    return NamePrimaryKey(cell(row, NameColumn));
}

void CustomerTable::appendSortKey(const Row &row, QString &key) const
{
    // Sorting gives an empty name the placeholder first.
    AppendNamePrimaryKey(storedCell(row, NameColumn), key);
}

void CustomerTable::markChanged(Row &row)
{
    if (!row.changed) {
        row.changed = true;
        ++m_changed;
    }
}

void CustomerTable::dropText(const Row &row)
{
    m_garbage += row.ends[kColumns - 1] - row.start;
}

void CustomerTable::compactIfWasteful()
{
    // Edits leave old texts behind; once they are most of the buffer, the
    // rows' texts move to a new one.
    if (m_garbage > 4096 && m_garbage > qsizetype(m_text.size()) / 2)
        compact();
}

void CustomerTable::compact()
{
    std::vector<char16_t> text;
    text.reserve(m_text.size() - size_t(m_garbage));
    for (Row &row : m_rows) {
        const quint32 start = quint32(text.size());
        text.insert(text.end(), m_text.begin() + row.start, m_text.begin() + row.ends[kColumns - 1]);
        for (quint32 &end : row.ends)
            end = end - row.start + start;
        row.start = start;
    }
    m_text = std::move(text);
    m_garbage = 0;
}

void CustomerTable::setCell(qsizetype row, int column, QStringView text)
{
    if (row < 0 || row >= size() || column < 0 || column >= kColumns || cell(row, column) == text)
        return;
    QStringList cells = rowCells(row);
    cells[column] = text.toString();
    setRowCells(row, cells);
}

void CustomerTable::setRowCells(qsizetype row, const QStringList &cells)
{
    if (row < 0 || row >= size())
        return;
    const Row old = m_rows[size_t(row)];
    Row r = makeRow(cells);
    r.changed = old.changed;
    markChanged(r);
    m_rows[size_t(row)] = r;
    m_orderedEnd = qMin(m_orderedEnd, row);
    dropText(old);
    compactIfWasteful();
    if (m_observer)
        m_observer->cellsChanged(row, row);
}

void CustomerTable::insertRow(qsizetype at, const QStringList &cells)
{
    at = std::clamp<qsizetype>(at, 0, size());
    if (m_observer)
        m_observer->rowsInserting(at, 1);
    m_rows.insert(m_rows.begin() + at, makeRow(cells));
    ++m_changed;
    m_orderedEnd = qMin(m_orderedEnd, at);
    if (m_observer)
        m_observer->rowsInserted();
}

void CustomerTable::removeRow(qsizetype at)
{
    if (at < 0 || at >= size())
        return;
    if (m_observer)
        m_observer->rowsRemoving(at, 1);
    const Row old = m_rows[size_t(at)];
    if (old.changed)
        --m_changed;
    m_rows.erase(m_rows.begin() + at);
    // Rows in order stay in order when one of them goes.
    if (at < m_orderedEnd)
        --m_orderedEnd;
    if (m_observer)
        m_observer->rowsRemoved();
    dropText(old);
    compactIfWasteful();
}

void CustomerTable::resize(qsizetype rows)
{
    rows = qMax<qsizetype>(rows, 0);
    if (rows > size()) {
        if (m_observer)
            m_observer->rowsInserting(size(), rows - size());
        const qsizetype added = rows - size();
        m_rows.reserve(size_t(rows));
        for (qsizetype i = 0; i < added; ++i)
            m_rows.push_back(makeRow({}));
        m_changed += added;
        if (m_observer)
            m_observer->rowsInserted();
    } else if (rows < size()) {
        if (m_observer)
            m_observer->rowsRemoving(rows, size() - rows);
        const std::vector<Row> dropped(m_rows.begin() + rows, m_rows.end());
        for (const Row &row : dropped)
            m_changed -= row.changed ? 1 : 0;
        m_rows.resize(size_t(rows));
        m_orderedEnd = qMin(m_orderedEnd, rows);
        if (m_observer)
            m_observer->rowsRemoved();
        for (const Row &row : dropped)
            dropText(row);
        compactIfWasteful();
    }
}

void CustomerTable::replace(CustomerTable &&other)
{
    if (m_observer)
        m_observer->resetting();
    m_rows = std::exchange(other.m_rows, {});
    m_text = std::exchange(other.m_text, {});
    m_garbage = std::exchange(other.m_garbage, 0);
    m_changed = std::exchange(other.m_changed, 0);
    m_ordered = other.m_ordered;
    m_orderedEnd = std::exchange(other.m_orderedEnd, 0);
    if (m_observer)
        m_observer->reset();
}

bool CustomerTable::isWorth(const Row &row) const
{
    for (int c = 0; c < kColumns; ++c) {
        if (storedCell(row, c).size() >= 2)
            return true;
    }
    return false;
}

QString CustomerTable::orderKey(const Row &row) const
{
    QString key;
    for (int c = 0; c < kColumns; ++c)
        AppendRowOrderKey(storedCell(row, c), key);
    return key;
}

int CustomerTable::compareRows(const Row &a, QStringView aKey, const Row &b, QStringView bKey) const
{
    // The name's weights decide nearly always; only names equal but for
    // case or accents need the whole rows' keys.
    const int byName = aKey.compare(bKey);
    if (byName != 0)
        return byName;
    return orderKey(a).compare(orderKey(b));
}

qsizetype CustomerTable::lowerBound(qsizetype end, QStringView key, const Row *row) const
{
    qsizetype lo = 0;
    qsizetype hi = end;
    QString probe;
    while (lo < hi) {
        const qsizetype mid = lo + (hi - lo) / 2;
        probe.resize(0);
        const Row &at = m_rows[size_t(mid)];
        appendSortKey(at, probe);
        const int order = row ? compareRows(at, probe, *row, key) : QStringView(probe).compare(key);
        if (order < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

bool CustomerTable::isNameOrdered() const
{
    QString previous;
    QString current;
    for (qsizetype i = 0; i < size(); ++i) {
        current.resize(0);
        AppendNamePrimaryKey(cell(i, NameColumn), current);
        if (i > 0) {
            const int order = QStringView(previous).compare(current);
            if (order > 0)
                return false;
            if (order == 0 && NameSortKey(cell(i - 1, NameColumn)) > NameSortKey(cell(i, NameColumn)))
                return false;
        }
        std::swap(previous, current);
    }
    return true;
}

void CustomerTable::fullSort()
{
    if (m_observer)
        m_observer->resetting();
    sortAll();
    if (m_observer)
        m_observer->reset();
}

void CustomerTable::sortAll()
{
    struct Keyed
    {
        QString key;
        Row row;
        // The whole row's key, made only for rows whose names tie.
        mutable QString full;
    };
    std::vector<Keyed> kept;
    kept.reserve(m_rows.size());
    for (const Row &row : m_rows) {
        Keyed keyed{QString(), normalized(row), QString()};
        if (!isWorth(keyed.row))
            continue;
        appendSortKey(keyed.row, keyed.key);
        kept.push_back(std::move(keyed));
    }
    const auto compare = [this](const Keyed &a, const Keyed &b) {
        if (const int byName = a.key.compare(b.key); byName != 0)
            return byName;
        if (a.full.isEmpty())
            a.full = orderKey(a.row);
        if (b.full.isEmpty())
            b.full = orderKey(b.row);
        return a.full.compare(b.full);
    };
    // Stable, so that of rows equal ignoring case the first one stays.
    std::stable_sort(kept.begin(), kept.end(), [&compare](const Keyed &a, const Keyed &b) { return compare(a, b) < 0; });
    m_rows.clear();
    m_rows.reserve(kept.size());
    const Keyed *previous = nullptr;
    for (const Keyed &keyed : kept) {
        if (previous && compare(*previous, keyed) == 0)
            continue;
        m_rows.push_back(keyed.row);
        m_rows.back().changed = false;
        previous = &keyed;
    }
    kept = {};
    compact();
    m_changed = 0;
    m_ordered = true;
    m_orderedEnd = size();
}

void CustomerTable::sort()
{
    if (!m_ordered || m_changed > kMostPlacedRows) {
        fullSort();
        return;
    }
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].origin = quint32(i);
    std::vector<Row> placed;
    for (qsizetype i = size() - 1; i >= 0 && qsizetype(placed.size()) < m_changed; --i) {
        if (!m_rows[size_t(i)].changed)
            continue;
        placed.push_back(m_rows[size_t(i)]);
        if (m_observer)
            m_observer->rowsRemoving(i, 1);
        m_rows.erase(m_rows.begin() + i);
        if (m_observer)
            m_observer->rowsRemoved();
    }
    m_changed = 0;
    // The rows left are in order; each changed row goes to its place in turn,
    // in the order the rows had, so that of equal rows the first stays.
    std::reverse(placed.begin(), placed.end());
    QString key;
    QString atKey;
    for (const Row &changed : placed) {
        Row row = normalized(changed);
        row.changed = false;
        if (!isWorth(row)) {
            dropText(row);
            continue;
        }
        key.resize(0);
        appendSortKey(row, key);
        const qsizetype index = lowerBound(size(), key, &row);
        if (index < size()) {
            Row &at = m_rows[size_t(index)];
            atKey.resize(0);
            appendSortKey(at, atKey);
            if (compareRows(at, atKey, row, key) == 0) {
                if (row.origin < at.origin) {
                    dropText(at);
                    m_rows[size_t(index)] = row;
                    if (m_observer)
                        m_observer->cellsChanged(index, index);
                } else {
                    dropText(row);
                }
                continue;
            }
        }
        if (m_observer)
            m_observer->rowsInserting(index, 1);
        m_rows.insert(m_rows.begin() + index, row);
        if (m_observer)
            m_observer->rowsInserted();
    }
    // Cells read empty take the placeholder, as a sort gives them.
    qsizetype first = -1;
    qsizetype last = -1;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row &row = m_rows[i];
        if (row.shownEmpty == 0)
            continue;
        row.shownEmpty = 0;
        if (first < 0)
            first = qsizetype(i);
        last = qsizetype(i);
    }
    m_orderedEnd = size();
    compactIfWasteful();
    if (m_observer && first >= 0)
        m_observer->cellsChanged(first, last);
}

qsizetype CustomerTable::findName(QStringView name) const
{
    // Names equal ignoring case have the same weights, so among the rows in
    // order they stand together where a search by halves finds them. An
    // empty name has no weights; it is looked for row by row.
    qsizetype from = 0;
    if (!name.isEmpty()) {
        const QString key = NamePrimaryKey(name);
        QString atKey;
        for (qsizetype r = lowerBound(m_orderedEnd, key, nullptr); r < m_orderedEnd; ++r) {
            atKey.resize(0);
            appendSortKey(m_rows[size_t(r)], atKey);
            if (atKey != key)
                break;
            if (cell(r, NameColumn).compare(name, Qt::CaseInsensitive) == 0)
                return r;
        }
        from = m_orderedEnd;
    }
    for (qsizetype r = from; r < size(); ++r) {
        if (cell(r, NameColumn).compare(name, Qt::CaseInsensitive) == 0)
            return r;
    }
    return -1;
}

qsizetype CustomerTable::findNumber(QStringView number) const
{
    for (qsizetype r = 0; r < size(); ++r) {
        if (cell(r, CustomerNumberColumn).compare(number, Qt::CaseInsensitive) == 0)
            return r;
    }
    return -1;
}

qsizetype CustomerTable::findTrimmedNumber(QStringView number) const
{
    number = number.trimmed();
    if (number.isEmpty())
        return -1;
    for (qsizetype r = 0; r < size(); ++r) {
        if (cell(r, CustomerNumberColumn).trimmed().compare(number, Qt::CaseInsensitive) == 0)
            return r;
    }
    return -1;
}

int CustomerTable::smallestFreeNumber(QStringView extra) const
{
    return SmallestFreeCustomerNumber(size() + 1, [this, extra](qsizetype i) {
        return i == 0 ? extra : cell(i - 1, CustomerNumberColumn);
    });
}

int CustomerTable::findNamePrefix(QStringView key, int first) const
{
    return FindNamePrefix(
        size(), [this](qsizetype i) { return namePrimaryKey(i); },
        [this](qsizetype i) { return cell(i, NameColumn); }, key, first);
}

qsizetype CustomerTable::appendLine(const Row &row, QByteArray &bytes) const
{
    // RegisterLineCells: the e-invoice cells only when one is set.
    const bool einvoice =
        !isBlank(storedCell(row, EinvoiceAddressColumn)) || !isBlank(storedCell(row, EinvoiceOperatorColumn));
    const int columns = einvoice ? kColumns : CustomerNumberColumn + 1;
    bool worth = false;
    for (int c = 0; c < columns && !worth; ++c)
        worth = storedCell(row, c).size() >= 2;
    if (!worth)
        return -1;
    qsizetype length = columns - 1;
    for (int c = 0; c < columns; ++c) {
        if (c > 0)
            bytes += ',';
        length += appendCell(storedCell(row, c), bytes);
    }
    return length;
}

CustomerTable::FileText CustomerTable::fileText() const
{
    FileText file;
    qsizetype total = 0;
    for (const Row &row : m_rows)
        total += row.ends[kColumns - 1] - row.start + kColumns * 3 + 2;
    file.bytes.reserve(total);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const qsizetype length = appendLine(m_rows[i], file.bytes);
        if (length < 0)
            continue;
        if (file.tooLongRow < 0 && !LineLengthRefusal(length).isEmpty())
            file.tooLongRow = qsizetype(i);
        file.bytes += "\r\n";
        ++file.lines;
    }
    return file;
}

qsizetype CustomerTable::firstTooLongRow() const
{
    QByteArray line;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        line.resize(0);
        if (!LineLengthRefusal(appendLine(m_rows[i], line)).isEmpty())
            return qsizetype(i);
    }
    return -1;
}

QByteArray CustomerTable::readFile(const QString &path, const std::atomic<bool> *cancel)
{
    QByteArray bytes = ReadTextFileBytes(path, cancel);
    // Refused as ReadTextLines refuses it: too many lines that give text,
    // counted first, then a line too long.
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    qsizetype lines = 0;
    qsizetype longLine = -1;
    while (start < size && lines <= kMaxTextLines) {
        if (cancel && lines % kLinesBetweenCancelChecks == 0 && cancel->load(std::memory_order_relaxed))
            return {};
        qsizetype end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        if (lineHasText(data + start, end - start)) {
            ++lines;
            if (longLine < 0 && !LineLengthRefusal(end - start).isEmpty())
                longLine = end - start;
        }
        if (end < size && data[end] == '\r')
            ++end;
        if (end < size && data[end] == '\n')
            ++end;
        start = end;
    }
    if (const QString reason = LineCountRefusal(lines); !reason.isEmpty())
        throw CommandError(TextFileRefusedText(path, u"siinä on "_s + reason));
    if (longLine >= 0)
        throw CommandError(TextFileRefusedText(path, u"siinä on "_s + LineLengthRefusal(longLine)));
    return bytes;
}

void CustomerTable::load(const QByteArray &bytes, const std::atomic<bool> *cancel)
{
    if (m_observer)
        m_observer->resetting();
    m_rows.clear();
    m_text.clear();
    m_garbage = 0;
    // Every character of a cell comes from one byte of the file.
    m_text.reserve(size_t(bytes.size()));
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    QStringList cells(kColumns);
    qsizetype start = 0;
    while (start < size) {
        if (cancel && m_rows.size() % kLinesBetweenCancelChecks == 0 && cancel->load(std::memory_order_relaxed)) {
            m_rows.clear();
            m_text.clear();
            break;
        }
        qsizetype end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        if (lineHasText(data + start, end - start)) {
            readLineCells(data + start, end - start, cells);
            m_rows.push_back(makeRow(cells));
        }
        if (end < size && data[end] == '\r')
            ++end;
        if (end < size && data[end] == '\n')
            ++end;
        start = end;
    }

    // A file as the program writes it is in order already, and a new
    // customer need only be put in its place. The name lookup searches by
    // halves and needs the name order; a file edited by hand may not keep it.
    bool ordered = true;
    bool nameOrderInDoubt = false;
    QString previous;
    QString current;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows[i];
        current.resize(0);
        appendSortKey(row, current);
        if (i > 0) {
            const int byName = QStringView(previous).compare(current);
            // Names equal in weights, or empty, are ordered otherwise by the
            // lookup than by the sort.
            if (byName >= 0 || ((row.shownEmpty | m_rows[i - 1].shownEmpty) & 1u))
                nameOrderInDoubt = true;
            ordered = ordered && compareRows(m_rows[i - 1], previous, row, current) < 0;
        }
        ordered = ordered && isWorth(row);
        std::swap(previous, current);
    }
    if (nameOrderInDoubt && !isNameOrdered()) {
        sortAll();
    } else if (ordered) {
        for (Row &row : m_rows)
            row.changed = false;
        m_changed = 0;
        m_ordered = true;
        m_orderedEnd = this->size();
    } else {
        m_changed = this->size();
        m_ordered = false;
        m_orderedEnd = 0;
    }
    if (m_observer)
        m_observer->reset();
}

CustomerTable CustomerTable::read(const QString &path, const std::atomic<bool> *cancel)
{
    CustomerTable table;
    table.load(readFile(path, cancel), cancel);
    return table;
}
