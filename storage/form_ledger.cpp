// "Laskut": the window listing every saved invoice with what is paid on it,
// and the payments marked by hand there.

#include "storage/ledgerwindow.h"

#include "app/prompter.h"
#include "app/Unit1.h"
#include "base/commanderror.h"
#include "invoice/creditnote.h"
#include "invoice/dates.h"
#include "invoice/numbering.h"
#include "invoice/reminderpage.h"
#include "output/outputkind.h"
#include "storage/reminderfile.h"
#include "storage/savefolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

const QString kTitle = u"Laskut"_s;
// Ends each row's text in the model's one search string, so no find runs
// from one row into the next; a typed text holding it is tested row by row.
constexpr QChar kSearchEnd = u'\0';
const QString kAllYears = u"Kaikki vuodet"_s;
const QString kMarkPaid = u"Merkitse maksetuksi"_s;
const QString kRemovePayment = u"Poista maksu"_s;
const QString kImportPayments = u"Tuo maksut…"_s;
const QString kUnallocated = u"Kohdistamattomat suoritukset"_s;
const QString kAllocate = u"Kohdista laskulle…"_s;
const QString kRelease = u"Peru kohdistus"_s;
const QString kChooseUnallocated = u"Valitse ensin kohdistettava suoritus."_s;
const QString kSearchHint = u"Hae numerolla, asiakkaalla, viitteellä tai summalla"_s;
const QString kChooseInvoice = u"Valitse ensin lasku luettelosta."_s;
const QString kChoosePayment = u"Valitse ensin poistettava maksu."_s;
const QString kNoSaveFolder = u"Tallennuskansiota ei ole valittu: maksuja ei ole mihin tuoda."_s;

bool isAmountColumn(int column)
{
    return column == LedgerTotalColumn || column == LedgerCollectionColumn || column == LedgerPaidColumn
        || column == LedgerOpenColumn;
}

QString cellText(const LedgerRow &row, int column)
{
    switch (column) {
    case LedgerNumberColumn:
        return row.number;
    case LedgerDateColumn:
        return row.dateText;
    case LedgerCustomerColumn:
        return row.customer;
    case LedgerDueDateColumn:
        return row.dueDateText;
    case LedgerTotalColumn:
        return PaymentAmountText(row.totalCents);
    case LedgerCollectionColumn:
        return row.collectionCents == 0 ? QString() : PaymentAmountText(row.collectionCents);
    case LedgerPaidColumn:
        return PaymentAmountText(row.paidCents);
    case LedgerOpenColumn:
        return PaymentAmountText(row.openCents());
    case LedgerStatusColumn:
        return LedgerStatusText(row.status);
    case LedgerYearColumn:
        return row.year;
    case LedgerRemindedColumn:
        return LedgerRemindedText(row);
    default:
        return QString();
    }
}

QString paymentText(const Payment &payment)
{
    return u"%1   %2 €   %3"_s.arg(DateText(payment.date), PaymentAmountText(payment.cents), payment.source);
}

QString paymentGoneText(const Payment &payment)
{
    return u"Maksua %1 ei enää ole maksutiedostossa."_s.arg(paymentText(payment));
}

} // namespace

void LedgerModel::setRows(QList<LedgerRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_searchTexts.clear();
    m_searchStarts.clear();
    m_amounts.clear();
    m_searchStarts.reserve(m_rows.size() + 1);
    m_amounts.reserve(m_rows.size());
    qsizetype length = 0;
    for (const LedgerRow &row : std::as_const(m_rows))
        length += row.searchText.size() + 1;
    m_searchTexts.reserve(length);
    for (const LedgerRow &row : std::as_const(m_rows)) {
        m_searchStarts.append(m_searchTexts.size());
        m_searchTexts += row.searchText;
        m_searchTexts += kSearchEnd;
        m_amounts.append({row.totalCents, row.paidCents, row.openCents()});
    }
    m_searchStarts.append(m_searchTexts.size());
    reorder();
    rematch(false);
    refilter();
    endResetModel();
}

