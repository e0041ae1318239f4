#pragma once

#include "common/backups.h"
#include "live/client.h"
#include "status/refresh.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace tarrow {
class Installation;
}

namespace tarrow::cli {

// What every command prints with.
QTextStream& out();
QTextStream& err();
// A command's JSON, indented, as every --json prints it.
void printJson(const QJsonDocument& document);
// "tarrow: TEXT" on stderr; returns the exit code of an error.
int fail(const QString& text);
// "Saved PATH (previous version kept: ...)" for each file a step changed.
void printWrites(const QList<WriteRecord>& records);
// Colours only on a terminal, and never with NO_COLOR set.
bool colourWanted();
// Which of the installation's libraries the running server holds open.
RunningReport runningOf(const InstallPaths& p);

// The live server as `query --json` and `status --json` give it.
QJsonObject liveJson(const live::QueryResult& r, bool lists);
// The console password: a file given for it, the environment, else server.cfg; nullopt when the file
// given cannot be read.
std::optional<QString> rconPassword(const Installation& in, const QString& file);

} // namespace tarrow::cli
