#pragma once

#include <QStringList>

namespace tarrow::cli {

// Runs the command line `arguments` (the program's name first) and returns the exit code (see
// exitcodes.h). The commands themselves are the table of command.h.
int run(const QStringList& arguments);

} // namespace tarrow::cli
