#pragma once

#include <QString>
#include <QStringList>

namespace tarrow {

struct InstallPaths;

// The files the file box knows by name. An entry is offered when its file exists at its usual place.
QStringList existingKnownFiles(const InstallPaths& paths);

} // namespace tarrow
