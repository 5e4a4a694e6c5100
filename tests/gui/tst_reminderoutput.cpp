// Payment reminders as a user makes them: `laskutus --reminder` run as a
// program on saved invoices with their payments, the PDF read back with
// poppler and ZBar, the reminder files beside the invoices; and the
// "Maksumuistutus" button of "Laskut".

#include "invoice/numbering.h"
#include "invoice/penaltyinterest.h"
#include "invoice/reminder.h"
#include "storage/cp1252.h"
#include "storage/folderindex.h"
#include "storage/invoicefile.h"
#include "storage/ledgerwindow.h"
#include "storage/payments.h"
#include "storage/reminderfile.h"
#include "storage/textfile.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The IBAN's digits as the bank barcode carries them.
const QString kIbanDigits = u"2112345600000785"_s;

// One row whose price holds VAT, so the price is the invoice's total; a
// stated rate below every statutory one.
InvoiceData invoice(const QString &number, const QString &date, const QString &due, const QString &businessId,
                    const QString &price)
{
    InvoiceData data;
    data.header = {number, date, AppendCheckDigit(number + u"00"_s), businessId, u"1"_s, YesNoText(true),
                   YesNoText(true), u"14 pv"_s, u"7 %"_s, u"7 pv"_s, due};
    data.customer = {u"Asiakas "_s + number, u"Katu 1"_s, u"00100 Helsinki"_s, QString()};
    data.rows = {{QString(), u"Työ"_s, u"1"_s, u"h"_s, price, u"25,5"_s, QString()}};
    return data;
}

// The program's folder with its settings and save folder "data": a consumer's
// invoice 57 paid in part, a business customer's 58 of two VAT rates, 59
// due late in the year, and 60 credited in part by 61. The fee is over a consumer's cap, the business
// customer is charged the fixed compensation, and the term is the settings'.
struct ProgramFolder
{
    QTemporaryDir dir;

    ProgramFolder()
    {
        QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), dir.filePath(u"laskutus"_s));
        writeBytes(dir.filePath(u"laskutus.INI"_s), settings());
        save(u"57"_s, invoice(u"57"_s, u"1.5.2026"_s, u"15.5.2026"_s, QString(), u"200,00"_s));
        InvoiceData business = invoice(u"58"_s, u"1.6.2026"_s, u"15.6.2026"_s, u"1234567-8"_s, u"200,00"_s);
        business.rows.append({QString(), u"Kirja"_s, u"1"_s, u"kpl"_s, u"100,00"_s, u"14"_s, QString()});
        save(u"58"_s, business);
        save(u"59"_s, invoice(u"59"_s, u"1.11.2026"_s, u"1.12.2026"_s, QString(), u"90,00"_s));
        save(u"60"_s, invoice(u"60"_s, u"1.5.2026"_s, u"15.5.2026"_s, QString(), u"200,00"_s));
        // 61 credits 80,00 of 60.
        InvoiceData credit = invoice(u"61"_s, u"20.5.2026"_s, u"20.5.2026"_s, QString(), u"80,00"_s);
        credit.header.resize(HeaderFieldCount);
        credit.header[CreditedYearField] = u"2026"_s;
        credit.header[CreditedNumberField] = u"60"_s;
        credit.rows[0][QuantityColumn] = u"-1"_s;
        save(u"61"_s, credit);
        WritePaymentsFile(PaymentsFilePath(data()), {Payment{u"2026"_s, u"57"_s, QDate(2026, 6, 1), 7550, QString(),
                                                             QString(), QString(), kManualPaymentSource.toString()}});
    }

    QByteArray settings() const
    {
        return stringToCp1252(u"[File]\r\nOletDir="_s + data()
                              + u"\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\nIban=FI21 1234 5600 0007 85\r\nBic=NDEAFIHH\r\n"
                                "Viivakoodi=1\r\nQrKoodi=1\r\nViitekorot=1.1.2026=2,5;1.7.2026=2,0\r\n"
                                "Muistutusmaksu=10,00\r\nVakiokorvaus=1\r\nMuistutusaika=10 pv\r\n"_s);
    }
    QString data() const { return dir.filePath(u"data/"_s); }
    QString invoicePath(const QString &number) const { return data() + u"2026/"_s + number + u".csv"_s; }
    void save(const QString &number, const InvoiceData &data) const
    {
        QDir().mkpath(QFileInfo(invoicePath(number)).path());
        WriteTextLines(invoicePath(number), InvoiceFileLines(data));
    }

    // Every file below the folder but the program.
    QStringList files() const
    {
        QStringList found;
        QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(QDir(dir.path()).relativeFilePath(it.next()));
        found.removeOne(u"laskutus"_s);
        // The save folder's index is the program's to keep.
        found.removeOne(u"data/"_s + kIndexFileName.toString());
        found.sort();
        return found;
    }

    // Runs the program without a display; its exit status and error output.
    std::pair<int, QString> run(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"QT_QPA_PLATFORM"_s);
        environment.remove(u"DISPLAY"_s);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(dir.filePath(u"laskutus"_s), arguments);
        if (!process.waitForFinished(120000))
            process.kill();
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    }
};

