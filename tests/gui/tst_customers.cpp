// The customer register as the user meets it: the register box with its
// new-customer row, "Poista rivi", "OK" and "Peruuta"; lookups by number and
// by name while typing; the drop-down; and customers added by saving.

#include "tests/support/registerreference.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"
#include "storage/collation.h"
#include "storage/cp1252.h"
#include "storage/customerregister.h"
#include "storage/gridline.h"
#include "storage/invoicefile.h"
#include "storage/savelimits.h"
#include "storage/textfile.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// After the due date: no buyer's e-invoice address, no credited invoice, then
// the biller the invoice is issued with, the default biller details.
const QString kIssuedByDefaultBiller = u",\"\",\"\",\"\",\"\",\"Nimi?\",\"Osoite?\",\"\",\"00000 KAUPUNKI?\",\"1234567-8?\","
                                       u"\"1234567-8?\",\"FI00 0000 0000 0000 00?\",\"BANKBANK?\""_s;

QByteArray cp(const QString &text)
{
    return stringToCp1252(text);
}

// A program folder whose save folder already holds a register file.
class Register
{
public:
    explicit Register(const QStringList &lines = {})
    {
        if (!lines.isEmpty()) {
            QFile file(m_data.filePath(u"AsiakRek.csv"_s));
            if (file.open(QIODevice::WriteOnly))
                file.write(cp(lines.join(u"\r\n"_s) + u"\r\n"_s));
        }
        const QString settings = u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(m_data.path())
            + QDir::separator() + u"\r\n"_s;
        m_fixture = std::make_unique<FormFixture>(cp(settings));
    }

    TForm1 &form() { return m_fixture->form(); }
    FormFixture &fixture() { return *m_fixture; }
    ScriptedPrompter &prompter() { return m_fixture->prompter(); }
    StringGrid *grid() { return m_fixture->form().AsiakRekisteri1; }
    QString file() const { return m_data.filePath(u"AsiakRek.csv"_s); }
    QString data(const QString &relative) const { return m_data.filePath(relative); }

    /// The customer rows of the grid, heading and new-customer row left out.
    QList<QStringList> customers()
    {
        QList<QStringList> rows;
        for (int r = 1; r < grid()->rowCount() - 1; ++r)
            rows.append(grid()->rowCells(r));
        return rows;
    }
    QStringList names()
    {
        QStringList list;
        for (const QStringList &row : customers())
            list.append(row[0]);
        return list;
    }

    /// Opens the register box and types a new customer's name into its last row.
    void typeNewCustomer(const QString &name)
    {
        if (!form().AsiakBox1->isVisible())
            form().Asiakasrekisteri1->trigger();
        typeIntoGrid(grid(), 0, grid()->rowCount() - 1, name);
    }

private:
    QTemporaryDir m_data;
    std::unique_ptr<FormFixture> m_fixture;
};

// A customer's cells; the e-invoice cells hold a blank, as after a re-sort,
// unless given.
QStringList row(const QString &name, const QString &address, const QString &id, const QString &number,
                const QString &einvoice = u" "_s, const QString &einvoiceOperator = u" "_s)
{
    return {name, address, u" "_s, u" "_s, id, number, einvoice, einvoiceOperator};
}

const QStringList kThree = {
    u"\"Aalto Anna\",\"Koivukuja 2\",\" \",\" \",\" \",1"_s,
    u"\"Virtanen Matti\",\"Mäntytie 5\",\"00100 HELSINKI\",\" \",1234567-8,2"_s,
    u"\"Virtanen Pekka\",\"Kuusitie 7\",\" \",\" \",\" \",4"_s,
};

// What the user does in the register box before "OK".
using RegisterEdit = void (*)(Register &);

// Matti with an e-invoice address and operator.
const QStringList kThreeWithEinvoice = {
    kThree[0],
    kThree[1] + u",003712345678,NDEAFIHH"_s,
    kThree[2],
};

QLineEdit *nameEdit(TForm1 &form)
{
    return form.AsiakNimi1->lineEdit();
}


// Generated registers of thousands of customers, as the program writes them
// or as edited by hand: names with Finnish letters and accents, twins that
// differ only in case, empty cells, quotes and commas, e-invoice addresses,
// and by hand also lines out of order, repeated and too short to keep.
QStringList generatedRegister(int customers, bool byHand, quint32 seed)
{
    static const QStringList kStarts = {u"Aa"_s, u"Ah"_s, u"Bä"_s, u"Ek"_s, u"É"_s, u"Hä"_s, u"Jä"_s, u"Ko"_s,
                                        u"Kö"_s, u"La"_s, u"Mä"_s, u"Ni"_s, u"Pö"_s, u"Sa"_s, u"Va"_s, u"Vä"_s,
                                        u"Za"_s, u"Åb"_s, u"Äh"_s, u"Öh"_s};
    static const QStringList kParts = {u"la"_s, u"nen"_s, u"kka"_s, u"rvi"_s, u"mä"_s, u"sö"_s, u"å"_s, u"é"_s,
                                       u"-"_s, u" "_s, u"tti"_s, u"lä"_s};
    QRandomGenerator random(seed);
    QList<QStringList> rows;
    for (int i = 0; i < customers; ++i) {
        QString name = kStarts[random.bounded(int(kStarts.size()))];
        for (int p = random.bounded(1, 5); p > 0; --p)
            name += kParts[random.bounded(int(kParts.size()))];
        if (random.bounded(10) == 0 && !rows.isEmpty())
            name = rows[random.bounded(int(rows.size()))][NameColumn].toUpper();
        const bool einvoice = random.bounded(8) == 0;
        rows.append({name, random.bounded(6) == 0 ? QString() : u"Katu, \"A\" "_s + QString::number(i),
                     random.bounded(3) == 0 ? QString() : u"00100 HELSINKI"_s, QString(),
                     random.bounded(4) == 0 ? QString() : u"1234567-8"_s, QString::number(i + 1),
                     einvoice ? u"0037"_s + QString::number(i) : QString(), einvoice ? u"NDEAFIHH"_s : QString()});
    }
    if (!byHand) {
        SortRegisterRows(rows);
        return RegisterFileLines(rows);
    }
    QStringList lines;
    for (const QStringList &row : std::as_const(rows))
        lines.append(FormatCellsLine(row));
    for (int i = 0; i < customers / 20; ++i) {
        lines.append(lines[random.bounded(int(lines.size()))]);
        lines.append(u"a,b,,,,"_s + QString::number(customers + i));
    }
    std::shuffle(lines.begin(), lines.end(), random);
    return lines;
}

QByteArray fileBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += cp(line) + "\r\n";
    return bytes;
}

// What the register held after adding a customer, by the rule the program
// has always kept: the name in a row of its own, the smallest free number
// (the heading's "As.nro" among the texts), all rows re-sorted, then the row
// of that name given its number, and the invoice's cells when withCells is set.
void addByOldRule(QList<QStringList> &rows, const QStringList &customer, bool withCells)
{
    QStringList numbers{u"As.nro"_s};
    for (const QStringList &row : std::as_const(rows))
        numbers.append(row[CustomerNumberColumn]);
    QStringList named(RegisterColumnCount);
    named[NameColumn] = customer[NameColumn];
    rows.append(named);
    SortRegisterRows(rows);
    const int number = SmallestFreeCustomerNumber(numbers);
    for (QStringList &row : rows) {
        if (row[NameColumn].compare(customer[NameColumn], Qt::CaseInsensitive) == 0) {
            for (int c = Address1Column; withCells && c < RegisterColumnCount; ++c)
                row[c] = customer[c];
            row[CustomerNumberColumn] = QString::number(number);
            break;
        }
    }
}

