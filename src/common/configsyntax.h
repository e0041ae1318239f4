#pragma once

// The engine's own reading of a configuration script (server.cfg, autoexec.cfg and what they exec), for
// the readers that must see a file as the server will: a command ends at a line break or at a ';'
// outside quotes, "//" outside quotes starts a comment that runs to the end of the line, a quoted text
// is one word (up to the next quote or the end of the line) and other words end at a blank. Cvar names
// are matched without regard to letter case. The pages' readers keep their own rules.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tarrow {

struct ConfigCommand {
    QStringList words; // the command's name, then its arguments, quotes taken off
};

// The commands of a script in the order the engine runs them. Bytes are read as Latin-1.
QList<ConfigCommand> tokenizeConfig(const QByteArray& text);

struct ConfigValue {
    QString name;  // as the file spells it
    QString value; // the first argument, or empty
};

// The cvars a script sets, with those of the scripts its `exec` lines name, in the engine's order (the
// last setting wins); keyed by the name in lower case. `folder` is the mod folder (native, ending with
// '/'); an exec that leads outside it, a missing file, a file over 1 MiB and a loop are passed over.
QHash<QString, ConfigValue> configValues(const QString& folder, const QString& fileName);

// The one cvar's value that a script leaves set, or none when nothing sets it.
std::optional<QString> configValue(const QString& folder, const QString& fileName, const QString& cvar);

} // namespace tarrow
