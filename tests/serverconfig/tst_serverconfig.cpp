#include "common/errors.h"
#include "common/fileio.h"
#include "serverconfig/serverfiles.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"

#include <QtTest>

using namespace tarrow;

namespace {

const QString kRoot = QStringLiteral("R/");

QStringList serverLines(const test::FixtureInstall& fx, const char* file = "TFC/server.cfg") {
    return splitLines(QString::fromLatin1(fx.read(file)));
}

ServerModel dedicated() {
    ServerModel m;
    m.serverKind = ServerModel::ServerKind::Dedicated;
    return m;
}

// Loads `content` as server.cfg into a fresh dedicated model.
ServerModel loaded(test::FixtureInstall& fx, const QByteArray& content, test::ScriptedPrompter& p) {
    fx.write("TFC/server.cfg", content);
    ServerModel m = dedicated();
    loadServerConfig(m, fx.paths(), p);
    return m;
}

// A hand-written, tab-aligned server.cfg of the kind operators keep.
const QByteArray kOperatorCfg = "\xEF\xBB\xBF// My TFC server\r\n"
                                "hostname\t\t\"[EU] Tarrow 2fort 24/7\"\r\n"
                                "log on\r\n"
                                "sys_ticrate\t\t1000\r\n"
                                "sv_downloadurl\t\"http://fastdl.example.org/tfc/\"\r\n"
                                "mp_teamplay\t\t21\t// friendly fire for everybody\r\n"
                                "sv_maxrate\t\t100000\r\n"
                                "mp_timelimit\t30\r\n"
                                "\r\n"
                                "// ban lists\r\n"
                                "exec\t\tbanned.cfg\r\n"
                                "exec  listip.cfg // ip bans\r\n"
                                "writeid\r\n"
                                "HOSTNAME \"second, left alone\"\r\n"
                                "autohltv_delay 30";

} // namespace

class TestServerConfig : public QObject {
    Q_OBJECT
  private slots:
    void exampleFile();
    void execAndCustomLines();
    void valuesAsEntered();
    void ratePairs_data();
    void ratePairs();
    void saveChecksAndMessages();
    void pluginFilesByExecText();
    void defaultAccessIsWritten();
    void toggles();
    void numberText_data();
    void numberText();
    void helpTypeNames();
    void loadEdgeCases();
    void loadNumbersAndErrors_data();
    void loadNumbersAndErrors();
    void loadRates();
    void loadExecAndCustom();
    void loadPluginFiles();
    void roundTrip();
    void realWorldFiles();
    void hostileFiles();
    void operatorFileKeepsItsLines_data();
    void operatorFileKeepsItsLines();
    void programFileSavesAsBefore();
    void execFileNames_data();
    void execFileNames();
    void saveMergesIntoTheFileAsItIsNow();
};

void TestServerConfig::exampleFile() {
    ServerModel m = dedicated();
    m.setText("ServerNametxt", "My Server");
    m.setRateItem(0);
    const QStringList l = serverFileLines(m);
    QStringList expected{"// Tarrow: https://tarrow-bot.example/",
                         "// This file was created with Tarrow Gui 1.00",
                         "hostname \"My Server\"",
                         "sv_password \"\"",
                         "sv_spectator_password \"\"",
                         "rcon_password \"\"",
                         "maxplayers \"16\"",
                         "mp_timelimit \"30\"",
                         "mp_fraglimit \"0\"",
                         "tfc_respawndelay \"0\"",
                         "sv_maxspectators \"0\"",
                         "sv_timeout \"60\"",
                         "decalfrequency \"200\"",
                         "tfc_clanbattle_prematch \"0\""};
    for (const char* c :
         {"soldier", "sniper", "engineer", "medic", "hwguy", "demoman", "spy", "scout", "pyro", "random"})
        expected << QStringLiteral("cr_%1 \"0\"").arg(QLatin1String(c));
    for (const char* p : {"tfc_spam_limit", "tfc_spam_penalty1", "tfc_spam_penalty2", "tfc_autokick_kills",
                          "tfc_autokick_time", "sv_challengetime"})
        expected << QStringLiteral("%1 \"0\"").arg(QLatin1String(p));
    expected << "sv_minrate \"3000\""
             << "sv_maxrate \"5000\""
             << "mp_teamplay \"1301\"";
    for (const char* f : {"sv_allowdownload",
                          "sv_allowupload",
                          "allow_spectators",
                          "sv_proxies",
                          "sv_aim",
                          "sv_lan",
                          "mp_forcerespawn",
                          "tfc_fragscoring",
                          "tfc_autoteam",
                          "tfc_balance_teams",
                          "tfc_balance_scores",
                          "mp_footsteps",
                          "mp_falldamage",
                          "mp_flashlight",
                          "pausable",
                          "tfc_birthday",
                          "sv_cheats",
                          "tfc_clanbattle",
                          "tfc_clanbattle_locked",
                          "sv_voiceenable"})
        expected << QStringLiteral("%1 \"0\"").arg(QLatin1String(f));
    QCOMPARE(l, expected);
    QCOMPARE(l.size(), 53);
}

