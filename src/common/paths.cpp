#include "paths.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <algorithm>

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace tarrow {

namespace {

// Folder listings for case-insensitive matching, kept while the folder's modification time stays the
// same (adding, removing or renaming an entry changes it), so repeated lookups cost one stat. A cache of
// the file system, not of any installation: keyed by folder and checked against the disk at each use,
// it holds nothing a caller could tell apart from reading the folder again. One per thread.
struct Listing {
    timespec mtime{};
    QStringList names;
};

QHash<QString, Listing>& listings() {
    thread_local QHash<QString, Listing> cache;
    return cache;
}

// `fresh` forces a new read of the folder.
const QStringList* namesOf(const QString& dir, bool fresh) {
    const QByteArray encoded = QFile::encodeName(dir.isEmpty() ? QStringLiteral(".") : dir);
    struct stat st {};
    if (::stat(encoded.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
    Listing& l = listings()[dir];
    if (!fresh && l.mtime.tv_sec == st.st_mtim.tv_sec && l.mtime.tv_nsec == st.st_mtim.tv_nsec)
        return &l.names;
    l.names.clear();
    if (DIR* d = ::opendir(encoded.constData())) {
        while (dirent* e = ::readdir(d)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
            l.names << QFile::decodeName(e->d_name);
        }
        ::closedir(d);
    }
    l.mtime = st.st_mtim;
    return &l.names;
}

QString firstMatch(const QStringList& names, const QString& name) {
    QString best;
    for (const QString& entry : names) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && (best.isEmpty() || entry < best)) best = entry;
    }
    return best;
}

// The entry of `dir` whose name equals `name` ignoring letter case (the first by name when several
// do); empty when there is none. Exact spellings are tried by the caller first. A folder's time
// stamp is coarse, so a cached answer is trusted only when the entry still exists, and a miss is
// checked against a fresh read.
QString caseInsensitiveEntry(const QString& dir, const QString& name) {
    const QStringList* names = namesOf(dir, false);
    if (!names) return {};
    QString match = firstMatch(*names, name);
    if (!match.isEmpty() && QFileInfo::exists(dir + match)) return match;
    names = namesOf(dir, true);
    return names ? firstMatch(*names, name) : QString();
}

} // namespace

QString spelledPath(const QString& composed) {
    return QString(composed).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString nativePath(const QString& composed) {
    QString path = spelledPath(composed);
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
    // Only a regular file (or a link to one) counts: a FIFO, socket or device is never opened.
    return QFileInfo(nativePath(composed)).isFile();
}

bool folderExists(const QString& composed) {
    return QFileInfo(nativePath(composed)).isDir();
}

bool pathExists(const QString& composed) {
    return QFileInfo::exists(nativePath(composed));
}

QString mapNameOf(const QString& mapFile) {
    constexpr qsizetype kExtensionLength = 4; // ".bsp"
    return mapFile.left(std::max<qsizetype>(0, mapFile.size() - kExtensionLength));
}

} // namespace tarrow