// The register row a lookup by name should find, searched row by row: the
// first whose name begins with the typed text letter for letter, ignoring
// case only; -1 when none.
int bruteForceLookup(const QList<QStringList> &rows, const QString &typed)
{
    for (int r = 0; r < rows.size(); ++r) {
        if (rows[r][NameColumn].toCaseFolded().startsWith(typed.toCaseFolded()))
            return r;
    }
    return -1;
}
} // namespace

class CustomersTest : public QObject
{
    Q_OBJECT

private slots:
    void registerLoadsSortedAtStart_data();
    void registerLoadsSortedAtStart();
    void newCustomerGetsSmallestFreeNumber_data();
    void newCustomerGetsSmallestFreeNumber();
    void enterInRegisterSortsAndNumbersNewCustomer();
    void enterWalksRightThenToNewRow();
    void deleteRowMovesCustomersUp();
    void deleteOnNewCustomerRowDoesNothing();
    void cancelRestoresTheFile();
    void okSavesAndClosesTheBox();
    void okNumbersNameNotYetLeft();
    void okBeforeAnySaveFolderSaysWhy();
    void closedBoxLeavesNoScrollBar_data();
    void closedBoxLeavesNoScrollBar();
    void okWithUnwritableFileKeepsBoxOpen();
    void okWithTooLongCustomerKeepsBoxOpen();
    void registerTooLongToWriteStopsOnlyNewCustomers_data();
    void registerTooLongToWriteStopsOnlyNewCustomers();
    void singleCharacterCustomerDroppedAtResort();
    void lookupByNumber_data();
    void lookupByNumber();
    void typingCompletesFromRegister_data();
    void typingCompletesFromRegister();
    void everyNameFoundByItsBeginning();
    void typedNameTakesRegisterName_data();
    void typedNameTakesRegisterName();
    void lookupNeverTakesALookAlike_data();
    void lookupNeverTakesALookAlike();
    void backspaceRemovesCompletionAndLastCharacter();
    void unknownNameEmptiesCustomerBlock();
    void nameFilledByNumberIsEditedAsShown();
    void dropDownListsRegisterNames();
    void dropDownKeepsTypedCustomer();
    void renamedCustomerFoundByNewName();
    void enterWalksNameAddressAndRows();
    void savingKnownCustomerLeavesRegister();
    void registerFileHasEinvoiceColumnsOnlyWhereSet_data();
    void registerFileHasEinvoiceColumnsOnlyWhereSet();
    void choosingCustomerSetsBuyerEinvoice_data();
    void choosingCustomerSetsBuyerEinvoice();
    void savingNewCustomerAddsItWithAddress();
    void unreadableRegisterIsNeverSavedOver();
    void nulHidesNoCustomer();
    void emptyLinesMakeNoCustomers_data();
    void emptyLinesMakeNoCustomers();
    void damagedRegisterRefusedAndKept();
    void largeRegisterWrittenAsBefore_data();
    void largeRegisterWrittenAsBefore();
    void largeRegisterLookupAsBruteForce();
    void keyTypedWhileLargeRegisterLoadsCompletes();
};

void CustomersTest::registerLoadsSortedAtStart_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("firstNumber");
    QTest::newRow("no file") << QStringList() << QStringList() << QString();
    QTest::newRow("sorted file") << kThree
                                 << QStringList{u"Aalto Anna"_s, u"Virtanen Matti"_s, u"Virtanen Pekka"_s}
                                 << u"1"_s;
    QTest::newRow("edited by hand: Finnish order, any case")
        << QStringList{u"Öhman,x,,,,1"_s, u"zeta,x,,,,2"_s, u"Åberg,x,,,,3"_s, u"ähtäri,x,,,,4"_s,
                       u"Aalto,x,\" \",\" \",\" \",5"_s}
        << QStringList{u"Aalto"_s, u"zeta"_s, u"Åberg"_s, u"ähtäri"_s, u"Öhman"_s} << u"5"_s;
}

void CustomersTest::registerLoadsSortedAtStart()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, names);
    QFETCH(QString, firstNumber);
    Register reg(lines);
    QCOMPARE(reg.grid()->rowCount(), names.size() + 2);
    QCOMPARE(reg.grid()->cell(0, 0), u"Asiakkaan nimi"_s);
    QCOMPARE(reg.names(), names);
    QCOMPARE(reg.grid()->rowCells(reg.grid()->rowCount() - 1), QStringList(RegisterColumnCount));
    // Each customer's number moves with its name.
    QCOMPARE(reg.grid()->cell(5, 1), firstNumber);
}

void CustomersTest::newCustomerGetsSmallestFreeNumber_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("next");
    QTest::newRow("1, 2 and 4 used") << QStringList{u"1"_s, u"2"_s, u"4"_s} << u"3"_s;
    QTest::newRow("1 to 5 used") << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s} << u"6"_s;
    QTest::newRow("empty register") << QStringList() << u"1"_s;
}

