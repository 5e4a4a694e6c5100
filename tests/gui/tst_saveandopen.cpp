// Saving invoices with "VALMIS/TALLENNA" and opening them with "Nouda lasku",
// as the user meets it: the files written byte for byte, refused invoices,
// unsafe numbers, unwritable folders, the counters and the save folder.

#include "app/commandline.h"
#include "app/inifile.h"
#include "app/batchexport.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"
#include "storage/cp1252.h"
#include "storage/folderindex.h"
#include "storage/gridline.h"
#include "storage/invoicefile.h"
#include "storage/ledgerwindow.h"
#include "storage/savelimits.h"
#include "storage/textfile.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMainWindow>
#include <QMap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <memory>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString kIncomplete = u"Puuttellinen lasku\r\nEi tallennettu"_s;
// After the due date: no buyer's e-invoice address, no credited invoice, then
// the biller the invoice is issued with, the default biller details.
const QString kIssuedByDefaultBiller = u",\"\",\"\",\"\",\"\",\"Nimi?\",\"Osoite?\",\"\",\"00000 KAUPUNKI?\",\"1234567-8?\","
                                       u"\"1234567-8?\",\"FI00 0000 0000 0000 00?\",\"BANKBANK?\""_s;
// A damaged file that is a FIFO rather than bytes.
constexpr qint64 kFifo = -1;

QByteArray cp(const QString &text)
{
    return stringToCp1252(text);
}

// Every file and folder under a folder, relative to it.
QStringList treeOf(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(QDir(folder).relativeFilePath(it.next()));
    entries.sort();
    return entries;
}

// The files under a folder, relative to it, that hold exactly these bytes.
QStringList filesHolding(const QString &folder, const QByteArray &bytes)
{
    QStringList holding;
    for (const QString &entry : treeOf(folder)) {
        const QString path = QDir(folder).filePath(entry);
        if (QFileInfo(path).isFile() && readBytes(path) == bytes)
            holding.append(entry);
    }
    return holding;
}

// A program folder with its settings, and a separate save folder.
class Saving
{
public:
    explicit Saving(const QString &billerLines = QString(), bool withSaveFolder = true)
    {
        QString text;
        if (withSaveFolder)
            text += u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(m_data.path()) + QDir::separator() + u"\r\n"_s;
        if (!billerLines.isEmpty())
            text += u"[Laskuttaja]\r\n"_s + billerLines;
        m_fixture = std::make_unique<FormFixture>(text.isEmpty() ? QByteArray() : cp(text));
    }

    TForm1 &form() { return m_fixture->form(); }
    FormFixture &fixture() { return *m_fixture; }
    ScriptedPrompter &prompter() { return m_fixture->prompter(); }
    QString data(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? m_data.path() : m_data.filePath(relative);
    }
    QString setting(const QString &key) const
    {
        return ReadIniString(m_fixture->settingsPath(), u"Laskuttaja"_s, key, u"<missing>"_s);
    }

private:
    QTemporaryDir m_data;
    std::unique_ptr<FormFixture> m_fixture;
};

void fillInvoice(TForm1 &form, const QString &name, const QStringList &address,
                 const QList<QStringList> &rows)
{
    form.AsiakNimi1->setEditText(name);
    for (int i = 0; i < address.size(); ++i)
        form.AsiakOsoite1->setCell(1, i + 1, address[i]);
    for (int r = 0; r < rows.size(); ++r)
        form.LaskuRivit1->setRowCells(r + 1, rows[r]);
}

const QList<QStringList> kWorkRow = {
    {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s, u"125,50"_s}};

void clickSave(TForm1 &form)
{
    QTest::mouseClick(form.Valmis1, Qt::LeftButton);
}

// What the window's status bar shows, as a person reads it.
QString statusText(TForm1 &form)
{
    // A passing message covers the bar's widgets while it lasts.
    if (!form.statusBar()->currentMessage().isEmpty())
        return form.statusBar()->currentMessage();
    QStringList texts;
    for (const QLabel *label : form.statusBar()->findChildren<QLabel *>()) {
        if (label->isVisible() && !label->text().isEmpty())
            texts.append(label->text());
    }
    return texts.join(u' ');
}

// The invoices "Laskut" lists, as year/number.
QStringList ledgerInvoices(const LedgerWindow &ledger)
{
    QStringList invoices;
    for (int row = 0; row < ledger.Ledger->rowCount(); ++row)
        invoices.append(ledger.Ledger->rowAt(row).year + u'/' + ledger.Ledger->rowAt(row).number);
    return invoices;
}

// Every file under a folder with its bytes, to show nothing there changed.
QMap<QString, QByteArray> contentsOf(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    for (const QString &entry : treeOf(folder))
        contents.insert(entry, readBytes(QDir(folder).filePath(entry)));
    return contents;
}

} // namespace

class InvoiceFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void savingNewCustomerWritesFilesAndAdvances();
    void buyerEinvoiceSavedAndOpenedAgain();
    void openedInvoiceTakesBuyerEinvoiceFromRegister_data();
    void openedInvoiceTakesBuyerEinvoiceFromRegister();
    void newCustomerRegisteredWithBuyerEinvoice();
    void yellowPanelAlsoSaves();
    void handWrittenFileOpensAndSavesBackSame();
    void incompleteInvoiceIsRefused_data();
    void incompleteInvoiceIsRefused();
    void unsafeInvoiceNumberIsRefused_data();
    void unsafeInvoiceNumberIsRefused();
    void unwritableYearFolderKeepsInvoiceAndCounters();
    void unwritableRegisterStopsBeforeInvoiceFile();
    void tooLongTextIsRefusedBeforeAnythingIsWritten_data();
    void tooLongTextIsRefusedBeforeAnythingIsWritten();
    void whateverIsSavedOpensAgain();
    void unwritableSettingsKeepInvoiceOnScreen();
    void countersAdvanceOnlyFromCounter_data();
    void countersAdvanceOnlyFromCounter();
    void yearFolderFromInvoiceDate_data();
    void yearFolderFromInvoiceDate();
    void saveFolderAskedOnce_data();
    void saveFolderAskedOnce();
    void unopenableInvoiceIsNotSaved_data();
    void unopenableInvoiceIsNotSaved();
    void firstSaveAddsToFolderRegister();
    void saveFolderChangedFromMenu_data();
    void saveFolderChangedFromMenu();
    void folderDialogTakesTypedFolderOnEnter();
    void statusBarSaysWhereSaved_data();
    void statusBarSaysWhereSaved();
    void savingOverSavedInvoiceAsks_data();
    void savingOverSavedInvoiceAsks();
    void counterNeverWraps_data();
    void counterNeverWraps();
    void longTextsOpenAndSaveWhole();
    void extraRowsPageFollowsRowCount_data();
    void extraRowsPageFollowsRowCount();
    void dueDateRecomputedOnOpen_data();
    void dueDateRecomputedOnOpen();
    void placeholdersRoundTrip();
    void shortOrMalformedFilesOpen_data();
    void shortOrMalformedFilesOpen();
    void unreadableFileLeavesInvoiceOnScreen();
    void cancelledOpenChangesNothing();
    void emptyLinesMakeNoRows_data();
    void emptyLinesMakeNoRows();
    void nulHidesNothingOfTheFile_data();
    void nulHidesNothingOfTheFile();
    void damagedFileRefused_data();
    void damagedFileRefused();
    void savedInvoicesOpenAndExport_data();
    void savedInvoicesOpenAndExport();
    void openDialogListsInvoicesOnly();
    void invoiceNamedAtStartIsShown_data();
    void invoiceNamedAtStartIsShown();
    void pastedLines_data();
    void pastedLines();
};

void InvoiceFilesTest::savingNewCustomerWritesFilesAndAdvances()
{
    Saving s(u"SeurLasku=57\r\nSeurViite=1234\r\n"_s);
    TForm1 &form = s.form();
    QVERIFY(s.fixture().show());
    QCOMPARE(form.LaskuNro1->text(), u"57"_s);
    const QString reference = form.ViiteNro1->text();
    QCOMPARE(reference, u"12344"_s);
    fillInvoice(form, u"Matti Meikäläinen"_s, {u"Kuusikatu 1"_s, u"00100 HELSINKI"_s}, kWorkRow);
    form.AsiakY1->setText(u"1234567-8"_s);
    form.AsiakNro1->setText(u"99"_s);

    clickSave(form);

    QCOMPARE(s.prompter().takeMessages(), QStringList());
    const QByteArray expected = cp(
        u"\"57\",\"7.12.2026\",\""_s + reference + u"\",\"1234567-8\",\"1\",\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\",\"21.12.2026\""_s
        + kIssuedByDefaultBiller + u"\r\n"
        u"\"Matti Meikäläinen\",\"Kuusikatu 1\",\"00100 HELSINKI\",\" \"\r\n"
        u"\" \",Työ,2,h,\"50,00\",\"25,5\",\"125,50\"\r\n"_s);
    QCOMPARE(readBytes(s.data(u"2026/57.csv"_s)), expected);
    // Windows-1252: "ä" is the single byte E4.
    QVERIFY(expected.contains("Meik\xE4l\xE4inen"));
    QCOMPARE(readBytes(s.data(u"AsiakRek.csv"_s)),
             cp(u"\"Matti Meikäläinen\",\"Kuusikatu 1\",\"00100 HELSINKI\",\" \",1234567-8,1\r\n"_s));
    QCOMPARE(s.setting(u"SeurLasku"_s), u"58"_s);
    QCOMPARE(s.setting(u"SeurViite"_s), u"1235"_s);

    // A fresh invoice with the next number and reference.
    QCOMPARE(form.LaskuNro1->text(), u"58"_s);
    QCOMPARE(form.ViiteNro1->text(), u"12357"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), QString());
    QCOMPARE(form.AsiakNro1->text(), QString());
    QCOMPARE(form.LaskuRivit1->cell(1, 1), QString());
    QCOMPARE(form.AsiakRekisteri1->cell(5, 1), u"1"_s);
}

