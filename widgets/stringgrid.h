#pragma once

#include "widgets/fontobject.h"

#include <QHash>
#include <QTableView>

#include <functional>
#include <memory>

class StringGridDelegate;
class StringGridModel;

/// Where a grid keeps its cells: by default a plain table of texts; a grid
/// may show another structure through it without copying it into cells.
/// Every change, whoever makes it, is told to the listener before and after.
class GridCells
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void rowsInserting(int first, int last) = 0;
        virtual void rowsInserted() = 0;
        virtual void rowsRemoving(int first, int last) = 0;
        virtual void rowsRemoved() = 0;
        virtual void resetting() = 0;
        virtual void reset() = 0;
        virtual void cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) = 0;
    };

    virtual ~GridCells() = default;
    void setListener(Listener *listener) { m_listener = listener; }

    virtual int rowCount() const = 0;
    virtual QString cell(int column, int row) const = 0;
    virtual void setCell(int column, int row, const QString &text) = 0;
    virtual QStringList rowCells(int row) const = 0;
    virtual void setRowCells(int row, QStringList cells) = 0;
    /// Adds empty rows at the end or drops rows from the end.
    virtual void setRowCount(int rows) = 0;
    /// Told by the grid, which resets its views around it.
    virtual void setColumnCount(int columns) = 0;
    virtual void replaceAll(QList<QStringList> rows) = 0;

protected:
    Listener *listener() const { return m_listener; }

private:
    Listener *m_listener = nullptr;
};

// The program's string grid: cells as text addressed (column, row), fixed
// heading rows and columns, column widths and row heights in pixels that
// exclude the one-pixel grid line, a cell-select event that can refuse a move,
// a key hook that sees keys before the grid, an attached font for cell (0, 0)
// and an integer kept with each cell.
class StringGrid : public QTableView
{
    Q_OBJECT

public:
    explicit StringGrid(int columns, int rows, QWidget *parent = nullptr);

    int colCount() const;
    int rowCount() const;
    void setColCount(int columns);
    void setRowCount(int rows);

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);
    QStringList rowCells(int row) const;
    void setRowCells(int row, QStringList cells);
    /// The last row with text in any cell; fixedRows() - 1 when none has.
    int lastTextRow() const;
    /// Replaces every row at once; the row count becomes rows.size().
    void setAllRows(QList<QStringList> rows);
    /// Keeps the cells in another place from now on, replacing the grid's own.
    void setCells(std::unique_ptr<GridCells> cells);

    int cellTag(int column, int row) const { return m_tags.value(tagKey(column, row)); }
    void setCellTag(int column, int row, int value);

    int colWidth(int column) const;
    void setColWidth(int column, int width);
    int rowHeight(int row) const;
    void setRowHeight(int row, int height);
    int defaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int height);
    int gridLineWidth() const { return 1; }

    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setFixed(int columns, int rows) { m_fixedCols = columns; m_fixedRows = rows; }

    int col() const;
    int row() const;
    /// Moves the cursor; the cell-select event may refuse the move.
    void setCurrentCell(int column, int row);

    /// The font that cell (0, 0) carries for the heading row, if any.
    const FontObject *attachedFont() const { return m_attachedFont; }
    void attachFont(const FontObject *font) { m_attachedFont = font; viewport()->update(); }
    QColor textColor() const;
    void setTextColor(const QColor &color);
    void setCellColor(const QColor &color);
    QColor fixedColor() const { return m_fixedColor; }
    void setFixedColor(const QColor &color) { m_fixedColor = color; viewport()->update(); }

    void setRightAlignedColumns(QList<int> columns) { m_rightAligned = std::move(columns); }
    bool isRightAligned(int column) const { return m_rightAligned.contains(column); }
    void setCellTextOffset(int offset) { m_textOffset = offset; }
    int cellTextOffset() const { return m_textOffset; }
    void setEditable(bool editable) { m_editable = editable; }
    /// Columns that only the program writes: no path, key, click or Qt's own
    /// "edit the next cell", opens an editor on them.
    void setReadOnlyColumns(QList<int> columns) { m_readOnlyColumns = std::move(columns); }
    bool isEditable() const { return m_editable; }
    /// Lets the user drag column or row borders with the mouse.
    void setResizable(bool columns, bool rows);
    bool isCellEditable(int column, int row) const;

    /// Finishes editing the current cell, keeping what was typed.
    void commitEdit();

    // Runs before the cursor moves to (column, row); false refuses the move.
    std::function<bool(int column, int row)> onSelectCell;
    // Runs on a double-click on a cell, its editor open or not; returning true
    // means the double-click did its job and the editor leaves it alone.
    std::function<bool(int column, int row)> onDoubleClick;
    // Sees every key first; returning true consumes it.
    std::function<bool(int key, Qt::KeyboardModifiers modifiers)> onKeyDown;

    /// Forgets the cell-select, double-click and key hooks.
    void clearHooks();

    /// Delivers a key to the key hook, then to the grid.
    void deliverKey(int key, Qt::KeyboardModifiers modifiers);

signals:
    void rightButtonPressed(QPoint position);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class CursorGate;
    static quint64 tagKey(int column, int row) { return (quint64(quint32(column)) << 32) | quint32(row); }
    bool allowMove(int column, int row);
    int borderAt(const QPoint &pos, Qt::Orientation orientation) const;

    StringGridModel *m_model;
    StringGridDelegate *m_delegate;
    QHash<quint64, int> m_tags;
    const FontObject *m_attachedFont = nullptr;
    QList<int> m_rightAligned;
    QList<int> m_readOnlyColumns;
    QColor m_fixedColor;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_defaultRowHeight = 20;
    int m_textOffset = 2;
    bool m_editable = true;
    bool m_resizeColumns = false;
    bool m_resizeRows = false;
    int m_dragSection = -1;
    Qt::Orientation m_dragOrientation = Qt::Horizontal;
    int m_dragStart = 0;
    int m_dragStartSize = 0;
    bool m_inSelect = false;
};
