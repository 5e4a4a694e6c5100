// Invoice file rules without a window: year folder, usable file names, the
// header and file lines, counters, the save folder and customer numbers.

#include "app/inifile.h"
#include "base/commanderror.h"
#include "invoice/creditnote.h"
#include "invoice/invoicerecord.h"
#include "output/paymentcodes.h"
#include "storage/customerregister.h"
#include "storage/gridline.h"
#include "storage/invoicefile.h"
#include "storage/savelimits.h"
#include "storage/textfile.h"
#include "tests/support/registerreference.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

class InvoiceFileCoreTest : public QObject
{
    Q_OBJECT

private slots:
    void yearOfDate_data();
    void yearOfDate();
    void usableInvoiceNumber_data();
    void usableInvoiceNumber();
    void headerLineQuotesEveryValue_data();
    void headerLineQuotesEveryValue();
    void fileLinesKeepOnlyRowsWorthWriting();
    void customerLineQuoting_data();
    void customerLineQuoting();
    void linesReadIntoRows();
    void invoiceOrWhyNot_data();
    void invoiceOrWhyNot();
    void storedVatModesAndDueDate_data();
    void storedVatModesAndDueDate();
    void nextInvoiceCounter_data();
    void nextInvoiceCounter();
    void saveFolderPath_data();
    void saveFolderPath();
    void smallestFreeCustomerNumber_data();
    void smallestFreeCustomerNumber();
    void registerEinvoiceForCustomerNumber_data();
    void registerEinvoiceForCustomerNumber();
    void registerLineKeepsEinvoiceColumnsOnlyWhenSet_data();
    void registerLineKeepsEinvoiceColumnsOnlyWhenSet();
    void commandErrorTexts();
    void savedLinesFitTheReader_data();
    void savedLinesFitTheReader();
    void creditNoteLinesNameTheCreditedInvoice();
    void issuedBillerKeptAfterEarlierValues_data();
    void issuedBillerKeptAfterEarlierValues();
};

void InvoiceFileCoreTest::yearOfDate_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("year");
    QTest::newRow("usual date") << u"7.12.2026"_s << u"2026"_s;
    QTest::newRow("leading zeros") << u"07.01.2025"_s << u"2025"_s;
    QTest::newRow("day and month only") << u"1.2."_s << u"0"_s;
    QTest::newRow("empty") << QString() << u"0"_s;
    QTest::newRow("other separators") << u"7/12 2026"_s << u"2026"_s;
    QTest::newRow("fourth number ignored") << u"1.2.2024.5"_s << u"2024"_s;
    QTest::newRow("empty date text") << u"00.00.0000"_s << u"0"_s;
}

void InvoiceFileCoreTest::yearOfDate()
{
    QFETCH(QString, date);
    QFETCH(QString, year);
    QCOMPARE(InvoiceYearOfDate(date), year);
}

void InvoiceFileCoreTest::usableInvoiceNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("usable");
    QTest::newRow("digits") << u"57"_s << true;
    QTest::newRow("with year and dash") << u"2026-57"_s << true;
    QTest::newRow("letters and blank") << u"A 57"_s << true;
    QTest::newRow("trailing dot") << u"57."_s << true;
    QTest::newRow("device name inside a longer word") << u"CONSOLE"_s << true;
    QTest::newRow("Finnish letters") << u"Äö-1"_s << true;
    QTest::newRow("parent folder") << u"../x"_s << false;
    QTest::newRow("slash") << u"a/b"_s << false;
    QTest::newRow("backslash") << u"a\\b"_s << false;
    QTest::newRow("two dots") << u".."_s << false;
    QTest::newRow("dots inside") << u"1..2"_s << false;
    QTest::newRow("one dot") << u"."_s << false;
    QTest::newRow("only blanks and dots") << u" . "_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("drive colon") << u"c:x"_s << false;
    QTest::newRow("asterisk") << u"5*"_s << false;
    QTest::newRow("question mark") << u"5?"_s << false;
    QTest::newRow("quote") << u"5\""_s << false;
    QTest::newRow("less than") << u"<5"_s << false;
    QTest::newRow("greater than") << u"5>"_s << false;
    QTest::newRow("bar") << u"5|6"_s << false;
    QTest::newRow("tab") << u"5\t6"_s << false;
    QTest::newRow("NUL") << QString(u"5\0006"_s) << false;
    QTest::newRow("DEL") << u"5\u007F"_s << false;
    QTest::newRow("device CON") << u"CON"_s << false;
    QTest::newRow("device lower case with extension") << u"lpt1.x"_s << false;
    QTest::newRow("device with trailing blank") << u"nul "_s << false;
}