void CustomersTest::newCustomerGetsSmallestFreeNumber()
{
    QFETCH(QStringList, numbers);
    QFETCH(QString, next);
    QStringList lines;
    for (const QString &number : numbers)
        lines.append(u"Asiakas"_s + number + u",Katu,\" \",\" \",\" \","_s + number);
    Register reg(lines);
    QVERIFY(reg.fixture().show());
    reg.typeNewCustomer(u"Uusi"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(reg.grid()->cell(5, reg.grid()->row()), next);
}

void CustomersTest::enterInRegisterSortsAndNumbersNewCustomer()
{
    Register reg(kThree);
    QVERIFY(reg.fixture().show());
    reg.typeNewCustomer(u"Nieminen Oy"_s);
    pressKey(Qt::Key_Return);

    QCOMPARE(reg.names(), (QStringList{u"Aalto Anna"_s, u"Nieminen Oy"_s, u"Virtanen Matti"_s,
                                       u"Virtanen Pekka"_s}));
    QCOMPARE(reg.grid()->rowCells(2), row(u"Nieminen Oy"_s, u" "_s, u" "_s, u"3"_s));
    QCOMPARE(reg.grid()->row(), 2);
    QCOMPARE(reg.grid()->col(), 1);
    QCOMPARE(reg.grid()->rowCells(5), QStringList(RegisterColumnCount));
    QCOMPARE(reg.grid()->rowCount(), 6);

    // The user goes on with the address; nothing is saved before "OK".
    typeKeys(u"Satamakatu 3"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(reg.grid()->cell(1, 2), u"Satamakatu 3"_s);
    QCOMPARE(reg.grid()->col(), 2);
    QCOMPARE(readBytes(reg.file()), cp(kThree.join(u"\r\n"_s) + u"\r\n"_s));
}

void CustomersTest::enterWalksRightThenToNewRow()
{
    Register reg(kThree);
    QVERIFY(reg.fixture().show());
    reg.form().Asiakasrekisteri1->trigger();
    reg.grid()->setFocus();
    reg.grid()->setCurrentCell(2, 1);
    pressKey(Qt::Key_Return);
    QCOMPARE(reg.grid()->col(), 3);
    QCOMPARE(reg.grid()->row(), 1);
    reg.grid()->setCurrentCell(CustomerNumberColumn, 2);
    pressKey(Qt::Key_Return);
    QCOMPARE(reg.grid()->col(), EinvoiceAddressColumn);
    reg.grid()->setCurrentCell(EinvoiceOperatorColumn, 2);
    pressKey(Qt::Key_Return);
    QCOMPARE(reg.grid()->col(), 0);
    QCOMPARE(reg.grid()->row(), 4);
    QCOMPARE(reg.names().size(), 3);
}

void CustomersTest::deleteRowMovesCustomersUp()
{
    Register reg(kThree);
    QVERIFY(reg.fixture().show());
    reg.form().Asiakasrekisteri1->trigger();
    // A cell emptied in the box moves with its row as an empty cell.
    reg.grid()->setCell(4, 2, QString());
    reg.grid()->setCurrentCell(3, 1);
    QTest::mouseClick(reg.form().DelRow3, Qt::LeftButton);

    QCOMPARE(reg.customers(),
             (QList<QStringList>{{u"Virtanen Matti"_s, u"Mäntytie 5"_s, u"00100 HELSINKI"_s, u" "_s, QString(), u"2"_s,
                                  QString(), QString()},
                                 row(u"Virtanen Pekka"_s, u"Kuusitie 7"_s, u" "_s, u"4"_s, QString(), QString())}));
    QCOMPARE(reg.grid()->rowCount(), 4);
    QCOMPARE(reg.grid()->rowCells(3), QStringList(RegisterColumnCount));
    QCOMPARE(reg.grid()->row(), 1);
    // Reaches the file only with "OK".
    QCOMPARE(readBytes(reg.file()), cp(kThree.join(u"\r\n"_s) + u"\r\n"_s));
}

void CustomersTest::deleteOnNewCustomerRowDoesNothing()
{
    Register reg(kThree);
    reg.form().Asiakasrekisteri1->trigger();
    reg.grid()->setCurrentCell(0, 4);
    reg.form().DelRow3Click();
    QCOMPARE(reg.grid()->rowCount(), 5);
    QCOMPARE(reg.names().size(), 3);

    Register empty;
    empty.form().Asiakasrekisteri1->trigger();
    empty.form().DelRow3Click();
    QCOMPARE(empty.grid()->rowCount(), 2);
}

void CustomersTest::cancelRestoresTheFile()
{
    Register reg(kThree);
    QVERIFY(reg.fixture().show());
    const QList<QStringList> stored = reg.customers();
    reg.typeNewCustomer(u"Uusi Yksi"_s);
    pressKey(Qt::Key_Return);
    reg.typeNewCustomer(u"Uusi Kaksi"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(reg.names().size(), 5);
    reg.grid()->setCurrentCell(0, 1);
    reg.form().DelRow3Click();
    QVERIFY(reg.form().AsiakBox1->isVisible());
    QVERIFY(!reg.form().LaskuPanel1->isEnabled());

    QTest::mouseClick(reg.form().Cancel3, Qt::LeftButton);

    QCOMPARE(reg.customers(), stored);
    QCOMPARE(reg.grid()->rowCount(), 5);
    QVERIFY(!reg.form().AsiakBox1->isVisible());
    QVERIFY(reg.form().LaskuPanel1->isEnabled());
    QCOMPARE(reg.form().width(), reg.form().PageWindowWidth());
}

void CustomersTest::okSavesAndClosesTheBox()
{
    Register reg(kThree);
    QVERIFY(reg.fixture().show());
    reg.typeNewCustomer(u"Nieminen Oy"_s);
    pressKey(Qt::Key_Return);
    typeKeys(u"Satamakatu 3, B"_s);
    pressKey(Qt::Key_Return);
    reg.grid()->setCurrentCell(0, 3);
    reg.form().DelRow3Click();

    QTest::mouseClick(reg.form().Ok3, Qt::LeftButton);

    QCOMPARE(reg.prompter().takeMessages(), QStringList());
    QCOMPARE(readBytes(reg.file()), cp(u"\"Aalto Anna\",\"Koivukuja 2\",\" \",\" \",\" \",1\r\n"
                                       u"\"Nieminen Oy\",\"Satamakatu 3, B\",\" \",\" \",\" \",3\r\n"
                                       u"\"Virtanen Pekka\",\"Kuusitie 7\",\" \",\" \",\" \",4\r\n"_s));
    QVERIFY(!reg.form().AsiakBox1->isVisible());
    QVERIFY(reg.form().LaskuPanel1->isEnabled());
    QCOMPARE(reg.form().width(), reg.form().PageWindowWidth());
}

void CustomersTest::okNumbersNameNotYetLeft()
{
    Register reg(kThree);
    QVERIFY(reg.fixture().show());
    reg.typeNewCustomer(u"Nieminen Oy"_s);
    QTest::mouseClick(reg.form().Ok3, Qt::LeftButton);
    QCOMPARE(reg.names(), (QStringList{u"Aalto Anna"_s, u"Nieminen Oy"_s, u"Virtanen Matti"_s,
                                       u"Virtanen Pekka"_s}));
    QCOMPARE(reg.grid()->cell(5, 2), u"3"_s);
    QCOMPARE(reg.grid()->rowCells(reg.grid()->rowCount() - 1), QStringList(RegisterColumnCount));
    QVERIFY(readBytes(reg.file()).contains("\"Nieminen Oy\",\" \",\" \",\" \",\" \",3\r\n"));
}

// The register saved before any invoice asks for the save folder, and the
// folder dialog says that the register goes there.
void CustomersTest::okBeforeAnySaveFolderSaysWhy()
{
    // A home of the test's own: the dialog opens in a folder made under
    // its documents folder.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const auto restore = qScopeGuard([&oldHome] { qputenv("HOME", oldHome); });
    QTemporaryDir folder;
    FormFixture f;
    TForm1 &form = f.form();
    QVERIFY(f.show());
    QCOMPARE(form.DataDir, QString());
    chooseFromMenuBar(form, {u"Muokkaa"_s, u"Asiakasrekisteri"_s});
    typeIntoGrid(form.AsiakRekisteri1, 0, 1, u"Nieminen Oy"_s);
    f.prompter().answerFolder(folder.path());

    QTest::mouseClick(form.Ok3, Qt::LeftButton);

    QCOMPARE(f.prompter().folderRequests.size(), 1);
    QCOMPARE(f.prompter().folderRequests.constFirst().section(u'|', 0, 0),
             u"Anna tallennuskansio: asiakasrekisteri tallennetaan sinne"_s);
    QVERIFY(readBytes(folder.filePath(u"AsiakRek.csv"_s)).startsWith("\"Nieminen Oy\","));
    QVERIFY(!form.AsiakBox1->isVisible());
    QCOMPARE(form.TallennusTila1->text(),
             u"Tallennuskansio: "_s + QDir::toNativeSeparators(folder.path()) + QDir::separator());
}

void CustomersTest::closedBoxLeavesNoScrollBar_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Peruuta") << false;
}

// The page widens to hold the register box beside it; once the box is
// closed, the window is as wide as the page again, without a scroll bar.
void CustomersTest::closedBoxLeavesNoScrollBar()
{
    QFETCH(bool, ok);
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    const QScrollBar *bar = form.ScrollBox->horizontalScrollBar();
    QTRY_VERIFY(!bar->isVisible());
    chooseFromMenuBar(form, {u"Muokkaa"_s, u"Asiakasrekisteri"_s});
    QVERIFY(form.AsiakBox1->isVisible());

    QTest::mouseClick(ok ? form.Ok3 : form.Cancel3, Qt::LeftButton);

    QVERIFY(!form.AsiakBox1->isVisible());
    QCOMPARE(form.width(), form.PageWindowWidth());
    QCOMPARE(form.Page->width(), form.LaskuPanel1->width());
    QTRY_VERIFY(!bar->isVisible());
    QCOMPARE(bar->maximum(), 0);
}

void CustomersTest::okWithUnwritableFileKeepsBoxOpen()
{
    Register reg(kThree);
    QVERIFY(reg.fixture().show());
    QVERIFY(QFile::remove(reg.file()));
    QVERIFY(QDir().mkdir(reg.file()));
    reg.typeNewCustomer(u"Nieminen Oy"_s);
    pressKey(Qt::Key_Return);
    QTest::mouseClick(reg.form().Ok3, Qt::LeftButton);
    QCOMPARE(reg.prompter().takeMessages(),
             QStringList{u"Cannot create file "_s + QDir::toNativeSeparators(reg.file())});
    QVERIFY(reg.form().AsiakBox1->isVisible());
    QCOMPARE(reg.names().size(), 4);
}

// A customer the file could not be read back with is not saved, and the
// file keeps every customer.
void CustomersTest::okWithTooLongCustomerKeepsBoxOpen()
{
    Register reg(kThree);
    QVERIFY(reg.fixture().show());
    const QByteArray before = readBytes(reg.file());
    reg.form().Asiakasrekisteri1->trigger();
    reg.grid()->setCell(Address2Column, 1, QString(kMaxTextLineLength, u','));
    QTest::mouseClick(reg.form().Ok3, Qt::LeftButton);
    QCOMPARE(reg.prompter().takeMessages(),
             QStringList{RegisterTooLongText(u"asiakasrekisterin asiakas \"Aalto Anna\""_s)});
    QVERIFY(reg.form().AsiakBox1->isVisible());
    QCOMPARE(readBytes(reg.file()), before);
}

void CustomersTest::registerTooLongToWriteStopsOnlyNewCustomers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("known customer: register not written, invoice saved") << u"Aalto Anna"_s << QStringList();
    QTest::newRow("new customer: nothing written")
        << u"Uusi Oy"_s << QStringList{InvoiceTooLongText(u"asiakasrekisterin asiakas \"Pitkä Oy\""_s)};
}

// A register line read whole grows past the limit with the placeholders of
// its missing cells: the register cannot be written, but it is written only
// for a new customer.
void CustomersTest::registerTooLongToWriteStopsOnlyNewCustomers()
{
    QFETCH(QString, name);
    QFETCH(QStringList, messages);
    const QString line = u"\"Pitkä Oy\","_s + QString(kMaxTextLineLength - 11, u'A');
    Register reg(QStringList{kThree[0], line});
    const QByteArray before = readBytes(reg.file());
    QCOMPARE(reg.names(), (QStringList{u"Aalto Anna"_s, u"Pitkä Oy"_s}));
    reg.form().AsiakNimi1->setEditText(name);
    reg.form().LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s});

    QTest::mouseClick(reg.form().Valmis1, Qt::LeftButton);

    QCOMPARE(reg.prompter().takeMessages(), messages);
    QCOMPARE(QFile::exists(reg.data(u"2026/1.csv"_s)), messages.isEmpty());
    QCOMPARE(readBytes(reg.file()), before);
}

