// The customer register's name order, its re-sort and the name lookup.

#include "tests/support/registerreference.h"
#include "storage/collation.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QStringList sortKeysOf(const QStringList &names)
{
    QStringList keys;
    for (const QString &name : names)
        keys.append(NameSortKey(name));
    return keys;
}

QStringList nameColumn(const QList<QStringList> &rows)
{
    QStringList names;
    for (const QStringList &row : rows)
        names.append(row.value(0));
    return names;
}

} // namespace

class TestCollation : public QObject
{
    Q_OBJECT

private slots:
    void nameOrder_data();
    void nameOrder();
    void sortsFinnishAlphabet();
    void sortRegisterRows_data();
    void sortRegisterRows();
    void findNamePrefix_data();
    void findNamePrefix();
    void findNamePrefixSkipsRowsBeforeFirst();
    void findNamePrefixInEmptyRegister();
    void everyGeneratedNameIsFoundByItsBeginning_data();
    void everyGeneratedNameIsFoundByItsBeginning();
    void typedName_data();
    void typedName();
};

void TestCollation::nameOrder_data()
{
    QTest::addColumn<QString>("smaller");
    QTest::addColumn<QString>("larger");

    QTest::newRow("z before å") << u"Zeta"_s << u"Åke"_s;
    QTest::newRow("å before ä") << u"Åke"_s << u"Ähtäri"_s;
    QTest::newRow("ä before ö") << u"Äänekoski"_s << u"Öljy"_s;
    QTest::newRow("capital Ä after small z") << u"zorro"_s << u"ÄIJÄ"_s;
    QTest::newRow("case ignored before later letters") << u"aarne"_s << u"Aatu"_s;
    QTest::newRow("capitals first on a tie") << u"MATTI"_s << u"matti"_s;
    QTest::newRow("é folds to e") << u"Émile"_s << u"Eno"_s;
    QTest::newRow("accent breaks a tie") << u"Rene"_s << u"René"_s;
    QTest::newRow("š folds to s") << u"Šahin"_s << u"Seppo"_s;
    QTest::newRow("ü sorts as y") << u"Müller"_s << u"Mylly"_s;
    QTest::newRow("ü before å") << u"Üdes"_s << u"Åke"_s;
    QTest::newRow("æ sorts as ä") << u"Äiti"_s << u"Ærø"_s;
    QTest::newRow("æ after z") << u"Zorro"_s << u"Ærø"_s;
    QTest::newRow("ø sorts as ö") << u"Østen"_s << u"Ötzi"_s;
    QTest::newRow("ø after å") << u"Åke"_s << u"Østen"_s;
    QTest::newRow("w is not v") << u"Vyy"_s << u"Waa"_s;
    QTest::newRow("w before x") << u"Wahl"_s << u"Xylo"_s;
    QTest::newRow("ß as ss") << u"Straße"_s << u"Strast"_s;
    QTest::newRow("soft hyphen ignored") << u"Kal\u00adle"_s << u"Kalli"_s;
    QTest::newRow("digits before letters") << u"123 Oy"_s << u"Aapo"_s;
    QTest::newRow("punctuation before digits") << u"(Oy)"_s << u"1 Oy"_s;
    QTest::newRow("blank before letters") << u"Matti Meikäläinen"_s << u"Mattila"_s;
    QTest::newRow("no-break space as blank") << u"Matti\u00a0Z"_s << u"Mattila"_s;
    QTest::newRow("shorter first") << u"Mat"_s << u"Matti"_s;
    QTest::newRow("empty first") << QString() << u" "_s;
}

void TestCollation::nameOrder()
{
    QFETCH(QString, smaller);
    QFETCH(QString, larger);

    QCOMPARE(CompareNames(smaller, larger), -1);
    QCOMPARE(CompareNames(larger, smaller), 1);
    QCOMPARE(CompareNames(smaller, smaller), 0);
    QVERIFY(NameSortKey(smaller) < NameSortKey(larger));
}

