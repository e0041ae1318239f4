#include "common/modtable.h"
#include "status/refresh.h"
#include "support/fixtureinstall.h"
#include "support/program.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace tarrow;

namespace {

using Result = test::ProgramResult;

// The program as a shell on a server runs it: no display of any kind.
Result runProgram(const QString& program, const QStringList& args, const QString& workDir = QString()) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "NO_COLOR"})
        env.remove(QString::fromLatin1(v));
    env.insert("HOME", workDir.isEmpty() ? QDir::tempPath() : workDir);
    return test::runProgram(program, args, env, workDir);
}

Result shell(test::FixtureInstall& fx, QStringList args) {
    args << "--settings" << fx.settingsFile();
    return runProgram(QStringLiteral(TARROW_CLI_BIN), args, QFileInfo(fx.settingsFile()).absolutePath());
}

const QByteArray kGame = "gamedll \"dlls\\tfc.dll\"\r\n";

// Every library and companion file, with Metamod and Admin Mod on disk but nothing loaded.
void fullInstall(test::FixtureInstall& fx) {
    fx.write("TFC/liblist.gam", "game \"tfc\"\r\n" + kGame);
    fx.dll("tfc.dll", "TFC/dlls/tfc.dll");
    fx.dll("tarrow.dll", "tarrow/tarrow.dll");
    fx.dll("metamod.dll", "TFC/addons/metamod/dlls/metamod.dll");
    fx.dll("admin_mm.dll", "TFC/addons/adminmod/dlls/admin_mm.dll");
    for (const char* f : {"tarrow/TFC/tarrow.cfg", "tarrow/TFC/default.cfg", "tarrow/TFC/tarrow_names.txt",
                          "tarrow/TFC/tarrow_chat.txt", "tarrow/Tarrow_Documentation.chm",
                          "TFC/addons/adminmod/config/plugin.ini", "TFC/addons/adminmod/config/users.ini"})
        fx.write(f, "x");
    fx.write("TFC/addons/metamod/plugins.ini", "; plugins\r\n");
    fx.write("TFC/autoexec.cfg", "echo hi\r\n");
    fx.write("sierra.inf", "[Ident]\r\nProductName \"HLServer\"\r\nCurrentVersion \"4.1.1.1\"\r\n");
}

QMap<QString, QByteArray> loaderFiles(const test::FixtureInstall& fx) {
    QMap<QString, QByteArray> files;
    for (const char* f : {"TFC/liblist.gam", "TFC/addons/metamod/plugins.ini", "TFC/autoexec.cfg"})
        files.insert(f, fx.exists(f) ? fx.read(f) : QByteArray("<none>"));
    return files;
}

QJsonObject component(const QJsonObject& status, const QString& id) {
    for (const QJsonValue& v : status["components"].toArray())
        if (v.toObject()["id"].toString() == id) return v.toObject();
    return {};
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
  private slots:
    void helpAndVersionWithoutDisplay_data();
    void helpAndVersionWithoutDisplay();
    void noFolderNamesTheOption();
    void statusJsonFieldByField();
    void statusTextAndExitCodes();
    void loadMatchesAClickInTheWindow_data();
    void loadMatchesAClickInTheWindow();
    void unloadReachesTheStateWhenTheBotStandsTwice();
    void foldersAreListedAndPicked();
    void loadingWhatIsLoadedOrCannotLoad();
    void rebuildAsksAndKeepsBackups();
    void dumpMasksPasswords();
    void checkFollowsTheLinuxChain();
    void demoIsBuiltWhereItHarmsNothing_data();
    void demoIsBuiltWhereItHarmsNothing();
};

void TestCli::helpAndVersionWithoutDisplay_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tarrow --help") << TARROW_CLI_BIN << "--help"
                                   << "restore FILE [--at TIME]";
    QTest::newRow("tarrow --version") << TARROW_CLI_BIN << "--version"
                                      << "tarrow 1.00";
