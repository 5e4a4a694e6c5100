// A batch of files written whole: nothing under a final name before the
// batch is committed, nothing left behind when it is not, and what a killed
// batch left removed by the next one, and only that.

#include "storage/stagedfiles.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestStagedFiles : public QObject
{
    Q_OBJECT

private slots:
    void filesTakeTheirNamesAtCommit_data();
    void filesTakeTheirNamesAtCommit();
    void leftoversOfAKilledBatchRemoved();
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

namespace {

// The files of a folder, hidden ones too, by name.
QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

// Stages the files in a child process, which is then killed before it
// commits: what such a batch leaves in the folder.
void stageAndBeKilled(const QStringList &paths)
{
    int ready[2];
    QVERIFY(::pipe(ready) == 0);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        ::close(ready[0]);
        StagedFiles staging;
        for (const QString &path : paths)
            staging.Stage(path, "%PDF-1.4 kesken");
        if (::write(ready[1], "x", 1) != 1)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char byte = 0;
    QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
    ::close(ready[0]);
    QCOMPARE(::kill(child, SIGKILL), 0);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
}

} // namespace

// A batch killed part way leaves its temporary files and its lock; the next
// batch into the folder removes exactly those, while the files of a batch
// still running and the user's files that only look alike stay.
void TestStagedFiles::leftoversOfAKilledBatchRemoved()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(u"1.pdf"_s);
    const QString second = dir.filePath(u"2.pdf"_s);
    const QStringList lookalikes = {u"1.pdf.b3ec22d9"_s, u"2.pdf.laskutus-0123456789abcdef.tmp"_s,
                                    u".laskutus-fedcba9876543210.lock"_s, u"3.pdf.laskutus-fedcba9876543210.tmp"_s,
                                    u"muistio.laskutus-.tmp"_s};
    for (const QString &name : lookalikes)
        writeBytes(dir.filePath(name), "käyttäjän tiedosto");
    const QStringList before = filesIn(dir.path());

    stageAndBeKilled({first, second});
    QStringList left = filesIn(dir.path());
    for (const QString &name : before)
        left.removeOne(name);
    // Two temporary files and one lock, named for the batch.
    QCOMPARE(left.size(), 3);
    const QString lock = left.constFirst();
    QVERIFY2(lock.startsWith(u".laskutus-"_s) && lock.endsWith(u".lock"_s), qPrintable(lock));
    const QString token = lock.mid(10, 16);
    QCOMPARE(left.mid(1), (QStringList{u"1.pdf.laskutus-%1.tmp"_s.arg(token), u"2.pdf.laskutus-%1.tmp"_s.arg(token)}));

    // A link named as the killed batch's files is none of them.
    const QString link = u"3.pdf.laskutus-%1.tmp"_s.arg(token);
    QVERIFY(QFile::link(dir.filePath(u"1.pdf.b3ec22d9"_s), dir.filePath(link)));

    // A batch of this process stages the same name twice meanwhile, the
    // later bytes taking the place of the earlier.
    StagedFiles running;
    QVERIFY(running.Stage(first, "%PDF-1.4 ensin"));
    QVERIFY(running.Stage(first, "%PDF-1.4 uusi"));
    const QStringList whileRunning = filesIn(dir.path());
    QCOMPARE(whileRunning.size(), before.size() + left.size() + 1 + 2);

    QStringList removed = StagedFiles::RemoveLeftovers(dir.path());
    removed.sort();
    QCOMPARE(removed, (QStringList{dir.filePath(left[1]), dir.filePath(left[2])}));
    QStringList expected = whileRunning;
    for (const QString &name : left)
        expected.removeOne(name);
    QCOMPARE(filesIn(dir.path()), expected);
    QCOMPARE(StagedFiles::RemoveLeftovers(dir.path()), QStringList());

    QCOMPARE(running.Commit(), QStringList());
    QStringList committed = before + QStringList{u"1.pdf"_s, link};
    committed.sort();
    QCOMPARE(filesIn(dir.path()), committed);
    QCOMPARE(readBytes(first), QByteArray("%PDF-1.4 uusi"));
    for (const QString &name : lookalikes)
        QCOMPARE(readBytes(dir.filePath(name)), QByteArray("käyttäjän tiedosto"));
}

QTEST_APPLESS_MAIN(TestStagedFiles)
#include "tst_stagedfiles.moc"
