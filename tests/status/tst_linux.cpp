#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/settingsstore.h"
#include "gamefiles/rebuild.h"
#include "launcher/commandline.h"
#include "status/actions.h"
#include "status/detection.h"
#include "status/loaderchain.h"
#include "support/fixtureinstall.h"
#include "support/loaderlines.h"

#include <QtTest>

using namespace tarrow;
using namespace tarrow::test;

namespace {

using Files = QMap<QString, QByteArray>;

// A dedicated server as steamcmd installs it: hlds_run, .so libraries (empty placeholders), no sierra.inf.
void steamcmdInstall(test::FixtureInstall& fx) {
    fx.write("hlds_run", "#!/bin/sh\n");
    fx.write("hlds_linux", "");
    fx.write("steamapps/appmanifest_90.acf",
             "\"AppState\"\n{\n\t\"appid\"\t\t\"90\"\n\t\"buildid\"\t\t\"6153\"\n}\n");
    for (const char* f : {"TFC/dlls/tfc.so", "tarrow/tarrow_i386.so", "TFC/addons/metamod/dlls/metamod.so",
                          "TFC/addons/adminmod/dlls/admin_MM_i386.so", "TFC/addons/neotf/dlls/ntf_i486.so",
                          "tarrow/TFC/tarrow.cfg", "tarrow/TFC/default.cfg", "tarrow/TFC/tarrow_names.txt",
                          "tarrow/TFC/tarrow_chat.txt", "tarrow/Tarrow_Documentation.chm",
                          "TFC/addons/adminmod/config/plugin.ini", "TFC/addons/adminmod/config/users.ini",
                          "TFC/addons/neotf/ntf_users.ini", "TFC/addons/neotf/ntf_cvars.cfg"})
        fx.write(f, "");
    fx.write("TFC/liblist.gam", crlfLines({"game \"tfc\"", kModGame, "gamedll_linux \"dlls/tfc.so\"", kOsx}));
}

InstallPaths pathsOf(const test::FixtureInstall& fx, const ComponentSettings& s) {
    return fx.paths(s);
}

} // namespace

class TestLinux : public QObject {
    Q_OBJECT
  private slots:
    void platformOfAnInstallation_data();
    void platformOfAnInstallation();
    void reportOfASteamcmdServer();
    void actions_data();
    void actions();
    void statementsTakeTheOnDiskSpelling_data();
    void statementsTakeTheOnDiskSpelling();
    void rebuildKeepsTheLinuxLine();
    void launcherStartsHldsRun();
    void loaderChain_data();
    void loaderChain();
};

void TestLinux::platformOfAnInstallation_data() {
    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("expected");
    QTest::newRow("hlds.exe") << QStringList{"hlds.exe"} << "linux"
                              << "windows";
    QTest::newRow("hl.exe") << QStringList{"hl.exe"} << ""
                            << "windows";
    QTest::newRow("hlds_run") << QStringList{"hlds_run"} << "windows"
                              << "linux";
    QTest::newRow("hlds_linux and hl.exe") << QStringList{"hlds_linux", "hl.exe"} << ""
                                           << "linux";
    QTest::newRow("both servers: the setting") << QStringList{"hlds.exe", "hlds_run"} << "linux"
                                               << "linux";
    QTest::newRow("nothing, auto") << QStringList{} << "auto"
                                   << "windows";
    QTest::newRow("nothing, no setting") << QStringList{} << ""
                                         << "windows";
    QTest::newRow("nothing, linux") << QStringList{} << "Linux"
                                    << "linux";
}

void TestLinux::platformOfAnInstallation() {
    QFETCH(QStringList, programs);
    QFETCH(QString, setting);
    QFETCH(QString, expected);
    test::FixtureInstall fx;
    for (const QString& p : programs)
        fx.write(p, "");
    if (!setting.isEmpty()) fx.settings().write(kTarrowKey, kPlatformValue, setting);
    QDir().mkpath(fx.root());
    QCOMPARE(QString::fromLatin1(platformName(fx.installation().platform())), expected);
}

