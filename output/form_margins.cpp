// The print margins of the page and of the giro form, changed from the
// "Muokkaa" menu and kept in the settings.

#include "app/Unit1.h"
#include "app/settingsrules.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

struct MarginItem
{
    QAction *TForm1::*action;
    int Margins::*field;
    const char16_t *prompt;
    const char16_t *caption;
    bool giro;
};

// The margin items in the order of their tags, which their actions carry.
constexpr MarginItem kMarginItems[] = {
    {&TForm1::Vas1, &Margins::left, u"Vasen", u"&Vasen ", false},
    {&TForm1::Oik1, &Margins::right, u"Oikea", u"&Oikea ", false},
    {&TForm1::Yla1, &Margins::top, u"Ylä", u"&Ylä ", false},
    {&TForm1::Ala1, &Margins::bottom, u"Ala", u"&Ala ", false},
    {&TForm1::Vas2, &Margins::giroLeft, u"Pankkisiirron vasen", u"&Vasen marg. ", true},
    {&TForm1::Oik2, &Margins::giroRight, u"Pankkisiirron oikea", u"&Oikea marg. ", true},
};

// Shows each margin of the page or of the giro form in its menu item.
void showMargins(TForm1 &form, bool giro)
{
    for (const MarginItem &item : kMarginItems) {
        if (item.giro == giro)
            (form.*item.action)->setText(QString::fromUtf16(item.caption)
                                         + QString::number(form.CurrentProfile().margins.*item.field));
    }
}

} // namespace

void TForm1::connectMargins()
{
    connect(Tulostusmarginaalit1, &QMenu::aboutToShow, this, &TForm1::Tulostusmarginaalit1Click);
    connect(Pankkisiirto2, &QMenu::aboutToShow, this, &TForm1::Pankkisiirto2Click);
    for (int tag = 0; tag < int(std::size(kMarginItems)); ++tag) {
        QAction *action = this->*kMarginItems[tag].action;
        action->setData(tag);
        connect(action, &QAction::triggered, this, [this, tag] { runCommand([this, tag] { Vas1Click(tag); }); });
    }
}

void TForm1::Tulostusmarginaalit1Click()
{
    showMargins(*this, false);
}

void TForm1::Pankkisiirto2Click()
{
    showMargins(*this, true);
}

void TForm1::Vas1Click(int tag)
{
    if (tag < 0 || tag >= int(std::size(kMarginItems)))
        return;
    const MarginItem &item = kMarginItems[tag];
    EditMargin(QString::fromUtf16(item.prompt), item.field);
}

void TForm1::EditMargin(const QString &prompt, int Margins::*margin)
{
    Profile profile = m_profile;
    int &value = profile.margins.*margin;
    const QString preset = QString::number(value);
    const QString answer = m_prompter->inputText(this, u"Marginaalin muutos"_s, prompt, preset).value_or(preset);
    if (const std::optional<int> typed = ParseWholeNumber(answer))
        value = ClampMarginMm(*typed);
    SaveProfile(profile);
}
