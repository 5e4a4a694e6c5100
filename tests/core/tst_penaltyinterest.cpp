// Penalty interest as the interest act counts it: reference rates by
// half-year plus the margin of a consumer or a business, the invoice's own
// higher rate, partial payments, leap years, one rounding at the end; and
// the reference rate table with its settings text.
//
// The reference rates of the cases are the Bank of Finland's published
// rates the program ships with: 0,0 % each half-year of 2020 to 2022;
// 2,5 % from 1.1.2023; 4,0 % from 1.7.2023; 4,5 % from 1.1.2024 and
// 1.7.2024; 3,5 % from 1.1.2025; 2,5 % from 1.7.2025 and 1.1.2026. A
// consumer pays 7 points over them, a business 8. Each expected amount is
// worked by hand in its comment: amount × rate × days / days in the year,
// per period, summed, then rounded half up to the cent.

#include "app/inifile.h"
#include "base/commanderror.h"
#include "invoice/penaltyinterest.h"
#include "tests/support/testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

Payment pay(const QDate &date, qint64 cents)
{
    Payment payment;
    payment.date = date;
    payment.cents = cents;
    return payment;
}

constexpr int kNoStatedRate = -1;

} // namespace

class PenaltyInterestTest : public QObject
{
    Q_OBJECT

private slots:
    void interest_data();
    void interest();
    void periods_data();
    void periods();
    void referenceRateOfHalfYear_data();
    void referenceRateOfHalfYear();
    void refusals_data();
    void refusals();
    void statedRate_data();
    void statedRate();
    void ratesSettingText_data();
    void ratesSettingText();
    void rateTableRows_data();
    void rateTableRows();
};

