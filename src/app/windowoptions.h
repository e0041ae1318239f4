#pragma once

#include <QList>
#include <QRect>
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
// StartMap and ServerKind: the launcher's choices, kept per folder ("Dedicated" or "Listen").
enum class OwnSetting {
    InstallPath,
    Translucency,
    StatsSpeed,
    CommandLine,
    Platform,
    WindowPlace,
    LastPage,
    StartMap,
    ServerKind
};
const QString& ownSettingName(OwnSetting setting);

// Where the window was left: its frame's top-left corner, its inner size, and whether it was maximised.
// Stored as "x,y,width,height" with ",maximized" after it when it was.
struct WindowPlace {
    QRect rect;
    bool maximized = false;
};
QString windowPlaceText(const WindowPlace& place);
std::optional<WindowPlace> windowPlaceFromText(const QString& text);

// The stored place, moved and shrunk so that the window lies wholly on one of the screens (given by
// their available areas, the first the primary): on the one it overlaps most, else on the primary, and
// never smaller than `minimum` where the screen has room.
QRect placeOnScreens(const QRect& wanted, const QList<QRect>& screens, const QSize& minimum);

// The last page shown, 0..pageCount-1; anything else is the first page.
int lastPageFromText(const QString& text, int pageCount);

} // namespace tarrow
