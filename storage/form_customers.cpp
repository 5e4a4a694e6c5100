// The customer register: loading and saving it, the register box's editing,
// and filling the invoice's customer from it by number or by name.

#include "app/Unit1.h"
#include "base/commanderror.h"
#include "storage/collation.h"
#include "storage/customerregister.h"
#include "storage/customertable.h"
#include "storage/invoicefile.h"
#include "storage/savefolder.h"
#include "storage/savelimits.h"
#include "storage/textfile.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"

#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <functional>
#include <future>

using namespace Qt::StringLiterals;

namespace {

// Hands a widget's events to a handler of the window first.
class EventHook : public QObject
{
public:
    EventHook(QObject *parent, std::function<bool(QEvent *)> handler)
        : QObject(parent)
        , m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override { return m_handler(event); }

private:
    std::function<bool(QEvent *)> m_handler;
};

// The register column of an address line of the customer block.
int addressColumn(int line)
{
    return Address1Column + line - CustomerAddress1Line;
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

int pressedKey(QEvent *event)
{
    return event->type() == QEvent::KeyPress ? static_cast<QKeyEvent *>(event)->key() : 0;
}

// A register file larger than this is read on a worker thread at start-up,
// so the window need not wait for it; a smaller one takes a few milliseconds
// and is read at once.
constexpr qint64 kBackgroundRegisterBytes = 256 * 1024;

// The register grid's cells: its heading row, then the customer table's rows.
class RegisterCells : public GridCells, public CustomerTable::Observer
{
public:
    RegisterCells() { m_table.setObserver(this); }
    ~RegisterCells() override { m_table.setObserver(nullptr); }

    CustomerTable &table() { return m_table; }

    int rowCount() const override { return int(m_table.size()) + 1; }

    QString cell(int column, int row) const override
    {
        if (row == 0)
            return m_heading.value(column);
        return m_table.cell(row - 1, column).toString();
    }

    void setCell(int column, int row, const QString &text) override
    {
        if (row != 0) {
            m_table.setCell(row - 1, column, text);
        } else if (column >= 0 && column < RegisterColumnCount && m_heading[column] != text) {
            m_heading[column] = text;
            listener()->cellsChanged(0, 0, column, column);
        }
    }

    QStringList rowCells(int row) const override
    {
        return row == 0 ? m_heading : m_table.rowCells(row - 1);
    }

    void setRowCells(int row, QStringList cells) override
    {
        if (row != 0) {
            m_table.setRowCells(row - 1, cells);
            return;
        }
        cells.resize(RegisterColumnCount);
        m_heading = std::move(cells);
        listener()->cellsChanged(0, 0, 0, RegisterColumnCount - 1);
    }

    void setRowCount(int rows) override { m_table.resize(std::max(rows, 1) - 1); }

    // The register always has its columns.
    void setColumnCount(int) override {}

    void replaceAll(QList<QStringList> rows) override
    {
        if (!rows.isEmpty())
            setRowCells(0, rows.takeFirst());
        CustomerTable table;
        for (const QStringList &row : std::as_const(rows))
            table.insertRow(table.size(), row);
        m_table.replace(std::move(table));
    }

    void rowsInserting(qsizetype row, qsizetype count) override
    {
        listener()->rowsInserting(int(row) + 1, int(row + count));
    }
    void rowsInserted() override { listener()->rowsInserted(); }
    void rowsRemoving(qsizetype row, qsizetype count) override
    {
        listener()->rowsRemoving(int(row) + 1, int(row + count));
    }
    void rowsRemoved() override { listener()->rowsRemoved(); }
    void resetting() override { listener()->resetting(); }
    void reset() override { listener()->reset(); }
    void cellsChanged(qsizetype firstRow, qsizetype lastRow) override
    {
        listener()->cellsChanged(int(firstRow) + 1, int(lastRow) + 1, 0, RegisterColumnCount - 1);
    }

private:
    CustomerTable m_table;
    QStringList m_heading = QStringList(RegisterColumnCount);
};

// Puts the customers in name order and adds the empty new-customer row.
void sortCustomers(CustomerTable &table)
{
    table.sort();
    table.resize(table.size() + 1);
}

} // namespace

// The name box's drop-down list: the register's names, read from the table
// when the list is refreshed before it opens.
class RegisterNames : public QAbstractListModel
{
public:
    RegisterNames(const CustomerTable &table, QObject *parent)
        : QAbstractListModel(parent)
        , m_table(table)
    {
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_count);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return QVariant();
        return m_table.cell(index.row(), NameColumn).toString();
    }