#ifdef TARROW_GUI_BIN
    QTest::newRow("tarrow-gui --help") << TARROW_GUI_BIN << "--help"
                                       << "--install-root <DIR>";
    QTest::newRow("tarrow-gui --version") << TARROW_GUI_BIN << "--version"
                                          << "tarrow-gui 1.00";
#endif
}

void TestCli::helpAndVersionWithoutDisplay() {
    QFETCH(QString, program);
    QFETCH(QString, option);
    QFETCH(QString, expected);
    const Result r = runProgram(program, {option});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(expected), qPrintable(r.out + r.err));
}

void TestCli::noFolderNamesTheOption() {
    test::FixtureInstall fx;
    const Result r = shell(fx, {"status"});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QStringLiteral("tarrow: no Half-Life folder is set; give one with --install-root DIR\n"));
    const Result bad = shell(fx, {"frobnicate", "--install-root", fx.root()});
    QCOMPARE(bad.code, 2);
    QVERIFY(bad.err.contains("unknown command 'frobnicate'"));
}

void TestCli::statusJsonFieldByField() {
    test::FixtureInstall fx;
    fullInstall(fx);
    fx.write("TFC/liblist.gam", "gamedll \"..\\tarrow\\tarrow.dll\"\r\n");
    QFile::remove(fx.path("tarrow/TFC/tarrow_chat.txt"));
    const Result r = shell(fx, {"status", "--json", "--install-root", fx.root()});
    QCOMPARE(r.code, 3); // a loaded component misses a file
    QJsonParseError error;
    const QJsonObject s = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(s["schema"].toInt(), 1);
    QCOMPARE(s["installRoot"].toString(), fx.root());
    QCOMPARE(s["mod"].toString(), QStringLiteral("TFC"));
    QCOMPARE(s["installType"].toString(), QStringLiteral("server"));
    QCOMPARE(s["engineVersion"].toString(), QStringLiteral("4.1.1.1"));
    QCOMPARE(s["problems"].toBool(), true);
    QCOMPARE(s["components"].toArray().size(), 5);
    const QJsonObject bot = component(s, "tarrow");
    QCOMPARE(bot["name"].toString(), QStringLiteral("Tarrow"));
    QCOMPARE(bot["installed"].toString(), QStringLiteral("current"));
    QCOMPARE(bot["loaded"].toString(), QStringLiteral("warning"));
    QCOMPARE(bot["route"].toString(), QStringLiteral("gamedll"));
    QCOMPARE(bot["running"].toString(), QStringLiteral("stopped"));
    const QJsonArray notes = bot["notes"].toArray();
    QCOMPARE(notes.size(), 1);
    QCOMPARE(notes[0].toObject()["kind"].toString(), QStringLiteral("missing-companion"));
    QCOMPARE(notes[0].toObject()["file"].toString(), QStringLiteral("Tarrow_Chat.txt"));
    QCOMPARE(notes[0].toObject()["expectedPath"].toString(), fx.path("tarrow/TFC/Tarrow_Chat.txt"));
    const QJsonObject mm = component(s, "metamod");
    QCOMPARE(mm["loaded"].toString(), QStringLiteral("no"));
    QVERIFY(!mm["version"].toString().isEmpty());
    QCOMPARE(component(s, "neotf")["installed"].toString(), QStringLiteral("missing"));
    QVERIFY(component(s, "neotf")["version"].isNull());
    // A look never writes: no backups, no pages.
    QVERIFY(!fx.exists("tarrow/backups"));
    QVERIFY(!fx.exists("tarrow/tarrow.html"));
}

