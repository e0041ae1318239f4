// Who may play: the ban lists, bans and kicks, through the console when the server answers, else
// through the files it reads at its next start.
#include "command.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "live/bans.h"
#include "output.h"

#include <QFileInfo>
#include <QJsonArray>

namespace tarrow::cli {

namespace {

// The running server's console, when it answers and a password is known.
struct Console {
    bool answers = false;
    QStringList outputs; // one for each command run
};

// Runs `commands` in turn. Nothing answers: `answers` false, nothing sent. A refused password or a
// failed command: nullopt, with the error said.
std::optional<Console> runOnConsole(const Invocation& c, const QStringList& commands) {
    const auto password = rconPassword(c.installation(), c.value(c.o.passwordFile));
    if (!password) {
        fail(QStringLiteral("cannot read the password file %1").arg(c.value(c.o.passwordFile)));
        return std::nullopt;
    }
    Console console;
    if (password->isEmpty()) return console;
    for (const QString& command : commands) {
        const live::RconResult r = live::sendRcon(c.where, *password, command, c.timeoutMs);
        if (r.status == live::RconStatus::NoAnswer && console.outputs.isEmpty()) return console;
        if (r.status != live::RconStatus::Done) {
            fail(live::rconStatusText(r.status) + QStringLiteral(" The server said: ") + r.output.trimmed());
            return std::nullopt;
        }
        console.answers = true;
        console.outputs << r.output;
    }
    return console;
}

// A unique id or an address as a ban names it: one word, no quote and nothing the console would read
// as another command.
bool isBanValue(const QString& v) {
    if (v.isEmpty() || v.size() > 64) return false;
    for (const QChar ch : v)
        if (ch.isSpace() || ch == QLatin1Char('"') || ch == QLatin1Char(';') || ch.unicode() < 0x20)
            return false;
    return true;
}

struct BanFile {
    QString path;
    bool addresses;
};

BanFile banFileOf(const Invocation& c, const QString& value) {
    const InstallPaths p = c.installation().paths();
    const bool address = live::isBanAddress(value);
    return {address ? p.listipCfg : p.bannedCfg, address};
}

// Writes the file through the one writer, with its backup, and says what was saved.
void saveBanFile(const Invocation& c, const BanFile& f, const QStringList& lines) {
    const Installation& in = c.installation();
    in.takeWrites();
    writeFileBytes(f.path, joinLinesCrLf(lines), in.backups());
    printWrites(in.takeWrites());
    out() << "The server reads " << QFileInfo(nativePath(f.path)).fileName() << " at its next start."
          << Qt::endl;
}

int bans(const Invocation& c) {
    const InstallPaths p = c.installation().paths();
    const QStringList ids =
        fileExists(p.bannedCfg) ? live::bansInFile(readLines(p.bannedCfg), false) : QStringList();
    const QStringList ips =
        fileExists(p.listipCfg) ? live::bansInFile(readLines(p.listipCfg), true) : QStringList();
    const auto console = runOnConsole(c, {QStringLiteral("listid"), QStringLiteral("listip")});
    if (!console) return code(Exit::Error);
    if (!console->answers)
        err() << "tarrow: the server's console does not answer: only the saved bans are listed" << Qt::endl;
    const QList<live::BanEntry> all = live::mergeBans(
        ids, ips, console->answers ? live::bansInConsole(console->outputs[0], false) : QList<live::LiveBan>{},
        console->answers ? live::bansInConsole(console->outputs[1], true) : QList<live::LiveBan>{});
    if (c.isSet(c.o.json)) {
        QJsonArray list;
        for (const live::BanEntry& b : all)
            list.append(QJsonObject{
                {QStringLiteral("value"), b.value},
                {QStringLiteral("kind"), b.address ? QStringLiteral("address") : QStringLiteral("id")},
                {QStringLiteral("saved"), b.saved},
                {QStringLiteral("live"), b.live},
                {QStringLiteral("lasts"), b.live ? QJsonValue(b.lasts) : QJsonValue()}});
        printJson(QJsonDocument(list));
        return code(Exit::Done);
    }
    for (const live::BanEntry& b : all) {
        const QString where = b.saved && b.live ? QStringLiteral("saved, live")
                              : b.saved         ? QStringLiteral("saved")
                                                : QStringLiteral("live only");
        out() << b.value.leftJustified(22) << "  " << where.leftJustified(11) << "  " << b.lasts << Qt::endl;
    }
    if (all.isEmpty()) out() << "Nobody is banned." << Qt::endl;
    return code(Exit::Done);
}

int ban(const Invocation& c) {
    if (c.args.size() != 1 || !isBanValue(c.args.first()))
        return fail(QStringLiteral("ban takes one unique id (STEAM_0:1:1234) or address (203.0.113.7)"));
    const QString value = c.args.first();
    int minutes = 0;
    if (c.isSet(c.o.minutes)) {
        bool ok = false;
        minutes = c.value(c.o.minutes).toInt(&ok);
        if (!ok || minutes < 0 || minutes > 525600 * 10)
            return fail(QStringLiteral("--minutes takes a number of minutes"));
    }
    const BanFile file = banFileOf(c, value);
    const QString command = file.addresses
                                ? QStringLiteral("addip %1 %2").arg(minutes).arg(value)
                                : QStringLiteral("banid %1 %2%3")
                                      .arg(minutes)
                                      .arg(value, c.isSet(c.o.kickToo) ? QStringLiteral(" kick") : QString());
    // writeid and writeip keep the lists for the next start (the engine saves the lasting bans only).
    const auto console =
        runOnConsole(c, {command, file.addresses ? QStringLiteral("writeip") : QStringLiteral("writeid")});
    if (!console) return code(Exit::Error);
    const QString lasting =
        minutes == 0 ? QStringLiteral("for good") : QStringLiteral("for %1 minutes").arg(minutes);
    if (console->answers) {
        out() << "Banned " << value << " " << lasting << " on the running server";
        if (minutes == 0) out() << "; saved in " << QFileInfo(nativePath(file.path)).fileName();
        out() << "." << Qt::endl;
        return code(Exit::Done);
    }
    if (minutes > 0)
        return fail(
            QStringLiteral("a ban for %1 minutes lives only in the running server, and its console does not "
                           "answer")
                .arg(minutes));
    if (c.isSet(c.o.kickToo))
        err() << "tarrow: nobody is kicked: the server's console does not answer" << Qt::endl;
    const QStringList lines = fileExists(file.path) ? readLines(file.path) : QStringList();
    saveBanFile(c, file, live::withBan(lines, value, file.addresses));
    return code(Exit::Done);
}

int unban(const Invocation& c) {
    if (c.args.size() != 1 || !isBanValue(c.args.first()))
        return fail(QStringLiteral("unban takes one unique id or address"));
    const QString value = c.args.first();
    const BanFile file = banFileOf(c, value);
    const auto console =
        runOnConsole(c, {(file.addresses ? QStringLiteral("removeip ") : QStringLiteral("removeid ")) + value,
                         file.addresses ? QStringLiteral("writeip") : QStringLiteral("writeid")});
    if (!console) return code(Exit::Error);
    if (console->answers) {
        out() << console->outputs[0].trimmed() << Qt::endl;
        return code(Exit::Done);
    }
    const QStringList lines = fileExists(file.path) ? readLines(file.path) : QStringList();
    const QStringList kept = live::withoutBan(lines, value, file.addresses);
    if (kept.size() == lines.size())
        return fail(QStringLiteral("%1 is not in %2").arg(value, nativePath(file.path)));
    saveBanFile(c, file, kept);
    return code(Exit::Done);
}

int kick(const Invocation& c) {
    if (c.args.size() != 1 || c.args.first().isEmpty() || c.args.first().contains(QLatin1Char('"')))
        return fail(QStringLiteral("kick takes one NAME or #UID (see tarrow rcon status)"));
    const QString who = c.args.first();
    QString reason = c.value(c.o.reason);
    reason.remove(QLatin1Char('"')).remove(QLatin1Char(';'));
    // "kick # 5" names the connection's number, "kick "Name"" the name as the server shows it.
    QString command = who.startsWith(QLatin1Char('#')) ? QStringLiteral("kick # ") + who.mid(1).trimmed()
                                                       : QStringLiteral("kick \"") + who + QLatin1Char('"');
    if (!reason.isEmpty()) command += QLatin1Char(' ') + reason;
    const auto console = runOnConsole(c, {command});
    if (!console) return code(Exit::Error);
    if (!console->answers) {
        err() << "tarrow: " << c.where.text() << ": the console does not answer (or no password is known)"
              << Qt::endl;
        return code(Exit::NoAnswer);
    }
    out() << console->outputs[0];
    if (!console->outputs[0].endsWith(QLatin1Char('\n'))) out() << Qt::endl;
    return code(Exit::Done);
}

} // namespace

QList<Command> banCommands() {
    return {
        {.name = "bans",
         .synopsis = "bans [--json]",
         .summary = "the ban lists, saved and live",
         .options = {{&Options::json}},
         .run = bans,
         .place = 115},
        {.name = "ban",
         .synopsis = "ban ID|IP [--minutes N] [--kick]",
         .summary = "ban a unique id or an address (the console, else the files)",
         .options = {{&Options::minutes}, {&Options::kickToo}},
         .run = ban,
         .place = 116},
        {.name = "unban", .synopsis = "unban ID|IP", .summary = "lift a ban", .run = unban, .place = 117},
        {.name = "kick",
         .synopsis = "kick NAME|#UID [--reason TEXT]",
         .summary = "kick a player through the console (exit 4 without an answer)",
         .options = {{&Options::reason}},
         .run = kick,
         .place = 118},
    };
}

} // namespace tarrow::cli
