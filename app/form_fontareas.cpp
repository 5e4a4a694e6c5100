// The page's font areas: each area's leading font, the widgets that copy it,
// the fonts stored in the settings, and the right-button popup menu.

#include "app/Unit1.h"
#include "app/settingsrules.h"
#include "widgets/stringgrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace {

FontObject widgetFont(const QWidget *widget)
{
    const QPalette::ColorRole role = qobject_cast<const QLabel *>(widget) ? QPalette::WindowText : QPalette::Text;
    return {widget->font(), widget->palette().color(role)};
}

void applyFont(QWidget *widget, const FontObject &font)
{
    widget->setFont(font.font);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Text, font.color);
    pal.setColor(QPalette::WindowText, font.color);
    widget->setPalette(pal);
    if (auto *label = qobject_cast<QLabel *>(widget))
        label->resize(label->width(), label->sizeHint().height());
}

// An area led by a widget's own font.
FontArea widgetArea(const QString &section, QWidget *leader, QList<QWidget *> copies,
                    QList<QWidget *> clickTargets)
{
    return {section, [leader] { return widgetFont(leader); },
            [leader](const FontObject &font) { applyFont(leader, font); }, std::move(copies),
            std::move(clickTargets)};
}

} // namespace

void TForm1::connectFontAreas()
{
    m_fontAreas = {
        {FontAreaSection::OwnName.toString(), [this] { return OwnNameFont; },
         [this](const FontObject &font) {
             OwnNameFont = font;
             YritNimi2->viewport()->update();
         },
         {}, {}},
        widgetArea(FontAreaSection::Rows.toString(), LaskuRivit1, {}, {}),
        widgetArea(FontAreaSection::BillerDetails.toString(), YritNimi2, {}, {}),
        widgetArea(FontAreaSection::CustomerName.toString(), AsiakOsoite1, {AsiakNimi1}, {}),
        widgetArea(FontAreaSection::Title.toString(), Lasku1, {}, {Lasku1}),
        widgetArea(FontAreaSection::InvoiceDate.toString(), LaskuPvm1,
                   {HuomAika2, LaskuNro1, EraPv2, AsiakY1, AsiakNro1, ViivKorko2, MaksuEhto2},
                   {LaskuPvm1, HuomAika2, LaskuNro1, EraPv2, AsiakY1, AsiakNro1, ViivKorko2, MaksuEhto2}),
        widgetArea(FontAreaSection::VatSums.toString(), SumAlv0, {AlvSum1}, {SumAlv0, AlvSum1}),
        widgetArea(FontAreaSection::Total.toString(), TotSum, {}, {TotSum}),
        widgetArea(FontAreaSection::Reference.toString(), ViiteNro1, {}, {ViiteNro1}),
        widgetArea(FontAreaSection::IbanBic.toString(), Iban3, {Bic3, ViiteNro2, EraPv3, TotSum2},
                   {Iban3, Bic3, ViiteNro2, EraPv3, TotSum2}),
        widgetArea(FontAreaSection::GiroForm.toString(), VirallNimi3,
                   {Osoite31, Posti3, AsiakNimi2, AsiakOsoite2, AsiakOsoite3, AsiakOsoite4, Label74,
                    Label76, LaskuNro2, LaskuPvm2},
                   {VirallNimi3, Osoite31, Posti3, AsiakNimi2, AsiakOsoite2, AsiakOsoite3, AsiakOsoite4,
                    Label74, Label76, LaskuNro2, LaskuPvm2}),
    };
    for (const FontArea &area : std::as_const(m_fontAreas)) {
        for (QWidget *target : area.clickTargets)
            target->installEventFilter(this);
    }

    // The grids report their right-button presses themselves.
    connect(LaskuRivit1, &StringGrid::rightButtonPressed, this, [this](QPoint position) {
        ShowAreaPopup(LaskuRivit1, *fontArea(FontAreaSection::Rows.toString()), position);
    });
    connect(YritNimi2, &StringGrid::rightButtonPressed, this, [this](QPoint position) {
        const bool nameLine = YritNimi2->rowAt(position.y()) == 0;
        const QStringView section = nameLine ? FontAreaSection::OwnName : FontAreaSection::BillerDetails;
        ShowAreaPopup(YritNimi2, *fontArea(section.toString()), position);
    });
    connect(AsiakOsoite1, &StringGrid::rightButtonPressed, this, [this](QPoint position) {
        ShowAreaPopup(AsiakOsoite1, *fontArea(FontAreaSection::CustomerName.toString()), position);
    });
    connectCommand(Font1, &QAction::triggered, &TForm1::Font1Click);
}

