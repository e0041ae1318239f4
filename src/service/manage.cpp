#include "manage.h"

#include "app/installation.h"
#include "app/windowoptions.h"
#include "common/errors.h"
#include "common/prompter.h"
#include "launcher/commandline.h"
#include "serverconfig/serverfiles.h"
#include "serverconfig/servermodel.h"
#include "systemctl.h"
#include "units.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace tarrow::service {

namespace {

bool call(const QStringList& args, ManageResult& r) {
    const CommandResult c = systemctlUser(args);
    if (c.started && c.code == 0) return true;
    r.error = QStringLiteral("systemctl --user %1: %2")
                  .arg(args.join(QLatin1Char(' ')),
                       c.err.trimmed().isEmpty() ? QStringLiteral("failed") : c.err.trimmed());
    return false;
}

// Unit names hold the backslashes of systemd's escapes: these files are written as named, not through the
// game files' path rules (where a backslash separates folders).
void writeUnit(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw IoError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, f.errorString()));
}

struct Quiet : Prompter {
    void message(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    QString browseForFolder(const QString&) override { return {}; }
    void error(const QString&) override {}
    SaveChoice askToSave(const QString&) override { return SaveChoice::Cancel; }
};

} // namespace

QString serverUnitOf(const QString& name) {
    return QStringLiteral("tarrow-server-") + name + QStringLiteral(".service");
}
QString watchTimerOf(const QString& name) {
    return QStringLiteral("tarrow-watch-") + name + QStringLiteral(".timer");
}
QString watchServiceOf(const QString& name) {
    return QStringLiteral("tarrow-watch-") + name + QStringLiteral(".service");
}

QString tarrowProgram() {
    QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/tarrow");
    if (QFileInfo(beside).isExecutable()) return beside;
    const QString found = QStandardPaths::findExecutable(QStringLiteral("tarrow"));
    return found.isEmpty() ? QStringLiteral("tarrow") : found;
}

ManageResult installService(const Installation& in, const QString& name, const QString& tarrow,
                            const QString& settingsFile) {
    ManageResult r;
    QString commandLine = in.setting(ownSettingName(OwnSetting::CommandLine));
    QString map = QStringLiteral("2fort");
    static const QRegularExpression mapWord(QStringLiteral("(^|\\s)\\+map\\s+(\\S+)"));
    if (const auto m = mapWord.match(commandLine); m.hasMatch()) {
        map = m.captured(2);
        commandLine.remove(m.capturedStart(0), m.capturedLength(0));
    }
    ServerModel model;
    model.serverKind = ServerModel::ServerKind::Dedicated;
    Quiet quiet;
    loadServerConfig(model, in.root(), in.mod(), quiet);
    LaunchInput li;
    li.dedicated = true;
    li.startMap = map + QStringLiteral(".bsp");
    li.maxPlayersText = model.text(QStringLiteral("Maxplayerstxt"));
    li.commandLine = commandLine.trimmed();
    li.installRoot = in.root();
    li.modFolder = in.mod();
    li.linuxServer = in.platform() == ServerPlatform::Linux;
    const LaunchPlan plan = planLaunch(li);
    if (!plan.message.isEmpty()) {
        r.error = plan.message;
        return r;
    }
    QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty()) wine = QStringLiteral("wine");
    const Units u = composeUnits(name, plan, li.linuxServer, wine, tarrow, settingsFile);
    const QString folder = userUnitFolder();
    if (!QDir().mkpath(folder)) throw IoError(QStringLiteral("Cannot create folder \"%1\".").arg(folder));
    for (const auto& [file, text] :
         {std::pair{u.serverUnit, u.serverText}, std::pair{u.watchService, u.watchServiceText},
          std::pair{u.watchTimer, u.watchTimerText}}) {
        writeUnit(folder + file, text.toUtf8());
        r.lines << QStringLiteral("Wrote ") + folder + file;
    }
    r.ok = call({QStringLiteral("daemon-reload")}, r) && call({QStringLiteral("enable"), u.serverUnit}, r) &&
           call({QStringLiteral("enable"), QStringLiteral("--now"), u.watchTimer}, r);
    return r;
}

ManageResult removeService(const QString& name) {
    ManageResult r;
    call({QStringLiteral("disable"), QStringLiteral("--now"), watchTimerOf(name)}, r);
    call({QStringLiteral("disable"), QStringLiteral("--now"), serverUnitOf(name)}, r);
    const QString folder = userUnitFolder();
    for (const QString& file : {serverUnitOf(name), watchServiceOf(name), watchTimerOf(name)})
        if (QFileInfo::exists(folder + file)) {
            if (!QFile::remove(folder + file))
                throw IoError(QStringLiteral("Cannot delete file \"%1\".").arg(folder + file));
            r.lines << QStringLiteral("Deleted ") + folder + file;
        }
    r.error.clear();
    r.ok = call({QStringLiteral("daemon-reload")}, r);
    return r;
}

} // namespace tarrow::service
