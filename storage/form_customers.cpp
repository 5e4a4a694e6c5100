// The customer register: loading and saving it, the register box's editing,
// and filling the invoice's customer from it by number or by name.

#include "app/Unit1.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"
#include "storage/collation.h"
#include "storage/customerregister.h"
#include "storage/commanderror.h"
#include "storage/invoicefile.h"
#include "storage/savelimits.h"
#include "storage/textfile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <functional>

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

// The first customer row, below the heading, whose cell equals the text
// ignoring case; -1 when there is none.
int findCustomerRow(const StringGrid *grid, int column, const QString &text)
{
    for (int r = 1; r < grid->rowCount(); ++r) {
        if (grid->cell(column, r).compare(text, Qt::CaseInsensitive) == 0)
            return r;
    }
    return -1;
}

// The heading, the customers and the empty new-customer row.
void setCustomerRows(StringGrid *grid, QList<QStringList> customers)
{
    QList<QStringList> rows;
    rows.reserve(customers.size() + 2);
    rows.append(grid->rowCells(0));
    for (QStringList &row : customers)
        rows.append(std::move(row));
    rows.append(QStringList(grid->colCount()));
    grid->setAllRows(std::move(rows));
}

// Puts the customers in name order, each empty cell a blank, dropping rows
// without a cell of two characters and rows equal ignoring case.
void sortCustomers(StringGrid *grid)
{
    QList<QStringList> customers;
    customers.reserve(grid->rowCount());
    for (int r = 1; r < grid->rowCount(); ++r)
        customers.append(grid->rowCells(r));
    SortRegisterRows(customers);
    setCustomerRows(grid, std::move(customers));
}

} // namespace

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

    AsiakRekisteri1->onSelectCell = [this](int column, int row) { return AsiakRekisteri1SelectCell(column, row); };
    AsiakRekisteri1->onKeyDown = [this](int key, Qt::KeyboardModifiers) { return AsiakRekisteri1KeyDown(key); };
    // Any change of a name, or of the rows, makes the lookup keys stale.
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
    QStringList lines;
    UnreadableRegisterFile.clear();
    if (!DataDir.isEmpty() && QFileInfo::exists(RegisterFileName)) {
        try {
            lines = ReadTextLines(RegisterFileName);
        } catch (const CommandError &error) {
            // The file may still hold every customer: never save over it
            // from an empty register.
            UnreadableRegisterFile = RegisterFileName;
            m_prompter->message(this, error.message());
            return;
        }
    }
    // The lines go as soon as they are rows, leaving their memory to the sort.
    const int columns = AsiakRekisteri1->colCount();
    setCustomerRows(AsiakRekisteri1, ReadLinesIntoRows(std::exchange(lines, {}), columns));
    // The name lookup searches by halves and needs the name order. The
    // program writes the file in that order, but a file edited by hand may
    // not keep it.
    const QStringList &keys = RegisterNameKeys();
    if (!std::is_sorted(keys.begin() + 1, keys.end() - 1)) {
        sortCustomers(AsiakRekisteri1);
        RegisterNameKeys();
    }
}

void TForm1::JoinFolderRegister()
{
    if (!QFileInfo::exists(RegisterFileName))
        return;
    AsiakRekisteri1->commitEdit();
    QList<QStringList> entered;
    for (int r = 1; r < AsiakRekisteri1->rowCount(); ++r)
        entered.append(AsiakRekisteri1->rowCells(r));
    LoadCustomerRegister();
    if (IsRegisterUnreadable())
        return;
    QList<QStringList> customers;
    for (int r = 1; r < AsiakRekisteri1->rowCount(); ++r)
        customers.append(AsiakRekisteri1->rowCells(r));
    for (QStringList &row : entered) {
        if (findCustomerRow(AsiakRekisteri1, NameColumn, row[NameColumn]) < 0)
            customers.append(std::move(row));
    }
    setCustomerRows(AsiakRekisteri1, std::move(customers));
    sortCustomers(AsiakRekisteri1);
    RegisterNameKeys();
}

bool TForm1::IsRegisterUnreadable() const
{
    return !UnreadableRegisterFile.isEmpty() && RegisterFileName == UnreadableRegisterFile;
}

void TForm1::SaveCustomerRegister()
{
    if (DataDir.isEmpty())
        AskSaveFolder();
    if (IsRegisterUnreadable())
        throw FileCreateError(RegisterFileName);
    if (const QString part = RegisterTooLongPart(false); !part.isEmpty())
        throw CommandError(RegisterTooLongText(part));
    WriteTextLines(RegisterFileName, RegisterFileLines(RegisterCustomers()));
}

QList<QStringList> TForm1::RegisterCustomers()
{
    AsiakRekisteri1->commitEdit();
    QList<QStringList> rows;
    rows.reserve(AsiakRekisteri1->rowCount());
    for (int r = 1; r < AsiakRekisteri1->rowCount(); ++r)
        rows.append(AsiakRekisteri1->rowCells(r));
    return rows;
}

int TForm1::NextCustomerNumber()
{
    AsiakRekisteri1->commitEdit();
    const int number = SmallestFreeCustomerNumber(AsiakRekisteri1->columnCells(CustomerNumberColumn));
    sortCustomers(AsiakRekisteri1);
    RegisterNameKeys();
    return number;
}

