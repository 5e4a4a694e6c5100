#include "app/Unit1.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Laskutus"));
    // The program speaks Finnish whatever the system's language, Qt's own
    // dialogs included.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_fi"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    StartupOptions options{QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1)};
    TForm1 form(options, nullptr);
    form.show();
    return QApplication::exec();
}
