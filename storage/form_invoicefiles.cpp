// Saving an invoice ("VALMIS/TALLENNA"), opening a saved one ("Nouda lasku"),
// the year folders and the counters that advance after a save.

#include "app/Unit1.h"
#include "base/commanderror.h"
#include "invoice/creditnote.h"
#include "invoice/numbering.h"
#include "invoice/reminder.h"
#include "output/einvoice.h"
#include "storage/customerregister.h"
#include "storage/gridline.h"
#include "storage/invoicefile.h"
#include "storage/ledger.h"
#include "storage/reminderfile.h"
#include "storage/savefolder.h"
#include "storage/savelimits.h"
#include "widgets/stringgrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

const QString kIncomplete = u"Puuttellinen lasku\r\nEi tallennettu"_s;
const QString kNoInvoiceToCredit = u"Nouda ensin hyvitettävä lasku (\"Nouda lasku\")."_s;

bool isSameFile(const QString &a, const QString &b)
{
    return !b.isEmpty() && QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

} // namespace

void TForm1::GridToLines(const StringGrid *grid, QStringList &lines)
{
    for (int r = 1; r < grid->rowCount(); ++r)
        AppendCellsLine(grid->rowCells(r), lines, false);
}

void TForm1::LinesToGrid(StringGrid *grid, const QStringList &lines)
{
    RowsToGrid(grid, ReadLinesIntoRows(lines, grid->colCount()));
}

void TForm1::RowsToGrid(StringGrid *grid, QList<QStringList> rows)
{
    if (grid->rowCount() < rows.size() + 2)
        grid->setRowCount(int(rows.size()) + 2);
    for (qsizetype i = 0; i < rows.size(); ++i)
        grid->setRowCells(int(i) + 1, std::move(rows[i]));
    grid->setRowCells(grid->rowCount() - 1, QStringList());
}

QString TForm1::InvoiceYearText() const
{
    return InvoiceYearOfDate(LaskuPvm1->text());
}

QString TForm1::InvoiceFileBase()
{
    if (DataDir.isEmpty())
        AskSaveFolder();
    const QString yearFolder = DataDir + InvoiceYearText();
    // One level only; a folder that cannot be made shows when the file is written.
    QDir().mkdir(yearFolder);
    return yearFolder + QDir::separator() + LaskuNro1->text();
}

void TForm1::Valmis1Click()
{
    const QString base = InvoiceFileBase();
    const std::shared_ptr<SaveFolder> folder = Folder();
    const QString path = folder->invoicePath(InvoiceYearText(), LaskuNro1->text());
    if (AsiakNimi1->currentText().trimmed().isEmpty()) {
        m_prompter->message(this, kIncomplete);
        return;
    }
    // The number is typed freely and names the file: refuse one that would
    // write elsewhere than the year folder, before anything is written.
    if (!IsUsableInvoiceNumber(LaskuNro1->text()))
        throw FileCreateError(path);
    // Nothing is written that the program could not read back.
    if (const QString part = TooLongToSave(); !part.isEmpty())
        throw CommandError(InvoiceTooLongText(part));
    if (const QString reason = UnopenableInvoiceReason(); !reason.isEmpty())
        throw CommandError(InvoiceNotSavedText(reason));
    // Another invoice saved under this number is never lost unasked.
    const bool replacing =
        folder->hasInvoice(InvoiceYearText(), LaskuNro1->text()) && !isSameFile(path, OpenedInvoiceFile);
    if (replacing && !m_prompter->question(this, ReplaceInvoiceQuestion(LaskuNro1->text(), path)))
        return;
    RegisterInvoiceCustomer();

    AsiakOsoite1->setCell(kBlockTextColumn, CustomerNameLine, AsiakNimi1->currentText());
    LaskuRivit1->commitEdit();
    const InvoiceData invoice = CollectInvoice();
    if (InvoiceFileLines(invoice).size() < 3) {
        m_prompter->message(this, kIncomplete);
        return;
    }
    // Another invoice replaced is kept as its earlier version; the one
    // opened and saved again is not.
    folder->saveInvoice(invoice, OpenedInvoiceFile);
    // The status bar names each file as it is written, so a failure later
    // in the chain leaves those written named.
    QStringList written{path};
    const auto showWritten = [&] { TallennusTila1->setText(InvoiceSavedText(LaskuNro1->text(), written)); };
    showWritten();
    emit InvoiceSaved();
    // Output that fails or is cancelled leaves the saved file; a failure
    // keeps the counters and the invoice on screen. A customer with an
    // e-invoice address also gets the invoice as one, beside its file.
    if (!BuyerEinvoice.address.isEmpty()) {
        const QString einvoice = base + kEinvoiceFileSuffix.toString();
        ExportEinvoice(einvoice, ChosenEinvoiceFormat());
        written << einvoice;
        showWritten();
    }
    if (m_profile.options.pdfDefault) {
        if (const QString pdf = AskAndExportPdf(); !pdf.isEmpty())
            written << pdf;
    } else {
        written << PrintInvoice();
    }
    showWritten();
    AdvanceCounters();
    Uusi1Click();
}

