#include "refresh.h"

#include "actions.h"
#include "app/installpaths.h"
#include "app/webaddresses.h"
#include "common/fileinuse.h"
#include "common/fileio.h"
#include "common/html.h"
#include "common/paths.h"
#include "pages.h"

#include <QUrl>

namespace tarrow {

namespace {

const QString kBody =
    QStringLiteral("<body link=\"#0000FF\" vlink=\"#0000FF\" alink=\"#800080\" bgcolor=\"#FFFFFF\">"
                   "<basefont face=\"times new roman\" font size=2>");

QString siteLink(const QString& address, const QString& name) {
    const QString a = htmlEscape(address);
    return QStringLiteral("<a href=\"") + a + QStringLiteral("\" target=\"_NEW\" title=\"") + a +
           QStringLiteral("\">") + name + QStringLiteral("</a>");
}

QString loadedRow(const QString& label, const QString& waitingPage, const QString& root,
                  const QString& cell) {
    // The link's address is the waiting page as the pane opens it, encoded so that a folder name with
    // '#', '?' or '%' still leads there.
    const QString page = htmlEscape(
        QUrl::fromLocalFile(nativePath(pluginFolderOf(root) + waitingPage)).toString(QUrl::FullyEncoded));
    return label + QStringLiteral(" Loaded:  <a href=\"") + page + QStringLiteral("\" target=\"_parent\"") +
           cell;
}

QString runningLine(const QString& title, RunningState running) {
    QString state;
    if (running == RunningState::NotInstalled)
        state = QStringLiteral("#FF0000\">Not Installed");
    else if (running == RunningState::Running)
        state = QStringLiteral("#008000\">Running");
    else
        state = QStringLiteral("#FF0000\">Stopped");
    return QStringLiteral("<center>") + title + QStringLiteral(" Status: <font color=\"") + state +
           QStringLiteral("</center></font>");
}

} // namespace

void StatusRefresh::removeMetagame(const InstallPaths& paths) {
    if (!fileExists(paths.metagame)) return;
    clearReadOnly(paths.metagame);
    deleteFile(paths.metagame, paths.backups());
}

QStringList StatusRefresh::statusReport(const StatusCells& c, const QString& root) {
    QStringList lines = scriptBlock();
    lines << QStringLiteral("<html>") << QStringLiteral("<head>") << QStringLiteral("</head>") << kBody;
    if (!c.installTypeLine.isEmpty()) lines << QStringLiteral("<p>") + c.installTypeLine;
    if (!c.engineVersionLine.isEmpty()) lines << c.engineVersionLine;
    const QString end = QStringLiteral("</font><br>");
    lines << QStringLiteral("Mod Installed: ") + c.modInstalled + end;
    lines << QStringLiteral("Mod Loaded: ") + c.modLoaded + end;
    const struct {
        Component component;
        const QString& site;
        const QString& installed;
        const QString& loaded;
        const char* installedGap; // Tarrow's cell brings its own blank
    } rows[] = {
        {Component::Tarrow, WebAddresses::TarrowSiteAddress, c.tarrowInstalled, c.tarrowLoaded, ""},
        {Component::Metamod, WebAddresses::MetamodSiteAddress, c.metamodInstalled, c.metamodLoaded, " "},
        {Component::Adminmod, WebAddresses::AdminmodSiteAddress, c.adminmodInstalled, c.adminmodLoaded, " "},
        {Component::Neotf, WebAddresses::NeotfSiteAddress, c.neotfInstalled, c.neotfLoaded, " "},
    };
    for (const auto& row : rows) {
        const ComponentInfo& info = infoOf(row.component);
        const QString name = QLatin1String(info.displayName);
        const bool last = row.component == Component::Neotf;
        lines << siteLink(row.site, name) + QStringLiteral(" Installed:") + QLatin1String(row.installedGap) +
                     row.installed + end;
        lines << loadedRow(name, QLatin1String(info.waitingPage), root, row.loaded) +
                     (last ? QStringLiteral("</font><br></p>") : end);
    }
    lines << QStringLiteral("</html>");
    return lines;
}

RunningReport StatusRefresh::runningStates(const InstallPaths& p, const OpenFileScan& scan) {
    RunningReport r;
    const QString* libraries[] = {&p.modLibrary, &p.botLibrary, &p.metamodLibrary, &p.adminmodLibrary,
                                  &p.neotfLibrary};
    for (int i = 0; i < 5; ++i) {
        // The mod's own library has no "Not Installed" state on the page.
        if (i > 0 && !fileExists(*libraries[i]))
            r.states[i] = RunningState::NotInstalled;
        else
            r.states[i] = IsFileInUse(*libraries[i], scan) ? RunningState::Running : RunningState::Stopped;
    }
    return r;
}

QStringList StatusRefresh::runningReport(const RunningReport& r) {
    const QString rule = QStringLiteral("<center>----------------------------------------</center>");
    QStringList lines = scriptBlock();
    lines << QStringLiteral("<html>") << kBody << QStringLiteral("<br><br>") + rule;
    for (const ComponentInfo& info : componentTable()) {
        const QString title =
            info.component == Component::Mod ? QStringLiteral("Server") : QLatin1String(info.displayName);
        lines << runningLine(title, r.states[int(info.component)]);
    }
    lines << rule + QStringLiteral("</html>") << QString();
    return lines;
}

QStringList StatusRefresh::runningReport(const InstallPaths& p, const OpenFileScan& scan) {
    return runningReport(runningStates(p, scan));
}

void StatusRefresh::run(const InstallPaths& p, const ComponentSettings& settings,
                        const QString& locationName) {
    run(p, settings, clickedComponent(locationName));
}

void StatusRefresh::run(const InstallPaths& p, const ComponentSettings& settings, ClickedComponent click) {
    for (const QString& file : {p.metamodLibrary, p.adminmodLibrary, p.modLibrary, p.neotfLibrary, p.liblist,
                                p.pluginsIni, p.autoexec, p.ntfConfig})
        clearReadOnly(file);

    applyClickAction(click, flags_, p, settings);

    flags_ = LoadFlags{};
    report_ = emptyReport(p.mod);
    cells_ = startingCells(p.mod);

    const QString dir = p.pluginFolder;
    const QStringList refreshed{QStringLiteral("stats1.html"), QStringLiteral("stats.html"),
                                QStringLiteral("tarrow1.html"), QStringLiteral("tarrow.html")};
    for (const QString& name : refreshed)
        clearPageReadOnly(dir + name);
    for (const QString& name : refreshed)
        deleteFile(dir + name, WriteMode::Scratch);
    writePage(dir + QStringLiteral("tarrow1.html"), framesetPage(QStringLiteral("tarrow.html"), 10, 4),
              false);
    writePage(dir + QStringLiteral("stats1.html"), framesetPage(QStringLiteral("stats.html"), 20, 9), false);

    const Detection d = detectComponents(p, settings);
    removeDuplicateLoadStatements(p, settings);
    flags_ = d.flags;
    report_ = d.report;
    cells_ = d.cells;
    writePage(dir + QStringLiteral("tarrow.html"), statusReport(cells_, p.root), false);
    // The running-state report ends with an empty line, which has its line end like the others.
    const OpenFileScan scan =
        openFiles_.scan({p.modLibrary, p.botLibrary, p.metamodLibrary, p.adminmodLibrary, p.neotfLibrary});
    running_ = runningStates(p, scan);
    writePage(dir + QStringLiteral("stats.html"), runningReport(running_), true);
}

} // namespace tarrow
