// The invoice ledger read from a save folder: what is paid and the status of
// each invoice, which files are invoices of it, their order and the command
// line's list.

#include "base/commanderror.h"
#include "invoice/creditnote.h"
#include "invoice/reminder.h"
#include "output/einvoice.h"
#include "output/einvoicefields.h"
#include "storage/invoicefile.h"
#include "storage/ledger.h"
#include "storage/reminderfile.h"
#include "storage/textfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2026, 12, 7);

// An invoice of one row of 100,00 with VAT in the price; the header as
// today's files keep it, or only the five values of an older file.
InvoiceData invoice(const QString &number, const QString &date, const QString &due, const QString &customer,
                    bool older = false, const QString &price = u"100,00"_s)
{
    InvoiceData data;
    data.header = {number, date, u"1009"_s, QString(), u"3"_s};
    if (!older)
        data.header += {YesNoText(true), YesNoText(true), u"14 pv"_s, u"8 %"_s, u"7 pv"_s, due};
    data.customer = {customer, u"Katu 1"_s, QString(), QString()};
    data.rows = {{QString(), u"Työ"_s, u"1"_s, u"h"_s, price, u"25,5"_s, QString()}};
    return data;
}

void save(const QDir &folder, const QString &relative, const InvoiceData &data)
{
    QDir(folder).mkpath(QFileInfo(folder.filePath(relative)).path());
    WriteTextLines(folder.filePath(relative), InvoiceFileLines(data));
}

Payment paid(const QString &year, const QString &number, qint64 cents)
{
    return Payment{year, number, QDate(2026, 12, 1), cents, QString(), QString(), QString(), QString()};
}

InvoiceDefaults todaysDefaults()
{
    return InvoiceDefaults{false, false, u"30 pv"_s, u"8 %"_s, u"7 pv"_s};
}

} // namespace

class LedgerTest : public QObject
{
    Q_OBJECT

private slots:
    void status_data();
    void status();
    void onlyInvoicesOfYearFoldersInOrder();
    void creditNotesReduceWhatIsOpen_data();
    void creditNotesReduceWhatIsOpen();
    void creditNoteOfAnotherYearInOneYearsList();
    void creditNoteIsNotCreditedAgain();
    void listLineKeepsOneLineAnInvoice();
    void reminderClaimIsOwed_data();
    void reminderClaimIsOwed();
    void unreadableFilesSayWhatIsWrong_data();
    void unreadableFilesSayWhatIsWrong();
    void unallocatedPaymentsAndOverpayments();
    void invoiceTypedByNumber_data();
    void invoiceTypedByNumber();
    void missingReferenceRateHalfYear_data();
    void missingReferenceRateHalfYear();
};

void LedgerTest::creditNotesReduceWhatIsOpen_data()
{
    QTest::addColumn<QStringList>("creditPrices");
    QTest::addColumn<QList<Payment>>("payments");
    QTest::addColumn<qint64>("originalOpen");
    QTest::addColumn<QString>("originalStatus");
    QTest::addColumn<qint64>("creditOpen");
    const QList<Payment> none;
    QTest::newRow("credited whole") << QStringList{u"100,00"_s} << none << 0LL << u"hyvitetty"_s << 0LL;
    QTest::newRow("credited in part")
        << QStringList{u"40,00"_s} << none << 6000LL << u"erääntynyt"_s << 0LL;
    QTest::newRow("credited in part, the rest paid")
        << QStringList{u"40,00"_s} << QList<Payment>{paid(u"2026"_s, u"57"_s, 6000)} << 0LL << u"maksettu"_s << 0LL;
    QTest::newRow("credited whole by two credit notes")
        << QStringList{u"40,00"_s, u"60,00"_s} << none << 0LL << u"hyvitetty"_s << 0LL;
    // Paid, then credited: the money is owed back to the customer, until
    // the refund is marked as a payment below zero.
    QTest::newRow("paid, then credited whole")
        << QStringList{u"100,00"_s} << QList<Payment>{paid(u"2026"_s, u"57"_s, 10000)} << -10000LL
        << u"palautettava"_s << 0LL;
    QTest::newRow("paid, credited whole and refunded")
        << QStringList{u"100,00"_s} << QList<Payment>{paid(u"2026"_s, u"57"_s, 10000), paid(u"2026"_s, u"57"_s, -10000)}
        << 0LL << u"hyvitetty"_s << 0LL;
    QTest::newRow("paid, then credited in part")
        << QStringList{u"40,00"_s} << QList<Payment>{paid(u"2026"_s, u"57"_s, 10000)} << -4000LL
        << u"palautettava"_s << 0LL;
}

