#include "app/Unit1.h"
#include "app/commandline.h"
#include "app/pdfbatch.h"
#include "app/startup.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine line = ParseCommandLine(arguments);
    // An export draws only into files: it needs no display.
    if ((line.exportPdf || line.help) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Laskutus"));
    InstallFinnishQtTexts(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (line.help) {
        out << CommandLineUsage();
        return 0;
    }
    if (!line.error.isEmpty()) {
        err << "laskutus: " << line.error << Qt::endl << CommandLineUsage();
        return 2;
    }
    if (line.exportPdf) {
        const int status = ExportInvoicesToPdf(QCoreApplication::applicationFilePath(), line.startArguments,
                                               line.output, line.inputs, err);
        // Every PDF is written and closed and the report flushed; taking Qt
        // down would only make an accountant's batch script wait.
        err.flush();
        std::fflush(nullptr);
        std::_Exit(status);
    }
    TForm1 form(StartupOptions{QCoreApplication::applicationFilePath(), line.startArguments}, nullptr);
    form.show();
    return QApplication::exec();
}
