#pragma once

#include "app/componentsettings.h"
#include "loadstatements.h"
#include "report.h"

#include <QString>
#include <QStringList>

namespace tarrow {

// The report cells (HTML fragments) of one detection, and the engine lines.
struct StatusCells {
    QString modInstalled, modLoaded;
    QString tarrowInstalled, tarrowLoaded;
    QString metamodInstalled, metamodLoaded;
    QString adminmodInstalled, adminmodLoaded;
    QString neotfInstalled, neotfLoaded;
    QString installTypeLine;   // empty without sierra.inf
    QString engineVersionLine; // empty without sierra.inf or without a CurrentVersion line
};

struct Detection {
    StatusReport report;
    LoadFlags flags;
    StatusCells cells; // the report as the status page shows it
};

// Inspects the installation: installed and loaded states, load flags, engine facts, companion notes;
// removes one duplicated load statement per call unless `upkeep` is off (a look that must not write).
// `settings` gets the engine's first version character and the installed NeoTF version. `liblist` is
// the shared scratch list.
Detection detectComponents(const InstallPaths& paths, ComponentSettings& settings, QStringList& liblist,
                           bool upkeep = true);

// A report of nothing loaded and nothing found, for the mod folder.
StatusReport emptyReport(const QString& modFolder);

// The cells of the status page for a report.
StatusCells renderCells(const StatusReport& report);

// The starting cell values (all "No").
StatusCells startingCells(const QString& modFolder);

} // namespace tarrow
