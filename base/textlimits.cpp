// The limits of text taken in, as the refusals name them.

#include "base/textlimits.h"

using namespace Qt::StringLiterals;

QString LineCountRefusal(qsizetype count)
{
    return count > kMaxTextLines ? u"yli %1 riviä"_s.arg(kMaxTextLines) : QString();
}

QString LineLengthRefusal(qsizetype length)
{
    return length > kMaxTextLineLength ? u"yli %1 merkin rivi"_s.arg(kMaxTextLineLength) : QString();
}