void TestServerConfig::execAndCustomLines() {
    ServerModel m = dedicated();
    for (const char* box :
         {"Execchk", "Exec2chk", "Exec3chk", "Exec4chk", "Cvarchk", "Cvar2chk", "Cvar3chk", "Cvar4chk"})
        m.setChecked(box, true);
    m.setText("Exectxt", "addons/adminmod/config/adminmod.cfg");
    m.setText("Exec2txt", "a.cfg");
    m.setText("Exec3txt", "b.cfg");
    m.setText("Exec4txt", "c.cfg");
    m.setText("Cvartxt", "sv_gravity 800");
    m.setText("Cvar2txt", "a 1");
    m.setText("Cvar3txt", "b 2");
    m.setText("Cvar4txt", "c \"3\"");
    const QStringList l = serverFileLines(m);
    QCOMPARE(l.size(), 65);
    QCOMPARE(l[53], QStringLiteral("exec \"addons/adminmod/config/adminmod.cfg\""));
    QCOMPARE(l[57], QStringLiteral("//custom cvar"));
    QCOMPARE(l[58], QStringLiteral("\"sv_gravity 800\""));
    QCOMPARE(l[64], QStringLiteral("\"c \"3\"\""));
}

void TestServerConfig::valuesAsEntered() {
    ServerModel m = dedicated();
    m.setText("ServerNametxt", "Bob's \"Best\" True");
    m.setNumber("SniperlmtUD", -1);
    m.setChecked("Spampen1chk", true);
    m.setText("Spampen1txt", "45");
    m.setChecked("KickTKchk", true);
    m.setText("KickTKtxt", "9");
    m.setChecked("KickTKchk", false); // unticking empties: the line says 0
    m.setChecked("Lanchk", true);
    m.setFriendlyFire(3);
    const QStringList l = serverFileLines(m);
    QCOMPARE(l[2], QStringLiteral("hostname \"Bob's \"Best\" True\""));
    QCOMPARE(l[15], QStringLiteral("cr_sniper \"-1\""));
    QCOMPARE(l[25], QStringLiteral("tfc_spam_penalty1 \"45\""));
    QCOMPARE(l[27], QStringLiteral("tfc_autokick_kills \"0\""));
    QCOMPARE(l[32], QStringLiteral("mp_teamplay \"11573\""));
    QCOMPARE(l[38], QStringLiteral("sv_lan \"1\""));
}

void TestServerConfig::ratePairs_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("shownMin");
    QTest::addColumn<QString>("shownMax");
    QTest::addColumn<QString>("fileMin");
    QTest::addColumn<QString>("fileMax");
    QTest::addColumn<QString>("label");
    QTest::newRow("slow") << 0 << "3000"
                          << "5000"
                          << "3000"
                          << "5000"
                          << "Slow DSL/Cable";
    QTest::newRow("fast shows 6000") << 1 << "4000"
                                     << "6000"
                                     << "4000"
                                     << "8000"
                                     << "Fast DSL/Cable";
    QTest::newRow("T1") << 2 << "6000"
                        << "8000"
                        << "6000"
                        << "10000"
                        << "T1/T3/OC Line";
    QTest::newRow("custom empties") << 3 << ""
                                    << ""
                                    << ""
                                    << ""
                                    << "Custom Rate Limits";
}

void TestServerConfig::ratePairs() {
    QFETCH(int, item);
    QFETCH(QString, shownMin);
    QFETCH(QString, shownMax);
    QFETCH(QString, fileMin);
    QFETCH(QString, fileMax);
    QFETCH(QString, label);
    ServerModel m = dedicated();
    QCOMPARE(m.rateLabel(), QStringLiteral("Custom Rate Limits:"));
    m.setText("MinRatetxt", "2500");
    m.setRateItem(item == 3 ? 0 : item);
    m.setRateItem(item);
    QCOMPARE(m.text("MinRatetxt"), shownMin);
    QCOMPARE(m.text("MaxRatetxt"), shownMax);
    QCOMPARE(m.rateLabel(), label);
    QCOMPARE(m.editEnabled("MinRatetxt"), item == 3);
    const QStringList l = serverFileLines(m);
    QCOMPARE(l[30], "sv_minrate \"" + fileMin + "\"");
    QCOMPARE(l[31], "sv_maxrate \"" + fileMax + "\"");
    if (item == 3) {
        m.setText("MinRatetxt", "2500");
        m.setText("MaxRatetxt", "7000");
        QCOMPARE(serverFileLines(m)[30], QStringLiteral("sv_minrate \"2500\""));
        QCOMPARE(serverFileLines(m)[31], QStringLiteral("sv_maxrate \"7000\""));
    }
}

