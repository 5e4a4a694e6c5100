// The program's own start-up, ending at the first idle moment after the
// window is shown, or once the customer register is in when asked. Settings
// are looked up in a throwaway folder so a run never reads or writes a
// user's files.

#include "app/Unit1.h"
#include "app/startup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Laskutus"_s);
    InstallFinnishQtTexts(app);

    // The folder comes as the first argument; without one the probe makes its own.
    const QStringList arguments = QCoreApplication::arguments();
    std::optional<QTemporaryDir> ownFolder;
    QString folder;
    if (arguments.size() > 1) {
        folder = arguments.at(1);
    } else {
        ownFolder.emplace();
        if (!ownFolder->isValid())
            return 2;
        folder = ownFolder->path();
    }
    const QString executableName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const StartupOptions options{QDir(folder).filePath(executableName), {}};

    TForm1 form(options, nullptr);
    form.show();
    // With "register" as the second argument the probe ends only once the
    // customer register, read aside while the window is shown, is in.
    if (arguments.size() > 2 && arguments.at(2) == u"register")
        QTimer::singleShot(0, &form, [&form] { form.WaitForRegister(); });
    // exit(), not quit(): quit() closes the window, and closing saves the grid
    // layout, which is no part of start-up.
    QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}
