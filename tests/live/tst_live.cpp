#include "app/windowoptions.h"
#include "common/settingsstore.h"
#include "live/client.h"
#include "live/configdiff.h"
#include "live/replies.h"
#include "support/fakeserver.h"
#include "support/fixtureinstall.h"
#include "support/program.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <limits>

using namespace tarrow;
using namespace tarrow::live;
using test::FakeServer;

namespace {

ServerAddress at(const FakeServer& server) {
    return ServerAddress{QStringLiteral("127.0.0.1"), server.port()};
}

using Result = test::ProgramResult;

// Runs `tarrow` while this process's event loop keeps the fake server answering.
Result tarrowCli(test::FixtureInstall& fx, QStringList args, const QProcessEnvironment& env = {}) {
    args << "--settings" << fx.settingsFile();
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove("TARROW_RCON_PASSWORD");
    for (const QString& k : env.keys())
        e.insert(k, env.value(k));
    return test::runProgram(QStringLiteral(TARROW_CLI_BIN), args, e, QString(), 30000);
}

QByteArray withCount(const QByteArray& head, int count, const QByteArray& rest) {
    return head + char(count) + rest;
}

} // namespace

class TestLive : public QObject {
    Q_OBJECT
  private slots:
    void brokenRepliesAreRefused_data();
    void brokenRepliesAreRefused();
    void splitRepliesInEitherHeader_data();
    void splitRepliesInEitherHeader();
    void queryAfterTheChallenge_data();
    void queryAfterTheChallenge();
    void silenceIsAStateNotAnError();
    void theServerIsAskedDirectlyWhateverTheProxy();
    void rconCollectsTheOutputAndNeverRetriesAPassword();
    void addressFromTheSavedCommandLine_data();
    void addressFromTheSavedCommandLine();
    void commandLineQueryAndRcon();
    void playerTimesThatAreNone_data();
    void playerTimesThatAreNone();
    void driftReadsTheFileAsTheEngineDoes();
    void aHostNameIsLookedUpOnTheEventLoop();
};

void TestLive::brokenRepliesAreRefused_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("kind");
    const QByteArray p("\xFF\xFF\xFF\xFF", 4);
    const QByteArray info = FakeServer().infoReply();
    // Every cut of a good info reply before its version is refused.
    for (int cut : {5, 6, 12, 30, 60, int(info.size()) - 12})
        QTest::addRow("info cut at %d", cut) << info.left(cut) << "info";
    QTest::newRow("info: extra data flag without its port") << info.left(info.size() - 2) << "info";
    QTest::newRow("info: a string without its end") << p + "I" + char(48) + QByteArray(300, 'x') << "info";
    QTest::newRow("players: count larger than the bytes")
        << withCount(p + "D", 200, QByteArray(30, '\0')) << "players";
    QTest::newRow("players: entry cut") << withCount(p + "D", 1,
                                                     QByteArray("\x00"
                                                                "Al\0\x01\x00\x00\x00",
                                                                8) +
                                                         QByteArray(3, '\0'))
                                        << "players";
    QTest::newRow("rules: 65535 claimed") << p + "E\xFF\xFF" + QByteArray("a\0b\0", 4) << "rules";
    QTest::newRow("rules: value missing") << p + "E\x01\x00" + QByteArray("a\0b", 3) << "rules";
    QTest::newRow("challenge: three bytes") << p + "A\x01\x02\x03"
                                            << "challenge";
    QTest::newRow("another kind") << p + "Zxx"
                                  << "info";
}

void TestLive::brokenRepliesAreRefused() {
    QFETCH(QByteArray, reply);
    QFETCH(QString, kind);
    QString error;
    bool refused = false;
    if (kind == "info") refused = !parseInfo(reply, &error);
    if (kind == "players") refused = !parsePlayers(reply, &error);
    if (kind == "rules") refused = !parseRules(reply, &error);
    if (kind == "challenge") refused = !parseChallenge(reply, &error);
    QVERIFY(refused);
    QVERIFY(!error.isEmpty());
}

void TestLive::splitRepliesInEitherHeader_data() {
    QTest::addColumn<bool>("engine");
    QTest::newRow("the engine's header") << true;
    QTest::newRow("the newer header") << false;
}

