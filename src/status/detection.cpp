#include "detection.h"

#include "app/webaddresses.h"
#include "common/fileio.h"
#include "common/fileversion.h"
#include "common/html.h"
#include "common/paths.h"
#include "common/textlists.h"

namespace tarrow {

namespace {

// A path as the user reads it in a title: as the program would open it, escaped for the page.
QString shown(const QString& composed) {
    return htmlEscape(nativePath(composed));
}

QString yesCell() {
    return QStringLiteral(" <font color=\"#008000\">Yes");
}

QString unloadCell(const QString& name, const QString& mod) {
    return QStringLiteral(" title=\"Click to Unload ") + name + QStringLiteral(" from ") + mod +
           QStringLiteral("\"><font color=\"#008000\">Yes");
}

QString ntfErrorCell() {
    return QStringLiteral(" <font color=\"#FF0000\" title=\"Missing load statement (\"tfc.dll\")\">Error in "
                          "ntf_config.txt - Mouse Here");
}

QString missingCell(const QString& what, const QString& path, const QString& advice) {
    return QStringLiteral(" title=\"Your ") + what + QStringLiteral(" file is missing, Expected path: ") +
           path + advice + QStringLiteral("\"><font color=\"#FF0000\">Missing ") + what +
           QStringLiteral(" - Mouse Here");
}

QStringList readForMatching(const QString& path, QStringList& liblist) {
    LoadListFromFile(path, liblist, true);
    return matchingView(liblist);
}

// `shown` turns the version as read into the version the cell shows.
QString installedCell(const QString& library, const QString& latest, const QString& download,
                      const QString& name, std::optional<QString>* versionOut = nullptr,
                      QString (*shown)(const QString&) = nullptr) {
    const QString d = htmlEscape(download);
    if (!fileExists(library))
        return QStringLiteral(" <a href=\"") + d +
               QStringLiteral("\" target=\"_NEW\" title=\"Click to download ") + name +
               QStringLiteral("\"><font color=\"#FF0000\">No</a>");
    const std::optional<QString> version = FileVersionText(library);
    if (versionOut) *versionOut = version;
    if (!version)
        return QStringLiteral(" <a href=\"") + d +
               QStringLiteral("\" target=\"_NEW\" title=\"Click to download the most recent version of ") +
               name + QStringLiteral("\"><font color=\"#800080\">Unknown Version</a>");
    const QString v = htmlEscape(*version);
    if (!versionOlder(*version, latest))
        return QStringLiteral(" <font color=\"#800080\">") + (shown ? htmlEscape(shown(*version)) : v);
    return QStringLiteral(" <font color=\"#800080\" title=\"Current Version: ") + htmlEscape(latest) +
           QStringLiteral("\">") + v + QStringLiteral(" (<a href=\"") + d +
           QStringLiteral("\" target=\"_NEW\" title=\"Click to download the most recent version of ") + name +
           QStringLiteral("\"><font color=\"#800080\">Old version</a>)</font>");
}

void installedCells(const InstallPaths& p, ComponentSettings& s, StatusCells& c) {
    const QString mod = htmlEscape(p.mod);
    c.modInstalled = fileExists(p.modLibrary) ? QStringLiteral(" <font color=\"#800080\">") + mod
                                              : QStringLiteral(" <font color=\"#FF0000\"> Can't find ") +
                                                    mod + QStringLiteral(" DLL!");
    c.tarrowInstalled = installedCell(p.botLibrary, s.LatestPluginVersion,
                                      WebAddresses::TarrowDownloadAddress, QStringLiteral("Tarrow"));
    c.metamodInstalled = installedCell(p.metamodLibrary, s.LatestMetamodVersion,
                                       WebAddresses::MetamodSiteAddress, QStringLiteral("Metamod"));
    c.adminmodInstalled = installedCell(p.adminmodLibrary, s.LatestAdminmodVersion,
                                        WebAddresses::AdminmodDownloadAddress, QStringLiteral("Admin Mod"));
    // NeoTF 1.6.0.0 reports itself wrongly: it is shown as 1.6.1.0 but compared as read.
    auto neotfShown = [](const QString& v) {
        return v == QLatin1String("1.6.0.0") ? QStringLiteral("1.6.1.0") : v;
    };
    std::optional<QString> ntfVersion;
    c.neotfInstalled = installedCell(p.neotfLibrary, s.LatestNeotfVersion, WebAddresses::NeotfDownloadAddress,
                                     QStringLiteral("NeoTF"), &ntfVersion, neotfShown);
    if (ntfVersion) s.InstalledNeotfVersion = neotfShown(*ntfVersion);
}

void loadAnalysis(const InstallPaths& p, const LoadStatements& st, Detection& d, QStringList& liblist) {
    StatusCells& c = d.cells;
    LoadFlags& f = d.flags;
    const QString mod = htmlEscape(p.mod);
    if (!fileExists(p.liblist)) {
        c.modLoaded = QStringLiteral(" <font color=\"#FF0000\" title=\"Expected path: ") + shown(p.liblist) +
                      QStringLiteral("\">Missing Liblist.gam file - Mouse Here");
        return;
    }
    const QStringList lib = readForMatching(p.liblist, liblist);
    if (listHas(lib, st.GAME)) {
        c.modLoaded = yesCell();
    } else if (listHas(lib, st.BOTGAME)) {
        c.modLoaded = yesCell();
        c.tarrowLoaded = unloadCell(QStringLiteral("Tarrow"), mod);
        f.TarrowLoaded = true;
    } else if (listHas(lib, st.MMGAME)) {
        c.metamodLoaded = QStringLiteral(" title=\"Click to Unload Metamod (and Admin Mod) from ") + mod +
                          QStringLiteral("\"><font color=\"#008000\">Yes");
        f.MetamodLoaded = true;
        if (fileExists(p.pluginsIni)) {
            const QStringList plugins = readForMatching(p.pluginsIni, liblist);
            if (listHas(plugins, st.BOTPLUGREAD)) {
                c.modLoaded = yesCell();
                c.tarrowLoaded = unloadCell(QStringLiteral("Tarrow"), mod);
                f.TarrowLoaded = true;
            }
            if (listHas(plugins, st.AMPLUGREAD)) {
                c.adminmodLoaded = QStringLiteral(" title=\"Click to Unload Admin mod from ") + mod +
                                   QStringLiteral("\"><font color=\"#008000\">Yes");
                f.AdminmodLoaded = true;
            }
            if (listHas(plugins, st.NTFPLUG)) {
                c.neotfLoaded =
                    QStringLiteral(" title=\"This setup will not work with version 1.5.2 or earlier of "
                                   "NeoTF\"><font color=\"#008000\">Yes");
                f.NeotfLoaded = true;
            }
            if (fileExists(p.autoexec)) {
                const QStringList autoexec = readForMatching(p.autoexec, liblist);
                if (!listHas(autoexec, st.NTFLOCAL)) {
                    c.modLoaded = yesCell();
                } else {
                    c.neotfLoaded = unloadCell(QStringLiteral("NeoTF"), mod);
                    f.NeotfLoaded = true;
                    if (fileExists(p.ntfConfig)) {
                        const QStringList ntf = readForMatching(p.ntfConfig, liblist);
                        c.modLoaded = listHas(ntf, st.NTF2TFC) ? yesCell() : ntfErrorCell();
                    }
                }
            } else {
                c.modLoaded =
                    QStringLiteral(" <font color=\"#008000\" title=\"Missing Autoexec.cfg file\">Yes");
            }
        }
    } else if (listHas(lib, st.NTFGAME)) {
        c.neotfLoaded = unloadCell(QStringLiteral("NeoTF"), mod);
        f.NeotfLoaded = true;
        if (fileExists(p.ntfConfig)) {
            const QStringList ntf = readForMatching(p.ntfConfig, liblist);
            if (listHas(ntf, st.NTF2BOTREAD)) {
                c.modLoaded = yesCell();
                c.tarrowLoaded = unloadCell(QStringLiteral("Tarrow"), mod);
                f.TarrowLoaded = true;
            } else if (listHas(ntf, st.NTF2MM)) {
                c.modLoaded = yesCell();
                c.metamodLoaded = QStringLiteral(" title=\"Click to Unload Metamod from ") + mod +
                                  QStringLiteral(" (You should load Metamod first then NeoTF)\"><font "
                                                 "color=\"#008000\">Yes (Setup Not Suggested) - Mouse Here");
                f.MetamodLoaded = true;
                if (fileExists(p.pluginsIni)) {
                    const QStringList plugins = readForMatching(p.pluginsIni, liblist);
                    if (listHas(plugins, st.BOTPLUGREAD)) {
                        c.tarrowLoaded = unloadCell(QStringLiteral("Tarrow"), mod);
                        f.TarrowLoaded = true;
                    }
                    if (listHas(plugins, st.AMPLUGREAD)) {
                        c.adminmodLoaded = unloadCell(QStringLiteral("Admin Mod"), mod);
                        f.AdminmodLoaded = true;
                    }
                }
            } else {
                c.modLoaded = listHas(ntf, st.NTF2TFC) ? yesCell() : ntfErrorCell();
            }
        }
    }
}

void engineLines(const InstallPaths& p, ComponentSettings& s, StatusCells& c, QStringList& liblist) {
    if (!fileExists(p.sierra)) return;
    const QStringList lines = readForMatching(p.sierra, liblist);
    if (listHas(lines, QStringLiteral("ProductName \"Half-Life\""))) {
        c.installTypeLine = QStringLiteral("Install Type: Half Life Game<br>");
        if (!s.LatestHLVersion.isEmpty()) s.LatestHLVersion[0] = QLatin1Char('1');
    } else if (listHas(lines, QStringLiteral("ProductName \"HLServer\""))) {
        c.installTypeLine = QStringLiteral("Install Type: Half Life Server<br>");
        if (!s.LatestHLVersion.isEmpty()) s.LatestHLVersion[0] = QLatin1Char('4');
    } else {
        c.installTypeLine = QStringLiteral("Install Type: Unknown<br>");
    }
    // No CurrentVersion line: no engine version line rather than a guess.
    const qsizetype i = FindListPrefix(lines, QStringLiteral("CurrentVersion"), 14);
    if (i < 0) return;
    const QString& line = lines[i];
    const QString h = line.size() > 17 ? line.mid(16, line.size() - 17) : QString();
    if (versionOlder(h, s.LatestHLVersion))
        c.engineVersionLine =
            QStringLiteral("HL Version: <font color=\"#800080\" title=\"Current Version: ") +
            htmlEscape(s.LatestHLVersion) + QStringLiteral("\">") + htmlEscape(h) +
            QStringLiteral(" (Old version) - Mouse Here</font><br>");
    else
        c.engineVersionLine = QStringLiteral("HL Version: <font color=\"#800080\">") + htmlEscape(h) +
                              QStringLiteral("</font><br>");
}

void companionChecks(const InstallPaths& p, const ComponentSettings& s, Detection& d, QStringList& liblist) {
    StatusCells& c = d.cells;
    const QString rc = p.root + p.mod;
    if (d.flags.TarrowLoaded) {
        const QString botMissing =
            QStringLiteral(" title=\"Your Tarrow.dll file is missing, Expected path: ") +
            shown(p.root + QStringLiteral("Tarrow\\Tarrow.dll")) +
            QStringLiteral(
                ", Please reinstall Tarrow.\"><font color=\"#FF0000\">Missing Tarrow.dll - Mouse Here");
        if (!fileExists(p.botLibrary)) c.tarrowLoaded = botMissing;
        for (const char* f : {"Tarrow.cfg", "Default.cfg", "Tarrow_Names.txt", "Tarrow_Chat.txt"}) {
            const QString name = QString::fromLatin1(f);
            if (fileExists(p.botFolder + name)) continue;
            c.tarrowLoaded = QStringLiteral(" </a><font color=\"#FF0000\" title=\"Your ") + name +
                             QStringLiteral(" file is missing, Expected path: ") +
                             shown(p.root + QStringLiteral("Tarrow\\") + p.mod + QLatin1Char('\\') + name) +
                             QStringLiteral(", Please reinstall Tarrow.\">Missing ") + name +
                             QStringLiteral(" - Mouse Here");
        }
        const QString help = p.root + QStringLiteral("Tarrow\\Tarrow_Documentation.chm");
        if (!fileExists(help))
            c.tarrowLoaded +=
                QStringLiteral("</a><font color=\"#FF0000\" title=\"Missing the Tarrow help file, Expected "
                               "path: ") +
                shown(help) + QStringLiteral("\"> (Note) - Mouse Here</font>");
        if (!fileExists(p.botLibrary)) c.tarrowLoaded = botMissing;
    }
    if (d.flags.MetamodLoaded) {
        if (!fileExists(p.metamodLibrary))
            c.metamodLoaded = missingCell(
                QStringLiteral("Metamod.dll"),
                shown(rc + QLatin1Char('\\') + s.MetamodFolder + QStringLiteral("dlls\\Metamod.dll")),
                QStringLiteral(", Please reinstall Metamod."));
        if (!fileExists(p.pluginsIni))
            c.metamodLoaded =
                QStringLiteral(" title=\"Your plugins.ini file is missing, Click here to create a new one "
                               "here: ") +
                shown(rc + QLatin1Char('\\') + s.MetamodFolder + QStringLiteral("plugins.ini")) +
                QStringLiteral("\"><font color=\"#FF0000\">Missing plugins.ini - Mouse Here");
    }
    if (d.flags.AdminmodLoaded) {
        if (!fileExists(p.adminmodLibrary))
            c.adminmodLoaded = missingCell(
                QStringLiteral("Admin_MM.dll"),
                shown(rc + QLatin1Char('\\') + s.AdminmodDllFolder + QStringLiteral("Admin_MM.dll")),
                QStringLiteral(", Please reinstall Admin Mod."));
        for (const char* f : {"Plugin.ini", "Users.ini"}) {
            const QString name = QString::fromLatin1(f);
            if (fileExists(p.adminmodConfigFolder + name.toLower())) continue;
            c.adminmodLoaded =
                missingCell(name, shown(rc + s.AdminmodConfigFolder + name),
                            QStringLiteral(" Please reinstall Admin Mod or click here to unload it."));
        }
        const QString list = rc + QStringLiteral("\\plugin.ini");
        if (fileExists(list)) {
            QStringList plugins;
            LoadListFromFile(list, liblist, true);
            // Plug-in paths keep their own blanks.
            for (const QString& line : withoutByteOrderMark(liblist)) {
                if (line.startsWith(QLatin1Char(';')) || trimBlanks(line).isEmpty()) continue;
                plugins.append(line);
            }
            for (qsizetype i = plugins.size() - 1; i >= 0; --i) {
                const QString& pl = plugins[i];
                if (fileExists(rc + QLatin1Char('\\') + trimBlanks(pl))) continue;
                c.adminmodLoaded =
                    QStringLiteral(" title=\"Your '") + htmlEscape(pl) +
                    QStringLiteral("' file is missing, Expected path: ") +
                    shown(rc + QLatin1Char('\\') + pl) +
                    QStringLiteral(" Please reinstall this plugin or click here to unload Admin Mod.\"><font "
                                   "color=\"#FF0000\">") +
                    htmlEscape(pl) + QStringLiteral(" - Mouse Here");
            }
        }
    }
    if (d.flags.NeotfLoaded) {
        const QString base = rc + QLatin1Char('\\') + s.NeotfFolder;
        const struct {
            const char* shownName;
            const char* file;
            const char* advice;
        } checks[] = {
            {"NTF.dll", "dlls\\NTF.dll", " Please reinstall Neo TF."},
            {"NTF_Config.txt", "NTF_Config.txt", " Please reinstall Neo TF or click here to unload it."},
            {"NTF_Users.ini", "NTF_Users.ini", " Please reinstall Neo TF or click here to unload it."},
            {"NTF_Cvars.cfg", "NTF_Cvars.cfg", " Please reinstall Neo TF or click here to unload it."},
        };
        for (const auto& check : checks) {
            const QString path = base + QString::fromLatin1(check.file);
            if (fileExists(path)) continue;
            c.neotfLoaded = QStringLiteral(" title=\"Your ") + QString::fromLatin1(check.shownName) +
                            QStringLiteral(" file is missing, Expected path: ") + shown(path) +
                            QString::fromLatin1(check.advice) +
                            QStringLiteral("\"><font color=\"#FF0000\">Missing ") +
                            QString::fromLatin1(check.shownName) + QStringLiteral(" - Mouse Here");
        }
    }
}

// One duplicated statement loses its last copy per refresh; a single one is never touched.
void removeOneDuplicate(const QString& path, QStringList& liblist, bool gamedll) {
    if (!fileExists(path)) return;
    LoadListFromFile(path, liblist, true);
    auto find = [&] {
        return gamedll ? findGamedllLine(liblist)
                       : FindListPrefix(matchingView(liblist), QStringLiteral("localinfo mm_gamedll"), 20);
    };
    const qsizetype last = find();
    if (last < 0) return;
    liblist.removeAt(last);
    if (find() >= 0) SaveListToFile(path, liblist, QString(), liblist);
}

} // namespace

StatusCells startingCells(const QString& modFolder) {
    StatusCells c;
    const QString mod = htmlEscape(modFolder);
    auto no = [&](const char* name) {
        return QStringLiteral(" title=\"Click to Load ") + QLatin1String(name) + QStringLiteral(" into ") +
               mod + QStringLiteral("\"><font color=\"#FF0000\">No</a>");
    };
    c.modLoaded = QStringLiteral("<font color=\"#FF0000\">No");
    c.tarrowLoaded = no("Tarrow");
    c.metamodLoaded = no("Metamod");
    c.adminmodLoaded = no("Admin Mod");
    c.neotfLoaded = no("NeoTF");
    return c;
}

Detection detectComponents(const InstallPaths& paths, ComponentSettings& settings, QStringList& liblist) {
    Detection d;
    d.cells = startingCells(paths.mod);
    const LoadStatements st(settings);
    installedCells(paths, settings, d.cells);
    loadAnalysis(paths, st, d, liblist);
    engineLines(paths, settings, d.cells, liblist);
    companionChecks(paths, settings, d, liblist);
    removeOneDuplicate(paths.liblist, liblist, true);
    removeOneDuplicate(paths.autoexec, liblist, false);
    if (d.flags.NeotfLoaded && d.flags.TarrowLoaded && !d.flags.MetamodLoaded)
        d.cells.tarrowLoaded =
            QStringLiteral("</a><font color=\"#FF0000\" title=\"NeoTF and Tarrow will not work together "
                           "if you do not load Metamod, your server will crash. Please also load "
                           "Metamod.\"> (Warning - Mouse Here)</font>");
    return d;
}

} // namespace tarrow
