// The invoice ledger read from a save folder: what is paid and the status of
// each invoice, which files are invoices of it, their order and the command
// line's list.

#include "invoice/creditnote.h"
#include "output/einvoice.h"
#include "invoice/reminder.h"
#include "storage/invoicefile.h"
#include "storage/ledger.h"
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
    QTest::newRow("overpaid") << later << false << hundred << QList<Payment>{paid(u"2026"_s, u"57"_s, 12000)}
                              << 10000LL << 12000LL << later << u"maksettu"_s;
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
    QTest::newRow("a credit note")
        << earlier << false << u"-100,00"_s << none << -10000LL << 0LL << earlier << u"hyvitetty"_s;
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
    QCOMPARE(skipped, (QStringList{u"2026/10-M1.csv: Tiedosto "_s
                                       + QDir::toNativeSeparators(dir.filePath(u"2026/10-M1.csv"_s))
                                       + u" ei ole maksumuistutus."_s,
                                   u"2026/roska.csv: "_s + ledger.skipped.value(1).reason,
                                   u"2025/9-M1.csv: Maksumuistutuksen laskua 9 ei ole vuosikansiossa 2025."_s}));
    QCOMPARE(LedgerListText(ledger.rows),
             u"Vuosi\tNumero\tPäiväys\tAsiakas\tViite\tEräpäivä\tSumma\tMaksettu\tAvoinna\tTila\tMuistutettu\n"
             "2025\t11\t4.12.2025\tAalto\t1009\t18.12.2025\t100,00\t100,00\t0,00\tmaksettu\t\n"
             "2026\t9\t4.12.2026\tÄänekosken Ab\t1009\t21.12.2026\t100,00\t0,00\t100,00\tavoin\t7.12.2026\n"
             "2026\t10\t5.12.2026\tÖljy Oy\t1009\t21.12.2026\t100,00\t0,00\t100,00\tavoin\t\n"_s);
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

QTEST_APPLESS_MAIN(LedgerTest)
#include "tst_ledgercore.moc"