void PenaltyInterestTest::interest_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QList<Payment>>("payments");
    QTest::addColumn<QDate>("due");
    QTest::addColumn<QDate>("until");
    QTest::addColumn<bool>("business");
    QTest::addColumn<int>("stated");
    QTest::addColumn<qint64>("cents");
    const QList<Payment> none;
    const qint64 thousand = 100000;

    // 1 000,00 × 9,5 % × 30 / 365 = 7,808 → 7,81 (2026 H1 2,5 % + 7).
    QTest::newRow("consumer, 2026 H1, 30 days")
        << thousand << none << QDate(2026, 1, 31) << QDate(2026, 3, 2) << false << kNoStatedRate << 781LL;
    // 1 000,00 × 10,5 % × 30 / 365 = 8,630 → 8,63 (2,5 % + 8).
    QTest::newRow("business, 2026 H1, 30 days")
        << thousand << none << QDate(2026, 1, 31) << QDate(2026, 3, 2) << true << kNoStatedRate << 863LL;
    // 1 000,00 × 9,5 % × 1 / 365 = 0,260 → 0,26.
    QTest::newRow("one day past the due date")
        << thousand << none << QDate(2026, 3, 15) << QDate(2026, 3, 16) << false << kNoStatedRate << 26LL;
    QTest::newRow("on the due date nothing yet")
        << thousand << none << QDate(2026, 3, 15) << QDate(2026, 3, 15) << false << kNoStatedRate << 0LL;
    // 16.6.–30.6.2023: 1 000,00 × 9,5 % × 15 / 365 = 3,904; 1.7.–15.7.:
    // × 11,0 % (4,0 % + 7) × 15 / 365 = 4,521; 8,425 → 8,42.
    QTest::newRow("consumer across 1.7.2023")
        << thousand << none << QDate(2023, 6, 15) << QDate(2023, 7, 15) << false << kNoStatedRate << 842LL;
    // 10,5 % × 15 / 365 = 4,315; 12,0 % × 15 / 365 = 4,932; 9,247 → 9,25.
    QTest::newRow("business across 1.7.2023")
        << thousand << none << QDate(2023, 6, 15) << QDate(2023, 7, 15) << true << kNoStatedRate << 925LL;
    // 16.12.–31.12.2023: 11,0 % × 16 / 365 = 4,822; 1.1.–15.1.2024:
    // 11,5 % (4,5 % + 7) × 15 / 366 = 4,713; 9,535 → 9,54.
    QTest::newRow("into the leap year 2024")
        << thousand << none << QDate(2023, 12, 15) << QDate(2024, 1, 15) << false << kNoStatedRate << 954LL;
    // 1.2.–1.3.2024, 29.2. among them: 11,5 % × 30 / 366 = 9,426 → 9,43.
    QTest::newRow("February of the leap year")
        << thousand << none << QDate(2024, 1, 31) << QDate(2024, 3, 1) << false << kNoStatedRate << 943LL;
    // 21.6.–30.6. and 1.7.–10.7.2024, both 11,5 % × 10 / 366 = 3,142; 6,284 → 6,28.
    QTest::newRow("1.7.2024, the same rate both halves")
        << thousand << none << QDate(2024, 6, 20) << QDate(2024, 7, 10) << false << kNoStatedRate << 628LL;
    // 2.12.–31.12.2024: 11,5 % × 30 / 366 = 9,426; 1.1.–31.1.2025:
    // 10,5 % (3,5 % + 7) × 31 / 365 = 8,918; 18,344 → 18,34.
    QTest::newRow("out of the leap year into 2025")
        << thousand << none << QDate(2024, 12, 1) << QDate(2025, 1, 31) << false << kNoStatedRate << 1834LL;
    // 1.6.–30.6.2025: 10,5 % × 30 / 365 = 8,630; 1.7.–31.8.: 9,5 % × 62 / 365
    // = 16,137; 24,767 → 24,77.
    QTest::newRow("across 1.7.2025, the rate falls")
        << thousand << none << QDate(2025, 5, 31) << QDate(2025, 8, 31) << false << kNoStatedRate << 2477LL;
    // 1.12.–31.12.2025 and 1.1.–31.1.2026, both 9,5 % × 31 / 365 = 8,068; 16,137 → 16,14.
    QTest::newRow("across the new year 2026")
        << thousand << none << QDate(2025, 11, 30) << QDate(2026, 1, 31) << false << kNoStatedRate << 1614LL;
    // 1.10.–30.10.2022: 7,0 % (0,0 % + 7) × 30 / 365 = 5,753 → 5,75.
    QTest::newRow("reference rate zero in 2022")
        << thousand << none << QDate(2022, 9, 30) << QDate(2022, 10, 30) << false << kNoStatedRate << 575LL;
    // 16.12.–31.12.2022: 7,0 % × 16 / 365 = 3,068; 1.1.–15.1.2023:
    // 9,5 % × 15 / 365 = 3,904; 6,973 → 6,97.
    QTest::newRow("from zero into 2023")
        << thousand << none << QDate(2022, 12, 15) << QDate(2023, 1, 15) << false << kNoStatedRate << 697LL;
    // Business, 1.1.2023–31.12.2024: 10,5 % × 181 / 365 = 52,068; 12,0 % × 184
    // / 365 = 60,493; 12,5 % × 182 / 366 = 62,158; 12,5 % × 184 / 366 = 62,842;
    // 237,562 → 237,56.
    QTest::newRow("two years, four half-years")
        << thousand << none << QDate(2022, 12, 31) << QDate(2024, 12, 31) << true << kNoStatedRate << 23756LL;
    // The invoice's 13 % over the statutory 9,5 %: 13 % × 30 / 365 = 10,685 → 10,68.
    QTest::newRow("the invoice's own higher rate")
        << thousand << none << QDate(2026, 1, 31) << QDate(2026, 3, 2) << false << 1300 << 1068LL;
    // 8 % is below 9,5 %: the statutory 7,808 → 7,81.
    QTest::newRow("the invoice's lower rate gives way")
        << thousand << none << QDate(2026, 1, 31) << QDate(2026, 3, 2) << false << 800 << 781LL;
    // 10,5 % beats 9,5 % before 1.7.2023 (× 15 / 365 = 4,315), 11,0 % beats it
    // after (4,521); 8,836 → 8,84.
    QTest::newRow("own rate in one half-year only")
        << thousand << none << QDate(2023, 6, 15) << QDate(2023, 7, 15) << false << 1050 << 884LL;
    // 10,5 % equals the business rate: 8,630 → 8,63.
    QTest::newRow("own rate equal to the statutory")
        << thousand << none << QDate(2026, 1, 31) << QDate(2026, 3, 2) << true << 1050 << 863LL;
    // 1.2.–10.2.2026, the payment day included: 1 000,00 × 9,5 % × 10 / 365
    // = 2,603; 11.2.–2.3.: 600,00 × 9,5 % × 20 / 365 = 3,123; 5,726 → 5,73.
    QTest::newRow("partial payment counts from the next day")
        << thousand << QList<Payment>{pay(QDate(2026, 2, 10), 40000)} << QDate(2026, 1, 31) << QDate(2026, 3, 2)
        << false << kNoStatedRate << 573LL;
    // 700,00 × 9,5 % × 30 / 365 = 5,466 → 5,47.
    QTest::newRow("payment on the due date lowers it from the start")
        << thousand << QList<Payment>{pay(QDate(2026, 1, 31), 30000)} << QDate(2026, 1, 31) << QDate(2026, 3, 2)
        << false << kNoStatedRate << 547LL;
    QTest::newRow("payment before the due date lowers it from the start")
        << thousand << QList<Payment>{pay(QDate(2026, 1, 20), 30000)} << QDate(2026, 1, 31) << QDate(2026, 3, 2)
        << false << kNoStatedRate << 547LL;
    // The reminder's day still bears interest on 1 000,00: 7,808 → 7,81.
    QTest::newRow("payment on the last day changes nothing")
        << thousand << QList<Payment>{pay(QDate(2026, 3, 2), 50000)} << QDate(2026, 1, 31) << QDate(2026, 3, 2)
        << false << kNoStatedRate << 781LL;
    QTest::newRow("payment after the last day is left out")
        << thousand << QList<Payment>{pay(QDate(2026, 3, 9), 50000)} << QDate(2026, 1, 31) << QDate(2026, 3, 2)
        << false << kNoStatedRate << 781LL;
    // 16.–20.6.2023: 1 000,00 × 9,5 % × 5 / 365 = 1,301; 21.–30.6.: 800,00 ×
    // 9,5 % × 10 / 365 = 2,082; 1.–5.7.: 800,00 × 11 % × 5 / 365 = 1,205;
    // 6.–15.7.: 500,00 × 11 % × 10 / 365 = 1,507; 6,096 → 6,10.
    QTest::newRow("two payments around 1.7.2023")
        << thousand << QList<Payment>{pay(QDate(2023, 7, 5), 30000), pay(QDate(2023, 6, 20), 20000)}
        << QDate(2023, 6, 15) << QDate(2023, 7, 15) << false << kNoStatedRate << 610LL;
    // Paid on 30.6.: 1 000,00 × 9,5 % × 15 / 365 = 3,904; 500,00 × 11 % × 15 /
    // 365 = 2,260; 6,164 → 6,16.
    QTest::newRow("payment on 30.6. takes effect on 1.7.")
        << thousand << QList<Payment>{pay(QDate(2023, 6, 30), 50000)} << QDate(2023, 6, 15) << QDate(2023, 7, 15)
        << false << kNoStatedRate << 616LL;
    // 1.–10.2.2026 only: 2,603 → 2,60.
    QTest::newRow("paid in full, no interest after")
        << thousand << QList<Payment>{pay(QDate(2026, 2, 10), 100000)} << QDate(2026, 1, 31) << QDate(2026, 3, 2)
        << false << kNoStatedRate << 260LL;
    // 1.–5.2.: 1 000,00 × 9,5 % × 5 / 365 = 1,301; nothing open 6.–15.2.;
    // 16.2.–2.3.: × 15 / 365 = 3,904; 5,205 → 5,21.
    QTest::newRow("a reversed payment opens it again")
        << thousand << QList<Payment>{pay(QDate(2026, 2, 5), 100000), pay(QDate(2026, 2, 15), -100000)}
        << QDate(2026, 1, 31) << QDate(2026, 3, 2) << false << kNoStatedRate << 521LL;
    // 2022 whole: 10,50 × 7 % × 181 / 365 = 0,364479; × 184 / 365 = 0,370521;
    // exactly 0,735 → 0,74 (half up).
    QTest::newRow("exactly half a cent rounds up")
        << 1050LL << none << QDate(2021, 12, 31) << QDate(2022, 12, 31) << false << kNoStatedRate << 74LL;
    // 10,49: 0,7343 → 0,73.
    QTest::newRow("below half a cent rounds down")
        << 1049LL << none << QDate(2021, 12, 31) << QDate(2022, 12, 31) << false << kNoStatedRate << 73LL;
    // 1,00 in 2023: 9,5 % × 181 / 365 = 0,0471; 11 % × 184 / 365 = 0,0555;
    // 0,1026 → 0,10 (rounding each period would give 0,11).
    QTest::newRow("rounded once, not per period")
        << 100LL << none << QDate(2022, 12, 31) << QDate(2023, 12, 31) << false << kNoStatedRate << 10LL;
    // 1 234,56: 11 % × 16 / 365 = 5,9529; 11,5 % × 15 / 366 = 5,8186;
    // 11,7716 → 11,77 (the two year lengths summed exactly).
    QTest::newRow("remainders of 365 and 366 summed exactly")
        << 123456LL << none << QDate(2023, 12, 15) << QDate(2024, 1, 15) << false << kNoStatedRate << 1177LL;
    // 999 999 999,99 × 12,5 % × 184 / 366 = 62 841 530,054 → 62 841 530,05.
    QTest::newRow("the largest amount stays exact")
        << kMaxInterestBaseCents << none << QDate(2024, 6, 30) << QDate(2024, 12, 31) << true << kNoStatedRate
        << 6284153005LL;
}

