// The payment QR code's text from the giro form's captions, line by line, and
// the captions that give no QR code.

#include "output/epcqr.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kIban = u"FI21 1234 5600 0007 85"_s;

// The giro form's captions of a plain payment, changed where a row says.
struct Captions
{
    QString bic = u"NDEAFIHH"_s;
    QString name = u"Testi Oy"_s;
    QString amount = u"1,00"_s;
    QString reference = u"1009"_s;
    QString due = u"1.2.2027"_s;
};

// The fields of that payment's text; without a date the text ends with the reference.
struct Fields
{
    QString bic = u"NDEAFIHH"_s;
    QString name = u"Testi Oy"_s;
    QString amount = u"EUR1.00"_s;
    QString reference = u"1009"_s;
    QString date = u"2027-02-01"_s;

    QString text() const
    {
        QStringList lines = {u"BCD"_s, u"002"_s, u"1"_s, u"SCT"_s, bic, name, u"FI2112345600000785"_s, amount,
                             QString(), reference};
        if (!date.isEmpty())
            lines << QString() << u"ReqdExctnDt/"_s + date;
        return lines.join(u'\n');
    }
};

void addRow(const char *name, const Captions &in, const Fields &out)
{
    QTest::newRow(name) << in.bic << in.name << in.amount << in.reference << in.due << out.text();
}

} // namespace

class TestEpcQr : public QObject
{
    Q_OBJECT

private slots:
    void ibanCheck_data();
    void ibanCheck();
    void textFromCaptions_data();
    void textFromCaptions();
    void noTextWithoutPayment_data();
    void noTextWithoutPayment();
    void bicFormAndTextLength_data();
    void bicFormAndTextLength();
};

