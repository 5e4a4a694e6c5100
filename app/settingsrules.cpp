// Small rules of the settings: the ranges of stored numbers, brightness steps,
// typed whole numbers, the typed copy count, the stored font style and the
// e-invoice format.

#include "settingsrules.h"

#include <algorithm>

using namespace Qt::StringLiterals;

int ClampGridColumnWidth(int width)
{
    return std::clamp(width, kMinGridColumnWidth, kMaxGridColumnWidth);
}

int ClampGridRowHeight(int height)
{
    return std::clamp(height, kMinGridRowHeight, kMaxGridRowHeight);
}

std::optional<int> StoredFontPointSize(int size)
{
    if (size <= 0)
        return std::nullopt;
    return std::clamp(size, kMinFontPointSize, kMaxFontPointSize);
}

int ClampMarginMm(int margin)
{
    return std::clamp(margin, -kMaxMarginMm, kMaxMarginMm);
}

int RowsHeadingPointSize(int rowsPointSize)
{
    return int(std::max<qint64>(1, (qint64(rowsPointSize) * 8 + 5) / 10));
}

bool KeepsTypedLength(QStringView before, QStringView after, int maxLength)
{
    return after.size() <= std::max<qsizetype>(maxLength, before.size());
}

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

QStringList EinvoiceFormatNames()
{
    return {u"Finvoice"_s, u"Finvoice lähetyskehyksellä"_s, u"Peppol BIS 3.0"_s};
}

EinvoiceFormat StoredEinvoiceFormat(int stored)
{
    if (stored < 0 || stored >= EinvoiceFormatNames().size())
        return EinvoiceFormat::Finvoice;
    return static_cast<EinvoiceFormat>(stored);
}
