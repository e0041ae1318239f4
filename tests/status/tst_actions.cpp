#include "common/modtable.h"
#include "status/actions.h"
#include "support/fixtureinstall.h"
#include "support/loaderlines.h"

#include <QtTest>

using namespace tarrow;
using namespace tarrow::test;

namespace {

using Files = QMap<QString, QByteArray>;

LoadFlags flagsFrom(const QString& f) {
    LoadFlags flags;
    flags.TarrowLoaded = f.contains('T');
    flags.MetamodLoaded = f.contains('M');
    flags.AdminmodLoaded = f.contains('A');
    flags.NeotfLoaded = f.contains('N');
    return flags;
}

} // namespace

class TestActions : public QObject {
    Q_OBJECT
  private slots:
    void actions_data();
    void actions();
    void locationNames_data();
    void locationNames();
};

void TestActions::actions_data() {
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<Files>("before");
    QTest::addColumn<Files>("after"); // an empty value: the file must not exist

    const QByteArray linux = "gamedll_linux \"dlls/tfc.so\"";
    QTest::newRow("Tarrow load on a plain installation")
        << "Tar.html"
        << "" << Files{{kLiblistFile, crlfLines({"game \"tfc\"", kModGame, linux})}}
        << Files{{kLiblistFile, crlfLines({"game \"tfc\"", kBotGame, linux})}};
    QTest::newRow("Tarrow unload restores the mod")
        << "Tar"
        << "T" << Files{{kLiblistFile, crlfLines({kBotGame, linux})}}
        << Files{{kLiblistFile, crlfLines({kModGame, linux})}};
    QTest::newRow("Tarrow load with no gamedll line adds one")
        << "Tar.html"
        << "" << Files{{kLiblistFile, crlfLines({"game \"tfc\"", linux})}}
        << Files{{kLiblistFile, crlfLines({"game \"tfc\"", linux, kBotGame})}};
    QTest::newRow("Tarrow under Metamod: first line, the last old line gone")
        << "Tar.html"
        << "M" << Files{{kPluginsFile, crlfLines({"; c", kBotPlugOff, kAmPlug, kBotPlugOff})}}
        << Files{{kPluginsFile, crlfLines({kBotPlug, "; c", kBotPlugOff, kAmPlug})}}; // one copy per delete
    // Real files: a blank after Metamod's gamedll line, a plugins.ini with a byte-order mark.
    QTest::newRow("Tarrow load under Metamod whose gamedll line ends with a blank")
        << "Tar.html"
        << "M" << Files{{kLiblistFile, crlfLines({kMmGame + " "})}, {kPluginsFile, crlfLines({kAmPlug})}}
        << Files{{kLiblistFile, crlfLines({kMmGame + " "})}, {kPluginsFile, crlfLines({kBotPlug, kAmPlug})}};
    QTest::newRow("byte-order mark stays at the start of plugins.ini")
        << "Tar.html"
        << "M" << Files{{kPluginsFile, crlfLines({"\xEF\xBB\xBF" + kAmPlug})}}
        << Files{{kPluginsFile, crlfLines({"\xEF\xBB\xBF" + kBotPlug, kAmPlug})}};
    QTest::newRow("Admin Mod off after a marked first line, tabs between the words")
        << "AM.html"
        << "MA"
        << Files{{"TFC/addons/adminmod/dlls/admin_mm.dll", "x"},
                 {"TFC/addons/adminmod/config/plugin.ini", "x"},
                 {kPluginsFile,
                  crlfLines({"\xEF\xBB\xBF" + kBotPlug, "win32\taddons/Adminmod/dlls/admin_mm.dll\t"})}}
        << Files{{kPluginsFile, crlfLines({"\xEF\xBB\xBF" + kBotPlug, kAmPlugOff})}};
    QTest::newRow("Tarrow off under Metamod") << "Tar.html"
                                              << "TM" << Files{{kPluginsFile, crlfLines({kBotPlug, kAmPlug})}}
                                              << Files{{kPluginsFile, crlfLines({kBotPlugOff, kAmPlug})}};
    QTest::newRow("Tarrow under NeoTF") << "Tar.html"
                                        << "N" << Files{{kNtfConfigFile, crlfLines({"tfc.dll"})}}
                                        << Files{{kNtfConfigFile, crlfLines({"../../tarrow/tarrow.dll"})}};
    QTest::newRow("Tarrow off under NeoTF")
        << "Tar.html"
        << "TN" << Files{{kNtfConfigFile, crlfLines({"../../tarrow/tarrow.dll"})}}
        << Files{{kNtfConfigFile, crlfLines({"tfc.dll"})}};

    const Files mmBase{{"TFC/addons/metamod/dlls/metamod.dll", "x"}};
    auto with = [](Files f, const Files& more) {
        for (auto it = more.cbegin(); it != more.cend(); ++it)
            f.insert(it.key(), it.value());
        return f;
    };
    QTest::newRow("Metamod load while the bot is loaded directly")
        << "MM.html"
        << "T" << with(mmBase, {{kLiblistFile, crlfLines({kBotGame})}, {kPluginsFile, crlfLines({kAmPlug})}})
        << Files{{kLiblistFile, crlfLines({kMmGame})},
                 {kPluginsFile, crlfLines({kBotPlug, kAmPlugOff})},
                 {kAutoexecFile, QByteArray()}};
    QTest::newRow("Metamod load without the bot drops an active Admin Mod line")
        << "MM"
        << ""
        << with(mmBase, {{kLiblistFile, crlfLines({kModGame})},
                         {kPluginsFile, crlfLines({kAmPlug, kBotPlug, "x"})},
                         {kAutoexecFile, crlfLines({kNtfLocal})}})
        << Files{{kLiblistFile, crlfLines({kMmGame})},
                 {kPluginsFile, crlfLines({"x"})},
                 {kAutoexecFile, crlfLines({kNtfLocalOff})}};
    QTest::newRow("Metamod load with NeoTF loaded")
        << "MM.html"
        << "N"
        << with(mmBase, {{kLiblistFile, crlfLines({kNtfGame})},
                         {kPluginsFile, crlfLines({kAmPlugOff})},
                         {kAutoexecFile, crlfLines({"echo", kNtfLocalOff})},
                         {kNtfConfigFile, crlfLines({"../../tarrow/tarrow.dll"})}})
        << Files{{kLiblistFile, crlfLines({kMmGame})},
                 {kPluginsFile, crlfLines({kAmPlugOff})},
                 {kAutoexecFile, crlfLines({"echo", kNtfLocal})},
                 {kNtfConfigFile, crlfLines({"tfc.dll"})}};
    QTest::newRow("Metamod unload with the bot")
        << "MM.html"
        << "TM" << with(mmBase, {{kLiblistFile, crlfLines({kMmGame})}, {kPluginsFile, crlfLines({kBotPlug})}})
        << Files{{kLiblistFile, crlfLines({kBotGame})}, {kPluginsFile, crlfLines({kBotPlug})}};
    QTest::newRow("Metamod unload, NeoTF through autoexec.cfg")
        << "MM.html"
        << "TMN"
        << with(mmBase, {{kLiblistFile, crlfLines({kMmGame})},
                         {kPluginsFile, crlfLines({kBotPlug})},
                         {kAutoexecFile, crlfLines({kNtfLocal})},
                         {kNtfConfigFile, crlfLines({"tfc.dll"})}})
        << Files{{kLiblistFile, crlfLines({kNtfGame})},
                 {kAutoexecFile, crlfLines({kNtfLocalOff})},
                 {kNtfConfigFile, crlfLines({"../../tarrow/tarrow.dll"})}};
    QTest::newRow("Metamod without its library: nothing")
        << "MM.html"
        << "" << Files{{kLiblistFile, crlfLines({kModGame})}, {kPluginsFile, crlfLines({kAmPlug})}}
        << Files{{kLiblistFile, crlfLines({kModGame})}, {kPluginsFile, crlfLines({kAmPlug})}};

    const Files amBase{{"TFC/addons/adminmod/dlls/admin_mm.dll", "x"},
                       {"TFC/addons/adminmod/config/plugin.ini", "x"}};
    QTest::newRow("Admin Mod off under Metamod")
        << "AM.html"
        << "MA" << with(amBase, {{kPluginsFile, crlfLines({kBotPlug, kAmPlug})}})
        << Files{{kPluginsFile, crlfLines({kBotPlug, kAmPlugOff})}};
    QTest::newRow("Admin Mod on under Metamod")
        << "AM"
        << "M" << with(amBase, {{kPluginsFile, crlfLines({kAmPlugOff})}})
        << Files{{kPluginsFile, crlfLines({kAmPlug})}};
    QTest::newRow("Admin Mod without Metamod loads Metamod too")
        << "AM.html"
        << ""
        << with(amBase,
                {{kLiblistFile, crlfLines({kModGame})}, {kPluginsFile, crlfLines({kBotPlug, kAmPlugOff})}})
        << Files{{kLiblistFile, crlfLines({kMmGame})},
                 {kPluginsFile, crlfLines({kAmPlug})},
                 {kAutoexecFile, QByteArray()}};
    QTest::newRow("Admin Mod without Metamod keeps the bot")
        << "AM.html"
        << "T"
        << with(amBase, {{kLiblistFile, crlfLines({kBotGame})}, {kPluginsFile, crlfLines({kBotPlugOff})}})
        << Files{{kLiblistFile, crlfLines({kMmGame})}, {kPluginsFile, crlfLines({kBotPlug, kAmPlug})}};
    QTest::newRow("Admin Mod without its plugin.ini: nothing")
        << "AM.html"
        << "" << Files{{"TFC/addons/adminmod/dlls/admin_mm.dll", "x"}, {kLiblistFile, crlfLines({kModGame})}}
        << Files{{kLiblistFile, crlfLines({kModGame})}, {kPluginsFile, QByteArray()}};

    const Files ntfBase{{"TFC/addons/neotf/dlls/ntf.dll", "x"}};
    QTest::newRow("NeoTF load with the bot")
        << "NTF.html"
        << "T"
        << with(ntfBase, {{kNtfConfigFile, crlfLines({"tfc.dll"})}, {kLiblistFile, crlfLines({kBotGame})}})
        << Files{{kNtfConfigFile, crlfLines({"../../tarrow/tarrow.dll"})},
                 {kLiblistFile, crlfLines({kNtfGame})}};
    QTest::newRow("NeoTF unload") << "NTF"
                                  << "N"
                                  << with(ntfBase, {{kNtfConfigFile, crlfLines({"tfc.dll"})},
                                                    {kLiblistFile, crlfLines({kNtfGame})}})
                                  << Files{{kNtfConfigFile, crlfLines({"tfc.dll"})},
                                           {kLiblistFile, crlfLines({kModGame})}};
    QTest::newRow("NeoTF under Metamod")
        << "NTF.html"
        << "M"
        << with(ntfBase, {{kNtfConfigFile, crlfLines({"x"})}, {kAutoexecFile, crlfLines({kNtfLocalOff})}})
        << Files{{kNtfConfigFile, crlfLines({"tfc.dll"})}, {kAutoexecFile, crlfLines({kNtfLocal})}};
    QTest::newRow("NeoTF load under Metamod without autoexec.cfg adds the line")
        << "NTF.html"
        << "M" << with(ntfBase, {{kNtfConfigFile, crlfLines({"x"})}})
        << Files{{kNtfConfigFile, crlfLines({"tfc.dll"})}, {kAutoexecFile, crlfLines({kNtfLocal})}};
    QTest::newRow("NeoTF without ntf_config.txt: nothing")
        << "NTF.html"
        << "" << with(ntfBase, {{kLiblistFile, crlfLines({kModGame})}})
        << Files{{kLiblistFile, crlfLines({kModGame})}, {kNtfConfigFile, QByteArray()}};
    QTest::newRow("another page: nothing")
        << "tarrow1.html"
        << "" << Files{{kLiblistFile, crlfLines({kModGame})}} << Files{{kLiblistFile, crlfLines({kModGame})}};
}

