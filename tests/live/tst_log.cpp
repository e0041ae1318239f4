// The server's log: one line read, the files followed as they grow, people counted from them.
#include "live/logfiles.h"
#include "live/logline.h"
#include "live/people.h"

#include <QtTest>

using namespace tarrow::live;

namespace {

const QString kStamp = QStringLiteral("L 12/09/2026 - 21:04:11: ");

QString playerText(const std::optional<LogPlayer>& p) {
    if (!p) return QStringLiteral("-");
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(p->name)
        .arg(p->uid)
        .arg(p->id, p->team, p->bot() ? "bot" : "");
}

void append(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::Append));
    f.write(bytes);
}

QStringList polled(LogFollower& follower) {
    QStringList lines;
    follower.poll(
        [&](const LogLine& l) { lines << l.file + ":" + QString::number(l.line) + ":" + l.event.raw; });
    return lines;
}

} // namespace

class TestLog : public QObject {
    Q_OBJECT
  private slots:
    void oneLine_data();
    void oneLine();
    void noPasswordIsKept_data();
    void noPasswordIsKept();
    void followsTheFilesAsTheyGrow();
    void aHugeFileIsReadFromItsEnd();
    void peopleApartFromBots();
};

void TestLog::oneLine_data() {
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("player");
    QTest::addColumn<QString>("victim");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("reason");

    QTest::newRow("connect") << R"("Alice<2><STEAM_0:1:1234><>" connected, address "203.0.113.7:27005")"
                             << "join"
                             << "Alice|2|STEAM_0:1:1234||"
                             << "-"
                             << ""
                             << "203.0.113.7:27005"
                             << "";
    QTest::newRow("a bot enters") << R"("Bot Sam<1><BOT><Red>" entered the game)"
                                  << "enter"
                                  << "Bot Sam|1|BOT|Red|bot"
                                  << "-"
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("a name with quotes and angle brackets")
        << R"("<<Bob>> "the" <great><3><STEAM_0:0:42><>" entered the game)"
        << "enter"
        << R"(<<Bob>> "the" <great>|3|STEAM_0:0:42||)"
        << "-"
        << ""
        << ""
        << "";
    QTest::newRow("leave with a reason")
        << R"("Bob<3><STEAM_0:0:42><Blue>" disconnected (reason "Client "left""))"
        << "leave"
        << "Bob|3|STEAM_0:0:42|Blue|"
        << "-"
        << ""
        << ""
        << R"(Client "left")";
    QTest::newRow("leave without one") << R"("Bob<3><STEAM_0:0:42><Blue>" disconnected)"
                                       << "leave"
                                       << "Bob|3|STEAM_0:0:42|Blue|"
                                       << "-"
                                       << ""
                                       << ""
                                       << "";
    QTest::newRow("team") << R"("Bob<3><VALVE_ID_LAN><>" joined team "Blue")"
                          << "team"
                          << "Bob|3|VALVE_ID_LAN||"
                          << "-"
                          << "Blue"
                          << ""
                          << "";
    QTest::newRow("name") << R"("Bob<3><STEAM_0:0:42><>" changed name to "Bo"b"")"
                          << "name"
                          << "Bob|3|STEAM_0:0:42||"
                          << "-"
                          << R"(Bo"b")"
                          << ""
                          << "";
    QTest::newRow("chat with quotes") << R"("A<2><STEAM_0:1:1><Blue>" say "hi "all"" (dead))"
                                      << "say"
                                      << "A|2|STEAM_0:1:1|Blue|"
                                      << "-"
                                      << R"(hi "all")"
                                      << ""
                                      << "";
    QTest::newRow("team chat") << R"("A<2><STEAM_0:1:1><Blue>" say_team "go")"
                               << "say_team"
                               << "A|2|STEAM_0:1:1|Blue|"
                               << "-"
                               << "go"
                               << ""
                               << "";
    QTest::newRow("kill") << R"("A<2><STEAM_0:1:1><Blue>" killed "B with "x"<5><BOT><Red>" with "rocket")"
                          << "kill"
                          << "A|2|STEAM_0:1:1|Blue|"
                          << R"(B with "x"|5|BOT|Red|bot)"
                          << "rocket"
                          << ""
                          << "";
    QTest::newRow("suicide") << R"("A<2><STEAM_0:1:1><Blue>" committed suicide with "world")"
                             << "suicide"
                             << "A|2|STEAM_0:1:1|Blue|"
                             << "-"
                             << "world"
                             << ""
                             << "";
    QTest::newRow("trigger") << R"("A<2><STEAM_0:1:1><Blue>" triggered "Blue Flag")"
                             << "trigger"
                             << "A|2|STEAM_0:1:1|Blue|"
                             << "-"
                             << "Blue Flag"
                             << ""
                             << "";
    QTest::newRow("map") << R"(Started map "2fort" (CRC "-123"))"
                         << "map"
                         << "-"
                         << "-"
                         << "2fort"
                         << ""
                         << "";
    QTest::newRow("log start") << R"(Log file started (file "logs/L1209000.log") (game "tfc"))"
                               << "log"
                               << "-"
                               << "-"
                               << "logs/L1209000.log"
                               << ""
                               << "";
    QTest::newRow("log end") << "Log file closed"
                             << "log"
                             << "-"
                             << "-"
                             << ""
                             << ""
                             << "";
    QTest::newRow("cvar") << R"(Server cvar "mp_timelimit" = "30")"
                          << "cvar"
                          << "-"
                          << "-"
                          << "mp_timelimit"
                          << ""
                          << "30";
    QTest::newRow("kick")
        << R"(Kick: "Carol<4><STEAM_ID_LAN><Red>" was kicked by "Console" (message "be nice"))"
        << "kick"
        << "Carol|4|STEAM_ID_LAN|Red|"
        << "-"
        << "Console"
        << ""
        << "be nice";
    QTest::newRow("console login")
        << R"(Rcon: "rcon 7654321 "hunter2" changelevel well" from "203.0.113.7:1")"
        << "rcon"
        << "-"
        << "-"
        << "changelevel well"
        << "203.0.113.7:1"
        << "";
    QTest::newRow("failed console login") << R"(Bad Rcon: "rcon 1234 "guess" status" from "192.0.2.66:4")"
                                          << "badrcon"
                                          << "-"
                                          << "-"
                                          << "status"
                                          << "192.0.2.66:4"
                                          << "";
    QTest::newRow("the server says") << R"(Server say "restart in 5")"
                                     << "say"
                                     << "-"
                                     << "-"
                                     << "restart in 5"
                                     << ""
                                     << "";
    QTest::newRow("a player's event not known") << R"("A<2><STEAM_0:1:1><Blue>" changed role to "Medic")"
                                                << "other"
                                                << "A|2|STEAM_0:1:1|Blue|"
                                                << "-"
                                                << ""
                                                << ""
                                                << "";
    QTest::newRow("an engine line not known") << R"(Server name is "My server")"
                                              << "other"
                                              << "-"
                                              << "-"
                                              << ""
                                              << ""
                                              << "";
    QTest::newRow("a player string cut short") << R"("Alice<2><STEAM_0:1:1234>" entered the game)"
                                               << "other"
                                               << "-"
                                               << "-"
                                               << ""
                                               << ""
                                               << "";
}