void TestServerConfig::saveChecksAndMessages() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    ServerModel none;
    none.setText("AdminPasstxt", "pw");
    saveServerConfig(none, fx.paths(), p);
    QCOMPARE(p.texts(), QStringList{"You must either select a \"Dedicated Server\" or a \"Listen Server\"."});
    QCOMPARE(none.text("AdminPasstxt"), QStringLiteral("pw"));

    p.log.clear();
    ServerModel m;
    m.serverKind = ServerModel::ServerKind::Listen;
    m.setText("AdminPasstxt", "pw");
    saveServerConfig(m, fx.paths(), p);
    QCOMPARE(p.texts(), (QStringList{"Your Admin Password must start with an underscore (\"_\"), it has been "
                                     "added to your password field.",
                                     "Your " + fx.root() + "TFC directory does not exist!"}));
    QCOMPARE(m.text("AdminPasstxt"), QStringLiteral("_pw"));

    p.log.clear();
    QDir().mkpath(fx.path("TFC"));
    saveServerConfig(m, fx.paths(), p);
    QVERIFY(p.log.isEmpty());
    QCOMPARE(serverLines(fx, "TFC/listenserver.cfg").size(), 53);
    // Saving twice gives the same bytes; a read-only file is overwritten.
    const QByteArray first = fx.read("TFC/listenserver.cfg");
    setReadOnly(fx.path("TFC/listenserver.cfg"));
    saveServerConfig(m, fx.paths(), p);
    QCOMPARE(fx.read("TFC/listenserver.cfg"), first);
}

void TestServerConfig::pluginFilesByExecText() {
    test::FixtureInstall fx;
    QDir().mkpath(fx.path("TFC/addons/adminmod/config"));
    fx.write("TFC/addons/neotf/NTF_Cvars.cfg", "untouched");
    test::ScriptedPrompter p;
    ServerModel m = dedicated();
    m.setChecked("Execchk", true);
    m.setText("Exectxt", "NTF_Cvars.cfg"); // other case: names no NeoTF file
    m.setChecked("Exec2chk", true);
    m.setText("Exec2txt", "addons/adminmod/config/adminmod.cfg");
    m.setChecked("Exec3chk", true);
    m.setText("Exec3txt", "other/adminmod.cfg");
    saveServerConfig(m, fx.paths(), p);
    QCOMPARE(serverLines(fx, "TFC/addons/adminmod/config/adminmod.cfg").size(), 48);
    QVERIFY(!fx.exists("TFC/other/adminmod.cfg"));
    QCOMPARE(fx.read("TFC/addons/neotf/NTF_Cvars.cfg"), QByteArray("untouched"));
    QCOMPARE(pluginConfigPath(InstallPaths("R\\", "TFC", {}, ServerPlatform::Windows),
                              "addons/adminmod/config/adminmod.cfg"),
             QStringLiteral("R\\TFC\\addons\\adminmod\\config\\adminmod.cfg"));

    m.setText("Exec3txt", "addons/neotf/ntf_cvars.cfg");
    saveServerConfig(m, fx.paths(), p);
    // Names match without regard to case on disk, as on Windows: the file the user has is the one
    // saved into, and it keeps its own lines; only settings changed on the page are added.
    QCOMPARE(fx.read("TFC/addons/neotf/NTF_Cvars.cfg"), QByteArray("untouched"));
    m.setChecked("Spychatchk", true);
    m.setNumber("HookRangeUD", 600);
    saveServerConfig(m, fx.paths(), p);
    QCOMPARE(fx.read("TFC/addons/neotf/NTF_Cvars.cfg"),
             QByteArray("untouched\r\nntf_feature_spychat \"1\"\r\nntf_hook_range \"600\"\r\n"));
    // A plug-in file whose folder is missing stops the save with the error.
    m.setText("Exec2txt", "missing/adminmod.cfg");
    QVERIFY_THROWS_EXCEPTION(IoError, saveServerConfig(m, fx.paths(), p));
}

