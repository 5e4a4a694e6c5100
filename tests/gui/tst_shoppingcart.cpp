// "Muokkaa" → "Liitä": a shopping-cart listing on the clipboard becomes a new
// invoice with its customer, its items as rows and the totals.

#include "storage/cp1252.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"
#include "tests/support/formfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Listings are written with "\n"; rows marked for other line ends swap them.
// The message naming what the invoice does not show whole, before its lines.
const QString kProblems = u"Ostoskorista ei saatu laskulle kaikkea. Tarkista nämä rivit ja korjaa lasku:"_s;

const QString kCustomer = u"OSTOSKORI\nMatti Meikäläinen\nKuusikatu 1\n00100 HELSINKI\n"_s;

// A program folder whose save folder may hold a register, with the paste
// shown and a general VAT rate of 14 %.
class Shop
{
public:
    explicit Shop(const QString &registerLine = QString())
    {
        if (!registerLine.isEmpty()) {
            QFile file(m_data.filePath(u"AsiakRek.csv"_s));
            if (file.open(QIODevice::WriteOnly))
                file.write(stringToCp1252(registerLine + u"\r\n"_s));
        }
        const QString settings = u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(m_data.path()) + QDir::separator()
            + u"\r\n[Laskuttaja]\r\nAlv=14\r\n[ClipBoard]\r\nPasteType=OSTOSKORI\r\n"_s;
        m_fixture = std::make_unique<FormFixture>(stringToCp1252(settings));
    }

    TForm1 &form() { return m_fixture->form(); }
    FormFixture &fixture() { return *m_fixture; }
    QString data(const QString &relative) const { return m_data.filePath(relative); }

    /// Puts the listing on the clipboard and chooses "Muokkaa" → "Liitä".
    void paste(const QString &listing)
    {
        QApplication::clipboard()->setText(listing);
        QVERIFY(form().isVisible() || m_fixture->show());
        chooseFromMenuBar(form(), {u"Muokkaa"_s, u"Liitä"_s});
    }

    /// The rows from row 1 down to the last with any text, cells joined by "|".
    QStringList rows()
    {
        const StringGrid *grid = form().LaskuRivit1;
        QStringList texts;
        for (int r = 1; r < grid->rowCount(); ++r)
            texts.append(grid->rowCells(r).join(u'|'));
        while (!texts.isEmpty() && texts.constLast().count(u'|') == texts.constLast().size())
            texts.removeLast();
        return texts;
    }

private:
    QTemporaryDir m_data;
    std::unique_ptr<FormFixture> m_fixture;
};

QString items(int count)
{
    QString text;
    for (int i = 1; i <= count; ++i)
        text += u"%1\tTuote %1\t1\t%1,00\n"_s.arg(1000 + i);
    return text;
}

} // namespace

class ShoppingCartTest : public QObject
{
    Q_OBJECT

private slots:
    void listingBecomesInvoice_data();
    void listingBecomesInvoice();
    void webShopListingBecomesInvoice_data();
    void webShopListingBecomesInvoice();
    void customerIsCompletedFromRegister();
    void everyItemIsShownTotalledAndSaved();
    void oversizeListingIsRefused_data();
    void oversizeListingIsRefused();
};

