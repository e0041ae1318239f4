#include "manage.h"

#include "app/installation.h"
#include "app/windowoptions.h"
#include "common/errors.h"
#include "common/fileio.h"
#include "common/prompter.h"
#include "launcher/commandline.h"
#include "serverconfig/serverfiles.h"
#include "serverconfig/servermodel.h"
#include "systemctl.h"
#include "units.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tarrow::service {

namespace {

bool call(const QStringList& args, ManageResult& r) {
    const CommandResult c = systemctlUser(args);
    if (c.started && c.code == 0) return true;
    r.error = failureText(args, c);
    return false;
}

} // namespace

QString tarrowProgram() {
    QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/tarrow");
    if (QFileInfo(beside).isExecutable()) return beside;
    const QString found = QStandardPaths::findExecutable(QStringLiteral("tarrow"));
    return found.isEmpty() ? QStringLiteral("tarrow") : found;
}

ManageResult writeServiceUnits(const Installation& in, const QString& name, const QString& tarrow,
                               const QString& settingsFile) {
    ManageResult r;
    QString commandLine = in.setting(ownSettingName(OwnSetting::CommandLine));
    QString map = QStringLiteral("2fort");
    static const QRegularExpression mapWord(QStringLiteral("(^|\\s)\\+map\\s+(\\S+)"));
    if (const auto m = mapWord.match(commandLine); m.hasMatch()) {
        map = m.captured(2);
        commandLine.remove(m.capturedStart(0), m.capturedLength(0));
    }
    LaunchInput li;
    li.dedicated = true;
    li.startMap = map + QStringLiteral(".bsp");
    // The one value the launcher needs: a line elsewhere in server.cfg that the pages cannot read does
    // not stop the install.
    li.maxPlayersText = in.serverCfgValue(QStringLiteral("maxplayers"))
                            .value_or(ServerModel().text(QStringLiteral("Maxplayerstxt")));
    li.commandLine = commandLine.trimmed();
    li.installRoot = in.root();
    li.modFolder = in.mod();
    li.linuxServer = in.platform() == ServerPlatform::Linux;
    const LaunchPlan plan = planLaunch(li);
    if (!plan.message.isEmpty()) {
        r.error = plan.message;
        return r;
    }
    if (const QString problem = unitInputProblem(name, plan); !problem.isEmpty()) {
        r.error = problem;
        return r;
    }
    QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty()) wine = QStringLiteral("wine");
    const Units u = composeUnits(name, plan, li.linuxServer, wine, tarrow, settingsFile);
    const QString folder = userUnitFolder();
    createFolder(folder);
    for (const auto& [file, text] :
         {std::pair{u.serverUnit, u.serverText}, std::pair{u.watchService, u.watchServiceText},
          std::pair{u.watchTimer, u.watchTimerText}}) {
        // Unit names hold systemd's backslash escapes: written as named.
        writeFileAsNamed(folder + file, text.toUtf8(),
                         carriesPassword(text) ? FileAccess::OwnerOnly : FileAccess::Default);
        r.lines << QStringLiteral("Wrote ") + folder + file;
    }
    r.ok = true;
    return r;
}

QList<QStringList> enableCalls(const QString& name) {
    return {{QStringLiteral("daemon-reload")},
            {QStringLiteral("enable"), serverUnitOf(name)},
            {QStringLiteral("enable"), QStringLiteral("--now"), watchTimerOf(name)}};
}

QList<QStringList> disableCalls(const QString& name) {
    return {{QStringLiteral("disable"), QStringLiteral("--now"), watchTimerOf(name)},
            {QStringLiteral("disable"), QStringLiteral("--now"), serverUnitOf(name)}};
}

ManageResult installService(const Installation& in, const QString& name, const QString& tarrow,
                            const QString& settingsFile) {
    ManageResult r = writeServiceUnits(in, name, tarrow, settingsFile);
    if (!r.ok) return r;
    for (const QStringList& c : enableCalls(name))
        if (!(r.ok = call(c, r))) break;
    return r;
}

ManageResult deleteServiceUnits(const QString& name) {
    ManageResult r;
    const QString folder = userUnitFolder();
    for (const QString& file : {serverUnitOf(name), watchServiceOf(name), watchTimerOf(name)})
        if (QFileInfo::exists(folder + file)) {
            deleteFileAsNamed(folder + file);
            r.lines << QStringLiteral("Deleted ") + folder + file;
        }
    r.ok = true;
    return r;
}

ManageResult removeService(const QString& name) {
    ManageResult ignored;
    // A unit that is not loaded cannot be disabled: the files go all the same.
    for (const QStringList& c : disableCalls(name))
        call(c, ignored);
    ManageResult r = deleteServiceUnits(name);
    r.ok = call({QStringLiteral("daemon-reload")}, r);
    return r;
}

} // namespace tarrow::service
