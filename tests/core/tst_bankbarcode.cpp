// The bank barcode's content, the Code 128 characters that carry it, the
// symbol's size at each resolution, and the multiply-then-divide under them.

#include "invoice/numbering.h"
#include "output/bankbarcode.h"
#include "output/scaling.h"

#include <QDate>
#include <QRandomGenerator>
#include <QTest>

#include <limits>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

// Giro form captions made at random, and what a sound content of them holds.
struct Payment
{
    QString iban;
    QString total;
    QString reference;
    QString due;
    bool sound = true;
    QString account;
    qint64 cents = 0;
    QString canonicalReference;
    QString yymmdd;
};

// What a reader takes out of a 54-digit content.
struct Decoded
{
    QString account;
    qint64 cents = 0;
    QString canonicalReference;
    QString due;
};

QString withoutLeadingZeros(QStringView digits)
{
    while (!digits.isEmpty() && digits.front() == u'0')
        digits = digits.sliced(1);
    return digits.toString();
}

Decoded decode(const QString &content)
{
    Decoded d;
    d.account = content.mid(1, 16);
    d.cents = content.mid(17, 6).toLongLong() * 100 + content.mid(23, 2).toLongLong();
    if (content[0] == u'5')
        d.canonicalReference = u"RF"_s + content.mid(25, 2) + withoutLeadingZeros(QStringView(content).mid(27, 21));
    else
        d.canonicalReference = withoutLeadingZeros(QStringView(content).mid(28, 20));
    d.due = content.mid(48, 6);
    return d;
}

QString randomDigits(QRandomGenerator &random, int count)
{
    QString digits;
    for (int i = 0; i < count; ++i)
        digits += QChar(u'0' + random.bounded(i == 0 ? 1 : 0, 10));
    return digits;
}

// An IBAN of the country and account number, with the check digits it needs.
QString ibanOf(const QString &country, const QString &bban)
{
    QString number;
    for (QChar c : bban + country + u"00"_s)
        number += c.isDigit() ? QString(c) : QString::number(c.unicode() - u'A' + 10);
    int remainder = 0;
    for (QChar c : number)
        remainder = (remainder * 10 + (c.unicode() - u'0')) % 97;
    return country + QString::number(98 - remainder).rightJustified(2, u'0') + bban;
}

QString groupedInFours(const QString &compact)
{
    QString grouped;
    for (qsizetype i = 0; i < compact.size(); i += 4)
        grouped += (i ? u" "_s : QString()) + compact.mid(i, 4);
    return grouped;
}

QString euroText(qint64 cents)
{
    QString euros = QString::number(cents / 100);
    for (qsizetype i = euros.size() - 3; i > 0; i -= 3)
        euros.insert(i, QChar(0xa0));
    return euros + u',' + QString::number(cents % 100).rightJustified(2, u'0');
}

// Each field is sound six times in seven, so about half the payments are.
bool unsoundField(QRandomGenerator &random, Payment &p)
{
    const bool unsound = random.bounded(7) == 0;
    if (unsound)
        p.sound = false;
    return unsound;
}