void ShoppingCartTest::listingBecomesInvoice_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QStringList>("problems");
    const QString coffee = u"1001|Kahvi|2||3,50|14|7,00"_s;
    QTest::newRow("one item") << kCustomer + u"1001\tKahvi\t2\t3,50\n"_s << QStringList{coffee} << u"7,00"_s << QStringList();
    QTest::newRow("fields after the price ignored")
        << kCustomer + u"1001\tKahvi\t2\t3,50\t4 kpl varastossa"_s << QStringList{coffee} << u"7,00"_s << QStringList();
    QTest::newRow("no description: quantity and price stay in place")
        << kCustomer + u"1001\t\t2\t3,50"_s << QStringList{u"1001||2||3,50|14|7,00"_s} << u"7,00"_s << QStringList();
    QTest::newRow("no quantity: a text row")
        << kCustomer + u"1001\tKahvi\t\t3,50"_s << QStringList{u"1001|Kahvi||||14|"_s} << u"0,00"_s
        << QStringList{u"rivi 5: 1001 Kahvi 3,50 – ei määrää"_s};
    QTest::newRow("headings, blanks and tab-led lines use no row")
        << kCustomer + u"Tuote\tKuvaus\tMäärä\tHinta\n\n\t1002\tTee\t1\t2,00\n1001\tKahvi\t2\t3,50\nYhteensä\t7,00\n"_s
        << QStringList{coffee} << u"7,00"_s << QStringList{u"rivi 7: 1002 Tee 1 2,00 – ei otettu laskulle"_s};
    QTest::newRow("lines end at CR") << QString(kCustomer + u"1001\tKahvi\t2\t3,50\n9\tSokeri\t1\t1,00"_s).replace(u'\n', u'\r')
                                     << QStringList{coffee, u"9|Sokeri|1||1,00|14|1,00"_s} << u"8,00"_s << QStringList();
    QTest::newRow("lines end at CR LF")
        << QString(kCustomer + u"1001\tKahvi\t2\t3,50\r\n"_s).replace(u"\n"_s, u"\r\n"_s).replace(u"\r\r"_s, u"\r"_s)
        << QStringList{coffee} << u"7,00"_s << QStringList();
    QStringList shown;
    for (int line = 5; line <= 24; ++line)
        shown.append(u"rivi %1: Toimitus ja käsittely, nouto lähimmästä noutopisteestä arkis… – ei otettu laskulle"_s.arg(line));
    QTest::newRow("twenty lines named, the rest counted")
        << kCustomer + u"Toimitus ja käsittely, nouto lähimmästä noutopisteestä arkisin\t1,00 €\n"_s.repeated(22)
        << QStringList() << u"0,00"_s << shown + QStringList{u"… ja 2 muuta riviä"_s};
    QTest::newRow("exactly four lines: a customer, no rows")
        << u"OSTOSKORI\nMatti Meikäläinen\nKuusikatu 1\n00100 HELSINKI"_s << QStringList() << u"0,00"_s << QStringList();
}

void ShoppingCartTest::listingBecomesInvoice()
{
    QFETCH(QString, listing);
    QFETCH(QStringList, rows);
    QFETCH(QString, total);
    QFETCH(QStringList, problems);
    Shop shop;
    TForm1 &form = shop.form();
    form.SisAlv1->setChecked(false);
    form.LaskuRivit1->setRowCells(3, {u"1"_s, u"Vanha"_s, u"1"_s, QString(), u"9,00"_s, u"0"_s, QString()});
    const QString next = form.NextNr1->text();

    shop.paste(listing);

    QCOMPARE(form.LaskuNro1->text(), next);
    QVERIFY(form.SisAlv1->isChecked());
    QCOMPARE(form.AsiakNimi1->currentText(), u"Matti Meikäläinen"_s);
    QCOMPARE(form.AsiakNimi2->text(), u"Matti Meikäläinen"_s);
    for (const auto &[line, text] : {std::pair{0, u"Matti Meikäläinen"_s}, {1, u"Kuusikatu 1"_s}, {2, u"00100 HELSINKI"_s}})
        QCOMPARE(form.AsiakOsoite1->cell(1, line), text);
    QCOMPARE(shop.rows(), rows);
    QCOMPARE(form.TotSum->text(), total);
    QVERIFY(!form.LisaRivit1->isChecked());
    QCOMPARE(shop.fixture().prompter().takeMessages(),
             problems.isEmpty() ? QStringList() : QStringList{(QStringList{kProblems} + problems).join(u"\r\n"_s)});
}

