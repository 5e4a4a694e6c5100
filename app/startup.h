#pragma once

#include <QString>
#include <QStringList>

/// The path with its extension replaced by `extension` (which includes the
/// dot); a name without an extension gets it appended.
QString ChangeFileExt(const QString &path, const QString &extension);

/// The settings file: a profile named by the first argument beside the
/// executable, or the executable's own name with ".INI".
QString SettingsFileNameFor(const QString &executablePath, const QStringList &arguments);

/// The help file beside the executable, named after it; it does not follow
/// the profile.
QString HelpFileNameFor(const QString &executablePath);

/// Screen pixels per millimetre for a resolution in dots per inch, rounded.
int PixelsPerMm(int dotsPerInch);

class QCoreApplication;

/// Makes Qt's own dialogs speak Finnish, whatever the system's language.
void InstallFinnishQtTexts(QCoreApplication &app);
