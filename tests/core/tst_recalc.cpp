// Invoice totals: row prices and totals rewritten, the VAT sum and the three
// totals, the VAT per rate, for each VAT rule, with credit rows and overflow.

#include "invoice/amount.h"
#include "invoice/recalc.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Rows are written "quantity;price;vat" or "quantity;price;vat;total".
QList<RowAmounts> makeRows(const QStringList &lines)
{
    QList<RowAmounts> rows;
    for (const QString &line : lines) {
        const QStringList cells = line.split(u';');
        RowAmounts row;
        row.quantity = cells.value(0);
        row.price = cells.value(1);
        row.vat = cells.value(2);
        row.total = cells.value(3);
        rows.append(row);
    }
    return rows;
}

// The rewritten cells of each row as "price;total".
QStringList pricesAndTotals(const QList<RowAmounts> &rows)
{
    QStringList result;
    for (const RowAmounts &row : rows)
        result.append(row.price + u';' + row.total);
    return result;
}

QString nb(QString text)
{
    // "_" stands for the no-break space in expected texts.
    return text.replace(u'_', QChar(0x00A0));
}

// The rate lines as "rate;withoutVat;vat".
QStringList rateLines(const InvoiceTotals &totals)
{
    QStringList result;
    for (const VatRateLine &line : totals.rates)
        result.append(line.rate + u';' + line.withoutVat + u';' + line.vat);
    return result;
}

// Adds the whole cents of an amount text to the sum; false when the text is
// not money as the program writes it.
bool addCents(qint64 &sum, QString amount)
{
    static const QRegularExpression form(u"^-?[0-9]{1,3}(\u00A0[0-9]{3})*,[0-9]{2}$"_s);
    if (!form.match(amount).hasMatch())
        return false;
    sum += amount.remove(QChar(0x00A0)).remove(u',').toLongLong();
    return true;
}

} // namespace

class TestRecalc : public QObject
{
    Q_OBJECT

private slots:
    void recalcAmounts_writesRowsAndTotals_data();
    void recalcAmounts_writesRowsAndTotals();
    void recalcAmounts_vatInclusivePricesNeverAddVatTwice_data();
    void recalcAmounts_vatInclusivePricesNeverAddVatTwice();
    void recalcAmounts_keepsQuantityAndVatText();
    void recalcAmounts_overflowKeepsEarlierRowsRewritten();
    void recalcAmounts_overflowInTheSumKeepsEveryRowRewritten();
    void recalcAmounts_overflowingQuantityLeavesThePriceAsTyped();
    void recalcAmounts_minusHundredPerCentInsideThePriceOverflows();
    void recalcAmounts_breaksVatDownByRate_data();
    void recalcAmounts_breaksVatDownByRate();
    void recalcAmounts_rateLinesAddUpToTheTotals_data();
    void recalcAmounts_rateLinesAddUpToTheTotals();
};

