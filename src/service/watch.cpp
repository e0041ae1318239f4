#include "watch.h"

#include "status/report.h"

namespace tarrow::service {

QJsonObject WatchState::toJson() const {
    return QJsonObject{{QStringLiteral("silentChecks"), silentChecks},
                       {QStringLiteral("restarts"), restarts},
                       {QStringLiteral("lastResult"), lastResult},
                       {QStringLiteral("lastAnswer"), double(lastAnswer)},
                       {QStringLiteral("players"), players},
                       {QStringLiteral("bots"), bots},
                       {QStringLiteral("humans"), humans},
                       {QStringLiteral("lastRestartReason"), lastRestartReason}};
}

WatchState WatchState::fromJson(const QJsonObject& o) {
    WatchState s;
    s.silentChecks = o.value(QStringLiteral("silentChecks")).toInt();
    s.restarts = o.value(QStringLiteral("restarts")).toInt();
    s.lastResult = o.value(QStringLiteral("lastResult")).toString();
    s.lastAnswer = qint64(o.value(QStringLiteral("lastAnswer")).toDouble());
    s.players = o.value(QStringLiteral("players")).toInt();
    s.bots = o.value(QStringLiteral("bots")).toInt();
    s.humans = o.value(QStringLiteral("humans")).toInt();
    s.lastRestartReason = o.value(QStringLiteral("lastRestartReason")).toString();
    return s;
}

WatchOutcome watchCheck(WatchState& state, const UnitState& unit, qint64 now,
                        const std::function<live::QueryResult()>& ask) {
    WatchOutcome out;
    if (unit.activeState != QLatin1String("active")) {
        // Not running: a crash or a stop is systemd's to handle, not a hang.
        state.silentChecks = 0;
        state.lastResult = QStringLiteral("not running");
        return out;
    }
    if (unit.activeSince > 0 && now - unit.activeSince < kGraceSeconds) {
        // A server loading its first map does not answer yet.
        state.lastResult = QStringLiteral("starting");
        return out;
    }
    out.queried = true;
    out.result = ask();
    if (out.result.answering) {
        state.silentChecks = 0;
        state.lastResult = QStringLiteral("answering");
        state.lastAnswer = now;
        state.players = out.result.info.players;
        state.bots = out.result.info.bots;
        state.humans = out.result.info.humans();
        return out;
    }
    ++state.silentChecks;
    state.lastResult = QStringLiteral("silent");
    if (state.silentChecks < kSilentChecksForHang) return out;
    state.silentChecks = 0;
    ++state.restarts;
    state.lastResult = QStringLiteral("restarted");
    state.lastRestartReason =
        QStringLiteral("no answer for %1 checks while running").arg(kSilentChecksForHang);
    out.restart = true;
    out.line = QStringLiteral("The server at %1 runs but has not answered for %2 checks: restarting it.")
                   .arg(out.result.address.text())
                   .arg(kSilentChecksForHang);
    return out;
}

namespace {

struct Series {
    const char* name;
    const char* type;
    const char* help;
};

QString escapeLabel(QString v) {
    v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    v.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    v.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return v;
}

} // namespace

QString metricsText(const QString& name, const live::QueryResult& live, const StatusReport& report,
                    int loaderChainProblems, int watchdogRestarts) {
    const QString server = QStringLiteral("server=\"") + escapeLabel(name) + QLatin1Char('"');
    QString out;
    auto head = [&](const Series& s) {
        out += QStringLiteral("# HELP %1 %2\n# TYPE %1 %3\n")
                   .arg(QLatin1String(s.name), QLatin1String(s.help), QLatin1String(s.type));
    };
    auto sample = [&](const char* metric, const QString& labels, double value) {
        out += QLatin1String(metric) + QLatin1Char('{') + labels + QStringLiteral("} ") +
               QString::number(value) + QLatin1Char('\n');
    };
    const live::ServerInfo& i = live.info;
    const bool up = live.answering;
    const Series gauges[] = {
        {"tarrow_server_up", "gauge", "Whether the server answered its query (1) or not (0)."},
        {"tarrow_server_players", "gauge", "Players on the server, bots included."},
        {"tarrow_server_bots", "gauge", "Bots on the server."},
        {"tarrow_server_humans", "gauge", "People on the server: players less bots."},
        {"tarrow_server_max_players", "gauge", "Places on the server."},
        {"tarrow_server_query_latency_seconds", "gauge", "The last info query's round trip."},
    };
    const double values[] = {up ? 1.0 : 0.0,
                             up ? double(i.players) : 0.0,
                             up ? double(i.bots) : 0.0,
                             up ? double(i.humans()) : 0.0,
                             up ? double(i.maxPlayers) : 0.0,
                             up ? live.latencyMs / 1000.0 : 0.0};
    for (int n = 0; n < 6; ++n) {
        head(gauges[n]);
        sample(gauges[n].name, server, values[n]);
    }
    head({"tarrow_component_installed", "gauge",
          "Whether a component's library is installed (1) or not (0)."});
    for (const ComponentInfo& c : componentTable())
        sample("tarrow_component_installed",
               server + QStringLiteral(",component=\"%1\"").arg(QLatin1String(c.cliName)),
               report[c.component].installed == InstallState::Missing ? 0 : 1);
    head({"tarrow_component_loaded", "gauge", "Whether the loader files load a component (1) or not (0)."});
    for (const ComponentInfo& c : componentTable())
        sample("tarrow_component_loaded",
               server + QStringLiteral(",component=\"%1\"").arg(QLatin1String(c.cliName)),
               report[c.component].loaded == LoadState::No ? 0 : 1);
    head({"tarrow_loader_chain_problems", "gauge", "Problems tarrow check finds in the loader chain."});
    sample("tarrow_loader_chain_problems", server, loaderChainProblems);
    head(
        {"tarrow_watchdog_restarts_total", "counter", "Restarts the watchdog made because the server hung."});
    sample("tarrow_watchdog_restarts_total", server, watchdogRestarts);
    return out;
}

} // namespace tarrow::service
