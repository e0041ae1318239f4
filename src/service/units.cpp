#include "units.h"

#include "common/paths.h"
#include "launcher/commandline.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>

namespace tarrow::service {

namespace {

// One argument of an Exec line: quoted when it holds blanks or quotes; '%' and '$' doubled, since
// systemd would expand them.
QString execArgument(QString a) {
    a.replace(QLatin1Char('%'), QStringLiteral("%%"));
    a.replace(QLatin1Char('$'), QStringLiteral("$$"));
    if (a.isEmpty() || a.contains(QLatin1Char(' ')) || a.contains(QLatin1Char('\t')) ||
        a.contains(QLatin1Char('"')) || a.contains(QLatin1Char('\\')) || a.contains(QLatin1Char('\''))) {
        a.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        a.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        return QLatin1Char('"') + a + QLatin1Char('"');
    }
    return a;
}

QString execLine(const QStringList& words) {
    QStringList out;
    for (const QString& w : words)
        out << execArgument(w);
    return out.join(QLatin1Char(' '));
}

// A path in a setting that takes a path as it stands (WorkingDirectory=): no quotes, which systemd
// would take for part of the path; '%' doubled, since specifiers are expanded there too.
QString pathValue(QString path) {
    return path.replace(QLatin1Char('%'), QStringLiteral("%%"));
}

QString folderOf(const QString& nativeDirectory) {
    QString f = nativeDirectory;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    return f;
}

} // namespace

QString unitInputProblem(const QString& name, const LaunchPlan& plan) {
    auto control = [](const QString& text) {
        return std::any_of(text.begin(), text.end(),
                           [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    };
    if (control(name))
        return QStringLiteral("The service name \"%1\" holds a control character (a line break or a tab); "
                              "systemd cannot take it. Give a name without one.")
            .arg(name.simplified());
    if (control(plan.workingDirectory) || control(plan.program))
        return QStringLiteral("The folder %1 holds a control character (a line break or a tab) in its name; "
                              "systemd cannot take it into a unit file. Rename the folder first.")
            .arg(nativePath(plan.workingDirectory).simplified());
    if (control(plan.parameters))
        return QStringLiteral("The server's command line holds a control character (a line break or a tab); "
                              "systemd cannot take it into a unit file.");
    return {};
}

bool carriesPassword(const QString& unitText) {
    return unitText.contains(QLatin1String("rcon_password"), Qt::CaseInsensitive) ||
           unitText.contains(QLatin1String("sv_password"), Qt::CaseInsensitive);
}

QString escapeUnitName(const QString& text) {
    QString out;
    const QByteArray bytes = text.toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == ':' || c == '_' || (c == '.' && i > 0);
        if (c == '/')
            out += QLatin1Char('-');
        else if (plain)
            out += QLatin1Char(c);
        else
            out += QStringLiteral("\\x%1").arg(quint8(c), 2, 16, QLatin1Char('0'));
    }
    return out;
}

QString defaultServiceName(const QString& folderNative) {
    const QString folder = folderOf(folderNative);
    return escapeUnitName(folder.mid(folder.lastIndexOf(QLatin1Char('/')) + 1));
}

QString serverUnitOf(const QString& name) {
    return QStringLiteral("tarrow-server-") + name + QStringLiteral(".service");
}
QString watchServiceOf(const QString& name) {
    return QStringLiteral("tarrow-watch-") + name + QStringLiteral(".service");
}
QString watchTimerOf(const QString& name) {
    return QStringLiteral("tarrow-watch-") + name + QStringLiteral(".timer");
}

QString userUnitFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/systemd/user/");
}

Units composeUnits(const QString& name, const LaunchPlan& plan, bool linuxServer, const QString& wineProgram,
                   const QString& tarrowProgram, const QString& settingsFile) {
    Units u;
    u.name = name;
    u.serverUnit = serverUnitOf(name);
    u.watchService = watchServiceOf(name);
    u.watchTimer = watchTimerOf(name);
    const QString folder = folderOf(nativePath(plan.workingDirectory));
    QStringList command;
    if (linuxServer) {
        // systemd does the restarting: hlds_run must not restart the server itself.
        command << nativePath(plan.program) << splitWindowsCommandLine(plan.parameters)
                << QStringLiteral("-norestart");
    } else {
        command << wineProgram << nativePath(plan.program) << splitWindowsCommandLine(plan.parameters);
    }
    u.serverText = QStringLiteral("[Unit]\n"
                                  "Description=Half-Life server %1 (%2), kept up by Tarrow GUI\n"
                                  "After=network-online.target\n"
                                  "StartLimitIntervalSec=600\n"
                                  "StartLimitBurst=5\n"
                                  "\n"
                                  "[Service]\n"
                                  "Type=simple\n"
                                  "WorkingDirectory=%3\n"
                                  "ExecStart=%4\n"
                                  "Restart=on-failure\n"
                                  "RestartSec=10\n"
                                  "KillSignal=SIGINT\n"
                                  "TimeoutStopSec=15\n"
                                  "\n"
                                  "[Install]\n"
                                  "WantedBy=default.target\n")
                       .arg(pathValue(name), pathValue(folder), pathValue(folder), execLine(command));
    u.watchServiceText =
        QStringLiteral("[Unit]\n"
                       "Description=Tarrow GUI's watchdog for the Half-Life server %1\n"
                       "\n"
                       "[Service]\n"
                       "Type=oneshot\n"
                       "ExecStart=%2\n")
            .arg(pathValue(name), execLine({tarrowProgram, QStringLiteral("--settings"), settingsFile,
                                            QStringLiteral("watch"), QStringLiteral("--folder"),
                                            folder + QLatin1Char('/'), QStringLiteral("--name"), name}));
    u.watchTimerText = QStringLiteral("[Unit]\n"
                                      "Description=Check the Half-Life server %1 every minute\n"
                                      "\n"
                                      "[Timer]\n"
                                      "OnActiveSec=1min\n"
                                      "OnUnitActiveSec=1min\n"
                                      "Unit=%2\n"
                                      "\n"
                                      "[Install]\n"
                                      "WantedBy=timers.target\n")
                           .arg(pathValue(name), pathValue(u.watchService));
    return u;
}

QString folderOfInstalledServer(const QString& name) {
    QFile unit(userUnitFolder() + serverUnitOf(name));
    if (!unit.open(QIODevice::ReadOnly)) return {};
    const QByteArray key = "WorkingDirectory=";
    for (const QByteArray& line : unit.readAll().split('\n')) {
        if (!line.startsWith(key)) continue;
        QString folder = QString::fromUtf8(line.mid(key.size())).trimmed();
        folder.replace(QStringLiteral("%%"), QStringLiteral("%"));
        if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
        return folder;
    }
    return {};
}

} // namespace tarrow::service
