#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The command line: a settings profile or an invoice file to start the window
// with, or a batch export of saved invoices that needs no display.

/// What a batch export writes of each saved invoice: the invoice as a PDF
/// or an e-invoice, or a payment reminder of it as a PDF.
enum class ExportKind { Pdf, Finvoice, Peppol, Reminder };

struct CommandLine
{
    /// "-h" or "--help": print the usage and stop.
    bool help = false;
    /// "--version": print the program's name and version and stop.
    bool version = false;
    /// "--pdf OUT FILE.csv…" and the like: export instead of opening the window.
    std::optional<ExportKind> exportKind;
    QString output;
    QStringList inputs;
    /// "--date D.M.YYYY" of a reminder; invalid when not given (today).
    QDate reminderDate;
    /// "--list [YEAR]": print the saved invoices instead of opening the
    /// window; listYear limits the list to that year folder.
    bool list = false;
    QString listYear;
    /// "--import-payments FILE…": import the banks' payment files, given in
    /// inputs, instead of opening the window.
    bool importPayments = false;
    /// The arguments the window or the export starts with: the profile first.
    QStringList startArguments;
    /// "laskutus FILE.csv": the invoice the window opens with.
    QString invoiceFile;
    /// Why the command line cannot be used; empty when it can.
    QString error;
};

/// Whether a first argument names an invoice to open rather than a profile:
/// it ends in ".csv" in any case and `exists` finds it.
bool IsInvoiceFileArgument(const QString &argument, const std::function<bool(const QString &)> &exists);

/// Reads the arguments after the program's name. "-h", "--help" or
/// "--version" anywhere stop there. Any other argument beginning with "-",
/// but one export option (ExportOption), "--profile" of an export and
/// "--date" of a reminder, is an error; so is a date that is none. With an export option it is an export, "--profile NAME" naming its
/// profile. Otherwise the first
/// argument opens an invoice file when IsInvoiceFileArgument holds (looking
/// at the disk), else names the window's settings profile.
CommandLine ParseCommandLine(const QStringList &arguments);
CommandLine ParseCommandLine(const QStringList &arguments, const std::function<bool(const QString &)> &exists);

/// The option asking for an import of payment files: "--import-payments".
QString ImportPaymentsOption();

/// The option asking for the list of saved invoices: "--list".
QString ListOption();

/// The option asking for an export of the kind: "--pdf", "--finvoice",
/// "--peppol", "--reminder".
QString ExportOption(ExportKind kind);

/// Whether the export writes into the folder OUT: with several inputs, when
/// OUT is an existing folder, or when it ends with a separator.
bool ExportOutputIsFolder(const QString &output, qsizetype inputCount, bool outputIsExistingFolder);

/// The file each input is exported to, in order, or why there can be none.
struct ExportTargets
{
    QStringList targets;
    QString error;
};

/// Where each input's file goes. Into a file: OUT itself. Into a folder: the
/// input's name with the kind's suffix (".pdf", ".xml"; a reminder's none,
/// see ReminderPdfTarget) in OUT; inputs whose
/// names would meet (compared without regard to case, as some disks do) take
/// their folder's name in front, "2025/1.csv" giving "2025-1.pdf". Names that
/// still meet make the error, since one file would replace another.
ExportTargets ExportTargetsFor(ExportKind kind, const QString &output, const QStringList &inputs, bool intoFolder);

/// Why the export may not write the targets, checked before anything is
/// written; empty when it may. An OUT file ending in ".csv" is refused, and so
/// is a target that is one of the inputs or an existing file not of the kind
/// (a PDF begins with "%PDF-", an e-invoice with "<?xml" or its transmission
/// frame "<SOAP-ENV:Envelope"): an invoice file is never written over. A
/// reminder's PDF in a folder is checked when it is named (ReminderPdfRefusal).
QString ExportTargetsRefusal(ExportKind kind, const QString &output, bool intoFolder, const QStringList &inputs,
                             const QStringList &targets);

/// Why the export cannot use the settings file of its profile: it does not
/// exist, since an export with placeholder bank details would be no invoice,
/// or it is not a regular file. Empty when it can.
QString ExportSettingsRefusal(const QString &settingsPath);

/// The PDF of the invoice's reminder `number`: into a folder, the target of
/// ExportTargetsFor named as the reminder's file is ("out/57" gives
/// "out/57-M2.pdf" beside "57-M2.csv"); into a file, the target itself.
QString ReminderPdfTarget(const QString &target, bool intoFolder, int number);

/// Why a reminder's PDF may not be written: a file, or a link, of its name
/// exists, and a reminder sent is never replaced. Empty when it may.
QString ReminderPdfRefusal(const QString &pdfPath);

/// Why the export cannot use the biller's IBAN: it fails its check digits.
/// Empty when it is valid, and for a PDF or a reminder when it is empty:
/// the page then prints without payment codes.
QString ExportIbanRefusal(ExportKind kind, const QString &iban, const QString &settingsPath);

/// The usage text printed by "--help", in Finnish, ending with a line break.
QString CommandLineUsage();

/// "laskutus <version>" with a line break, printed by "--version".
QString CommandLineVersion();
