#include "app/componentsettings.h"
#include "common/errors.h"
#include "common/fileio.h"
#include "gamefiles/fileeditor.h"
#include "gamefiles/rebuild.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"

#include <QtTest>

using namespace tarrow;

namespace {

struct Run {
    Rebuilder rebuilder;
    QStringList labels;
    int timerStops = 0;
    int cleared = 0;
    Run() {
        rebuilder.setLabel = [this](const QString& t) { labels << t; };
        rebuilder.stopStatusTimer = [this] { ++timerStops; };
        rebuilder.clearSelection = [this] { ++cleared; };
    }
};

RebuildSelection all() {
    return {true, true, true, true};
}

} // namespace

class TestRebuild : public QObject {
    Q_OBJECT
  private slots:
    void allFourFiles();
    void nothingSelected();
    void missingFolderSkipped();
    void readOnlyClearedForAll();
    void secondRunWhileBusyIsIgnored();
    void failedWriteKeepsEarlierFilesAndEndsIdle();
    void knownFileSearchOrder_data();
    void knownFileSearchOrder();
    void notFoundMessage();
};

void TestRebuild::allFourFiles() {
    test::FixtureInstall fx;
    test::FakeClock clock;
    QDir().mkpath(fx.path("TFC/addons/metamod"));
    QDir().mkpath(fx.path("TFC/addons/neotf"));
    fx.write("TFC/liblist.gam", "old");
    Run r;
    QVERIFY(r.rebuilder.run(all(), fx.paths()));
    QCOMPARE(
        fx.read("TFC/autoexec.cfg"),
        QByteArray(
            "// Rebuilt Autoexec.cfg by Tarrow Gui 1.00\r\nbind 1 slot1\r\nbind 2 slot2\r\nbind 3 slot3\r\n"
            "bind 4 slot4\r\nbind 5 slot5\r\nbind 6 slot6\r\nbind 7 slot7\r\nbind 8 slot8\r\nbind 9 slot9\r\n"
            "bind 0 slot10\r\n"));
    QCOMPARE(
        fx.read("TFC/liblist.gam"),
        QByteArray(
            "// Rebuilt Liblist.gam by Tarrow Gui 1.00\r\n"
            "// team fortress classes game .dll listing file\r\n"
            "// load order is determined by file order.\r\n"
            "game \"team fortress\"\r\n"
            "url_info \"www.valvesoftware.com\"\r\n"
            "url_dl \"\"\r\n"
            "version \"1.5\"\r\n"
            "size \"37000000\"\r\n"
            "svonly \"0\"\r\n"
            "cldll \"0\"\r\n"
            "type \"multiplayer_only\"\r\n"
            "nomodels \"1\"  // don't show models in browser, since you don't pick them there anyway.\r\n"
            "mpentity \"info_tfdetect\"\r\n"
            "gamedll \"dlls\\tfc.dll\"\r\n"));
    QCOMPARE(fx.read("TFC/addons/metamod/plugins.ini"),
             QByteArray("// Rebuilt plugins.ini by Tarrow Gui 1.00\r\n"));
    QCOMPARE(fx.read("TFC/addons/neotf/ntf_config.txt"), QByteArray("tfc.dll\r\n"));
    QCOMPARE(r.labels,
             (QStringList{"Initializing...", "Rebuilding Autoexec.cfg...", "Rebuilding Liblist.gam...",
                          "Rebuilding Plugins.ini...", "Rebuilding NTF_Config.txt...", "Done", "Idle"}));
    QCOMPARE(clock.waits, (QList<int>{300, 300, 300, 300, 300, 300}));
    QCOMPARE(r.timerStops, 1);
    QCOMPARE(r.cleared, 1);
    QVERIFY(!r.rebuilder.busy());
}

void TestRebuild::nothingSelected() {
    test::FixtureInstall fx;
    test::FakeClock clock;
    Run r;
    r.rebuilder.run({}, fx.paths());
    QCOMPARE(r.labels, (QStringList{"Initializing...", "No Files Selected!", "Done", "Idle"}));
    QCOMPARE(clock.waits, (QList<int>{300, 600, 300}));
}

void TestRebuild::missingFolderSkipped() {
    test::FixtureInstall fx;
    test::FakeClock clock;
    Run r;
    r.rebuilder.run({false, false, false, true}, fx.paths());
    QVERIFY(!fx.exists("TFC/addons/neotf/ntf_config.txt"));
    QVERIFY(!fx.exists("TFC/addons/neotf"));
    QCOMPARE(r.labels, (QStringList{"Initializing...", "Rebuilding NTF_Config.txt...", "Done", "Idle"}));
}

