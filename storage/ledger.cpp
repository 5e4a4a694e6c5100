// The invoice ledger: the saved invoices read from the year folders, what is
// paid on each, their reminders, their order, the search and the command
// line's list.

#include "ledger.h"

#include "base/commanderror.h"
#include "invoice/amount.h"
#include "invoice/creditnote.h"
#include "invoice/dates.h"
#include "invoice/numbering.h"
#include "invoice/reminder.h"
#include "storage/collation.h"
#include "storage/invoicefile.h"
#include "storage/reminderfile.h"
#include "storage/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <exception>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

const QString kInvoiceFilter = u"*.csv"_s;

struct StatusFacts
{
    LedgerStatus status;
    QString text;
};

const StatusFacts kStatuses[] = {
    {LedgerStatus::Open, u"avoin"_s},
    {LedgerStatus::Paid, u"maksettu"_s},
    {LedgerStatus::PartlyPaid, u"osittain maksettu"_s},
    {LedgerStatus::Overdue, u"erääntynyt"_s},
    {LedgerStatus::Credited, u"hyvitetty"_s},
    {LedgerStatus::Refund, u"palautettava"_s},
};

const QString kColumnTitles[LedgerColumnCount] = {
    u"Numero"_s, u"Päiväys"_s, u"Asiakas"_s, u"Eräpäivä"_s, u"Summa"_s, u"Perintä"_s,
    u"Maksettu"_s, u"Avoinna"_s, u"Tila"_s, u"Vuosi"_s, u"Muistutettu"_s,
};

// The leading whole number of a text, -1 when it begins with none.
qint64 leadingNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    qsizetype digits = 0;
    while (digits < trimmed.size() && digits < 18 && trimmed[digits].isDigit())
        ++digits;
    return digits == 0 ? -1 : trimmed.left(digits).toLongLong();
}

template <typename T>
int compareValues(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareInvoiceOrder(const LedgerRow &a, const LedgerRow &b)
{
    if (int c = compareValues(a.yearValue, b.yearValue))
        return c;
    if (int c = compareValues(a.numberValue, b.numberValue))
        return c;
    return a.number.compare(b.number);
}

// An invoice's year and number as a hash key: views of the rows' own texts,
// so a table of 100,000 invoices builds no key text.
using InvoiceKey = std::pair<QStringView, QStringView>;

QHash<InvoiceKey, qsizetype> rowsByInvoice(const QList<LedgerRow> &rows)
{
    QHash<InvoiceKey, qsizetype> byInvoice;
    byInvoice.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        byInvoice.insert({rows[i].year, rows[i].number}, i);
    return byInvoice;
}

// Puts the rows in invoice order: the order sorted as indexes, then each row
// moved once to its place, not swapped about as a sort of the rows would.
void sortInInvoiceOrder(QList<LedgerRow> &rows)
{
    QList<qsizetype> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&rows](qsizetype a, qsizetype b) {
        return compareInvoiceOrder(rows[a], rows[b]) < 0;
    });
    // Row i is to take row order[i]: each cycle of the order followed once.
    for (qsizetype start = 0; start < rows.size(); ++start) {
        if (order[start] == start)
            continue;
        LedgerRow first = std::move(rows[start]);
        qsizetype at = start;
        while (order[at] != start) {
            const qsizetype from = order[at];
            rows[at] = std::move(rows[from]);
            order[at] = at;
            at = from;
        }
        rows[at] = std::move(first);
        order[at] = at;
    }
}

QString searchTextOf(const LedgerRow &row)
{
    QString reference = row.reference;
    reference.remove(u' ');
    return (row.number + u'\n' + row.customer + u'\n' + reference).toCaseFolded();
}