void InvoiceFilesTest::yellowPanelAlsoSaves()
{
    Saving s;
    fillInvoice(s.form(), u"Yritys"_s, {}, kWorkRow);
    QTest::mouseClick(s.form().Panel2, Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(QFile::exists(s.data(u"2026/1.csv"_s)));
    QCOMPARE(s.form().LaskuNro1->text(), u"2"_s);
}

void InvoiceFilesTest::handWrittenFileOpensAndSavesBackSame()
{
    Saving s;
    TForm1 &form = s.form();
    // Written by hand: CR-only line ends, quoted commas and doubled quotes,
    // placeholders, Finnish letters and the euro sign (byte 128).
    const QString text =
        u"\"58\",\"1.12.2026\",\"1009\",\"FI 1234567-8\",\"7\"\r"
        u"\"Oy \"\"Äijä\"\" Ab\",\"Katu 1, B 2\",\"00100 HELSINKI\",\" \"\r"
        u"\" \",Työ,2,h,\"50,00\",\"25,5\",\"125,50\"\r"
        u"A1,\"Kahvi, tumma \"\"Öljy\"\" 5 €\",1,kpl,\"5,00\",14,\"5,70\"\r"_s;
    const QByteArray bytes = cp(text);
    QVERIFY(bytes.contains(char(0x80)));
    writeBytes(s.data(u"hand.csv"_s), bytes);
    writeBytes(s.data(u"AsiakRek.csv"_s),
               cp(u"\"Oy \"\"Äijä\"\" Ab\",\"Katu 1, B 2\",\"00100 HELSINKI\",\" \",FI 1234567-8,7\r\n"_s));
    form.Cancel3Click(); // reads the register written above
    s.prompter().answerOpen(s.data(u"hand.csv"_s));

    form.Noudalasku1->trigger();

    QCOMPARE(form.LaskuNro1->text(), u"58"_s);
    QCOMPARE(form.LaskuPvm1->text(), u"1.12.2026"_s);
    QCOMPARE(form.ViiteNro1->text(), u"1009"_s);
    QCOMPARE(form.AsiakY1->text(), u"FI 1234567-8"_s);
    QCOMPARE(form.AsiakNro1->text(), u"7"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Oy \"Äijä\" Ab"_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), u"Katu 1, B 2"_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 2), u"00100 HELSINKI"_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 3), u" "_s);
    QCOMPARE(form.LaskuRivit1->rowCells(1),
             (QStringList{u" "_s, u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s, u"125,50"_s}));
    QCOMPARE(form.LaskuRivit1->rowCells(2),
             (QStringList{u"A1"_s, u"Kahvi, tumma \"Öljy\" 5 €"_s, u"1"_s, u"kpl"_s, u"5,00"_s,
                          u"14"_s, u"5,70"_s}));
    QCOMPARE(form.LaskuRivit1->rowCells(3), QStringList(7));
    QCOMPARE(form.EraPv2->text(), u"15.12.2026"_s);
    QCOMPARE(form.TotSum->text(), u"131,20"_s);
    QCOMPARE(form.AsiakNimi2->text(), u"Oy \"Äijä\" Ab"_s);
    QCOMPARE(form.AsiakOsoite2->text(), u"Katu 1, B 2"_s);
    QVERIFY(!form.LisaRivit1->isChecked());

    clickSave(form);

    QCOMPARE(s.prompter().takeMessages(), QStringList());
    // Saved again, it keeps its VAT mode, terms and due date.
    QByteArray crlf = bytes;
    crlf.replace('\r', "\r\n");
    crlf.replace("\"7\"\r\n", "\"7\",\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\",\"15.12.2026\""
                                + cp(kIssuedByDefaultBiller) + "\r\n");
    QCOMPARE(readBytes(s.data(u"2026/58.csv"_s)), crlf);
    // The customer was known: the register stays as it was.
    QCOMPARE(readBytes(s.data(u"AsiakRek.csv"_s)),
             cp(u"\"Oy \"\"Äijä\"\" Ab\",\"Katu 1, B 2\",\"00100 HELSINKI\",\" \",FI 1234567-8,7\r\n"_s));
}

void InvoiceFilesTest::incompleteInvoiceIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<bool>("registered");
    QTest::newRow("no customer name") << QString() << kWorkRow << false;
    QTest::newRow("no rows") << u"Yritys"_s << QList<QStringList>() << true;
    QTest::newRow("quantity 2 only")
        << u"Yritys"_s << QList<QStringList>{{QString(), QString(), u"2"_s}} << true;
    QTest::newRow("placeholders only")
        << u"Yritys"_s << QList<QStringList>{{u" "_s, u" "_s, u" "_s, u" "_s, u" "_s, u" "_s, u" "_s}} << true;
}

void InvoiceFilesTest::incompleteInvoiceIsRefused()
{
    QFETCH(QString, name);
    QFETCH(QList<QStringList>, rows);
    QFETCH(bool, registered);
    Saving s;
    TForm1 &form = s.form();
    fillInvoice(form, name, {u"Katu 1"_s}, rows);
    const QByteArray settings = s.fixture().settingsBytes();

    clickSave(form);

    QCOMPARE(s.prompter().takeMessages(), QStringList{kIncomplete});
    QCOMPARE(treeOf(s.data()), registered ? QStringList({u"2026"_s, u"AsiakRek.csv"_s}) : QStringList{u"2026"_s});
    QCOMPARE(s.fixture().settingsBytes(), settings);
    // The invoice stays on screen for correction.
    QCOMPARE(form.LaskuNro1->text(), u"1"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), name);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), u"Katu 1"_s);
    for (int r = 0; r < rows.size(); ++r)
        QCOMPARE(form.LaskuRivit1->cell(2, r + 1), rows[r].value(2));
}

void InvoiceFilesTest::unsafeInvoiceNumberIsRefused_data()
{
    QTest::addColumn<QString>("number");
    QTest::newRow("parent folder") << u"../x"_s;
    QTest::newRow("sub folder") << u"a/b"_s;
    QTest::newRow("backslash") << u"..\\x"_s;
    QTest::newRow("two dots") << u".."_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("colon") << u"c:x"_s;
    QTest::newRow("device name") << u"CON"_s;
    QTest::newRow("control character") << u"5\u0001"_s;
}

void InvoiceFilesTest::unsafeInvoiceNumberIsRefused()
{
    QFETCH(QString, number);
    Saving s;
    TForm1 &form = s.form();
    fillInvoice(form, u"Uusi Asiakas"_s, {u"Katu 1"_s}, kWorkRow);
    form.LaskuNro1->setText(number);
    const QByteArray settings = s.fixture().settingsBytes();
    const QStringList programFolder = treeOf(s.fixture().folder());

    clickSave(form);

    const QString path = QDir::toNativeSeparators(s.data()) + QDir::separator() + u"2026"_s
        + QDir::separator() + number + u".csv"_s;
    QCOMPARE(s.prompter().takeMessages(), QStringList{u"Cannot create file "_s + QDir::toNativeSeparators(path)});
    // Nothing written: no invoice, no register, no settings, nothing outside.
    QCOMPARE(treeOf(s.data()), QStringList{u"2026"_s});
    QCOMPARE(treeOf(s.fixture().folder()), programFolder);
    QVERIFY(!QFile::exists(s.data(u"../x.csv"_s)));
    QCOMPARE(s.fixture().settingsBytes(), settings);
    QCOMPARE(form.LaskuNro1->text(), number);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Uusi Asiakas"_s);
    QCOMPARE(form.AsiakNro1->text(), QString());
    QCOMPARE(form.LaskuRivit1->cell(1, 1), u"Työ"_s);
    QCOMPARE(form.AsiakRekisteri1->rowCount(), 2);
}

