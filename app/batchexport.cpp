// The command line's work on saved data: the list and the payment import
// read through the save folder with no window; the batch export with the
// window made but never shown, its questions answered by no one and its
// messages reported.

#include "batchexport.h"

#include "app/profile.h"
#include "app/reportingprompter.h"
#include "app/startup.h"
#include "app/Unit1.h"
#include "base/commanderror.h"
#include "invoice/numbering.h"
#include "output/einvoice.h"
#include "output/pdfhdr2.h"
#include "storage/customerregister.h"
#include "storage/invoicefile.h"
#include "storage/ledger.h"
#include "storage/reminderfile.h"
#include "storage/savefolder.h"
#include "storage/stagedfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <map>
#include <new>

using namespace Qt::StringLiterals;

namespace {

// The save folders the inputs lie in (the folder above an invoice's year
// folder), each opened once with the profile's settings: their registers
// give older invoices' e-invoice addresses, their ledgers the reminders.
class InputFolders
{
public:
    explicit InputFolders(const Profile &profile) : m_profile(profile) {}

    SaveFolder &of(const QString &invoicePath) { return *openedFor(invoicePath).folder; }

    /// The customers of the register beside the invoice's year folder, read
    /// once; none when there is none or it cannot be read.
    const QList<QStringList> &customersBeside(const QString &invoicePath)
    {
        Opened &opened = openedFor(invoicePath);
        if (!opened.customers) {
            opened.customers.emplace();
            try {
                if (opened.folder->hasRegister())
                    opened.customers = opened.folder->registerRows();
            } catch (const CommandError &) {
                // An unreadable register gives no addresses; what the
                // e-invoice then lacks is reported with the invoice.
            }
        }
        return *opened.customers;
    }

    Reminder reminderOf(const QString &invoicePath, const QDate &date)
    {
        // The customer is a business by the invoice's business ID.
        return SavedInvoiceReminder(of(invoicePath), invoicePath, date, std::nullopt,
                                    CheckedReminderSettings(m_profile));
    }

private:
    struct Opened
    {
        std::unique_ptr<SaveFolder> folder;
        std::optional<QList<QStringList>> customers;
    };

    Opened &openedFor(const QString &invoicePath)
    {
        QDir saveFolder = QFileInfo(invoicePath).absoluteDir();
        saveFolder.cdUp();
        Opened &opened = m_open[saveFolder.path()];
        if (!opened.folder)
            opened.folder = OpenSaveFolder(saveFolder.path(), m_profile.biller, m_profile.defaults);
        return opened;
    }

    const Profile &m_profile;
    std::map<QString, Opened> m_open;
};

// A saved invoice as its e-invoice carries it: the record with the biller it
// keeps, and, saved before the buyer's e-invoice address was kept with the
// invoice, its customer's address from the register beside it.
InvoiceRecord savedEinvoiceRecord(const QString &path, InputFolders &folders)
{
    InvoiceRecord record = folders.of(path).readInvoiceFile(path);
    record.invoice = WithRegisterEinvoice(std::move(record.invoice), folders.customersBeside(path));
    return record;
}

// The format of an export asked for on the command line: Peppol, or
// Finvoice framed when the biller details choose the frame.
EinvoiceFormat einvoiceFormatOf(ExportKind kind, EinvoiceFormat chosen)
{
    if (kind == ExportKind::Peppol)
        return EinvoiceFormat::Peppol;
    return chosen == EinvoiceFormat::FramedFinvoice ? EinvoiceFormat::FramedFinvoice : EinvoiceFormat::Finvoice;
}

} // namespace

