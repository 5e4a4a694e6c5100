#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

/// The path with its extension replaced by `extension` (which includes the
/// dot); a name without an extension gets it appended.
QString ChangeFileExt(const QString &path, const QString &extension);

/// The settings file beside the executable: a profile named by the first
/// argument, or the executable's own name with ".INI".
QString SettingsFileNameFor(const QString &executablePath, const QStringList &arguments);

/// The folders that hold installed programs: "/usr/bin", "/usr/local/bin"
/// and `installBinFolder`, the bin folder of the prefix the program is built
/// to be installed into.
QStringList SystemProgramFolders(const QString &installBinFolder);

/// Where the settings are kept: beside the executable while its folder is
/// writable and is none of the `systemFolders`, so a build folder or a copy
/// run from a folder of its own keeps its file there; otherwise the same file
/// name in the user's `configFolder`. An installed program thus never writes
/// into the system's program folder, even when run by a user who may.
QString SettingsFileLocation(const QString &executablePath, const QStringList &arguments,
                             bool programFolderWritable, const QString &configFolder,
                             const QStringList &systemFolders);

/// The help file beside the executable, named after it; it does not follow
/// the profile.
QString HelpFileNameFor(const QString &executablePath);

/// The help file of an installed program: "laskutus.html" in the data
/// folder "share/laskutus" of the prefix that holds the executable's folder.
QString InstalledHelpFileNameFor(const QString &executablePath);

/// The help file to open: the one beside the executable, else the installed
/// one, whichever `exists` finds first; when neither exists, the one beside
/// the executable, so that the message names it.
QString HelpFileLocation(const QString &executablePath, const std::function<bool(const QString &)> &exists);

/// The settings file for the running user: `SettingsFileLocation` with the
/// program folder's write access and the configuration folder read from the
/// system, and the install prefix the program was built for; the
/// configuration folder is made when the file goes there.
QString UserSettingsFileName(const QString &executablePath, const QStringList &arguments);

/// `HelpFileLocation` looking at the files on disk.
QString ExistingHelpFileName(const QString &executablePath);

/// The save folder taken when the user chooses none: the user's documents
/// folder, which is writable where the program's own folder may not be.
/// Native separators, ending with one; made when it is missing, since only
/// the year folder is made under it.
QString UserFallbackSaveFolder();

/// Screen pixels per millimetre for a resolution in dots per inch, rounded.
int PixelsPerMm(int dotsPerInch);

class QCoreApplication;

/// The one word for Cancel, on the program's buttons and Qt's alike.
inline constexpr QStringView kCancelWord = u"Peruuta";

/// Makes Qt's own dialogs speak Finnish, whatever the system's language:
/// Qt's Finnish texts (qtbase_fi from the Qt translations), with Cancel as
/// kCancelWord and the file dialog's types ("Kansio") where they lack them.
void InstallFinnishQtTexts(QCoreApplication &app);
