// The bank barcode's content, the Code 128 characters that carry it, the
// symbol's size at each resolution, and the multiply-then-divide under them.

#include "output/bankbarcode.h"
#include "output/scaling.h"

#include <QTest>

#include <limits>
#include <numeric>

using namespace Qt::StringLiterals;

class TestBankBarcode : public QObject
{
    Q_OBJECT

private slots:
    void mulDivRoundsHalvesAwayFromZero_data();
    void mulDivRoundsHalvesAwayFromZero();
    void contentFromCaptions_data();
    void contentFromCaptions();
    void setCCharacters();
    void geometryAtEachResolution_data();
    void geometryAtEachResolution();
};

void TestBankBarcode::mulDivRoundsHalvesAwayFromZero_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<int>("result");
    const int max = std::numeric_limits<int>::max();
    QTest::newRow("12 mm at 96 dpi") << 120 << 96 << 254 << 45;
    QTest::newRow("half rounds up") << 5 << 1 << 2 << 3;
    QTest::newRow("negative half rounds down") << -5 << 1 << 2 << -3;
    QTest::newRow("negative divisor") << 5 << 1 << -2 << -3;
    QTest::newRow("below a half rounds down") << 7 << 1 << 5 << 1;
    QTest::newRow("product beyond 32 bits") << max << 2 << 4 << 1073741824;
    QTest::newRow("zero divisor") << 1 << 1 << 0 << -1;
    QTest::newRow("result beyond int") << max << 2 << 1 << -1;
}

void TestBankBarcode::mulDivRoundsHalvesAwayFromZero()
{
    QFETCH(int, value);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(int, result);
    QCOMPARE(MulDiv(value, numerator, denominator), result);
}

void TestBankBarcode::contentFromCaptions_data()
{
    QTest::addColumn<QString>("iban");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("due");
    QTest::addColumn<QString>("content");
    const QString iban = u"FI12 3456 7890 1234 56"_s;
    const QString account = u"1234567890123456"_s;
    QTest::newRow("worked example") << iban << u"1\u00a0234,50"_s << u"12345 6"_s << u"5.7.2026"_s
                                    << u"4"_s + account + u"00123450000"_s + u"00000000000000123456"_s + u"260705"_s;
    QTest::newRow("no decimals") << iban << u"250"_s << u"1009"_s << u"31.12.1999"_s
                                 << u"4"_s + account + u"00025000000"_s + u"00000000000000001009"_s + u"991231"_s;
    QTest::newRow("one decimal") << iban << u"12,5"_s << u"1009"_s << QString()
                                 << u"4"_s + account + u"00001250000"_s + u"00000000000000001009"_s + u"000000"_s;
    QTest::newRow("negative total loses its sign") << iban << u"-12,30"_s << u"1009"_s << u"1.1.2027"_s
                                 << u"4"_s + account + u"00001230000"_s + u"00000000000000001009"_s + u"270101"_s;
    // No field is ever cut: too long a field makes the whole too long.
    QTest::newRow("a million euros") << iban << u"1\u00a0000\u00a0000,00"_s << u"1009"_s << u"1.1.2027"_s
                                     << u"4"_s + account + u"100000000000"_s + u"00000000000000001009"_s + u"270101"_s;
    QTest::newRow("21 reference digits") << iban << u"1,00"_s << u"123456789012345678901"_s << u"1.1.2027"_s
                                         << u"4"_s + account + u"00000100000"_s + u"123456789012345678901"_s + u"270101"_s;
    QTest::newRow("short IBAN") << u"FI12 3456"_s << u"1,00"_s << u"1009"_s << u"1.1.2027"_s
                                << u"4123456"_s + u"00000100000"_s + u"00000000000000001009"_s + u"270101"_s;
    QTest::newRow("bank guide example") << u"FI79 4405 2020 0360 82"_s << u"4\u00a0883,15"_s
                                        << u"86851 62596 19897"_s << u"12.6.2010"_s
                                        << u"479440520200360820048831500000000868516259619897100612"_s;
    QTest::newRow("lowercase rf is no RF reference") << iban << u"1,00"_s << u"rf18 1009"_s << u"1.1.2027"_s
                                                     << u"4"_s + account + u"00000100000"_s + u"00000000000000181009"_s + u"270101"_s;
    QTest::newRow("bank guide example, RF") << u"FI79 4405 2020 0360 82"_s << u"4\u00a0883,15"_s
                                            << u"RF09 8685 1625 9619 897"_s << u"12.6.2010"_s
                                            << u"579440520200360820048831509000000868516259619897100612"_s;
    QTest::newRow("RF, shortest") << iban << u"1\u00a0234,50"_s << u"RF18 1009"_s << u"5.7.2026"_s
                                  << u"5"_s + account + u"00123450"_s + u"18"_s + u"000000000000000001009"_s + u"260705"_s;
    QTest::newRow("RF, leading blanks") << iban << u"250"_s << u"  RF18 1009"_s << QString()
                                        << u"5"_s + account + u"00025000"_s + u"18"_s + u"000000000000000001009"_s + u"000000"_s;
    QTest::newRow("RF, check digits below ten") << iban << u"1,00"_s << u"RF02 1234 5614"_s << u"1.1.2027"_s
                                                << u"5"_s + account + u"00000100"_s + u"02"_s + u"000000000000012345614"_s + u"270101"_s;
    QTest::newRow("RF, 21 body digits") << iban << u"1,00"_s << u"RF40 1234 5678 9012 3456 7890 1"_s << u"1.1.2027"_s
                                        << u"5"_s + account + u"00000100"_s + u"40"_s + u"123456789012345678901"_s + u"270101"_s;
    // Version 5 cuts no field either; a missing check digit makes the whole too short.
    QTest::newRow("RF, 22 body digits") << iban << u"1,00"_s << u"RF19 1234 5678 9012 3456 7890 12"_s << u"1.1.2027"_s
                                        << u"5"_s + account + u"00000100"_s + u"19"_s + u"1234567890123456789012"_s + u"270101"_s;
    QTest::newRow("RF alone") << iban << u"1,00"_s << u"RF"_s << u"1.1.2027"_s
                              << u"5"_s + account + u"00000100"_s + u"000000000000000000000"_s + u"270101"_s;
}