void TestLive::splitRepliesInEitherHeader() {
    QFETCH(bool, engine);
    FakeServer server;
    const QByteArray whole = server.rulesReply();
    auto packet = [&](qint32 id, int n, int total, const QByteArray& part) {
        QByteArray head = QByteArray("\xFE\xFF\xFF\xFF", 4) + FakeServer::le32(id);
        head += engine ? QByteArray(1, char((n << 4) | total))
                       : QByteArray(1, char(total)) + char(n) + FakeServer::le16(1248);
        return head + part;
    };
    const qsizetype third = whole.size() / 3 + 1;
    SplitAssembler a;
    // Out of order, another reply's packet in between, a repeat: given once, when the last one comes.
    QVERIFY(!a.feed(packet(7, 2, 3, whole.mid(2 * third))));
    QVERIFY(!a.feed(packet(9, 0, 2, QByteArray("\xFF\xFF\xFF\xFF", 4))));
    QVERIFY(!a.feed(packet(7, 0, 3, whole.left(third))));
    QVERIFY(!a.feed(packet(7, 0, 3, whole.left(third))));
    const auto done = a.feed(packet(7, 1, 3, whole.mid(third, third)));
    QVERIFY(done);
    QCOMPARE(*done, whole);
    QCOMPARE(parseRules(*done, nullptr)->size(), 2);
    // A missing packet means no answer, never a part of one.
    SplitAssembler b;
    QVERIFY(!b.feed(packet(3, 0, 3, whole.left(third))));
    QVERIFY(!b.feed(packet(3, 2, 3, whole.mid(2 * third))));
    // Packets that do not agree on their total, or numbers beyond it, never make a reply.
    SplitAssembler c;
    QVERIFY(!c.feed(packet(4, 0, 2, whole.left(third))));
    QVERIFY(!c.feed(packet(4, 1, 3, whole.mid(third))));
    QVERIFY(!c.feed(QByteArray("\xFE\xFF\xFF\xFF\x01", 5)));
}

void TestLive::queryAfterTheChallenge_data() {
    QTest::addColumn<bool>("obsolete");
    QTest::addColumn<int>("split");
    QTest::newRow("info reply, rules whole") << false << int(FakeServer::Split::None);
    QTest::newRow("obsolete reply, rules in the engine's pieces") << true << int(FakeServer::Split::Engine);
    QTest::newRow("rules in the newer pieces") << false << int(FakeServer::Split::Newer);
}

void TestLive::queryAfterTheChallenge() {
    QFETCH(bool, obsolete);
    QFETCH(int, split);
    test::FakeServerThread thread;
    FakeServer& server = thread.server();
    server.obsoleteInfo = obsolete;
    server.split = FakeServer::Split(split);
    QueryOptions options;
    options.players = options.rules = true;
    const QueryResult r = queryServer(at(server), options);
    QVERIFY2(r.answering, qPrintable(r.error));
    QCOMPARE(r.info.name, server.name);
    QCOMPARE(r.info.map, QStringLiteral("2fort"));
    QCOMPARE(r.info.players, 5);
    QCOMPARE(r.info.bots, 3);
    QCOMPARE(r.info.humans(), 2);
    QCOMPARE(r.info.maxPlayers, 20);
    QVERIFY(r.info.dedicated);
    QCOMPARE(r.info.os, QStringLiteral("linux"));
    QCOMPARE(r.info.protocol, obsolete ? 47 : 48);
    QVERIFY(r.players && r.rules);
    QCOMPARE(r.players->size(), 2);
    QCOMPARE(r.players->at(0).name, QStringLiteral("Alice"));
    QCOMPARE(r.players->at(0).seconds, 812.5f);
    QCOMPARE(r.rules->size(), 2);
    QCOMPARE(r.rules->at(0), (QPair<QString, QString>{"mp_timelimit", "30"}));
    // Each of the three questions was asked twice: once for the challenge, once with it.
    QCOMPARE(server.requests, 6);
}

void TestLive::silenceIsAStateNotAnError() {
    test::FakeServerThread thread;
    FakeServer& server = thread.server();
    server.silent = true;
    QueryOptions options;
    options.timeoutMs = 100;
    options.tries = 2;
    const QueryResult r = queryServer(at(server), options);
    QVERIFY(!r.answering);
    QVERIFY(r.error.isEmpty());
    QCOMPARE(server.requests, 2);
    const RconResult rc = sendRcon(at(server), "secret", "status", 100);
    QCOMPARE(rc.status, RconStatus::NoAnswer);
}

void TestLive::theServerIsAskedDirectlyWhateverTheProxy() {
    // A proxy the desktop names (here one that nobody runs) is for the web: the query and the console
    // go straight to the server.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 nobody = closed.serverPort();
    closed.close();
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::Socks5Proxy, "127.0.0.1", nobody));
    test::FakeServerThread thread;
    const QueryResult r = queryServer(at(thread.server()), QueryOptions{});
    const RconResult rc = sendRcon(at(thread.server()), "secret", "status", 500);
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
    QVERIFY2(r.answering, qPrintable(r.error));
    QCOMPARE(rc.status, RconStatus::Done);
}