// The bank barcode of version 4 as a payer's bank reads it: account, euros,
// cents, reference and due date.
QString bankBarcode(qint64 cents, const QString &reference, const QDate &due)
{
    return u"4"_s + kIbanDigits + u"%1"_s.arg(cents / 100, 6, 10, QChar(u'0'))
        + u"%1"_s.arg(cents % 100, 2, 10, QChar(u'0')) + u"000"_s + reference.rightJustified(20, u'0')
        + due.toString(u"yyMMdd"_s);
}

// The PDF's text with its lines' runs of blanks made one.
QString pdfText(const QString &pdf)
{
    return toolOutput(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s}).simplified();
}

} // namespace

class ReminderOutputTest : public QObject
{
    Q_OBJECT

private slots:
    void reminderPrintedAndSaved_data();
    void reminderPrintedAndSaved();
    void refusedReminderWritesNothing_data();
    void refusedReminderWritesNothing();
    void unclearPaymentAmountStopsTheReminder();
    void reminderFromTheLedger();
    void eachReminderPdfNamedAndNeverReplaced();
    void missingRateAskedInTheLedger();
    void openLedgerRemindsWithTheSettingsOfOk();
};

void ReminderOutputTest::reminderPrintedAndSaved_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QStringList>("secondLines");
    QTest::addColumn<qint64>("secondTotal");
    // 57: 200,00 due 15.5., 75,50 paid 1.6.; 9,5 % then 9,0 %: 200,00 × 950
    // × 17 + 124,50 × 950 × 29 + 124,50 × 900 × 41 over 10 000 × 365 is
    // 308,33 cents; the fee capped at 5,00.
    QTest::newRow("consumer paid in part, interest over the half-year")
        << u"57"_s << QDate(2026, 8, 10)
        << QStringList{u"Maksu 1.6.2026 -75,50"_s, u"Avoin summa 124,50"_s,
                       u"Viivästyskorko 9,5 % 16.5.2026–1.6.2026, 17 pv, summasta 200,00"_s,
                       u"Viivästyskorko 9,5 % 2.6.2026–30.6.2026, 29 pv, summasta 124,50"_s,
                       u"Viivästyskorko 9,0 % 1.7.2026–10.8.2026, 41 pv, summasta 124,50"_s,
                       u"Viivästyskorko yhteensä 3,08"_s, u"Muistutusmaksu 5,00"_s}
        << qint64(13258) << QStringList{u"Muistutusmaksu 5,00"_s} << qint64(13258);
    // 58: 300,00 due 15.6.; 10,5 % then 10,0 %: 300,00 × (1050 × 15 + 1000 ×
    // 10) over 10 000 × 365 is 211,64 cents; the fixed compensation once.
    QTest::newRow("business customer, fixed compensation on the first only")
        << u"58"_s << QDate(2026, 7, 10)
        << QStringList{u"Avoin summa 300,00"_s, u"Viivästyskorko 10,5 % 16.6.2026–30.6.2026, 15 pv"_s,
                       u"Viivästyskorko 10,0 % 1.7.2026–10.7.2026, 10 pv"_s, u"Viivästyskorko yhteensä 2,12"_s,
                       u"Vakiokorvaus perintäkuluista 40,00"_s}
        << qint64(34212) << QStringList{u"Muistutusmaksu 10,00"_s} << qint64(31212);
    // 60: 200,00 less the credit note's 80,00 due 15.5.; 120,00 × (950 × 46
    // + 900 × 41) over 10 000 × 365 is 264,99 cents.
    QTest::newRow("consumer's invoice credited in part")
        << u"60"_s << QDate(2026, 8, 10)
        << QStringList{u"Laskun summa 200,00"_s, u"Hyvitetty -80,00"_s, u"Avoin summa 120,00"_s,
                       u"Viivästyskorko 9,5 % 16.5.2026–30.6.2026, 46 pv, summasta 120,00"_s,
                       u"Viivästyskorko yhteensä 2,65"_s}
        << qint64(12765) << QStringList{u"Hyvitetty -80,00"_s} << qint64(12765);
}

