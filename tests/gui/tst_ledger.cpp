// "Laskut" as a person uses it: the saved invoices sorted by a click on a
// heading, searched as typed, chosen by year and opened with Enter; payments
// marked by hand and removed, kept in the payments file; a newly saved
// invoice and a restart. And `laskutus --list` run as a program.

#include "invoice/creditnote.h"
#include "invoice/numbering.h"
#include "invoice/reminder.h"
#include "storage/cp1252.h"
#include "storage/folderindex.h"
#include "storage/invoicefile.h"
#include "storage/ledgerwindow.h"
#include "storage/payments.h"
#include "storage/reminderfile.h"
#include "storage/textfile.h"
#include "tests/support/bankfiles.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QCheckBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// One row of the price with VAT in it, so the price is the total.
InvoiceData invoice(const QString &number, const QString &date, const QString &due, const QString &customer,
                    const QString &price)
{
    InvoiceData data;
    data.header = {number, date, AppendCheckDigit(number + u"00"_s), QString(), u"1"_s, YesNoText(true),
                   YesNoText(true), u"14 pv"_s, u"8 %"_s, u"7 pv"_s, due};
    data.customer = {customer, u"Katu 1"_s, QString(), QString()};
    data.rows = {{QString(), u"Työ"_s, u"1"_s, u"h"_s, price, u"25,5"_s, QString()}};
    return data;
}

// A save folder of saved invoices of two years, one of them paid, and a
// program folder whose settings keep it.
struct SavedInvoices
{
    QTemporaryDir data;

    SavedInvoices()
    {
        save(u"2026/1.csv"_s, invoice(u"1"_s, u"1.12.2026"_s, u"21.12.2026"_s, u"Virtanen Oy"_s, u"100,00"_s));
        save(u"2026/2.csv"_s, invoice(u"2"_s, u"2.11.2026"_s, u"1.12.2026"_s, u"Öljy-Nieminen"_s, u"250,00"_s));
        save(u"2026/10.csv"_s, invoice(u"10"_s, u"3.12.2026"_s, u"17.12.2026"_s, u"Äkäslompolo Ky"_s, u"125,50"_s));
        save(u"2025/3.csv"_s, invoice(u"3"_s, u"1.11.2025"_s, u"15.11.2025"_s, u"Aalto"_s, u"40,00"_s));
        WritePaymentsFile(PaymentsFilePath(path()),
                          {Payment{u"2025"_s, u"3"_s, QDate(2025, 11, 10), 4000, QString(), QString(), QString(),
                                   kManualPaymentSource.toString()}});
    }

    QString path() const { return data.path() + u'/'; }
    void save(const QString &relative, const InvoiceData &data) const
    {
        QDir().mkpath(QFileInfo(path() + relative).path());
        WriteTextLines(path() + relative, InvoiceFileLines(data));
    }
    QByteArray settings() const
    {
        return stringToCp1252(u"[File]\r\nOletDir="_s + path() + u"\r\n[Laskuttaja]\r\nNimi=Testi Oy\r\n"_s);
    }
};

// A reminder of the invoice saved beside it, as "Maksumuistutus" saves one.
void saveReminder(const SavedInvoices &folder, const QString &year, const QString &number, int reminderNumber,
                  const QDate &date, qint64 totalCents)
{
    Reminder reminder;
    reminder.number = reminderNumber;
    reminder.year = year;
    reminder.invoiceNumber = number;
    reminder.dueDate = QDate(2026, 12, 1);
    reminder.date = date;
    reminder.newDueDate = date.addDays(14);
    reminder.totalCents = totalCents;
    // Of invoice 2 (250,00): the rest is interest, 5,00 of it the fee.
    reminder.feeCents = 500;
    reminder.interest.cents = totalCents - 25000 - reminder.feeCents;
    WriteReminderFile(ReminderFilePath(folder.path(), year, number, reminderNumber), reminder);
}

// Opens "Laskut" through the menu of the main window.
LedgerWindow *openLedger(FormFixture &fixture)
{
    chooseFromMenuBar(fixture.form(), {u"Tiedosto"_s, u"Laskut…"_s});
    LedgerWindow *window = fixture.form().LedgerList;
    // The window is shown before the menu command returns.
    return window && window->isVisible() ? window : nullptr;
}

// The texts a column shows, top to bottom.
QStringList shown(const LedgerWindow &window, LedgerColumn column)
{
    QStringList texts;
    const QAbstractItemModel *model = window.Taulukko->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, column).data().toString());
    return texts;
}

