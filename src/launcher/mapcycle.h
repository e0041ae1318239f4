#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tarrow {

struct InstallPaths;

// The map cycle file's entries: lines that are not empty (trimmed) and do not begin with "//",
// taken exactly as read.
QStringList mapcycleEntries(const QStringList& fileLines);
QString mapcycleHeader(); // "//Mapcycle created by Tarrow Gui 1.00"
QString mapcycleMissingMessage(const InstallPaths& paths);

// Removes the selected rows; returns the row to select afterwards, or nullopt when the list is empty.
std::optional<int> removeRows(QStringList& entries, const QList<int>& selectedRows);

// The overview picture of a map: the ".gif", else the ".bmp", when one exists (a composed path).
std::optional<QString> mapOverview(const InstallPaths& paths, const QString& mapFile);

} // namespace tarrow
