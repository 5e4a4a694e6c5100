// The save folder behind its interface and its index: the answers are those
// of the files whatever was done to them or to the index, and the command
// line lists and imports without a display.

#include "app/profile.h"
#include "invoice/creditnote.h"
#include "invoice/numbering.h"
#include "invoice/reminder.h"
#include "storage/cp1252.h"
#include "storage/folderindex.h"
#include "storage/invoicefile.h"
#include "storage/ledger.h"
#include "storage/reminderfile.h"
#include "storage/savefolder.h"
#include "storage/textfile.h"
#include "tests/support/bankfiles.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2026, 6, 20);

// Each invoice's own reference: of its year and number.
QString referenceOf(const QString &year, int number)
{
    return AppendCheckDigit(year + u"%1"_s.arg(number, 3, 10, QChar(u'0')));
}

InvoiceDefaults todaysDefaults()
{
    return InvoiceDefaults{false, false, u"30 pv"_s, u"8 %"_s, u"7 pv"_s};
}

BillerDetails biller()
{
    BillerDetails details;
    details.officialName = u"Testi Oy"_s;
    details.iban = u"FI2112345600000785"_s;
    details.bic = u"NDEAFIHH"_s;
    return details;
}

// An invoice of one row; `older` keeps only the five header values of files
// of earlier versions, whose VAT mode and terms come from the defaults.
InvoiceData invoiceOf(int number, const QString &date, const QString &customer, const QString &price, bool older)
{
    InvoiceData data;
    data.header = {QString::number(number), date, referenceOf(InvoiceYearOfDate(date), number), QString(), u"3"_s};
    if (!older)
        data.header += {YesNoText(true), YesNoText(number % 3 == 0), u"14 pv"_s, u"8 %"_s, u"7 pv"_s, QString()};
    data.customer = {customer, u"Katu 1"_s, QString(), QString()};
    data.rows = {{QString(), u"Työ"_s, u"1"_s, u"h"_s, price, u"25,5"_s, QString()},
                 {QString(), u"Tarvike"_s, u"2"_s, u"kpl"_s, u"12,40"_s, u"14"_s, QString()}};
    return data;
}

void writeInvoice(const QString &path, const InvoiceData &data)
{
    QDir().mkpath(QFileInfo(path).path());
    WriteTextLines(path, InvoiceFileLines(data));
}

// The reminder as the program made it before the save folder answered it:
// from the whole ledger read from the files.
Reminder reminderFromFiles(const QString &dataDir, const QString &path, const InvoiceDefaults &defaults)
{
    const Ledger ledger = ReadLedger(dataDir, biller(), defaults, kToday);
    const auto row = std::find_if(ledger.rows.begin(), ledger.rows.end(),
                                  [&](const LedgerRow &candidate) { return candidate.path == path; });
    if (row == ledger.rows.end())
        return Reminder();
    QList<Payment> payments;
    for (qsizetype index : PaymentsOfRow(ledger.payments, *row))
        payments.append(ledger.payments[index]);
    ReminderRequest request{row->year, kToday, SavedReminderCount(dataDir, row->year, row->number), std::nullopt};
    request.creditedCents = row->creditCents;
    return MakeReminder(ReadInvoiceRecord(path, biller(), defaults), payments, request, ReminderSettings());
}

// A save folder as a user's years leave it: invoices of three years, some
// written by an earlier version, credit notes of the same and a later year,
// payments, reminders, a kept earlier version and files that are no invoices.
struct GeneratedFolder
{
    QTemporaryDir dir;
    QString data() const { return dir.path() + u'/'; }
    QString file(const QString &relative) const { return dir.filePath(relative); }

