// Whether a finished print job reached the print system, which Qt's print
// engine does not tell.

#include "printsystem.h"

#include <QPrinter>

#ifdef LASKUTUS_CUPS
#include <cups/cups.h>
#include <dlfcn.h>
#endif

bool PrintSystemTookJob(const QPrinter &printer)
{
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.outputFileName().isEmpty())
        return true;
#ifdef LASKUTUS_CUPS
    // The engine submits the job while the painter ends, on this thread, and
    // drops the job id; the library keeps the last status it received per
    // thread, which is the answer to that submission. Without a printer
    // name nothing was submitted at all. The library is the one the engine
    // loaded: when it is not loaded, the engine did not print through it.
    if (printer.printerName().isEmpty())
        return false;
    void *library = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return true;
    const auto lastError = reinterpret_cast<decltype(&cupsLastError)>(dlsym(library, "cupsLastError"));
    const bool took = !lastError || lastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
    dlclose(library);
    return took;
#else
    // Elsewhere a refused job makes ending the painter fail.
    return true;
#endif
}