void InvoiceFilesTest::unwritableYearFolderKeepsInvoiceAndCounters()
{
    Saving s(u"SeurLasku=57\r\n"_s);
    TForm1 &form = s.form();
    // Root may write anywhere, but not into a "folder" that is a file.
    writeBytes(s.data(u"2026"_s), "not a folder");
    fillInvoice(form, u"Matti Meikäläinen"_s, {u"Kuusikatu 1"_s}, kWorkRow);
    const QByteArray settings = s.fixture().settingsBytes();

    clickSave(form);

    const QString path = s.data(u"2026/57.csv"_s);
    QCOMPARE(s.prompter().takeMessages(), QStringList{u"Cannot create file "_s + QDir::toNativeSeparators(path)});
    QCOMPARE(s.fixture().settingsBytes(), settings);
    QCOMPARE(form.NextNr1->text(), u"57"_s);
    QCOMPARE(form.LaskuNro1->text(), u"57"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Matti Meikäläinen"_s);
    QCOMPARE(form.LaskuRivit1->cell(1, 1), u"Työ"_s);
    // The customer was registered before the write failed, and stays.
    QCOMPARE(form.AsiakNro1->text(), u"1"_s);
    QVERIFY(readBytes(s.data(u"AsiakRek.csv"_s)).startsWith("\"Matti Meik"));
}

void InvoiceFilesTest::unwritableRegisterStopsBeforeInvoiceFile()
{
    Saving s;
    TForm1 &form = s.form();
    QVERIFY(QDir(s.data()).mkdir(u"AsiakRek.csv"_s));
    fillInvoice(form, u"Yritys"_s, {}, kWorkRow);
    const QByteArray settings = s.fixture().settingsBytes();

    clickSave(form);

    QCOMPARE(s.prompter().takeMessages(),
             QStringList{u"Cannot create file "_s + QDir::toNativeSeparators(s.data(u"AsiakRek.csv"_s))});
    QVERIFY(!QFile::exists(s.data(u"2026/1.csv"_s)));
    QCOMPARE(s.fixture().settingsBytes(), settings);
    QCOMPARE(form.LaskuNro1->text(), u"1"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Yritys"_s);
}

void InvoiceFilesTest::tooLongTextIsRefusedBeforeAnythingIsWritten_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("pasted name of 100018 characters")
        << u"name"_s << QString(100018, u'N') << InvoiceTooLongText(u"asiakkaan nimi ja osoite"_s);
    QTest::newRow("description of 60000 quotes, doubled when written")
        << u"description"_s << QString(60000, u'"') << InvoiceTooLongText(u"laskurivi 2"_s);
    QTest::newRow("reference number")
        << u"reference"_s << QString(99990, u'1') << InvoiceTooLongText(u"laskun numero, päiväys, viitenumero, Y-tunnus ja asiakasnumero"_s);
    // Fits the invoice's customer line, not the register's, which adds the
    // business ID and the customer number.
    QTest::newRow("address fitting only the invoice")
        << u"address"_s << QString(99975, u'A') << InvoiceTooLongText(u"asiakasrekisterin asiakas \"Uusi Asiakas\""_s);
}

// A save that could not be read back is refused whole: nothing written, the
// invoice on screen; shortened, it saves and opens again.
void InvoiceFilesTest::tooLongTextIsRefusedBeforeAnythingIsWritten()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Saving s(u"SeurLasku=57\r\n"_s);
    TForm1 &form = s.form();
    fillInvoice(form, u"Uusi Asiakas"_s, {}, kWorkRow + QList<QStringList>{{QString(), u"Toinen"_s}});
    const auto put = [&](const QString &value) {
        if (box == u"name"_s)
            form.AsiakNimi1->setEditText(value);
        else if (box == u"description"_s)
            form.LaskuRivit1->setCell(TextColumn, 2, value);
        else if (box == u"reference"_s)
            form.ViiteNro1->setText(value);
        else
            form.AsiakOsoite1->setCell(1, 1, value);
    };
    put(text);
    const QByteArray settings = s.fixture().settingsBytes();

    clickSave(form);

    QCOMPARE(s.prompter().takeMessages(), QStringList{message});
    QCOMPARE(treeOf(s.data()), QStringList{u"2026"_s});
    QCOMPARE(s.fixture().settingsBytes(), settings);
    QCOMPARE(form.LaskuNro1->text(), u"57"_s);
    QCOMPARE(form.AsiakNro1->text(), QString());
    QCOMPARE(form.AsiakRekisteri1->rowCount(), 2);
    QCOMPARE(form.LaskuRivit1->cell(TextColumn, 1), u"Työ"_s);

    put(text.first(text.size() / 2));
    clickSave(form);

    QCOMPARE(s.prompter().takeMessages(), QStringList());
    QCOMPARE(form.LaskuNro1->text(), u"58"_s);
    const std::optional<InvoiceData> saved = ReadInvoiceFileLines(ReadTextLines(s.data(u"2026/57.csv"_s)));
    QVERIFY(saved);
    QCOMPARE(saved->rows.size(), 2);
    QCOMPARE(ReadTextLines(s.data(u"AsiakRek.csv"_s)).size(), 1);
}

namespace {

// Texts as users type or paste them: every kind of character the files must
// carry or stand in for, and lengths up to past the longest line read.
QString randomText(QRandomGenerator &random)
{
    static const QStringList pieces = {u"a"_s,  u"Ö"_s,      u" "_s,      u"\""_s,      u","_s,      u"\r\n"_s,
                                       u"\n"_s, QString(1, QChar(u'\0')), u"\t"_s, u"€"_s,     u"\u00A0"_s,
                                       u"Ω"_s,  u"\u0085"_s, u"\U0001F600"_s, u"x,\"y\""_s, u"\"\""_s};
    const int kind = random.bounded(10);
    if (kind == 0)
        return QString();
    // Now and then a long text built of one repeated piece, around the limit
    // once written (a quote counts twice).
    if (kind == 1) {
        const QString &piece = pieces[random.bounded(pieces.size())];
        const int target = random.bounded(30000, int(kMaxTextLineLength) + 20);
        return piece.repeated(qMax(1, target / int(piece.size() * (piece.contains(u'"') ? 2 : 1))));
    }
    QString text;
    const int count = random.bounded(1, 12);
    for (int i = 0; i < count; ++i)
        text += pieces[random.bounded(pieces.size())];
    return text;
}

// A text as a file holds it: on one line, in Windows-1252.
QString asWritten(const QString &text)
{
    return cp1252ToString(stringToCp1252(OnOneLine(text)));
}

// Cells as written and read back: empty ones hold the blank placeholder.
QStringList cellsAsWritten(QStringList cells)
{
    FillPlaceholders(cells);
    for (QString &cell : cells)
        cell = asWritten(cell);
    return cells;
}

} // namespace

// Generated invoices saved with "VALMIS/TALLENNA": an invoice is either saved,
// and its file and the register then read back as they were saved, or refused
// with nothing written.
void InvoiceFilesTest::whateverIsSavedOpensAgain()
{
    QRandomGenerator random(20261207);
    int saved = 0;
    int refused = 0;
    for (int round = 0; round < 40; ++round) {
        Saving s;
        TForm1 &form = s.form();
        form.ViiteNro1->setText(randomText(random));
        form.AsiakY1->setText(randomText(random));
        QList<QStringList> rows;
        for (int r = 0, count = random.bounded(1, 4); r < count; ++r) {
            QStringList cells;
            for (int c = 0; c < RowColumnCount; ++c)
                cells.append(randomText(random));
            cells[TextColumn].prepend(u"Työ "_s);
            rows.append(cells);
        }
        QStringList address;
        for (int line = 0; line < 3; ++line)
            address.append(randomText(random));
        fillInvoice(form, u"Asiakas "_s + randomText(random), address, rows);
        // What the window holds is what is saved; the row totals are its own.
        form.RecalcInvoice();
        InvoiceData shown = form.CollectInvoice();
        const QString number = form.LaskuNro1->text();

        clickSave(form);

        const QStringList messages = s.prompter().takeMessages();
        const QString file = s.data(u"2026/"_s + number + u".csv"_s);
        if (!messages.isEmpty()) {
            ++refused;
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].contains(u" ei tallennettu: liian pitkä teksti, "_s), qPrintable(messages[0].left(200)));
            QCOMPARE(treeOf(s.data()), QStringList{u"2026"_s});
            QCOMPARE(form.AsiakNimi1->currentText(), shown.customer[CustomerNameLine]);
            continue;
        }
        ++saved;
        const QStringList registerLines = ReadTextLines(s.data(u"AsiakRek.csv"_s));
        const QList<QStringList> customers = ReadLinesIntoRows(registerLines, RegisterColumnCount);
        QCOMPARE(customers.size(), 1);
        QCOMPARE(customers[0][NameColumn], asWritten(shown.customer[CustomerNameLine]));
        std::optional<InvoiceData> read = ReadInvoiceFileLines(ReadTextLines(file));
        QVERIFY(read);
        // Values left empty at the end of the line are not written.
        read->header.resize(HeaderFieldCount);
        for (QString &value : shown.header)
            value = asWritten(value);
        shown.header[CustomerNumberField] = u"1"_s;
        QCOMPARE(read->header, shown.header);
        QCOMPARE(read->customer, cellsAsWritten(shown.customer));
        QList<QStringList> written;
        for (QStringList cells : std::as_const(shown.rows)) {
            if (FillPlaceholders(cells))
                written.append(cellsAsWritten(cells));
        }
        QCOMPARE(read->rows, written);
    }
    // Both ways were taken.
    QVERIFY2(saved >= 5 && refused >= 5, qPrintable(u"%1 saved, %2 refused"_s.arg(saved).arg(refused)));
}

void InvoiceFilesTest::unwritableSettingsKeepInvoiceOnScreen()
{
    Saving s(u"SeurLasku=57\r\n"_s);
    TForm1 &form = s.form();
    // The settings "file" is a folder: the invoice is written, the counters are not.
    QVERIFY(QFile::remove(s.fixture().settingsPath()));
    QVERIFY(QDir().mkdir(s.fixture().settingsPath()));
    fillInvoice(form, u"Yritys"_s, {}, kWorkRow);

    clickSave(form);

    QCOMPARE(s.prompter().takeMessages(),
             QStringList{u"Unable to write to "_s + QDir::toNativeSeparators(s.fixture().settingsPath())});
    QVERIFY(QFile::exists(s.data(u"2026/57.csv"_s)));
    QCOMPARE(form.LaskuNro1->text(), u"57"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Yritys"_s);
}

void InvoiceFilesTest::countersAdvanceOnlyFromCounter_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("nextNumber");
    QTest::addColumn<QString>("nextReference");
    QTest::addColumn<bool>("settingsWritten");
    QTest::newRow("999 becomes 1000") << u"999"_s << u"57"_s << u"58"_s << u"1000"_s << true;
    QTest::newRow("carry over a blank") << u"12 99"_s << u"57"_s << u"58"_s << u"13 00"_s << true;
    QTest::newRow("carry stops at a letter") << u"A99"_s << u"57"_s << u"58"_s << u"A00"_s << true;
    QTest::newRow("typed number leaves counters") << u"1234"_s << u"100"_s << u"57"_s << u"1234"_s << false;
}

void InvoiceFilesTest::countersAdvanceOnlyFromCounter()
{
    QFETCH(QString, reference);
    QFETCH(QString, number);
    QFETCH(QString, nextNumber);
    QFETCH(QString, nextReference);
    QFETCH(bool, settingsWritten);
    Saving s(u"SeurLasku=57\r\nSeurViite="_s + reference + u"\r\n"_s);
    TForm1 &form = s.form();
    fillInvoice(form, u"Yritys"_s, {}, kWorkRow);
    form.LaskuNro1->setText(number);
    const QByteArray settings = s.fixture().settingsBytes();

    clickSave(form);

    QCOMPARE(s.prompter().takeMessages(), QStringList());
    QVERIFY(QFile::exists(s.data(u"2026/"_s + number + u".csv"_s)));
    QCOMPARE(form.NextNr1->text(), nextNumber);
    QCOMPARE(form.NextViite1->text(), nextReference);
    QCOMPARE(form.LaskuNro1->text(), nextNumber);
    QCOMPARE(form.AsiakNimi1->currentText(), QString());
    QCOMPARE(s.setting(u"SeurLasku"_s), nextNumber);
    QCOMPARE(s.setting(u"SeurViite"_s), nextReference);
    QCOMPARE(s.fixture().settingsBytes() != settings, settingsWritten);
}