// The credit notes of invoice 57 (saved as "Hyvityslasku" saves them, each
// crediting its one row at another price) take their totals off what is open
// of it; their own rows leave nothing open.
void LedgerTest::creditNotesReduceWhatIsOpen()
{
    QFETCH(QStringList, creditPrices);
    QFETCH(QList<Payment>, payments);
    QFETCH(qint64, originalOpen);
    QFETCH(QString, originalStatus);
    QFETCH(qint64, creditOpen);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    const InvoiceData original = invoice(u"57"_s, u"1.12.2026"_s, u"6.12.2026"_s, u"Matti"_s);
    save(folder, u"2026/57.csv"_s, original);
    for (int i = 0; i < creditPrices.size(); ++i) {
        const QString number = QString::number(60 + i);
        InvoiceData credit = CreditNoteOf(original, {number, u"7.12.2026"_s, u"1009"_s});
        credit.rows[1][PriceColumn] = creditPrices[i];
        save(folder, u"2026/"_s + number + u".csv"_s, credit);
    }
    WritePaymentsFile(PaymentsFilePath(dir.path() + u'/'), payments);

    const Ledger ledger = ReadLedger(dir.path() + u'/', BillerDetails(), todaysDefaults(), kToday);
    QCOMPARE(ledger.rows.size(), creditPrices.size() + 1);
    const LedgerRow &row = ledger.rows.constFirst();
    QCOMPARE(row.number, u"57"_s);
    QCOMPARE(row.totalCents, 10000LL);
    QCOMPARE(row.openCents(), originalOpen);
    QCOMPARE(LedgerStatusText(row.status), originalStatus);
    QCOMPARE(PayableInvoices(ledger.rows).constFirst().totalCents, originalOpen + row.paidCents);
    for (qsizetype i = 1; i < ledger.rows.size(); ++i) {
        QCOMPARE(ledger.rows[i].totalCents, -AmountCents(creditPrices[i - 1]));
        QCOMPARE(ledger.rows[i].openCents(), creditOpen);
        QCOMPARE(LedgerStatusText(ledger.rows[i].status), u"hyvitetty"_s);
    }
}