void TestBankBarcode::contentFromCaptions()
{
    QFETCH(QString, iban);
    QFETCH(QString, total);
    QFETCH(QString, reference);
    QFETCH(QString, due);
    QFETCH(QString, content);
    QCOMPARE(BuildBankBarcode(iban, total, reference, due), content);
}

void TestBankBarcode::setCCharacters()
{
    // Start C, the pairs 12 34 56, the check (105 + 12 + 2·34 + 3·56) mod 103, Stop.
    QCOMPARE(Code128SetCValues(u"1234567"), (QList<int>{105, 12, 34, 56, 353 % 103, 106}));
    for (int value = 0; value <= 106; ++value) {
        const QList<int> elements = Code128Elements(value);
        QCOMPARE(elements.size(), value == 106 ? 7 : 6);
        QCOMPARE(std::accumulate(elements.begin(), elements.end(), 0), value == 106 ? 13 : 11);
    }
}

void TestBankBarcode::geometryAtEachResolution_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("module");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("widthMm");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("barHeight");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("96 dpi, the PDF surface") << 96 << 1 << 332 << 88 << 117 << 45 << true;
    QTest::newRow("120 dpi") << 120 << 1 << 332 << 70 << 189 << 57 << true;
    QTest::newRow("300 dpi") << 300 << 4 << 1328 << 112 << 224 << 142 << true;
    QTest::newRow("600 dpi") << 600 << 7 << 2324 << 98 << 614 << 283 << true;
    QTest::newRow("30 dpi: narrower than 70 mm") << 30 << 0 << 0 << 0 << 89 << 14 << false;
}

// The direct method's sizes for the 54-digit content (27 digit pairs).
void TestBankBarcode::geometryAtEachResolution()
{
    QFETCH(int, dpi);
    QFETCH(int, module);
    QFETCH(int, width);
    QFETCH(int, widthMm);
    QFETCH(int, left);
    QFETCH(int, barHeight);
    QFETCH(bool, drawn);
    const Code128Geometry g = Code128DirectGeometry(kBankBarcodeLength / 2, dpi);
    QCOMPARE(g.module, module);
    QCOMPARE(g.width, width);
    QCOMPARE(g.widthMm, widthMm);
    QCOMPARE(g.left, left);
    QCOMPARE(g.barHeight, barHeight);
    QCOMPARE(g.drawn, drawn);
    QCOMPARE(Code128BitmapGeometry(kBankBarcodeLength / 2, dpi).drawn, drawn);
}

QTEST_APPLESS_MAIN(TestBankBarcode)
#include "tst_bankbarcode.moc"
