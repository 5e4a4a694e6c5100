// The batch PDF export of the command line: the window made but never
// shown, its questions answered by no one and its messages reported.

#include "pdfbatch.h"

#include "app/Unit1.h"
#include "app/commandline.h"
#include "app/reportingprompter.h"
#include "storage/commanderror.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

int ExportInvoicesToPdf(const QString &executablePath, const QStringList &startArguments,
                        const QString &output, const QStringList &inputs, QTextStream &report)
{
    const bool several = inputs.size() > 1;
    if (several && !QDir().mkpath(output)) {
        report << u"Kansiota %1 ei voitu tehdä."_s.arg(QDir::toNativeSeparators(output)) << Qt::endl;
        return 1;
    }
    TForm1 form(StartupOptions{executablePath, startArguments}, std::make_unique<ReportingPrompter>(report));
    int failed = 0;
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        const QString &input = inputs[i];
        const QString target = PdfTargetFor(output, input, several);
        report << u"%1/%2 %3"_s.arg(i + 1).arg(inputs.size()).arg(QDir::toNativeSeparators(input)) << Qt::endl;
        try {
            if (!QFileInfo(input).isFile())
                throw FileOpenError(input);
            form.OpenInvoiceFile(input);
            form.ExportPdf(target);
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
