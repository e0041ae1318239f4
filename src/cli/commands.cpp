#include "commands.h"

#include "app/demo.h"
#include "app/folders.h"
#include "app/installation.h"
#include "app/installroot.h"
#include "app/windowoptions.h"
#include "common/backups.h"
#include "common/errors.h"
#include "common/fileinuse.h"
#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "diagnostics/infodump.h"
#include "gamefiles/rebuild.h"
#include "launcher/commandline.h"
#include "live/client.h"
#include "serverconfig/serverfiles.h"
#include "serverconfig/servermodel.h"
#include "service/manage.h"
#include "service/restart.h"
#include "service/units.h"
#include "service/watch.h"
#include "status/actions.h"
#include "status/loaderchain.h"
#include "status/refresh.h"
#include "statusformat.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace tarrow::cli {

namespace {

constexpr int kDone = 0;
constexpr int kError = 2;
constexpr int kProblems = 3;

QTextStream& out() {
    static QTextStream s(stdout);
    return s;
}
QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

// A command's JSON, indented, as every --json prints it.
void printJson(const QJsonDocument& document) {
    out() << document.toJson(QJsonDocument::Indented);
}

int fail(const QString& text) {
    err() << "tarrow: " << text << Qt::endl;
    return kError;
}

// What the window would show in a box goes to stderr; nothing is ever asked.
class StderrPrompter : public Prompter {
  public:
    void message(const QString& text) override { err() << text << Qt::endl; }
    bool confirm(const QString& text) override {
        err() << text << Qt::endl;
        return false;
    }
    QString browseForFolder(const QString&) override { return {}; }
    SaveChoice askToSave(const QString& text) override {
        err() << text << Qt::endl;
        return SaveChoice::Cancel;
    }
    void error(const QString& text) override { err() << text << Qt::endl; }
};

struct Options {
    QCommandLineOption settings{
        QStringLiteral("settings"),
        QStringLiteral("Keep the settings in FILE (also TARROW_SETTINGS), as tarrow-gui does."),
        QStringLiteral("FILE")};
    QCommandLineOption installRoot{
        QStringLiteral("install-root"),
        QStringLiteral("Use DIR as the Half-Life folder for this call (nothing is stored)."),
        QStringLiteral("DIR")};
    QCommandLineOption folder{
        QStringLiteral("folder"),
        QStringLiteral("Use known folder N (see tarrow folders), or PATH, which becomes known."),
        QStringLiteral("N|PATH")};
    QCommandLineOption json{
        QStringLiteral("json"),
        QStringLiteral("status, check, folders, query, service status, demo: print JSON.")};
    QCommandLineOption address{
        QStringLiteral("address"),
        QStringLiteral("query, rcon: ask HOST[:PORT] instead of the saved command line's."),
        QStringLiteral("HOST[:PORT]")};
    QCommandLineOption timeout{QStringLiteral("timeout"),
                               QStringLiteral("query, rcon: wait MS for each answer (1500)."),
                               QStringLiteral("MS")};
    QCommandLineOption players{QStringLiteral("players"), QStringLiteral("query: list the players too.")};
    QCommandLineOption name{
        QStringLiteral("name"),
        QStringLiteral("service, watch: the service's NAME (default: the folder's name)."),
        QStringLiteral("NAME")};
    QCommandLineOption whenEmpty{QStringLiteral("when-empty"),
                                 QStringLiteral("restart: once nobody but bots is on the server.")};
    QCommandLineOption restartWhenEmpty{
        QStringLiteral("restart-when-empty"),
        QStringLiteral("load, unload, rebuild: then restart the service once nobody but bots is on it.")};
    QCommandLineOption maxWait{
        QStringLiteral("max-wait"),
        QStringLiteral("restart: force it after DURATION (90s, 30m, 2h; never: give up)."),
        QStringLiteral("DURATION")};
    QCommandLineOption warn{
        QStringLiteral("warn"),
        QStringLiteral("restart: tell the players 5 min, 1 min and 10 s before forcing it.")};
    QCommandLineOption textfile{QStringLiteral("textfile"),
                                QStringLiteral("watch: write metrics for the node exporter into DIR."),
                                QStringLiteral("DIR")};
    QCommandLineOption rules{QStringLiteral("rules"), QStringLiteral("query: list the live settings too.")};
    QCommandLineOption passwordFile{
        QStringLiteral("rcon-password-file"),
        QStringLiteral("rcon: read the password from FILE (else TARROW_RCON_PASSWORD, else server.cfg)."),
        QStringLiteral("FILE")};
    QCommandLineOption yes{QStringLiteral("yes"), QStringLiteral("rebuild: overwrite without a question.")};
    QCommandLineOption dir{QStringLiteral("dir"), QStringLiteral("dump, demo: write the folder into DIR."),
                           QStringLiteral("DIR")};
    QCommandLineOption include{QStringLiteral("include"),
                               QStringLiteral("dump: also include LIST (plugin,server,bot,tarrow or all)."),
                               QStringLiteral("LIST")};
    QCommandLineOption at{QStringLiteral("at"),
                          QStringLiteral("restore: the backup of TIME (yyyy-MM-dd HH:mm:ss, or its start)."),
                          QStringLiteral("TIME")};
};

const char* const kDescription =
    "Tarrow GUI for a shell: the status report, loading and unloading, rebuilding the start-up files, the\n"
    "support dump and the backups, on the same settings file as tarrow-gui.\n\n"
    "Commands:\n"
    "  status [--json]                  the report of the installation (exit 3 when something is wrong)\n"
    "  load COMPONENT                   load tarrow, metamod, adminmod or neotf\n"
    "  unload COMPONENT                 unload it\n"
    "  rebuild FILE... [--yes]          reset autoexec, liblist, plugins or ntfconfig to its default\n"
    "  dump [--dir DIR] [--include L]   write the support dump folder\n"
    "  backups [FILE]                   list the kept previous versions\n"
    "  restore FILE [--at TIME]         put a previous version back\n"
    "  check [--json]                   follow the loader chain and list its problems (exit 3 if any)\n"
    "  folders [--json]                 the known Half-Life folders; --folder N picks one for a call\n"
    "  query [--json] [--players] [--rules]  ask the running server (exit 4 when it does not answer)\n"
    "  rcon COMMAND...                  run a console command on the server (exit 4 without an answer)\n"
    "  service install|start|stop|restart|status|remove [--name NAME]  the server as a systemd user service\n"
    "  watch [--name NAME] [--textfile DIR]  one watchdog check (the service's timer runs it)\n"
    "  restart --when-empty [--max-wait D] [--warn]  restart the service once only bots play\n"
    "  demo [linux] [--dir DIR] [--json]  build the sample installation and its settings file";

bool colourWanted() {
    return isatty(fileno(stdout)) && qEnvironmentVariableIsEmpty("NO_COLOR");
}

RunningReport runningOf(const InstallPaths& p) {
    return StatusRefresh::runningStates(p, OpenFileScan::take({p.modLibrary, p.botLibrary, p.metamodLibrary,
                                                               p.adminmodLibrary, p.neotfLibrary}));
}

void printWrites(const QList<WriteRecord>& records) {
    for (const WriteRecord& r : records) {
        if (!r.changed) continue;
        out() << (r.deleted ? "Deleted " : "Saved ") << r.path
              << (r.backup.isEmpty() ? QString()
                                     : QStringLiteral(" (previous version kept: %1)").arg(r.backup))
              << Qt::endl;
    }
}

QJsonObject liveJson(const live::QueryResult& r, bool lists) {
    if (!r.answering)
        return QJsonObject{{QStringLiteral("address"), r.address.text()},
                           {QStringLiteral("answering"), false}};
    const live::ServerInfo& i = r.info;
    QJsonObject o{{QStringLiteral("address"), r.address.text()},
                  {QStringLiteral("answering"), true},
                  {QStringLiteral("latencyMs"), qRound(r.latencyMs * 10) / 10.0},
                  {QStringLiteral("name"), i.name},
                  {QStringLiteral("map"), i.map},
                  {QStringLiteral("folder"), i.folder},
                  {QStringLiteral("game"), i.game},
                  {QStringLiteral("protocol"), i.protocol},
                  {QStringLiteral("players"), i.players},
                  {QStringLiteral("bots"), i.bots},
                  {QStringLiteral("humans"), i.humans()},
                  {QStringLiteral("maxPlayers"), i.maxPlayers},
                  {QStringLiteral("dedicated"), i.dedicated},
                  {QStringLiteral("os"), i.os},
                  {QStringLiteral("password"), i.password},
                  {QStringLiteral("vac"), i.vac},
                  {QStringLiteral("version"), i.version}};
    if (lists && r.players) {
        QJsonArray list;
        for (const live::PlayerEntry& p : *r.players)
            list.append(QJsonObject{{QStringLiteral("name"), p.name},
                                    {QStringLiteral("score"), p.score},
                                    {QStringLiteral("seconds"),
                                     p.connectedSeconds() ? QJsonValue(double(p.seconds)) : QJsonValue()}});
        o.insert(QStringLiteral("playerList"), list);
    }
    if (lists && r.rules) {
        QJsonObject rules;
        for (const auto& [name, value] : *r.rules)
            rules.insert(name, value);
        o.insert(QStringLiteral("rules"), rules);
    }
    return o;
}

constexpr int kNoAnswer = 4;

int query(const live::ServerAddress& where, bool json, bool players, bool rules, int timeoutMs) {
    live::QueryOptions options;
    options.players = players;
    options.rules = rules;
    options.timeoutMs = timeoutMs;
    const live::QueryResult r = live::queryServer(where, options);
    if (json) {
        printJson(QJsonDocument(liveJson(r, true)));
    } else if (!r.answering) {
        out() << where.text() << ": no answer" << Qt::endl;
    } else {
        const live::ServerInfo& i = r.info;
        out() << i.name << " (" << where.text() << ", " << QString::number(r.latencyMs, 'f', 1) << " ms)"
              << Qt::endl
              << "Map: " << i.map << Qt::endl
              << "People: " << i.humans() << ", bots: " << i.bots << ", of " << i.maxPlayers << " places"
              << Qt::endl;
        if (r.players)
            for (const live::PlayerEntry& p : *r.players)
                out() << "  " << p.name << "  score " << p.score
                      << (p.connectedSeconds() ? QStringLiteral("  %1 s").arg(*p.connectedSeconds())
                                               : QString())
                      << Qt::endl;
        if (r.rules)
            for (const auto& [name, value] : *r.rules)
                out() << "  " << name << " " << value << Qt::endl;
    }
    if (!r.error.isEmpty()) err() << "tarrow: " << r.error << Qt::endl;
    return r.answering ? kDone : kNoAnswer;
}

// The password: a file given for it, the environment, else the installation's server.cfg. It is never
// printed, logged or put on a command line.
std::optional<QString> rconPassword(const Installation& in, const QString& file) {
    if (!file.isEmpty()) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
        return QString::fromUtf8(f.readAll()).section(QLatin1Char('\n'), 0, 0).trimmed();
    }
    if (qEnvironmentVariableIsSet("TARROW_RCON_PASSWORD"))
        return qEnvironmentVariable("TARROW_RCON_PASSWORD");
    return in.serverCfgValue(QStringLiteral("rcon_password")).value_or(QString());
}