void LedgerModel::setFilter(LedgerFilter filter)
{
    beginResetModel();
    // Every row holding a longer text holds the shorter one too.
    const bool narrowing = !m_filter.text.isEmpty() && filter.text.contains(m_filter.text);
    m_filter = std::move(filter);
    rematch(narrowing);
    refilter();
    endResetModel();
}

void LedgerModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= LedgerColumnCount)
        return;
    beginResetModel();
    m_sortColumn = LedgerColumn(column);
    m_sortOrder = order;
    reorder();
    refilter();
    endResetModel();
}

void LedgerModel::reorder()
{
    m_order.resize(m_rows.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    const auto before = [this](qsizetype a, qsizetype b) {
        const int c = CompareLedgerRows(m_rows[a], m_rows[b], m_sortColumn);
        return m_sortOrder == Qt::AscendingOrder ? c < 0 : c > 0;
    };
    // The ledger comes in invoice order, the order the list opens in: one
    // pass tells, and the sort is spared.
    if (!std::is_sorted(m_order.cbegin(), m_order.cend(), before))
        std::stable_sort(m_order.begin(), m_order.end(), before);
}

bool LedgerModel::searchTextHolds(qsizetype row, QStringView text) const
{
    return QStringView(m_searchTexts)
        .sliced(m_searchStarts[row], m_searchStarts[row + 1] - m_searchStarts[row] - 1)
        .contains(text);
}

// Which rows hold the text, as LedgerRowMatches tests it; the amount and the
// year are tested in refilter.
void LedgerModel::rematch(bool narrowing)
{
    const QString &text = m_filter.text;
    QString plain = text;
    plain.remove(u' ');
    if (text.isEmpty()) {
        m_textMatched.fill(true, m_rows.size());
        return;
    }
    if (narrowing) {
        for (qsizetype i = 0; i < m_rows.size(); ++i)
            m_textMatched[i] = m_textMatched[i]
                && (searchTextHolds(i, text) || (!plain.isEmpty() && searchTextHolds(i, plain)));
        return;
    }
    if (text.contains(kSearchEnd)) {
        for (qsizetype i = 0; i < m_rows.size(); ++i)
            m_textMatched[i] = LedgerRowMatches(m_rows[i], LedgerFilter{text, std::nullopt, QString()});
        return;
    }
    m_textMatched.fill(false, m_rows.size());
    // One pass over all the texts; after a find, on from the next row's.
    // The finds come in order, so the row of each is found walking forward.
    QStringList needles{text};
    if (!plain.isEmpty() && plain != text)
        needles.append(plain);
    const QStringView texts(m_searchTexts);
    for (const QString &needle : std::as_const(needles)) {
        qsizetype row = 0;
        for (qsizetype at = texts.indexOf(needle); at >= 0;) {
            while (m_searchStarts[row + 1] <= at)
                ++row;
            m_textMatched[row] = true;
            at = texts.indexOf(needle, m_searchStarts[row + 1]);
        }
    }
}

void LedgerModel::refilter()
{
    m_shown.clear();
    const std::optional<qint64> cents = m_filter.cents;
    for (qsizetype index : std::as_const(m_order)) {
        const bool amount = cents && (m_amounts[index].total == *cents || m_amounts[index].open == *cents);
        if ((m_textMatched[index] || amount) && (m_filter.year.isEmpty() || m_rows[index].year == m_filter.year))
            m_shown.append(index);
    }
}

int LedgerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int LedgerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : LedgerColumnCount;
}

QVariant LedgerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellText(rowAt(index.row()), index.column());
    if (role == Qt::TextAlignmentRole && isAmountColumn(index.column()))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

LedgerSums LedgerModel::shownSums() const
{
    // As LedgerSums::add, from the amounts kept beside the rows.
    LedgerSums sums;
    sums.count = m_shown.size();
    for (qsizetype index : m_shown) {
        sums.totalCents += m_amounts[index].total;
        sums.paidCents += m_amounts[index].paid;
        sums.openCents += m_amounts[index].open;
    }
    return sums;
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < LedgerColumnCount)
        return LedgerColumnTitle(LedgerColumn(section));
    return QAbstractTableModel::headerData(section, orientation, role);
}

