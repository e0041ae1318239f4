#pragma once

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

// The values a configuration file sets, with those of the files its `exec` lines name (below
// `modFolder`, native, ending with '/'), the last one winning; keyed by the setting's name in lower case.
QHash<QString, QPair<QString, QString>> configValues(const QString& modFolder, const QString& fileName);

// The live rules whose value is not the file's (numbers compare as numbers: "30" and "30.000" agree), in
// the order the server listed them.
QList<SettingDifference> differences(const QHash<QString, QPair<QString, QString>>& file, const Rules& live);

} // namespace tarrow::live
