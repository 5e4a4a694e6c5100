#pragma once

#include "storage/ledger.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QWidget>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTableView;
class TForm1;

// The ledger's rows as a table, one cell a column of LedgerColumn.
class LedgerModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;
    void setRows(QList<LedgerRow> rows);
    const QList<LedgerRow> &rows() const { return m_rows; }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<LedgerRow> m_rows;
};

// The rows the search and the year choice let through, in the order of the
// column clicked (CompareLedgerRows).
class LedgerFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    LedgerFilterModel(LedgerModel *ledger, QObject *parent);
    void setFilter(LedgerFilter filter);
    const LedgerRow &rowAt(int proxyRow) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    LedgerModel *m_ledger;
    LedgerFilter m_filter;
};

// "Laskut": every saved invoice of the save folder with what is paid on it,
// a window of its own beside the invoice. Opens an invoice in the main
// window and keeps the payments marked by hand.
class LedgerWindow : public QWidget
{
    Q_OBJECT

public:
    explicit LedgerWindow(TForm1 &form);

    /// Reads the ledger again from the save folder and the payments file,
    /// keeping the search, the year and the invoice chosen.
    void refresh();
    /// The invoice chosen in the table; nullptr when none.
    const LedgerRow *selectedRow() const;

    LedgerModel *Ledger = nullptr;
    LedgerFilterModel *Shown = nullptr;
    /// The window's menu of commands on the invoices, and the row of their
    /// buttons; a command is added to both.
    QMenu *LaskutMenu = nullptr;
    QHBoxLayout *Painikkeet = nullptr;
    QLineEdit *Haku = nullptr;
    QComboBox *Vuosi = nullptr;
    QTableView *Taulukko = nullptr;
    /// The sums of the shown rows.
    QLabel *Yhteensa = nullptr;
    /// Files of the year folders that are no invoices.
    QLabel *Ohitetut = nullptr;
    /// The payments of the chosen invoice, in file order.
    QListWidget *Maksut = nullptr;
    QPushButton *MerkitseMaksetuksi = nullptr;
    QPushButton *PoistaMaksu = nullptr;

private:
    void addCommand(const QString &caption, void (LedgerWindow::*command)(), QPushButton **button);
    void applyFilter();
    void showTotals();
    void showPayments();
    void openInvoice(const QModelIndex &index);
    void openChosenInvoice();
    void markPaid();
    void removePayment();

    TForm1 &m_form;
    /// The payments file as last read, and the indexes of the chosen
    /// invoice's payments in it, in the order Maksut lists them.
    QList<Payment> m_payments;
    QList<qsizetype> m_shownPayments;
};
