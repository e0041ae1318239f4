// The live server: query and rcon.
#include "command.h"
#include "output.h"

#include <QJsonArray>

namespace tarrow::cli {

QJsonObject liveJson(const live::QueryResult& r, bool lists) {
    if (!r.answering)
        return QJsonObject{{QStringLiteral("address"), r.address.text()},
                           {QStringLiteral("answering"), false}};
    const live::ServerInfo& i = r.info;
    QJsonObject o{{QStringLiteral("address"), r.address.text()},
                  {QStringLiteral("answering"), true},
                  {QStringLiteral("latencyMs"), qRound(r.latencyMs * 10) / 10.0},
                  {QStringLiteral("name"), i.name},
                  {QStringLiteral("map"), i.map},
                  {QStringLiteral("folder"), i.folder},
                  {QStringLiteral("game"), i.game},
                  {QStringLiteral("protocol"), i.protocol},
                  {QStringLiteral("players"), i.players},
                  {QStringLiteral("bots"), i.bots},
                  {QStringLiteral("humans"), i.humans()},
                  {QStringLiteral("maxPlayers"), i.maxPlayers},
                  {QStringLiteral("dedicated"), i.dedicated},
                  {QStringLiteral("os"), i.os},
                  {QStringLiteral("password"), i.password},
                  {QStringLiteral("vac"), i.vac},
                  {QStringLiteral("version"), i.version}};
    if (lists && r.players) {
        QJsonArray list;
        for (const live::PlayerEntry& p : *r.players)
            list.append(QJsonObject{{QStringLiteral("name"), p.name},
                                    {QStringLiteral("score"), p.score},
                                    {QStringLiteral("seconds"),
                                     p.connectedSeconds() ? QJsonValue(double(p.seconds)) : QJsonValue()}});
        o.insert(QStringLiteral("playerList"), list);
    }
    if (lists && r.rules) {
        QJsonObject rules;
        for (const auto& [name, value] : *r.rules)
            rules.insert(name, value);
        o.insert(QStringLiteral("rules"), rules);
    }
    return o;
}

namespace {

int query(const live::ServerAddress& where, bool json, bool players, bool rules, int timeoutMs) {
    live::QueryOptions options;
    options.players = players;
    options.rules = rules;
    options.timeoutMs = timeoutMs;
    const live::QueryResult r = live::queryServer(where, options);
    if (json) {
        printJson(QJsonDocument(liveJson(r, true)));
    } else if (!r.answering) {
        out() << where.text() << ": no answer" << Qt::endl;
    } else {
        const live::ServerInfo& i = r.info;
        out() << i.name << " (" << where.text() << ", " << QString::number(r.latencyMs, 'f', 1) << " ms)"
              << Qt::endl
              << "Map: " << i.map << Qt::endl
              << "People: " << i.humans() << ", bots: " << i.bots << ", of " << i.maxPlayers << " places"
              << Qt::endl;
        if (r.players)
            for (const live::PlayerEntry& p : *r.players)
                out() << "  " << p.name << "  score " << p.score
                      << (p.connectedSeconds() ? QStringLiteral("  %1 s").arg(*p.connectedSeconds())
                                               : QString())
                      << Qt::endl;
        if (r.rules)
            for (const auto& [name, value] : *r.rules)
                out() << "  " << name << " " << value << Qt::endl;
    }
    if (!r.error.isEmpty()) err() << "tarrow: " << r.error << Qt::endl;
    return r.answering ? code(Exit::Done) : code(Exit::NoAnswer);
}
int rcon(const Installation& in, const live::ServerAddress& where, const QStringList& words,
         const QString& passwordFile, int timeoutMs) {
    if (words.isEmpty()) return fail(QStringLiteral("rcon takes the COMMAND to run"));
    const auto password = rconPassword(in, passwordFile);
    if (!password) return fail(QStringLiteral("cannot read the password file %1").arg(passwordFile));
    if (password->isEmpty())
        return fail(
            QStringLiteral("no rcon password: give --rcon-password-file FILE or TARROW_RCON_PASSWORD, or set "
                           "rcon_password in server.cfg"));
    const live::RconResult r = live::sendRcon(where, *password, words.join(QLatin1Char(' ')), timeoutMs);
    if (r.status == live::RconStatus::NoAnswer) {
        err() << "tarrow: " << where.text() << ": " << live::rconStatusText(r.status) << Qt::endl;
        return code(Exit::NoAnswer);
    }
    if (r.status != live::RconStatus::Done) {
        err() << "tarrow: " << live::rconStatusText(r.status) << " The server said: " << r.output.trimmed()
              << Qt::endl;
        return code(Exit::Error);
    }
    out() << r.output;
    if (!r.output.isEmpty() && !r.output.endsWith(QLatin1Char('\n'))) out() << Qt::endl;
    out().flush();
    return code(Exit::Done);
}

} // namespace

QList<Command> liveCommands() {
    return {
        {.name = "query",
         .synopsis = "query [--json] [--players] [--rules]",
         .summary = "ask the running server (exit 4 when it does not answer)",
         .options = {{&Options::json},
                     {&Options::address},
                     {&Options::timeout},
                     {&Options::players},
                     {&Options::rules}},
         .run =
             [](const Invocation& c) {
                 return query(c.where, c.isSet(c.o.json), c.isSet(c.o.players), c.isSet(c.o.rules),
                              c.timeoutMs);
             },
         .place = 100},
        {.name = "rcon",
         .synopsis = "rcon COMMAND...",
         .summary = "run a console command on the server (exit 4 without an answer)",
         .options = {{&Options::address}, {&Options::timeout}, {&Options::passwordFile}},
         .run =
             [](const Invocation& c) {
                 return rcon(c.installation(), c.where, c.args, c.value(c.o.passwordFile), c.timeoutMs);
             },
         .place = 110},
    };
}

} // namespace tarrow::cli
