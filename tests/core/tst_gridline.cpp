// The grid line format: writing cells, cutting lines into fields, reading
// fields into cells.

#include "storage/gridline.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestGridLine : public QObject
{
    Q_OBJECT

private slots:
    void formatCellsLine_data();
    void formatCellsLine();
    void appendCellsLine_data();
    void appendCellsLine();
    void splitGridLine_data();
    void splitGridLine();
    void splitGridLineUpTo_data();
    void splitGridLineUpTo();
    void emptyGridLine_data();
    void emptyGridLine();
    void readLineIntoCells_data();
    void readLineIntoCells();
    void writtenRowReadsBack_data();
    void writtenRowReadsBack();
    void lineBreakInCellKeepsOneLine();
    void hugeLinesAreCutInLinearTime_data();
    void hugeLinesAreCutInLinearTime();
};

void TestGridLine::formatCellsLine_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("line");

    QTest::newRow("bare words") << QStringList{u"ABC"_s, u"12"_s, u"kpl"_s} << u"ABC,12,kpl"_s;
    QTest::newRow("blank in name is quoted") << QStringList{u"Matti Meikäläinen"_s, u"Oy"_s}
                                             << u"\"Matti Meikäläinen\",Oy"_s;
    QTest::newRow("comma is quoted") << QStringList{u"12,50"_s} << u"\"12,50\""_s;
    QTest::newRow("inner quotes doubled") << QStringList{u"Oy \"Paras\" Ab"_s}
                                          << u"\"Oy \"\"Paras\"\" Ab\""_s;
    QTest::newRow("lone quote") << QStringList{u"\""_s} << u"\"\"\"\""_s;
    QTest::newRow("placeholder blank") << QStringList{u" "_s, u"x"_s} << u"\" \",x"_s;
    QTest::newRow("empty text") << QStringList{QString()} << u"\"\""_s;
    QTest::newRow("tab is quoted") << QStringList{u"a\tb"_s} << u"\"a\tb\""_s;
    QTest::newRow("euro and no-break space stay bare") << QStringList{u"10\u00a0000\u20ac"_s}
                                                       << u"10\u00a0000\u20ac"_s;
    QTest::newRow("no cells") << QStringList{} << QString();
}

void TestGridLine::formatCellsLine()
{
    QFETCH(QStringList, cells);
    QFETCH(QString, line);
    QCOMPARE(FormatCellsLine(cells), line);
}

void TestGridLine::appendCellsLine_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("always");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("no cells, even always") << QStringList{} << true << QStringList{};
    QTest::newRow("all empty") << QStringList{u""_s, u""_s} << false << QStringList{};
    QTest::newRow("all empty, always") << QStringList{u""_s, u""_s} << true << QStringList{u"\" \",\" \""_s};
    QTest::newRow("quantity 2 alone is not worth it")
        << QStringList{u""_s, u""_s, u"2"_s, u""_s} << false << QStringList{};
    QTest::newRow("quantity 10 alone is")
        << QStringList{u""_s, u""_s, u"10"_s, u""_s} << false << QStringList{u"\" \",\" \",10,\" \""_s};
    QTest::newRow("placeholders read back are not written again")
        << QStringList{u" "_s, u" "_s, u"x"_s} << false << QStringList{};
}

void TestGridLine::appendCellsLine()
{
    QFETCH(QStringList, cells);
    QFETCH(bool, always);
    QFETCH(QStringList, lines);

    QStringList written{u"first"_s};
    const bool appended = AppendCellsLine(cells, written, always);
    QCOMPARE(appended, !lines.isEmpty());
    QCOMPARE(written, QStringList{u"first"_s} + lines);
}

