// The customer register's rows in compact form: reading the file into them,
// their order, the lookups and the file's bytes.

#include "customertable.h"

#include "storage/collation.h"
#include "storage/commanderror.h"
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

const QString &blankNameKey()
{
    static const QString key = NamePrimaryKey(QStringView(&kPlaceholder, 1));
    return key;
}

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

// The cells of one line of Windows-1252 bytes, read as ReadLineIntoCells
// reads its text: quoted fields lose their quotes, a doubled quote stands for
// one and a NUL in them for a blank; each field that is not empty fills the
// next cell. Returns whether the line gives any cell text (IsEmptyGridLine).
bool readLineCells(const char *line, qsizetype size, QStringList &cells)
{
    const auto &table = cp1252Table();
    for (QString &cell : cells)
        cell.resize(0);
    qsizetype next = 0;
    bool anyText = false;
    qsizetype pos = 0;
    auto skipSpaces = [&] {
        while (pos < size && isSeparatorSpace(line[pos]))
            ++pos;
    };
    skipSpaces();
    while (pos < size && next < cells.size()) {
        QString &cell = cells[next];
        if (line[pos] == '"') {
            ++pos;
            while (pos < size) {
                if (line[pos] == '"') {
                    if (pos + 1 < size && line[pos + 1] == '"') {
                        cell += QChar(u'"');
                        pos += 2;
                        continue;
                    }
                    break;
                }
                const char16_t c = table[static_cast<unsigned char>(line[pos])];
                cell += QChar(c == 0 ? u' ' : c);
                ++pos;
            }
            if (pos < size)
                ++pos;
        } else {
            const qsizetype from = pos;
            while (pos < size && line[pos] != ',' && !isSeparatorSpace(line[pos]))
                ++pos;
            cell.resize(pos - from);
            QChar *out = cell.data();
            for (qsizetype i = from; i < pos; ++i)
                *out++ = QChar(table[static_cast<unsigned char>(line[i])]);
        }
        if (!cell.isEmpty()) {
            ++next;
            anyText = true;
        }
        skipSpaces();
        if (pos < size && line[pos] == ',') {
            ++pos;
            skipSpaces();
        }
    }
    return anyText;
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

// A cell as FormatCellsLine writes it, appended to the line.
void appendFormattedCell(QStringView cell, QString &line)
{
    const bool quoted = needsQuotes(cell);
    if (quoted)
        line += u'"';
    for (QChar c : cell) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            c = u' ';
        line += c;
        if (c == u'"')
            line += u'"';
    }
    if (quoted)
        line += u'"';
}

// Appends the line in Windows-1252, as stringToCp1252 encodes it.
void appendEncoded(QStringView line, QByteArray &bytes)
{
    for (QChar c : line) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && (u < 0xA0 || u > 0xFF)) {
            bytes += stringToCp1252(line);
            return;
        }
    }
    const qsizetype start = bytes.size();
    bytes.resize(start + line.size());
    char *out = bytes.data() + start;
    for (QChar c : line)
        *out++ = char(c.unicode());
}

} // namespace

CustomerTable::Row CustomerTable::makeRow(const QStringList &cells)
{
    Row row;
    qsizetype length = 0;
    for (int c = 0; c < kColumns && c < cells.size(); ++c)
        length += qMax<qsizetype>(cells[c].size(), 1);
    const QString key = NamePrimaryKey(cells.isEmpty() ? QStringView() : QStringView(cells[NameColumn]));
    row.text.reserve(length + key.size());
    for (int c = 0; c < kColumns; ++c) {
        const QStringView cell = c < cells.size() ? QStringView(cells[c]) : QStringView();
        if (cell.isEmpty()) {
            row.text += kPlaceholder;
            row.shownEmpty |= quint8(1u << c);
        } else {
            row.text += cell;
        }
        row.ends[size_t(c)] = quint32(row.text.size());
    }
    row.text += key;
    return row;
}

CustomerTable::Row CustomerTable::normalized(const Row &row)
{
    if (row.shownEmpty == 0)
        return row;
    // The stored cells hold the placeholder where they are shown empty.
    QStringList cells;
    cells.reserve(kColumns);
    for (int c = 0; c < kColumns; ++c)
        cells.append(storedCell(row, c).toString());
    Row result = makeRow(cells);
    result.changed = row.changed;
    result.origin = row.origin;
    return result;
}