void clickHeading(LedgerWindow &window, LedgerColumn column)
{
    QHeaderView *header = window.Taulukko->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

// Clicks the row showing the invoice number.
void clickInvoice(LedgerWindow &window, const QString &number)
{
    const int row = int(shown(window, LedgerNumberColumn).indexOf(number));
    QVERIFY2(row >= 0, qPrintable(number));
    const QModelIndex cell = window.Taulukko->model()->index(row, LedgerCustomerColumn);
    QTest::mouseClick(window.Taulukko->viewport(), Qt::LeftButton, {}, window.Taulukko->visualRect(cell).center());
}

QString statusOf(const LedgerWindow &window, const QString &number)
{
    return shown(window, LedgerStatusColumn).value(shown(window, LedgerNumberColumn).indexOf(number));
}

// The program run in its own folder with the settings, without a display;
// its exit status and what it printed.
struct ProgramRun
{
    int status = -1;
    QString out;
    QString err;
};

ProgramRun runProgram(const QTemporaryDir &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.remove(u"DISPLAY"_s);
    process.setProcessEnvironment(environment);
    process.start(program.filePath(u"laskutus"_s), arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class LedgerWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void headingClickSorts_data();
    void headingClickSorts();
    void searchAndYearChooseRows_data();
    void searchAndYearChooseRows();
    void searchTypedDeletedAndRetyped_data();
    void searchTypedDeletedAndRetyped();
    void enterOpensTheInvoiceAndShowsItsPayments();
    void markedPaymentIsKeptAndRemoved_data();
    void markedPaymentIsKeptAndRemoved();
    void remindersListedUnderTheirInvoice();
    void savedInvoiceAppearsAndStaysAfterRestart();
    void listFromTheCommandLine_data();
    void listFromTheCommandLine();
    void bankFileImportedFromTheWindow();
    void yearOfInvoicesPaidFromBankFiles();
    void unallocatedPaymentsGivenToAnInvoiceAndBack();
    void sumsLineAddsTheRowsShown_data();
    void sumsLineAddsTheRowsShown();
    void filesChangedByAnotherProgramShownAgain();
};

void LedgerWindowTest::headingClickSorts_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("as opened: year, then number as a number")
        << int(LedgerNumberColumn) << 0 << QStringList{u"3"_s, u"1"_s, u"2"_s, u"10"_s};
    QTest::newRow("number, descending") << int(LedgerNumberColumn) << 1
                                        << QStringList{u"10"_s, u"2"_s, u"1"_s, u"3"_s};
    QTest::newRow("customer: Ä and Ö after Z")
        << int(LedgerCustomerColumn) << 1 << QStringList{u"3"_s, u"1"_s, u"10"_s, u"2"_s};
    QTest::newRow("customer, descending") << int(LedgerCustomerColumn) << 2
                                          << QStringList{u"2"_s, u"10"_s, u"1"_s, u"3"_s};
    QTest::newRow("total as an amount") << int(LedgerTotalColumn) << 1
                                        << QStringList{u"3"_s, u"1"_s, u"10"_s, u"2"_s};
    QTest::newRow("open amount") << int(LedgerOpenColumn) << 1 << QStringList{u"3"_s, u"1"_s, u"10"_s, u"2"_s};
    QTest::newRow("date as a date") << int(LedgerDateColumn) << 1 << QStringList{u"3"_s, u"2"_s, u"1"_s, u"10"_s};
    QTest::newRow("due date as a date") << int(LedgerDueDateColumn) << 1
                                        << QStringList{u"3"_s, u"2"_s, u"10"_s, u"1"_s};
}

void LedgerWindowTest::headingClickSorts()
{
    QFETCH(int, column);
    QFETCH(int, clicks);
    QFETCH(QStringList, numbers);
    SavedInvoices folder;
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    for (int i = 0; i < clicks; ++i)
        clickHeading(*window, LedgerColumn(column));
    QCOMPARE(shown(*window, LedgerNumberColumn), numbers);
}

void LedgerWindowTest::searchAndYearChooseRows_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("yearItem");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("totals");
    QTest::newRow("all") << QString() << 0 << QStringList{u"3"_s, u"1"_s, u"2"_s, u"10"_s}
                         << u"4 laskua: summa 515,50 €, maksettu 40,00 €, avoinna 475,50 €"_s;
    QTest::newRow("part of a name") << u"nen"_s << 0 << QStringList{u"1"_s, u"2"_s}
                                    << u"2 laskua: summa 350,00 €, maksettu 0,00 €, avoinna 350,00 €"_s;
    QTest::newRow("an amount with a point") << u"125.50"_s << 0 << QStringList{u"10"_s}
                                            << u"1 laskua: summa 125,50 €, maksettu 0,00 €, avoinna 125,50 €"_s;
    QTest::newRow("an amount with a comma") << u"40,00"_s << 0 << QStringList{u"3"_s}
                                            << u"1 laskua: summa 40,00 €, maksettu 40,00 €, avoinna 0,00 €"_s;
    QTest::newRow("a number, found in a reference too") << u"10"_s << 0 << QStringList{u"1"_s, u"10"_s}
                              << u"2 laskua: summa 225,50 €, maksettu 0,00 €, avoinna 225,50 €"_s;
    QTest::newRow("a reference typed with blanks") << u"100 9"_s << 0 << QStringList{u"1"_s}
                                                   << u"1 laskua: summa 100,00 €, maksettu 0,00 €, avoinna 100,00 €"_s;
    QTest::newRow("an open amount") << u"0,00"_s << 0 << QStringList{u"3"_s}
                                    << u"1 laskua: summa 40,00 €, maksettu 40,00 €, avoinna 0,00 €"_s;
    QTest::newRow("a year") << QString() << 2 << QStringList{u"1"_s, u"2"_s, u"10"_s}
                            << u"3 laskua: summa 475,50 €, maksettu 0,00 €, avoinna 475,50 €"_s;
    QTest::newRow("a name in another year") << u"aalto"_s << 2 << QStringList()
                                            << u"0 laskua: summa 0,00 €, maksettu 0,00 €, avoinna 0,00 €"_s;
}

void LedgerWindowTest::searchAndYearChooseRows()
{
    QFETCH(QString, typed);
    QFETCH(int, yearItem);
    QFETCH(QStringList, numbers);
    QFETCH(QString, totals);
    SavedInvoices folder;
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    QCOMPARE(window->Vuosi->count(), 3);
    QCOMPARE(window->Vuosi->itemText(0), u"Kaikki vuodet"_s);
    QCOMPARE(window->Vuosi->itemText(2), u"2026"_s);
    window->Vuosi->setCurrentIndex(yearItem);
    QTest::keyClicks(window->Haku, typed);
    QCOMPARE(shown(*window, LedgerNumberColumn), numbers);
    QCOMPARE(window->Yhteensa->text(), totals);
}

