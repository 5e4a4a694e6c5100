// Amount text: reading and writing amounts and whole cents, the default VAT
// rule and the 6-byte real's limits; reading dates.

#include "invoice/amount.h"
#include "invoice/dates.h"
#include "invoice/invoicerecord.h"
#include "invoice/shoppingcart.h"
#include "storage/invoicefile.h"

#include <QDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Exact text of a double, so that values are compared without fuzz.
QString exact(double value)
{
    return QString::number(value, 'g', 17);
}

QString repeated(QStringView piece, int count)
{
    return piece.toString().repeated(count);
}

} // namespace

class TestAmount : public QObject
{
    Q_OBJECT

private slots:
    void parseAmount_readsAmountText_data();
    void parseAmount_readsAmountText();
    void tryParseAmount_tellsUnreadableText_data();
    void tryParseAmount_tellsUnreadableText();
    void parseAmount_throwsWhenTheStoredValueOverflows_data();
    void parseAmount_throwsWhenTheStoredValueOverflows();
    void parseAmount_handlesLongTexts_data();
    void parseAmount_handlesLongTexts();
    void formatAmount_writesTwoDecimals_data();
    void formatAmount_writesTwoDecimals();
    void formatAmount_writesTheLargestDouble();
    void formatAmount_readsBackAsTheRoundedValue();
    void vatRateNeedsDefault_onlyForEmptyNegativeOrUnreadable_data();
    void vatRateNeedsDefault_onlyForEmptyNegativeOrUnreadable();
    void storeReal_roundsToFortyBits_data();
    void storeReal_roundsToFortyBits();
    void storeReal_throwsFromTwoToThe127_data();
    void storeReal_throwsFromTwoToThe127();
    void storeReal_zeroHasNoSign();
    void floatingPointOverflow_hasTheStandardMessage();
    void listingAmount_data();
    void listingAmount();
    void parseCents_readsMoneyText_data();
    void parseCents_readsMoneyText();
    void parseCents_refusesOtherText_data();
    void parseCents_refusesOtherText();
    void formatCents_readsBack_data();
    void formatCents_readsBack();
    void savedInvoicesTotalsRead_data();
    void savedInvoicesTotalsRead();
    void readDate_readsDayMonthYear_data();
    void readDate_readsDayMonthYear();
};