    GeneratedFolder()
    {
        QList<Payment> payments;
        const QStringList years = {u"2024"_s, u"2025"_s, u"2026"_s};
        for (const QString &year : years) {
            for (int n = 1; n <= 12; ++n) {
                const QString date = u"%1.%2.%3"_s.arg(n).arg(n % 12 + 1).arg(year);
                writeInvoice(file(year + u'/' + QString::number(n) + u".csv"_s),
                             invoiceOf(n, date, u"Asiakas %1"_s.arg(n % 5), u"%1,00"_s.arg(40 + n * 7), n % 4 == 0));
                if (n % 3 == 1)
                    payments.append({year, QString::number(n), QDate(year.toInt(), 12, 1), qint64(3000 + n * 100),
                                     referenceOf(year, n), u"Maksaja"_s, u"A%1%2"_s.arg(year).arg(n), u"pankki.xml"_s});
            }
        }
        // Credit notes: of the same year, and of an invoice of the year before.
        const InvoiceData credited = ReadInvoiceFile(file(u"2025/5.csv"_s));
        writeInvoice(file(u"2025/20.csv"_s), CreditNoteOf(CompletedInvoice(credited, todaysDefaults()),
                                                           {u"20"_s, u"1.11.2025"_s, referenceOf(u"2025"_s, 20)}));
        const InvoiceData older = ReadInvoiceFile(file(u"2025/7.csv"_s));
        writeInvoice(file(u"2026/21.csv"_s), CreditNoteOf(CompletedInvoice(older, todaysDefaults()),
                                                           {u"21"_s, u"2.1.2026"_s, referenceOf(u"2026"_s, 21)}));
        payments.append({QString(), QString(), QDate(2026, 3, 1), 999, u"99"_s, u"Tuntematon"_s, u"X1"_s,
                         u"pankki.xml"_s});
        WritePaymentsFile(PaymentsFilePath(data()), payments);
        // Reminders saved of unpaid, overdue invoices.
        for (const QString &path : {file(u"2025/2.csv"_s), file(u"2025/3.csv"_s)})
            WriteReminderFile(ReminderFilePath(data(), QFileInfo(path).dir().dirName(),
                                               QFileInfo(path).completeBaseName(), 1),
                              reminderFromFiles(data(), path, todaysDefaults()));
        QFile::copy(file(u"2026/4.csv"_s), EarlierVersionPath(file(u"2026/4.csv"_s), 1));
        writeBytes(file(u"2026/muistiinpanot.csv"_s), "ei lasku\r\n");
        writeBytes(file(u"2024/99-M1.csv"_s), "MAKSUMUISTUTUS;rikki\r\n");
        QDir().mkpath(file(u"luonnokset"_s));
        writeInvoice(file(u"luonnokset/1.csv"_s), invoiceOf(1, u"1.1.2026"_s, u"Ei listalla"_s, u"1,00"_s, false));
    }
};

// A file rewritten as a person or another program would, its time moved on
// so that even a coarse clock shows the change.
void rewrite(const QString &path, const QByteArray &bytes)
{
    const QDateTime before = QFileInfo(path).lastModified();
    writeBytes(path, bytes);
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(before.addSecs(5), QFileDevice::FileModificationTime);
}

QString skippedText(QList<LedgerSkippedFile> skipped)
{
    std::sort(skipped.begin(), skipped.end(), [](const auto &a, const auto &b) { return a.path < b.path; });
    QStringList lines;
    for (const LedgerSkippedFile &file : skipped)
        lines << file.year + u' ' + file.path + u' ' + file.reason;
    return lines.join(u'\n');
}

// What a ledger answers, row by row, as text to compare.
QString answers(const Ledger &ledger)
{
    QString text = LedgerListText(ledger.rows);
    for (const LedgerRow &row : ledger.rows)
        text += u"%1 %2 %3 %4 %5\n"_s.arg(row.path).arg(row.creditCents).arg(row.reminders.size()).arg(
            row.customerKey, row.searchText);
    const LedgerSums sums = LedgerSumsOf(ledger.rows);
    text += u"%1 %2 %3 %4\n"_s.arg(sums.count).arg(sums.totalCents).arg(sums.paidCents).arg(sums.openCents);
    return text + skippedText(ledger.skipped) + u'\n' + QString::number(ledger.payments.size());
}