QStringView CustomerTable::storedCell(const Row &row, int column)
{
    const quint32 start = column == 0 ? 0 : row.ends[size_t(column - 1)];
    return QStringView(row.text).sliced(start, row.ends[size_t(column)] - start);
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

QStringView CustomerTable::namePrimaryKey(qsizetype row) const
{
    const Row &r = m_rows[size_t(row)];
    return QStringView(r.text).sliced(r.ends[kColumns - 1]);
}

QStringView CustomerTable::sortKey(const Row &row)
{
    if (row.shownEmpty & 1u)
        return blankNameKey();
    return QStringView(row.text).sliced(row.ends[kColumns - 1]);
}

void CustomerTable::markChanged(Row &row)
{
    if (!row.changed) {
        row.changed = true;
        ++m_changed;
    }
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
    Row &r = m_rows[size_t(row)];
    const bool wasChanged = r.changed;
    r = makeRow(cells);
    r.changed = wasChanged;
    markChanged(r);
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
    if (m_observer)
        m_observer->rowsInserted();
}

void CustomerTable::removeRow(qsizetype at)
{
    if (at < 0 || at >= size())
        return;
    if (m_observer)
        m_observer->rowsRemoving(at, 1);
    if (m_rows[size_t(at)].changed)
        --m_changed;
    m_rows.erase(m_rows.begin() + at);
    if (m_observer)
        m_observer->rowsRemoved();
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
        for (qsizetype i = rows; i < size(); ++i)
            m_changed -= m_rows[size_t(i)].changed ? 1 : 0;
        m_rows.resize(size_t(rows));
        if (m_observer)
            m_observer->rowsRemoved();
    }
}

void CustomerTable::replace(CustomerTable &&other)
{
    if (m_observer)
        m_observer->resetting();
    m_rows = std::move(other.m_rows);
    m_changed = other.m_changed;
    m_ordered = other.m_ordered;
    other.m_rows.clear();
    other.m_changed = 0;
    if (m_observer)
        m_observer->reset();
}

bool CustomerTable::isWorth(const Row &row)
{
    for (int c = 0; c < kColumns; ++c) {
        if (storedCell(row, c).size() >= 2)
            return true;
    }
    return false;
}

QString CustomerTable::orderKey(const Row &row)
{
    QString key;
    for (int c = 0; c < kColumns; ++c)
        AppendRowOrderKey(storedCell(row, c), key);
    return key;
}

int CustomerTable::compareRows(const Row &a, const Row &b)
{
    // The name's weights decide nearly always; only names equal but for
    // case or accents need the whole rows' keys.
    const int byName = sortKey(a).compare(sortKey(b));
    if (byName != 0)
        return byName;
    return orderKey(a).compare(orderKey(b));
}

bool CustomerTable::isNameOrdered() const
{
    for (qsizetype i = 1; i < size(); ++i) {
        const int order = namePrimaryKey(i - 1).compare(namePrimaryKey(i));
        if (order > 0)
            return false;
        if (order == 0 && NameSortKey(cell(i - 1, NameColumn)) > NameSortKey(cell(i, NameColumn)))
            return false;
    }
    return true;
}

void CustomerTable::fullSort()
{
    if (m_observer)
        m_observer->resetting();
    std::vector<Row> kept;
    kept.reserve(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row row = normalized(m_rows[i]);
        if (isWorth(row))
            kept.push_back(std::move(row));
    }
    // Stable, so that of rows equal ignoring case the first one stays.
    std::stable_sort(kept.begin(), kept.end(), [](const Row &a, const Row &b) { return compareRows(a, b) < 0; });
    m_rows.clear();
    m_rows.reserve(kept.size());
    for (Row &row : kept) {
        if (!m_rows.empty() && compareRows(m_rows.back(), row) == 0)
            continue;
        row.changed = false;
        m_rows.push_back(std::move(row));
    }
    m_changed = 0;
    m_ordered = true;
    if (m_observer)
        m_observer->reset();
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
        placed.push_back(std::move(m_rows[size_t(i)]));
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
    for (Row &row : placed) {
        row = normalized(row);
        row.changed = false;
        if (!isWorth(row))
            continue;
        const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                                         [](const Row &a, const Row &b) { return compareRows(a, b) < 0; });
        const qsizetype index = at - m_rows.begin();
        if (at != m_rows.end() && compareRows(*at, row) == 0) {
            if (row.origin < at->origin) {
                *at = std::move(row);
                if (m_observer)
                    m_observer->cellsChanged(index, index);
            }
            continue;
        }
        if (m_observer)
            m_observer->rowsInserting(index, 1);
        m_rows.insert(at, std::move(row));
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
        // Only an empty name changes the key; other cells just show the placeholder.
        if (row.shownEmpty & 1u)
            row = normalized(row);
        row.shownEmpty = 0;
        if (first < 0)
            first = qsizetype(i);
        last = qsizetype(i);
    }
    if (m_observer && first >= 0)
        m_observer->cellsChanged(first, last);
}