void InvoiceFileCoreTest::usableInvoiceNumber()
{
    QFETCH(QString, number);
    QFETCH(bool, usable);
    QCOMPARE(IsUsableInvoiceNumber(number), usable);
}

void InvoiceFileCoreTest::headerLineQuotesEveryValue_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("line");
    QTest::newRow("empty values give adjacent quotes")
        << QStringList{u"57"_s, u"7.12.2026"_s, u"1009"_s, QString(), QString()}
        << u"\"57\",\"7.12.2026\",\"1009\",\"\",\"\""_s;
    QTest::newRow("inner quote doubled")
        << QStringList{u"5\"7"_s, u"a,b"_s, u" "_s, u"x"_s, u"1"_s}
        << u"\"5\"\"7\",\"a,b\",\" \",\"x\",\"1\""_s;
    QTest::newRow("line break becomes blank")
        << QStringList{u"1\r\n2"_s} << u"\"1  2\""_s;
}

void InvoiceFileCoreTest::headerLineQuotesEveryValue()
{
    QFETCH(QStringList, values);
    QFETCH(QString, line);
    QCOMPARE(FormatHeaderLine(values), line);
}

void InvoiceFileCoreTest::fileLinesKeepOnlyRowsWorthWriting()
{
    const QStringList header = {u"1"_s, u"2.1.2026"_s, u"1009"_s, QString(), u"3"_s};
    const QStringList customer = {u"Yritys"_s, QString(), QString(), QString()};
    const QList<QStringList> rows = {
        {QString(), QString(), u"2"_s, QString(), QString(), QString(), QString()},
        {QString(), QString(), u"10"_s, QString(), QString(), QString(), QString()},
        {u" "_s, u" "_s, u" "_s, u" "_s, u" "_s, u" "_s, u" "_s},
        {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s, u"125,50"_s},
    };
    const QStringList expected = {
        u"\"1\",\"2.1.2026\",\"1009\",\"\",\"3\""_s,
        u"Yritys,\" \",\" \",\" \""_s,
        u"\" \",\" \",10,\" \",\" \",\" \",\" \""_s,
        u"\" \",Työ,2,h,\"50,00\",\"25,5\",\"125,50\""_s,
    };
    QCOMPARE(InvoiceFileLines({header, customer, rows}), expected);

    // Without any row worth writing the file would have two lines only.
    QCOMPARE(InvoiceFileLines({header, customer, rows.mid(0, 1)}).size(), 2);
    QCOMPARE(InvoiceFileLines({header, QStringList(4), {}}).size(), 2);
}

void InvoiceFileCoreTest::customerLineQuoting_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::newRow("one word bare") << u"Yritys"_s << u"Yritys,Katu,\" \",\" \""_s;
    QTest::newRow("two words quoted") << u"Matti Meikäläinen"_s << u"\"Matti Meikäläinen\",Katu,\" \",\" \""_s;
    QTest::newRow("comma and quote") << u"Oy \"A, B\""_s << u"\"Oy \"\"A, B\"\"\",Katu,\" \",\" \""_s;
}

void InvoiceFileCoreTest::customerLineQuoting()
{
    QFETCH(QString, name);
    QFETCH(QString, line);
    const QStringList lines = InvoiceFileLines({{}, {name, u"Katu"_s, QString(), QString()}, {}});
    QCOMPARE(lines.value(1), line);
}

void InvoiceFileCoreTest::linesReadIntoRows()
{
    const QList<QStringList> rows = ReadLinesIntoRows(
        {u"\"Oy \"\"A, B\"\"\",\" \",x,,y,1,extra"_s, u"\"unclosed, quote"_s, QString()}, 6);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0], (QStringList{u"Oy \"A, B\""_s, u" "_s, u"x"_s, u"y"_s, u"1"_s, u"extra"_s}));
    QCOMPARE(rows[1], (QStringList{u"unclosed, quote"_s, QString(), QString(), QString(), QString(), QString()}));
    QCOMPARE(rows[2], QStringList(6));
}

