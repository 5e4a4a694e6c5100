// Whole numbers in text, reference check digits, RF creditor references, the
// reference base counter, date text and due dates.

#include "invoice/numbering.h"

#include <QRandomGenerator>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class TestNumbering : public QObject
{
    Q_OBJECT

private slots:
    void takeInteger_readsSuccessiveNumbers_data();
    void takeInteger_readsSuccessiveNumbers();
    void takeInteger_startsAtTheGivenPosition();
    void wholeNumberText_readsNumbersOfAnyLength_data();
    void wholeNumberText_readsNumbersOfAnyLength();
    void appendCheckDigit_appendsTheReferenceCheckDigit_data();
    void appendCheckDigit_appendsTheReferenceCheckDigit();
    void referenceChecks_classifyReferences_data();
    void referenceChecks_classifyReferences();
    void rfReference_checkDigitsLieBetween02And98_data();
    void rfReference_checkDigitsLieBetween02And98();
    void rfReference_prefixesTheCheckDigitsInFours_data();
    void rfReference_prefixesTheCheckDigitsInFours();
    void rfReference_ofEveryNationalReferenceIsValid_data();
    void rfReference_ofEveryNationalReferenceIsValid();
    void dateText_writesDayMonthYear_data();
    void dateText_writesDayMonthYear();
    void dueDate_addsThePaymentTermDays_data();
    void dueDate_addsThePaymentTermDays();
    void regroupReferenceBase_groupsInFivesFromTheRight_data();
    void regroupReferenceBase_groupsInFivesFromTheRight();
    void stepReferenceBase_incrementsInPlace_data();
    void stepReferenceBase_incrementsInPlace();
    void recalcDueDateText_walksMonthLengths_data();
    void recalcDueDateText_walksMonthLengths();
};

void TestNumbering::takeInteger_readsSuccessiveNumbers_data()
{
    QTest::addColumn<QString>("text");
    // Each call's result and the position after it, from position 1.
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QList<int>>("positions");

    const int maxInt = std::numeric_limits<int>::max();
    const int minInt = std::numeric_limits<int>::min();
    QTest::newRow("date text") << u"6.12.2026"_s << QList<int>{6, 12, 2026, 0}
                               << QList<int>{2, 5, 10, 10};
    QTest::newRow("payment terms") << u"14 pv netto"_s << QList<int>{14, 0} << QList<int>{3, 12};
    QTest::newRow("number after text") << u"netto 30 pv"_s << QList<int>{30} << QList<int>{9};
    QTest::newRow("ISO date is one bad run") << u"2026-12-06"_s << QList<int>{0} << QList<int>{11};
    QTest::newRow("minus after a letter") << u"A-123"_s << QList<int>{-123} << QList<int>{6};
    QTest::newRow("empty") << QString() << QList<int>{0, 0} << QList<int>{1, 1};
    QTest::newRow("no number") << u"abc"_s << QList<int>{0} << QList<int>{4};
    QTest::newRow("leading zeros") << u"00042"_s << QList<int>{42} << QList<int>{6};
    QTest::newRow("lone minus") << u"1 - 2"_s << QList<int>{1, 0, 2} << QList<int>{2, 4, 6};
    QTest::newRow("minus last") << u"5-"_s << QList<int>{0} << QList<int>{3};
    QTest::newRow("two minuses") << u"--5"_s << QList<int>{0} << QList<int>{4};
    QTest::newRow("largest int") << u"2147483647"_s << QList<int>{maxInt} << QList<int>{11};
    QTest::newRow("beyond the largest") << u"2147483648"_s << QList<int>{0} << QList<int>{11};
    QTest::newRow("smallest int") << u"-2147483648"_s << QList<int>{minInt} << QList<int>{12};
    QTest::newRow("below the smallest") << u"-2147483649"_s << QList<int>{0} << QList<int>{12};
    QTest::newRow("very long run") << u"123456789012345678901234567890 7"_s << QList<int>{0, 7}
                                   << QList<int>{31, 33};
    QTest::newRow("non-ASCII digits are text") << u"\u0661\u0662 3"_s << QList<int>{3}
                                               << QList<int>{5};
}

void TestNumbering::takeInteger_readsSuccessiveNumbers()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, values);
    QFETCH(QList<int>, positions);

    int position = 1;
    for (qsizetype i = 0; i < values.size(); ++i) {
        QCOMPARE(TakeInteger(text, position), values[i]);
        QCOMPARE(position, positions[i]);
    }
}

