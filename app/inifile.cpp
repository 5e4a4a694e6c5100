// The settings file: private-profile rules over Windows-1252 text; a write
// opens and replaces the file each time, reads may share one reading.

#include "inifile.h"

#include "storage/cp1252.h"
#include "storage/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kMaxValueLength = 1023;

// The blanks trimmed around names and values. Not QChar::isSpace: that would
// also eat the no-break space, which amounts use as thousands separator.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// A line's text runs from start to end; its line ending (CR, LF, CR LF or
// none on the last line) runs from end to next.
struct Line
{
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype next = 0;

    bool hasEnding() const { return next > end; }
};

Line lineAt(QStringView text, qsizetype start)
{
    qsizetype end = start;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    qsizetype next = end;
    if (next < text.size()) {
        const bool crLf = text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n';
        next += crLf ? 2 : 1;
    }
    return {start, end, next};
}

enum class LineKind { Other, Section, Key };

struct ParsedLine
{
    LineKind kind = LineKind::Other;
    QStringView name;
    // Key lines: offset within the line where the value starts, past "=" and blanks.
    qsizetype valueStart = 0;
};

ParsedLine parseLine(QStringView line)
{
    const QStringView body = trimBlanks(line);
    if (body.isEmpty() || body.front() == u';')
        return {};
    if (body.front() == u'[') {
        const qsizetype close = body.indexOf(u']');
        if (close > 0)
            return {LineKind::Section, trimBlanks(body.sliced(1, close - 1)), 0};
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return {};
    qsizetype valueStart = equals + 1;
    while (valueStart < line.size() && isBlank(line[valueStart]))
        ++valueStart;
    return {LineKind::Key, trimBlanks(line.first(equals)), valueStart};
}

// Where a key stands in the file, or where a new one would go.
struct KeyLocation
{
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;
    // The key as the file spells it, and where its value starts.
    QStringView keyName;
    qsizetype valueStart = 0;
    // The section's last key line, or its header when it has no keys.
    Line lastLine;
};

// Only the first section of the name counts, and the first key in it.
KeyLocation findKey(QStringView text, QStringView section, QStringView key)
{
    KeyLocation location;
    for (qsizetype pos = 0; pos < text.size();) {
        const Line line = lineAt(text, pos);
        pos = line.next;
        const ParsedLine parsed = parseLine(text.sliced(line.start, line.end - line.start));
        if (parsed.kind == LineKind::Section) {
            if (location.sectionFound)
                break;
            if (parsed.name.compare(section, Qt::CaseInsensitive) == 0) {
                location.sectionFound = true;
                location.lastLine = line;
            }
        } else if (parsed.kind == LineKind::Key && location.sectionFound) {
            location.lastLine = line;
            if (parsed.name.compare(key, Qt::CaseInsensitive) == 0) {
                location.keyFound = true;
                location.keyLine = line;
                location.keyName = parsed.name;
                location.valueStart = line.start + parsed.valueStart;
                break;
            }
        }
    }
    return location;
}

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The whole file as text; nullopt when it cannot be opened or read, or is
// no regular file (a FIFO would keep the reader waiting).
std::optional<QString> readFileText(const QString &path)
{
    if (!IsRegularFileOrMissing(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return cp1252ToString(bytes);
}

} // namespace

IniWriteError::IniWriteError(const QString &path)
    : CommandError(u"Unable to write to %1"_s.arg(QDir::toNativeSeparators(path)))
{
}

std::optional<QString> IniValue(const QString &fileText, QStringView section, QStringView key)
{
    const KeyLocation location = findKey(fileText, section, key);
    if (!location.keyFound)
        return std::nullopt;
    const QStringView value = trimBlanks(QStringView(fileText).sliced(
        location.valueStart, location.keyLine.end - location.valueStart));
    return value.first(std::min(value.size(), kMaxValueLength)).toString();
}

QString IniReadString(const QString &fileText, QStringView section, QStringView key,
                      const QString &defaultValue)
{
    return IniValue(fileText, section, key).value_or(defaultValue);
}

std::optional<QString> ReadIniText(const QString &path)
{
    return readFileText(path);
}

void ReplaceIniText(const QString &path, const QString &text)
{
    // A crash or a full disk never leaves half a settings file.
    if (!ReplaceFileContents(path, stringToCp1252(text)))
        throw IniWriteError(path);
}

int IniParseInteger(QStringView value, int defaultValue)
{
    const bool hex = value.size() > 2 && value[0] == u'0' && (value[1] == u'x' || value[1] == u'X');
    const int base = hex ? 16 : 10;
    qsizetype pos = hex ? 2 : 0;
    bool negative = false;
    if (!hex && pos < value.size() && (value[pos] == u'+' || value[pos] == u'-')) {
        negative = value[pos] == u'-';
        ++pos;
    }
    if (pos == value.size())
        return defaultValue;

    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min())
                                  : qint64(std::numeric_limits<int>::max());
    qint64 result = 0;
    for (; pos < value.size(); ++pos) {
        const int digit = digitValue(value[pos]);
        if (digit < 0 || digit >= base)
            return defaultValue;
        result = result * base + digit;
        if (result > limit)
            return defaultValue;
    }
    return int(negative ? -result : result);
}

QString IniWriteString(const QString &fileText, QStringView section, QStringView key,
                       QStringView value)
{
    // A pasted line break would split the line and could plant keys or
    // sections of its own.
    const QString cleanValue = OnOneLine(value.toString());

    const QStringView text = fileText;
    const KeyLocation location = findKey(text, section, key);
    QString result;
    result.reserve(text.size() + section.size() + key.size() + cleanValue.size() + 8);

    // A rewritten line is exactly key=value: blanks kept from the old line
    // would add to the value's own on every save.
    const auto appendKeyValue = [&](QStringView name) {
        result.append(name);
        result.append(u'=');
        result.append(cleanValue);
    };

    if (location.keyFound) {
        result.append(text.first(location.keyLine.start));
        appendKeyValue(location.keyName);
        result.append(text.sliced(location.keyLine.end));
        return result;
    }

    const auto appendKeyLine = [&] {
        appendKeyValue(key);
        result.append(u"\r\n");
    };

    if (location.sectionFound) {
        const Line &last = location.lastLine;
        result.append(text.first(last.next));
        if (!last.hasEnding())
            result.append(u"\r\n");
        appendKeyLine();
        result.append(text.sliced(last.next));
        return result;
    }

    result.append(text);
    if (!text.isEmpty() && !text.endsWith(u'\r') && !text.endsWith(u'\n'))
        result.append(u"\r\n");
    result.append(u'[');
    result.append(section);
    result.append(u"]\r\n");
    appendKeyLine();
    return result;
}

IniSnapshot::IniSnapshot(const QString &path)
    : m_text(readFileText(path))
{
}

QString IniSnapshot::readString(QStringView section, QStringView key, const QString &defaultValue) const
{
    return m_text ? IniReadString(*m_text, section, key, defaultValue) : defaultValue;
}

int IniSnapshot::readInteger(QStringView section, QStringView key, int defaultValue) const
{
    return IniParseInteger(readString(section, key, QString()), defaultValue);
}

bool IniSnapshot::readBool(QStringView section, QStringView key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniSnapshot::contains(QStringView section, QStringView key) const
{
    return m_text && findKey(*m_text, section, key).keyFound;
}

QString ReadIniString(const QString &path, QStringView section, QStringView key,
                      const QString &defaultValue)
{
    return IniSnapshot(path).readString(section, key, defaultValue);
}

int ReadIniInteger(const QString &path, QStringView section, QStringView key, int defaultValue)
{
    return IniSnapshot(path).readInteger(section, key, defaultValue);
}

bool ReadIniBool(const QString &path, QStringView section, QStringView key, bool defaultValue)
{
    return IniSnapshot(path).readBool(section, key, defaultValue);
}

void WriteIniString(const QString &path, QStringView section, QStringView key, QStringView value)
{
    QString text;
    if (QFileInfo::exists(path)) {
        // Rewriting a file we could not read would throw away all its other keys.
        const std::optional<QString> current = readFileText(path);
        if (!current)
            throw IniWriteError(path);
        text = *current;
    }

    ReplaceIniText(path, IniWriteString(text, section, key, value));
}

void WriteIniInteger(const QString &path, QStringView section, QStringView key, int value)
{
    WriteIniString(path, section, key, QString::number(value));
}
