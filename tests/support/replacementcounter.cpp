#include "tests/support/replacementcounter.h"

#include <QFile>

#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

ReplacementCounter::ReplacementCounter(const QString &folder, const QString &fileName)
    : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    , m_fileName(fileName)
{
    if (m_fd >= 0)
        inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_MOVED_TO | IN_CREATE);
}

ReplacementCounter::~ReplacementCounter()
{
    if (m_fd >= 0)
        close(m_fd);
}

int ReplacementCounter::count()
{
    if (m_fd < 0)
        return -1;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        const ssize_t length = read(m_fd, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            if (event->len > 0 && QFile::decodeName(event->name) == m_fileName)
                ++m_count;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    return m_count;
}
