// Payment reminders on the page: a reminder shown on its invoice's page,
// written into a PDF with its file beside the invoice, and the window made
// for that.

#include "app/reportingprompter.h"
#include "app/Unit1.h"
#include "base/commanderror.h"
#include "invoice/numbering.h"
#include "invoice/recalc.h"
#include "invoice/reminderpage.h"
#include "output/paymentcodes.h"
#include "storage/ledger.h"
#include "storage/savefolder.h"
#include "storage/stagedfiles.h"
#include "widgets/stringgrid.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// Where a saved invoice file lies: its save folder (with a separator at the
// end) and year folder.
struct SavedPlace
{
    QString saveFolder;
    QString year;
};

SavedPlace savedPlaceOf(const QString &invoicePath)
{
    QDir folder = QFileInfo(invoicePath).absoluteDir();
    const QString year = folder.dirName();
    if (!IsYearFolderName(year))
        throw CommandError(u"Lasku %1 ei ole tallennuskansion vuosikansiossa; muistutus tehdään tallennetusta laskusta."_s
                               .arg(QDir::toNativeSeparators(invoicePath)));
    folder.cdUp();
    return {folder.path() + u'/', year};
}

} // namespace

Reminder TForm1::ReminderOfInvoiceFile(const QString &path, const QDate &date, std::optional<bool> business) const
{
    const std::unique_ptr<SaveFolder> folder =
        OpenSaveFolder(savedPlaceOf(path).saveFolder, CollectBillerDetails(), CollectDefaults());
    return SavedInvoiceReminder(*folder, path, date, business, CollectReminderSettings());
}

void TForm1::ShowReminder(const Reminder &reminder)
{
    // Made today, the reminder is from the biller as it is today and asks for
    // payment to today's account, whatever the invoice was issued with.
    const BillerDetails biller = CollectBillerDetails();
    ReminderOnPage = WithPaymentCodes(reminder, biller);
    ShowHeading();
    ShowBiller(biller);
    LaskuPvm1Label->setText(kReminderDateCaption.toString());
    LaskuNro1->setText(reminder.invoiceNumber);
    LaskuPvm1->setText(DateText(reminder.date));
    MaksuEhto2->setText(u"%1 pv"_s.arg(reminder.date.daysTo(reminder.newDueDate)));
    EraPv2->setText(DateText(reminder.newDueDate));
    ViiteNro1->setText(reminder.reference);

    QList<QStringList> rows;
    for (const ReminderLine &line : ReminderLines(reminder)) {
        QStringList row(RowColumnCount);
        row[TextColumn] = line.text;
        row[TotalColumn] = line.amount;
        rows.append(row);
    }
    LisaRivit1->setChecked(rows.size() > kPageRowLines);
    RowsToGrid(LaskuRivit1, rows);
    // A line has a text and an amount, nothing of an invoice row's.
    for (int column : {QuantityColumn, UnitColumn, PriceColumn, VatColumn})
        LaskuRivit1->setCell(column, 0, QString());

    // Interest and fees bear no VAT: the total alone, and no caption or line
    // of VAT left to print.
    ShowVatRates({});
    for (QLabel *caption : {SumAlv0Label, AlvSum1Label})
        caption->clear();
    SumAlv0->clear();
    AlvSum1->clear();
    TotSumLabel->setText(kReminderTotalCaption.toString());
    TotSumLabel->adjustSize();
    TotSum->setText(PaymentAmountText(reminder.totalCents));
    FillPayerOnGiro();
}

void TForm1::WriteReminder(const QString &invoicePath, const Reminder &reminder, const QString &pdfPath)
{
    const std::unique_ptr<SaveFolder> folder =
        OpenSaveFolder(savedPlaceOf(invoicePath).saveFolder, CollectBillerDetails(), CollectDefaults());
    OpenInvoiceFile(invoicePath);
    ShowReminder(reminder);
    // The PDF is drawn whole before the reminder is saved, and put in place
    // after: a reminder of this number saved since this one was made (the
    // folder refuses it) leaves no PDF either.
    StagedFiles staging;
    ExportPdf(pdfPath, &staging);
    folder->saveReminder(reminder);
    if (!staging.Commit().isEmpty())
        throw FileCreateError(pdfPath);
}

void TForm1::ExportReminder(const QString &invoicePath, const Reminder &reminder, const QString &pdfPath)
{
    QString report;
    QTextStream reportStream(&report);
    {
        TForm1 window(StartupOptions{Startup.executablePath, Startup.arguments, QString(), false},
                      std::make_unique<ReportingPrompter>(reportStream));
        window.WriteReminder(invoicePath, reminder, pdfPath);
    }
    reportStream.flush();
    if (!report.isEmpty())
        m_prompter->message(this, report.trimmed());
}