void ReminderOutputTest::reminderPrintedAndSaved()
{
    QFETCH(QString, number);
    QFETCH(QDate, date);
    QFETCH(QStringList, lines);
    QFETCH(qint64, total);
    QFETCH(QStringList, secondLines);
    QFETCH(qint64, secondTotal);
    ProgramFolder folder;
    const QString reference = AppendCheckDigit(number + u"00"_s);
    const QDate due = date.addDays(10);
    for (int n = 1; n <= 2; ++n) {
        const QString pdf = folder.dir.filePath(u"muistutus%1.pdf"_s.arg(n));
        const auto [status, err] =
            folder.run({u"--reminder"_s, pdf, folder.invoicePath(number), u"--date"_s, date.toString(u"d.M.yyyy"_s)});
        QVERIFY2(status == 0, qPrintable(err));
        const qint64 cents = n == 1 ? total : secondTotal;
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(u"MAKSUMUISTUTUS"_s), qPrintable(text));
        // No VAT: no caption, rate column or lines by rate.
        QVERIFY2(!text.contains(u"Arvonlisävero"_s) && !text.contains(u"Alv"_s), qPrintable(text));
        for (const QString &line : n == 1 ? lines : secondLines)
            QVERIFY2(text.contains(line), qPrintable(line + u"\n"_s + text));
        // The line of the total, the totals panel and the giro form.
        const QString total = PaymentAmountText(cents);
        const QString dueText = due.toString(u"d.M.yyyy"_s);
        QVERIFY2(text.contains(u"Maksettava yhteensä %1 mennessä %2"_s.arg(dueText, total))
                     && text.contains(u"Maksettava yhteensä euroa "_s + total)
                     && text.contains(u"Förfallodag %1 %2"_s.arg(dueText, total)),
                 qPrintable(text));
        QVERIFY(n == 1 || !text.contains(u"Vakiokorvaus"_s));
        QCOMPARE(codeOnPage(pdf, folder.dir.path(), 300, u"code128"_s), bankBarcode(cents, reference, due));
        const QStringList qr = codeOnPage(pdf, folder.dir.path(), 300, u"qrcode"_s).split(u'\n');
        QVERIFY2(qr.contains(u"EUR%1.%2"_s.arg(cents / 100).arg(cents % 100, 2, 10, QChar(u'0')))
                     && qr.contains(reference) && qr.contains(u"ReqdExctnDt/"_s + due.toString(Qt::ISODate)),
                 qPrintable(qr.join(u'|')));
        const Reminder saved = ReadReminderFile(ReminderFilePath(folder.data(), u"2026"_s, number, n));
        QVERIFY(saved.number == n && saved.totalCents == cents && saved.newDueDate == due);
    }
    QVERIFY(!QFileInfo::exists(ReminderFilePath(folder.data(), u"2026"_s, number, 3)));
}