void LedgerTest::status_data()
{
    QTest::addColumn<QString>("due");
    QTest::addColumn<bool>("older");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QList<Payment>>("payments");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("paidCents");
    QTest::addColumn<QString>("dueText");
    QTest::addColumn<QString>("status");
    const QString later = u"21.12.2026"_s;
    const QString earlier = u"6.12.2026"_s;
    const QString hundred = u"100,00"_s;
    const QList<Payment> none;
    QTest::newRow("unpaid before the due date")
        << later << false << hundred << none << 10000LL << 0LL << later << u"avoin"_s;
    QTest::newRow("due today is not yet overdue")
        << u"7.12.2026"_s << false << hundred << none << 10000LL << 0LL << u"7.12.2026"_s << u"avoin"_s;
    QTest::newRow("unpaid after the due date")
        << earlier << false << hundred << none << 10000LL << 0LL << earlier << u"erääntynyt"_s;
    QTest::newRow("partly paid") << later << false << hundred << QList<Payment>{paid(u"2026"_s, u"57"_s, 4000)}
                                 << 10000LL << 4000LL << later << u"osittain maksettu"_s;
    QTest::newRow("partly paid after the due date")
        << earlier << false << hundred << QList<Payment>{paid(u"2026"_s, u"57"_s, 4000)} << 10000LL << 4000LL
        << earlier << u"erääntynyt"_s;
    QTest::newRow("fully paid after the due date")
        << earlier << false << hundred << QList<Payment>{paid(u"2026"_s, u"57"_s, 10000)} << 10000LL << 10000LL
        << earlier << u"maksettu"_s;
    QTest::newRow("overpaid: owed back") << later << false << hundred
                                         << QList<Payment>{paid(u"2026"_s, u"57"_s, 12000)} << 10000LL << 12000LL
                                         << later << u"palautettava"_s;
    QTest::newRow("paid by several payments, one reversed")
        << earlier << false << hundred
        << QList<Payment>{paid(u"2026"_s, u"57"_s, 3333), paid(u"2026"_s, u"57"_s, 6667),
                          paid(u"2026"_s, u"57"_s, 500), paid(u"2026"_s, u"57"_s, -500)}
        << 10000LL << 10000LL << earlier << u"maksettu"_s;
    QTest::newRow("unmatched payments and other invoices' are ignored")
        << later << false << hundred
        << QList<Payment>{paid(QString(), QString(), 10000), paid(u"2025"_s, u"57"_s, 10000),
                          paid(u"2026"_s, u"58"_s, 10000), paid(u"2026"_s, u"5"_s, 10000)}
        << 10000LL << 0LL << later << u"avoin"_s;
    // Without its VAT mode and terms kept, the invoice takes today's: prices
    // without VAT (125,50 with it) and a due date 30 days on.
    QTest::newRow("an older file with today's defaults")
        << QString() << true << hundred << QList<Payment>{paid(u"2026"_s, u"57"_s, 12550)} << 12550LL << 12550LL
        << u"31.12.2026"_s << u"maksettu"_s;
    // A total below zero crediting no invoice of the ledger is owed back.
    QTest::newRow("a negative invoice")
        << earlier << false << u"-100,00"_s << none << -10000LL << 0LL << earlier << u"palautettava"_s;
    QTest::newRow("a negative invoice, refunded")
        << earlier << false << u"-100,00"_s << QList<Payment>{paid(u"2026"_s, u"57"_s, -10000)} << -10000LL
        << -10000LL << earlier << u"hyvitetty"_s;
}

void LedgerTest::status()
{
    QFETCH(QString, due);
    QFETCH(bool, older);
    QFETCH(QString, price);
    QFETCH(QList<Payment>, payments);
    QFETCH(qint64, total);
    QFETCH(qint64, paidCents);
    QFETCH(QString, dueText);
    QFETCH(QString, status);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    save(folder, u"2026/57.csv"_s, invoice(u"57"_s, u"1.12.2026"_s, due, u"Matti"_s, older, price));
    WritePaymentsFile(PaymentsFilePath(dir.path() + u'/'), payments);

    const Ledger ledger = ReadLedger(dir.path() + u'/', BillerDetails(), todaysDefaults(), kToday);
    QCOMPARE(ledger.skipped.size(), 0);
    QCOMPARE(ledger.rows.size(), 1);
    const LedgerRow &row = ledger.rows.constFirst();
    QCOMPARE(row.totalCents, total);
    QCOMPARE(row.paidCents, paidCents);
    QCOMPARE(row.openCents(), total - paidCents);
    QCOMPARE(row.dueDateText, dueText);
    QCOMPARE(LedgerStatusText(row.status), status);
    QCOMPARE(PayableInvoices(ledger.rows).constFirst().paidCents, paidCents);
}

