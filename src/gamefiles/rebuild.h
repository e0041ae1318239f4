#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tarrow {

struct ComponentSettings;

// The default contents of the engine's start-up files. Each line ends with CR LF, the last one too.
QStringList defaultAutoexecLines();
QStringList defaultLiblistLines();
QStringList defaultPluginsIniLines();
QStringList defaultNtfConfigLines();

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
    bool run(const RebuildSelection& selection, const QString& installRoot, const QString& modFolder,
             const ComponentSettings& settings);
    bool busy() const { return busy_; }

  private:
    bool busy_ = false;
};

} // namespace tarrow