void TestEpcQr::ibanCheck_data()
{
    QTest::addColumn<QString>("iban");
    QTest::addColumn<bool>("valid");
    QTest::newRow("Finnish, grouped in fours") << kIban << true;
    QTest::newRow("German, letters in no group") << u"DE89370400440532013000"_s << true;
    QTest::newRow("Norwegian, 15 characters") << u"NO9386011117947"_s << true;
    QTest::newRow("letters in the account") << u"GB29 NWBK 6016 1331 9268 19"_s << true;
    QTest::newRow("one digit changed") << u"FI21 1234 5600 0007 86"_s << false;
    QTest::newRow("two digits swapped") << u"FI21 1234 5600 0007 58"_s << false;
    QTest::newRow("check digits changed") << u"FI22 1234 5600 0007 85"_s << false;
    QTest::newRow("small letters") << u"fi21 1234 5600 0007 85"_s << false;
    QTest::newRow("placeholder of new settings") << u"FI00 0000 0000 0000 00?"_s << false;
    QTest::newRow("too short, though its remainder is 1") << u"FI76 0000 1"_s << false;
    QTest::newRow("longer than 34") << u"FI21 1234 5600 0007 85"_s + u"0"_s.repeated(13) << false;
    QTest::newRow("digits where the country is") << u"1221 1234 5600 0007 85"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestEpcQr::ibanCheck()
{
    QFETCH(QString, iban);
    QFETCH(bool, valid);
    QCOMPARE(IsValidIban(iban), valid);
}

void TestEpcQr::textFromCaptions_data()
{
    QTest::addColumn<QString>("bic");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("due");
    QTest::addColumn<QString>("expected");
    const QString seventy = u"Rakennus ja Remontti Virtanen Oy, Kallion toimipiste, Helsinki, SuomiX"_s;
    QCOMPARE(seventy.size(), 70);

    addRow("national reference", {.amount = u"2\u00a0510,00"_s, .reference = u"12345 3"_s, .due = u"21.12.2026"_s},
           {.amount = u"EUR2510.00"_s, .reference = u"123453"_s, .date = u"2026-12-21"_s});
    addRow("RF reference, day and month of one digit", {.reference = u"RF18 1009"_s, .due = u"5.7.2026"_s},
           {.reference = u"RF181009"_s, .date = u"2026-07-05"_s});
    addRow("name over 70 characters cut", {.name = seventy + u" ja muut"_s}, {.name = seventy});
    addRow("name cut by characters, not bytes", {.name = u"Ä"_s.repeated(75)}, {.name = u"Ä"_s.repeated(70)});
    addRow("name cut between letters of two UTF-16 units", {.name = u"A"_s.repeated(60) + u"\U0001D504"_s.repeated(15)},
           {.name = u"A"_s.repeated(60) + u"\U0001D504"_s.repeated(10)});
    addRow("name cut where a blank leaves no trailing blank", {.name = u"A"_s.repeated(69) + u" B"_s},
           {.name = u"A"_s.repeated(69)});
    addRow("name trimmed, its line break a blank", {.name = u"  Testi\nOy  "_s}, {});
    addRow("smallest amount", {.amount = u"0,01"_s}, {.amount = u"EUR0.01"_s});
    addRow("largest amount, no-break spaces", {.amount = u"999\u00a0999\u00a0999,99"_s},
           {.amount = u"EUR999999999.99"_s});
    addRow("whole euros, plain spaces", {.amount = u" 1 250 "_s}, {.amount = u"EUR1250.00"_s});
    addRow("one decimal", {.amount = u"12,5"_s}, {.amount = u"EUR12.50"_s});
    addRow("BIC with blanks", {.bic = u" NDEA FI HH "_s}, {});
    addRow("no BIC", {.bic = QString()}, {.bic = QString()});
    addRow("leap day", {.due = u"29.2.2028"_s}, {.date = u"2028-02-29"_s});
    // A due date that cannot be read ends the text after the reference.
    addRow("no due date", {.due = QString()}, {.date = QString()});
    addRow("empty date of the form", {.due = u"00.00.0000"_s}, {.date = QString()});
    addRow("no such day", {.due = u"29.2.2027"_s}, {.date = QString()});
    addRow("year first", {.due = u"2026-12-21"_s}, {.date = QString()});
    addRow("two-digit year", {.due = u"21.12.26"_s}, {.date = QString()});
    addRow("text after the year", {.due = u"21.12.2026 klo 12"_s}, {.date = QString()});
}

void TestEpcQr::textFromCaptions()
{
    QFETCH(QString, bic);
    QFETCH(QString, name);
    QFETCH(QString, amount);
    QFETCH(QString, reference);
    QFETCH(QString, due);
    QFETCH(QString, expected);
    const std::optional<QString> result = EpcQrText(bic, name, kIban, amount, reference, due);
    QVERIFY(result.has_value());
    QCOMPARE(*result, expected);
}

void TestEpcQr::noTextWithoutPayment_data()
{
    QTest::addColumn<QString>("iban");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("reference");
    QTest::newRow("IBAN check fails") << u"FI21 1234 5600 0007 86"_s << u"1,00"_s << u"1009"_s;
    QTest::newRow("no IBAN") << QString() << u"1,00"_s << u"1009"_s;
    QTest::newRow("IBAN placeholder") << u"FI00 0000 0000 0000 00?"_s << u"1,00"_s << u"1009"_s;
    QTest::newRow("amount 0,00") << kIban << u"0,00"_s << u"1009"_s;
    QTest::newRow("amount 1 000 000 000,00") << kIban << u"1\u00a0000\u00a0000\u00a0000,00"_s << u"1009"_s;
    QTest::newRow("amount of 30 digits") << kIban << u"9"_s.repeated(30) + u",00"_s << u"1009"_s;
    QTest::newRow("negative amount") << kIban << u"-12,30"_s << u"1009"_s;
    QTest::newRow("no amount") << kIban << QString() << u"1009"_s;
    QTest::newRow("three decimals") << kIban << u"1,005"_s << u"1009"_s;
    QTest::newRow("comma without decimals") << kIban << u"12,"_s << u"1009"_s;
    QTest::newRow("decimals without euros") << kIban << u",50"_s << u"1009"_s;
    QTest::newRow("letters in the amount") << kIban << u"12,3O"_s << u"1009"_s;
    QTest::newRow("blank inside the decimals") << kIban << u"2905, 4"_s << u"1009"_s;
    QTest::newRow("exponent") << kIban << u"1e3"_s << u"1009"_s;
    QTest::newRow("no reference") << kIban << u"1,00"_s << QString();
    QTest::newRow("reference of blanks") << kIban << u"1,00"_s << u" \u00a0 "_s;
}

void TestEpcQr::noTextWithoutPayment()
{
    QFETCH(QString, iban);
    QFETCH(QString, amount);
    QFETCH(QString, reference);
    const std::optional<QString> result = EpcQrText(u"NDEAFIHH", u"Testi Oy", iban, amount, reference, u"21.12.2026");
    QVERIFY2(!result.has_value(), qPrintable(result.value_or(QString())));
}

void TestEpcQr::bicFormAndTextLength_data()
{
    QTest::addColumn<QString>("bic");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("coded");
    const QString name = u"Testi Oy"_s;
    QTest::newRow("8 letters") << u"NDEAFIHH"_s << name << true;
    QTest::newRow("11, branch of digits") << u"OKOYFIHH123"_s << name << true;
    QTest::newRow("11, branch of letters") << u"DABAFIHHXXX"_s << name << true;
    QTest::newRow("location of digits") << u"NDEAFI22"_s << name << true;
    QTest::newRow("grouped with blanks") << u"DABA FI HH XXX"_s << name << true;
    QTest::newRow("none") << QString() << name << true;
    QTest::newRow("7 characters") << u"NDEAFIH"_s << name << false;
    QTest::newRow("9 characters") << u"NDEAFIHH1"_s << name << false;
    QTest::newRow("10 characters") << u"NDEAFIHH12"_s << name << false;
    QTest::newRow("12 characters") << u"OKOYFIHH1234"_s << name << false;
    QTest::newRow("digit in the bank code") << u"ND3AFIHH"_s << name << false;
    QTest::newRow("digit in the country") << u"NDEAF1HH"_s << name << false;
    QTest::newRow("small letters") << u"ndeafihh"_s << name << false;
    QTest::newRow("punctuation in the branch") << u"OKOYFIHH-12"_s << name << false;
    QTest::newRow("a line of 69 characters") << u"NDEAFIHH"_s.repeated(8) + u"NDEAF"_s << name << false;
    // The rest of the text takes 80 bytes; four bytes a letter fill the 331.
    QTest::newRow("331 bytes") << u"NDEAFIHH"_s << u"\U0001D504"_s.repeated(62) + u"abc"_s << true;
    QTest::newRow("332 bytes") << u"NDEAFIHH"_s << u"\U0001D504"_s.repeated(63) << false;
    QTest::newRow("70 letters of four bytes") << u"NDEAFIHH"_s << u"\U0001D504"_s.repeated(70) << false;
}

// A QR code is made only of a BIC a bank can route by, and only as long as
// a payer's application is bound to read.
void TestEpcQr::bicFormAndTextLength()
{
    QFETCH(QString, bic);
    QFETCH(QString, name);
    QFETCH(bool, coded);
    const std::optional<QString> result = EpcQrText(bic, name, kIban, u"1,00", u"1009", u"1.2.2027");
    QCOMPARE(result.has_value(), coded);
    if (result) {
        QCOMPARE(result->split(u'\n').at(4), QString(bic).remove(u' '));
        QVERIFY(result->toUtf8().size() <= 331);
    }
}

QTEST_APPLESS_MAIN(TestEpcQr)
#include "tst_epcqr.moc"