void InvoiceFileCoreTest::invoiceOrWhyNot_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    const QStringList row = {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s, u"125,50"_s};
    const QStringList textRow = {QString(), u"Pelkkä teksti, \"lainattu\""_s, QString(), QString(), QString(),
                                 QString(), QString()};
    const auto saved = [](const InvoiceData &invoice) { return InvoiceFileLines(invoice).join(u"\r\n"_s); };
    QTest::newRow("saved") << saved({{u"57"_s, u"7.12.2026"_s, u"1009"_s, QString(), u"1"_s},
                                     {u"Yritys"_s, QString(), QString(), QString()},
                                     {row}})
                           << QString();
    QTest::newRow("saved with text rows only and odd texts")
        << saved({{u" 5\"a,b "_s, u"31.4.26"_s, QString(), u"\",\""_s, QString()},
                  {u"Oy \"A, B\""_s, u"\r\n"_s, QString(), u","_s},
                  {textRow, textRow}})
        << QString();
    QTest::newRow("saved with a one-letter name") << saved({{u"1"_s, u"1.1.2027"_s}, {u"A"_s}, {textRow}})
                                                  << QString();
    QTest::newRow("empty") << QString() << u"tiedosto on tyhjä"_s;
    QTest::newRow("blank number") << u"\" \",\"1.1.2026\"\r\nYritys\r\nx,Rivi"_s
                                  << u"otsikkorivillä ei ole laskun numeroa"_s;
    QTest::newRow("no date") << u"\"5\"\r\nYritys\r\nx,Rivi"_s
                             << u"otsikkorivillä ei ole kelvollista laskun päiväystä"_s;
    QTest::newRow("empty date") << u"\"5\",\"00.00.0000\"\r\nYritys\r\nx,Rivi"_s
                                << u"otsikkorivillä ei ole kelvollista laskun päiväystä"_s;
    QTest::newRow("month 13") << u"\"5\",\"1.13.2026\"\r\nYritys\r\nx,Rivi"_s
                              << u"otsikkorivillä ei ole kelvollista laskun päiväystä"_s;
    QTest::newRow("header only") << u"\"5\",\"1.1.2026\""_s << u"siinä ei ole asiakasriviä"_s;
    QTest::newRow("blank customer") << u"\"5\",\"1.1.2026\"\r\n\" \",\" \"\r\nx,Rivi"_s
                                    << u"siinä ei ole asiakasriviä"_s;
    QTest::newRow("no row") << u"\"5\",\"1.1.2026\"\r\nYritys"_s << u"siinä ei ole yhtään laskuriviä"_s;
    QTest::newRow("customer register")
        << u"\"Matti Meikäläinen\",\"Katu 1\",\" \",\" \",1234567-8,1\r\nYritys,Tie,\" \",\" \",\" \",2"_s
        << u"otsikkorivillä ei ole kelvollista laskun päiväystä"_s;
}

void InvoiceFileCoreTest::invoiceOrWhyNot()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    const QStringList lines = SplitTextLines(text);
    QCOMPARE(InvoiceLinesRefusal(lines), reason);
    QCOMPARE(ReadInvoiceFileLines(lines).has_value(), reason.isEmpty());
    QCOMPARE(NotAnInvoiceText(u"/a/b.csv"_s, u"syy"_s),
             u"Tiedosto %1 ei ole lasku: syy."_s.arg(QDir::toNativeSeparators(u"/a/b.csv"_s)));
}

void InvoiceFileCoreTest::storedVatModesAndDueDate_data()
{
    QTest::addColumn<QString>("line");
    // "-" for a value taken as absent.
    QTest::addColumn<QString>("unitPricesWithVat");
    QTest::addColumn<QString>("rowTotalsWithVat");
    QTest::addColumn<bool>("dueDate");
    const InvoiceData saved{{u"57"_s, u"7.12.2026"_s, u"1009"_s, QString(), u"1"_s, YesNoText(true),
                             YesNoText(false), u"14 pv"_s, u"13%"_s, u"7 pv"_s, u"21.12.2026"_s},
                            {u"Yritys"_s},
                            {{QString(), u"Työ"_s}}};
    QTest::newRow("as written") << InvoiceFileLines(saved)[0] << u"1"_s << u"0"_s << true;
    QTest::newRow("five values, as earlier versions wrote")
        << u"\"57\",\"7.12.2026\",\"1009\",\"\",\"1\""_s << u"-"_s << u"-"_s << false;
    QTest::newRow("settings-file numbers, a due date that is no date")
        << u"\"57\",\"7.12.2026\",\"\",\"\",\"\",\" 2 \",\"kyllä\",,,,\"ei tiedossa\""_s << u"1"_s
        << u"-"_s << false;
    QTest::newRow("empty values, month 13") << u"\"57\",\"7.12.2026\",,,,\"\",\"\",,,,\"1.13.2026\",\"x\""_s
                                            << u"-"_s << u"-"_s << false;
}