void ReminderOutputTest::refusedReminderWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("not overdue") << QStringList{u"--reminder"_s, u"out.pdf"_s, u"data/2026/59.csv"_s, u"--date"_s, u"1.12.2026"_s}
                                 << 1 << u"Lasku 59 ei ole erääntynyt: eräpäivä on 1.12.2026."_s << QStringList();
    QTest::newRow("consumer within 14 days")
        << QStringList{u"--reminder"_s, u"out.pdf"_s, u"data/2026/59.csv"_s, u"--date"_s, u"14.12.2026"_s} << 1
        << u"Kuluttajalle muistutuksen voi lähettää aikaisintaan 14 päivää eräpäivän jälkeen, 15.12.2026 alkaen."_s
        << QStringList();
    QTest::newRow("no date") << QStringList{u"--reminder"_s, u"out.pdf"_s, u"data/2026/57.csv"_s, u"--date"_s, u"31.2.2026"_s} << 2
                             << u"--date: \"31.2.2026\" ei ole päivämäärä"_s << QStringList();
    QTest::newRow("date of another export")
        << QStringList{u"--pdf"_s, u"out.pdf"_s, u"data/2026/57.csv"_s, u"--date"_s, u"1.8.2026"_s} << 2
        << u"--date kuuluu maksumuistutukseen valinnalla --reminder"_s << QStringList();
    QTest::newRow("no reminder file without its PDF")
        << QStringList{u"--reminder"_s, u"puuttuu/out.pdf"_s, u"data/2026/58.csv"_s, u"--date"_s, u"10.7.2026"_s}
        << 1 << u"Pdf-tiedostoa ei voitu kirjoittaa"_s << QStringList();
    QTest::newRow("one of two refused, into a folder")
        << QStringList{u"--reminder"_s, u"ulos"_s, u"data/2026/59.csv"_s, u"data/2026/58.csv"_s, u"--date"_s, u"10.12.2026"_s} << 1
        << u"1/2 laskua epäonnistui."_s << QStringList{u"data/2026/58-M1.csv"_s, u"ulos/58-M1.pdf"_s};
}

void ReminderOutputTest::refusedReminderWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(QStringList, written);
    ProgramFolder folder;
    const QStringList before = folder.files();
    const auto [exitStatus, err] = folder.run(arguments);
    QCOMPARE(exitStatus, status);
    QVERIFY2(err.contains(message), qPrintable(err));
    QStringList expected = before + written;
    expected.sort();
    QCOMPARE(folder.files(), expected);
}

// A payment typed into the payments file by hand with a stray blank,
// "75, 5", is no amount: earlier it read as 75,50 (and "2905, 4" as
// 2 905,40), so the reminder's codes asked for a sum nobody wrote.
void ReminderOutputTest::unclearPaymentAmountStopsTheReminder()
{
    ProgramFolder folder;
    const QString payments = PaymentsFilePath(folder.data());
    const QByteArray typed = readBytes(payments).replace("75,50", "75, 5");
    QVERIFY(typed.contains("75, 5"));
    writeBytes(payments, typed);
    const QStringList before = folder.files();
    const auto [status, err] =
        folder.run({u"--reminder"_s, u"out.pdf"_s, folder.invoicePath(u"57"_s), u"--date"_s, u"10.8.2026"_s});
    QCOMPARE(status, 1);
    QVERIFY2(err.contains(u"Maksutiedoston "_s) && err.contains(u"rivi 1 ei ole maksu"_s) && err.contains(u"75, 5"_s),
             qPrintable(err));
    QCOMPARE(folder.files(), before);
}

