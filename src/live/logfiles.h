#pragma once

#include "logline.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarrow::live {

// The engine's log files of a mod folder (logs/L*.log), in the order they were written: by the time
// stamp of their first line ("Log file started"), else by their modification time, then by name.
QStringList logFilesInOrder(const QString& logsFolderNative);

// A log line with where it was read.
struct LogLine {
    LogEvent event;
    QString file;    // the file's name, "L1209000.log"
    qint64 line = 0; // 1 for the first; 0 when not known (a file read from its end)
};

// Reads a folder's log files as they grow. Each poll passes on the complete lines written since the
// last one, oldest first; it moves on to a newer file when the engine opens one. A last line without
// its line end waits for it, unless a newer file shows the engine has left that one. A file over
// 64 MiB is read from its last 64 MiB, and a note says so.
class LogFollower {
  public:
    explicit LogFollower(QString logsFolderNative);

    // Where reading goes on from: a file's name and the byte after the last line passed on.
    struct Position {
        QString file;
        qint64 offset = 0;
        qint64 line = 0; // lines passed on in that file; -1 when not known
    };
    Position position() const { return position_; }
    // Goes on from `position` (kept by the watchdog between its runs); a file that is gone starts the
    // reading afresh at the oldest file.
    void setPosition(const Position& position) { position_ = position; }
    // Starts at the end of what is there now: only what is written from here on is passed on.
    void skipToEnd();
    // Starts at the newest file's last `bytes` (at a line's start): the newest events, then what comes.
    void startNearEnd(qint64 bytes);

    void poll(const std::function<void(const LogLine&)>& each);
    // What a poll had to say about the files (one read from its end, say); taken once.
    QStringList takeNotes();

    static constexpr qint64 kMaxReadBytes = qint64(64) * 1024 * 1024;

  private:
    // Reads the current file from the position; true when it was read to its end.
    void readCurrent(const QString& path, bool finished, const std::function<void(const LogLine&)>& each);

    QString folder_;
    Position position_;
    QStringList notes_;
};

} // namespace tarrow::live
