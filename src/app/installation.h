#pragma once

#include "common/backups.h"
#include "componentsettings.h"
#include "installpaths.h"
#include "platform.h"

#include <QString>

namespace tarrow {

class Prompter;
class SettingsStore;

// One Half-Life folder as a session of work sees it: its root and mod folder, its platform, its paths,
// the component settings read for it, the settings store it was read from and its backups. Made once
// at each entry (the window, each command, the demo, a test) and passed on by reference; nothing below
// reads any of it from anywhere else. The component settings never change once read: an override makes
// a new value.
class Installation {
  public:
    // No Half-Life folder.
    Installation() = default;
    // The folder `root` (composed, ending with a separator; empty for none), with `components`, read
    // from `store` (may be null: then no setting is read or written).
    Installation(SettingsStore* store, const QString& root, ComponentSettings components = {});
    // The folder stored in `store`, with the built-in component settings.
    static Installation stored(SettingsStore& store);

    // The same folder with the stored folder ("NTFP", "MMP", ...) or version ("HL", "TAR", ...) overrides.
    Installation withStoredPathOverrides() const;
    Installation withStoredVersionOverrides() const;

    bool isSet() const { return !root_.isEmpty(); }
    const QString& root() const { return root_; }
    const QString& mod() const { return mod_; }
    const ComponentSettings& components() const { return components_; }
    // Decided afresh at each call: the server programs in the folder, else the stored choice.
    ServerPlatform platform() const;
    // The paths of the folder as they are now on disk (a Linux library is found by name).
    InstallPaths paths() const;
    BackupStore backups() const { return BackupStore(root_); }
    SettingsStore* store() const { return store_; }

    // A value of the program's own settings section; empty without a store.
    QString setting(const QString& valueName) const;
    // Stores a value; a failure shows "Error creating key! \SOFTWARE\Tarrow <name>".
    void writeSetting(const QString& valueName, const QString& value, Prompter& prompter) const;

  private:
    SettingsStore* store_ = nullptr;
    QString root_;
    QString mod_;
    ComponentSettings components_;
};

} // namespace tarrow
