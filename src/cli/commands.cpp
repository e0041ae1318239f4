#include "commands.h"

#include "app/folders.h"
#include "app/installroot.h"
#include "app/windowoptions.h"
#include "command.h"
#include "common/errors.h"
#include "common/paths.h"
#include "common/settingsstore.h"
#include "output.h"
#include "service/units.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace tarrow::cli {

const QList<QCommandLineOption Options::*>& optionMembers() {
    static const QList<QCommandLineOption Options::*> members{&Options::settings,
                                                              &Options::installRoot,
                                                              &Options::folder,
                                                              &Options::json,
                                                              &Options::yes,
                                                              &Options::dir,
                                                              &Options::include,
                                                              &Options::at,
                                                              &Options::address,
                                                              &Options::timeout,
                                                              &Options::players,
                                                              &Options::rules,
                                                              &Options::passwordFile,
                                                              &Options::name,
                                                              &Options::textfile,
                                                              &Options::whenEmpty,
                                                              &Options::restartWhenEmpty,
                                                              &Options::maxWait,
                                                              &Options::warn,
                                                              &Options::follow,
                                                              &Options::since,
                                                              &Options::kinds,
                                                              &Options::peopleOnly,
                                                              &Options::minutes,
                                                              &Options::reason,
                                                              &Options::kickToo};
    return members;
}

Options::Options() {
    for (QCommandLineOption Options::*member : optionMembers()) {
        QStringList readers;
        for (const Command& c : commandTable())
            for (const OptionUse& use : c.options)
                if (use.option == member) readers << QString::fromUtf8(use.label ? use.label : c.name);
        // The global options (no command names them) read as sentences already.
        if (!readers.isEmpty())
            (this->*member)
                .setDescription(readers.join(QStringLiteral(", ")) + QStringLiteral(": ") +
                                (this->*member).description());
    }
    bashCompletion.setFlags(QCommandLineOption::HiddenFromHelp);
}

QList<QCommandLineOption> Options::all() const {
    QList<QCommandLineOption> list;
    for (QCommandLineOption Options::*member : optionMembers())
        list << this->*member;
    list << bashCompletion;
    return list;
}

const QList<Command>& commandTable() {
    static const QList<Command> table = [] {
        QList<Command> all;
        for (const QList<Command>& group : {statusCommands(), fileCommands(), liveCommands(), logCommands(),
                                            banCommands(), serviceCommands(), demoCommands()})
            all << group;
        std::stable_sort(all.begin(), all.end(),
                         [](const Command& a, const Command& b) { return a.place < b.place; });
        return all;
    }();
    return table;
}