void TestRebuild::readOnlyClearedForAll() {
    test::FixtureInstall fx;
    test::FakeClock clock;
    fx.write("TFC/addons/metamod/plugins.ini", "keep");
    fx.write("TFC/autoexec.cfg", "old");
    setReadOnly(fx.path("TFC/addons/metamod/plugins.ini"));
    setReadOnly(fx.path("TFC/autoexec.cfg"));
    Run r;
    r.rebuilder.run({true, false, false, false}, fx.paths());
    QVERIFY(!isReadOnly(fx.path("TFC/addons/metamod/plugins.ini")));
    QCOMPARE(fx.read("TFC/addons/metamod/plugins.ini"), QByteArray("keep"));
    QVERIFY(fx.read("TFC/autoexec.cfg").startsWith("// Rebuilt Autoexec.cfg"));
}

void TestRebuild::secondRunWhileBusyIsIgnored() {
    test::FixtureInstall fx;
    test::FakeClock clock;
    Run r;
    int inner = -1;
    r.rebuilder.setLabel = [&](const QString& t) {
        r.labels << t;
        // The user clicks again while the label shows a rebuilding text.
        if (t == "Rebuilding Autoexec.cfg...") inner = r.rebuilder.run(all(), fx.paths());
    };
    QVERIFY(r.rebuilder.run({true, false, false, false}, fx.paths()));
    QCOMPARE(inner, 0);
    QCOMPARE(r.labels, (QStringList{"Initializing...", "Rebuilding Autoexec.cfg...", "Done", "Idle"}));
    QVERIFY(!fx.exists("TFC/liblist.gam"));
}

void TestRebuild::failedWriteKeepsEarlierFilesAndEndsIdle() {
    test::FixtureInstall fx;
    test::FakeClock clock;
    QDir().mkpath(fx.path("TFC/addons/metamod"));
    fx.write("TFC/liblist.gam", "mine");
    int writes = 0;
    setWriteFaultHook([&](const QString&, const QByteArray&) {
        if (++writes == 2) throw IoError("Cannot create file \"liblist.gam\". Disk full");
    });
    Run r;
    QVERIFY_THROWS_EXCEPTION(IoError, r.rebuilder.run(all(), fx.paths()));
    setWriteFaultHook(nullptr);
    QVERIFY(fx.read("TFC/autoexec.cfg").startsWith("// Rebuilt Autoexec.cfg"));
    QCOMPARE(fx.read("TFC/liblist.gam"), QByteArray("mine"));
    QVERIFY(!fx.exists("TFC/addons/metamod/plugins.ini"));
    QCOMPARE(r.labels.last(), QStringLiteral("Idle"));
    QVERIFY(!r.rebuilder.busy());
    QCOMPARE(r.cleared, 0);
}

void TestRebuild::knownFileSearchOrder_data() {
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Metamod's plugins.ini before the mod's")
        << QStringList{"TFC/plugins.ini", "TFC/addons/metamod/plugins.ini"} << "Plugins.ini"
        << "TFC/addons/metamod/plugins.ini";
    QTest::newRow("Plugin.ini only in the mod folder") << QStringList{"TFC/plugin.ini"} << "Plugin.ini"
                                                       << "TFC/plugin.ini";
    QTest::newRow("NeoTF folder first")
        << QStringList{"TFC/addons/neotf/users.ini", "TFC/users.ini"} << "Users.ini"
        << "TFC/addons/neotf/users.ini";
    QTest::newRow("bot folder last") << QStringList{"tarrow/TFC/tarrow.cfg"} << "Tarrow.cfg"
                                     << "tarrow/TFC/tarrow.cfg";
    QTest::newRow("nowhere") << QStringList{} << "Server.cfg"
                             << "";
}

void TestRebuild::knownFileSearchOrder() {
    QFETCH(QStringList, present);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    test::FixtureInstall fx;
    for (const QString& p : present)
        fx.write(p, "x");
    const auto found = findKnownFile(fx.paths(), name);
    QCOMPARE(found.has_value(), !expected.isEmpty());
    if (found) QCOMPARE(*found, fx.path(expected));
}

void TestRebuild::notFoundMessage() {
    test::FixtureInstall fx;
    const QString r = fx.root();
    QCOMPARE(knownFileNotFoundMessage(fx.paths(), "Server.cfg"),
             "Error loading file, expected path: " + r + "tarrow/TFC/Server.cfg, or " + r +
                 "TFC/Server.cfg or " + r + "TFC/addons/Metamod/Server.cfg or " + r +
                 "TFC/addons/neotf/Server.cfg");
}

QTEST_GUILESS_MAIN(TestRebuild)
#include "tst_rebuild.moc"
