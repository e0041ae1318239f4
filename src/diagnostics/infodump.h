#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarrow {

struct ComponentSettings;
struct InstallPaths;

struct DumpSelection {
    bool plugin = false; // Admin Mod's plug-in list
    bool server = false; // server.cfg and listenserver.cfg
    bool bot = false;    // bot.txt
    bool tarrow = false; // tarrow.cfg and default.cfg
};

// The system readings of the report; tests put fixed ones.
struct SystemReadings {
    std::function<QString()> windowsVersion;
    std::function<double()> cpuSpeedMHz;
    std::function<QString()> physicalMemory;
    std::function<QString()> swapFile;
    std::function<QDateTime()> now;
    static SystemReadings real();
};

// Fills `report` (emptied first) with the lines of infodump.txt, before masking.
void assembleInfoDump(QStringList& report, const InstallPaths& paths, const DumpSelection& selection,
                      const SystemReadings& readings);

// Hides passwords: a line that begins with sv_password, rcon_password or setinfo (or their "//" forms)
// becomes "name ***Protected***". Leading blanks and tabs, letter case, and blanks between "//" and the
// name do not hide a password from the rule.
QString maskPasswordLine(const QString& line);
void maskPasswords(QStringList& report);

// Writes infodump.txt into `folder` (which ends with a separator): the report of `selection` with
// passwords masked and, for a Linux server, its loader chain. `report` is where it is composed.
void writeInfoDumpReport(const QString& folder, QStringList& report, const InstallPaths& paths,
                         const ComponentSettings& settings, const DumpSelection& selection,
                         const SystemReadings& readings);
// Copies the two report pages that the plug-in folder holds now into `folder`, named after the time.
void copyStatusPages(const QString& folder, const QString& pluginFolder, const QString& longTime);

// "stats 10-15-32 PM.html" for the time text "10:15:32 PM".
QString pageCopyName(const QString& page, const QString& longTime);
QString longTimeText(const QTime& time);
QString dumpDateTimeText(const QDateTime& when);
QString cpuSpeedText(double mhz);

} // namespace tarrow