void InvoiceFileCoreTest::storedVatModesAndDueDate()
{
    QFETCH(QString, line);
    QFETCH(QString, unitPricesWithVat);
    QFETCH(QString, rowTotalsWithVat);
    QFETCH(bool, dueDate);
    const std::optional<InvoiceData> invoice = ReadInvoiceFileLines({line, u"Yritys"_s, u"x,Rivi"_s});
    QVERIFY(invoice);
    const auto shown = [](std::optional<bool> value) { return value ? YesNoText(*value) : u"-"_s; };
    QCOMPARE(shown(StoredYesNo(invoice->header, UnitPricesWithVatField)), unitPricesWithVat);
    QCOMPARE(shown(StoredYesNo(invoice->header, RowTotalsWithVatField)), rowTotalsWithVat);
    QCOMPARE(HasStoredDueDate(invoice->header), dueDate);
    // The file's first five values stay where earlier versions read them.
    QCOMPARE(invoice->header.mid(0, CustomerNumberField + 1), SplitGridLine(line).mid(0, CustomerNumberField + 1));
    QCOMPARE(IniParseInteger(YesNoText(true), 0) != 0, true);
    QCOMPARE(IniParseInteger(YesNoText(false), 1), 0);
}

void InvoiceFileCoreTest::nextInvoiceCounter_data()
{
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("next");
    QTest::newRow("from the counter") << u"57"_s << u"57"_s << u"58"_s;
    QTest::newRow("other characters dropped") << u"nro 57 x"_s << u"57"_s << u"58"_s;
    QTest::newRow("number with a prefix") << u"57"_s << u"A57"_s << u"58"_s;
    QTest::newRow("typed number differs") << u"57"_s << u"100"_s << QString();
    QTest::newRow("largest counter") << u"2147483647"_s << u"2147483647"_s << u"2147483648"_s;
}

void InvoiceFileCoreTest::nextInvoiceCounter()
{
    QFETCH(QString, counter);
    QFETCH(QString, number);
    QFETCH(QString, next);
    const std::optional<QString> result = NextInvoiceCounter(counter, number);
    QCOMPARE(result.value_or(QString()), next);
}

void InvoiceFileCoreTest::saveFolderPath_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("folder");
    const QString sep = QDir::separator();
    QTest::newRow("a folder gets a separator") << u"/home/a/laskut"_s
                                               << QDir::toNativeSeparators(u"/home/a/laskut/"_s);
    QTest::newRow("one separator only") << u"/home/a/laskut/"_s << QDir::toNativeSeparators(u"/home/a/laskut/"_s);
    QTest::newRow("root keeps its separator") << u"/"_s << sep;
    QTest::newRow("nothing chosen") << QString() << QString();
}

void InvoiceFileCoreTest::saveFolderPath()
{
    QFETCH(QString, chosen);
    QFETCH(QString, folder);
    QCOMPARE(SaveFolderPath(chosen), folder);
}

void InvoiceFileCoreTest::smallestFreeCustomerNumber_data()
{
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("next");
    QTest::newRow("gap at 3") << QStringList{u"As.nro"_s, u"1"_s, u"2"_s, u"4"_s, QString()} << 3;
    QTest::newRow("1 to 5 used") << QStringList{u"5"_s, u"3"_s, u"1"_s, u"2"_s, u"4"_s} << 6;
    QTest::newRow("empty register") << QStringList{u"As.nro"_s, QString()} << 1;
    QTest::newRow("placeholders only") << QStringList{u" "_s, u" "_s} << 1;
    QTest::newRow("1 free") << QStringList{u"2"_s, u"3"_s} << 1;
    QTest::newRow("texts compared as they stand") << QStringList{u"01"_s, u" 1"_s} << 1;
}

