#include "installpaths.h"

#include "common/modtable.h"
#include "common/paths.h"

#include <QFileInfo>

namespace tarrow {

namespace {

// The first of `names` that exists in `folder` (any case), as spelled on disk; the first name when none does.
QString firstFound(const QString& folder, const QStringList& names) {
    for (const QString& name : names) {
        if (fileExists(folder + name)) {
            const QString onDisk = QFileInfo(nativePath(folder + name)).fileName();
            const qsizetype cut = name.lastIndexOf(QLatin1Char('\\'));
            return folder + (cut < 0 ? QString() : name.left(cut + 1)) + onDisk;
        }
    }
    return folder + names.first();
}

QString linuxModLibraryBase() {
    QString base = GameDllName();
    if (base.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive)) base.chop(4);
    return base.isEmpty() ? QStringLiteral("tfc") : base;
}

} // namespace

QString serverCfgName() {
    return QStringLiteral("server.cfg");
}

QString pluginFolderOf(const QString& installRoot) {
    return installRoot + QStringLiteral("tarrow\\");
}

InstallPaths::InstallPaths(const QString& r, const QString& c, const ComponentSettings& s, ServerPlatform p,
                           std::shared_ptr<WriteJournal> j)
    : platform(p), root(r), mod(c), journal(std::move(j)) {
    const QString modDir = r + c + QLatin1Char('\\');
    modFolder = modDir;
    liblist = modDir + QStringLiteral("liblist.gam");
    autoexec = modDir + QStringLiteral("autoexec.cfg");
    metamodFolder = modDir + s.MetamodFolder;
    neotfFolder = modDir + s.NeotfFolder;
    pluginsIni = metamodFolder + QStringLiteral("plugins.ini");
    ntfConfig = neotfFolder + QStringLiteral("ntf_config.txt");
    dllsFolder = modDir + QStringLiteral("dlls\\");
    modLibrary = dllsFolder + GameDllName();
    pluginFolder = pluginFolderOf(r);
    botFolder = pluginFolder + c + QLatin1Char('\\');
    botLibrary = pluginFolder + QStringLiteral("tarrow.dll");
    metamodLibrary = metamodFolder + QStringLiteral("dlls\\metamod.dll");
    adminmodLibrary = modDir + s.AdminmodDllFolder + QStringLiteral("admin_mm.dll");
    neotfLibrary = neotfFolder + QStringLiteral("dlls\\ntf.dll");
    adminmodConfigFolder = r + c + s.AdminmodConfigFolder;
    sierra = r + QStringLiteral("sierra.inf");
    metagame = modDir + QStringLiteral("metagame.ini");
    botConfig = botFolder + QStringLiteral("tarrow.cfg");
    configsFolder = botFolder + QStringLiteral("configs\\");
    scriptsFolder = botFolder + QStringLiteral("scripts\\");
    mapsFolder = modDir + QStringLiteral("maps\\");
    mapcycle = modDir + QStringLiteral("mapcycle.txt");
    motd = modDir + QStringLiteral("motd.txt");
    serverCfg = modDir + serverCfgName();
    listenServerCfg = modDir + QStringLiteral("listenserver.cfg");
    watchState = pluginFolder + QStringLiteral("watch.json");
    overviewsFolder = modDir + QStringLiteral("overviews\\");
    botDefaultConfig = botFolder + QStringLiteral("default.cfg");
    botTxt = r + QStringLiteral("bot.txt");
    appManifest = r + QStringLiteral("steamapps\\appmanifest_90.acf");
    logsFolder = modDir + QStringLiteral("logs\\");
    bannedCfg = modDir + QStringLiteral("banned.cfg");
    listipCfg = modDir + QStringLiteral("listip.cfg");
    if (p != ServerPlatform::Linux) return;
    const QString base = linuxModLibraryBase();
    modLibrary = firstFound(dllsFolder, {base + QStringLiteral(".so"), base + QStringLiteral("_i386.so")});
    botLibrary = firstFound(pluginFolder, {QStringLiteral("tarrow_i386.so"), QStringLiteral("tarrow_i486.so"),
                                           QStringLiteral("tarrow.so")});
    metamodLibrary = firstFound(metamodFolder,
                                {QStringLiteral("dlls\\metamod.so"), QStringLiteral("dlls\\metamod_i386.so"),
                                 QStringLiteral("metamod_i386.so")});
    adminmodLibrary = firstFound(modDir + s.AdminmodDllFolder,
                                 {QStringLiteral("admin_MM_i386.so"), QStringLiteral("admin_mm.so")});
    neotfLibrary = firstFound(neotfFolder + QStringLiteral("dlls\\"),
                              {QStringLiteral("ntf_i486.so"), QStringLiteral("neotf_i486.so"),
                               QStringLiteral("ntf_i386.so"), QStringLiteral("ntf.so")});
}

QString modRelativePath(const InstallPaths& p, const QString& library) {
    const QString modDir = nativePath(p.root + p.mod) + QLatin1Char('/');
    const QString lib = nativePath(library);
    return lib.startsWith(modDir) ? lib.mid(modDir.size()) : lib;
}

} // namespace tarrow