void LedgerWindowTest::searchTypedDeletedAndRetyped_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("yearItem");
    QTest::addColumn<QStringList>("numbers");
    // "\b" is Backspace.
    QTest::newRow("a name, deleted and another typed") << u"nen\b\b\bäkä"_s << 0 << QStringList{u"10"_s};
    QTest::newRow("capitals, deleted to one letter") << u"VIRT\b\b\b"_s << 0 << QStringList{u"1"_s};
    // "0,0" shows invoice 3 by its open amount, "0,00" by it again though
    // no text holds "0,00".
    QTest::newRow("a text that becomes an amount") << u"0,00"_s << 0 << QStringList{u"3"_s};
    QTest::newRow("an amount extended, cut back") << u"250,00\b\b\b"_s << 0 << QStringList{u"2"_s};
    QTest::newRow("a reference with blanks, retyped") << u"100 9\b\b\b0 9"_s << 0 << QStringList{u"1"_s};
    QTest::newRow("one year, a name of another") << u"aa\bal"_s << 2 << QStringList();
}

// Each keystroke, a letter added or deleted, shows the rows and sums a
// search of the whole text typed at once shows.
void LedgerWindowTest::searchTypedDeletedAndRetyped()
{
    QFETCH(QString, keys);
    QFETCH(int, yearItem);
    QFETCH(QStringList, numbers);
    SavedInvoices folder;
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    window->Vuosi->setCurrentIndex(yearItem);
    const QString year = yearItem > 0 ? window->Vuosi->currentText() : QString();
    for (const QChar key : keys) {
        if (key == u'\b')
            QTest::keyClick(window->Haku, Qt::Key_Backspace);
        else // A letter as the keyboard gives it, "ä" too.
            QTest::sendKeyEvent(QTest::Click, window->Haku, Qt::Key_unknown, QString(key), Qt::NoModifier);
        const LedgerFilter fresh = LedgerFilterOf(window->Haku->text(), year);
        QList<LedgerRow> found = window->Ledger->allRows();
        found.removeIf([&fresh](const LedgerRow &row) { return !LedgerRowMatches(row, fresh); });
        QStringList expected;
        for (const LedgerRow &row : std::as_const(found))
            expected.append(row.number);
        QCOMPARE(shown(*window, LedgerNumberColumn), expected);
        QCOMPARE(window->Yhteensa->text(), LedgerSumsText(LedgerSumsOf(found)));
    }
    QCOMPARE(shown(*window, LedgerNumberColumn), numbers);
}

void LedgerWindowTest::enterOpensTheInvoiceAndShowsItsPayments()
{
    SavedInvoices folder;
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    QTest::mouseClick(window->MerkitseMaksetuksi, Qt::LeftButton);
    QTest::mouseClick(window->PoistaMaksu, Qt::LeftButton);
    QCOMPARE(fixture.prompter().takeMessages(),
             (QStringList{u"Valitse ensin lasku luettelosta."_s, u"Valitse ensin poistettava maksu."_s}));
    // The messages belong to "Laskut", which stays in front of the main window.
    QCOMPARE(fixture.prompter().messageWindows, (QStringList{u"Laskut"_s, u"Laskut"_s}));
    clickInvoice(*window, u"3"_s);
    QCOMPARE(window->Maksut->count(), 1);
    QCOMPARE(window->Maksut->item(0)->text(), u"10.11.2025   40,00 €   käsin"_s);
    clickInvoice(*window, u"10"_s);
    QCOMPARE(window->Maksut->count(), 0);
    QTest::keyClick(window->Taulukko, Qt::Key_Return);
    QCOMPARE(fixture.form().LaskuNro1->text(), u"10"_s);
    QCOMPARE(fixture.form().AsiakNimi1->currentText(), u"Äkäslompolo Ky"_s);
    QCOMPARE(fixture.form().TotSum->text(), u"125,50"_s);
    QCOMPARE(fixture.form().OpenedInvoiceFile, folder.path() + u"2026/10.csv"_s);
}

void LedgerWindowTest::markedPaymentIsKeptAndRemoved_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("the open amount today")
        << QStringList{u"7.12.2026"_s, u"250,00"_s} << QString() << u"maksettu"_s
        << QByteArray("2026,2,7.12.2026,\"250,00\",2008,\" \",\" \",k\xe4sin\r\n");
    QTest::newRow("part of it earlier, with a point")
        << QStringList{u"3.12.2026"_s, u"100.5"_s} << QString() << u"erääntynyt"_s
        << QByteArray("2026,2,3.12.2026,\"100,50\",2008,\" \",\" \",k\xe4sin\r\n");
    QTest::newRow("no date")
        << QStringList{u"32.12.2026"_s}
        << u"Maksupäivä \"32.12.2026\" ei ole päiväys; kirjoita se muodossa p.k.vvvv, esim. 7.12.2026."_s
        << u"erääntynyt"_s << QByteArray();
    QTest::newRow("no amount") << QStringList{u"7.12.2026"_s, u"12,345"_s}
                               << u"Summa \"12,345\" ei ole maksu; kirjoita euroina ja sentteinä, esim. 125,50."_s
                               << u"erääntynyt"_s << QByteArray();
}

