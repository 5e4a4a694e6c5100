#pragma once

#include "app/commandline.h"

#include <QDate>
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
/// 0 when every file was written, else 1. A reminder (ExportKind::Reminder)
/// is made for `reminderDate` with the payments and reminders of the
/// invoice's save folder, written as a PDF and then saved beside the
/// invoice (TForm1::WriteReminder).
int ExportInvoices(ExportKind kind, const QString &executablePath, const QStringList &startArguments,
                   const QString &output, const QStringList &inputs, QTextStream &report,
                   const QDate &reminderDate = QDate());

/// "--list": prints the saved invoices of the profile's save folder
/// (LedgerListText; of the year folder `year` alone when given) to `out`,
/// with the settings of the profile, through its save folder (SaveFolder),
/// writing nothing but the folder's index; no window is made. A profile without a
/// settings file, or a save folder that is not there, is reported on
/// `report` and returns kExportRefused; files that are no invoices are
/// reported there too. Returns 0 when listed, 1 when the payments file
/// cannot be read.
int ListInvoices(const QString &executablePath, const QStringList &startArguments, const QString &year,
                 QTextStream &out, QTextStream &report);

/// "--import-payments": imports the banks' payment files in order into the
/// payments file of the profile's save folder, each matched to what the
/// files before it left open (ImportPaymentFile), printing each payment
/// under ImportedPaymentHeadings to `out` and each file's summary to
/// `report`. A file refused is reported and none of its payments stored;
/// the others are. Refused without a settings file or save folder as
/// ListInvoices is. Returns 0 when every file was imported, else 1.
int ImportPaymentFiles(const QString &executablePath, const QStringList &startArguments, const QStringList &files,
                       QTextStream &out, QTextStream &report);