void TestGridLine::splitGridLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("empty line") << QString() << QStringList{};
    QTest::newRow("only blanks") << u"  \t "_s << QStringList{};
    QTest::newRow("bare fields") << u"a,b,c"_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("blanks around commas") << u"  a , b\t,c  "_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("bare field ends at a blank") << u"ab cd"_s << QStringList{u"ab"_s, u"cd"_s};
    QTest::newRow("quoted with comma and blank") << u"\"Oy Ab, Turku\",x"_s
                                                 << QStringList{u"Oy Ab, Turku"_s, u"x"_s};
    QTest::newRow("doubled quotes") << u"\"say \"\"hi\"\"\""_s << QStringList{u"say \"hi\""_s};
    QTest::newRow("two commas give an empty field") << u"a,,b"_s << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("leading comma gives an empty field") << u",a"_s << QStringList{QString(), u"a"_s};
    QTest::newRow("comma at the end gives nothing") << u"a,b,"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("quoted empty fields count") << u"\"57\",\"\",\"\",\"x\""_s
                                               << QStringList{u"57"_s, QString(), QString(), u"x"_s};
    QTest::newRow("unclosed quote runs to the end") << u"a,\"b, c"_s << QStringList{u"a"_s, u"b, c"_s};
    QTest::newRow("text after a closing quote is a new field") << u"\"ab\"cd"_s
                                                               << QStringList{u"ab"_s, u"cd"_s};
    QTest::newRow("placeholder") << u"\" \",x"_s << QStringList{u" "_s, u"x"_s};
    QTest::newRow("NUL counts as a blank") << u"\0a,b\0,c\0d"_s
                                           << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
    QTest::newRow("NUL inside quotes is a blank") << u"\"a\0b\",c"_s << QStringList{u"a b"_s, u"c"_s};
}

void TestGridLine::splitGridLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitGridLine(line), fields);
}

void TestGridLine::splitGridLineUpTo_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("maxFields");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("fields after the most not read") << u"\"57\",\"1.2.2026\",x,y"_s << 2
                                                    << QStringList{u"57"_s, u"1.2.2026"_s};
    QTest::newRow("a huge line read only as far as needed") << u"a,"_s.repeated(1000000) << 5
                                                            << QStringList(5, u"a"_s);
}

void TestGridLine::splitGridLineUpTo()
{
    QFETCH(QString, line);
    QFETCH(int, maxFields);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitGridLine(line, maxFields), fields);
}

void TestGridLine::emptyGridLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("empty");

    QTest::newRow("nothing") << QString() << true;
    QTest::newRow("control characters and NULs") << u"\0\u0001\f\0"_s << true;
    QTest::newRow("empty quoted fields") << u"\"\",\"\" , \"\""_s << true;
    QTest::newRow("unclosed quote with nothing after it") << u" ,\""_s << true;
    QTest::newRow("placeholder blank") << u"\" \""_s << false;
    QTest::newRow("NUL inside quotes is a blank") << u"\"\0\""_s << false;
    QTest::newRow("doubled quote is a quote") << u"\"\"\"\""_s << false;
}

void TestGridLine::emptyGridLine()
{
    QFETCH(QString, line);
    QFETCH(bool, empty);
    QCOMPARE(IsEmptyGridLine(line), empty);
    // Empty exactly when no cell of the row it gives holds text.
    QCOMPARE(ReadLineIntoCells(line, 7).join(QString()).isEmpty(), empty);
}

void TestGridLine::readLineIntoCells_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("cellCount");
    QTest::addColumn<QStringList>("cells");

    QTest::newRow("fewer fields leave cells empty")
        << u"a,b"_s << 4 << QStringList{u"a"_s, u"b"_s, QString(), QString()};
    QTest::newRow("extra fields dropped")
        << u"1,2,3,4,5,6,7,8"_s << 6 << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s};
    QTest::newRow("empty field uses up no cell")
        << u"a,,b"_s << 3 << QStringList{u"a"_s, u"b"_s, QString()};
    QTest::newRow("quoted empty field uses up no cell")
        << u"\"\",b"_s << 2 << QStringList{u"b"_s, QString()};
    QTest::newRow("placeholders keep their cells")
        << u"\" \",\" \",2,kpl"_s << 4 << QStringList{u" "_s, u" "_s, u"2"_s, u"kpl"_s};
    QTest::newRow("unclosed quote takes the rest")
        << u"x,\"Katu 1, A 2"_s << 3 << QStringList{u"x"_s, u"Katu 1, A 2"_s, QString()};
    QTest::newRow("bare name of two words takes two cells")
        << u"Matti Meikäläinen,Katu"_s << 3 << QStringList{u"Matti"_s, u"Meikäläinen"_s, u"Katu"_s};
    QTest::newRow("no cells") << u"a,b"_s << 0 << QStringList{};
    QTest::newRow("text after a NUL kept")
        << u"a\0b,\0,\"c\0\",d"_s << 4 << QStringList{u"a"_s, u"b"_s, u"c "_s, u"d"_s};
}

