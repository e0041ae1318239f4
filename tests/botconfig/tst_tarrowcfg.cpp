#include "app/componentsettings.h"
#include "botconfig/mapscripts.h"
#include "botconfig/tarrowcfg.h"
#include "common/errors.h"
#include "support/fixtureinstall.h"

#include <QtTest>

using namespace tarrow;

class TestTarrowCfg : public QObject {
    Q_OBJECT
  private slots:
    void saveTemplate();
    void load_data();
    void load();
    void invalidIntegerStopsLaterLines_data();
    void invalidIntegerStopsLaterLines();
    void minMaxPush();
    void labels_data();
    void labels();
    void keptLines();
    void scriptNamesAndFilter();
    void scriptTemplate();
};

void TestTarrowCfg::saveTemplate() {
    BotConfigModel m;
    m.setSkill(3);
    m.setPause(3);
    m.setMinBots(-1);
    m.setMaxBots(10);
    m.chat = true;
    const QStringList l = m.fileLines(ComponentSettings{}.LatestPluginVersion);
    QCOMPARE(l.size(), 33);
    const QStringList expected{
        "# Tarrow v 0.698.0.0 - Tarrow: https://tarrow-bot.example/",
        "# This file was created with Tarrow Gui 1.00",
        "# This file is ran everytime the map changes before the Tarrow/configs/<mapname>_bot.cfg is ran",
        "",
        "# Bot Chat (0 off, 1 on)",
        "bot_chat 1",
        "",
        "# Bots skill (1 - 5 [Skill 1 is the best, Skill 5 is worst])",
        "# Note that the current skill system mainly effects there navigation timing",
        "botskill 3",
        "",
        "# Minimum bots in server (0 - 32 [-1 Turns this off])",
        "min_bots -1",
        "",
        "# Maximum bots in server (0 - 32 [-1 Turns this off])",
        "max_bots 10",
        "",
        "# Turn this on to have the bots auto switch when teams become uneven",
        "# Bot team balance (0 off, 1 on)",
        "bot_team_balance 0",
        "",
        "# Turn this on to balance the teams in a bot to human ratio (May be buggy)",
        "bot_bot_balance 0",
        "",
        "# Seconds before bots join (0 - 100)",
        "pause 3",
        "",
        "bot_xmas 0",
        "",
        "# Down here you can add your addbot commands",
        "# addbot <team> <model> <name> <skill>",
        "",
        ""};
    QCOMPARE(l, expected);
}

void TestTarrowCfg::load_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("values"); // skill, pause, min, max
    QTest::addColumn<QString>("boxes");     // letters: c x b t
    QTest::newRow("keys ignore case") << QStringList{"BotSkill 4"} << QList<int>{4, 3, -1, -1} << "";
    QTest::newRow("clamped") << QStringList{"botskill 9"} << QList<int>{5, 3, -1, -1} << "";
    QTest::newRow("leading blank: ignored") << QStringList{" botskill 4"} << QList<int>{1, 3, -1, -1} << "";
    QTest::newRow("quotes removed") << QStringList{"pause \"10\""} << QList<int>{1, 10, -1, -1} << "";
    QTest::newRow("min -1") << QStringList{"min_bots -1"} << QList<int>{1, 3, -1, -1} << "";
    QTest::newRow("pause 100 reads 10") << QStringList{"pause 100"} << QList<int>{1, 10, -1, -1} << "";
    QTest::newRow("pause 99 clamps to 30") << QStringList{"pause 99"} << QList<int>{1, 30, -1, -1} << "";
    QTest::newRow("two blanks: blank and digit")
        << QStringList{"botskill  4"} << QList<int>{4, 3, -1, -1} << "";
    QTest::newRow("min pushes then max pulls")
        << QStringList{"min_bots 5", "max_bots 3"} << QList<int>{1, 3, 3, 3} << "";
    QTest::newRow("boxes ticked") << QStringList{"bot_chat 1", "bot_xmas 1", "bot_bot_balance 1",
                                                 "bot_team_balance 1"}
                                  << QList<int>{1, 3, -1, -1} << "cxbt";
    QTest::newRow("trailing blank still reads 1")
        << QStringList{"bot_chat 1 "} << QList<int>{1, 3, -1, -1} << "c";
    // Rows marked "start ticked" begin with every box ticked, as after an earlier load.
    QTest::newRow("start ticked: the file's 0 unticks")
        << QStringList{"bot_chat 0", "bot_xmas 0", "bot_bot_balance 0", "bot_team_balance 0"}
        << QList<int>{1, 3, -1, -1} << "";
    QTest::newRow("start ticked: a file without the keys leaves the boxes")
        << QStringList{"botskill 2"} << QList<int>{2, 3, -1, -1} << "cxbt";
    QTest::newRow("longer keys are other settings")
        << QStringList{"bot_chat_file chat2.txt", "bot_xmas_gifts 5", "pause_time 5"}
        << QList<int>{1, 3, -1, -1} << "";
    QTest::newRow("comments and addbot ignored")
        << QStringList{"# botskill 2", "addbot 1 2 x 3", ""} << QList<int>{1, 3, -1, -1} << "";
}

void TestTarrowCfg::load() {
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, values);
    QFETCH(QString, boxes);
    BotConfigModel m;
    if (QString(QTest::currentDataTag()).startsWith("start ticked"))
        m.chat = m.xmas = m.botBalance = m.teamBalance = true;
    m.applyLines(lines);
    QCOMPARE((QList<int>{m.skill(), m.pause(), m.minBots(), m.maxBots()}), values);
    QCOMPARE(m.chat, boxes.contains('c'));
    QCOMPARE(m.xmas, boxes.contains('x'));
    QCOMPARE(m.botBalance, boxes.contains('b'));
    QCOMPARE(m.teamBalance, boxes.contains('t'));
}

