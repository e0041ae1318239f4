#pragma once

#include <QString>
#include <QStringList>

namespace tarrow {

class Prompter;
class SettingsStore;

// The separator that ends a stored InstallRoot on this platform.
QChar installRootSeparator();

// The Half-Life folder the Steam client installed, standing in for the Windows installer's record:
// the first existing steamapps/common/Half-Life of the Steam libraries below `home`. Empty when none.
QString halfLifeInstallerPath(const QString& home);
// The library folders that a libraryfolders.vdf names ("path" entries).
QStringList steamLibraryPaths(const QString& vdfText);

// Settles the InstallRoot before the window exists: asks once, stores the answer with a trailing
// separator. `installerPath` is the installer's record (may be empty).
void settleInstallRoot(SettingsStore& store, Prompter& prompter, const QString& installerPath);

// Stores a folder given on the command line, with a trailing separator.
void storeInstallRoot(SettingsStore& store, const QString& folder, Prompter& prompter);

// `folder` with the separator a stored InstallRoot ends with.
QString withRootSeparator(const QString& folder);

} // namespace tarrow