void TestRecalc::recalcAmounts_writesRowsAndTotals_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("pricesIncludeVat");
    QTest::addColumn<bool>("totalsIncludeVat");
    QTest::addColumn<QStringList>("expectedRows");
    QTest::addColumn<QString>("withoutVat");
    QTest::addColumn<QString>("vat");
    QTest::addColumn<QString>("total");

    QTest::newRow("prices exclude VAT, row totals without VAT, 24 %")
            << QStringList{u"2;10;24"_s} << false << false
            << QStringList{u"10,00;20,00"_s} << u"20,00"_s << u"4,80"_s << u"24,80"_s;
    QTest::newRow("prices exclude VAT, row totals with VAT, 24 %")
            << QStringList{u"2;10;24"_s} << false << true
            << QStringList{u"10,00;24,80"_s} << u"20,00"_s << u"4,80"_s << u"24,80"_s;
    QTest::newRow("prices include VAT, 24 %")
            << QStringList{u"1;12,40;24"_s} << true << true
            << QStringList{u"12,40;12,40"_s} << u"10,00"_s << u"2,40"_s << u"12,40"_s;
    QTest::newRow("prices exclude VAT, row totals without VAT, 25,5 %")
            << QStringList{u"2;10;25,5"_s} << false << false
            << QStringList{u"10,00;20,00"_s} << u"20,00"_s << u"5,10"_s << u"25,10"_s;
    QTest::newRow("prices exclude VAT, row totals with VAT, 25,5 %")
            << QStringList{u"2;10;25,5"_s} << false << true
            << QStringList{u"10,00;25,10"_s} << u"20,00"_s << u"5,10"_s << u"25,10"_s;
    QTest::newRow("prices include VAT, 25,5 %")
            << QStringList{u"1;12,55;25,5"_s} << true << true
            << QStringList{u"12,55;12,55"_s} << u"10,00"_s << u"2,55"_s << u"12,55"_s;
    QTest::newRow("prices include VAT, 25,5 %, VAT rounded once")
            << QStringList{u"3;9,99;25.5"_s} << true << true
            << QStringList{u"9,99;29,97"_s} << u"23,88"_s << u"6,09"_s << u"29,97"_s;
    QTest::newRow("unrounded row VATs, row totals without VAT")
            << QStringList{u"1;0,10;24"_s, u"1;0,10;24"_s, u"1;0,10;24"_s} << false << false
            << QStringList{u"0,10;0,10"_s, u"0,10;0,10"_s, u"0,10;0,10"_s}
            << u"0,30"_s << u"0,07"_s << u"0,37"_s;
    QTest::newRow("unrounded row VATs, row totals with VAT")
            << QStringList{u"1;0,10;24"_s, u"1;0,10;24"_s, u"1;0,10;24"_s} << false << true
            << QStringList{u"0,10;0,12"_s, u"0,10;0,12"_s, u"0,10;0,12"_s}
            << u"0,29"_s << u"0,07"_s << u"0,36"_s;
    QTest::newRow("rates mixed in one VAT total")
            << QStringList{u"1;100;24"_s, u"1;100;14"_s, u"1;100;25,5"_s, u"1;100;13,5"_s}
            << false << false
            << QStringList{u"100,00;100,00"_s, u"100,00;100,00"_s, u"100,00;100,00"_s,
                           u"100,00;100,00"_s}
            << u"400,00"_s << u"77,00"_s << u"477,00"_s;
    QTest::newRow("full stop price rewritten with a comma")
            << QStringList{u"1;12.5;0"_s} << false << false
            << QStringList{u"12,50;12,50"_s} << u"12,50"_s << u"0,00"_s << u"12,50"_s;
    QTest::newRow("full stop and comma price loses the row")
            << QStringList{u"1;1.234,50;24;old"_s} << false << false
            << QStringList{u";"_s} << u"0,00"_s << u"0,00"_s << u"0,00"_s;
    QTest::newRow("ordinary blank in the price loses the row")
            << QStringList{u"1;1 234,50;24"_s} << false << false
            << QStringList{u";"_s} << u"0,00"_s << u"0,00"_s << u"0,00"_s;
    QTest::newRow("no-break space in the price")
            << QStringList{nb(u"1;1_234,50;0"_s)} << false << false
            << QStringList{nb(u"1_234,50;1_234,50"_s)} << nb(u"1_234,50"_s) << u"0,00"_s
            << nb(u"1_234,50"_s);
    QTest::newRow("quantity without price is emptied")
            << QStringList{u"3;;24;9,00"_s} << false << false
            << QStringList{u";"_s} << u"0,00"_s << u"0,00"_s << u"0,00"_s;
    QTest::newRow("price without quantity is emptied")
            << QStringList{u";10;24;12,40"_s} << false << false
            << QStringList{u";"_s} << u"0,00"_s << u"0,00"_s << u"0,00"_s;
    QTest::newRow("price with zero quantity is emptied")
            << QStringList{u"0;10;24"_s} << false << true
            << QStringList{u";"_s} << u"0,00"_s << u"0,00"_s << u"0,00"_s;
    QTest::newRow("text rows between priced rows")
            << QStringList{u";;;"_s, u"2;5;24"_s, u"x;y;z"_s} << false << true
            << QStringList{u";"_s, u"5,00;12,40"_s, u";"_s} << u"10,00"_s << u"2,40"_s << u"12,40"_s;
    QTest::newRow("empty VAT counts as 0 %")
            << QStringList{u"2;10;"_s} << false << true
            << QStringList{u"10,00;20,00"_s} << u"20,00"_s << u"0,00"_s << u"20,00"_s;
    QTest::newRow("row amount uses the entered price, not the rewritten one")
            << QStringList{u"3;0,125;0"_s} << false << false
            << QStringList{u"0,13;0,38"_s} << u"0,38"_s << u"0,00"_s << u"0,38"_s;
    QTest::newRow("thousands in the totals")
            << QStringList{u"12;999,5;24"_s} << false << false
            << QStringList{nb(u"999,50;11_994,00"_s)} << nb(u"11_994,00"_s) << nb(u"2_878,56"_s)
            << nb(u"14_872,56"_s);
    QTest::newRow("credit row, prices exclude VAT")
            << QStringList{u"2;10;24"_s, u"-1;10;24"_s} << false << false
            << QStringList{u"10,00;20,00"_s, u"10,00;-10,00"_s} << u"10,00"_s << u"2,40"_s
            << u"12,40"_s;
    QTest::newRow("credit row, row totals with VAT")
            << QStringList{u"-2;10;24"_s} << false << true
            << QStringList{u"10,00;-24,80"_s} << u"-20,00"_s << u"-4,80"_s << u"-24,80"_s;
    QTest::newRow("credit row cancelling a sale, prices include VAT")
            << QStringList{u"1;12,40;24"_s, u"-1;12,40;24"_s} << true << true
            << QStringList{u"12,40;12,40"_s, u"12,40;-12,40"_s} << u"0,00"_s << u"0,00"_s
            << u"0,00"_s;
    QTest::newRow("credit row, 25,5 %")
            << QStringList{u"-1;12,55;25,5"_s} << true << true
            << QStringList{u"12,55;-12,55"_s} << u"-10,00"_s << u"-2,55"_s << u"-12,55"_s;
    QTest::newRow("no rows") << QStringList{} << false << true << QStringList{} << u"0,00"_s
                             << u"0,00"_s << u"0,00"_s;
    QTest::newRow("all rows empty") << QStringList{u";;;"_s, u";;;"_s} << true << true
                                    << QStringList{u";"_s, u";"_s} << u"0,00"_s << u"0,00"_s
                                    << u"0,00"_s;
}