LedgerRow rowOf(const QString &year, const QString &path, const InvoiceRecord &record)
{
    LedgerRow row;
    row.year = year;
    row.path = path;
    row.number = record.invoice.header.value(InvoiceNumberField).trimmed();
    row.dateText = record.invoice.header.value(InvoiceDateField).trimmed();
    row.date = ReadDate(row.dateText);
    row.dueDateText = RecordDueDate(record).trimmed();
    row.dueDate = ReadDate(row.dueDateText);
    row.customer = record.invoice.customer.value(CustomerNameLine).trimmed();
    row.reference = record.invoice.header.value(ReferenceField).trimmed();
    row.businessId = record.invoice.header.value(BusinessIdField).trimmed();
    row.totalCents = ParseCents(RecordTotals(record).total).value_or(0);
    if (IsCreditNote(record.invoice.header)) {
        row.creditedYear = record.invoice.header.value(CreditedYearField).trimmed();
        row.creditedNumber = record.invoice.header.value(CreditedNumberField).trimmed();
    }
    row.numberValue = leadingNumber(row.number);
    row.yearValue = leadingNumber(year);
    row.customerKey = NameSortKey(row.customer);
    row.searchText = searchTextOf(row);
    return row;
}

// Gives each row the reminders of its invoice, by number; a reminder of no
// invoice of the rows is reported as skipped.
void attachReminders(Ledger &ledger, const QList<const LedgerFile *> &reminders,
                     const QHash<InvoiceKey, qsizetype> &byInvoice)
{
    for (const LedgerFile *saved : reminders) {
        const auto row = byInvoice.constFind({saved->year, saved->remindedNumber});
        if (row == byInvoice.cend()) {
            ledger.skipped.append({saved->year, saved->path, u"Maksumuistutuksen laskua %1 ei ole vuosikansiossa %2."_s.arg(
                                                   saved->remindedNumber, saved->year)});
            continue;
        }
        ledger.rows[*row].reminders.append(saved->reminder);
    }
    for (LedgerRow &row : ledger.rows) {
        std::sort(row.reminders.begin(), row.reminders.end(),
                  [](const LedgerReminder &a, const LedgerReminder &b) { return a.number < b.number; });
        // The latest reminder's interest runs from the due date and its fee
        // replaces none of the earlier ones' it asks for again: it alone
        // says what is claimed besides the invoice.
        row.collectionCents = row.reminders.isEmpty() ? 0 : row.reminders.constLast().collectionCents;
    }
}

// Whether an invoice's header leaves something to the defaults
// (CompletedInvoice): its VAT mode, or its terms.
bool usesDefaults(const QStringList &header)
{
    return !StoredYesNo(header, UnitPricesWithVatField) || !StoredYesNo(header, RowTotalsWithVatField)
        || header.size() <= std::max({PaymentTermsField, PenaltyInterestField, ReminderTimeField});
}

// Why an invoice's total cannot be counted: the first row whose quantity
// times price is beyond the amounts the program keeps, or all of them.
QString overflowReason(const QString &path, const std::optional<InvoiceRecord> &record)
{
    const QString file = QDir::toNativeSeparators(path);
    const InvoiceData invoice = record ? record->invoice : InvoiceData();
    const QString number = invoice.header.value(InvoiceNumberField).trimmed();
    for (qsizetype i = 0; i < invoice.rows.size(); ++i) {
        const QStringList &row = invoice.rows[i];
        try {
            StoreReal(static_cast<long double>(ParseAmount(row.value(QuantityColumn)))
                      * ParseAmount(row.value(PriceColumn)));
        } catch (const FloatingPointOverflow &) {
            return u"Laskun %1 summaa ei voi laskea, koska rivin %2 (\"%3\") määrä tai hinta on liian suuri "
                   "(määrä kertaa hinta yli 10^38); korjaa rivi laskulla (tiedosto %4)."_s
                .arg(number, QString::number(i + 1), row.value(TextColumn).trimmed(), file);
        }
    }
    return u"Laskun %1 summaa ei voi laskea, koska sen rivien summat ovat yhteensä liian suuria "
           "(yli 10^38); korjaa rivien määrät ja hinnat laskulla (tiedosto %2)."_s
        .arg(number, file);
}

