#include "app/installation.h"
#include "app/windowoptions.h"
#include "common/prompter.h"
#include "launcher/commandline.h"
#include "service/manage.h"
#include "service/restart.h"
#include "service/units.h"
#include "service/watch.h"
#include "status/detection.h"
#include "status/report.h"
#include "support/fakeserver.h"
#include "support/fixtureinstall.h"
#include "support/loaderlines.h"
#include "support/program.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

using namespace tarrow;
using namespace tarrow::service;

namespace {

using Result = test::ProgramResult;

// `tarrow` with a recording systemctl first on PATH and its own configuration folder.
Result tarrowCli(test::FixtureInstall& fx, QStringList args, const QString& showOutput = QString()) {
    const QString bin = fx.path("fakebin/");
    QDir().mkpath(bin);
    QFile script(bin + "systemctl");
    script.open(QIODevice::WriteOnly);
    script.write(("#!/bin/sh\necho \"$@\" >> " + fx.path("systemctl.log") +
                  "\ncase \"$*\" in *show\\ *) printf '" + showOutput + "';; esac\nexit 0\n")
                     .toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    args << "--settings" << fx.settingsFile();
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("PATH", bin + ":" + e.value("PATH"));
    e.insert("XDG_CONFIG_HOME", fx.path("config"));
    return test::runProgram(QStringLiteral(TARROW_CLI_BIN), args, e);
}

// `systemd-analyze verify --user` on unit files of fx's "units/" folder, with a runtime folder of its own
// (no user manager runs here). An empty result: systemd reads them.
QString systemdRejects(test::FixtureInstall& fx, const QString& analyze, const QStringList& options,
                       const QStringList& units) {
    QDir().mkpath(fx.path("run"));
    QFile::setPermissions(fx.path("run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("XDG_RUNTIME_DIR", fx.path("run"));
    QStringList args{"verify", "--user"};
    args << options;
    for (const QString& unit : units)
        args << "./" + unit;
    const Result r = test::runProgram(analyze, args, e, fx.path("units"));
    return r.code == 0 ? QString() : QStringLiteral("exit %1: %2").arg(r.code).arg(r.err);
}

QString systemctlLog(test::FixtureInstall& fx) {
    return QString::fromUtf8(fx.read("systemctl.log"));
}

live::QueryResult answer(int players, int bots) {
    live::QueryResult r;
    r.answering = true;
    r.info.players = players;
    r.info.bots = bots;
    r.info.maxPlayers = 20;
    r.latencyMs = 2.5;
    r.address = {QStringLiteral("127.0.0.1"), 27015};
    return r;
}

// A strict reader of Prometheus' text format: every sample's metric has its HELP and TYPE before it,
// labels are name="value" with escapes, values are numbers. Returns the samples by metric and labels.
QMap<QString, double> parsePrometheus(const QString& text, QString* error) {
    QMap<QString, double> samples;
    QSet<QString> help, type;
    static const QRegularExpression comment(
        QStringLiteral("^# (HELP|TYPE) ([a-zA-Z_:][a-zA-Z0-9_:]*) (.+)$"));
    static const QRegularExpression sample(
        QStringLiteral("^([a-zA-Z_:][a-zA-Z0-9_:]*)\\{((?:[a-zA-Z_][a-zA-Z0-9_]*=\"(?:[^\"\\\\\\n]|\\\\["
                       "\\\\\"n])*\",?)*)\\} "
                       "([^ ]+)$"));
    if (!text.endsWith('\n')) *error = "no line end after the last line";
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
        if (const auto m = comment.match(line); m.hasMatch()) {
            (m.captured(1) == "HELP" ? help : type).insert(m.captured(2));
            if (m.captured(1) == "TYPE" && m.captured(3) != "gauge" && m.captured(3) != "counter")
                *error = "unknown type: " + line;
            continue;
        }
        const auto m = sample.match(line);
        if (!m.hasMatch()) {
            *error = "not a sample: " + line;
            continue;
        }
        if (!help.contains(m.captured(1)) || !type.contains(m.captured(1)))
            *error = "no HELP or TYPE: " + line;
        bool ok = false;
        const double v = m.captured(3).toDouble(&ok);
        if (!ok) *error = "not a number: " + line;
        samples.insert(m.captured(1) + "{" + m.captured(2) + "}", v);
    }
    return samples;
}

} // namespace

class TestService : public QObject {
    Q_OBJECT
  private slots:
    void unitNamesAsSystemdEscapes_data();
    void unitNamesAsSystemdEscapes();
    void unitsForBothPlatforms_data();
    void unitsForBothPlatforms();
    void watchdogTellsAHangFromAPause_data();
    void watchdogTellsAHangFromAPause();
    void metricsReadBackStrictly();
    void serviceCommandsCallSystemctl();
    void watchRestartsAHungServer();
    void watchCountsTheLogSinceItsLastLook();
    void packagedWatchdogTemplateChecksTheInstalledService();
    void restartWaitsForPeople_data();
    void restartWaitsForPeople();
    void peopleApartFromBotsInTheConsole();
    void restartWhenEmptyFromTheCommandLine();
    void unitFilesRefuseControlCharactersAndKeepPasswords_data();
    void unitFilesRefuseControlCharactersAndKeepPasswords();
    void aRefusedPasswordIsSentOnce();
    void rconReadsThePasswordAlone();
};

void TestService::unitNamesAsSystemdEscapes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << "tfc_public"
                           << "tfc_public";
    QTest::newRow("dash and blank") << "tfc-bots 2"
                                    << "tfc\\x2dbots\\x202";
    QTest::newRow("slash") << "a/b"
                           << "a-b";
    QTest::newRow("leading dot") << ".hl"
                                 << "\\x2ehl";
    QTest::newRow("non-ASCII") << "é"
                               << "\\xc3\\xa9";
}

void TestService::unitNamesAsSystemdEscapes() {
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(escapeUnitName(text), escaped);
    // The tool itself agrees, where it is installed.
    const QString tool = QStandardPaths::findExecutable("systemd-escape");
    if (tool.isEmpty()) return;
    QProcess p;
    p.start(tool, {text});
    QVERIFY(p.waitForFinished());
    QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), escaped);
}

