#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <optional>

// Shared by the timing programs.

inline QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

/// The median of the measured values.
inline double median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return double(values[middle]);
    return (double(values[middle - 1]) + double(values[middle])) / 2.0;
}

// Wall time in nanoseconds from starting the child to its exit, or nothing
// when it did not start, crashed, hung or exited with an error.
inline std::optional<qint64> timeChild(const QString &program, const QStringList &arguments)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    // Offscreen warnings would fill the pipe; they matter only on failure.
    child.setProcessChannelMode(QProcess::MergedChannels);

    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
    const bool finished = child.waitForFinished(60000);
    const qint64 elapsed = timer.nsecsElapsed();
    if (finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        return elapsed;

    if (!finished)
        child.kill();
    out() << "Child failed: " << program << " (" << child.errorString() << ")\n"
          << QString::fromLocal8Bit(child.readAll()) << Qt::endl;
    return std::nullopt;
}
