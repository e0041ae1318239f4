#pragma once

#include <QString>

namespace tarrow {

// The selected mod's folder name; sets GameDllName. "Unknown" when no row of the fixed table is selected.
QString SelectedModFolder();
// The selected mod's server library file name; empty until SelectedModFolder has run once.
QString GameDllName();

} // namespace tarrow
