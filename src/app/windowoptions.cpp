#include "windowoptions.h"

#include "app/platform.h"
#include "common/settingsstore.h"
#include "common/textlists.h"

#include <QStringList>
#include <algorithm>
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
    static const std::array<std::pair<OwnSetting, QString>, 9> table{{
        {OwnSetting::InstallPath, kInstallPathValue},
        {OwnSetting::Translucency, QStringLiteral("Translucency")},
        {OwnSetting::StatsSpeed, QStringLiteral("Stats Speed")},
        {OwnSetting::CommandLine, QStringLiteral("CommandLine")},
        {OwnSetting::Platform, kPlatformValue},
        {OwnSetting::WindowPlace, QStringLiteral("Window Place")},
        {OwnSetting::LastPage, QStringLiteral("Last Page")},
        {OwnSetting::StartMap, QStringLiteral("Start Map")},
        {OwnSetting::ServerKind, QStringLiteral("Server Kind")},
    }};
    for (const auto& [key, name] : table)
        if (key == setting) return name;
    Q_UNREACHABLE();
}

QString windowPlaceText(const WindowPlace& place) {
    const QRect& r = place.rect;
    QString text = QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    if (place.maximized) text += QStringLiteral(",maximized");
    return text;
}

std::optional<WindowPlace> windowPlaceFromText(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char(','));
    if (parts.size() != 4 && parts.size() != 5) return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        // Far beyond any desktop: a damaged value, not a place.
        if (!ok || v[i] < -100000 || v[i] > 100000) return std::nullopt;
    }
    if (v[2] <= 0 || v[3] <= 0) return std::nullopt;
    WindowPlace place;
    place.rect = QRect(v[0], v[1], v[2], v[3]);
    if (parts.size() == 5) {
        if (parts[4].trimmed().compare(QLatin1String("maximized"), Qt::CaseInsensitive) != 0)
            return std::nullopt;
        place.maximized = true;
    }
    return place;
}

QRect placeOnScreens(const QRect& wanted, const QList<QRect>& screens, const QSize& minimum) {
    if (screens.isEmpty()) return wanted;
    QRect screen = screens.first();
    qint64 best = 0;
    for (const QRect& s : screens) {
        const QRect common = s.intersected(wanted);
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (area > best) {
            best = area;
            screen = s;
        }
    }
    const int width = std::min(std::max(wanted.width(), minimum.width()), screen.width());
    const int height = std::min(std::max(wanted.height(), minimum.height()), screen.height());
    const int x = std::clamp(wanted.x(), screen.left(), screen.left() + screen.width() - width);
    const int y = std::clamp(wanted.y(), screen.top(), screen.top() + screen.height() - height);
    return QRect(x, y, width, height);
}

int lastPageFromText(const QString& text, int pageCount) {
    bool ok = false;
    const int page = text.trimmed().toInt(&ok);
    return ok && page >= 0 && page < pageCount ? page : 0;
}

} // namespace tarrow