    void refresh()
    {
        beginResetModel();
        m_count = m_table.size();
        endResetModel();
    }

private:
    const CustomerTable &m_table;
    qsizetype m_count = 0;
};

// A register being read on a worker thread.
struct PendingRegister
{
    /// Where it is read from, and its path for the messages.
    std::shared_ptr<SaveFolder> folder;
    QString path;
    std::atomic<bool> cancel{false};
    std::future<CustomerTable> table;
    bool taken = false;

    ~PendingRegister()
    {
        cancel = true;
        if (table.valid())
            table.wait();
    }

    // Starts the reading; the form is told when it ends, read or refused.
    void start(TForm1 *form)
    {
        if (taken || table.valid())
            return;
        table = std::async(std::launch::async, [this, form] {
            const QScopeGuard tell([form] {
                QMetaObject::invokeMethod(form, [form] { form->WaitForRegister(); }, Qt::QueuedConnection);
            });
            return read(&cancel);
        });
    }

    // The rows read; read here and now when the reading never started.
    CustomerTable take()
    {
        taken = true;
        return table.valid() ? table.get() : read(nullptr);
    }

    CustomerTable read(const std::atomic<bool> *stop) const
    {
        CustomerTable rows;
        rows.load(folder->readRegister(), stop);
        return rows;
    }
};

void TForm1::hookEvents(QObject *target, std::function<bool(QEvent *)> handler)
{
    auto *hook = new EventHook(this, std::move(handler));
    target->installEventFilter(hook);
    m_eventHooks.append(hook);
}

void TForm1::connectStorage()
{
    connectCommand(Valmis1, &ClickPanel::clicked, &TForm1::Valmis1Click);
    connectCommand(Panel2, &ClickPanel::clicked, &TForm1::Valmis1Click);
    connectCommand(Noudalasku1, &QAction::triggered, &TForm1::Noudalasku1Click);
    connectCommand(Tallennuskansio1, &QAction::triggered, &TForm1::Tallennuskansio1Click);
    connectCommand(DelRow3, &QPushButton::clicked, &TForm1::DelRow3Click);
    connectCommand(Ok3, &QPushButton::clicked, &TForm1::Ok3Click);
    connectCommand(Cancel3, &QPushButton::clicked, &TForm1::Cancel3Click);

    auto cells = std::make_unique<RegisterCells>();
    m_customers = &cells->table();
    const QStringList headings = AsiakRekisteri1->rowCells(0);
    AsiakRekisteri1->setCells(std::move(cells));
    AsiakRekisteri1->setRowCells(0, headings);
    m_customers->resize(1);
    m_registerNames = new RegisterNames(*m_customers, this);
    AsiakNimi1->setModel(m_registerNames);

    AsiakRekisteri1->onSelectCell = [this](int column, int row) { return AsiakRekisteri1SelectCell(column, row); };
    AsiakRekisteri1->onKeyDown = [this](int key, Qt::KeyboardModifiers) { return AsiakRekisteri1KeyDown(key); };
    // Any change of a name, or of the rows, makes the drop-down list stale.
    QAbstractItemModel *names = AsiakRekisteri1->model();
    connect(names, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &topLeft) {
        if (topLeft.column() == NameColumn)
            ++RegisterRevision;
    });
    for (auto rowsChanged : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(names, rowsChanged, this, [this] { ++RegisterRevision; });
    connect(names, &QAbstractItemModel::modelReset, this, [this] { ++RegisterRevision; });

    // The name box completes by itself; the combo box's own completer would fight it.
    AsiakNimi1->setCompleter(nullptr);
    connect(AsiakNimi1, &QComboBox::editTextChanged, this, &TForm1::AsiakNimi1Change);
    // Keys reach the combo box first; sent to its edit part directly, they arrive there.
    auto nameKeys = [this](QEvent *event) { return AsiakNimi1KeyPress(pressedKey(event)); };
    hookEvents(AsiakNimi1->lineEdit(), nameKeys);
    hookEvents(AsiakNimi1, [this, nameKeys](QEvent *event) {
        const bool click = event->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        const int key = pressedKey(event);
        const bool altArrow = (key == Qt::Key_Down || key == Qt::Key_Up)
            && (static_cast<QKeyEvent *>(event)->modifiers() & Qt::AltModifier);
        if (click || key == Qt::Key_F4 || altArrow)
            AsiakNimi1DropDown();
        return nameKeys(event);
    });
    hookEvents(AsiakNro1, [this](QEvent *event) { return AsiakNro1KeyPress(pressedKey(event)); });

    AsiakOsoite1->onKeyDown = [this](int key, Qt::KeyboardModifiers) { return AsiakOsoite1KeyPress(key); };
    // Entering the address grid from elsewhere, not the grid taking the focus
    // back from its own cell editor.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        auto inGrid = [this](QWidget *w) { return w && (w == AsiakOsoite1 || AsiakOsoite1->isAncestorOf(w)); };
        if (old && now == AsiakOsoite1 && !inGrid(old))
            AsiakOsoite1Enter();
    });
}