void CustomersTest::singleCharacterCustomerDroppedAtResort()
{
    Register reg(kThree);
    QVERIFY(reg.fixture().show());
    reg.form().Asiakasrekisteri1->trigger();
    reg.grid()->setRowCells(1, {u"A"_s, u"x"_s, u" "_s, u" "_s, u" "_s, u"1"_s});
    reg.form().Ok3Click();
    QVERIFY(!readBytes(reg.file()).contains("\"A\""));
    QVERIFY(!readBytes(reg.file()).startsWith("A,"));
    QCOMPARE(reg.names(), (QStringList{u"A"_s, u"Virtanen Matti"_s, u"Virtanen Pekka"_s}));

    reg.typeNewCustomer(u"Uusi"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(reg.names(), (QStringList{u"Uusi"_s, u"Virtanen Matti"_s, u"Virtanen Pekka"_s}));
    // Numbers are collected before the re-sort drops the row.
    QCOMPARE(reg.grid()->cell(5, 1), u"3"_s);
}

void CustomersTest::lookupByNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("id");
    QTest::newRow("known customer") << u"2"_s << u"Virtanen Matti"_s << u"Mäntytie 5"_s << u"1234567-8"_s;
    QTest::newRow("not in register empties the block") << u"99"_s << QString() << QString() << QString();
}

void CustomersTest::lookupByNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(QString, id);
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setEditText(u"Joku Muu"_s);
    form.AsiakOsoite1->setCell(1, 1, u"Vanha osoite"_s);
    form.AsiakY1->setText(u"vanha"_s);
    form.AsiakNro1->setFocus();
    form.AsiakNro1->clear();
    typeKeys(number);
    pressKey(Qt::Key_Return);

    QCOMPARE(form.AsiakNimi1->currentText(), name);
    QCOMPARE(form.AsiakOsoite1->cell(1, 0), name);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), address);
    QCOMPARE(form.AsiakY1->text(), id);
    QCOMPARE(form.AsiakNro1->text(), name.isEmpty() ? QString() : number);
    QCOMPARE(form.AsiakNimi2->text(), name);
    QCOMPARE(form.AsiakOsoite2->text(), address);
    QCOMPARE(form.AsiakOsoite3->text(), name.isEmpty() ? QString() : u"00100 HELSINKI"_s);
}

void CustomersTest::typingCompletesFromRegister_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");
    QTest::newRow("first word fills the first of two") << u"Virtanen"_s << u"Virtanen Matti"_s << u"2"_s;
    QTest::newRow("first letter of second word") << u"Virtanen P"_s << u"Virtanen Pekka"_s << u"4"_s;
    QTest::newRow("small letters take the register's capitals") << u"virtanen p"_s << u"Virtanen Pekka"_s << u"4"_s;
    QTest::newRow("capitals take the register's small letters") << u"VIRTANEN M"_s << u"Virtanen Matti"_s << u"2"_s;
    QTest::newRow("one letter") << u"a"_s << u"Aalto Anna"_s << u"1"_s;
}