void TestCli::statusTextAndExitCodes() {
    test::FixtureInstall fx;
    fullInstall(fx);
    const Result r = shell(fx, {"status", "--install-root", fx.root()});
    QCOMPARE(r.code, 0);
    QVERIFY2(!r.out.contains("\x1b["), "colours are for terminals only");
    const QStringList lines = r.out.split('\n');
    QCOMPARE(lines[0], "Installation: " + fx.root() + " (mod TFC)");
    QCOMPARE(lines[1], QStringLiteral("Install type: Half-Life server, engine version 4.1.1.1"));
    QVERIFY(lines.contains(QStringLiteral("Mod        yes         TFC          yes            stopped")));
    QVERIFY(lines.contains(QStringLiteral("Tarrow     current     0.698.0.0    no             stopped")));
    // The folder served that call only: the window's stored folder stays as it was (none here).
    QCOMPARE(shell(fx, {"status"}).code, 2);
    QCOMPARE(fx.settings().read(kTarrowKey, kInstallPathValue), QString());
    fx.storeRoot();
    QCOMPARE(shell(fx, {"status"}).code, 0);
}

void TestCli::loadMatchesAClickInTheWindow_data() {
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("page");
    QTest::newRow("tarrow") << "tarrow"
                            << "Tar.html";
    QTest::newRow("metamod") << "metamod"
                             << "MM.html";
    QTest::newRow("adminmod") << "adminmod"
                              << "AM.html";
}

void TestCli::loadMatchesAClickInTheWindow() {
    QFETCH(QString, component);
    QFETCH(QString, page);
    test::FixtureInstall byWindow;
    fullInstall(byWindow);
    byWindow.storeRoot();
    {
        // The window's road: a refresh, then a click on the row's link, then the next refresh.
        StatusRefresh refresh;
        const Installation in = byWindow.installation();
        refresh.run(in.paths(), in.components(), QString());
        refresh.run(in.paths(), in.components(), page);
    }
    const QMap<QString, QByteArray> windowFiles = loaderFiles(byWindow);

    test::FixtureInstall byShell;
    fullInstall(byShell);
    byShell.storeRoot();
    const Result r = shell(byShell, {"load", component});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(" is now loaded."), qPrintable(r.out + r.err));
    QVERIFY(r.out.contains("Saved " + byShell.path("TFC/liblist.gam") + " (previous version kept: "));
    QCOMPARE(loaderFiles(byShell), windowFiles);
    test::FixtureInstall untouched;
    fullInstall(untouched);
    QVERIFY(windowFiles != loaderFiles(untouched));

    // Unloading takes it out again (Admin Mod leaves Metamod loaded).
    const Result u = shell(byShell, {"unload", component});
    QCOMPARE(u.code, 0);
    QVERIFY2(u.out.contains(" is now unloaded."), qPrintable(u.out + u.err));
    const QJsonObject s = QJsonDocument::fromJson(shell(byShell, {"status", "--json"}).out.toUtf8()).object();
    QCOMPARE(::component(s, component)["loaded"].toString(), QStringLiteral("no"));
}

void TestCli::unloadReachesTheStateWhenTheBotStandsTwice() {
    test::FixtureInstall fx;
    fullInstall(fx);
    fx.write("TFC/liblist.gam", "gamedll \"addons\\metamod\\dlls\\metamod.dll\"\r\n");
    fx.write("TFC/addons/metamod/plugins.ini",
             "win32 ../tarrow/tarrow.dll\r\nwin32 ../tarrow/tarrow.dll\r\n");
    fx.storeRoot();
    const Result r = shell(fx, {"unload", "tarrow"});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains("Tarrow is now unloaded."), qPrintable(r.out + r.err));
    QCOMPARE(fx.read("TFC/addons/metamod/plugins.ini"), QByteArray("//win32 ../tarrow/tarrow.dll\r\n"));
    const QJsonObject s = QJsonDocument::fromJson(shell(fx, {"status", "--json"}).out.toUtf8()).object();
    QCOMPARE(::component(s, "tarrow")["loaded"].toString(), QStringLiteral("no"));
}