void LedgerWindowTest::markedPaymentIsKeptAndRemoved()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, message);
    QFETCH(QString, status);
    QFETCH(QByteArray, line);
    SavedInvoices folder;
    const QByteArray before = readBytes(PaymentsFilePath(folder.path()));
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    clickInvoice(*window, u"2"_s);
    for (const QString &answer : answers)
        fixture.prompter().answerInput(answer);
    QTest::mouseClick(window->MerkitseMaksetuksi, Qt::LeftButton);
    QCOMPARE(fixture.prompter().takeMessages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(fixture.prompter().inputValues.first(), u"7.12.2026"_s);
    if (answers.size() > 1)
        QCOMPARE(fixture.prompter().inputValues.last(), u"250,00"_s);
    QCOMPARE(statusOf(*window, u"2"_s), status);
    QCOMPARE(readBytes(PaymentsFilePath(folder.path())), before + line);
    if (line.isEmpty())
        return;

    QCOMPARE(window->Maksut->count(), 1);
    window->Maksut->setCurrentRow(0);
    fixture.prompter().answerQuestion(false);
    QTest::mouseClick(window->PoistaMaksu, Qt::LeftButton);
    QCOMPARE(readBytes(PaymentsFilePath(folder.path())), before + line);
    window->Maksut->setCurrentRow(0);
    fixture.prompter().answerQuestion(true);
    QTest::mouseClick(window->PoistaMaksu, Qt::LeftButton);
    QCOMPARE(fixture.prompter().questions.size(), 2);
    QVERIFY(fixture.prompter().questions.last().startsWith(u"Poistetaanko laskun 2 maksu"_s));
    QCOMPARE(readBytes(PaymentsFilePath(folder.path())), before);
    QCOMPARE(statusOf(*window, u"2"_s), u"erääntynyt"_s);
    QCOMPARE(window->Maksut->count(), 0);
}

// The reminders saved of an invoice follow its payments in the list below
// the table, and the table shows the latest one's date; "Poista maksu"
// removes payments alone.
void LedgerWindowTest::remindersListedUnderTheirInvoice()
{
    SavedInvoices folder;
    const Payment payment{u"2026"_s, u"2"_s, QDate(2026, 12, 3), 10000, QString(), QString(), QString(),
                          kManualPaymentSource.toString()};
    WritePaymentsFile(PaymentsFilePath(folder.path()), ReadPaymentsFile(PaymentsFilePath(folder.path())) + QList{payment});
    saveReminder(folder, u"2026"_s, u"2"_s, 2, QDate(2026, 12, 7), 26050);
    saveReminder(folder, u"2026"_s, u"2"_s, 1, QDate(2026, 11, 20), 25513);
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    QCOMPARE(window->Taulukko->model()->headerData(LedgerRemindedColumn, Qt::Horizontal).toString(),
             u"Muistutettu"_s);
    QCOMPARE(shown(*window, LedgerRemindedColumn), (QStringList{QString(), QString(), u"7.12.2026"_s, QString()}));
    QCOMPARE(window->Ohitetut->text(), QString());
    clickHeading(*window, LedgerRemindedColumn);
    QCOMPARE(shown(*window, LedgerNumberColumn).last(), u"2"_s);

    clickInvoice(*window, u"2"_s);
    const QStringList listed = {u"3.12.2026   100,00 €   käsin"_s, u"Maksumuistutus 1, 20.11.2026: 255,13 €"_s,
                                u"Maksumuistutus 2, 7.12.2026: 260,50 €"_s};
    QStringList texts;
    for (int i = 0; i < window->Maksut->count(); ++i)
        texts.append(window->Maksut->item(i)->text());
    QCOMPARE(texts, listed);

    const QByteArray payments = readBytes(PaymentsFilePath(folder.path()));
    window->Maksut->setCurrentRow(1);
    QTest::mouseClick(window->PoistaMaksu, Qt::LeftButton);
    QCOMPARE(fixture.prompter().takeMessages(), QStringList{u"Valitse ensin poistettava maksu."_s});
    QCOMPARE(readBytes(PaymentsFilePath(folder.path())), payments);
    window->Maksut->setCurrentRow(0);
    fixture.prompter().answerQuestion(true);
    QTest::mouseClick(window->PoistaMaksu, Qt::LeftButton);
    QCOMPARE(ReadPaymentsFile(PaymentsFilePath(folder.path())).size(), 1);
    texts.clear();
    for (int i = 0; i < window->Maksut->count(); ++i)
        texts.append(window->Maksut->item(i)->text());
    QCOMPARE(texts, listed.mid(1));
}

void LedgerWindowTest::savedInvoiceAppearsAndStaysAfterRestart()
{
    SavedInvoices folder;
    {
        FormFixture fixture(folder.settings());
        QVERIFY(fixture.show());
        LedgerWindow *window = openLedger(fixture);
        QVERIFY(window);
        clickInvoice(*window, u"1"_s);
        fixture.prompter().answerInput(u"5.12.2026"_s);
        fixture.prompter().answerInput(u"60,00"_s);
        QTest::mouseClick(window->MerkitseMaksetuksi, Qt::LeftButton);

        TForm1 &form = fixture.form();
        form.LaskuNro1->setText(u"11"_s);
        form.AsiakNimi1->setEditText(u"Uusi Asiakas"_s);
        form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s, QString()});
        QTest::mouseClick(form.Valmis1, Qt::LeftButton);
        QCOMPARE(shown(*window, LedgerNumberColumn), (QStringList{u"3"_s, u"1"_s, u"2"_s, u"10"_s, u"11"_s}));
        QCOMPARE(shown(*window, LedgerCustomerColumn).last(), u"Uusi Asiakas"_s);
    }
    WriteTextLines(folder.path() + u"2026/muistio.csv"_s, {u"Soita asiakkaalle"_s});
    FormFixture restarted(folder.settings());
    QVERIFY(restarted.show());
    LedgerWindow *window = openLedger(restarted);
    QVERIFY(window);
    QCOMPARE(shown(*window, LedgerStatusColumn),
             (QStringList{u"maksettu"_s, u"osittain maksettu"_s, u"erääntynyt"_s, u"avoin"_s, u"avoin"_s}));
    QCOMPARE(shown(*window, LedgerPaidColumn),
             (QStringList{u"40,00"_s, u"60,00"_s, u"0,00"_s, u"0,00"_s, u"0,00"_s}));
    QCOMPARE(window->Ohitetut->text(), u"Vuosikansioissa on 1 tiedostoa, jotka eivät ole laskuja."_s);
    QVERIFY(window->Ohitetut->toolTip().contains(u"muistio.csv"_s));
}

