#pragma once

#include "app/installation.h"
#include "exitcodes.h"
#include "live/client.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

namespace tarrow {
class SettingsStore;
}

namespace tarrow::cli {

// Every option `tarrow` takes, in the order --help lists them. Which commands read an option is said by
// the commands' entries, not here: the help puts their names before the option's text.
struct Options {
    QCommandLineOption settings{
        QStringLiteral("settings"),
        QStringLiteral("Keep the settings in FILE (also TARROW_SETTINGS), as tarrow-gui does."),
        QStringLiteral("FILE")};
    QCommandLineOption installRoot{
        QStringLiteral("install-root"),
        QStringLiteral("Use DIR as the Half-Life folder for this call (nothing is stored)."),
        QStringLiteral("DIR")};
    QCommandLineOption folder{
        QStringLiteral("folder"),
        QStringLiteral("Use known folder N (see tarrow folders), or PATH, which becomes known."),
        QStringLiteral("N|PATH")};
    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("print JSON.")};
    QCommandLineOption yes{QStringLiteral("yes"), QStringLiteral("overwrite without a question.")};
    QCommandLineOption dir{QStringLiteral("dir"), QStringLiteral("write the folder into DIR."),
                           QStringLiteral("DIR")};
    QCommandLineOption include{QStringLiteral("include"),
                               QStringLiteral("also include LIST (plugin,server,bot,tarrow or all)."),
                               QStringLiteral("LIST")};
    QCommandLineOption at{QStringLiteral("at"),
                          QStringLiteral("the backup of TIME (yyyy-MM-dd HH:mm:ss, or its start)."),
                          QStringLiteral("TIME")};
    QCommandLineOption address{QStringLiteral("address"),
                               QStringLiteral("ask HOST[:PORT] instead of the saved command line's."),
                               QStringLiteral("HOST[:PORT]")};
    QCommandLineOption timeout{QStringLiteral("timeout"), QStringLiteral("wait MS for each answer (1500)."),
                               QStringLiteral("MS")};
    QCommandLineOption players{QStringLiteral("players"), QStringLiteral("list the players too.")};
    QCommandLineOption rules{QStringLiteral("rules"), QStringLiteral("list the live settings too.")};
    QCommandLineOption passwordFile{
        QStringLiteral("rcon-password-file"),
        QStringLiteral("read the password from FILE (else TARROW_RCON_PASSWORD, else server.cfg)."),
        QStringLiteral("FILE")};
    QCommandLineOption name{QStringLiteral("name"),
                            QStringLiteral("the service's NAME (default: the folder's name)."),
                            QStringLiteral("NAME")};
    QCommandLineOption textfile{QStringLiteral("textfile"),
                                QStringLiteral("write metrics for the node exporter into DIR."),
                                QStringLiteral("DIR")};
    QCommandLineOption whenEmpty{QStringLiteral("when-empty"),
                                 QStringLiteral("once nobody but bots is on the server.")};
    QCommandLineOption restartWhenEmpty{
        QStringLiteral("restart-when-empty"),
        QStringLiteral("then restart the service once nobody but bots is on it.")};
    QCommandLineOption maxWait{QStringLiteral("max-wait"),
                               QStringLiteral("force it after DURATION (90s, 30m, 2h; never: give up)."),
                               QStringLiteral("DURATION")};
    QCommandLineOption warn{QStringLiteral("warn"),
                            QStringLiteral("tell the players 5 min, 1 min and 10 s before forcing it.")};
    QCommandLineOption follow{QStringLiteral("follow"), QStringLiteral("keep printing until interrupted.")};
    QCommandLineOption since{
        QStringLiteral("since"),
        QStringLiteral("only what came after TIME (yyyy-MM-dd[ HH:mm[:ss]]) or DURATION ago (90m, 2h, 7d)."),
        QStringLiteral("TIME|DURATION")};
    QCommandLineOption kinds{QStringLiteral("kinds"),
                             QStringLiteral("only LIST (joins,chat,kills,rcon,map,other)."),
                             QStringLiteral("LIST")};
    QCommandLineOption peopleOnly{QStringLiteral("people-only"), QStringLiteral("leave the bots out.")};
    QCommandLineOption minutes{QStringLiteral("minutes"),
                               QStringLiteral("for N minutes only (0, the default: for good)."),
                               QStringLiteral("N")};
    QCommandLineOption reason{QStringLiteral("reason"), QStringLiteral("the words the player is shown."),
                              QStringLiteral("TEXT")};
    QCommandLineOption kickToo{QStringLiteral("kick"), QStringLiteral("also kick them off the server now.")};
    // The completion script, written at build time from the table; not for people, so not in --help.
    QCommandLineOption bashCompletion{QStringLiteral("bash-completion")};

    // Each option's help text gets the names of the commands that read it in front.
    Options();
    // All of them (but the hidden one), in the help's order.
    QList<QCommandLineOption> all() const;
};

// The options as members, in the help's order: the global three first.
const QList<QCommandLineOption Options::*>& optionMembers();

// What a command runs with. `in` and `where` are set only for the commands that use an installation.
struct Invocation {
    const Options& o;
    const QCommandLineParser& parser;
    QStringList args; // the words after the command's name
    SettingsStore& store;
    std::optional<Installation> in;
    live::ServerAddress where;
    int timeoutMs = 1500;

    bool isSet(const QCommandLineOption& option) const { return parser.isSet(option); }
    QString value(const QCommandLineOption& option) const { return parser.value(option); }
    const Installation& installation() const { return *in; }
};

// One option as a command documents it: the help names the command (or `label`, "service status" say)
// before the option's text.
struct OptionUse {
    QCommandLineOption Options::*option = nullptr;
    const char* label = nullptr;
};

struct Command {
    const char* name = nullptr;
    // The help's line: "status [--json]", and what it does.
    const char* synopsis = nullptr;
    const char* summary = nullptr;
    QList<OptionUse> options{};
    // What Tab offers after the command's name; `repeated`: for every further word too.
    QStringList words{};
    bool repeated = false;
    // What it runs on: nothing but its arguments (the demo), the settings file (the known folders, after
    // --folder PATH has been made known), or one installation.
    enum class Scope { Nothing, Settings, Installation } scope = Scope::Installation;
    // `--name NAME` alone names the installation: the one the service NAME serves (the watchdog's timer).
    bool folderFromService = false;
    int (*run)(const Invocation&) = nullptr;
    // Where the help lists it among all commands.
    int place = 0;
};

// The commands of each group, each defined in its own file (cmd_status.cpp, cmd_files.cpp, ...).
QList<Command> statusCommands();
QList<Command> fileCommands();
QList<Command> liveCommands();
QList<Command> serviceCommands();
QList<Command> demoCommands();
QList<Command> logCommands();
QList<Command> banCommands();

// All of them, in the order --help lists them.
const QList<Command>& commandTable();
const Command* findCommand(const QString& name);

// The text of --help above the options, and the bash completion script, both from the table.
QString helpDescription();
QString bashCompletionScript(const Options& o);

// Runs `step` (a load, an unload, a rebuild), then with --restart-when-empty restarts the service once
// nobody but bots plays: the engine reads its loader files only when it starts.
int thenRestartWhenEmpty(const Invocation& c, const std::function<int()>& step);

// Shorthand for a run function's result.
constexpr int code(Exit e) {
    return static_cast<int>(e);
}

} // namespace tarrow::cli
