// The status page's cells, made from a detection's facts. Every text here is the page's own.
#include "detection.h"

#include "app/webaddresses.h"
#include "common/html.h"
#include "common/paths.h"

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

QString missingCell(const QString& what, const QString& path, const QString& advice) {
    return QStringLiteral(" title=\"Your ") + what + QStringLiteral(" file is missing, Expected path: ") +
           path + advice + QStringLiteral("\"><font color=\"#FF0000\">Missing ") + what +
           QStringLiteral(" - Mouse Here");
}

QString installedCell(const ComponentReport& r, const QString& download, const QString& name) {
    const QString d = htmlEscape(download);
    switch (r.installed) {
    case InstallState::Missing:
        return QStringLiteral(" <a href=\"") + d +
               QStringLiteral("\" target=\"_NEW\" title=\"Click to download ") + name +
               QStringLiteral("\"><font color=\"#FF0000\">No</a>");
    case InstallState::NoVersionRecord:
        return QStringLiteral(" <a href=\"") + d +
               QStringLiteral("\" target=\"_NEW\" title=\"Click to download the most recent version of ") +
               name + QStringLiteral("\"><font color=\"#800080\">Unknown Version</a>");
    case InstallState::Current:
        return QStringLiteral(" <font color=\"#800080\">") + htmlEscape(r.shownVersion);
    case InstallState::Present:
        return QStringLiteral(
            " <font color=\"#800080\" title=\"Linux libraries carry no version record\">Installed");
    case InstallState::Old:
        break;
    }
    // An old version shows as read.
    return QStringLiteral(" <font color=\"#800080\" title=\"Current Version: ") +
           htmlEscape(r.currentVersion) + QStringLiteral("\">") + htmlEscape(r.version.value_or(QString())) +
           QStringLiteral(" (<a href=\"") + d +
           QStringLiteral("\" target=\"_NEW\" title=\"Click to download the most recent version of ") + name +
           QStringLiteral("\"><font color=\"#800080\">Old version</a>)</font>");
}

QString modLoadedCell(const ComponentReport& r) {
    for (const Note& n : r.notes) {
        if (n.kind == NoteKind::MissingLiblist)
            return QStringLiteral(" <font color=\"#FF0000\" title=\"Expected path: ") +
                   shown(n.expectedPath) + QStringLiteral("\">Missing Liblist.gam file - Mouse Here");
        if (n.kind == NoteKind::MissingAutoexec)
            return QStringLiteral(" <font color=\"#008000\" title=\"Missing Autoexec.cfg file\">Yes");
        if (n.kind == NoteKind::MissingLoadStatement)
            return QStringLiteral(
                " <font color=\"#FF0000\" title=\"Missing load statement (\"tfc.dll\")\">Error in "
                "ntf_config.txt - Mouse Here");
    }
    return r.loaded == LoadState::No ? QStringLiteral("<font color=\"#FF0000\">No") : yesCell();
}

QString tarrowLoadedCell(const ComponentReport& r, const QString& mod, const QString& notLoaded) {
    if (r.loaded == LoadState::No) return notLoaded;
    QString cell = unloadCell(QStringLiteral("Tarrow"), mod);
    QString libraryMissing;
    for (const Note& n : r.notes) {
        switch (n.kind) {
        case NoteKind::MissingLibrary:
            libraryMissing =
                QStringLiteral(" title=\"Your Tarrow.dll file is missing, Expected path: ") +
                shown(n.expectedPath) +
                QStringLiteral(", Please reinstall Tarrow.\"><font color=\"#FF0000\">Missing Tarrow.dll - "
                               "Mouse Here");
            cell = libraryMissing;
            break;
        case NoteKind::MissingCompanion:
            cell = QStringLiteral(" </a><font color=\"#FF0000\" title=\"Your ") + n.file +
                   QStringLiteral(" file is missing, Expected path: ") + shown(n.expectedPath) +
                   QStringLiteral(", Please reinstall Tarrow.\">Missing ") + n.file +
                   QStringLiteral(" - Mouse Here");
            break;
        case NoteKind::MissingHelp:
            cell +=
                QStringLiteral("</a><font color=\"#FF0000\" title=\"Missing the Tarrow help file, Expected "
                               "path: ") +
                shown(n.expectedPath) + QStringLiteral("\"> (Note) - Mouse Here</font>");
            break;
        case NoteKind::NeedsMetamod:
            return QStringLiteral(
                "</a><font color=\"#FF0000\" title=\"NeoTF and Tarrow will not work together "
                "if you do not load Metamod, your server will crash. Please also load "
                "Metamod.\"> (Warning - Mouse Here)</font>");
        default:
            break;
        }
    }
    // Without its library nothing else about the bot matters.
    return libraryMissing.isEmpty() ? cell : libraryMissing;
}

