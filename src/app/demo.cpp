#include "demo.h"

#include "common/errors.h"
#include "common/fileio.h"

#include <QDir>
#include <QFile>

namespace tarrow {

namespace {

void put(const QString& root, const QString& rel, const QStringList& lines) {
    const QString path = root + rel;
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The sample is made afresh: nothing of a person's to keep.
    writeFileBytes(path, joinLinesCrLf(lines), WriteMode::Output);
}

// Copies one of the demo's binary files (libraries, pictures) from the resources.
void copyDll(const QString& source, const QString& name, const QString& root, const QString& rel) {
    const QString path = root + rel;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile in(source + QLatin1Char('/') + name);
    if (!in.open(QIODevice::ReadOnly)) throw IoError(QStringLiteral("Cannot open demo library %1").arg(name));
    writeFileBytes(path, in.readAll(), WriteMode::Output);
}

} // namespace

DemoInstallation buildDemoInstallation(const QString& baseFolder, const QString& dllSource) {
    QDir base(baseFolder);
    const QString hl = QStringLiteral("Half-Life");
    if (base.exists(hl)) QDir(base.filePath(hl)).removeRecursively();
    QDir().mkpath(base.filePath(hl));
    const QString root = base.filePath(hl) + QLatin1Char('/');

    put(root, QStringLiteral("sierra.inf"),
        {QStringLiteral("[Ident]"), QStringLiteral("ProductName \"HLServer\""),
         QStringLiteral("CurrentVersion \"4.1.1.1\"")});

    // A Metamod server as current TFC installations ship it: Windows and Linux load lines side by side.
    put(root, QStringLiteral("TFC/liblist.gam"),
        {QStringLiteral("// Valve Game Info file"), QStringLiteral("game \"Team Fortress Classic\""),
         QStringLiteral("startmap \"2fort\""), QStringLiteral("trainmap \"t0a0\""),
         QStringLiteral("mpentity \"info_tfdetect\""),
         QStringLiteral("gamedll \"addons\\metamod\\dlls\\metamod.dll\""),
         QStringLiteral("gamedll_linux \"addons/metamod/dlls/metamod.so\""),
         QStringLiteral("gamedll_osx \"dlls/tfc.dylib\""), QStringLiteral("secure \"1\""),
         QStringLiteral("type \"multiplayer_only\"")});
    put(root, QStringLiteral("TFC/addons/metamod/plugins.ini"),
        {QStringLiteral("; Metamod plugins"), QStringLiteral("win32 ../tarrow/tarrow.dll"),
         QStringLiteral("win32 addons/adminmod/dlls/admin_mm.dll"),
         QStringLiteral("linux addons/adminmod/dlls/admin_MM_i386.so")});
    put(root, QStringLiteral("TFC/autoexec.cfg"),
        {QStringLiteral("//localinfo mm_gamedll addons/neotf/dlls/ntf.dll"),
         QStringLiteral("echo Autoexec done")});
    put(root, QStringLiteral("TFC/addons/adminmod/config/plugin.ini"),
        {QStringLiteral("; Admin Mod plug-ins")});
    put(root, QStringLiteral("TFC/addons/adminmod/config/users.ini"), {QStringLiteral("; Admin Mod users")});
    put(root, QStringLiteral("TFC/plugin.ini"),
        {QStringLiteral("; Admin Mod plug-in list"), QStringLiteral("dlls/plugin_base.amx"),
         QStringLiteral("dlls/plugin_antiflood.amx")});
    put(root, QStringLiteral("TFC/dlls/plugin_base.amx"), {QStringLiteral("demo")});
    put(root, QStringLiteral("TFC/addons/neotf/ntf_config.txt"), {QStringLiteral("tfc.dll")});

    put(root, QStringLiteral("tarrow/TFC/tarrow.cfg"),
        {QStringLiteral("# Tarrow demo configuration"), QStringLiteral("bot_chat 1"),
         QStringLiteral("botskill 3"), QStringLiteral("min_bots 4"), QStringLiteral("max_bots 12"),
         QStringLiteral("pause 5"), QStringLiteral("# Down here you can add your addbot commands"),
         QStringLiteral("addbot blue soldier Demo 3")});
    put(root, QStringLiteral("tarrow/TFC/default.cfg"), {QStringLiteral("// default bot settings")});
    put(root, QStringLiteral("tarrow/TFC/tarrow_names.txt"),
        {QStringLiteral("Alpha"), QStringLiteral("Bravo")});
    put(root, QStringLiteral("tarrow/TFC/configs/2fort_bot.cfg"), {QStringLiteral("max_bots 16")});
    put(root, QStringLiteral("tarrow/TFC/scripts/2fort_tw.cfg"), {QStringLiteral("# 2fort script")});

    for (const char* map : {"2fort", "well", "rock2", "dustbowl"})
        put(root, QStringLiteral("TFC/maps/%1.bsp").arg(QLatin1String(map)), {QStringLiteral("demo map")});
    put(root, QStringLiteral("TFC/mapcycle.txt"),
        {QStringLiteral("2fort"), QStringLiteral("well"), QStringLiteral("rock2")});
    put(root, QStringLiteral("TFC/motd.txt"), {QStringLiteral("Welcome to the Tarrow demo server!")});
    // An evening of the server's log, for the Live Server page's log pane and `tarrow log`.
    put(root, QStringLiteral("TFC/logs/L1209000.log"),
        {QStringLiteral(
             "L 12/09/2026 - 20:00:00: Log file started (file \"logs/L1209000.log\") (game \"tfc\")"),
         QStringLiteral("L 12/09/2026 - 20:00:01: Started map \"2fort\" (CRC \"-1234567\")"),
         QStringLiteral("L 12/09/2026 - 20:00:05: \"[TB] Sniper<1><BOT><>\" entered the game"),
         QStringLiteral("L 12/09/2026 - 20:00:06: \"[TB] Sniper<1><BOT><Red>\" joined team \"Red\""),
         QStringLiteral("L 12/09/2026 - 20:01:00: \"Alice<2><STEAM_0:1:1234><>\" connected, address "
                        "\"203.0.113.7:27005\""),
         QStringLiteral("L 12/09/2026 - 20:01:10: \"Alice<2><STEAM_0:1:1234><>\" entered the game"),
         QStringLiteral("L 12/09/2026 - 20:01:12: \"Alice<2><STEAM_0:1:1234><Blue>\" joined team \"Blue\""),
         QStringLiteral("L 12/09/2026 - 20:02:00: \"Alice<2><STEAM_0:1:1234><Blue>\" say \"gl hf\""),
         QStringLiteral("L 12/09/2026 - 20:04:00: \"Alice<2><STEAM_0:1:1234><Blue>\" killed \"[TB] "
                        "Sniper<1><BOT><Red>\" with \"rocket\""),
         QStringLiteral("L 12/09/2026 - 20:05:00: Bad Rcon: \"rcon 1234567 \"guess\" status\" from "
                        "\"192.0.2.66:40000\""),
         QStringLiteral("L 12/09/2026 - 20:06:00: \"Bob<3><STEAM_0:0:42><>\" connected, address "
                        "\"198.51.100.2:27005\""),
         QStringLiteral("L 12/09/2026 - 20:06:05: \"Bob<3><STEAM_0:0:42><>\" entered the game"),
         QStringLiteral(
             "L 12/09/2026 - 20:07:00: \"Bob<3><STEAM_0:0:42><Red>\" say_team \"I'll take the flag\""),
         QStringLiteral(
             "L 12/09/2026 - 20:09:00: \"Bob<3><STEAM_0:0:42><Red>\" disconnected (reason \"Client "
             "left\")")});
    put(root, QStringLiteral("TFC/server.cfg"),
        {QStringLiteral("// Demo server"), QStringLiteral("hostname \"Tarrow Demo Server\""),
         QStringLiteral("maxplayers\t\t20\t\t// a tab-aligned line"), QStringLiteral("mp_timelimit 25"),
         QStringLiteral("sv_minrate \"4000\""), QStringLiteral("sv_maxrate \"8000\""),
         QStringLiteral("mp_teamplay \"651\""), QStringLiteral("sv_allowdownload \"1\""),
         QStringLiteral("mp_footsteps \"1\""), QStringLiteral("exec \"addons/adminmod/config/adminmod.cfg\""),
         QStringLiteral("exec \"addons/neotf/ntf_cvars.cfg\""), QStringLiteral("//custom cvar"),
         QStringLiteral("\"sv_gravity 800\"")});
    put(root, QStringLiteral("TFC/addons/adminmod/config/adminmod.cfg"),
        {QStringLiteral("password_field _pw-demo"),
         QStringLiteral("users_file \"addons/adminmod/config/users.ini\""),
         QStringLiteral("admin_connect_msg \"Welcome to the demo\""), QStringLiteral("vote_freq 300"),
         QStringLiteral("admin_fx 1"), QStringLiteral("default_access 1")});
    put(root, QStringLiteral("TFC/addons/neotf/ntf_cvars.cfg"),
        {QStringLiteral("ntf_feature_radar 1"), QStringLiteral("ntf_feature_jetpack 1"),
         QStringLiteral("ntf_max_snarks 3"), QStringLiteral("ntf_helptype 1")});

    copyDll(dllSource + QStringLiteral("/../overviews"), QStringLiteral("2fort.bmp"), root,
            QStringLiteral("TFC/overviews/2fort.bmp"));
    copyDll(dllSource, QStringLiteral("tfc.dll"), root, QStringLiteral("TFC/dlls/tfc.dll"));
    copyDll(dllSource, QStringLiteral("tarrow.dll"), root, QStringLiteral("tarrow/tarrow.dll"));
    copyDll(dllSource, QStringLiteral("metamod.dll"), root,
            QStringLiteral("TFC/addons/metamod/dlls/metamod.dll"));
    copyDll(dllSource, QStringLiteral("admin_mm_old.dll"), root,
            QStringLiteral("TFC/addons/adminmod/dlls/admin_mm.dll"));
    copyDll(dllSource, QStringLiteral("ntf.dll"), root, QStringLiteral("TFC/addons/neotf/dlls/ntf.dll"));

    DemoInstallation demo;
    demo.installRoot = root;
    demo.settingsFile = base.filePath(QStringLiteral("Tarrow-demo.conf"));
    deleteFile(demo.settingsFile, WriteMode::Output);
    return demo;
}

DemoInstallation buildLinuxDemoInstallation(const QString& baseFolder, const QString& dllSource) {
    DemoInstallation demo = buildDemoInstallation(baseFolder, dllSource);
    const QString root = demo.installRoot;
    // steamcmd installs no sierra.inf; the build number is in the app manifest.
    deleteFile(root + QStringLiteral("sierra.inf"), WriteMode::Output);
    put(root, QStringLiteral("hlds_run"),
        {QStringLiteral("#!/bin/sh"), QStringLiteral("echo \"Tarrow demo: no real server here\"")});
    QFile::setPermissions(root + QStringLiteral("hlds_run"),
                          QFile::permissions(root + QStringLiteral("hlds_run")) | QFileDevice::ExeOwner);
    put(root, QStringLiteral("hlds_linux"), {QStringLiteral("demo")});
    put(root, QStringLiteral("steamapps/appmanifest_90.acf"),
        {QStringLiteral("\"AppState\""), QStringLiteral("{"), QStringLiteral("\t\"appid\"\t\t\"90\""),
         QStringLiteral("\t\"buildid\"\t\t\"6153\""), QStringLiteral("}")});
    // Linux libraries carry no version record: placeholders stand for them.
    for (const char* so : {"TFC/dlls/tfc.so", "tarrow/tarrow_i386.so", "TFC/addons/metamod/dlls/metamod.so",
                           "TFC/addons/adminmod/dlls/admin_MM_i386.so", "TFC/addons/neotf/dlls/ntf_i486.so"})
        put(root, QString::fromLatin1(so), {QStringLiteral("demo library")});
    put(root, QStringLiteral("TFC/addons/metamod/plugins.ini"),
        {QStringLiteral("; Metamod plugins"), QStringLiteral("win32 ../tarrow/tarrow.dll"),
         QStringLiteral("linux ../tarrow/tarrow_i386.so"),
         QStringLiteral("win32 addons/adminmod/dlls/admin_mm.dll"),
         QStringLiteral("linux addons/adminmod/dlls/admin_MM_i386.so")});
    put(root, QStringLiteral("TFC/addons/neotf/ntf_config.txt"), {QStringLiteral("tfc.so")});
    return demo;
}

} // namespace tarrow
