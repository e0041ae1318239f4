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

// The program's own values in its settings key, each named once here. Names are matched without
// regard to case, so every spelling an older version wrote reads the same.
enum class OwnSetting { InstallPath, Translucency, StatsSpeed, CommandLine, Platform };
const QString& ownSettingName(OwnSetting setting);

} // namespace tarrow
