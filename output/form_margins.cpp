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
};

// Indexed by the menu item's tag.
constexpr MarginItem kMarginItems[] = {
    {&TForm1::Vas1, &TForm1::MarginLeft, u"Vasen", u"Vasen "},
    {&TForm1::Oik1, &TForm1::MarginRight, u"Oikea", u"Oikea "},
    {&TForm1::Yla1, &TForm1::MarginTop, u"Ylä", u"Ylä "},
    {&TForm1::Ala1, &TForm1::MarginBottom, u"Ala", u"Ala "},
    {&TForm1::Vas2, &TForm1::GiroMarginLeft, u"Pankkisiirron vasen", u"Vasen marg. "},
    {&TForm1::Oik2, &TForm1::GiroMarginRight, u"Pankkisiirron oikea", u"Oikea marg. "},
};

} // namespace

void TForm1::connectMargins()
{
    connect(Tulostusmarginaalit1, &QMenu::aboutToShow, this, &TForm1::Tulostusmarginaalit1Click);
    connect(Pankkisiirto2, &QMenu::aboutToShow, this, &TForm1::Pankkisiirto2Click);
    for (const MarginItem &item : kMarginItems) {
        QAction *action = this->*item.action;
        connect(action, &QAction::triggered, this, [this, action] { Vas1Click(action->data().toInt()); });
    }
}

void TForm1::Tulostusmarginaalit1Click()
{
    for (int tag = 0; tag < 4; ++tag) {
        const MarginItem &item = kMarginItems[tag];
        (this->*item.action)->setText(QString::fromUtf16(item.caption) + QString::number(this->*item.field));
    }
}

void TForm1::Pankkisiirto2Click()
{
    for (int tag = 4; tag < 6; ++tag) {
        const MarginItem &item = kMarginItems[tag];
        (this->*item.action)->setText(QString::fromUtf16(item.caption) + QString::number(this->*item.field));
    }
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
    try {
        SaveSettings();
    } catch (const IniWriteError &error) {
        m_prompter->message(this, error.message());
    }
}
