#include "installation.h"

#include "common/modtable.h"
#include "common/settingsstore.h"

namespace tarrow {

Installation::Installation(SettingsStore* store, const QString& root, ComponentSettings components)
    : store_(store), root_(root), mod_(SelectedModFolder()), components_(std::move(components)) {}

Installation Installation::stored(SettingsStore& store) {
    return Installation(&store, ReadInstallRoot(&store));
}

Installation Installation::withStoredPathOverrides() const {
    Installation out = *this;
    applyPathOverrides(out.components_, [this](const QString& name) { return setting(name); });
    return out;
}

Installation Installation::withStoredVersionOverrides() const {
    Installation out = *this;
    applyVersionOverrides(out.components_, [this](const QString& name) { return setting(name); });
    return out;
}

ServerPlatform Installation::platform() const {
    return installationPlatform(root_, setting(kPlatformValue));
}

InstallPaths Installation::paths() const {
    return InstallPaths(root_, mod_, components_, platform());
}

QString Installation::setting(const QString& valueName) const {
    return RegReadString(store_, kTarrowKey, valueName);
}

void Installation::writeSetting(const QString& valueName, const QString& value, Prompter& prompter) const {
    RegWriteString(store_, kTarrowKey, valueName, value, prompter);
}

} // namespace tarrow
