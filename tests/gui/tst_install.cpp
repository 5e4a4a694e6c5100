// An installed program keeps the user's settings and invoices in the user's
// folders and finds its help in the data folder; a copy in a folder of its
// own keeps them beside itself.

#include "app/Unit1.h"
#include "tests/support/scriptedprompter.h"
#include "tests/support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class InstallTest : public QObject
{
    Q_OBJECT

private slots:
    void filesGoWhereTheUserMayWrite_data();
    void filesGoWhereTheUserMayWrite();
};

void InstallTest::filesGoWhereTheUserMayWrite_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("saveFolder");
    QTest::addColumn<QString>("help");
    // usr/bin is never made: like /usr/bin for a user, nothing can be written there.
    QTest::newRow("installed") << u"usr/bin/laskutus"_s << QStringList() << u"home/.config/Laskutus/laskutus.INI"_s
                               << u"home/Documents/"_s << u"usr/share/laskutus/laskutus.html"_s;
    QTest::newRow("installed, profile") << u"usr/bin/laskutus"_s << QStringList{u"firma2"_s}
                                        << u"home/.config/Laskutus/firma2.ini"_s << u"home/Documents/"_s
                                        << u"usr/share/laskutus/laskutus.html"_s;
    QTest::newRow("copy in a folder of its own") << u"own/laskutus"_s << QStringList() << u"own/laskutus.INI"_s
                                                 << u"home/Documents/"_s << u"own/laskutus.html"_s;
}

void InstallTest::filesGoWhereTheUserMayWrite()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, settings);
    QFETCH(QString, saveFolder);
    QFETCH(QString, help);
    // A made-up machine with a home folder of its own: no real user's file is touched.
    QTemporaryDir root;
    const QDir machine(root.path());
    machine.mkpath(u"own"_s);
    machine.mkpath(u"usr/share/laskutus"_s);
    writeBytes(machine.filePath(help), "<html>ohje</html>");
    qputenv("HOME", machine.filePath(u"home"_s).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", machine.filePath(u"home/.config"_s).toLocal8Bit());
    // As the program names itself, which names the configuration folder.
    QCoreApplication::setApplicationName(u"Laskutus"_s);

    auto prompter = std::make_unique<ScriptedPrompter>();
    prompter->answerFolder(QString());
    TForm1 form(StartupOptions{machine.filePath(program), arguments}, std::move(prompter));
    QCOMPARE(form.IniFileName, QDir::toNativeSeparators(machine.filePath(settings)));
    QCOMPARE(form.HelpFileName, QDir::toNativeSeparators(machine.filePath(help)));

    form.AskSaveFolder();
    QCOMPARE(form.DataDir, QDir::toNativeSeparators(machine.filePath(saveFolder)));
    QVERIFY(QFileInfo::exists(machine.filePath(saveFolder)));

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.close();
    QVERIFY(readBytes(machine.filePath(settings)).contains("ColWidth6="));
    QVERIFY(!machine.exists(u"usr/bin"_s));
}

QTEST_MAIN(InstallTest)
#include "tst_install.moc"
