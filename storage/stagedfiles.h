#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Many files written as one batch: each whole under a temporary name beside
// its own, then all put under their names after a single sync of the disk.
// A crash at any point leaves no cut file under a final name, and the batch
// waits for the disk once instead of once per file.

class StagedFiles
{
public:
    StagedFiles() = default;
    /// Removes the temporary files of a batch never committed.
    ~StagedFiles();
    StagedFiles(const StagedFiles &) = delete;
    StagedFiles &operator=(const StagedFiles &) = delete;

    /// Writes the bytes to a new temporary file in path's folder; false,
    /// with nothing left behind, when it cannot be written whole.
    bool Stage(const QString &path, const QByteArray &bytes);
    /// Syncs what was staged to the disk, then puts each file under its
    /// path (an older file of that name is replaced only now) and syncs
    /// the folders. Returns the paths that were not put in place: every one
    /// when the sync failed, their older files whole.
    QStringList Commit();

private:
    struct Staged
    {
        QString path;
        QString temporary;
    };
    QList<Staged> m_staged;
};