void PenaltyInterestTest::interest()
{
    QFETCH(qint64, total);
    QFETCH(QList<Payment>, payments);
    QFETCH(QDate, due);
    QFETCH(QDate, until);
    QFETCH(bool, business);
    QFETCH(int, stated);
    QFETCH(qint64, cents);
    const InterestBasis basis{total, payments, due, until, business,
                              stated == kNoStatedRate ? std::nullopt : std::optional<int>(stated)};
    QCOMPARE(CountPenaltyInterest(basis, PublishedReferenceRates()).cents, cents);
}

void PenaltyInterestTest::periods_data()
{
    QTest::addColumn<QList<Payment>>("payments");
    QTest::addColumn<int>("stated");
    QTest::addColumn<QList<InterestPeriod>>("periods");
    const auto period = [](QDate first, QDate last, qint64 open, int reference, int rate, bool stated, int days) {
        return InterestPeriod{first, last, open, reference, rate, stated, days, 365};
    };
    // Due 15.6.2023, counted to 15.7.2023.
    QTest::newRow("split at the half-year")
        << QList<Payment>() << kNoStatedRate
        << QList<InterestPeriod>{period(QDate(2023, 6, 16), QDate(2023, 6, 30), 100000, 250, 950, false, 15),
                                 period(QDate(2023, 7, 1), QDate(2023, 7, 15), 100000, 400, 1100, false, 15)};
    QTest::newRow("split at each payment's next day")
        << QList<Payment>{pay(QDate(2023, 6, 20), 20000), pay(QDate(2023, 7, 5), 30000)} << kNoStatedRate
        << QList<InterestPeriod>{period(QDate(2023, 6, 16), QDate(2023, 6, 20), 100000, 250, 950, false, 5),
                                 period(QDate(2023, 6, 21), QDate(2023, 6, 30), 80000, 250, 950, false, 10),
                                 period(QDate(2023, 7, 1), QDate(2023, 7, 5), 80000, 400, 1100, false, 5),
                                 period(QDate(2023, 7, 6), QDate(2023, 7, 15), 50000, 400, 1100, false, 10)};
    QTest::newRow("own rate marked where it applies")
        << QList<Payment>() << 1050
        << QList<InterestPeriod>{period(QDate(2023, 6, 16), QDate(2023, 6, 30), 100000, 250, 1050, true, 15),
                                 period(QDate(2023, 7, 1), QDate(2023, 7, 15), 100000, 400, 1100, false, 15)};
    QTest::newRow("no period while nothing is open")
        << QList<Payment>{pay(QDate(2023, 6, 20), 100000), pay(QDate(2023, 7, 10), -100000)} << kNoStatedRate
        << QList<InterestPeriod>{period(QDate(2023, 6, 16), QDate(2023, 6, 20), 100000, 250, 950, false, 5),
                                 period(QDate(2023, 7, 11), QDate(2023, 7, 15), 100000, 400, 1100, false, 5)};
}

