#pragma once

// Installing and removing a folder's server as a systemd user service, for the command line and the
// window alike.
#include <QString>
#include <QStringList>

namespace tarrow {
class Installation;
}

namespace tarrow::service {

struct ManageResult {
    bool ok = false;
    QStringList lines; // what was done, for the user
    QString error;
};

// Writes the three units (the server as the launcher starts it: the saved command line, its +map or
// 2fort) into the user's unit folder, reloads systemd and enables the server and the watchdog's timer.
ManageResult installService(const Installation& in, const QString& name, const QString& tarrowProgram,
                            const QString& settingsFile);
// Stops and disables the three units, deletes them and reloads systemd.
ManageResult removeService(const QString& name);

// The steps of the two, for a caller that runs systemctl on the event loop: the units written (or
// deleted) here, then the calls that follow (install) or come first (remove, their failures ignored).
ManageResult writeServiceUnits(const Installation& in, const QString& name, const QString& tarrowProgram,
                               const QString& settingsFile);
ManageResult deleteServiceUnits(const QString& name);
QList<QStringList> enableCalls(const QString& name);
QList<QStringList> disableCalls(const QString& name);

// The tarrow program beside this one, else the one on PATH.
QString tarrowProgram();

} // namespace tarrow::service
