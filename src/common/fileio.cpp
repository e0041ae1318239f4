#include "fileio.h"

#include "errors.h"
#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tarrow {

namespace {

WriteFaultHook& faultHook() {
    static WriteFaultHook hook;
    return hook;
}

QString accessDenied(const QString& path) {
    return QStringLiteral("Cannot create file \"%1\". Access is denied.").arg(path);
}

} // namespace

QByteArray readFileBytes(const QString& composedPath) {
    const QString path = nativePath(composedPath);
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = QFileInfo(path).isDir() ? QStringLiteral("Is a folder") : file.errorString();
        throw IoError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    }
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

void writeFileBytes(const QString& composedPath, const QByteArray& bytes, WriteMode mode) {
    const QString path = nativePath(composedPath);
    const QFileInfo info(path);
    if (info.exists() && !info.isDir() && !(info.permissions() & QFileDevice::WriteOwner))
        throw IoError(accessDenied(path));
    if (info.isDir()) throw IoError(QStringLiteral("Cannot create file \"%1\". Is a folder").arg(path));
    if (mode == WriteMode::Scratch) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw IoError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
        if (faultHook()) faultHook()(path, bytes);
        if (file.write(bytes) != bytes.size() || !file.flush())
            throw IoError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
        return;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IoError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size()) {
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
}

bool isReadOnly(const QString& composedPath) {
    const QFileInfo info(nativePath(composedPath));
    return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

void clearReadOnly(const QString& composedPath) {
    const QString path = nativePath(composedPath);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) return;
    QFile::setPermissions(path, info.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
}

void setReadOnly(const QString& composedPath) {
    const QString path = nativePath(composedPath);
    const QFileInfo info(path);
    if (!info.exists()) return;
    QFile::setPermissions(path, info.permissions() & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                                       QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

void setHidden(const QString&) {}

void deleteFile(const QString& composedPath) {
    const QString path = nativePath(composedPath);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) return;
    QFile file(path);
    if (!file.remove())
        throw IoError(QStringLiteral("Cannot delete file \"%1\". %2").arg(path, file.errorString()));
}

void createFolder(const QString& composedPath) {
    const QString path = nativePath(composedPath);
    if (path.isEmpty() || QFileInfo(path).isDir()) return;
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
