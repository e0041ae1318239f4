#include "fileio.h"

#include "backups.h"
#include "errors.h"
#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <qplatformdefs.h>
#include <sys/stat.h>
#include <utility>

namespace tarrow {

namespace {

WriteFaultHook& faultHook() {
    static WriteFaultHook hook;
    return hook;
}

void record(const BackupStore* backups, const WriteRecord& r) {
    if (backups && backups->journal()) backups->journal()->add(r);
}

QString accessDenied(const QString& path) {
    return QStringLiteral("Cannot create file \"%1\". Access is denied.").arg(path);
}

// Every path the program writes is below an absolute folder; a relative one means no Half-Life folder is
// set, and writing it would land in whatever folder the program was started from.
void refuseRelative(const QString& path, const char* what) {
    if (!path.isEmpty() && QDir::isAbsolutePath(path)) return;
    throw IoError(
        QStringLiteral("Cannot %1 \"%2\". No Half-Life folder is set.").arg(QLatin1String(what), path));
}

QString sizeText(qint64 bytes) {
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MiB");
}

} // namespace

bool writeAll(QFileDevice& file, const QByteArray& bytes) {
    qint64 done = 0;
    // A short write is followed by another, which fails with the system's reason (a full disk, say).
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

QByteArray readFileBytes(const QString& composedPath) {
    const QString path = nativePath(composedPath);
    const QFileInfo info(path);
    QString refusal;
    if (info.isDir())
        refusal = QStringLiteral("Is a folder");
    else if (info.exists() && !info.isFile())
        refusal = QStringLiteral("Not a regular file");
    else if (info.isFile() && info.size() > kMaxReadBytes)
        refusal =
            QStringLiteral("The file is %1; files of over %2 are not read.")
                .arg(sizeText(info.size()), sizeText(kMaxReadBytes).replace(QLatin1String(".0"), QString()));
    if (!refusal.isEmpty()) throw IoError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, refusal));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw IoError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw IoError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    return bytes;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ++i;
            start = i + 1;
        }
    }
    if (start < n) lines.append(text.mid(start));
    return lines;
}

QStringList readLines(const QString& composedPath) {
    return splitLines(QString::fromLatin1(readFileBytes(composedPath)));
}

QByteArray joinLinesCrLf(const QStringList& lines) {
    qsizetype total = 0;
    for (const QString& line : lines)
        total += line.size() + 2;
    QByteArray out;
    out.reserve(total);
    for (const QString& line : lines) {
        out += line.toLatin1();
        out += "\r\n";
    }
    return out;
}

namespace {

// A person's file that already holds `bytes`: rewriting it would only cost a new inode and time stamp,
// a hard link or an owner, or an error on a full disk.
bool alreadyHolds(const QFileInfo& info, const QByteArray& bytes) {
    if (!info.isFile() || info.size() != bytes.size()) return false;
    QFile file(info.filePath());
    return file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

// `path` is native: the composed-path rules are applied by the callers that need them.
void writeAt(const QString& path, const QByteArray& bytes, WriteMode mode, const BackupStore* backups,
             bool ownerOnly = false) {
    refuseRelative(path, "create file");
    const QFileInfo info(path);
    if (info.exists() && !info.isDir() && !(info.permissions() & QFileDevice::WriteOwner))
        throw IoError(accessDenied(path));
    if (info.isDir()) throw IoError(QStringLiteral("Cannot create file \"%1\". Is a folder").arg(path));
    if (info.exists() && !info.isFile() && !info.isSymLink())
        throw IoError(QStringLiteral("Cannot create file \"%1\". Not a regular file").arg(path));
    if (mode == WriteMode::Scratch) {
        // A page is never written through a link: the link itself goes.
        if (info.isSymLink() && !QFile::remove(path))
            throw IoError(
                QStringLiteral("Cannot create file \"%1\". Cannot remove the link there.").arg(path));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw IoError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
        if (faultHook()) faultHook()(path, bytes);
        if (file.write(bytes) != bytes.size() || !file.flush())
            throw IoError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
        return;
    }

    const bool existed = info.isFile();
    if (backups && alreadyHolds(info, bytes)) {
        record(backups, WriteRecord{path, QString(), false, false});
        return;
    }
    const QString backup = backups ? backups->keepPreviousVersion(path, &bytes) : QString();
    QSaveFile file(path);
    // Unbuffered, every write is checked as it happens: with a buffer, a full disk surfaces only at the
    // commit, which renames a short temporary file over the target and reports success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw IoError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    // Before the first byte: nobody else ever reads it, not even for a moment.
    if (ownerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        throw IoError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    }
    if (!writeAll(file, bytes) || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw IoError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason));
    }
    if (faultHook()) {
        try {
            faultHook()(path, bytes);
        } catch (...) {
            file.cancelWriting();
            throw;
        }
    }
    if (!file.commit())
        throw IoError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
    record(backups, WriteRecord{path, backup, false, !existed || !backup.isEmpty()});
}

