#pragma once

// The loader lines, files and golden pages the status tests share.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <initializer_list>

namespace tarrow::test {

// Statements as the Windows engine, Metamod and NeoTF read them, with the built-in folder settings.
inline const QByteArray kModGame = "gamedll \"dlls\\tfc.dll\"";
inline const QByteArray kBotGame = "gamedll \"..\\tarrow\\tarrow.dll\"";
inline const QByteArray kMmGame = "gamedll \"addons\\Metamod\\dlls\\metamod.dll\"";
inline const QByteArray kNtfGame = "gamedll \"addons\\neotf\\dlls\\ntf.dll\"";
inline const QByteArray kBotPlug = "win32 ../tarrow/tarrow.dll";
inline const QByteArray kBotPlugOff = "//win32 ../tarrow/tarrow.dll";
inline const QByteArray kAmPlug = "win32 addons/Adminmod/dlls/admin_mm.dll";
inline const QByteArray kAmPlugOff = "//win32 addons/Adminmod/dlls/admin_mm.dll";
inline const QByteArray kNtfLocal = "localinfo mm_gamedll addons/neotf/dlls/ntf.dll";
inline const QByteArray kNtfLocalOff = "//localinfo mm_gamedll addons/neotf/dlls/ntf.dll";
// Lines of the other engines, which are kept byte for byte.
inline const QByteArray kMmLinux = "gamedll_linux \"addons/metamod/dlls/metamod.so\"";
inline const QByteArray kOsx = "gamedll_osx \"dlls/tfc.dylib\"";

// The loader files, below the Half-Life folder.
inline const QString kLiblistFile = QStringLiteral("TFC/liblist.gam");
inline const QString kPluginsFile = QStringLiteral("TFC/addons/metamod/plugins.ini");
inline const QString kAutoexecFile = QStringLiteral("TFC/autoexec.cfg");
inline const QString kNtfConfigFile = QStringLiteral("TFC/addons/neotf/ntf_config.txt");

// The lines, each ended with CR LF.
inline QByteArray crlfLines(std::initializer_list<QByteArray> lines) {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + "\r\n";
    return out;
}

// A golden file of tests/fixtures/golden, with "@ROOT@" standing for `root`.
inline QByteArray golden(const char* name, const QString& root = QString()) {
    QFile f(QStringLiteral(TARROW_FIXTURES "/golden/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing golden file %s", name);
    return f.readAll().replace("@ROOT@", root.toLatin1());
}

} // namespace tarrow::test
