#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <utility>

namespace tarrow {

// The files that other processes hold open or mapped, by device and inode, read once from /proc so that
// one scan serves a whole refresh.
class OpenFileScan {
  public:
    // With `only` (composed paths), the scan looks for those files alone, which is much cheaper.
    static OpenFileScan take(const QStringList& only = {});
    bool contains(const QString& nativePath) const;

  private:
    friend class OpenFileWatch;
    QSet<std::pair<quint64, quint64>> held_;
};

// The same look, repeated on every refresh at a fraction of the cost: what it learnt of each process is
// kept, and a process's descriptors and maps are read again only where a library can have appeared
// since: a process started since the last look (or, at the second look, one that has become another
// program), one that held a wanted file then, and one whose program is a game server or runs Windows
// programs (Wine, an emulator), which load libraries while they run. Another program that opens a
// library after it was first looked at, or becomes a server later than that, is not seen; the report
// is about the servers. Most processes cost nothing after their second look.
class OpenFileWatch {
  public:
    OpenFileScan scan(const QStringList& files);
    // How many processes the last scan read in full (the rest it only named).
    int processesRead() const { return processesRead_; }
    // Whether a program of this name (as /proc names it, at most 15 characters) can load a library
    // at any time while it runs.
    static bool loadsLibraries(const QByteArray& programName);

  private:
    struct Seen {
        quint64 inode = 0;
        QByteArray program;
        int looks = 1;
        bool held = false;
    };
    QHash<long, Seen> seen_;
    QSet<std::pair<quint64, quint64>> wanted_;
    int processesRead_ = 0;
};

// True when the file exists and cannot be taken for exclusive read and write: it lacks the owner-write
// bit, cannot be opened for read+write, or another process has it open or mapped.
bool IsFileInUse(const QString& path);
bool IsFileInUse(const QString& path, const OpenFileScan& scan);

} // namespace tarrow