void InvoiceFilesTest::yearFolderFromInvoiceDate_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("file");
    QTest::newRow("full date") << u"31.1.2025"_s << u"2025/1.csv"_s;
}

void InvoiceFilesTest::yearFolderFromInvoiceDate()
{
    QFETCH(QString, date);
    QFETCH(QString, file);
    Saving s;
    fillInvoice(s.form(), u"Yritys"_s, {}, kWorkRow);
    s.form().LaskuPvm1->setText(date);
    clickSave(s.form());
    QVERIFY(QFile::exists(s.data(file)));
}

void InvoiceFilesTest::saveFolderAskedOnce_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("suggestionKept");
    // "own" stands for a folder elsewhere; the others lie under the home folder.
    QTest::newRow("the suggested Laskut chosen") << u"Documents/Laskut"_s << u"Documents/Laskut"_s << true;
    QTest::newRow("another folder chosen: the suggestion goes") << u"own"_s << u"own"_s << false;
    QTest::newRow("cancelled gives the documents folder") << QString() << u"Documents"_s << false;
}

void InvoiceFilesTest::saveFolderAskedOnce()
{
    QFETCH(QString, answer);
    QFETCH(QString, folder);
    QFETCH(bool, suggestionKept);
    // A home of the test's own, so that no real documents folder is touched.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        if (!oldConfig.isNull())
            qputenv("XDG_CONFIG_HOME", oldConfig);
    });
    Saving s(QString(), false);
    TForm1 &form = s.form();
    QCOMPARE(form.DataDir, QString());
    const auto place = [&](const QString &name) { return name == u"own"_s ? s.data() : home.filePath(name); };
    const QString suggestion = home.filePath(u"Documents/Laskut"_s);
    s.prompter().answerFolder(answer.isEmpty() ? QString() : place(answer));
    fillInvoice(form, u"Yritys"_s, {}, kWorkRow);

    clickSave(form);

    // A folder dialog, opening in the suggested folder under the documents.
    QCOMPARE(s.prompter().folderRequests,
             QStringList{u"Anna tallennuskansio|"_s + QDir::toNativeSeparators(suggestion)});
    QCOMPARE(s.prompter().saveRequests, QStringList());
    QCOMPARE(QFileInfo(suggestion).isDir(), suggestionKept);
    const QString native = QDir::toNativeSeparators(place(folder)) + QDir::separator();
    QCOMPARE(form.DataDir, native);
    QCOMPARE(form.RegisterFileName, native + u"AsiakRek.csv"_s);
    QVERIFY(QFile::exists(place(folder) + u"/2026/1.csv"_s));
    QVERIFY(QFile::exists(place(folder) + u"/AsiakRek.csv"_s));
    QCOMPARE(ReadIniString(s.fixture().settingsPath(), u"File"_s, u"OletDir"_s, QString()), native);

    // Set once: the next save does not ask again.
    fillInvoice(form, u"Toinen"_s, {}, kWorkRow);
    clickSave(form);
    QCOMPARE(s.prompter().folderRequests.size(), 1);
    QVERIFY(QFile::exists(place(folder) + u"/2026/2.csv"_s));
}

void InvoiceFilesTest::unopenableInvoiceIsNotSaved_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("message");
    const QString badDate = u"Laskua ei tallennettu, koska sitä ei voisi avata uudelleen: "
                            u"otsikkorivillä ei ole kelvollista laskun päiväystä."_s;
    QTest::newRow("a name of blanks") << u"   "_s << u"1.12.2026"_s << kIncomplete;
    QTest::newRow("no date") << u"Yritys"_s << u"päiväys"_s << badDate;
    QTest::newRow("month 13") << u"Yritys"_s << u"1.13.2026"_s << badDate;
    QTest::newRow("day and month only") << u"Yritys"_s << u"31.1."_s << badDate;
}

// Whatever "VALMIS/TALLENNA" writes, "Nouda lasku" opens again: an invoice it
// would refuse is not saved, and nothing is written.
void InvoiceFilesTest::unopenableInvoiceIsNotSaved()
{
    QFETCH(QString, name);
    QFETCH(QString, date);
    QFETCH(QString, message);
    Saving s;
    TForm1 &form = s.form();
    fillInvoice(form, name, {u"Katu 1"_s}, kWorkRow);
    form.LaskuPvm1->setText(date);

    clickSave(form);

    QCOMPARE(s.prompter().takeMessages(), QStringList{message});
    for (const QString &entry : treeOf(s.data()))
        QVERIFY2(!entry.endsWith(u".csv"_s), qPrintable(entry));
    QCOMPARE(form.LaskuPvm1->text(), date);
}

// A save folder chosen at the first save may keep a register already: the
// new customer joins its customers instead of replacing them.
void InvoiceFilesTest::firstSaveAddsToFolderRegister()
{
    Saving s(QString(), false);
    TForm1 &form = s.form();
    writeBytes(s.data(u"AsiakRek.csv"_s), "\"Aalto Anna\",\"Koivukuja 2\",\" \",\" \",\" \",1\r\n");
    s.prompter().answerFolder(s.data());
    fillInvoice(form, u"Kolmas Oy"_s, {}, kWorkRow);

    clickSave(form);

    const QByteArray kept = readBytes(s.data(u"AsiakRek.csv"_s));
    QVERIFY2(kept.startsWith("\"Aalto Anna\",\"Koivukuja 2\""), kept.constData());
    QVERIFY2(kept.contains("\"Kolmas Oy\"") && kept.endsWith(",2\r\n"), kept.constData());
    QCOMPARE(readBytes(s.data(u"2026/1.csv"_s)).split('\n').first().trimmed(),
             QByteArray("\"1\",\"") + form.LaskuPvm1->text().toLatin1() + "\",\"1009\",\"\",\"2\",\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\",\"21.12.2026\""
                 + cp(kIssuedByDefaultBiller));
}

void InvoiceFilesTest::saveFolderChangedFromMenu_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("completed");
    QTest::newRow("another folder: its register, new invoices there") << false << u"Uusi Asiakas Oy"_s;
    QTest::newRow("cancelled: the folder and register stay") << true << u"Uusi"_s;
}

// "Tiedosto" > "Tallennuskansio…" moves new invoices and the register to
// another folder; nothing already saved moves, and the other folder's
// register is the one the name box completes from. The status bar names the
// folder, and an open "Laskut" lists its invoices at once.
void InvoiceFilesTest::saveFolderChangedFromMenu()
{
    QFETCH(bool, cancel);
    QFETCH(QString, completed);
    Saving s;
    TForm1 &form = s.form();
    writeBytes(s.data(u"AsiakRek.csv"_s), "\"Aalto Anna\",\"Koivukuja 2\",\" \",\" \",\" \",1\r\n");
    QVERIFY(QDir(s.data()).mkdir(u"2025"_s));
    writeBytes(s.data(u"2025/9.csv"_s), "\"9\",\"1.12.2025\",\"1009\",\" \",\"1\"\r\n");
    writeBytes(s.data(u"2025/8.csv"_s), "\"8\",\"1.11.2025\",\"1009\",\" \",\"1\"\r\nVanha Oy\r\nx,Rivi\r\n");
    QTemporaryDir other;
    writeBytes(other.filePath(u"AsiakRek.csv"_s), "\"Uusi Asiakas Oy\",\"Satamakatu 3\",\" \",\" \",\" \",7\r\n");
    QVERIFY(QDir(other.path()).mkdir(u"2026"_s));
    writeBytes(other.filePath(u"2026/3.csv"_s), "\"3\",\"1.12.2026\",\"1009\",\" \",\"7\"\r\nUusi\r\nx,Rivi\r\n");
    // The register of the folder in use, as a restart would have read it.
    form.LoadCustomerRegister();
    const QString oldFolder = QDir::toNativeSeparators(s.data()) + QDir::separator();
    const QString newFolder = QDir::toNativeSeparators(other.path()) + QDir::separator();
    const QString used = cancel ? s.data() : other.path();
    const QString untouched = cancel ? other.path() : s.data();
    const QMap<QString, QByteArray> before = contentsOf(untouched);
    QVERIFY(s.fixture().show());
    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Laskut…"_s});
    QVERIFY(form.LedgerList && form.LedgerList->isVisible());
    QCOMPARE(ledgerInvoices(*form.LedgerList), QStringList{u"2025/8"_s});
    s.prompter().answerFolder(cancel ? QString() : other.path());

    chooseFromMenuBar(form, {u"Tiedosto"_s, u"Tallennuskansio…"_s});

    QCOMPARE(s.prompter().folderRequests, QStringList{u"Anna tallennuskansio|"_s + oldFolder});
    QCOMPARE(form.DataDir, cancel ? oldFolder : newFolder);
    QCOMPARE(statusText(form), cancel ? QString() : u"Tallennuskansio: "_s + newFolder);
    QCOMPARE(ledgerInvoices(*form.LedgerList), QStringList{cancel ? u"2025/8"_s : u"2026/3"_s});
    QCOMPARE(ReadIniString(s.fixture().settingsPath(), u"File"_s, u"OletDir"_s, QString()),
             cancel ? oldFolder : newFolder);
    form.AsiakNimi1->setFocus();
    typeKeys(u"Uusi"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), completed);

    fillInvoice(form, u"Kolmas Oy"_s, {}, kWorkRow);
    clickSave(form);

    QVERIFY(QFile::exists(used + u"/2026/1.csv"_s));
    QVERIFY(readBytes(used + u"/AsiakRek.csv"_s).contains("\"Kolmas Oy\""));
    // "Laskut" indexed the folder it listed; no document of it changed.
    QMap<QString, QByteArray> after = contentsOf(untouched);
    after.remove(kIndexFileName.toString());
    QCOMPARE(after, before);
}