void InvoiceFileCoreTest::smallestFreeCustomerNumber()
{
    QFETCH(QStringList, numbers);
    QFETCH(int, next);
    QCOMPARE(SmallestFreeCustomerNumber(numbers), next);
}

// An invoice file without the buyer's e-invoice address, as every file of
// earlier versions, takes its customer's from the register; one that keeps
// an address keeps its own.
void InvoiceFileCoreTest::registerEinvoiceForCustomerNumber_data()
{
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("expected");
    const QStringList none = {QString(), QString()};
    const QStringList fromRegister = {u"003712345678"_s, u"NDEAFIHH"_s};
    QTest::newRow("customer number in the register") << none << u"2"_s << fromRegister;
    QTest::newRow("blanks around the number") << none << u" 2 "_s << fromRegister;
    QTest::newRow("register customer without one") << none << u"1"_s << none;
    QTest::newRow("operator alone, blank address") << none << u"3"_s << QStringList{QString(), u"003723327487"_s};
    QTest::newRow("number not in the register") << none << u"9"_s << none;
    QTest::newRow("no customer number") << none << QString() << none;
    QTest::newRow("blank customer number") << none << u" "_s << none;
    QTest::newRow("the file's own address stays")
        << QStringList{u"FI7654321"_s, QString()} << u"2"_s << QStringList{u"FI7654321"_s, QString()};
    QTest::newRow("the file's own operator stays")
        << QStringList{QString(), u"OKOYFIHH"_s} << u"2"_s << QStringList{QString(), u"OKOYFIHH"_s};
}

void InvoiceFileCoreTest::registerEinvoiceForCustomerNumber()
{
    QFETCH(QStringList, kept);
    QFETCH(QString, number);
    QFETCH(QStringList, expected);
    const QList<QStringList> registerRows = {
        {u"Aalto Anna"_s, u"Koivukuja 2"_s, u" "_s, u" "_s, u" "_s, u"1"_s, u" "_s, u" "_s},
        {u"Virtanen Matti"_s, u"Mäntytie 5"_s, u" "_s, u" "_s, u" "_s, u"2"_s, u"003712345678"_s, u"NDEAFIHH"_s},
        {u"Virtanen Pekka"_s, u"Kuusitie 7"_s, u" "_s, u" "_s, u" "_s, u"3"_s, u" "_s, u"003723327487"_s},
        QStringList(RegisterColumnCount),
    };
    const EinvoiceAddress found = RegisterEinvoiceFor(registerRows, number);
    const bool keepsOwn = !kept[0].isEmpty() || !kept[1].isEmpty();
    if (!keepsOwn)
        QCOMPARE((QStringList{found.address, found.operatorId}), expected);

    // The header of a file of an earlier version: five values only.
    InvoiceData invoice{{u"5"_s, u"7.12.2026"_s, u"1009"_s, QString(), number}, {u"Asiakas"_s}, {}};
    if (keepsOwn) {
        invoice.header.resize(HeaderFieldCount);
        invoice.header[BuyerEinvoiceAddressField] = kept[0];
        invoice.header[BuyerEinvoiceOperatorField] = kept[1];
    }
    const InvoiceData completed = WithRegisterEinvoice(invoice, registerRows);
    QCOMPARE((QStringList{completed.header.value(BuyerEinvoiceAddressField),
                          completed.header.value(BuyerEinvoiceOperatorField)}),
             expected);
    QCOMPARE(completed.header.mid(0, CustomerNumberField + 1), invoice.header.mid(0, CustomerNumberField + 1));
    // Nothing found leaves the header as it was, so the file's line does not change.
    if (expected == QStringList{QString(), QString()})
        QCOMPARE(completed.header, invoice.header);
}

