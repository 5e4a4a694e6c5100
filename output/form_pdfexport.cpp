// "Tulosta pdf": the invoice written page for page into a PDF file, as it
// would be printed, without copies.

#include "app/Unit1.h"
#include "invoice/creditnote.h"
#include "invoice/reminderpage.h"
#include "output/pdfhdr2.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

void TForm1::connectOutput()
{
    connectCommand(Pdfexport1, &QAction::triggered, &TForm1::Pdfexport1Click);
    connectCommand(Print1, &QAction::triggered, &TForm1::Print1Click);
}

QString TForm1::SuggestedPdfName()
{
    return DataDir.isEmpty() ? QString() : InvoiceFileBase() + u".pdf"_s;
}

void TForm1::Pdfexport1Click()
{
    AskAndExportPdf();
}

QString TForm1::AskAndExportPdf()
{
    const QString suggested = SuggestedPdfName();
    const QFileInfo suggestion(suggested);
    QString name = m_prompter->saveFileName(this, suggested.isEmpty() ? QString() : suggestion.path(),
                                            suggestion.fileName(), {kPdfFileFilter.toString()}, nullptr);
    if (name.isEmpty())
        return name;
    if (QFileInfo(name).suffix().isEmpty())
        name += u".pdf"_s;
    ExportPdf(name);
    return name;
}

QString TForm1::PageDocumentTitle() const
{
    const QString kind = ReminderOnPage ? kReminderCommand.toString()
        : IsCreditNoteOnPage()          ? kCreditNoteCommand.toString()
                                        : u"Lasku"_s;
    const QString number = ReminderOnPage ? ReminderOnPage->invoiceNumber : LaskuNro1->text();
    QStringList parts{(kind + u' ' + number.trimmed()).trimmed()};
    // The biller as the page names it in its footer.
    if (const QString biller = VirallNimi2->text().trimmed(); !biller.isEmpty())
        parts.append(biller);
    return parts.join(u", "_s);
}

void TForm1::ExportPdf(const QString &name, StagedFiles *staging)
{
    PreparePageForOutput();
    TNimbPDF pdf;
    pdf.FileName = name;
    pdf.Title = PageDocumentTitle();
    pdf.Staging = staging;
    pdf.BeginDoc();
    const auto done = qScopeGuard([this] { Rendering.canvas = nullptr; });
    Rendering.canvas = pdf.GetCanvas();
    Rendering.deviceWidth = pdf.PageWidth();
    Rendering.deviceHeight = pdf.PageHeight();
    Rendering.kind = OutputKind::Pdf;
    RenderInvoicePages([&pdf] { pdf.NewPage(); }, true);
    pdf.EndDoc();
}