int rcon(const Installation& in, const live::ServerAddress& where, const QStringList& words,
         const QString& passwordFile, int timeoutMs) {
    if (words.isEmpty()) return fail(QStringLiteral("rcon takes the COMMAND to run"));
    const auto password = rconPassword(in, passwordFile);
    if (!password) return fail(QStringLiteral("cannot read the password file %1").arg(passwordFile));
    if (password->isEmpty())
        return fail(
            QStringLiteral("no rcon password: give --rcon-password-file FILE or TARROW_RCON_PASSWORD, or set "
                           "rcon_password in server.cfg"));
    const live::RconResult r = live::sendRcon(where, *password, words.join(QLatin1Char(' ')), timeoutMs);
    if (r.status == live::RconStatus::NoAnswer) {
        err() << "tarrow: " << where.text() << ": " << live::rconStatusText(r.status) << Qt::endl;
        return kNoAnswer;
    }
    if (r.status != live::RconStatus::Done) {
        err() << "tarrow: " << live::rconStatusText(r.status) << " The server said: " << r.output.trimmed()
              << Qt::endl;
        return kError;
    }
    out() << r.output;
    if (!r.output.isEmpty() && !r.output.endsWith(QLatin1Char('\n'))) out() << Qt::endl;
    out().flush();
    return kDone;
}