// Why a file named as a reminder is left out: without the reminder's mark,
// why it is no invoice; else the first line of it that does not read (a
// reminder's lines read as far as they go, so the shortest failing run of
// first lines ends at it).
QString unreadReminderReason(const QString &path, const QStringList &lines, const QString &notInvoice)
{
    if (!lines.value(0).trimmed().startsWith(kReminderFileMark))
        return notInvoice;
    const QString file = QDir::toNativeSeparators(path);
    if (lines.size() < 2)
        return u"Maksumuistutuksen tiedostosta %1 puuttuu summarivi; muistutusta ei näytetä laskun alla."_s.arg(file);
    if (!ReadReminderFileLines(lines.mid(0, 2)))
        return u"Maksumuistutuksen tiedoston %1 otsikko- tai summarivillä on arvo, joka ei ole päiväys, numero "
               "tai rahasumma; muistutusta ei näytetä laskun alla."_s.arg(file);
    qsizetype read = 2;
    qsizetype unread = lines.size();
    while (unread - read > 1) {
        const qsizetype middle = (read + unread) / 2;
        (ReadReminderFileLines(lines.mid(0, middle)) ? read : unread) = middle;
    }
    return u"Maksumuistutuksen tiedoston %1 rivi %2 ei ole luettava maksu- tai korkorivi; muistutusta ei "
           "näytetä laskun alla."_s.arg(file, QString::number(unread));
}

// ApplyCredits with the rows' table made.
void applyCredits(QList<LedgerRow> &rows, const QHash<InvoiceKey, qsizetype> &byInvoice)
{
    for (LedgerRow &row : rows)
        row.creditCents = 0;
    for (LedgerRow &row : rows) {
        if (row.creditedNumber.isEmpty())
            continue;
        const auto original = byInvoice.constFind({row.creditedYear, row.creditedNumber});
        if (original == byInvoice.cend() || &rows[*original] == &row)
            continue;
        rows[*original].creditCents += row.totalCents;
        row.creditCents = -row.totalCents;
    }
}

} // namespace

QString LedgerReminderText(const LedgerReminder &reminder)
{
    return u"Maksumuistutus %1, %2: %3 €"_s.arg(QString::number(reminder.number), DateText(reminder.date),
                                                 PaymentAmountText(reminder.totalCents));
}

QDate LedgerRow::lastReminded() const
{
    QDate last;
    for (const LedgerReminder &reminder : reminders)
        last = std::max(last, reminder.date);
    return last;
}

QString LedgerRemindedText(const LedgerRow &row)
{
    const QDate last = row.lastReminded();
    return last.isValid() ? DateText(last) : QString();
}

QString LedgerStatusText(LedgerStatus status)
{
    return kStatuses[int(status)].text;
}

LedgerStatus LedgerStatusOf(qint64 owedCents, qint64 paidCents, bool credited, const QDate &dueDate,
                            const QDate &today)
{
    if (paidCents > owedCents)
        return LedgerStatus::Refund;
    if (paidCents == owedCents)
        return credited ? LedgerStatus::Credited : LedgerStatus::Paid;
    if (dueDate.isValid() && dueDate < today)
        return LedgerStatus::Overdue;
    return paidCents > 0 ? LedgerStatus::PartlyPaid : LedgerStatus::Open;
}

QString LedgerColumnTitle(LedgerColumn column)
{
    return kColumnTitles[column];
}

bool LedgerInvoiceOrder(const LedgerRow &a, const LedgerRow &b)
{
    return compareInvoiceOrder(a, b) < 0;
}

int CompareLedgerRows(const LedgerRow &a, const LedgerRow &b, LedgerColumn column)
{
    int c = 0;
    switch (column) {
    case LedgerNumberColumn:
    case LedgerYearColumn:
        break;
    case LedgerDateColumn:
        c = compareValues(a.date, b.date);
        break;
    case LedgerCustomerColumn:
        c = a.customerKey.compare(b.customerKey);
        break;
    case LedgerDueDateColumn:
        c = compareValues(a.dueDate, b.dueDate);
        break;
    case LedgerTotalColumn:
        c = compareValues(a.totalCents, b.totalCents);
        break;
    case LedgerCollectionColumn:
        c = compareValues(a.collectionCents, b.collectionCents);
        break;
    case LedgerPaidColumn:
        c = compareValues(a.paidCents, b.paidCents);
        break;
    case LedgerOpenColumn:
        c = compareValues(a.openCents(), b.openCents());
        break;
    case LedgerStatusColumn:
        c = LedgerStatusText(a.status).compare(LedgerStatusText(b.status));
        break;
    case LedgerRemindedColumn:
        c = compareValues(a.lastReminded(), b.lastReminded());
        break;
    case LedgerColumnCount:
        break;
    }
    return c != 0 ? c : compareInvoiceOrder(a, b);
}

