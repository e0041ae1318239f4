#pragma once

#include "app/componentsettings.h"

#include <QString>
#include <QStringList>

namespace tarrow {

// Where the loader files and component libraries of an installation are (composed paths).
struct InstallPaths {
    InstallPaths(const QString& installRoot, const QString& modFolder, const ComponentSettings& settings);
    QString root, mod;
    QString liblist, autoexec, pluginsIni, ntfConfig;
    QString modLibrary, botLibrary, metamodLibrary, adminmodLibrary, neotfLibrary;
    QString sierra, metagame, pluginFolder, botFolder, adminmodConfigFolder, neotfFolder, metamodFolder;
};

// The load statements as the program reads and writes them.
struct LoadStatements {
    explicit LoadStatements(const ComponentSettings& s);
    QString GAME, TFCGAME, BOTGAME, MMGAME, NTFGAME;
    QString BOTPLUG, BOTPLUGOFF, AMPLUG, AMPLUGOFF, NTFPLUG;
    QString NTFLOCAL, NTFLOCALOFF;
    QString NTF2BOT, NTF2TFC, NTF2MM;
    QString NTF2BOTREAD; // the bot line as NeoTF's file is read: "../../Tarrow/Tarrow.dll"
    QString BOTPLUGREAD; // "win32 ../Tarrow/Tarrow.dll"
    QString AMPLUGREAD;  // "win32 " + AdminmodLoadPath + "admin_MM.dll"
};

// The last line that is a gamedll statement: its first word is "gamedll" itself (the first seven
// characters, any case, followed by a blank, a tab, a double quote or the end). gamedll_linux and
// gamedll_osx lines belong to the other engines and never count. -1 when there is none.
qsizetype findGamedllLine(const QStringList& list);

// The lines as they are matched: a UTF-8 byte-order mark is not part of the first line, runs of blanks
// and tabs count as one blank and trailing ones are ignored (a real liblist.gam ends its gamedll line with
// a blank). Indexes match those of `lines`.
QStringList matchingView(const QStringList& lines);

} // namespace tarrow