void InvoiceFileCoreTest::registerLineKeepsEinvoiceColumnsOnlyWhenSet_data()
{
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QString>("line");
    const QString six = u"\"Aalto Anna\",Koivukuja,\" \",\" \",\" \",1"_s;
    const QStringList customer = {u"Aalto Anna"_s, u"Koivukuja"_s, QString(), QString(), QString(), u"1"_s};
    QTest::newRow("six cells, as read from an old file") << customer << six;
    QTest::newRow("empty e-invoice cells") << customer + QStringList{QString(), QString()} << six;
    QTest::newRow("blank e-invoice cells, as after a re-sort") << customer + QStringList{u" "_s, u" "_s} << six;
    QTest::newRow("address and operator")
        << customer + QStringList{u"003712345678"_s, u"NDEAFIHH"_s} << six + u",003712345678,NDEAFIHH"_s;
    QTest::newRow("address alone") << customer + QStringList{u"FI12345678"_s, QString()}
                                   << six + u",FI12345678,\" \""_s;
    QTest::newRow("operator alone") << customer + QStringList{u" "_s, u"NDEAFIHH"_s}
                                    << six + u",\" \",NDEAFIHH"_s;
}

void InvoiceFileCoreTest::registerLineKeepsEinvoiceColumnsOnlyWhenSet()
{
    QFETCH(QStringList, row);
    QFETCH(QString, line);
    const QStringList lines = RegisterFileLines({row, QStringList(RegisterColumnCount)});
    QCOMPARE(lines, QStringList{line});
    // Read back, the customer keeps its cells and its e-invoice address.
    const QList<QStringList> read = ReadLinesIntoRows(lines, RegisterColumnCount);
    QCOMPARE(RegisterRowEinvoice(read[0]).address, row.value(EinvoiceAddressColumn).trimmed());
    QCOMPARE(RegisterRowEinvoice(read[0]).operatorId, row.value(EinvoiceOperatorColumn).trimmed());
    QCOMPARE(read[0][CustomerNumberColumn], u"1"_s);
}

// The window shows what() of any error that abandons a command: each error's
// standard text, also through the one base.
void InvoiceFileCoreTest::commandErrorTexts()
{
    const QString csv = QDir::toNativeSeparators(u"/a/b.csv"_s);
    const QString ini = QDir::toNativeSeparators(u"/a/x.INI"_s);
    const std::pair<std::function<void()>, QString> errors[] = {
        {[] { throw FileCreateError(u"/a/b.csv"_s); }, u"Cannot create file "_s + csv},
        {[] { throw FileOpenError(u"/a/b.csv"_s); }, u"Cannot open file "_s + csv},
        {[] { throw IniWriteError(u"/a/x.INI"_s); }, u"Unable to write to "_s + ini},
        {[] { throw CommandError(u"Tiedostoa ei avattu: yli 500000 riviä."_s); },
         u"Tiedostoa ei avattu: yli 500000 riviä."_s},
    };
    for (const auto &[raise, text] : errors) {
        try {
            raise();
            QFAIL("no error");
        } catch (const CommandError &error) {
            QCOMPARE(error.message(), text);
            QCOMPARE(QString::fromUtf8(error.what()), text);
        }
    }
}

void InvoiceFileCoreTest::savedLinesFitTheReader_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("part");
    // A row line: the code's placeholder " " and a comma, the description,
    // then five placeholders, each after a comma.
    const int room = int(kMaxTextLineLength) - 4 - 5 * 4;
    QTest::newRow("longest line read") << 1 << QString(room, u'x') << QString();
    QTest::newRow("one character more") << 1 << QString(room + 1, u'x') << u"laskurivi 1"_s;
    QTest::newRow("quotes count twice, and the quotes around")
        << 2 << QString((room - 2) / 2, u'"') << QString();
    QTest::newRow("one quote more") << 2 << QString((room - 2) / 2 + 1, u'"') << u"laskurivi 2"_s;
    QTest::newRow("line breaks are blanks") << 3 << QString(room - 2, u'\n') << QString();
}