void TestServerConfig::defaultAccessIsWritten() {
    ServerModel m;
    m.setText("AdminAccesstxt", "2");
    const QStringList l = adminmodFileLines(m);
    QCOMPARE(l.size(), 48);
    QCOMPARE(l.first(), QStringLiteral("password_field \"\""));
    QCOMPARE(l[15], QStringLiteral("vote_freq \"180\""));
    QCOMPARE(l[46], QStringLiteral("use_regex \"0\""));
    QCOMPARE(l[47], QStringLiteral("default_access \"2\""));
}

void TestServerConfig::toggles() {
    ServerModel m;
    QVERIFY(!m.editEnabled("ServerPwtxt"));
    m.setChecked("ServerPWchk", true);
    QVERIFY(m.editEnabled("ServerPwtxt"));
    m.setText("ServerPwtxt", "secret");
    m.setChecked("ServerPWchk", false);
    QCOMPARE(m.text("ServerPwtxt"), QString());
    m.setChecked("ServerPWchk", true);
    QCOMPARE(m.text("ServerPwtxt"), QString());
    QCOMPARE(m.text("Spamlimittxt"), QStringLiteral("0"));
    m.setChecked("Spamlimitchk", true);
    m.setText("Spamlimittxt", "12");
    QCOMPARE(m.number("SpamLimitUD"), 12);
    m.setChecked("Spamlimitchk", false);
    QCOMPARE(m.text("Spamlimittxt"), QString());
    QCOMPARE(m.number("SpamLimitUD"), 0);
    // Every box of the seventeen switches its own edit.
    for (const char* box : {"ServerPWchk", "SpectatorPWchk", "RconPWchk", "Execchk", "Exec2chk", "Exec3chk",
                            "Exec4chk", "Cvarchk", "Cvar2chk", "Cvar3chk", "Cvar4chk", "Spamlimitchk",
                            "Spampen1chk", "Spampen2chk", "KickTKchk", "KickTKTimechk", "Connectionchk"}) {
        const QString edit = ServerModel::editOfBox(box);
        QVERIFY2(!edit.isEmpty(), box);
        m.setChecked(box, true);
        m.setText(edit, "7");
        QVERIFY(m.editEnabled(edit));
        m.setChecked(box, false);
        QVERIFY(!m.editEnabled(edit));
        QCOMPARE(m.text(edit), QString());
    }
}

void TestServerConfig::numberText_data() {
    QTest::addColumn<QString>("upDown");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("in range") << "MaxPlayersUD"
                              << "20" << 20;
    QTest::newRow("empty gives 0") << "MaxPlayersUD"
                                   << "" << 0;
    QTest::newRow("letters keep last") << "MaxPlayersUD"
                                       << "x" << 16;
    QTest::newRow("out of range keeps last") << "MaxPlayersUD"
                                             << "40" << 16;
    QTest::newRow("negative limit") << "SoldierlmtUD"
                                    << "-1" << -1;
    QTest::newRow("empty without 0 in range keeps last") << "mgarmorud"
                                                         << "" << 50;
}

void TestServerConfig::numberText() {
    QFETCH(QString, upDown);
    QFETCH(QString, text);
    QFETCH(int, value);
    ServerModel m;
    m.setText(findSetting(upDown)->editName(), text);
    QCOMPARE(m.number(upDown), value);
}

void TestServerConfig::helpTypeNames() {
    ServerModel m;
    QCOMPARE(m.text("HelpTypetxt"), QStringLiteral("MOTD and Console"));
    QCOMPARE(m.number("HelpTypeUD"), 2);
    m.stepNumber("HelpTypeUD", -1);
    QCOMPARE(m.text("HelpTypetxt"), QStringLiteral("Console output only"));
    m.setText("HelpTypetxt", "0");
    QCOMPARE(m.text("HelpTypetxt"), QStringLiteral("MOTD style only"));
    QCOMPARE(m.number("HelpTypeUD"), 0);
    m.setText("HelpTypetxt", "7");
    QCOMPARE(m.text("HelpTypetxt"), QStringLiteral("7"));
    QCOMPARE(m.number("HelpTypeUD"), 0);
    m.stepNumber("HoverBoardSpeedUD", 1);
    QCOMPARE(m.number("HoverBoardSpeedUD"), 310);
}