void TestCollation::sortsFinnishAlphabet()
{
    const QStringList expected{
        u"3M Suomi"_s, u"aapinen"_s, u"Aho"_s, u"Ehto"_s, u"Éla"_s, u"Esko"_s, u"Uuno"_s,
        u"Vaara"_s, u"Vuori"_s, u"Wahlroos"_s, u"Yli-Opas"_s, u"Yrjö"_s, u"Zetor"_s,
        u"Åbo"_s, u"Äijälä"_s, u"äiti"_s, u"Öhman"_s, u"Östen"_s,
    };
    QStringList names = expected;
    std::reverse(names.begin(), names.end());
    std::swap(names[3], names[11]);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return CompareNames(a, b) < 0;
    });
    QCOMPARE(names, expected);
}

void TestCollation::sortRegisterRows_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QList<QStringList>>("sorted");

    QTest::newRow("by name in Finnish order")
        << QList<QStringList>{{u"Öhman"_s, u"1"_s}, {u"Zetor"_s, u"2"_s}, {u"Åbo"_s, u"3"_s}}
        << QList<QStringList>{{u"Zetor"_s, u"2"_s}, {u"Åbo"_s, u"3"_s}, {u"Öhman"_s, u"1"_s}};
    QTest::newRow("equal names by the next cells")
        << QList<QStringList>{{u"Mäki"_s, u"Tie"_s, u"b"_s}, {u"Mäki"_s, u"Tie"_s, u"a"_s},
                              {u"Mäki"_s, u"Katu"_s, u"c"_s}}
        << QList<QStringList>{{u"Mäki"_s, u"Katu"_s, u"c"_s}, {u"Mäki"_s, u"Tie"_s, u"a"_s},
                              {u"Mäki"_s, u"Tie"_s, u"b"_s}};
    QTest::newRow("names equal ignoring case go by the next cells")
        << QList<QStringList>{{u"matti"_s, u"Tie"_s}, {u"Matti"_s, u"Katu"_s}}
        << QList<QStringList>{{u"Matti"_s, u"Katu"_s}, {u"matti"_s, u"Tie"_s}};
    QTest::newRow("rows equal ignoring case keep the first")
        << QList<QStringList>{{u"MATTI"_s, u"KATU 1"_s}, {u"Aho"_s, u"x"_s}, {u"Matti"_s, u"Katu 1"_s}}
        << QList<QStringList>{{u"Aho"_s, u"x"_s}, {u"MATTI"_s, u"KATU 1"_s}};
    QTest::newRow("accents are no case")
        << QList<QStringList>{{u"René"_s, u"x"_s}, {u"Rene"_s, u"x"_s}}
        << QList<QStringList>{{u"Rene"_s, u"x"_s}, {u"René"_s, u"x"_s}};
    QTest::newRow("empty cells become placeholders")
        << QList<QStringList>{{u"Aho"_s, u""_s, u"Katu"_s}}
        << QList<QStringList>{{u"Aho"_s, u" "_s, u"Katu"_s}};
    QTest::newRow("a placeholder equals an empty cell")
        << QList<QStringList>{{u"Aho"_s, u""_s, u"7"_s}, {u"Aho"_s, u" "_s, u"7"_s}}
        << QList<QStringList>{{u"Aho"_s, u" "_s, u"7"_s}};
    QTest::newRow("rows without a two-character cell dropped")
        << QList<QStringList>{{u"a"_s, u""_s, u"5"_s}, {}, {u""_s, u""_s}, {u""_s, u"Katu"_s}}
        << QList<QStringList>{{u" "_s, u"Katu"_s}};
    QTest::newRow("row of a shorter name first")
        << QList<QStringList>{{u"Aho Oy"_s, u"a"_s}, {u"Aho"_s, u"z"_s}}
        << QList<QStringList>{{u"Aho"_s, u"z"_s}, {u"Aho Oy"_s, u"a"_s}};
}

void TestCollation::sortRegisterRows()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QList<QStringList>, sorted);

    SortRegisterRows(rows);
    QCOMPARE(rows, sorted);
}