void LedgerTest::onlyInvoicesOfYearFoldersInOrder()
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString later = u"21.12.2026"_s;
    save(folder, u"2026/10.csv"_s, invoice(u"10"_s, u"5.12.2026"_s, later, u"Öljy Oy"_s));
    save(folder, u"2026/9.csv"_s, invoice(u"9"_s, u"4.12.2026"_s, later, u"Äänekosken Ab"_s));
    save(folder, u"2025/11.csv"_s, invoice(u"11"_s, u"4.12.2025"_s, u"18.12.2025"_s, u"Aalto"_s));
    // A replaced invoice's kept copies, files that are no invoices, and
    // invoices outside the year folders are not in the list.
    save(folder, u"2026/9 (aiempi versio).csv"_s, invoice(u"9"_s, u"1.12.2026"_s, later, u"Vanha"_s));
    save(folder, u"2026/9 (aiempi versio 2).csv"_s, invoice(u"9"_s, u"1.12.2026"_s, later, u"Vanha"_s));
    WriteTextLines(folder.filePath(u"2026/roska.csv"_s), {u"ei laskua"_s});
    // Reminders saved beside their invoice are no invoices: they are listed
    // under it, the latest date in the last column. One that does not read,
    // and one of an invoice not in its year folder, are reported.
    Reminder reminder;
    reminder.year = u"2026"_s;
    reminder.invoiceNumber = u"9"_s;
    reminder.dueDate = reminder.newDueDate = kToday;
    reminder.date = kToday.addDays(-20);
    reminder.totalCents = 10512;
    WriteReminderFile(ReminderFilePath(dir.path() + u'/', u"2026"_s, u"9"_s, 1), reminder);
    reminder.number = 2;
    reminder.date = kToday;
    reminder.totalCents = 11013;
    WriteReminderFile(ReminderFilePath(dir.path() + u'/', u"2026"_s, u"9"_s, 2), reminder);
    WriteReminderFile(ReminderFilePath(dir.path() + u'/', u"2025"_s, u"9"_s, 1), reminder);
    WriteTextLines(ReminderFilePath(dir.path() + u'/', u"2026"_s, u"10"_s, 1), {u"MAKSUMUISTUTUS;1"_s});
    save(folder, u"kopiot/12.csv"_s, invoice(u"12"_s, u"1.12.2026"_s, later, u"Muu"_s));
    save(folder, u"13.csv"_s, invoice(u"13"_s, u"1.12.2026"_s, later, u"Muu"_s));
    WritePaymentsFile(PaymentsFilePath(dir.path() + u'/'), {paid(u"2025"_s, u"11"_s, 10000)});

    const Ledger ledger = ReadLedger(dir.path() + u'/', BillerDetails(), todaysDefaults(), kToday);
    QStringList skipped;
    for (const LedgerSkippedFile &file : ledger.skipped)
        skipped.append(QDir(dir.path()).relativeFilePath(file.path) + u": "_s + file.reason);
    QCOMPARE(skipped, (QStringList{u"2026/10-M1.csv: Maksumuistutuksen tiedostosta "_s
                                       + QDir::toNativeSeparators(dir.filePath(u"2026/10-M1.csv"_s))
                                       + u" puuttuu summarivi; muistutusta ei näytetä laskun alla."_s,
                                   u"2026/roska.csv: "_s + ledger.skipped.value(1).reason,
                                   u"2025/9-M1.csv: Maksumuistutuksen laskua 9 ei ole vuosikansiossa 2025."_s}));
    QCOMPARE(LedgerListText(ledger.rows),
             u"Vuosi\tNumero\tPäiväys\tAsiakas\tViite\tEräpäivä\tSumma\tMaksettu\tAvoinna\tTila\tMuistutettu\t"
             "Perintä\n"
             "2025\t11\t4.12.2025\tAalto\t1009\t18.12.2025\t100,00\t100,00\t0,00\tmaksettu\t\t0,00\n"
             "2026\t9\t4.12.2026\tÄänekosken Ab\t1009\t21.12.2026\t100,00\t0,00\t100,00\tavoin\t7.12.2026\t0,00\n"
             "2026\t10\t5.12.2026\tÖljy Oy\t1009\t21.12.2026\t100,00\t0,00\t100,00\tavoin\t\t0,00\n"_s);
    QStringList reminders;
    for (const LedgerReminder &r : ledger.rows[1].reminders)
        reminders.append(LedgerReminderText(r));
    QCOMPARE(reminders, (QStringList{u"Maksumuistutus 1, 17.11.2026: 105,12 €"_s,
                                     u"Maksumuistutus 2, 7.12.2026: 110,13 €"_s}));
    QCOMPARE(LedgerYears(ledger.rows), (QStringList{u"2025"_s, u"2026"_s}));

    const Ledger year = ReadLedger(dir.path() + u'/', BillerDetails(), todaysDefaults(), kToday, u"2025"_s);
    QCOMPARE(year.rows.size(), 1);
    QCOMPARE(year.rows.constFirst().number, u"11"_s);
    QCOMPARE(year.skipped.size(), 1);
}

