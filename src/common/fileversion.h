#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tarrow {

// Reads the product version of a Windows library from its version resource: our own reader of the PE
// format that reads only the bytes it needs and checks every offset and size against the file.
// std::nullopt means "no version record" (also for a missing, truncated or malformed file).
std::optional<QString> FileVersionText(const QString& path);

// The same on bytes in memory (the fuzz target); `bytesRead` counts what the reader looked at.
std::optional<QString> fileVersionFromBytes(const QByteArray& bytes);

// For the benchmark: bytes the reader requested from the file in the last call on this thread.
qint64 lastFileVersionBytesRead();

} // namespace tarrow