const FontArea *TForm1::fontArea(const QString &section) const
{
    for (const FontArea &area : m_fontAreas) {
        if (area.section == section)
            return &area;
    }
    return nullptr;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        for (const FontArea &area : std::as_const(m_fontAreas)) {
            if (area.clickTargets.contains(widget)) {
                ShowAreaPopup(widget, area, static_cast<QMouseEvent *>(event)->position().toPoint());
                return FontPopEnable->isChecked();
            }
        }
    }
    // With the font popup on, it replaces the edit boxes' own context menu.
    if (event->type() == QEvent::ContextMenu && FontPopEnable->isChecked())
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::ApplyStoredFont(const StoredFont &stored, FontObject &font)
{
    if (stored.family)
        font.font.setFamily(*stored.family);
    if (stored.pointSize)
        font.font.setPointSize(*stored.pointSize);
    if (const std::optional<int> style = stored.style) {
        font.font.setBold(*style & 1);
        font.font.setItalic(*style & 2);
        font.font.setUnderline(*style & 4);
        font.font.setStrikeOut(*style & 8);
    }
}

void TForm1::LoadAreaFonts()
{
    for (const FontArea &area : std::as_const(m_fontAreas)) {
        FontObject font = area.leader();
        ApplyStoredFont(m_profile.fonts.value(area.section), font);
        area.setLeader(font);
        if (area.section == FontAreaSection::Rows) {
            // The headings print smaller; made once, it does not follow later changes.
            RowsHeaderFont = font;
            RowsHeaderFont.font.setPointSize(RowsHeadingPointSize(font.font.pointSize()));
            LaskuRivit1->attachFont(&RowsHeaderFont);
        }
    }
    PropagateAreaFonts();
}

void TForm1::PropagateAreaFonts()
{
    for (const FontArea &area : std::as_const(m_fontAreas)) {
        const FontObject font = area.leader();
        for (QWidget *copy : area.copies)
            applyFont(copy, font);
    }
}

void TForm1::ShowAreaPopup(QWidget *widget, const FontArea &area, const QPoint &position)
{
    const bool rowsGrid = widget == LaskuRivit1;
    if (!FontPopEnable->isChecked() && !rowsGrid)
        return;
    for (QAction *rowCommand : {Tyhjarivi1, Poistarivi1, Lisarivi1})
        rowCommand->setVisible(rowsGrid);
    PopupAreaName = area.section;
    PopupAreaFont = &area;
    Paste2->setEnabled(!QApplication::clipboard()->text().isEmpty());
    auto *grid = qobject_cast<StringGrid *>(widget);
    const QWidget *origin = grid ? grid->viewport() : widget;
    FontPopup1->popup(origin->mapToGlobal(position));
}

void TForm1::Font1Click()
{
    if (!PopupAreaFont)
        return;
    FontObject font = PopupAreaFont->leader();
    const std::optional<QFont> chosen = m_prompter->font(this, font.font);
    if (!chosen)
        return;
    font.font = *chosen;
    PopupAreaFont->setLeader(font);
    Profile profile = m_profile;
    profile.fonts[PopupAreaName] = {font.font.family(), font.font.pointSize(),
                                    FontStyleBits(font.font.bold(), font.font.italic(), font.font.underline(),
                                                  font.font.strikeOut())};
    // A failed write leaves the other widgets of the area as they were.
    SaveProfile(profile);
    PropagateAreaFonts();
}
