// Printing to a real print system: a print server of the test's own with one
// queue that accepts jobs and one that refuses them. A job the queue refuses
// is reported, never taken for printed.

#include "storage/cp1252.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"

#include <QAction>
#include <QLabel>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kAccepting = u"hyvaksyy"_s;
const QString kRefusing = u"hylkaa"_s;
const QString kPackages = u"cups cups-client cups-bsd"_s;

QString tool(const QString &name)
{
    return QStandardPaths::findExecutable(name, {u"/usr/sbin"_s, u"/usr/bin"_s, u"/usr/local/sbin"_s,
                                                 u"/usr/local/bin"_s, u"/sbin"_s, u"/bin"_s});
}

void writeText(const QString &path, const QString &text)
{
    writeBytes(path, text.toUtf8());
}

} // namespace

class PrintQueueTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void printingReachesThePrintSystem_data();
    void printingReachesThePrintSystem();
    void printDialogKeepsTheQueueAndOffersTheFile();

private:
    /// Runs a command-line tool of the print system against the test's server.
    QString run(const QString &name, const QStringList &arguments);
    /// The jobs of a queue, finished ones included, one line each.
    QStringList jobs(const QString &queue);
    /// Jobs the server has turned away so far, as its log tells.
    qsizetype refusals() const;

    QTemporaryDir m_server;
    QProcess m_cupsd;
};

