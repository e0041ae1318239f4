#include "windowoptions.h"

#include "common/textlists.h"

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

} // namespace tarrow
