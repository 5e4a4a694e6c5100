#pragma once

#include "base/commanderror.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

/// The whole file, or empty when it cannot be read.
QByteArray readBytes(const QString &path);
/// Writes the bytes as the whole file; fails the running test when it cannot.
void writeBytes(const QString &path, const QByteArray &bytes);

/// Whether the tests run under CI (CI=true): there a check that needs files
/// kept beside the project, such as the official schemas, must run; their
/// absence fails the test instead of skipping the check.
bool RunningUnderCi();

/// What a command-line tool (pdftotext, zbarimg …) prints on standard output,
/// or a note naming it when it did not run.
QString toolOutput(const QString &program, const QStringList &arguments);

/// What ZBar reads of one symbology ("qrcode", "code128") on the PDF's last
/// page rendered at this resolution into the folder: the symbol's exact bytes.
QString codeOnPage(const QString &pdf, const QString &folder, int dpi, const QString &symbology);

/// While it lives, files of this process cannot grow beyond `bytes`: a disk
/// that is full. Writes beyond it fail instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    qint64 m_oldLimit = 0;
};

/// The Finnish message of the CommandError the call throws; empty when none.
template <typename Call>
QString refusalOf(Call call)
{
    try {
        call();
    } catch (const CommandError &error) {
        return error.message();
    }
    return QString();
}