void ReminderOutputTest::reminderFromTheLedger()
{
    ProgramFolder folder;
    FormFixture fixture(folder.settings(), {}, QDate(2026, 8, 10));
    QVERIFY(fixture.show());
    TForm1 &form = fixture.form();
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Laskut…"_s});
    LedgerWindow *window = form.LedgerList;
    QVERIFY(window && window->isVisible());
    const QString onScreen = form.LaskuNro1->text();

    QTest::mouseClick(window->Maksumuistutus, Qt::LeftButton);
    QCOMPARE(fixture.prompter().takeMessages(), QStringList{u"Valitse ensin lasku luettelosta."_s});

    // The business customer's invoice checks the box; the user makes it a
    // consumer's reminder: the consumer's rate and capped fee. The rows are
    // in the order of their numbers.
    const auto choose = [window](int row) {
        const QRect cell = window->Taulukko->visualRect(window->Taulukko->model()->index(row, LedgerCustomerColumn));
        QTest::mouseClick(window->Taulukko->viewport(), Qt::LeftButton, {}, cell.center());
    };
    choose(0);
    QVERIFY(!window->Yritysasiakas->isChecked());
    choose(1);
    QVERIFY(window->Yritysasiakas->isChecked());
    QTest::mouseClick(window->Yritysasiakas, Qt::LeftButton);
    QVERIFY(!window->Yritysasiakas->isChecked());

    const QString pdf = folder.dir.filePath(u"muistutus.pdf"_s);
    fixture.prompter().answerTable(true);
    fixture.prompter().answerSave(pdf);
    QTest::mouseClick(window->Maksumuistutus, Qt::LeftButton);
    QCOMPARE(fixture.prompter().saveRequests,
             QStringList{QDir::cleanPath(folder.data() + u"2026"_s) + u"|58-M1.pdf"_s});
    // 300,00 × 950 × 15 + 300,00 × 900 × 41 over 10 000 × 365 is 420,41 cents.
    const QStringList table = fixture.prompter().tablesShown.value(0);
    QVERIFY2(table.contains(u"Viivästyskorko 9,0 % 1.7.2026–10.8.2026, 41 pv, summasta 300,00\t"_s), qPrintable(table.join(u'|')));
    QVERIFY2(table.contains(u"Viivästyskorko yhteensä\t4,20"_s) && table.contains(u"Muistutusmaksu\t5,00"_s)
                 && table.contains(u"Maksettava yhteensä 20.8.2026 mennessä\t309,20"_s),
             qPrintable(table.join(u'|')));

    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(u"MAKSUMUISTUTUS"_s) && text.contains(u"Muistutusmaksu 5,00"_s), qPrintable(text));
    QCOMPARE(codeOnPage(pdf, folder.dir.path(), 300, u"code128"_s),
             bankBarcode(30920, AppendCheckDigit(u"5800"_s), QDate(2026, 8, 20)));
    const Reminder saved = ReadReminderFile(ReminderFilePath(folder.data(), u"2026"_s, u"58"_s, 1));
    QVERIFY(!saved.business && saved.totalCents == 30920);
    // The invoice on screen stays as it was.
    QCOMPARE(form.LaskuNro1->text(), onScreen);
    QCOMPARE(form.Lasku1->text(), u"LASKU"_s);

    // The reminder's interest and fee are owed with the invoice; its total
    // paid leaves nothing open.
    const auto cell = [window](LedgerColumn column) {
        return window->Taulukko->model()->index(1, column).data().toString();
    };
    QCOMPARE(cell(LedgerNumberColumn), u"58"_s);
    QCOMPARE(window->Taulukko->model()->headerData(LedgerCollectionColumn, Qt::Horizontal).toString(),
             u"Perintä"_s);
    QCOMPARE(cell(LedgerCollectionColumn), u"9,20"_s);
    QCOMPARE(cell(LedgerOpenColumn), u"309,20"_s);
    QCOMPARE(cell(LedgerStatusColumn), u"erääntynyt"_s);
    fixture.prompter().answerInput(u"15.8.2026"_s);
    fixture.prompter().answerInput(u"309,20"_s);
    QTest::mouseClick(window->MerkitseMaksetuksi, Qt::LeftButton);
    QCOMPARE(fixture.prompter().inputValues.last(), u"309,20"_s);
    QCOMPARE(cell(LedgerOpenColumn), u"0,00"_s);
    QCOMPARE(cell(LedgerStatusColumn), u"maksettu"_s);
}

