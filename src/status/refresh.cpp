#include "refresh.h"

#include "actions.h"
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
        QUrl::fromLocalFile(nativePath(root + QStringLiteral("tarrow\\") + waitingPage)).toString(QUrl::FullyEncoded));
    return label + QStringLiteral(" Loaded:  <a href=\"") + page +
           QStringLiteral("\" target=\"_parent\"") + cell;
}

QString runningLine(const QString& title, const QString& library, bool checkInstalled,
                    const OpenFileScan& scan) {
    QString state;
    if (checkInstalled && !fileExists(library))
        state = QStringLiteral("#FF0000\">Not Installed");
    else if (IsFileInUse(library, scan))
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
    deleteFile(paths.metagame);
}

QStringList StatusRefresh::statusReport(const StatusCells& c, const QString& root) {
    QStringList lines = scriptBlock();
    lines << QStringLiteral("<html>") << QStringLiteral("<head>") << QStringLiteral("</head>") << kBody;
    if (!c.installTypeLine.isEmpty()) lines << QStringLiteral("<p>") + c.installTypeLine;
    if (!c.engineVersionLine.isEmpty()) lines << c.engineVersionLine;
    const QString end = QStringLiteral("</font><br>");
    lines << QStringLiteral("Mod Installed: ") + c.modInstalled + end;
    lines << QStringLiteral("Mod Loaded: ") + c.modLoaded + end;
    lines << siteLink(WebAddresses::TarrowSiteAddress, QStringLiteral("Tarrow")) +
                 QStringLiteral(" Installed:") + c.tarrowInstalled + end;
    lines << loadedRow(QStringLiteral("Tarrow"), QStringLiteral("Tar.html"), root, c.tarrowLoaded) + end;
    lines << siteLink(WebAddresses::MetamodSiteAddress, QStringLiteral("Metamod")) +
                 QStringLiteral(" Installed: ") + c.metamodInstalled + end;
    lines << loadedRow(QStringLiteral("Metamod"), QStringLiteral("MM.html"), root, c.metamodLoaded) + end;
    lines << siteLink(WebAddresses::AdminmodSiteAddress, QStringLiteral("Admin Mod")) +
                 QStringLiteral(" Installed: ") + c.adminmodInstalled + end;
    lines << loadedRow(QStringLiteral("Admin Mod"), QStringLiteral("AM.html"), root, c.adminmodLoaded) + end;
    lines << siteLink(WebAddresses::NeotfSiteAddress, QStringLiteral("NeoTF")) +
                 QStringLiteral(" Installed: ") + c.neotfInstalled + end;
    lines << loadedRow(QStringLiteral("NeoTF"), QStringLiteral("NTF.html"), root, c.neotfLoaded) +
                 QStringLiteral("</font><br></p>");
    lines << QStringLiteral("</html>");
    return lines;
}

QStringList StatusRefresh::runningReport(const InstallPaths& p, const OpenFileScan& scan) {
    const QString rule = QStringLiteral("<center>----------------------------------------</center>");
    QStringList lines = scriptBlock();
    lines << QStringLiteral("<html>") << kBody << QStringLiteral("<br><br>") + rule;
    lines << runningLine(QStringLiteral("Server"), p.modLibrary, false, scan);
    lines << runningLine(QStringLiteral("Tarrow"), p.botLibrary, true, scan);
    lines << runningLine(QStringLiteral("Metamod"), p.metamodLibrary, true, scan);
    lines << runningLine(QStringLiteral("Admin Mod"), p.adminmodLibrary, true, scan);
    lines << runningLine(QStringLiteral("NeoTF"), p.neotfLibrary, true, scan);
    lines << rule + QStringLiteral("</html>") << QString();
    return lines;
}

void StatusRefresh::run(const InstallPaths& p, ComponentSettings& settings, const QString& locationName,
                        QStringList& liblist) {
    for (const QString& file : {p.metamodLibrary, p.adminmodLibrary, p.modLibrary, p.neotfLibrary, p.liblist,
                                p.pluginsIni, p.autoexec, p.ntfConfig})
        clearReadOnly(file);

    applyClickAction(clickedComponent(locationName), flags_, p, settings, liblist);

    flags_ = LoadFlags{};
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

    const Detection d = detectComponents(p, settings, liblist);
    flags_ = d.flags;
    cells_ = d.cells;
    writePage(dir + QStringLiteral("tarrow.html"), statusReport(cells_, p.root), false);
    // The running-state report ends with an empty line, which has its line end like the others.
    const OpenFileScan scan =
        OpenFileScan::take({p.modLibrary, p.botLibrary, p.metamodLibrary, p.adminmodLibrary, p.neotfLibrary});
    writePage(dir + QStringLiteral("stats.html"), runningReport(p, scan), true);
}

} // namespace tarrow
