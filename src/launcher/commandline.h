#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tarrow {

class Prompter;
class Shell;

struct LaunchInput {
    bool dedicated = false;
    bool listen = false;
    std::optional<QString> startMap; // the chosen map file ("2fort.bsp"), if any
    QString maxPlayersText;
    QString commandLine;
    QString installRoot;
    QString modFolder;
    bool linuxServer = false; // the installation runs hlds_linux: its own programs, started directly
};

// What a click of the launch button does: a message, or a program to start.
struct LaunchPlan {
    QString message;           // non-empty: show it and start nothing
    bool focusMapList = false; // the map message moves the focus to the map list
    QString program;           // composed path
    QString parameters;        // the parameter string, by plain concatenation
    QString workingDirectory;  // InstallRoot
    bool native = false;       // a Linux program: started as it is, without Wine
};

LaunchPlan planLaunch(const LaunchInput& input);

// The arguments a Windows program would see for this parameter string.
QStringList splitWindowsCommandLine(const QString& parameters);

// Starts the plan's program. Off Windows the game's programs run through wine from PATH; without it
// a message says so and nothing starts. `findWine` is how wine is looked up (tests pass their own).
// Returns true when a start was requested.
bool startLaunchPlan(const LaunchPlan& plan, Shell& shell, Prompter& prompter,
                     const std::function<QString()>& findWine = {});

QString wineMissingMessage(const QString& nativeProgram);

} // namespace tarrow