// A credit note of 2027 crediting invoice 57 of 2026: the list of either
// year alone counts it as the whole ledger does.
void LedgerTest::creditNoteOfAnotherYearInOneYearsList()
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const InvoiceData original = invoice(u"57"_s, u"1.12.2026"_s, u"6.12.2026"_s, u"Matti"_s);
    save(folder, u"2026/57.csv"_s, original);
    save(folder, u"2027/3.csv"_s, CreditNoteOf(original, {u"3"_s, u"4.1.2027"_s, u"1009"_s}));
    const QString dataDir = dir.path() + u'/';
    const Ledger of2026 = ReadLedger(dataDir, BillerDetails(), todaysDefaults(), kToday, u"2026"_s);
    QCOMPARE(of2026.rows.size(), 1);
    QCOMPARE(of2026.rows[0].openCents(), 0);
    QCOMPARE(LedgerStatusText(of2026.rows[0].status), u"hyvitetty"_s);
    const Ledger of2027 = ReadLedger(dataDir, BillerDetails(), todaysDefaults(), kToday, u"2027"_s);
    QCOMPARE(of2027.rows.size(), 1);
    QCOMPARE(of2027.rows[0].number, u"3"_s);
    QCOMPARE(of2027.rows[0].openCents(), 0);
    QCOMPARE(LedgerStatusText(of2027.rows[0].status), u"hyvitetty"_s);
}

void LedgerTest::creditNoteIsNotCreditedAgain()
{
    const InvoiceData original = invoice(u"57"_s, u"1.12.2026"_s, u"6.12.2026"_s, u"Matti"_s);
    const InvoiceData credit = CreditNoteOf(original, {u"60"_s, u"7.12.2026"_s, u"1009"_s});
    CheckCreditable(original);
    try {
        CreditNoteOf(credit, {u"61"_s, u"7.12.2026"_s, u"1009"_s});
        QFAIL("a credit note was credited");
    } catch (const CommandError &error) {
        QCOMPARE(error.message(), u"Lasku 60 on hyvityslasku (laskulle 57); hyvityslaskua ei voi hyvittää. "
                                  "Jos hyvitys oli liian suuri, tee asiakkaalle uusi lasku."_s);
    }
}

// A tab or line break in a name or reference would split the list's line;
// each becomes a blank, the rest of the line as it was.
void LedgerTest::listLineKeepsOneLineAnInvoice()
{
    LedgerRow row;
    row.year = u"2026"_s;
    row.number = u"7"_s;
    row.dateText = u"1.12.2026"_s;
    row.customer = u"Virtanen\tOy\r\nHelsinki"_s;
    row.reference = u"70\t07"_s;
    row.totalCents = 12550;
    QCOMPARE(LedgerListText({row}).split(u'\n').value(1),
             u"2026\t7\t1.12.2026\tVirtanen Oy  Helsinki\t70 07\t\t125,50\t0,00\t125,50\tavoin\t\t0,00"_s);
}

void LedgerTest::reminderClaimIsOwed_data()
{
    QTest::addColumn<QList<Payment>>("payments");
    QTest::addColumn<qint64>("open");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("unallocated");
    const QList<Payment> none;
    QTest::newRow("unpaid") << none << 10750LL << u"erääntynyt"_s << 0;
    QTest::newRow("the invoice's total paid") << QList<Payment>{paid(u"2026"_s, u"57"_s, 10000)} << 750LL
                                              << u"erääntynyt"_s << 0;
    QTest::newRow("the latest reminder's total paid")
        << QList<Payment>{paid(u"2026"_s, u"57"_s, 10750)} << 0LL << u"maksettu"_s << 0;
    QTest::newRow("the first reminder's total paid, then the rest")
        << QList<Payment>{paid(u"2026"_s, u"57"_s, 10600), paid(u"2026"_s, u"57"_s, 150)} << 0LL << u"maksettu"_s
        << 0;
    QTest::newRow("more than the reminder's total")
        << QList<Payment>{paid(u"2026"_s, u"57"_s, 10800)} << -50LL << u"palautettava"_s << 1;
}

