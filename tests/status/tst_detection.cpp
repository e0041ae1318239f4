#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "status/detection.h"
#include "support/fixtureinstall.h"
#include "support/loaderlines.h"

#include <QtTest>

using namespace tarrow;
using namespace tarrow::test;

namespace {

using Files = QMap<QString, QByteArray>;

const QString kYes = " <font color=\"#008000\">Yes";
const QString kNtfError = " <font color=\"#FF0000\" title=\"Missing load statement (\"tfc.dll\")\">Error in "
                          "ntf_config.txt - Mouse Here";
QString unload(const QString& n) {
    return " title=\"Click to Unload " + n + " from TFC\"><font color=\"#008000\">Yes";
}
QString loadNo(const QString& n) {
    return " title=\"Click to Load " + n + " into TFC\"><font color=\"#FF0000\">No</a>";
}

// Every library with a current version and every companion file, so that a case sees only its own notes.
void complete(test::FixtureInstall& fx) {
    fx.dll("tfc.dll", "TFC/dlls/tfc.dll");
    fx.dll("tarrow.dll", "tarrow/tarrow.dll");
    fx.dll("metamod.dll", "TFC/addons/metamod/dlls/metamod.dll");
    fx.dll("admin_mm.dll", "TFC/addons/adminmod/dlls/admin_mm.dll");
    fx.dll("ntf.dll", "TFC/addons/neotf/dlls/ntf.dll");
    for (const char* f : {"tarrow/TFC/tarrow.cfg", "tarrow/TFC/default.cfg", "tarrow/TFC/tarrow_names.txt",
                          "tarrow/TFC/tarrow_chat.txt", "tarrow/Tarrow_Documentation.chm",
                          "TFC/addons/adminmod/config/plugin.ini", "TFC/addons/adminmod/config/users.ini",
                          "TFC/addons/neotf/ntf_users.ini", "TFC/addons/neotf/ntf_cvars.cfg"})
        fx.write(f, "x");
}

Detection detect(test::FixtureInstall& fx, const ComponentSettings& s) {
    return detectComponents(fx.paths(s), s);
}

} // namespace

class TestDetection : public QObject {
    Q_OBJECT
  private slots:
    void loadAnalysis_data();
    void loadAnalysis();
    void typedReport_data();
    void typedReport();
    void installedCells_data();
    void installedCells();
    void neotf160ShownAs161();
    void engineLines_data();
    void engineLines();
    void companionNotes_data();
    void companionNotes();
    void upkeepRemovesOneDuplicatePerRefresh();
    void upkeepKeepsLinuxAndMacLines();
    void unreadableFileCountsAsEmpty_data();
    void unreadableFileCountsAsEmpty();
    void pluginNamesAreEscaped();
};

