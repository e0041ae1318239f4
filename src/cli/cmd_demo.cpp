// The sample installation, to try every command on without touching anything real.
#include "app/demo.h"
#include "app/folders.h"
#include "command.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "output.h"

#include <QDir>
#include <QStandardPaths>

namespace tarrow::cli {

namespace {

int demo(const QStringList& args, const QString& dirGiven, bool json) {
    for (const QString& a : args)
        if (a != QLatin1String("linux")) return fail(QStringLiteral("demo takes only the word linux"));
    const QString dir =
        dirGiven.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/demo")
            : QDir(dirGiven).absolutePath();
    const QString marker = QStringLiteral("Tarrow-demo.conf");
    // A new sample replaces an earlier one, never a folder of somebody's own.
    const QDir d(dir);
    if (d.exists() && !d.isEmpty() && !d.exists(marker))
        return fail(QStringLiteral("%1 holds other files: the demo goes into an empty folder or over an "
                                   "earlier demo")
                        .arg(nativePath(dir)));
    if (!QDir().mkpath(dir)) return fail(QStringLiteral("cannot make the folder %1").arg(nativePath(dir)));
    const bool linuxDemo = args.contains(QLatin1String("linux"));
    const DemoInstallation made = linuxDemo ? buildLinuxDemoInstallation(dir, QStringLiteral(":/demo/dlls"))
                                            : buildDemoInstallation(dir, QStringLiteral(":/demo/dlls"));
    SettingsStore store(made.settingsFile);
    SilentPrompter prompter;
    if (!KnownFolders(store).makeCurrent(QDir(made.installRoot).absolutePath(), prompter))
        return fail(QStringLiteral("cannot write the settings file %1").arg(nativePath(made.settingsFile)));
    if (json) {
        const QJsonObject o{
            {QStringLiteral("installRoot"), nativePath(made.installRoot)},
            {QStringLiteral("settingsFile"), nativePath(made.settingsFile)},
            {QStringLiteral("platform"),
             QLatin1String(platformName(linuxDemo ? ServerPlatform::Linux : ServerPlatform::Windows))}};
        printJson(QJsonDocument(o));
        return code(Exit::Done);
    }
    out() << "Demo installation: " << nativePath(made.installRoot) << Qt::endl
          << "Settings file: " << nativePath(made.settingsFile) << Qt::endl
          << "Try: tarrow --settings " << nativePath(made.settingsFile) << " status" << Qt::endl;
    return code(Exit::Done);
}

// --folder N picks a known folder; --folder PATH a folder by its path, which becomes known.
} // namespace

QList<Command> demoCommands() {
    return {
        {.name = "demo",
         .synopsis = "demo [linux] [--dir DIR] [--json]",
         .summary = "build the sample installation and its settings file",
         .options = {{&Options::dir}, {&Options::json}},
         .words = {QStringLiteral("linux")},
         .scope = Command::Scope::Nothing,
         .run = [](const Invocation& c) { return demo(c.args, c.value(c.o.dir), c.isSet(c.o.json)); },
         .place = 150},
    };
}

} // namespace tarrow::cli
