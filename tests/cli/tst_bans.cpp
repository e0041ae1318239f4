// tarrow bans, ban, unban and kick: through the fake server's console, and through the files when
// nothing answers.
#include "support/fakeserver.h"
#include "support/fixtureinstall.h"
#include "support/program.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace tarrow;

namespace {

struct BanInstall {
    test::FixtureInstall fx;
    BanInstall() { fx.write("TFC/server.cfg", "rcon_password \"secret\"\r\n"); }
    test::ProgramResult run(QStringList args, const QString& address) {
        args << "--settings" << fx.settingsFile() << "--install-root" << fx.root() << "--address" << address
             << "--timeout"
             << "300";
        return test::runProgram(QStringLiteral(TARROW_CLI_BIN), args,
                                QProcessEnvironment::systemEnvironment());
    }
    int backups() const {
        return QDir(fx.path("tarrow/backups/TFC"))
            .entryList({"banned.cfg.*", "listip.cfg.*"}, QDir::Files)
            .size();
    }
};

// Nothing listens there.
const QString kSilent = QStringLiteral("127.0.0.1:9");

} // namespace

class TestBans : public QObject {
    Q_OBJECT
  private slots:
    void theListsSavedAndLive();
    void banThroughTheConsole_data();
    void banThroughTheConsole();
    void withoutAnAnswerTheFilesChange();
    void kickNamesThePlayer();
};

void TestBans::theListsSavedAndLive() {
    test::FakeServer server;
    server.rconReplies.insert("listid", "UserID filter list: 2 entries\n1 STEAM_0:0:42 : permanent\n"
                                        "2 STEAM_0:1:99 : 29.500 min\n");
    server.rconReplies.insert("listip", "IP filter list:\n203.0.113.9 : permanent\n");
    BanInstall in;
    in.fx.write("TFC/banned.cfg", "banid 0.0 STEAM_0:0:42\r\nbanid 0 STEAM_0:1:7\r\n");
    in.fx.write("TFC/listip.cfg", "addip 0.0 198.51.100.3\r\n");
    const auto r = in.run({"bans", "--json"}, server.address());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QStringList seen;
    const QJsonArray list = QJsonDocument::fromJson(r.out.toUtf8()).array();
    for (const QJsonValue v : list) {
        const QJsonObject o = v.toObject();
        seen << QStringLiteral("%1 %2 saved=%3 live=%4 %5")
                    .arg(o["value"].toString(), o["kind"].toString())
                    .arg(o["saved"].toBool())
                    .arg(o["live"].toBool())
                    .arg(o["lasts"].toString());
    }
    QCOMPARE(seen,
             (QStringList{"STEAM_0:0:42 id saved=1 live=1 permanent", "STEAM_0:1:7 id saved=1 live=0 ",
                          "198.51.100.3 address saved=1 live=0 ", "STEAM_0:1:99 id saved=0 live=1 29.500 min",
                          "203.0.113.9 address saved=0 live=1 permanent"}));
    const auto text = in.run({"bans"}, server.address());
    QVERIFY(text.out.contains("STEAM_0:1:99            live only    29.500 min"));

    // Without an answer, the saved ones alone, and it says so.
    const auto offline = in.run({"bans"}, kSilent);
    QCOMPARE(offline.code, 0);
    QVERIFY(offline.err.contains("only the saved bans"));
    QVERIFY(offline.out.contains("STEAM_0:1:7             saved"));
    QVERIFY(!offline.out.contains("STEAM_0:1:99"));
}

void TestBans::banThroughTheConsole_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("an id, kicked") << QStringList{"ban", "STEAM_0:1:1234", "--minutes", "60", "--kick"}
                                   << QStringList{"banid 60 STEAM_0:1:1234 kick", "writeid"};
    QTest::newRow("an address for good")
        << QStringList{"ban", "203.0.113.7"} << QStringList{"addip 0 203.0.113.7", "writeip"};
    QTest::newRow("unban an id") << QStringList{"unban", "STEAM_0:1:1234"}
                                 << QStringList{"removeid STEAM_0:1:1234", "writeid"};
    QTest::newRow("unban an address")
        << QStringList{"unban", "203.0.113.7"} << QStringList{"removeip 203.0.113.7", "writeip"};
}

void TestBans::banThroughTheConsole() {
    QFETCH(QStringList, args);
    QFETCH(QStringList, sent);
    test::FakeServer server;
    BanInstall in;
    const auto r = in.run(args, server.address());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(server.commands, sent);
    // The engine writes its own files; this program leaves them alone.
    QVERIFY(!in.fx.exists("TFC/banned.cfg"));
    QVERIFY(!in.fx.exists("TFC/listip.cfg"));
}

void TestBans::withoutAnAnswerTheFilesChange() {
    BanInstall in;
    in.fx.write("TFC/banned.cfg", "// mine\r\nbanid 0.0 STEAM_0:1:7\r\n");
    auto r = in.run({"ban", "STEAM_0:1:1234"}, kSilent);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(in.fx.read("TFC/banned.cfg"),
             QByteArray("// mine\r\nbanid 0.0 STEAM_0:1:7\r\nbanid 0.0 STEAM_0:1:1234\r\n"));
    QVERIFY(r.out.contains("The server reads banned.cfg at its next start."));
    QCOMPARE(in.backups(), 1);
    // Twice is once.
    QCOMPARE(in.run({"ban", "STEAM_0:1:1234"}, kSilent).code, 0);
    QCOMPARE(in.fx.read("TFC/banned.cfg").count("STEAM_0:1:1234"), 1);

    r = in.run({"unban", "STEAM_0:1:7"}, kSilent);
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(in.fx.read("TFC/banned.cfg"), QByteArray("// mine\r\nbanid 0.0 STEAM_0:1:1234\r\n"));
    QCOMPARE(in.run({"unban", "STEAM_0:1:7"}, kSilent).code, 2);

    QCOMPARE(in.run({"ban", "198.51.100.3"}, kSilent).code, 0);
    QCOMPARE(in.fx.read("TFC/listip.cfg"), QByteArray("addip 0.0 198.51.100.3\r\n"));
    // A ban for a while lives only in the running server; a value with a blank is no id.
    const auto timed = in.run({"ban", "STEAM_0:1:5", "--minutes", "30"}, kSilent);
    QCOMPARE(timed.code, 2);
    QVERIFY(timed.err.contains("lives only in the running server"));
    QCOMPARE(in.run({"ban", "STEAM_0:1:5; quit"}, kSilent).code, 2);
}

void TestBans::kickNamesThePlayer() {
    test::FakeServer server;
    BanInstall in;
    QCOMPARE(in.run({"kick", "#5", "--reason", "be \"nice\""}, server.address()).code, 0);
    QCOMPARE(in.run({"kick", "Bob the <Great>"}, server.address()).code, 0);
    QCOMPARE(server.commands, (QStringList{"kick # 5 be nice", "kick \"Bob the <Great>\""}));
    QCOMPARE(in.run({"kick", "#5"}, kSilent).code, 4);
}

QTEST_GUILESS_MAIN(TestBans)
#include "tst_bans.moc"
