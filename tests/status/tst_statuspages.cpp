#include "common/fileio.h"
#include "common/modtable.h"
#include "status/refresh.h"
#include "support/fixtureinstall.h"
#include "support/loaderlines.h"

#include <QProcess>
#include <QtTest>

using namespace tarrow;
using namespace tarrow::test;

namespace {

void fullInstall(test::FixtureInstall& fx) {
    fx.write("sierra.inf", "[Ident]\r\nProductName \"HLServer\"\r\nCurrentVersion \"4.1.1.1\"\r\n");
    fx.write("TFC/liblist.gam", "gamedll \"addons\\metamod\\dlls\\metamod.dll\"\r\n");
    fx.write("TFC/addons/metamod/plugins.ini",
             "win32 ../tarrow/tarrow.dll\r\nwin32 addons/adminmod/dlls/admin_mm.dll\r\n");
    fx.write("TFC/autoexec.cfg", "echo x\r\n");
    fx.dll("tfc.dll", "TFC/dlls/tfc.dll");
    fx.dll("tarrow.dll", "tarrow/tarrow.dll");
    fx.dll("metamod.dll", "TFC/addons/metamod/dlls/metamod.dll");
    fx.dll("admin_mm_old.dll", "TFC/addons/adminmod/dlls/admin_mm.dll");
    fx.dll("ntf.dll", "TFC/addons/neotf/dlls/ntf.dll");
    for (const char* f : {"tarrow/TFC/tarrow.cfg", "tarrow/TFC/default.cfg", "tarrow/TFC/tarrow_names.txt",
                          "tarrow/TFC/tarrow_chat.txt", "tarrow/Tarrow_Documentation.chm",
                          "TFC/addons/adminmod/config/plugin.ini", "TFC/addons/adminmod/config/users.ini"})
        fx.write(f, "x");
}

} // namespace

class TestStatusPages : public QObject {
    Q_OBJECT
  private slots:
    void fourPagesByteForByte();
    void deletedReportIsRewritten();
    void metagameIniRemoved();
    void refreshActsOnClickThenShowsNewState();
    void readOnlyLoaderFilesAreCleared();
};

void TestStatusPages::fourPagesByteForByte() {
    test::FixtureInstall fx;
    fullInstall(fx);
    // A running server holds the bot's library.
    QProcess holder;
    holder.start("sh", {"-c", "exec 3<\"$0\"; sleep 30", fx.path("tarrow/tarrow.dll")});
    QVERIFY(holder.waitForStarted());
    QTest::qWait(200);
    ComponentSettings s;
    StatusRefresh refresh;
    refresh.run(fx.paths(s), s, "tarrow1.html");
    holder.kill();
    holder.waitForFinished();
    QCOMPARE(fx.read("tarrow/tarrow.html"), golden("tarrow.html", fx.root()));
    QCOMPARE(fx.read("tarrow/stats.html"), golden("stats.html", fx.root()));
    QCOMPARE(fx.read("tarrow/tarrow1.html"), golden("tarrow1.html", fx.root()));
    QCOMPARE(fx.read("tarrow/stats1.html"), golden("stats1.html", fx.root()));
    QVERIFY(refresh.flags().TarrowLoaded && refresh.flags().MetamodLoaded && refresh.flags().AdminmodLoaded);
    QVERIFY(!refresh.flags().NeotfLoaded);
}

void TestStatusPages::deletedReportIsRewritten() {
    test::FixtureInstall fx;
    fullInstall(fx);
    ComponentSettings s;
    StatusRefresh refresh;
    const InstallPaths paths = fx.paths(s);
    refresh.run(paths, s, QString());
    QFile::remove(fx.path("tarrow/tarrow.html"));
    setReadOnly(fx.path("tarrow/stats.html"));
    refresh.run(paths, s, QString());
    QCOMPARE(fx.read("tarrow/tarrow.html"), golden("tarrow.html", fx.root()));
    QVERIFY(fx.exists("tarrow/stats.html"));
}

void TestStatusPages::metagameIniRemoved() {
    test::FixtureInstall fx;
    fx.write("TFC/metagame.ini", "x");
    setReadOnly(fx.path("TFC/metagame.ini"));
    StatusRefresh::removeMetagame(fx.paths());
    QVERIFY(!fx.exists("TFC/metagame.ini"));
}

void TestStatusPages::refreshActsOnClickThenShowsNewState() {
    test::FixtureInstall fx;
    fullInstall(fx);
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    ComponentSettings s;
    StatusRefresh refresh;
    const InstallPaths paths = fx.paths(s);
    refresh.run(paths, s, "tarrow1.html");
    QVERIFY(!refresh.flags().TarrowLoaded);
    refresh.run(paths, s, "Tar.html");
    QCOMPARE(fx.read("TFC/liblist.gam"), QByteArray("gamedll \"..\\tarrow\\tarrow.dll\"\r\n"));
    QVERIFY(refresh.flags().TarrowLoaded);
    QVERIFY(fx.read("tarrow/tarrow.html")
                .contains("title=\"Click to Unload Tarrow from TFC\"><font color=\"#008000\">Yes"));
    refresh.run(paths, s, "Tar");
    QCOMPARE(fx.read("TFC/liblist.gam"), QByteArray("gamedll \"dlls\\tfc.dll\"\r\n"));
    QVERIFY(!refresh.flags().TarrowLoaded);
}

void TestStatusPages::readOnlyLoaderFilesAreCleared() {
    test::FixtureInstall fx;
    fullInstall(fx);
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    setReadOnly(fx.path("TFC/liblist.gam"));
    setReadOnly(fx.path("TFC/dlls/tfc.dll"));
    ComponentSettings s;
    StatusRefresh refresh;
    refresh.run(fx.paths(s), s, "Tar.html");
    QVERIFY(!isReadOnly(fx.path("TFC/dlls/tfc.dll")));
    QCOMPARE(fx.read("TFC/liblist.gam"), QByteArray("gamedll \"..\\tarrow\\tarrow.dll\"\r\n"));
}

QTEST_GUILESS_MAIN(TestStatusPages)
#include "tst_statuspages.moc"
