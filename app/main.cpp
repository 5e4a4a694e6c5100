#include "app/Unit1.h"
#include "app/commandline.h"
#include "app/batchexport.h"
#include "app/startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Qt keeps runtime files in XDG_RUNTIME_DIR and, when the variable is unset
// (root in a CI job, a cron job), complains on every run before taking a
// private folder in /tmp. The same folder is given here without the noise; when
// it cannot be made ours, Qt's own warning says so.
void provideRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray folder = QFile::encodeName(QDir::tempPath()) + "/runtime-" + QByteArray::number(getuid());
    mkdir(folder.constData(), 0700);
    struct stat status = {};
    if (lstat(folder.constData(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == getuid()
        && (status.st_mode & 0777) == 0700)
        qputenv("XDG_RUNTIME_DIR", folder);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine line = ParseCommandLine(arguments);
    // Answered without Qt's platform: no display needed, nothing written.
    if (line.help || line.version) {
        std::fputs((line.help ? CommandLineUsage() : CommandLineVersion()).toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!line.error.isEmpty()) {
        std::fputs((u"laskutus: "_s + line.error + u'\n' + CommandLineUsage()).toLocal8Bit().constData(), stderr);
        return kExportRefused;
    }
    // A file size limit fails the write that meets it, which is reported,
    // instead of ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    provideRuntimeFolder();
    // Every file is written and closed and the report flushed; taking Qt
    // down would only make an accountant's batch script wait.
    const auto finish = [](int status, QTextStream &out, QTextStream &err) {
        out.flush();
        err.flush();
        std::fflush(nullptr);
        std::_Exit(status);
    };
    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto exportInvoices = [&line](QTextStream &report) {
        return ExportInvoices(*line.exportKind, QCoreApplication::applicationFilePath(), line.startArguments,
                              line.output, line.inputs, report,
                              line.reminderDate.isValid() ? line.reminderDate : QDate::currentDate());
    };
    // The list, the payment import and the e-invoices read data alone: no
    // widget, no platform, no display.
    const bool einvoice = line.exportKind == ExportKind::Finvoice || line.exportKind == ExportKind::Peppol;
    if (line.list || line.importPayments || einvoice) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Laskutus"));
        const QString program = QCoreApplication::applicationFilePath();
        if (line.list)
            finish(ListInvoices(program, line.startArguments, line.listYear, out, err), out, err);
        if (line.importPayments)
            finish(ImportPaymentFiles(program, line.startArguments, line.inputs, out, err), out, err);
        finish(exportInvoices(err), out, err);
    }
    // A page is drawn by widgets into files: it needs no display.
    if (line.exportKind && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Laskutus"));
    InstallFinnishQtTexts(app);
    if (line.exportKind)
        finish(exportInvoices(err), out, err);
    TForm1 form(StartupOptions{QCoreApplication::applicationFilePath(), line.startArguments, line.invoiceFile},
                nullptr);
    form.show();
    return QApplication::exec();
}
