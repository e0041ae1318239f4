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

// Inspects the installation: installed and loaded states, load flags, engine facts, companion notes.
// Reads only; nothing is written and `settings` stay as they are.
Detection detectComponents(const InstallPaths& paths, const ComponentSettings& settings);

// The upkeep a refresh runs after detection: a load statement that stands twice (the game library's
// line in liblist.gam, `localinfo mm_gamedll` in autoexec.cfg) loses its last copy, one per file and
// call; a single one is never touched. Returns the files it wrote.
QStringList removeDuplicateLoadStatements(const InstallPaths& paths, const ComponentSettings& settings);

// A report of nothing loaded and nothing found, for the mod folder.
StatusReport emptyReport(const QString& modFolder);

// The cells of the status page for a report.
StatusCells renderCells(const StatusReport& report);

// The starting cell values (all "No").
StatusCells startingCells(const QString& modFolder);

} // namespace tarrow
