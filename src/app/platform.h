#pragma once

#include <QString>

namespace tarrow {

// Which server program an installation runs, and so which loader lines and libraries count: hlds.exe
// (also under Wine) reads `gamedll` and `win32` lines and loads .dll files; hlds_linux reads
// `gamedll_linux` and `linux` lines and loads .so files.
enum class ServerPlatform { Windows, Linux };

// The settings value that decides where the installation's programs do not: "auto" (or missing),
// "windows", "linux".
inline const QString kPlatformValue = QStringLiteral("Platform");

// Windows when InstallRoot holds hlds.exe or hl.exe and neither hlds_linux nor hlds_run; Linux when it
// holds hlds_linux or hlds_run and no hlds.exe; otherwise `chosen` (the stored setting), "auto" meaning
// Windows.
ServerPlatform installationPlatform(const QString& installRoot, const QString& chosen);

const char* platformName(ServerPlatform p); // "windows", "linux"

} // namespace tarrow
