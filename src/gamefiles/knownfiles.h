#pragma once

#include <QString>
#include <QStringList>

namespace tarrow {

struct ComponentSettings;

// The files the file box knows by name. An entry is offered when its file exists at its usual place.
QStringList existingKnownFiles(const QString& installRoot, const QString& modFolder,
                               const ComponentSettings& settings);

} // namespace tarrow
