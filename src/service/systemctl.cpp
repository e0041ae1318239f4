#include "systemctl.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace tarrow::service {

namespace {

// The program on PATH; empty, with `missing` saying so, when there is none.
QString systemctlProgram(CommandResult& missing) {
    QString program = QStandardPaths::findExecutable(QStringLiteral("systemctl"));
    if (program.isEmpty()) missing.err = QStringLiteral("systemctl is not installed");
    return program;
}

} // namespace

CommandResult systemctlUser(const QStringList& arguments) {
    CommandResult r;
    const QString program = systemctlProgram(r);
    if (program.isEmpty()) return r;
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

void systemctlUserAsync(const QStringList& arguments, QObject* context, const CommandDone& done,
                        int timeoutMs) {
    CommandResult missing;
    const QString program = systemctlProgram(missing);
    if (program.isEmpty()) {
        QTimer::singleShot(0, context, [done, missing] { done(missing); });
        return;
    }
    // The process is not the context's child: a page being deleted takes its child widgets first, and a
    // child process waited for in between would call back into them. It goes with the context instead,
    // and no result arrives after that.
    auto* p = new QProcess;
    auto* timer = new QTimer(p);
    timer->setSingleShot(true);
    // Whatever comes first ends the call: the process's end, its failure to start, or the timeout.
    auto over = std::make_shared<bool>(false);
    auto finish = [p, done, over](const CommandResult& r) {
        if (*over) return;
        *over = true;
        p->deleteLater();
        done(r);
    };
    QObject::connect(context, &QObject::destroyed, p, [p, over] {
        *over = true;
        p->kill();
        p->deleteLater();
    });
    QObject::connect(p, &QProcess::finished, context, [p, finish](int code, QProcess::ExitStatus status) {
        CommandResult r;
        r.started = true;
        r.code = status == QProcess::NormalExit ? code : -1;
        r.out = QString::fromUtf8(p->readAllStandardOutput());
        r.err = QString::fromUtf8(p->readAllStandardError());
        finish(r);
    });
    QObject::connect(p, &QProcess::errorOccurred, context, [p, finish](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        CommandResult r;
        r.err = p->errorString();
        finish(r);
    });
    QObject::connect(timer, &QTimer::timeout, context, [p, finish, timeoutMs] {
        CommandResult r;
        r.err = QStringLiteral("systemctl --user did not answer within %1 s").arg(timeoutMs / 1000);
        p->kill();
        finish(r);
    });
    timer->start(timeoutMs);
    p->start(program, QStringList{QStringLiteral("--user")} + arguments);
}

void systemctlUserSequence(const QList<QStringList>& calls, QObject* context,
                           const std::function<void(const CommandResult&, const QStringList&)>& done,
                           bool keepGoing) {
    if (calls.isEmpty()) {
        QTimer::singleShot(0, context, [done] {
            CommandResult r;
            r.started = true;
            r.code = 0;
            done(r, {});
        });
        return;
    }
    const QStringList& first = calls.first();
    const QList<QStringList> rest = calls.mid(1);
    systemctlUserAsync(first, context, [first, rest, context, done, keepGoing](const CommandResult& r) {
        if ((!keepGoing && (!r.started || r.code != 0)) || rest.isEmpty()) {
            done(r, first);
            return;
        }
        systemctlUserSequence(rest, context, done, keepGoing);
    });
}

QString failureText(const QStringList& arguments, const CommandResult& result) {
    return QStringLiteral("systemctl --user %1: %2")
        .arg(arguments.join(QLatin1Char(' ')),
             result.err.trimmed().isEmpty() ? QStringLiteral("failed") : result.err.trimmed());
}

QString userManagerProblem(const CommandResult& r) {
    if (r.started && r.code == 0) return {};
    return r.err.trimmed().isEmpty() ? QStringLiteral("no user service manager runs") : r.err.trimmed();
}

QStringList unitStateArguments(const QString& unit) {
    return {QStringLiteral("show"),
            unit,
            QStringLiteral("--timestamp=unix"),
            QStringLiteral("-p"),
            QStringLiteral("ActiveState"),
            QStringLiteral("-p"),
            QStringLiteral("ActiveEnterTimestamp"),
            QStringLiteral("-p"),
            QStringLiteral("NRestarts")};
}

UnitState unitState(const QString& unit) {
    return parseUnitState(systemctlUser(unitStateArguments(unit)));
}

UnitState parseUnitState(const CommandResult& r) {
    UnitState s;
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
