#pragma once

#include "servermodel.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tarrow {

class Prompter;

// The lines of the three files for the current settings, walking their tables.
QStringList serverFileLines(const ServerModel& model);
QStringList adminmodFileLines(const ServerModel& model);
QStringList neotfFileLines(const ServerModel& model);

// The first exec text naming the Admin Mod ("adminmod.cfg") or NeoTF ("ntf_cvars.cfg") file, exact case.
std::optional<QString> adminmodExecText(const ServerModel& model);
std::optional<QString> neotfExecText(const ServerModel& model);
// InstallRoot + ModFolder + "\" + the exec text with every "/" made a "\".
QString pluginConfigPath(const QString& installRoot, const QString& modFolder, const QString& execText);

// The server configuration file of the chosen kind, or empty when no kind is chosen.
QString serverConfigPath(const ServerModel& model, const QString& installRoot, const QString& modFolder);

// Saves the three files in order, with the checks and messages the user sees first.
void saveServerConfig(ServerModel& model, const QString& installRoot, const QString& modFolder,
                      Prompter& prompter);

// Loads the chosen kind's file, then the Admin Mod and NeoTF files its exec lines name. Throws
// ConversionError at a number that is not one (lines before it stay applied).
void loadServerConfig(ServerModel& model, const QString& installRoot, const QString& modFolder,
                      Prompter& prompter);

QString chooseServerKindMessage();

// The reading rules, exposed for tests.
QString normaliseConfigLine(const QString& line);
bool lineMatchesKey(const QString& line, const QString& key);

} // namespace tarrow