void TestLive::rconCollectsTheOutputAndNeverRetriesAPassword() {
    FakeServer server;
    const RconResult ok = sendRcon(at(server), "secret", "status");
    QCOMPARE(ok.status, RconStatus::Done);
    QCOMPARE(ok.output, QStringLiteral("hostname: Tarrow Test Server\nmap: 2fort\nplayers: 5\n"));
    QCOMPARE(server.commands, QStringList{"status"});
    const RconResult bad = sendRcon(at(server), "wrong", "status");
    QCOMPARE(bad.status, RconStatus::BadPassword);
    QCOMPARE(server.badPasswords, 1);
    QVERIFY(rconStatusText(bad.status).contains("five wrong tries"));
    // A refused password is never sent to that server again in this process (the engine bans an
    // address after five), so the right one still gets through afterwards.
    for (int i = 0; i < 4; ++i)
        QCOMPARE(sendRcon(at(server), "wrong", "status").status, RconStatus::RefusedBefore);
    QCOMPARE(server.badPasswords, 1);
    QCOMPARE(sendRcon(at(server), "secret", "status").status, RconStatus::Done);
    // Another server has not refused it.
    FakeServer other;
    other.rconPassword = QStringLiteral("wrong");
    QCOMPARE(sendRcon(at(other), "wrong", "status").status, RconStatus::Done);
    FakeServer open;
    open.rconPassword.clear();
    QCOMPARE(sendRcon(at(open), "any", "status").status, RconStatus::NoPassword);
}

void TestLive::playerTimesThatAreNone_data() {
    QTest::addColumn<float>("seconds");
    QTest::addColumn<QString>("text"); // what `tarrow query --players` shows after the score
    QTest::addColumn<QJsonValue>("json");
    QTest::newRow("a time") << 812.5f << "  812 s" << QJsonValue(812.5);
    QTest::newRow("just connected") << 0.0f << "  0 s" << QJsonValue(0.0);
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << "" << QJsonValue();
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << "" << QJsonValue();
    QTest::newRow("longer than a year") << 1e30f << "" << QJsonValue();
    QTest::newRow("negative") << -5.0f << "" << QJsonValue();
}

void TestLive::playerTimesThatAreNone() {
    QFETCH(float, seconds);
    QFETCH(QString, text);
    QFETCH(QJsonValue, json);
    FakeServer server;
    server.playerList = {{QStringLiteral("Alice"), seconds}};
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.storeRoot();
    const Result shown = tarrowCli(fx, {"query", "--players", "--address", server.address()});
    QCOMPARE(shown.code, 0);
    QVERIFY2(shown.out.contains("\n  Alice  score 3" + text + "\n"), qPrintable(shown.out));
    const Result listed = tarrowCli(fx, {"query", "--players", "--json", "--address", server.address()});
    const QJsonObject alice = QJsonDocument::fromJson(listed.out.toUtf8())["playerList"][0].toObject();
    QCOMPARE(alice["seconds"], json);
}

void TestLive::aHostNameIsLookedUpOnTheEventLoop() {
    // The jobs the window runs take a name as well as an address, and start() returns at once.
    FakeServer server;
    const ServerAddress byName{QStringLiteral("localhost"), server.port()};
    QueryJob query(byName, QueryOptions{});
    QSignalSpy answered(&query, &QueryJob::finished);
    query.start();
    QCOMPARE(answered.size(), 0);
    QTRY_COMPARE(answered.size(), 1);
    QVERIFY(answered.first().first().value<QueryResult>().answering);
    RconJob rcon(byName, QStringLiteral("secret"), QStringLiteral("status"));
    QSignalSpy done(&rcon, &RconJob::finished);
    rcon.start();
    QCOMPARE(done.size(), 0);
    QTRY_COMPARE(done.size(), 1);
    QCOMPARE(done.first().first().value<RconResult>().status, RconStatus::Done);
    QCOMPARE(server.commands, QStringList{"status"});
}

