#include "launcher/commandline.h"
#include "launcher/mapcycle.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"

#include <QtTest>

using namespace tarrow;

class TestLauncher : public QObject {
    Q_OBJECT
  private slots:
    void plan_data();
    void plan();
    void windowsArguments_data();
    void windowsArguments();
    void startThroughWine();
    void mapcycleReading();
    void removeSelection_data();
    void removeSelection();
    void overviews();
};

void TestLauncher::plan_data() {
    QTest::addColumn<QString>("kind"); // d, l or empty
    QTest::addColumn<QString>("map");
    QTest::addColumn<QString>("maxPlayers");
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("parameters");
    const QString connectMsg = "You can not select a 'Dedicated Server' and use the '+connect' switch, "
                               "please remove the switch or change to a listen server.";
    const QString mapMsg = "You must select a 'Server Starting Map'.";
    const QString kindMsg = "You must either select a \"Dedicated Server\" or a \"Listen Server\".";
    QTest::newRow("example") << "d"
                             << "mymap.bsp"
                             << "16"
                             << ""
                             << ""
                             << "hlds.exe"
                             << " -console -game TFC +map mymap +maxplayers 16 ";
    QTest::newRow("dedicated with +connect") << "d"
                                             << "mymap.bsp"
                                             << "16"
                                             << "+connect 1.2.3.4" << connectMsg << ""
                                             << "";
    QTest::newRow("+connect inside a word") << "d"
                                            << "mymap.bsp"
                                            << "16"
                                            << "x+connectx" << connectMsg << ""
                                            << "";
    QTest::newRow("capital letters are not +connect") << "d"
                                                      << "m.bsp"
                                                      << "16"
                                                      << "+CONNECT"
                                                      << ""
                                                      << "hlds.exe"
                                                      << " -console -game TFC +map m +maxplayers 16 +CONNECT";
    QTest::newRow("listen, no map, +connect") << "l"
                                              << ""
                                              << "16"
                                              << "+connect 10.0.0.1:27015"
                                              << ""
                                              << "hl.exe"
                                              << " -console -game TFC +maxplayers 16 +connect 10.0.0.1:27015";
    QTest::newRow("listen, map and +connect") << "l"
                                              << "2fort.bsp"
                                              << "8"
                                              << "+connect a"
                                              << ""
                                              << "hl.exe"
                                              << " -console -game TFC +map 2fort +maxplayers 8 +connect a";
    QTest::newRow("dedicated, no map") << "d"
                                       << ""
                                       << "16"
                                       << "" << mapMsg << ""
                                       << "";
    QTest::newRow("no kind, map chosen") << ""
                                         << "2fort.bsp"
                                         << "16"
                                         << "" << kindMsg << ""
                                         << "";
    QTest::newRow("no kind, no map") << ""
                                     << ""
                                     << "16"
                                     << "" << mapMsg << ""
                                     << "";
    QTest::newRow("empty max players") << "d"
                                       << "well.bsp"
                                       << ""
                                       << "-port 27016"
                                       << ""
                                       << "hlds.exe"
                                       << " -console -game TFC +map well +maxplayers  -port 27016";
    QTest::newRow("map with blanks, capital extension") << "d"
                                                        << "my map.BSP"
                                                        << "16"
                                                        << ""
                                                        << ""
                                                        << "hlds.exe"
                                                        << " -console -game TFC +map my map +maxplayers 16 ";
    QTest::newRow("program missing") << "l"
                                     << "well.bsp"
                                     << "16"
                                     << ""
                                     << "There was an error starting @ROOT@hl.exe the file does not exist."
                                     << ""
                                     << "";
}

void TestLauncher::plan() {
    QFETCH(QString, kind);
    QFETCH(QString, map);
    QFETCH(QString, maxPlayers);
    QFETCH(QString, commandLine);
    QFETCH(QString, message);
    QFETCH(QString, program);
    QFETCH(QString, parameters);
    test::FixtureInstall fx;
    fx.write("hlds.exe", "x");
    if (QByteArray(QTest::currentDataTag()) != "program missing") fx.write("hl.exe", "x");
    LaunchInput in;
    in.dedicated = kind == "d";
    in.listen = kind == "l";
    if (!map.isEmpty()) in.startMap = map;
    in.maxPlayersText = maxPlayers;
    in.commandLine = commandLine;
    in.installRoot = fx.root();
    in.modFolder = "TFC";
    const LaunchPlan p = planLaunch(in);
    QCOMPARE(p.message, QString(message).replace("@ROOT@", fx.root()));
    QCOMPARE(p.focusMapList, message.startsWith("You must select a"));
    QCOMPARE(p.program, program.isEmpty() ? QString() : fx.root() + program);
    QCOMPARE(p.parameters, parameters);
    if (!program.isEmpty()) QCOMPARE(p.workingDirectory, fx.root());
}

