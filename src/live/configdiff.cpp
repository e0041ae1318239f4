#include "configdiff.h"

namespace tarrow::live {

namespace {

bool sameValue(const QString& a, const QString& b) {
    if (a.trimmed() == b.trimmed()) return true;
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    return okA && okB && qFuzzyCompare(x + 1.0, y + 1.0);
}

} // namespace

QList<SettingDifference> differences(const QHash<QString, ConfigValue>& file, const Rules& live) {
    QList<SettingDifference> out;
    for (const auto& [name, value] : live) {
        const auto it = file.constFind(name.toLower());
        if (it == file.constEnd() || sameValue(it->value, value)) continue;
        out.append({name, it->value, value});
    }
    return out;
}

} // namespace tarrow::live
