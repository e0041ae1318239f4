#include "fileinuse.h"

#include "fileio.h"
#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarrow {

namespace {

bool statKey(const QByteArray& path, std::pair<quint64, quint64>& key) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return false;
    key = {quint64(st.st_dev), quint64(st.st_ino)};
    return true;
}

} // namespace

OpenFileScan OpenFileScan::take() {
    OpenFileScan scan;
    const QString self = QString::number(::getpid());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        bool numeric = false;
        pid.toInt(&numeric);
        if (!numeric || pid == self) continue;
        const QString base = QStringLiteral("/proc/") + pid;
        // Open descriptors.
        const QFileInfoList fds = QDir(base + QStringLiteral("/fd")).entryInfoList(QDir::Files | QDir::System);
        for (const QFileInfo& fd : fds) {
            std::pair<quint64, quint64> key;
            if (statKey(QFile::encodeName(fd.absoluteFilePath()), key)) scan.held_.insert(key);
        }
        // Mapped files: "start-end perms offset dev inode path".
        QFile maps(base + QStringLiteral("/maps"));
        if (!maps.open(QIODevice::ReadOnly)) continue;
        const QList<QByteArray> lines = maps.readAll().split('\n');
        for (const QByteArray& line : lines) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() < 6) continue;
            const quint64 inode = f[4].toULongLong();
            if (inode == 0) continue;
            const QList<QByteArray> dev = f[3].split(':');
            if (dev.size() != 2) continue;
            bool ok1 = false, ok2 = false;
            const unsigned major = dev[0].toUInt(&ok1, 16);
            const unsigned minor = dev[1].toUInt(&ok2, 16);
            if (!ok1 || !ok2) continue;
            scan.held_.insert({quint64(makedev(major, minor)), inode});
        }
    }
    return scan;
}

bool OpenFileScan::contains(const QString& nativePath) const {
    std::pair<quint64, quint64> key;
    return statKey(QFile::encodeName(nativePath), key) && held_.contains(key);
}

bool IsFileInUse(const QString& path) { return IsFileInUse(path, OpenFileScan::take()); }

bool IsFileInUse(const QString& path, const OpenFileScan& scan) {
    const QString native = nativePath(path);
    const QFileInfo info(native);
    if (!info.exists() || info.isDir()) return false;
    if (isReadOnly(path)) return true;
    QFile file(native);
    if (!file.open(QIODevice::ReadWrite)) return true;
    file.close();
    return scan.contains(native);
}

} // namespace tarrow