namespace {

// What an export into a folder removed of an earlier one that was cut short.
void reportLeftoversRemoved(const QString &folder, const QStringList &removed, QTextStream &report)
{
    if (removed.size() == 1)
        report << u"Poistettiin keskeytyneen viennin väliaikainen tiedosto %1."_s.arg(
                      QDir::toNativeSeparators(removed.constFirst()))
               << Qt::endl;
    else if (removed.size() > 1)
        report << u"Poistettiin keskeytyneen viennin %1 väliaikaista tiedostoa kansiosta %2."_s.arg(
                      QString::number(removed.size()), QDir::toNativeSeparators(folder))
               << Qt::endl;
}

// The save folder of the profile, read with its settings; nullptr, the
// reason reported, when the settings file or the save folder is missing.
// No window is made: the data is read through the core alone.
std::unique_ptr<SaveFolder> profileSaveFolder(const QString &executablePath, const QStringList &startArguments,
                                              QTextStream &report)
{
    const QString settings = UserSettingsFileName(executablePath, startArguments);
    if (const QString reason = ExportSettingsRefusal(settings); !reason.isEmpty()) {
        report << u"laskutus: %1."_s.arg(reason) << Qt::endl;
        return nullptr;
    }
    const Profile profile = ReadProfile(settings);
    if (profile.dataDir.isEmpty() || !QFileInfo(profile.dataDir).isDir()) {
        report << u"laskutus: tallennuskansiota %1 ei ole; asetustiedostossa %2 ei ole laskujen kansiota."_s.arg(
                      QDir::toNativeSeparators(profile.dataDir), QDir::toNativeSeparators(settings))
               << Qt::endl;
        return nullptr;
    }
    return OpenSaveFolder(profile.dataDir, profile.biller, profile.defaults);
}

} // namespace

int ListInvoices(const QString &executablePath, const QStringList &startArguments, const QString &year,
                 QTextStream &out, QTextStream &report)
{
    try {
        const std::unique_ptr<SaveFolder> folder = profileSaveFolder(executablePath, startArguments, report);
        if (!folder)
            return kExportRefused;
        const Ledger ledger = folder->ledger(QDate::currentDate(), year);
        for (const LedgerSkippedFile &skipped : ledger.skipped)
            report << u"Ohitettu: %1"_s.arg(QString(skipped.reason).replace(u"\r\n"_s, u" "_s)) << Qt::endl;
        // In parts, so that a long list is never held twice as text.
        constexpr qsizetype kRowsAPart = 2000;
        for (qsizetype first = 0; first < ledger.rows.size() || first == 0; first += kRowsAPart) {
            const QString part = LedgerListText(ledger.rows.mid(first, kRowsAPart));
            out << (first == 0 ? QStringView(part) : QStringView(part).mid(part.indexOf(u'\n') + 1));
            out.flush();
        }
    } catch (const std::exception &error) {
        report << u"laskutus: %1"_s.arg(QString::fromUtf8(error.what())).replace(u"\r\n"_s, u" "_s) << Qt::endl;
        return 1;
    }
    return 0;
}

int ImportPaymentFiles(const QString &executablePath, const QStringList &startArguments, const QStringList &files,
                       QTextStream &out, QTextStream &report)
{
    int failed = 0;
    try {
        const std::unique_ptr<SaveFolder> folder = profileSaveFolder(executablePath, startArguments, report);
        if (!folder)
            return kExportRefused;
        Ledger ledger = folder->ledger(QDate::currentDate());
        const qsizetype before = ledger.payments.size();
        out << ImportedPaymentHeadings().join(u'\t') << u'\n';
        for (const QString &file : files) {
            const qsizetype keptBefore = ledger.payments.size();
            try {
                const PaymentImport import = ImportPaymentFile(file, PayableInvoices(ledger.rows), ledger.payments);
                report << ImportSummaryText(file, import) << Qt::endl;
                for (const ImportedPayment &imported : import.payments)
                    out << ImportedPaymentCells(imported).join(u'\t') << u'\n';
                // The next file is matched to what this one left open.
                ledger.payments += PaymentsToStore(import);
                ApplyPayments(ledger.rows, ledger.payments, QDate::currentDate());
            } catch (const CommandError &error) {
                ++failed;
                report << u"Virhe: %1"_s.arg(QString::fromUtf8(error.what())).replace(u"\r\n"_s, u" "_s) << Qt::endl;
            } catch (const std::bad_alloc &) {
                // Nothing of a file that did not go through is stored.
                ++failed;
                ledger.payments.resize(keptBefore);
                ApplyPayments(ledger.rows, ledger.payments, QDate::currentDate());
                report << u"Virhe: %1"_s.arg(PaymentFileOutOfMemoryText(file)) << Qt::endl;
            }
        }
        if (ledger.payments.size() > before)
            folder->writePayments(ledger.payments);
    } catch (const std::exception &error) {
        report << u"laskutus: %1"_s.arg(QString::fromUtf8(error.what())).replace(u"\r\n"_s, u" "_s) << Qt::endl;
        return 1;
    }
    return failed > 0 ? 1 : 0;
}

