#include "report.h"

#include <algorithm>

namespace tarrow {

bool ComponentReport::hasNote(NoteKind kind) const {
    return std::any_of(notes.begin(), notes.end(), [kind](const Note& n) { return n.kind == kind; });
}

bool StatusReport::hasProblems() const {
    // Detection turns a loaded component that misses something into a warning.
    return !unreadable.isEmpty() ||
           std::any_of(std::begin(components), std::end(components),
                       [](const ComponentReport& c) { return c.loaded == LoadState::Warning; });
}

bool isLoaded(const LoadFlags& f, Component c) {
    switch (c) {
    case Component::Tarrow:
        return f.TarrowLoaded;
    case Component::Metamod:
        return f.MetamodLoaded;
    case Component::Adminmod:
        return f.AdminmodLoaded;
    case Component::Neotf:
        return f.NeotfLoaded;
    case Component::Mod:
        break;
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

const char* installedWord(InstallState s) {
    switch (s) {
    case InstallState::Missing:
        return "missing";
    case InstallState::NoVersionRecord:
        return "no-version";
    case InstallState::Current:
        return "current";
    case InstallState::Old:
        return "old";
    case InstallState::Present:
        return "present";
    }
    return "";
}

const char* loadedWord(LoadState s) {
    switch (s) {
    case LoadState::No:
        return "no";
    case LoadState::Yes:
        return "yes";
    case LoadState::YesWithNote:
        return "yes-with-note";
    case LoadState::Warning:
        return "warning";
    }
    return "";
}

const char* routeWord(LoadRoute r) {
    switch (r) {
    case LoadRoute::None:
        return "none";
    case LoadRoute::GameLibrary:
        return "gamedll";
    case LoadRoute::MetamodPlugin:
        return "metamod-plugin";
    case LoadRoute::MetamodPluginViaNeotf:
        return "metamod-plugin-via-neotf";
    case LoadRoute::NeotfConfig:
        return "ntf-config";
    case LoadRoute::AutoexecLocalinfo:
        return "autoexec-localinfo";
    }
    return "";
}

const char* runningWord(RunningState s) {
    switch (s) {
    case RunningState::NotInstalled:
        return "not-installed";
    case RunningState::Running:
        return "running";
    case RunningState::Stopped:
        return "stopped";
    }
    return "";
}

const char* noteWord(NoteKind k) {
    switch (k) {
    case NoteKind::MissingLibrary:
        return "missing-library";
    case NoteKind::MissingCompanion:
        return "missing-companion";
    case NoteKind::MissingHelp:
        return "missing-help";
    case NoteKind::MissingPluginsIni:
        return "missing-plugins-ini";
    case NoteKind::MissingPlugin:
        return "missing-plugin";
    case NoteKind::MissingLiblist:
        return "missing-liblist";
    case NoteKind::MissingAutoexec:
        return "missing-autoexec";
    case NoteKind::MissingLoadStatement:
        return "missing-load-statement";
    case NoteKind::OldNeotfSetup:
        return "old-neotf-setup";
    case NoteKind::SetupNotSuggested:
        return "setup-not-suggested";
    case NoteKind::NeedsMetamod:
        return "needs-metamod";
    }
    return "";
}

} // namespace tarrow