void CustomersTest::typingCompletesFromRegister()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(QString, number);
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setFocus();
    typeKeys(typed);

    // The register's name as the register has it, the part not typed
    // selected so the next key replaces it.
    QCOMPARE(form.AsiakNimi1->currentText(), name);
    QCOMPARE(nameEdit(form)->selectionStart(), typed.size());
    QCOMPARE(nameEdit(form)->selectedText(), name.mid(typed.size()));
    QCOMPARE(form.AsiakNro1->text(), number);
    QCOMPARE(form.AsiakOsoite1->cell(1, 0), name);
    QCOMPARE(form.AsiakNimi2->text(), name);
}

void CustomersTest::typedNameTakesRegisterName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("number");
    QTest::newRow("small letters") << u"aho kalle oy"_s << u"Aho Kalle Oy"_s << QString() << u"5"_s;
    QTest::newRow("capitals") << u"AHO KALLE OY"_s << u"Aho Kalle Oy"_s << QString() << u"5"_s;
    QTest::newRow("Finnish letters") << u"äijälä ån"_s << u"Äijälä Ån"_s << QString() << u"6"_s;
    QTest::newRow("a beginning in small letters") << u"aho k"_s << u"Aho Kalle Oy"_s << u"alle Oy"_s << u"5"_s;
    QTest::newRow("a beginning in capitals") << u"AHO KALLE"_s << u"Aho Kalle Oy"_s << u" Oy"_s << u"5"_s;
    QTest::newRow("a beginning with Finnish letters") << u"ÄIJ"_s << u"Äijälä Ån"_s << u"älä Ån"_s << u"6"_s;
    QTest::newRow("a look-alike is not the name") << u"aho kalle öy"_s << u"aho kalle öy"_s << QString() << QString();
}

// Typing a register name, whole or its beginning, in any case, puts the
// register's name on the invoice, the giro form and the saved file.
void CustomersTest::typedNameTakesRegisterName()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(QString, selected);
    QFETCH(QString, number);
    Register reg(kThree + QStringList{u"\"Aho Kalle Oy\",Rantatie,\" \",\" \",\" \",5"_s,
                                      u"\"Äijälä Ån\",Ahotie,\" \",\" \",\" \",6"_s});
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setFocus();
    typeKeys(typed);

    QCOMPARE(form.AsiakNimi1->currentText(), name);
    QCOMPARE(nameEdit(form)->selectedText(), selected);
    QCOMPARE(form.AsiakOsoite1->cell(1, 0), name);
    QCOMPARE(form.AsiakNimi2->text(), name);
    QCOMPARE(form.AsiakNro1->text(), number);

    form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s});
    QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    const QList<QByteArray> saved = readBytes(reg.data(u"2026/1.csv"_s)).split('\n');
    QVERIFY(saved.size() > 2);
    // A new customer gets the first free number, 3; the invoice's VAT mode
    // and terms follow it.
    QVERIFY2(saved[0].endsWith(cp(u",\"%1\",%2\r"_s.arg(number.isEmpty() ? u"3"_s : number, u"\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\",\"21.12.2026\""_s + kIssuedByDefaultBiller))),
             saved[0].constData());
    QVERIFY2(saved[1].startsWith(cp(u"\""_s + name + u"\","_s)), saved[1].constData());
}

void CustomersTest::everyNameFoundByItsBeginning()
{
    const QStringList names = {u"Åberg Oy"_s, u"aalto Ky"_s, u"Öljy-Öhman"_s, u"Zeta Tmi"_s,
                               u"ääni Ab"_s, u"Éclair Ay"_s, u"Mäki Pekka"_s, u"Mattila Ari"_s};
    QStringList lines;
    for (int i = 0; i < names.size(); ++i)
        lines.append(u"\""_s + names[i] + u"\",x,,,,"_s + QString::number(i + 1));
    Register reg(lines);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    for (const QString &name : names) {
        for (const QString &typed : {name.left(3), name.left(3).toUpper(), name.left(3).toLower()}) {
            form.AsiakNimi1->setFocus();
            nameEdit(form)->clear();
            typeKeys(typed);
            QVERIFY2(form.AsiakNimi1->currentText() == name, qPrintable(typed + u" -> "_s + form.AsiakNimi1->currentText()));
        }
    }
}

void CustomersTest::lookupNeverTakesALookAlike_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("chosenFromList");
    QTest::addColumn<QString>("number");
    const QStringList cafes{u"Cafe Ole Oy"_s, u"Café Olé Oy"_s};
    QTest::newRow("accents typed") << cafes << u"Café Olé Oy"_s << false << u"2"_s;
    QTest::newRow("accents chosen from the list") << cafes << u"Café Olé Oy"_s << true << u"2"_s;
    QTest::newRow("no accents typed") << cafes << u"Cafe Ole Oy"_s << false << u"1"_s;
    QTest::newRow("ß typed, ss in the register") << QStringList{u"Strasse Oy"_s} << u"Straße Oy"_s << false << QString();
    QTest::newRow("ss typed, ß in the register") << QStringList{u"Straße Oy"_s} << u"Strasse Oy"_s << false << QString();
    QTest::newRow("th typed, þ in the register") << QStringList{u"Þór Ab"_s} << u"Thora Ab"_s << false << QString();
    QTest::newRow("y typed, ü in the register") << QStringList{u"Müller Oy"_s} << u"Myller Oy"_s << false << QString();
    QTest::newRow("capitals of a new name stay") << QStringList{u"Abc Oy"_s} << u"ABC Consulting"_s << false << QString();
}

// A customer is filled only from a name that matches letter for letter,
// ignoring case only, and the name box always keeps what was typed.
void CustomersTest::lookupNeverTakesALookAlike()
{
    QFETCH(QStringList, names);
    QFETCH(QString, typed);
    QFETCH(bool, chosenFromList);
    QFETCH(QString, number);
    QStringList lines;
    for (int i = 0; i < names.size(); ++i)
        lines.append(u"\""_s + names[i] + u"\",\"Katu "_s + QString::number(i + 1) + u"\",\" \",\" \",\" \","_s + QString::number(i + 1));
    Register reg(lines);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setFocus();
    if (chosenFromList) {
        QTest::keyClick(form.AsiakNimi1, Qt::Key_F4);
        QAbstractItemView *list = form.AsiakNimi1->view();
        QTRY_VERIFY(list->isVisible());
        list->setCurrentIndex(list->model()->index(int(names.indexOf(typed)), 0));
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!list->isVisible());
    } else {
        typeKeys(typed);
    }

    QCOMPARE(form.AsiakNimi1->currentText(), typed);
    QCOMPARE(form.AsiakNro1->text(), number);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), number.isEmpty() ? QString() : u"Katu "_s + number);
    QCOMPARE(form.AsiakNimi2->text(), typed);
}

