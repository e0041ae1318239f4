#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace tarrow {

class Prompter;

class SettingsStore;

// A Half-Life folder this host's operator has worked on. Indexes start at 1 and never change: folders
// are numbered in the order they became known.
struct KnownFolder {
    int index = 0;
    QString root; // composed, ending with a separator
    // The settings section of the folder's own values (its launcher settings, its platform choice).
    QString keyPath() const;
};

// The folders known to a settings file: "[Tarrow.Folder1]" "Path=/srv/tfc/", and so on. A settings file
// that names only today's single INSTALL_PATH knows that folder as the first one.
class KnownFolders {
  public:
    explicit KnownFolders(SettingsStore& store);

    QList<KnownFolder> list() const;
    std::optional<KnownFolder> byIndex(int index) const;
    // The folder whose canonical path is that of `folder` (composed or native, with or without a
    // trailing separator).
    std::optional<KnownFolder> byPath(const QString& folder) const;
    // The folder as known, adding it at the end when it is new. Empty when the store cannot be written.
    std::optional<KnownFolder> add(const QString& folder);
    // Makes `folder` the one the window opens next (INSTALL_PATH). It becomes known first, so that the
    // folder of an older settings file keeps the first number. False, storing nothing, when the store
    // cannot be written.
    bool makeCurrent(const QString& folder, Prompter& prompter);
    // The folder the window used last (INSTALL_PATH), as known; none when none is stored.
    std::optional<KnownFolder> current() const;

    // The canonical form two spellings of one folder share: absolute, links resolved where it
    // exists, ending with '/'.
    static QString canonical(const QString& folder);

  private:
    SettingsStore& store_;
};

// Values that belong to one folder rather than to the window: read from the folder's section, else
// (for the first folder, as a single-folder settings file stored them) from the program's own section.
bool isFolderSetting(const QString& valueName);

} // namespace tarrow
