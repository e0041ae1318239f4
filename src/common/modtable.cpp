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

const ModRow* selectedRow() {
    for (const ModRow& row : kMods)
        if (row.selected) return &row;
    return nullptr;
}

} // namespace

QString SelectedModFolder() {
    const ModRow* row = selectedRow();
    return row ? QString::fromLatin1(row->folder) : QStringLiteral("Unknown");
}

// Read from the same fixed table as the folder, so it never depends on which was asked first.
QString GameDllName() {
    const ModRow* row = selectedRow();
    return row ? QString::fromLatin1(row->dll) : QString();
}

} // namespace tarrow