qsizetype CustomerTable::findName(QStringView name) const
{
    for (qsizetype r = 0; r < size(); ++r) {
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

bool CustomerTable::formatLine(const Row &row, QString &line)
{
    // RegisterLineCells: the e-invoice cells only when one is set.
    const bool einvoice = !storedCell(row, EinvoiceAddressColumn).trimmed().isEmpty()
        || !storedCell(row, EinvoiceOperatorColumn).trimmed().isEmpty();
    const int columns = einvoice ? kColumns : CustomerNumberColumn + 1;
    bool worth = false;
    for (int c = 0; c < columns && !worth; ++c)
        worth = storedCell(row, c).size() >= 2;
    line.resize(0);
    if (!worth)
        return false;
    for (int c = 0; c < columns; ++c) {
        if (c > 0)
            line += u',';
        appendFormattedCell(storedCell(row, c), line);
    }
    return true;
}

CustomerTable::FileText CustomerTable::fileText() const
{
    FileText file;
    qsizetype total = 0;
    for (const Row &row : m_rows)
        total += row.ends[kColumns - 1] + kColumns * 3 + 2;
    file.bytes.reserve(total);
    QString line;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (!formatLine(m_rows[i], line))
            continue;
        if (file.tooLongRow < 0 && !LineLengthRefusal(line.size()).isEmpty())
            file.tooLongRow = qsizetype(i);
        appendEncoded(line, file.bytes);
        file.bytes += "\r\n";
        ++file.lines;
    }
    return file;
}

qsizetype CustomerTable::firstTooLongRow() const
{
    QString line;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (formatLine(m_rows[i], line) && !LineLengthRefusal(line.size()).isEmpty())
            return qsizetype(i);
    }
    return -1;
}

CustomerTable CustomerTable::read(const QString &path, const std::atomic<bool> *cancel)
{
    const QByteArray bytes = ReadTextFileBytes(path);
    CustomerTable table;
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    QStringList cells(kColumns);
    qsizetype start = 0;
    qsizetype longLine = -1;
    qsizetype lines = 0;
    while (start < size && lines <= kMaxTextLines) {
        if (cancel && lines % kLinesBetweenCancelChecks == 0 && cancel->load(std::memory_order_relaxed))
            return {};
        qsizetype end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        if (readLineCells(data + start, end - start, cells)) {
            if (longLine < 0 && !LineLengthRefusal(end - start).isEmpty())
                longLine = end - start;
            table.m_rows.push_back(makeRow(cells));
            ++lines;
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

    // The name lookup searches by halves and needs the name order. The
    // program writes the file in that order, but a file edited by hand may
    // not keep it.
    if (!table.isNameOrdered()) {
        table.fullSort();
        return table;
    }
    // A file as the program writes it: its rows are in order already, and
    // a new customer need only be put in its place.
    bool ordered = true;
    for (size_t i = 0; i < table.m_rows.size() && ordered; ++i)
        ordered = isWorth(table.m_rows[i]) && (i == 0 || compareRows(table.m_rows[i - 1], table.m_rows[i]) < 0);
    table.m_ordered = ordered;
    if (ordered) {
        for (Row &row : table.m_rows)
            row.changed = false;
        table.m_changed = 0;
    } else {
        table.m_changed = table.size();
    }
    return table;
}
