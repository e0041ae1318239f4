#pragma once

#include "app/componentsettings.h"
#include "loadstatements.h"

#include <QString>
#include <QStringList>

namespace tarrow {

class OpenFileScan;

// The loader files' state as of the last refresh.
struct LoadFlags {
    bool TarrowLoaded = false;
    bool MetamodLoaded = false;
    bool AdminmodLoaded = false;
    bool NeotfLoaded = false;
};

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
    StatusCells cells;
    LoadFlags flags;
};

// Inspects the installation: installed and loaded cells, load flags, engine lines, companion notes;
// removes one duplicated load statement per call. `settings` gets the engine's first version
// character and the installed NeoTF version. `liblist` is the shared scratch list.
Detection detectComponents(const InstallPaths& paths, ComponentSettings& settings, QStringList& liblist);

// The starting cell values (all "No").
StatusCells startingCells(const QString& modFolder);

} // namespace tarrow
