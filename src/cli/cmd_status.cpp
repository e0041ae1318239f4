// What is installed and how it loads: status, check, and the known folders.
#include "app/folders.h"
#include "command.h"
#include "common/paths.h"
#include "common/settingsstore.h"
#include "output.h"
#include "status/detection.h"
#include "status/loaderchain.h"
#include "statusformat.h"

#include <QJsonArray>

namespace tarrow::cli {

namespace {

int status(const Installation& in, const live::ServerAddress& where, bool json) {
    const InstallPaths p = in.paths();
    // A look only: the duplicate-line upkeep of the window's refresh is left to the window and to load.
    const Detection d = detectComponents(p, in.components());
    const RunningReport running = runningOf(p);
    if (json) {
        QJsonObject o = statusJson(d.report, running, in.root(), p.platform);
        // One quick look at the running server: a status must stay fast.
        live::QueryOptions options;
        options.timeoutMs = 500;
        options.tries = 1;
        o.insert(QStringLiteral("live"), liveJson(live::queryServer(where, options), false));
        printJson(QJsonDocument(o));
    } else
        out() << statusText(d.report, running, in.root(), colourWanted());
    out().flush();
    return d.report.hasProblems() ? code(Exit::Problems) : code(Exit::Done);
}

int check(const Installation& in, bool json) {
    const LoaderChain chain = followLoaderChain(in.paths(), in.components());
    if (!json) {
        out() << loaderChainText(chain).join(QLatin1Char('\n')) << Qt::endl;
        return chain.problems.isEmpty() ? code(Exit::Done) : code(Exit::Problems);
    }
    QJsonArray links, problems;
    for (const ChainLink& l : chain.links)
        links.append(QJsonObject{{QStringLiteral("file"), nativePath(l.file)},
                                 {QStringLiteral("line"), l.line},
                                 {QStringLiteral("statement"), l.statement.trimmed()},
                                 {QStringLiteral("library"), l.library},
                                 {QStringLiteral("exists"), l.exists}});
    for (const ChainProblem& p : chain.problems)
        problems.append(QJsonObject{{QStringLiteral("file"), nativePath(p.file)},
                                    {QStringLiteral("line"), p.line},
                                    {QStringLiteral("text"), p.text}});
    const QJsonObject o{{QStringLiteral("installRoot"), nativePath(in.root())},
                        {QStringLiteral("platform"), QLatin1String(platformName(chain.platform))},
                        {QStringLiteral("links"), links},
                        {QStringLiteral("problems"), problems}};
    printJson(QJsonDocument(o));
    return chain.problems.isEmpty() ? code(Exit::Done) : code(Exit::Problems);
}

QString platformWord(ServerPlatform p) {
    return p == ServerPlatform::Linux ? QStringLiteral("Linux") : QStringLiteral("Windows");
}

int folders(SettingsStore& store, bool json) {
    const KnownFolders known(store);
    const auto current = known.current();
    QJsonArray array;
    for (const KnownFolder& f : known.list()) {
        const Installation in(&store, f.root);
        const bool isCurrent = current && current->index == f.index;
        if (json) {
            array.append(QJsonObject{{QStringLiteral("index"), f.index},
                                     {QStringLiteral("path"), nativePath(f.root)},
                                     {QStringLiteral("mod"), in.mod()},
                                     {QStringLiteral("platform"), QLatin1String(platformName(in.platform()))},
                                     {QStringLiteral("current"), isCurrent}});
            continue;
        }
        out() << QString::number(f.index).rightJustified(3) << (isCurrent ? " * " : "   ")
              << nativePath(f.root) << " (" << in.mod() << ", " << platformWord(in.platform()) << ")"
              << Qt::endl;
    }
    if (json)
        printJson(QJsonDocument(array));
    else if (array.isEmpty() && known.list().isEmpty())
        out() << "No Half-Life folder is known yet; give one with --folder PATH." << Qt::endl;
    return code(Exit::Done);
}

// The sample installation the window's --demo opens, built in DIR beside a settings file of its own
// that knows it: every command can be tried on it with --settings, and nothing real is touched.
} // namespace

QList<Command> statusCommands() {
    return {
        {.name = "status",
         .synopsis = "status [--json]",
         .summary = "the report of the installation (exit 3 when something is wrong)",
         .options = {{&Options::json}},
         .run = [](const Invocation& c) { return status(c.installation(), c.where, c.isSet(c.o.json)); },
         .place = 10},
        {.name = "check",
         .synopsis = "check [--json]",
         .summary = "follow the loader chain and list its problems (exit 3 if any)",
         .options = {{&Options::json}},
         .run = [](const Invocation& c) { return check(c.installation(), c.isSet(c.o.json)); },
         .place = 80},
        {.name = "folders",
         .synopsis = "folders [--json]",
         .summary = "the known Half-Life folders; --folder N picks one for a call",
         .options = {{&Options::json}},
         .scope = Command::Scope::Settings,
         .run = [](const Invocation& c) { return folders(c.store, c.isSet(c.o.json)); },
         .place = 90},
    };
}

} // namespace tarrow::cli