void TestNumbering::takeInteger_startsAtTheGivenPosition()
{
    int position = 3;
    QCOMPARE(TakeInteger(u"6.12.2026", position), 12);
    QCOMPARE(position, 5);
    position = 4;
    QCOMPARE(TakeInteger(u"6.12.2026", position), 2);
    position = 0;
    QCOMPARE(TakeInteger(u"6.12.2026", position), 6);
    position = 100;
    QCOMPARE(TakeInteger(u"6.12.2026", position), 0);
}

void TestNumbering::appendCheckDigit_appendsTheReferenceCheckDigit_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("reference");

    QTest::newRow("123") << u"123"_s << u"1232"_s;
    QTest::newRow("1234561") << u"1234561"_s << u"12345614"_s;
    QTest::newRow("blank inside stays") << u"12345 6789"_s << u"12345 67897"_s;
    QTest::newRow("100") << u"100"_s << u"1009"_s;
    QTest::newRow("1000") << u"1000"_s << u"10003"_s;
    QTest::newRow("no digit") << u"A"_s << u"A0"_s;
    QTest::newRow("trailing blank stays") << u"12 "_s << u"12 3"_s;
    QTest::newRow("empty stays empty") << QString() << QString();
    QTest::newRow("grouped base") << u"1 23456 7890"_s << u"1 23456 78907"_s;
    QTest::newRow("letters before digits") << u"A12"_s << u"A123"_s;
    QTest::newRow("letter between digits joins") << u"12A3"_s << u"12A32"_s;
    QTest::newRow("two blanks end the scan") << u"1  2"_s << u"1  26"_s;
    QTest::newRow("blank first is not passed") << u" 2"_s << u" 26"_s;
    QTest::newRow("zero") << u"0"_s << u"00"_s;
}

void TestNumbering::appendCheckDigit_appendsTheReferenceCheckDigit()
{
    QFETCH(QString, base);
    QFETCH(QString, reference);
    QCOMPARE(AppendCheckDigit(base), reference);
}

void TestNumbering::referenceChecks_classifyReferences_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<bool>("national");
    QTest::addColumn<bool>("rf");
    QTest::addColumn<bool>("rfForm");
    QTest::addColumn<bool>("fails");

    QTest::newRow("national, shortest") << u"1009"_s << true << false << false << false;
    QTest::newRow("national, no-break space and tab") << u"1\u00a000\t9"_s << true << false << false << false;
    QTest::newRow("national, 20 digits") << u"12345678901234567894"_s << true << false << false << false;
    QTest::newRow("national, 21 digits") << u"123456789012345678908"_s << false << false << false << true;
    QTest::newRow("national, 3 digits") << u"123"_s << false << false << false << true;
    QTest::newRow("national, wrong check digit") << u"1008"_s << false << false << false << true;
    QTest::newRow("RF in fours") << u"RF09 8685 1625 9619 897"_s << false << true << true << false;
    QTest::newRow("RF, blanks anywhere") << u"  R F181 009 "_s << false << true << true << false;
    QTest::newRow("RF, letters") << u"RF47 ABC1 23"_s << false << true << true << false;
    QTest::newRow("RF, 21 characters") << u"RF40 1234 5678 9012 3456 7890 1"_s << false << true << true << false;
    QTest::newRow("RF, 22 characters") << u"RF19 1234 5678 9012 3456 7890 12"_s << false << false << true << true;
    QTest::newRow("RF, wrong check digit") << u"RF19 1009"_s << false << false << true << true;
    QTest::newRow("RF, lowercase letters") << u"RF47 abc1 23"_s << false << false << true << true;
    QTest::newRow("RF, letter as check digit") << u"RF1A 1009"_s << false << false << true << true;
    QTest::newRow("RF, no body") << u"RF18"_s << false << false << true << true;
    QTest::newRow("lowercase rf") << u"rf18 1009"_s << false << false << false << true;
    QTest::newRow("empty") << QString() << false << false << false << false;
    QTest::newRow("blanks only") << u" \u00a0 "_s << false << false << false << false;
}

void TestNumbering::referenceChecks_classifyReferences()
{
    QFETCH(QString, reference);
    QFETCH(bool, national);
    QFETCH(bool, rf);
    QFETCH(bool, rfForm);
    QFETCH(bool, fails);
    QCOMPARE(IsValidNationalReference(reference), national);
    QCOMPARE(IsValidRfReference(reference), rf);
    QCOMPARE(IsRfReference(reference), rfForm);
    QCOMPARE(ReferenceFailsCheck(reference), fails);
}