void LedgerWindowTest::listFromTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("withSaveFolder");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString heading =
        u"Vuosi\tNumero\tPäiväys\tAsiakas\tViite\tEräpäivä\tSumma\tMaksettu\tAvoinna\tTila\tMuistutettu\t"
        "Perintä\n"_s;
    const QString of2025 =
        u"2025\t3\t1.11.2025\tAalto\t3007\t15.11.2025\t40,00\t40,00\t0,00\tmaksettu\t\t0,00\n"_s;
    // The latest reminder's interest and fee are owed with the invoice.
    const QString of2026 =
        u"2026\t1\t1.12.2026\tVirtanen Oy\t1009\t1.1.2100\t100,00\t0,00\t100,00\tavoin\t\t0,00\n"
        "2026\t2\t1.12.2026\tÖljy-Nieminen\t2008\t1.1.2100\t250,00\t0,00\t260,50\tavoin\t7.12.2026\t10,50\n"_s;
    QTest::newRow("every year") << QStringList{u"--list"_s} << true << 0
                                << heading + of2025 + of2026 << QString();
    QTest::newRow("one year, a profile") << QStringList{u"--list"_s, u"2025"_s, u"--profile"_s, u"firma"_s}
                                         << true << 0 << heading + of2025 << QString();
    QTest::newRow("a year without invoices") << QStringList{u"--list"_s, u"1999"_s} << true << 0 << heading
                                             << QString();
    QTest::newRow("no save folder") << QStringList{u"--list"_s} << false << 2 << QString()
                                    << u"laskutus: tallennuskansiota "_s;
    QTest::newRow("no settings file") << QStringList{u"--list"_s, u"--profile"_s, u"toinen"_s} << true << 2
                                      << QString() << u"laskutus: asetustiedostoa "_s;
}

void LedgerWindowTest::listFromTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, withSaveFolder);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    SavedInvoices folder;
    // Due in the far future: the statuses do not depend on the day the test runs.
    folder.save(u"2026/1.csv"_s, invoice(u"1"_s, u"1.12.2026"_s, u"1.1.2100"_s, u"Virtanen Oy"_s, u"100,00"_s));
    folder.save(u"2026/2.csv"_s, invoice(u"2"_s, u"1.12.2026"_s, u"1.1.2100"_s, u"Öljy-Nieminen"_s, u"250,00"_s));
    QDir(folder.path() + u"2026"_s).remove(u"10.csv"_s);
    saveReminder(folder, u"2026"_s, u"2"_s, 1, QDate(2026, 11, 20), 25513);
    saveReminder(folder, u"2026"_s, u"2"_s, 2, QDate(2026, 12, 7), 26050);
    QTemporaryDir program;
    QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program.filePath(u"laskutus"_s));
    const QByteArray settings = withSaveFolder ? folder.settings() : QByteArray("[Laskuttaja]\r\nNimi=Testi Oy\r\n");
    writeBytes(program.filePath(u"laskutus.INI"_s), settings);
    writeBytes(program.filePath(u"firma.ini"_s), settings);
    const auto everyFile = [&] {
        QMap<QString, QByteArray> files;
        for (const QString &root : {folder.data.path(), program.path()}) {
            QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString file = it.next();
                // The save folder's index is the program's to keep.
                if (it.fileName() != kIndexFileName)
                    files.insert(file, readBytes(file));
            }
        }
        return files;
    };
    const QMap<QString, QByteArray> before = everyFile();

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.remove(u"DISPLAY"_s);
    process.setProcessEnvironment(environment);
    process.start(program.filePath(u"laskutus"_s), arguments);
    QVERIFY(process.waitForFinished(60000));
    const QString printed = QString::fromUtf8(process.readAllStandardOutput());
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(printed, out);
    const QString reported = QString::fromUtf8(process.readAllStandardError());
    if (err.isEmpty())
        QCOMPARE(reported, QString());
    QVERIFY2(reported.startsWith(err), qPrintable(reported));
    QCOMPARE(everyFile(), before);
}

