#include "logfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tarrow::live {

namespace {

// When the file was begun: its first line's time stamp, else its modification time.
QDateTime startOf(const QString& path) {
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        const LogEvent first = parseLogLine(QString::fromUtf8(f.readLine(512)));
        if (first.time.isValid()) return first.time;
    }
    const QDateTime modified = QFileInfo(path).lastModified();
    // The same wall clock as the lines' time stamps, with no zone.
    return QDateTime(modified.date(), modified.time(), Qt::UTC);
}

} // namespace

QStringList logFilesInOrder(const QString& folder) {
    const QDir dir(folder);
    struct File {
        QString name;
        QDateTime start;
    };
    QList<File> files;
    for (const QString& name :
         dir.entryList({QStringLiteral("L*.log"), QStringLiteral("l*.log")}, QDir::Files))
        files.append({name, startOf(dir.filePath(name))});
    std::sort(files.begin(), files.end(), [](const File& a, const File& b) {
        return a.start != b.start ? a.start < b.start : a.name < b.name;
    });
    QStringList names;
    for (const File& f : files)
        if (names.isEmpty() || names.last() != f.name) names << f.name;
    return names;
}

LogFollower::LogFollower(QString folder) : folder_(std::move(folder)) {}

QStringList LogFollower::takeNotes() {
    return std::exchange(notes_, {});
}

void LogFollower::skipToEnd() {
    const QStringList files = logFilesInOrder(folder_);
    if (files.isEmpty()) {
        position_ = {};
        return;
    }
    position_.file = files.last();
    position_.offset = QFileInfo(QDir(folder_).filePath(position_.file)).size();
    position_.line = -1;
}

void LogFollower::startNearEnd(qint64 bytes) {
    skipToEnd();
    if (position_.file.isEmpty() || position_.offset <= bytes) {
        if (!position_.file.isEmpty()) position_ = {position_.file, 0, 0};
        return;
    }
    QFile f(QDir(folder_).filePath(position_.file));
    if (!f.open(QIODevice::ReadOnly) || !f.seek(position_.offset - bytes)) return;
    // The line cut there is passed over.
    position_.offset = position_.offset - bytes + f.readLine().size();
}

void LogFollower::poll(const std::function<void(const LogLine&)>& each) {
    const QStringList files = logFilesInOrder(folder_);
    if (files.isEmpty()) return;
    qsizetype at = files.indexOf(position_.file);
    if (at < 0) {
        at = 0;
        position_ = {files.first(), 0, 0};
    }
    for (; at < files.size(); ++at) {
        if (files[at] != position_.file) position_ = {files[at], 0, 0};
        const bool finished = at + 1 < files.size();
        readCurrent(QDir(folder_).filePath(files[at]), finished, each);
    }
}

void LogFollower::readCurrent(const QString& path, bool finished,
                              const std::function<void(const LogLine&)>& each) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return;
    const qint64 size = f.size();
    if (size < position_.offset) position_ = {position_.file, 0, 0}; // the file began anew
    if (position_.offset == 0 && size > kMaxReadBytes) {
        position_.offset = size - kMaxReadBytes;
        position_.line = -1;
        notes_ << QStringLiteral("%1 is over 64 MiB: read from its last 64 MiB").arg(position_.file);
        // The first line there is likely cut: reading starts after it.
        f.seek(position_.offset);
        const QByteArray cut = f.readLine();
        position_.offset += cut.size();
    }
    if (!f.seek(position_.offset)) return;
    LogLine out;
    out.file = position_.file;
    QByteArray carry;
    constexpr qint64 kChunk = 1 << 20;
    while (true) {
        const QByteArray chunk = f.read(kChunk);
        if (chunk.isEmpty()) break;
        QByteArray data = carry.isEmpty() ? chunk : carry + chunk;
        qsizetype start = 0;
        for (qsizetype nl = data.indexOf('\n'); nl >= 0; nl = data.indexOf('\n', start)) {
            const QByteArrayView bytes(data.constData() + start, nl - start);
            position_.offset += nl + 1 - start;
            if (position_.line >= 0) ++position_.line;
            out.line = position_.line > 0 ? position_.line : 0;
            out.event = parseLogLine(bytes);
            each(out);
            start = nl + 1;
        }
        carry = data.mid(start);
    }
    // A last line without its end: the engine may still be writing it, unless it has moved on.
    if (!carry.isEmpty() && finished) {
        position_.offset += carry.size();
        if (position_.line >= 0) ++position_.line;
        out.line = position_.line > 0 ? position_.line : 0;
        out.event = parseLogLine(QByteArrayView(carry));
        each(out);
    }
}

} // namespace tarrow::live