void TestDetection::loadAnalysis_data() {
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("flags");     // letters of the loaded components: T M A N
    QTest::addColumn<QStringList>("cells"); // mod, tarrow, metamod, adminmod, neotf Loaded cells
    const QString mmYes =
        " title=\"Click to Unload Metamod (and Admin Mod) from TFC\"><font color=\"#008000\">Yes";
    const QString amYes = " title=\"Click to Unload Admin mod from TFC\"><font color=\"#008000\">Yes";
    const QString ntfPlugYes = " title=\"This setup will not work with version 1.5.2 or earlier of "
                               "NeoTF\"><font color=\"#008000\">Yes";
    const QString warning =
        "</a><font color=\"#FF0000\" title=\"NeoTF and Tarrow will not work together if you do not load "
        "Metamod, your server will crash. Please also load Metamod.\"> (Warning - Mouse Here)</font>";
    const QByteArray plugins = "win32 ../tarrow/tarrow.dll\r\nwin32 addons/adminmod/dlls/admin_mm.dll\r\n";

    QTest::newRow("1 mod's own library")
        << Files{{"TFC/liblist.gam", kModGame}} << ""
        << QStringList{kYes, loadNo("Tarrow"), loadNo("Metamod"), loadNo("Admin Mod"), loadNo("NeoTF")};
    QTest::newRow("1 wins over Metamod's line")
        << Files{{"TFC/liblist.gam", kModGame + "\r\n" + kMmGame}} << ""
        << QStringList{kYes, loadNo("Tarrow"), loadNo("Metamod"), loadNo("Admin Mod"), loadNo("NeoTF")};
    QTest::newRow("2 bot directly") << Files{{"TFC/liblist.gam", "GAMEDLL \"..\\TARROW\\tarrow.dll\""}} << "T"
                                    << QStringList{kYes, unload("Tarrow"), loadNo("Metamod"),
                                                   loadNo("Admin Mod"), loadNo("NeoTF")};
    QTest::newRow("3 Metamod without plugins.ini")
        << Files{{"TFC/liblist.gam", kMmGame}} << "M"
        << QStringList{"<font color=\"#FF0000\">No", loadNo("Tarrow"),
                       " title=\"Your plugins.ini file is missing, Click here to create a new one here: "
                       "@ROOT@TFC/addons/metamod/plugins.ini\"><font color=\"#FF0000\">Missing plugins.ini - "
                       "Mouse Here",
                       loadNo("Admin Mod"), loadNo("NeoTF")};
    QTest::newRow("3abc all plug-ins, no autoexec.cfg")
        << Files{{"TFC/liblist.gam", kMmGame},
                 {"TFC/addons/metamod/plugins.ini", plugins + "win32 addons/neotf/dlls/ntf.dll\r\n"},
                 {"TFC/addons/neotf/ntf_config.txt", "tfc.dll"}}
        << "TMAN"
        << QStringList{" <font color=\"#008000\" title=\"Missing Autoexec.cfg file\">Yes", unload("Tarrow"),
                       mmYes, amYes, ntfPlugYes};
    QTest::newRow("3a case ignored")
        << Files{{"TFC/liblist.gam", kMmGame},
                 {"TFC/addons/metamod/plugins.ini", "Win32 ../TARROW/tarrow.dll"},
                 {"TFC/autoexec.cfg", "echo"}}
        << "TM" << QStringList{kYes, unload("Tarrow"), mmYes, loadNo("Admin Mod"), loadNo("NeoTF")};
    QTest::newRow("3a trailing blank and tab runs still count")
        << Files{{"TFC/liblist.gam", "gamedll \"addons\\metamod\\dlls\\metamod.dll\" "},
                 {"TFC/addons/metamod/plugins.ini", "win32\t\t../tarrow/tarrow.dll \t"},
                 {"TFC/autoexec.cfg", "echo"}}
        << "TM" << QStringList{kYes, unload("Tarrow"), mmYes, loadNo("Admin Mod"), loadNo("NeoTF")};
    QTest::newRow("3a commented line does not count")
        << Files{{"TFC/liblist.gam", kMmGame},
                 {"TFC/addons/metamod/plugins.ini", "//win32 ../tarrow/tarrow.dll"},
                 {"TFC/autoexec.cfg", "echo"}}
        << "M" << QStringList{kYes, loadNo("Tarrow"), mmYes, loadNo("Admin Mod"), loadNo("NeoTF")};
    QTest::newRow("3d NeoTF as game library, tfc.dll")
        << Files{{"TFC/liblist.gam", kMmGame},
                 {"TFC/addons/metamod/plugins.ini", "x"},
                 {"TFC/autoexec.cfg", "localinfo mm_gamedll addons/neotf/dlls/ntf.dll"},
                 {"TFC/addons/neotf/ntf_config.txt", "tfc.dll"}}
        << "MN" << QStringList{kYes, loadNo("Tarrow"), mmYes, loadNo("Admin Mod"), unload("NeoTF")};
    QTest::newRow("3d NeoTF as game library, wrong line")
        << Files{{"TFC/liblist.gam", kMmGame},
                 {"TFC/addons/metamod/plugins.ini", "x"},
                 {"TFC/autoexec.cfg", "localinfo mm_gamedll addons/neotf/dlls/ntf.dll"},
                 {"TFC/addons/neotf/ntf_config.txt", "mp.dll"}}
        << "MN" << QStringList{kNtfError, loadNo("Tarrow"), mmYes, loadNo("Admin Mod"), unload("NeoTF")};
    QTest::newRow("3d no ntf_config.txt keeps the mod cell")
        << Files{{"TFC/liblist.gam", kMmGame},
                 {"TFC/addons/metamod/plugins.ini", "x"},
                 {"TFC/autoexec.cfg", "localinfo mm_gamedll addons/neotf/dlls/ntf.dll"}}
        << "MN"
        << QStringList{"<font color=\"#FF0000\">No", loadNo("Tarrow"), mmYes, loadNo("Admin Mod"),
                       " title=\"Your NTF_Config.txt file is missing, Expected path: "
                       "@ROOT@TFC/addons/neotf/NTF_Config.txt Please reinstall Neo TF or click here to "
                       "unload it.\"><font color=\"#FF0000\">Missing NTF_Config.txt - Mouse Here"};
    QTest::newRow("4a NeoTF loads the bot: warning")
        << Files{{"TFC/liblist.gam", kNtfGame},
                 {"TFC/addons/neotf/ntf_config.txt", "../../Tarrow/Tarrow.dll"}}
        << "TN" << QStringList{kYes, warning, loadNo("Metamod"), loadNo("Admin Mod"), unload("NeoTF")};
    QTest::newRow("4b NeoTF loads Metamod")
        << Files{{"TFC/liblist.gam", kNtfGame},
                 {"TFC/addons/neotf/ntf_config.txt", "metamod.dll"},
                 {"TFC/addons/metamod/plugins.ini", plugins}}
        << "TMAN"
        << QStringList{kYes, unload("Tarrow"),
                       " title=\"Click to Unload Metamod from TFC (You should load Metamod first then "
                       "NeoTF)\"><font color=\"#008000\">Yes (Setup Not Suggested) - Mouse Here",
                       unload("Admin Mod"), unload("NeoTF")};
    QTest::newRow("4c NeoTF loads tfc.dll")
        << Files{{"TFC/liblist.gam", kNtfGame}, {"TFC/addons/neotf/ntf_config.txt", "TFC.DLL"}} << "N"
        << QStringList{kYes, loadNo("Tarrow"), loadNo("Metamod"), loadNo("Admin Mod"), unload("NeoTF")};
    QTest::newRow("4c NeoTF without a load line")
        << Files{{"TFC/liblist.gam", kNtfGame}, {"TFC/addons/neotf/ntf_config.txt", "//tfc.dll"}} << "N"
        << QStringList{kNtfError, loadNo("Tarrow"), loadNo("Metamod"), loadNo("Admin Mod"), unload("NeoTF")};
    QTest::newRow("5 nothing known") << Files{{"TFC/liblist.gam", "gamedll \"dlls\\other.dll\""}} << ""
                                     << QStringList{"<font color=\"#FF0000\">No", loadNo("Tarrow"),
                                                    loadNo("Metamod"), loadNo("Admin Mod"), loadNo("NeoTF")};
    QTest::newRow("missing liblist.gam")
        << Files{} << ""
        << QStringList{" <font color=\"#FF0000\" title=\"Expected path: @ROOT@TFC/liblist.gam\">Missing "
                       "Liblist.gam file - Mouse Here",
                       loadNo("Tarrow"), loadNo("Metamod"), loadNo("Admin Mod"), loadNo("NeoTF")};
    QTest::newRow("byte-order mark before the first line")
        << Files{{"TFC/liblist.gam", "\xEF\xBB\xBF" + kBotGame}} << "T"
        << QStringList{kYes, unload("Tarrow"), loadNo("Metamod"), loadNo("Admin Mod"), loadNo("NeoTF")};
}