void TestAmount::parseAmount_readsAmountText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("whole number") << u"42"_s << 42.0;
    QTest::newRow("decimal comma") << u"12,5"_s << 12.5;
    QTest::newRow("full stop counts as comma") << u"12.5"_s << 12.5;
    QTest::newRow("full stop then comma is two commas") << u"1.234,50"_s << 0.0;
    QTest::newRow("two full stops") << u"1.2.3"_s << 0.0;
    QTest::newRow("two commas") << u"1,2,3"_s << 0.0;
    QTest::newRow("no-break space dropped") << u"1\u00A0234,50"_s << 1234.5;
    QTest::newRow("no-break spaces anywhere") << u"\u00A01\u00A0\u00A02\u00A0"_s << 12.0;
    QTest::newRow("ordinary blank between digits") << u"1 234,50"_s << 0.0;
    QTest::newRow("blanks around") << u"   7,25  "_s << 7.25;
    QTest::newRow("tab is not a blank") << u"\t7"_s << 0.0;
    QTest::newRow("plus sign") << u"+3"_s << 3.0;
    QTest::newRow("minus sign") << u"-3,25"_s << -3.25;
    QTest::newRow("blank after sign") << u"- 3"_s << 0.0;
    QTest::newRow("two signs") << u"--3"_s << 0.0;
    QTest::newRow("lone sign") << u"-"_s << 0.0;
    QTest::newRow("comma alone") << u","_s << 0.0;
    QTest::newRow("leading comma") << u",5"_s << 0.5;
    QTest::newRow("trailing comma") << u"5,"_s << 5.0;
    QTest::newRow("leading zeros") << u"0042"_s << 42.0;
    QTest::newRow("exponent") << u"1e3"_s << 1000.0;
    QTest::newRow("exponent with sign") << u"2,5E-1"_s << 0.25;
    QTest::newRow("exponent after full stop") << u"1.5e+2"_s << 150.0;
    QTest::newRow("exponent without digits") << u"1e"_s << 0.0;
    QTest::newRow("exponent alone") << u"e3"_s << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("blanks only") << u"   "_s << 0.0;
    QTest::newRow("letters") << u"abc"_s << 0.0;
    QTest::newRow("per cent sign") << u"24%"_s << 0.0;
    QTest::newRow("euro sign") << u"12 \u20AC"_s << 0.0;
    QTest::newRow("non-ASCII digits") << u"\u0661\u0662"_s << 0.0;
    QTest::newRow("stored as 6-byte real") << u"0,1"_s << StoreReal(0.1L);
    QTest::newRow("just below 2^127") << u"1e38"_s << StoreReal(1e38L);
    QTest::newRow("conversion overflow reads as 0") << u"1e5000"_s << 0.0;
    QTest::newRow("negative conversion overflow") << u"-1e5000"_s << 0.0;
    QTest::newRow("huge exponent") << u"1e99999999999999999999999"_s << 0.0;
    QTest::newRow("zero with huge exponent") << u"0e99999999999999999999999"_s << 0.0;
    QTest::newRow("underflow") << u"1e-5000"_s << 0.0;
    QTest::newRow("below the 6-byte range") << u"1e-40"_s << 0.0;
    QTest::newRow("many digits cancel exponent") << u"0,000000000000000000000000000000000000000000000000012e50"_s
                                                   << StoreReal(1.2L);
}

void TestAmount::parseAmount_readsAmountText()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(exact(ParseAmount(text)), exact(expected));
}

void TestAmount::tryParseAmount_tellsUnreadableText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("blanks only") << u"  "_s << false << 0.0;
    QTest::newRow("letters") << u"x"_s << false << 0.0;
    QTest::newRow("comma alone is zero") << u","_s << true << 0.0;
    QTest::newRow("zero") << u"0"_s << true << 0.0;
    QTest::newRow("decimal") << u"13,5"_s << true << 13.5;
    QTest::newRow("conversion overflow") << u"1e5000"_s << false << 0.0;
    QTest::newRow("underflow is zero") << u"1e-5000"_s << true << 0.0;
}

void TestAmount::tryParseAmount_tellsUnreadableText()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(double, expected);
    const std::optional<double> value = TryParseAmount(text);
    QCOMPARE(value.has_value(), readable);
    if (readable)
        QCOMPARE(exact(*value), exact(expected));
}

void TestAmount::parseAmount_throwsWhenTheStoredValueOverflows_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("1e39") << u"1e39"_s;
    QTest::newRow("negative") << u"-2e38"_s;
    QTest::newRow("2^127") << u"170141183460469231731687303715884105728"_s;
    QTest::newRow("2^127 - 1 rounds up") << u"170141183460469231731687303715884105727"_s;
    QTest::newRow("within the extended range") << u"1e400"_s;
    QTest::newRow("with separators") << u"1\u00A0000e38"_s;
}

void TestAmount::parseAmount_throwsWhenTheStoredValueOverflows()
{
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, ParseAmount(text));
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, TryParseAmount(text));
}

