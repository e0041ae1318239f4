#pragma once

#include "app/platform.h"
#include "status/report.h"

#include <QJsonObject>
#include <QString>

namespace tarrow {

// The report of one detection for a shell: aligned lines, coloured when `colour` is set.
QString statusText(const StatusReport& report, const RunningReport& running, const QString& installRoot,
                   bool colour);

// The same report as the documented JSON object (schema 1, see README).
QJsonObject statusJson(const StatusReport& report, const RunningReport& running, const QString& installRoot,
                       ServerPlatform platform);

// One note as a sentence: "missing Tarrow_Chat.txt, expected /srv/hl/tarrow/TFC/Tarrow_Chat.txt".
QString noteText(const Note& note);

} // namespace tarrow