void TestLinux::reportOfASteamcmdServer() {
    test::FixtureInstall fx;
    steamcmdInstall(fx);
    // Other spellings on disk, a win32 line beside each linux one, lin32 and LINUX both count.
    QFile::rename(fx.path("TFC/addons/adminmod/dlls/admin_MM_i386.so"),
                  fx.path("TFC/addons/adminmod/dlls/admin_mm.so"));
    fx.write("TFC/liblist.gam", crlfLines({"game \"tfc\"", kModGame, kMmLinux, kOsx}));
    fx.write(
        "TFC/addons/metamod/plugins.ini",
        crlfLines({"win32 ../tarrow/tarrow.dll", "lin32 ../tarrow/tarrow_i386.so",
                   "win32 addons/adminmod/dlls/admin_mm.dll", "LINUX\taddons/Adminmod/dlls/admin_mm.so "}));
    fx.write("TFC/autoexec.cfg", "echo\r\n");
    ComponentSettings s;
    const InstallPaths p = pathsOf(fx, s);
    QCOMPARE(p.platform, ServerPlatform::Linux);
    QCOMPARE(nativePath(p.adminmodLibrary), fx.path("TFC/addons/adminmod/dlls/admin_mm.so"));
    const Detection d = detectComponents(p, s);
    QVERIFY(d.flags.MetamodLoaded && d.flags.TarrowLoaded && d.flags.AdminmodLoaded && !d.flags.NeotfLoaded);
    QCOMPARE(d.report[Component::Tarrow].installed, InstallState::Present);
    QCOMPARE(d.report[Component::Mod].loaded, LoadState::Yes);
    QCOMPARE(d.cells.metamodInstalled,
             QStringLiteral(
                 " <font color=\"#800080\" title=\"Linux libraries carry no version record\">Installed"));
    QCOMPARE(d.cells.modInstalled, QStringLiteral(" <font color=\"#800080\">TFC"));
    QCOMPARE(d.cells.engineVersionLine, QStringLiteral("HL Build: 6153<br>"));
    QVERIFY(d.report[Component::Tarrow].notes.isEmpty());

    // Without the .so the library note names the Linux file.
    QFile::remove(fx.path("tarrow/tarrow_i386.so"));
    const Detection missing = detectComponents(pathsOf(fx, s), s);
    QCOMPARE(missing.report[Component::Tarrow].notes.first().kind, NoteKind::MissingLibrary);
    QCOMPARE(missing.report[Component::Tarrow].notes.first().file, QStringLiteral("tarrow_i386.so"));
}

void TestLinux::actions_data() {
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<Files>("before");
    QTest::addColumn<Files>("after");
    const QString LIB = "TFC/liblist.gam", PLUG = "TFC/addons/metamod/plugins.ini", AUTO = "TFC/autoexec.cfg",
                  NTF = "TFC/addons/neotf/ntf_config.txt";
    const QByteArray game = "gamedll_linux \"dlls/tfc.so\"";
    const QByteArray bot = "gamedll_linux \"../tarrow/tarrow_i386.so\"";
    const QByteArray ntf = "gamedll_linux \"addons/neotf/dlls/ntf_i486.so\"";
    QTest::newRow("Tarrow load: only the Linux line changes")
        << "Tar.html"
        << "" << Files{{LIB, crlfLines({"game \"tfc\"", kModGame, game, kOsx})}}
        << Files{{LIB, crlfLines({"game \"tfc\"", kModGame, bot, kOsx})}};
    QTest::newRow("Tarrow unload") << "Tar"
                                   << "T" << Files{{LIB, crlfLines({kModGame, bot})}}
                                   << Files{{LIB, crlfLines({kModGame, game})}};
    QTest::newRow("Metamod load moves the bot to a linux line")
        << "MM.html"
        << "T" << Files{{LIB, crlfLines({kModGame, bot})}, {PLUG, crlfLines({"win32 ../tarrow/tarrow.dll"})}}
        << Files{{LIB, crlfLines({kModGame, kMmLinux})},
                 {PLUG, crlfLines({"linux ../tarrow/tarrow_i386.so", "win32 ../tarrow/tarrow.dll"})}};
    QTest::newRow("Tarrow off under Metamod")
        << "Tar.html"
        << "TM" << Files{{PLUG, crlfLines({"win32 ../tarrow/tarrow.dll", "linux ../tarrow/tarrow_i386.so"})}}
        << Files{{PLUG, crlfLines({"//linux ../tarrow/tarrow_i386.so", "win32 ../tarrow/tarrow.dll"})}};
    QTest::newRow("Admin Mod off under Metamod")
        << "AM.html"
        << "MA" << Files{{PLUG, crlfLines({"linux addons/Adminmod/dlls/admin_MM_i386.so"})}}
        << Files{{PLUG, crlfLines({"//linux addons/adminmod/dlls/admin_MM_i386.so"})}};
    QTest::newRow("NeoTF under Metamod")
        << "NTF.html"
        << "M"
        << Files{{LIB, crlfLines({kMmLinux})}, {AUTO, crlfLines({"echo"})}, {NTF, crlfLines({"tfc.so"})}}
        << Files{{AUTO, crlfLines({"echo", "localinfo mm_gamedll addons/neotf/dlls/ntf_i486.so"})},
                 {NTF, crlfLines({"tfc.so"})}};
    QTest::newRow("NeoTF as the game library")
        << "NTF.html"
        << "" << Files{{LIB, crlfLines({kModGame, game})}, {NTF, crlfLines({"tfc.dll"})}}
        << Files{{LIB, crlfLines({kModGame, ntf})}, {NTF, crlfLines({"tfc.so"})}};
}

