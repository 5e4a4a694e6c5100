// File names decided at start-up, the help window, and Qt's own dialogs
// in Finnish with room for their titles.

#include "app/prompter.h"
#include "app/settingsrules.h"
#include "app/startup.h"
#include "tests/support/formfixture.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTranslator>
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
    void qtDialogsSpeakFinnish();
    void inputDialogHasRoomForItsTitle_data();
    void inputDialogHasRoomForItsTitle();
};

namespace {

// The buttons' texts of a dialog's button box, in the order they stand.
QStringList buttonTexts(const QWidget *dialog)
{
    QStringList texts;
    if (const auto *box = dialog->findChild<QDialogButtonBox *>()) {
        for (const QAbstractButton *button : box->buttons())
            texts.append(button->text());
    }
    return texts;
}

} // namespace

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

// As the program starts: Qt's Finnish texts, with the program's one word for
// Cancel, and the folder dialog's type column in Finnish too.
void StartupTest::qtDialogsSpeakFinnish()
{
    InstallFinnishQtTexts(*qApp);
    const auto removeTexts = qScopeGuard([] {
        for (QTranslator *texts : qApp->findChildren<QTranslator *>())
            QCoreApplication::removeTranslator(texts);
    });
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(u"2026"_s));

    QFileDialog dialog(nullptr, u"Anna tallennuskansio"_s, folder.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setViewMode(QFileDialog::Detail);
    auto *files = dialog.findChild<QFileSystemModel *>();
    QVERIFY(files);
    const QModelIndex year = files->index(folder.filePath(u"2026"_s));
    QTRY_COMPARE(files->data(year.siblingAtColumn(2)).toString(), u"Kansio"_s);
    QCOMPARE(files->headerData(2, Qt::Horizontal).toString(), u"Tyyppi"_s);
    QCOMPARE(buttonTexts(&dialog), (QStringList{u"&Valitse"_s, u"Peruuta"_s}));

    QInputDialog input;
    input.show();
    QCOMPARE(buttonTexts(&input), (QStringList{u"OK"_s, u"Peruuta"_s}));
    QDialogButtonBox answers(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
    QCOMPARE(answers.button(QDialogButtonBox::Yes)->text(), u"&Kyllä"_s);
    QCOMPARE(answers.button(QDialogButtonBox::Cancel)->text(), u"Peruuta"_s);
}

void StartupTest::inputDialogHasRoomForItsTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("the ledger's payment") << u"Merkitse maksetuksi"_s << u"Laskun 57 maksettu summa (€):"_s;
    QTest::newRow("a short prompt") << u"Marginaalin muutos"_s << u"mm:"_s;
}

// A title bar holds the title, set bold by many window managers, beside the
// window's icon and its buttons; a narrower dialog shows "Merkits…ksetuksi".
void StartupTest::inputDialogHasRoomForItsTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, prompt);
    int width = 0;
    int titleWidth = 0;
    QTimer::singleShot(0, qApp, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        QFont bold = dialog->font();
        bold.setBold(true);
        titleWidth = QFontMetrics(bold).horizontalAdvance(dialog->windowTitle());
        width = dialog->width();
        static_cast<QDialog *>(dialog)->reject();
    });
    DialogPrompter prompter;
    QCOMPARE(prompter.inputText(nullptr, title, prompt, u"12,50"_s), std::nullopt);
    QVERIFY(titleWidth > 0);
    QVERIFY2(width >= titleWidth + 120, qPrintable(u"%1 px for a title of %2 px"_s.arg(width).arg(titleWidth)));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
