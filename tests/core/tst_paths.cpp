// Where the settings, the help and an unchosen save folder are looked for,
// for a copy run from its own folder and for an installed program.

#include "app/startup.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void settingsOfInstalledProgramGoToConfigFolder_data();
    void settingsOfInstalledProgramGoToConfigFolder();
    void helpBesideProgramComesFirst_data();
    void helpBesideProgramComesFirst();
};

void TestPaths::settingsOfInstalledProgramGoToConfigFolder_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("settings");
    const QString config = u"/home/m/.config/Laskutus/"_s;
    QTest::newRow("own writable folder: beside the program")
        << u"/opt/laskutus/laskutus"_s << QStringList() << true << u"/opt/laskutus/laskutus.INI"_s;
    QTest::newRow("own writable folder, profile")
        << u"/opt/laskutus/laskutus"_s << QStringList{u"firma2"_s} << true << u"/opt/laskutus/firma2.ini"_s;
    QTest::newRow("build folder") << u"/home/m/src/laskutus/build/laskutus"_s << QStringList() << true
                                  << u"/home/m/src/laskutus/build/laskutus.INI"_s;
    QTest::newRow("folder named like a system one, elsewhere")
        << u"/srv/usr/bin/laskutus"_s << QStringList() << true << u"/srv/usr/bin/laskutus.INI"_s;
    QTest::newRow("installed: configuration folder")
        << u"/usr/bin/laskutus"_s << QStringList() << false << config + u"laskutus.INI"_s;
    QTest::newRow("installed, profile and more arguments")
        << u"/usr/bin/laskutus"_s << QStringList{u"firma2"_s, u"x"_s} << false << config + u"firma2.ini"_s;
    QTest::newRow("/usr/bin run by root") << u"/usr/bin/laskutus"_s << QStringList() << true
                                          << config + u"laskutus.INI"_s;
    QTest::newRow("/usr/bin run by root, profile")
        << u"/usr/bin/laskutus"_s << QStringList{u"firma2"_s} << true << config + u"firma2.ini"_s;
    QTest::newRow("/usr/local/bin run by root")
        << u"/usr/local/bin/laskutus"_s << QStringList() << true << config + u"laskutus.INI"_s;
    QTest::newRow("install prefix's bin run by root")
        << u"/opt/kirjanpito/bin/laskutus"_s << QStringList() << true << config + u"laskutus.INI"_s;
    QTest::newRow("install prefix's bin, path not clean")
        << u"/opt/kirjanpito/bin/../bin/laskutus"_s << QStringList() << true << config + u"laskutus.INI"_s;
}

void TestPaths::settingsOfInstalledProgramGoToConfigFolder()
{
    QFETCH(QString, executable);
    QFETCH(QStringList, arguments);
    QFETCH(bool, writable);
    QFETCH(QString, settings);
    const QStringList systemFolders = SystemProgramFolders(u"/opt/kirjanpito/bin/"_s);
    QCOMPARE(SettingsFileLocation(executable, arguments, writable, u"/home/m/.config/Laskutus/"_s, systemFolders),
             QDir::toNativeSeparators(settings));
}

void TestPaths::helpBesideProgramComesFirst_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("help");
    QTest::newRow("installed: share folder of the same prefix")
        << u"/tmp/root/usr/local/bin/laskutus"_s
        << QStringList{u"/usr/share/laskutus/laskutus.html"_s, u"/tmp/root/usr/local/share/laskutus/laskutus.html"_s}
        << u"/tmp/root/usr/local/share/laskutus/laskutus.html"_s;
    QTest::newRow("both: the one beside the program")
        << u"/usr/bin/laskutus"_s
        << QStringList{u"/usr/bin/laskutus.html"_s, u"/usr/share/laskutus/laskutus.html"_s}
        << u"/usr/bin/laskutus.html"_s;
    QTest::newRow("neither: named beside the program")
        << u"/usr/bin/laskutus"_s << QStringList() << u"/usr/bin/laskutus.html"_s;
}

void TestPaths::helpBesideProgramComesFirst()
{
    QFETCH(QString, executable);
    QFETCH(QStringList, existing);
    QFETCH(QString, help);
    const auto exists = [&existing](const QString &path) {
        return existing.contains(QDir::fromNativeSeparators(path));
    };
    QCOMPARE(HelpFileLocation(executable, exists), QDir::toNativeSeparators(help));
}

QTEST_APPLESS_MAIN(TestPaths)
#include "tst_paths.moc"
