#include "loadstatements.h"

#include "common/modtable.h"
#include "common/paths.h"
#include "common/textlists.h"

#include <QFileInfo>

namespace tarrow {

namespace {

// The plug-in folder's name as spelled on disk ("Tarrow" where the bot was installed so).
QString pluginFolderName(const InstallPaths& p) {
    QString folder = nativePath(p.pluginFolder);
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return QFileInfo(folder).fileName();
}

} // namespace

LoadStatements::LoadStatements(const ComponentSettings& s, const InstallPaths& p) : LoadStatements(s) {
    if (p.platform != ServerPlatform::Linux) return;
    // The Linux engine and Metamod open these paths as written, and that file system tells "Adminmod"
    // from "adminmod": every folder and file that exists is written as spelled on disk, only what does
    // not exist yet as composed.
    auto quoted = [](const QString& path) {
        return QStringLiteral("gamedll_linux \"") + path + QLatin1Char('"');
    };
    const QString modDir = p.root + p.mod + QLatin1Char('\\');
    const QString bot = QFileInfo(nativePath(p.botLibrary)).fileName();
    const QString botFromMod = QStringLiteral("../") + pluginFolderName(p) + QLatin1Char('/') + bot;
    const QString ntfDll = QFileInfo(nativePath(p.neotfLibrary)).fileName();
    const QString ntfLoad = modRelativePath(p, modDir + s.NeotfLoadPath + QStringLiteral("dlls/") + ntfDll);
    const QString mmFile = QFileInfo(nativePath(p.metamodLibrary)).fileName();
    const QString amFile = QFileInfo(nativePath(p.adminmodLibrary)).fileName();
    GAMEDLL = QStringLiteral("gamedll_linux");
    GAME = quoted(modRelativePath(p, p.modLibrary));
    TFCGAME = GAME;
    BOTGAME = quoted(botFromMod);
    MMGAME = quoted(modRelativePath(p, p.metamodLibrary));
    NTFGAME = quoted(modRelativePath(p, p.neotfLibrary));
    BOTPLUG = QStringLiteral("linux ") + botFromMod;
    BOTPLUGOFF = QStringLiteral("//") + BOTPLUG;
    BOTPLUGREAD = BOTPLUG;
    AMPLUG = QStringLiteral("linux ") + modRelativePath(p, modDir + s.AdminmodLoadPath + amFile);
    AMPLUGOFF = QStringLiteral("//") + AMPLUG;
    AMPLUGREAD = AMPLUG;
    NTFPLUG = QStringLiteral("linux ") + ntfLoad;
    NTFLOCAL = QStringLiteral("localinfo mm_gamedll ") + ntfLoad;
    NTFLOCALOFF = QStringLiteral("//") + NTFLOCAL;
    NTF2BOT = QStringLiteral("../") + botFromMod;
    NTF2BOTREAD = NTF2BOT;
    NTF2TFC = QFileInfo(nativePath(p.modLibrary)).fileName();
    NTF2MM = mmFile;
    // Whole statements identify themselves: the Windows counts belong to the Windows names.
    BOTPLUG_K = int(BOTPLUG.size());
    BOTPLUGOFF_K = int(BOTPLUGOFF.size());
    AMPLUG_REMOVE_K = int(AMPLUG.size());
    AMPLUG_K = int(AMPLUG.size());
    AMPLUGOFF_K = int(AMPLUGOFF.size());
}

LoadStatements::LoadStatements(const ComponentSettings& s) {
    GAME = QStringLiteral("gamedll \"dlls\\") + GameDllName() + QLatin1Char('"');
    TFCGAME = QStringLiteral("gamedll \"dlls\\tfc.dll\"");
    BOTGAME = QStringLiteral("gamedll \"..\\tarrow\\tarrow.dll\"");
    MMGAME = QStringLiteral("gamedll \"") + s.MetamodFolder + QStringLiteral("dlls\\metamod.dll\"");
    NTFGAME = QStringLiteral("gamedll \"") + s.NeotfFolder + QStringLiteral("dlls\\ntf.dll\"");
    BOTPLUG = QStringLiteral("win32 ../tarrow/tarrow.dll");
    BOTPLUGOFF = QStringLiteral("//win32 ../tarrow/tarrow.dll");
    BOTPLUGREAD = QStringLiteral("win32 ../Tarrow/Tarrow.dll");
    AMPLUG = QStringLiteral("win32 ") + s.AdminmodLoadPath + QStringLiteral("admin_mm.dll");
    AMPLUGOFF = QStringLiteral("//") + AMPLUG;
    AMPLUGREAD = QStringLiteral("win32 ") + s.AdminmodLoadPath + QStringLiteral("admin_MM.dll");
    NTFPLUG = QStringLiteral("win32 ") + s.NeotfLoadPath + QStringLiteral("dlls/ntf.dll");
    NTFLOCAL = QStringLiteral("localinfo mm_gamedll ") + s.NeotfLoadPath + QStringLiteral("dlls/ntf.dll");
    NTFLOCALOFF = QStringLiteral("//") + NTFLOCAL;
    NTF2BOT = QStringLiteral("../../tarrow/tarrow.dll");
    NTF2BOTREAD = QStringLiteral("../../Tarrow/Tarrow.dll");
    NTF2TFC = QStringLiteral("tfc.dll");
    NTF2MM = QStringLiteral("metamod.dll");
}

qsizetype findGamedllLine(const QStringList& list, const QString& key) {
    const qsizetype n = key.size();
    qsizetype found = -1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString line = statementForm(list[i]);
        if (line.size() < n || line.left(n).compare(key, Qt::CaseInsensitive) != 0) continue;
        if (line.size() == n || line.at(n) == QLatin1Char(' ') || line.at(n) == QLatin1Char('\t') ||
            line.at(n) == QLatin1Char('"'))
            found = i;
    }
    return found;
}

QStringList matchingView(const QStringList& lines) {
    QStringList out;
    out.reserve(lines.size());
    for (const QString& line : lines) {
        QString form = statementForm(line);
        // Metamod reads "lin32" as "linux".
        if (form.startsWith(QLatin1String("lin32 "), Qt::CaseInsensitive))
            form.replace(0, 5, QStringLiteral("linux"));
        out.append(form);
    }
    return out;
}

} // namespace tarrow
