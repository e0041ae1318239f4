// tarrow log and tarrow people on the log fixtures, as a shell on a server runs them.
#include "support/fixtureinstall.h"
#include "support/program.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace tarrow;

namespace {

using Result = test::ProgramResult;

// A folder whose mod has the three fixture logs.
struct LogInstall {
    test::FixtureInstall fx;
    LogInstall() {
        for (const char* name : {"L1208000.log", "L1208001.log", "L1209000.log"}) {
            QFile f(QStringLiteral(TARROW_FIXTURES "/logs/") + name);
            if (f.open(QIODevice::ReadOnly)) fx.write(QStringLiteral("TFC/logs/") + name, f.readAll());
        }
    }
    Result run(QStringList args) {
        args << "--settings" << fx.settingsFile() << "--install-root" << fx.root();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("NO_COLOR");
        return test::runProgram(QStringLiteral(TARROW_CLI_BIN), args, env);
    }
};

// The passwords the fixtures hold: the console's, two guesses, the cvar's value.
const QStringList kPasswords{"hunter2", "guess1", "guess2"};

} // namespace

class TestLogCommands : public QObject {
    Q_OBJECT
  private slots:
    void theLogAsLines_data();
    void theLogAsLines();
    void theLogAsJsonLines();
    void noPasswordInAnyOutput_data();
    void noPasswordInAnyOutput();
    void peopleByUniqueId();
    void followPrintsWhatTheEngineWrites();
    void withoutLogsSaysHowToGetThem();
};

void TestLogCommands::theLogAsLines_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("lines"); // each must be printed, in this order
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("everything")
        << QStringList{"log"}
        << QStringList{"2026-12-08 20:01:00  join   Alice (STEAM_0:1:1234) from 203.0.113.7",
                       "2026-12-08 20:02:00  say    Alice (STEAM_0:1:1234): hello \"there\" everyone",
                       "2026-12-08 20:05:00  badrcon wrong console password from 192.0.2.66: status",
                       "2026-12-08 20:20:00  kick   Carol (STEAM_ID_LAN) kicked by Console: be nice",
                       "2026-12-09 09:31:00  say    Server: restart in 5",
                       "                     other  some garbage the engine never wrote"}
        << QStringList{};
    QTest::newRow("chat and console logins")
        << QStringList{"log", "--kinds", "chat,rcon"}
        << QStringList{"say    Alice", "rcon   console from 203.0.113.7: "
                                       "changelevel well"}
        << QStringList{"join ", "map ", "kill "};
    QTest::newRow("people only") << QStringList{"log", "--people-only"}
                                 << QStringList{"join   Alice", "map    2fort"}
                                 << QStringList{"Bot Sam (bot) entered"};
    QTest::newRow("since a time") << QStringList{"log", "--since", "2026-12-09 09:00:30"}
                                  << QStringList{"2026-12-09 09:00:30  join   Alice"}
                                  << QStringList{"2026-12-08", "09:00:01", "garbage"};
}

void TestLogCommands::theLogAsLines() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, absent);
    LogInstall in;
    const Result r = in.run(args);
    QCOMPARE(r.code, 0);
    qsizetype at = 0;
    for (const QString& line : lines) {
        const qsizetype found = r.out.indexOf(line, at);
        QVERIFY2(found >= 0, qPrintable(line + "\n---\n" + r.out));
        at = found + line.size();
    }
    for (const QString& text : absent)
        QVERIFY2(!r.out.contains(text), qPrintable(text));
}

void TestLogCommands::theLogAsJsonLines() {
    LogInstall in;
    const Result r = in.run({"log", "--json", "--kinds", "kills"});
    QCOMPARE(r.code, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    const QJsonObject kill = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    QCOMPARE(kill["time"].toString(), QStringLiteral("2026-12-08T20:04:00"));
    QCOMPARE(kill["kind"].toString(), QStringLiteral("kill"));
    QCOMPARE(kill["text"].toString(), QStringLiteral("rocket"));
    QCOMPARE(kill["player"].toObject()["id"].toString(), QStringLiteral("STEAM_0:1:1234"));
    QCOMPARE(kill["player"].toObject()["bot"].toBool(), false);
    QCOMPARE(kill["victim"].toObject()["bot"].toBool(), true);
    QCOMPARE(kill["file"].toString(), QStringLiteral("L1208000.log"));
    QCOMPARE(kill["line"].toInt(), 14);
}

void TestLogCommands::noPasswordInAnyOutput_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("text") << QStringList{"log"};
    QTest::newRow("json") << QStringList{"log", "--json"};
    QTest::newRow("console logins") << QStringList{"log", "--kinds", "rcon", "--json"};
    QTest::newRow("people") << QStringList{"people", "--json"};
}

