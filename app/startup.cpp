// File names decided at start-up, from the executable's path and arguments,
// and where an installed program keeps what it writes.

#include "startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTranslator>

#include <algorithm>

using namespace Qt::StringLiterals;

QString ChangeFileExt(const QString &path, const QString &extension)
{
    const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(QDir::separator()));
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot > separator)
        return path.left(dot) + extension;
    return path + extension;
}

namespace {

QString SettingsFileNameIn(const QString &folder, const QString &executablePath, const QStringList &arguments)
{
    const QString name = arguments.isEmpty() ? ChangeFileExt(QFileInfo(executablePath).fileName(), u".INI"_s)
                                             : arguments.constFirst() + u".ini"_s;
    return QDir::toNativeSeparators(folder + u'/' + name);
}

// Compares folders by their text only: none of them needs to exist.
QString CleanFolder(const QString &folder)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

} // namespace

QString SettingsFileNameFor(const QString &executablePath, const QStringList &arguments)
{
    return SettingsFileNameIn(QFileInfo(executablePath).absolutePath(), executablePath, arguments);
}

QStringList SystemProgramFolders(const QString &installBinFolder)
{
    return {u"/usr/bin"_s, u"/usr/local/bin"_s, installBinFolder};
}

QString SettingsFileLocation(const QString &executablePath, const QStringList &arguments,
                             bool programFolderWritable, const QString &configFolder,
                             const QStringList &systemFolders)
{
    const QString programFolder = CleanFolder(QFileInfo(executablePath).absolutePath());
    const bool systemFolder = std::any_of(systemFolders.cbegin(), systemFolders.cend(),
                                          [&](const QString &folder) { return CleanFolder(folder) == programFolder; });
    if (programFolderWritable && !systemFolder)
        return SettingsFileNameFor(executablePath, arguments);
    return SettingsFileNameIn(CleanFolder(configFolder), executablePath, arguments);
}

QString HelpFileNameFor(const QString &executablePath)
{
    return QDir::toNativeSeparators(ChangeFileExt(executablePath, u".html"_s));
}

QString InstalledHelpFileNameFor(const QString &executablePath)
{
    const QString programFolder = QFileInfo(executablePath).absolutePath();
    return QDir::toNativeSeparators(QDir::cleanPath(programFolder + u"/../share/laskutus/laskutus.html"_s));
}

QString HelpFileLocation(const QString &executablePath, const std::function<bool(const QString &)> &exists)
{
    const QString beside = HelpFileNameFor(executablePath);
    if (exists(beside))
        return beside;
    const QString installed = InstalledHelpFileNameFor(executablePath);
    return exists(installed) ? installed : beside;
}

QString UserSettingsFileName(const QString &executablePath, const QStringList &arguments)
{
    const bool writable = QFileInfo(QFileInfo(executablePath).absolutePath()).isWritable();
    const QString configFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString location = SettingsFileLocation(executablePath, arguments, writable, configFolder,
                                                  SystemProgramFolders(QStringLiteral(LASKUTUS_INSTALL_BINDIR)));
    if (location != SettingsFileNameFor(executablePath, arguments))
        QDir().mkpath(configFolder);
    return location;
}

QString ExistingHelpFileName(const QString &executablePath)
{
    return HelpFileLocation(executablePath, [](const QString &path) { return QFileInfo::exists(path); });
}

QString UserFallbackSaveFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    QString folder = QDir::toNativeSeparators(documents);
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

int PixelsPerMm(int dotsPerInch)
{
    return (dotsPerInch * 10 + 127) / 254;
}

namespace {

// Fills what Qt's own Finnish texts lack or say otherwise than the program:
// Cancel is "Peruuta" everywhere, not Qt's "Peru", and the file dialog's type
// column, whose texts Qt 6 asks for under a context the Finnish file still
// keeps under the file dialog's. Asked before Qt's own texts; an empty answer
// lets them speak.
class FinnishQtGaps : public QTranslator
{
public:
    FinnishQtGaps(const QTranslator *qtTexts, QObject *parent)
        : QTranslator(parent)
        , m_qtTexts(qtTexts)
    {
    }

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        const QByteArrayView where(context);
        const QByteArrayView source(sourceText);
        if (source == "Cancel" && where != "QShortcut")
            return kCancelWord.toString();
        if (source == "&Cancel")
            return u'&' + kCancelWord.toString();
        if (where == "QAbstractFileIconProvider" && m_qtTexts)
            return m_qtTexts->translate("QFileDialog", sourceText, disambiguation, n);
        return QString();
    }

private:
    const QTranslator *m_qtTexts;
};

} // namespace

void InstallFinnishQtTexts(QCoreApplication &app)
{
    // Without the translations package the gaps are still filled: the
    // program's own words then stand among Qt's English ones.
    auto *texts = new QTranslator(&app);
    if (texts->load(u"qtbase_fi"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(texts);
    } else {
        delete texts;
        texts = nullptr;
    }
    QCoreApplication::installTranslator(new FinnishQtGaps(texts, &app));
}