// Invoice 57 of 100,00 reminded twice: interest 1,00 and fee 5,00, then
// interest 2,50 and fee 5,00. What the latest claims besides the invoice is
// owed, in the open amount, the status, the list and the bank's matching.
void LedgerTest::reminderClaimIsOwed()
{
    QFETCH(QList<Payment>, payments);
    QFETCH(qint64, open);
    QFETCH(QString, status);
    QFETCH(int, unallocated);
    QTemporaryDir dir;
    const QString dataDir = dir.path() + u'/';
    save(QDir(dir.path()), u"2026/57.csv"_s, invoice(u"57"_s, u"1.11.2026"_s, u"15.11.2026"_s, u"Matti"_s));
    Reminder reminder;
    reminder.year = u"2026"_s;
    reminder.invoiceNumber = u"57"_s;
    reminder.dueDate = QDate(2026, 11, 15);
    reminder.date = QDate(2026, 11, 30);
    reminder.newDueDate = QDate(2026, 12, 14);
    reminder.interest.cents = 100;
    reminder.feeCents = 500;
    reminder.totalCents = 10600;
    WriteReminderFile(ReminderFilePath(dataDir, u"2026"_s, u"57"_s, 1), reminder);
    reminder.number = 2;
    reminder.date = kToday;
    reminder.interest.cents = 250;
    reminder.totalCents = 10750;
    WriteReminderFile(ReminderFilePath(dataDir, u"2026"_s, u"57"_s, 2), reminder);
    WritePaymentsFile(PaymentsFilePath(dataDir), payments);

    const Ledger ledger = ReadLedger(dataDir, BillerDetails(), todaysDefaults(), kToday);
    QCOMPARE(ledger.skipped.size(), 0);
    const LedgerRow &row = ledger.rows.constFirst();
    QCOMPARE(row.collectionCents, 750);
    QCOMPARE(row.openCents(), open);
    QCOMPARE(LedgerStatusText(row.status), status);
    QCOMPARE(PayableInvoices(ledger.rows).constFirst().totalCents, 10750);
    QCOMPARE(LedgerListText(ledger.rows).split(u'\n').value(1).section(u'\t', 8),
             PaymentAmountText(open) + u'\t' + status + u"\t7.12.2026\t7,50"_s);
    QCOMPARE(UnallocatedPayments(ledger.rows, ledger.payments).size(), unallocated);
}

void LedgerTest::unreadableFilesSayWhatIsWrong_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("reason");
    const auto row = [](const QString &quantity, const QString &price) {
        InvoiceData data = invoice(u"57"_s, u"1.12.2026"_s, u"6.12.2026"_s, u"Matti"_s);
        data.rows.prepend({QString(), u"Alku"_s, u"1"_s, QString(), u"1,00"_s, u"25,5"_s, QString()});
        data.rows[1][QuantityColumn] = quantity;
        data.rows[1][PriceColumn] = price;
        return InvoiceFileLines(data);
    };
    QTest::newRow("a quantity of 39 digits")
        << u"57.csv"_s << row(u"1"_s + QString(38, u'0'), u"100,00"_s)
        << u"Laskun 57 summaa ei voi laskea, koska rivin 2 (\"Työ\") määrä tai hinta on liian suuri (määrä kertaa "
           "hinta yli 10^38); korjaa rivi laskulla (tiedosto %1)."_s;
    QTest::newRow("an invoice named as a reminder, without rows")
        << u"57-M1.csv"_s << row(u"1"_s, u"1,00"_s).mid(0, 2)
        << u"Tiedosto %1 ei ole lasku: siinä ei ole yhtään laskuriviä."_s;
    Reminder reminder;
    reminder.year = u"2026"_s;
    reminder.invoiceNumber = u"57"_s;
    reminder.dueDate = QDate(2026, 12, 6);
    reminder.date = reminder.newDueDate = kToday;
    reminder.payments = {{QDate(2026, 12, 1), 100}};
    const QStringList saved = ReminderFileLines(reminder);
    QTest::newRow("a reminder with a line of neither kind")
        << u"57-M1.csv"_s << saved + QStringList{u"muuta,1,2"_s}
        << u"Maksumuistutuksen tiedoston %1 rivi 4 ei ole luettava maksu- tai korkorivi; muistutusta ei näytetä "
           "laskun alla."_s;
    QTest::newRow("a reminder whose amounts do not read")
        << u"57-M1.csv"_s << QStringList{saved[0], u"sata"_s + saved[1].mid(saved[1].indexOf(u','))}
        << u"Maksumuistutuksen tiedoston %1 otsikko- tai summarivillä on arvo, joka ei ole päiväys, numero tai "
           "rahasumma; muistutusta ei näytetä laskun alla."_s;
}

