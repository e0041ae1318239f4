#pragma once

#include "common/backups.h"
#include "common/configsyntax.h"
#include "componentsettings.h"
#include "installpaths.h"
#include "platform.h"

#include <QString>
#include <memory>
#include <optional>

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
    BackupStore backups() const { return BackupStore(root_, journal_); }
    // The writes made through this installation's backups (and its copies') since they were last taken.
    QList<WriteRecord> takeWrites() const { return journal_->take(); }
    SettingsStore* store() const { return store_; }
    // The mod folder as the file system names it, ending with '/'; empty without a folder.
    QString modFolderNative() const;
    // What the server's server.cfg (and what it execs) leaves `cvar` set to, read as the engine reads it,
    // one value alone: a line that the pages cannot read elsewhere in the file does not stop it.
    std::optional<QString> serverCfgValue(const QString& cvar) const;
    // Every cvar it leaves set, keyed by the name in lower case.
    QHash<QString, ConfigValue> serverCfgValues() const;

    // A value of the program's settings; empty without a store. The folder's own values (its command
    // line, its platform choice) come from its section among the known folders; a folder without a
    // section of its own, or the first, reads them where a single-folder settings file keeps them.
    QString setting(const QString& valueName) const;
    // Stores a value (a folder's own value in its section); a failure shows "Error creating key! " and
    // the key path and value name.
    void writeSetting(const QString& valueName, const QString& value, Prompter& prompter) const;
    // The folder's place among the known folders; 0 when it is not one of them.
    int folderIndex() const { return folderIndex_; }

  private:
    QString keyPathFor(const QString& valueName) const;
    SettingsStore* store_ = nullptr;
    int folderIndex_ = 0;
    QString root_;
    QString mod_;
    ComponentSettings components_;
    // Shared by the copies of this value: an override's copy is the same folder, with the same writes.
    std::shared_ptr<WriteJournal> journal_ = std::make_shared<WriteJournal>();
};

} // namespace tarrow
