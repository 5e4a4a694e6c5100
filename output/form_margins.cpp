// The print margins of the page and of the giro form, changed from the
// "Muokkaa" menu and kept in the settings.

#include "app/Unit1.h"
#include "app/inifile.h"
#include "app/settingsrules.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

struct MarginItem
{
    QAction *TForm1::*action;
    int TForm1::*field;
    const char16_t *prompt;
    const char16_t *caption;
    bool giro;
};

// The margin items in the order of their tags, which their actions carry.
constexpr MarginItem kMarginItems[] = {
    {&TForm1::Vas1, &TForm1::MarginLeft, u"Vasen", u"&Vasen ", false},
    {&TForm1::Oik1, &TForm1::MarginRight, u"Oikea", u"&Oikea ", false},
    {&TForm1::Yla1, &TForm1::MarginTop, u"Ylä", u"&Ylä ", false},
    {&TForm1::Ala1, &TForm1::MarginBottom, u"Ala", u"&Ala ", false},
    {&TForm1::Vas2, &TForm1::GiroMarginLeft, u"Pankkisiirron vasen", u"&Vasen marg. ", true},
    {&TForm1::Oik2, &TForm1::GiroMarginRight, u"Pankkisiirron oikea", u"&Oikea marg. ", true},
};

// Shows each margin of the page or of the giro form in its menu item.
void showMargins(TForm1 &form, bool giro)
{
    for (const MarginItem &item : kMarginItems) {
        if (item.giro == giro)
            (form.*item.action)->setText(QString::fromUtf16(item.caption) + QString::number(form.*item.field));
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
    EditMargin(QString::fromUtf16(item.prompt), this->*item.field);
}

void TForm1::EditMargin(const QString &prompt, int &margin)
{
    const QString preset = QString::number(margin);
    const QString answer = m_prompter->inputText(this, u"Marginaalin muutos"_s, prompt, preset).value_or(preset);
    if (const std::optional<int> value = ParseWholeNumber(answer))
        margin = ClampMarginMm(*value);
    SaveSettings();
}