void TestTarrowCfg::invalidIntegerStopsLaterLines_data() {
    QTest::addColumn<QString>("bad");
    QTest::addColumn<QString>("message");
    QTest::newRow("trailing comment") << "pause 5 // x"
                                      << "'5 ' is not a valid integer value";
    QTest::newRow("digits and letters") << "min_bots 1x"
                                        << "'1x' is not a valid integer value";
    QTest::newRow("letters") << "botskill x"
                             << "'x' is not a valid integer value";
}

void TestTarrowCfg::invalidIntegerStopsLaterLines() {
    QFETCH(QString, bad);
    QFETCH(QString, message);
    BotConfigModel m;
    try {
        m.applyLines({"botskill 2", bad, "max_bots 9"});
        QFAIL("no error");
    } catch (const ConversionError& e) {
        QCOMPARE(e.text(), message);
    }
    QCOMPARE(m.skill(), 2);
    QCOMPARE(m.maxBots(), -1);
}

void TestTarrowCfg::minMaxPush() {
    BotConfigModel m;
    m.setMaxBots(5);
    m.setMinBots(12);
    QCOMPARE(m.maxBots(), 12);
    m.setMaxBots(3);
    QCOMPARE(m.minBots(), 3);
    QCOMPARE(m.maxBots(), 3);
}

void TestTarrowCfg::labels_data() {
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("label");
    QTest::newRow("off") << -1 << "Off";
    QTest::newRow("0") << 0 << "0";
    QTest::newRow("23") << 23 << "23";
    QTest::newRow("24") << 24 << "24, Thats alot of bots!";
    QTest::newRow("31") << 31 << "31, Thats alot of bots!";
}

void TestTarrowCfg::labels() {
    QFETCH(int, max);
    QFETCH(QString, label);
    BotConfigModel m;
    m.setMaxBots(max);
    QCOMPARE(m.maxBotsLabel(), label);
    m.setSkill(5);
    QCOMPARE(m.skillPhrase(), QStringLiteral("Don't hurt me, I still wet my panties."));
    QCOMPARE(m.skillLabel(), QStringLiteral("Skill level: 5"));
}

void TestTarrowCfg::keptLines() {
    const QStringList file{
        "# comment",      "  // other",     "",   "botskill 3", "addbot blue soldier Bob 2",
        "\"max_bots\" 4", "sv_gravity 800", "   "};
    QCOMPARE(userLinesOf(file), (QStringList{"addbot blue soldier Bob 2", "sv_gravity 800"}));
    // The bot's own settings that begin like one of ours are the user's lines too.
    QCOMPARE(userLinesOf({"bot_chat_file chat2.txt", "bot_chat 1", "bot_xmas_gifts 5", "bot_xmas\t1"}),
             (QStringList{"bot_chat_file chat2.txt", "bot_xmas_gifts 5"}));
    BotConfigModel m;
    const QStringList out = m.fileLines(ComponentSettings{}.LatestPluginVersion, userLinesOf(file));
    QCOMPARE(out.size(), 35);
    QCOMPARE(out[30], QStringLiteral("# addbot <team> <model> <name> <skill>"));
    QCOMPARE(out[31], QStringLiteral("addbot blue soldier Bob 2"));
    QCOMPARE(out[32], QStringLiteral("sv_gravity 800"));
    QCOMPARE(out[33], QString());
    QCOMPARE(out[34], QString());
}

void TestTarrowCfg::scriptNamesAndFilter() {
    QCOMPARE(scriptFileOf("2fort.bsp"), QStringLiteral("2fort_tw.cfg"));
    QCOMPARE(scriptFileOf("ROCK2.BSP"), QStringLiteral("ROCK2_tw.cfg"));
    test::FixtureInstall fx;
    fx.write("tarrow/TFC/scripts/2fort_tw.cfg", "x");
    QCOMPARE(mapsWithoutScript({"2fort.bsp", "well.bsp"}, fx.root() + "tarrow\\TFC\\scripts\\"),
             QStringList{"well.bsp"});
    QCOMPARE(scriptInserts().size(), size_t(13));
    QCOMPARE(scriptInserts().front().text, QStringLiteral("on_msg( )\r\n\t{\r\n\r\n\t}\r\n"));
    QCOMPARE(scriptInserts().back().caption, QStringLiteral("ye&llow_available_only_point"));
    QCOMPARE(scriptInserts().back().text, QStringLiteral("\t\tyellow_available_only_point"));
}

void TestTarrowCfg::scriptTemplate() {
    const QStringList l = newScriptLines("well", "08/12/2026 01:02:03");
    QCOMPARE(l, (QStringList{"//Tarrow Script File Created With Tarrow Gui 1.00", "//Map: well",
                             "//Created: 08/12/2026 01:02:03", "", "", "on_start", "\t{", "", "\t}"}));
    const QLocale locale;
    const QDateTime when(QDate(2026, 12, 8), QTime(13, 5, 9));
    QCOMPARE(scriptCreatedText(when), locale.toString(when.date(), QLocale::ShortFormat) + " " +
                                          locale.toString(when.time(), QLocale::LongFormat));
}

QTEST_GUILESS_MAIN(TestTarrowCfg)
#include "tst_tarrowcfg.moc"