void TestServerConfig::loadEdgeCases() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    ServerModel m = loaded(fx,
                           "HOSTNAME \"Big Server\"\r\n"
                           "sv_allowdownload 10\r\n"
                           "sv_allowupload 0\r\n"
                           "allow_spectators True\r\n"
                           "  maxplayers 5\r\n"
                           "mp_timelimit 45 // minutes\r\n"
                           "sv_password \"pw\"\r\n"
                           "rcon_password \"\"\r\n"
                           "mp_teamplay 651\r\n",
                           p);
    QVERIFY(p.log.isEmpty());
    QCOMPARE(m.text("ServerNametxt"), QStringLiteral("Big Server"));
    QVERIFY(m.checked("Downloadschk"));
    QVERIFY(!m.checked("Uploadschk"));
    QVERIFY(!m.checked("Spectatorschk"));
    QCOMPARE(m.number("MaxPlayersUD"), 16);
    QCOMPARE(m.number("MapTimeUD"), 45);
    QVERIFY(m.checked("ServerPWchk"));
    QCOMPARE(m.text("ServerPwtxt"), QStringLiteral("pw"));
    QVERIFY(!m.checked("RconPWchk"));
    QCOMPARE(m.friendlyFire(), 1);
    ServerModel h = loaded(fx, "hostname2 x\r\n", p);
    QCOMPARE(h.text("ServerNametxt"), QStringLiteral("x"));
    // A file of comments only: exec and custom emptied, the rest as it was.
    ServerModel c = dedicated();
    c.setChecked("Execchk", true);
    c.setText("Exectxt", "x.cfg");
    c.setText("ServerNametxt", "keep");
    fx.write("TFC/server.cfg", "// nothing\r\n");
    loadServerConfig(c, fx.paths(), p);
    QCOMPARE(c.text("Exectxt"), QString());
    QCOMPARE(c.text("ServerNametxt"), QStringLiteral("keep"));
}

void TestServerConfig::loadNumbersAndErrors_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("maxplayers");
    QTest::addColumn<QString>("error"); // empty: none
    QTest::newRow("99 brought to 32") << QByteArray("maxplayers \"99\"") << 32 << "";
    QTest::newRow("empty value") << QByteArray("maxplayers \"\"\r\nmp_timelimit 1") << 16
                                 << "'' is not a valid integer value";
    QTest::newRow("letters") << QByteArray("sv_timeout 5\r\nmaxplayers abc\r\nmaxplayers 3") << 16
                             << "'abc' is not a valid integer value";
    QTest::newRow("tab separated") << QByteArray("maxplayers\t12") << 12 << "";
    QTest::newRow("tab-aligned comment") << QByteArray("maxplayers 12\t\t\t// players") << 12 << "";
}

void TestServerConfig::loadNumbersAndErrors() {
    QFETCH(QByteArray, file);
    QFETCH(int, maxplayers);
    QFETCH(QString, error);
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    fx.write("TFC/server.cfg", file);
    ServerModel m = dedicated();
    if (error.isEmpty()) {
        loadServerConfig(m, fx.paths(), p);
    } else {
        try {
            loadServerConfig(m, fx.paths(), p);
            QFAIL("no error");
        } catch (const ConversionError& e) {
            QCOMPARE(e.text(), error);
        }
    }
    QCOMPARE(m.number("MaxPlayersUD"), maxplayers);
    if (QByteArray(QTest::currentDataTag()) == "letters") QCOMPARE(m.number("TimeoutUD"), 5);
}

void TestServerConfig::loadRates() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    ServerModel fast = loaded(fx, "sv_minrate 4000\r\nsv_maxrate \"8000\"\r\n", p);
    QCOMPARE(fast.rateItem(), 1);
    QCOMPARE(fast.text("MinRatetxt"), QStringLiteral("4000"));
    QCOMPARE(fast.text("MaxRatetxt"), QStringLiteral("8000"));
    QVERIFY(!fast.editEnabled("MinRatetxt"));
    ServerModel custom = loaded(fx, "sv_minrate 3000\r\nsv_maxrate 8000\r\n", p);
    QCOMPARE(custom.rateItem(), 3);
    QCOMPARE(custom.text("MinRatetxt"), QStringLiteral("3000"));
    QCOMPARE(custom.text("MaxRatetxt"), QStringLiteral("8000"));
    QVERIFY(custom.editEnabled("MaxRatetxt"));
}

void TestServerConfig::loadExecAndCustom() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    ServerModel m = loaded(
        fx,
        "exec myconfig.cfg\r\nexec \"b.cfg\"\r\nexec c.cfg\r\nexec d.cfg\r\nexec e.cfg\r\n"
        "//custom cvar\r\n\"sv_gravity 800\"\r\n//custom cvar\r\n\"mp_footsteps 1\"\r\n//custom cvar\r\n",
        p);
    QCOMPARE(m.text("Exectxt"), QStringLiteral("myconfig.cfg"));
    QCOMPARE(m.text("Exec2txt"), QStringLiteral("b.cfg"));
    QCOMPARE(m.text("Exec4txt"), QStringLiteral("d.cfg"));
    QVERIFY(m.checked("Exec4chk"));
    QCOMPARE(m.text("Cvartxt"), QStringLiteral("sv_gravity 800"));
    QCOMPARE(m.text("Cvar2txt"), QStringLiteral("mp_footsteps 1"));
    QVERIFY(m.checked("Footstepschk"));
    // The marker on the last line gives nothing.
    QCOMPARE(m.text("Cvar3txt"), QString());
    QVERIFY(!m.checked("Cvar3chk"));
}

