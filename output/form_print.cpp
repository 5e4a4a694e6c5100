// "Tulosta": the invoice with its giro form as one print job, then the copies
// headed "LASKU (kopio)" without the giro form as a second.

#include "app/settingsrules.h"
#include "app/Unit1.h"
#include "base/commanderror.h"
#include "output/printsystem.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {

const QString kRefused = u"Tulostin %1 ei ottanut tulostusta vastaan. Laskua ei tulostettu."_s;

// A printer that writes a file would write the copies over the invoice: they
// go to a file of their own beside it.
void nameCopiesFile(QPrinter &printer)
{
    const QFileInfo file(printer.outputFileName());
    if (printer.outputFileName().isEmpty())
        return;
    printer.setOutputFileName(file.dir().filePath(file.completeBaseName() + u" (kopiot)."_s + file.suffix()));
}

// The print dialog offers a printer that writes a file the invoice's own PDF
// name, as "Tulosta pdf" suggests it, rather than one name for every invoice.
// A print queue chosen by default stays chosen: the name waits in the
// dialog's file field.
void offerFile(QPrinter &printer, const QString &name)
{
    const QString queue = printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
    printer.setOutputFileName(name);
    if (!queue.isEmpty())
        printer.setPrinterName(queue);
}

} // namespace

void TForm1::Print1Click()
{
    PrintInvoice();
}

QStringList TForm1::PrintInvoice()
{
    QPrinter printer(QPrinter::HighResolution);
    const QString offered = SuggestedPdfName();
    if (!offered.isEmpty())
        offerFile(printer, offered);
    if (!m_prompter->choosePrinter(this, printer))
        return {};
    // A print queue prints, never into the file offered for a file printer.
    if (!offered.isEmpty() && printer.outputFormat() == QPrinter::NativeFormat && printer.outputFileName() == offered)
        printer.setOutputFileName(QString());
    PreparePageForOutput();
    // The heading is the original's again afterwards, also when a job fails, so the
    // next original is never printed as a copy.
    const auto restore = qScopeGuard([this] {
        ShowHeading();
        Rendering.canvas = nullptr;
    });
    QStringList written;
    const auto job = [&](int copies, bool original) {
        const bool taken = PrintJob(printer, copies, original);
        if (taken && !printer.outputFileName().isEmpty())
            written << printer.outputFileName();
        return taken;
    };
    // A refused job is no failure of the program: the save chain goes on as
    // when printing is cancelled, and the user hears which printer refused.
    bool taken = job(1, true);
    const int copies = ParseWholeNumber(m_profile.copies).value_or(0);
    if (taken && copies >= 1) {
        ShowHeading(true);
        nameCopiesFile(printer);
        taken = job(copies, false);
    }
    if (!taken)
        m_prompter->message(this, kRefused.arg(printer.printerName()));
    return written;
}

bool TForm1::PrintJob(QPrinter &printer, int copies, bool original)
{
    // A printer that cannot make copies itself, such as one writing a PDF
    // file, gets the copy page that many times.
    printer.setCopyCount(copies);
    const int pages = printer.supportsMultipleCopies() ? 1 : copies;
    if (pages > 1)
        printer.setCopyCount(1);
    QPainter canvas;
    if (!canvas.begin(&printer)) {
        const QString target = printer.outputFileName().isEmpty() ? printer.printerName()
                                                                  : QDir::toNativeSeparators(printer.outputFileName());
        throw CommandError(u"Tulostus ei onnistunut:\r\n%1"_s.arg(target));
    }
    Rendering.canvas = &canvas;
    const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
    Rendering.deviceWidth = page.width();
    Rendering.deviceHeight = page.height();
    Rendering.kind = m_profile.xPrint ? OutputKind::XPrintPrinter : OutputKind::Printer;
    const auto newPage = [&printer] { printer.newPage(); };
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            newPage();
        RenderInvoicePages(newPage, original);
    }
    if (!canvas.end())
        throw CommandError(u"Tulostus ei onnistunut:\r\n%1"_s.arg(printer.printerName()));
    return PrintSystemTookJob(printer);
}
