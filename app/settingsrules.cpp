// Small rules of the settings: brightness steps, typed whole numbers and the
// stored font style.

#include "settingsrules.h"

int ClampBrightnessStep(int step)
{
    return std::clamp(step, 0, 10);
}

int BrightnessLevel(int step)
{
    step = ClampBrightnessStep(step);
    return step == 10 ? 255 : 26 * step;
}

std::optional<int> ParseWholeNumber(QStringView text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

int FontStyleBits(bool bold, bool italic, bool underline, bool strikeOut)
{
    return (bold ? 1 : 0) | (italic ? 2 : 0) | (underline ? 4 : 0) | (strikeOut ? 8 : 0);
}