void TForm1::LoadCustomerRegister()
{
    // What a load still running would give is replaced by this one.
    m_pendingRegister.reset();
    UnreadableRegisterFile.clear();
    QByteArray file;
    const std::shared_ptr<SaveFolder> folder = Folder();
    if (folder && folder->hasRegister()) {
        try {
            file = folder->readRegister();
        } catch (const CommandError &error) {
            // The file may still hold every customer: never save over it
            // from an empty register.
            UnreadableRegisterFile = RegisterFileName;
            m_prompter->message(this, error.message());
            return;
        }
    }
    // The file is known to be readable: the rows in the grid make room for it.
    m_customers->load(std::exchange(file, {}));
    m_customers->resize(m_customers->size() + 1);
}

void TForm1::StartCustomerRegister()
{
    const std::shared_ptr<SaveFolder> folder = Folder();
    const QFileInfo file(RegisterFileName);
    if (!folder || !file.isFile() || file.size() <= kBackgroundRegisterBytes) {
        LoadCustomerRegister();
        return;
    }
    UnreadableRegisterFile.clear();
    auto pending = std::make_shared<PendingRegister>();
    pending->folder = folder;
    pending->path = RegisterFileName;
    // The window is shown first: the reading starts at the event loop's
    // first turn, unless something needs the register before.
    QTimer::singleShot(0, this, [this, weak = std::weak_ptr<PendingRegister>(pending)] {
        if (const std::shared_ptr<PendingRegister> waiting = weak.lock())
            waiting->start(this);
    });
    m_pendingRegister = std::move(pending);
}

void TForm1::WaitForRegister()
{
    if (!m_pendingRegister)
        return;
    const std::shared_ptr<PendingRegister> pending = std::exchange(m_pendingRegister, {});
    try {
        m_customers->replace(pending->take());
        m_customers->resize(m_customers->size() + 1);
    } catch (const CommandError &error) {
        UnreadableRegisterFile = pending->path;
        m_prompter->message(this, error.message());
    }
}

CustomerTable &TForm1::Customers()
{
    WaitForRegister();
    return *m_customers;
}

void TForm1::JoinFolderRegister()
{
    if (!Folder()->hasRegister())
        return;
    AsiakRekisteri1->commitEdit();
    QList<QStringList> entered;
    const CustomerTable &customers = Customers();
    for (qsizetype r = 0; r < customers.size(); ++r)
        entered.append(customers.rowCells(r));
    LoadCustomerRegister();
    if (IsRegisterUnreadable())
        return;
    QList<QStringList> missing;
    for (QStringList &row : entered) {
        if (m_customers->findName(row[NameColumn]) < 0)
            missing.append(std::move(row));
    }
    for (const QStringList &row : std::as_const(missing))
        m_customers->insertRow(m_customers->size(), row);
    sortCustomers(*m_customers);
}

bool TForm1::IsRegisterUnreadable() const
{
    return !UnreadableRegisterFile.isEmpty() && RegisterFileName == UnreadableRegisterFile;
}