QString watchStatePath(const Installation& in) {
    return in.paths().pluginFolder + QStringLiteral("watch.json");
}

service::WatchState readWatchState(const Installation& in) {
    QFile f(nativePath(watchStatePath(in)));
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
        return kDone;
    }
    if (verb == QLatin1String("start") || verb == QLatin1String("stop") || verb == QLatin1String("restart"))
        return call({verb, unit}) ? kDone : kError;
    if (verb == QLatin1String("remove")) {
        const service::ManageResult r = service::removeService(name);
        for (const QString& line : r.lines)
            out() << line << Qt::endl;
        return r.ok ? kDone : fail(r.error);
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
        return kDone;
    }
    return fail(QStringLiteral("service takes install, start, stop, restart, status or remove"));
}

constexpr int kGaveUp = 5;

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
        return kDone;
    case service::RestartResult::Forced:
        out() << "People still on the server after the longest wait: " << unit << " restarted anyway."
              << Qt::endl;
        return kDone;
    case service::RestartResult::GaveUp:
        return err() << "tarrow: people are on the server; not restarted (--max-wait never)" << Qt::endl,
               kGaveUp;
    case service::RestartResult::Failed:
        break;
    }
    return fail(QStringLiteral("systemctl --user restart %1 failed").arg(unit));
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
    createFolder(in.paths().pluginFolder);
    writeFileBytes(watchStatePath(in), QJsonDocument(state.toJson()).toJson(QJsonDocument::Indented),
                   WriteMode::Output);
    if (!textfile.isEmpty()) {
        const Detection d = detectComponents(in.paths(), in.components());
        const LoaderChain chain = followLoaderChain(in.paths(), in.components());
        live::QueryResult live = o.result;
        if (!o.queried) live.address = where;
        writeFileBytes(
            QDir(textfile).filePath(QStringLiteral("tarrow_") + name + QStringLiteral(".prom")),
            service::metricsText(name, live, d.report, int(chain.problems.size()), state.restarts).toUtf8(),
            WriteMode::Output);
    }
    return kDone;
}