void TestAmount::parseAmount_handlesLongTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    for (const int length : {10'000, 1'000'000}) {
        const QByteArray n = QByteArray::number(length);
        QTest::addRow("%s digits beyond the range", n.constData()) << repeated(u"9", length) << 0.0;
        QTest::addRow("%s leading zeros", n.constData()) << repeated(u"0", length) + u"5"_s << 5.0;
        QTest::addRow("%s decimals", n.constData()) << u"0,"_s + repeated(u"1", length)
                                                    << StoreReal(1.0L / 9.0L);
        QTest::addRow("%s zero decimals then a digit", n.constData())
                << u"0,"_s + repeated(u"0", length) + u"1"_s << 0.0;
        QTest::addRow("%s trailing blanks", n.constData()) << u"1"_s + repeated(u" ", length) << 1.0;
        QTest::addRow("%s full stops", n.constData()) << repeated(u".", length) << 0.0;
        QTest::addRow("%s no-break spaces", n.constData()) << repeated(u"\u00A0", length) + u"3"_s << 3.0;
        QTest::addRow("%s exponent digits", n.constData()) << u"1e"_s + repeated(u"9", length) << 0.0;
        QTest::addRow("%s negative exponent digits", n.constData())
                << u"1e-"_s + repeated(u"9", length) << 0.0;
        QTest::addRow("%s digits and a balancing exponent", n.constData())
                << u"1"_s + repeated(u"0", length) + u"e-"_s + QString::number(length) << 1.0;
        QTest::addRow("%s letters", n.constData()) << repeated(u"x", length) << 0.0;
    }
}

void TestAmount::parseAmount_handlesLongTexts()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(exact(ParseAmount(text)), exact(expected));
}

void TestAmount::formatAmount_writesTwoDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << u"0,00"_s;
    QTest::newRow("negative zero") << -0.0 << u"0,00"_s;
    QTest::newRow("thousands") << 1234.5 << u"1\u00A0234,50"_s;
    QTest::newRow("one million") << 1e6 << u"1\u00A0000\u00A0000,00"_s;
    QTest::newRow("negative") << -3.2 << u"-3,20"_s;
    QTest::newRow("negative thousands") << -1234567.891 << u"-1\u00A0234\u00A0567,89"_s;
    QTest::newRow("half cent rounds up") << 0.125 << u"0,13"_s;
    QTest::newRow("held below a half cent") << 2.675 << u"2,68"_s;
    QTest::newRow("negative half cent towards zero") << -1.005 << u"-1,00"_s;
    QTest::newRow("small negative is zero") << -0.001 << u"0,00"_s;
    QTest::newRow("negative below half a cent") << -0.005 << u"0,00"_s;
    QTest::newRow("negative past half a cent") << -0.006 << u"-0,01"_s;
    QTest::newRow("carry into a new group") << 999.995 << u"1\u00A0000,00"_s;
    QTest::newRow("carry from 99,995") << 99.995 << u"100,00"_s;
    QTest::newRow("three digits, no separator") << 123.0 << u"123,00"_s;
    QTest::newRow("1e20") << 1e20 << u"100\u00A0000\u00A0000\u00A0000\u00A0000\u00A0000\u00A0000,00"_s;
    QTest::newRow("1.5e38 exactly")
            << 1.5e38
            << u"150\u00A0000\u00A0000\u00A0000\u00A0000\u00A0006\u00A0067\u00A0947\u00A0700\u00A0923"
               "\u00A0341\u00A0471\u00A0744,00"_s;
    // The added millionth is lost at this size, so the tie stays and rounds away from zero.
    QTest::newRow("exact tie, large") << std::ldexp(1.0, 49) + 0.125
                                      << u"562\u00A0949\u00A0953\u00A0421\u00A0312,13"_s;
    QTest::newRow("exact tie, large, negative") << -(std::ldexp(1.0, 49) + 0.125)
                                                << u"-562\u00A0949\u00A0953\u00A0421\u00A0312,13"_s;
    QTest::newRow("not a number") << std::nan("") << u"NAN"_s;
    QTest::newRow("infinity") << -HUGE_VAL << u"-INF"_s;
}

void TestAmount::formatAmount_writesTwoDecimals()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatAmount(value), expected);
}