void TestDetection::loadAnalysis() {
    QFETCH(Files, files);
    QFETCH(QString, flags);
    QFETCH(QStringList, cells);
    test::FixtureInstall fx;
    complete(fx);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        fx.write(it.key(), it.value());
    ComponentSettings s;
    const Detection d = detect(fx, s);
    QCOMPARE(d.flags.TarrowLoaded, flags.contains('T'));
    QCOMPARE(d.flags.MetamodLoaded, flags.contains('M'));
    QCOMPARE(d.flags.AdminmodLoaded, flags.contains('A'));
    QCOMPARE(d.flags.NeotfLoaded, flags.contains('N'));
    const QStringList actual{d.cells.modLoaded, d.cells.tarrowLoaded, d.cells.metamodLoaded,
                             d.cells.adminmodLoaded, d.cells.neotfLoaded};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(actual[i], QString(cells[i]).replace("@ROOT@", fx.root()));
}

// The facts behind the cells: "component=loaded/route/note,note" for every component that is loaded or
// has notes; the others must be "no" without notes.
void TestDetection::typedReport_data() {
    QTest::addColumn<Files>("files");
    QTest::addColumn<QStringList>("expected");
    const QByteArray plugins = "win32 ../tarrow/tarrow.dll\r\nwin32 addons/Adminmod/dlls/admin_MM.dll";
    QTest::newRow("Metamod loads the bot and Admin Mod")
        << Files{{"TFC/liblist.gam", kMmGame},
                 {"TFC/addons/metamod/plugins.ini", plugins},
                 {"TFC/autoexec.cfg", "echo"}}
        << QStringList{"mod=yes/metamod-plugin/", "tarrow=yes/metamod-plugin/", "metamod=yes/gamedll/",
                       "adminmod=yes/metamod-plugin/"};
    QTest::newRow("no autoexec.cfg under Metamod")
        << Files{{"TFC/liblist.gam", kMmGame}, {"TFC/addons/metamod/plugins.ini", plugins}}
        << QStringList{"mod=yes-with-note/metamod-plugin/missing-autoexec", "tarrow=yes/metamod-plugin/",
                       "metamod=yes/gamedll/", "adminmod=yes/metamod-plugin/"};
    QTest::newRow("NeoTF loads Metamod")
        << Files{{"TFC/liblist.gam", kNtfGame},
                 {"TFC/addons/neotf/ntf_config.txt", "metamod.dll"},
                 {"TFC/addons/metamod/plugins.ini", plugins}}
        << QStringList{"mod=yes/ntf-config/", "tarrow=yes/metamod-plugin-via-neotf/",
                       "metamod=yes-with-note/ntf-config/setup-not-suggested",
                       "adminmod=yes/metamod-plugin-via-neotf/", "neotf=yes/gamedll/"};
    QTest::newRow("NeoTF loads the bot without Metamod")
        << Files{{"TFC/liblist.gam", kNtfGame},
                 {"TFC/addons/neotf/ntf_config.txt", "../../Tarrow/Tarrow.dll"}}
        << QStringList{"mod=yes/ntf-config/", "tarrow=warning/ntf-config/needs-metamod",
                       "neotf=yes/gamedll/"};
    QTest::newRow("NeoTF without the mod's line")
        << Files{{"TFC/liblist.gam", kNtfGame}, {"TFC/addons/neotf/ntf_config.txt", "//tfc.dll"}}
        << QStringList{"mod=warning/ntf-config/missing-load-statement", "neotf=yes/gamedll/"};
    QTest::newRow("bot without its chat file and help")
        << Files{{"TFC/liblist.gam", kBotGame}, {"tarrow/TFC/tarrow_chat.txt", ""}}
        << QStringList{"mod=yes/gamedll/", "tarrow=yes/gamedll/"};
    QTest::newRow("no liblist.gam") << Files{{"TFC/liblist.gam", ""}} << QStringList{"mod=no/none/"};
}