// In the folder dialog a folder's path typed and Enter choose it at once.
void InvoiceFilesTest::folderDialogTakesTypedFolderOnEnter()
{
    QTemporaryDir start;
    QTemporaryDir chosen;
    QVERIFY(QDir(chosen.path()).mkdir(u"alakansio"_s));
    bool closedByEnter = false;
    QTimer::singleShot(0, [&chosen, &closedByEnter] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        // Typed where the dialog puts the cursor: its path field.
        QWidget *field = nullptr;
        const bool focused = QTest::qWaitFor([dialog, &field] {
            field = QApplication::focusWidget();
            return field && dialog->isAncestorOf(field);
        });
        if (!focused || !qobject_cast<QLineEdit *>(field)) {
            dialog->reject();
            return;
        }
        QTest::keyClicks(field, chosen.path());
        QTest::keyClick(field, Qt::Key_Return);
        closedByEnter = QTest::qWaitFor([dialog] { return !dialog->isVisible(); }, 2000);
        if (!closedByEnter)
            dialog->reject();
    });
    const QString folder = DialogPrompter().existingFolder(nullptr, u"Anna tallennuskansio"_s, start.path());
    QVERIFY(closedByEnter);
    QCOMPARE(QDir::cleanPath(folder), QDir::cleanPath(chosen.path()));
}

void InvoiceFilesTest::statusBarSaysWhereSaved_data()
{
    QTest::addColumn<bool>("printed");
    QTest::newRow("printing cancelled") << false;
    QTest::newRow("printed") << true;
}

void InvoiceFilesTest::statusBarSaysWhereSaved()
{
    QFETCH(bool, printed);
    Saving s(u"SeurLasku=57\r\n"_s);
    TForm1 &form = s.form();
    QVERIFY(s.fixture().show());
    QCOMPARE(statusText(form), QString());
    if (printed)
        s.prompter().answerPrinter(s.data(u"tuloste.pdf"_s));
    fillInvoice(form, u"Yritys"_s, {}, kWorkRow);

    clickSave(form);

    QCOMPARE(QFileInfo::exists(s.data(u"tuloste.pdf"_s)), printed);
    // The file a printer that writes one wrote is named after the invoice file.
    const QString saved = u"Lasku 57 tallennettu: "_s + QDir::toNativeSeparators(s.data(u"2026/57.csv"_s))
        + (printed ? u", "_s + QDir::toNativeSeparators(s.data(u"tuloste.pdf"_s)) : QString());
    QCOMPARE(statusText(form), saved);
    // Menu hints on the status bar leave it.
    chooseFromMenuBar(form, {u"Tiedosto"_s});
    QTest::mouseMove(form.Tiedosto1, form.Tiedosto1->actionGeometry(form.Print1).center());
    QTest::keyClick(form.Tiedosto1, Qt::Key_Escape);
    QCOMPARE(statusText(form), saved);
}

void InvoiceFilesTest::savingOverSavedInvoiceAsks_data()
{
    QTest::addColumn<int>("earlierVersions");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("savedRow");
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QStringList>("holdingEarlier");
    QTest::addColumn<QString>("nextNumber");
    const QString first = u"2026/57 (aiempi versio).csv"_s;
    // A saved invoice is indexed with its file.
    const QString kIndex = kIndexFileName.toString();
    const QString second = u"2026/57 (aiempi versio 2).csv"_s;
    QTest::newRow("no: nothing written, the invoice stays")
        << 0 << false << false << 1 << u"Aiempi"_s << QStringList{u"2026"_s, u"2026/57.csv"_s}
        << QStringList{u"2026/57.csv"_s} << u"57"_s;
    QTest::newRow("yes: replaced, the earlier version kept")
        << 0 << false << true << 1 << u"Toinen"_s
        << QStringList{u"2026"_s, first, u"2026/57.csv"_s, u"AsiakRek.csv"_s, kIndex} << QStringList{first} << u"58"_s;
    QTest::newRow("yes again: a second earlier version")
        << 1 << false << true << 1 << u"Toinen"_s
        << QStringList{u"2026"_s, second, first, u"2026/57.csv"_s, u"AsiakRek.csv"_s, kIndex} << QStringList{second}
        << u"58"_s;
    QTest::newRow("the invoice opened from the file: no question")
        << 0 << true << true << 0 << u"Toinen"_s << QStringList{u"2026"_s, u"2026/57.csv"_s, u"AsiakRek.csv"_s, kIndex}
        << QStringList() << u"58"_s;
}

// Another invoice saved under the same number is never replaced unasked, and
// a replaced one stays beside the new file as an earlier version.
void InvoiceFilesTest::savingOverSavedInvoiceAsks()
{
    QFETCH(int, earlierVersions);
    QFETCH(bool, opened);
    QFETCH(bool, answer);
    QFETCH(int, questions);
    QFETCH(QString, savedRow);
    QFETCH(QStringList, tree);
    QFETCH(QStringList, holdingEarlier);
    QFETCH(QString, nextNumber);
    Saving s(u"SeurLasku=57\r\n"_s);
    TForm1 &form = s.form();
    QVERIFY(QDir().mkpath(s.data(u"2026"_s)));
    const QByteArray saved = cp(u"\"57\",\"1.12.2026\",\"1009\",\"\",\"1\"\r\n"
                                u"Vanha,\" \",\" \",\" \"\r\n\" \",Aiempi,1,\" \",\"5,00\",\"25,5\",\"6,28\"\r\n"_s);
    writeBytes(s.data(u"2026/57.csv"_s), saved);
    if (earlierVersions > 0)
        writeBytes(s.data(u"2026/57 (aiempi versio).csv"_s), "kept");
    if (opened) {
        s.prompter().answerOpen(s.data(u"2026/57.csv"_s));
        form.Noudalasku1->trigger();
        form.LaskuRivit1->setCell(1, 1, u"Toinen"_s);
    } else {
        fillInvoice(form, u"Uusi Oy"_s, {}, {{QString(), u"Toinen"_s}});
        s.prompter().answerQuestion(answer);
    }

    clickSave(form);

    QCOMPARE(s.prompter().questions.size(), questions);
    for (const QString &question : std::as_const(s.prompter().questions))
        QVERIFY(question.contains(QDir::toNativeSeparators(s.data(u"2026/57.csv"_s))));
    QVERIFY(cp1252ToString(readBytes(s.data(u"2026/57.csv"_s))).contains(savedRow));
    QCOMPARE(treeOf(s.data()), tree);
    QCOMPARE(filesHolding(s.data(), saved), holdingEarlier);
    QCOMPARE(form.NextNr1->text(), nextNumber);
    QCOMPARE(form.LaskuNro1->text(), nextNumber);
}

void InvoiceFilesTest::counterNeverWraps_data()
{
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("stored");
    QTest::newRow("past the largest 32-bit number")
        << u"2147483647"_s << QStringList{u"2147483647"_s, u"2147483648"_s, u"2147483649"_s} << u"2147483650"_s;
    QTest::newRow("twenty digits") << u"99999999999999999999"_s
                                   << QStringList{u"99999999999999999999"_s, u"100000000000000000000"_s}
                                   << u"100000000000000000001"_s;
}

// Each save takes the next number, however long: no invoice is ever numbered 0
// again and none replaces an earlier one.
void InvoiceFilesTest::counterNeverWraps()
{
    QFETCH(QString, counter);
    QFETCH(QStringList, numbers);
    QFETCH(QString, stored);
    Saving s(u"SeurLasku="_s + counter + u"\r\n"_s);
    TForm1 &form = s.form();
    for (const QString &number : numbers) {
        QCOMPARE(form.LaskuNro1->text(), number);
        fillInvoice(form, u"Yritys"_s, {}, kWorkRow);
        clickSave(form);
        QCOMPARE(s.prompter().takeMessages(), QStringList());
        QVERIFY(QFileInfo::exists(s.data(u"2026/"_s + number + u".csv"_s)));
    }
    QCOMPARE(s.setting(u"SeurLasku"_s), stored);
    QVERIFY(!QFileInfo::exists(s.data(u"2026/0.csv"_s)));
    QVERIFY(s.prompter().questions.isEmpty());
}