void TForm1::SaveCustomerRegister()
{
    WaitForRegister();
    if (DataDir.isEmpty())
        AskSaveFolder(SaveFolderFor::Register);
    if (IsRegisterUnreadable())
        throw FileCreateError(RegisterFileName);
    AsiakRekisteri1->commitEdit();
    const CustomerTable::FileText file = m_customers->fileText();
    if (file.tooLongRow >= 0)
        throw CommandError(
            RegisterTooLongText(TooLongCustomerPart(m_customers->cell(file.tooLongRow, NameColumn).toString())));
    // A file the program could not read back would lose what it holds.
    if (const QString reason = LineCountRefusal(file.lines); !reason.isEmpty())
        throw CommandError(TextFileNotSavedText(RegisterFileName, reason));
    Folder()->writeRegister(file.bytes);
}

InvoiceData TForm1::WithCustomerEinvoice(InvoiceData invoice)
{
    AsiakRekisteri1->commitEdit();
    const CustomerTable &customers = Customers();
    return WithRegisterEinvoice(std::move(invoice), [&customers](QStringView number) {
        const qsizetype row = customers.findTrimmedNumber(number);
        return row < 0 ? EinvoiceAddress{} : RegisterRowEinvoice(customers.rowCells(row));
    });
}

int TForm1::NextCustomerNumber()
{
    AsiakRekisteri1->commitEdit();
    CustomerTable &customers = Customers();
    const int number = customers.smallestFreeNumber(AsiakRekisteri1->cell(CustomerNumberColumn, 0));
    sortCustomers(customers);
    return number;
}

void TForm1::FillCustomerFromRegister(int row)
{
    FillingCustomer = true;
    const QString name = AsiakRekisteri1->cell(NameColumn, row);
    AsiakNimi1->setEditText(name);
    AsiakOsoite1->setCell(kBlockTextColumn, CustomerNameLine, name);
    for (int line = CustomerAddress1Line; line < CustomerLineCount; ++line)
        AsiakOsoite1->setCell(kBlockTextColumn, line, AsiakRekisteri1->cell(addressColumn(line), row));
    AsiakY1->setText(AsiakRekisteri1->cell(BusinessIdColumn, row));
    AsiakNro1->setText(AsiakRekisteri1->cell(CustomerNumberColumn, row));
    BuyerEinvoice = RegisterRowEinvoice(AsiakRekisteri1->rowCells(row));
    FillingCustomer = false;
}

bool TForm1::IsNewInvoiceCustomer()
{
    AsiakRekisteri1->commitEdit();
    // Waited for first: a register that turns out unreadable takes no one.
    const CustomerTable &customers = Customers();
    return !IsRegisterUnreadable() && customers.findName(AsiakNimi1->currentText()) < 0;
}

QString TForm1::LongestNewCustomerNumber() const
{
    // With n texts in the number column one of 1 to n + 1 is free, and the
    // invoice's customer and a pending one add at most one row more.
    return QString::number(AsiakRekisteri1->rowCount() + 2);
}

QString TForm1::RegisterTooLongPart(bool withInvoiceCustomer)
{
    AsiakRekisteri1->commitEdit();
    const CustomerTable &customers = Customers();
    if (const qsizetype row = customers.firstTooLongRow(); row >= 0)
        return TooLongCustomerPart(customers.cell(row, NameColumn).toString());
    if (!withInvoiceCustomer)
        return QString();
    QStringList customer(RegisterColumnCount);
    customer[NameColumn] = AsiakNimi1->currentText();
    for (int line = CustomerAddress1Line; line < CustomerLineCount; ++line)
        customer[addressColumn(line)] = AsiakOsoite1->cell(kBlockTextColumn, line);
    customer[BusinessIdColumn] = AsiakY1->text();
    customer[CustomerNumberColumn] = LongestNewCustomerNumber();
    customer[EinvoiceAddressColumn] = BuyerEinvoice.address;
    customer[EinvoiceOperatorColumn] = BuyerEinvoice.operatorId;
    return ::RegisterTooLongPart({customer});
}

