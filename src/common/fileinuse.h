#pragma once

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
    QSet<std::pair<quint64, quint64>> held_;
};

// True when the file exists and cannot be taken for exclusive read and write: it lacks the owner-write
// bit, cannot be opened for read+write, or another process has it open or mapped.
bool IsFileInUse(const QString& path);
bool IsFileInUse(const QString& path, const OpenFileScan& scan);

} // namespace tarrow
