// The string grid used for the invoice rows, the customer block, the biller
// heading and the customer register.

#include "stringgrid.h"

#include <algorithm>

#include "widgets/widgetfactory.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// The grid's own cells: plain texts, row-major.
class ListCells : public GridCells
{
public:
    explicit ListCells(int columns, int rows)
        : m_columns(std::max(columns, 0))
    {
        m_rows.resize(std::max(rows, 0));
        for (QStringList &row : m_rows)
            row.resize(m_columns);
    }

    int rowCount() const override { return int(m_rows.size()); }

    QString cell(int column, int row) const override
    {
        if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns)
            return QString();
        return m_rows[row][column];
    }

    void setCell(int column, int row, const QString &text) override
    {
        if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns)
            return;
        if (m_rows[row][column] == text)
            return;
        m_rows[row][column] = text;
        listener()->cellsChanged(row, row, column, column);
    }

    QStringList rowCells(int row) const override { return m_rows.value(row); }

    void setRowCells(int row, QStringList cells) override
    {
        if (row < 0 || row >= m_rows.size())
            return;
        cells.resize(m_columns);
        m_rows[row] = std::move(cells);
        listener()->cellsChanged(row, row, 0, m_columns - 1);
    }

    void setRowCount(int rows) override
    {
        rows = std::max(rows, 0);
        const int old = int(m_rows.size());
        if (rows > old) {
            listener()->rowsInserting(old, rows - 1);
            m_rows.resize(rows);
            for (int r = old; r < rows; ++r)
                m_rows[r].resize(m_columns);
            listener()->rowsInserted();
        } else if (rows < old) {
            listener()->rowsRemoving(rows, old - 1);
            m_rows.resize(rows);
            listener()->rowsRemoved();
        }
    }

    void setColumnCount(int columns) override
    {
        m_columns = std::max(columns, 0);
        for (QStringList &row : m_rows)
            row.resize(m_columns);
    }

    void replaceAll(QList<QStringList> rows) override
    {
        listener()->resetting();
        m_rows = std::move(rows);
        for (QStringList &row : m_rows)
            row.resize(m_columns);
        listener()->reset();
    }

private:
    int m_columns;
    QList<QStringList> m_rows;
};

} // namespace

// The grid's model: the cells, wherever they are kept, as Qt's views see them.
class StringGridModel : public QAbstractTableModel, public GridCells::Listener
{
public:
    StringGridModel(StringGrid *grid, int columns, int rows);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    GridCells &cells() const { return *m_cells; }
    void setCells(std::unique_ptr<GridCells> cells);
    void setColumnCount(int columns);

    void rowsInserting(int first, int last) override { beginInsertRows(QModelIndex(), first, last); }
    void rowsInserted() override { endInsertRows(); }
    void rowsRemoving(int first, int last) override { beginRemoveRows(QModelIndex(), first, last); }
    void rowsRemoved() override { endRemoveRows(); }
    void resetting() override { beginResetModel(); }
    void reset() override { endResetModel(); }
    void cellsChanged(int firstRow, int lastRow, int firstColumn, int lastColumn) override
    {
        emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn));
    }

private:
    StringGrid *m_grid;
    int m_columns = 0;
    std::unique_ptr<GridCells> m_cells;
};
// Draws the cells the way the page shows them and commits every keystroke.
class StringGridDelegate : public QStyledItemDelegate
{
public:
    explicit StringGridDelegate(StringGrid *grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    QLineEdit *currentEditor() const { return m_editor; }

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    StringGrid *m_grid;
    mutable QPointer<QLineEdit> m_editor;
    mutable QPersistentModelIndex m_editedIndex;
    mutable QString m_originalText;
};


// Every cursor move of the view passes here, so the grid's cell-select event
// can refuse it before anything changes.
class CursorGate : public QItemSelectionModel
{
public:
    CursorGate(StringGrid *grid, QAbstractItemModel *model)
        : QItemSelectionModel(model, grid)
        , m_grid(grid)
    {
    }

    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override
    {
        if (index.isValid() && index != currentIndex() && !m_grid->allowMove(index.column(), index.row()))
            return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }

private:
    StringGrid *m_grid;
};

StringGridModel::StringGridModel(StringGrid *grid, int columns, int rows)
    : QAbstractTableModel(grid)
    , m_grid(grid)
    , m_columns(std::max(columns, 0))
    , m_cells(std::make_unique<ListCells>(columns, rows))
{
    m_cells->setListener(this);
}

void StringGridModel::setCells(std::unique_ptr<GridCells> cells)
{
    beginResetModel();
    m_cells = std::move(cells);
    m_cells->setListener(this);
    m_cells->setColumnCount(m_columns);
    endResetModel();
}

void StringGridModel::setColumnCount(int columns)
{
    columns = std::max(columns, 0);
    if (columns == m_columns)
        return;
    beginResetModel();
    m_columns = columns;
    m_cells->setColumnCount(m_columns);
    endResetModel();
}

int StringGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cells->rowCount();
}

int StringGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant StringGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return m_cells->cell(index.column(), index.row());
}

bool StringGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    m_cells->setCell(index.column(), index.row(), value.toString());
    return true;
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_grid->isCellEditable(index.column(), index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

StringGridDelegate::StringGridDelegate(StringGrid *grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid)
{
}

void StringGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    const int column = index.column();
    const int row = index.row();
    const bool fixed = row < m_grid->fixedRows() || column < m_grid->fixedCols();
    const bool current = m_grid->hasFocus() && column == m_grid->col() && row == m_grid->row();

    QColor background = fixed ? m_grid->fixedColor() : m_grid->palette().color(QPalette::Base);
    if (current)
        background = m_grid->palette().color(QPalette::Highlight);
    painter->fillRect(option.rect, background);

    QFont font = m_grid->font();
    QColor color = m_grid->textColor();
    if (row == 0 && m_grid->attachedFont()) {
        font = m_grid->attachedFont()->font;
        color = m_grid->attachedFont()->color;
    }
    if (current)
        color = m_grid->palette().color(QPalette::HighlightedText);

    const QString text = m_grid->cell(column, row);
    if (text.isEmpty())
        return;
    painter->save();
    painter->setClipRect(option.rect);
    painter->setFont(font);
    painter->setPen(color);
    const int offset = m_grid->cellTextOffset();
    const QFontMetrics metrics(font);
    QRect textRect = option.rect.adjusted(offset, offset, -offset, 0);
    textRect.setHeight(metrics.height());
    const Qt::Alignment align = m_grid->isRightAligned(column) ? Qt::AlignRight : Qt::AlignLeft;
    painter->drawText(textRect, int(align | Qt::AlignTop | Qt::TextSingleLine), text);
    painter->restore();
}

QWidget *StringGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                          const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    allowAnyLength(editor);
    editor->setFrame(false);
    editor->setFont(m_grid->font());
    editor->setAlignment(m_grid->isRightAligned(index.column()) ? Qt::AlignRight : Qt::AlignLeft);
    editor->setTextMargins(1, 0, 1, 0);
    // The cell follows every keystroke, as the grid's handlers read the cells.
    connect(editor, &QLineEdit::textEdited, this, [this, editor] {
        emit const_cast<StringGridDelegate *>(this)->commitData(editor);
    });
    m_editor = editor;
    m_editedIndex = index;
    m_originalText = m_grid->cell(index.column(), index.row());
    return editor;
}

void StringGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *line = static_cast<QLineEdit *>(editor);
    const QString &text = m_grid->cell(index.column(), index.row());
    if (line->text() != text)
        line->setText(text);
}

void StringGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *,
                                      const QModelIndex &index) const
{
    m_grid->setCell(index.column(), index.row(), static_cast<QLineEdit *>(editor)->text());
}

void StringGridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                              const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

QSize StringGridDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return QSize(m_grid->defaultRowHeight(), m_grid->defaultRowHeight());
}