const QStringList &TForm1::RegisterNameKeys()
{
    if (NameKeysRevision != RegisterRevision) {
        NameKeys.clear();
        NameKeys.reserve(AsiakRekisteri1->rowCount());
        for (int r = 0; r < AsiakRekisteri1->rowCount(); ++r)
            NameKeys.append(NameSortKey(AsiakRekisteri1->cell(NameColumn, r)));
        NameKeysRevision = RegisterRevision;
    }
    return NameKeys;
}

void TForm1::FillCustomerFromRegister(int row, const QString &typed)
{
    FillingCustomer = true;
    const QString name = CompletedName(typed, AsiakRekisteri1->cell(NameColumn, row));
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
    return !IsRegisterUnreadable() && findCustomerRow(AsiakRekisteri1, NameColumn, AsiakNimi1->currentText()) < 0;
}

QString TForm1::LongestNewCustomerNumber() const
{
    // With n texts in the number column one of 1 to n + 1 is free, and the
    // invoice's customer and a pending one add at most one row more.
    return QString::number(AsiakRekisteri1->rowCount() + 2);
}

QString TForm1::RegisterTooLongPart(bool withInvoiceCustomer)
{
    QList<QStringList> rows = RegisterCustomers();
    if (withInvoiceCustomer) {
        QStringList customer(RegisterColumnCount);
        customer[NameColumn] = AsiakNimi1->currentText();
        for (int line = CustomerAddress1Line; line < CustomerLineCount; ++line)
            customer[addressColumn(line)] = AsiakOsoite1->cell(kBlockTextColumn, line);
        customer[BusinessIdColumn] = AsiakY1->text();
        customer[CustomerNumberColumn] = LongestNewCustomerNumber();
        customer[EinvoiceAddressColumn] = BuyerEinvoice.address;
        customer[EinvoiceOperatorColumn] = BuyerEinvoice.operatorId;
        rows.append(customer);
    }
    return ::RegisterTooLongPart(rows);
}

void TForm1::RegisterInvoiceCustomer()
{
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
    const int last = AsiakRekisteri1->rowCount() - 1;
    AsiakRekisteri1->setCell(NameColumn, last, name);
    AsiakRekisteri1->setRowCount(last + 2);
    AsiakNro1->setText(QString::number(NextCustomerNumber()));
    const int row = findCustomerRow(AsiakRekisteri1, NameColumn, name);
    if (row >= 0) {
        for (int line = CustomerAddress1Line; line < CustomerLineCount; ++line)
            AsiakRekisteri1->setCell(addressColumn(line), row, AsiakOsoite1->cell(kBlockTextColumn, line));
        AsiakRekisteri1->setCell(BusinessIdColumn, row, AsiakY1->text());
        AsiakRekisteri1->setCell(CustomerNumberColumn, row, AsiakNro1->text());
        AsiakRekisteri1->setCell(EinvoiceAddressColumn, row, BuyerEinvoice.address);
        AsiakRekisteri1->setCell(EinvoiceOperatorColumn, row, BuyerEinvoice.operatorId);
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
    const int row = findCustomerRow(AsiakRekisteri1, NameColumn, name);
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
    QList<QStringList> rows;
    rows.reserve(last);
    for (int r = 0; r <= last; ++r) {
        if (r != row)
            rows.append(AsiakRekisteri1->rowCells(r));
    }
    AsiakRekisteri1->setAllRows(std::move(rows));
    FillingCustomer = true;
    AsiakRekisteri1->setCurrentCell(column, row);
    FillingCustomer = false;
}

void TForm1::CloseRegisterBox()
{
    AsiakBox1->hide();
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
    int row = findCustomerRow(AsiakRekisteri1, CustomerNumberColumn, AsiakNro1->text());
    if (row < 0)
        row = AsiakRekisteri1->rowCount() - 1;
    FillCustomerFromRegister(row);
    FillPayerOnGiro();
    return true;
}

void TForm1::AsiakNimi1Change()
{
    QLineEdit *edit = AsiakNimi1->lineEdit();
    if (!FillingCustomer) {
        for (int r = 0; r < AsiakOsoite1->rowCount(); ++r)
            AsiakOsoite1->setCell(kBlockTextColumn, r, QString());
        AsiakY1->clear();
        AsiakNro1->clear();
        BuyerEinvoice = {};
        const int caret = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        const QString text = edit->text();
        const QStringList &keys = RegisterNameKeys();
        QString typed = text;
        int row = FindNamePrefix(keys, typed, 1);
        if (row < 1) {
            typed = text.left(caret);
            row = FindNamePrefix(keys, typed, 1);
        }
        if (row > 0) {
            // A beginning stays as typed, the register's name completing it
            // after the caret; a whole name takes the register's capitals.
            FillCustomerFromRegister(row, typed);
            // The completed part is selected, so the next key typed replaces it.
            const int length = int(edit->text().size());
            if (length > caret)
                edit->setSelection(caret, length - caret);
            else
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
    if (NameItemsRevision == RegisterRevision)
        return;
    QLineEdit *edit = AsiakNimi1->lineEdit();
    const QString text = edit->text();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : -1;
    const int length = int(edit->selectedText().size());
    const int cursor = edit->cursorPosition();
    QStringList names = AsiakRekisteri1->columnCells(NameColumn);
    names.removeFirst();
    {
        // Replacing the items would put the first one into the edit part.
        const QSignalBlocker blocker(AsiakNimi1);
        AsiakNimi1->clear();
        AsiakNimi1->addItems(names);
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