void TestAmount::formatAmount_writesTheLargestDouble()
{
    const QString text = FormatAmount(1.7976931348623157e308);
    QVERIFY(text.startsWith(u"179\u00A0769\u00A0313\u00A0486\u00A0231\u00A0570\u00A0"_s));
    QVERIFY(text.endsWith(u"\u00A0368,00"_s));
    QCOMPARE(text.size(), 309 + 102 + 3);
}

void TestAmount::formatAmount_readsBackAsTheRoundedValue()
{
    for (const double value : {0.0, 0.01, 12.345, -99.99, 1234567.8, 1e15}) {
        const QString text = FormatAmount(value);
        QCOMPARE(FormatAmount(ParseAmount(text)), text);
    }
}

void TestAmount::vatRateNeedsDefault_onlyForEmptyNegativeOrUnreadable_data()
{
    QTest::addColumn<QString>("vat");
    QTest::addColumn<bool>("needsDefault");

    QTest::newRow("whole rate") << u"24"_s << false;
    QTest::newRow("Finnish reduced rate 13,5") << u"13,5"_s << false;
    QTest::newRow("general rate 25,5") << u"25,5"_s << false;
    QTest::newRow("with a full stop") << u"25.5"_s << false;
    QTest::newRow("zero") << u"0"_s << false;
    QTest::newRow("negative zero") << u"-0"_s << false;
    QTest::newRow("comma alone reads as zero") << u","_s << false;
    QTest::newRow("blanks around") << u" 14 "_s << false;
    QTest::newRow("huge reads as a number") << u"1e40"_s << false;
    QTest::newRow("tiny negative stores as zero") << u"-1e-50"_s << false;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("blanks only") << u"  "_s << true;
    QTest::newRow("negative") << u"-1"_s << true;
    QTest::newRow("negative decimal") << u"-0,5"_s << true;
    QTest::newRow("huge negative") << u"-1e40"_s << true;
    QTest::newRow("per cent sign") << u"24 %"_s << true;
    QTest::newRow("letters") << u"alv"_s << true;
    QTest::newRow("conversion overflow") << u"1e5000"_s << true;
}

void TestAmount::vatRateNeedsDefault_onlyForEmptyNegativeOrUnreadable()
{
    QFETCH(QString, vat);
    QFETCH(bool, needsDefault);
    QCOMPARE(VatRateNeedsDefault(vat), needsDefault);
}

void TestAmount::storeReal_roundsToFortyBits_data()
{
    QTest::addColumn<long double>("value");
    QTest::addColumn<double>("expected");

    QTest::newRow("one") << 1.0L << 1.0;
    QTest::newRow("below half a unit drops") << 1.0L + std::ldexp(1.0L, -41) << 1.0;
    QTest::newRow("half a unit rounds away") << 1.0L + std::ldexp(1.0L, -40) << 1.0 + std::ldexp(1.0, -39);
    QTest::newRow("negative half unit") << -(1.0L + std::ldexp(1.0L, -40)) << -(1.0 + std::ldexp(1.0, -39));
    QTest::newRow("0.1 keeps 40 bits") << 0.1L << std::ldexp(std::round(std::ldexp(0.8, 40)), -43);
    QTest::newRow("smallest real") << std::ldexp(1.0L, -128) << std::ldexp(1.0, -128);
    QTest::newRow("below the smallest is zero") << std::ldexp(1.5L, -129) << 0.0;
    QTest::newRow("largest real") << std::ldexp(1.0L, 127) - std::ldexp(1.0L, 87)
                                  << std::ldexp(1.0, 127) - std::ldexp(1.0, 87);
}

void TestAmount::storeReal_roundsToFortyBits()
{
    QFETCH(long double, value);
    QFETCH(double, expected);
    QCOMPARE(exact(StoreReal(value)), exact(expected));
}