void TestRecalc::recalcAmounts_writesRowsAndTotals()
{
    QFETCH(QStringList, rows);
    QFETCH(bool, pricesIncludeVat);
    QFETCH(bool, totalsIncludeVat);
    QFETCH(QStringList, expectedRows);
    QFETCH(QString, withoutVat);
    QFETCH(QString, vat);
    QFETCH(QString, total);

    QList<RowAmounts> amounts = makeRows(rows);
    const InvoiceTotals totals = RecalcAmounts(amounts, pricesIncludeVat, totalsIncludeVat);
    QCOMPARE(pricesAndTotals(amounts), expectedRows);
    QCOMPARE(totals.withoutVat, withoutVat);
    QCOMPARE(totals.vat, vat);
    QCOMPARE(totals.total, total);
}

void TestRecalc::recalcAmounts_vatInclusivePricesNeverAddVatTwice_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("expectedRows");
    QTest::addColumn<QString>("withoutVat");
    QTest::addColumn<QString>("vat");
    QTest::addColumn<QString>("total");

    QTest::newRow("24 %") << QStringList{u"1;12,40;24"_s} << QStringList{u"12,40;12,40"_s}
                          << u"10,00"_s << u"2,40"_s << u"12,40"_s;
    QTest::newRow("25,5 %") << QStringList{u"2;12,55;25,5"_s} << QStringList{u"12,55;25,10"_s}
                            << u"20,00"_s << u"5,10"_s << u"25,10"_s;
    QTest::newRow("rates mixed, a credit row")
            << QStringList{u"1;124;24"_s, u"2;11,35;13,5"_s, u"-1;12,55;25,5"_s}
            << QStringList{u"124,00;124,00"_s, u"11,35;22,70"_s, u"12,55;-12,55"_s}
            << u"110,00"_s << u"24,15"_s << u"134,15"_s;
}

