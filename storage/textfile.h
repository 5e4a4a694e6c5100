#pragma once

#include "base/textlimits.h"

#include <QString>
#include <QStringList>

#include <atomic>

// Text files of the program: Windows-1252, lines ended by CR LF when written,
// by CR, LF or CR LF when read. Every file read this way, and the row
// clipboard, holds lines of the grid line format (storage/gridline.h); a line
// that gives no cell text is left out on reading, so that it costs nothing.

/// The largest file read: room for kMaxTextLines lines of some 130
/// characters, more than any register or invoice the program writes.
constexpr qint64 kMaxTextFileBytes = 64 * 1024 * 1024;

/// The text kept on one line: line breaks, which would cut a line of a file
/// in two, and NULs become blanks.
QString OnOneLine(QString text);

/// What SplitTextLines does with a line that gives no cell text
/// (IsEmptyGridLine): a file's such lines cost nothing and are dropped; pasted
/// rows keep them before the last line that holds something, because each
/// line stands for the row of its place, and drop those after it, which
/// stand for no row.
enum class EmptyLines { Drop, Keep };

/// Cuts text into lines: a line ends at CR, LF or CR LF, the text ends at its
/// end, and a final line break adds no empty line. Lines that give no cell
/// text are left out or kept as `empty` says. Stops after kMaxTextLines + 1
/// lines: a text with more is refused whole, and reading on would only cost
/// memory.
QStringList SplitTextLines(QStringView text, EmptyLines empty = EmptyLines::Drop);


/// Why lines cut from a text are more than the program takes: more than
/// kMaxTextLines of them, or one longer than kMaxTextLineLength. The end of a
/// Finnish sentence ("yli 500000 riviä"); empty when they fit.
QString LinesRefusal(const QStringList &lines);

/// False for a path that names something other than a regular file: a
/// folder, a FIFO or a device, which reading could wait on for ever.
bool IsRegularFileOrMissing(const QString &path);

/// The bytes of a file of the program's text: throws FileOpenError when it
/// cannot be opened or read or is not a regular file (IsRegularFileOrMissing),
/// and FileError with a message in Finnish when it is larger than
/// kMaxTextFileBytes. Empty when cancel becomes set.
QByteArray ReadTextFileBytes(const QString &path, const std::atomic<bool> *cancel = nullptr);

/// The message of a text file refused on reading for the reason given (the
/// end of a Finnish sentence, as LinesRefusal gives).
QString TextFileRefusedText(const QString &path, const QString &reason);

/// The message of a text file not written because its lines would be
/// refused on reading for the reason given.
QString TextFileNotSavedText(const QString &path, const QString &reason);

/// Reads the lines of a Windows-1252 file by the rule of SplitTextLines.
/// Throws FileOpenError when the file cannot be opened or read or is not a
/// regular file (IsRegularFileOrMissing), and FileError
/// with a message in Finnish when it is larger than kMaxTextFileBytes or its
/// lines are refused by LinesRefusal.
QStringList ReadTextLines(const QString &path);

/// The message shown when pasted lines are refused for the reason given.
QString PastedLinesRefusedText(const QString &reason);

/// Replaces the file with the lines in Windows-1252, each ended by CR LF.
/// The old file stays whole unless the new one was written completely.
/// Throws CommandError, writing nothing, when ReadTextLines would refuse the
/// lines (LinesRefusal), and FileCreateError when the file cannot be written.
void WriteTextLines(const QString &path, const QStringList &lines);

/// Replaces a file with the bytes through a temporary file in the same
/// folder; false, with the old file whole, when any step fails.
bool ReplaceFileContents(const QString &path, const QByteArray &bytes);