void TestAmount::storeReal_throwsFromTwoToThe127_data()
{
    QTest::addColumn<long double>("value");

    QTest::newRow("2^127") << std::ldexp(1.0L, 127);
    QTest::newRow("-2^127") << -std::ldexp(1.0L, 127);
    QTest::newRow("rounds up to 2^127") << std::ldexp(1.0L, 127) - std::ldexp(1.0L, 86);
    QTest::newRow("1e300") << 1e300L;
    QTest::newRow("infinity") << static_cast<long double>(HUGE_VAL);
    QTest::newRow("not a number") << static_cast<long double>(std::nan(""));
}

void TestAmount::storeReal_throwsFromTwoToThe127()
{
    QFETCH(long double, value);
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, StoreReal(value));
}

void TestAmount::storeReal_zeroHasNoSign()
{
    QVERIFY(!std::signbit(StoreReal(-0.0L)));
    QVERIFY(!std::signbit(StoreReal(-std::ldexp(1.0L, -200))));
}

void TestAmount::floatingPointOverflow_hasTheStandardMessage()
{
    QCOMPARE(QString::fromLatin1(FloatingPointOverflow().what()), u"Floating point overflow"_s);
}

void TestAmount::listingAmount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<bool>("money");
    QTest::newRow("plain") << u"3,50"_s << true << u"3,50"_s << QString() << true;
    QTest::newRow("whole number") << u"2"_s << true << u"2"_s << QString() << false;
    QTest::newRow("blank between groups, euro sign") << u"1 234,50 €"_s << true << u"1234,50"_s << QString() << true;
    QTest::newRow("no-break spaces") << u"12\u00A0345\u00A0678,00\u00A0€"_s << true << u"12345678,00"_s << QString() << true;
    QTest::newRow("narrow no-break space, EUR first") << u"EUR 1\u202F099,00"_s << true << u"1099,00"_s << QString() << true;
    QTest::newRow("euro sign first") << u"€12.90"_s << true << u"12,90"_s << QString() << true;
    QTest::newRow("dotted thousands") << u"1.234,50 €"_s << true << u"1234,50"_s << QString() << true;
    QTest::newRow("full stop as decimal") << u"12.900"_s << true << u"12,900"_s << QString() << true;
    QTest::newRow("unit word") << u"3 kpl"_s << true << u"3"_s << u"kpl"_s << false;
    QTest::newRow("unit with a decimal quantity") << u"1,5 h"_s << true << u"1,5"_s << u"h"_s << true;
    QTest::newRow("price per unit") << u"19,90 €/pkt"_s << true << u"19,90"_s << u"pkt"_s << true;
    QTest::newRow("minus sign") << u"\u22125,00 €"_s << true << u"-5,00"_s << QString() << true;
    QTest::newRow("blank not before a group of three") << u"12 34"_s << false << QString() << QString() << false;
    QTest::newRow("text") << u"Hinta puuttuu"_s << false << QString() << QString() << false;
    QTest::newRow("date") << u"7.12.2026"_s << false << QString() << QString() << false;
    QTest::newRow("per cent") << u"24 %"_s << false << QString() << QString() << false;
    QTest::newRow("empty") << QString() << false << QString() << QString() << false;
    QTest::newRow("too large to be a price") << QString(60, u'9') + u"0"_s.repeated(40) << false << QString() << QString() << false;
}

void TestAmount::listingAmount()
{
    QFETCH(QString, text);
    QFETCH(bool, read);
    QFETCH(QString, amount);
    QFETCH(QString, unit);
    QFETCH(bool, money);
    const std::optional<ListingAmount> result = ReadListingAmount(text);
    QCOMPARE(result.has_value(), read);
    if (!result)
        return;
    QCOMPARE(result->amount, amount);
    QCOMPARE(result->unit, unit);
    QCOMPARE(result->money, money);
}