// The settings lack the rate of the half-year from 1.7.2026: the command
// line refuses as before; "Maksumuistutus" asks for the rate, keeps it in
// the biller details and goes on. Its messages belong to "Laskut".
void ReminderOutputTest::missingRateAskedInTheLedger()
{
    ProgramFolder folder;
    const QByteArray settings = QByteArray(folder.settings()).replace(";1.7.2026=2,0", "");
    writeBytes(folder.dir.filePath(u"laskutus.INI"_s), settings);
    const QString missing =
        u"Viitekorkoa ei ole puolivuodelle 1.7.2026–31.12.2026; lisää se laskuttajan tietoihin."_s;
    const auto [status, err] = folder.run(
        {u"--reminder"_s, u"out.pdf"_s, u"data/2026/58.csv"_s, u"--date"_s, u"10.8.2026"_s});
    QCOMPARE(status, 1);
    QVERIFY2(err.contains(missing), qPrintable(err));

    FormFixture fixture(settings, {}, QDate(2026, 8, 10));
    QVERIFY(fixture.show());
    TForm1 &form = fixture.form();
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Laskut…"_s});
    LedgerWindow *window = form.LedgerList;
    QVERIFY(window && window->isVisible());
    const QRect cell = window->Taulukko->visualRect(window->Taulukko->model()->index(1, LedgerCustomerColumn));
    QTest::mouseClick(window->Taulukko->viewport(), Qt::LeftButton, {}, cell.center());

    // Cancelled, nothing is made; a rate that is none is refused.
    fixture.prompter().answerInput(QVariant());
    QTest::mouseClick(window->Maksumuistutus, Qt::LeftButton);
    QCOMPARE(fixture.prompter().inputPrompts,
             QStringList{u"Viitekorko|Viitekorkoa ei ole puolivuodelle 1.7.2026–31.12.2026.\n"
                         "Suomen Pankki ilmoittaa viitekoron kesä- ja joulukuussa.\nPuolivuoden viitekorko (%):"_s});
    fixture.prompter().answerInput(u"2,0 %"_s);
    QTest::mouseClick(window->Maksumuistutus, Qt::LeftButton);
    const QStringList refused = fixture.prompter().takeMessages();
    QCOMPARE(refused.size(), 1);
    QVERIFY2(refused[0].startsWith(u"Viitekorko \"2,0 %\""_s), qPrintable(refused[0]));
    QCOMPARE(fixture.prompter().messageWindows, QStringList{u"Laskut"_s});
    QCOMPARE(fixture.settingsBytes(), settings);

    const QString pdf = folder.dir.filePath(u"muistutus.pdf"_s);
    fixture.prompter().answerInput(u"2,0"_s);
    fixture.prompter().answerTable(true);
    fixture.prompter().answerSave(pdf);
    QTest::mouseClick(window->Maksumuistutus, Qt::LeftButton);
    QVERIFY2(fixture.settingsBytes().contains("Viitekorot=1.1.2026=2,5;1.7.2026=2,0\r\n"),
             fixture.settingsBytes().constData());
    QCOMPARE(form.ReferenceRateRowsShown(),
             (QList<ReferenceRateRow>{{u"1.1.2026"_s, u"2,5"_s}, {u"1.7.2026"_s, u"2,0"_s}}));
    const QStringList table = fixture.prompter().tablesShown.value(0);
    QVERIFY2(table.contains(u"Viivästyskorko 10,0 % 1.7.2026–10.8.2026, 41 pv, summasta 300,00\t"_s),
             qPrintable(table.join(u'|')));
    QVERIFY(QFileInfo::exists(ReminderFilePath(folder.data(), u"2026"_s, u"58"_s, 1)));
    QVERIFY(QFileInfo::exists(pdf));
}