void TestRecalc::recalcAmounts_vatInclusivePricesNeverAddVatTwice()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, expectedRows);
    QFETCH(QString, withoutVat);
    QFETCH(QString, vat);
    QFETCH(QString, total);

    QList<RowAmounts> unchecked = makeRows(rows);
    const InvoiceTotals totals = RecalcAmounts(unchecked, true, false);
    QCOMPARE(pricesAndTotals(unchecked), expectedRows);
    QCOMPARE(totals.withoutVat, withoutVat);
    QCOMPARE(totals.vat, vat);
    QCOMPARE(totals.total, total);

    // The same as when row totals are set to include VAT.
    QList<RowAmounts> checked = makeRows(rows);
    const InvoiceTotals checkedTotals = RecalcAmounts(checked, true, true);
    QCOMPARE(pricesAndTotals(unchecked), pricesAndTotals(checked));
    QCOMPARE(totals.withoutVat, checkedTotals.withoutVat);
    QCOMPARE(totals.vat, checkedTotals.vat);
    QCOMPARE(totals.total, checkedTotals.total);
}

void TestRecalc::recalcAmounts_keepsQuantityAndVatText()
{
    QList<RowAmounts> rows = makeRows({u"2.0;10;24.0"_s, u"abc;1;x"_s});
    RecalcAmounts(rows, false, true);
    QCOMPARE(rows[0].quantity, u"2.0"_s);
    QCOMPARE(rows[0].vat, u"24.0"_s);
    QCOMPARE(rows[1].quantity, u"abc"_s);
    QCOMPARE(rows[1].vat, u"x"_s);
}

void TestRecalc::recalcAmounts_overflowKeepsEarlierRowsRewritten()
{
    QList<RowAmounts> rows = makeRows({u"2;10;24;old"_s, u"1e38;10;24;old"_s, u"1;5;24;old"_s});
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, RecalcAmounts(rows, false, true));
    // The overflowing row had its price rewritten before its amount was computed.
    QCOMPARE(pricesAndTotals(rows),
             (QStringList{u"10,00;24,80"_s, u"10,00;old"_s, u"5;old"_s}));
}

void TestRecalc::recalcAmounts_overflowInTheSumKeepsEveryRowRewritten()
{
    QList<RowAmounts> rows = makeRows({u"1;1e38;0;old"_s, u"1;1e38;0;old"_s});
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, RecalcAmounts(rows, false, false));
    const QString hundredUndecillion = FormatAmount(StoreReal(1e38L));
    QCOMPARE(rows[0].total, hundredUndecillion);
    QCOMPARE(rows[1].total, hundredUndecillion);
}

void TestRecalc::recalcAmounts_overflowingQuantityLeavesThePriceAsTyped()
{
    QList<RowAmounts> rows = makeRows({u"1e39;10;24;old"_s});
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, RecalcAmounts(rows, true, true));
    QCOMPARE(pricesAndTotals(rows), QStringList{u"10;old"_s});
}

void TestRecalc::recalcAmounts_minusHundredPerCentInsideThePriceOverflows()
{
    // The VAT share divides by (rate + 100).
    QList<RowAmounts> rows = makeRows({u"1;10;-100"_s});
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, RecalcAmounts(rows, true, true));
    QList<RowAmounts> excluded = makeRows({u"1;10;-100"_s});
    QCOMPARE(RecalcAmounts(excluded, false, true).total, u"0,00"_s);
}

