#pragma once

#include "app/componentsettings.h"
#include "app/installpaths.h"

#include <QString>
#include <QStringList>

namespace tarrow {

// The load statements as the program reads and writes them, for the installation's platform.
struct LoadStatements {
    explicit LoadStatements(const ComponentSettings& s);
    LoadStatements(const ComponentSettings& s, const InstallPaths& paths);
    QString GAMEDLL = QStringLiteral("gamedll"); // the liblist.gam key of the platform's engine
    // How many leading characters identify a statement when it is replaced or removed.
    int BOTPLUG_K = 26, BOTPLUGOFF_K = 28, AMPLUG_REMOVE_K = 23, AMPLUG_K = 39, AMPLUGOFF_K = 41;
    QString GAME, TFCGAME, BOTGAME, MMGAME, NTFGAME;
    QString BOTPLUG, BOTPLUGOFF, AMPLUG, AMPLUGOFF, NTFPLUG;
    QString NTFLOCAL, NTFLOCALOFF;
    QString NTF2BOT, NTF2TFC, NTF2MM;
    QString NTF2BOTREAD; // the bot line as NeoTF's file is read: "../../Tarrow/Tarrow.dll"
    QString BOTPLUGREAD; // "win32 ../Tarrow/Tarrow.dll"
    QString AMPLUGREAD;  // "win32 " + AdminmodLoadPath + "admin_MM.dll"
};

// The last line that is a gamedll statement: its first word is `key` itself ("gamedll" for hlds.exe,
// "gamedll_linux" for hlds_linux; any case, followed by a blank, a tab, a double quote or the end).
// The other engines' lines never count. -1 when there is none.
qsizetype findGamedllLine(const QStringList& list, const QString& key = QStringLiteral("gamedll"));

// The lines as they are matched: a UTF-8 byte-order mark is not part of the first line, runs of blanks
// and tabs count as one blank and trailing ones are ignored (a real liblist.gam ends its gamedll line with
// a blank). Indexes match those of `lines`.
QStringList matchingView(const QStringList& lines);

} // namespace tarrow