void TestLog::oneLine() {
    QFETCH(QString, event);
    QFETCH(QString, kind);
    QFETCH(QString, player);
    QFETCH(QString, victim);
    QFETCH(QString, text);
    QFETCH(QString, address);
    QFETCH(QString, reason);
    const LogEvent e = parseLogLine(QString(kStamp + event + "\r\n"));
    QCOMPARE(e.time, QDateTime(QDate(2026, 12, 9), QTime(21, 4, 11), Qt::UTC));
    QCOMPARE(QString::fromLatin1(logKindWord(e.kind)), kind);
    QCOMPARE(playerText(e.player), player);
    QCOMPARE(playerText(e.victim), victim);
    QCOMPARE(e.text, text);
    QCOMPARE(e.address, address);
    QCOMPARE(e.reason, reason);
    // Nothing is dropped: the line stays, as written (but for a password).
    if (!event.contains("rcon ")) QCOMPARE(e.raw, event);
    // The files are read as bytes: the same line as bytes reads the same.
    const QByteArray bytes = QString(kStamp + event + "\r\n").toUtf8();
    const LogEvent b = parseLogLine(QByteArrayView(bytes));
    QCOMPARE(b.time, e.time);
    QCOMPARE(b.kind, e.kind);
    QCOMPARE(playerText(b.player), player);
    QCOMPARE(playerText(b.victim), victim);
    QCOMPARE(b.text, text);
    QCOMPARE(b.raw, e.raw);
}