void TestServerConfig::loadPluginFiles() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    fx.write("TFC/addons/neotf/ntf_cvars.cfg", "ntf_hoverboard_armordrain 40\r\nntf_hoverboard_armor "
                                               "20\r\nntf_mg_armor 0\r\nntf_feature_radar 1\r\n");
    fx.write("TFC/addons/adminmod/config/adminmod.cfg",
             "password_field \"_pw\"\r\nreserve_slots_msg \"full\"\r\nreserve_slots 4\r\ndefault_access "
             "7\r\nuse_regex 1\r\n");
    ServerModel m = loaded(fx,
                           "exec addons/adminmod/config/adminmod.cfg\r\nexec "
                           "addons/neotf/ntf_cvars.cfg\r\nexec ntf_cvars.cfg\r\n",
                           p);
    QVERIFY(p.log.isEmpty());
    QCOMPARE(m.number("hoverboardusearmorud"), 40);
    QCOMPARE(m.number("hoverboardbuildarmorud"), 20);
    QCOMPARE(m.number("mgarmorud"), 5);
    QVERIFY(m.checked("Radarchk"));
    QCOMPARE(m.text("AdminPasstxt"), QStringLiteral("_pw"));
    QCOMPARE(m.text("Slotstxt"), QStringLiteral("full"));
    QCOMPARE(m.number("AdminSlotsAmountUD"), 4);
    QCOMPARE(m.text("AdminAccesstxt"), QStringLiteral("7"));
    QVERIFY(m.checked("AdminRegexchk"));

    p.log.clear();
    loaded(fx, "exec other/adminmod.cfg\r\n", p);
    QCOMPARE(p.texts(),
             QStringList{"Error loading your AdminMod config file, expected path: " + fx.root() +
                         "TFC/other/adminmod.cfg Please select your settings and click the \"Save Settings\" "
                         "button to save your options."});
    p.log.clear();
    ServerModel listen;
    listen.serverKind = ServerModel::ServerKind::Listen;
    loadServerConfig(listen, fx.paths(), p);
    QCOMPARE(p.texts(),
             QStringList{"Error loading your server config file, expected path: " + fx.root() +
                         "TFC/listenserver.cfg Please select your settings and click the \"Save Settings\" "
                         "button to save your options."});
    p.log.clear();
    ServerModel none;
    loadServerConfig(none, fx.paths(), p);
    QCOMPARE(p.texts(), QStringList{"You must either select a \"Dedicated Server\" or a \"Listen Server\"."});
}

void TestServerConfig::roundTrip() {
    test::FixtureInstall fx;
    QDir().mkpath(fx.path("TFC/cfg"));
    test::ScriptedPrompter p;
    ServerModel m = dedicated();
    m.setText("ServerNametxt", "Round \"Trip\"");
    m.setChecked("RconPWchk", true);
    m.setText("Rconpwtxt", "rc");
    m.setNumber("MaxPlayersUD", 24);
    m.setNumber("PyrolmtUD", -1);
    m.setRateItem(2);
    m.setFriendlyFire(2);
    m.setChecked("Voicechk", true);
    m.setChecked("Execchk", true);
    m.setText("Exectxt", "cfg/adminmod.cfg");
    m.setChecked("Cvarchk", true);
    m.setText("Cvartxt", "sv_gravity 600");
    m.setText("AdminPasstxt", "_x");
    m.setText("Connecttxt", "hi there");
    m.setNumber("AdminKickUD", 55);
    m.setChecked("AdminFXchk", true);
    m.setText("AdminAccesstxt", "3");
    saveServerConfig(m, fx.paths(), p);
    const QByteArray server = fx.read("TFC/server.cfg");
    const QByteArray admin = fx.read("TFC/cfg/adminmod.cfg");

    ServerModel back = dedicated();
    loadServerConfig(back, fx.paths(), p);
    QVERIFY(p.log.isEmpty());
    for (const char* e : {"Rconpwtxt", "Exectxt", "Cvartxt", "AdminPasstxt", "Connecttxt", "AdminAccesstxt"})
        QCOMPARE(back.text(e), m.text(e));
    QCOMPARE(back.text("ServerNametxt"),
             QStringLiteral("Round ")); // a quote inside a name ends the quoted value
    QCOMPARE(back.number("MaxPlayersUD"), 24);
    QCOMPARE(back.number("PyrolmtUD"), -1);
    QCOMPARE(back.rateItem(), 2);
    QCOMPARE(back.friendlyFire(), 2);
    QVERIFY(back.checked("Voicechk"));
    QVERIFY(back.checked("Spamlimitchk")); // the writer always writes the penalties
    QCOMPARE(back.text("Cvartxt"), QStringLiteral("sv_gravity 600"));
    QCOMPARE(back.text("AdminAccesstxt"), QStringLiteral("3"));
    QCOMPARE(back.number("AdminKickUD"), 55);
    // Saved again, the files are the same but for the name that lost its tail.
    back.setText("ServerNametxt", m.text("ServerNametxt"));
    back.setChecked("Spamlimitchk", false);
    for (const char* b : {"Spampen1chk", "Spampen2chk", "KickTKchk", "KickTKTimechk", "Connectionchk"})
        back.setChecked(b, false);
    saveServerConfig(back, fx.paths(), p);
    QCOMPARE(fx.read("TFC/server.cfg"), server);
    QCOMPARE(fx.read("TFC/cfg/adminmod.cfg"), admin);
}

