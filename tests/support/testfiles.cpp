#include "testfiles.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

bool RunningUnderCi()
{
    return qEnvironmentVariable("CI") == QStringLiteral("true");
}

QString toolOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return QStringLiteral("<%1 did not run>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString codeOnPage(const QString &pdf, const QString &folder, int dpi, const QString &symbology)
{
    const QString png = folder + QStringLiteral("/sivu%1").arg(dpi);
    QString last = toolOutput(QStringLiteral("pdfinfo"), {pdf}).section(QStringLiteral("Pages:"), 1).section(u'\n', 0, 0).trimmed();
    if (last.isEmpty())
        last = QStringLiteral("1");
    toolOutput(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                                            QStringLiteral("-f"), last, QStringLiteral("-l"), last,
                                            QStringLiteral("-singlefile"), pdf, png});
    QString read = toolOutput(QStringLiteral("zbarimg"),
                              {QStringLiteral("--quiet"), QStringLiteral("--raw"), QStringLiteral("-Sdisable"),
                               QStringLiteral("-S%1.enable").arg(symbology), QStringLiteral("-S%1.binary").arg(symbology),
                               png + QStringLiteral(".png")});
    // --raw ends each symbol with a line break of its own.
    if (read.endsWith(u'\n'))
        read.chop(1);
    return read;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_oldLimit = qint64(limit.rlim_cur);
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_oldLimit);
    setrlimit(RLIMIT_FSIZE, &limit);
}
