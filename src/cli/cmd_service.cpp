// The server as a systemd user service: service, watch and restart --when-empty.
#include "command.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/settingsstore.h"
#include "live/logfiles.h"
#include "output.h"
#include "service/manage.h"
#include "service/restart.h"
#include "service/units.h"
#include "service/watch.h"
#include "status/detection.h"
#include "status/loaderchain.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QThread>

namespace tarrow::cli {

namespace {

service::WatchState readWatchState(const Installation& in) {
    QFile f(nativePath(in.paths().watchState));
    if (!f.open(QIODevice::ReadOnly) || f.size() > 65536) return {};
    return service::WatchState::fromJson(QJsonDocument::fromJson(f.readAll()).object());
}

int serviceCommand(const Installation& in, SettingsStore& store, const QString& name, const QStringList& args,
                   bool json) {
    const QString verb = args.value(0);
    const QString unit = service::serverUnitOf(name);
    const QString timer = service::watchTimerOf(name);
    auto call = [](const QStringList& a) {
        const service::CommandResult r = service::systemctlUser(a);
        if (!r.started || r.code != 0)
            err() << "tarrow: systemctl --user " << a.join(QLatin1Char(' ')) << ": "
                  << (r.err.trimmed().isEmpty() ? QStringLiteral("failed") : r.err.trimmed()) << Qt::endl;
        return r.started && r.code == 0;
    };
    if (verb == QLatin1String("install")) {
        const service::ManageResult r =
            service::installService(in, name, QCoreApplication::applicationFilePath(), store.fileName());
        for (const QString& line : r.lines)
            out() << line << Qt::endl;
        if (!r.ok) return fail(r.error);
        out() << "Start it with: tarrow service start --name " << name << Qt::endl;
        if (!service::lingerEnabled())
            out() << "Without lingering, your services stop when you log out; to keep the server up:"
                  << Qt::endl
                  << "    loginctl enable-linger " << service::userName() << Qt::endl;
        return code(Exit::Done);
    }
    if (verb == QLatin1String("start") || verb == QLatin1String("stop") || verb == QLatin1String("restart"))
        return call({verb, unit}) ? code(Exit::Done) : code(Exit::Error);
    if (verb == QLatin1String("remove")) {
        const service::ManageResult r = service::removeService(name);
        for (const QString& line : r.lines)
            out() << line << Qt::endl;
        return r.ok ? code(Exit::Done) : fail(r.error);
    }
    if (verb == QLatin1String("status")) {
        const service::UnitState s = service::unitState(unit);
        const service::WatchState w = readWatchState(in);
        const QString since = s.activeSince > 0
                                  ? QDateTime::fromSecsSinceEpoch(s.activeSince).toString(Qt::ISODate)
                                  : QString();
        if (json) {
            printJson(QJsonDocument(
                QJsonObject{{QStringLiteral("unit"), unit},
                            {QStringLiteral("active"), s.activeState},
                            {QStringLiteral("since"), since.isEmpty() ? QJsonValue() : QJsonValue(since)},
                            {QStringLiteral("restarts"), s.restarts},
                            {QStringLiteral("watchdog"), w.toJson()}}));
        } else {
            out() << unit << ": " << (s.activeState.isEmpty() ? QStringLiteral("unknown") : s.activeState)
                  << (since.isEmpty() ? QString() : QStringLiteral(" since ") + since) << ", restarted "
                  << s.restarts << " times by systemd" << Qt::endl
                  << "Watchdog: " << (w.lastResult.isEmpty() ? QStringLiteral("no check yet") : w.lastResult)
                  << ", " << w.restarts << " restarts of a hung server" << Qt::endl;
        }
        return code(Exit::Done);
    }
    return fail(QStringLiteral("service takes install, start, stop, restart, status or remove"));
}

int restartEmpty(const Installation& in, const live::ServerAddress& where, const QString& name,
                 const QString& passwordFile, qint64 maxWait, bool warn) {
    const QString unit = service::serverUnitOf(name);
    const QString password = rconPassword(in, passwordFile).value_or(QString());
    service::EmptyRestart with;
    // A password the server refused is not sent again (the engine bans an address after a few wrong
    // tries): the looks fall back to the query's count and the warnings stay here.
    bool refused = false;
    auto noteRefused = [&](const live::RconResult& r) {
        if (refused ||
            (r.status != live::RconStatus::BadPassword && r.status != live::RconStatus::RefusedBefore))
            return;
        refused = true;
        err() << "tarrow: " << live::rconStatusText(live::RconStatus::BadPassword)
              << " People are counted by the query, and no warning is said on the server." << Qt::endl;
    };
    with.people = [&]() -> std::optional<int> {
        // The console's status tells bots apart exactly; the query's count is the fallback.
        if (!password.isEmpty() && !refused) {
            const live::RconResult r = live::sendRcon(where, password, QStringLiteral("status"));
            if (r.status == live::RconStatus::Done) return service::peopleInStatus(r.output);
            noteRefused(r);
        }
        const live::QueryResult q = live::queryServer(where, live::QueryOptions{});
        if (!q.answering) return std::nullopt;
        return q.info.humans();
    };
    with.say = [&](const QString& text) {
        out() << text << Qt::endl;
        if (!password.isEmpty() && !refused)
            noteRefused(live::sendRcon(where, password, QStringLiteral("say \"") + text + QLatin1Char('"')));
    };
    with.restart = [&] {
        const service::CommandResult r = service::systemctlUser({QStringLiteral("restart"), unit});
        return r.started && r.code == 0;
    };
    with.sleep = [](int seconds) { QThread::sleep(static_cast<unsigned long>(seconds)); };
    switch (service::restartWhenEmpty(with, maxWait, warn)) {
    case service::RestartResult::Restarted:
        out() << "Nobody but bots on the server: " << unit << " restarted." << Qt::endl;
        return code(Exit::Done);
    case service::RestartResult::Forced:
        out() << "People still on the server after the longest wait: " << unit << " restarted anyway."
              << Qt::endl;
        return code(Exit::Done);
    case service::RestartResult::GaveUp:
        return err() << "tarrow: people are on the server; not restarted (--max-wait never)" << Qt::endl,
               code(Exit::GaveUp);
    case service::RestartResult::Failed:
        break;
    }
    return fail(QStringLiteral("systemctl --user restart %1 failed").arg(unit));
}

// The server's log since the watchdog's last run, counted into its state; the people seen in the last
// day. The first run that finds a log starts at its end: the counters count from then on.
int countLog(const Installation& in, service::WatchState& state) {
    const QString folder = nativePath(in.paths().logsFolder);
    live::LogFollower follower(folder);
    if (!state.log) {
        if (live::logFilesInOrder(folder).isEmpty()) return 0;
        state.log = service::LogCounts{};
        follower.skipToEnd();
    } else {
        follower.setPosition({state.log->file, state.log->offset, -1});
    }
    follower.poll([&](const live::LogLine& l) { state.log->add(l.event); });
    state.log->file = follower.position().file;
    state.log->offset = follower.position().offset;
    const QDateTime now = QDateTime::currentDateTime();
    return state.log->seenInDayBefore(QDateTime(now.date(), now.time(), Qt::UTC).toSecsSinceEpoch());
}

int watch(const Installation& in, const live::ServerAddress& where, const QString& name,
          const QString& textfile, int timeoutMs) {
    const QString unit = service::serverUnitOf(name);
    service::WatchState state = readWatchState(in);
    const service::UnitState s = service::unitState(unit);
    const service::WatchOutcome o =
        service::watchCheck(state, s, QDateTime::currentSecsSinceEpoch(), [&where, timeoutMs] {
            // Three tries 5 s apart: a map change answers within them.
            live::QueryOptions options;
            options.tries = 3;
            options.timeoutMs = timeoutMs;
            return live::queryServer(where, options);
        });
    if (o.restart) {
        out() << unit << ": " << o.line << Qt::endl;
        service::systemctlUser({QStringLiteral("restart"), unit});
    }
    const int seen24h = countLog(in, state);
    createFolder(in.paths().pluginFolder);
    writeFileBytes(in.paths().watchState, QJsonDocument(state.toJson()).toJson(QJsonDocument::Indented),
                   WriteMode::Output);
    if (!textfile.isEmpty()) {
        const Detection d = detectComponents(in.paths(), in.components());
        const LoaderChain chain = followLoaderChain(in.paths(), in.components());
        live::QueryResult live = o.result;
        if (!o.queried) live.address = where;
        writeFileBytes(
            QDir(textfile).filePath(QStringLiteral("tarrow_") + name + QStringLiteral(".prom")),
            (service::metricsText(name, live, d.report, int(chain.problems.size()), state.restarts) +
             (state.log ? service::logMetricsText(name, *state.log, seen24h) : QString()))
                .toUtf8(),
            WriteMode::Output);
    }
    return code(Exit::Done);
}

QString serviceNameOf(const Invocation& c) {
    return c.isSet(c.o.name) ? service::escapeUnitName(c.value(c.o.name))
                             : service::defaultServiceName(nativePath(c.installation().root()));
}

std::optional<qint64> maxWaitOf(const Invocation& c) {
    if (!c.isSet(c.o.maxWait)) return qint64(30 * 60);
    return service::parseDuration(c.value(c.o.maxWait));
}

const QString kBadMaxWait = QStringLiteral("--max-wait takes 90s, 30m, 2h or never");

int restartNow(const Invocation& c, qint64 wait) {
    return restartEmpty(c.installation(), c.where, serviceNameOf(c), c.value(c.o.passwordFile), wait,
                        c.isSet(c.o.warn));
}

} // namespace

int thenRestartWhenEmpty(const Invocation& c, const std::function<int()>& step) {
    const std::optional<qint64> wait = maxWaitOf(c);
    if (!wait) return fail(kBadMaxWait);
    const int rc = step();
    if (rc != code(Exit::Done) || !c.isSet(c.o.restartWhenEmpty)) return rc;
    return restartNow(c, *wait);
}

QList<Command> serviceCommands() {
    return {
        {.name = "service",
         .synopsis = "service install|start|stop|restart|status|remove [--name NAME]",
         .summary = "the server as a systemd user service",
         .options = {{&Options::json, "service status"}, {&Options::name}},
         .words = {QStringLiteral("install"), QStringLiteral("start"), QStringLiteral("stop"),
                   QStringLiteral("restart"), QStringLiteral("status"), QStringLiteral("remove")},
         .run =
             [](const Invocation& c) {
                 return serviceCommand(c.installation(), c.store, serviceNameOf(c), c.args,
                                       c.isSet(c.o.json));
             },
         .place = 120},
        {.name = "watch",
         .synopsis = "watch [--name NAME] [--textfile DIR]",
         .summary = "one watchdog check (the service's timer runs it)",
         .options = {{&Options::name}, {&Options::textfile}},
         .folderFromService = true,
         .run =
             [](const Invocation& c) {
                 const Installation& in = c.installation();
                 return watch(in, c.where, serviceNameOf(c),
                              c.isSet(c.o.textfile) ? c.value(c.o.textfile)
                                                    : in.setting(QStringLiteral("Metrics Folder")),
                              c.isSet(c.o.timeout) ? c.timeoutMs : 5000);
             },
         .place = 130},
        {.name = "restart",
         .synopsis = "restart --when-empty [--max-wait D] [--warn]",
         .summary = "restart the service once only bots play",
         .options = {{&Options::whenEmpty}, {&Options::maxWait}, {&Options::warn}},
         .run =
             [](const Invocation& c) {
                 const std::optional<qint64> wait = maxWaitOf(c);
                 if (!wait) return fail(kBadMaxWait);
                 if (!c.isSet(c.o.whenEmpty))
                     return fail(QStringLiteral("restart takes --when-empty; a plain restart is "
                                                "tarrow service restart"));
                 return restartNow(c, *wait);
             },
         .place = 140},
    };
}

} // namespace tarrow::cli