void TestDetection::typedReport() {
    QFETCH(Files, files);
    QFETCH(QStringList, expected);
    test::FixtureInstall fx;
    complete(fx);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        fx.write(it.key(), it.value());
    if (QString(QTest::currentDataTag()) == "bot without its chat file and help") {
        QFile::remove(fx.path("tarrow/TFC/tarrow_chat.txt"));
        QFile::remove(fx.path("tarrow/Tarrow_Documentation.chm"));
        expected[1] = "tarrow=warning/gamedll/missing-companion,missing-help";
    }
    if (QString(QTest::currentDataTag()) == "no liblist.gam") {
        QFile::remove(fx.path("TFC/liblist.gam"));
        expected[0] = "mod=no/none/missing-liblist";
    }
    ComponentSettings s;
    const Detection d = detect(fx, s);
    QStringList actual;
    for (const ComponentInfo& info : componentTable()) {
        const ComponentReport& c = d.report[info.component];
        if (c.loaded == LoadState::No && c.notes.isEmpty() && info.component != Component::Mod) continue;
        QStringList notes;
        for (const Note& n : c.notes)
            notes << noteWord(n.kind);
        actual << QString::fromLatin1(info.cliName) + "=" + loadedWord(c.loaded) + "/" + routeWord(c.route) +
                      "/" + notes.join(',');
    }
    QCOMPARE(actual, expected);
    // Notes name the file and where it was expected.
    for (const Note& n : d.report[Component::Tarrow].notes)
        if (n.kind == NoteKind::MissingCompanion) {
            QCOMPARE(n.file, QStringLiteral("Tarrow_Chat.txt"));
            QCOMPARE(nativePath(n.expectedPath), fx.path("tarrow/TFC/Tarrow_Chat.txt"));
        }
    QCOMPARE(d.report.hasProblems(), expected.join(' ').contains("warning"));
}

