#pragma once

#include <QString>
#include <optional>

namespace tarrow {

// A transparency text that the window accepts: 60..255 as a plain byte number. 255 means opaque.
std::optional<int> transparencyLevel(const QString& text);
inline bool transparencyOnFor(int level) {
    return level <= 254;
}

// A statistics refresh period in seconds that the edit accepts: 5..20 as a plain byte number.
std::optional<int> statsSpeedSeconds(const QString& text);

inline constexpr int kDefaultStatsSeconds = 7;

} // namespace tarrow