void LedgerTest::unreadableFilesSayWhatIsWrong()
{
    QFETCH(QString, name);
    QFETCH(QStringList, lines);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(u"2026"_s);
    const QString path = dir.filePath(u"2026/"_s + name);
    WriteTextLines(path, lines);
    const Ledger ledger = ReadLedger(dir.path() + u'/', BillerDetails(), todaysDefaults(), kToday);
    QCOMPARE(ledger.rows.size(), 0);
    QCOMPARE(ledger.skipped.size(), 1);
    QCOMPARE(ledger.skipped[0].reason, reason.arg(QDir::toNativeSeparators(path)));
}

// A payment of no invoice, one of an invoice no longer saved and an
// overpayment are listed; each is given to an invoice, and taken back.
void LedgerTest::unallocatedPaymentsAndOverpayments()
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString dataDir = dir.path() + u'/';
    save(folder, u"2026/57.csv"_s, invoice(u"57"_s, u"1.12.2026"_s, u"21.12.2026"_s, u"Matti"_s));
    save(folder, u"2026/58.csv"_s, invoice(u"58"_s, u"1.12.2026"_s, u"21.12.2026"_s, u"Maija"_s));
    const Payment unknown{QString(), QString(), QDate(2026, 12, 2), 4000, u"7771"_s, u"Tuntematon"_s, u"A1"_s,
                          u"tiliote.xml"_s};
    const Payment gone{u"2025"_s, u"9"_s, QDate(2026, 12, 3), 1000, u"903"_s, u"Aalto"_s, u"A2"_s, u"tiliote.xml"_s};
    Payment first = paid(u"2026"_s, u"57"_s, 10000);
    Payment second = paid(u"2026"_s, u"57"_s, 10000);
    second.date = QDate(2026, 12, 4);
    second.payer = u"Matti"_s;
    WritePaymentsFile(PaymentsFilePath(dataDir), {first, unknown, second, gone});
    const auto read = [&] { return ReadLedger(dataDir, BillerDetails(), todaysDefaults(), kToday); };
    Ledger ledger = read();

    const QList<UnallocatedPayment> unallocated = UnallocatedPayments(ledger.rows, ledger.payments);
    QStringList listed;
    for (const UnallocatedPayment &one : unallocated)
        listed.append(UnallocatedPaymentCells(one, ledger.rows, ledger.payments).join(u'|'));
    QCOMPARE(UnallocatedPaymentHeadings().join(u'|'), u"Maksupäivä|Summa|Viite|Maksaja|Lähde|Selite"_s);
    QCOMPARE(listed, (QStringList{u"2.12.2026|40,00|7771|Tuntematon|tiliote.xml|viite ei vastaa yhtään laskua"_s,
                                  u"3.12.2026|10,00|903|Aalto|tiliote.xml|laskua 2025/9 ei ole tallennuskansiossa"_s,
                                  u"4.12.2026|100,00||Matti||ylisuoritus laskulla 2026/57"_s}));

    // The unknown payment paid 58 in part; the overpayment moves to 58 too.
    const LedgerRow to = ledger.rows[LedgerRowOfTyped(ledger.rows, u"58"_s)];
    QList<Payment> payments =
        AllocatedPayments(ledger.payments, ledger.payments[unallocated[0].payment], unallocated[0], ledger.rows, to);
    QCOMPARE(payments[1].year, u"2026"_s);
    QCOMPARE(payments[1].invoiceNumber, u"58"_s);
    payments = AllocatedPayments(payments, ledger.payments[unallocated[2].payment], unallocated[2], ledger.rows, to);
    QCOMPARE(payments.size(), 6);
    QCOMPARE(payments.mid(4), (QList<Payment>{ManualPayment(ledger.rows[0], second.date, -10000),
                                              ManualPayment(to, second.date, 10000)}));
    try {
        AllocatedPayments(payments, ledger.payments[unallocated[2].payment], unallocated[2], ledger.rows,
                          ledger.rows[0]);
        QFAIL("an overpayment moved to its own invoice");
    } catch (const CommandError &error) {
        QCOMPARE(error.message(), u"Ylisuoritus on jo laskulla 57; valitse lasku, jolle se siirretään."_s);
    }
    WritePaymentsFile(PaymentsFilePath(dataDir), payments);
    ledger = read();
    QCOMPARE(LedgerStatusText(ledger.rows[0].status), u"maksettu"_s);
    QCOMPARE(ledger.rows[1].openCents(), -4000);
    QCOMPARE(UnallocatedPayments(ledger.rows, ledger.payments).size(), 2);

    // And back: the payment once more of no invoice, as the bank reported it.
    QCOMPARE(UnallocatedOf(payments[1]), unknown);
}

