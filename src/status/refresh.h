#pragma once

#include "actions.h"
#include "common/fileinuse.h"
#include "detection.h"

#include <QString>
#include <QStringList>

namespace tarrow {

// The status refresh, apart from what the window does itself (the period edit and the panes).
class StatusRefresh {
  public:
    // A metagame.ini left by other tools would override the loader files; it goes first.
    static void removeMetagame(const InstallPaths& paths);

    // Everything of a refresh that is not the window's own (the period and the panes): clear read-only
    // of the libraries and loader files, act on a click, detect, and write the four refresh pages.
    // `locationName` is the page the status pane shows. After detection, the duplicate-statement upkeep
    // runs (its writes go to the write journal like the click's).
    void run(const InstallPaths& paths, const ComponentSettings& settings, const QString& locationName);
    // The same, acting on `click` (a click on a component's Loaded row, or none).
    void run(const InstallPaths& paths, const ComponentSettings& settings, ClickedComponent click);

    // Flags of the last refresh, read by the click handling of the next one.
    const LoadFlags& flags() const { return flags_; }
    const StatusCells& cells() const { return cells_; }
    const StatusReport& report() const { return report_; }
    const RunningReport& running() const { return running_; }

    // The page texts, as lines (the refresh writes them).
    static QStringList statusReport(const StatusCells& cells, const QString& installRoot);
    static QStringList runningReport(const InstallPaths& paths, const OpenFileScan& scan);
    static QStringList runningReport(const RunningReport& running);
    // Which of the five libraries are installed and which are mapped by a running program.
    static RunningReport runningStates(const InstallPaths& paths, const OpenFileScan& scan);

  private:
    LoadFlags flags_;
    StatusCells cells_;
    StatusReport report_;
    RunningReport running_;
    // Which processes hold the libraries, kept between refreshes so that each one looks again only
    // where a library can have appeared.
    OpenFileWatch openFiles_;
};

} // namespace tarrow