void TestCollation::findNamePrefix_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("found");

    QTest::newRow("small letters find a capital name") << u"ma"_s << u"Maija Mäki"_s;
    QTest::newRow("first of several in order") << u"MATTI"_s << u"Matti Meikäläinen"_s;
    QTest::newRow("longer key picks the other") << u"mattil"_s << u"Mattila Oy"_s;
    QTest::newRow("whole name") << u"matti meikäläinen"_s << u"Matti Meikäläinen"_s;
    QTest::newRow("ä in capitals") << u"ää"_s << u"ÄÄNI OY"_s;
    QTest::newRow("å") << u"å"_s << u"Åke Öhman"_s;
    QTest::newRow("a is not å or ä") << u"a"_s << u"Aho Antti"_s;
    QTest::newRow("punctuation in the key") << u"öljy-"_s << u"Öljy-Pekka"_s;
    QTest::newRow("accent typed") << u"rené"_s << u"René Rouvinen"_s;
    QTest::newRow("accent not typed") << u"rene"_s << u"Rene Rouvinen"_s;
    QTest::newRow("ß is not ss") << u"strasse"_s << QString();
    QTest::newRow("ß typed") << u"STRAß"_s << u"Straße Oy"_s;
    QTest::newRow("th is not þ") << u"thora"_s << QString();
    QTest::newRow("þ typed") << u"þór"_s << u"Þór Ab"_s;
    QTest::newRow("y is not ü") << u"myller"_s << QString();
    QTest::newRow("no-break space is not a blank") << u"Åke\u00a0"_s << QString();
    QTest::newRow("no such name") << u"x"_s << QString();
    QTest::newRow("longer than every name") << u"matti meikäläinenx"_s << QString();
    QTest::newRow("empty key") << QString() << QString();
}

void TestCollation::findNamePrefix()
{
    QFETCH(QString, key);
    QFETCH(QString, found);

    QStringList names{u"Matti Meikäläinen"_s, u"Öljy-Pekka"_s, u"ÄÄNI OY"_s, u"Aho Antti"_s,
                      u"Mattila Oy"_s, u"Åke Öhman"_s, u"Maija Mäki"_s, u"René Rouvinen"_s,
                      u"Rene Rouvinen"_s, u"Straße Oy"_s, u"Þór Ab"_s, u"Müller"_s};
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return CompareNames(a, b) < 0;
    });
    // The heading row first, the empty new-customer row last.
    names.prepend(u"Asiakkaan nimi"_s);
    names.append(QString());

    const int row = FindNamePrefix(sortKeysOf(names), key, 1);
    QCOMPARE(row < 0 ? QString() : names[row], found);
}

void TestCollation::findNamePrefixSkipsRowsBeforeFirst()
{
    const QStringList keys = sortKeysOf({u"Aho"_s, u"Aho"_s, u"Mäki"_s, QString()});
    QCOMPARE(FindNamePrefix(keys, u"aho", 0), 0);
    QCOMPARE(FindNamePrefix(keys, u"aho", 1), 1);
    QCOMPARE(FindNamePrefix(keys, u"aho", 2), -1);
    QCOMPARE(FindNamePrefix(keys, u"mä", 2), 2);
    QCOMPARE(FindNamePrefix(keys, u"mä", 4), -1);
    QCOMPARE(FindNamePrefix(keys, u"mä", 99), -1);
}

void TestCollation::findNamePrefixInEmptyRegister()
{
    const QStringList keys = sortKeysOf({u"Asiakkaan nimi"_s, QString()});
    QCOMPARE(FindNamePrefix(keys, u"a", 1), -1);
    QCOMPARE(FindNamePrefix(keys, u" ", 1), -1);
    QCOMPARE(FindNamePrefix({}, u"a", 0), -1);
}

void TestCollation::everyGeneratedNameIsFoundByItsBeginning_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("everyPrefix");
    QTest::newRow("400 names, every beginning") << 400 << true;
    QTest::newRow("100,000 names, sampled beginnings") << 100000 << false;
}

