#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarrow {

// Game files are bytes in a single-byte code page: they are read and written through Latin-1 so that
// every byte survives a load and save unchanged.

// Reads the whole file; throws IoError with the path and the system's reason.
QByteArray readFileBytes(const QString& composedPath);
// Splits text at CR LF, lone LF or lone CR; a last line without a line end still counts.
QStringList splitLines(const QString& text);
QStringList readLines(const QString& composedPath);
// The lines joined, each ended with CR LF.
QByteArray joinLinesCrLf(const QStringList& lines);

// The one routine through which every file is written: a temporary file beside the target is renamed
// over it, so a failed write leaves the old file as it was. A target without the owner-write bit is
// refused with "access denied", even for root, unless the caller cleared the attribute first.
// Generated pages, rewritten on every refresh and deleted at close, are scratch: written in place,
// without the temporary file and the flush to disk, since there is no earlier content to protect.
enum class WriteMode { Replace, Scratch };
void writeFileBytes(const QString& composedPath, const QByteArray& bytes,
                    WriteMode mode = WriteMode::Replace);

// The read-only attribute is the owner-write permission bit.
bool isReadOnly(const QString& composedPath);
void clearReadOnly(const QString& composedPath); // missing files are ignored
void setReadOnly(const QString& composedPath);
// Hidden has no meaning here; kept so callers say what the program does to its pages.
void setHidden(const QString& composedPath);
// Deletes a file; a missing one is ignored. Throws IoError when the system refuses.
void deleteFile(const QString& composedPath);
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