bool IsYearFolderName(QStringView name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool IsEarlierVersionFile(const QString &path)
{
    // The name only suggests a copy; EarlierVersionPath decides.
    static const QRegularExpression copyName(u"^(.*) \\(aiempi versio(?: (\\d+))?\\)\\.csv$"_s);
    const QFileInfo file(path);
    const QRegularExpressionMatch match = copyName.match(file.fileName());
    if (!match.hasMatch())
        return false;
    const int version = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
    const QString original = file.dir().filePath(match.captured(1) + u".csv"_s);
    return QFileInfo(EarlierVersionPath(original, version)).fileName() == file.fileName();
}

void ApplyCredits(QList<LedgerRow> &rows)
{
    applyCredits(rows, rowsByInvoice(rows));
}

void ApplyPayments(QList<LedgerRow> &rows, const QList<Payment> &payments, const QDate &today)
{
    QHash<InvoiceKey, qint64> paid;
    paid.reserve(payments.size());
    for (const Payment &payment : payments) {
        if (payment.matched())
            paid[{payment.year, payment.invoiceNumber}] += payment.cents;
    }
    for (LedgerRow &row : rows) {
        row.paidCents = paid.value({row.year, row.number});
        const qint64 credited = row.totalCents + row.creditCents;
        const bool creditedWhole = row.totalCents < 0 || (row.creditCents < 0 && credited <= 0);
        row.status = LedgerStatusOf(row.owedCents(), row.paidCents, creditedWhole, row.dueDate, today);
    }
}

LedgerFile ReadLedgerFile(const QString &year, const QString &path, const BillerDetails &biller,
                          const InvoiceDefaults &defaults)
{
    LedgerFile file;
    file.year = year;
    file.path = path;
    if (IsEarlierVersionFile(path)) {
        file.kind = LedgerFileKind::EarlierVersion;
        return file;
    }
    std::optional<InvoiceRecord> record;
    try {
        const InvoiceData stored = ReadInvoiceFile(path);
        file.usesDefaults = usesDefaults(stored.header);
        record = InvoiceRecord{CompletedInvoice(stored, defaults), biller};
        file.row = rowOf(year, path, *record);
        file.kind = LedgerFileKind::Invoice;
        return file;
    } catch (const FloatingPointOverflow &) {
        file.reason = overflowReason(path, record);
        return file;
    } catch (const std::exception &error) {
        if (!IsReminderFileName(QFileInfo(path).fileName())) {
            file.reason = QString::fromUtf8(error.what());
            return file;
        }
        // A reminder saved beside its invoice is listed under it.
        try {
            const QStringList lines = ReadTextLines(path);
            if (const std::optional<Reminder> reminder = ReadReminderFileLines(lines)) {
                file.kind = LedgerFileKind::Reminder;
                file.remindedNumber = reminder->invoiceNumber;
                file.reminder = {path, reminder->number, reminder->date, reminder->totalCents,
                                 reminder->interest.cents + reminder->feeCents};
            } else {
                file.reason = unreadReminderReason(path, lines, QString::fromUtf8(error.what()));
            }
        } catch (const std::exception &unread) {
            file.reason = QString::fromUtf8(unread.what());
        }
        return file;
    }
}

void LedgerFiles::add(LedgerFile &&file)
{
    if (file.kind == LedgerFileKind::Invoice)
        rows.append(std::move(file.row));
    else
        others.append(std::move(file));
}

Ledger LedgerOfFiles(QList<LedgerFile> files, QList<Payment> payments, const QDate &today, const QString &year)
{
    LedgerFiles split;
    for (LedgerFile &file : files)
        split.add(std::move(file));
    files.clear();
    return LedgerOfFiles(std::move(split), std::move(payments), today, year);
}

Ledger LedgerOfFiles(LedgerFiles files, QList<Payment> payments, const QDate &today, const QString &year)
{
    Ledger ledger;
    ledger.rows = std::move(files.rows);
    QList<const LedgerFile *> reminders;
    for (const LedgerFile &file : files.others) {
        switch (file.kind) {
        case LedgerFileKind::Invoice:
            ledger.rows.append(file.row);
            break;
        case LedgerFileKind::Reminder:
            reminders.append(&file);
            break;
        case LedgerFileKind::Skipped:
            ledger.skipped.append({file.year, file.path, file.reason});
            break;
        case LedgerFileKind::EarlierVersion:
            break;
        }
    }
    sortInInvoiceOrder(ledger.rows);
    // One table of the rows serves the reminders and the credit notes.
    const QHash<InvoiceKey, qsizetype> byInvoice = rowsByInvoice(ledger.rows);
    attachReminders(ledger, reminders, byInvoice);
    ledger.payments = std::move(payments);
    applyCredits(ledger.rows, byInvoice);
    ApplyPayments(ledger.rows, ledger.payments, today);
    // One year's rows are counted with every year's credit notes first.
    if (!year.isEmpty()) {
        ledger.rows.removeIf([&year](const LedgerRow &row) { return row.year != year; });
        ledger.skipped.removeIf([&year](const LedgerSkippedFile &file) { return file.year != year; });
    }
    return ledger;
}

Ledger ReadLedger(const QString &dataDir, const BillerDetails &biller, const InvoiceDefaults &defaults,
                  const QDate &today, const QString &year)
{
    QList<LedgerFile> files;
    const QDir saveFolder(dataDir);
    const QStringList years = saveFolder.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : years) {
        if (!IsYearFolderName(folder))
            continue;
        const QDir yearFolder(saveFolder.filePath(folder));
        for (const QString &name : yearFolder.entryList({kInvoiceFilter}, QDir::Files))
            files.append(ReadLedgerFile(folder, yearFolder.filePath(name), biller, defaults));
    }
    return LedgerOfFiles(std::move(files), ReadPaymentsFile(PaymentsFilePath(dataDir)), today, year);
}