// The limit the reader keeps is the one the save measures by: a line the
// save lets through is written and read back, one more character is refused
// by the save and by the writer, and nothing is written.
void InvoiceFileCoreTest::savedLinesFitTheReader()
{
    QFETCH(int, row);
    QFETCH(QString, description);
    QFETCH(QString, part);
    InvoiceData invoice{{u"1"_s}, {u"Asiakas Oy"_s}, QList<QStringList>(3, QStringList{u"x"_s})};
    invoice.rows[row - 1] = QStringList(RowColumnCount);
    invoice.rows[row - 1][TextColumn] = description;
    QCOMPARE(InvoiceTooLongPart(invoice), part);
    // A customer named with three letters makes a line of the same length
    // when its e-invoice address and operator, a character each, take the
    // room of the row's last placeholder.
    QStringList customer = invoice.rows[row - 1];
    customer[CodeColumn] = u"Oyj"_s;
    customer[EinvoiceAddressColumn] = u"0"_s;
    customer.append(u"N"_s);
    QCOMPARE(customer.size(), RegisterColumnCount);
    QCOMPARE(RegisterTooLongPart({customer}), part.isEmpty() ? QString() : u"asiakasrekisterin asiakas \"Oyj\""_s);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"1.csv"_s);
    const QStringList lines = InvoiceFileLines(invoice);
    try {
        WriteTextLines(path, lines);
        QVERIFY2(part.isEmpty(), "written");
        QCOMPARE(ReadTextLines(path), lines);
    } catch (const CommandError &error) {
        QVERIFY(!part.isEmpty());
        QCOMPARE(error.message(), u"Tiedostoa %1 ei tallennettu: siihen tulisi yli %2 merkin rivi."_s.arg(
                                      QDir::toNativeSeparators(path)).arg(kMaxTextLineLength));
        QVERIFY(!QFile::exists(path));
    }
}

// A credit note's file: the original's header values but its own number,
// date, reference and due date, the credited year and number after the last
// value, the rows' quantities negated; read back, it is a credit note, and
// the original's line still ends where it did.
void InvoiceFileCoreTest::creditNoteLinesNameTheCreditedInvoice()
{
    InvoiceData original;
    original.header = {u"41"_s, u"30.12.2025"_s, u"1232"_s, u"2345678-0"_s, u"7"_s, u"1"_s, u"0"_s,
                       u"14 pv netto"_s, u"8 %"_s, u"7 pv"_s, u"13.1.2026"_s, u"003723456780"_s, u"003721291126"_s};
    original.customer = {u"Asiakas Oy"_s, u"Katu 1"_s, QString(), u"00100 HELSINKI"_s};
    original.rows = {{QString(), u"Työ"_s, u"1,5"_s, u"h"_s, u"80,00"_s, u"25,5"_s, u"120,00"_s},
                     {QString(), u"Alennus"_s, u"-1"_s, u"kpl"_s, u"10,00"_s, u"25,5"_s, u"-10,00"_s},
                     {QString(), u"Huomautus"_s, QString(), QString(), QString(), QString(), QString()}};
    const QStringList originalLines = InvoiceFileLines(original);

    const InvoiceData credit = CreditNoteOf(original, {u"5"_s, u"7.1.2026"_s, u"1054"_s});
    const QStringList lines = InvoiceFileLines(credit);
    QCOMPARE(lines[0], u"\"5\",\"7.1.2026\",\"1054\",\"2345678-0\",\"7\",\"1\",\"0\",\"14 pv netto\",\"8 %\","
                       "\"7 pv\",\"21.1.2026\",\"003723456780\",\"003721291126\",\"2025\",\"41\""_s);
    QCOMPARE(lines[1], originalLines[1]);
    const InvoiceData read = *ReadInvoiceFileLines(lines);
    QVERIFY(IsCreditNote(read.header));
    QVERIFY(!IsCreditNote(ReadInvoiceFileLines(originalLines)->header));
    QCOMPARE(read.rows.size(), 4);
    QCOMPARE(read.rows[0][TextColumn], u"Hyvitys laskulle 41 (30.12.2025)"_s);
    QCOMPARE(read.rows[1][QuantityColumn], u"-1,5"_s);
    QCOMPARE(read.rows[2][QuantityColumn], u"1"_s);
    QCOMPARE(read.rows[3][QuantityColumn].trimmed(), QString());
    QCOMPARE(read.rows[3][TextColumn], u"Huomautus"_s);
    QVERIFY(originalLines[0].endsWith(u",\"003721291126\""_s));
}

void InvoiceFileCoreTest::issuedBillerKeptAfterEarlierValues_data()
{
    QTest::addColumn<QStringList>("earlierValues");
    const QStringList invoice{u"57"_s, u"7.12.2026"_s, u"1009"_s, QString(), u"1"_s, u"0"_s,
                              u"1"_s, u"14 pv"_s, u"13%"_s, u"7 pv"_s, u"21.12.2026"_s};
    QTest::newRow("an invoice") << invoice;
    QTest::newRow("to an e-invoice address") << invoice + QStringList{u"003723456780"_s, u"003721291126"_s};
    QTest::newRow("a credit note") << invoice + QStringList{QString(), QString(), u"2025"_s, u"12"_s};
}