int status(const Installation& in, const live::ServerAddress& where, bool json) {
    const InstallPaths p = in.paths();
    // A look only: the duplicate-line upkeep of the window's refresh is left to the window and to load.
    const Detection d = detectComponents(p, in.components());
    const RunningReport running = runningOf(p);
    if (json) {
        QJsonObject o = statusJson(d.report, running, in.root(), p.platform);
        // One quick look at the running server: a status must stay fast.
        live::QueryOptions options;
        options.timeoutMs = 500;
        options.tries = 1;
        o.insert(QStringLiteral("live"), liveJson(live::queryServer(where, options), false));
        printJson(QJsonDocument(o));
    } else
        out() << statusText(d.report, running, in.root(), colourWanted());
    out().flush();
    return d.report.hasProblems() ? kProblems : kDone;
}

int loadOrUnload(const Installation& in, const QStringList& args, bool load) {
    const QString verb = load ? QStringLiteral("load") : QStringLiteral("unload");
    const auto c = args.size() == 1 ? componentOfCliName(args.first()) : std::nullopt;
    if (!c || *c == Component::Mod)
        return fail(QStringLiteral("%1 takes one of: tarrow, metamod, adminmod, neotf").arg(verb));
    const QString name = QLatin1String(infoOf(*c).displayName);
    const InstallPaths p = in.paths();
    const LoadFlags before = detectComponents(p, in.components()).flags;
    if (isLoaded(before, *c) == load) {
        out() << name << (load ? " is already loaded" : " is not loaded") << "; nothing changed." << Qt::endl;
        return kDone;
    }
    in.takeWrites();
    // The click on the row, with the refresh's steps around it, until the state is reached.
    const SwitchOutcome done = switchComponent(p, in.components(), *c, load);
    printWrites(in.takeWrites());
    if (!done.reached) {
        out() << statusText(done.after.report, runningOf(p), in.root(), colourWanted());
        if (!done.file.isEmpty())
            return fail(QStringLiteral("%1 is still loaded by line %2 of %3: %4")
                            .arg(name, QString::number(done.line), nativePath(done.file), done.text));
        return fail(
            QStringLiteral("%1 %2 changed nothing that makes it %3: a file it needs is missing (see the "
                           "report above).")
                .arg(load ? QStringLiteral("Loading") : QStringLiteral("Unloading"), name,
                     load ? QStringLiteral("loaded") : QStringLiteral("unloaded")));
    }
    out() << name << (load ? " is now loaded." : " is now unloaded.") << Qt::endl << Qt::endl;
    out() << statusText(done.after.report, runningOf(p), in.root(), colourWanted());
    return kDone;
}

