#include "windowoptions.h"

#include "app/platform.h"
#include "common/settingsstore.h"
#include "common/textlists.h"

#include <array>
#include <utility>

namespace tarrow {

std::optional<int> transparencyLevel(const QString& text) {
    if (text.isEmpty() || !IsByteNumber(text)) return std::nullopt;
    const int n = text.toInt();
    if (n < 60 || n >= 256) return std::nullopt;
    return n;
}

std::optional<int> statsSpeedSeconds(const QString& text) {
    if (text.isEmpty() || !IsByteNumber(text)) return std::nullopt;
    const int n = text.toInt();
    if (n > 20 || n <= 4) return std::nullopt;
    return n;
}

const QString& ownSettingName(OwnSetting setting) {
    static const std::array<std::pair<OwnSetting, QString>, 5> table{{
        {OwnSetting::InstallPath, kInstallPathValue},
        {OwnSetting::Translucency, QStringLiteral("Translucency")},
        {OwnSetting::StatsSpeed, QStringLiteral("Stats Speed")},
        {OwnSetting::CommandLine, QStringLiteral("CommandLine")},
        {OwnSetting::Platform, kPlatformValue},
    }};
    for (const auto& [key, name] : table)
        if (key == setting) return name;
    Q_UNREACHABLE();
}

} // namespace tarrow
