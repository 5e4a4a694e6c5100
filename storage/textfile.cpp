// Reading and writing the program's text files.

#include "textfile.h"

#include "cp1252.h"
#include "base/commanderror.h"
#include "gridline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

QString OnOneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            c = u' ';
    }
    return text;
}

QStringList SplitTextLines(QStringView text, EmptyLines empty)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size && lines.size() <= kMaxTextLines) {
        qsizetype end = start;
        while (end < size && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QStringView line = text.sliced(start, end - start);
        if (empty == EmptyLines::Keep || !IsEmptyGridLine(line))
            lines.append(line.toString());
        if (end < size && text[end] == u'\r')
            ++end;
        if (end < size && text[end] == u'\n')
            ++end;
        start = end;
    }
    // A text cut short keeps its lines, to be refused by their count.
    if (start >= size) {
        while (!lines.isEmpty() && IsEmptyGridLine(lines.constLast()))
            lines.removeLast();
    }
    return lines;
}

QString LinesRefusal(const QStringList &lines)
{
    if (QString reason = LineCountRefusal(lines.size()); !reason.isEmpty())
        return reason;
    for (const QString &line : lines) {
        if (QString reason = LineLengthRefusal(line.size()); !reason.isEmpty())
            return reason;
    }
    return QString();
}

bool IsRegularFileOrMissing(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() || !info.exists();
}

QString TextFileRefusedText(const QString &path, const QString &reason)
{
    return u"Tiedostoa %1 ei avattu: %2. Tiedosto voi olla vioittunut."_s.arg(QDir::toNativeSeparators(path), reason);
}

QString TextFileNotSavedText(const QString &path, const QString &reason)
{
    return u"Tiedostoa %1 ei tallennettu: siihen tulisi %2."_s.arg(QDir::toNativeSeparators(path), reason);
}

QByteArray ReadTextFileBytes(const QString &path, const std::atomic<bool> *cancel)
{
    const QString tooLarge = u"se on suurempi kuin %1 Mt"_s.arg(kMaxTextFileBytes / (1024 * 1024));
    // A FIFO or a device would keep the program waiting at opening or reading.
    if (!IsRegularFileOrMissing(path))
        throw FileOpenError(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileOpenError(path);
    if (file.size() > kMaxTextFileBytes)
        throw CommandError(TextFileRefusedText(path, tooLarge));
    // Read a piece at a time, so that a reading no longer wanted ends soon.
    constexpr qint64 kPiece = 1024 * 1024;
    QByteArray bytes;
    bytes.reserve(file.size() + 1);
    qint64 size = 0;
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return {};
        bytes.resize(size + kPiece);
        const qint64 read = file.read(bytes.data() + size, kPiece);
        if (read < 0 || file.error() != QFileDevice::NoError)
            throw FileOpenError(path);
        size += read;
        if (size > kMaxTextFileBytes)
            throw CommandError(TextFileRefusedText(path, tooLarge));
        if (read == 0)
            break;
    }
    bytes.resize(size);
    return bytes;
}

QStringList ReadTextLines(const QString &path)
{
    const QString text = cp1252ToString(ReadTextFileBytes(path));
    const QStringList lines = SplitTextLines(text);
    if (const QString reason = LinesRefusal(lines); !reason.isEmpty())
        throw CommandError(TextFileRefusedText(path, u"siinä on "_s + reason));
    return lines;
}

QString PastedLinesRefusedText(const QString &reason)
{
    return u"Rivejä ei liitetty: leikepöydällä on %1."_s.arg(reason);
}

void WriteTextLines(const QString &path, const QStringList &lines)
{
    // A file the program could not read back would lose what it holds.
    if (const QString reason = LinesRefusal(lines); !reason.isEmpty()) {
        throw CommandError(TextFileNotSavedText(path, reason));
    }
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += stringToCp1252(line);
        bytes += "\r\n";
    }
    // Other programs may take a NUL for the end of the text.
    bytes.replace('\0', '?');

    if (!ReplaceFileContents(path, bytes))
        throw FileCreateError(path);
}

bool ReplaceFileContents(const QString &path, const QByteArray &bytes)
{
    // Unbuffered, because a buffered write that fails halfway (disk full)
    // can still be committed as a cut file; here the short write shows and
    // the old file stays.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size()
        && file.commit();
}
