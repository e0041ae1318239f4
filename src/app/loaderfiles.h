#pragma once

#include <QString>
#include <QStringList>

namespace tarrow {

class BackupStore;
class Prompter;

// The rival plug-in's libraries that exist, in the order they are checked.
QStringList rivalPluginFiles(const QString& installRoot, const QString& modFolder);
QString rivalPluginWarning();

// The first word of a loader line: leading blanks, tabs and a UTF-8 byte-order mark skipped, up to the
// next blank, tab or double quote.
QString firstWord(const QString& line);

// Start-up normalisation of the loader files. Windows ignores letter case and accepts either slash, the
// program's own comparisons expect lower case; lines meant for the Linux or Mac engine
// (gamedll_linux, gamedll_osx, linux) keep their bytes, since those engines care about both.
QString normaliseLiblistLine(const QString& line);
QString normalisePluginLine(const QString& line);

// Reads the file, normalises every line, clears the read-only attribute and saves it through `backups`
// (a file already normalised is left as it is). Returns false when the file does not exist.
bool normaliseLiblistFile(const QString& path, const BackupStore& backups);
bool normalisePluginFile(const QString& path, const BackupStore& backups);

QString missingLiblistMessage(const QString& path);

} // namespace tarrow