// "Tuo maksut…" shows the bank's payments matched to the invoices before
// storing them; the same file again is all "jo tuotu", and cancelled stores
// nothing.
void LedgerWindowTest::bankFileImportedFromTheWindow()
{
    SavedInvoices folder;
    QTemporaryDir bank;
    const QString camt = bank.filePath(u"tiliote.xml"_s);
    const QString reference1 = AppendCheckDigit(u"100"_s);
    writeBytes(camt, camtOf(u"camt.054.001.04"_s,
                            {Payment{QString(), QString(), QDate(2026, 12, 5), 10000, reference1, u"Virtanen Oy"_s,
                                     u"A1"_s, QString()},
                             Payment{QString(), QString(), QDate(2026, 12, 5), 10000,
                                     RfReference(AppendCheckDigit(u"1000"_s)), u"Äkäs"_s, u"A2"_s, QString()},
                             Payment{QString(), QString(), QDate(2026, 12, 6), 5000, AppendCheckDigit(u"777"_s),
                                     u"Tuntematon"_s, u"A3"_s, QString()}}));
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    QCOMPARE(statusOf(*window, u"1"_s), u"avoin"_s);

    fixture.prompter().answerOpen(camt);
    fixture.prompter().answerTable(true);
    QTest::mouseClick(window->TuoMaksut, Qt::LeftButton);
    QCOMPARE(fixture.prompter().takeMessages(), QStringList());
    QCOMPARE(fixture.prompter().tablesShown.size(), 1);
    QCOMPARE(fixture.prompter().tablesShown[0],
             (QStringList{u"tiliote.xml: 3 maksua (camt.054.001.04), tallennettavia 3."_s,
                          u"maksaa laskun\t5.12.2026\t100,00\t%1\tVirtanen Oy\t2026/1"_s.arg(reference1),
                          u"osasuoritus\t5.12.2026\t100,00\t%1\tÄkäs\t2026/10"_s.arg(
                              RfReference(AppendCheckDigit(u"1000"_s))),
                          u"tuntematon viite\t6.12.2026\t50,00\t%1\tTuntematon\t"_s.arg(AppendCheckDigit(u"777"_s))}));
    QCOMPARE(statusOf(*window, u"1"_s), u"maksettu"_s);
    QCOMPARE(statusOf(*window, u"10"_s), u"osittain maksettu"_s);
    const QByteArray stored = readBytes(PaymentsFilePath(folder.path()));
    QCOMPARE(ReadPaymentsFile(PaymentsFilePath(folder.path())).size(), 4);

    fixture.prompter().answerOpen(camt);
    fixture.prompter().answerTable(false);
    QTest::mouseClick(window->TuoMaksut, Qt::LeftButton);
    QCOMPARE(fixture.prompter().tablesShown.size(), 2);
    QVERIFY(fixture.prompter().tablesShown[1].constFirst().endsWith(u"tallennettavia 0."_s));
    QCOMPARE(fixture.prompter().tablesShown[1].filter(u"jo tuotu\t"_s).size(), 3);
    QCOMPARE(readBytes(PaymentsFilePath(folder.path())), stored);
}

// A year of 500 invoices paid through a bank's camt.054 and reference-payment
// files imported from the command line: every invoice's status is right in
// the list, and stays so when the list is read again; the same files again
// store nothing.
void LedgerWindowTest::yearOfInvoicesPaidFromBankFiles()
{
    SavedInvoices folder;
    QDir(folder.path() + u"2026"_s).removeRecursively();
    QDir(folder.path() + u"2025"_s).removeRecursively();
    QFile::remove(PaymentsFilePath(folder.path()));
    QTemporaryDir program;
    QFile::copy(QStringLiteral(LASKUTUS_EXECUTABLE), program.filePath(u"laskutus"_s));
    writeBytes(program.filePath(u"laskutus.INI"_s), folder.settings());

    QList<Payment> byCamt;
    QList<Payment> byReferenceFile;
    QStringList expected;
    for (int n = 1; n <= 500; ++n) {
        const QString number = QString::number(n);
        const QString base = AppendCheckDigit(u"2026"_s + number.rightJustified(4, u'0'));
        const QString reference = n % 3 == 0 ? RfReference(base) : base;
        // n euros and n cents, VAT included; due long ago, so what is unpaid
        // is overdue, but for the partly paid ones, due in the far future.
        const QString price = u"%1,%2"_s.arg(n).arg(n % 100, 2, 10, QChar(u'0'));
        InvoiceData data = invoice(number, u"1.6.2026"_s, n % 5 == 1 ? u"1.1.2100"_s : u"15.6.2026"_s,
                                   u"Asiakas "_s + number, price);
        data.header[ReferenceField] = reference;
        folder.save(u"2026/"_s + number + u".csv"_s, data);
        const qint64 cents = n * 100 + n % 100;
        const Payment paid{QString(), QString(), QDate(2026, 6, 20), cents, reference, u"Maksaja"_s,
                           u"ARK"_s + number, QString()};
        switch (n % 5) {
        case 0:
            byCamt << paid;
            expected << u"maksettu"_s;
            break;
        case 1:
            byCamt << Payment{paid.year, paid.invoiceNumber, paid.date, cents / 2, reference, paid.payer,
                              paid.archiveId, QString()};
            expected << u"osittain maksettu"_s;
            break;
        case 2:
            byReferenceFile << paid;
            expected << u"maksettu"_s;
            break;
        case 3:
            expected << u"erääntynyt"_s;
            break;
        default:
            // Paid twice over two files: the second overpays, owed back.
            byCamt << paid;
            byReferenceFile << Payment{paid.year, paid.invoiceNumber, paid.date.addDays(1), 100, base, paid.payer,
                                       u"ARKX"_s + number, QString()};
            expected << u"palautettava"_s;
            break;
        }
    }
    // The bank reported one payment in both files: counted once.
    byReferenceFile << byCamt.constFirst();
    const QString camt = program.filePath(u"tiliote.xml"_s);
    const QString referenceFile = program.filePath(u"viitteet.txt"_s);
    writeBytes(camt, camtOf(u"camt.054.001.02"_s, byCamt));
    writeBytes(referenceFile, referenceFileOf(byReferenceFile));

    const ProgramRun imported = runProgram(program, {u"--import-payments"_s, camt, referenceFile});
    QVERIFY2(imported.status == 0, qPrintable(imported.err));
    const QStringList printed = imported.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(printed.size(), 1 + byCamt.size() + byReferenceFile.size());
    QCOMPARE(printed.filter(u"jo tuotu\t"_s).size(), 1);
    QCOMPARE(printed.filter(u"ylisuoritus\t"_s).size(), 100);

    for (int listing = 0; listing < 2; ++listing) {
        const ProgramRun list = runProgram(program, {u"--list"_s, u"2026"_s});
        QCOMPARE(list.status, 0);
        const QStringList lines = list.out.split(u'\n', Qt::SkipEmptyParts).mid(1);
        QCOMPARE(lines.size(), 500);
        QStringList statuses;
        for (const QString &line : lines)
            statuses << line.section(u'\t', 9, 9);
        QCOMPARE(statuses, expected);
    }

    const QByteArray stored = readBytes(PaymentsFilePath(folder.path()));
    const ProgramRun again = runProgram(program, {u"--import-payments"_s, referenceFile, camt});
    QCOMPARE(again.status, 0);
    QCOMPARE(again.out.split(u'\n', Qt::SkipEmptyParts).filter(u"jo tuotu\t"_s).size(),
             byCamt.size() + byReferenceFile.size());
    QCOMPARE(readBytes(PaymentsFilePath(folder.path())), stored);
}