void TestServerConfig::realWorldFiles() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    fx.write("TFC/addons/adminmod/config/adminmod.cfg",
             "password_field   _pw-home\r\nadmin_quiet\t\t1\r\nips_file \"ips.ini\"  // list\r\nvote_freq  "
             "600\r\n");
    ServerModel m = loaded(fx,
                           "\xEF\xBB\xBFhostname \"Tabbed\"\r\n"
                           "sv_timeout 120\t\t\t// Sets the timeout\r\n"
                           "fakelag\t0\r\n"
                           "sv_lan\t1\r\n"
                           "mp_timelimit\t25\t// minutes\r\n"
                           "exec addons/adminmod/config/adminmod.cfg\r\n",
                           p);
    QVERIFY(p.log.isEmpty());
    QCOMPARE(m.text("ServerNametxt"), QStringLiteral("Tabbed"));
    QCOMPARE(m.number("TimeoutUD"), 120);
    QCOMPARE(m.number("MapTimeUD"), 25);
    QVERIFY(m.checked("Lanchk"));
    QCOMPARE(m.text("AdminPasstxt"), QStringLiteral("_pw-home"));
    QCOMPARE(m.number("AdminQuietUD"), 1);
    QCOMPARE(m.text("Ipstxt"), QStringLiteral("ips.ini"));
    QCOMPARE(m.number("AdminVoteFreqUD"), 600);
    // The admin password field survives a save and a load.
    QDir().mkpath(fx.path("TFC"));
    saveServerConfig(m, fx.paths(), p);
    QVERIFY(fx.read("TFC/addons/adminmod/config/adminmod.cfg").startsWith("password_field   _pw-home\r\n"));
    ServerModel again = dedicated();
    loadServerConfig(again, fx.paths(), p);
    QCOMPARE(again.text("AdminPasstxt"), QStringLiteral("_pw-home"));
}

void TestServerConfig::hostileFiles() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    QByteArray big;
    for (int i = 0; i < 2500; ++i)
        big += "// line\r\n";
    big += "maxplayers 7\r\nhostname \"" + QByteArray(1 << 20, 'n') +
           "\"\r\nsv_password \"\xE9t\xE9\"\r\nrcon_password \"\r\n";
    ServerModel m = loaded(fx, big, p);
    QCOMPARE(m.number("MaxPlayersUD"), 7);
    QCOMPARE(m.text("ServerNametxt").size(), 1 << 20);
    QCOMPARE(m.text("ServerPwtxt"), QString::fromLatin1("\xE9t\xE9"));
    QVERIFY(!m.checked("RconPWchk")); // a lone quote gives an empty password
    QDir().mkpath(fx.path("TFC"));
    m.setText("ServerNametxt", "x");
    saveServerConfig(m, fx.paths(), p);
    QVERIFY(fx.read("TFC/server.cfg").contains("sv_password \"\xE9t\xE9\"\r\n"));
}

void TestServerConfig::operatorFileKeepsItsLines_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no change") << ""
                               << "" << kOperatorCfg;
    QByteArray hostname = kOperatorCfg;
    hostname.replace("hostname\t\t\"[EU] Tarrow 2fort 24/7\"", "hostname \"New name\"");
    QTest::newRow("hostname") << "ServerNametxt"
                              << "New name" << hostname;
    QByteArray maxrate = kOperatorCfg;
    maxrate.replace("sv_maxrate\t\t100000", "sv_maxrate \"25000\"");
    QTest::newRow("max rate") << "MaxRatetxt"
                              << "25000" << maxrate;
    QByteArray exec2 = kOperatorCfg;
    exec2.replace("exec  listip.cfg // ip bans", "exec \"mybans.cfg\"");
    QTest::newRow("second exec slot") << "Exec2txt"
                                      << "mybans.cfg" << exec2;
    QTest::newRow("a setting the file lacks is added at the end")
        << "Spectatorschk"
        << "1" << kOperatorCfg + "\r\nallow_spectators \"1\"\r\n";
}