void TForm1::RegisterInvoiceCustomer()
{
    WaitForRegister();
    // A register that could not be read may still hold every customer: the
    // invoice is saved, the file is left as it is.
    if (IsRegisterUnreadable()) {
        m_prompter->message(this, CustomerNotRegisteredText(RegisterFileName));
        return;
    }
    const QString name = AsiakNimi1->currentText();
    if (!IsNewInvoiceCustomer())
        return;
    // A customer typed into the box but not yet numbered would be overwritten
    // by this one; number it first.
    CompletePendingCustomer();
    CustomerTable &customers = *m_customers;
    customers.setCell(customers.size() - 1, NameColumn, name);
    customers.resize(customers.size() + 1);
    AsiakNro1->setText(QString::number(NextCustomerNumber()));
    const qsizetype row = customers.findName(name);
    if (row >= 0) {
        QStringList cells = customers.rowCells(row);
        for (int line = CustomerAddress1Line; line < CustomerLineCount; ++line)
            cells[addressColumn(line)] = AsiakOsoite1->cell(kBlockTextColumn, line);
        cells[BusinessIdColumn] = AsiakY1->text();
        cells[CustomerNumberColumn] = AsiakNro1->text();
        cells[EinvoiceAddressColumn] = BuyerEinvoice.address;
        cells[EinvoiceOperatorColumn] = BuyerEinvoice.operatorId;
        customers.setRowCells(row, cells);
    }
    SaveCustomerRegister();
}

int TForm1::CompletePendingCustomer()
{
    AsiakRekisteri1->commitEdit();
    const int last = AsiakRekisteri1->rowCount() - 1;
    if (last < 1 || AsiakRekisteri1->cell(NameColumn, last).isEmpty())
        return -1;
    const QString name = AsiakRekisteri1->cell(NameColumn, last);
    const int number = NextCustomerNumber();
    const int row = int(m_customers->findName(name)) + 1;
    if (row < 1)
        return -1;
    FillingCustomer = true;
    AsiakRekisteri1->setCurrentCell(Address1Column, row);
    FillingCustomer = false;
    AsiakRekisteri1->setCell(CustomerNumberColumn, row, QString::number(number));
    return row;
}

bool TForm1::AsiakRekisteri1SelectCell(int, int)
{
    if (FillingCustomer) {
        FillingCustomer = false;
        return true;
    }
    const int last = AsiakRekisteri1->rowCount() - 1;
    if (AsiakRekisteri1->col() != NameColumn || AsiakRekisteri1->row() != last)
        return true;
    // Leaving a name typed into the new-customer row: the customer is sorted
    // into place, numbered, and the user goes on with its first address line.
    return CompletePendingCustomer() < 1;
}

bool TForm1::AsiakRekisteri1KeyDown(int key)
{
    if (!isEnter(key))
        return false;
    const int column = AsiakRekisteri1->col();
    if (column < AsiakRekisteri1->colCount() - 1)
        AsiakRekisteri1->setCurrentCell(column + 1, AsiakRekisteri1->row());
    else
        AsiakRekisteri1->setCurrentCell(NameColumn, AsiakRekisteri1->rowCount() - 1);
    return true;
}

void TForm1::DelRow3Click()
{
    AsiakRekisteri1->commitEdit();
    const int row = AsiakRekisteri1->row();
    const int last = AsiakRekisteri1->rowCount() - 1;
    if (row < 1 || row >= last)
        return;
    const int column = AsiakRekisteri1->col();
    m_customers->removeRow(row - 1);
    FillingCustomer = true;
    AsiakRekisteri1->setCurrentCell(column, row);
    FillingCustomer = false;
}

void TForm1::CloseRegisterBox()
{
    AsiakBox1->hide();
    // The page was widened to hold the box; kept wide, it would leave the
    // window a horizontal scroll bar.
    Page->resize(LaskuPanel1->x() + LaskuPanel1->width(), Page->height());
    resize(PageWindowWidth(), height());
    LaskuPanel1->setEnabled(true);
}

void TForm1::Ok3Click()
{
    // A new customer typed but not yet left gets its place and number too. A
    // failed save leaves the box open with the edits.
    CompletePendingCustomer();
    SaveCustomerRegister();
    CloseRegisterBox();
}

void TForm1::Cancel3Click()
{
    LoadCustomerRegister();
    CloseRegisterBox();
}

