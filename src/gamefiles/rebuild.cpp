#include "rebuild.h"

#include "app/componentsettings.h"
#include "app/installpaths.h"
#include "app/webaddresses.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/wait.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tarrow {

QStringList defaultAutoexecLines() {
    QStringList l{QStringLiteral("// Rebuilt Autoexec.cfg by ") + PanelVersionText};
    for (int i = 1; i <= 9; ++i)
        l << QStringLiteral("bind %1 slot%1").arg(i);
    l << QStringLiteral("bind 0 slot10");
    return l;
}

QStringList defaultLiblistLines() {
    return {QStringLiteral("// Rebuilt Liblist.gam by ") + PanelVersionText,
            QStringLiteral("// team fortress classes game .dll listing file"),
            QStringLiteral("// load order is determined by file order."),
            QStringLiteral("game \"team fortress\""),
            QStringLiteral("url_info \"") + WebAddresses::GameInfoAddress + QLatin1Char('"'),
            QStringLiteral("url_dl \"\""),
            QStringLiteral("version \"1.5\""),
            QStringLiteral("size \"37000000\""),
            QStringLiteral("svonly \"0\""),
            QStringLiteral("cldll \"0\""),
            QStringLiteral("type \"multiplayer_only\""),
            QStringLiteral(
                "nomodels \"1\"  // don't show models in browser, since you don't pick them there anyway."),
            QStringLiteral("mpentity \"info_tfdetect\""),
            QStringLiteral("gamedll \"dlls\\tfc.dll\"")};
}

QStringList defaultPluginsIniLines() {
    return {QStringLiteral("// Rebuilt plugins.ini by ") + PanelVersionText};
}

QStringList defaultNtfConfigLines() {
    return {QStringLiteral("tfc.dll")};
}

namespace {

// The command line's words for the four files, in the rebuild's order.
constexpr const char* kTargetNames[] = {"autoexec", "liblist", "plugins", "ntfconfig"};

// The Windows server's files.
QList<RebuildTarget> windowsTargets(const InstallPaths& p) {
    const QString modDir = p.root + p.mod;
    return {
        {kTargetNames[0], "Rebuilding Autoexec.cfg...", p.autoexec, modDir, defaultAutoexecLines},
        {kTargetNames[1], "Rebuilding Liblist.gam...", p.liblist, modDir, defaultLiblistLines},
        {kTargetNames[2], "Rebuilding Plugins.ini...", p.pluginsIni, p.metamodFolder, defaultPluginsIniLines},
        {kTargetNames[3], "Rebuilding NTF_Config.txt...", p.ntfConfig, p.neotfFolder, defaultNtfConfigLines},
    };
}

} // namespace

QList<RebuildTarget> rebuildTargets(const InstallPaths& paths) {
    if (paths.platform == ServerPlatform::Linux) {
        const QString library = modRelativePath(paths, paths.modLibrary);
        const QString name = QFileInfo(library).fileName();
        QList<RebuildTarget> targets = windowsTargets(paths);
        targets[1].content = [library] {
            QStringList l = defaultLiblistLines();
            l << QStringLiteral("gamedll_linux \"") + library + QLatin1Char('"');
            return l;
        };
        targets[3].content = [name] { return QStringList{name}; };
        return targets;
    }
    return windowsTargets(paths);
}

QStringList rebuildTargetNames() {
    QStringList names;
    for (const char* name : kTargetNames)
        names << QString::fromLatin1(name);
    return names;
}

bool rebuildTarget(const RebuildTarget& t, const QList<RebuildTarget>& all, const BackupStore& backups) {
    // Every target is made writable, selected or not: liblist.gam, plugins.ini, autoexec.cfg,
    // ntf_config.txt.
    for (int i : {1, 2, 0, 3})
        clearReadOnly(all[i].file);
    if (!folderExists(t.folder)) return false;
    writeFileBytes(t.file, joinLinesCrLf(t.content()), backups);
    return true;
}

bool Rebuilder::run(const RebuildSelection& sel, const InstallPaths& paths) {
    if (busy_) return false;
    busy_ = true;
    try {
        setLabel(QStringLiteral("Initializing..."));
        WaitWithMessages(300);
        stopStatusTimer();
        const QList<RebuildTarget> all = rebuildTargets(paths);
        const bool selected[] = {sel.autoexec, sel.liblist, sel.pluginsIni, sel.ntfConfig};
        for (int i : {1, 2, 0, 3})
            clearReadOnly(all[i].file);
        if (!sel.autoexec && !sel.liblist && !sel.pluginsIni && !sel.ntfConfig) {
            setLabel(QStringLiteral("No Files Selected!"));
            WaitWithMessages(600);
        }
        for (qsizetype i = 0; i < all.size(); ++i) {
            if (!selected[i]) continue;
            setLabel(QString::fromLatin1(all[i].caption));
            WaitWithMessages(300);
            rebuildTarget(all[i], all, paths.backups());
            QCoreApplication::processEvents();
        }
        setLabel(QStringLiteral("Done"));
        clearSelection();
        WaitWithMessages(300);
        setLabel(QStringLiteral("Idle"));
    } catch (...) {
        setLabel(QStringLiteral("Idle"));
        busy_ = false;
        throw;
    }
    busy_ = false;
    return true;
}

} // namespace tarrow
