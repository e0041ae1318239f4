// The installation's files: load, unload, rebuild, the support dump, the backups.
#include "command.h"
#include "common/backups.h"
#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "diagnostics/infodump.h"
#include "gamefiles/rebuild.h"
#include "output.h"
#include "status/actions.h"
#include "status/detection.h"
#include "status/report.h"
#include "statusformat.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <unistd.h>

namespace tarrow::cli {

namespace {

int loadOrUnload(const Installation& in, const QStringList& args, bool load) {
    const QString verb = load ? QStringLiteral("load") : QStringLiteral("unload");
    const auto c = args.size() == 1 ? componentOfCliName(args.first()) : std::nullopt;
    if (!c || *c == Component::Mod)
        return fail(QStringLiteral("%1 takes one of: tarrow, metamod, adminmod, neotf").arg(verb));
    const QString name = QLatin1String(infoOf(*c).displayName);
    const InstallPaths p = in.paths();
    const LoadFlags before = detectComponents(p, in.components()).flags;
    if (isLoaded(before, *c) == load) {
        out() << name << (load ? " is already loaded" : " is not loaded") << "; nothing changed." << Qt::endl;
        return code(Exit::Done);
    }
    in.takeWrites();
    // The click on the row, with the refresh's steps around it, until the state is reached.
    const SwitchOutcome done = switchComponent(p, in.components(), *c, load);
    printWrites(in.takeWrites());
    if (!done.reached) {
        out() << statusText(done.after.report, runningOf(p), in.root(), colourWanted());
        if (!done.file.isEmpty())
            return fail(QStringLiteral("%1 is still loaded by line %2 of %3: %4")
                            .arg(name, QString::number(done.line), nativePath(done.file), done.text));
        return fail(
            QStringLiteral("%1 %2 changed nothing that makes it %3: a file it needs is missing (see the "
                           "report above).")
                .arg(load ? QStringLiteral("Loading") : QStringLiteral("Unloading"), name,
                     load ? QStringLiteral("loaded") : QStringLiteral("unloaded")));
    }
    out() << name << (load ? " is now loaded." : " is now unloaded.") << Qt::endl << Qt::endl;
    out() << statusText(done.after.report, runningOf(p), in.root(), colourWanted());
    return code(Exit::Done);
}

bool askOverwrite(const QString& path) {
    out() << "Overwrite " << path << "? [y/N] " << Qt::flush;
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

int rebuild(const Installation& in, const QStringList& words, bool yes) {
    if (words.isEmpty())
        return fail(QStringLiteral("rebuild takes one or more of: ") +
                    rebuildTargetNames().join(QStringLiteral(", ")));
    const QList<RebuildTarget> all = rebuildTargets(in.paths());
    QList<RebuildTarget> chosen;
    for (const QString& w : words) {
        const auto it = std::find_if(all.begin(), all.end(), [&](const RebuildTarget& t) {
            return w.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0;
        });
        if (it == all.end())
            return fail(QStringLiteral("unknown file '%1'; rebuild takes %2")
                            .arg(w, rebuildTargetNames().join(QStringLiteral(", "))));
        chosen.append(*it);
    }
    int rc = code(Exit::Done);
    for (const RebuildTarget& t : chosen) {
        const QString shown = nativePath(t.file);
        if (fileExists(t.file) && !yes) {
            if (!isatty(fileno(stdin)))
                return fail(QStringLiteral("add --yes to overwrite %1 without a question").arg(shown));
            if (!askOverwrite(shown)) {
                out() << "Kept " << shown << Qt::endl;
                continue;
            }
        }
        in.takeWrites();
        if (!rebuildTarget(t, all, in.backups())) {
            rc = fail(QStringLiteral("the folder %1 does not exist; %2 was not written")
                          .arg(nativePath(t.folder), shown));
            continue;
        }
        printWrites(in.takeWrites());
    }
    return rc;
}

int dump(const Installation& in, const QString& dirOption, const QString& include) {
    DumpSelection sel;
    for (const QString& w : include.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString word = w.trimmed().toLower();
        const bool all = word == QLatin1String("all");
        if (all || word == QLatin1String("plugin")) sel.plugin = true;
        if (all || word == QLatin1String("server")) sel.server = true;
        if (all || word == QLatin1String("bot")) sel.bot = true;
        if (all || word == QLatin1String("tarrow")) sel.tarrow = true;
        if (!all && word != QLatin1String("plugin") && word != QLatin1String("server") &&
            word != QLatin1String("bot") && word != QLatin1String("tarrow"))
            return fail(
                QStringLiteral("unknown part '%1'; --include takes plugin, server, bot, tarrow or all")
                    .arg(word));
    }
    QString base = dirOption;
    if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (base.isEmpty() || !QFileInfo(base).isDir()) base = QDir::currentPath();
    const QString folder =
        QDir(base).absoluteFilePath(QStringLiteral("TARROW DEBUG INFO")) + QLatin1Char('/');
    createFolder(folder);
    const SystemReadings readings = SystemReadings::real();
    QStringList report;
    writeInfoDumpReport(folder, report, in.paths(), in.components(), sel, readings);
    // The two report pages as the window would show them now.
    const InstallPaths p = in.paths();
    const Detection d = detectComponents(p, in.components());
    const QString time = longTimeText(readings.now().time());
    writeFileBytes(folder + pageCopyName(QStringLiteral("tarrow"), time),
                   joinLinesCrLf(StatusRefresh::statusReport(d.cells, in.root())), WriteMode::Output);
    writeFileBytes(folder + pageCopyName(QStringLiteral("stats"), time),
                   joinLinesCrLf(StatusRefresh::runningReport(runningOf(p))), WriteMode::Output);
    out() << nativePath(folder) << Qt::endl;
    return code(Exit::Done);
}

QString timeText(const Backup& b) {
    return b.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           (b.counter > 1 ? QStringLiteral(" #%1").arg(b.counter) : QString());
}

// A backup matches FILE by its path below the Half-Life folder, its full path, or its file name.
bool matches(const Backup& b, const QString& file, const QString& root) {
    if (file.isEmpty()) return true;
    const QString native = QFileInfo(file).isAbsolute() ? file : QDir(root).absoluteFilePath(file);
    return b.relative.compare(file, Qt::CaseInsensitive) == 0 || b.original == native ||
           QFileInfo(b.original).fileName().compare(file, Qt::CaseInsensitive) == 0;
}

int backups(const Installation& in, const QStringList& args) {
    const QString root = in.backups().root();
    const QString file = args.value(0);
    int shown = 0;
    for (const Backup& b : in.backups().list()) {
        if (!matches(b, file, root)) continue;
        out() << timeText(b).leftJustified(22) << QString::number(b.size).rightJustified(9) << "  "
              << b.relative << Qt::endl;
        ++shown;
    }
    if (shown == 0)
        out() << "No backups" << (file.isEmpty() ? QString() : QStringLiteral(" of ") + file) << " in "
              << backupFolder(root) << Qt::endl;
    return code(Exit::Done);
}

int restore(const Installation& in, const QStringList& args, const QString& at) {
    if (args.size() != 1) return fail(QStringLiteral("restore takes one FILE (see tarrow backups)"));
    const QString root = in.backups().root();
    for (const Backup& b : in.backups().list()) {
        if (!matches(b, args.first(), root)) continue;
        const QString stamp = b.time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!at.isEmpty() && !timeText(b).startsWith(at) && !stamp.startsWith(at)) continue;
        in.takeWrites();
        in.backups().restore(b);
        out() << "Restored " << b.original << " as it was at " << timeText(b) << Qt::endl;
        printWrites(in.takeWrites());
        return code(Exit::Done);
    }
    return fail(QStringLiteral("no backup of %1%2; see tarrow backups")
                    .arg(args.first(), at.isEmpty() ? QString() : QStringLiteral(" at ") + at));
}

} // namespace

QList<Command> fileCommands() {
    QStringList components;
    for (const ComponentInfo& i : componentTable())
        if (i.component != Component::Mod) components << QString::fromUtf8(i.cliName);
    return {
        {.name = "load",
         .synopsis = "load COMPONENT",
         .summary = "load tarrow, metamod, adminmod or neotf",
         .options = {{&Options::restartWhenEmpty}},
         .words = components,
         .run =
             [](const Invocation& c) {
                 return thenRestartWhenEmpty(c,
                                             [&c] { return loadOrUnload(c.installation(), c.args, true); });
             },
         .place = 20},
        {.name = "unload",
         .synopsis = "unload COMPONENT",
         .summary = "unload it",
         .options = {{&Options::restartWhenEmpty}},
         .words = components,
         .run =
             [](const Invocation& c) {
                 return thenRestartWhenEmpty(c,
                                             [&c] { return loadOrUnload(c.installation(), c.args, false); });
             },
         .place = 30},
        {.name = "rebuild",
         .synopsis = "rebuild FILE... [--yes]",
         .summary = "reset autoexec, liblist, plugins or ntfconfig to its default",
         .options = {{&Options::yes}, {&Options::restartWhenEmpty}},
         .words = rebuildTargetNames(),
         .repeated = true,
         .run =
             [](const Invocation& c) {
                 return thenRestartWhenEmpty(
                     c, [&c] { return rebuild(c.installation(), c.args, c.isSet(c.o.yes)); });
             },
         .place = 40},
        {.name = "dump",
         .synopsis = "dump [--dir DIR] [--include L]",
         .summary = "write the support dump folder",
         .options = {{&Options::dir}, {&Options::include}},
         .run =
             [](const Invocation& c) {
                 return dump(c.installation(), c.value(c.o.dir), c.value(c.o.include));
             },
         .place = 50},
        {.name = "backups",
         .synopsis = "backups [FILE]",
         .summary = "list the kept previous versions",
         .run = [](const Invocation& c) { return backups(c.installation(), c.args); },
         .place = 60},
        {.name = "restore",
         .synopsis = "restore FILE [--at TIME]",
         .summary = "put a previous version back",
         .options = {{&Options::at}},
         .run = [](const Invocation& c) { return restore(c.installation(), c.args, c.value(c.o.at)); },
         .place = 70},
    };
}

} // namespace tarrow::cli