void TestService::unitsForBothPlatforms_data() {
    QTest::addColumn<bool>("linux");
    QTest::addColumn<QString>("folder"); // below the fixture's root
    QTest::newRow("Linux server") << true << "";
    QTest::newRow("Windows server under Wine") << false << "";
    QTest::newRow("Linux server in a folder with a blank and a percent sign") << true << "my server 100%/";
    QTest::newRow("Windows server in a folder with a blank and a percent sign") << false << "my server 100%/";
}

void TestService::unitsForBothPlatforms() {
    QFETCH(bool, linux);
    QFETCH(QString, folder);
    test::FixtureInstall fx;
    const QString program = fx.path(folder + (linux ? "hlds_run" : "hlds.exe"));
    fx.write(folder + (linux ? "hlds_run" : "hlds.exe"), "#!/bin/sh\n");
    fx.write("bin/wine", "#!/bin/sh\n");
    for (const QString& f : {folder + "hlds_run", folder + "hlds.exe", QStringLiteral("bin/wine")})
        QFile::setPermissions(fx.path(f),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    LaunchPlan plan;
    plan.program = program;
    plan.parameters = " -console -game TFC +map 2fort +maxplayers 16 +sv_lan 0 +hostname \"My 100% server\"";
    plan.workingDirectory = fx.path(folder);
    const Units u =
        composeUnits("public", plan, linux, fx.path("bin/wine"), "/usr/bin/tarrow", "/home/op/Tarrow.conf");
    const QString kind = linux ? "linux" : "windows";
    QCOMPARE(u.serverUnit, QStringLiteral("tarrow-server-public.service"));
    // systemd expands '%' in a description too: the folder's own is doubled there.
    if (folder.contains('%'))
        QVERIFY2(u.serverText.section('\n', 1, 1).endsWith("my server 100%%), kept up by Tarrow GUI"),
                 qPrintable(u.serverText.section('\n', 1, 1)));
    if (folder.isEmpty()) {
        QCOMPARE(u.serverText.toUtf8(),
                 test::golden(qPrintable("units/server-" + kind + ".service"), fx.root().chopped(1)));
        QCOMPARE(u.watchServiceText.toUtf8(), test::golden("units/watch.service", fx.root().chopped(1)));
        QCOMPARE(u.watchTimerText.toUtf8(), test::golden("units/watch.timer", fx.root().chopped(1)));
    }

    // The watchdog started from the packaged template finds the folder through the installed unit.
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", fx.path("config").toUtf8());
    fx.write("config/systemd/user/" + u.serverUnit, u.serverText.toUtf8());
    const QString found = folderOfInstalledServer("public");
    const QString missing = folderOfInstalledServer("other");
    if (configHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", configHome);
    QCOMPARE(found, fx.path(folder));
    QCOMPARE(missing, QString());

    // systemd reads them, with a watchdog program that exists.
    const QString analyze = QStandardPaths::findExecutable("systemd-analyze");
    if (analyze.isEmpty()) QSKIP("systemd-analyze is not installed: the units were not verified");
    const Units real =
        composeUnits("public", plan, linux, fx.path("bin/wine"), TARROW_CLI_BIN, fx.settingsFile());
    for (const auto& [file, text] :
         {std::pair{real.serverUnit, real.serverText}, std::pair{real.watchService, real.watchServiceText},
          std::pair{real.watchTimer, real.watchTimerText}})
        fx.write("units/" + file, text.toUtf8());
    const QString rejected =
        systemdRejects(fx, analyze, {}, {real.serverUnit, real.watchService, real.watchTimer});
    QVERIFY2(rejected.isEmpty(), qPrintable(rejected));
}

void TestService::watchdogTellsAHangFromAPause_data() {
    QTest::addColumn<QString>("checks"); // a = answers, s = silent
    QTest::addColumn<int>("restarts");
    QTest::newRow("answering") << "aaa" << 0;
    QTest::newRow("silent twice, then answering again: a map change") << "ssass" << 0;
    QTest::newRow("silent three times: a hang") << "sss" << 1;
    QTest::newRow("a hang, restarted, then answering") << "sssaa" << 1;
    QTest::newRow("hanging on and on: a restart every third check") << "ssssss" << 2;
}

void TestService::watchdogTellsAHangFromAPause() {
    QFETCH(QString, checks);
    QFETCH(int, restarts);
    WatchState state;
    UnitState unit{"active", 1000, 0};
    int asked = 0, restarted = 0;
    qint64 now = 1000 + kGraceSeconds;
    for (const QChar c : checks) {
        const WatchOutcome o = watchCheck(state, unit, now, [&] {
            ++asked;
            return c == 'a' ? answer(5, 3) : live::QueryResult{};
        });
        restarted += o.restart;
        now += 60;
    }
    QCOMPARE(asked, checks.size());
    QCOMPARE(restarted, restarts);
    QCOMPARE(state.restarts, restarts);
    // Within the grace after a start, or while the unit is not running, the server is not asked.
    WatchState quiet;
    const auto never = [&]() -> live::QueryResult {
        ++asked;
        return {};
    };
    const int before = asked;
    for (int i = 0; i < 5; ++i) {
        QVERIFY(!watchCheck(quiet, unit, 1000 + kGraceSeconds - 1, never).restart);
        QVERIFY(!watchCheck(quiet, UnitState{"failed", 1000, 3}, 5000, never).restart);
    }
    QCOMPARE(asked, before);
    QCOMPARE(quiet.lastResult, QStringLiteral("not running"));
}

void TestService::metricsReadBackStrictly() {
    StatusReport report = emptyReport("TFC");
    report[Component::Tarrow].installed = InstallState::Current;
    report[Component::Tarrow].loaded = LoadState::Yes;
    QString error;
    const auto up = parsePrometheus(metricsText("pub\"lic", answer(5, 3), report, 2, 4), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString s = "server=\"pub\\\"lic\"";
    QCOMPARE(up.value("tarrow_server_up{" + s + "}"), 1.0);
    QCOMPARE(up.value("tarrow_server_humans{" + s + "}"), 2.0);
    QCOMPARE(up.value("tarrow_server_query_latency_seconds{" + s + "}"), 0.0025);
    QCOMPARE(up.value("tarrow_component_loaded{" + s + ",component=\"tarrow\"}"), 1.0);
    QCOMPARE(up.value("tarrow_component_installed{" + s + ",component=\"metamod\"}"), 0.0);
    QCOMPARE(up.value("tarrow_loader_chain_problems{" + s + "}"), 2.0);
    QCOMPARE(up.value("tarrow_watchdog_restarts_total{" + s + "}"), 4.0);
    QCOMPARE(up.size(), 18);
    const auto down = parsePrometheus(metricsText("x", live::QueryResult{}, report, 0, 0), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(down.value("tarrow_server_up{server=\"x\"}"), 0.0);
}

void TestService::serviceCommandsCallSystemctl() {
    test::FixtureInstall fx;
    fx.write("hlds_run", "#!/bin/sh\n");
    fx.write("TFC/liblist.gam", "gamedll_linux \"dlls/tfc.so\"\r\n");
    fx.storeRoot();
    const Result installed = tarrowCli(fx, {"service", "install", "--name", "public"});
    QCOMPARE(installed.code, 0);
    const QString units = fx.path("config/systemd/user/");
    for (const char* f :
         {"tarrow-server-public.service", "tarrow-watch-public.service", "tarrow-watch-public.timer"})
        QVERIFY2(QFileInfo::exists(units + f), f);
    QVERIFY(fx.read("config/systemd/user/tarrow-server-public.service")
                .contains("ExecStart=" + fx.path("hlds_run").toUtf8() + " -console -game TFC +map 2fort"));
    QCOMPARE(systemctlLog(fx),
             QStringLiteral("--user daemon-reload\n--user enable tarrow-server-public.service\n"
                            "--user enable --now tarrow-watch-public.timer\n"));
    QCOMPARE(tarrowCli(fx, {"service", "start", "--name", "public"}).code, 0);
    const Result st = tarrowCli(fx, {"service", "status", "--name", "public", "--json"},
                                "ActiveState=active\\nActiveEnterTimestamp=@1765274400\\nNRestarts=2\\n");
    const QJsonObject o = QJsonDocument::fromJson(st.out.toUtf8()).object();
    QCOMPARE(o["active"].toString(), QStringLiteral("active"));
    QCOMPARE(o["restarts"].toInt(), 2);
    QVERIFY(o["since"].toString().startsWith("2025-12-09T"));
    QCOMPARE(tarrowCli(fx, {"service", "remove", "--name", "public"}).code, 0);
    QVERIFY(!QFileInfo::exists(units + "tarrow-server-public.service"));
    QVERIFY(systemctlLog(fx).endsWith(
        "--user start tarrow-server-public.service\n"
        "--user show tarrow-server-public.service --timestamp=unix -p ActiveState -p "
        "ActiveEnterTimestamp -p NRestarts\n"
        "--user disable --now tarrow-watch-public.timer\n"
        "--user disable --now tarrow-server-public.service\n"
        "--user daemon-reload\n"));
}

void TestService::watchRestartsAHungServer() {
    test::FakeServer server;
    server.silent = true;
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.storeRoot();
    const QString running = "ActiveState=active\\nActiveEnterTimestamp=@1000\\nNRestarts=0\\n";
    const QStringList args{"watch",     "--name", "public",     "--address",       server.address(),
                           "--timeout", "100",    "--textfile", fx.path("metrics")};
    QDir().mkpath(fx.path("metrics"));
    for (int check = 1; check <= 3; ++check) {
        const Result r = tarrowCli(fx, args, running);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(systemctlLog(fx).contains("restart"), check == 3);
    }
    QVERIFY(systemctlLog(fx).endsWith("--user restart tarrow-server-public.service\n"));
    const QJsonObject state = QJsonDocument::fromJson(fx.read("tarrow/watch.json")).object();
    QCOMPARE(state["restarts"].toInt(), 1);
    QCOMPARE(state["lastResult"].toString(), QStringLiteral("restarted"));
    QString error;
    const auto metrics = parsePrometheus(QString::fromUtf8(fx.read("metrics/tarrow_public.prom")), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(metrics.value("tarrow_watchdog_restarts_total{server=\"public\"}"), 1.0);
    QCOMPARE(metrics.value("tarrow_server_up{server=\"public\"}"), 0.0);
}

void TestService::watchCountsTheLogSinceItsLastLook() {
    test::FakeServer server;
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.storeRoot();
    // What the engine wrote before the first look is not counted: the counters start then.
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = now.toString("'L 'MM/dd/yyyy' - 'hh:mm:ss': '");
    const QString old = now.addDays(-3).toString("'L 'MM/dd/yyyy' - 'hh:mm:ss': '");
    fx.write("TFC/logs/L0101000.log",
             (old + "\"Old<9><STEAM_0:1:9><>\" connected, address \"1.2.3.4:5\"\r\n").toUtf8());
    const QString running = "ActiveState=active\\nActiveEnterTimestamp=@1000\\nNRestarts=0\\n";
    const QStringList args{"watch",          "--name",     "public",          "--address",
                           server.address(), "--textfile", fx.path("metrics")};
    QDir().mkpath(fx.path("metrics"));
    QCOMPARE(tarrowCli(fx, args, running).code, 0);
    QString error;
    auto metrics = parsePrometheus(QString::fromUtf8(fx.read("metrics/tarrow_public.prom")), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(metrics.value("tarrow_log_connects_total{server=\"public\",kind=\"person\"}", -1), 0.0);

    // Then the engine writes: a person twice, a bot, chat, two wrong console passwords, a new file.
    QFile log(fx.path("TFC/logs/L0101000.log"));
    QVERIFY(log.open(QIODevice::Append));
    log.write((stamp + "\"Alice<2><STEAM_0:1:1234><>\" connected, address \"203.0.113.7:1\"\r\n" + stamp +
               "\"Bot<3><BOT><>\" connected, address \"loopback:0\"\r\n" + stamp +
               "\"Alice<2><STEAM_0:1:1234><Blue>\" say \"hi\"\r\n" + stamp +
               "\"Bot<3><BOT><Red>\" say_team \"go\"\r\n" + stamp +
               "Bad Rcon: \"rcon 1 \"guess\" status\" from \"192.0.2.66:4\"\r\n")
                  .toUtf8());
    log.close();
    fx.write("TFC/logs/L0101001.log",
             (stamp + "Log file started (file \"logs/L0101001.log\")\r\n" + stamp +
              "\"Alice<2><STEAM_0:1:1234><>\" connected, address \"203.0.113.7:1\"\r\n" + stamp +
              "Bad Rcon: \"rcon 1 \"guess2\" status\" from \"192.0.2.66:4\"\r\n")
                 .toUtf8());
    QCOMPARE(tarrowCli(fx, args, running).code, 0);
    metrics = parsePrometheus(QString::fromUtf8(fx.read("metrics/tarrow_public.prom")), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(metrics.value("tarrow_log_connects_total{server=\"public\",kind=\"person\"}"), 2.0);
    QCOMPARE(metrics.value("tarrow_log_connects_total{server=\"public\",kind=\"bot\"}"), 1.0);
    QCOMPARE(metrics.value("tarrow_log_chat_lines_total{server=\"public\"}"), 2.0);
    QCOMPARE(metrics.value("tarrow_log_bad_rcon_total{server=\"public\"}"), 2.0);
    QCOMPARE(metrics.value("tarrow_people_seen_24h{server=\"public\"}"), 1.0);
    // A third look with nothing new counts nothing twice; no password is kept in the state.
    QCOMPARE(tarrowCli(fx, args, running).code, 0);
    metrics = parsePrometheus(QString::fromUtf8(fx.read("metrics/tarrow_public.prom")), &error);
    QCOMPARE(metrics.value("tarrow_log_bad_rcon_total{server=\"public\"}"), 2.0);
    QVERIFY(!fx.read("tarrow/watch.json").contains("guess"));
}

void TestService::packagedWatchdogTemplateChecksTheInstalledService() {
    // The templates as the package installs them: the watchdog knows nothing but the service's name.
    QFile service(QStringLiteral(TARROW_UNIT_TEMPLATES "/tarrow-watch@.service"));
    QVERIFY(service.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(service.readAll());
    const QString exec = QStringLiteral("\nExecStart=tarrow watch --name %I\n");
    QVERIFY2(text.contains(exec), qPrintable(text));

    test::FakeServer server;
    server.silent = true;
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.storeRoot();
    // The service runs another folder than the one the window last used.
    const QString other = "servers/public 2/";
    fx.write(other + "TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    LaunchPlan plan;
    plan.program = fx.path(other + "hlds.exe");
    plan.parameters = " -console -game TFC +map 2fort";
    plan.workingDirectory = fx.path(other);
    const Units u = composeUnits("public", plan, false, "wine", TARROW_CLI_BIN, fx.settingsFile());
    fx.write("config/systemd/user/" + u.serverUnit, u.serverText.toUtf8());
    const QString running = "ActiveState=active\\nActiveEnterTimestamp=@1000\\nNRestarts=0\\n";
    const Result r = tarrowCli(
        fx, {"watch", "--name", "public", "--address", server.address(), "--timeout", "100"}, running);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(QJsonDocument::fromJson(fx.read(other + "tarrow/watch.json"))["lastResult"].toString(),
             QStringLiteral("silent"));
    QVERIFY(!fx.exists("tarrow/watch.json"));

    // systemd reads an instance of each template (the program as this build has it).
    const QString analyze = QStandardPaths::findExecutable("systemd-analyze");
    if (analyze.isEmpty()) QSKIP("systemd-analyze is not installed: the templates were not verified");
    QFile timer(QStringLiteral(TARROW_UNIT_TEMPLATES "/tarrow-watch@.timer"));
    QVERIFY(timer.open(QIODevice::ReadOnly));
    fx.write("units/tarrow-watch@.timer", timer.readAll());
    fx.write(
        "units/tarrow-watch@.service",
        QString(text).replace("ExecStart=tarrow ", QStringLiteral("ExecStart=" TARROW_CLI_BIN " ")).toUtf8());
    // The manual page is the package's: this build has not installed it.
    const QString rejected = systemdRejects(fx, analyze, {"--man=no"},
                                            {"tarrow-watch@public.timer", "tarrow-watch@public.service"});
    QVERIFY2(rejected.isEmpty(), qPrintable(rejected));
}

void TestService::restartWaitsForPeople_data() {
    QTest::addColumn<QList<int>>("people"); // at each look; the last one stays
    QTest::addColumn<QString>("maxWait");
    QTest::addColumn<bool>("warn");
    QTest::addColumn<int>("result");
    QTest::addColumn<qint64>("slept");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("only bots: at once")
        << QList<int>{0} << "30m" << true << int(RestartResult::Restarted) << qint64(0) << QStringList{};
    QTest::newRow("people leave") << QList<int>{2, 1, 1, 0} << "30m" << true << int(RestartResult::Restarted)
                                  << qint64(30) << QStringList{};
    QTest::newRow("no answer is not empty") << QList<int>{-1, -1, 0} << "30m" << false
                                            << int(RestartResult::Restarted) << qint64(20) << QStringList{};
    QTest::newRow("max wait: forced, three warnings")
        << QList<int>{3} << "30m" << true << int(RestartResult::Forced) << qint64(1800)
        << QStringList{"The server restarts in 5 minutes to load its new settings.",
                       "The server restarts in 1 minute to load its new settings.",
                       "The server restarts in 10 seconds to load its new settings."};
    QTest::newRow("a short wait says what is left")
        << QList<int>{3} << "2m" << true << int(RestartResult::Forced) << qint64(120)
        << QStringList{"The server restarts in 2 minutes to load its new "
                       "settings.",
                       "The server restarts in 1 minute to load its new "
                       "settings.",
                       "The server restarts in 10 seconds to load its new "
                       "settings."};
    QTest::newRow("forced without warnings")
        << QList<int>{3} << "90s" << false << int(RestartResult::Forced) << qint64(90) << QStringList{};
    QTest::newRow("never: give up") << QList<int>{3} << "never" << true << int(RestartResult::GaveUp)
                                    << qint64(0) << QStringList{};
}

void TestService::restartWaitsForPeople() {
    QFETCH(QList<int>, people);
    QFETCH(QString, maxWait);
    QFETCH(bool, warn);
    QFETCH(int, result);
    QFETCH(qint64, slept);
    QFETCH(QStringList, said);
    qint64 clock = 0;
    int look = 0, restarts = 0;
    QStringList heard;
    EmptyRestart with;
    with.people = [&]() -> std::optional<int> {
        const int n = people.value(std::min<qsizetype>(look++, people.size() - 1));
        return n < 0 ? std::nullopt : std::optional<int>(n);
    };
    with.say = [&](const QString& text) { heard << text; };
    with.restart = [&] { return ++restarts > 0; };
    with.sleep = [&](int seconds) { clock += seconds; };
    QCOMPARE(int(restartWhenEmpty(with, *parseDuration(maxWait), warn)), result);
    QCOMPARE(clock, slept);
    QCOMPARE(heard, said);
    QCOMPARE(restarts, result == int(RestartResult::GaveUp) ? 0 : 1);
    QVERIFY(!parseDuration("5 minutes"));
    QCOMPARE(*parseDuration("2h"), qint64(7200));
    // Numbers beyond the clock are refused, not wrapped round into a negative wait.
    QVERIFY(!parseDuration("9223372036854775807h"));
    QVERIFY(!parseDuration("99999999999999999999"));
    QVERIFY(!parseDuration("100000h"));
    QCOMPARE(*parseDuration("87840h"), qint64(87840) * 3600);
}

void TestService::peopleApartFromBotsInTheConsole() {
    const QString status =
        "hostname:  Tarrow\nmap     :  2fort at: 0 x, 0 y, 0 z\nplayers :  3 active (20 max)\n\n"
        "#      name userid uniqueid frag time ping loss adr\n"
        "# 1 \"Alice\"   1 STEAM_0:1:1234  3 13:32  40    0 10.0.0.2:27005\n"
        "# 2 \"[TB] Bot 1\" 2 BOT  0 13:30    0    0\n"
        "#10 \"Bob \"the\" One\" 3 STEAM_0:0:99  1 1:00  30 0 10.0.0.3:27005\n"
        "3 users\n";
    // Alice and Bob (whose name holds quotes); the bot does not count.
    QCOMPARE(peopleInStatus(status), 2);
    QCOMPARE(peopleInStatus("# 1 \"A\" 1 STEAM_0:1:1 0 1:00 1 0 x\n# 2 \"B\" 2 STEAM_0:1:2 0 1:00 1 0 y\n"),
             2);
    QCOMPARE(peopleInStatus(QString()), 0);
}

void TestService::restartWhenEmptyFromTheCommandLine() {
    test::FakeServer server;
    server.players = 3;
    server.bots = 3;
    server.rconPassword.clear();
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.storeRoot();
    const Result r =
        tarrowCli(fx, {"restart", "--when-empty", "--name", "public", "--address", server.address()});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.out.contains("Nobody but bots on the server"));
    QCOMPARE(systemctlLog(fx), QStringLiteral("--user restart tarrow-server-public.service\n"));
    server.bots = 1;
    const Result never = tarrowCli(fx, {"restart", "--when-empty", "--max-wait", "never", "--name", "public",
                                        "--address", server.address()});
    QCOMPARE(never.code, 5);
}

void TestService::unitFilesRefuseControlCharactersAndKeepPasswords_data() {
    QTest::addColumn<QString>("folder"); // the Half-Life folder, below the fixture
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("error");  // how the refusal begins; empty: written
    QTest::addColumn<bool>("ownerOnly"); // the server unit is 0600
    QTest::newRow("plain") << "hl/"
                           << "public"
                           << "+map 2fort"
                           << "" << false;
    QTest::newRow("a password on the command line") << "hl/"
                                                    << "public"
                                                    << "+map 2fort +rcon_password s3cret"
                                                    << "" << true;
    QTest::newRow("a line break in the folder") << "hl\nExecStartPre=/bin/false/"
                                                << "public"
                                                << "+map 2fort"
                                                << "The folder " << false;
    QTest::newRow("a tab in the name") << "hl/"
                                       << "pub\tlic"
                                       << "+map 2fort"
                                       << "The service name " << false;
    QTest::newRow("a line break on the command line") << "hl/"
                                                      << "public"
                                                      << "+map 2fort +hostname a\nb"
                                                      << "The server's command line " << false;
}

void TestService::unitFilesRefuseControlCharactersAndKeepPasswords() {
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, commandLine);
    QFETCH(QString, error);
    QFETCH(bool, ownerOnly);
    test::FixtureInstall fx;
    fx.write(folder + "hlds.exe", "");
    fx.write(folder + "TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    const Installation in(&fx.settings(), fx.path(folder));
    SilentPrompter silent;
    in.writeSetting(ownSettingName(OwnSetting::CommandLine), commandLine, silent);
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", fx.path("config").toUtf8());
    const ManageResult r = writeServiceUnits(in, name, "/usr/bin/tarrow", fx.settingsFile());
    if (configHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", configHome);
    const QString units = fx.path("config/systemd/user/");
    if (!error.isEmpty()) {
        QVERIFY(!r.ok);
        QVERIFY2(r.error.startsWith(error), qPrintable(r.error));
        QVERIFY(!r.error.contains('\n'));
        QVERIFY(!QFileInfo::exists(units) || QDir(units).isEmpty());
        return;
    }
    QVERIFY2(r.ok, qPrintable(r.error));
    const auto perms = [&](const QString& file) {
        return QFileInfo(units + file).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                                        QFileDevice::WriteGroup | QFileDevice::WriteOther);
    };
    QCOMPARE(perms(serverUnitOf(name)) == QFileDevice::Permissions(), ownerOnly);
    QVERIFY(perms(watchTimerOf(name)) != QFileDevice::Permissions());
}

void TestService::aRefusedPasswordIsSentOnce() {
    // server.cfg holds a wrong password and a number the pages cannot read; the restart waits for the
    // two people on the server, with warnings, and never sends the refused password a second time.
    test::FakeServer server;
    server.rconPassword = QStringLiteral("secret");
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.write("TFC/server.cfg", "mp_timelimit 25min\r\nrcon_password \"wrong\"\r\n");
    fx.storeRoot();
    const Result r = tarrowCli(fx, {"restart", "--when-empty", "--warn", "--max-wait", "12s", "--name",
                                    "public", "--address", server.address()});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(server.badPasswords, 1);
    QVERIFY(server.commands.isEmpty());
    QCOMPARE(r.err.count("refused the rcon password"), 1);
    QVERIFY(r.out.contains("restarted anyway"));
    QCOMPARE(systemctlLog(fx), QStringLiteral("--user restart tarrow-server-public.service\n"));
}

void TestService::rconReadsThePasswordAlone() {
    test::FakeServer server;
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.write("TFC/server.cfg", "mp_timelimit 25min\r\nrcon_password \"secret\" // the console\r\n");
    fx.storeRoot();
    const Result r = tarrowCli(fx, {"rcon", "--address", server.address(), "status"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.out.startsWith("hostname: Tarrow Test Server\n"));
    QCOMPARE(server.commands, QStringList{"status"});
}

QTEST_GUILESS_MAIN(TestService)
#include "tst_service.moc"