void TestAmount::parseCents_readsMoneyText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("cents");
    // As the payments and reminders files keep amounts.
    QTest::newRow("file, two decimals") << u"1234,50"_s << qint64(123450);
    QTest::newRow("file, negative") << u"-5,00"_s << qint64(-500);
    QTest::newRow("file, zero") << u"0,00"_s << qint64(0);
    // As the page shows money.
    QTest::newRow("page, no-break spaces") << u"1\u00A0234\u00A0567,05"_s << qint64(123456705);
    QTest::newRow("page, negative grouped") << u"-12\u00A0345,60"_s << qint64(-1234560);
    // As people type them.
    QTest::newRow("typed, blank between groups") << u"1 234,50"_s << qint64(123450);
    QTest::newRow("typed, one decimal") << u"1234,5"_s << qint64(123450);
    QTest::newRow("typed, whole euros") << u"12"_s << qint64(1200);
    QTest::newRow("typed, minus and two decimals") << u"-12,00"_s << qint64(-1200);
    QTest::newRow("typed, blanks around") << u"  7,25\t"_s << qint64(725);
    QTest::newRow("typed, leading zeros") << u"007,10"_s << qint64(710);
    QTest::newRow("minus zero") << u"-0,00"_s << qint64(0);
    QTest::newRow("short first group") << u"12 345 678"_s << qint64(1234567800);
    QTest::newRow("largest in 64 bits") << u"92233720368547758,07"_s << std::numeric_limits<qint64>::max();
}

void TestAmount::parseCents_readsMoneyText()
{
    QFETCH(QString, text);
    QFETCH(qint64, cents);
    QCOMPARE(ParseCents(text), std::optional<qint64>(cents));
}

void TestAmount::parseCents_refusesOtherText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("blank after the comma") << u"2905, 4"_s;
    QTest::newRow("blank before the comma") << u"2905 ,40"_s;
    QTest::newRow("group of two") << u"12 34"_s;
    QTest::newRow("group of four") << u"1 2345,00"_s;
    QTest::newRow("first group of four") << u"1234 567,00"_s;
    QTest::newRow("two blanks between groups") << u"1  234,00"_s;
    QTest::newRow("blank after the sign") << u"- 5,00"_s;
    QTest::newRow("comma without decimals") << u"12,"_s;
    QTest::newRow("decimals without euros") << u",50"_s;
    QTest::newRow("three decimals") << u"1,005"_s;
    QTest::newRow("full stop as the comma") << u"12.50"_s;
    QTest::newRow("plus sign") << u"+5,00"_s;
    QTest::newRow("sign after") << u"5,00-"_s;
    QTest::newRow("exponent") << u"1e3"_s;
    QTest::newRow("letter O for zero") << u"12,3O"_s;
    QTest::newRow("euro sign") << u"12,00 €"_s;
    QTest::newRow("not a number") << u"NAN"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << u" \u00A0 "_s;
    QTest::newRow("minus alone") << u"-"_s;
    QTest::newRow("beyond 64 bits") << u"92233720368547758,08"_s;
    QTest::newRow("30 digits") << u"9"_s.repeated(30) + u",00"_s;
}

void TestAmount::parseCents_refusesOtherText()
{
    QFETCH(QString, text);
    QCOMPARE(ParseCents(text), std::nullopt);
}

void TestAmount::formatCents_readsBack_data()
{
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("grouped");
    QTest::addColumn<QString>("plain");
    QTest::newRow("zero") << qint64(0) << u"0,00"_s << u"0,00"_s;
    QTest::newRow("cents only") << qint64(-7) << u"-0,07"_s << u"-0,07"_s;
    QTest::newRow("three digits") << qint64(99999) << u"999,99"_s << u"999,99"_s;
    QTest::newRow("four digits") << qint64(123450) << u"1\u00A0234,50"_s << u"1234,50"_s;
    QTest::newRow("negative millions") << qint64(-123456789) << u"-1\u00A0234\u00A0567,89"_s << u"-1234567,89"_s;
}

void TestAmount::formatCents_readsBack()
{
    QFETCH(qint64, cents);
    QFETCH(QString, grouped);
    QFETCH(QString, plain);
    QCOMPARE(FormatCents(cents), grouped);
    QCOMPARE(FormatCents(cents, CentsGrouping::None), plain);
    QCOMPARE(ParseCents(grouped), std::optional<qint64>(cents));
    QCOMPARE(ParseCents(plain), std::optional<qint64>(cents));
}

