#pragma once

#include "detection.h"
#include "loadstatements.h"

#include <QString>
#include <QStringList>

namespace tarrow {

// Which waiting page the status pane shows, by its location name ("Tar.html" or "Tar", ...).
enum class ClickedComponent { None, Tarrow, Metamod, Adminmod, Neotf };
ClickedComponent clickedComponent(const QString& locationName);
// The click on a component's row (none for the mod).
ClickedComponent clickOf(Component component);

// Switches the clicked component on or off by editing the loader files, from the load flags of the
// previous refresh. Where a line to replace does not exist, the new statement is added as a line of
// its own. A missing precondition file means no change.
void applyClickAction(ClickedComponent component, const LoadFlags& previous, const InstallPaths& paths,
                      const ComponentSettings& settings);

// What bringing a component to a state did.
struct SwitchOutcome {
    Detection after; // the installation afterwards
    bool reached = false;
    int clicks = 0; // how many times the click's action was applied
    // When `reached` is false and a line still loads the component: its file (composed), its number
    // (from 1) and its text.
    QString file;
    int line = 0;
    QString text;
};

// Brings `component` to loaded (or unloaded) as clicks on its row would, with the refresh's steps around
// each (metagame.ini removed, read-only cleared, the duplicate-line upkeep): the click's action is
// applied again while it changes a file and the state is not reached, at most once per line of the
// loader files (the bot's line may stand twice in plugins.ini).
SwitchOutcome switchComponent(const InstallPaths& paths, const ComponentSettings& settings,
                              Component component, bool load);

} // namespace tarrow