QString metamodLoadedCell(const ComponentReport& r, const QString& mod, const QString& notLoaded) {
    if (r.loaded == LoadState::No) return notLoaded;
    QString cell = r.route == LoadRoute::NeotfConfig
                       ? QStringLiteral(" title=\"Click to Unload Metamod from ") + mod +
                             QStringLiteral(" (You should load Metamod first then NeoTF)\"><font "
                                            "color=\"#008000\">Yes (Setup Not Suggested) - Mouse Here")
                       : QStringLiteral(" title=\"Click to Unload Metamod (and Admin Mod) from ") + mod +
                             QStringLiteral("\"><font color=\"#008000\">Yes");
    for (const Note& n : r.notes) {
        if (n.kind == NoteKind::MissingLibrary)
            cell = missingCell(n.file, shown(n.expectedPath), QStringLiteral(", Please reinstall Metamod."));
        if (n.kind == NoteKind::MissingPluginsIni)
            cell = QStringLiteral(" title=\"Your plugins.ini file is missing, Click here to create a new one "
                                  "here: ") +
                   shown(n.expectedPath) +
                   QStringLiteral("\"><font color=\"#FF0000\">Missing plugins.ini - Mouse Here");
    }
    return cell;
}

QString adminmodLoadedCell(const ComponentReport& r, const QString& mod, const QString& notLoaded) {
    if (r.loaded == LoadState::No) return notLoaded;
    QString cell = r.route == LoadRoute::MetamodPluginViaNeotf
                       ? unloadCell(QStringLiteral("Admin Mod"), mod)
                       : QStringLiteral(" title=\"Click to Unload Admin mod from ") + mod +
                             QStringLiteral("\"><font color=\"#008000\">Yes");
    for (const Note& n : r.notes) {
        if (n.kind == NoteKind::MissingLibrary)
            cell =
                missingCell(n.file, shown(n.expectedPath), QStringLiteral(", Please reinstall Admin Mod."));
        if (n.kind == NoteKind::MissingCompanion)
            cell = missingCell(n.file, shown(n.expectedPath),
                               QStringLiteral(" Please reinstall Admin Mod or click here to unload it."));
        if (n.kind == NoteKind::MissingPlugin)
            cell = QStringLiteral(" title=\"Your '") + htmlEscape(n.file) +
                   QStringLiteral("' file is missing, Expected path: ") + shown(n.expectedPath) +
                   QStringLiteral(" Please reinstall this plugin or click here to unload Admin Mod.\"><font "
                                  "color=\"#FF0000\">") +
                   htmlEscape(n.file) + QStringLiteral(" - Mouse Here");
    }
    return cell;
}

QString neotfLoadedCell(const ComponentReport& r, const QString& mod, const QString& notLoaded) {
    if (r.loaded == LoadState::No) return notLoaded;
    QString cell = r.route == LoadRoute::MetamodPlugin
                       ? QStringLiteral(" title=\"This setup will not work with version 1.5.2 or earlier of "
                                        "NeoTF\"><font color=\"#008000\">Yes")
                       : unloadCell(QStringLiteral("NeoTF"), mod);
    for (const Note& n : r.notes) {
        if (n.kind == NoteKind::MissingLibrary)
            cell = missingCell(n.file, shown(n.expectedPath), QStringLiteral(" Please reinstall Neo TF."));
        if (n.kind == NoteKind::MissingCompanion)
            cell = missingCell(n.file, shown(n.expectedPath),
                               QStringLiteral(" Please reinstall Neo TF or click here to unload it."));
    }
    return cell;
}

