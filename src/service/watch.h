#pragma once

// One check of the watchdog the timer runs every minute: a server that runs but does not answer for
// three checks in a row hangs, and is restarted; a crash is systemd's to handle. Metrics for the node
// exporter's textfile collector.
#include "live/client.h"
#include "live/logline.h"
#include "systemctl.h"

#include <QHash>
#include <QJsonObject>
#include <functional>
#include <optional>

namespace tarrow {
struct StatusReport;
}

namespace tarrow::service {

inline constexpr qint64 kGraceSeconds = 90;
inline constexpr int kSilentChecksForHang = 3;

// What the watchdog counts from the server's log between its runs, and where it left off reading.
struct LogCounts {
    QString file;
    qint64 offset = 0;
    double personConnects = 0, botConnects = 0, chatLines = 0, badRcon = 0;
    QHash<QString, qint64> lastSeen; // a person's unique id -> when last seen (log time, seconds)

    // Counts one event of the log.
    void add(const live::LogEvent& event);
    // People seen in the day before `now` (the log's clock); the older ones are forgotten.
    int seenInDayBefore(qint64 now);
    QJsonObject toJson() const;
    static LogCounts fromJson(const QJsonObject& o);
};

struct WatchState {
    int silentChecks = 0;
    int restarts = 0;      // done by the watchdog
    QString lastResult;    // "answering", "silent", "restarted", "not running", "starting"
    qint64 lastAnswer = 0; // seconds since the epoch
    int players = 0, bots = 0, humans = 0;
    QString lastRestartReason;
    // Absent until the first run that found the server's log.
    std::optional<LogCounts> log;

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
// The log's series (connects of people and of bots, chat lines, failed console logins, people seen in
// the last day), labelled as metricsText's.
QString logMetricsText(const QString& name, const LogCounts& counts, int peopleSeen24h);

} // namespace tarrow::service