// Into a folder each reminder's PDF is named as its file, 57-M1.pdf then
// 57-M2.pdf, the first kept as it was. A PDF of the name already there is
// never replaced: the invoice gets nothing written, and the user is told.
void ReminderOutputTest::eachReminderPdfNamedAndNeverReplaced()
{
    ProgramFolder folder;
    const auto remind = [&folder](const QString &output, const QString &date) {
        return folder.run({u"--reminder"_s, output, u"data/2026/57.csv"_s, u"--date"_s, date});
    };
    const QString first = folder.dir.filePath(u"ulos/57-M1.pdf"_s);
    const QString second = folder.dir.filePath(u"ulos/57-M2.pdf"_s);

    // A file named as the invoice, no PDF, is none of the reminders' names.
    QVERIFY(QDir(folder.dir.path()).mkpath(u"ulos"_s));
    writeBytes(folder.dir.filePath(u"ulos/57"_s), "muistiinpano");
    auto [status, err] = remind(u"ulos/"_s, u"10.8.2026"_s);
    QVERIFY2(status == 0, qPrintable(err));
    QVERIFY2(err.contains(u"tallennettu 57-M1.csv, pdf-tiedosto ulos/57-M1.pdf"_s), qPrintable(err));
    const QByteArray firstBytes = readBytes(first);
    QVERIFY(pdfText(first).contains(u"Maksettava yhteensä 20.8.2026 mennessä 132,58"_s));

    std::tie(status, err) = remind(u"ulos"_s, u"1.9.2026"_s);
    QVERIFY2(status == 0, qPrintable(err));
    QCOMPARE(readBytes(first), firstBytes);
    QVERIFY2(pdfText(second).contains(u"Maksettava yhteensä 11.9.2026 mennessä"_s), qPrintable(pdfText(second)));
    QCOMPARE(ReadReminderFile(ReminderFilePath(folder.data(), u"2026"_s, u"57"_s, 2)).number, 2);

    // The third reminder's name is taken, in the folder and as a file named.
    const QString third = folder.dir.filePath(u"ulos/57-M3.pdf"_s);
    writeBytes(third, "%PDF-1.4 lähetetty muistutus");
    for (const QString &output : {u"ulos"_s, u"ulos/57-M3.pdf"_s}) {
        const QStringList before = folder.files();
        std::tie(status, err) = remind(output, u"20.9.2026"_s);
        QCOMPARE(status, 1);
        QVERIFY2(err.contains(u"Virhe: data/2026/57.csv: ulos/57-M3.pdf on jo olemassa"_s), qPrintable(err));
        QCOMPARE(folder.files(), before);
        QCOMPARE(readBytes(third), QByteArray("%PDF-1.4 lähetetty muistutus"));
    }
}

// "Laskut" stays open while the biller details change: a reminder made
// after "OK" takes the fee kept, one after "Peruuta" the fee as it was.
void ReminderOutputTest::openLedgerRemindsWithTheSettingsOfOk()
{
    ProgramFolder folder;
    FormFixture fixture(folder.settings(), {}, QDate(2026, 8, 10));
    QVERIFY(fixture.show());
    TForm1 &form = fixture.form();
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Laskut…"_s});
    LedgerWindow *window = form.LedgerList;
    QVERIFY(window && window->isVisible());
    const QRect cell = window->Taulukko->visualRect(window->Taulukko->model()->index(0, LedgerCustomerColumn));
    const auto feeShown = [&] {
        QTest::mouseClick(window->Taulukko->viewport(), Qt::LeftButton, {}, cell.center());
        fixture.prompter().answerTable(false);
        QTest::mouseClick(window->Maksumuistutus, Qt::LeftButton);
        return fixture.prompter().tablesShown.takeLast().filter(u"Muistutusmaksu\t"_s);
    };
    // A consumer's fee is capped at 5,00.
    QCOMPARE(feeShown(), QStringList{u"Muistutusmaksu\t5,00"_s});
    for (const bool ok : {false, true}) {
        chooseFromMenuBar(form, {u"Muokkaa"_s, u"Laskuttajan tiedot"_s});
        QTest::keyClick(form.Muistutusmaksu1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(form.Muistutusmaksu1, u"3,00"_s);
        QTest::mouseClick(ok ? form.Ok2 : form.Cancel2, Qt::LeftButton);
        QCOMPARE(feeShown(), QStringList{ok ? u"Muistutusmaksu\t3,00"_s : u"Muistutusmaksu\t5,00"_s});
    }
    QVERIFY(!QFileInfo::exists(ReminderFilePath(folder.data(), u"2026"_s, u"57"_s, 1)));
}

QTEST_MAIN(ReminderOutputTest)
#include "tst_reminderoutput.moc"
