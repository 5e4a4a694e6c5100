#pragma once

#include <QStringView>

/// What an output run draws on; only the barcode tells them apart.
enum class OutputKind : int {
    Printer = 0,
    Pdf = 1,
    // A printer that takes the barcode drawn bar by bar ("XPrint" in the settings).
    XPrintPrinter = 2,
};

/// The save dialog's filter of a PDF file.
inline constexpr QStringView kPdfFileFilter = u"PDF-dokumentit (*.pdf)";