LedgerWindow::LedgerWindow(Prompter &prompter, QWidget *parent) : QWidget(parent, Qt::Window), m_prompter(prompter)
{
    setWindowTitle(kTitle);
    resize(1150, 560);
    Ledger = new LedgerModel(this);

    auto *layout = new QVBoxLayout(this);
    auto *searchRow = new QHBoxLayout;
    Haku = new QLineEdit(this);
    Haku->setPlaceholderText(kSearchHint);
    Haku->setClearButtonEnabled(true);
    Vuosi = new QComboBox(this);
    Kohdistamattomat = new QCheckBox(kUnallocated, this);
    searchRow->addWidget(Haku, 1);
    searchRow->addWidget(Vuosi);
    searchRow->addWidget(Kohdistamattomat);
    layout->addLayout(searchRow);

    Taulukko = new QTableView(this);
    Taulukko->setModel(Ledger);
    Taulukko->setSortingEnabled(true);
    Taulukko->sortByColumn(LedgerNumberColumn, Qt::AscendingOrder);
    Taulukko->setSelectionBehavior(QAbstractItemView::SelectRows);
    Taulukko->setSelectionMode(QAbstractItemView::SingleSelection);
    Taulukko->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Taulukko->verticalHeader()->hide();
    // Rows of one height: the table need not measure 10,000 of them.
    Taulukko->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Taulukko->horizontalHeader()->setStretchLastSection(true);
    // Every column in sight in the window's first width, the customer's name on one line.
    Taulukko->horizontalHeader()->setDefaultSectionSize(88);
    Taulukko->setColumnWidth(LedgerCustomerColumn, 200);
    layout->addWidget(Taulukko, 1);
    Suoritukset = new QTableWidget(0, UnallocatedColumnCount, this);
    Suoritukset->setHorizontalHeaderLabels(UnallocatedPaymentHeadings());
    Suoritukset->setSelectionBehavior(QAbstractItemView::SelectRows);
    Suoritukset->setSelectionMode(QAbstractItemView::SingleSelection);
    Suoritukset->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Suoritukset->verticalHeader()->hide();
    Suoritukset->horizontalHeader()->setStretchLastSection(true);
    Suoritukset->hide();
    layout->addWidget(Suoritukset, 1);

    Yhteensa = new QLabel(this);
    Ohitetut = new QLabel(this);
    layout->addWidget(Yhteensa);
    layout->addWidget(Ohitetut);

    Maksut = new QListWidget(this);
    Maksut->setMaximumHeight(90);
    layout->addWidget(Maksut);
    Painikkeet = new QHBoxLayout;
    layout->addLayout(Painikkeet);

    Painikkeet->addStretch(1);
    addCommand(kMarkPaid, &LedgerWindow::markPaid, &MerkitseMaksetuksi);
    addCommand(kRemovePayment, &LedgerWindow::removePayment, &PoistaMaksu);
    addCommand(kRelease, &LedgerWindow::releasePayment, &PeruKohdistus);
    addCommand(kImportPayments, &LedgerWindow::importPayments, &TuoMaksut);
    addCommand(kCreditNoteCommand.toString(), &LedgerWindow::creditInvoice, &Hyvityslasku);
    addCommand(kReminderCommand.toString(), &LedgerWindow::remindInvoice, &Maksumuistutus);
    Yritysasiakas = new QCheckBox(kBusinessCustomerCaption.toString(), this);
    Painikkeet->insertWidget(Painikkeet->count() - 1, Yritysasiakas);
    addCommand(kAllocate, &LedgerWindow::allocatePayment, &Kohdista);
    chooseView();

    connect(Haku, &QLineEdit::textChanged, this, &LedgerWindow::applyFilter);
    connect(Vuosi, &QComboBox::currentIndexChanged, this, &LedgerWindow::applyFilter);
    connect(Kohdistamattomat, &QCheckBox::toggled, this, &LedgerWindow::chooseView);
    connect(Taulukko, &QAbstractItemView::activated, this, &LedgerWindow::openInvoice);
    connect(Taulukko->selectionModel(), &QItemSelectionModel::selectionChanged, this, &LedgerWindow::showPayments);
    connect(Taulukko->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LedgerWindow::followChosenInvoice);
}

