#pragma once

#include "invoice/invoicedata.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <vector>

// The customer register's rows, kept compactly: the cells' texts of every row
// in one buffer, each row the ends of its cells in it. The register box's grid
// shows the rows through a model that reads them here. Sort keys are worked
// out when a search or a sort needs them, not kept.

class CustomerTable
{
public:
    /// Told of every change of the rows, before and after it, so a view
    /// over the table can follow.
    class Observer
    {
    public:
        virtual ~Observer() = default;
        virtual void rowsInserting(qsizetype row, qsizetype count) = 0;
        virtual void rowsInserted() = 0;
        virtual void rowsRemoving(qsizetype row, qsizetype count) = 0;
        virtual void rowsRemoved() = 0;
        virtual void resetting() = 0;
        virtual void reset() = 0;
        virtual void cellsChanged(qsizetype firstRow, qsizetype lastRow) = 0;
    };

    static constexpr int kColumns = RegisterColumnCount;

    void setObserver(Observer *observer) { m_observer = observer; }

    qsizetype size() const { return qsizetype(m_rows.size()); }
    /// The cell's text as the grid shows it: a cell read empty from the file,
    /// or emptied, is empty until the next sort gives it the blank placeholder.
    QStringView cell(qsizetype row, int column) const;
    QStringList rowCells(qsizetype row) const;
    void setCell(qsizetype row, int column, QStringView text);
    void setRowCells(qsizetype row, const QStringList &cells);
    void insertRow(qsizetype at, const QStringList &cells);
    void removeRow(qsizetype at);
    /// Adds empty rows at the end, or drops rows from the end.
    void resize(qsizetype rows);
    /// Replaces every row with those of another table.
    void replace(CustomerTable &&other);

    /// NamePrimaryKey of the row's name.
    QString namePrimaryKey(qsizetype row) const;

    /// Re-sorts the rows as SortRegisterRows does: empty cells become the
    /// blank placeholder, rows without a cell of two characters are dropped,
    /// rows are put in register order and of rows equal ignoring case only
    /// the first is kept. Rows unchanged since the last sort are known to be
    /// in order, so only the changed ones are placed, each by a binary search.
    void sort();
    /// Whether the names are in name order (NameSortKey), as the name lookup's
    /// search by halves needs.
    bool isNameOrdered() const;

    /// The first row whose name equals the text ignoring case; -1 when none.
    qsizetype findName(QStringView name) const;
    /// The first row whose customer number equals the text ignoring case; -1 when none.
    qsizetype findNumber(QStringView number) const;
    /// The first row whose customer number equals the text ignoring case and
    /// blanks around both; -1 when none or the text is blank.
    qsizetype findTrimmedNumber(QStringView number) const;
    /// SmallestFreeCustomerNumber of the customer number column; extra is a
    /// text counted as one more number, as the grid's heading "As.nro" is.
    int smallestFreeNumber(QStringView extra) const;
    /// FindNamePrefix over the names from row first on.
    int findNamePrefix(QStringView key, int first) const;

    /// The register file's bytes: RegisterFileLines of the rows, each line in
    /// Windows-1252 ended by CR LF, as WriteTextLines writes them.
    struct FileText
    {
        QByteArray bytes;
        qsizetype lines = 0;
        /// The first row whose line is longer than the reader takes; -1 when none.
        qsizetype tooLongRow = -1;
    };
    FileText fileText() const;
    /// FileText's tooLongRow alone, without the bytes.
    qsizetype firstTooLongRow() const;

    /// A register file's bytes, when ReadTextLines would take its lines;
    /// otherwise throws what ReadTextLines throws. Empty when cancel becomes set.
    static QByteArray readFile(const QString &path, const std::atomic<bool> *cancel = nullptr);
    /// Replaces the rows with the lines of a file's bytes that readFile gave,
    /// read as ReadLineIntoCells reads them. Rows not in name order are
    /// sorted, as the lookup needs. When cancel becomes set, stops, leaving
    /// the table empty.
    void load(const QByteArray &bytes, const std::atomic<bool> *cancel = nullptr);
    /// readFile and load.
    static CustomerTable read(const QString &path, const std::atomic<bool> *cancel = nullptr);

private:
    struct Row
    {
        /// Where the row's cells begin in the text, empty ones as the placeholder.
        quint32 start = 0;
        /// The end of each cell in the text.
        std::array<quint32, kColumns> ends{};
        /// Cells that hold the placeholder but are shown empty.
        quint8 shownEmpty = 0;
        /// Changed since the last sort: its place is not known.
        bool changed = true;
        /// The row's place before a sort: of equal rows the first stays.
        quint32 origin = 0;
    };

    /// A row of the cells, their text put at the end of the buffer.
    Row makeRow(const QStringList &cells);
    /// The row with its cells shown empty given the placeholder.
    Row normalized(const Row &row);
    QStringView storedCell(const Row &row, int column) const;
    QStringList storedCells(const Row &row) const;
    bool isWorth(const Row &row) const;
    void appendSortKey(const Row &row, QString &key) const;
    QString orderKey(const Row &row) const;
    /// Register order; aKey and bKey are the rows' sort keys (appendSortKey).
    int compareRows(const Row &a, QStringView aKey, const Row &b, QStringView bKey) const;
    /// Appends the row's file line (RegisterLineCells, FormatCellsLine) in
    /// Windows-1252, without its line end, and returns its length in
    /// characters; -1, with nothing appended, when the row is not worth writing.
    qsizetype appendLine(const Row &row, QByteArray &bytes) const;
    /// The position of the first row from 0 to end not before the key in
    /// register order (its sort key and, on a tie, row).
    qsizetype lowerBound(qsizetype end, QStringView key, const Row *row) const;
    void fullSort();
    /// fullSort without telling the observer.
    void sortAll();
    void markChanged(Row &row);
    void dropText(const Row &row);
    void compactIfWasteful();
    /// Puts the rows' texts in row order into a new buffer, leaving out
    /// what edits left behind.
    void compact();

    std::vector<Row> m_rows;
    std::vector<char16_t> m_text;
    /// Characters of the buffer no row uses any more.
    qsizetype m_garbage = 0;
    qsizetype m_changed = 0;
    /// Whether the rows not changed are in register order, each worth writing
    /// and none equal to another: then a sort need only place the changed.
    bool m_ordered = false;
    /// The rows before this one are in order and unchanged, so a name is
    /// looked up among them by halves.
    qsizetype m_orderedEnd = 0;
    Observer *m_observer = nullptr;
};
