#include "folders.h"

#include "common/paths.h"
#include "common/settingsstore.h"
#include "installroot.h"
#include "platform.h"
#include "windowoptions.h"

#include <QDir>
#include <QFileInfo>

namespace tarrow {

namespace {

const QString kPathValue = QStringLiteral("Path");

QString keyPathOf(int index) {
    return kTarrowKey + QStringLiteral("\\Folder") + QString::number(index);
}

} // namespace

QString KnownFolder::keyPath() const {
    return keyPathOf(index);
}

KnownFolders::KnownFolders(SettingsStore& store) : store_(store) {}

QString KnownFolders::canonical(const QString& folder) {
    QString native = nativePath(folder);
    const QFileInfo info(native);
    QString path =
        info.exists() ? info.canonicalFilePath() : QDir::cleanPath(QDir().absoluteFilePath(native));
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path;
}

QList<KnownFolder> KnownFolders::list() const {
    QList<KnownFolder> out;
    for (int i = 1;; ++i) {
        const QString root = store_.read(keyPathOf(i), kPathValue);
        if (root.isEmpty()) break;
        out.append({i, root});
    }
    // A settings file from before several folders: its one folder is the first.
    if (out.isEmpty()) {
        const QString legacy = ReadInstallRoot(&store_);
        if (!legacy.isEmpty()) out.append({1, legacy});
    }
    return out;
}

std::optional<KnownFolder> KnownFolders::byIndex(int index) const {
    for (const KnownFolder& f : list())
        if (f.index == index) return f;
    return std::nullopt;
}

std::optional<KnownFolder> KnownFolders::byPath(const QString& folder) const {
    const QString wanted = canonical(folder);
    for (const KnownFolder& f : list())
        if (canonical(f.root) == wanted) return f;
    return std::nullopt;
}

std::optional<KnownFolder> KnownFolders::add(const QString& folder) {
    if (auto known = byPath(folder)) {
        // The single folder of an older settings file is written down as the first on the way.
        if (store_.read(known->keyPath(), kPathValue).isEmpty() &&
            !store_.write(known->keyPath(), kPathValue, known->root))
            return std::nullopt;
        return known;
    }
    QList<KnownFolder> all = list();
    if (!all.isEmpty() && store_.read(all.first().keyPath(), kPathValue).isEmpty() &&
        !store_.write(all.first().keyPath(), kPathValue, all.first().root))
        return std::nullopt;
    const KnownFolder added{int(all.size()) + 1, withRootSeparator(canonical(folder))};
    if (!store_.write(added.keyPath(), kPathValue, added.root)) return std::nullopt;
    return added;
}

bool KnownFolders::makeCurrent(const QString& folder, Prompter& prompter) {
    if (!add(folder)) return false;
    storeInstallRoot(store_, folder, prompter);
    return true;
}

std::optional<KnownFolder> KnownFolders::current() const {
    const QString root = ReadInstallRoot(&store_);
    if (root.isEmpty()) return std::nullopt;
    return byPath(root);
}

bool isFolderSetting(const QString& valueName) {
    for (const OwnSetting own : {OwnSetting::CommandLine, OwnSetting::StartMap, OwnSetting::ServerKind})
        if (valueName.compare(ownSettingName(own), Qt::CaseInsensitive) == 0) return true;
    return valueName.compare(kPlatformValue, Qt::CaseInsensitive) == 0;
}

} // namespace tarrow