void LedgerSums::add(const LedgerRow &row)
{
    ++count;
    totalCents += row.totalCents;
    paidCents += row.paidCents;
    openCents += row.openCents();
}

LedgerSums LedgerSumsOf(const QList<LedgerRow> &rows)
{
    LedgerSums sums;
    for (const LedgerRow &row : rows)
        sums.add(row);
    return sums;
}

QStringList LedgerYears(const QList<LedgerRow> &rows)
{
    QStringList years;
    for (const LedgerRow &row : rows)
        years.append(row.year);
    years.removeDuplicates();
    return years;
}

LedgerFilter LedgerFilterOf(QStringView typed, const QString &year)
{
    QString text = typed.trimmed().toString().toCaseFolded();
    return LedgerFilter{text, ParseTypedAmount(text), year};
}

bool LedgerRowMatches(const LedgerRow &row, const LedgerFilter &filter)
{
    if (!filter.year.isEmpty() && row.year != filter.year)
        return false;
    if (filter.text.isEmpty())
        return true;
    if (filter.cents && (row.totalCents == *filter.cents || row.openCents() == *filter.cents))
        return true;
    QString plain = filter.text;
    plain.remove(u' ');
    return row.searchText.contains(filter.text) || (!plain.isEmpty() && row.searchText.contains(plain));
}

std::optional<qint64> ParseTypedAmount(QStringView text)
{
    if (text.contains(u','))
        return ParsePaymentAmount(text);
    QString withComma = text.toString();
    if (withComma.count(u'.') == 1)
        withComma.replace(u'.', u',');
    return ParsePaymentAmount(withComma);
}