// Every answer of the folder equals the files' own: the whole ledger, each
// year's, each invoice's row and reminder.
void compareWithFiles(SaveFolder &folder, const QString &dataDir, const InvoiceDefaults &defaults)
{
    const Ledger files = ReadLedger(dataDir, biller(), defaults, kToday);
    QCOMPARE(answers(folder.ledger(kToday)), answers(files));
    for (const QString &year : {u"2024"_s, u"2025"_s, u"2026"_s, u"2027"_s})
        QCOMPARE(answers(folder.ledger(kToday, year)), answers(ReadLedger(dataDir, biller(), defaults, kToday, year)));
    for (const LedgerRow &row : files.rows) {
        const std::optional<LedgerRow> one = folder.ledgerRowOfFile(row.path, kToday);
        QVERIFY2(one, qPrintable(row.path));
        QCOMPARE(answers({{*one}, {}, {}}), answers({{row}, {}, {}}));
        if (row.status == LedgerStatus::Overdue) {
            // The same reminder, or the same refusal.
            Reminder made;
            Reminder fromFiles;
            QCOMPARE(refusalOf([&] {
                         made = SavedInvoiceReminder(folder, row.path, kToday, std::nullopt, ReminderSettings());
                     }),
                     refusalOf([&] { fromFiles = reminderFromFiles(dataDir, row.path, defaults); }));
            QCOMPARE(made, fromFiles);
        }
    }
}

void writeIndexValue(const QString &indexPath, const QString &sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"test"_s);
        db.setDatabaseName(indexPath);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(sql));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"test"_s);
}

} // namespace

class SaveFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void sameAnswersWithAndWithoutIndex_data();
    void sameAnswersWithAndWithoutIndex();
    void savedInvoiceKeepsEarlierVersionAndIndexFollows();
    void commandLineWithoutDisplay_data();
    void commandLineWithoutDisplay();
};

void SaveFolderTest::sameAnswersWithAndWithoutIndex_data()
{
    QTest::addColumn<QString>("change");
    const QStringList changes = {
        u"nothing"_s,
        u"same size, new time"_s,
        u"new size"_s,
        u"invoice removed"_s,
        u"invoice added"_s,
        u"credit note added in a later year"_s,
        u"reminder added"_s,
        u"payments changed"_s,
        u"year folder removed"_s,
        u"index deleted"_s,
        u"index not a database"_s,
        u"index of another schema"_s,
        u"index emptied of its tables"_s,
        u"index newer than its files"_s,
        u"defaults changed"_s,
    };
    for (const QString &change : changes)
        QTest::newRow(qPrintable(change)) << change;
}