const Command* findCommand(const QString& name) {
    for (const Command& c : commandTable())
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

QString helpDescription() {
    QString text = QStringLiteral("Tarrow GUI for a shell: the status report, loading and unloading, "
                                  "rebuilding the start-up files, the\n"
                                  "support dump and the backups, on the same settings file as tarrow-gui.\n\n"
                                  "Commands:");
    for (const Command& c : commandTable())
        text += QStringLiteral("\n  ") + QString::fromUtf8(c.synopsis).leftJustified(31) +
                QStringLiteral("  ") + QString::fromUtf8(c.summary);
    return text;
}

namespace {

QStringList commandNames() {
    QStringList names;
    for (const Command& c : commandTable())
        names << QString::fromUtf8(c.name);
    return names;
}

// --folder N picks a known folder; --folder PATH a folder by its path, which becomes known.
std::optional<KnownFolder> pickFolder(SettingsStore& store, const QString& word, QString& error) {
    KnownFolders known(store);
    bool number = false;
    const int index = word.toInt(&number);
    if (number) {
        if (auto f = known.byIndex(index)) return f;
        error = QStringLiteral("no known folder %1; see tarrow folders").arg(word);
        return std::nullopt;
    }
    if (!QFileInfo(word).isDir()) {
        error = QStringLiteral("the folder %1 does not exist").arg(word);
        return std::nullopt;
    }
    if (auto f = known.add(word)) return f;
    error = QStringLiteral("cannot store the folder in %1").arg(nativePath(store.fileName()));
    return std::nullopt;
}

// The installation a command runs on: --install-root, --folder, the service's own folder for the
// watchdog, else the one the window keeps. Empty, with `error` set, when there is none.
std::optional<Installation> chooseInstallation(const Command& command, const Options& o,
                                               const QCommandLineParser& parser, SettingsStore& store,
                                               const std::optional<KnownFolder>& picked, QString& error) {
    // --install-root serves this call only: the folder the window keeps stays as it is.
    Installation base = Installation::stored(store);
    if (parser.isSet(o.installRoot)) {
        const QString dir = parser.value(o.installRoot);
        if (!QFileInfo(dir).isDir()) {
            error = QStringLiteral("the folder %1 does not exist").arg(dir);
            return std::nullopt;
        }
        base = Installation(&store, withRootSeparator(QDir(dir).absolutePath()));
    }
    if (picked) base = Installation(&store, picked->root);
    // The packaged watchdog template passes nothing but the service's name: its server unit knows the folder.
    if (command.folderFromService && parser.isSet(o.name) && !parser.isSet(o.installRoot) &&
        !parser.isSet(o.folder)) {
        const QString folder =
            service::folderOfInstalledServer(service::escapeUnitName(parser.value(o.name)));
        if (!folder.isEmpty()) base = Installation(&store, folder);
    }
    Installation in = base.withStoredPathOverrides().withStoredVersionOverrides();
    if (!in.isSet()) {
        error = QStringLiteral("no Half-Life folder is set; give one with --install-root DIR");
        return std::nullopt;
    }
    if (!folderExists(in.root())) {
        error = QStringLiteral("the Half-Life folder %1 does not exist; give another with --install-root DIR")
                    .arg(nativePath(in.root()));
        return std::nullopt;
    }
    return in;
}

// The server the live commands ask, and how long they wait; false with `error` set on a bad option.
bool chooseServer(Invocation& c, QString& error) {
    c.where = live::addressFromCommandLine(c.in->setting(ownSettingName(OwnSetting::CommandLine)));
    if (c.isSet(c.o.address)) {
        const auto given = live::parseAddress(c.value(c.o.address), &error);
        if (!given) return false;
        c.where = *given;
    }
    if (c.isSet(c.o.timeout)) {
        bool ok = false;
        c.timeoutMs = c.value(c.o.timeout).toInt(&ok);
        if (!ok || c.timeoutMs < 1 || c.timeoutMs > 60000) {
            error = QStringLiteral("--timeout takes milliseconds, 1 to 60000");
            return false;
        }
    }
    return true;
}

} // namespace

int run(const QStringList& arguments) {
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(helpDescription());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions(o.all());
    parser.addPositionalArgument(QStringLiteral("command"), commandNames().join(QStringLiteral(", ")));
    parser.process(arguments);
    if (parser.isSet(o.bashCompletion)) {
        out() << bashCompletionScript(o);
        return code(Exit::Done);
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) return fail(QStringLiteral("no command given; see tarrow --help"));
    const Command* command = findCommand(positional.first());
    if (!command)
        return fail(QStringLiteral("unknown command '%1'; see tarrow --help").arg(positional.first()));

    QString settingsFile = parser.value(o.settings);
    if (settingsFile.isEmpty()) settingsFile = qEnvironmentVariable("TARROW_SETTINGS");
    if (settingsFile.isEmpty()) settingsFile = SettingsStore::defaultFileName();
    SettingsStore store(settingsFile);
    if (parser.isSet(o.installRoot) && parser.isSet(o.folder))
        return fail(QStringLiteral("give --install-root or --folder, not both"));
    Invocation c{o, parser, positional.mid(1), store, std::nullopt, {}, 1500};
    try {
        if (command->scope == Command::Scope::Nothing) return command->run(c);
        // --folder PATH makes PATH known whatever the command, the listing of the known folders too.
        std::optional<KnownFolder> picked;
        QString error;
        if (parser.isSet(o.folder)) {
            picked = pickFolder(store, parser.value(o.folder), error);
            if (!picked) return fail(error);
        }
        if (command->scope == Command::Scope::Settings) return command->run(c);
        c.in = chooseInstallation(*command, o, parser, store, picked, error);
        if (!c.in || !chooseServer(c, error)) return fail(error);
        return command->run(c);
    } catch (const Error& e) {
        return fail(e.text());
    }
}

} // namespace tarrow::cli
