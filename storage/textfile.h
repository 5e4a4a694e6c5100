#pragma once

#include <QString>
#include <QStringList>

// Text files of the program: Windows-1252, lines ended by CR LF when written,
// by CR, LF or CR LF when read.

/// Cuts text into lines: a line ends at CR, LF or CR LF, the text ends at its
/// end or at the first NUL, and a final line break adds no empty line.
QStringList SplitTextLines(QStringView text);

/// Reads the lines of a Windows-1252 file by the rule of SplitTextLines.
/// Throws FileOpenError when the file cannot be opened or read.
QStringList ReadTextLines(const QString &path);

/// Replaces the file with the lines in Windows-1252, each ended by CR LF.
/// The old file stays whole unless the new one was written completely.
/// Throws FileCreateError when the file cannot be written.
void WriteTextLines(const QString &path, const QStringList &lines);

/// Replaces a file with the bytes through a temporary file in the same
/// folder; false, with the old file whole, when any step fails.
bool ReplaceFileContents(const QString &path, const QByteArray &bytes);