void ShoppingCartTest::webShopListingBecomesInvoice_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QStringList>("problems");
    QTest::newRow("blanks and no-break spaces in prices, units, a letter code, shipping")
        << u"OSTOSKORI\nAho Kalle Oy\nRantatie 4\n40100 JYVÄSKYLÄ\n"
           "Tuotenumero\tTuote\tMäärä\tHinta\n"
           "1001\tKannettava tietokone\t1\t1 234,50 €\n"
           "2002\tTelakka\t1 kpl\t2\u00A0345,00\u00A0€\n"
           "AB-4001\tUSB-C-kaapeli\t3 kpl\t12,90 €\n"
           "Toimitus\t4,90 €\n"
           "Yhteensä\t3 623,10 €\n"_s
        << QStringList{u"1001|Kannettava tietokone|1||1\u00A0234,50|14|1\u00A0234,50"_s,
                       u"2002|Telakka|1|kpl|2\u00A0345,00|14|2\u00A0345,00"_s,
                       u"AB-4001|USB-C-kaapeli|3|kpl|12,90|14|38,70"_s}
        << u"3\u00A0618,20"_s << QStringList{u"rivi 9: Toimitus 4,90 € – ei otettu laskulle"_s};
    QTest::newRow("price per unit, EUR before it, a missing price, a discount, VAT lines")
        << u"OSTOSKORI\nVirtanen Matti\nMäntytie 5\n00100 HELSINKI\n"
           "5001\tKahvipavut 1 kg\t2\t19,90 €/pkt\n"
           "5002\tKahvimylly\t1\tEUR 1\u202F099,00\n"
           "3003\tLahjakortti\t1 kpl\tHinta puuttuu\n"
           "Alennus\t\u22125,00 €\n"
           "Välisumma\t1 133,80 €\n"
           "Sisältää ALV 24 %\t219,44 €\n"_s
        << QStringList{u"5001|Kahvipavut 1 kg|2|pkt|19,90|14|39,80"_s,
                       u"5002|Kahvimylly|1||1\u00A0099,00|14|1\u00A0099,00"_s,
                       u"3003|Lahjakortti|1|kpl||14|"_s}
        << u"1\u00A0138,80"_s
        << QStringList{u"rivi 7: 3003 Lahjakortti 1 kpl Hinta puuttuu – ei hintaa"_s,
                       u"rivi 8: Alennus \u22125,00 € – ei otettu laskulle"_s};
    QTest::newRow("order number, hours and metres, dotted thousands, shipping without tabs")
        << u"OSTOSKORI\r\nNieminen Oy\r\nSatamakatu 3\r\n20100 TURKU\r\n"
           "Tilausnumero\t123456\r\n"
           "Tuote\tNimi\tKpl\tá hinta\tYhteensä\r\n"
           "7001\tAsennustyö\t1,5 h\t60,00 €\t90,00 €\r\n"
           "7002\tKaapelikouru\t10 m\t1.234,50 €\t12 345,00 €\r\n"
           "Toimitus 4,90 €\r\n"
           "Yhteensä 12 439,90 €\r\n"_s
        << QStringList{u"7001|Asennustyö|1,5|h|60,00|14|90,00"_s,
                       u"7002|Kaapelikouru|10|m|1\u00A0234,50|14|12\u00A0345,00"_s}
        << u"12\u00A0435,00"_s << QStringList{u"rivi 9: Toimitus 4,90 € – ei otettu laskulle"_s};
}

// Listings as Finnish web shops print them: every price is read, and what
// the invoice does not show whole is named in one message after the paste.
void ShoppingCartTest::webShopListingBecomesInvoice()
{
    QFETCH(QString, listing);
    QFETCH(QStringList, rows);
    QFETCH(QString, total);
    QFETCH(QStringList, problems);
    Shop shop;

    shop.paste(listing);

    QCOMPARE(shop.rows(), rows);
    QCOMPARE(shop.form().TotSum->text(), total);
    QCOMPARE(shop.fixture().prompter().takeMessages(), QStringList{(QStringList{kProblems} + problems).join(u"\r\n"_s)});
}

