// Whether a finished print job reached the print system, which Qt's print
// engine does not tell.

#include "printsystem.h"

#include <QPrinter>

#ifdef LASKUTUS_CUPS
#include <cups/cups.h>
#endif

bool PrintSystemTookJob(const QPrinter &printer)
{
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.outputFileName().isEmpty())
        return true;
#ifdef LASKUTUS_CUPS
    // The engine submits the job while the painter ends, on this thread, and
    // drops the job id; the library keeps the last status it received per
    // thread, which is the answer to that submission. Without a printer
    // name nothing was submitted at all.
    return !printer.printerName().isEmpty() && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
#else
    // Elsewhere a refused job makes ending the painter fail.
    return true;
#endif
}
