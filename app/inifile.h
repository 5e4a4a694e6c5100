#pragma once

#include "base/commanderror.h"

#include <QString>
#include <QStringView>

#include <optional>

// The settings file follows the Windows private-profile rules: "[section]"
// lines, "key=value" lines, names matched without case, Windows-1252 text.

/// The section of the biller details and the options kept with them.
inline constexpr QStringView kBillerSection = u"Laskuttaja";

/// Thrown when the settings file cannot be written, "Unable to write to <path>"
/// with the path in native separators; the old file stays as it was.
class IniWriteError : public CommandError
{
public:
    explicit IniWriteError(const QString &path);
};

/// The value of key in section of the file text, blanks trimmed and cut to 1023 characters;
/// defaultValue when the section or the key is missing.
QString IniReadString(const QString &fileText, QStringView section, QStringView key,
                      const QString &defaultValue);

/// The value of key in section as IniReadString reads it; nullopt when the section or
/// the key is missing.
std::optional<QString> IniValue(const QString &fileText, QStringView section, QStringView key);

/// The whole settings file as text; nullopt when it cannot be opened or read, or is no
/// regular file (IsRegularFileOrMissing).
std::optional<QString> ReadIniText(const QString &path);

/// Replaces the settings file with the text in one atomic replacement. Throws
/// IniWriteError, leaving the old file whole, when it cannot be written.
void ReplaceIniText(const QString &path, const QString &text);

/// A stored integer: decimal with an optional sign, or hexadecimal after "0x"/"0X";
/// defaultValue for anything else, including values outside the range of int.
int IniParseInteger(QStringView value, int defaultValue);

/// The file text with key in section set to value. The key's line becomes exactly key=value,
/// the key spelled as the file has it; every other line and line ending stays as it was; new
/// lines end with CR LF. Line breaks in the value are written as blanks.
QString IniWriteString(const QString &fileText, QStringView section, QStringView key,
                       QStringView value);

/// The settings file read once, so that a run of reads costs one file read and
/// sees one version of the file. A missing or unreadable file reads as empty,
/// and so does one that is no regular file (IsRegularFileOrMissing).
class IniSnapshot
{
public:
    explicit IniSnapshot(const QString &path);

    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;
    /// A stored integer (see IniParseInteger).
    int readInteger(QStringView section, QStringView key, int defaultValue) const;
    /// A yes/no option: an integer, true when not 0.
    bool readBool(QStringView section, QStringView key, bool defaultValue) const;
    /// Whether the file has the key in the section, with any value.
    bool contains(QStringView section, QStringView key) const;

private:
    std::optional<QString> m_text;
};

/// Reads one string from the file at path; defaultValue when the file is missing or unreadable.
QString ReadIniString(const QString &path, QStringView section, QStringView key,
                      const QString &defaultValue);

/// Reads one integer from the file at path (see IniParseInteger).
int ReadIniInteger(const QString &path, QStringView section, QStringView key, int defaultValue);

/// Reads one yes/no option: an integer, true when not 0.
bool ReadIniBool(const QString &path, QStringView section, QStringView key, bool defaultValue);

/// Writes one string to the file at path, creating the file if needed, replacing it atomically.
/// Throws IniWriteError when it cannot.
void WriteIniString(const QString &path, QStringView section, QStringView key, QStringView value);

/// Writes one integer in decimal (see WriteIniString).
void WriteIniInteger(const QString &path, QStringView section, QStringView key, int value);