void TestActions::actions() {
    QFETCH(QString, location);
    QFETCH(QString, flags);
    QFETCH(Files, before);
    QFETCH(Files, after);
    test::FixtureInstall fx;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        fx.write(it.key(), it.value());
    ComponentSettings s;
    applyClickAction(clickedComponent(location), flagsFrom(flags), fx.paths(s), s);
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (it.value().isEmpty())
            QVERIFY2(!fx.exists(it.key()), qPrintable(it.key()));
        else
            QCOMPARE(fx.read(it.key()), it.value());
    }
}

void TestActions::locationNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("component");
    QTest::newRow("Tar.html") << "Tar.html" << int(ClickedComponent::Tarrow);
    QTest::newRow("MM") << "MM" << int(ClickedComponent::Metamod);
    QTest::newRow("AM.html") << "AM.html" << int(ClickedComponent::Adminmod);
    QTest::newRow("NTF") << "NTF" << int(ClickedComponent::Neotf);
    QTest::newRow("case matters") << "tar.html" << int(ClickedComponent::None);
    QTest::newRow("report") << "tarrow1.html" << int(ClickedComponent::None);
}

void TestActions::locationNames() {
    QFETCH(QString, name);
    QFETCH(int, component);
    QCOMPARE(int(clickedComponent(name)), component);
}

QTEST_GUILESS_MAIN(TestActions)
#include "tst_actions.moc"
