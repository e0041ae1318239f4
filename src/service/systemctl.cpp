#include "systemctl.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <pwd.h>
#include <unistd.h>

namespace tarrow::service {

CommandResult systemctlUser(const QStringList& arguments) {
    CommandResult r;
    const QString program = QStandardPaths::findExecutable(QStringLiteral("systemctl"));
    if (program.isEmpty()) {
        r.err = QStringLiteral("systemctl is not installed");
        return r;
    }
    QProcess p;
    p.start(program, QStringList{QStringLiteral("--user")} + arguments);
    if (!p.waitForStarted() || !p.waitForFinished(60000)) {
        r.err = p.errorString();
        return r;
    }
    r.started = true;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

bool userManagerAvailable(QString* why) {
    const CommandResult r = systemctlUser({QStringLiteral("show-environment")});
    if (r.started && r.code == 0) return true;
    if (why)
        *why = r.err.trimmed().isEmpty() ? QStringLiteral("no user service manager runs") : r.err.trimmed();
    return false;
}

UnitState unitState(const QString& unit) {
    UnitState s;
    const CommandResult r = systemctlUser({QStringLiteral("show"), unit, QStringLiteral("--timestamp=unix"),
                                           QStringLiteral("-p"), QStringLiteral("ActiveState"),
                                           QStringLiteral("-p"), QStringLiteral("ActiveEnterTimestamp"),
                                           QStringLiteral("-p"), QStringLiteral("NRestarts")});
    if (!r.started || r.code != 0) return s;
    for (const QString& line : r.out.split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const QString value = line.section(QLatin1Char('='), 1).trimmed();
        if (key == QLatin1String("ActiveState")) s.activeState = value;
        if (key == QLatin1String("ActiveEnterTimestamp") && value.startsWith(QLatin1Char('@')))
            s.activeSince = value.mid(1).toLongLong();
        if (key == QLatin1String("NRestarts")) s.restarts = value.toInt();
    }
    return s;
}

QString userName() {
    if (const passwd* pw = ::getpwuid(::getuid())) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

bool lingerEnabled() {
    const QString user = userName();
    return !user.isEmpty() && QFileInfo::exists(QStringLiteral("/var/lib/systemd/linger/") + user);
}

} // namespace tarrow::service