void TestCli::foldersAreListedAndPicked() {
    test::FixtureInstall fx;
    fullInstall(fx);
    fx.storeRoot();
    const QString second = fx.path("linux-server/");
    fx.write("linux-server/hlds_run", "#!/bin/sh\n");
    fx.write("linux-server/TFC/liblist.gam", "gamedll_linux \"dlls/tfc.so\"\r\n");
    // A folder not known yet, named by its path, becomes known (the stored folder first).
    const Result picked = shell(fx, {"status", "--json", "--folder", second});
    QCOMPARE(picked.code, 0);
    QCOMPARE(QJsonDocument::fromJson(picked.out.toUtf8())["installRoot"].toString(), second);
    const Result listed = shell(fx, {"folders", "--json"});
    QCOMPARE(listed.code, 0);
    const QJsonArray folders = QJsonDocument::fromJson(listed.out.toUtf8()).array();
    QCOMPARE(folders.size(), 2);
    QCOMPARE(
        folders[0].toObject(),
        (QJsonObject{
            {"index", 1}, {"path", fx.root()}, {"mod", "TFC"}, {"platform", "windows"}, {"current", true}}));
    QCOMPARE(folders[1].toObject(),
             (QJsonObject{
                 {"index", 2}, {"path", second}, {"mod", "TFC"}, {"platform", "linux"}, {"current", false}}));
    QCOMPARE(shell(fx, {"folders"}).out,
             "  1 * " + fx.root() + " (TFC, Windows)\n  2   " + second + " (TFC, Linux)\n");
    // By number; without a folder the one the window used last; a number not known is an error.
    const Result two = shell(fx, {"status", "--json", "--folder", "2"});
    QCOMPARE(QJsonDocument::fromJson(two.out.toUtf8())["platform"].toString(), QStringLiteral("linux"));
    const Result none = shell(fx, {"status", "--json"});
    QCOMPARE(QJsonDocument::fromJson(none.out.toUtf8())["installRoot"].toString(), fx.root());
    const Result three = shell(fx, {"status", "--folder", "3"});
    QCOMPARE(three.code, 2);
    QCOMPARE(three.err, QStringLiteral("tarrow: no known folder 3; see tarrow folders\n"));
    // A path becomes known whatever the command: the listing too.
    const QString third = fx.path("third/");
    fx.write("third/TFC/liblist.gam", kGame);
    const Result listedThird = shell(fx, {"folders", "--json", "--folder", third});
    QCOMPARE(listedThird.code, 0);
    const QJsonArray three2 = QJsonDocument::fromJson(listedThird.out.toUtf8()).array();
    QCOMPARE(three2.size(), 3);
    QCOMPARE(three2[2].toObject()["path"].toString(), third);
}

void TestCli::loadingWhatIsLoadedOrCannotLoad() {
    test::FixtureInstall fx;
    fullInstall(fx);
    fx.write("TFC/liblist.gam", "gamedll \"..\\tarrow\\tarrow.dll\"\r\n");
    fx.storeRoot();
    const Result same = shell(fx, {"load", "tarrow"});
    QCOMPARE(same.code, 0);
    QCOMPARE(same.out, QStringLiteral("Tarrow is already loaded; nothing changed.\n"));
    QVERIFY(!fx.exists("tarrow/backups"));
    // NeoTF is not on disk: the click changes nothing, and the shell is told.
    const Result ntf = shell(fx, {"load", "neotf"});
    QCOMPARE(ntf.code, 2);
    QVERIFY2(ntf.err.contains("Loading NeoTF changed nothing"), qPrintable(ntf.err));
    QCOMPARE(shell(fx, {"load", "mod"}).code, 2);
}

