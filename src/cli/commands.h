#pragma once

#include <QStringList>

namespace tarrow::cli {

// Runs the command line `arguments` (the program's name first) and returns the exit code:
// 0 done, 2 stopped with an error (its text on stderr), 3 status found a problem.
int run(const QStringList& arguments);

} // namespace tarrow::cli