// The name line runs the name box's lookup: the register gives the business
// ID, customer number and the address line the listing has no place for.
void ShoppingCartTest::customerIsCompletedFromRegister()
{
    Shop shop(u"\"Matti Meikäläinen\",\"Vanha katu 9\",\"99999 TURKU\",\"Suomi\",\"1234567-8\",\"42\""_s);
    TForm1 &form = shop.form();

    shop.paste(kCustomer + u"1001\tKahvi\t2\t3,50\n"_s);

    QCOMPARE(form.AsiakY1->text(), u"1234567-8"_s);
    QCOMPARE(form.AsiakNro1->text(), u"42"_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 1), u"Kuusikatu 1"_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 2), u"00100 HELSINKI"_s);
    QCOMPARE(form.AsiakOsoite1->cell(1, 3), u"Suomi"_s);
}

// Items past the page's rows get rows of their own, with "Lisärivit", and
// "VALMIS/TALLENNA" saves every one.
void ShoppingCartTest::everyItemIsShownTotalledAndSaved()
{
    Shop shop;
    TForm1 &form = shop.form();
    const QString number = form.NextNr1->text();

    shop.paste(kCustomer + items(40));

    const QStringList rows = shop.rows();
    QCOMPARE(rows.size(), 40);
    QCOMPARE(rows.constLast(), u"1040|Tuote 1040|1||1\u00A0040,00|14|1\u00A0040,00"_s);
    QVERIFY(form.LisaRivit1->isChecked());
    QCOMPARE(form.TotSum->text(), u"40\u00A0820,00"_s);

    QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    QFile saved(shop.data(u"2026/"_s + number + u".csv"_s));
    QVERIFY2(saved.open(QIODevice::ReadOnly), qPrintable(saved.fileName()));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    QCOMPARE(lines.size(), 2 + 40 + 1);
    QVERIFY(lines.at(41).startsWith("1040,\"Tuote 1040\",1,"));
}

void ShoppingCartTest::oversizeListingIsRefused_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QString>("message");
    QTest::newRow("more than 500000 items") << kCustomer + u"1\n"_s.repeated(500001)
                                            << u"Ostoskoria ei liitetty: leikepöydällä on yli 500000 riviä."_s;
    QTest::newRow("an item line of over 100000 characters")
        << kCustomer + u"1001\t"_s + QString(100000, u'x')
        << u"Ostoskoria ei liitetty: leikepöydällä on yli 100000 merkin rivi."_s;
    QTest::newRow("a name of over 100000 characters")
        << u"OSTOSKORI\n"_s + QString(100001, u'x') + u"\n\n\n1001\tKahvi\t2\t3,50"_s
        << u"Ostoskoria ei liitetty: leikepöydällä on yli 100000 merkin rivi."_s;
    QTest::newRow("mark in small letters: nothing") << u"ostoskori\nA\nB\nC\n1\tx\t1\t1"_s << QString();
    QTest::newRow("mark followed by a blank: nothing") << u"OSTOSKORI \nA\nB\nC\n1\tx\t1\t1"_s << QString();
    QTest::newRow("three lines: nothing") << u"OSTOSKORI\nA\nB\n"_s << QString();
}

// A listing the program does not take leaves the invoice as it was.
void ShoppingCartTest::oversizeListingIsRefused()
{
    QFETCH(QString, listing);
    QFETCH(QString, message);
    Shop shop;
    TForm1 &form = shop.form();
    form.AsiakNimi1->setEditText(u"Vanha asiakas"_s);
    form.LaskuRivit1->setRowCells(1, {u"1"_s, u"Vanha"_s, u"1"_s, QString(), u"9,00"_s, u"0"_s, QString()});
    const QString number = form.LaskuNro1->text();

    shop.paste(listing);

    QCOMPARE(shop.fixture().prompter().takeMessages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(form.LaskuNro1->text(), number);
    QCOMPARE(form.AsiakNimi1->currentText(), u"Vanha asiakas"_s);
    QCOMPARE(shop.rows(), QStringList{u"1|Vanha|1||9,00|0|"_s});
}

QTEST_MAIN(ShoppingCartTest)
#include "tst_shoppingcart.moc"
