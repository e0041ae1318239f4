#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>

namespace tarrow::live {

// A player as a log line names them: "Name<uid><UNIQUEID><team>".
struct LogPlayer {
    QString name;
    int uid = -1;
    QString id;   // STEAM_x:y:z, VALVE_..., BOT, HLTV, STEAM_ID_LAN, STEAM_ID_PENDING, UNKNOWN, as written
    QString team; // empty before a team is joined
    bool bot() const { return id == QLatin1String("BOT"); }
    // A person, told apart by their unique id: not a bot and not the TV proxy.
    bool person() const { return !bot() && id != QLatin1String("HLTV"); }
    // An id the engine gives many people at once (a LAN game, an id not yet known).
    bool sharedId() const;
};

enum class LogKind {
    Join,     // connected, address "ip:port"
    Enter,    // entered the game
    Leave,    // disconnected (reason "...")
    Team,     // joined team "..."
    Name,     // changed name to "..."
    Say,      // say "..." (a player, or the server's own "Server say")
    SayTeam,  // say_team "..."
    Kill,     // killed "..." with "..."
    Suicide,  // committed suicide with "..."
    Trigger,  // triggered "..."
    Map,      // Started map "..." (CRC "...")
    LogStart, // Log file started (file "...") ...
    LogEnd,   // Log file closed
    Cvar,     // Server cvar "..." = "..."
    Kick,     // Kick: "..." was kicked by "..." (message "...")
    Rcon,     // Rcon: "rcon CHALLENGE "PASSWORD" COMMAND" from "ip:port"
    BadRcon,  // Bad Rcon: ...
    Other,    // anything else, kept as written
};

// The word `tarrow log` shows and filters by ("join", "say_team", "badrcon", ...).
const char* logKindWord(LogKind kind);
// The group of --kinds: "joins", "chat", "kills", "rcon", "map" or "other".
const char* logKindGroup(LogKind kind);

struct LogEvent {
    QDateTime time; // as the server wrote it (its local time); invalid for a line without a time stamp
    LogKind kind = LogKind::Other;
    std::optional<LogPlayer> player;
    std::optional<LogPlayer> victim; // the one killed, the one kicked is `player`
    // What the event carries: the words said, the new name, the team, the map, the weapon, the action,
    // the cvar's name, who kicked, the console command (its password never), the log file's name.
    QString text;
    QString address; // ip:port of a connect or a console login
    QString reason;  // a disconnect's reason, a kick's message, a cvar's value
    // The line after its time stamp, any console password in it masked.
    QString raw;
};

// Reads one line of the HL Log Standard ("L MM/DD/YYYY - hh:mm:ss: " and the event), without its line
// end. Never fails: what it does not understand is an Other event with the line kept (masked).
LogEvent parseLogLine(QStringView line);
// The same for the line's bytes as the engine wrote them (UTF-8).
LogEvent parseLogLine(QByteArrayView line);

// The event in words, as `tarrow log` and the window's log show it after its time and kind:
// "Alice (STEAM_0:1:1234) from 203.0.113.7".
QString logEventText(const LogEvent& event);

// The line with the password of an "rcon CHALLENGE PASSWORD COMMAND" in it replaced by "***", and the
// values of the password cvars: nothing that reads a log shows a console password.
QString maskLogPasswords(const QString& text);

} // namespace tarrow::live
