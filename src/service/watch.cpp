#include "watch.h"

#include "status/report.h"

namespace tarrow::service {

void LogCounts::add(const live::LogEvent& e) {
    if (e.kind == live::LogKind::Join && e.player) {
        (e.player->bot() ? botConnects : personConnects) += 1;
    } else if (e.kind == live::LogKind::Say || e.kind == live::LogKind::SayTeam) {
        if (e.player) chatLines += 1;
    } else if (e.kind == live::LogKind::BadRcon) {
        badRcon += 1;
    }
    if ((e.kind == live::LogKind::Join || e.kind == live::LogKind::Enter) && e.player && e.player->person() &&
        !e.player->sharedId() && e.time.isValid())
        lastSeen.insert(e.player->id, e.time.toSecsSinceEpoch());
}

int LogCounts::seenInDayBefore(qint64 now) {
    for (auto it = lastSeen.begin(); it != lastSeen.end();)
        it = now - it.value() > qint64(24) * 3600 ? lastSeen.erase(it) : std::next(it);
    return int(lastSeen.size());
}

QJsonObject LogCounts::toJson() const {
    QJsonObject seen;
    for (auto it = lastSeen.begin(); it != lastSeen.end(); ++it)
        seen.insert(it.key(), double(it.value()));
    return {{QStringLiteral("file"), file},
            {QStringLiteral("offset"), double(offset)},
            {QStringLiteral("personConnects"), personConnects},
            {QStringLiteral("botConnects"), botConnects},
            {QStringLiteral("chatLines"), chatLines},
            {QStringLiteral("badRcon"), badRcon},
            {QStringLiteral("lastSeen"), seen}};
}

LogCounts LogCounts::fromJson(const QJsonObject& o) {
    LogCounts c;
    c.file = o.value(QStringLiteral("file")).toString();
    c.offset = qint64(o.value(QStringLiteral("offset")).toDouble());
    c.personConnects = o.value(QStringLiteral("personConnects")).toDouble();
    c.botConnects = o.value(QStringLiteral("botConnects")).toDouble();
    c.chatLines = o.value(QStringLiteral("chatLines")).toDouble();
    c.badRcon = o.value(QStringLiteral("badRcon")).toDouble();
    const QJsonObject seen = o.value(QStringLiteral("lastSeen")).toObject();
    for (auto it = seen.begin(); it != seen.end(); ++it)
        c.lastSeen.insert(it.key(), qint64(it.value().toDouble()));
    return c;
}

QJsonObject WatchState::toJson() const {
    QJsonObject o{{QStringLiteral("silentChecks"), silentChecks},
                  {QStringLiteral("restarts"), restarts},
                  {QStringLiteral("lastResult"), lastResult},
                  {QStringLiteral("lastAnswer"), double(lastAnswer)},
                  {QStringLiteral("players"), players},
                  {QStringLiteral("bots"), bots},
                  {QStringLiteral("humans"), humans},
                  {QStringLiteral("lastRestartReason"), lastRestartReason}};
    if (log) o.insert(QStringLiteral("log"), log->toJson());
    return o;
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
    if (o.value(QStringLiteral("log")).isObject())
        s.log = LogCounts::fromJson(o.value(QStringLiteral("log")).toObject());
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

QString logMetricsText(const QString& name, const LogCounts& c, int peopleSeen24h) {
    const QString server = QStringLiteral("server=\"") + escapeLabel(name) + QLatin1Char('"');
    QString out;
    auto series = [&](const char* metric, const char* type, const char* help) {
        out += QStringLiteral("# HELP %1 %2\n# TYPE %1 %3\n")
                   .arg(QLatin1String(metric), QLatin1String(help), QLatin1String(type));
    };
    auto sample = [&](const char* metric, const QString& labels, double value) {
        out += QLatin1String(metric) + QLatin1Char('{') + labels + QStringLiteral("} ") +
               QString::number(value, 'f', 0) + QLatin1Char('\n');
    };
    series("tarrow_log_connects_total", "counter",
           "Connections the server's log records, of people and of bots.");
    sample("tarrow_log_connects_total", server + QStringLiteral(",kind=\"person\""), c.personConnects);
    sample("tarrow_log_connects_total", server + QStringLiteral(",kind=\"bot\""), c.botConnects);
    series("tarrow_log_chat_lines_total", "counter", "Lines players said (say and say_team).");
    sample("tarrow_log_chat_lines_total", server, c.chatLines);
    series("tarrow_log_bad_rcon_total", "counter",
           "Console logins the server refused (a wrong rcon password).");
    sample("tarrow_log_bad_rcon_total", server, c.badRcon);
    series("tarrow_people_seen_24h", "gauge", "People (by unique id, not bots) who came in the last day.");
    sample("tarrow_people_seen_24h", server, peopleSeen24h);
    return out;
}

} // namespace tarrow::service
