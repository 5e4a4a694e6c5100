// File names decided at start-up and the help window.

#include "app/settingsrules.h"
#include "app/startup.h"
#include "tests/support/formfixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void fileNames_data();
    void fileNames();
    void brightnessLevels();
    void helpOpensFileBesideProgram();
    void missingHelpFileIsReported();
    void closingEndsProgramWithHelpOpen_data();
    void closingEndsProgramWithHelpOpen();
    void settingsThatAreNoFileAreNotRead_data();
    void settingsThatAreNoFileAreNotRead();
};

void StartupTest::fileNames_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("help");
    QTest::newRow("no arguments") << u"/opt/apps/billing.exe"_s << QStringList() << u"/opt/apps/billing.INI"_s
                                  << u"/opt/apps/billing.html"_s;
    QTest::newRow("profile, further arguments ignored")
        << u"/opt/apps/billing.exe"_s << QStringList{u"firma2"_s, u"x"_s} << u"/opt/apps/firma2.ini"_s
        << u"/opt/apps/billing.html"_s;
    QTest::newRow("name without extension") << u"/usr/bin/laskutus"_s << QStringList() << u"/usr/bin/laskutus.INI"_s
                                            << u"/usr/bin/laskutus.html"_s;
    QTest::newRow("dot in folder only") << u"/opt/v1.2/laskutus"_s << QStringList() << u"/opt/v1.2/laskutus.INI"_s
                                        << u"/opt/v1.2/laskutus.html"_s;
}

void StartupTest::fileNames()
{
    QFETCH(QString, executable);
    QFETCH(QStringList, arguments);
    QFETCH(QString, settings);
    QFETCH(QString, help);
    QCOMPARE(SettingsFileNameFor(executable, arguments), settings);
    QCOMPARE(HelpFileNameFor(executable), help);
}

void StartupTest::brightnessLevels()
{
    const QList<int> expected = {0, 26, 52, 78, 104, 130, 156, 182, 208, 234, 255};
    for (int step = 0; step <= 10; ++step)
        QCOMPARE(BrightnessLevel(step), expected[step]);
    QCOMPARE(BrightnessLevel(15), 255);
    QCOMPARE(BrightnessLevel(-2), 0);
    QCOMPARE(PixelsPerMm(96), 4);
    QCOMPARE(PixelsPerMm(600), 24);
}

void StartupTest::helpOpensFileBesideProgram()
{
    FormFixture f;
    QFile help(f.form().HelpFileName);
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.write("<html><body><h1>Laskutus – ohje</h1></body></html>");
    help.close();
    f.form().Ohje1->trigger();
    auto *browser = f.form().findChild<QTextBrowser *>();
    QVERIFY(!browser);
    const auto windows = QApplication::topLevelWidgets();
    QTextBrowser *shown = nullptr;
    for (QWidget *w : windows) {
        if (auto *b = qobject_cast<QTextBrowser *>(w))
            shown = b;
    }
    QVERIFY(shown);
    QVERIFY(shown->isVisible());
    QVERIFY(shown->toPlainText().contains(u"ohje"_s));
    QCOMPARE(f.prompter().takeMessages(), QStringList());
}

void StartupTest::missingHelpFileIsReported()
{
    FormFixture f;
    f.form().Ohje1->trigger();
    QCOMPARE(f.prompter().takeMessages(), QStringList{u"Ohjetiedostoa ei löydy:\r\n"_s + f.form().HelpFileName});
}

void StartupTest::closingEndsProgramWithHelpOpen_data()
{
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("Sulje") << true;
    QTest::newRow("the window's close button") << false;
}

void StartupTest::closingEndsProgramWithHelpOpen()
{
    QFETCH(bool, byMenu);
    FormFixture f;
    QVERIFY(f.show());
    QFile help(f.form().HelpFileName);
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.write("<html><body>ohje</body></html>");
    help.close();
    f.form().Ohje1->trigger();
    QWidget *helpWindow = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QTextBrowser *>(w) && w->isVisible())
            helpWindow = w;
    QVERIFY(helpWindow);

    // Closed from inside the running program, which must then end by itself.
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    bool stillRunning = false;
    QTimer::singleShot(0, &f.form(), [&f, byMenu] {
        if (byMenu)
            f.form().Sulje1->trigger();
        else
            f.form().windowHandle()->close();
    });
    QTimer::singleShot(3000, qApp, [&stillRunning] {
        stillRunning = true;
        QApplication::quit();
    });
    QApplication::setQuitOnLastWindowClosed(true);
    QApplication::exec();
    QVERIFY(!stillRunning);
    QCOMPARE(lastClosed.size(), 1);
    QVERIFY(!f.form().isVisible());
    QVERIFY(!helpWindow->isVisible());
    // The grid layout was written on the way out.
    QVERIFY(f.settingsBytes().contains("ColWidth6="));
}

void StartupTest::settingsThatAreNoFileAreNotRead_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("a FIFO") << true;
    QTest::newRow("a folder") << false;
}

void StartupTest::settingsThatAreNoFileAreNotRead()
{
    QFETCH(bool, fifo);
    QTemporaryDir dir;
    const QString settings = dir.filePath(u"laskutus.INI"_s);
    if (fifo)
        QCOMPARE(mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    else
        QVERIFY(QDir(dir.path()).mkdir(u"laskutus.INI"_s));
    auto prompter = std::make_unique<ScriptedPrompter>();
    ScriptedPrompter &answers = *prompter;
    {
        // Reading a FIFO would wait here for a writer that never comes.
        TForm1 form(StartupOptions{dir.filePath(u"laskutus"_s), {}}, std::move(prompter));
        QCOMPARE(answers.takeMessages(), QStringList{u"Cannot open file "_s + QDir::toNativeSeparators(settings)});
        QCOMPARE(form.YritNimi1->text(), u"Nimi?"_s);
        // Closing writes the grid layout, which is refused rather than put
        // in place of what is there.
        form.close();
        QCOMPARE(answers.takeMessages(), QStringList{u"Unable to write to "_s + QDir::toNativeSeparators(settings)});
    }
    const QFileInfo after(settings);
    QVERIFY(after.exists() && !after.isFile());
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