void LedgerWindow::addCommand(const QString &caption, void (LedgerWindow::*command)(), QPushButton **button)
{
    *button = new QPushButton(caption, this);
    // Before the stretch that keeps the buttons together at the left.
    Painikkeet->insertWidget(Painikkeet->count() - 1, *button);
    connect(*button, &QPushButton::clicked, this,
            [this, command] { runCommand([this, command] { (this->*command)(); }); });
}

void LedgerWindow::runCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &error) {
        // As the main window's commands: every error's what() is its Finnish message.
        m_prompter.message(this, QString::fromUtf8(error.what()));
    }
}

void LedgerWindow::setSaveFolder(std::shared_ptr<SaveFolder> folder)
{
    m_folder = std::move(folder);
}

void LedgerWindow::setReminderSettings(const ReminderSettings &settings)
{
    m_reminderSettings = settings;
}

SaveFolder &LedgerWindow::folder() const
{
    if (!m_folder)
        throw CommandError(kNoSaveFolder);
    return *m_folder;
}

void LedgerWindow::refresh()
{
    const QString chosenPath = selectedRow() ? selectedRow()->path : QString();
    const QString chosenYear = Vuosi->currentIndex() > 0 ? Vuosi->currentText() : QString();
    // The rows shown are let go before the ledger is read again: a large
    // ledger is never held twice.
    Ledger->setRows({});
    ::Ledger ledger;
    if (m_folder)
        ledger = m_folder->ledger(m_prompter.today());
    m_payments = ledger.payments;

    QStringList skipped;
    for (const LedgerSkippedFile &file : std::as_const(ledger.skipped))
        skipped.append(file.reason);
    Ohitetut->setText(skipped.isEmpty()
                          ? QString()
                          : u"Vuosikansioissa on %1 tiedostoa, jotka eivät ole laskuja."_s.arg(skipped.size()));
    Ohitetut->setToolTip(skipped.join(u'\n'));

    const QSignalBlocker blockYears(Vuosi);
    Vuosi->clear();
    Vuosi->addItem(kAllYears);
    Vuosi->addItems(LedgerYears(ledger.rows));
    Vuosi->setCurrentIndex(std::max(0, Vuosi->findText(chosenYear)));
    Ledger->setRows(std::move(ledger.rows));
    applyFilter();
    showUnallocated();

    for (int row = 0; row < Ledger->rowCount(); ++row) {
        if (Ledger->rowAt(row).path == chosenPath)
            Taulukko->setCurrentIndex(Ledger->index(row, 0));
    }
    showPayments();
}

const LedgerRow *LedgerWindow::selectedRow() const
{
    const QModelIndexList chosen = Taulukko->selectionModel()->selectedRows();
    return chosen.isEmpty() ? nullptr : &Ledger->rowAt(chosen.constFirst().row());
}

void LedgerWindow::applyFilter()
{
    Ledger->setFilter(LedgerFilterOf(Haku->text(), Vuosi->currentIndex() > 0 ? Vuosi->currentText() : QString()));
    showTotals();
}

void LedgerWindow::showTotals()
{
    if (Kohdistamattomat->isChecked()) {
        qint64 sum = 0;
        for (const UnallocatedPayment &unallocated : std::as_const(m_unallocated))
            sum += unallocated.cents;
        Yhteensa->setText(u"%1 kohdistamatonta suoritusta: yhteensä %2 €"_s.arg(m_unallocated.size())
                              .arg(PaymentAmountText(sum)));
        return;
    }
    Yhteensa->setText(LedgerSumsText(Ledger->shownSums()));
}