void TestLive::driftReadsTheFileAsTheEngineDoes() {
    // The live page lists a live value that differs from what server.cfg (and what it execs inside the
    // mod folder) leaves set.
    test::FixtureInstall fx;
    fx.write("TFC/server.cfg", "sv_downloadurl \"http://fastdl.example.org/tfc/\" // quoted: the // is no "
                               "comment\r\nMP_TIMELIMIT 30; mp_fraglimit 50\r\nexec extra.cfg\r\n"
                               "exec ../outside.cfg\r\nhostname \"two words\"\r\n");
    fx.write("TFC/EXTRA.CFG", "mp_fraglimit 60\r\n");
    fx.write("outside.cfg", "hostname \"from outside\"\r\n");
    const QHash<QString, ConfigValue> file = configValues(fx.path("TFC/"), "server.cfg");
    const Rules live{{"sv_downloadurl", "http://fastdl.example.org/tfc/"},
                     {"mp_timelimit", "30.000"},
                     {"mp_fraglimit", "50"},
                     {"hostname", "two words"},
                     {"sv_gravity", "800"}};
    const QList<SettingDifference> d = differences(file, live);
    // Only the frag limit differs: the exec'd file in the mod folder set it to 60 after the ';'.
    QCOMPARE(d.size(), 1);
    QCOMPARE(d[0].name, QStringLiteral("mp_fraglimit"));
    QCOMPARE(d[0].fileValue, QStringLiteral("60"));
    QCOMPARE(file.value("mp_timelimit").name, QStringLiteral("MP_TIMELIMIT"));
    // The exec that leads outside the mod folder was not followed.
    QCOMPARE(file.value("hostname").value, QStringLiteral("two words"));
}

void TestLive::addressFromTheSavedCommandLine_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("address");
    QTest::newRow("nothing said") << ""
                                  << "127.0.0.1:27015";
    QTest::newRow("+ip and +port") << "+maxplayers 12 +ip 10.0.0.5 +port 27016"
                                   << "10.0.0.5:27016";
    QTest::newRow("-port") << "-port 27020 +sv_lan 1"
                           << "127.0.0.1:27020";
    QTest::newRow("every interface is asked locally") << "+ip 0.0.0.0"
                                                      << "127.0.0.1:27015";
    QTest::newRow("a port that is none") << "+port 99999"
                                         << "127.0.0.1:27015";
}

void TestLive::addressFromTheSavedCommandLine() {
    QFETCH(QString, commandLine);
    QFETCH(QString, address);
    QCOMPARE(addressFromCommandLine(commandLine).text(), address);
    QCOMPARE(parseAddress("example.org:27017", nullptr)->text(), QStringLiteral("example.org:27017"));
    QVERIFY(!parseAddress("host:x", nullptr));
}

void TestLive::commandLineQueryAndRcon() {
    FakeServer server;
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.write("TFC/server.cfg", "hostname \"x\"\r\nrcon_password \"secret\"\r\n");
    fx.storeRoot();
    // The address comes from the saved command line.
    fx.settings().write(kTarrowKey, ownSettingName(OwnSetting::CommandLine),
                        "+port " + QString::number(server.port()));
    const Result q = tarrowCli(fx, {"query", "--json", "--players", "--rules"});
    QCOMPARE(q.code, 0);
    const QJsonObject o = QJsonDocument::fromJson(q.out.toUtf8()).object();
    QCOMPARE(o["address"].toString(), server.address());
    QCOMPARE(o["answering"].toBool(), true);
    QCOMPARE(o["humans"].toInt(), 2);
    QCOMPARE(o["bots"].toInt(), 3);
    QCOMPARE(o["map"].toString(), QStringLiteral("2fort"));
    QCOMPARE(o["playerList"].toArray().at(0).toObject()["seconds"].toDouble(), 812.5);
    QCOMPARE(o["rules"].toObject()["sv_gravity"].toString(), QStringLiteral("800"));
    // The password from server.cfg; it appears nowhere in what is printed.
    const Result r = tarrowCli(fx, {"rcon", "status"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("hostname: Tarrow Test Server\nmap: 2fort\nplayers: 5\n"));
    QVERIFY(!r.out.contains("secret") && !r.err.contains("secret"));
    // A refused password: exit 2 with the server's words; tried once.
    QProcessEnvironment wrong;
    wrong.insert("TARROW_RCON_PASSWORD", "wrong");
    const Result bad = tarrowCli(fx, {"rcon", "status"}, wrong);
    QCOMPARE(bad.code, 2);
    QVERIFY2(bad.err.contains("Bad rcon_password."), qPrintable(bad.err));
    QCOMPARE(server.badPasswords, 1);
    // status --json carries the live look; a silent server: exit 4 and "answering": false.
    const Result st = tarrowCli(fx, {"status", "--json"});
    QCOMPARE(QJsonDocument::fromJson(st.out.toUtf8())["live"]["map"].toString(), QStringLiteral("2fort"));
    server.silent = true;
    const Result none = tarrowCli(fx, {"query", "--json", "--timeout", "100"});
    QCOMPARE(none.code, 4);
    QCOMPARE(QJsonDocument::fromJson(none.out.toUtf8()).object(),
             (QJsonObject{{"address", server.address()}, {"answering", false}}));
}

QTEST_GUILESS_MAIN(TestLive)
#include "tst_live.moc"
