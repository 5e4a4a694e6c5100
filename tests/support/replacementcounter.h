#pragma once

#include <QString>

/// Counts, while it lives, how often a file in a folder is replaced: each
/// time a file appears under its name, renamed or linked there (a new file
/// written whole and then linked counts once), as the kernel reports it
/// (inotify).
class ReplacementCounter
{
public:
    ReplacementCounter(const QString &folder, const QString &fileName);
    ~ReplacementCounter();
    ReplacementCounter(const ReplacementCounter &) = delete;
    ReplacementCounter &operator=(const ReplacementCounter &) = delete;

    /// The replacements reported so far.
    int count();

private:
    int m_fd = -1;
    QString m_fileName;
    int m_count = 0;
};
