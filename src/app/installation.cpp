#include "installation.h"

#include "common/modtable.h"
#include "common/paths.h"
#include "common/settingsstore.h"
#include "folders.h"

namespace tarrow {

Installation::Installation(SettingsStore* store, const QString& root, ComponentSettings components)
    : store_(store), root_(root), mod_(SelectedModFolder()), components_(std::move(components)) {
    if (store_ && !root_.isEmpty())
        if (const auto known = KnownFolders(*store_).byPath(root_)) folderIndex_ = known->index;
}

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
    return InstallPaths(root_, mod_, components_, platform(), journal_);
}

QString Installation::modFolderNative() const {
    if (!isSet()) return {};
    QString folder = nativePath(root_ + mod_);
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

QHash<QString, ConfigValue> Installation::serverCfgValues() const {
    if (!isSet()) return {};
    return configValues(modFolderNative(), serverCfgName());
}

std::optional<QString> Installation::serverCfgValue(const QString& cvar) const {
    if (!isSet()) return std::nullopt;
    return configValue(modFolderNative(), serverCfgName(), cvar);
}

QString Installation::keyPathFor(const QString& valueName) const {
    if (folderIndex_ == 0 || !isFolderSetting(valueName)) return kTarrowKey;
    return KnownFolder{folderIndex_, root_}.keyPath();
}

QString Installation::setting(const QString& valueName) const {
    const QString key = keyPathFor(valueName);
    QString own = RegReadString(store_, key, valueName);
    // The first folder's values stay where a single-folder settings file has them until written anew.
    if (own.isEmpty() && key != kTarrowKey && folderIndex_ == 1)
        return RegReadString(store_, kTarrowKey, valueName);
    return own;
}

void Installation::writeSetting(const QString& valueName, const QString& value, Prompter& prompter) const {
    RegWriteString(store_, keyPathFor(valueName), valueName, value, prompter);
}

} // namespace tarrow
