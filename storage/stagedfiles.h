#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class QLockFile;

// Many files written as one batch: each whole under a temporary name beside
// its own, then all put under their names after a single sync of the disk.
// A crash at any point leaves no cut file under a final name, and the batch
// waits for the disk once instead of once per file.
//
// A batch holds a lock file in each folder it writes to, named after the
// batch's token, as its temporary files are: "1.pdf.laskutus-<token>.tmp"
// beside ".laskutus-<token>.lock". A batch that is killed leaves both; the
// next batch into the folder finds a lock no running process holds and
// removes that batch's temporary files (RemoveLeftovers).

class StagedFiles
{
public:
    StagedFiles();
    /// Removes the temporary files of a batch never committed.
    ~StagedFiles();
    StagedFiles(const StagedFiles &) = delete;
    StagedFiles &operator=(const StagedFiles &) = delete;

    /// Writes the bytes to a new temporary file in path's folder, replacing
    /// what the batch staged for the path before; false, with nothing left
    /// behind, when it cannot be written whole.
    bool Stage(const QString &path, const QByteArray &bytes);
    /// Syncs what was staged to the disk, then puts each file under its
    /// path (an older file of that name is replaced only now) and syncs
    /// the folders. Returns the paths that were not put in place: every one
    /// when the sync failed, their older files whole.
    QStringList Commit();

    /// Removes from the folder the temporary files of batches that ended
    /// without finishing (killed, or the machine stopped), and their lock
    /// files; returns the temporary files removed. Files of a batch still
    /// running, and files that only look like a batch's, are left alone.
    static QStringList RemoveLeftovers(const QString &folder);

private:
    struct Staged
    {
        QString path;
        QString temporary;
    };
    bool holdFolder(const QString &folder);

    QString m_token;
    QList<Staged> m_staged;
    std::map<QString, std::unique_ptr<QLockFile>> m_locks;
};