void TestNumbering::rfReference_checkDigitsLieBetween02And98_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<bool>("valid");

    // 00, 01 and 99 leave the same remainder as 97, 98 and 02, which the
    // bodies below really have.
    QTest::newRow("98") << u"RF98 20909"_s << true;
    QTest::newRow("01 standing for 98") << u"RF01 20909"_s << false;
    QTest::newRow("97") << u"RF97 1042"_s << true;
    QTest::newRow("00 standing for 97") << u"RF00 1042"_s << false;
    QTest::newRow("02") << u"RF02 1006"_s << true;
    QTest::newRow("99 standing for 02") << u"RF99 1006"_s << false;
    QTest::newRow("01 without blanks") << u"RF0120909"_s << false;
}

// Only check digits 02 to 98 are ever computed; others are a mistyped
// reference, which the window marks red.
void TestNumbering::rfReference_checkDigitsLieBetween02And98()
{
    QFETCH(QString, reference);
    QFETCH(bool, valid);
    QCOMPARE(IsValidRfReference(reference), valid);
    QCOMPARE(ReferenceFailsCheck(reference), !valid);
}

void TestNumbering::rfReference_prefixesTheCheckDigitsInFours_data()
{
    QTest::addColumn<QString>("national");
    QTest::addColumn<QString>("rf");

    QTest::newRow("shortest") << u"1009"_s << u"RF18 1009"_s;
    QTest::newRow("grouped in fives") << u"86851 62596 19897"_s << u"RF09 8685 1625 9619 897"_s;
    QTest::newRow("leading zeros kept") << u"0001009"_s << u"RF18 0001 009"_s;
    QTest::newRow("check digits below ten") << u"12345614"_s << u"RF02 1234 5614"_s;
    QTest::newRow("twenty digits") << u"12345678901234567894"_s
                                   << u"RF09 1234 5678 9012 3456 7894"_s;
    QTest::newRow("wrong check digit") << u"1008"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestNumbering::rfReference_prefixesTheCheckDigitsInFours()
{
    QFETCH(QString, national);
    QFETCH(QString, rf);
    QCOMPARE(RfReference(national), rf);
}

void TestNumbering::rfReference_ofEveryNationalReferenceIsValid_data()
{
    QTest::addColumn<int>("digits");

    QTest::newRow("4 digits") << 4;
    QTest::newRow("13 digits") << 13;
    QTest::newRow("20 digits") << 20;
}

// Random bases of a fixed seed: each national reference made of one gives a
// valid RF reference of the same digits, and one digit changed in either
// fails its check.
void TestNumbering::rfReference_ofEveryNationalReferenceIsValid()
{
    QFETCH(int, digits);
    QRandomGenerator random(digits);
    const auto changeDigit = [&random](QString &text, qsizetype at) {
        text[at] = QChar(u'0' + (text[at].unicode() - u'0' + 1 + random.bounded(9)) % 10);
    };
    for (int round = 0; round < 500; ++round) {
        QString base;
        for (int i = 1; i < digits; ++i)
            base += QChar(u'0' + random.bounded(10));
        QString national = AppendCheckDigit(base);
        QString rf = RfReference(national);
        QVERIFY2(IsValidRfReference(rf), qPrintable(rf));
        QCOMPARE(rf.sliced(4).remove(u' '), national);

        changeDigit(national, random.bounded(digits));
        QVERIFY2(ReferenceFailsCheck(national), qPrintable(national));
        // Any digit after "RF"; the blank before a group steps back to a digit.
        qsizetype at = 2 + random.bounded(int(rf.size()) - 2);
        if (rf[at] == u' ')
            --at;
        changeDigit(rf, at);
        QVERIFY2(!IsValidRfReference(rf), qPrintable(rf));
    }
}

void TestNumbering::dateText_writesDayMonthYear_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");

    QTest::newRow("no leading zeros") << QDate(2026, 12, 6) << u"6.12.2026"_s;
    QTest::newRow("single digits") << QDate(2027, 1, 1) << u"1.1.2027"_s;
    QTest::newRow("two digits") << QDate(2024, 10, 31) << u"31.10.2024"_s;
    QTest::newRow("four-digit year") << QDate(5, 3, 7) << u"7.3.0005"_s;
    QTest::newRow("invalid") << QDate() << u"00.00.0000"_s;
}

void TestNumbering::dateText_writesDayMonthYear()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(DateText(date), text);
}

