#pragma once

#include "common/backups.h"
#include "componentsettings.h"
#include "platform.h"

#include <QString>

namespace tarrow {

// Where the loader files and component libraries of an installation are (composed paths). The platform
// is the installation's own (see platform.h); a Linux installation's libraries are the first of each
// component's .so names found on disk, in the spelling found.
struct InstallPaths {
    InstallPaths(const QString& installRoot, const QString& modFolder, const ComponentSettings& settings,
                 ServerPlatform platform, std::shared_ptr<WriteJournal> journal = {});
    ServerPlatform platform = ServerPlatform::Windows;
    QString root, mod;
    // The mod folder, ending with '\'.
    QString modFolder;
    QString liblist, autoexec, pluginsIni, ntfConfig;
    QString modLibrary, botLibrary, metamodLibrary, adminmodLibrary, neotfLibrary;
    QString sierra, metagame, pluginFolder, botFolder, adminmodConfigFolder, neotfFolder, metamodFolder;
    // The bot's folders and file, the map folder, and the server's own lists.
    QString botConfig, configsFolder, scriptsFolder, mapsFolder, mapcycle, motd;
    // The server's configuration of each kind (the dedicated server's runs at its start), and the
    // watchdog's record of its checks.
    QString serverCfg, listenServerCfg, watchState;
    // The mod's library folder and map pictures; the bot's defaults; the engine's bot list.
    QString dllsFolder, overviewsFolder, botDefaultConfig, botTxt;
    // Steam's record of the installed dedicated server (app 90): its build and branch.
    QString appManifest;
    // Where the engine writes its logs (`log on`): a file for each map and each start.
    QString logsFolder;
    // The bans the server reads at its start (the engine's writeid and writeip write them).
    QString bannedCfg, listipCfg;

    // Where the previous versions of the installation's files are kept; the writes through it go to the
    // installation's journal.
    BackupStore backups() const { return BackupStore(root, journal); }
    std::shared_ptr<WriteJournal> journal;
};

// The plug-in folder InstallRoot + "tarrow\": composed here only, for the report's links that need it
// without the rest of an installation's paths.
QString pluginFolderOf(const QString& installRoot);

// The dedicated server's configuration file, by its name in the mod folder.
QString serverCfgName();

// A library path relative to the mod folder with forward slashes, in the spelling found on disk.
QString modRelativePath(const InstallPaths& paths, const QString& library);

} // namespace tarrow