void PenaltyInterestTest::periods()
{
    QFETCH(QList<Payment>, payments);
    QFETCH(int, stated);
    QFETCH(QList<InterestPeriod>, periods);
    const InterestBasis basis{100000, payments, QDate(2023, 6, 15), QDate(2023, 7, 15), false,
                              stated == kNoStatedRate ? std::nullopt : std::optional<int>(stated)};
    QCOMPARE(CountPenaltyInterest(basis, PublishedReferenceRates()).periods, periods);
}

void PenaltyInterestTest::referenceRateOfHalfYear_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("rate");
    const int none = -1;
    QTest::newRow("before the table") << QDate(2019, 12, 31) << none;
    QTest::newRow("first day of the table") << QDate(2020, 1, 1) << 0;
    QTest::newRow("31.12.2022") << QDate(2022, 12, 31) << 0;
    QTest::newRow("1.1.2023, boundary day") << QDate(2023, 1, 1) << 250;
    QTest::newRow("30.6.2023, day before") << QDate(2023, 6, 30) << 250;
    QTest::newRow("1.7.2023, boundary day") << QDate(2023, 7, 1) << 400;
    QTest::newRow("29.2.2024") << QDate(2024, 2, 29) << 450;
    QTest::newRow("30.6.2025") << QDate(2025, 6, 30) << 350;
    QTest::newRow("1.7.2025") << QDate(2025, 7, 1) << 250;
    QTest::newRow("30.6.2026, last day of the table") << QDate(2026, 6, 30) << 250;
    QTest::newRow("1.7.2026, not yet published") << QDate(2026, 7, 1) << none;
}