void TestDetection::installedCells_data() {
    QTest::addColumn<QString>("dll"); // fixture for tarrow.dll, empty: missing
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("expected");
    const QString d = "https://tarrow-bot.example/download/";
    QTest::newRow("missing")
        << ""
        << "0.698.0.0"
        << " <a href=\"" + d +
               "\" target=\"_NEW\" title=\"Click to download Tarrow\"><font color=\"#FF0000\">No</a>";
    QTest::newRow("no version record")
        << "noversion.dll"
        << "0.698.0.0"
        << " <a href=\"" + d +
               "\" target=\"_NEW\" title=\"Click to download the most recent version of Tarrow\"><font "
               "color=\"#800080\">Unknown Version</a>";
    QTest::newRow("current") << "tarrow.dll"
                             << "0.698.0.0"
                             << " <font color=\"#800080\">0.698.0.0";
    QTest::newRow("0.698 against 0.1000 is not older") << "tarrow.dll"
                                                       << "0.1000.0.0"
                                                       << " <font color=\"#800080\">0.698.0.0";
    QTest::newRow("old")
        << "tarrow_old.dll"
        << "0.698.0.0"
        << " <font color=\"#800080\" title=\"Current Version: 0.698.0.0\">0.697.0.0 (<a href=\"" + d +
               "\" target=\"_NEW\" title=\"Click to download the most recent version of Tarrow\"><font "
               "color=\"#800080\">Old version</a>)</font>";
    QTest::newRow("0.698 against 0.70 is older")
        << "tarrow.dll"
        << "0.70.0.0"
        << " <font color=\"#800080\" title=\"Current Version: 0.70.0.0\">0.698.0.0 (<a href=\"" + d +
               "\" target=\"_NEW\" title=\"Click to download the most recent version of Tarrow\"><font "
               "color=\"#800080\">Old version</a>)</font>";
}

void TestDetection::installedCells() {
    QFETCH(QString, dll);
    QFETCH(QString, latest);
    QFETCH(QString, expected);
    test::FixtureInstall fx;
    if (!dll.isEmpty()) fx.dll(dll, "tarrow/tarrow.dll");
    ComponentSettings s;
    s.LatestPluginVersion = latest;
    const Detection d = detect(fx, s);
    QCOMPARE(d.cells.tarrowInstalled, expected);
    QCOMPARE(d.cells.modInstalled, QStringLiteral(" <font color=\"#FF0000\"> Can't find TFC DLL!"));
}

void TestDetection::neotf160ShownAs161() {
    test::FixtureInstall fx;
    fx.dll("ntf_160.dll", "TFC/addons/neotf/dlls/ntf.dll");
    ComponentSettings s;
    s.LatestNeotfVersion = "1.6.0.0";
    QCOMPARE(detect(fx, s).cells.neotfInstalled, QStringLiteral(" <font color=\"#800080\">1.6.1.0"));
    // Compared as read: against 1.8.7.0 it is old, and the old-version cell names 1.6.0.0.
    ComponentSettings current;
    QVERIFY(detect(fx, current)
                .cells.neotfInstalled.startsWith(
                    " <font color=\"#800080\" title=\"Current Version: 1.8.7.0\">1.6.0.0 (<a href="));
}

