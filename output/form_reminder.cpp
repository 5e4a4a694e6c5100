// Payment reminders on the page: a reminder shown on its invoice's page,
// written into a PDF with its file beside the invoice, and the window made
// for that.

#include "app/Unit1.h"
#include "app/reportingprompter.h"
#include "invoice/numbering.h"
#include "invoice/recalc.h"
#include "invoice/reminderpage.h"
#include "storage/commanderror.h"
#include "storage/ledger.h"
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
    const SavedPlace place = savedPlaceOf(path);
    const BillerDetails biller = CollectBillerDetails();
    const InvoiceDefaults defaults = CollectDefaults();
    // A reminder asks for payment now: to today's account, whatever the
    // invoice was issued with.
    InvoiceRecord record = ReadInvoiceRecord(path, biller, defaults);
    record.biller = biller;
    // The invoice's row of the ledger has its credit notes, which may be of
    // a later year, and its payments.
    const Ledger ledger = ReadLedger(place.saveFolder, biller, defaults, date);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const auto row = std::find_if(ledger.rows.begin(), ledger.rows.end(), [&](const LedgerRow &candidate) {
        return QFileInfo(candidate.path).canonicalFilePath() == canonical;
    });
    if (row == ledger.rows.end())
        throw CommandError(u"Tiedosto %1 ei ole tallennuskansion lasku; muistutusta ei voi tehdä."_s.arg(
            QDir::toNativeSeparators(path)));
    QList<Payment> payments;
    for (qsizetype index : PaymentsOfRow(ledger.payments, *row))
        payments.append(ledger.payments[index]);
    ReminderRequest request{place.year, date, SavedReminderCount(place.saveFolder, place.year, row->number), business};
    request.creditedCents = row->creditCents;
    return MakeReminder(record, payments, request, CollectReminderSettings());
}

void TForm1::ShowReminder(const Reminder &reminder)
{
    ReminderOnPage = reminder;
    ShowHeading();
    // Made today, the reminder is from the biller as it is today.
    ShowBiller(CollectBillerDetails());
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
    const SavedPlace place = savedPlaceOf(invoicePath);
    const QString file = ReminderFilePath(place.saveFolder, reminder.year, reminder.invoiceNumber, reminder.number);
    // Another reminder may have been saved since this one was made.
    if (QFileInfo::exists(file))
        throw CommandError(u"Laskun %1 maksumuistutus %2 on jo tallennettu (%3)."_s.arg(
            reminder.invoiceNumber, QString::number(reminder.number), QDir::toNativeSeparators(file)));
    OpenInvoiceFile(invoicePath);
    ShowReminder(reminder);
    ExportPdf(pdfPath);
    WriteReminderFile(file, reminder);
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
