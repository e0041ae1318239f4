#pragma once

#include "servermodel.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tarrow {

struct InstallPaths;

class Prompter;

// The lines of the three files for the current settings, walking their tables.
QStringList serverFileLines(const ServerModel& model);
QStringList adminmodFileLines(const ServerModel& model);
QStringList neotfFileLines(const ServerModel& model);

// The lines one row writes for the current settings (none for a comment row or an empty exec).
QStringList rowLines(const Setting& s, const ServerModel& model);
// Records what every row writes now as the model's baseline: the page matches the files.
void rememberFileValues(ServerModel& model);
// Whether a row writes something else than its baseline (the page's start values before a load): edits
// a save would write.
bool hasChangedRows(const ServerModel& model);
// An existing file with the rows changed since the baseline put in: a row's line replaces the first
// line whose first word is the row's name, exec and custom rows take the file's exec and custom lines
// in order, and changed rows the file lacks are added at its end. Every other byte stays.
QByteArray mergeIntoFile(const QByteArray& existing, const std::vector<Setting>& table,
                         const ServerModel& model);

// The first exec text naming the Admin Mod ("adminmod.cfg") or NeoTF ("ntf_cvars.cfg") file, exact case.
std::optional<QString> adminmodExecText(const ServerModel& model);
std::optional<QString> neotfExecText(const ServerModel& model);
// The mod folder + the exec text with every "/" made a "\".
QString pluginConfigPath(const InstallPaths& paths, const QString& execText);

// The server configuration file of the chosen kind, or empty when no kind is chosen.
QString serverConfigPath(const ServerModel& model, const InstallPaths& paths);

// Saves the three files in order, with the checks and messages the user sees first; each replaced
// version is kept in the installation's backups.
void saveServerConfig(ServerModel& model, const InstallPaths& paths, Prompter& prompter);

// Loads the chosen kind's file, then the Admin Mod and NeoTF files its exec lines name. Throws
// ConversionError at a number that is not one (lines before it stay applied).
void loadServerConfig(ServerModel& model, const InstallPaths& paths, Prompter& prompter);

QString chooseServerKindMessage();

// The reading rules, exposed for tests.
QString normaliseConfigLine(const QString& line);
bool lineMatchesKey(const QString& line, const QString& key);

} // namespace tarrow