void TestDetection::engineLines_data() {
    QTest::addColumn<QByteArray>("sierra");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("latest");
    QTest::newRow("game, current") << QByteArray("ProductName \"Half-Life\"\r\nCurrentVersion \"1.1.1.0\"")
                                   << "Install Type: Half Life Game<br>"
                                   << "HL Version: <font color=\"#800080\">1.1.1.0</font><br>"
                                   << "1.1.1.0";
    QTest::newRow("server 1.1.1.0 is old against 4.1.1.0")
        << QByteArray("productname \"HLServer\"\r\nCurrentVersion \"1.1.1.0\"")
        << "Install Type: Half Life Server<br>"
        << "HL Version: <font color=\"#800080\" title=\"Current Version: 4.1.1.0\">1.1.1.0 (Old version) - "
           "Mouse Here</font><br>"
        << "4.1.1.0";
    QTest::newRow("last CurrentVersion line counts")
        << QByteArray("CurrentVersion \"0.1\"\r\nCurrentVersion \"1.1.2.0\"") << "Install Type: Unknown<br>"
        << "HL Version: <font color=\"#800080\">1.1.2.0</font><br>"
        << "1.1.1.0";
    QTest::newRow("no CurrentVersion: no version line")
        << QByteArray("ProductName \"Half-Life\"") << "Install Type: Half Life Game<br>"
        << ""
        << "1.1.1.0";
    QTest::newRow("no sierra.inf") << QByteArray() << ""
                                   << ""
                                   << "";
}

void TestDetection::engineLines() {
    QFETCH(QByteArray, sierra);
    QFETCH(QString, type);
    QFETCH(QString, version);
    QFETCH(QString, latest);
    test::FixtureInstall fx;
    if (!sierra.isEmpty()) fx.write("sierra.inf", sierra);
    ComponentSettings s;
    const Detection d = detect(fx, s);
    QCOMPARE(d.cells.installTypeLine, type);
    QCOMPARE(d.cells.engineVersionLine, version);
    QCOMPARE(d.report.currentEngineVersion, latest);
}