void TestLauncher::windowsArguments_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("args");
    QTest::newRow("plain") << " -console -game TFC +map my map +maxplayers 16 "
                           << QStringList{"-console", "-game", "TFC",         "+map",
                                          "my",       "map",   "+maxplayers", "16"};
    QTest::newRow("quotes group") << "+hostname \"My Server\" x"
                                  << QStringList{"+hostname", "My Server", "x"};
    QTest::newRow("escaped quote") << "a\\\"b c" << QStringList{"a\"b", "c"};
    QTest::newRow("backslashes kept") << "C:\\Games\\x" << QStringList{"C:\\Games\\x"};
    QTest::newRow("empty quotes") << "\"\" a" << QStringList{"", "a"};
}

void TestLauncher::windowsArguments() {
    QFETCH(QString, line);
    QFETCH(QStringList, args);
    QCOMPARE(splitWindowsCommandLine(line), args);
}

void TestLauncher::startThroughWine() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    test::RecordingShell shell;
    LaunchPlan plan;
    plan.program = fx.root() + "hlds.exe";
    plan.parameters = " -console -game TFC +map 2fort +maxplayers 16 ";
    plan.workingDirectory = fx.root();
    QVERIFY(!startLaunchPlan(plan, shell, p, [] { return QString(); }));
    QCOMPARE(p.texts(), QStringList{wineMissingMessage(fx.root() + "hlds.exe")});
    QVERIFY(shell.opened.isEmpty());
    QVERIFY(startLaunchPlan(plan, shell, p, [] { return QStringLiteral("/usr/bin/wine"); }));
    QCOMPARE(shell.opened, QStringList{"start /usr/bin/wine|" + fx.root() +
                                       "hlds.exe|-console|-game|TFC|+map|2fort|+maxplayers|16|" + fx.root()});
}

void TestLauncher::mapcycleReading() {
    QCOMPARE(mapcycleEntries({"//Mapcycle created by Tarrow Gui 1.00", "2fort", "", "   ", "  // comment",
                              "  well", "\trock2"}),
             (QStringList{"2fort", "  well", "\trock2"}));
    QCOMPARE(mapcycleHeader(), QStringLiteral("//Mapcycle created by Tarrow Gui 1.00"));
    QCOMPARE(mapcycleMissingMessage(InstallPaths("/hl/", "TFC", {}, ServerPlatform::Windows)),
             QStringLiteral("Your Mapcycle.txt was not found, expected path: /hl/TFC/mapcycle.txt  If you "
                            "wish to create a new one "
                            "in this directory /hl/TFC/  just add maps from the list to the right and click "
                            "the Save Mapcycle button."));
}

void TestLauncher::removeSelection_data() {
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<int>("select"); // -1: list empty
    QTest::newRow("middle") << QList<int>{1} << QStringList{"a", "c", "d"} << 1;
    QTest::newRow("last selects new last") << QList<int>{3} << QStringList{"a", "b", "c"} << 2;
    QTest::newRow("several") << QList<int>{0, 2} << QStringList{"b", "d"} << 0;
    QTest::newRow("all") << QList<int>{0, 1, 2, 3} << QStringList{} << -1;
    QTest::newRow("nothing selected") << QList<int>{} << QStringList{"a", "b", "c", "d"} << 0;
}

void TestLauncher::removeSelection() {
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, left);
    QFETCH(int, select);
    QStringList entries{"a", "b", "c", "d"};
    const auto chosen = removeRows(entries, rows);
    QCOMPARE(entries, left);
    QCOMPARE(chosen.value_or(-1), select);
}

void TestLauncher::overviews() {
    test::FixtureInstall fx;
    QVERIFY(!mapOverview(fx.paths(), "2fort.bsp"));
    fx.write("TFC/overviews/2fort.bmp", "x");
    QCOMPARE(*mapOverview(fx.paths(), "2fort.bsp"), fx.root() + "TFC\\overviews\\2fort.bmp");
    fx.write("TFC/overviews/2fort.gif", "x");
    QCOMPARE(*mapOverview(fx.paths(), "2FORT.BSP"), fx.root() + "TFC\\overviews\\2FORT.gif");
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
