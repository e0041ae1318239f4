#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace tarrow {

// The components the report covers, in report order.
enum class Component { Mod, Tarrow, Metamod, Adminmod, Neotf };

// Present: a Linux library, which carries no version record to compare.
enum class InstallState { Missing, NoVersionRecord, Current, Old, Present };
enum class LoadState { No, Yes, YesWithNote, Warning };

// How a loaded component is loaded; it decides the wording of its report cell.
enum class LoadRoute {
    None,
    GameLibrary,           // liblist.gam's gamedll names it
    MetamodPlugin,         // a plugins.ini line, Metamod being the game library
    MetamodPluginViaNeotf, // a plugins.ini line, Metamod loaded by NeoTF
    NeotfConfig,           // ntf_config.txt names it (Tarrow, or Metamod: the setup not suggested)
    AutoexecLocalinfo,     // autoexec.cfg's localinfo mm_gamedll (NeoTF under Metamod)
};

// A finding of the companion checks or of the load analysis, in the order they were made: the report
// cell shows the last one (a missing help file is added to it instead).
enum class NoteKind {
    MissingLibrary,       // the component's own library
    MissingCompanion,     // a file the component needs beside it
    MissingHelp,          // Tarrow's help file: a note, the bot still runs
    MissingPluginsIni,    // Metamod without its plug-in list
    MissingPlugin,        // an Admin Mod plug-in its plugin.ini lists
    MissingLiblist,       // the mod: no liblist.gam
    MissingAutoexec,      // the mod under Metamod: no autoexec.cfg
    MissingLoadStatement, // the mod under NeoTF: ntf_config.txt lacks "tfc.dll"
    OldNeotfSetup,        // NeoTF as a Metamod plug-in: not with NeoTF 1.5.2 or earlier
    SetupNotSuggested,    // Metamod loaded by NeoTF
    NeedsMetamod,         // Tarrow with NeoTF but without Metamod: the server will crash
};

struct Note {
    NoteKind kind;
    QString file;         // the file's name as shown ("Tarrow_Chat.txt"), or the plug-in line
    QString expectedPath; // composed path where it was expected; empty where none applies
    bool operator==(const Note&) const = default;
};

struct ComponentReport {
    Component component = Component::Mod;
    InstallState installed = InstallState::Missing;
    std::optional<QString> version; // as read from the library
    QString shownVersion;           // as the report shows it
    QString currentVersion;         // the version that counts as current
    LoadState loaded = LoadState::No;
    LoadRoute route = LoadRoute::None;
    QList<Note> notes;
    bool hasNote(NoteKind kind) const;
};

// The load flags the next click acts on.
struct LoadFlags {
    bool TarrowLoaded = false;
    bool MetamodLoaded = false;
    bool AdminmodLoaded = false;
    bool NeotfLoaded = false;
};

// Whether the flags say the component is loaded (the mod: never a flag).
bool isLoaded(const LoadFlags& flags, Component c);

enum class InstallType { None, Game, Server, Unknown };
enum class RunningState { NotInstalled, Running, Stopped };

// One detection: the facts the pages, the command line and the next click are made from.
struct StatusReport {
    QString modFolder;
    std::array<ComponentReport, 5> components; // by Component
    LoadFlags flags;
    InstallType installType = InstallType::None;
    std::optional<QString> engineVersion; // CurrentVersion of sierra.inf
    std::optional<QString> engineBuild;   // a Linux server's "buildid" of steamapps/appmanifest_90.acf
    QString currentEngineVersion;
    bool engineOld = false;
    // Files detection could not read (too large, not a regular file, refused): counted as empty.
    struct Unreadable {
        QString path; // native
        QString reason;
    };
    QList<Unreadable> unreadable;

    ComponentReport& operator[](Component c) { return components[int(c)]; }
    const ComponentReport& operator[](Component c) const { return components[int(c)]; }
    // A loaded component misses a file, a warning stands, or a file could not be read.
    bool hasProblems() const;
};

// What one row of the running-state page says, for the five libraries in report order.
struct RunningReport {
    RunningState states[5] = {};
};

// The table of components: names, the waiting page a click on the row shows, and the word the
// command line knows it by.
struct ComponentInfo {
    Component component;
    const char* displayName; // "Admin Mod"
    const char* waitingPage; // "AM.html"; none for the mod
    const char* cliName;     // "adminmod"
};
const ComponentInfo (&componentTable())[5];
const ComponentInfo& infoOf(Component c);
// The component a waiting page or command-line word names, if any.
std::optional<Component> componentOfWaitingPage(const QString& locationName);
std::optional<Component> componentOfCliName(const QString& word);

// The words the command line and its JSON use for the states ("yes-with-note", "missing-companion").
const char* installedWord(InstallState s);
const char* loadedWord(LoadState s);
const char* routeWord(LoadRoute r);
const char* runningWord(RunningState s);
const char* noteWord(NoteKind k);

} // namespace tarrow
