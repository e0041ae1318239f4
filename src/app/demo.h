#pragma once

#include <QString>

namespace tarrow {

// A sample Half-Life installation with the components, built afresh in a data folder of its own, with
// its own settings file: `--demo` opens the window on it and never touches real settings or game files.
struct DemoInstallation {
    QString installRoot; // ends with a separator
    QString settingsFile;
};

// Builds the sample below `baseFolder` (removing an earlier one). The libraries come from `dllSource`,
// a folder holding the fixture DLLs (a resource folder such as ":/demo/dlls").
DemoInstallation buildDemoInstallation(const QString& baseFolder, const QString& dllSource);

// The same sample as a Linux dedicated server installed with steamcmd: hlds_run and hlds_linux, .so
// libraries, an app manifest, Metamod loaded through `gamedll_linux` with `linux` plug-in lines.
DemoInstallation buildLinuxDemoInstallation(const QString& baseFolder, const QString& dllSource);

} // namespace tarrow