void TestCli::rebuildAsksAndKeepsBackups() {
    test::FixtureInstall fx;
    fullInstall(fx);
    const QByteArray before = fx.read("TFC/liblist.gam");
    // No terminal to ask on, no --yes: nothing is written.
    fx.storeRoot();
    const Result asked = shell(fx, {"rebuild", "liblist"});
    QCOMPARE(asked.code, 2);
    QVERIFY(asked.err.contains("add --yes to overwrite " + fx.path("TFC/liblist.gam")));
    QCOMPARE(fx.read("TFC/liblist.gam"), before);
    QCOMPARE(shell(fx, {"rebuild", "libllist", "--yes"}).code, 2);

    const Result done = shell(fx, {"rebuild", "liblist", "plugins", "--yes"});
    QCOMPARE(done.code, 0);
    QVERIFY(fx.read("TFC/liblist.gam").startsWith("// Rebuilt Liblist.gam by "));
    QVERIFY(fx.read("TFC/addons/metamod/plugins.ini").startsWith("// Rebuilt plugins.ini by "));

    const Result listed = shell(fx, {"backups", "liblist.gam"});
    QCOMPARE(listed.code, 0);
    QCOMPARE(listed.out.count('\n'), 1);
    QVERIFY(listed.out.trimmed().endsWith("TFC/liblist.gam"));
    const Result restored = shell(fx, {"restore", "TFC/liblist.gam"});
    QCOMPARE(restored.code, 0);
    QCOMPARE(fx.read("TFC/liblist.gam"), before);
    QCOMPARE(shell(fx, {"restore", "TFC/liblist.gam", "--at", "1999"}).code, 2);
}

void TestCli::dumpMasksPasswords() {
    test::FixtureInstall fx;
    fullInstall(fx);
    fx.write("TFC/server.cfg", "\xEF\xBB\xBFrcon_password \"s3cret\"\r\nsv_lan 0; autohltv_pass hltv\r\n");
    QTemporaryDir out;
    const Result r =
        shell(fx, {"dump", "--dir", out.path(), "--include", "server", "--install-root", fx.root()});
    QCOMPARE(r.code, 0);
    const QString folder = out.path() + "/TARROW DEBUG INFO/";
    QCOMPARE(r.out, folder + "\n");
    QFile f(folder + "infodump.txt");
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray dump = f.readAll();
    QVERIFY(dump.contains("rcon_password ***Protected***"));
    QVERIFY(dump.contains("sv_lan 0; autohltv_pass ***Protected***"));
    QVERIFY(!dump.contains("s3cret") && !dump.contains("hltv\r"));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3); // the report and the two pages
}

void TestCli::checkFollowsTheLinuxChain() {
    test::FixtureInstall fx;
    fx.write("hlds_run", "#!/bin/sh\n");
    for (const char* f : {"TFC/dlls/tfc.so", "TFC/addons/metamod/dlls/metamod.so", "tarrow/tarrow_i386.so"})
        fx.write(f, "");
    fx.write("TFC/liblist.gam",
             "gamedll \"dlls\\tfc.dll\"\r\ngamedll_linux \"addons/metamod/dlls/metamod.so\"\r\n");
    fx.write("TFC/addons/metamod/plugins.ini", "linux ../tarrow/tarrow_i386.so\r\n");
    fx.storeRoot();
    const Result clean = shell(fx, {"check"});
    QCOMPARE(clean.code, 0);
    QVERIFY2(clean.out.startsWith("Loader chain (Linux server):\n  liblist.gam:2  gamedll_linux"),
             qPrintable(clean.out));
    QVERIFY(clean.out.contains("No problems."));
    fx.write("TFC/addons/metamod/plugins.ini", "win32 ../tarrow/tarrow.dll\r\n");
    const Result broken = shell(fx, {"check"});
    QCOMPARE(broken.code, 3);
    QVERIFY2(broken.out.contains(fx.path("TFC/addons/metamod/plugins.ini") +
                                 ": has only win32 lines: Metamod on a Linux server ignores them all"),
             qPrintable(broken.out));
    // The same for a machine: the problem with its file, the chain with the libraries it reaches.
    const Result json = shell(fx, {"check", "--json"});
    QCOMPARE(json.code, 3);
    const QJsonObject c = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(c["platform"].toString(), QStringLiteral("linux"));
    QCOMPARE(c["problems"].toArray().size(), 1);
    QCOMPARE(c["problems"][0]["file"].toString(), fx.path("TFC/addons/metamod/plugins.ini"));
    QCOMPARE(c["problems"][0]["text"].toString(),
             QStringLiteral("has only win32 lines: Metamod on a Linux server ignores them all"));
    QCOMPARE(c["links"][0]["statement"].toString(),
             QStringLiteral("gamedll_linux \"addons/metamod/dlls/metamod.so\""));
    QCOMPARE(c["links"][0]["line"].toInt(), 2);
    // The report of a Linux server says what it can: present, and the build.
    const QJsonObject s = QJsonDocument::fromJson(shell(fx, {"status", "--json"}).out.toUtf8()).object();
    QCOMPARE(s["platform"].toString(), QStringLiteral("linux"));
    QCOMPARE(component(s, "metamod")["installed"].toString(), QStringLiteral("present"));
    QCOMPARE(component(s, "metamod")["loaded"].toString(), QStringLiteral("yes"));
}