void TestLinux::actions() {
    QFETCH(QString, location);
    QFETCH(QString, flags);
    QFETCH(Files, before);
    QFETCH(Files, after);
    test::FixtureInstall fx;
    steamcmdInstall(fx);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        fx.write(it.key(), it.value());
    LoadFlags f;
    f.TarrowLoaded = flags.contains('T');
    f.MetamodLoaded = flags.contains('M');
    f.AdminmodLoaded = flags.contains('A');
    f.NeotfLoaded = flags.contains('N');
    ComponentSettings s;
    applyClickAction(clickedComponent(location), f, pathsOf(fx, s), s);
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        QCOMPARE(fx.read(it.key()), it.value());
}

void TestLinux::statementsTakeTheOnDiskSpelling_data() {
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("line");
    // On disk: "Tarrow/", "DLLS/", "addons/metamod/", "addons/adminmod/", "addons/NeoTF/"; the settings
    // say "tarrow", "dlls", "addons\\Metamod\\", "addons/Adminmod/", "addons/neotf/".
    const QString LIB = "TFC/liblist.gam", PLUG = "TFC/addons/metamod/plugins.ini", AUTO = "TFC/autoexec.cfg",
                  NTF = "TFC/addons/NeoTF/ntf_config.txt";
    QTest::newRow("bot as the game library")
        << "Tar.html"
        << "" << LIB << QByteArray("gamedll_linux \"../Tarrow/tarrow_i386.so\"");
    QTest::newRow("the mod's library") << "Tar"
                                       << "T" << LIB << QByteArray("gamedll_linux \"DLLS/tfc.so\"");
    QTest::newRow("Metamod") << "MM.html"
                             << "" << LIB
                             << QByteArray("gamedll_linux \"addons/metamod/dlls/metamod_i386.so\"");
    QTest::newRow("bot under Metamod") << "Tar.html"
                                       << "M" << PLUG << QByteArray("linux ../Tarrow/tarrow_i386.so");
    QTest::newRow("Admin Mod") << "AM.html"
                               << "M" << PLUG << QByteArray("linux addons/adminmod/dlls/admin_MM_i386.so");
    QTest::newRow("NeoTF as the game library")
        << "NTF.html"
        << "" << LIB << QByteArray("gamedll_linux \"addons/NeoTF/dlls/ntf_i486.so\"");
    QTest::newRow("NeoTF under Metamod")
        << "NTF.html"
        << "M" << AUTO << QByteArray("localinfo mm_gamedll addons/NeoTF/dlls/ntf_i486.so");
    QTest::newRow("bot under NeoTF") << "Tar.html"
                                     << "N" << NTF << QByteArray("../../Tarrow/tarrow_i386.so");
}

