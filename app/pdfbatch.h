#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

/// Exports saved invoice files to PDF without showing a window: each is
/// opened as "Nouda lasku" does, with the settings of the profile, and written
/// as "Tulosta pdf" would. Progress and every failure, with the file's path
/// and the reason, go to `report`; a file that fails does not stop the rest.
/// Returns 0 when every file was written, else 1.
int ExportInvoicesToPdf(const QString &executablePath, const QStringList &startArguments,
                        const QString &output, const QStringList &inputs, QTextStream &report);
