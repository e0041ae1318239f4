#pragma once

#include <QString>

namespace tarrow {

// The selected mod's folder name. "Unknown" when no row of the fixed table is selected.
QString SelectedModFolder();
// The selected mod's server library file name; empty when no row is selected.
QString GameDllName();

} // namespace tarrow
