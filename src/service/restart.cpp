#include "restart.h"

#include "live/bans.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace tarrow::service {

namespace {

constexpr qint64 kWarnings[] = {300, 60, 10};

QString warningText(qint64 left) {
    const QString when = left >= 60 && left % 60 == 0
                             ? QStringLiteral("%1 minute%2").arg(left / 60).arg(left == 60 ? "" : "s")
                             : QStringLiteral("%1 seconds").arg(left);
    return QStringLiteral("The server restarts in %1 to load its new settings.").arg(when);
}

} // namespace

RestartResult restartWhenEmpty(const EmptyRestart& with, qint64 maxWait, bool warn, int poll) {
    qint64 waited = 0;
    bool warned[3] = {false, false, false};
    for (;;) {
        const std::optional<int> people = with.people();
        if (people && *people == 0) return with.restart() ? RestartResult::Restarted : RestartResult::Failed;
        if (maxWait < 0) return RestartResult::GaveUp;
        const qint64 left = maxWait - waited;
        if (left <= 0) return with.restart() ? RestartResult::Forced : RestartResult::Failed;
        // Every warning that is due is said once; several due at once (a short wait) make one message.
        bool due = false;
        for (int i = 0; i < 3; ++i)
            if (warn && !warned[i] && left <= kWarnings[i]) due = warned[i] = true;
        if (due) with.say(warningText(left));
        // Sleep to the next warning, the deadline, or the next look, whichever comes first.
        qint64 step = std::min<qint64>(poll, left);
        if (warn)
            for (const qint64 before : kWarnings)
                if (left > before) step = std::min(step, left - before);
        with.sleep(int(step));
        waited += step;
    }
}

int peopleInStatus(const QString& output) {
    int people = 0;
    for (const live::StatusPlayer& p : live::playersInStatus(output))
        if (!p.bot()) ++people;
    return people;
}

std::optional<qint64> parseDuration(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("never")) return -1;
    static const QRegularExpression form(QStringLiteral("^(\\d+)([smhd]?)$"));
    const auto m = form.match(t);
    if (!m.hasMatch()) return std::nullopt;
    // A number too large for the clock is refused, not wrapped round: at most ten years.
    constexpr qint64 kMostSeconds = 10LL * 366 * 24 * 3600;
    bool ok = false;
    const qint64 n = m.captured(1).toLongLong(&ok);
    const QString unit = m.captured(2);
    const qint64 scale = unit == QLatin1String("d")   ? 86400
                         : unit == QLatin1String("h") ? 3600
                         : unit == QLatin1String("m") ? 60
                                                      : 1;
    if (!ok || n > kMostSeconds / scale) return std::nullopt;
    return n * scale;
}

} // namespace tarrow::service
