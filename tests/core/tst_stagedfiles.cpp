// A batch of files written whole: nothing under a final name before the
// batch is committed, nothing left behind when it is not.

#include "storage/stagedfiles.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestStagedFiles : public QObject
{
    Q_OBJECT

private slots:
    void filesTakeTheirNamesAtCommit_data();
    void filesTakeTheirNamesAtCommit();
};

void TestStagedFiles::filesTakeTheirNamesAtCommit_data()
{
    QTest::addColumn<bool>("committed");
    QTest::addColumn<bool>("olderFile");
    QTest::newRow("new files, committed") << true << false;
    QTest::newRow("an older file replaced at commit") << true << true;
    QTest::newRow("never committed, an older file kept") << false << true;
}

void TestStagedFiles::filesTakeTheirNamesAtCommit()
{
    QFETCH(bool, committed);
    QFETCH(bool, olderFile);
    QTemporaryDir dir;
    const QString first = dir.filePath(u"1.pdf"_s);
    const QString second = dir.filePath(u"2.pdf"_s);
    const QByteArray older = "%PDF-1.4 aiempi";
    if (olderFile)
        writeBytes(first, older);
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    {
        StagedFiles staging;
        QVERIFY(staging.Stage(first, "%PDF-1.4 yksi"));
        QVERIFY(staging.Stage(second, "%PDF-1.4 kaksi"));
        QVERIFY(!staging.Stage(dir.filePath(u"puuttuu/3.pdf"_s), "%PDF-1.4 kolme"));
        // Staged, the files are whole beside their names, which are untouched.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), before.size() + 2);
        QCOMPARE(readBytes(first), olderFile ? older : QByteArray());
        QVERIFY(!QFile::exists(second));
        if (committed)
            QCOMPARE(staging.Commit(), QStringList());
    }
    if (committed) {
        QCOMPARE(readBytes(first), QByteArray("%PDF-1.4 yksi"));
        QCOMPARE(readBytes(second), QByteArray("%PDF-1.4 kaksi"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{u"1.pdf"_s, u"2.pdf"_s}));
    } else {
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
        QCOMPARE(readBytes(first), older);
    }
}

QTEST_APPLESS_MAIN(TestStagedFiles)
#include "tst_stagedfiles.moc"