QString notLoadedCell(const char* name, const QString& mod) {
    return QStringLiteral(" title=\"Click to Load ") + QLatin1String(name) + QStringLiteral(" into ") + mod +
           QStringLiteral("\"><font color=\"#FF0000\">No</a>");
}

} // namespace

StatusCells startingCells(const QString& modFolder) {
    StatusCells c;
    const QString mod = htmlEscape(modFolder);
    c.modLoaded = QStringLiteral("<font color=\"#FF0000\">No");
    c.tarrowLoaded = notLoadedCell("Tarrow", mod);
    c.metamodLoaded = notLoadedCell("Metamod", mod);
    c.adminmodLoaded = notLoadedCell("Admin Mod", mod);
    c.neotfLoaded = notLoadedCell("NeoTF", mod);
    return c;
}

StatusCells renderCells(const StatusReport& r) {
    StatusCells c = startingCells(r.modFolder);
    const QString mod = htmlEscape(r.modFolder);
    c.modInstalled =
        r[Component::Mod].installed == InstallState::Missing
            ? QStringLiteral(" <font color=\"#FF0000\"> Can't find ") + mod + QStringLiteral(" DLL!")
            : QStringLiteral(" <font color=\"#800080\">") + mod;
    c.tarrowInstalled =
        installedCell(r[Component::Tarrow], WebAddresses::TarrowDownloadAddress, QStringLiteral("Tarrow"));
    c.metamodInstalled =
        installedCell(r[Component::Metamod], WebAddresses::MetamodSiteAddress, QStringLiteral("Metamod"));
    c.adminmodInstalled = installedCell(r[Component::Adminmod], WebAddresses::AdminmodDownloadAddress,
                                        QStringLiteral("Admin Mod"));
    c.neotfInstalled =
        installedCell(r[Component::Neotf], WebAddresses::NeotfDownloadAddress, QStringLiteral("NeoTF"));

    c.modLoaded = modLoadedCell(r[Component::Mod]);
    c.tarrowLoaded = tarrowLoadedCell(r[Component::Tarrow], mod, c.tarrowLoaded);
    c.metamodLoaded = metamodLoadedCell(r[Component::Metamod], mod, c.metamodLoaded);
    c.adminmodLoaded = adminmodLoadedCell(r[Component::Adminmod], mod, c.adminmodLoaded);
    c.neotfLoaded = neotfLoadedCell(r[Component::Neotf], mod, c.neotfLoaded);

    switch (r.installType) {
    case InstallType::None:
        break;
    case InstallType::Game:
        c.installTypeLine = QStringLiteral("Install Type: Half Life Game<br>");
        break;
    case InstallType::Server:
        c.installTypeLine = QStringLiteral("Install Type: Half Life Server<br>");
        break;
    case InstallType::Unknown:
        c.installTypeLine = QStringLiteral("Install Type: Unknown<br>");
        break;
    }
    if (r.engineBuild)
        c.engineVersionLine =
            QStringLiteral("HL Build: ") + htmlEscape(*r.engineBuild) + QStringLiteral("<br>");
    if (r.engineVersion) {
        const QString h = htmlEscape(*r.engineVersion);
        c.engineVersionLine =
            r.engineOld
                ? QStringLiteral("HL Version: <font color=\"#800080\" title=\"Current Version: ") +
                      htmlEscape(r.currentEngineVersion) + QStringLiteral("\">") + h +
                      QStringLiteral(" (Old version) - Mouse Here</font><br>")
                : QStringLiteral("HL Version: <font color=\"#800080\">") + h + QStringLiteral("</font><br>");
    }
    return c;
}

} // namespace tarrow
