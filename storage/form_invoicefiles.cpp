// Saving an invoice ("VALMIS/TALLENNA"), opening a saved one ("Nouda lasku"),
// the save folder and the counters that advance after a save.

#include "app/Unit1.h"
#include "widgets/stringgrid.h"
#include "invoice/numbering.h"
#include "storage/fileerror.h"
#include "storage/gridline.h"
#include "storage/invoicefile.h"
#include "storage/textfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

const QString kIncomplete = u"Puuttellinen lasku\r\nEi tallennettu"_s;

// A file with more row lines than the page holds shows the extra rows page.
constexpr int kPageRowLines = 16;

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
    if (grid->rowCount() < lines.size() + 2)
        grid->setRowCount(int(lines.size()) + 2);
    QList<QStringList> rows = ReadLinesIntoRows(lines, grid->colCount());
    for (qsizetype i = 0; i < rows.size(); ++i)
        grid->setRowCells(int(i) + 1, std::move(rows[i]));
    grid->setRowCells(grid->rowCount() - 1, QStringList());
}

QString TForm1::InvoiceYearText() const
{
    return InvoiceYearOfDate(LaskuPvm1->text());
}

void TForm1::AskSaveFolder()
{
    QString folder = DataDir;
    if (folder.endsWith(QDir::separator()))
        folder.chop(1);
    const QString answer = m_prompter->saveFileName(this, folder, u"Anna tallennuskansio"_s,
                                                    {u"Kansiot (*.)"_s, u"Pdf dokumentit (*.pdf)"_s});
    if (!answer.isEmpty())
        DataDir = SaveFolderOfEnteredName(answer);
    // Cancelled: the program's own folder, where its settings file lies.
    if (DataDir.isEmpty())
        DataDir = SaveFolderOfEnteredName(IniFileName);
    RegisterFileName = DataDir + u"AsiakRek.csv"_s;
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
    try {
        const QString path = InvoiceFileBase() + u".csv"_s;
        if (AsiakNimi1->currentText().isEmpty()) {
            m_prompter->message(this, kIncomplete);
            return;
        }
        // The number is typed freely and names the file: refuse one that would
        // write elsewhere than the year folder, before anything is written.
        if (!IsUsableInvoiceNumber(LaskuNro1->text()))
            throw FileCreateError(path);
        // Another invoice saved under this number is never lost unasked.
        const bool replacing = QFileInfo::exists(path) && !isSameFile(path, OpenedInvoiceFile);
        if (replacing && !m_prompter->question(this, ReplaceInvoiceQuestion(LaskuNro1->text(), path)))
            return;
        RegisterInvoiceCustomer();

        const QStringList header = {LaskuNro1->text(), LaskuPvm1->text(), ViiteNro1->text(),
                                    AsiakY1->text(), AsiakNro1->text()};
        AsiakOsoite1->setCell(1, 0, AsiakNimi1->currentText());
        LaskuRivit1->commitEdit();
        QList<QStringList> rows;
        for (int r = 1; r < LaskuRivit1->rowCount(); ++r)
            rows.append(LaskuRivit1->rowCells(r));
        const QStringList lines = InvoiceFileLines(header, AsiakOsoite1->columnCells(1), rows);
        if (lines.size() < 3) {
            m_prompter->message(this, kIncomplete);
            return;
        }
        if (replacing)
            KeepEarlierVersion(path);
        WriteTextLines(path, lines);
        // Printing or PDF export of the saved invoice comes here.
        AdvanceCounters();
        Uusi1Click();
    } catch (const std::exception &error) {
        m_prompter->message(this, CommandErrorText(error));
    }
}

void TForm1::Noudalasku1Click()
{
    const QString path = m_prompter->openFileName(this, DataDir, u"Laskut (*.csv)"_s);
    if (path.isEmpty())
        return;
    ClearInvoice();
    try {
        const QStringList lines = ReadTextLines(path);
        if (lines.size() >= 2) {
            QLineEdit *const fields[] = {LaskuNro1, LaskuPvm1, ViiteNro1, AsiakY1, AsiakNro1};
            const QStringList header = SplitGridLine(lines[0], std::size(fields));
            for (qsizetype i = 0; i < header.size(); ++i)
                fields[i]->setText(header[i]);

            const QStringList customer = ReadLineIntoCells(lines[1], 4);
            for (int r = 0; r < 4; ++r)
                AsiakOsoite1->setCell(1, r, customer[r]);
            FillingCustomer = true;
            AsiakNimi1->setEditText(customer[0]);
            FillingCustomer = false;

            const QStringList rowLines = lines.mid(2);
            // Lay out the page for the rows first: the layout sets the grid's
            // row count, and rows beyond it would otherwise be cut off.
            LisaRivit1->setChecked(rowLines.size() > kPageRowLines);
            LinesToGrid(LaskuRivit1, rowLines);
            RecalcDueDate();
            FillPayerOnGiro();
        }
        OpenedInvoiceFile = path;
        RecalcInvoice();
    } catch (const std::exception &error) {
        m_prompter->message(this, CommandErrorText(error));
    }
}

void TForm1::RecalcDueDate()
{
    if (const std::optional<QString> due = RecalcDueDateText(LaskuPvm1->text(), MaksuEhto1->text()))
        EraPv2->setText(*due);
}

void TForm1::AdvanceCounters()
{
    const std::optional<QString> next = NextInvoiceCounter(NextNr1->text(), LaskuNro1->text());
    if (!next)
        return;
    NextNr1->setText(*next);
    NextViite1->setText(StepReferenceBase(NextViite1->text()));
    SaveSettings();
}