bool askOverwrite(const QString& path) {
    out() << "Overwrite " << path << "? [y/N] " << Qt::flush;
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

int rebuild(const Installation& in, const QStringList& words, bool yes) {
    if (words.isEmpty())
        return fail(QStringLiteral("rebuild takes one or more of: autoexec, liblist, plugins, ntfconfig"));
    const QList<RebuildTarget> all = rebuildTargets(in.paths(), in.components());
    QList<RebuildTarget> chosen;
    for (const QString& w : words) {
        const auto it = std::find_if(all.begin(), all.end(), [&](const RebuildTarget& t) {
            return w.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0;
        });
        if (it == all.end())
            return fail(
                QStringLiteral("unknown file '%1'; rebuild takes autoexec, liblist, plugins, ntfconfig")
                    .arg(w));
        chosen.append(*it);
    }
    int rc = kDone;
    for (const RebuildTarget& t : chosen) {
        const QString shown = nativePath(t.file);
        if (fileExists(t.file) && !yes) {
            if (!isatty(fileno(stdin)))
                return fail(QStringLiteral("add --yes to overwrite %1 without a question").arg(shown));
            if (!askOverwrite(shown)) {
                out() << "Kept " << shown << Qt::endl;
                continue;
            }
        }
        in.takeWrites();
        if (!rebuildTarget(t, all, in.backups())) {
            rc = fail(QStringLiteral("the folder %1 does not exist; %2 was not written")
                          .arg(nativePath(t.folder), shown));
            continue;
        }
        printWrites(in.takeWrites());
    }
    return rc;
}

int dump(const Installation& in, const QString& dirOption, const QString& include) {
    DumpSelection sel;
    for (const QString& w : include.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString word = w.trimmed().toLower();
        const bool all = word == QLatin1String("all");
        if (all || word == QLatin1String("plugin")) sel.plugin = true;
        if (all || word == QLatin1String("server")) sel.server = true;
        if (all || word == QLatin1String("bot")) sel.bot = true;
        if (all || word == QLatin1String("tarrow")) sel.tarrow = true;
        if (!all && word != QLatin1String("plugin") && word != QLatin1String("server") &&
            word != QLatin1String("bot") && word != QLatin1String("tarrow"))
            return fail(
                QStringLiteral("unknown part '%1'; --include takes plugin, server, bot, tarrow or all")
                    .arg(word));
    }
    QString base = dirOption;
    if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (base.isEmpty() || !QFileInfo(base).isDir()) base = QDir::currentPath();
    const QString folder =
        QDir(base).absoluteFilePath(QStringLiteral("TARROW DEBUG INFO")) + QLatin1Char('/');
    createFolder(folder);
    const SystemReadings readings = SystemReadings::real();
    QStringList report;
    writeInfoDumpReport(folder, report, in.paths(), in.components(), sel, readings);
    // The two report pages as the window would show them now.
    const InstallPaths p = in.paths();
    const Detection d = detectComponents(p, in.components());
    const QString time = longTimeText(readings.now().time());
    writeFileBytes(folder + pageCopyName(QStringLiteral("tarrow"), time),
                   joinLinesCrLf(StatusRefresh::statusReport(d.cells, in.root())), WriteMode::Output);
    writeFileBytes(folder + pageCopyName(QStringLiteral("stats"), time),
                   joinLinesCrLf(StatusRefresh::runningReport(runningOf(p))), WriteMode::Output);
    out() << nativePath(folder) << Qt::endl;
    return kDone;
}

QString timeText(const Backup& b) {
    return b.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           (b.counter > 1 ? QStringLiteral(" #%1").arg(b.counter) : QString());
}

// A backup matches FILE by its path below the Half-Life folder, its full path, or its file name.
bool matches(const Backup& b, const QString& file, const QString& root) {
    if (file.isEmpty()) return true;
    const QString native = QFileInfo(file).isAbsolute() ? file : QDir(root).absoluteFilePath(file);
    return b.relative.compare(file, Qt::CaseInsensitive) == 0 || b.original == native ||
           QFileInfo(b.original).fileName().compare(file, Qt::CaseInsensitive) == 0;
}

int backups(const Installation& in, const QStringList& args) {
    const QString root = in.backups().root();
    const QString file = args.value(0);
    int shown = 0;
    for (const Backup& b : in.backups().list()) {
        if (!matches(b, file, root)) continue;
        out() << timeText(b).leftJustified(22) << QString::number(b.size).rightJustified(9) << "  "
              << b.relative << Qt::endl;
        ++shown;
    }
    if (shown == 0)
        out() << "No backups" << (file.isEmpty() ? QString() : QStringLiteral(" of ") + file) << " in "
              << backupFolder(root) << Qt::endl;
    return kDone;
}

int restore(const Installation& in, const QStringList& args, const QString& at) {
    if (args.size() != 1) return fail(QStringLiteral("restore takes one FILE (see tarrow backups)"));
    const QString root = in.backups().root();
    for (const Backup& b : in.backups().list()) {
        if (!matches(b, args.first(), root)) continue;
        const QString stamp = b.time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!at.isEmpty() && !timeText(b).startsWith(at) && !stamp.startsWith(at)) continue;
        in.takeWrites();
        in.backups().restore(b);
        out() << "Restored " << b.original << " as it was at " << timeText(b) << Qt::endl;
        printWrites(in.takeWrites());
        return kDone;
    }
    return fail(QStringLiteral("no backup of %1%2; see tarrow backups")
                    .arg(args.first(), at.isEmpty() ? QString() : QStringLiteral(" at ") + at));
}