void PenaltyInterestTest::referenceRateOfHalfYear()
{
    QFETCH(QDate, day);
    QFETCH(int, rate);
    QCOMPARE(ReferenceRateOn(PublishedReferenceRates(), day).value_or(-1), rate);
}

void PenaltyInterestTest::refusals_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QDate>("due");
    QTest::addColumn<QDate>("until");
    QTest::addColumn<QList<Payment>>("payments");
    QTest::addColumn<QString>("refusal");
    const QString published = ReferenceRatesText(PublishedReferenceRates());
    const qint64 thousand = 100000;
    QTest::newRow("up to 30.6.2026 is counted")
        << published << thousand << QDate(2026, 5, 31) << QDate(2026, 6, 30) << QList<Payment>() << QString();
    QTest::newRow("1.7.2026 has no rate yet")
        << published << thousand << QDate(2026, 5, 31) << QDate(2026, 7, 1) << QList<Payment>()
        << u"Viitekorkoa ei ole puolivuodelle 1.7.2026–31.12.2026; lisää se laskuttajan tietoihin."_s;
    QTest::newRow("a gap in the table")
        << u"1.1.2023=2,5;1.1.2024=4,5"_s << thousand << QDate(2023, 6, 15) << QDate(2024, 1, 15) << QList<Payment>()
        << u"Viitekorkoa ei ole puolivuodelle 1.7.2023–31.12.2023; lisää se laskuttajan tietoihin."_s;
    QTest::newRow("before the table")
        << published << thousand << QDate(2019, 12, 15) << QDate(2020, 1, 15) << QList<Payment>()
        << u"Viitekorkoa ei ole puolivuodelle 1.7.2019–31.12.2019; lisää se laskuttajan tietoihin."_s;
    QTest::newRow("a half-year with nothing open needs no rate")
        << u"1.1.2023=2,5;1.1.2024=4,5"_s << thousand << QDate(2023, 6, 15) << QDate(2024, 1, 15)
        << QList<Payment>{pay(QDate(2023, 6, 30), 100000), pay(QDate(2023, 12, 31), -100000)} << QString();
    QTest::newRow("the largest amount is counted")
        << published << kMaxInterestBaseCents << QDate(2026, 1, 31) << QDate(2026, 3, 2) << QList<Payment>()
        << QString();
    QTest::newRow("a cent more is refused")
        << published << kMaxInterestBaseCents + 1 << QDate(2026, 1, 31) << QDate(2026, 3, 2) << QList<Payment>()
        << u"Avoin summa on liian suuri viivästyskoron laskemiseen."_s;
}

void PenaltyInterestTest::refusals()
{
    QFETCH(QString, table);
    QFETCH(qint64, total);
    QFETCH(QDate, due);
    QFETCH(QDate, until);
    QFETCH(QList<Payment>, payments);
    QFETCH(QString, refusal);
    const InterestBasis basis{total, payments, due, until, false, std::nullopt};
    QCOMPARE(refusalOf([&] { CountPenaltyInterest(basis, ParseReferenceRates(table)); }), refusal);
}

void PenaltyInterestTest::statedRate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rate");
    const int none = -1;
    QTest::newRow("13%") << u"13%"_s << 1300;
    QTest::newRow("8 %") << u"8 %"_s << 800;
    QTest::newRow("10,5 %") << u"10,5 %"_s << 1050;
    QTest::newRow("10.25% with a point") << u" 10.25% "_s << 1025;
    QTest::newRow("no percent sign") << u"13"_s << none;
    QTest::newRow("words") << u"korkolain mukaan"_s << none;
    QTest::newRow("more after the sign") << u"13 % p.a."_s << none;
    QTest::newRow("empty") << QString() << none;
    QTest::newRow("three decimals") << u"10,125 %"_s << none;
}

