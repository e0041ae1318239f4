#pragma once

#include "common/configsyntax.h"
#include "replies.h"

#include <QHash>
#include <QString>

namespace tarrow::live {

// A setting whose live value differs from what the server's configuration sets.
struct SettingDifference {
    QString name;
    QString fileValue;
    QString liveValue;
};

// The live rules whose value is not the file's (numbers compare as numbers: "30" and "30.000" agree), in
// the order the server listed them. `file` is what the configuration sets (`configValues`).
QList<SettingDifference> differences(const QHash<QString, ConfigValue>& file, const Rules& live);

} // namespace tarrow::live