void TestRecalc::recalcAmounts_breaksVatDownByRate_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("pricesIncludeVat");
    QTest::addColumn<bool>("totalsIncludeVat");
    QTest::addColumn<QStringList>("expectedLines");
    QTest::addColumn<QString>("withoutVat");
    QTest::addColumn<QString>("vat");
    QTest::addColumn<QString>("total");

    // Rounded over the invoice the VAT would be 25,52.
    const QStringList fourRates{u"1;100;25,5"_s, u"2;50;0"_s, u"1;0,14;10"_s, u"1;0,03;13,5"_s};
    const QStringList fourRateLines{u"0;100,00;0,00"_s, u"10;0,14;0,01"_s, u"13,5;0,03;0,00"_s,
                                    u"25,5;100,00;25,50"_s};
    QTest::newRow("VAT rounded per rate, row totals without VAT")
            << fourRates << false << false << fourRateLines << u"200,17"_s << u"25,51"_s
            << u"225,68"_s;
    QTest::newRow("VAT rounded per rate, row totals with VAT")
            << fourRates << false << true << fourRateLines << u"200,17"_s << u"25,51"_s
            << u"225,68"_s;
    // Rounded over the invoice the VAT would be 6,17.
    QTest::newRow("VAT rounded per rate, prices include VAT")
            << QStringList{u"3;9,99;25,5"_s, u"1;0,50;10"_s, u"1;0,30;13,5"_s, u"1;5;0"_s}
            << true << false
            << QStringList{u"0;5,00;0,00"_s, u"10;0,45;0,05"_s, u"13,5;0,26;0,04"_s,
                           u"25,5;23,88;6,09"_s}
            << u"29,59"_s << u"6,18"_s << u"35,77"_s;
    QTest::newRow("credit rows, row totals with VAT")
            << QStringList{u"3;10;25,5"_s, u"-1;10;25,5"_s, u"-2;5;13,5"_s} << false << true
            << QStringList{u"13,5;-10,00;-1,35"_s, u"25,5;20,00;5,10"_s}
            << u"10,00"_s << u"3,75"_s << u"13,75"_s;
    QTest::newRow("rates read as the same number are one, a cancelled rate stays")
            << QStringList{u"1;10;24"_s, u"1;10;25.5"_s, u"-1;10;24,0"_s, u"1;10;25,50"_s}
            << false << false << QStringList{u"24;0,00;0,00"_s, u"25,5;20,00;5,10"_s}
            << u"20,00"_s << u"5,10"_s << u"25,10"_s;
    QTest::newRow("text rows list no rate, empty and unreadable VAT are 0 %")
            << QStringList{u";;14"_s, u"0;10;14"_s, u"1;0;24"_s, u"1;10;"_s, u"1;10;x"_s,
                           u"2;5;10"_s}
            << false << true << QStringList{u"0;20,00;0,00"_s, u"10;10,00;1,00"_s}
            << u"30,00"_s << u"1,00"_s << u"31,00"_s;
    QTest::newRow("one rate, one line")
            << QStringList{u"1;0,10;24"_s, u"1;0,10;24"_s, u"1;0,10;24"_s} << false << true
            << QStringList{u"24;0,29;0,07"_s} << u"0,29"_s << u"0,07"_s << u"0,36"_s;
    QTest::newRow("no priced rows, no lines") << QStringList{u";;24"_s} << true << true
                                              << QStringList{} << u"0,00"_s << u"0,00"_s
                                              << u"0,00"_s;
    QTest::newRow("rates written with the decimals they need")
            << QStringList{u"1;100;12,345"_s, u"1;100;0.5"_s, u"1;100;1000"_s} << false << false
            << QStringList{u"0,5;100,00;0,50"_s, u"12,345;100,00;12,35"_s,
                           nb(u"1_000;100,00;1_000,00"_s)}
            << u"300,00"_s << nb(u"1_012,85"_s) << nb(u"1_312,85"_s);
    // Beyond 64-bit cents the totals come from the rows' 6-byte sums.
    QTest::newRow("a rate beyond 64-bit cents")
            << QStringList{u"1;1e17;0"_s, u"1;1e17;10"_s} << false << false
            << QStringList{nb(u"0;100_000_000_000_000_000,00;0,00"_s),
                           nb(u"10;100_000_000_000_000_000,00;10_000_000_000_000_000,00"_s)}
            << nb(u"200_000_000_000_000_000,00"_s) << nb(u"10_000_000_000_000_000,00"_s)
            << nb(u"209_999_999_999_934_464,00"_s);
    QTest::newRow("the sum of the rates beyond 64-bit cents")
            << QStringList{u"1;5e16;0"_s, u"1;5e16;10"_s} << false << false
            << QStringList{nb(u"0;50_000_000_000_000_000,00;0,00"_s),
                           nb(u"10;50_000_000_000_000_000,00;5_000_000_000_000_000,00"_s)}
            << nb(u"100_000_000_000_000_000,00"_s) << nb(u"5_000_000_000_000_000,00"_s)
            << nb(u"104_999_999_999_967_232,00"_s);
}

