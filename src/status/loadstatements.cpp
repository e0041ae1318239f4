#include "loadstatements.h"

#include "common/modtable.h"
#include "common/textlists.h"

namespace tarrow {

InstallPaths::InstallPaths(const QString& r, const QString& c, const ComponentSettings& s) : root(r), mod(c) {
    const QString modDir = r + c + QLatin1Char('\\');
    liblist = modDir + QStringLiteral("liblist.gam");
    autoexec = modDir + QStringLiteral("autoexec.cfg");
    metamodFolder = modDir + s.MetamodFolder;
    neotfFolder = modDir + s.NeotfFolder;
    pluginsIni = metamodFolder + QStringLiteral("plugins.ini");
    ntfConfig = neotfFolder + QStringLiteral("ntf_config.txt");
    modLibrary = modDir + QStringLiteral("dlls\\") + GameDllName();
    pluginFolder = r + QStringLiteral("tarrow\\");
    botFolder = pluginFolder + c + QLatin1Char('\\');
    botLibrary = pluginFolder + QStringLiteral("tarrow.dll");
    metamodLibrary = metamodFolder + QStringLiteral("dlls\\metamod.dll");
    adminmodLibrary = modDir + s.AdminmodDllFolder + QStringLiteral("admin_mm.dll");
    neotfLibrary = neotfFolder + QStringLiteral("dlls\\ntf.dll");
    adminmodConfigFolder = r + c + s.AdminmodConfigFolder;
    sierra = r + QStringLiteral("sierra.inf");
    metagame = modDir + QStringLiteral("metagame.ini");
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

qsizetype findGamedllLine(const QStringList& list) {
    qsizetype found = -1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString line = statementForm(list[i]);
        if (line.size() < 7 || line.left(7).compare(QLatin1String("gamedll"), Qt::CaseInsensitive) != 0)
            continue;
        if (line.size() == 7 || line.at(7) == QLatin1Char(' ') || line.at(7) == QLatin1Char('\t') ||
            line.at(7) == QLatin1Char('"'))
            found = i;
    }
    return found;
}

QStringList matchingView(const QStringList& lines) {
    QStringList out;
    out.reserve(lines.size());
    for (const QString& line : lines)
        out.append(statementForm(line));
    return out;
}

} // namespace tarrow