void TestNumbering::dueDate_addsThePaymentTermDays_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("terms");
    QTest::addColumn<QString>("due");

    QTest::newRow("over the new year") << QDate(2026, 12, 28) << u"14 pv netto"_s << u"11.1.2027"_s;
    QTest::newRow("into a leap day") << QDate(2028, 2, 15) << u"14"_s << u"29.2.2028"_s;
    QTest::newRow("no number") << QDate(2026, 12, 28) << u"netto"_s << u"28.12.2026"_s;
    QTest::newRow("empty terms") << QDate(2026, 12, 28) << QString() << u"28.12.2026"_s;
    QTest::newRow("number later in the text") << QDate(2026, 1, 31) << u"netto 30 pv"_s
                                              << u"2.3.2026"_s;
    QTest::newRow("century not a leap year") << QDate(2100, 2, 28) << u"1"_s << u"1.3.2100"_s;
    QTest::newRow("negative goes back") << QDate(2026, 1, 3) << u"-5"_s << u"29.12.2025"_s;
    QTest::newRow("largest term is beyond 9999") << QDate(2026, 1, 1) << u"2147483647"_s
                                                 << u"00.00.0000"_s;
    QTest::newRow("smallest term is before year 1") << QDate(2026, 1, 1) << u"-2147483648"_s
                                                    << u"00.00.0000"_s;
    QTest::newRow("last day of 9999") << QDate(9999, 12, 30) << u"1"_s << u"31.12.9999"_s;
    QTest::newRow("past 9999") << QDate(9999, 12, 31) << u"1"_s << u"00.00.0000"_s;
    QTest::newRow("no today") << QDate() << u"14"_s << u"00.00.0000"_s;
}

void TestNumbering::dueDate_addsThePaymentTermDays()
{
    QFETCH(QDate, today);
    QFETCH(QString, terms);
    QFETCH(QString, due);
    QCOMPARE(DateText(DueDate(today, terms)), due);
}

void TestNumbering::regroupReferenceBase_groupsInFivesFromTheRight_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("grouped");

    QTest::newRow("ten digits") << u"1234567890"_s << u"1 23456 7890"_s;
    QTest::newRow("regrouped") << u"12 345"_s << u"1 2345"_s;
    QTest::newRow("four digits unchanged") << u"1234"_s << u"1234"_s;
    QTest::newRow("five digits") << u"12345"_s << u"1 2345"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("blanks only") << u"   "_s << QString();
    QTest::newRow("twenty digits") << u"12345678901234567890"_s << u"1 23456 78901 23456 7890"_s;
    QTest::newRow("already grouped") << u"1 23456 7890"_s << u"1 23456 7890"_s;
    QTest::newRow("other characters count") << u"A-1234"_s << u"A- 1234"_s;
}

void TestNumbering::regroupReferenceBase_groupsInFivesFromTheRight()
{
    QFETCH(QString, base);
    QFETCH(QString, grouped);
    QCOMPARE(RegroupReferenceBase(base), grouped);
}

void TestNumbering::stepReferenceBase_incrementsInPlace_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("next");

    QTest::newRow("last digit") << u"1239"_s << u"1240"_s;
    QTest::newRow("carry out of the first digit") << u"999"_s << u"1000"_s;
    QTest::newRow("carry over a blank") << u"12 99"_s << u"13 00"_s;
    QTest::newRow("carry stopped by a letter") << u"A99"_s << u"A00"_s;
    QTest::newRow("empty") << QString() << u"1"_s;
    QTest::newRow("no digit") << u"abc"_s << u"abc"_s;
    QTest::newRow("zero") << u"0"_s << u"1"_s;
    QTest::newRow("grouped") << u"1 23456 7899"_s << u"1 23456 7900"_s;
    QTest::newRow("grouped, all nines") << u"9 99999 9999"_s << u"10 00000 0000"_s;
    QTest::newRow("two blanks stop the carry") << u"12  99"_s << u"12  00"_s;
    QTest::newRow("trailing text kept") << u"99x"_s << u"100x"_s;
    QTest::newRow("blank first stops the carry") << u" 9"_s << u" 0"_s;
}

void TestNumbering::stepReferenceBase_incrementsInPlace()
{
    QFETCH(QString, base);
    QFETCH(QString, next);
    QCOMPARE(StepReferenceBase(base), next);
}

