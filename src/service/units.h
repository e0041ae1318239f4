#pragma once

// The systemd user units that keep a Half-Life server up: the server itself (restarted by systemd when
// it fails) and a timer that runs the watchdog every minute.
#include <QString>
#include <QStringList>

namespace tarrow {
struct LaunchPlan;
}

namespace tarrow::service {

// A text as `systemd-escape` makes it safe in a unit name: '/' becomes '-', and every byte outside
// [A-Za-z0-9:_.] (and a leading '.') becomes "\xNN".
QString escapeUnitName(const QString& text);
// The name a folder's service gets: its last path component, escaped.
QString defaultServiceName(const QString& folderNative);

// The file names of a service's three units.
QString serverUnitOf(const QString& name);
QString watchServiceOf(const QString& name);
QString watchTimerOf(const QString& name);

struct Units {
    QString name;
    QString serverUnit, watchService, watchTimer; // file names
    QString serverText, watchServiceText, watchTimerText;
};

// The three units for a dedicated server started as the launcher starts it (`plan`, its parameters as
// the launcher composes them), watched by `tarrowProgram` with the settings file `settingsFile`.
// `wineProgram`: how a Windows server starts ("wine" when none was found).
Units composeUnits(const QString& name, const LaunchPlan& plan, bool linuxServer, const QString& wineProgram,
                   const QString& tarrowProgram, const QString& settingsFile);

// Why the units cannot be written for a service `name` that starts `plan`: a control character (a line
// break would become a directive of its own) in the name, the folder or the command line. Empty when
// they can.
QString unitInputProblem(const QString& name, const LaunchPlan& plan);
// Whether a unit's text carries a password (a +rcon_password on the server's command line): such a unit
// is for its owner's eyes only.
bool carriesPassword(const QString& unitText);

// The folder systemd reads a user's units from: $XDG_CONFIG_HOME/systemd/user/.
QString userUnitFolder();

// The folder the installed server unit of service `name` runs in (its WorkingDirectory, with a trailing
// separator), for a watchdog started from the packaged template with nothing but the name. Empty when
// the unit is not installed.
QString folderOfInstalledServer(const QString& name);

} // namespace tarrow::service