// Every invoice file kept with the tests, old ones included: the totals and
// VAT lines counted for it read back to the cent, and add up.
void TestAmount::savedInvoicesTotalsRead_data()
{
    QTest::addColumn<QString>("path");
    const QDir data(QStringLiteral(LASKUTUS_TEST_DATA));
    for (const QString &name : data.entryList({u"*.csv"_s}, QDir::Files))
        QTest::newRow(qPrintable(name)) << data.filePath(name);
    QVERIFY(data.entryList({u"*.csv"_s}, QDir::Files).size() >= 5);
}

void TestAmount::savedInvoicesTotalsRead()
{
    QFETCH(QString, path);
    const InvoiceTotals totals = RecordTotals(ReadInvoiceRecord(path, BillerDetails(), InvoiceDefaults()));
    const std::optional<qint64> total = ParseCents(totals.total);
    const std::optional<qint64> withoutVat = ParseCents(totals.withoutVat);
    const std::optional<qint64> vat = ParseCents(totals.vat);
    QVERIFY2(total && withoutVat && vat, qPrintable(totals.total + u" / "_s + totals.withoutVat + u" / "_s + totals.vat));
    QCOMPARE(*withoutVat + *vat, *total);
    QCOMPARE(FormatCents(*total), totals.total);
    QVERIFY(*total != 0);
    qint64 lines = 0;
    for (const VatRateLine &line : totals.rates) {
        QVERIFY(ParseCents(line.withoutVat) && ParseCents(line.vat));
        lines += *ParseCents(line.withoutVat) + *ParseCents(line.vat);
    }
    QCOMPARE(lines, *total);
}

void TestAmount::readDate_readsDayMonthYear_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    // As the program writes dates, and as people type them.
    QTest::newRow("written") << u"7.12.2026"_s << QDate(2026, 12, 7);
    QTest::newRow("leading zeros") << u"01.02.2026"_s << QDate(2026, 2, 1);
    QTest::newRow("blanks around") << u" 1.2.2026\t"_s << QDate(2026, 2, 1);
    QTest::newRow("no-break space before") << u"\u00A01.2.2026"_s << QDate(2026, 2, 1);
    QTest::newRow("leap day") << u"29.2.2024"_s << QDate(2024, 2, 29);
    QTest::newRow("year below 1000, written with four digits") << u"1.2.0999"_s << QDate(999, 2, 1);
    QTest::newRow("no such day") << u"31.2.2026"_s << QDate();
    QTest::newRow("no leap day") << u"29.2.2025"_s << QDate();
    QTest::newRow("the empty date") << u"00.00.0000"_s << QDate();
    QTest::newRow("day zero") << u"0.1.2026"_s << QDate();
    QTest::newRow("month 13") << u"1.13.2026"_s << QDate();
    QTest::newRow("two-digit year") << u"1.2.26"_s << QDate();
    QTest::newRow("five-digit year") << u"1.2.02026"_s << QDate();
    QTest::newRow("day of three digits") << u"001.2.2026"_s << QDate();
    QTest::newRow("blank inside") << u"1. 2.2026"_s << QDate();
    QTest::newRow("signed year") << u"1.2.-2026"_s << QDate();
    QTest::newRow("signed day") << u"+1.2.2026"_s << QDate();
    QTest::newRow("text after") << u"1.2.2026x"_s << QDate();
    QTest::newRow("commas") << u"1,2,2026"_s << QDate();
    QTest::newRow("ISO") << u"2026-02-01"_s << QDate();
    QTest::newRow("empty") << QString() << QDate();
}

void TestAmount::readDate_readsDayMonthYear()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(ReadDate(text), date);
}

QTEST_APPLESS_MAIN(TestAmount)
#include "tst_amount.moc"