void CustomersTest::backspaceRemovesCompletionAndLastCharacter()
{
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setFocus();
    typeKeys(u"Virtanen P"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virtanen Pekka"_s);

    pressKey(Qt::Key_Backspace);

    // "Virtanen " remains and completes again, to the first such name.
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virtanen Matti"_s);
    QCOMPARE(nameEdit(form)->selectionStart(), 9);
    QCOMPARE(nameEdit(form)->selectedText(), u"Matti"_s);
    QCOMPARE(form.AsiakNro1->text(), u"2"_s);
}

// A name the program put into the box is edited as it is shown, whatever
// was typed into the box before it.
void CustomersTest::nameFilledByNumberIsEditedAsShown()
{
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setFocus();
    typeKeys(u"virtanen m"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virtanen Matti"_s);
    form.AsiakNro1->setFocus();
    form.AsiakNro1->clear();
    typeKeys(u"4"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virtanen Pekka"_s);

    form.AsiakNimi1->setFocus();
    nameEdit(form)->end(false);
    typeKeys(u" Oy"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virtanen Pekka Oy"_s);
    QCOMPARE(form.AsiakNro1->text(), QString());
}

void CustomersTest::unknownNameEmptiesCustomerBlock()
{
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setFocus();
    typeKeys(u"Virx"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virx"_s);
    QCOMPARE(form.AsiakNro1->text(), QString());
    QCOMPARE(form.AsiakY1->text(), QString());
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), QString());
    QCOMPARE(form.AsiakNimi2->text(), u"Virx"_s);
    // Editing inside a name not in the register keeps what was typed.
    nameEdit(form)->setCursorPosition(2);
    typeKeys(u"ab"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Viabrx"_s);
}

void CustomersTest::dropDownListsRegisterNames()
{
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setFocus();
    typeKeys(u"Vir"_s);
    QTest::keyClick(form.AsiakNimi1, Qt::Key_F4);

    QStringList items;
    for (int i = 0; i < form.AsiakNimi1->count(); ++i)
        items.append(form.AsiakNimi1->itemText(i));
    QCOMPARE(items, (QStringList{u"Aalto Anna"_s, u"Virtanen Matti"_s, u"Virtanen Pekka"_s, QString()}));
    // The typed text and its completion stay while the list is open.
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virtanen Matti"_s);
    QCOMPARE(form.AsiakNro1->text(), u"2"_s);

    // Choosing an item runs the lookup by name.
    QAbstractItemView *list = form.AsiakNimi1->view();
    QTRY_VERIFY(list->isVisible());
    list->setCurrentIndex(list->model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_COMPARE(form.AsiakNimi1->currentText(), u"Virtanen Pekka"_s);
    QCOMPARE(form.AsiakNro1->text(), u"4"_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), u"Kuusitie 7"_s);

    // A register changed since is listed anew.
    reg.typeNewCustomer(u"Nieminen Oy"_s);
    pressKey(Qt::Key_Return);
    form.Ok3Click();
    form.AsiakNimi1DropDown();
    QCOMPARE(form.AsiakNimi1->count(), 5);
    QCOMPARE(form.AsiakNimi1->itemText(1), u"Nieminen Oy"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Virtanen Pekka"_s);
}

void CustomersTest::dropDownKeepsTypedCustomer()
{
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setFocus();
    typeKeys(u"Uusi Asiakas"_s);
    form.AsiakOsoite1->setCell(1, 1, u"Katu 1"_s);
    form.AsiakY1->setText(u"7654321-0"_s);
    nameEdit(form)->setCursorPosition(4);
    QTest::keyClick(form.AsiakNimi1, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(form.AsiakNimi1->count(), 4);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Uusi Asiakas"_s);
    QCOMPARE(nameEdit(form)->cursorPosition(), 4);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), u"Katu 1"_s);
    QCOMPARE(form.AsiakY1->text(), u"7654321-0"_s);
}

void CustomersTest::renamedCustomerFoundByNewName()
{
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.Asiakasrekisteri1->trigger();
    reg.grid()->setFocus();
    reg.grid()->setCurrentCell(0, 1);
    pressKey(Qt::Key_F2);
    pressKey(Qt::Key_End);
    typeKeys(u"nen"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(reg.grid()->cell(0, 1), u"Aalto Annanen"_s);
    form.Ok3Click();

    form.AsiakNimi1->setFocus();
    typeKeys(u"aalto annan"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Aalto Annanen"_s);
    QCOMPARE(form.AsiakNro1->text(), u"1"_s);
}

void CustomersTest::enterWalksNameAddressAndRows()
{
    Register reg(kThree);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.AsiakNimi1->setFocus();
    typeKeys(u"Uusi Asiakas"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), form.AsiakOsoite1);
    QCOMPARE(form.AsiakOsoite1->row(), 1);
    QCOMPARE(form.AsiakOsoite1->col(), 1);
    typeKeys(u"Katu 1"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), u"Katu 1"_s);
    QCOMPARE(form.AsiakOsoite1->row(), 2);
    typeKeys(u"00100 HELSINKI"_s);
    pressKey(Qt::Key_Return);
    QCOMPARE(form.AsiakOsoite1->row(), 3);
    pressKey(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), form.LaskuRivit1);
    QCOMPARE(form.LaskuRivit1->row(), 1);
    QCOMPARE(form.LaskuRivit1->col(), 1);
    QCOMPARE(form.AsiakOsoite1->cell(1, 2), u"00100 HELSINKI"_s);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Uusi Asiakas"_s);
}

void CustomersTest::savingKnownCustomerLeavesRegister()
{
    Register reg(kThree);
    TForm1 &form = reg.form();
    const QByteArray before = readBytes(reg.file());
    // An old invoice whose customer is written in another case, at another address.
    QFile invoice(reg.data(u"old.csv"_s));
    QVERIFY(invoice.open(QIODevice::WriteOnly));
    invoice.write("\"1\",\"7.12.2026\",\"1009\",\"\",\"12\"\r\n\"VIRTANEN MATTI\",\"Toinen osoite\"\r\nx,Rivi\r\n");
    invoice.close();
    reg.prompter().answerOpen(invoice.fileName());
    form.Noudalasku1Click();
    QCOMPARE(form.AsiakNimi1->currentText(), u"VIRTANEN MATTI"_s);
    QCOMPARE(form.AsiakNro1->text(), u"12"_s);
    form.Valmis1Click();

    QCOMPARE(reg.prompter().takeMessages(), QStringList());
    QCOMPARE(readBytes(reg.file()), before);
    QVERIFY(readBytes(reg.data(u"2026/1.csv"_s)).startsWith("\"1\",\"7.12.2026\",\"1009\",\"\",\"12\",\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\",\"21.12.2026\"" + cp(kIssuedByDefaultBiller) + "\r\n"
                                                             "\"VIRTANEN MATTI\",\"Toinen osoite\""));
}

void CustomersTest::savingNewCustomerAddsItWithAddress()
{
    Register reg(kThree);
    TForm1 &form = reg.form();
    form.AsiakNimi1->setEditText(u"Nieminen Oy"_s);
    form.AsiakOsoite1->setCell(1, 1, u"Satamakatu 3"_s);
    form.AsiakOsoite1->setCell(1, 2, u"20100 TURKU"_s);
    form.AsiakY1->setText(u"7654321-0"_s);
    form.AsiakNro1->setText(u"12"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s});
    form.Valmis1Click();

    QCOMPARE(reg.prompter().takeMessages(), QStringList());
    QCOMPARE(readBytes(reg.file()),
             cp(kThree[0] + u"\r\n\"Nieminen Oy\",\"Satamakatu 3\",\"20100 TURKU\",\" \",7654321-0,3\r\n"_s
                + kThree[1] + u"\r\n"_s + kThree[2] + u"\r\n"_s));
    // The typed number was replaced by the new customer's.
    QVERIFY(readBytes(reg.data(u"2026/1.csv"_s)).startsWith("\"1\",\"7.12.2026\",\"1009\",\"7654321-0\",\"3\",\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\",\"21.12.2026\"" + cp(kIssuedByDefaultBiller) + "\r\n"));
    QCOMPARE(reg.grid()->rowCount(), 6);
}

void CustomersTest::unreadableRegisterIsNeverSavedOver()
{
    QTemporaryDir data;
    const QString registerPath = QDir::toNativeSeparators(data.filePath(u"AsiakRek.csv"_s));
    QVERIFY(QDir(data.path()).mkdir(u"AsiakRek.csv"_s));
    // The folder is written without its closing separator, as by hand.
    FormFixture f(cp(u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(data.path()) + u"\r\n"_s));
    TForm1 &form = f.form();
    QCOMPARE(form.RegisterFileName, registerPath);
    QCOMPARE(f.prompter().takeMessages(), QStringList{u"Cannot open file "_s + registerPath});

    form.AsiakNimi1->setEditText(u"Uusi Oy"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s});
    QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    // The invoice is saved all the same, and the register left as it is.
    QCOMPARE(f.prompter().takeMessages(), QStringList{CustomerNotRegisteredText(registerPath)});
    QVERIFY(readBytes(data.filePath(u"2026/1.csv"_s)).startsWith("\"1\",\"7.12.2026\",\"1009\",\"\",\"\",\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\",\"21.12.2026\"" + cp(kIssuedByDefaultBiller) + "\r\n\"Uusi Oy\""));
    QVERIFY(QFileInfo(registerPath).isDir());
    QCOMPARE(form.AsiakNimi1->currentText(), QString());
}

void CustomersTest::nulHidesNoCustomer()
{
    QStringList lines = kThree;
    lines[0].insert(lines[0].indexOf(u','), QChar(u'\0'));
    lines[1].append(QChar(u'\0'));
    Register reg(lines);
    reg.form().AsiakNimi1->setEditText(u"Nieminen Oy"_s);
    reg.form().LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s});
    QTest::mouseClick(reg.form().Valmis1, Qt::LeftButton);

    QCOMPARE(reg.prompter().takeMessages(), QStringList());
    QCOMPARE(readBytes(reg.file()),
             cp(kThree[0] + u"\r\n\"Nieminen Oy\",\" \",\" \",\" \",\" \",3\r\n"_s + kThree[1] + u"\r\n"_s
                + kThree[2] + u"\r\n"_s));
}