void TestGridLine::readLineIntoCells()
{
    QFETCH(QString, line);
    QFETCH(int, cellCount);
    QFETCH(QStringList, cells);
    QCOMPARE(ReadLineIntoCells(line, cellCount), cells);
}

void TestGridLine::writtenRowReadsBack_data()
{
    QTest::addColumn<QStringList>("row");

    QTest::newRow("invoice row") << QStringList{u"A-12"_s, u"Työtunnit, ilta"_s, u"2,5"_s, u"h"_s,
                                                u"45,00"_s, u"24"_s, u"139,50"_s};
    QTest::newRow("empty cells between values") << QStringList{u""_s, u"Selite"_s, u""_s, u""_s,
                                                               u"10,00"_s, u""_s, u""_s};
    QTest::newRow("quotes and commas in a name") << QStringList{u"Oy \"Paras\", Ab"_s, u"\"\""_s,
                                                                u",,"_s, u"\""_s};
    QTest::newRow("leading and trailing blanks") << QStringList{u"  x "_s, u"\t"_s, u"ä ö å"_s};
}

void TestGridLine::writtenRowReadsBack()
{
    QFETCH(QStringList, row);

    QStringList lines;
    QVERIFY(AppendCellsLine(row, lines, true));
    QCOMPARE(lines.size(), 1);

    QStringList expected = row;
    for (QString &cell : expected) {
        if (cell.isEmpty())
            cell = u" "_s;
    }
    QCOMPARE(ReadLineIntoCells(lines.first(), int(row.size())), expected);
}

void TestGridLine::lineBreakInCellKeepsOneLine()
{
    const QString line = FormatCellsLine({u"Katu 1\r\nA 2"_s, u"x\0y"_s});
    QVERIFY(!line.contains(u'\r'));
    QVERIFY(!line.contains(u'\n'));
    QVERIFY(!line.contains(QChar(u'\0')));
    QCOMPARE(ReadLineIntoCells(line, 2), (QStringList{u"Katu 1  A 2"_s, u"x y"_s}));
}

void TestGridLine::hugeLinesAreCutInLinearTime_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("fieldCount");
    QTest::addColumn<int>("totalLength");

    const int n = 200000;
    QTest::newRow("only quotes") << QString(n, u'"') << 1 << n / 2 - 1;
    QTest::newRow("only commas") << QString(n, u',') << n << 0;
    QTest::newRow("only blanks") << QString(n, u' ') << 0 << 0;
    QTest::newRow("one long bare field") << QString(n, u'x') << 1 << n;
    QTest::newRow("unclosed quote") << u"\""_s + QString(n, u'y') << 1 << n;
    QTest::newRow("many short fields") << u"ab,"_s.repeated(n / 3) << n / 3 << 2 * (n / 3);
}

void TestGridLine::hugeLinesAreCutInLinearTime()
{
    QFETCH(QString, line);
    QFETCH(int, fieldCount);
    QFETCH(int, totalLength);

    const QStringList fields = SplitGridLine(line);
    QCOMPARE(fields.size(), fieldCount);
    qsizetype length = 0;
    for (const QString &field : fields)
        length += field.size();
    QCOMPARE(length, totalLength);
}

QTEST_APPLESS_MAIN(TestGridLine)
#include "tst_gridline.moc"
