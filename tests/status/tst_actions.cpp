#include "common/modtable.h"
#include "status/actions.h"
#include "support/fixtureinstall.h"

#include <QtTest>

using namespace tarrow;

namespace {

using Files = QMap<QString, QByteArray>;

const QByteArray GAME = "gamedll \"dlls\\tfc.dll\"";
const QByteArray BOTGAME = "gamedll \"..\\tarrow\\tarrow.dll\"";
const QByteArray MMGAME = "gamedll \"addons\\Metamod\\dlls\\metamod.dll\"";
const QByteArray NTFGAME = "gamedll \"addons\\neotf\\dlls\\ntf.dll\"";
const QByteArray BOTPLUG = "win32 ../tarrow/tarrow.dll";
const QByteArray BOTPLUGOFF = "//win32 ../tarrow/tarrow.dll";
const QByteArray AMPLUG = "win32 addons/Adminmod/dlls/admin_mm.dll";
const QByteArray AMPLUGOFF = "//win32 addons/Adminmod/dlls/admin_mm.dll";
const QByteArray NTFLOCAL = "localinfo mm_gamedll addons/neotf/dlls/ntf.dll";
const QByteArray NTFLOCALOFF = "//localinfo mm_gamedll addons/neotf/dlls/ntf.dll";

const QString LIB = "TFC/liblist.gam";
const QString PLUG = "TFC/addons/metamod/plugins.ini";
const QString AUTO = "TFC/autoexec.cfg";
const QString NTF = "TFC/addons/neotf/ntf_config.txt";

QByteArray lines(std::initializer_list<QByteArray> l) {
    QByteArray out;
    for (const QByteArray& x : l)
        out += x + "\r\n";
    return out;
}

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
        << "" << Files{{LIB, lines({"game \"tfc\"", GAME, linux})}}
        << Files{{LIB, lines({"game \"tfc\"", BOTGAME, linux})}};
    QTest::newRow("Tarrow unload restores the mod")
        << "Tar"
        << "T" << Files{{LIB, lines({BOTGAME, linux})}} << Files{{LIB, lines({GAME, linux})}};
    QTest::newRow("Tarrow load with no gamedll line adds one")
        << "Tar.html"
        << "" << Files{{LIB, lines({"game \"tfc\"", linux})}}
        << Files{{LIB, lines({"game \"tfc\"", linux, BOTGAME})}};
    QTest::newRow("Tarrow under Metamod: first line, the last old line gone")
        << "Tar.html"
        << "M" << Files{{PLUG, lines({"; c", BOTPLUGOFF, AMPLUG, BOTPLUGOFF})}}
        << Files{{PLUG, lines({BOTPLUG, "; c", BOTPLUGOFF, AMPLUG})}}; // one copy per delete
    // Real files: a blank after Metamod's gamedll line, a plugins.ini with a byte-order mark.
    QTest::newRow("Tarrow load under Metamod whose gamedll line ends with a blank")
        << "Tar.html"
        << "M" << Files{{LIB, lines({MMGAME + " "})}, {PLUG, lines({AMPLUG})}}
        << Files{{LIB, lines({MMGAME + " "})}, {PLUG, lines({BOTPLUG, AMPLUG})}};
    QTest::newRow("byte-order mark stays at the start of plugins.ini")
        << "Tar.html"
        << "M" << Files{{PLUG, lines({"\xEF\xBB\xBF" + AMPLUG})}}
        << Files{{PLUG, lines({"\xEF\xBB\xBF" + BOTPLUG, AMPLUG})}};
    QTest::newRow("Admin Mod off after a marked first line, tabs between the words")
        << "AM.html"
        << "MA"
        << Files{{"TFC/addons/adminmod/dlls/admin_mm.dll", "x"},
                 {"TFC/addons/adminmod/config/plugin.ini", "x"},
                 {PLUG, lines({"\xEF\xBB\xBF" + BOTPLUG, "win32\taddons/Adminmod/dlls/admin_mm.dll\t"})}}
        << Files{{PLUG, lines({"\xEF\xBB\xBF" + BOTPLUG, AMPLUGOFF})}};
    QTest::newRow("Tarrow off under Metamod")
        << "Tar.html"
        << "TM" << Files{{PLUG, lines({BOTPLUG, AMPLUG})}} << Files{{PLUG, lines({BOTPLUGOFF, AMPLUG})}};
    QTest::newRow("Tarrow under NeoTF")
        << "Tar.html"
        << "N" << Files{{NTF, lines({"tfc.dll"})}} << Files{{NTF, lines({"../../tarrow/tarrow.dll"})}};
    QTest::newRow("Tarrow off under NeoTF")
        << "Tar.html"
        << "TN" << Files{{NTF, lines({"../../tarrow/tarrow.dll"})}} << Files{{NTF, lines({"tfc.dll"})}};

