#include "modtable.h"

#include <array>

namespace tarrow {

namespace {

struct ModRow {
    bool selected;
    const char* folder;
    const char* dll;
};

// Consulted in this order; the flags are fixed, so the program always works on TFC.
constexpr std::array<ModRow, 4> kMods{{
    {true, "TFC", "tfc.dll"},
    {false, "Cstrike", "mp.dll"},
    {false, "Frontline", "frontline.dll"},
    {false, "DOD", "dod.dll"},
}};

QString& gameDll() {
    static QString name;
    return name;
}

} // namespace

QString SelectedModFolder() {
    for (const ModRow& row : kMods) {
        if (row.selected) {
            gameDll() = QString::fromLatin1(row.dll);
            return QString::fromLatin1(row.folder);
        }
    }
    return QStringLiteral("Unknown");
}

QString GameDllName() {
    return gameDll();
}

} // namespace tarrow
