#pragma once

#include "common/backups.h"

#include <QList>
#include <QString>

namespace tarrow {

class Installation;

// What is said while an installation is opened, in the order it is said.
struct OpeningNote {
    enum class Kind { Message, Error } kind = Kind::Message;
    QString text;
    // An error about a loader file that could not be read: that file's native path.
    QString unreadableFile;
};

struct OpeningResult {
    QList<OpeningNote> notes;
    // The files the opening wrote (the normalised loader files).
    QList<WriteRecord> writes;
};

// Opening an installation for work: the plug-in folder made, the report pages a previous run left
// behind removed, one warning per copy of the rival plug-in found, the loader files normalised (lower
// case, one statement a line) where `in` puts them (the built-in folder settings: the stored ones are
// read after this), and the waiting pages the report's Loaded links lead to written. A loader file that
// cannot be read is named once, in the notes, and the opening goes on. Throws IoError when the plug-in
// folder or a page cannot be written.
OpeningResult openInstallation(const Installation& in);

} // namespace tarrow