QString LedgerSumsText(const LedgerSums &sums)
{
    return u"%1 laskua: summa %2 €, maksettu %3 €, avoinna %4 €"_s.arg(sums.count).arg(
        PaymentAmountText(sums.totalCents), PaymentAmountText(sums.paidCents), PaymentAmountText(sums.openCents));
}

QString LedgerListText(const QList<LedgerRow> &rows)
{
    QString text =
        u"Vuosi\tNumero\tPäiväys\tAsiakas\tViite\tEräpäivä\tSumma\tMaksettu\tAvoinna\tTila\t"_s
        + LedgerColumnTitle(LedgerRemindedColumn) + u'\t' + LedgerColumnTitle(LedgerCollectionColumn) + u'\n';
    text.reserve(text.size() + rows.size() * 120);
    for (const LedgerRow &row : rows) {
        const QString cells[] = {row.year, row.number, row.dateText, row.customer, row.reference,
                                 row.dueDateText, PaymentAmountText(row.totalCents),
                                 PaymentAmountText(row.paidCents), PaymentAmountText(row.openCents()),
                                 LedgerStatusText(row.status), LedgerRemindedText(row),
                                 PaymentAmountText(row.collectionCents)};
        for (const QString &cell : cells) {
            // A tab or line break inside a value would split the line; the
            // few cells holding one are mended apart.
            if (std::any_of(cell.cbegin(), cell.cend(), [](QChar c) { return c == u'\t' || c == u'\n' || c == u'\r'; })) {
                QString mended = cell;
                for (QChar &c : mended) {
                    if (c == u'\t' || c == u'\n' || c == u'\r')
                        c = u' ';
                }
                text += mended;
            } else {
                text += cell;
            }
            text += u'\t';
        }
        text.back() = u'\n';
    }
    return text;
}

QList<PayableInvoice> PayableInvoices(const QList<LedgerRow> &rows)
{
    QList<PayableInvoice> invoices;
    invoices.reserve(rows.size());
    for (const LedgerRow &row : rows)
        invoices.append({row.year, row.number, row.reference, row.owedCents(), row.paidCents});
    return invoices;
}

Payment ManualPayment(const LedgerRow &row, const QDate &date, qint64 cents)
{
    return Payment{row.year, row.number, date, cents, row.reference, QString(), QString(),
                   kManualPaymentSource.toString()};
}

QList<qsizetype> PaymentsOfRow(const QList<Payment> &payments, const LedgerRow &row)
{
    QList<qsizetype> indexes;
    for (qsizetype i = 0; i < payments.size(); ++i) {
        if (payments[i].matched() && payments[i].year == row.year && payments[i].invoiceNumber == row.number)
            indexes.append(i);
    }
    return indexes;
}

qsizetype LedgerRowOfTyped(const QList<LedgerRow> &rows, QStringView typed)
{
    const QString text = typed.trimmed().toString();
    const qsizetype slash = text.indexOf(u'/');
    const QString year = slash < 0 ? QString() : text.left(slash).trimmed();
    const QString number = text.mid(slash + 1).trimmed();
    if (number.isEmpty())
        throw CommandError(u"Kirjoita laskun numero, esim. 57, tai vuosi ja numero, esim. 2026/57."_s);
    QList<qsizetype> found;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].number == number && (year.isEmpty() || rows[i].year == year))
            found.append(i);
    }
    if (found.isEmpty())
        throw CommandError(u"Laskua %1 ei ole tallennuskansiossa."_s.arg(text));
    if (found.size() > 1)
        throw CommandError(u"Laskun numero %1 on usean vuoden laskulla; kirjoita vuosi ja numero, esim. %2/%1."_s.arg(
            number, rows[found.constLast()].year));
    return found.constFirst();
}

