#pragma once

#include <QString>
#include <optional>

namespace tarrow {

struct InstallPaths;

// Where the file box finds a known file: the NeoTF folder, then Metamod's, the mod's and the bot's.
std::optional<QString> findKnownFile(const InstallPaths& paths, const QString& name);
// "Error loading file, expected path: ..." with the four places in reverse order.
QString knownFileNotFoundMessage(const InstallPaths& paths, const QString& name);

// The largest file the file box opens; a larger one is refused with a message rather than cut.
inline constexpr qint64 kMaxEditableFileBytes = qint64(16) * 1024 * 1024;
QString fileTooLargeMessage(const QString& nativePath, qint64 size);

} // namespace tarrow