void SaveFolderTest::sameAnswersWithAndWithoutIndex()
{
    QFETCH(QString, change);
    GeneratedFolder generated;
    const QString index = generated.file(kIndexFileName.toString());
    InvoiceDefaults defaults = todaysDefaults();
    std::unique_ptr<SaveFolder> folder = OpenSaveFolder(generated.data(), biller(), defaults);
    // The index is built by the first question, and answers the second.
    compareWithFiles(*folder, generated.data(), defaults);
    QVERIFY(QFileInfo(index).isFile());
    compareWithFiles(*folder, generated.data(), defaults);

    const QString invoice = generated.file(u"2025/8.csv"_s);
    const qint64 totalBefore = folder->ledgerRowOfFile(invoice, kToday)->totalCents;
    QByteArray bytes = readBytes(invoice);
    if (change == u"same size, new time"_s) {
        // 96,00 becomes 69,00: a new total in a file of the same size.
        QVERIFY(bytes.contains(",\"96,00\","));
        rewrite(invoice, bytes.replace(",\"96,00\",", ",\"69,00\","));
    } else if (change == u"new size"_s) {
        rewrite(invoice, bytes + "\"T9\",\"Lis\xe4ty\xf6\",3,\"h\",\"150,00\",\"25,5\",\"\"\r\n");
    } else if (change == u"invoice removed"_s) {
        QVERIFY(QFile::remove(generated.file(u"2026/1.csv"_s)));
    } else if (change == u"invoice added"_s) {
        writeInvoice(generated.file(u"2024/30.csv"_s), invoiceOf(30, u"3.3.2024"_s, u"Uusi"_s, u"75,00"_s, false));
    } else if (change == u"credit note added in a later year"_s) {
        writeInvoice(generated.file(u"2027/1.csv"_s),
                     CreditNoteOf(CompletedInvoice(ReadInvoiceFile(invoice), defaults),
                                  {u"1"_s, u"2.1.2027"_s, referenceOf(u"2027"_s, 1)}));
    } else if (change == u"reminder added"_s) {
        const QString overdue = generated.file(u"2025/6.csv"_s);
        WriteReminderFile(ReminderFilePath(generated.data(), u"2025"_s, u"6"_s, 1),
                          reminderFromFiles(generated.data(), overdue, defaults));
    } else if (change == u"payments changed"_s) {
        QList<Payment> payments = ReadPaymentsFile(PaymentsFilePath(generated.data()));
        payments.append({u"2025"_s, u"8"_s, QDate(2026, 1, 5), 5000, referenceOf(u"2025"_s, 8), u"Maksaja"_s, u"B1"_s,
                         u"käsin"_s});
        WritePaymentsFile(PaymentsFilePath(generated.data()), payments);
    } else if (change == u"year folder removed"_s) {
        QVERIFY(QDir(generated.file(u"2024"_s)).removeRecursively());
    } else if (change == u"index deleted"_s) {
        folder.reset();
        QVERIFY(QFile::remove(index));
    } else if (change == u"index not a database"_s) {
        folder.reset();
        writeBytes(index, QByteArray(4096, 'x'));
    } else if (change == u"index of another schema"_s) {
        folder.reset();
        writeIndexValue(index, u"UPDATE meta SET value = '99' WHERE key = 'schema'"_s);
    } else if (change == u"index emptied of its tables"_s) {
        writeIndexValue(index, u"DROP TABLE files"_s);
    } else if (change == u"index newer than its files"_s) {
        // The program saved the invoice and indexed it; then the file's
        // write was lost (a crash before the disk had it): the older file
        // is back, with its older time.
        const QDateTime time = QFileInfo(invoice).lastModified();
        InvoiceData changed = ReadInvoiceFile(invoice);
        changed.rows[0][PriceColumn] = u"1234,00"_s;
        folder->saveInvoice(changed, invoice);
        QVERIFY(folder->ledgerRowOfFile(invoice, kToday)->totalCents != totalBefore);
        writeBytes(invoice, bytes);
        QFile file(invoice);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(time, QFileDevice::FileModificationTime);
    } else if (change == u"defaults changed"_s) {
        // Files of earlier versions are totalled with today's VAT mode.
        defaults.unitPricesWithVat = true;
        defaults.paymentTerms = u"7 pv"_s;
        folder->setSettings(biller(), defaults);
    }
    if (!folder)
        folder = OpenSaveFolder(generated.data(), biller(), defaults);
    compareWithFiles(*folder, generated.data(), defaults);
    // Another copy of the program opening the same folder sees the same.
    compareWithFiles(*OpenSaveFolder(generated.data(), biller(), defaults), generated.data(), defaults);
    if (change == u"same size, new time"_s || change == u"new size"_s)
        QVERIFY(folder->ledgerRowOfFile(invoice, kToday)->totalCents != totalBefore);
}

void SaveFolderTest::savedInvoiceKeepsEarlierVersionAndIndexFollows()
{
    GeneratedFolder generated;
    std::unique_ptr<SaveFolder> folder = OpenSaveFolder(generated.data(), biller(), todaysDefaults());
    const qsizetype before = folder->ledger(kToday).rows.size();
    const InvoiceData fresh = invoiceOf(40, u"5.12.2026"_s, u"Uusi Oy"_s, u"10,00"_s, false);
    const SavedInvoice first = folder->saveInvoice(fresh);
    QCOMPARE(first.path, generated.file(u"2026/40.csv"_s));
    QVERIFY(first.earlierVersion.isEmpty());
    QCOMPARE(folder->ledger(kToday).rows.size(), before + 1);
    // Another invoice of the same number keeps the one saved before it.
    const SavedInvoice second =
        folder->saveInvoice(invoiceOf(40, u"6.12.2026"_s, u"Toinen Oy"_s, u"20,00"_s, false));
    QCOMPARE(second.earlierVersion, EarlierVersionPath(first.path, 1));
    QCOMPARE(ReadInvoiceFile(second.earlierVersion).customer.value(0), u"Uusi Oy"_s);
    // The invoice opened and saved again replaces its own file.
    QVERIFY(folder->saveInvoice(fresh, first.path).earlierVersion.isEmpty());
    QCOMPARE(folder->ledgerRow(u"2026"_s, u"40"_s, kToday)->customer, u"Uusi Oy"_s);
    compareWithFiles(*folder, generated.data(), todaysDefaults());
}

