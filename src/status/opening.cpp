#include "opening.h"

#include "app/installation.h"
#include "app/loaderfiles.h"
#include "common/errors.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "pages.h"

namespace tarrow {

OpeningResult openInstallation(const Installation& in) {
    OpeningResult result;
    // Writes made before (a demo installation built, say) are not the opening's.
    in.takeWrites();
    const InstallPaths paths = in.paths();

    createFolder(paths.pluginFolder);
    deleteGeneratedPages(paths.pluginFolder);

    const qsizetype rivals = rivalPluginFiles(in.root(), in.mod()).size();
    for (qsizetype i = 0; i < rivals; ++i)
        result.notes.append({OpeningNote::Kind::Message, rivalPluginWarning(), {}});

    const BackupStore backups = in.backups();
    auto normalise = [&](const QString& file, bool (*step)(const QString&, const BackupStore&)) {
        try {
            return step(file, backups);
        } catch (const IoError& e) {
            result.notes.append({OpeningNote::Kind::Error, e.text(), nativePath(file)});
            return true;
        }
    };
    if (!normalise(paths.liblist, &normaliseLiblistFile))
        result.notes.append({OpeningNote::Kind::Message, missingLiblistMessage(paths.liblist), {}});
    normalise(paths.pluginsIni, &normalisePluginFile);
    normalise(paths.ntfConfig, &normalisePluginFile);
    result.writes = in.takeWrites();

    writeWaitingPages(paths.pluginFolder);
    return result;
}

} // namespace tarrow