void TestLogCommands::noPasswordInAnyOutput() {
    QFETCH(QStringList, args);
    LogInstall in;
    const Result r = in.run(args);
    QCOMPARE(r.code, 0);
    QVERIFY(!r.out.isEmpty());
    for (const QString& password : kPasswords)
        QVERIFY2(!r.out.contains(password) && !r.err.contains(password), qPrintable(password));
}

void TestLogCommands::peopleByUniqueId() {
    LogInstall in;
    const Result text = in.run({"people"});
    QCOMPARE(text.code, 0);
    QVERIFY2(text.out.contains(
                 "STEAM_0:0:42          2026-12-08 20:03:00  2026-12-08 20:07:00         1  3m55s     "
                 "<<Bob>> \"the\" <great>, Bobby"),
             qPrintable(text.out));
    QVERIFY(text.out.contains("Bots: 1 name, 1 session, 9m56s in the game"));
    QVERIFY(text.out.contains("Most people at once: 2026-12-08 2, 2026-12-09 1"));

    const Result json = in.run({"people", "--json", "--since", "2026-12-09"});
    QCOMPARE(json.code, 0);
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    const QJsonArray people = o["people"].toArray();
    QCOMPARE(people.size(), 1);
    QCOMPARE(people[0].toObject()["id"].toString(), QStringLiteral("STEAM_0:1:1234"));
    QCOMPARE(people[0].toObject()["seconds"].toInt(), 1800);
    QCOMPARE(o["bots"].toObject()["names"].toInt(), 0);
}

void TestLogCommands::followPrintsWhatTheEngineWrites() {
    LogInstall in;
    QProcess p;
    p.start(QStringLiteral(TARROW_CLI_BIN),
            {"log", "--follow", "--kinds", "chat", "--since", "2026-12-09", "--settings",
             in.fx.settingsFile(), "--install-root", in.fx.root()});
    QVERIFY(p.waitForStarted());
    QByteArray seen;
    QVERIFY(QTest::qWaitFor(
        [&] {
            seen += p.readAllStandardOutput();
            return seen.contains("restart in 5");
        },
        20000));
    // The engine goes on writing: half a line, its end, then a new file after a map change.
    QFile log(in.fx.path("TFC/logs/L1209000.log"));
    QVERIFY(log.open(QIODevice::Append));
    log.write("L 12/09/2026 - 09:32:00: Server say \"half");
    log.flush();
    QTest::qWait(1500);
    seen += p.readAllStandardOutput();
    QVERIFY2(!seen.contains("half"), seen.constData());
    log.write(" and whole\"\r\n");
    log.close();
    in.fx.write("TFC/logs/L1209001.log",
                "L 12/09/2026 - 09:40:00: Log file started (file \"logs/L1209001.log\")\r\n"
                "L 12/09/2026 - 09:40:05: Server say \"next map\"\r\n");
    QVERIFY(QTest::qWaitFor(
        [&] {
            seen += p.readAllStandardOutput();
            return seen.contains("next map");
        },
        20000));
    QVERIFY(seen.contains("2026-12-09 09:32:00  say    Server: half and whole\n"));
    QVERIFY(seen.indexOf("half and whole") < seen.indexOf("next map"));
    p.kill();
    p.waitForFinished();
}

void TestLogCommands::withoutLogsSaysHowToGetThem() {
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "game \"tfc\"\r\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const Result r =
        test::runProgram(QStringLiteral(TARROW_CLI_BIN),
                         {"log", "--settings", fx.settingsFile(), "--install-root", fx.root()}, env);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains("no log files in") && r.err.contains("\"log on\""), qPrintable(r.err));
    const Result bad = test::runProgram(
        QStringLiteral(TARROW_CLI_BIN),
        {"log", "--kinds", "gossip", "--settings", fx.settingsFile(), "--install-root", fx.root()}, env);
    QCOMPARE(bad.code, 2);
    QVERIFY(bad.err.contains("unknown kind 'gossip'"));
}

QTEST_GUILESS_MAIN(TestLogCommands)
#include "tst_logcommands.moc"