void TestLinux::statementsTakeTheOnDiskSpelling() {
    QFETCH(QString, location);
    QFETCH(QString, flags);
    QFETCH(QString, file);
    QFETCH(QByteArray, line);
    test::FixtureInstall fx;
    fx.write("hlds_run", "#!/bin/sh\n");
    for (const char* f :
         {"TFC/DLLS/tfc.so", "Tarrow/tarrow_i386.so", "TFC/addons/metamod/dlls/metamod_i386.so",
          "TFC/addons/adminmod/dlls/admin_MM_i386.so", "TFC/addons/adminmod/config/plugin.ini",
          "TFC/addons/NeoTF/dlls/ntf_i486.so"})
        fx.write(f, "");
    fx.write("TFC/liblist.gam", crlfLines({"gamedll_linux \"DLLS/tfc.so\""}));
    fx.write("TFC/addons/metamod/plugins.ini", crlfLines({"; plug-ins"}));
    fx.write("TFC/autoexec.cfg", crlfLines({"echo"}));
    fx.write("TFC/addons/NeoTF/ntf_config.txt", crlfLines({"tfc.so"}));
    LoadFlags f;
    f.TarrowLoaded = flags.contains('T');
    f.MetamodLoaded = flags.contains('M');
    f.NeotfLoaded = flags.contains('N');
    ComponentSettings s;
    applyClickAction(clickedComponent(location), f, pathsOf(fx, s), s);
    const QList<QByteArray> written = fx.read(file).split('\n');
    QVERIFY2(written.contains(line + "\r"), fx.read(file).constData());
    // Nothing was made beside the folders that exist.
    QVERIFY(!QFileInfo::exists(fx.path("tarrow")));
    QVERIFY(!QFileInfo::exists(fx.path("TFC/addons/Adminmod")));
}

void TestLinux::rebuildKeepsTheLinuxLine() {
    test::FixtureInstall fx;
    steamcmdInstall(fx);
    QDir().mkpath(fx.path("TFC/addons/neotf"));
    ComponentSettings s;
    const QList<RebuildTarget> all = rebuildTargets(fx.paths(s));
    QVERIFY(rebuildTarget(all[1], all, fx.backups()));
    QVERIFY(rebuildTarget(all[3], all, fx.backups()));
    const QStringList lib = splitLines(QString::fromLatin1(fx.read("TFC/liblist.gam")));
    QCOMPARE(lib.at(lib.size() - 2), QStringLiteral("gamedll \"dlls\\tfc.dll\""));
    QCOMPARE(lib.last(), QStringLiteral("gamedll_linux \"dlls/tfc.so\""));
    QCOMPARE(fx.read("TFC/addons/neotf/ntf_config.txt"), QByteArray("tfc.so\r\n"));
}

void TestLinux::launcherStartsHldsRun() {
    test::FixtureInstall fx;
    steamcmdInstall(fx);
    LaunchInput in;
    in.dedicated = true;
    in.startMap = QStringLiteral("2fort.bsp");
    in.maxPlayersText = "16";
    in.installRoot = fx.root();
    in.modFolder = "TFC";
    in.linuxServer = true;
    LaunchPlan plan = planLaunch(in);
    QVERIFY(plan.message.isEmpty());
    QCOMPARE(plan.program, fx.root() + "hlds_run");
    QVERIFY(plan.native);
    QCOMPARE(plan.parameters, QStringLiteral(" -console -game TFC +map 2fort +maxplayers 16 "));
    QFile::remove(fx.path("hlds_run"));
    QCOMPARE(planLaunch(in).program, fx.root() + "hlds_linux");
    in.dedicated = false;
    in.listen = true;
    plan = planLaunch(in);
    QVERIFY2(plan.message.startsWith("A listen server needs the Half-Life client"), qPrintable(plan.message));

    // The Linux server finds its mod folder by the exact name: -game takes the spelling on disk. A
    // Windows server's command line keeps its bytes.
    test::FixtureInstall lower;
    lower.write("hlds_run", "#!/bin/sh\n");
    lower.write("hlds.exe", "");
    lower.write("tfc/liblist.gam", "gamedll_linux \"dlls/tfc.so\"\r\n");
    in.installRoot = lower.root();
    in.dedicated = true;
    in.listen = false;
    QCOMPARE(planLaunch(in).parameters, QStringLiteral(" -console -game tfc +map 2fort +maxplayers 16 "));
    in.linuxServer = false;
    QCOMPARE(planLaunch(in).parameters, QStringLiteral(" -console -game TFC +map 2fort +maxplayers 16 "));
}