void CustomersTest::emptyLinesMakeNoCustomers_data()
{
    QTest::addColumn<QString>("empty");
    QTest::newRow("no characters") << QString();
    QTest::newRow("blanks, commas and empty quotes") << u"  ,\"\",,"_s;
    QTest::newRow("NUL") << QString(1, QChar(u'\0'));
}

void CustomersTest::emptyLinesMakeNoCustomers()
{
    QFETCH(QString, empty);
    // Leading empty lines keep the name order, so nothing re-sorts them away.
    Register reg(QStringList(1000, empty) + kThree);
    QCOMPARE(reg.grid()->rowCount(), 5);
    QCOMPARE(reg.names(), (QStringList{u"Aalto Anna"_s, u"Virtanen Matti"_s, u"Virtanen Pekka"_s}));
}

void CustomersTest::damagedRegisterRefusedAndKept()
{
    QTemporaryDir data;
    const QString registerPath = QDir::toNativeSeparators(data.filePath(u"AsiakRek.csv"_s));
    const QByteArray bytes = QByteArray("Asiakas,Katu,,,,1\r\n").repeated(kMaxTextLines + 1);
    writeBytes(registerPath, bytes);
    FormFixture f(cp(u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(data.path()) + QDir::separator() + u"\r\n"_s));
    // A register this large is read while the window is shown: its message
    // comes when the reading ends.
    QStringList messages;
    QTRY_VERIFY((messages += f.prompter().takeMessages(), !messages.isEmpty()));
    QCOMPARE(messages,
             QStringList{u"Tiedostoa %1 ei avattu: siinä on yli %2 riviä. Tiedosto voi olla vioittunut."_s.arg(
                 registerPath, QString::number(kMaxTextLines))});
    QCOMPARE(f.form().AsiakRekisteri1->rowCount(), 2);

    // A refused register is never saved over with the empty one, and stops
    // no invoice from being saved: every later one is saved too.
    for (const QString &number : {u"1"_s, u"2"_s}) {
        f.form().AsiakNimi1->setEditText(u"Uusi Oy"_s);
        f.form().LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s});
        QTest::mouseClick(f.form().Valmis1, Qt::LeftButton);
        QCOMPARE(f.prompter().takeMessages(), QStringList{CustomerNotRegisteredText(registerPath)});
        QVERIFY(QFile::exists(data.filePath(u"2026/%1.csv"_s.arg(number))));
        QCOMPARE(f.form().LaskuNro1->text(), QString::number(number.toInt() + 1));
    }
    QCOMPARE(readBytes(registerPath), bytes);
}

void CustomersTest::registerFileHasEinvoiceColumnsOnlyWhereSet_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<RegisterEdit>("edit");
    QTest::addColumn<QStringList>("saved");
    const RegisterEdit nothing = [](Register &) {};
    const RegisterEdit newCustomer = [](Register &reg) {
        reg.typeNewCustomer(u"Nieminen Oy"_s);
        pressKey(Qt::Key_Return);
    };
    const RegisterEdit addressAndOperator = [](Register &reg) {
        reg.form().Asiakasrekisteri1->trigger();
        typeIntoGrid(reg.grid(), EinvoiceAddressColumn, 2, u"003712345678"_s);
        pressKey(Qt::Key_Return);
        typeKeys(u"NDEAFIHH"_s);
        pressKey(Qt::Key_Return);
    };
    const RegisterEdit operatorAlone = [](Register &reg) {
        reg.form().Asiakasrekisteri1->trigger();
        typeIntoGrid(reg.grid(), EinvoiceOperatorColumn, 1, u"003723327487"_s);
        pressKey(Qt::Key_Return);
    };
    const RegisterEdit addressRemoved = [](Register &reg) {
        reg.form().Asiakasrekisteri1->trigger();
        for (int column : {EinvoiceAddressColumn, EinvoiceOperatorColumn}) {
            reg.grid()->setFocus();
            reg.grid()->setCurrentCell(column, 2);
            pressKey(Qt::Key_F2);
            pressKey(Qt::Key_End);
            for (int i = 0; i < 12; ++i)
                pressKey(Qt::Key_Backspace);
            pressKey(Qt::Key_Return);
        }
    };
    const QString nieminen = u"\"Nieminen Oy\",\" \",\" \",\" \",\" \",3"_s;
    QTest::newRow("register of six columns, unchanged") << kThree << nothing << kThree;
    QTest::newRow("six columns, a new customer sorted in")
        << kThree << newCustomer << QStringList{kThree[0], nieminen, kThree[1], kThree[2]};
    QTest::newRow("address and operator given") << kThree << addressAndOperator << kThreeWithEinvoice;
    QTest::newRow("operator alone given")
        << kThree << operatorAlone
        << QStringList{kThree[0] + u",\" \",003723327487"_s, kThree[1], kThree[2]};
    QTest::newRow("with an address, a new customer sorted in")
        << kThreeWithEinvoice << newCustomer
        << QStringList{kThree[0], nieminen, kThreeWithEinvoice[1], kThree[2]};
    QTest::newRow("address removed") << kThreeWithEinvoice << addressRemoved << kThree;
}

