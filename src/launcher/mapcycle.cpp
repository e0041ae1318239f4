#include "mapcycle.h"

#include "app/componentsettings.h"
#include "app/installpaths.h"
#include "common/paths.h"
#include "common/textlists.h"

#include <algorithm>

namespace tarrow {

QStringList mapcycleEntries(const QStringList& fileLines) {
    QStringList entries;
    for (const QString& line : fileLines) {
        const QString t = trimBlanks(line);
        if (t.isEmpty() || t.startsWith(QLatin1String("//"))) continue;
        entries << line;
    }
    return entries;
}

QString mapcycleHeader() {
    return QStringLiteral("//Mapcycle created by ") + PanelVersionText;
}

QString mapcycleMissingMessage(const InstallPaths& paths) {
    return QStringLiteral("Your Mapcycle.txt was not found, expected path: ") + nativePath(paths.mapcycle) +
           QStringLiteral(" ") + QStringLiteral(" If you wish to create a new one in this directory ") +
           nativePath(paths.modFolder) +
           QStringLiteral("  just add maps from the list to the right and click the Save Mapcycle button.");
}

std::optional<int> removeRows(QStringList& entries, const QList<int>& selectedRows) {
    QList<int> rows = selectedRows;
    std::sort(rows.begin(), rows.end());
    int last = -1;
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        if (rows[i] < 0 || rows[i] >= entries.size()) continue;
        entries.removeAt(rows[i]);
        last = rows[i];
    }
    if (entries.isEmpty()) return std::nullopt;
    // With nothing removed, nothing is chosen for the user: the first entry stays in reach.
    if (last < 0) return 0;
    return last < entries.size() ? last : int(entries.size()) - 1;
}

std::optional<QString> mapOverview(const InstallPaths& paths, const QString& mapFile) {
    const QString base = paths.overviewsFolder + mapNameOf(mapFile);
    for (const char* ext : {".gif", ".bmp"}) {
        if (fileExists(base + QLatin1String(ext))) return base + QLatin1String(ext);
    }
    return std::nullopt;
}

} // namespace tarrow