// A payment whose reference matched nothing and an overpayment are listed
// under "Kohdistamattomat suoritukset"; "Kohdista laskulle…" gives each to an
// invoice, and "Peru kohdistus" takes a payment back.
void LedgerWindowTest::unallocatedPaymentsGivenToAnInvoiceAndBack()
{
    SavedInvoices folder;
    const Payment unknown{QString(), QString(), QDate(2026, 12, 5), 5000, u"7771"_s, u"Tuntematon"_s, u"A3"_s,
                          u"tiliote.xml"_s};
    const Payment twice{u"2025"_s, u"3"_s, QDate(2025, 11, 12), 4000, QString(), QString(), QString(),
                        kManualPaymentSource.toString()};
    const QString paymentsPath = PaymentsFilePath(folder.path());
    WritePaymentsFile(paymentsPath, ReadPaymentsFile(paymentsPath) + QList<Payment>{unknown, twice});
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    QCOMPARE(statusOf(*window, u"3"_s), u"palautettava"_s);
    QVERIFY(!window->Kohdista->isEnabled());

    QTest::mouseClick(window->Kohdistamattomat, Qt::LeftButton);
    QVERIFY(window->Suoritukset->isVisible());
    QVERIFY(!window->Taulukko->isVisible());
    QVERIFY(!window->MerkitseMaksetuksi->isEnabled());
    const auto listed = [window] {
        QStringList rows;
        for (int row = 0; row < window->Suoritukset->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < window->Suoritukset->columnCount(); ++column)
                cells.append(window->Suoritukset->item(row, column)->text());
            rows.append(cells.join(u'|'));
        }
        return rows;
    };
    QCOMPARE(listed(), (QStringList{u"5.12.2026|50,00|7771|Tuntematon|tiliote.xml|viite ei vastaa yhtään laskua"_s,
                                    u"12.11.2025|40,00|||käsin|ylisuoritus laskulla 2025/3"_s}));
    QCOMPARE(window->Yhteensa->text(), u"2 kohdistamatonta suoritusta: yhteensä 90,00 €"_s);
    QTest::mouseClick(window->Kohdista, Qt::LeftButton);
    QCOMPARE(fixture.prompter().takeMessages(), QStringList{u"Valitse ensin kohdistettava suoritus."_s});

    // The unknown payment to invoice 2, typed by its number.
    window->Suoritukset->selectRow(0);
    fixture.prompter().answerInput(u"2"_s);
    QTest::mouseClick(window->Kohdista, Qt::LeftButton);
    QVERIFY(fixture.prompter().inputPrompts.last().startsWith(
        u"Kohdista laskulle…|Suoritus 5.12.2026 50,00 € (viite ei vastaa yhtään laskua)"_s));
    Payment allocated = unknown;
    allocated.year = u"2026"_s;
    allocated.invoiceNumber = u"2"_s;
    QCOMPARE(ReadPaymentsFile(paymentsPath).value(1), allocated);
    QCOMPARE(listed().size(), 1);

    // The overpayment of invoice 3 to invoice 10, not to invoice 3 itself.
    window->Suoritukset->selectRow(0);
    fixture.prompter().answerInput(u"3"_s);
    QTest::mouseClick(window->Kohdista, Qt::LeftButton);
    QCOMPARE(fixture.prompter().takeMessages(),
             QStringList{u"Ylisuoritus on jo laskulla 3; valitse lasku, jolle se siirretään."_s});
    window->Suoritukset->selectRow(0);
    fixture.prompter().answerInput(u"2026/10"_s);
    QTest::mouseClick(window->Kohdista, Qt::LeftButton);
    QCOMPARE(listed(), QStringList());
    QCOMPARE(window->Yhteensa->text(), u"0 kohdistamatonta suoritusta: yhteensä 0,00 €"_s);

    QTest::mouseClick(window->Kohdistamattomat, Qt::LeftButton);
    QVERIFY(window->Taulukko->isVisible());
    QCOMPARE(statusOf(*window, u"3"_s), u"maksettu"_s);
    QCOMPARE(statusOf(*window, u"2"_s), u"erääntynyt"_s);
    QCOMPARE(statusOf(*window, u"10"_s), u"osittain maksettu"_s);
    QCOMPARE(shown(*window, LedgerPaidColumn).value(shown(*window, LedgerNumberColumn).indexOf(u"10"_s)),
             u"40,00"_s);

    // And back: invoice 2's payment is once more of no invoice.
    clickInvoice(*window, u"2"_s);
    QCOMPARE(window->Maksut->count(), 1);
    window->Maksut->setCurrentRow(0);
    QTest::mouseClick(window->PeruKohdistus, Qt::LeftButton);
    QCOMPARE(ReadPaymentsFile(paymentsPath).value(1), unknown);
    QCOMPARE(statusOf(*window, u"2"_s), u"erääntynyt"_s);
    QCOMPARE(window->Maksut->count(), 0);
    QTest::mouseClick(window->Kohdistamattomat, Qt::LeftButton);
    QCOMPARE(listed().size(), 1);
}