// "OK" writes a register file whose lines have the e-invoice columns only
// where the customer has an e-invoice address: a register without any stays
// as earlier versions wrote it, byte for byte.
void CustomersTest::registerFileHasEinvoiceColumnsOnlyWhereSet()
{
    QFETCH(QStringList, lines);
    QFETCH(RegisterEdit, edit);
    QFETCH(QStringList, saved);
    Register reg(lines);
    QVERIFY(reg.fixture().show());
    edit(reg);
    QTest::mouseClick(reg.form().Ok3, Qt::LeftButton);
    QVERIFY(reg.form().AsiakBox1->isHidden());
    QCOMPARE(readBytes(reg.file()), cp(saved.join(u"\r\n"_s) + u"\r\n"_s));
}

void CustomersTest::choosingCustomerSetsBuyerEinvoice_data()
{
    QTest::addColumn<bool>("byNumber");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("operatorId");
    QTest::newRow("by number") << true << u"2"_s << u"003712345678"_s << u"NDEAFIHH"_s;
    QTest::newRow("by name") << false << u"Virtanen M"_s << u"003712345678"_s << u"NDEAFIHH"_s;
    QTest::newRow("customer without one, by number") << true << u"4"_s << QString() << QString();
    QTest::newRow("customer without one, by name") << false << u"Aa"_s << QString() << QString();
    QTest::newRow("number not in the register") << true << u"9"_s << QString() << QString();
    QTest::newRow("name not in the register") << false << u"Virx"_s << QString() << QString();
}

// The invoice takes the buyer's e-invoice address with the customer from the
// register; a customer not in it leaves none, whatever was there before.
void CustomersTest::choosingCustomerSetsBuyerEinvoice()
{
    QFETCH(bool, byNumber);
    QFETCH(QString, typed);
    QFETCH(QString, address);
    QFETCH(QString, operatorId);
    Register reg(kThreeWithEinvoice);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    form.BuyerEinvoice = {u"FI0000000"_s, u"VANHA"_s};
    if (byNumber) {
        form.AsiakNro1->setFocus();
        form.AsiakNro1->clear();
        typeKeys(typed);
        pressKey(Qt::Key_Return);
    } else {
        form.AsiakNimi1->setFocus();
        typeKeys(typed);
    }
    QCOMPARE(form.BuyerEinvoice.address, address);
    QCOMPARE(form.BuyerEinvoice.operatorId, operatorId);
    QCOMPARE(form.CollectInvoice().header[BuyerEinvoiceAddressField], address);
    QCOMPARE(form.CollectInvoice().header[BuyerEinvoiceOperatorField], operatorId);
}

void CustomersTest::largeRegisterWrittenAsBefore_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("inBox");
    QTest::newRow("as written, customers of saved invoices") << generatedRegister(3000, false, 1) << false;
    QTest::newRow("as written, customers typed into the box") << generatedRegister(3000, false, 2) << true;
    QTest::newRow("by hand, customers of saved invoices") << generatedRegister(3000, true, 3) << false;
    QTest::newRow("by hand, customers typed into the box") << generatedRegister(3000, true, 4) << true;
}

void CustomersTest::largeRegisterWrittenAsBefore()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, inBox);
    Register reg(lines);
    TForm1 &form = reg.form();
    QList<QStringList> expected = ReadLinesIntoRows(lines, RegisterColumnCount);
    // Names that begin no register name, so nothing completes them.
    const QStringList added = {u"Yrjänä Uusi"_s, u"Öhmän Uusi"_s, u"Aaa Uusi"_s, u"ÉÉ Uusi"_s, u"Zz Uusi"_s};
    if (inBox)
        QVERIFY(reg.fixture().show());
    for (const QString &name : added) {
        QStringList customer(RegisterColumnCount);
        customer[NameColumn] = name;
        if (inBox) {
            reg.typeNewCustomer(name);
            pressKey(Qt::Key_Return);
        } else {
            form.AsiakNimi1->setEditText(name);
            form.AsiakOsoite1->setCell(1, 1, u"Satamakatu 3"_s);
            form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s});
            form.Valmis1Click();
            QCOMPARE(reg.prompter().takeMessages(), QStringList());
            customer[Address1Column] = u"Satamakatu 3"_s;
        }
        addByOldRule(expected, customer, !inBox);
    }
    if (inBox)
        QTest::mouseClick(form.Ok3, Qt::LeftButton);
    QCOMPARE(reg.customers(), expected);
    QCOMPARE(readBytes(reg.file()), fileBytes(RegisterFileLines(expected)));
}

void CustomersTest::largeRegisterLookupAsBruteForce()
{
    const QStringList lines = generatedRegister(2000, false, 5);
    const QList<QStringList> rows = ReadLinesIntoRows(lines, RegisterColumnCount);
    Register reg(lines);
    TForm1 &form = reg.form();
    QVERIFY(reg.fixture().show());
    QRandomGenerator random(6);
    for (int i = 0; i < 150; ++i) {
        // A beginning of a name in any case, now and then with a letter
        // that makes it no one's.
        const QString &name = rows[random.bounded(int(rows.size()))][NameColumn];
        QString typed = name.left(random.bounded(1, int(name.size()) + 1));
        typed = random.bounded(2) == 0 ? typed.toLower() : typed.toUpper();
        if (random.bounded(5) == 0)
            typed += u'q';
        form.AsiakNimi1->lineEdit()->clear();
        form.AsiakNimi1->setFocus();
        typeKeys(typed);
        // Each key is looked up as it comes: a name found is shown as the
        // register has it, and typed on beyond every name the box shows
        // the keys as they were typed.
        const int row = bruteForceLookup(rows, typed);
        const QString shown = row < 0 ? typed : rows[row][NameColumn];
        QCOMPARE(form.AsiakNimi1->currentText(), shown);
        QCOMPARE(form.AsiakNro1->text(), row < 0 ? QString() : rows[row][CustomerNumberColumn]);
    }
}

void CustomersTest::keyTypedWhileLargeRegisterLoadsCompletes()
{
    const QStringList lines = generatedRegister(20000, false, 7);
    const QList<QStringList> rows = ReadLinesIntoRows(lines, RegisterColumnCount);
    Register reg(lines);
    TForm1 &form = reg.form();
    // The window is up before the register is in; its reading starts as the
    // window's events are first handled.
    QCOMPARE(form.AsiakRekisteri1->rowCount(), 2);
    QCoreApplication::processEvents();
    const QStringList &last = rows.constLast();
    QTest::keyClicks(form.AsiakNimi1->lineEdit(), last[NameColumn].left(4));
    const int row = bruteForceLookup(rows, last[NameColumn].left(4));
    QCOMPARE(form.AsiakNimi1->currentText(), rows[row][NameColumn]);
    QCOMPARE(form.AsiakNro1->text(), rows[row][CustomerNumberColumn]);
    QCOMPARE(form.AsiakRekisteri1->rowCount(), rows.size() + 2);
}

QTEST_MAIN(CustomersTest)
#include "tst_customers.moc"