// Texts far beyond an edit box's usual limit are shown, edited and saved whole.
void InvoiceFilesTest::longTextsOpenAndSaveWhole()
{
    Saving s;
    TForm1 &form = s.form();
    QVERIFY(s.fixture().show());
    const QString name = QString(40000, u'N');
    const QString id = QString(40000, u'Y');
    const QString text = QString(40000, u'T');
    QVERIFY(QDir().mkpath(s.data(u"2026"_s)));
    writeBytes(s.data(u"2026/5.csv"_s),
               cp(u"\"5\",\"7.12.2026\",\"1009\",\""_s + id + u"\",\"\"\r\n"_s + name
                  + u",\" \",\" \",\" \"\r\n\" \","_s + text + u",1,\" \",\"5,00\",\"25,5\",\"6,28\"\r\n"_s));
    s.prompter().answerOpen(s.data(u"2026/5.csv"_s));
    form.Noudalasku1->trigger();
    QCOMPARE(form.AsiakNimi1->currentText().size(), name.size());
    QCOMPARE(form.AsiakY1->text(), id);

    StringGrid *grid = form.LaskuRivit1;
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    pressKey(Qt::Key_F2);
    pressKey(Qt::Key_End);
    typeKeys(u"x"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(grid->cell(1, 1), text + u"x"_s);

    clickSave(form);
    QCOMPARE(s.prompter().takeMessages(), QStringList());
    const QByteArray saved = readBytes(s.data(u"2026/5.csv"_s));
    QVERIFY(saved.contains(cp(id)));
    QVERIFY(saved.contains(cp(u"\n"_s + name + u","_s)));
    QVERIFY(saved.contains(cp(u","_s + text + u"x,"_s)));
}

void InvoiceFilesTest::extraRowsPageFollowsRowCount_data()
{
    QTest::addColumn<int>("rowLines");
    QTest::addColumn<bool>("extraRows");
    QTest::newRow("16 rows fit the page") << 16 << false;
    QTest::newRow("17 rows need the extra page") << 17 << true;
    QTest::newRow("40 rows all kept") << 40 << true;
}

void InvoiceFilesTest::extraRowsPageFollowsRowCount()
{
    QFETCH(int, rowLines);
    QFETCH(bool, extraRows);
    Saving s;
    TForm1 &form = s.form();
    QString text = u"\"5\",\"1.2.2026\",\"1009\",\"\",\"\"\r\nYritys\r\n"_s;
    for (int i = 1; i <= rowLines; ++i)
        text += u"\" \",Rivi"_s + QString::number(i) + u"\r\n"_s;
    writeBytes(s.data(u"rows.csv"_s), cp(text));
    s.prompter().answerOpen(s.data(u"rows.csv"_s));

    form.Noudalasku1Click();

    QCOMPARE(form.LisaRivit1->isChecked(), extraRows);
    QVERIFY(form.LaskuRivit1->rowCount() >= rowLines + 1);
    QCOMPARE(form.LaskuRivit1->cell(1, rowLines), u"Rivi"_s + QString::number(rowLines));

    // Saving again writes every row.
    clickSave(form);
    QCOMPARE(cp1252ToString(readBytes(s.data(u"2026/5.csv"_s))).count(u"Rivi"_s), rowLines);
}

void InvoiceFilesTest::dueDateRecomputedOnOpen_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("terms");
    QTest::addColumn<QString>("due");
    QTest::newRow("leap February") << u"31.1.2024"_s << u"30 pv netto"_s << u"1.3.2024"_s;
    QTest::newRow("common February") << u"31.1.2023"_s << u"30 pv netto"_s << u"2.3.2023"_s;
    QTest::newRow("over the year end") << u"20.12.2023"_s << u"14 pv netto"_s << u"3.1.2024"_s;
    QTest::newRow("a year out of range gives no due date") << u"1.12.1899"_s << u"14"_s << QString();
}

void InvoiceFilesTest::dueDateRecomputedOnOpen()
{
    QFETCH(QString, date);
    QFETCH(QString, terms);
    QFETCH(QString, due);
    Saving s;
    TForm1 &form = s.form();
    form.MaksuEhto1->setText(terms);
    form.Ok2Click();
    // The invoice's own term is not used.
    form.MaksuEhto2->setText(u"60 pv"_s);
    writeBytes(s.data(u"due.csv"_s), cp(u"\"1\",\""_s + date + u"\",\"\",\"\",\"\"\r\nYritys\r\nx,Rivi\r\n"_s));
    s.prompter().answerOpen(s.data(u"due.csv"_s));
    form.Noudalasku1Click();
    QCOMPARE(form.EraPv2->text(), due);
    QCOMPARE(form.EraPv3->text(), due);
}

void InvoiceFilesTest::placeholdersRoundTrip()
{
    Saving s;
    TForm1 &form = s.form();
    fillInvoice(form, u"Yritys"_s, {}, kWorkRow);
    form.LaskuRivit1->setRowCells(2, {u" "_s, u" "_s, u" "_s, u" "_s, u" "_s, u" "_s, u" "_s});
    form.LaskuRivit1->setRowCells(3, {QString(), u"Viimeinen"_s});
    clickSave(form);
    const QByteArray first = readBytes(s.data(u"2026/1.csv"_s));

    s.prompter().answerOpen(s.data(u"2026/1.csv"_s));
    form.Noudalasku1Click();
    // Empty cells come back as one blank; the skipped row leaves no gap.
    QCOMPARE(form.LaskuRivit1->cell(0, 1), u" "_s);
    QCOMPARE(form.LaskuRivit1->cell(1, 2), u"Viimeinen"_s);
    QCOMPARE(form.LaskuRivit1->cell(2, 2), u" "_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), u" "_s);
    clickSave(form);
    QCOMPARE(readBytes(s.data(u"2026/1.csv"_s)), first);
    QCOMPARE(first.count("\r\n"), 4);
}

void InvoiceFilesTest::shortOrMalformedFilesOpen_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("short header, LF ends") << QByteArray("\"5\",\"1.1.2026\"\nYritys\nx,Rivi\n")
                                          << u"5"_s << u"Yritys"_s << u"Rivi"_s;
    QTest::newRow("unclosed quote takes the rest")
        << QByteArray("\"5\",\"1.1.2026\",\"\",\"\",\"\",\"extra\"\r\n\"Oy, Ab\r\nx,\"Rivi, pitka\r\n")
        << u"5"_s << u"Oy, Ab"_s << u"Rivi, pitka"_s;
    QTest::newRow("NUL reads as a blank")
        << QByteArray("\"5\",\"1.1.2026\"\r\nYritys") + '\0' + QByteArray("\r\nx,Rivi\r\n")
        << u"5"_s << u"Yritys"_s << u"Rivi"_s;
}

void InvoiceFilesTest::shortOrMalformedFilesOpen()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QString, description);
    Saving s;
    TForm1 &form = s.form();
    fillInvoice(form, u"Edellinen"_s, {u"Katu"_s}, kWorkRow);
    writeBytes(s.data(u"short.csv"_s), bytes);
    s.prompter().answerOpen(s.data(u"short.csv"_s));

    form.Noudalasku1Click();

    QCOMPARE(s.prompter().takeMessages(), QStringList());
    QCOMPARE(form.LaskuNro1->text(), number);
    QCOMPARE(form.AsiakNimi1->currentText(), name);
    QCOMPARE(form.LaskuRivit1->cell(1, 1), description);
    QCOMPARE(form.LaskuRivit1->cell(1, 2), QString());
    QCOMPARE(form.TotSum->text(), u"0,00"_s);
}

void InvoiceFilesTest::unreadableFileLeavesInvoiceOnScreen()
{
    Saving s;
    TForm1 &form = s.form();
    fillInvoice(form, u"Edellinen"_s, {u"Katu"_s}, kWorkRow);
    const QString missing = s.data(u"puuttuu.csv"_s);
    s.prompter().answerOpen(missing);
    form.Noudalasku1->trigger();
    QCOMPARE(s.prompter().takeMessages(), QStringList{u"Cannot open file "_s + QDir::toNativeSeparators(missing)});
    QCOMPARE(form.AsiakNimi1->currentText(), u"Edellinen"_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), u"Katu"_s);
    QCOMPARE(form.LaskuRivit1->cell(1, 1), u"Työ"_s);
}

void InvoiceFilesTest::cancelledOpenChangesNothing()
{
    Saving s;
    TForm1 &form = s.form();
    fillInvoice(form, u"Edellinen"_s, {u"Katu"_s}, kWorkRow);
    s.prompter().answerOpen(QString());
    form.Noudalasku1Click();
    QCOMPARE(form.AsiakNimi1->currentText(), u"Edellinen"_s);
    QCOMPARE(form.LaskuRivit1->cell(1, 1), u"Työ"_s);
    QCOMPARE(form.LaskuNro1->text(), u"1"_s);
}

void InvoiceFilesTest::emptyLinesMakeNoRows_data()
{
    QTest::addColumn<QString>("empty");
    QTest::newRow("no characters") << QString();
    QTest::newRow("blanks and tabs") << u"  \t "_s;
    QTest::newRow("commas and empty quotes") << u",\"\",,\"\""_s;
    QTest::newRow("NULs") << QString(2, QChar(u'\0'));
}

void InvoiceFilesTest::emptyLinesMakeNoRows()
{
    QFETCH(QString, empty);
    Saving s;
    TForm1 &form = s.form();
    const int pageRows = form.LaskuRivit1->rowCount();
    const QString blanks = (empty + u"\r\n"_s).repeated(40);
    const QString first = u"\" \",Eka,1,kpl,\"2,00\",\"25,5\",\"2,51\"\r\n"_s;
    const QString last = u"\" \",Vika,2,kpl,\"1,00\",\"25,5\",\"2,51\"\r\n"_s;
    writeBytes(s.data(u"blank.csv"_s), cp(u"\"5\",\"1.2.2026\",\"1009\",\"\",\"\"\r\nYritys\r\n"_s + blanks + first
                                          + blanks + last + blanks));
    s.prompter().answerOpen(s.data(u"blank.csv"_s));

    form.Noudalasku1->trigger();

    QCOMPARE(form.LaskuRivit1->cell(1, 2), u"Vika"_s);
    QCOMPARE(form.LaskuRivit1->rowCount(), pageRows);
    QVERIFY(!form.LisaRivit1->isChecked());
    clickSave(form);
    QCOMPARE(s.prompter().takeMessages(), QStringList());
    QVERIFY(readBytes(s.data(u"2026/5.csv"_s)).endsWith("\" \",\" \",\" \"\r\n" + cp(first + last)));
}

void InvoiceFilesTest::nulHidesNothingOfTheFile_data()
{
    QTest::addColumn<QByteArray>("customerAndRows");
    QTest::addColumn<QByteArray>("saved");
    const QByteArray customer = "Yritys,Katu,\" \",\" \"\r\n";
    const QByteArray first = "\" \",Eka,1,kpl,\"2,00\",\"25,5\",\"2,51\"\r\n";
    const QByteArray last = "\" \",Vika,2,kpl,\"1,00\",\"25,5\",\"2,51\"\r\n";
    QTest::newRow("NUL line between rows") << customer + first + '\0' + "\r\n" + last << customer + first + last;
    QTest::newRow("NUL in the customer line")
        << "Yritys,Katu" + QByteArray(1, '\0') + ",\" \",\" \"\r\n" + first + last << customer + first + last;
    QTest::newRow("NUL inside a quoted text")
        << customer + "\" \",\"Eka" + '\0' + "osa\",1,kpl,\"2,00\",\"25,5\",\"2,51\"\r\n" + last
        << customer + "\" \",\"Eka osa\",1,kpl,\"2,00\",\"25,5\",\"2,51\"\r\n" + last;
}