QString PrintQueueTest::run(const QString &name, const QStringList &arguments)
{
    const QString program = tool(name);
    if (program.isEmpty()) {
        QTest::qFail(qPrintable(name + u" missing: install "_s + kPackages), __FILE__, __LINE__);
        return QString();
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QTest::qFail(qPrintable(name + u' ' + arguments.join(u' ') + u": "_s
                                + QString::fromLocal8Bit(process.readAllStandardError())),
                     __FILE__, __LINE__);
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QStringList PrintQueueTest::jobs(const QString &queue)
{
    return run(u"lpstat"_s, {u"-W"_s, u"all"_s, u"-o"_s, queue}).split(u'\n', Qt::SkipEmptyParts);
}

qsizetype PrintQueueTest::refusals() const
{
    return readBytes(QDir(m_server.path()).filePath(u"log/error_log"_s)).count("server-error-not-accepting-jobs");
}

void PrintQueueTest::initTestCase()
{
    // The server runs in the foreground as this test's child, with every
    // folder and its socket in a folder of its own; the jobs go nowhere.
    const QString cupsd = tool(u"cupsd"_s);
    QVERIFY2(!cupsd.isEmpty(), qPrintable(u"cupsd missing: install "_s + kPackages));
    QVERIFY(m_server.isValid());
    // The server's helpers run as another user and must reach their folders.
    QFile::setPermissions(m_server.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                               | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                               | QFileDevice::ReadOther | QFileDevice::ExeOther);
    const QDir root(m_server.path());
    for (const QString &folder : {u"etc"_s, u"log"_s, u"tmp"_s, u"spool"_s, u"state"_s, u"cache"_s})
        QVERIFY(root.mkpath(folder));
    const QString socket = root.filePath(u"cups.sock"_s);
    writeText(root.filePath(u"etc/cupsd.conf"_s),
              u"Listen %1\nLogLevel warn\nBrowsing No\nWebInterface No\n"
              "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
              "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n"_s.arg(socket));
    writeText(root.filePath(u"etc/cups-files.conf"_s),
              u"ServerRoot %1/etc\nStateDir %1/state\nCacheDir %1/cache\nRequestRoot %1/spool\nTempDir %1/tmp\n"
              "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\nPageLog %1/log/page_log\n"
              "FileDevice Yes\nSystemGroup root\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"_s.arg(root.path()));
    m_cupsd.setProcessChannelMode(QProcess::ForwardedChannels);
    m_cupsd.start(cupsd, {u"-f"_s, u"-c"_s, root.filePath(u"etc/cupsd.conf"_s), u"-s"_s,
                          root.filePath(u"etc/cups-files.conf"_s)});
    QVERIFY2(m_cupsd.waitForStarted(), qPrintable(m_cupsd.errorString()));
    QTRY_VERIFY2(QFileInfo::exists(socket) || m_cupsd.state() == QProcess::NotRunning, "cupsd never listened");
    QVERIFY2(m_cupsd.state() == QProcess::Running, readBytes(root.filePath(u"log/error_log"_s)).constData());

    // Both the tools and the program, whose print system is read at its
    // first printer, talk to this server only.
    qputenv("CUPS_SERVER", socket.toLocal8Bit());
    for (const QString &queue : {kAccepting, kRefusing})
        run(u"lpadmin"_s, {u"-p"_s, queue, u"-E"_s, u"-v"_s, u"file:/dev/null"_s});
    run(u"cupsreject"_s, {kRefusing});
}

void PrintQueueTest::cleanupTestCase()
{
    m_cupsd.terminate();
    m_cupsd.waitForFinished();
}

void PrintQueueTest::printingReachesThePrintSystem_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<int>("refused");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("numberAfter");
    const QString refused = u"Tulostin hylkaa ei ottanut tulostusta vastaan. Laskua ei tulostettu."_s;
    QTest::newRow("Tulosta, accepted: the invoice and its copies, no message")
        << kAccepting << false << 2 << 0 << QString() << u"1"_s;
    QTest::newRow("Tulosta, refused: reported once, no copies tried")
        << kRefusing << false << 0 << 1 << refused << u"1"_s;
    QTest::newRow("VALMIS/TALLENNA, accepted: printed, the next invoice")
        << kAccepting << true << 2 << 0 << QString() << u"2"_s;
    QTest::newRow("VALMIS/TALLENNA, refused: saved and the next invoice, as when not printed")
        << kRefusing << true << 0 << 1 << refused << u"2"_s;
}

void PrintQueueTest::printingReachesThePrintSystem()
{
    QFETCH(QString, queue);
    QFETCH(bool, save);
    QFETCH(int, jobs);
    QFETCH(int, refused);
    QFETCH(QString, message);
    QFETCH(QString, numberAfter);
    QTemporaryDir data;
    FormFixture f(stringToCp1252(u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(data.path()) + QDir::separator()
                                 + u"\r\n[Laskuttaja]\r\nKopiot=1\r\n"_s));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.AsiakNimi1->setEditText(u"Nieminen Oy"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"24"_s, u"100,00"_s});
    const qsizetype before = this->jobs(queue).size();
    const qsizetype refusedBefore = refusals();
    f.prompter().answerPrintQueue(queue);

    if (save)
        QTest::mouseClick(form.Valmis1, Qt::LeftButton);
    else
        chooseFromMenuBar(form, {u"Tiedosto"_s, u"Tulosta"_s});

    QCOMPARE(f.prompter().takeMessages(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(this->jobs(queue).size() - before, jobs);
    QCOMPARE(refusals() - refusedBefore, refused);
    QCOMPARE(QFileInfo::exists(data.filePath(u"2026/1.csv"_s)), save);
    QCOMPARE(form.LaskuNro1->text(), numberAfter);
    QCOMPARE(form.Lasku1->text(), u"LASKU"_s);
}

// Qt's own print dialog with a print queue: the queue stays chosen, the
// file field holds the invoice's PDF for a printer that writes a file, and
// the invoice goes to the queue, not into that file.
void PrintQueueTest::printDialogKeepsTheQueueAndOffersTheFile()
{
    run(u"lpadmin"_s, {u"-d"_s, kAccepting});
    QTemporaryDir data;
    FormFixture f(stringToCp1252(u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(data.path()) + QDir::separator()
                                 + u"\r\n[Laskuttaja]\r\nKopiot=1\r\n"_s));
    TForm1 &form = f.form();
    QVERIFY(f.show());
    form.AsiakNimi1->setEditText(u"Nieminen Oy"_s);
    form.LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"24"_s, u"100,00"_s});
    const qsizetype before = jobs(kAccepting).size();
    QString shownFile;
    QString shownPrinter;
    f.prompter().printDialog = [&](QWidget *parent, QPrinter &printer) {
        QPrintDialog dialog(&printer, parent);
        QTimer::singleShot(0, &dialog, [&] {
            if (const auto *file = dialog.findChild<QLineEdit *>(u"filename"_s))
                shownFile = file->text();
            if (const auto *printers = dialog.findChild<QComboBox *>(u"printers"_s))
                shownPrinter = printers->currentText();
            dialog.accept();
        });
        return dialog.exec() == QDialog::Accepted;
    };

    QTest::mouseClick(form.Valmis1, Qt::LeftButton);

    const QString pdf = data.filePath(u"2026/1.pdf"_s);
    QCOMPARE(shownPrinter, kAccepting);
    QCOMPARE(shownFile, QDir::toNativeSeparators(pdf));
    QCOMPARE(jobs(kAccepting).size() - before, 2);
    QVERIFY(!QFileInfo::exists(pdf));
    QCOMPARE(form.LaskuNro1->text(), u"2"_s);
}

QTEST_MAIN(PrintQueueTest)
#include "tst_printqueue.moc"
