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

} // namespace tarrow