Payment randomPayment(QRandomGenerator &random)
{
    Payment p;

    const QString bban = randomDigits(random, 14);
    p.iban = ibanOf(u"FI"_s, bban);
    p.account = p.iban.mid(2);
    if (unsoundField(random, p)) {
        switch (random.bounded(5)) {
        case 0: p.iban = ibanOf(u"FI"_s, bban.chopped(1)); break;
        case 1: p.iban = ibanOf(u"FI"_s, bban + u'7'); break;
        case 2: p.iban[17] = QChar(u'0' + (p.iban[17].unicode() - u'0' + 1) % 10); break;
        case 3: p.iban = ibanOf(u"DK"_s, bban); break;
        default: p.iban.clear(); break;
        }
    }
    if (random.bounded(2))
        p.iban = groupedInFours(p.iban);

    p.cents = random.bounded(1, 100'000'000);
    p.total = euroText(p.cents);
    if (p.cents % 100 == 0 && random.bounded(2))
        p.total.chop(3);
    else if (p.cents % 10 == 0 && random.bounded(2))
        p.total.chop(1);
    if (unsoundField(random, p)) {
        switch (random.bounded(5)) {
        case 0: p.total = euroText(random.bounded(qint64(100'000'000), qint64(100'000'000'000))); break;
        case 1: p.total = euroText(p.cents) + QChar(u'0' + random.bounded(10)); break;
        case 2: p.total = u'-' + euroText(p.cents); break;
        case 3: p.total = u"0,00"_s; break;
        default: p.total.clear(); break;
        }
    }

    const QString national = AppendCheckDigit(randomDigits(random, random.bounded(3, 20)));
    const bool rf = random.bounded(2);
    p.reference = rf ? RfReference(national) : national;
    p.canonicalReference = rf ? p.reference.left(4) + national : national;
    if (unsoundField(random, p)) {
        static const QStringList kUnsound = {u"RF47 ABC1 23"_s, u"RF01 20909"_s, u"RF00 1042"_s, u"RF99 1006"_s,
                                             QString()};
        switch (random.bounded(3)) {
        case 0: p.reference = national.chopped(1) + QChar(u'0' + (national.back().unicode() - u'0' + 1) % 10); break;
        case 1: p.reference = AppendCheckDigit(randomDigits(random, 20)); break;
        default: p.reference = kUnsound[random.bounded(int(kUnsound.size()))]; break;
        }
    }

    const QDate date = QDate(2000, 1, 1).addDays(random.bounded(36500));
    p.due = QString::number(date.day()) + u'.' + QString::number(date.month()) + u'.' + QString::number(date.year());
    p.yymmdd = date.toString(u"yyMMdd");
    if (random.bounded(10) == 0) {
        p.due = random.bounded(2) ? u"00.00.0000"_s : QString();
        p.yymmdd = u"000000"_s;
    }
    if (unsoundField(random, p))
        p.due = random.bounded(2) ? u"31.2.%1"_s.arg(date.year()) : u"%1.%2.%3"_s.arg(100 + date.day()).arg(date.month()).arg(date.year());
    return p;
}

} // namespace

class TestBankBarcode : public QObject
{
    Q_OBJECT

private slots:
    void mulDivRoundsHalvesAwayFromZero_data();
    void mulDivRoundsHalvesAwayFromZero();
    void contentFromCaptions_data();
    void contentFromCaptions();
    void noContentFromAnUnsoundField_data();
    void noContentFromAnUnsoundField();
    void contentDecodesToWhatItWasBuiltFrom();
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
    const QString iban = u"FI21 1234 5600 0007 85"_s;
    const QString account = u"2112345600000785"_s;
    QTest::newRow("grouped captions") << iban << u"1\u00a0234,50"_s << u"12345 3"_s << u"5.7.2026"_s
                                      << u"4"_s + account + u"00123450000"_s + u"00000000000000123453"_s + u"260705"_s;
    QTest::newRow("no decimals") << iban << u"250"_s << u"1009"_s << u"31.12.1999"_s
                                 << u"4"_s + account + u"00025000000"_s + u"00000000000000001009"_s + u"991231"_s;
    QTest::newRow("one decimal") << iban << u"12,5"_s << u"1009"_s << QString()
                                 << u"4"_s + account + u"00001250000"_s + u"00000000000000001009"_s + u"000000"_s;
    QTest::newRow("empty date of the form") << iban << u"12,5"_s << u"1009"_s << u"00.00.0000"_s
                                            << u"4"_s + account + u"00001250000"_s + u"00000000000000001009"_s + u"000000"_s;
    QTest::newRow("largest amount") << iban << u"999\u00a0999,99"_s << u"1009"_s << u"1.1.2027"_s
                                    << u"4"_s + account + u"99999999000"_s + u"00000000000000001009"_s + u"270101"_s;
    QTest::newRow("20 reference digits") << iban << u"1,00"_s << u"12345678901234567894"_s << u"1.1.2027"_s
                                         << u"4"_s + account + u"00000100000"_s + u"12345678901234567894"_s + u"270101"_s;
    QTest::newRow("bank guide example") << u"FI79 4405 2020 0360 82"_s << u"4\u00a0883,15"_s
                                        << u"86851 62596 19897"_s << u"12.6.2010"_s
                                        << u"479440520200360820048831500000000868516259619897100612"_s;
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

void TestBankBarcode::noContentFromAnUnsoundField_data()
{
    QTest::addColumn<QString>("iban");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("due");
    const QString iban = u"FI21 1234 5600 0007 85"_s;
    // Fifteen digits that pass the IBAN check, and seven euro digits: 54 in all.
    QTest::newRow("IBAN a digit short, 1 250 000,00")
        << u"FI21 1234 5600 0007 8"_s << u"1\u00a0250\u00a0000,00"_s << u"1009"_s << u"1.1.2027"_s;
    QTest::newRow("IBAN a digit short, three decimals")
        << u"FI21 1234 5600 0007 8"_s << u"12,345"_s << u"1009"_s << u"1.1.2027"_s;
    QTest::newRow("IBAN of another country, 16 digits")
        << u"DK50 0040 0440 1162 43"_s << u"1,00"_s << u"1009"_s << u"1.1.2027"_s;
    QTest::newRow("negative total") << iban << u"-125,50"_s << u"1009"_s << u"1.1.2027"_s;
    QTest::newRow("zero total") << iban << u"0,00"_s << u"1009"_s << u"1.1.2027"_s;
    QTest::newRow("letters in the total") << iban << u"12,3O"_s << u"1009"_s << u"1.1.2027"_s;
    QTest::newRow("blank inside the decimals") << iban << u"2905, 4"_s << u"1009"_s << u"1.1.2027"_s;
    QTest::newRow("blank not between groups of three") << iban << u"29 05,40"_s << u"1009"_s << u"1.1.2027"_s;
    QTest::newRow("lowercase rf") << iban << u"1,00"_s << u"rf18 1009"_s << u"1.1.2027"_s;
    QTest::newRow("RF alone") << iban << u"1,00"_s << u"RF"_s << u"1.1.2027"_s;
    QTest::newRow("RF, 22 body digits") << iban << u"1,00"_s << u"RF19 1234 5678 9012 3456 7890 12"_s << u"1.1.2027"_s;
    QTest::newRow("RF with letters") << iban << u"1,00"_s << u"RF47 ABC1 23"_s << u"1.1.2027"_s;
    QTest::newRow("RF, check digits 01 for 98") << iban << u"1,00"_s << u"RF01 20909"_s << u"1.1.2027"_s;
    QTest::newRow("day of three digits") << iban << u"1,00"_s << u"1009"_s << u"123.7.2026"_s;
}

// Each field is checked on its own: a field of the wrong length or a number
// that fails its check gives no content, whatever the other fields make up.
// The random payments below meet the plainer faults of each field.
void TestBankBarcode::noContentFromAnUnsoundField()
{
    QFETCH(QString, iban);
    QFETCH(QString, total);
    QFETCH(QString, reference);
    QFETCH(QString, due);
    QCOMPARE(BuildBankBarcode(iban, total, reference, due), QString());
}

// Random captions, sound and unsound, from a fixed seed: a content is made
// exactly when every field is sound, and it reads back as the account,
// amount, reference and due date it was made of.
void TestBankBarcode::contentDecodesToWhatItWasBuiltFrom()
{
    QRandomGenerator random(54);
    int contents = 0;
    for (int round = 0; round < 5000; ++round) {
        const Payment payment = randomPayment(random);
        const QString content = BuildBankBarcode(payment.iban, payment.total, payment.reference, payment.due);
        const QString captions = payment.iban + u" | "_s + payment.total + u" | "_s + payment.reference + u" | "_s
            + payment.due + u" -> "_s + content;
        QVERIFY2(content.isEmpty() != payment.sound, qPrintable(captions));
        if (content.isEmpty())
            continue;
        ++contents;
        QVERIFY2(IsBankBarcodeContent(content), qPrintable(captions));
        const Decoded decoded = decode(content);
        QCOMPARE(decoded.account, payment.account);
        QCOMPARE(decoded.cents, payment.cents);
        QCOMPARE(decoded.canonicalReference, payment.canonicalReference);
        QCOMPARE(decoded.due, payment.yymmdd);
    }
    // Both kinds are met often enough to mean something.
    QVERIFY2(contents > 500 && contents < 4500, qPrintable(QString::number(contents)));
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
