#pragma once

// One check of the watchdog the timer runs every minute: a server that runs but does not answer for
// three checks in a row hangs, and is restarted; a crash is systemd's to handle. Metrics for the node
// exporter's textfile collector.
#include "live/client.h"
#include "systemctl.h"

#include <QJsonObject>
#include <functional>

namespace tarrow {
struct StatusReport;
}

namespace tarrow::service {

inline constexpr qint64 kGraceSeconds = 90;
inline constexpr int kSilentChecksForHang = 3;

struct WatchState {
    int silentChecks = 0;
    int restarts = 0;      // done by the watchdog
    QString lastResult;    // "answering", "silent", "restarted", "not running", "starting"
    qint64 lastAnswer = 0; // seconds since the epoch
    int players = 0, bots = 0, humans = 0;
    QString lastRestartReason;

    QJsonObject toJson() const;
    static WatchState fromJson(const QJsonObject& o);
};

struct WatchOutcome {
    bool queried = false;
    bool restart = false; // the server hangs: restart it
    QString line;         // for the journal
    live::QueryResult result;
};

// Decides one check from the unit's state and the time now; `ask` queries the server.
WatchOutcome watchCheck(WatchState& state, const UnitState& unit, qint64 now,
                        const std::function<live::QueryResult()>& ask);

// The Prometheus text format, every series labelled server="NAME", with HELP and TYPE lines.
QString metricsText(const QString& name, const live::QueryResult& live, const StatusReport& report,
                    int loaderChainProblems, int watchdogRestarts);

} // namespace tarrow::service
