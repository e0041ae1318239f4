#include "paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace tarrow {

namespace {

// The entry of `dir` whose name equals `name` ignoring letter case; empty when there is none. Exact
// spellings are tried by the caller first, so this only runs for a mismatch.
QString caseInsensitiveEntry(const QString& dir, const QString& name) {
    const QDir d(dir.isEmpty() ? QStringLiteral(".") : dir);
    const QStringList entries =
        d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
    }
    return {};
}

} // namespace

QString nativePath(const QString& composed) {
    QString path = composed;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.isEmpty()) return path;
    // Most paths exist as spelled, or do not exist at all below a folder that does.
    if (QFileInfo::exists(path)) return path;

    const bool absolute = path.startsWith(QLatin1Char('/'));
    const QStringList parts = path.split(QLatin1Char('/'));
    QString result = absolute ? QStringLiteral("/") : QString();
    bool parentExists = true;
    for (qsizetype i = absolute ? 1 : 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString chosen = part;
        if (parentExists && !part.isEmpty() && part != QLatin1String(".") && part != QLatin1String("..")) {
            const QString exact = result + part;
            if (!QFileInfo::exists(exact)) {
                const QString match = caseInsensitiveEntry(result, part);
                if (match.isEmpty())
                    parentExists = false;
                else
                    chosen = match;
            }
        }
        result += chosen;
        if (i + 1 < parts.size()) result += QLatin1Char('/');
    }
    return result;
}

bool fileExists(const QString& composed) {
    const QFileInfo info(nativePath(composed));
    return info.exists() && !info.isDir();
}

bool folderExists(const QString& composed) {
    return QFileInfo(nativePath(composed)).isDir();
}

bool pathExists(const QString& composed) {
    return QFileInfo::exists(nativePath(composed));
}

} // namespace tarrow