// Names built from parts that the name order counts as equal (é and e, ß and
// ss, þ and th, ü and y, a blank and a no-break space) or nearly so (v and
// w): each is found by its own beginning in any case, never by its look-alike.
void TestCollation::everyGeneratedNameIsFoundByItsBeginning()
{
    QFETCH(int, count);
    QFETCH(bool, everyPrefix);
    const QStringList parts{u"ma"_s, u"tti"_s, u"mä"_s, u"ki"_s, u"å"_s, u"ke"_s, u"öh"_s,
                            u"ää"_s, u"ni"_s, u"la"_s, u" "_s, u"\u00a0"_s, u"va"_s, u"wa"_s,
                            u"z"_s, u"e"_s, u"é"_s, u"ss"_s, u"ß"_s, u"th"_s, u"þ"_s, u"y"_s,
                            u"ü"_s, u"aa"_s, u"ö"_s};
    // Letter for letter case changes only: ß has no capital of one letter.
    const auto changeCase = [](QString text, bool upper) {
        for (QChar &c : text)
            c = upper ? c.toUpper() : c.toLower();
        return text;
    };
    QRandomGenerator random(20240131);
    QList<QStringList> rows;
    for (int i = 0; i < count; ++i) {
        QString name;
        const int length = 2 + random.bounded(6);
        for (int p = 0; p < length; ++p)
            name += parts[random.bounded(parts.size())];
        if (random.bounded(3) == 0)
            name = changeCase(name, true);
        else
            name[0] = name[0].toUpper();
        rows.append({name, QString::number(random.bounded(3)), QString::number(i + 1)});
    }
    SortRegisterRows(rows);
    QStringList names = nameColumn(rows);
    names.prepend(u"Asiakkaan nimi"_s);
    names.append(QString());
    const QStringList keys = sortKeysOf(names);
    // Finnish order, case ignored: names equal but for case go by their other cells.
    for (qsizetype i = 2; i + 1 < names.size(); ++i)
        QVERIFY2(CompareNames(names[i - 1].toCaseFolded(), names[i].toCaseFolded()) <= 0, qPrintable(names[i]));

    for (qsizetype i = 1; i + 1 < names.size(); ++i) {
        const QString &name = names[i];
        QList<qsizetype> lengths{name.size()};
        if (everyPrefix) {
            for (qsizetype length = 1; length < name.size(); ++length)
                lengths.append(length);
        } else {
            lengths.append(1 + random.bounded(name.size()));
        }
        for (qsizetype length : lengths) {
            const QString prefix = name.left(length);
            for (const QString &typed : {prefix, changeCase(prefix, false), changeCase(prefix, true)}) {
                const int found = FindNamePrefix(keys, typed, 1);
                QVERIFY2(found >= 1 && found <= i, qPrintable(typed));
                const QString wanted = typed.toCaseFolded();
                QVERIFY2(names[found].toCaseFolded().startsWith(wanted), qPrintable(typed));
                if (!everyPrefix)
                    continue;
                for (qsizetype earlier = 1; earlier < found; ++earlier)
                    QVERIFY2(!names[earlier].toCaseFolded().startsWith(wanted), qPrintable(typed));
            }
        }
    }
}

void TestCollation::typedName_data()
{
    // "aho k" typed, the box completed it to "Aho Kalle Oy".
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("completed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("asTyped");
    QTest::newRow("a key typed over the completion") << u"aho k"_s << u"Aho Kalle Oy"_s << u"Aho Kx"_s << u"aho kx"_s;
    QTest::newRow("the completion kept") << u"aho k"_s << u"Aho Kalle Oy"_s << u"Aho Kalle Oy"_s
                                         << u"aho kalle Oy"_s;
    QTest::newRow("backspace") << u"aho k"_s << u"Aho Kalle Oy"_s << u"Aho "_s << u"aho "_s;
    QTest::newRow("edited inside the typed beginning") << u"aho k"_s << u"Aho Kalle Oy"_s << u"Ahx K"_s
                                                       << u"ahx K"_s;
    QTest::newRow("another name over all of it") << u"aho k"_s << u"Aho Kalle Oy"_s << u"Nieminen"_s
                                                 << u"Nieminen"_s;
    QTest::newRow("Finnish letters") << u"ÄIJÄ"_s << u"Äijälä Ån"_s << u"Äijälö"_s << u"ÄIJÄlö"_s;
    QTest::newRow("nothing completed") << QString() << QString() << u"ABC Oy"_s << u"ABC Oy"_s;
}

void TestCollation::typedName()
{
    QFETCH(QString, typed);
    QFETCH(QString, completed);
    QFETCH(QString, text);
    QFETCH(QString, asTyped);
    QCOMPARE(TypedName(typed, completed, text), asTyped);
}

QTEST_APPLESS_MAIN(TestCollation)
#include "tst_collation.moc"
