#include "app/loaderfiles.h"
#include "support/fixtureinstall.h"

#include <QtTest>

using namespace tarrow;

class TestLoaderFiles : public QObject {
    Q_OBJECT
  private slots:
    void liblistLine_data();
    void liblistLine();
    void pluginLine_data();
    void pluginLine();
    void realLiblistKeepsLinuxAndMacLines();
    void realPluginsIniKeepsLinuxLines();
    void missingFileIsReported();
    void rivalFiles();
};

void TestLoaderFiles::liblistLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("forward slashes become backslashes") << "GameDLL \"Dlls/TFC.dll\""
                                                        << "gamedll \"dlls\\tfc.dll\"";
    QTest::newRow("comment marker survives") << "// Valve Game Info"
                                             << "// valve game info";
    QTest::newRow("doubled backslash becomes comment") << "\\\\gamedll \"x\""
                                                       << "//gamedll \"x\"";
    QTest::newRow("gamedll_linux kept") << "gamedll_linux \"addons/metamod/dlls/metamod.so\""
                                        << "gamedll_linux \"addons/metamod/dlls/metamod.so\"";
    QTest::newRow("gamedll_osx kept") << "gamedll_osx \"dlls/TFC.dylib\""
                                      << "gamedll_osx \"dlls/TFC.dylib\"";
    QTest::newRow("indented gamedll_linux kept") << "\tGAMEDLL_LINUX \"dlls/Tfc.so\""
                                                 << "\tGAMEDLL_LINUX \"dlls/Tfc.so\"";
    QTest::newRow("after a byte-order mark")
        << QString::fromLatin1("\xEF\xBB\xBFgamedll_linux \"dlls/tfc.so\"")
        << QString::fromLatin1("\xEF\xBB\xBFgamedll_linux \"dlls/tfc.so\"");
    QTest::newRow("other words normalised") << "gamedll_linuxish \"A/B\""
                                            << "gamedll_linuxish \"a\\b\"";
    // UTF-8 text read through Latin-1: only A-Z are lower-cased, so "Équipe" keeps its bytes.
    QTest::newRow("UTF-8 text keeps its bytes") << QString::fromLatin1("game \"TFC \xC3\x89quipe\"")
                                                << QString::fromLatin1("game \"tfc \xC3\x89quipe\"");
}

void TestLoaderFiles::liblistLine() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(normaliseLiblistLine(line), expected);
}

void TestLoaderFiles::pluginLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("backslashes become slashes") << "Win32 ..\\Tarrow\\Tarrow.dll"
                                                << "win32 ../tarrow/tarrow.dll";
    QTest::newRow("comment kept") << "//win32 ../tarrow/tarrow.dll"
                                  << "//win32 ../tarrow/tarrow.dll";
    QTest::newRow("linux kept") << "linux addons/adminmod/dlls/admin_MM_i386.so"
                                << "linux addons/adminmod/dlls/admin_MM_i386.so";
    QTest::newRow("linux with blanks kept") << "  linux   addons/X.so"
                                            << "  linux   addons/X.so";
    QTest::newRow("UTF-8 comment keeps its bytes") << QString::fromLatin1("; Serveur \xC3\x89T\xC3\x89")
                                                   << QString::fromLatin1("; serveur \xC3\x89t\xC3\x89");
    QTest::newRow("semicolon comment") << "; Metamod Plugins"
                                       << "; metamod plugins";
}

void TestLoaderFiles::pluginLine() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(normalisePluginLine(line), expected);
}

void TestLoaderFiles::realLiblistKeepsLinuxAndMacLines() {
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "\xEF\xBB\xBF// Valve Game Info file\n"
                                "game \"Team Fortress Classic\"\n"
                                "gamedll \"dlls\\tfc.dll\"\n"
                                "gamedll_linux \"dlls/tfc.so\"\n"
                                "gamedll_osx \"dlls/tfc.dylib\"\n"
                                "GameDLL \"Addons/Metamod/Dlls/Metamod.dll\"");
    QVERIFY(normaliseLiblistFile(fx.root() + "tfc\\LIBLIST.gam", fx.backups()));
    QCOMPARE(fx.read("TFC/liblist.gam"), QByteArray("\xEF\xBB\xBF// valve game info file\r\n"
                                                    "game \"team fortress classic\"\r\n"
                                                    "gamedll \"dlls\\tfc.dll\"\r\n"
                                                    "gamedll_linux \"dlls/tfc.so\"\r\n"
                                                    "gamedll_osx \"dlls/tfc.dylib\"\r\n"
                                                    "gamedll \"addons\\metamod\\dlls\\metamod.dll\"\r\n"));
}

void TestLoaderFiles::realPluginsIniKeepsLinuxLines() {
    test::FixtureInstall fx;
    fx.write("TFC/addons/metamod/plugins.ini", "; Metamod plugins\r\n"
                                               "win32   addons\\AdminMod\\dlls\\admin_MM.dll\r\n"
                                               "linux addons/adminmod/dlls/admin_MM_i386.so\r\n"
                                               "// win32 ../Tarrow/Tarrow.dll\r\n");
    QVERIFY(normalisePluginFile(fx.root() + "TFC\\addons\\Metamod\\plugins.ini", fx.backups()));
    QCOMPARE(fx.read("TFC/addons/metamod/plugins.ini"),
             QByteArray("; metamod plugins\r\n"
                        "win32   addons/adminmod/dlls/admin_mm.dll\r\n"
                        "linux addons/adminmod/dlls/admin_MM_i386.so\r\n"
                        "// win32 ../tarrow/tarrow.dll\r\n"));
}

void TestLoaderFiles::missingFileIsReported() {
    test::FixtureInstall fx;
    QVERIFY(!normaliseLiblistFile(fx.root() + "TFC\\liblist.gam", fx.backups()));
    QCOMPARE(missingLiblistMessage(fx.root() + "TFC\\liblist.gam"),
             QStringLiteral("Your Liblist.gam file was not found, expected path: \"%1TFC/liblist.gam\"")
                 .arg(fx.root()));
}

void TestLoaderFiles::rivalFiles() {
    test::FixtureInstall fx;
    QCOMPARE(rivalPluginFiles(fx.root(), "TFC").size(), 0);
    fx.write("tfc/addons/adminop/adminop.dll", "x");
    fx.write("tfc/addons/adminop/dlls/adminop.dll", "x");
    fx.write("tfc/dlls/ADMINOP.DLL", "x");
    QCOMPARE(rivalPluginFiles(fx.root(), "TFC").size(), 3);
    QVERIFY(rivalPluginWarning().startsWith("You should not support a rip off of good work, Please remove "
                                            "AdminOp and install the original work, NeoTF, "
                                            "which can be found at "));
}

QTEST_GUILESS_MAIN(TestLoaderFiles)
#include "tst_loaderfiles.moc"
