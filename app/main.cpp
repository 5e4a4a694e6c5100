#include "app/Unit1.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Laskutus"));
    InstallFinnishQtTexts(app);
    StartupOptions options{QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1)};
    TForm1 form(options, nullptr);
    form.show();
    return QApplication::exec();
}
