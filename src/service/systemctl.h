#pragma once

// The one place that talks to systemd: `systemctl --user`, found on PATH (tests put a recording one
// first on PATH).
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QObject;

namespace tarrow::service {

struct CommandResult {
    bool started = false;
    int code = -1;
    QString out, err;
};

// Waits for the answer: for the command line, which has nothing else to do meanwhile.
CommandResult systemctlUser(const QStringList& arguments);

// The same on the event loop, for the window: nothing waits. `done` runs once with the result when it
// comes, or after `timeoutMs` with the process killed; never when `context` is gone first.
using CommandDone = std::function<void(const CommandResult&)>;
void systemctlUserAsync(const QStringList& arguments, QObject* context, const CommandDone& done,
                        int timeoutMs = 60000);
// Calls in turn on the event loop; the first that fails ends the run (`done` gets its result and its
// arguments), unless `keepGoing`. `done` gets the last result otherwise.
void systemctlUserSequence(const QList<QStringList>& calls, QObject* context,
                           const std::function<void(const CommandResult&, const QStringList&)>& done,
                           bool keepGoing = false);
// "systemctl --user ARGS: the reason", for a failed call.
QString failureText(const QStringList& arguments, const CommandResult& result);

// Why no user service manager answers, from the answer to `userManagerArguments()`; empty when one does.
inline QStringList userManagerArguments() {
    return {QStringLiteral("show-environment")};
}
QString userManagerProblem(const CommandResult& result);

struct UnitState {
    QString activeState;    // "active", "inactive", "failed", ... ; empty when unknown
    qint64 activeSince = 0; // seconds since the epoch; 0 when unknown
    int restarts = 0;       // systemd's own restarts of the unit
};
UnitState unitState(const QString& unit);
// The arguments that ask for a unit's state, and the reading of the answer.
QStringList unitStateArguments(const QString& unit);
UnitState parseUnitState(const CommandResult& result);

// Whether the user's services go on after logout (`loginctl enable-linger`).
bool lingerEnabled();
QString userName();

} // namespace tarrow::service
