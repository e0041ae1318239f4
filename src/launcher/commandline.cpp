#include "commandline.h"

#include "common/paths.h"
#include "common/prompter.h"
#include "common/shell.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace tarrow {

LaunchPlan planLaunch(const LaunchInput& in) {
    LaunchPlan plan;
    const bool connect = in.commandLine.contains(QLatin1String("+connect"));
    QString program;
    if (in.dedicated) {
        if (connect) {
            plan.message = QStringLiteral(
                "You can not select a 'Dedicated Server' and use the '+connect' switch, please "
                "remove the switch or change to a listen server.");
            return plan;
        }
        program = QStringLiteral("hlds.exe");
        // A Linux server starts through its script, which restarts it after a crash.
        if (in.linuxServer)
            program = fileExists(in.installRoot + QStringLiteral("hlds_run")) ||
                              !fileExists(in.installRoot + QStringLiteral("hlds_linux"))
                          ? QStringLiteral("hlds_run")
                          : QStringLiteral("hlds_linux");
    }
    if (in.listen) program = in.linuxServer ? QStringLiteral("hl_linux") : QStringLiteral("hl.exe");
    QString mapPart;
    if (in.startMap && !in.startMap->isEmpty()) {
        mapPart = QStringLiteral(" +map ") + mapNameOf(*in.startMap);
    } else if (!connect) {
        plan.message = QStringLiteral("You must select a 'Server Starting Map'.");
        plan.focusMapList = true;
        return plan;
    }
    if (program.isEmpty()) {
        plan.message =
            QStringLiteral("You must either select a \"Dedicated Server\" or a \"Listen Server\".");
        return plan;
    }
    const QString path = in.installRoot + program;
    if (!fileExists(path) && in.linuxServer && in.listen) {
        plan.message =
            QStringLiteral("A listen server needs the Half-Life client, which is not installed here: ") +
            nativePath(path) +
            QStringLiteral(" does not exist. Choose \"Dedicated Server\" to start hlds_run.");
        return plan;
    }
    if (!fileExists(path)) {
        plan.message = QStringLiteral("There was an error starting ") + nativePath(path) +
                       QStringLiteral(" the file does not exist.");
        return plan;
    }
    plan.program = path;
    // The Linux server looks for the mod folder by its exact name: the one on disk, not the table's.
    QString game = in.modFolder;
    if (in.linuxServer && folderExists(in.installRoot + in.modFolder))
        game = QFileInfo(nativePath(in.installRoot + in.modFolder)).fileName();
    plan.parameters = QStringLiteral(" -console -game ") + game + mapPart + QStringLiteral(" +maxplayers ") +
                      in.maxPlayersText + QLatin1Char(' ') + in.commandLine;
    plan.workingDirectory = in.installRoot;
    plan.native = in.linuxServer;
    return plan;
}

QStringList splitWindowsCommandLine(const QString& s) {
    // The rules of the Microsoft C runtime: blanks separate, quotes group, backslashes escape quotes.
    QStringList args;
    QString current;
    bool inArg = false, quoted = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\\')) {
            qsizetype n = 0;
            while (i < s.size() && s.at(i) == QLatin1Char('\\')) {
                ++n;
                ++i;
            }
            if (i < s.size() && s.at(i) == QLatin1Char('"')) {
                current += QString(n / 2, QLatin1Char('\\'));
                if (n % 2) {
                    current += QLatin1Char('"');
                } else {
                    quoted = !quoted;
                }
            } else {
                current += QString(n, QLatin1Char('\\'));
                --i;
            }
            inArg = true;
        } else if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < s.size() && s.at(i + 1) == QLatin1Char('"')) {
                current += QLatin1Char('"');
                ++i;
            } else {
                quoted = !quoted;
            }
            inArg = true;
        } else if ((c == QLatin1Char(' ') || c == QLatin1Char('\t')) && !quoted) {
            if (inArg) args << current;
            current.clear();
            inArg = false;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg) args << current;
    return args;
}

QString wineMissingMessage(const QString& nativeProgram) {
    return QStringLiteral(
               "%1 is a Windows program. To start it here, install Wine (the program \"wine\" must be on "
               "your PATH) and launch again.")
        .arg(nativeProgram);
}

bool startLaunchPlan(const LaunchPlan& plan, Shell& shell, Prompter& prompter,
                     const std::function<QString()>& findWine) {
    const QString program = nativePath(plan.program);
    const QString dir = nativePath(plan.workingDirectory);
#ifdef Q_OS_WIN
    return shell.startProgram(program, splitWindowsCommandLine(plan.parameters), dir), true;
#else
    if (plan.native) return shell.startProgram(program, splitWindowsCommandLine(plan.parameters), dir), true;
    const QString wine = findWine ? findWine() : QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty()) {
        prompter.message(wineMissingMessage(program));
        return false;
    }
    QStringList args{program};
    args << splitWindowsCommandLine(plan.parameters);
    shell.startProgram(wine, args, dir);
    return true;
#endif
}

} // namespace tarrow
