#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarrow {

class BackupStore;

// Game files are bytes in a single-byte code page: they are read and written through Latin-1 so that
// every byte survives a load and save unchanged.

// Files larger than this are refused by every reader: they are not game files, and reading them would
// hold up the window.
inline constexpr qint64 kMaxReadBytes = 16LL * 1024 * 1024;

// Reads the whole file; throws IoError with the path and the system's reason. Only regular files are
// read: a FIFO, socket or device is refused without being opened (opening a FIFO blocks for good).
QByteArray readFileBytes(const QString& composedPath);
// Splits text at CR LF, lone LF or lone CR; a last line without a line end still counts.
QStringList splitLines(const QString& text);
QStringList readLines(const QString& composedPath);
// The lines joined, each ended with CR LF.
QByteArray joinLinesCrLf(const QStringList& lines);

// The one routine through which every file is written: a temporary file beside the target is renamed
// over it, so a failed write leaves the old file as it was. A target without the owner-write bit is
// refused with "access denied", even for root, unless the caller cleared the attribute first.
// A file a person or another program may have written is replaced through its installation's backup
// store: its previous bytes are kept as a backup first (see backups.h), and no write happens without
// that backup. A file that already holds the bytes is left alone (its inode, links, owner and time stay).
void writeFileBytes(const QString& composedPath, const QByteArray& bytes, const BackupStore& backups);
// Output: a file the program makes for the user from scratch (the dump); safe write, no backup.
// Scratch: generated pages, rewritten on every refresh and deleted at close: written in place, without
// the temporary file and the flush to disk, since there is no earlier content to protect. A link at
// their name is removed, never written through.
enum class WriteMode { Output, Scratch };
void writeFileBytes(const QString& composedPath, const QByteArray& bytes, WriteMode mode);

// Writes every byte, unbuffered devices included; false with the device's error when the system refuses.
bool writeAll(QFileDevice& file, const QByteArray& bytes);

// The read-only attribute is the owner-write permission bit.
bool isReadOnly(const QString& composedPath);
void clearReadOnly(const QString& composedPath); // missing files are ignored
void setReadOnly(const QString& composedPath);
// Deletes a file; a missing one is ignored. A link is deleted itself, dangling or not. With a backup
// store the file's bytes are kept as a backup first. Throws IoError when the system refuses.
void deleteFile(const QString& composedPath, const BackupStore& backups);
void deleteFile(const QString& composedPath, WriteMode mode);
// The same safe write (Output) and delete for a file of the program's own whose name is taken as it
// stands: a systemd unit's name holds backslashes, which a composed path would take as folder separators.
// OwnerOnly: a file that carries a secret is read and written by its owner alone (0600), from its
// first byte on.
enum class FileAccess { Default, OwnerOnly };
void writeFileAsNamed(const QString& nativePath, const QByteArray& bytes,
                      FileAccess access = FileAccess::Default);
void deleteFileAsNamed(const QString& nativePath);
// Creates the folder and any missing parents; throws IoError when that fails.
void createFolder(const QString& composedPath);

// Tests inject write faults through this hook: it is called with the native path and the bytes just
// before the temporary file is committed, and may throw IoError to simulate a failed write.
using WriteFaultHook = std::function<void(const QString& nativePath, const QByteArray& bytes)>;
void setWriteFaultHook(WriteFaultHook hook);

} // namespace tarrow

namespace tarrow {

// Editor text to file bytes: every line break becomes CR LF; a line end after the last line only when
// the text ends with one.
QByteArray editorTextToCrLf(const QString& text);
// File bytes to editor text: CR LF, lone CR and lone LF each become one line break; bytes through
// Latin-1.
QString editorTextFromBytes(const QByteArray& bytes);

} // namespace tarrow