void SaveFolderTest::commandLineWithoutDisplay_data()
{
    QTest::addColumn<QString>("platform");
    // No platform named; and one that cannot start without a display, which
    // a command reading data never starts.
    QTest::newRow("no platform") << QString();
    QTest::newRow("a platform needing a display") << u"xcb"_s;
}

void SaveFolderTest::commandLineWithoutDisplay()
{
    QFETCH(QString, platform);
    GeneratedFolder generated;
    QTemporaryDir programDir;
    const QDir program(programDir.path());
    QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program.filePath(u"laskutus"_s));
    writeBytes(program.filePath(u"laskutus.INI"_s),
               stringToCp1252(u"[File]\r\nOletDir="_s + generated.data()
                              + u"\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\nAlvMaksuehto=30 pv\r\n"_s));
    const auto run = [&](const QStringList &arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"QT_QPA_PLATFORM"_s);
        environment.remove(u"DISPLAY"_s);
        environment.remove(u"WAYLAND_DISPLAY"_s);
        if (!platform.isEmpty())
            environment.insert(u"QT_QPA_PLATFORM"_s, platform);
        process.setProcessEnvironment(environment);
        process.start(program.filePath(u"laskutus"_s), arguments);
        process.waitForFinished(120000);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return u"FAILED %1: %2"_s.arg(process.exitCode()).arg(err);
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    // The files read with the profile's settings, as the window read them.
    const Profile profile = ReadProfile(program.filePath(u"laskutus.INI"_s));
    const auto expected = [&](const QString &year = QString()) {
        return LedgerListText(
            ReadLedger(generated.data(), profile.biller, profile.defaults, QDate::currentDate(), year).rows);
    };
    const QString index = generated.file(kIndexFileName.toString());
    QCOMPARE(run({u"--list"_s}), expected());
    QVERIFY(QFileInfo(index).isFile());
    QCOMPARE(run({u"--list"_s, u"2025"_s}), expected(u"2025"_s));
    // Edited by hand, the index deleted, damaged: the list is the files'.
    const QString invoice = generated.file(u"2026/2.csv"_s);
    QVERIFY(readBytes(invoice).contains(",\"54,00\","));
    rewrite(invoice, readBytes(invoice).replace(",\"54,00\",", ",\"45,00\","));
    QCOMPARE(run({u"--list"_s}), expected());
    QVERIFY(QFile::remove(index));
    QCOMPARE(run({u"--list"_s, u"2026"_s}), expected(u"2026"_s));
    writeBytes(index, "SQLite format 3\0 damaged");
    QCOMPARE(run({u"--list"_s}), expected());

    // A bank's file imported: the payments file and what the index holds of
    // it follow, and the list shows the invoice paid.
    const QString bankFile = program.filePath(u"viitteet.txt"_s);
    const qint64 total =
        ReadLedger(generated.data(), profile.biller, profile.defaults, kToday, u"2026"_s).rows.value(1).totalCents;
    const Payment payment{QString(), QString(), QDate(2026, 12, 2), total, referenceOf(u"2026"_s, 2), u"Maksaja"_s,
                          u"ARK1"_s, QString()};
    writeBytes(bankFile, referenceFileOf({payment}));
    const QString imported = run({u"--import-payments"_s, bankFile});
    QVERIFY2(imported.contains(u"\tMaksaja\t2026/2\n"_s), qPrintable(imported));
    QCOMPARE(run({u"--list"_s}), expected());
    QVERIFY(expected(u"2026"_s).split(u'\n').value(2).contains(u"\t0,00\tmaksettu"_s));
}

QTEST_GUILESS_MAIN(SaveFolderTest)
#include "tst_savefolder.moc"