void TestDetection::companionNotes_data() {
    QTest::addColumn<Files>("files");
    QTest::addColumn<QStringList>("remove");
    QTest::addColumn<QString>("cell"); // "T:" or "A:" or "N:" or "M:" + expected cell
    const Files bot{{"TFC/liblist.gam", kBotGame}};
    const Files am{{"TFC/liblist.gam", kMmGame},
                   {"TFC/addons/metamod/plugins.ini", "win32 addons/adminmod/dlls/admin_mm.dll"},
                   {"TFC/autoexec.cfg", "x"}};
    QTest::newRow("bot library missing wins")
        << bot
        << QStringList{"tarrow/tarrow.dll", "tarrow/TFC/default.cfg", "tarrow/Tarrow_Documentation.chm"}
        << "T: title=\"Your Tarrow.dll file is missing, Expected path: @ROOT@tarrow/Tarrow.dll, Please "
           "reinstall Tarrow.\"><font color=\"#FF0000\">Missing Tarrow.dll - Mouse Here";
    QTest::newRow("last missing bot file is named")
        << bot << QStringList{"tarrow/TFC/tarrow.cfg", "tarrow/TFC/tarrow_names.txt"}
        << "T </a><font color=\"#FF0000\" title=\"Your Tarrow_Names.txt file is missing, Expected path: "
           "@ROOT@tarrow/TFC/Tarrow_Names.txt, Please reinstall Tarrow.\">Missing Tarrow_Names.txt - Mouse "
           "Here";
    QTest::newRow("help file note appended")
        << bot << QStringList{"tarrow/Tarrow_Documentation.chm"}
        << "T:" + unload("Tarrow") +
               "</a><font color=\"#FF0000\" title=\"Missing the Tarrow help file, Expected path: "
               "@ROOT@tarrow/Tarrow_Documentation.chm\"> (Note) - Mouse Here</font>";
    QTest::newRow("Metamod library missing")
        << am << QStringList{"TFC/addons/metamod/dlls/metamod.dll"}
        << "M: title=\"Your Metamod.dll file is missing, Expected path: "
           "@ROOT@TFC/addons/metamod/dlls/Metamod.dll, Please reinstall Metamod.\"><font "
           "color=\"#FF0000\">Missing Metamod.dll - Mouse Here";
    QTest::newRow("Admin Mod users.ini missing")
        << am << QStringList{"TFC/addons/adminmod/config/users.ini"}
        << "A: title=\"Your Users.ini file is missing, Expected path: "
           "@ROOT@TFC/addons/adminmod/config/Users.ini Please reinstall Admin Mod or click here to unload "
           "it.\"><font color=\"#FF0000\">Missing Users.ini - Mouse Here";
    Files amList = am;
    amList.insert("TFC/plugin.ini", "; list\r\n\r\n  \r\ndlls/a.amx\r\ndlls/b.amx \r\ndlls/c.amx\r\n");
    amList.insert("TFC/dlls/c.amx", "x");
    QTest::newRow("first missing plug-in of the list")
        << amList << QStringList{}
        << "A: title=\"Your 'dlls/a.amx' file is missing, Expected path: @ROOT@TFC/dlls/a.amx Please "
           "reinstall this plugin or click here to unload Admin Mod.\"><font color=\"#FF0000\">dlls/a.amx - "
           "Mouse Here";
    const Files ntf{{"TFC/liblist.gam", kNtfGame}, {"TFC/addons/neotf/ntf_config.txt", "tfc.dll"}};
    QTest::newRow("NeoTF cvars missing")
        << ntf << QStringList{"TFC/addons/neotf/ntf_cvars.cfg"}
        << "N: title=\"Your NTF_Cvars.cfg file is missing, Expected path: "
           "@ROOT@TFC/addons/neotf/NTF_Cvars.cfg Please reinstall Neo TF or click here to unload it.\"><font "
           "color=\"#FF0000\">Missing NTF_Cvars.cfg - Mouse Here";
    QTest::newRow("NeoTF library missing wins over later files")
        << ntf << QStringList{"TFC/addons/neotf/dlls/ntf.dll"}
        << "N: title=\"Your NTF.dll file is missing, Expected path: @ROOT@TFC/addons/neotf/dlls/NTF.dll "
           "Please reinstall Neo TF.\"><font color=\"#FF0000\">Missing NTF.dll - Mouse Here";
}

void TestDetection::companionNotes() {
    QFETCH(Files, files);
    QFETCH(QStringList, remove);
    QFETCH(QString, cell);
    test::FixtureInstall fx;
    complete(fx);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        fx.write(it.key(), it.value());
    for (const QString& r : remove)
        QFile::remove(fx.path(r));
    ComponentSettings s;
    const Detection d = detect(fx, s);
    const QChar which = cell.at(0);
    const QString expected = cell.mid(cell.at(1) == ':' ? 2 : 1).replace("@ROOT@", fx.root());
    const QString actual = which == 'T'   ? d.cells.tarrowLoaded
                           : which == 'M' ? d.cells.metamodLoaded
                           : which == 'A' ? d.cells.adminmodLoaded
                                          : d.cells.neotfLoaded;
    QCOMPARE(actual, expected);
}