void PenaltyInterestTest::statedRate()
{
    QFETCH(QString, text);
    QFETCH(int, rate);
    QCOMPARE(StatedPenaltyRate(text).value_or(-1), rate);
}

void PenaltyInterestTest::ratesSettingText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("the published table")
        << ReferenceRatesText(PublishedReferenceRates())
        << u"1.1.2020=0,0;1.7.2020=0,0;1.1.2021=0,0;1.7.2021=0,0;1.1.2022=0,0;1.7.2022=0,0;1.1.2023=2,5;"
           "1.7.2023=4,0;1.1.2024=4,5;1.7.2024=4,5;1.1.2025=3,5;1.7.2025=2,5;1.1.2026=2,5"_s
        << QString();
    QTest::newRow("blanks, empty entries, out of order, whole and two decimals")
        << u" 1.7.2026 = 2,15 ; ;1.1.2026=3"_s << u"1.1.2026=3,0;1.7.2026=2,15"_s << QString();
    QTest::newRow("not a half-year's first day")
        << u"1.1.2026=2,5;1.2.2026=2,5"_s << QString()
        << u"Viitekorkojen asetus ei ole luettavissa kohdasta \"1.2.2026=2,5\"; korjaa se laskuttajan tietoihin."_s;
    QTest::newRow("no rate") << u"1.1.2026="_s << QString()
        << u"Viitekorkojen asetus ei ole luettavissa kohdasta \"1.1.2026=\"; korjaa se laskuttajan tietoihin."_s;
    QTest::newRow("no separator") << u"1.1.2026 2,5"_s << QString()
        << u"Viitekorkojen asetus ei ole luettavissa kohdasta \"1.1.2026 2,5\"; korjaa se laskuttajan tietoihin."_s;
    QTest::newRow("a half-year twice") << u"1.1.2026=2,5;1.1.2026=3,0"_s << QString()
        << u"Viitekorkojen asetus ei ole luettavissa kohdasta \"1.1.2026=3,0\"; korjaa se laskuttajan tietoihin."_s;
}

void PenaltyInterestTest::ratesSettingText()
{
    QFETCH(QString, stored);
    QFETCH(QString, written);
    QFETCH(QString, refusal);
    QString text;
    QCOMPARE(refusalOf([&] { text = ReferenceRatesText(ParseReferenceRates(stored)); }), refusal);
    QCOMPARE(text, written);
}

void PenaltyInterestTest::rateTableRows_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("added");
    QTest::newRow("the file's text as it is")
        << u" 1.7.2026 = 2,15 ; ;1.1.2026=3; 1.2.2026 ;=4"_s
        << QStringList{u"1.7.2026|2,15"_s, u"1.1.2026|3"_s, u"1.2.2026|"_s, u"|4"_s} << u"1.1.2027|2,15"_s;
    QTest::newRow("the latest half-year's rate carried on")
        << u"1.1.2025=3,5;1.7.2025=2,5"_s << QStringList{u"1.1.2025|3,5"_s, u"1.7.2025|2,5"_s} << u"1.1.2026|2,5"_s;
    QTest::newRow("no half-year: today's, no rate")
        << u"1.2.2026=3"_s << QStringList{u"1.2.2026|3"_s} << u"1.7.2026|"_s;
    QTest::newRow("empty table") << QString() << QStringList() << u"1.7.2026|"_s;
}

// What the rate table shows of the settings text, unchecked, and the row
// "Lisää" adds to it on 7.12.2026.
void PenaltyInterestTest::rateTableRows()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, shown);
    QFETCH(QString, added);
    const QList<ReferenceRateRow> rows = ReferenceRateRows(stored);
    QStringList texts;
    for (const ReferenceRateRow &row : rows)
        texts.append(row.start + u'|' + row.rate);
    QCOMPARE(texts, shown);
    const ReferenceRateRow next = NextReferenceRateRow(rows, QDate(2026, 12, 7));
    QCOMPARE(next.start + u'|' + next.rate, added);
}

QTEST_APPLESS_MAIN(PenaltyInterestTest)
#include "tst_penaltyinterest.moc"
