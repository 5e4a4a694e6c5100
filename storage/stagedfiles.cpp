// Writing a batch of files with one sync of the disk.

#include "stagedfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
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

// The names of a batch's files: its lock file ".laskutus-<token>.lock" and
// each temporary file "<name>.laskutus-<token>.tmp", the token 16 small hex
// digits.
const QString kBatchMark = u"laskutus-"_s;
const QString kLockSuffix = u".lock"_s;
const QString kTemporarySuffix = u".tmp"_s;

QString lockFileName(const QString &token)
{
    return u'.' + kBatchMark + token + kLockSuffix;
}

QString temporarySuffix(const QString &token)
{
    return u'.' + kBatchMark + token + kTemporarySuffix;
}

// The token of a lock file's name; empty for any other name.
QString tokenOfLockFile(const QString &name)
{
    static const QRegularExpression pattern(u"^\\.%1([0-9a-f]{16})%2$"_s.arg(
        QRegularExpression::escape(kBatchMark), QRegularExpression::escape(kLockSuffix)));
    return pattern.match(name).captured(1);
}

// A lock held as long as its batch runs: never stale by age, since a batch
// may run for long, only when the process that made it is gone.
std::unique_ptr<QLockFile> batchLock(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock;
}

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

// The system's generator, so that no two processes, a forked one neither,
// draw the same token.
StagedFiles::StagedFiles()
    : m_token(QString::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, u'0'))
{
}

// The lock files are released (removed) after the body, once the temporary
// files are gone.
StagedFiles::~StagedFiles()
{
    for (const Staged &staged : std::as_const(m_staged))
        QFile::remove(staged.temporary);
}

bool StagedFiles::holdFolder(const QString &folder)
{
    if (m_locks.count(folder))
        return true;
    std::unique_ptr<QLockFile> lock = batchLock(QDir(folder).filePath(lockFileName(m_token)));
    if (!lock->tryLock(0))
        return false;
    m_locks.emplace(folder, std::move(lock));
    return true;
}

QStringList StagedFiles::RemoveLeftovers(const QString &folder)
{
    const QDir dir(folder);
    QStringList removed;
    for (const QString &lockName : dir.entryList({u".*"_s + kLockSuffix}, QDir::Files | QDir::Hidden)) {
        const QString token = tokenOfLockFile(lockName);
        if (token.isEmpty())
            continue;
        // Taken only when no running process holds it; released, and so
        // removed, when this scope ends.
        const std::unique_ptr<QLockFile> lock = batchLock(dir.filePath(lockName));
        if (!lock->tryLock(0))
            continue;
        for (const QString &name : dir.entryList({u'*' + temporarySuffix(token)}, QDir::Files | QDir::Hidden)) {
            const QString path = dir.filePath(name);
            if (!QFileInfo(path).isSymLink() && QFile::remove(path))
                removed.append(path);
        }
    }
    return removed;
}

bool StagedFiles::Stage(const QString &path, const QByteArray &bytes)
{
    if (!holdFolder(QFileInfo(path).absolutePath()))
        return false;
    for (qsizetype i = 0; i < m_staged.size(); ++i) {
        if (m_staged[i].path == path) {
            QFile::remove(m_staged[i].temporary);
            m_staged.removeAt(i);
            break;
        }
    }
    QFile file(path + temporarySuffix(m_token));
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
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
    m_locks.clear();
    return notPlaced;
}