// The biller's values follow the earlier ones, each in its place, an empty
// one too; an earlier version reads the line as the invoice it knows and
// writes it back as it did; the record is issued by the biller kept, and a
// file without one by today's.
void InvoiceFileCoreTest::issuedBillerKeptAfterEarlierValues()
{
    QFETCH(QStringList, earlierValues);
    const QStringList customer{u"Asiakas Oy"_s, u"Katu 1"_s, u"00100 HELSINKI"_s, QString()};
    const QList<QStringList> rows{{QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s, u"125,50"_s}};
    const QStringList issued{u"Vanha Oy"_s, u"Pajakatu 3"_s, QString(), u"33100 TAMPERE"_s, u"1234567-1"_s,
                             u"FI12345671"_s, u"FI21 1234 5600 0007 85"_s, QString()};
    QStringList header = earlierValues;
    header.resize(BillerNameField);
    header += issued;
    const QStringList lines = InvoiceFileLines({header, customer, rows});
    const QStringList earlierLines = InvoiceFileLines({earlierValues, customer, rows});
    QCOMPARE(lines.mid(1), earlierLines.mid(1));
    QCOMPARE(lines[0], FormatHeaderLine(header));

    // Biller details too long for the line are named as the biller's.
    QStringList tooLong = header;
    tooLong[BillerAddress1Field] = QString(kMaxTextLineLength, u'x');
    QCOMPARE(InvoiceTooLongPart({tooLong, customer, rows}),
             u"laskuttajan tiedot (virallinen nimi, osoite, Y-tunnus, ALV-tunnus, IBAN ja BIC)"_s);

    // The earlier reader took as many values as it knew and ignored the rest.
    const QStringList earlierRead = SplitGridLine(lines[0], CreditedNumberField + 1);
    QCOMPARE(earlierRead.size(), CreditedNumberField + 1);
    const std::optional<InvoiceData> read = ReadInvoiceFileLines(lines);
    QVERIFY(read);
    QCOMPARE(InvoiceFileLines({earlierRead, read->customer, read->rows}), earlierLines);
    QCOMPARE(IsCreditNote(earlierRead), IsCreditNote(earlierValues));

    BillerDetails today;
    today.officialName = u"Uusi Nimi Oy"_s;
    today.address2 = u"www.uusi.fi"_s;
    today.phone = u"040 123"_s;
    today.iban = u"FI75 4006 0010 0001 71"_s;
    today.bic = u"OKOYFIHH"_s;
    QTemporaryDir dir;
    const QString kept = dir.filePath(u"57.csv"_s);
    const QString earlier = dir.filePath(u"56.csv"_s);
    WriteTextLines(kept, lines);
    WriteTextLines(earlier, earlierLines);
    const InvoiceRecord record = ReadInvoiceRecord(kept, today, {});
    const BillerDetails &biller = record.biller;
    QCOMPARE((QStringList{biller.officialName, biller.address1, biller.address2, biller.postOffice,
                          biller.businessId, biller.vatId, biller.iban, biller.bic}),
             issued);
    QCOMPARE(biller.phone, today.phone);
    QCOMPARE(record.invoice.header.mid(BillerNameField), issued);
    if (!IsCreditNote(header))
        QVERIFY(RecordBankBarcode(record).startsWith(u"42112345600000785"_s));
    const InvoiceRecord earlierRecord = ReadInvoiceRecord(earlier, today, {});
    QCOMPARE(earlierRecord.biller.officialName, today.officialName);
    QCOMPARE(earlierRecord.biller.iban, today.iban);
    QCOMPARE(earlierRecord.invoice.header[BillerIbanField], today.iban);
    // Written again, the earlier file keeps the biller it is now issued by.
    QCOMPARE(SplitGridLine(InvoiceFileLines(earlierRecord.invoice)[0]).mid(BillerNameField, 1),
             QStringList{today.officialName});
}

QTEST_APPLESS_MAIN(InvoiceFileCoreTest)
#include "tst_invoicefile.moc"
