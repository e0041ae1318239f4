#include "fileinuse.h"

#include "fileio.h"
#include "paths.h"

#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <cstring>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarrow {

namespace {

using Key = std::pair<quint64, quint64>;

bool statKey(const QByteArray& path, Key& key) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return false;
    key = {quint64(st.st_dev), quint64(st.st_ino)};
    return true;
}

// Reads a small /proc file whole; /proc files report no size, so read until the end.
bool readAll(int dirFd, const char* name, std::string& out) {
    out.clear();
    const int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        out.append(buf, size_t(n));
    }
    ::close(fd);
    return true;
}

// "start-end perms offset major:minor inode path" -> device and inode.
bool mapsKey(const char* line, const char* end, Key& key) {
    const char* p = line;
    for (int field = 0; field < 3; ++field) {
        while (p < end && *p != ' ')
            ++p;
        while (p < end && *p == ' ')
            ++p;
    }
    char* next = nullptr;
    const unsigned long major = std::strtoul(p, &next, 16);
    if (!next || *next != ':') return false;
    const unsigned long minor = std::strtoul(next + 1, &next, 16);
    const unsigned long long inode = std::strtoull(next, &next, 10);
    if (inode == 0 || next > end) return false;
    key = {quint64(makedev(major, minor)), quint64(inode)};
    return true;
}

} // namespace

OpenFileScan OpenFileScan::take(const QStringList& only) {
    OpenFileScan scan;
    QSet<Key> wanted;
    for (const QString& path : only) {
        Key key;
        if (statKey(QFile::encodeName(nativePath(path)), key)) wanted.insert(key);
    }
    if (!only.isEmpty() && wanted.isEmpty()) return scan;
    auto consider = [&](const Key& key) {
        if (only.isEmpty() || wanted.contains(key)) scan.held_.insert(key);
    };

    const pid_t self = ::getpid();
    DIR* proc = ::opendir("/proc");
    if (!proc) return scan;
    std::string text;
    while (dirent* e = ::readdir(proc)) {
        char* endp = nullptr;
        const long pid = std::strtol(e->d_name, &endp, 10);
        if (!endp || *endp != '\0' || pid <= 0 || pid == self) continue;
        const int pidFd = ::openat(::dirfd(proc), e->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (pidFd < 0) continue;
        // Open descriptors.
        const int fdDirFd = ::openat(pidFd, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fdDirFd >= 0) {
            if (DIR* fds = ::fdopendir(fdDirFd)) {
                while (dirent* f = ::readdir(fds)) {
                    if (f->d_name[0] == '.') continue;
                    struct stat st {};
                    if (::fstatat(::dirfd(fds), f->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
                        consider({quint64(st.st_dev), quint64(st.st_ino)});
                }
                ::closedir(fds);
            } else {
                ::close(fdDirFd);
            }
        }
        // Mapped files.
        if (readAll(pidFd, "maps", text)) {
            const char* p = text.data();
            const char* end = p + text.size();
            while (p < end) {
                const char* nl = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
                const char* lineEnd = nl ? nl : end;
                Key key;
                if (mapsKey(p, lineEnd, key)) consider(key);
                p = lineEnd + 1;
            }
        }
        ::close(pidFd);
    }
    ::closedir(proc);
    return scan;
}

bool OpenFileScan::contains(const QString& nativePath) const {
    std::pair<quint64, quint64> key;
    return statKey(QFile::encodeName(nativePath), key) && held_.contains(key);
}

bool IsFileInUse(const QString& path) {
    return IsFileInUse(path, OpenFileScan::take());
}

bool IsFileInUse(const QString& path, const OpenFileScan& scan) {
    const QString native = nativePath(path);
    const QFileInfo info(native);
    if (!info.isFile()) return false;
    if (isReadOnly(path)) return true;
    QFile file(native);
    if (!file.open(QIODevice::ReadWrite)) return true;
    file.close();
    return scan.contains(native);
}

} // namespace tarrow