void TestRecalc::recalcAmounts_breaksVatDownByRate()
{
    QFETCH(QStringList, rows);
    QFETCH(bool, pricesIncludeVat);
    QFETCH(bool, totalsIncludeVat);
    QFETCH(QStringList, expectedLines);
    QFETCH(QString, withoutVat);
    QFETCH(QString, vat);
    QFETCH(QString, total);

    QList<RowAmounts> amounts = makeRows(rows);
    const InvoiceTotals totals = RecalcAmounts(amounts, pricesIncludeVat, totalsIncludeVat);
    QCOMPARE(rateLines(totals), expectedLines);
    QCOMPARE(totals.withoutVat, withoutVat);
    QCOMPARE(totals.vat, vat);
    QCOMPARE(totals.total, total);
}

void TestRecalc::recalcAmounts_rateLinesAddUpToTheTotals_data()
{
    QTest::addColumn<bool>("pricesIncludeVat");
    QTest::addColumn<bool>("totalsIncludeVat");

    QTest::newRow("prices exclude VAT, row totals without VAT") << false << false;
    QTest::newRow("prices exclude VAT, row totals with VAT") << false << true;
    QTest::newRow("prices include VAT") << true << true;
}

void TestRecalc::recalcAmounts_rateLinesAddUpToTheTotals()
{
    QFETCH(bool, pricesIncludeVat);
    QFETCH(bool, totalsIncludeVat);

    const QStringList vatCells{u"0"_s, QString(), u"10"_s, u"10,0"_s, u"13,5"_s,
                               u"13.50"_s, u"14"_s, u"24"_s, u"25,5"_s, u"25.5"_s};
    QRandomGenerator random(20250901);
    for (int invoice = 0; invoice < 100; ++invoice) {
        // Quantities from -3 to 20, some with a half; a zero quantity or price
        // makes a text row.
        QList<RowAmounts> rows;
        for (int r = 1 + random.bounded(12); r > 0; --r) {
            rows.append({QString::number(random.bounded(-3, 21)) + (random.bounded(4) ? u""_s : u",5"_s),
                         FormatAmount(random.bounded(100000) / 100.0),
                         vatCells[random.bounded(vatCells.size())], QString()});
        }
        const InvoiceTotals totals = RecalcAmounts(rows, pricesIncludeVat, totalsIncludeVat);

        qint64 rowTotals = 0;
        QList<double> rowRates;
        for (const RowAmounts &row : rows) {
            if (!row.total.isEmpty()) {
                QVERIFY(addCents(rowTotals, row.total));
                rowRates.append(ParseAmount(row.vat));
            }
        }
        std::sort(rowRates.begin(), rowRates.end());
        rowRates.erase(std::unique(rowRates.begin(), rowRates.end()), rowRates.end());
        qint64 linesWithoutVat = 0;
        qint64 linesVat = 0;
        QList<double> lineRates;
        for (const VatRateLine &line : totals.rates) {
            QVERIFY(addCents(linesWithoutVat, line.withoutVat) && addCents(linesVat, line.vat));
            lineRates.append(ParseAmount(line.rate));
        }
        qint64 withoutVat = 0;
        qint64 vat = 0;
        qint64 total = 0;
        QVERIFY(addCents(withoutVat, totals.withoutVat) && addCents(vat, totals.vat)
                && addCents(total, totals.total));

        // One line per rate of the priced rows, in rising order.
        QCOMPARE(lineRates, rowRates);
        QCOMPARE(linesWithoutVat, withoutVat);
        QCOMPARE(linesVat, vat);
        QCOMPARE(withoutVat + vat, total);
        // The row totals as written add up to the total they are given as.
        QCOMPARE(rowTotals, pricesIncludeVat || totalsIncludeVat ? total : withoutVat);
    }
}

QTEST_APPLESS_MAIN(TestRecalc)
#include "tst_recalc.moc"
