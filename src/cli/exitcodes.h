#pragma once

#include <QList>
#include <QString>

namespace tarrow::cli {

// What `tarrow` ends with. Scripts and the playbooks test these numbers: never renumber one.
enum class Exit : int {
    Done = 0,
    UnknownOption = 1,
    Error = 2,
    Problems = 3,
    NoAnswer = 4,
    GaveUp = 5,
};

struct ExitMeaning {
    Exit code;
    const char* text;
};

// Every exit code with what it means, in order of the numbers.
const QList<ExitMeaning>& exitMeanings();

// "Exit codes: 0 done; 1 ...; ...": the README's paragraph says exactly this.
QString exitCodesParagraph();

} // namespace tarrow::cli