    const Files mmBase{{"TFC/addons/metamod/dlls/metamod.dll", "x"}};
    auto with = [](Files f, const Files& more) {
        for (auto it = more.cbegin(); it != more.cend(); ++it)
            f.insert(it.key(), it.value());
        return f;
    };
    QTest::newRow("Metamod load while the bot is loaded directly")
        << "MM.html"
        << "T" << with(mmBase, {{LIB, lines({BOTGAME})}, {PLUG, lines({AMPLUG})}})
        << Files{{LIB, lines({MMGAME})}, {PLUG, lines({BOTPLUG, AMPLUGOFF})}, {AUTO, QByteArray()}};
    QTest::newRow("Metamod load without the bot drops an active Admin Mod line")
        << "MM"
        << ""
        << with(mmBase,
                {{LIB, lines({GAME})}, {PLUG, lines({AMPLUG, BOTPLUG, "x"})}, {AUTO, lines({NTFLOCAL})}})
        << Files{{LIB, lines({MMGAME})}, {PLUG, lines({"x"})}, {AUTO, lines({NTFLOCALOFF})}};
    QTest::newRow("Metamod load with NeoTF loaded")
        << "MM.html"
        << "N"
        << with(mmBase, {{LIB, lines({NTFGAME})},
                         {PLUG, lines({AMPLUGOFF})},
                         {AUTO, lines({"echo", NTFLOCALOFF})},
                         {NTF, lines({"../../tarrow/tarrow.dll"})}})
        << Files{{LIB, lines({MMGAME})},
                 {PLUG, lines({AMPLUGOFF})},
                 {AUTO, lines({"echo", NTFLOCAL})},
                 {NTF, lines({"tfc.dll"})}};
    QTest::newRow("Metamod unload with the bot")
        << "MM.html"
        << "TM" << with(mmBase, {{LIB, lines({MMGAME})}, {PLUG, lines({BOTPLUG})}})
        << Files{{LIB, lines({BOTGAME})}, {PLUG, lines({BOTPLUG})}};
    QTest::newRow("Metamod unload, NeoTF through autoexec.cfg")
        << "MM.html"
        << "TMN"
        << with(mmBase, {{LIB, lines({MMGAME})},
                         {PLUG, lines({BOTPLUG})},
                         {AUTO, lines({NTFLOCAL})},
                         {NTF, lines({"tfc.dll"})}})
        << Files{{LIB, lines({NTFGAME})},
                 {AUTO, lines({NTFLOCALOFF})},
                 {NTF, lines({"../../tarrow/tarrow.dll"})}};
    QTest::newRow("Metamod without its library: nothing")
        << "MM.html"
        << "" << Files{{LIB, lines({GAME})}, {PLUG, lines({AMPLUG})}}
        << Files{{LIB, lines({GAME})}, {PLUG, lines({AMPLUG})}};

    const Files amBase{{"TFC/addons/adminmod/dlls/admin_mm.dll", "x"},
                       {"TFC/addons/adminmod/config/plugin.ini", "x"}};
    QTest::newRow("Admin Mod off under Metamod") << "AM.html"
                                                 << "MA" << with(amBase, {{PLUG, lines({BOTPLUG, AMPLUG})}})
                                                 << Files{{PLUG, lines({BOTPLUG, AMPLUGOFF})}};
    QTest::newRow("Admin Mod on under Metamod")
        << "AM"
        << "M" << with(amBase, {{PLUG, lines({AMPLUGOFF})}}) << Files{{PLUG, lines({AMPLUG})}};
    QTest::newRow("Admin Mod without Metamod loads Metamod too")
        << "AM.html"
        << "" << with(amBase, {{LIB, lines({GAME})}, {PLUG, lines({BOTPLUG, AMPLUGOFF})}})
        << Files{{LIB, lines({MMGAME})}, {PLUG, lines({AMPLUG})}, {AUTO, QByteArray()}};
    QTest::newRow("Admin Mod without Metamod keeps the bot")
        << "AM.html"
        << "T" << with(amBase, {{LIB, lines({BOTGAME})}, {PLUG, lines({BOTPLUGOFF})}})
        << Files{{LIB, lines({MMGAME})}, {PLUG, lines({BOTPLUG, AMPLUG})}};
    QTest::newRow("Admin Mod without its plugin.ini: nothing")
        << "AM.html"
        << "" << Files{{"TFC/addons/adminmod/dlls/admin_mm.dll", "x"}, {LIB, lines({GAME})}}
        << Files{{LIB, lines({GAME})}, {PLUG, QByteArray()}};

    const Files ntfBase{{"TFC/addons/neotf/dlls/ntf.dll", "x"}};
    QTest::newRow("NeoTF load with the bot")
        << "NTF.html"
        << "T" << with(ntfBase, {{NTF, lines({"tfc.dll"})}, {LIB, lines({BOTGAME})}})
        << Files{{NTF, lines({"../../tarrow/tarrow.dll"})}, {LIB, lines({NTFGAME})}};
    QTest::newRow("NeoTF unload") << "NTF"
                                  << "N"
                                  << with(ntfBase, {{NTF, lines({"tfc.dll"})}, {LIB, lines({NTFGAME})}})
                                  << Files{{NTF, lines({"tfc.dll"})}, {LIB, lines({GAME})}};
    QTest::newRow("NeoTF under Metamod")
        << "NTF.html"
        << "M" << with(ntfBase, {{NTF, lines({"x"})}, {AUTO, lines({NTFLOCALOFF})}})
        << Files{{NTF, lines({"tfc.dll"})}, {AUTO, lines({NTFLOCAL})}};
    QTest::newRow("NeoTF load under Metamod without autoexec.cfg adds the line")
        << "NTF.html"
        << "M" << with(ntfBase, {{NTF, lines({"x"})}})
        << Files{{NTF, lines({"tfc.dll"})}, {AUTO, lines({NTFLOCAL})}};
    QTest::newRow("NeoTF without ntf_config.txt: nothing")
        << "NTF.html"
        << "" << with(ntfBase, {{LIB, lines({GAME})}}) << Files{{LIB, lines({GAME})}, {NTF, QByteArray()}};
    QTest::newRow("another page: nothing")
        << "tarrow1.html"
        << "" << Files{{LIB, lines({GAME})}} << Files{{LIB, lines({GAME})}};
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