void LedgerWindowTest::sumsLineAddsTheRowsShown_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("totals");
    // Invoice 1 (100,00) is credited 30,00 by 2027/12; invoice 2 (250,00)
    // is reminded, 10,50 of interest and fee owed with it.
    QTest::newRow("every year") << QString() << QString()
                                << u"5 laskua: summa 485,50 €, maksettu 40,00 €, avoinna 456,00 €"_s;
    QTest::newRow("the credited invoice's year, its credit note of the next")
        << QString() << u"2026"_s << u"3 laskua: summa 475,50 €, maksettu 0,00 €, avoinna 456,00 €"_s;
    QTest::newRow("the credit note alone") << QString() << u"2027"_s
                                           << u"1 laskua: summa -30,00 €, maksettu 0,00 €, avoinna 0,00 €"_s;
    QTest::newRow("the reminded invoice") << u"nieminen"_s << QString()
                                          << u"1 laskua: summa 250,00 €, maksettu 0,00 €, avoinna 260,50 €"_s;
}

// The foot of "Laskut" sums the columns of the rows it shows: what is open
// is the sum of their open amounts, a credit note of another year and a
// reminder's claim counted as the rows count them.
void LedgerWindowTest::sumsLineAddsTheRowsShown()
{
    QFETCH(QString, typed);
    QFETCH(QString, year);
    QFETCH(QString, totals);
    SavedInvoices folder;
    const InvoiceData credited = invoice(u"1"_s, u"1.12.2026"_s, u"21.12.2026"_s, u"Virtanen Oy"_s, u"100,00"_s);
    InvoiceData note = CreditNoteOf(
        credited, invoice(u"12"_s, u"4.1.2027"_s, u"18.1.2027"_s, u"Virtanen Oy"_s, u"0,00"_s).header);
    note.rows.last()[PriceColumn] = u"30,00"_s;
    folder.save(u"2027/12.csv"_s, note);
    saveReminder(folder, u"2026"_s, u"2"_s, 1, QDate(2026, 12, 7), 26050);
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    window->Vuosi->setCurrentIndex(std::max(0, window->Vuosi->findText(year)));
    QTest::keyClicks(window->Haku, typed);
    QCOMPARE(window->Yhteensa->text(), totals);
    qint64 open = 0;
    for (const QString &cell : shown(*window, LedgerOpenColumn))
        open += ParseTypedAmount(cell).value();
    QVERIFY2(window->Yhteensa->text().endsWith(u"avoinna %1 €"_s.arg(PaymentAmountText(open))),
             qPrintable(window->Yhteensa->text()));
}

// Another copy of the program (or a person) changes the save folder while
// "Laskut" is open: the next look at it, "Laskut…" chosen again, shows the
// invoice's new total whether its file kept its size or not, an invoice
// added and one removed, and a payment marked elsewhere.
void LedgerWindowTest::filesChangedByAnotherProgramShownAgain()
{
    SavedInvoices folder;
    FormFixture fixture(folder.settings());
    QVERIFY(fixture.show());
    LedgerWindow *window = openLedger(fixture);
    QVERIFY(window);
    QCOMPARE(shown(*window, LedgerTotalColumn), (QStringList{u"40,00"_s, u"100,00"_s, u"250,00"_s, u"125,50"_s}));

    const QString ten = folder.path() + u"2026/10.csv"_s;
    const QDateTime written = QFileInfo(ten).lastModified();
    const qint64 size = QFileInfo(ten).size();
    // Same size, a later time: 125,50 becomes 521,50.
    folder.save(u"2026/10.csv"_s, invoice(u"10"_s, u"3.12.2026"_s, u"17.12.2026"_s, u"Äkäslompolo Ky"_s, u"521,50"_s));
    QCOMPARE(QFileInfo(ten).size(), size);
    QFile file(ten);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(written.addSecs(2), QFileDevice::FileModificationTime));
    file.close();
    // A longer file, an invoice added and one removed.
    folder.save(u"2026/2.csv"_s, invoice(u"2"_s, u"2.11.2026"_s, u"1.12.2026"_s, u"Öljy-Nieminen"_s, u"1250,00"_s));
    folder.save(u"2026/20.csv"_s, invoice(u"20"_s, u"6.12.2026"_s, u"20.12.2026"_s, u"Uusi Oy"_s, u"10,00"_s));
    QVERIFY(QFile::remove(folder.path() + u"2025/3.csv"_s));
    const QString paymentsPath = PaymentsFilePath(folder.path());
    WritePaymentsFile(paymentsPath, ReadPaymentsFile(paymentsPath)
                                        + QList{Payment{u"2026"_s, u"1"_s, QDate(2026, 12, 6), 10000, QString(),
                                                        QString(), QString(), kManualPaymentSource.toString()}});

    QVERIFY(openLedger(fixture) == window);
    QCOMPARE(shown(*window, LedgerNumberColumn), (QStringList{u"1"_s, u"2"_s, u"10"_s, u"20"_s}));
    QCOMPARE(shown(*window, LedgerTotalColumn), (QStringList{u"100,00"_s, u"1250,00"_s, u"521,50"_s, u"10,00"_s}));
    QCOMPARE(statusOf(*window, u"1"_s), u"maksettu"_s);
    // The payment of the removed invoice is money of no invoice now.
    QCOMPARE(window->Yhteensa->text(), u"4 laskua: summa 1881,50 €, maksettu 100,00 €, avoinna 1781,50 €"_s);
    QTest::mouseClick(window->Kohdistamattomat, Qt::LeftButton);
    QCOMPARE(window->Suoritukset->rowCount(), 1);
}

QTEST_MAIN(LedgerWindowTest)
#include "tst_ledger.moc"