void TestLinux::loaderChain_data() {
    QTest::addColumn<Files>("files");
    QTest::addColumn<QStringList>("problems"); // "file:line: start of the text"
    const QString LIB = "TFC/liblist.gam", PLUG = "TFC/addons/metamod/plugins.ini";
    QTest::newRow("clean chain") << Files{{LIB, crlfLines({kModGame, kMmLinux})},
                                          {PLUG, crlfLines({"win32 ../tarrow/tarrow.dll",
                                                            "linux ../tarrow/tarrow_i386.so"})}}
                                 << QStringList{};
    QTest::newRow("missing library") << Files{{LIB, crlfLines({kMmLinux})},
                                              {PLUG, crlfLines({"linux addons/amx/dlls/amx_i386.so"})}}
                                     << QStringList{"plugins.ini:1: names a library that does not exist"};
    QTest::newRow("a .dll in gamedll_linux")
        << Files{{LIB, crlfLines({"gamedll_linux \"dlls/tfc.dll\""})}, {"TFC/dlls/tfc.dll", ""}}
        << QStringList{"liblist.gam:1: names a .dll library"};
    QTest::newRow("only win32 lines")
        << Files{{LIB, crlfLines({kMmLinux})}, {PLUG, crlfLines({"win32 ../tarrow/tarrow.dll"})}}
        << QStringList{"plugins.ini: has only win32 lines"};
    QTest::newRow("a plug-in twice") << Files{{LIB, crlfLines({kMmLinux})},
                                              {PLUG, crlfLines({"linux ../tarrow/tarrow_i386.so", "; x",
                                                                "linux ../tarrow/tarrow_i386.so"})}}
                                     << QStringList{
                                            "plugins.ini:3: lists the plug-in of line 1 a second time"};
    QTest::newRow("two gamedll_linux lines")
        << Files{{LIB, crlfLines({"gamedll_linux \"dlls/tfc.so\"", kMmLinux})}, {PLUG, crlfLines({"; none"})}}
        << QStringList{"liblist.gam:2: is a second gamedll_linux line"};
    QTest::newRow("no path after the platform word")
        << Files{{LIB, crlfLines({kMmLinux})}, {PLUG, crlfLines({"linux", "linux ../tarrow/tarrow_i386.so"})}}
        << QStringList{"plugins.ini:1: has no path after \"linux\""};
}

void TestLinux::loaderChain() {
    QFETCH(Files, files);
    QFETCH(QStringList, problems);
    test::FixtureInstall fx;
    steamcmdInstall(fx);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        fx.write(it.key(), it.value());
    ComponentSettings s;
    const LoaderChain chain = followLoaderChain(pathsOf(fx, s), s);
    QStringList actual;
    for (const ChainProblem& p : chain.problems)
        actual << QFileInfo(nativePath(p.file)).fileName() +
                      (p.line ? ":" + QString::number(p.line) : QString()) + ": " + p.text;
    QCOMPARE(actual.size(), problems.size());
    for (int i = 0; i < problems.size(); ++i)
        QVERIFY2(actual[i].startsWith(problems[i]), qPrintable(actual[i]));
    if (problems.isEmpty()) {
        QCOMPARE(chain.links.size(), 3); // liblist.gam -> metamod.so -> the bot, and Metamod's game library
        QCOMPARE(chain.links[1].library, fx.path("tarrow/tarrow_i386.so"));
        QVERIFY(loaderChainText(chain).contains(QStringLiteral("No problems.")));
    }
}

QTEST_GUILESS_MAIN(TestLinux)
#include "tst_linux.moc"