void removeAt(const QString& path, const BackupStore* backups) {
    refuseRelative(path, "delete file");
    const QFileInfo info(path);
    if (!info.isSymLink() && (!info.exists() || info.isDir())) return;
    const QString backup =
        backups && !info.isSymLink() ? backups->keepPreviousVersion(path, nullptr) : QString();
    QFile file(path);
    if (!file.remove())
        throw IoError(QStringLiteral("Cannot delete file \"%1\". %2").arg(path, file.errorString()));
    record(backups, WriteRecord{path, backup, true, true});
}

} // namespace

void writeFileBytes(const QString& composedPath, const QByteArray& bytes, const BackupStore& backups) {
    writeAt(nativePath(composedPath), bytes, WriteMode::Output, &backups);
}

void writeFileBytes(const QString& composedPath, const QByteArray& bytes, WriteMode mode) {
    writeAt(nativePath(composedPath), bytes, mode, nullptr);
}

void deleteFile(const QString& composedPath, const BackupStore& backups) {
    removeAt(nativePath(composedPath), &backups);
}

void deleteFile(const QString& composedPath, WriteMode) {
    removeAt(nativePath(composedPath), nullptr);
}

void writeFileAsNamed(const QString& path, const QByteArray& bytes, FileAccess access) {
    writeAt(path, bytes, WriteMode::Output, nullptr, access == FileAccess::OwnerOnly);
}

void deleteFileAsNamed(const QString& path) {
    removeAt(path, nullptr);
}

bool isReadOnly(const QString& composedPath) {
    const QFileInfo info(nativePath(composedPath));
    return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

void clearReadOnly(const QString& composedPath) {
    const QString path = nativePath(composedPath);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) return;
    // Only the owner-write bit is added; Qt's own permission calls would add the read bits as well.
    QT_STATBUF st;
    const QByteArray name = QFile::encodeName(path);
    if (QT_STAT(name.constData(), &st) == 0) ::chmod(name.constData(), (st.st_mode & 07777) | S_IWUSR);
}

void setReadOnly(const QString& composedPath) {
    const QString path = nativePath(composedPath);
    const QFileInfo info(path);
    if (!info.exists()) return;
    QT_STATBUF st;
    const QByteArray name = QFile::encodeName(path);
    if (QT_STAT(name.constData(), &st) == 0)
        ::chmod(name.constData(), (st.st_mode & 07777) & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH));
}

void createFolder(const QString& composedPath) {
    const QString path = nativePath(composedPath);
    if (path.isEmpty() || QFileInfo(path).isDir()) return;
    refuseRelative(path, "create folder");
    if (!QDir().mkpath(path)) throw IoError(QStringLiteral("Cannot create folder \"%1\".").arg(path));
}

void setWriteFaultHook(WriteFaultHook hook) {
    faultHook() = std::move(hook);
}

} // namespace tarrow

namespace tarrow {

QByteArray editorTextToCrLf(const QString& text) {
    const QStringList lines = splitLines(text);
    QByteArray out = joinLinesCrLf(lines);
    const bool endsWithBreak = text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
    if (!endsWithBreak && !lines.isEmpty()) out.chop(2);
    return out;
}

QString editorTextFromBytes(const QByteArray& bytes) {
    QString text = QString::fromLatin1(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace tarrow
