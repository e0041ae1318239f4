#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarrow {

struct InstallPaths;
class BackupStore;

// The default contents of the engine's start-up files. Each line ends with CR LF, the last one too.
QStringList defaultAutoexecLines();
QStringList defaultLiblistLines();
QStringList defaultPluginsIniLines();
QStringList defaultNtfConfigLines();

// One start-up file the rebuild can reset: where it is, the folder that must exist, its default lines.
struct RebuildTarget {
    const char* name;    // the command line's word: "autoexec", "liblist", "plugins", "ntfconfig"
    const char* caption; // "Rebuilding Liblist.gam..."
    QString file;        // composed
    QString folder;
    std::function<QStringList()> content;
};
// In the order the rebuild writes them. On a Linux installation liblist.gam also gets the
// `gamedll_linux` line of the mod library found, and ntf_config.txt names that library.
QList<RebuildTarget> rebuildTargets(const InstallPaths& paths);
// The command line's words for them, in the same order.
QStringList rebuildTargetNames();
// Clears the read-only attribute of all four files (selected or not, as the window's rebuild does),
// then writes the default contents of `target` where its folder exists. False when the folder is missing.
bool rebuildTarget(const RebuildTarget& target, const QList<RebuildTarget>& all, const BackupStore& backups);

struct RebuildSelection {
    bool autoexec = false;
    bool liblist = false;
    bool pluginsIni = false;
    bool ntfConfig = false;
};

// Overwrites the selected start-up files with their defaults, pacing itself with waits that keep the
// window live. A second run while one is going is ignored. After a failed write the label returns to
// "Idle" and the error travels on to the caller.
class Rebuilder {
  public:
    std::function<void(const QString&)> setLabel;
    std::function<void()> stopStatusTimer;
    std::function<void()> clearSelection;

    // False when a rebuild was already running.
    bool run(const RebuildSelection& selection, const InstallPaths& paths);
    bool busy() const { return busy_; }

  private:
    bool busy_ = false;
};

} // namespace tarrow
