#pragma once

#include "invoice/reminder.h"
#include "storage/ledger.h"
#include "storage/paymentimport.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class QTableWidget;
class Prompter;
class SaveFolder;

// The ledger's rows as a table, one cell a column of LedgerColumn: the rows
// the search and the year let through, in the order of the column clicked
// (CompareLedgerRows). The order of all rows is kept, so a keystroke in the
// search costs no sort; the rows' search texts lie in one string, searched in
// one pass, and a text that extends the last one tests only the rows it let
// through. Amounts are kept beside, so the sums touch no row.
class LedgerModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;
    void setRows(QList<LedgerRow> rows);
    void setFilter(LedgerFilter filter);
    /// The invoice shown in the row.
    const LedgerRow &rowAt(int row) const { return m_rows[m_shown[row]]; }
    /// Every invoice of the ledger, shown or not, in invoice order.
    const QList<LedgerRow> &allRows() const { return m_rows; }
    /// The sums of the rows shown.
    LedgerSums shownSums() const;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    /// A row's amounts as the search and the sums need them.
    struct Amounts
    {
        qint64 total = 0;
        qint64 paid = 0;
        qint64 open = 0;
    };

    void reorder();
    /// Marks the rows holding the filter's text; with `narrowing`, only
    /// those that held the text before are tested.
    void rematch(bool narrowing);
    void refilter();
    bool searchTextHolds(qsizetype row, QStringView text) const;

    QList<LedgerRow> m_rows;
    /// Every row's search text, each ended by kSearchEnd; where row i's begins
    /// (one more at the end).
    QString m_searchTexts;
    QList<qsizetype> m_searchStarts;
    QList<Amounts> m_amounts;
    /// Which rows hold the filter's text, by m_rows index.
    QList<bool> m_textMatched;
    /// Indexes of m_rows in the chosen order, all of them and those shown.
    QList<qsizetype> m_order;
    QList<qsizetype> m_shown;
    LedgerFilter m_filter;
    LedgerColumn m_sortColumn = LedgerNumberColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

// "Laskut": every saved invoice of the save folder with what is paid on it,
// a window of its own beside the invoice. It reads and writes the saved data
// itself; what belongs to the main window (the invoice on the page, the
// settings, drawing a reminder) it asks for by its signals.
class LedgerWindow : public QWidget
{
    Q_OBJECT

public:
    /// Asks its questions and shows its messages with `prompter`, which
    /// tells today's date too.
    LedgerWindow(Prompter &prompter, QWidget *parent);

    /// The save folder listed, read and written; none while no folder is chosen.
    void setSaveFolder(std::shared_ptr<SaveFolder> folder);
    /// The settings reminders are made with.
    void setReminderSettings(const ReminderSettings &settings);
    /// Reads the ledger again from the save folder and the payments file,
    /// keeping the search, the year and the invoice chosen.
    void refresh();
    /// The invoice chosen in the table; nullptr when none.
    const LedgerRow *selectedRow() const;
    /// Adds a button for a command on the invoices to the row of buttons; an
    /// error of the command shows its message over this window.
    void addCommand(const QString &caption, void (LedgerWindow::*command)(), QPushButton **button);
    /// Runs a command, showing the message of an error that ends it over this window.
    void runCommand(const std::function<void()> &command);

    LedgerModel *Ledger = nullptr;
    /// The row of buttons of the commands on the invoices.
    QHBoxLayout *Painikkeet = nullptr;
    QLineEdit *Haku = nullptr;
    QComboBox *Vuosi = nullptr;
    /// "Kohdistamattomat suoritukset": the money received that is counted
    /// on no invoice (UnallocatedPayments) in place of the invoices.
    QCheckBox *Kohdistamattomat = nullptr;
    QTableView *Taulukko = nullptr;
    /// The unallocated payments and overpayments, one a row.
    QTableWidget *Suoritukset = nullptr;
    /// The sums of the shown rows.
    QLabel *Yhteensa = nullptr;
    /// Files of the year folders that are no invoices.
    QLabel *Ohitetut = nullptr;
    /// The payments of the chosen invoice, in file order, then its reminders.
    QListWidget *Maksut = nullptr;
    QPushButton *MerkitseMaksetuksi = nullptr;
    QPushButton *PoistaMaksu = nullptr;
    /// "Peru kohdistus": the payment chosen below the invoices back among
    /// the unallocated payments.
    QPushButton *PeruKohdistus = nullptr;
    /// "Kohdista laskulle…": the unallocated payment chosen given to an
    /// invoice typed by its number.
    QPushButton *Kohdista = nullptr;
    /// "Tuo maksut…": a bank's payment file matched to the invoices, shown
    /// before anything is stored.
    QPushButton *TuoMaksut = nullptr;
    /// "Hyvityslasku": a credit note of the chosen invoice in the main window.
    QPushButton *Hyvityslasku = nullptr;
    /// "Maksumuistutus": the chosen invoice's payment reminder for today,
    /// shown, then written as a PDF and saved beside the invoice.
    QPushButton *Maksumuistutus = nullptr;
    /// "Yritysasiakas": whether the reminder is a business customer's;
    /// follows the chosen invoice's business ID, and the user may change it.
    QCheckBox *Yritysasiakas = nullptr;

signals:
    /// Enter on an invoice: the main window shows it.
    void invoiceOpened(const QString &path);
    /// "Hyvityslasku": the main window makes a credit note of the invoice.
    void creditNoteWanted(const QString &path);
    /// "Maksumuistutus" accepted: the reminder of the invoice is to be drawn
    /// into the PDF and saved beside the invoice.
    void reminderAccepted(const QString &invoicePath, const Reminder &reminder, const QString &pdfPath);
    /// A reference rate typed for a reminder, checked: the settings keep it.
    void referenceRateTyped(const ReferenceRate &rate, const ReferenceRateRow &row);

private:
    void applyFilter();
    void showTotals();
    void showUnallocated();
    void chooseView();
    void showPayments();
    void openInvoice(const QModelIndex &index);
    void markPaid();
    void removePayment();
    void releasePayment();
    void allocatePayment();
    /// Asks for the reference rate of the half-year the reminder lacks and
    /// keeps it in the biller details; false when the user cancels.
    bool askReferenceRate(const QDate &halfYearStart);
    void importPayments();
    void creditInvoice();
    void remindInvoice();
    void followChosenInvoice();
    /// The save folder; throws CommandError while none is chosen.
    SaveFolder &folder() const;
    Prompter &m_prompter;
    std::shared_ptr<SaveFolder> m_folder;
    ReminderSettings m_reminderSettings;
    /// The payments file as last read, and the indexes of the chosen
    /// invoice's payments in it, in the order Maksut lists them.
    QList<Payment> m_payments;
    QList<qsizetype> m_shownPayments;
    /// What Suoritukset lists, row by row.
    QList<UnallocatedPayment> m_unallocated;
};
