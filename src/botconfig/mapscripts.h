#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace tarrow {

// The script file name of a map file: "2fort.bsp" -> "2fort_tw.cfg".
QString scriptFileOf(const QString& mapFile);

// The maps of `mapFiles` that have no script in `scriptFolder` (a composed path ending with "\").
QStringList mapsWithoutScript(const QStringList& mapFiles, const QString& scriptFolder);

// The nine lines of a new script; `created` is the local date and time as the user's locale writes it.
QStringList newScriptLines(const QString& mapName, const QString& created);
// The user's short date and long time.
QString scriptCreatedText(const QDateTime& when);

// The insert commands of the script editor's menu: caption (with access key) and the text inserted.
struct ScriptInsert {
    QString caption;
    QString text;
};
const std::vector<ScriptInsert>& scriptInserts();

} // namespace tarrow