void TestDetection::upkeepRemovesOneDuplicatePerRefresh() {
    test::FixtureInstall fx;
    const QByteArray liblist = kModGame + "\r\n" + kMmGame + "\r\n" + kBotGame + "\r\n";
    fx.write("TFC/liblist.gam", liblist);
    fx.write("TFC/autoexec.cfg", "localinfo mm_gamedll a\r\nlocalinfo mm_gamedll b\r\n");
    ComponentSettings s;
    // Detection only looks.
    detect(fx, s);
    QCOMPARE(fx.read("TFC/liblist.gam"), liblist);
    const InstallPaths p = fx.paths(s);
    QCOMPARE(removeDuplicateLoadStatements(p, s), (QStringList{p.liblist, p.autoexec}));
    QCOMPARE(fx.read("TFC/liblist.gam"), kModGame + "\r\n" + kMmGame + "\r\n");
    QCOMPARE(fx.read("TFC/autoexec.cfg"), QByteArray("localinfo mm_gamedll a\r\n"));
    QCOMPARE(removeDuplicateLoadStatements(p, s), QStringList{p.liblist});
    QCOMPARE(fx.read("TFC/liblist.gam"), kModGame + "\r\n");
    QCOMPARE(removeDuplicateLoadStatements(p, s), QStringList());
    QCOMPARE(fx.read("TFC/liblist.gam"), kModGame + "\r\n");
    QCOMPARE(fx.read("TFC/autoexec.cfg"), QByteArray("localinfo mm_gamedll a\r\n"));
}

void TestDetection::upkeepKeepsLinuxAndMacLines() {
    test::FixtureInstall fx;
    const QByteArray liblist = "// Valve\r\ngamedll \"dlls\\tfc.dll\"\r\ngamedll_linux "
                               "\"dlls/tfc.so\"\r\ngamedll_osx \"dlls/tfc.dylib\"\r\n";
    fx.write("TFC/liblist.gam", liblist);
    ComponentSettings s;
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(detect(fx, s).cells.modLoaded, kYes);
        QCOMPARE(removeDuplicateLoadStatements(fx.paths(s), s), QStringList());
    }
    QCOMPARE(fx.read("TFC/liblist.gam"), liblist);
}

void TestDetection::pluginNamesAreEscaped() {
    test::FixtureInstall fx;
    complete(fx);
    fx.write("TFC/liblist.gam", kMmGame);
    fx.write("TFC/autoexec.cfg", "x");
    fx.write("TFC/addons/metamod/plugins.ini", "win32 addons/adminmod/dlls/admin_mm.dll");
    fx.write("TFC/plugin.ini", "<script>alert(\"x\")</script>&.amx");
    ComponentSettings s;
    const QString cell = detect(fx, s).cells.adminmodLoaded;
    QVERIFY(!cell.contains("<script>"));
    QVERIFY(cell.contains("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;.amx - Mouse Here"));
}

void TestDetection::unreadableFileCountsAsEmpty_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("metamodLoaded");
    QTest::addRow("liblist.gam") << "TFC/liblist.gam" << false;
    QTest::addRow("plugins.ini") << "TFC/addons/metamod/plugins.ini" << true;
    QTest::addRow("autoexec.cfg") << "TFC/autoexec.cfg" << true;
    QTest::addRow("sierra.inf") << "sierra.inf" << true;
}

void TestDetection::unreadableFileCountsAsEmpty() {
    QFETCH(QString, file);
    QFETCH(bool, metamodLoaded);
    test::FixtureInstall fx;
    complete(fx);
    fx.write("TFC/liblist.gam", kMmGame + "\r\n");
    fx.write("TFC/addons/metamod/plugins.ini", "win32 ../tarrow/tarrow.dll\r\n");
    fx.write("TFC/autoexec.cfg", "echo\r\n");
    fx.write("sierra.inf", "ProductName \"HLServer\"\r\n");
    fx.write(file, QByteArray(kMaxReadBytes + 1, ' '));
    ComponentSettings s;
    const Detection d = detect(fx, s);
    QCOMPARE(d.report.unreadable.size(), 1);
    QCOMPARE(d.report.unreadable.first().path, fx.path(file));
    QVERIFY2(d.report.unreadable.first().reason.contains("files of over 16 MiB are not read"),
             qPrintable(d.report.unreadable.first().reason));
    QCOMPARE(d.flags.MetamodLoaded, metamodLoaded);
    QVERIFY(d.report.hasProblems());
    QCOMPARE(removeDuplicateLoadStatements(fx.paths(s), s), QStringList());
}

QTEST_GUILESS_MAIN(TestDetection)
#include "tst_detection.moc"
