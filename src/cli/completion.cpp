// The bash completion script, written from the command table when the program is built.
#include "command.h"

namespace tarrow::cli {

namespace {

// What Tab offers for an option's value.
struct ValueCompletion {
    QCommandLineOption Options::*option;
    const char* shell; // what the script runs
};

QString wordsReply(const QStringList& words) {
    return QStringLiteral("COMPREPLY=($(compgen -W \"%1\" -- \"$cur\"))").arg(words.join(QLatin1Char(' ')));
}

QString longName(const QCommandLineOption& option) {
    return QStringLiteral("--") + option.names().constFirst();
}

} // namespace

QString bashCompletionScript(const Options& o) {
    static const QList<ValueCompletion> values{
        {&Options::installRoot, "_filedir -d"},
        {&Options::folder, "_filedir -d"},
        {&Options::dir, "_filedir -d"},
        {&Options::textfile, "_filedir -d"},
        {&Options::settings, "_filedir"},
        {&Options::passwordFile, "_filedir"},
        {&Options::include, "COMPREPLY=($(compgen -W \"plugin server bot tarrow all\" -- \"$cur\"))"},
        {&Options::maxWait, "COMPREPLY=($(compgen -W \"90s 30m 2h never\" -- \"$cur\"))"},
        {&Options::since, "COMPREPLY=($(compgen -W \"1h 24h 7d\" -- \"$cur\"))"},
        {&Options::kinds, "COMPREPLY=($(compgen -W \"joins chat kills rcon map other\" -- \"$cur\"))"},
    };
    QStringList names, cases, repeated, options{QStringLiteral("--help"), QStringLiteral("--version")};
    for (const Command& c : commandTable()) {
        const QString name = QString::fromUtf8(c.name);
        names << name;
        if (c.words.isEmpty()) continue;
        if (c.repeated)
            repeated << QStringLiteral("    elif [[ $command == %1 ]]; then\n        %2\n")
                            .arg(name, wordsReply(c.words));
        else
            cases << QStringLiteral("        %1) %2; return ;;\n").arg(name, wordsReply(c.words));
    }
    for (const ValueCompletion& v : values)
        cases << QStringLiteral("        %1) %2; return ;;\n")
                     .arg(longName(o.*(v.option)), QLatin1String(v.shell));
    for (const QCommandLineOption& option : o.all())
        if (!(option.flags() & QCommandLineOption::HiddenFromHelp)) options << longName(option);

    return QStringLiteral(
               "# bash completion for tarrow, the Tarrow GUI command line\n"
               "# Written by `tarrow --bash-completion` from the program's own table of commands.\n"
               "_tarrow() {\n"
               "    local cur prev words cword\n"
               "    _init_completion || return\n"
               "    local commands=\"%1\"\n"
               "    case \"$prev\" in\n"
               "%2"
               "    esac\n"
               "    local command=\"\" w\n"
               "    for w in \"${words[@]:1:cword-1}\"; do\n"
               "        case \" $commands \" in *\" $w \"*) command=$w; break ;; esac\n"
               "    done\n"
               "    if [[ $cur == -* ]]; then\n"
               "        COMPREPLY=($(compgen -W \"%3\" -- \"$cur\"))\n"
               "    elif [[ -z $command ]]; then\n"
               "        COMPREPLY=($(compgen -W \"$commands\" -- \"$cur\"))\n"
               "%4"
               "    fi\n"
               "}\n"
               "complete -F _tarrow tarrow\n")
        .arg(names.join(QLatin1Char(' ')), cases.join(QString()), options.join(QLatin1Char(' ')),
             repeated.join(QString()));
}

} // namespace tarrow::cli