void TestCli::demoIsBuiltWhereItHarmsNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("platform");
    QTest::newRow("windows") << QString() << "windows";
    QTest::newRow("linux") << "linux"
                           << "linux";
}

void TestCli::demoIsBuiltWhereItHarmsNothing() {
    QFETCH(QString, kind);
    QFETCH(QString, platform);
    QTemporaryDir work;
    const QString dir = work.filePath("demo");
    QStringList args{"demo", "--dir", dir, "--json"};
    if (!kind.isEmpty()) args.insert(1, kind);
    const Result made = runProgram(QStringLiteral(TARROW_CLI_BIN), args, work.path());
    QCOMPARE(made.code, 0);
    const QJsonObject demo = QJsonDocument::fromJson(made.out.toUtf8()).object();
    QCOMPARE(demo["installRoot"].toString(), dir + "/Half-Life/");
    QCOMPARE(demo["settingsFile"].toString(), dir + "/Tarrow-demo.conf");
    QCOMPARE(demo["platform"].toString(), platform);
    // The settings file alone is enough for every other command: it knows the sample folder.
    const Result status =
        runProgram(QStringLiteral(TARROW_CLI_BIN),
                   {"--settings", demo["settingsFile"].toString(), "status", "--json"}, work.path());
    const QJsonObject report = QJsonDocument::fromJson(status.out.toUtf8()).object();
    QCOMPARE(report["installRoot"].toString(), dir + "/Half-Life/");
    QCOMPARE(report["platform"].toString(), platform);

    // A second demo replaces the first, edits and all.
    QFile edited(dir + "/Half-Life/TFC/autoexec.cfg");
    QVERIFY(edited.open(QIODevice::WriteOnly));
    edited.write("changed\r\n");
    edited.close();
    QCOMPARE(runProgram(QStringLiteral(TARROW_CLI_BIN), args, work.path()).code, 0);
    QVERIFY(edited.open(QIODevice::ReadOnly));
    QVERIFY(!edited.readAll().startsWith("changed"));

    // A folder of somebody's own is left alone, whatever it holds.
    const QString own = work.filePath("own");
    QVERIFY(QDir().mkpath(own + "/Half-Life/TFC"));
    QFile mine(own + "/Half-Life/TFC/server.cfg");
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.write("hostname mine\r\n");
    mine.close();
    const Result refused = runProgram(QStringLiteral(TARROW_CLI_BIN), {"demo", "--dir", own}, work.path());
    QCOMPARE(refused.code, 2);
    QVERIFY2(refused.err.contains("holds other files"), qPrintable(refused.err));
    QVERIFY(QFile::exists(own + "/Half-Life/TFC/server.cfg"));
    QVERIFY(!QFile::exists(own + "/Tarrow-demo.conf"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