QList<UnallocatedPayment> UnallocatedPayments(const QList<LedgerRow> &rows, const QList<Payment> &payments)
{
    const QHash<InvoiceKey, qsizetype> byInvoice = rowsByInvoice(rows);
    QList<UnallocatedPayment> unallocated;
    // Each row's latest payment, where its overpayment arrived.
    QList<qsizetype> latest(rows.size(), -1);
    for (qsizetype i = 0; i < payments.size(); ++i) {
        const Payment &payment = payments[i];
        const auto row = payment.matched() ? byInvoice.constFind({payment.year, payment.invoiceNumber})
                                           : byInvoice.cend();
        if (row == byInvoice.cend()) {
            unallocated.append({i, -1, payment.cents});
            continue;
        }
        qsizetype &last = latest[*row];
        if (last < 0 || payments[last].date <= payment.date)
            last = i;
    }
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const qint64 excess = std::min(-rows[row].openCents(), rows[row].paidCents);
        if (excess > 0 && latest[row] >= 0)
            unallocated.append({latest[row], row, excess});
    }
    return unallocated;
}

QStringList UnallocatedPaymentHeadings()
{
    static const QStringList headings = {u"Maksupäivä"_s, u"Summa"_s, u"Viite"_s,
                                         u"Maksaja"_s,    u"Lähde"_s, u"Selite"_s};
    static_assert(UnallocatedColumnCount == 6);
    return headings;
}

QStringList UnallocatedPaymentCells(const UnallocatedPayment &unallocated, const QList<LedgerRow> &rows,
                                    const QList<Payment> &payments)
{
    const Payment &payment = payments[unallocated.payment];
    QString note;
    if (unallocated.overpaidRow >= 0) {
        const LedgerRow &row = rows[unallocated.overpaidRow];
        note = u"ylisuoritus laskulla %1/%2"_s.arg(row.year, row.number);
    } else if (payment.matched()) {
        note = u"laskua %1/%2 ei ole tallennuskansiossa"_s.arg(payment.year, payment.invoiceNumber);
    } else {
        note = u"viite ei vastaa yhtään laskua"_s;
    }
    QStringList cells(UnallocatedColumnCount);
    cells[UnallocatedDateColumn] = DateText(payment.date);
    cells[UnallocatedAmountColumn] = PaymentAmountText(unallocated.cents);
    cells[UnallocatedReferenceColumn] = payment.reference;
    cells[UnallocatedPayerColumn] = payment.payer;
    cells[UnallocatedSourceColumn] = payment.source;
    cells[UnallocatedNoteColumn] = note;
    return cells;
}

QList<Payment> AllocatedPayments(QList<Payment> payments, const Payment &payment,
                                 const UnallocatedPayment &unallocated, const QList<LedgerRow> &rows,
                                 const LedgerRow &to)
{
    const qsizetype index = payments.indexOf(payment);
    if (index < 0)
        throw CommandError(u"Maksua %1 %2 € ei enää ole maksutiedostossa."_s.arg(DateText(payment.date),
                                                                               PaymentAmountText(payment.cents)));
    if (unallocated.overpaidRow < 0) {
        payments[index].year = to.year;
        payments[index].invoiceNumber = to.number;
        return payments;
    }
    const LedgerRow &from = rows[unallocated.overpaidRow];
    if (from.year == to.year && from.number == to.number)
        throw CommandError(u"Ylisuoritus on jo laskulla %1; valitse lasku, jolle se siirretään."_s.arg(to.number));
    payments.append(ManualPayment(from, payment.date, -unallocated.cents));
    payments.append(ManualPayment(to, payment.date, unallocated.cents));
    return payments;
}

Payment UnallocatedOf(Payment payment)
{
    payment.year.clear();
    payment.invoiceNumber.clear();
    return payment;
}

std::optional<QDate> MissingReferenceRateHalfYear(const ReferenceRates &rates, const QDate &dueDate,
                                                  const QDate &until)
{
    if (!dueDate.isValid() || !until.isValid())
        return std::nullopt;
    for (QDate day = dueDate.addDays(1); day <= until; day = HalfYearEnd(day).addDays(1)) {
        if (!ReferenceRateOn(rates, day))
            return HalfYearStart(day);
    }
    return std::nullopt;
}
