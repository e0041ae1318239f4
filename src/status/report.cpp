#include "report.h"

#include <algorithm>

namespace tarrow {

bool ComponentReport::hasNote(NoteKind kind) const {
    return std::any_of(notes.begin(), notes.end(), [kind](const Note& n) { return n.kind == kind; });
}

bool StatusReport::hasProblems() const {
    for (const ComponentReport& c : components) {
        if (c.loaded == LoadState::Warning) return true;
        if (c.loaded == LoadState::No) continue;
        for (const Note& n : c.notes)
            if (n.kind != NoteKind::MissingHelp && n.kind != NoteKind::OldNeotfSetup &&
                n.kind != NoteKind::SetupNotSuggested)
                return true;
    }
    return false;
}

const ComponentInfo (&componentTable())[5] {
    static const ComponentInfo table[5] = {
        {Component::Mod, "Mod", nullptr, "mod"},
        {Component::Tarrow, "Tarrow", "Tar.html", "tarrow"},
        {Component::Metamod, "Metamod", "MM.html", "metamod"},
        {Component::Adminmod, "Admin Mod", "AM.html", "adminmod"},
        {Component::Neotf, "NeoTF", "NTF.html", "neotf"},
    };
    return table;
}

const ComponentInfo& infoOf(Component c) {
    return componentTable()[int(c)];
}

std::optional<Component> componentOfWaitingPage(const QString& name) {
    for (const ComponentInfo& i : componentTable()) {
        if (!i.waitingPage) continue;
        const QString page = QString::fromLatin1(i.waitingPage);
        // The pane's location name is the page's file name, with or without its extension.
        if (name == page || name == page.chopped(5)) return i.component;
    }
    return std::nullopt;
}

std::optional<Component> componentOfCliName(const QString& word) {
    for (const ComponentInfo& i : componentTable())
        if (word.compare(QLatin1String(i.cliName), Qt::CaseInsensitive) == 0) return i.component;
    return std::nullopt;
}

} // namespace tarrow