void LedgerWindow::showUnallocated()
{
    m_unallocated = UnallocatedPayments(Ledger->allRows(), m_payments);
    Suoritukset->setRowCount(0);
    for (const UnallocatedPayment &unallocated : std::as_const(m_unallocated)) {
        const QStringList cells = UnallocatedPaymentCells(unallocated, Ledger->allRows(), m_payments);
        const int row = Suoritukset->rowCount();
        Suoritukset->insertRow(row);
        for (int column = 0; column < cells.size(); ++column)
            Suoritukset->setItem(row, column, new QTableWidgetItem(cells[column]));
        Suoritukset->item(row, UnallocatedAmountColumn)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    showTotals();
}

void LedgerWindow::chooseView()
{
    const bool unallocated = Kohdistamattomat->isChecked();
    Taulukko->setVisible(!unallocated);
    Maksut->setVisible(!unallocated);
    Suoritukset->setVisible(unallocated);
    for (QWidget *invoices : std::initializer_list<QWidget *>{Haku, Vuosi, MerkitseMaksetuksi, PoistaMaksu,
                                                               PeruKohdistus, Hyvityslasku, Maksumuistutus,
                                                               Yritysasiakas})
        invoices->setEnabled(!unallocated);
    Kohdista->setEnabled(unallocated);
    showTotals();
}

void LedgerWindow::showPayments()
{
    Maksut->clear();
    const LedgerRow *row = selectedRow();
    m_shownPayments = row ? PaymentsOfRow(m_payments, *row) : QList<qsizetype>();
    for (qsizetype index : std::as_const(m_shownPayments))
        Maksut->addItem(paymentText(m_payments[index]));
    // The reminders follow the payments, so a payment's line keeps its index.
    if (row) {
        for (const LedgerReminder &reminder : row->reminders)
            Maksut->addItem(LedgerReminderText(reminder));
    }
}

void LedgerWindow::openInvoice(const QModelIndex &index)
{
    emit invoiceOpened(Ledger->rowAt(index.row()).path);
}

void LedgerWindow::creditInvoice()
{
    const LedgerRow *row = selectedRow();
    if (!row)
        throw CommandError(kChooseInvoice);
    emit creditNoteWanted(row->path);
}

void LedgerWindow::followChosenInvoice()
{
    const LedgerRow *row = selectedRow();
    Yritysasiakas->setChecked(row && !row->businessId.isEmpty());
}

void LedgerWindow::remindInvoice()
{
    const LedgerRow *row = selectedRow();
    if (!row)
        throw CommandError(kChooseInvoice);
    const LedgerRow chosen = *row;
    Prompter &prompter = m_prompter;
    std::optional<Reminder> made;
    while (!made) {
        try {
            made = SavedInvoiceReminder(folder(), chosen.path, prompter.today(), Yritysasiakas->isChecked(),
                                        m_reminderSettings);
        } catch (const CommandError &error) {
            // A half-year's rate the table lacks is asked for here and then.
            const std::optional<QDate> missing = MissingReferenceRateHalfYear(
                m_reminderSettings.referenceRates, chosen.dueDate, prompter.today());
            if (!missing || error.message() != MissingReferenceRateText(*missing))
                throw;
            if (!askReferenceRate(*missing))
                return;
        }
    }
    const Reminder &reminder = *made;
    QList<QStringList> lines;
    for (const ReminderLine &line : ReminderLines(reminder))
        lines.append({line.text, line.amount});
    const QString text = u"Laskun %1 maksumuistutus %2, %3, %4 €, eräpäivä %5."_s.arg(
        chosen.number, QString::number(reminder.number), chosen.customer, PaymentAmountText(reminder.totalCents),
        DateText(reminder.newDueDate));
    if (!prompter.confirmTable(this, kReminderCommand.toString(), text, ReminderLineHeadings(), lines,
                               u"Tallenna pdf…"_s))
        return;
    const QFileInfo suggested(ReminderPdfPath(folder().location(), chosen.year, reminder.invoiceNumber, reminder.number));
    QString name = prompter.saveFileName(this, suggested.path(), suggested.fileName(), {kPdfFileFilter.toString()},
                                         nullptr);
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += u".pdf"_s;
    emit reminderAccepted(chosen.path, reminder, name);
    refresh();
}

bool LedgerWindow::askReferenceRate(const QDate &halfYearStart)
{
    const std::optional<QString> typed = m_prompter.inputText(
        this, u"Viitekorko"_s,
        u"Viitekorkoa ei ole puolivuodelle %1–%2.\nSuomen Pankki ilmoittaa viitekoron kesä- ja joulukuussa.\n"
        "Puolivuoden viitekorko (%):"_s.arg(DateText(halfYearStart), DateText(HalfYearEnd(halfYearStart))),
        QString());
    if (!typed)
        return false;
    // Checked as the biller details box checks a row of its table.
    const ReferenceRateRow row{DateText(halfYearStart), typed->trimmed()};
    emit referenceRateTyped(ReferenceRatesOfRows({row}).constFirst(), row);
    return true;
}

void LedgerWindow::markPaid()
{
    const LedgerRow *row = selectedRow();
    if (!row)
        throw CommandError(kChooseInvoice);
    const LedgerRow chosen = *row;
    Prompter &prompter = m_prompter;
    const std::optional<QString> dateText = prompter.inputText(
        this, kMarkPaid, u"Laskun %1 maksupäivä (p.k.vvvv):"_s.arg(chosen.number), DateText(prompter.today()));
    if (!dateText)
        return;
    const QDate date = ReadDate(*dateText);
    if (!date.isValid())
        throw CommandError(u"Maksupäivä \"%1\" ei ole päiväys; kirjoita se muodossa p.k.vvvv, esim. 7.12.2026."_s
                               .arg(dateText->trimmed()));
    const std::optional<QString> amountText =
        prompter.inputText(this, kMarkPaid, u"Laskun %1 maksettu summa (€):"_s.arg(chosen.number),
                           PaymentAmountText(chosen.openCents()));
    if (!amountText)
        return;
    const std::optional<qint64> cents = ParseTypedAmount(*amountText);
    if (!cents || *cents == 0)
        throw CommandError(u"Summa \"%1\" ei ole maksu; kirjoita euroina ja sentteinä, esim. 125,50."_s
                               .arg(amountText->trimmed()));
    // Read again: the payments may have changed since the list was read.
    folder().writePayments(folder().payments() + QList{ManualPayment(chosen, date, *cents)});
    refresh();
}

void LedgerWindow::removePayment()
{
    const int shown = Maksut->currentRow();
    if (shown < 0 || shown >= m_shownPayments.size())
        throw CommandError(kChoosePayment);
    const Payment payment = m_payments[m_shownPayments[shown]];
    if (!m_prompter.question(this, u"Poistetaanko laskun %1 maksu %2?"_s.arg(
                                              payment.invoiceNumber, paymentText(payment))))
        return;
    QList<Payment> payments = folder().payments();
    if (!payments.removeOne(payment))
        throw CommandError(paymentGoneText(payment));
    folder().writePayments(payments);
    refresh();
}

void LedgerWindow::releasePayment()
{
    const int shown = Maksut->currentRow();
    if (shown < 0 || shown >= m_shownPayments.size())
        throw CommandError(u"Valitse ensin maksu, jonka kohdistus perutaan."_s);
    const Payment payment = m_payments[m_shownPayments[shown]];
    QList<Payment> payments = folder().payments();
    const qsizetype index = payments.indexOf(payment);
    if (index < 0)
        throw CommandError(paymentGoneText(payment));
    payments[index] = UnallocatedOf(payment);
    folder().writePayments(payments);
    refresh();
}

void LedgerWindow::allocatePayment()
{
    const QModelIndexList chosen = Suoritukset->selectionModel()->selectedRows();
    if (chosen.isEmpty())
        throw CommandError(kChooseUnallocated);
    const UnallocatedPayment unallocated = m_unallocated[chosen.constFirst().row()];
    const Payment payment = m_payments[unallocated.payment];
    const QList<LedgerRow> &rows = Ledger->allRows();
    const std::optional<QString> typed = m_prompter.inputText(
        this, kAllocate,
        u"Suoritus %1 %2 € (%3) kohdistetaan laskulle, jonka numero on (usean vuoden numeroon vuosi/numero):"_s.arg(
            DateText(payment.date), PaymentAmountText(unallocated.cents),
            UnallocatedPaymentCells(unallocated, rows, m_payments)[UnallocatedNoteColumn]),
        QString());
    if (!typed)
        return;
    const LedgerRow &to = rows[LedgerRowOfTyped(rows, *typed)];
    // Read again: the payments may have changed since the list was read.
    folder().writePayments(AllocatedPayments(folder().payments(), payment, unallocated, rows, to));
    refresh();
}

void LedgerWindow::importPayments()
{
    SaveFolder &saved = folder();
    Prompter &prompter = m_prompter;
    const QString file = prompter.openFileName(this, QString(), u"Pankin maksutiedostot (*)"_s, {});
    if (file.isEmpty())
        return;
    // The ledger and the payments as they are now: a payment is matched to
    // what is open at this moment, and one kept already is not counted twice.
    const ::Ledger ledger = saved.ledger(prompter.today());
    const PaymentImport import = ImportPaymentFile(file, PayableInvoices(ledger.rows), ledger.payments);
    QList<QStringList> rows;
    rows.reserve(import.payments.size());
    for (const ImportedPayment &imported : import.payments)
        rows.append(ImportedPaymentCells(imported));
    if (!prompter.confirmTable(this, kImportPayments, ImportSummaryText(file, import), ImportedPaymentHeadings(), rows,
                               u"Tallenna"_s))
        return;
    saved.writePayments(ledger.payments + PaymentsToStore(import));
    refresh();
}

ReminderSettings TForm1::LedgerReminderSettings() const
{
    // A setting that does not read stops a reminder with its message, not
    // the list: the list counts with the defaults in its place.
    try {
        return CollectReminderSettings();
    } catch (const CommandError &) {
        return m_profile.reminders;
    }
}

void TForm1::ShowLedgerOf(LedgerWindow &window)
{
    window.setSaveFolder(Folder());
    window.setReminderSettings(LedgerReminderSettings());
    window.refresh();
}

void TForm1::Laskut1Click()
{
    if (!LedgerList) {
        LedgerList = new LedgerWindow(*m_prompter, this);
        const auto showInvoice = [this](void (TForm1::*command)(const QString &)) {
            return [this, command](const QString &path) {
                runCommand([this, command, &path] { (this->*command)(path); }, LedgerList);
                raise();
                activateWindow();
            };
        };
        connect(LedgerList, &LedgerWindow::invoiceOpened, this, showInvoice(&TForm1::OpenInvoiceFile));
        connect(LedgerList, &LedgerWindow::creditNoteWanted, this, showInvoice(&TForm1::CreditInvoiceFile));
        connect(LedgerList, &LedgerWindow::reminderAccepted, this,
                [this](const QString &invoicePath, const Reminder &reminder, const QString &pdfPath) {
                    runCommand([&] { ExportReminder(invoicePath, reminder, pdfPath); }, LedgerList);
                });
        connect(LedgerList, &LedgerWindow::referenceRateTyped, this,
                [this](const ReferenceRate &, const ReferenceRateRow &row) {
                    runCommand([&] { StoreReferenceRate(row); }, LedgerList);
                    LedgerList->setReminderSettings(LedgerReminderSettings());
                });
    }
    ShowLedgerOf(*LedgerList);
    LedgerList->show();
    LedgerList->raise();
    LedgerList->activateWindow();
}

void TForm1::connectLedger()
{
    connectCommand(Laskut1, &QAction::triggered, &TForm1::Laskut1Click);
    connectCommand(Hyvityslasku1, &QAction::triggered, &TForm1::Hyvityslasku1Click);
    const auto follow = [this] {
        if (LedgerList && LedgerList->isVisible())
            runCommand([this] { ShowLedgerOf(*LedgerList); });
    };
    connect(this, &TForm1::InvoiceSaved, this, follow);
    // After the box's own handler: an open "Laskut" counts with what "OK" kept.
    connect(Ok2, &QPushButton::clicked, this, follow);
}