void TestLog::noPasswordIsKept_data() {
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("password");
    QTest::newRow("console login") << R"(Rcon: "rcon 7654321 "hunter2" status" from "1.2.3.4:5")"
                                   << "hunter2";
    QTest::newRow("failed, with blanks") << R"(Bad Rcon: "rcon 1 "my secret" kick x" from "1.2.3.4:5")"
                                         << "my secret";
    QTest::newRow("unquoted") << R"(Bad Rcon: "rcon 1 letmein status" from "1.2.3.4:5")"
                              << "letmein";
    QTest::newRow("no challenge") << R"(Bad Rcon: "rcon "nochal" status" from "1.2.3.4:5")"
                                  << "nochal";
    QTest::newRow("the cvar") << R"(Server cvar "rcon_password" = "hunter2")"
                              << "hunter2";
    QTest::newRow("the join password") << R"(Server cvar "sv_password" = "club")"
                                       << "club";
    QTest::newRow("typed into chat") << R"("A<2><STEAM_0:1:1><>" say "rcon 1 "oops" status")"
                                     << "oops";
}

void TestLog::noPasswordIsKept() {
    QFETCH(QString, event);
    QFETCH(QString, password);
    const LogEvent e = parseLogLine(QString(kStamp + event));
    for (const QString& field : {e.raw, e.text, e.reason, e.address})
        QVERIFY2(!field.contains(password), qPrintable(field));
    QVERIFY2(e.raw.contains("***"), qPrintable(e.raw));
}

void TestLog::followsTheFilesAsTheyGrow() {
    QTemporaryDir dir;
    const QString first = dir.filePath("L1209000.log");
    append(first, "L 12/09/2026 - 10:00:00: Log file started (file \"logs/L1209000.log\")\n"
                  "L 12/09/2026 - 10:00:01: Started map \"2fort\" (CRC \"1\")\r\n"
                  "L 12/09/2026 - 10:00:02: \"A<2><STEAM_0:1:1><>\" sa");
    LogFollower follower(dir.path());
    QCOMPARE(polled(follower), (QStringList{"L1209000.log:1:Log file started (file \"logs/L1209000.log\")",
                                            "L1209000.log:2:Started map \"2fort\" (CRC \"1\")"}));
    // The half-written line waits for its end.
    QCOMPARE(polled(follower), QStringList{});
    append(first, "y \"hi\"\n");
    QCOMPARE(polled(follower), QStringList{"L1209000.log:3:\"A<2><STEAM_0:1:1><>\" say \"hi\""});

    // The engine moves on to the next file (its name sorts before the old one: a new year); a line the
    // old one was left with is passed on, then the new file's.
    append(first, "L 12/09/2026 - 10:05:00: Log file closed");
    append(dir.filePath("L0101000.log"),
           "L 12/09/2026 - 10:05:01: Log file started (file \"logs/L0101000.log\")\n");
    QCOMPARE(polled(follower), (QStringList{"L1209000.log:4:Log file closed",
                                            "L0101000.log:1:Log file started (file \"logs/L0101000.log\")"}));
    const LogFollower::Position kept = follower.position();
    QCOMPARE(kept.file, QStringLiteral("L0101000.log"));

    // Another follower goes on from the position kept, and one that skips to the end sees only news.
    append(dir.filePath("L0101000.log"), "L 12/09/2026 - 10:06:00: Server say \"x\"\n");
    LogFollower later(dir.path());
    later.setPosition(kept);
    QCOMPARE(polled(later), QStringList{"L0101000.log:2:Server say \"x\""});
    LogFollower news(dir.path());
    news.skipToEnd();
    QCOMPARE(polled(news), QStringList{});
    append(dir.filePath("L0101000.log"), "L 12/09/2026 - 10:07:00: Server say \"y\"\n");
    QCOMPARE(polled(news), QStringList{"L0101000.log:0:Server say \"y\""});
}

