// Writing a batch of files with one sync of the disk.

#include "stagedfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// How many names a temporary file tries before it gives up: another
// program would have to make these random names as fast as we try them.
constexpr int kTemporaryNameTries = 16;

QSet<QString> foldersOf(const QStringList &paths)
{
    QSet<QString> folders;
    for (const QString &path : paths)
        folders.insert(QFileInfo(path).absolutePath());
    return folders;
}

// Makes the files' data durable: on Linux one sync of the file system of
// each folder they are in (a batch has one), elsewhere each file in turn.
bool syncData(const QStringList &paths)
{
#ifdef Q_OS_LINUX
    for (const QString &folder : foldersOf(paths)) {
        const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
        if (handle < 0)
            return false;
        const bool synced = ::syncfs(handle) == 0;
        ::close(handle);
        if (!synced)
            return false;
    }
    return true;
#else
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return false;
#ifdef Q_OS_WIN
        if (_commit(file.handle()) != 0)
            return false;
#else
        if (::fsync(file.handle()) != 0)
            return false;
#endif
    }
    return true;
#endif
}

// Makes the renames in the folder durable; Windows syncs no folders, its
// renames are as durable as the system makes them.
void syncFolder(const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
#else
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
    if (handle >= 0) {
        ::fsync(handle);
        ::close(handle);
    }
#endif
}

} // namespace

StagedFiles::~StagedFiles()
{
    for (const Staged &staged : std::as_const(m_staged))
        QFile::remove(staged.temporary);
}

bool StagedFiles::Stage(const QString &path, const QByteArray &bytes)
{
    QFile file;
    for (int i = 0; i < kTemporaryNameTries && !file.isOpen(); ++i) {
        file.setFileName(u"%1.%2"_s.arg(path, QString::number(QRandomGenerator::global()->generate(), 16)));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
    }
    if (!file.isOpen())
        return false;
    // Unbuffered, so that a short write (a full disk) shows here.
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        file.remove();
        return false;
    }
    // A replaced file keeps who may read it.
    if (const QFileInfo older(path); older.exists())
        file.setPermissions(older.permissions());
    m_staged.append({path, file.fileName()});
    return true;
}

QStringList StagedFiles::Commit()
{
    const QList<Staged> staged = std::exchange(m_staged, {});
    QStringList temporaries;
    for (const Staged &file : staged)
        temporaries.append(file.temporary);
    QStringList notPlaced;
    const bool synced = syncData(temporaries);
    QStringList placed;
    for (const Staged &file : staged) {
        std::error_code error;
        if (synced)
            std::filesystem::rename(QFileInfo(file.temporary).filesystemFilePath(),
                                    QFileInfo(file.path).filesystemFilePath(), error);
        if (!synced || error) {
            QFile::remove(file.temporary);
            notPlaced.append(file.path);
        } else {
            placed.append(file.path);
        }
    }
    for (const QString &folder : foldersOf(placed))
        syncFolder(folder);
    return notPlaced;
}