int check(const Installation& in, bool json) {
    const LoaderChain chain = followLoaderChain(in.paths(), in.components());
    if (!json) {
        out() << loaderChainText(chain).join(QLatin1Char('\n')) << Qt::endl;
        return chain.problems.isEmpty() ? kDone : kProblems;
    }
    QJsonArray links, problems;
    for (const ChainLink& l : chain.links)
        links.append(QJsonObject{{QStringLiteral("file"), nativePath(l.file)},
                                 {QStringLiteral("line"), l.line},
                                 {QStringLiteral("statement"), l.statement.trimmed()},
                                 {QStringLiteral("library"), l.library},
                                 {QStringLiteral("exists"), l.exists}});
    for (const ChainProblem& p : chain.problems)
        problems.append(QJsonObject{{QStringLiteral("file"), nativePath(p.file)},
                                    {QStringLiteral("line"), p.line},
                                    {QStringLiteral("text"), p.text}});
    const QJsonObject o{{QStringLiteral("installRoot"), nativePath(in.root())},
                        {QStringLiteral("platform"), QLatin1String(platformName(chain.platform))},
                        {QStringLiteral("links"), links},
                        {QStringLiteral("problems"), problems}};
    printJson(QJsonDocument(o));
    return chain.problems.isEmpty() ? kDone : kProblems;
}

QString platformWord(ServerPlatform p) {
    return p == ServerPlatform::Linux ? QStringLiteral("Linux") : QStringLiteral("Windows");
}

int folders(SettingsStore& store, bool json) {
    const KnownFolders known(store);
    const auto current = known.current();
    QJsonArray array;
    for (const KnownFolder& f : known.list()) {
        const Installation in(&store, f.root);
        const bool isCurrent = current && current->index == f.index;
        if (json) {
            array.append(QJsonObject{{QStringLiteral("index"), f.index},
                                     {QStringLiteral("path"), nativePath(f.root)},
                                     {QStringLiteral("mod"), in.mod()},
                                     {QStringLiteral("platform"), QLatin1String(platformName(in.platform()))},
                                     {QStringLiteral("current"), isCurrent}});
            continue;
        }
        out() << QString::number(f.index).rightJustified(3) << (isCurrent ? " * " : "   ")
              << nativePath(f.root) << " (" << in.mod() << ", " << platformWord(in.platform()) << ")"
              << Qt::endl;
    }
    if (json)
        printJson(QJsonDocument(array));
    else if (array.isEmpty() && known.list().isEmpty())
        out() << "No Half-Life folder is known yet; give one with --folder PATH." << Qt::endl;
    return kDone;
}

// The sample installation the window's --demo opens, built in DIR beside a settings file of its own
// that knows it: every command can be tried on it with --settings, and nothing real is touched.
int demo(const QStringList& args, const QString& dirGiven, bool json) {
    for (const QString& a : args)
        if (a != QLatin1String("linux")) return fail(QStringLiteral("demo takes only the word linux"));
    const QString dir =
        dirGiven.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/demo")
            : QDir(dirGiven).absolutePath();
    const QString marker = QStringLiteral("Tarrow-demo.conf");
    // A new sample replaces an earlier one, never a folder of somebody's own.
    const QDir d(dir);
    if (d.exists() && !d.isEmpty() && !d.exists(marker))
        return fail(QStringLiteral("%1 holds other files: the demo goes into an empty folder or over an "
                                   "earlier demo")
                        .arg(nativePath(dir)));
    if (!QDir().mkpath(dir)) return fail(QStringLiteral("cannot make the folder %1").arg(nativePath(dir)));
    const bool linuxDemo = args.contains(QLatin1String("linux"));
    const DemoInstallation made = linuxDemo ? buildLinuxDemoInstallation(dir, QStringLiteral(":/demo/dlls"))
                                            : buildDemoInstallation(dir, QStringLiteral(":/demo/dlls"));
    SettingsStore store(made.settingsFile);
    SilentPrompter prompter;
    if (!KnownFolders(store).makeCurrent(QDir(made.installRoot).absolutePath(), prompter))
        return fail(QStringLiteral("cannot write the settings file %1").arg(nativePath(made.settingsFile)));
    if (json) {
        const QJsonObject o{
            {QStringLiteral("installRoot"), nativePath(made.installRoot)},
            {QStringLiteral("settingsFile"), nativePath(made.settingsFile)},
            {QStringLiteral("platform"),
             QLatin1String(platformName(linuxDemo ? ServerPlatform::Linux : ServerPlatform::Windows))}};
        printJson(QJsonDocument(o));
        return kDone;
    }
    out() << "Demo installation: " << nativePath(made.installRoot) << Qt::endl
          << "Settings file: " << nativePath(made.settingsFile) << Qt::endl
          << "Try: tarrow --settings " << nativePath(made.settingsFile) << " status" << Qt::endl;
    return kDone;
}

