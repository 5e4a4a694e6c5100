// Reading and writing the program's text files.

#include "textfile.h"

#include "cp1252.h"
#include "fileerror.h"

#include <QFile>
#include <QSaveFile>

QStringList SplitTextLines(QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text = text.left(nul);

    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        lines.append(text.sliced(start, end - start).toString());
        if (end < size && text[end] == u'\r')
            ++end;
        if (end < size && text[end] == u'\n')
            ++end;
        start = end;
    }
    return lines;
}

QStringList ReadTextLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileOpenError(path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileOpenError(path);
    // Every reader stops at a NUL byte; cut there before decoding.
    const qsizetype nul = bytes.indexOf('\0');
    return SplitTextLines(cp1252ToString(QByteArrayView(bytes).first(nul >= 0 ? nul : bytes.size())));
}

void WriteTextLines(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += stringToCp1252(line);
        bytes += "\r\n";
    }
    // A NUL would end the text for every reader and lose the lines after it.
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
