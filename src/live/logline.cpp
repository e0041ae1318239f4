#include "logline.h"

#include <QStringMatcher>

namespace tarrow::live {

namespace {

constexpr qsizetype kStampLength = 25; // "L MM/DD/YYYY - hh:mm:ss: "

char16_t charAt(QStringView s, qsizetype i) {
    return s[i].unicode();
}
char16_t charAt(QByteArrayView s, qsizetype i) {
    return char16_t(uchar(s[i]));
}

template <class View> int digits(View s, qsizetype at, qsizetype count) {
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        const char16_t c = charAt(s, i);
        if (c < u'0' || c > u'9') return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// The time stamp, kept as the server's wall clock with no zone: nothing converts it. A log holds
// thousands of lines a day: the day's start is made once and the time of day added to it.
template <class View> QDateTime stampOf(View line) {
    thread_local QDate lastDay;
    thread_local QDateTime lastMidnight;
    const auto is = [&line](qsizetype i, char16_t c) { return charAt(line, i) == c; };
    if (line.size() < kStampLength || !is(0, u'L') || !is(1, u' ') || !is(4, u'/') || !is(7, u'/') ||
        !is(12, u' ') || !is(13, u'-') || !is(14, u' ') || !is(17, u':') || !is(20, u':') || !is(23, u':') ||
        !is(24, u' '))
        return {};
    const int month = digits(line, 2, 2), day = digits(line, 5, 2), year = digits(line, 8, 4);
    const int hour = digits(line, 15, 2), minute = digits(line, 18, 2), second = digits(line, 21, 2);
    const QDate date(year, month, day);
    if (!date.isValid() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return {};
    if (date != lastDay) {
        lastDay = date;
        lastMidnight = QDateTime(date, QTime(0, 0), Qt::UTC);
    }
    return lastMidnight.addSecs(hour * 3600 + minute * 60 + second);
}

// "Name<uid><id><team>", read from the right: the last three groups are the player's, so a name may
// hold '<', '>' and quotes.
std::optional<LogPlayer> playerOf(QStringView s) {
    QStringView groups[3];
    qsizetype end = s.size();
    for (int g = 2; g >= 0; --g) {
        if (end == 0 || s[end - 1] != u'>') return std::nullopt;
        const qsizetype open = s.lastIndexOf(u'<', end - 1);
        if (open < 0) return std::nullopt;
        groups[g] = s.mid(open + 1, end - 1 - open - 1);
        end = open;
    }
    bool ok = false;
    const int uid = groups[0].toInt(&ok);
    if (!ok) return std::nullopt;
    LogPlayer p;
    p.name = s.left(end).toString();
    p.uid = uid;
    // The ids and teams most lines carry share one string each.
    static const QString bot = QStringLiteral("BOT"), blue = QStringLiteral("Blue"),
                         red = QStringLiteral("Red");
    p.id = groups[1] == u"BOT" ? bot : groups[1].toString();
    p.team = groups[2].isEmpty()    ? QString()
             : groups[2] == u"Blue" ? blue
             : groups[2] == u"Red"  ? red
                                    : groups[2].toString();
    return p;
}

// The text between the first quote at or after `from` and the last quote of `s`.
QString lastQuoted(QStringView s, qsizetype from = 0) {
    const qsizetype open = s.indexOf(u'"', from);
    const qsizetype close = s.lastIndexOf(u'"');
    if (open < 0 || close <= open) return {};
    return s.mid(open + 1, close - open - 1).toString();
}

// The text up to the next quote: `s` begins right after an opening quote.
QString upToQuote(QStringView s) {
    const qsizetype close = s.indexOf(u'"');
    return (close < 0 ? s : s.left(close)).toString();
}

bool startsWith(QStringView s, QStringView prefix) {
    return s.startsWith(prefix);
}

// A player's event: `rest` is what follows the player's closing quote and a blank.
bool readPlayerEvent(LogEvent& e, QStringView rest) {
    if (startsWith(rest, u"connected, address \"")) {
        e.kind = LogKind::Join;
        e.address = upToQuote(rest.mid(20));
    } else if (rest == u"entered the game") {
        e.kind = LogKind::Enter;
    } else if (startsWith(rest, u"disconnected")) {
        e.kind = LogKind::Leave;
        const qsizetype reason = rest.indexOf(u"(reason \"");
        if (reason >= 0) e.reason = lastQuoted(rest, reason + 8);
    } else if (startsWith(rest, u"joined team \"")) {
        e.kind = LogKind::Team;
        e.text = upToQuote(rest.mid(13));
    } else if (startsWith(rest, u"changed name to \"")) {
        e.kind = LogKind::Name;
        e.text = lastQuoted(rest);
    } else if (startsWith(rest, u"say_team \"")) {
        e.kind = LogKind::SayTeam;
        e.text = lastQuoted(rest);
    } else if (startsWith(rest, u"say \"")) {
        e.kind = LogKind::Say;
        e.text = lastQuoted(rest);
    } else if (startsWith(rest, u"killed \"")) {
        const qsizetype with = rest.lastIndexOf(u"\" with \"");
        if (with < 8) return false;
        e.victim = playerOf(rest.mid(8, with - 8));
        if (!e.victim) return false;
        e.kind = LogKind::Kill;
        e.text = upToQuote(rest.mid(with + 8));
    } else if (startsWith(rest, u"committed suicide with \"")) {
        e.kind = LogKind::Suicide;
        e.text = upToQuote(rest.mid(24));
    } else if (startsWith(rest, u"triggered \"")) {
        e.kind = LogKind::Trigger;
        e.text = upToQuote(rest.mid(11));
    } else {
        return false;
    }
    return true;
}

bool isPasswordCvar(QStringView name) {
    return name.compare(u"rcon_password", Qt::CaseInsensitive) == 0 ||
           name.compare(u"sv_password", Qt::CaseInsensitive) == 0;
}

// `Rcon: "rcon CHALLENGE "PASSWORD" COMMAND" from "ip:port"`: the command and the address.
void readConsoleLogin(LogEvent& e, QStringView rest) {
    const qsizetype from = rest.lastIndexOf(u"\" from \"");
    if (!rest.startsWith(u'"') || from < 1) return;
    e.address = upToQuote(rest.mid(from + 8));
    QStringView inner = rest.mid(1, from - 1).trimmed();
    if (inner.startsWith(u"rcon ", Qt::CaseInsensitive)) inner = inner.mid(5).trimmed();
    // The challenge, unless the client sent none; then the password, quoted or one word.
    if (!inner.startsWith(u'"')) {
        const qsizetype blank = inner.indexOf(u' ');
        inner = blank < 0 ? QStringView() : inner.mid(blank + 1).trimmed();
    }
    if (inner.startsWith(u'"')) {
        const qsizetype close = inner.indexOf(u'"', 1);
        inner = close < 0 ? QStringView() : inner.mid(close + 1);
    } else {
        const qsizetype blank = inner.indexOf(u' ');
        inner = blank < 0 ? QStringView() : inner.mid(blank + 1);
    }
    e.text = inner.trimmed().toString();
}

} // namespace

bool LogPlayer::sharedId() const {
    return id == QLatin1String("STEAM_ID_LAN") || id == QLatin1String("STEAM_ID_PENDING") ||
           id == QLatin1String("VALVE_ID_LAN") || id == QLatin1String("VALVE_ID_PENDING") ||
           id == QLatin1String("UNKNOWN") || id.isEmpty();
}

const char* logKindWord(LogKind kind) {
    switch (kind) {
    case LogKind::Join:
        return "join";
    case LogKind::Enter:
        return "enter";
    case LogKind::Leave:
        return "leave";
    case LogKind::Team:
        return "team";
    case LogKind::Name:
        return "name";
    case LogKind::Say:
        return "say";
    case LogKind::SayTeam:
        return "say_team";
    case LogKind::Kill:
        return "kill";
    case LogKind::Suicide:
        return "suicide";
    case LogKind::Trigger:
        return "trigger";
    case LogKind::Map:
        return "map";
    case LogKind::LogStart:
        return "log";
    case LogKind::LogEnd:
        return "log";
    case LogKind::Cvar:
        return "cvar";
    case LogKind::Kick:
        return "kick";
    case LogKind::Rcon:
        return "rcon";
    case LogKind::BadRcon:
        return "badrcon";
    case LogKind::Other:
        break;
    }
    return "other";
}

const char* logKindGroup(LogKind kind) {
    switch (kind) {
    case LogKind::Join:
    case LogKind::Enter:
    case LogKind::Leave:
    case LogKind::Team:
    case LogKind::Name:
    case LogKind::Kick:
        return "joins";
    case LogKind::Say:
    case LogKind::SayTeam:
        return "chat";
    case LogKind::Kill:
    case LogKind::Suicide:
        return "kills";
    case LogKind::Rcon:
    case LogKind::BadRcon:
        return "rcon";
    case LogKind::Map:
    case LogKind::LogStart:
    case LogKind::LogEnd:
        return "map";
    case LogKind::Trigger:
    case LogKind::Cvar:
    case LogKind::Other:
        break;
    }
    return "other";
}

namespace {

QString who(const LogPlayer& p) {
    return p.name + QStringLiteral(" (") + (p.bot() ? QStringLiteral("bot") : p.id) + QLatin1Char(')');
}

// An address without its port: the port is the player's client, not who they are.
QString hostOf(const QString& address) {
    const qsizetype colon = address.lastIndexOf(QLatin1Char(':'));
    return colon > 0 ? address.left(colon) : address;
}

} // namespace

QString logEventText(const LogEvent& e) {
    const QString player = e.player ? who(*e.player) : QString();
    switch (e.kind) {
    case LogKind::Join:
        return player + QStringLiteral(" from ") + hostOf(e.address);
    case LogKind::Enter:
        return player + QStringLiteral(" entered the game");
    case LogKind::Leave:
        return player + QStringLiteral(" left") +
               (e.reason.isEmpty() ? QString() : QStringLiteral(" (") + e.reason + QLatin1Char(')'));
    case LogKind::Team:
        return player + QStringLiteral(" joined team ") + e.text;
    case LogKind::Name:
        return player + QStringLiteral(" is now ") + e.text;
    case LogKind::Say:
        return (e.player ? player : QStringLiteral("Server")) + QStringLiteral(": ") + e.text;
    case LogKind::SayTeam:
        return player + QStringLiteral(" to the team: ") + e.text;
    case LogKind::Kill:
        return player + QStringLiteral(" killed ") + (e.victim ? who(*e.victim) : QString()) +
               QStringLiteral(" with ") + e.text;
    case LogKind::Suicide:
        return player + QStringLiteral(" died by ") + e.text;
    case LogKind::Trigger:
        return player + QStringLiteral(" ") + e.text;
    case LogKind::Map:
        return e.text;
    case LogKind::LogStart:
        return QStringLiteral("log file started ") + e.text;
    case LogKind::LogEnd:
        return QStringLiteral("log file closed");
    case LogKind::Cvar:
        return e.text + QStringLiteral(" = ") + e.reason;
    case LogKind::Kick:
        return player + QStringLiteral(" kicked by ") + e.text +
               (e.reason.isEmpty() ? QString() : QStringLiteral(": ") + e.reason);
    case LogKind::Rcon:
        return QStringLiteral("console from ") + hostOf(e.address) + QStringLiteral(": ") + e.text;
    case LogKind::BadRcon:
        return QStringLiteral("wrong console password from ") + hostOf(e.address) + QStringLiteral(": ") +
               e.text;
    case LogKind::Other:
        break;
    }
    return e.raw;
}

namespace {

// The password of each "rcon CHALLENGE PASSWORD" in `out`, masked.
void maskConsolePasswords(QString& out) {
    static const QStringMatcher rcon(u"rcon ", Qt::CaseInsensitive);
    qsizetype at = 0;
    while ((at = rcon.indexIn(out, at)) >= 0) {
        at += 5;
        qsizetype i = at;
        auto skipBlanks = [&] {
            while (i < out.size() && out[i] == QLatin1Char(' '))
                ++i;
        };
        skipBlanks();
        // The challenge, unless a quote opens the password straight away.
        if (i < out.size() && out[i] != QLatin1Char('"')) {
            const qsizetype blank = out.indexOf(QLatin1Char(' '), i);
            if (blank < 0) break;
            i = blank;
            skipBlanks();
        }
        if (i >= out.size()) break;
        qsizetype start = i, end = 0;
        if (out[i] == QLatin1Char('"')) {
            start = i + 1;
            end = out.indexOf(QLatin1Char('"'), start);
            if (end < 0) end = out.size();
        } else {
            end = out.indexOf(QLatin1Char(' '), start);
            if (end < 0) end = out.size();
        }
        out.replace(start, end - start, QStringLiteral("***"));
        at = start + 3;
    }
}

// The value of a password cvar's line, should the engine write it.
void maskPasswordCvars(QString& out) {
    for (const QLatin1String cvar :
         {QLatin1String("\"rcon_password\" = \""), QLatin1String("\"sv_password\" = \"")}) {
        const qsizetype found = out.indexOf(cvar, 0, Qt::CaseInsensitive);
        if (found < 0) continue;
        const qsizetype start = found + cvar.size();
        const qsizetype end = out.indexOf(QLatin1Char('"'), start);
        out.replace(start, (end < 0 ? out.size() : end) - start, QStringLiteral("***"));
    }
}

} // namespace

QString maskLogPasswords(const QString& text) {
    QString out = text;
    maskConsolePasswords(out);
    maskPasswordCvars(out);
    return out;
}

namespace {

// The event after the time stamp; `event` is e.raw before any mask.
LogEvent readEvent(LogEvent e, QStringView event) {

    if (event.startsWith(u'"')) {
        // The player's string ends at a '>"' followed by a blank (or the line's end) and a known event.
        std::optional<LogPlayer> first;
        for (qsizetype close = event.indexOf(u">\"", 1); close >= 0;
             close = event.indexOf(u">\"", close + 1)) {
            const qsizetype after = close + 2;
            if (after < event.size() && event[after] != u' ') continue;
            const auto player = playerOf(event.mid(1, close));
            if (!player) continue;
            if (!first) first = player;
            LogEvent candidate = e;
            candidate.player = player;
            if (readPlayerEvent(candidate, after < event.size() ? event.mid(after + 1) : QStringView())) {
                if (candidate.kind == LogKind::Say || candidate.kind == LogKind::SayTeam)
                    candidate.text = maskLogPasswords(candidate.text);
                return candidate;
            }
        }
        e.player = first;
        return e;
    }
    if (event.startsWith(u"Started map \"")) {
        e.kind = LogKind::Map;
        e.text = upToQuote(event.mid(13));
    } else if (event.startsWith(u"Log file started")) {
        e.kind = LogKind::LogStart;
        const qsizetype file = event.indexOf(u"(file \"");
        if (file >= 0) e.text = upToQuote(event.mid(file + 7));
    } else if (event.startsWith(u"Log file closed")) {
        e.kind = LogKind::LogEnd;
    } else if (event.startsWith(u"Server cvar \"")) {
        e.kind = LogKind::Cvar;
        const QStringView rest = event.mid(13);
        e.text = upToQuote(rest);
        const qsizetype value = rest.indexOf(u"\" = \"");
        if (value >= 0)
            e.reason = isPasswordCvar(e.text) ? QStringLiteral("***") : lastQuoted(rest, value + 4);
    } else if (event.startsWith(u"Server say \"")) {
        e.kind = LogKind::Say;
        e.text = maskLogPasswords(lastQuoted(event));
    } else if (event.startsWith(u"Kick: \"")) {
        const QStringView rest = event.mid(7);
        const qsizetype by = rest.indexOf(u"\" was kicked by \"");
        if (by < 0) return e;
        e.player = playerOf(rest.left(by));
        if (!e.player) return e;
        e.kind = LogKind::Kick;
        const QStringView after = rest.mid(by + 17);
        e.text = upToQuote(after);
        const qsizetype message = after.indexOf(u"(message \"");
        if (message >= 0) e.reason = lastQuoted(after, message + 9);
    } else if (event.startsWith(u"Rcon: ")) {
        e.kind = LogKind::Rcon;
        readConsoleLogin(e, event.mid(6));
    } else if (event.startsWith(u"Bad Rcon: ")) {
        e.kind = LogKind::BadRcon;
        readConsoleLogin(e, event.mid(10));
    }
    return e;
}

// The event read, then the line's passwords masked.
LogEvent finish(LogEvent e) {
    if (e.time.isValid()) {
        const QString event = e.raw; // shared, not copied: the views of the reading point into it
        e = readEvent(std::move(e), event);
    }
    maskConsolePasswords(e.raw);
    if (e.kind == LogKind::Cvar || e.raw.startsWith(QLatin1String("Server cvar \"")))
        maskPasswordCvars(e.raw);
    return e;
}

} // namespace

LogEvent parseLogLine(QStringView line) {
    while (line.endsWith(u'\r') || line.endsWith(u'\n'))
        line.chop(1);
    LogEvent e;
    e.time = stampOf(line);
    e.raw = (e.time.isValid() ? line.mid(kStampLength) : line).toString();
    return finish(std::move(e));
}

LogEvent parseLogLine(QByteArrayView line) {
    while (line.endsWith('\r') || line.endsWith('\n'))
        line.chop(1);
    LogEvent e;
    e.time = stampOf(line);
    e.raw = QString::fromUtf8(e.time.isValid() ? line.sliced(kStampLength) : line);
    return finish(std::move(e));
}

} // namespace tarrow::live
