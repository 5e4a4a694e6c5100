// File names decided at start-up, from the executable's path and arguments.

#include "startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

QString ChangeFileExt(const QString &path, const QString &extension)
{
    const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(QDir::separator()));
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot > separator)
        return path.left(dot) + extension;
    return path + extension;
}

QString SettingsFileNameFor(const QString &executablePath, const QStringList &arguments)
{
    if (!arguments.isEmpty()) {
        const QString folder = QFileInfo(executablePath).absolutePath();
        return QDir::toNativeSeparators(folder + u'/' + arguments.constFirst() + u".ini"_s);
    }
    return QDir::toNativeSeparators(ChangeFileExt(executablePath, u".INI"_s));
}

QString HelpFileNameFor(const QString &executablePath)
{
    return QDir::toNativeSeparators(ChangeFileExt(executablePath, u".html"_s));
}

int PixelsPerMm(int dotsPerInch)
{
    return (dotsPerInch * 10 + 127) / 254;
}

void InstallFinnishQtTexts(QCoreApplication &app)
{
    auto *texts = new QTranslator(&app);
    if (texts->load(u"qtbase_fi"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(texts);
    else
        delete texts;
}
