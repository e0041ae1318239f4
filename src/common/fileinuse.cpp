#include "fileinuse.h"

#include "fileio.h"
#include "paths.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
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

// Every regular file a process holds open or has mapped, handed to `consider`.
template <typename Consider> void readProcess(int pidFd, std::string& text, Consider&& consider) {
    // Open descriptors.
    const int fdDirFd = ::openat(pidFd, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdDirFd >= 0) {
        if (DIR* fds = ::fdopendir(fdDirFd)) {
            while (dirent* f = ::readdir(fds)) {
                if (f->d_name[0] == '.') continue;
                struct stat st {};
                if (::fstatat(::dirfd(fds), f->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
                    consider(Key{quint64(st.st_dev), quint64(st.st_ino)});
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
}

QSet<Key> keysOf(const QStringList& files) {
    QSet<Key> keys;
    for (const QString& path : files) {
        Key key;
        if (statKey(QFile::encodeName(nativePath(path)), key)) keys.insert(key);
    }
    return keys;
}

// Calls `visit(pid, procFd, pidName, inode)` for every other process; `pidName` names its folder in
// /proc, and `inode` is that folder's inode, which a later process with the same number does not share.
template <typename Visit> void forEachProcess(Visit&& visit) {
    const pid_t self = ::getpid();
    DIR* proc = ::opendir("/proc");
    if (!proc) return;
    while (dirent* e = ::readdir(proc)) {
        char* endp = nullptr;
        const long pid = std::strtol(e->d_name, &endp, 10);
        if (!endp || *endp != '\0' || pid <= 0 || pid == self) continue;
        visit(pid, ::dirfd(proc), e->d_name, quint64(e->d_ino));
    }
    ::closedir(proc);
}

// Reads the descriptors and maps of the process in /proc/<pidName>.
template <typename Consider>
void readProcessNamed(int procFd, const char* pidName, std::string& text, Consider&& consider) {
    const int pidFd = ::openat(procFd, pidName, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (pidFd < 0) return;
    readProcess(pidFd, text, consider);
    ::close(pidFd);
}

// The program's name from /proc/<pid>/comm: a file the kernel makes at almost no cost, unlike the
// process's full status.
bool programName(int procFd, const char* pidName, QByteArray& name) {
    char path[300];
    std::snprintf(path, sizeof path, "%s/comm", pidName);
    const int fd = ::openat(procFd, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[64];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    if (n <= 0) return false;
    qsizetype length = qsizetype(n);
    if (buf[length - 1] == '\n') --length;
    name = QByteArray(buf, length);
    return true;
}

} // namespace

OpenFileScan OpenFileScan::take(const QStringList& only) {
    OpenFileScan scan;
    const QSet<Key> wanted = keysOf(only);
    if (!only.isEmpty() && wanted.isEmpty()) return scan;
    std::string text;
    forEachProcess([&](long, int procFd, const char* pidName, quint64) {
        readProcessNamed(procFd, pidName, text, [&](const Key& key) {
            if (only.isEmpty() || wanted.contains(key)) scan.held_.insert(key);
        });
    });
    return scan;
}

bool OpenFileWatch::loadsLibraries(const QByteArray& programName) {
    const QByteArray n = programName.toLower();
    static const char* const kPrefixes[] = {"hlds", "hl_", "wine", "box86", "box64", "qemu-", "fex"};
    for (const char* prefix : kPrefixes)
        if (n.startsWith(prefix)) return true;
    // Wine names a process after the Windows program it runs.
    return n == "hl" || n.endsWith(".exe");
}

OpenFileScan OpenFileWatch::scan(const QStringList& files) {
    OpenFileScan scan;
    processesRead_ = 0;
    const QSet<Key> wanted = keysOf(files);
    // Other files (a library replaced, another folder): what was learnt no longer applies.
    if (wanted != wanted_) {
        seen_.clear();
        wanted_ = wanted;
    }
    if (wanted.isEmpty()) return scan;
    QHash<long, Seen> now;
    now.reserve(seen_.size());
    std::string text;
    forEachProcess([&](long pid, int procFd, const char* pidName, quint64 inode) {
        // A process is known by its number and its folder's inode: a number taken again is a new
        // process. Its program's name is read at its first two looks, the second one for a shell
        // that has started a program in its place (fork, then exec) since the first.
        const auto before = seen_.constFind(pid);
        const bool known = before != seen_.constEnd() && before->inode == inode;
        Seen seen;
        seen.inode = inode;
        bool sameProgram = false;
        if (known) {
            seen.program = before->program;
            seen.looks = std::min(before->looks + 1, 3); // past two looks the count no longer matters
            if (seen.looks <= 2) {
                QByteArray name;
                if (!programName(procFd, pidName, name)) return;
                sameProgram = name == seen.program;
                seen.program = name;
            } else {
                sameProgram = true;
            }
        } else if (!programName(procFd, pidName, seen.program)) {
            return;
        }
        if (sameProgram && !before->held && !loadsLibraries(seen.program)) {
            now.insert(pid, seen);
            return;
        }
        ++processesRead_;
        readProcessNamed(procFd, pidName, text, [&](const Key& key) {
            if (!wanted.contains(key)) return;
            scan.held_.insert(key);
            seen.held = true;
        });
        now.insert(pid, seen);
    });
    seen_ = std::move(now);
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
