#pragma once

#include "app/commandline.h"

#include <QString>
#include <QStringList>

class QTextStream;

/// The exit status of an export refused before anything was written, and of
/// a command line that cannot be used.
constexpr int kExportRefused = 2;

/// Exports saved invoice files without showing a window: each is opened as
/// "Nouda lasku" does, with the settings of the profile, and written as
/// "Tulosta pdf" or "Verkkolasku…" would. Progress and every failure, with
/// the file's path and the reason, go to `report`; a file that fails does not
/// stop the rest. Before anything is written, the targets (ExportTargetsFor,
/// ExportTargetsRefusal), the profile's settings file and its IBAN are
/// checked; any of them refused ends the export with kExportRefused. Returns
/// 0 when every file was written, else 1.
int ExportInvoices(ExportKind kind, const QString &executablePath, const QStringList &startArguments,
                   const QString &output, const QStringList &inputs, QTextStream &report);