int ExportInvoices(ExportKind kind, const QString &executablePath, const QStringList &startArguments,
                   const QString &output, const QStringList &inputs, QTextStream &report, const QDate &reminderDate)
{
    const auto refuse = [&report](const QString &reason) {
        report << u"laskutus: %1. Mitään ei kirjoitettu."_s.arg(reason) << Qt::endl;
        return kExportRefused;
    };
    const bool intoFolder = ExportOutputIsFolder(output, inputs.size(), QFileInfo(output).isDir());
    const ExportTargets targets = ExportTargetsFor(kind, output, inputs, intoFolder);
    if (!targets.error.isEmpty())
        return refuse(targets.error);
    if (const QString reason = ExportTargetsRefusal(kind, output, intoFolder, inputs, targets.targets);
        !reason.isEmpty())
        return refuse(reason);
    const QString settings = UserSettingsFileName(executablePath, startArguments);
    if (const QString reason = ExportSettingsRefusal(settings); !reason.isEmpty())
        return refuse(reason);

    const Profile profile = ReadProfile(settings);
    if (const QString reason = ExportIbanRefusal(kind, profile.biller.iban, settings); !reason.isEmpty())
        return refuse(reason);
    // A page is drawn by the window's widgets; an e-invoice is made from the
    // saved record alone. The page needs no customer register: each invoice
    // file holds its customer.
    std::unique_ptr<TForm1> form;
    if (kind == ExportKind::Pdf || kind == ExportKind::Reminder)
        form = std::make_unique<TForm1>(StartupOptions{executablePath, startArguments, QString(), false},
                                        std::make_unique<ReportingPrompter>(report));
    if (intoFolder && !QDir().mkpath(output)) {
        report << u"Kansiota %1 ei voitu tehdä."_s.arg(QDir::toNativeSeparators(output)) << Qt::endl;
        return 1;
    }
    if (intoFolder)
        reportLeftoversRemoved(output, StagedFiles::RemoveLeftovers(output), report);
    InputFolders folders(profile);
    // The PDFs of a folder wait for the disk once, at the end, rather than
    // once each; none is under its name before it is whole on the disk.
    StagedFiles staging;
    StagedFiles *const pdfStaging = kind == ExportKind::Pdf && intoFolder ? &staging : nullptr;
    const auto reportFailure = [&report](const QString &input, const QString &reason) {
        report << u"Virhe: %1: %2"_s.arg(QDir::toNativeSeparators(input), reason).replace(u"\r\n"_s, u" "_s)
               << Qt::endl;
    };
    int failed = 0;
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        const QString &input = inputs[i];
        report << u"%1/%2 %3"_s.arg(i + 1).arg(inputs.size()).arg(QDir::toNativeSeparators(input)) << Qt::endl;
        try {
            if (kind == ExportKind::Reminder) {
                const Reminder reminder = folders.reminderOf(input, reminderDate);
                const QString pdf = ReminderPdfTarget(targets.targets[i], intoFolder, reminder.number);
                if (const QString reason = ReminderPdfRefusal(pdf); !reason.isEmpty())
                    throw CommandError(reason);
                form->WriteReminder(input, reminder, pdf);
                report << u"Maksumuistutus %1: %2 € %3 mennessä, tallennettu %4, pdf-tiedosto %5"_s.arg(
                              QString::number(reminder.number), PaymentAmountText(reminder.totalCents),
                              DateText(reminder.newDueDate), ReminderFileName(reminder.invoiceNumber, reminder.number),
                              QDir::toNativeSeparators(pdf))
                       << Qt::endl;
                continue;
            }
            if (kind == ExportKind::Pdf) {
                form->OpenInvoiceFile(input);
                form->ExportPdf(targets.targets[i], pdfStaging);
            } else {
                WriteEinvoiceFile(targets.targets[i], savedEinvoiceRecord(input, folders),
                                  einvoiceFormatOf(kind, profile.einvoiceFormat), QDateTime::currentDateTime());
            }
        } catch (const std::exception &error) {
            ++failed;
            reportFailure(input, QString::fromUtf8(error.what()));
        }
    }
    for (const QString &target : staging.Commit()) {
        ++failed;
        reportFailure(inputs[targets.targets.indexOf(target)], PdfNotWrittenText(target));
    }
    if (failed > 0)
        report << u"%1/%2 laskua epäonnistui."_s.arg(failed).arg(inputs.size()) << Qt::endl;
    return failed > 0 ? 1 : 0;
}
