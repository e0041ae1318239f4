#include "fileeditor.h"

#include "app/componentsettings.h"
#include "app/installpaths.h"
#include "common/paths.h"

namespace tarrow {

namespace {

struct Folders {
    QString neotf, metamod, mod, bot;
};

Folders foldersOf(const InstallPaths& p) {
    return {p.neotfFolder, p.metamodFolder, p.modFolder, p.botFolder};
}

} // namespace

std::optional<QString> findKnownFile(const InstallPaths& paths, const QString& name) {
    const Folders f = foldersOf(paths);
    for (const QString& folder : {f.neotf, f.metamod, f.mod, f.bot}) {
        if (fileExists(folder + name)) return nativePath(folder + name);
    }
    return std::nullopt;
}

QString knownFileNotFoundMessage(const InstallPaths& paths, const QString& name) {
    const Folders f = foldersOf(paths);
    return QStringLiteral("Error loading file, expected path: ") + nativePath(f.bot + name) +
           QStringLiteral(", or ") + nativePath(f.mod + name) + QStringLiteral(" or ") +
           nativePath(f.metamod + name) + QStringLiteral(" or ") + nativePath(f.neotf + name);
}

QString fileTooLargeMessage(const QString& nativePath, qint64 size) {
    return QStringLiteral(
               "The file %1 is too large for the file box (%2 MiB; it opens files of up to %3 MiB). "
               "Nothing was loaded.")
        .arg(nativePath)
        .arg(double(size) / (1024.0 * 1024.0), 0, 'f', 1)
        .arg(kMaxEditableFileBytes / (qint64(1024) * 1024));
}

} // namespace tarrow