void TestServerConfig::operatorFileKeepsItsLines() {
    QFETCH(QString, control);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    ServerModel m = loaded(fx, kOperatorCfg, p);
    // Values the page cannot show are kept, and an edit holds the whole value.
    QCOMPARE(m.text("MaxRatetxt"), QStringLiteral("100000"));
    QCOMPARE(m.text("Exectxt"), QStringLiteral("banned.cfg"));
    QCOMPARE(m.text("Exec2txt"), QStringLiteral("listip.cfg"));
    if (control.endsWith("chk"))
        m.setChecked(control, value == "1");
    else if (!control.isEmpty())
        m.setText(control, value);
    saveServerConfig(m, fx.paths(), p);
    QCOMPARE(fx.read("TFC/server.cfg"), expected);
    // The operator's own lines stay where they were after a second save too.
    saveServerConfig(m, fx.paths(), p);
    QCOMPARE(fx.read("TFC/server.cfg"), expected);
}

void TestServerConfig::programFileSavesAsBefore() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    QDir().mkpath(fx.path("TFC"));
    ServerModel m = dedicated();
    m.setText("ServerNametxt", "Tarrow");
    m.setNumber("MaxPlayersUD", 20);
    m.setChecked("Execchk", true);
    m.setText("Exectxt", "listip.cfg");
    saveServerConfig(m, fx.paths(), p);
    const QByteArray written = fx.read("TFC/server.cfg");
    QCOMPARE(written, joinLinesCrLf(serverFileLines(m)));
    // Loaded and saved again, with one change, only that line differs.
    ServerModel back = dedicated();
    loadServerConfig(back, fx.paths(), p);
    saveServerConfig(back, fx.paths(), p);
    QCOMPARE(fx.read("TFC/server.cfg"), written);
    back.setNumber("MaxPlayersUD", 12);
    saveServerConfig(back, fx.paths(), p);
    QByteArray expected = written;
    expected.replace("maxplayers \"20\"", "maxplayers \"12\"");
    QCOMPARE(fx.read("TFC/server.cfg"), expected);
    QCOMPARE(fx.read("TFC/server.cfg"), joinLinesCrLf(serverFileLines(back)));
}

void TestServerConfig::execFileNames_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QByteArray("exec listip.cfg") << "listip.cfg";
    QTest::newRow("two blanks") << QByteArray("exec  listip.cfg") << "listip.cfg";
    QTest::newRow("tabs") << QByteArray("exec\t\tbanned.cfg") << "banned.cfg";
    QTest::newRow("comment") << QByteArray("exec listip.cfg // ip bans") << "listip.cfg";
    QTest::newRow("trailing tab") << QByteArray("exec addons/adminmod/config/adminmod.cfg\t")
                                  << "addons/adminmod/config/adminmod.cfg";
    QTest::newRow("quoted") << QByteArray("exec \"my bans.cfg\" // x") << "my bans.cfg";
}

void TestServerConfig::execFileNames() {
    QFETCH(QByteArray, line);
    QFETCH(QString, name);
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    QDir().mkpath(fx.path("TFC/addons/adminmod/config"));
    fx.write("TFC/addons/adminmod/config/adminmod.cfg", "admin_quiet 1\r\n");
    const ServerModel m = loaded(fx, line + "\r\n", p);
    QCOMPARE(m.text("Exectxt"), name);
}

void TestServerConfig::saveMergesIntoTheFileAsItIsNow() {
    // Another window or `tarrow` changes a line the page did not load; the page then saves its own
    // change: both survive.
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    ServerModel m = loaded(fx, "hostname \"Old\"\r\nsv_gravity 800\r\n", p);
    fx.write("TFC/server.cfg", "hostname \"Old\"\r\nsv_gravity 600\r\n");
    m.setText("ServerNametxt", "New");
    saveServerConfig(m, fx.paths(), p);
    const QByteArray saved = fx.read("TFC/server.cfg");
    QVERIFY2(saved.startsWith("hostname \"New\"\r\nsv_gravity 600\r\n"), saved.constData());
}

QTEST_GUILESS_MAIN(TestServerConfig)
#include "tst_serverconfig.moc"
