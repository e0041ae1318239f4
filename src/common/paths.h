#pragma once

#include <QString>

namespace tarrow {

// Paths are composed with backslashes exactly as the loader files and messages name them. This turns a
// composed path into one the file system can open: separators become '/', and each component that does
// not exist in the exact spelling is matched without regard to letter case. Components that do not exist
// at all keep the composed spelling, so a file to be created gets the name the program gave it.
QString nativePath(const QString& composed);
// The first step of that alone: the composed spelling with '/' separators, for a caller that tries the
// spelled name first and asks nativePath only when it is missing.
QString spelledPath(const QString& composed);
// The map name of a map file: its name without the last four characters (the ".bsp"), case kept.
QString mapNameOf(const QString& mapFile);

bool fileExists(const QString& composed);   // an existing regular file (not a folder, FIFO or device)
bool folderExists(const QString& composed); // an existing folder
bool pathExists(const QString& composed);   // file or folder

} // namespace tarrow