void LedgerTest::invoiceTypedByNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qsizetype>("row");
    QTest::addColumn<QString>("message");
    QTest::newRow("a number of one year") << u" 58 "_s << qsizetype(2) << QString();
    QTest::newRow("year and number") << u"2025/57"_s << qsizetype(0) << QString();
    QTest::newRow("a number of two years") << u"57"_s << qsizetype(-1)
                                           << u"Laskun numero 57 on usean vuoden laskulla; kirjoita vuosi ja numero, "
                                              "esim. 2026/57."_s;
    QTest::newRow("no such invoice") << u"2026/99"_s << qsizetype(-1)
                                     << u"Laskua 2026/99 ei ole tallennuskansiossa."_s;
    QTest::newRow("nothing") << u" "_s << qsizetype(-1)
                             << u"Kirjoita laskun numero, esim. 57, tai vuosi ja numero, esim. 2026/57."_s;
}

void LedgerTest::invoiceTypedByNumber()
{
    QFETCH(QString, typed);
    QFETCH(qsizetype, row);
    QFETCH(QString, message);
    QList<LedgerRow> rows(3);
    rows[0].year = u"2025"_s;
    rows[0].number = u"57"_s;
    rows[1].year = u"2026"_s;
    rows[1].number = u"57"_s;
    rows[2].year = u"2026"_s;
    rows[2].number = u"58"_s;
    try {
        QCOMPARE(LedgerRowOfTyped(rows, typed), row);
        QVERIFY(message.isEmpty());
    } catch (const CommandError &error) {
        QCOMPARE(error.message(), message);
    }
}

void LedgerTest::missingReferenceRateHalfYear_data()
{
    QTest::addColumn<QDate>("due");
    QTest::addColumn<QDate>("until");
    QTest::addColumn<QDate>("missing");
    QTest::newRow("every half-year there") << QDate(2025, 11, 30) << QDate(2026, 6, 30) << QDate();
    QTest::newRow("due on the last day of the table")
        << QDate(2026, 6, 30) << QDate(2026, 7, 1) << QDate(2026, 7, 1);
    QTest::newRow("the first of two missing") << QDate(2026, 5, 1) << QDate(2027, 2, 1) << QDate(2026, 7, 1);
    QTest::newRow("not overdue") << QDate(2027, 5, 1) << QDate(2027, 5, 1) << QDate();
}

void LedgerTest::missingReferenceRateHalfYear()
{
    QFETCH(QDate, due);
    QFETCH(QDate, until);
    QFETCH(QDate, missing);
    const ReferenceRates rates = {{QDate(2025, 7, 1), 200}, {QDate(2026, 1, 1), 250}};
    QCOMPARE(MissingReferenceRateHalfYear(rates, due, until).value_or(QDate()), missing);
}

QTEST_APPLESS_MAIN(LedgerTest)
#include "tst_ledgercore.moc"
