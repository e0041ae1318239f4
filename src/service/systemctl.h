#pragma once

// The one place that talks to systemd: `systemctl --user`, found on PATH (tests put a recording one
// first on PATH).
#include <QString>
#include <QStringList>

namespace tarrow::service {

struct CommandResult {
    bool started = false;
    int code = -1;
    QString out, err;
};

CommandResult systemctlUser(const QStringList& arguments);

// Whether a user service manager answers (`systemctl --user show-environment`), and why not.
bool userManagerAvailable(QString* why);

struct UnitState {
    QString activeState;    // "active", "inactive", "failed", ... ; empty when unknown
    qint64 activeSince = 0; // seconds since the epoch; 0 when unknown
    int restarts = 0;       // systemd's own restarts of the unit
};
UnitState unitState(const QString& unit);

// Whether the user's services go on after logout (`loginctl enable-linger`).
bool lingerEnabled();
QString userName();

} // namespace tarrow::service