bool StringGridDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QLineEdit *>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // Finish the cell and let the grid's own key handling move on.
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            m_grid->deliverKey(key->key(), key->modifiers());
            return true;
        case Qt::Key_Escape:
            editor->setText(m_originalText);
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            return true;
        default:
            break;
        }
    }
    if (editor && editor == m_editor && event->type() == QEvent::MouseButtonDblClick
        && m_editedIndex.isValid() && m_grid->onDoubleClick) {
        // The cell under the pointer is the edited one: its double-click
        // convenience comes before the editor's word selection.
        // The cell already holds every keystroke; the editor follows its new text.
        if (m_grid->onDoubleClick(m_editedIndex.column(), m_editedIndex.row())) {
            emit closeEditor(editor, NoHint);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

StringGrid::StringGrid(int columns, int rows, QWidget *parent)
    : QTableView(parent)
    , m_model(new StringGridModel(this, columns, rows))
    , m_delegate(new StringGridDelegate(this))
{
    setModel(m_model);
    QItemSelectionModel *old = selectionModel();
    setSelectionModel(new CursorGate(this, m_model));
    delete old;
    setItemDelegate(m_delegate);
    setSelectionMode(NoSelection);
    setEditTriggers(AnyKeyPressed | EditKeyPressed | SelectedClicked);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(ScrollPerItem);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(65);
    verticalHeader()->setDefaultSectionSize(m_defaultRowHeight + gridLineWidth());
    m_fixedColor = palette().color(QPalette::Button);
    viewport()->setMouseTracking(true);
}

QString StringGrid::cell(int column, int row) const
{
    return m_model->cells().cell(column, row);
}

void StringGrid::setCell(int column, int row, const QString &text)
{
    m_model->cells().setCell(column, row, text);
}

QStringList StringGrid::rowCells(int row) const
{
    return m_model->cells().rowCells(row);
}

void StringGrid::setRowCells(int row, QStringList cells)
{
    m_model->cells().setRowCells(row, std::move(cells));
}

int StringGrid::colCount() const
{
    return m_model->columnCount();
}

int StringGrid::rowCount() const
{
    return m_model->rowCount();
}

void StringGrid::setColCount(int columns)
{
    m_model->setColumnCount(columns);
}

void StringGrid::setRowCount(int rows)
{
    const int old = rowCount();
    m_model->cells().setRowCount(rows);
    if (rows < old) {
        for (auto it = m_tags.begin(); it != m_tags.end();) {
            if (int(it.key() & 0xffffffffu) >= rows)
                it = m_tags.erase(it);
            else
                ++it;
        }
    }
}

int StringGrid::lastTextRow() const
{
    for (int r = rowCount() - 1; r >= m_fixedRows; --r) {
        const QStringList cells = rowCells(r);
        if (std::any_of(cells.begin(), cells.end(), [](const QString &cell) { return !cell.isEmpty(); }))
            return r;
    }
    return m_fixedRows - 1;
}

void StringGrid::setAllRows(QList<QStringList> rows)
{
    m_tags.clear();
    m_model->cells().replaceAll(std::move(rows));
}

void StringGrid::setCells(std::unique_ptr<GridCells> cells)
{
    m_tags.clear();
    m_model->setCells(std::move(cells));
}

void StringGrid::setCellTag(int column, int row, int value)
{
    if (value == 0)
        m_tags.remove(tagKey(column, row));
    else
        m_tags.insert(tagKey(column, row), value);
}

int StringGrid::colWidth(int column) const
{
    return horizontalHeader()->sectionSize(column) - gridLineWidth();
}

void StringGrid::setColWidth(int column, int width)
{
    horizontalHeader()->resizeSection(column, std::max(width, 0) + gridLineWidth());
}

int StringGrid::rowHeight(int row) const
{
    return verticalHeader()->sectionSize(row) - gridLineWidth();
}

void StringGrid::setRowHeight(int row, int height)
{
    verticalHeader()->resizeSection(row, std::max(height, 0) + gridLineWidth());
}

void StringGrid::setDefaultRowHeight(int height)
{
    m_defaultRowHeight = height;
    verticalHeader()->setDefaultSectionSize(height + gridLineWidth());
}

int StringGrid::col() const
{
    return currentIndex().isValid() ? currentIndex().column() : m_fixedCols;
}

int StringGrid::row() const
{
    return currentIndex().isValid() ? currentIndex().row() : m_fixedRows;
}

void StringGrid::setCurrentCell(int column, int row)
{
    setCurrentIndex(m_model->index(row, column));
}

QColor StringGrid::textColor() const
{
    return palette().color(QPalette::Text);
}

void StringGrid::setTextColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Text, color);
    setPalette(pal);
}

void StringGrid::setCellColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
}

void StringGrid::setResizable(bool columns, bool rows)
{
    m_resizeColumns = columns;
    m_resizeRows = rows;
    if (!columns && !rows)
        viewport()->unsetCursor();
}

bool StringGrid::isCellEditable(int column, int row) const
{
    return m_editable && row >= m_fixedRows && column >= m_fixedCols
        && !m_readOnlyColumns.contains(column);
}

