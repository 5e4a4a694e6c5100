// The batch PDF export of the command line: the window made but never
// shown, its questions answered by no one and its messages reported.

#include "pdfbatch.h"

#include "app/Unit1.h"
#include "app/commandline.h"
#include "app/reportingprompter.h"
#include "app/startup.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTextStream>

using namespace Qt::StringLiterals;

int ExportInvoicesToPdf(const QString &executablePath, const QStringList &startArguments,
                        const QString &output, const QStringList &inputs, QTextStream &report)
{
    const auto refuse = [&report](const QString &reason) {
        report << u"laskutus: %1. Mitään ei kirjoitettu."_s.arg(reason) << Qt::endl;
        return kExportRefused;
    };
    const bool intoFolder = PdfOutputIsFolder(output, inputs.size(), QFileInfo(output).isDir());
    const PdfTargets targets = PdfTargetsFor(output, inputs, intoFolder);
    if (!targets.error.isEmpty())
        return refuse(targets.error);
    if (const QString reason = PdfTargetsRefusal(output, intoFolder, inputs, targets.targets); !reason.isEmpty())
        return refuse(reason);
    const QString settings = UserSettingsFileName(executablePath, startArguments);
    if (const QString reason = ExportSettingsRefusal(settings); !reason.isEmpty())
        return refuse(reason);

    // The page needs no customer register: each invoice file holds its customer.
    TForm1 form(StartupOptions{executablePath, startArguments, QString(), false},
                std::make_unique<ReportingPrompter>(report));
    if (const QString reason = ExportIbanRefusal(form.Iban1->text(), settings); !reason.isEmpty())
        return refuse(reason);
    if (intoFolder && !QDir().mkpath(output)) {
        report << u"Kansiota %1 ei voitu tehdä."_s.arg(QDir::toNativeSeparators(output)) << Qt::endl;
        return 1;
    }
    int failed = 0;
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        const QString &input = inputs[i];
        report << u"%1/%2 %3"_s.arg(i + 1).arg(inputs.size()).arg(QDir::toNativeSeparators(input)) << Qt::endl;
        try {
            form.OpenInvoiceFile(input);
            form.ExportPdf(targets.targets[i]);
        } catch (const std::exception &error) {
            ++failed;
            report << u"Virhe: %1: %2"_s.arg(QDir::toNativeSeparators(input), QString::fromUtf8(error.what()))
                          .replace(u"\r\n"_s, u" "_s)
                   << Qt::endl;
        }
    }
    if (failed > 0)
        report << u"%1/%2 laskua epäonnistui."_s.arg(failed).arg(inputs.size()) << Qt::endl;
    return failed > 0 ? 1 : 0;
}