QString TForm1::TooLongToSave()
{
    LaskuRivit1->commitEdit();
    InvoiceData invoice = CollectInvoice();
    // The register is written only when the customer is new to it.
    const bool newCustomer = IsNewInvoiceCustomer();
    if (newCustomer)
        invoice.header[CustomerNumberField] = LongestNewCustomerNumber();
    if (const QString part = InvoiceTooLongPart(invoice); !part.isEmpty())
        return part;
    return newCustomer ? RegisterTooLongPart(true) : QString();
}

QString TForm1::UnopenableInvoiceReason()
{
    InvoiceData invoice = CollectInvoice();
    invoice.customer[CustomerNameLine] = AsiakNimi1->currentText();
    const QStringList lines = InvoiceFileLines(invoice);
    // An invoice without rows keeps its own message, after the register step.
    return lines.size() < 3 ? QString() : InvoiceLinesRefusal(lines);
}

void TForm1::Noudalasku1Click()
{
    // The register and the payments file are .csv files beside the year
    // folders, a replaced invoice's kept copy and a reminder ones beside an
    // invoice: none is an invoice to open, by the rules the ledger leaves
    // them out by.
    const std::shared_ptr<SaveFolder> folder = Folder();
    const QString paymentsName = folder ? QFileInfo(folder->paymentsPath()).fileName() : QString();
    const auto noInvoice = [paymentsName](const QString &path) {
        const QString name = QFileInfo(path).fileName();
        return name.compare(RegisterFileBaseName(), Qt::CaseInsensitive) == 0
            || (!paymentsName.isEmpty() && name.compare(paymentsName, Qt::CaseInsensitive) == 0)
            || IsReminderFileName(name) || IsEarlierVersionFile(path);
    };
    const QString path = m_prompter->openFileName(this, DataDir, u"Laskut (*.csv)"_s, noInvoice);
    if (!path.isEmpty())
        OpenInvoiceFile(path);
}

void TForm1::OpenInvoiceFile(const QString &path)
{
    // Read first: a file that cannot be read or is no invoice leaves the
    // invoice on screen as it was.
    const InvoiceRecord record = ReadSavedInvoice(path);
    ClearInvoice();
    // A file of an earlier version keeps no e-invoice address: its customer's
    // in the register stands in.
    ShowInvoice({WithCustomerEinvoice(record.invoice), record.biller});
    FillPayerOnGiro();
    OpenedInvoiceFile = path;
    RecalcInvoice();
}

InvoiceRecord TForm1::ReadSavedInvoice(const QString &path)
{
    if (const std::shared_ptr<SaveFolder> folder = Folder())
        return folder->readInvoiceFile(path);
    // No save folder yet: a file opened from elsewhere.
    return ReadInvoiceRecord(path, CollectBillerDetails(), CollectDefaults());
}

void TForm1::Hyvityslasku1Click()
{
    if (OpenedInvoiceFile.isEmpty())
        throw CommandError(kNoInvoiceToCredit);
    CreditInvoiceFile(OpenedInvoiceFile);
}

void TForm1::CreditInvoiceFile(const QString &path)
{
    const InvoiceRecord record = ReadSavedInvoice(path);
    const InvoiceData original = WithCustomerEinvoice(record.invoice);
    // Refused before the invoice on screen gives way to the new one.
    CheckCreditable(original);
    // A new invoice's number, date and reference, as "VALMIS/TALLENNA" counts them.
    Uusi1Click();
    ShowInvoice({CreditNoteOf(original, CollectInvoice().header), PageBiller});
    FillPayerOnGiro();
    RecalcInvoice();
}

void TForm1::AdvanceCounters()
{
    const std::optional<QString> next = NextInvoiceCounter(m_profile.nextInvoiceNumber, LaskuNro1->text());
    if (!next)
        return;
    Profile profile = m_profile;
    profile.nextInvoiceNumber = *next;
    profile.nextReferenceBase = StepReferenceBase(profile.nextReferenceBase);
    // A save folder asked for by this save is kept with the counters.
    profile.dataDir = DataDir;
    SaveProfile(profile);
    // The box is closed while an invoice is saved: it has no edits to keep.
    ShowProfile(m_profile);
    BillerChanged = false;
}