void InvoiceFilesTest::nulHidesNothingOfTheFile()
{
    QFETCH(QByteArray, customerAndRows);
    QFETCH(QByteArray, saved);
    Saving s;
    writeBytes(s.data(u"nul.csv"_s), "\"5\",\"1.2.2026\",\"1009\",\"\",\"\"\r\n" + customerAndRows);
    s.prompter().answerOpen(s.data(u"nul.csv"_s));
    s.form().Noudalasku1->trigger();
    clickSave(s.form());
    QCOMPARE(s.prompter().takeMessages(), QStringList());
    const QByteArray written = readBytes(s.data(u"2026/5.csv"_s));
    QCOMPARE(written.sliced(written.indexOf("\r\n") + 2), saved);
}

void InvoiceFilesTest::damagedFileRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // The file's size when it is to be longer than its bytes; kFifo for a FIFO.
    QTest::addColumn<qint64>("size");
    // The message, %1 standing for the file's path.
    QTest::addColumn<QString>("message");
    const QString damaged = u"Tiedostoa %1 ei avattu: %2. Tiedosto voi olla vioittunut."_s;
    const QString notInvoice = u"Tiedosto %1 ei ole lasku: %2."_s;
    const QByteArray head = "\"5\",\"1.2.2026\"\r\nYritys\r\n";
    QTest::newRow("more lines than any invoice")
        << head + QByteArray("x,Rivi\r\n").repeated(kMaxTextLines) << qint64(0)
        << damaged.arg(u"%1"_s, u"siinä on yli %1 riviä"_s.arg(kMaxTextLines));
    QTest::newRow("a text longer than any row")
        << head + "x," + QByteArray(kMaxTextLineLength, 'T') << qint64(0)
        << damaged.arg(u"%1"_s, u"siinä on yli %1 merkin rivi"_s.arg(kMaxTextLineLength));
    // The rest of the file reads as NULs without taking room on the disk.
    QTest::newRow("larger than any invoice") << head << kMaxTextFileBytes + 1
                                             << damaged.arg(u"%1"_s, u"se on suurempi kuin %1 Mt"_s.arg(kMaxTextFileBytes >> 20));
    QTest::newRow("empty") << QByteArray() << qint64(0) << notInvoice.arg(u"%1"_s, u"tiedosto on tyhjä"_s);
    QTest::newRow("random bytes") << QByteArray("\xff\x01garbage\x9c,\xfe\r\n\x07\x08") << qint64(0)
                                  << notInvoice.arg(u"%1"_s, u"otsikkorivillä ei ole kelvollista laskun päiväystä"_s);
    QTest::newRow("the customer register")
        << QByteArray("\"Matti Meik\xe4l\xe4inen\",\"Katu 1\",\" \",\" \",1234567-8,1\r\nYritys,Tie,\" \",\" \",\" \",2\r\n")
        << qint64(0) << notInvoice.arg(u"%1"_s, u"otsikkorivillä ei ole kelvollista laskun päiväystä"_s);
    QTest::newRow("no rows") << head << qint64(0) << notInvoice.arg(u"%1"_s, u"siinä ei ole yhtään laskuriviä"_s);
    QTest::newRow("a FIFO") << QByteArray() << kFifo << u"Cannot open file %1"_s;
}

void InvoiceFilesTest::damagedFileRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(QString, message);
    Saving s;
    TForm1 &form = s.form();
    fillInvoice(form, u"Edellinen"_s, {u"Katu"_s}, kWorkRow);
    form.RecalcInvoice();
    const QString number = form.LaskuNro1->text();
    const QString total = form.TotSum->text();
    const QString path = s.data(u"vioittunut.csv"_s);
    if (size == kFifo) {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        writeBytes(path, bytes);
        QVERIFY(size == 0 || QFile(path).resize(size));
    }
    s.prompter().answerOpen(path);

    form.Noudalasku1->trigger();

    QCOMPARE(s.prompter().takeMessages(), QStringList{message.arg(QDir::toNativeSeparators(path))});
    // The invoice on screen stays as it was.
    QCOMPARE(form.LaskuNro1->text(), number);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Edellinen"_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), u"Katu"_s);
    QCOMPARE(form.LaskuRivit1->cell(1, 1), u"Työ"_s);
    QCOMPARE(form.TotSum->text(), total);
    QVERIFY(total != u"0,00"_s);
}

void InvoiceFilesTest::savedInvoicesOpenAndExport_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::newRow("a priced row") << u"57"_s << u"Matti Meikäläinen"_s << kWorkRow;
    QTest::newRow("text rows only, odd texts")
        << u"5-a b"_s << u"Oy \"A, B\""_s
        << QList<QStringList>{{QString(), u"Pelkkä teksti, \"lainattu\""_s},
                              {u"x"_s, u"€ ja ; ja \t"_s, QString(), QString(), QString(), u","_s}};
}

void InvoiceFilesTest::savedInvoicesOpenAndExport()
{
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QList<QStringList>, rows);
    Saving s(u"Nimi=Testi Oy\r\nIban=FI21 1234 5600 0007 85\r\n"_s);
    TForm1 &form = s.form();
    form.LaskuNro1->setText(number);
    fillInvoice(form, name, {u"Katu 1"_s}, rows);
    clickSave(form);
    const QString saved = s.data(u"2026/"_s + number + u".csv"_s);
    QVERIFY(QFileInfo::exists(saved));

    s.prompter().answerOpen(saved);
    form.Noudalasku1->trigger();
    QCOMPARE(s.prompter().takeMessages(), QStringList());
    QCOMPARE(form.LaskuNro1->text(), number);
    QCOMPARE(form.AsiakNimi1->currentText(), name);
    QCOMPARE(form.LaskuRivit1->cell(1, 1), rows[0][1]);

    QString report;
    QTextStream stream(&report);
    const QString pdf = s.data(u"lasku.pdf"_s);
    QCOMPARE(ExportInvoices(ExportKind::Pdf, s.fixture().executablePath(), {}, pdf, {saved}, stream), 0);
    const QString text = toolOutput(u"pdftotext"_s, {pdf, u"-"_s});
    QVERIFY2(text.contains(name) && text.contains(rows[0][1]), qPrintable(report + text));
}

// "Nouda lasku" lists invoices: the register and the kept copies of
// replaced invoices are no invoices to open.
void InvoiceFilesTest::openDialogListsInvoicesOnly()
{
    Saving s;
    writeBytes(s.data(u"AsiakRek.csv"_s), "Yritys,Katu,\" \",\" \",\" \",1\r\n");
    const QByteArray invoice = "\"57\",\"1.12.2026\"\r\nYritys\r\nx,Rivi\r\n";
    for (const QString &name : {u"57.csv"_s, u"57 (aiempi versio).csv"_s, u"57 (aiempi versio 2).csv"_s,
                                u"57-M1.csv"_s, u"Maksut.csv"_s})
        writeBytes(s.data(name), invoice);
    s.prompter().answerOpen(QString());
    s.form().Noudalasku1->trigger();
    QCOMPARE(s.prompter().hiddenFromOpen.size(), 1);
    const HiddenFiles hidden = s.prompter().hiddenFromOpen.constFirst();
    QVERIFY(hidden);

    // The dialog itself lists the invoice and leaves the rest out.
    QStringList listed;
    QTimer::singleShot(0, [&listed] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        auto *view = dialog ? dialog->findChild<QListView *>(u"listView"_s) : nullptr;
        const auto names = [view] {
            QStringList shown;
            for (int r = 0; view && r < view->model()->rowCount(view->rootIndex()); ++r)
                shown.append(view->model()->index(r, 0, view->rootIndex()).data().toString());
            return shown;
        };
        // The folder is read in the background.
        if (QTest::qWaitFor([&names] { return names().contains(u"57.csv"_s); }))
            listed = names();
        if (dialog)
            dialog->reject();
    });
    DialogPrompter().openFileName(nullptr, s.data(), u"Laskut (*.csv)"_s, hidden);
    QCOMPARE(listed, QStringList{u"57.csv"_s});
    // Wherever they lie, in any case the register's name is written.
    QVERIFY(hidden(s.data(u"2026/asiakrek.CSV"_s)));
    QVERIFY(hidden(s.data(u"2026/9 (aiempi versio 3).csv"_s)));
    QVERIFY(hidden(s.data(u"2026/9-M2.csv"_s)));
    QVERIFY(!hidden(s.data(u"2026/9.csv"_s)));
}

void InvoiceFilesTest::invoiceNamedAtStartIsShown_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("total");
    QTest::addColumn<bool>("refused");
    QTest::newRow("a saved invoice")
        << QByteArray("\"57\",\"1.12.2026\",\"1009\",\"\",\"1\"\r\nYritys,Katu,\" \",\" \"\r\n"
                      "\" \",Kahvi,2,\" \",\"3,50\",\"25,5\",\"8,79\"\r\n")
        << u"57"_s << u"Yritys"_s << u"8,79"_s << false;
    QTest::newRow("the customer register") << QByteArray("Yritys,Katu,\" \",\" \",\" \",1\r\n") << u"1"_s
                                           << QString() << QString() << true;
}

