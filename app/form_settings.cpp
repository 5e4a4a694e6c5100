// The settings as the window keeps them: the profile read once at start,
// each change written whole, the grid layout, and the biller details on the
// page.

#include "app/settingsrules.h"
#include "app/Unit1.h"
#include "base/commanderror.h"
#include "invoice/reminder.h"
#include "invoice/shoppingcart.h"
#include "storage/textfile.h"
#include "widgets/stringgrid.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QColor grey(int step)
{
    const int level = BrightnessLevel(step);
    return QColor(level, level, level);
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Text, color);
    pal.setColor(QPalette::WindowText, color);
    widget->setPalette(pal);
}

void setBackground(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

} // namespace

void TForm1::LoadSettings()
{
    // A settings path that names a FIFO or a folder is not read; the
    // defaults stand and the user learns why.
    if (!IsRegularFileOrMissing(IniFileName))
        m_prompter->message(this, FileOpenError(IniFileName).message());
    m_profile = ReadProfile(IniFileName);
    DataDir = m_profile.dataDir;
    ShowProfile(m_profile);

    const GridLayout &grid = m_profile.grid;
    for (int c = 0; c < LaskuRivit1->colCount() && c < grid.rowsColumnWidths.size(); ++c)
        LaskuRivit1->setColWidth(c, grid.rowsColumnWidths[c].value_or(LaskuRivit1->colWidth(c)));
    for (int r = 0; r < AsiakOsoite1->rowCount() && r < grid.customerRowHeights.size(); ++r)
        AsiakOsoite1->setRowHeight(r, grid.customerRowHeights[r].value_or(AsiakOsoite1->rowHeight(r)));
    for (int r = 0; r < YritNimi2->rowCount() && r < grid.billerRowHeights.size(); ++r)
        YritNimi2->setRowHeight(r, grid.billerRowHeights[r].value_or(YritNimi2->rowHeight(r)));

    Paste1->setVisible(m_profile.pasteType == kShoppingCartMark);

    ApplyBillerDetails();
    BillerChanged = false;
}

void TForm1::SaveProfile(const Profile &profile)
{
    WriteProfile(IniFileName, profile);
    m_profile = profile;
}

void TForm1::SaveDataDir()
{
    Profile profile = m_profile;
    profile.dataDir = DataDir;
    SaveProfile(profile);
}

void TForm1::SaveGridLayout()
{
    Profile profile = m_profile;
    GridLayout &grid = profile.grid;
    for (int c = 0; c < LaskuRivit1->colCount() && c < grid.rowsColumnWidths.size(); ++c)
        grid.rowsColumnWidths[c] = LaskuRivit1->colWidth(c);
    for (int r = 0; r < AsiakOsoite1->rowCount() && r < grid.customerRowHeights.size(); ++r)
        grid.customerRowHeights[r] = AsiakOsoite1->rowHeight(r);
    for (int r = 0; r < YritNimi2->rowCount() && r < grid.billerRowHeights.size(); ++r)
        grid.billerRowHeights[r] = YritNimi2->rowHeight(r);
    SaveProfile(profile);
}

void TForm1::StoreReferenceRate(const ReferenceRateRow &row)
{
    const ReferenceRate rate = ReferenceRatesOfRows({row}).constFirst();
    Profile profile = m_profile;
    ReferenceRates stored = CheckedReminderSettings(profile).referenceRates;
    stored.removeIf([&rate](const ReferenceRate &kept) { return kept.start == rate.start; });
    stored.append(rate);
    std::sort(stored.begin(), stored.end(),
              [](const ReferenceRate &a, const ReferenceRate &b) { return a.start < b.start; });
    profile.reminders.referenceRates = stored;
    SaveProfile(profile);
    // The box shows the rate too, beside rows typed there and not yet confirmed.
    QList<ReferenceRateRow> shown = ReferenceRateRowsShown();
    shown.append(row);
    ShowReferenceRateRows(shown);
}

void TForm1::ApplyBillerDetails()
{
    const Profile &p = m_profile;
    for (int line = 0; line < kHeadingLineCount; ++line)
        YritNimi2->setCell(kBlockTextColumn, line, p.headingLines.value(line));
    // An invoice opened from its file keeps the biller it was issued with;
    // what it does not keep is today's.
    ShowBiller(OpenedInvoiceFile.isEmpty() ? p.biller : IssuedBiller(CollectInvoice().header, p.biller));
    MaksuEhto2->setText(p.defaults.paymentTerms);
    ViivKorko2->setText(p.defaults.penaltyInterest);
    HuomAika2->setText(p.defaults.reminderTime);

    const QColor background = grey(p.headingBackground);
    setBackground(OmatBox1, background);
    setBackground(OmaPanel, background);
    YritNimi2->setCellColor(background);
    YritNimi2->setFixedColor(background);
    const QColor text = grey(p.headingText);
    setTextColor(YritNimi1, text);
    YritNimi2->setTextColor(text);
    OwnNameFont.color = text;
    YritNimi2->viewport()->update();
}