// --folder N picks a known folder; --folder PATH a folder by its path, which becomes known.
std::optional<KnownFolder> pickFolder(SettingsStore& store, const QString& word, QString& error) {
    KnownFolders known(store);
    bool number = false;
    const int index = word.toInt(&number);
    if (number) {
        if (auto f = known.byIndex(index)) return f;
        error = QStringLiteral("no known folder %1; see tarrow folders").arg(word);
        return std::nullopt;
    }
    if (!QFileInfo(word).isDir()) {
        error = QStringLiteral("the folder %1 does not exist").arg(word);
        return std::nullopt;
    }
    if (auto f = known.add(word)) return f;
    error = QStringLiteral("cannot store the folder in %1").arg(nativePath(store.fileName()));
    return std::nullopt;
}

} // namespace

int run(const QStringList& arguments) {
    Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({o.settings, o.installRoot, o.folder, o.json, o.yes, o.dir, o.include, o.at, o.address,
                       o.timeout, o.players, o.rules, o.passwordFile, o.name, o.textfile, o.whenEmpty,
                       o.restartWhenEmpty, o.maxWait, o.warn});
    parser.addPositionalArgument(
        QStringLiteral("command"),
        QStringLiteral("status, load, unload, rebuild, dump, backups, restore, check, folders, query, rcon, "
                       "service, watch, restart, demo"));
    parser.process(arguments);
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) return fail(QStringLiteral("no command given; see tarrow --help"));
    const QString& command = positional.first();
    const QStringList args = positional.mid(1);
    static const QStringList known{
        QStringLiteral("status"),  QStringLiteral("load"),    QStringLiteral("unload"),
        QStringLiteral("rebuild"), QStringLiteral("dump"),    QStringLiteral("backups"),
        QStringLiteral("restore"), QStringLiteral("check"),   QStringLiteral("folders"),
        QStringLiteral("query"),   QStringLiteral("rcon"),    QStringLiteral("service"),
        QStringLiteral("watch"),   QStringLiteral("restart"), QStringLiteral("demo")};
    if (!known.contains(command))
        return fail(QStringLiteral("unknown command '%1'; see tarrow --help").arg(command));

    QString settingsFile = parser.value(o.settings);
    if (settingsFile.isEmpty()) settingsFile = qEnvironmentVariable("TARROW_SETTINGS");
    if (settingsFile.isEmpty()) settingsFile = SettingsStore::defaultFileName();
    SettingsStore store(settingsFile);
    if (parser.isSet(o.installRoot) && parser.isSet(o.folder))
        return fail(QStringLiteral("give --install-root or --folder, not both"));
    // --folder PATH makes PATH known whatever the command, the listing of the known folders too.
    std::optional<KnownFolder> picked;
    if (parser.isSet(o.folder) && command != QLatin1String("demo")) {
        QString error;
        picked = pickFolder(store, parser.value(o.folder), error);
        if (!picked) return fail(error);
    }
    if (command == QLatin1String("folders")) return folders(store, parser.isSet(o.json));
    if (command == QLatin1String("demo")) {
        try {
            return demo(args, parser.value(o.dir), parser.isSet(o.json));
        } catch (const IoError& e) {
            return fail(e.text());
        }
    }
    // --install-root serves this call only: the folder the window keeps stays as it is.
    Installation base = Installation::stored(store);
    if (parser.isSet(o.installRoot)) {
        const QString dir = parser.value(o.installRoot);
        if (!QFileInfo(dir).isDir()) return fail(QStringLiteral("the folder %1 does not exist").arg(dir));
        base = Installation(&store, withRootSeparator(QDir(dir).absolutePath()));
    }
    if (picked) base = Installation(&store, picked->root);
    // The packaged watchdog template passes nothing but the service's name: its server unit knows the folder.
    if (command == QLatin1String("watch") && parser.isSet(o.name) && !parser.isSet(o.installRoot) &&
        !parser.isSet(o.folder)) {
        const QString folder =
            service::folderOfInstalledServer(service::escapeUnitName(parser.value(o.name)));
        if (!folder.isEmpty()) base = Installation(&store, folder);
    }
    const Installation in = base.withStoredPathOverrides().withStoredVersionOverrides();
    if (!in.isSet())
        return fail(QStringLiteral("no Half-Life folder is set; give one with --install-root DIR"));
    if (!folderExists(in.root()))
        return fail(
            QStringLiteral("the Half-Life folder %1 does not exist; give another with --install-root DIR")
                .arg(nativePath(in.root())));

    live::ServerAddress where =
        live::addressFromCommandLine(in.setting(ownSettingName(OwnSetting::CommandLine)));
    if (parser.isSet(o.address)) {
        QString error;
        const auto given = live::parseAddress(parser.value(o.address), &error);
        if (!given) return fail(error);
        where = *given;
    }
    int timeoutMs = 1500;
    if (parser.isSet(o.timeout)) {
        bool ok = false;
        timeoutMs = parser.value(o.timeout).toInt(&ok);
        if (!ok || timeoutMs < 1 || timeoutMs > 60000)
            return fail(QStringLiteral("--timeout takes milliseconds, 1 to 60000"));
    }

    try {
        if (command == QLatin1String("query"))
            return query(where, parser.isSet(o.json), parser.isSet(o.players), parser.isSet(o.rules),
                         timeoutMs);
        if (command == QLatin1String("rcon"))
            return rcon(in, where, args, parser.value(o.passwordFile), timeoutMs);
        const QString serviceName = parser.isSet(o.name) ? service::escapeUnitName(parser.value(o.name))
                                                         : service::defaultServiceName(nativePath(in.root()));
        std::optional<qint64> wait = qint64(30 * 60);
        if (parser.isSet(o.maxWait)) wait = service::parseDuration(parser.value(o.maxWait));
        if (!wait) return fail(QStringLiteral("--max-wait takes 90s, 30m, 2h or never"));
        const auto restartLater = [&](int rc) {
            if (rc != kDone || !parser.isSet(o.restartWhenEmpty)) return rc;
            // The engine reads its loader files only when it starts.
            return restartEmpty(in, where, serviceName, parser.value(o.passwordFile), *wait,
                                parser.isSet(o.warn));
        };
        if (command == QLatin1String("load")) return restartLater(loadOrUnload(in, args, true));
        if (command == QLatin1String("unload")) return restartLater(loadOrUnload(in, args, false));
        if (command == QLatin1String("rebuild")) return restartLater(rebuild(in, args, parser.isSet(o.yes)));
        if (command == QLatin1String("restart")) {
            if (!parser.isSet(o.whenEmpty))
                return fail(QStringLiteral("restart takes --when-empty; a plain restart is "
                                           "tarrow service restart"));
            return restartEmpty(in, where, serviceName, parser.value(o.passwordFile), *wait,
                                parser.isSet(o.warn));
        }
        if (command == QLatin1String("service"))
            return serviceCommand(in, store, serviceName, args, parser.isSet(o.json));
        if (command == QLatin1String("watch"))
            return watch(in, where, serviceName,
                         parser.isSet(o.textfile) ? parser.value(o.textfile)
                                                  : in.setting(QStringLiteral("Metrics Folder")),
                         parser.isSet(o.timeout) ? timeoutMs : 5000);
        if (command == QLatin1String("status")) return status(in, where, parser.isSet(o.json));
        if (command == QLatin1String("dump")) return dump(in, parser.value(o.dir), parser.value(o.include));
        if (command == QLatin1String("backups")) return backups(in, args);
        if (command == QLatin1String("check")) return check(in, parser.isSet(o.json));
        return restore(in, args, parser.value(o.at));
    } catch (const IoError& e) {
        return fail(e.text());
    } catch (const ConversionError& e) {
        return fail(e.text());
    }
}

} // namespace tarrow::cli