bool TForm1::AsiakNro1KeyPress(int key)
{
    if (!isEnter(key))
        return false;
    AsiakRekisteri1->commitEdit();
    const qsizetype found = Customers().findNumber(AsiakNro1->text());
    const int row = found < 0 ? AsiakRekisteri1->rowCount() - 1 : int(found) + 1;
    FillCustomerFromRegister(row);
    FillPayerOnGiro();
    return true;
}

void TForm1::AsiakNimi1Change()
{
    QLineEdit *edit = AsiakNimi1->lineEdit();
    if (FillingCustomer) {
        // The program's text is the user's to edit as it stands.
        NameTyped.clear();
        NameCompleted.clear();
    } else {
        for (int r = 0; r < AsiakOsoite1->rowCount(); ++r)
            AsiakOsoite1->setCell(kBlockTextColumn, r, QString());
        AsiakY1->clear();
        AsiakNro1->clear();
        BuyerEinvoice = {};
        const int caret = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        const QString text = TypedName(NameTyped, NameCompleted, edit->text());
        NameTyped.clear();
        NameCompleted.clear();
        AsiakRekisteri1->commitEdit();
        const CustomerTable &customers = Customers();
        QString typed = text;
        int row = customers.findNamePrefix(typed, 0) + 1;
        if (row < 1) {
            typed = text.left(caret);
            row = customers.findNamePrefix(typed, 0) + 1;
        }
        if (row > 0) {
            // The box takes the register's name as the register has it, so
            // the invoice names the customer as every other invoice does.
            FillCustomerFromRegister(row);
            NameTyped = typed;
            NameCompleted = edit->text();
            // The completed part is selected, so the next key typed replaces it.
            const int length = int(edit->text().size());
            if (length > caret)
                edit->setSelection(caret, length - caret);
            else
                edit->setCursorPosition(caret);
        } else if (text != edit->text()) {
            // Typed on beyond every register name, a completed beginning
            // shows again as it was typed: a new customer's name is the user's.
            FillingCustomer = true;
            AsiakNimi1->setEditText(text);
            edit->setCursorPosition(caret);
        }
    }
    FillingCustomer = false;
    AsiakNimi2->setText(AsiakNimi1->currentText());
    FillPayerOnGiro();
}

bool TForm1::AsiakNimi1KeyPress(int key)
{
    QLineEdit *edit = AsiakNimi1->lineEdit();
    if (key == Qt::Key_Backspace && edit->hasSelectedText() && edit->selectionStart() > 0) {
        // Backspace takes the completion and the last typed character.
        edit->setSelection(edit->selectionStart() - 1, int(edit->selectedText().size()) + 1);
        return false;
    }
    if (isEnter(key)) {
        AsiakOsoite1->setFocus(Qt::TabFocusReason);
        return true;
    }
    return false;
}

void TForm1::AsiakNimi1DropDown()
{
    WaitForRegister();
    if (NameItemsRevision == RegisterRevision)
        return;
    QLineEdit *edit = AsiakNimi1->lineEdit();
    const QString text = edit->text();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : -1;
    const int length = int(edit->selectedText().size());
    const int cursor = edit->cursorPosition();
    AsiakRekisteri1->commitEdit();
    {
        // Replacing the items would put the first one into the edit part.
        const QSignalBlocker blocker(AsiakNimi1);
        m_registerNames->refresh();
        AsiakNimi1->setCurrentIndex(-1);
        edit->setText(text);
        if (start >= 0)
            edit->setSelection(start, length);
        else
            edit->setCursorPosition(cursor);
    }
    NameItemsRevision = RegisterRevision;
}

void TForm1::AsiakOsoite1Enter()
{
    AsiakOsoite1->setCurrentCell(kBlockTextColumn, CustomerAddress1Line);
}

bool TForm1::AsiakOsoite1KeyPress(int key)
{
    if (!isEnter(key))
        return false;
    const int row = AsiakOsoite1->row();
    if (row < AsiakOsoite1->rowCount() - 1) {
        AsiakOsoite1->setCurrentCell(kBlockTextColumn, row + 1);
    } else {
        LaskuRivit1->setCurrentCell(TextColumn, 1);
        LaskuRivit1->setFocus(Qt::TabFocusReason);
    }
    return true;
}