void StringGrid::commitEdit()
{
    if (state() != EditingState)
        return;
    if (QLineEdit *editor = m_delegate->currentEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void StringGrid::clearHooks()
{
    onSelectCell = nullptr;
    onDoubleClick = nullptr;
    onKeyDown = nullptr;
}

void StringGrid::deliverKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (onKeyDown && onKeyDown(key, modifiers))
        return;
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QTableView::keyPressEvent(&event);
}

bool StringGrid::allowMove(int column, int row)
{
    if (row < m_fixedRows || column < m_fixedCols || row >= rowCount() || column >= colCount())
        return false;
    commitEdit();
    return !onSelectCell || onSelectCell(column, row);
}

void StringGrid::keyPressEvent(QKeyEvent *event)
{
    if (onKeyDown && onKeyDown(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

int StringGrid::borderAt(const QPoint &pos, Qt::Orientation orientation) const
{
    const QHeaderView *header = orientation == Qt::Horizontal ? horizontalHeader() : verticalHeader();
    const int coordinate = orientation == Qt::Horizontal ? pos.x() : pos.y();
    const int section = header->logicalIndexAt(coordinate);
    if (section < 0)
        return -1;
    const int end = header->sectionViewportPosition(section) + header->sectionSize(section);
    if (std::abs(coordinate - end) <= 2)
        return section;
    if (section > 0 && std::abs(coordinate - header->sectionViewportPosition(section)) <= 2)
        return section - 1;
    return -1;
}

void StringGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        emit rightButtonPressed(event->position().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        int section = m_resizeColumns ? borderAt(pos, Qt::Horizontal) : -1;
        Qt::Orientation orientation = Qt::Horizontal;
        if (section < 0 && m_resizeRows) {
            section = borderAt(pos, Qt::Vertical);
            orientation = Qt::Vertical;
        }
        if (section >= 0) {
            m_dragSection = section;
            m_dragOrientation = orientation;
            m_dragStart = orientation == Qt::Horizontal ? pos.x() : pos.y();
            m_dragStartSize = orientation == Qt::Horizontal ? colWidth(section) : rowHeight(section);
            return;
        }
    }
    QTableView::mousePressEvent(event);
}

void StringGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_dragSection >= 0) {
        if (m_dragOrientation == Qt::Horizontal)
            setColWidth(m_dragSection, std::max(1, m_dragStartSize + pos.x() - m_dragStart));
        else
            setRowHeight(m_dragSection, std::max(1, m_dragStartSize + pos.y() - m_dragStart));
        return;
    }
    if (m_resizeColumns && borderAt(pos, Qt::Horizontal) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else if (m_resizeRows && borderAt(pos, Qt::Vertical) >= 0)
        viewport()->setCursor(Qt::SplitVCursor);
    else if (m_resizeColumns || m_resizeRows)
        viewport()->unsetCursor();
    if (event->buttons() != Qt::NoButton)
        QTableView::mouseMoveEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragSection >= 0) {
        m_dragSection = -1;
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && onDoubleClick)
        onDoubleClick(index.column(), index.row());
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Keyboard moves never land on the heading rows or margin columns.
    const QModelIndex current = currentIndex();
    if (action == MoveNext || action == MovePrevious) {
        int c = current.isValid() ? current.column() : m_fixedCols;
        int r = current.isValid() ? current.row() : m_fixedRows;
        const int step = action == MoveNext ? 1 : -1;
        c += step;
        if (c >= colCount()) {
            c = m_fixedCols;
            ++r;
        } else if (c < m_fixedCols) {
            c = colCount() - 1;
            --r;
        }
        if (r < m_fixedRows || r >= rowCount())
            return current;
        return m_model->index(r, c);
    }
    QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (target.isValid() && (target.row() < m_fixedRows || target.column() < m_fixedCols))
        return current;
    return target;
}

void StringGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Tab from an editor moves on and opens the next cell's editor. Qt opens
    // it by the cell it aimed at, even when the cell-select event moved the
    // rows meanwhile (the register sorting a new customer into place) and
    // that cell is gone, which it reports on standard error. The editor
    // opens only where the cursor went as asked.
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    if (!next && hint != QAbstractItemDelegate::EditPreviousItem) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    const QPersistentModelIndex target = moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier);
    if (!target.isValid())
        return;
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    if (target.isValid() && currentIndex() == target && (target.flags() & Qt::ItemIsEditable))
        edit(target);
}