void TestNumbering::recalcDueDateText_walksMonthLengths_data()
{
    QTest::addColumn<QString>("invoiceDate");
    QTest::addColumn<QString>("terms");
    QTest::addColumn<bool>("computed");
    QTest::addColumn<QString>("due");

    QTest::newRow("through a leap February") << u"31.1.2024"_s << u"30"_s << true << u"1.3.2024"_s;
    QTest::newRow("through a common February") << u"31.1.2023"_s << u"30"_s << true << u"2.3.2023"_s;
    QTest::newRow("over the new year") << u"20.12.2023"_s << u"14 pv netto"_s << true
                                       << u"3.1.2024"_s;
    QTest::newRow("no term") << u"1.1.2024"_s << u"netto"_s << true << u"1.1.2024"_s;
    QTest::newRow("day beyond the month counts on") << u"31.4.2024"_s << u"0"_s << true
                                                    << u"1.5.2024"_s;
    QTest::newRow("into 2099") << u"31.12.2098"_s << u"60"_s << true << u"1.3.2099"_s;
    // Every fourth year leaps here, 2100 included.
    QTest::newRow("2100 leaps") << u"1.2.2098"_s << u"758"_s << true << u"29.2.2100"_s;
    QTest::newRow("many years") << u"1.1.2024"_s << u"100000"_s << true << u"14.10.2297"_s;
    QTest::newRow("largest term") << u"1.1.2024"_s << u"2147483647"_s << true
                                  << u"17.10.5881513"_s;
    QTest::newRow("largest term from the last year") << u"31.12.2098"_s << u"2147483647"_s
                                                     << true << u"16.10.5881588"_s;
    QTest::newRow("negative term counts back") << u"1.3.2024"_s << u"-1"_s << true
                                               << u"29.2.2024"_s;
    QTest::newRow("negative term over the new year") << u"5.1.2024"_s << u"-5"_s << true
                                                     << u"31.12.2023"_s;
    QTest::newRow("many years back") << u"1.1.2024"_s << u"-100000"_s << true << u"20.3.1750"_s;
    QTest::newRow("smallest term") << u"31.12.2024"_s << u"-2147483648"_s << true
                                   << u"16.3.-5877465"_s;
    QTest::newRow("empty date") << u"00.00.0000"_s << u"14"_s << false << QString();
    QTest::newRow("no date") << QString() << u"14"_s << false << QString();
    QTest::newRow("day 32") << u"32.1.2024"_s << u"14"_s << false << QString();
    QTest::newRow("month 13") << u"1.13.2024"_s << u"14"_s << false << QString();
    QTest::newRow("year 1900") << u"1.1.1900"_s << u"14"_s << false << QString();
    QTest::newRow("year 2099") << u"1.1.2099"_s << u"14"_s << false << QString();
    QTest::newRow("year 1901") << u"1.1.1901"_s << u"14"_s << true << u"15.1.1901"_s;
    QTest::newRow("no year") << u"1.1."_s << u"14"_s << false << QString();
}

void TestNumbering::recalcDueDateText_walksMonthLengths()
{
    QFETCH(QString, invoiceDate);
    QFETCH(QString, terms);
    QFETCH(bool, computed);
    QFETCH(QString, due);

    const std::optional<QString> result = RecalcDueDateText(invoiceDate, terms);
    QCOMPARE(result.has_value(), computed);
    if (computed)
        QCOMPARE(*result, due);
}

void TestNumbering::wholeNumberText_readsNumbersOfAnyLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("next");
    QTest::newRow("plain") << u"57"_s << u"57"_s << u"58"_s;
    QTest::newRow("leading zeros and text") << u"nro 0042"_s << u"42"_s << u"43"_s;
    QTest::newRow("largest 32-bit number") << u"2147483647"_s << u"2147483647"_s << u"2147483648"_s;
    QTest::newRow("beyond 32 bits") << u"2147483648"_s << u"2147483648"_s << u"2147483649"_s;
    QTest::newRow("beyond 64 bits") << u"0099999999999999999999"_s << u"99999999999999999999"_s
                                    << u"100000000000000000000"_s;
    QTest::newRow("negative") << u"-1"_s << u"-1"_s << u"0"_s;
    QTest::newRow("long negative") << u"-10000000000"_s << u"-10000000000"_s << u"-9999999999"_s;
    QTest::newRow("zero") << u"-0"_s << u"0"_s << u"1"_s;
    QTest::newRow("no number") << u"abc"_s << u"0"_s << u"1"_s;
    QTest::newRow("ISO date is no number") << u"2026-12-06"_s << u"0"_s << u"1"_s;
}

void TestNumbering::wholeNumberText_readsNumbersOfAnyLength()
{
    QFETCH(QString, text);
    QFETCH(QString, number);
    QFETCH(QString, next);
    QCOMPARE(WholeNumberText(text), number);
    QCOMPARE(IncrementWholeNumberText(number), next);
}

QTEST_APPLESS_MAIN(TestNumbering)
#include "tst_numbering.moc"