void InvoiceFilesTest::invoiceNamedAtStartIsShown()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QString, total);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"avattava.CSV"_s);
    writeBytes(path, bytes);
    // As main decides it: the file opens in the window of the default profile.
    const CommandLine line = ParseCommandLine({path});
    QCOMPARE(line.startArguments, QStringList());

    FormFixture f(QByteArray(), line.startArguments, QDate(2026, 12, 7), line.invoiceFile);

    QCOMPARE(f.prompter().takeMessages().size(), refused ? 1 : 0);
    QCOMPARE(f.form().LaskuNro1->text(), number);
    QCOMPARE(f.form().AsiakNimi1->currentText(), name);
    QCOMPARE(f.form().TotSum->text(), total);
    QCOMPARE(f.form().OpenedInvoiceFile, refused ? QString() : path);
}

void InvoiceFilesTest::pastedLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("descriptions");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty lines empty their rows, trailing ones none")
        << u"x,Eka\r\n\r\nx,Toka\r\n  \t\r\n,,\"\"\r\n\0\r\n"_s + u"\r\n"_s.repeated(5000) << u"Eka||Toka"_s
        << QString();
    QTest::newRow("more lines than any invoice refused")
        << u"x,Rivi\r\n"_s.repeated(kMaxTextLines + 1) << u"Työ||"_s
        << u"Rivejä ei liitetty: leikepöydällä on yli %1 riviä."_s.arg(kMaxTextLines);
    QTest::newRow("a text longer than any row refused")
        << u"x,"_s + QString(kMaxTextLineLength, u'T') << u"Työ||"_s
        << u"Rivejä ei liitetty: leikepöydällä on yli %1 merkin rivi."_s.arg(kMaxTextLineLength);
}

void InvoiceFilesTest::pastedLines()
{
    QFETCH(QString, text);
    QFETCH(QString, descriptions);
    QFETCH(QString, message);
    Saving s;
    TForm1 &form = s.form();
    QVERIFY(s.fixture().show());
    fillInvoice(form, u"Yritys"_s, {}, kWorkRow);
    StringGrid *grid = form.LaskuRivit1;
    const int pageRows = grid->rowCount();
    QApplication::clipboard()->setText(text);
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, QPoint(60, 30));
    QTRY_VERIFY(form.FontPopup1->isVisible());
    form.FontPopup1->hide();

    form.Paste2->trigger();

    QCOMPARE(s.prompter().takeMessages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(QStringList({grid->cell(1, 1), grid->cell(1, 2), grid->cell(1, 3)}).join(u'|'), descriptions);
    QCOMPARE(grid->rowCount(), pageRows);
}

namespace {

const QString kEinvoiceRegister = u"\"Aalto Anna\",\"Koivukuja 2\",\" \",\" \",\" \",1\r\n"
                                  u"\"Virtanen Matti\",\"Mäntytie 5\",\" \",\" \",\" \",2,003712345678,NDEAFIHH\r\n"_s;

// A biller whose invoices can go as e-invoices: saving one to a customer
// with an e-invoice address also writes it as one.
const QString kEinvoiceBiller = u"Nimi=Testi Oy\r\nIban=FI21 1234 5600 0007 85\r\n"_s;

// The save folder's register replaced by the given lines, read as "Peruuta"
// in the register box reads it.
void useRegister(Saving &s, const QString &lines)
{
    writeBytes(s.data(u"AsiakRek.csv"_s), cp(lines));
    s.form().Asiakasrekisteri1->trigger();
    QTest::mouseClick(s.form().Cancel3, Qt::LeftButton);
}

QStringList headerOf(const QString &path)
{
    return SplitGridLine(ReadTextLines(path).value(0));
}

} // namespace

// A customer chosen from the register gives the invoice its e-invoice
// address; the invoice file keeps it and "Nouda lasku" gives it back.
void InvoiceFilesTest::buyerEinvoiceSavedAndOpenedAgain()
{
    Saving s(kEinvoiceBiller);
    TForm1 &form = s.form();
    QVERIFY(s.fixture().show());
    useRegister(s, kEinvoiceRegister);
    form.AsiakNro1->setFocus();
    typeKeys(u"2"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virtanen Matti"_s);
    fillInvoice(form, form.AsiakNimi1->currentText(), {}, kWorkRow);
    form.AsiakNimi1->setFocus();
    clickSave(form);
    QCOMPARE(s.prompter().takeMessages(), QStringList());

    const QString saved = s.data(u"2026/1.csv"_s);
    QVERIFY(readBytes(s.data(u"2026/1.xml"_s)).contains("<Finvoice Version=\"3.0\">"));
    const QStringList header = headerOf(saved);
    QCOMPARE(header.size(), int(HeaderFieldCount));
    QCOMPARE(header[BillerNameField], u"Testi Oy"_s);
    QCOMPARE(header[BuyerEinvoiceAddressField], u"003712345678"_s);
    QCOMPARE(header[BuyerEinvoiceOperatorField], u"NDEAFIHH"_s);
    // The register is not written for a customer it has.
    QCOMPARE(readBytes(s.data(u"AsiakRek.csv"_s)), cp(kEinvoiceRegister));

    // The next invoice starts without one.
    QCOMPARE(form.BuyerEinvoice.address, QString());
    QCOMPARE(form.BuyerEinvoice.operatorId, QString());
    s.prompter().answerOpen(saved);
    form.Noudalasku1->trigger();
    QCOMPARE(form.LaskuNro1->text(), u"1"_s);
    QCOMPARE(form.BuyerEinvoice.address, u"003712345678"_s);
    QCOMPARE(form.BuyerEinvoice.operatorId, u"NDEAFIHH"_s);
}

void InvoiceFilesTest::openedInvoiceTakesBuyerEinvoiceFromRegister_data()
{
    QTest::addColumn<QString>("headerLine");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("operatorId");
    const QString earlier = u"\"5\",\"1.12.2026\",\"1009\",\"\",\"%1\""_s;
    QTest::newRow("earlier file, customer in the register")
        << earlier.arg(u"2"_s) << u"003712345678"_s << u"NDEAFIHH"_s;
    QTest::newRow("earlier file, register customer without one") << earlier.arg(u"1"_s) << QString() << QString();
    QTest::newRow("earlier file, number not in the register") << earlier.arg(u"7"_s) << QString() << QString();
    QTest::newRow("earlier file, no customer number") << earlier.arg(QString()) << QString() << QString();
    QTest::newRow("file with its own address")
        << u"\"5\",\"1.12.2026\",\"1009\",\"\",\"2\",\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\","
           "\"15.12.2026\",\"FI7654321\",\"OKOYFIHH\""_s
        << u"FI7654321"_s << u"OKOYFIHH"_s;
}

// An invoice file that keeps no e-invoice address, as every file written by
// earlier versions, takes its customer's from the register by customer
// number; saved again, its file keeps it.
void InvoiceFilesTest::openedInvoiceTakesBuyerEinvoiceFromRegister()
{
    QFETCH(QString, headerLine);
    QFETCH(QString, address);
    QFETCH(QString, operatorId);
    Saving s(kEinvoiceBiller);
    TForm1 &form = s.form();
    useRegister(s, kEinvoiceRegister);
    QVERIFY(QDir().mkpath(s.data(u"2026"_s)));
    const QString path = s.data(u"2026/5.csv"_s);
    writeBytes(path, cp(headerLine + u"\r\n\"Virtanen Matti\",\"Mäntytie 5\",\" \",\" \"\r\n"
                                     u"\" \",Työ,2,h,\"50,00\",\"25,5\",\"125,50\"\r\n"_s));
    form.BuyerEinvoice = {u"FI0000000"_s, u"VANHA"_s};
    s.prompter().answerOpen(path);
    form.Noudalasku1->trigger();
    QCOMPARE(form.LaskuNro1->text(), u"5"_s);
    QCOMPARE(form.BuyerEinvoice.address, address);
    QCOMPARE(form.BuyerEinvoice.operatorId, operatorId);

    clickSave(form);
    QCOMPARE(s.prompter().takeMessages(), QStringList());
    const QStringList header = headerOf(path);
    QCOMPARE(header.value(BuyerEinvoiceAddressField), address);
    QCOMPARE(header.value(BuyerEinvoiceOperatorField), operatorId);
    QCOMPARE(header.size(), int(HeaderFieldCount));
    QCOMPARE(header[BillerIbanField], u"FI21 1234 5600 0007 85"_s);
}

// A customer new to the register is registered with the invoice's e-invoice
// address, on a line of its own with the e-invoice columns.
void InvoiceFilesTest::newCustomerRegisteredWithBuyerEinvoice()
{
    Saving s(kEinvoiceBiller);
    TForm1 &form = s.form();
    useRegister(s, kEinvoiceRegister);
    QVERIFY(QDir().mkpath(s.data(u"2026"_s)));
    const QString path = s.data(u"2026/5.csv"_s);
    writeBytes(path, cp(u"\"5\",\"1.12.2026\",\"1009\",\"\",\"\",\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\","
                        u"\"15.12.2026\",\"FI7654321\",\"OKOYFIHH\"\r\n\"Uusi Oy\",\"Satamakatu 3\",\" \",\" \"\r\n"
                        u"\" \",Työ,2,h,\"50,00\",\"25,5\",\"125,50\"\r\n"_s));
    s.prompter().answerOpen(path);
    form.Noudalasku1->trigger();
    clickSave(form);
    QCOMPARE(s.prompter().takeMessages(), QStringList());
    QCOMPARE(readBytes(s.data(u"AsiakRek.csv"_s)),
             cp(u"\"Aalto Anna\",\"Koivukuja 2\",\" \",\" \",\" \",1\r\n"
                u"\"Uusi Oy\",\"Satamakatu 3\",\" \",\" \",\" \",3,FI7654321,OKOYFIHH\r\n"
                u"\"Virtanen Matti\",\"Mäntytie 5\",\" \",\" \",\" \",2,003712345678,NDEAFIHH\r\n"_s));
    QCOMPARE(headerOf(path).value(CustomerNumberField), u"3"_s);
}

QTEST_MAIN(InvoiceFilesTest)
#include "tst_saveandopen.moc"