void TestLog::aHugeFileIsReadFromItsEnd() {
    QTemporaryDir dir;
    const QByteArray line = "L 12/09/2026 - 10:00:00: Server say \"filler filler filler filler\"\n";
    QFile f(dir.filePath("L1209000.log"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    const qint64 lines = LogFollower::kMaxReadBytes / line.size() + 1000;
    QByteArray block;
    for (int i = 0; i < 1000; ++i)
        block += line;
    for (qint64 i = 0; i < lines / 1000 + 1; ++i)
        f.write(block);
    f.write("L 12/09/2026 - 10:00:01: Started map \"last\" (CRC \"1\")\n");
    f.close();
    LogFollower follower(dir.path());
    qint64 count = 0;
    QString last;
    follower.poll([&](const LogLine& l) {
        ++count;
        last = l.event.text;
        QCOMPARE(l.line, qint64(0));
    });
    QCOMPARE(last, QStringLiteral("last"));
    QVERIFY(count <= LogFollower::kMaxReadBytes / line.size() + 1);
    QVERIFY(count > LogFollower::kMaxReadBytes / line.size() - 2);
    const QStringList notes = follower.takeNotes();
    QCOMPARE(notes.size(), 1);
    QVERIFY(notes[0].contains("64 MiB"));
}

void TestLog::peopleApartFromBots() {
    LogFollower follower(QStringLiteral(TARROW_FIXTURES "/logs"));
    PeopleCounter counter;
    follower.poll([&](const LogLine& l) { counter.add(l.event); });
    const PeopleSummary s = counter.summary();
    QStringList people;
    for (const PersonSummary& p : s.people)
        people << QStringLiteral("%1 %2 sessions=%3 seconds=%4 %5..%6")
                      .arg(p.id, p.names.join("/"))
                      .arg(p.sessions)
                      .arg(p.seconds)
                      .arg(p.firstSeen.toString("dd hh:mm:ss"), p.lastSeen.toString("dd hh:mm:ss"));
    QCOMPARE(
        people,
        (QStringList{
            // In the first map, on through the second (the map change ends nothing), until the
            // engine began anew the next morning; then a session of its own.
            "STEAM_0:1:1234 Alice sessions=2 seconds=48521 08 20:01:00..09 09:30:40",
            R"(STEAM_0:0:42 <<Bob>> "the" <great>/Bobby sessions=1 seconds=235 08 20:03:00..08 20:07:00)",
            "STEAM_ID_LAN Carol sessions=1 seconds=584 08 20:10:15..08 20:20:00",
        }));
    QCOMPARE(s.botNames, 1);
    QCOMPARE(s.botSessions, 1);
    QCOMPARE(s.botSeconds, qint64(596));
    QCOMPARE(s.peaks.size(), 2);
    QCOMPARE(s.peaks[0].day, QDate(2026, 12, 8));
    QCOMPARE(s.peaks[0].people, 2);
    QCOMPARE(s.peaks[1].people, 1);
}

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
