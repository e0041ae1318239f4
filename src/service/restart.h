#pragma once

// Restarts that wait for people: a server is restarted once nobody but bots is on it, or, after the
// longest wait, anyway (with warnings through the console when asked for).
#include <QString>
#include <functional>
#include <optional>

namespace tarrow::service {

struct EmptyRestart {
    std::function<std::optional<int>()> people; // people on the server now (bots apart); none: no answer
    std::function<void(const QString&)> say;    // a console `say` to the players
    std::function<bool()> restart;              // restarts the service
    std::function<void(int seconds)> sleep;     // the clock
};

enum class RestartResult { Restarted, Forced, GaveUp, Failed };

// `maxWaitSeconds` < 0: never force; give up (GaveUp) while people play. With `warn`, players hear that
// the restart comes 5 minutes, 1 minute and 10 seconds before a forced one.
RestartResult restartWhenEmpty(const EmptyRestart& with, qint64 maxWaitSeconds, bool warn,
                               int pollSeconds = 10);

// The people in the console's `status` output: its player lines, less those whose unique id is BOT.
int peopleInStatus(const QString& statusOutput);

// "90s", "30m", "2h", a plain number of seconds, or "never" (-1); none for anything else, and for more
// than ten years.
std::optional<qint64> parseDuration(const QString& text);

} // namespace tarrow::service
