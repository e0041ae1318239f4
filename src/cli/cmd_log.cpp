// The server's log: what happened (log) and who came (people).
#include "command.h"
#include "common/paths.h"
#include "live/logfiles.h"
#include "live/people.h"
#include "output.h"
#include "service/restart.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QSet>
#include <QTimer>

namespace tarrow::cli {

namespace {

using live::LogEvent;
using live::LogLine;

// Times as the server wrote them (its own clock, no zone), in JSON.
const QString kJsonTime = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

// The server's wall clock now, with no zone, as the log's time stamps are kept.
QDateTime wallClockNow() {
    const QDateTime now = QDateTime::currentDateTime();
    return QDateTime(now.date(), now.time(), Qt::UTC);
}

// --since: a time (yyyy-MM-dd, with HH:mm or HH:mm:ss) or a duration back from now.
std::optional<QDateTime> sinceOf(const QString& text) {
    for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-dd"}) {
        const QDateTime t = QDateTime::fromString(text.trimmed(), QLatin1String(format));
        if (t.isValid()) return QDateTime(t.date(), t.time(), Qt::UTC);
    }
    const std::optional<qint64> seconds = service::parseDuration(text);
    if (!seconds || *seconds < 0) return std::nullopt;
    return wallClockNow().addSecs(-*seconds);
}

QString timeText(const QDateTime& t) {
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString(19, QLatin1Char(' '));
}

QString durationText(qint64 s) {
    if (s >= 3600)
        return QStringLiteral("%1h%2m").arg(s / 3600).arg((s % 3600) / 60, 2, 10, QLatin1Char('0'));
    if (s >= 60) return QStringLiteral("%1m%2s").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1s").arg(s);
}

QJsonObject playerJson(const live::LogPlayer& p) {
    return {{QStringLiteral("name"), p.name},
            {QStringLiteral("uid"), p.uid},
            {QStringLiteral("id"), p.id},
            {QStringLiteral("team"), p.team},
            {QStringLiteral("bot"), p.bot()}};
}

QJsonObject eventJson(const LogLine& l) {
    const LogEvent& e = l.event;
    QJsonObject o{
        {QStringLiteral("time"), e.time.isValid() ? QJsonValue(e.time.toString(kJsonTime)) : QJsonValue()},
        {QStringLiteral("kind"), QLatin1String(live::logKindWord(e.kind))},
        {QStringLiteral("group"), QLatin1String(live::logKindGroup(e.kind))},
        {QStringLiteral("text"), e.text},
        {QStringLiteral("raw"), e.raw},
        {QStringLiteral("file"), l.file},
        {QStringLiteral("line"), l.line > 0 ? QJsonValue(double(l.line)) : QJsonValue()}};
    if (e.player) o.insert(QStringLiteral("player"), playerJson(*e.player));
    if (e.victim) o.insert(QStringLiteral("victim"), playerJson(*e.victim));
    if (!e.address.isEmpty()) o.insert(QStringLiteral("address"), e.address);
    if (!e.reason.isEmpty()) o.insert(QStringLiteral("reason"), e.reason);
    return o;
}

QString eventLine(const LogEvent& e) {
    return timeText(e.time) + QStringLiteral("  ") +
           QString::fromLatin1(live::logKindWord(e.kind)).leftJustified(6) + QLatin1Char(' ') +
           live::logEventText(e);
}

struct LogFilter {
    std::optional<QDateTime> since;
    QSet<QString> groups; // empty: all
    bool peopleOnly = false;

    bool passes(const LogEvent& e) const {
        if (since && (!e.time.isValid() || e.time < *since)) return false;
        if (!groups.isEmpty() && !groups.contains(QLatin1String(live::logKindGroup(e.kind)))) return false;
        return !(peopleOnly && e.player && !e.player->person());
    }
};

// The filter of --since, --kinds and --people-only; nullopt (with the error said) on a bad option.
std::optional<LogFilter> filterOf(const Invocation& c) {
    LogFilter f;
    if (c.isSet(c.o.since)) {
        f.since = sinceOf(c.value(c.o.since));
        if (!f.since) {
            fail(QStringLiteral("--since takes a time (yyyy-MM-dd HH:mm) or a duration (90m, 2h, 7d)"));
            return std::nullopt;
        }
    }
    static const QStringList groups{QStringLiteral("joins"), QStringLiteral("chat"), QStringLiteral("kills"),
                                    QStringLiteral("rcon"),  QStringLiteral("map"),  QStringLiteral("other")};
    for (const QString& word : c.value(c.o.kinds).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString g = word.trimmed().toLower();
        if (!groups.contains(g)) {
            fail(QStringLiteral("unknown kind '%1'; --kinds takes %2")
                     .arg(g, groups.join(QStringLiteral(","))));
            return std::nullopt;
        }
        f.groups.insert(g);
    }
    f.peopleOnly = c.isSet(c.o.peopleOnly);
    return f;
}

// The installation's log folder, native; empty (with the error said) when it holds no log.
QString logsFolderOf(const Invocation& c) {
    QString folder = nativePath(c.installation().paths().logsFolder);
    if (!live::logFilesInOrder(folder).isEmpty()) return folder;
    fail(QStringLiteral("no log files in %1: the server writes them once server.cfg has \"log on\"")
             .arg(folder));
    return {};
}

void sayNotes(live::LogFollower& follower) {
    for (const QString& note : follower.takeNotes())
        err() << "tarrow: " << note << Qt::endl;
}

int showLog(const Invocation& c) {
    const auto filter = filterOf(c);
    if (!filter) return code(Exit::Error);
    const QString folder = logsFolderOf(c);
    if (folder.isEmpty()) return code(Exit::Error);
    const bool json = c.isSet(c.o.json);
    live::LogFollower follower(folder);
    const auto print = [&](const LogLine& l) {
        if (!filter->passes(l.event)) return;
        if (json)
            out() << QJsonDocument(eventJson(l)).toJson(QJsonDocument::Compact) << '\n';
        else
            out() << eventLine(l.event) << '\n';
    };
    follower.poll(print);
    sayNotes(follower);
    out().flush();
    if (!c.isSet(c.o.follow)) return code(Exit::Done);
    // Until interrupted: the engine's new lines as they come.
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        follower.poll(print);
        sayNotes(follower);
        out().flush();
    });
    timer.start(1000);
    return QCoreApplication::exec();
}

int showPeople(const Invocation& c) {
    const auto filter = filterOf(c);
    if (!filter) return code(Exit::Error);
    const QString folder = logsFolderOf(c);
    if (folder.isEmpty()) return code(Exit::Error);
    live::LogFollower follower(folder);
    live::PeopleCounter counter;
    follower.poll([&](const LogLine& l) {
        // The engine's new starts end sessions whatever the filter: they are always counted.
        if (l.event.kind == live::LogKind::LogStart || filter->passes(l.event)) counter.add(l.event);
    });
    sayNotes(follower);
    const live::PeopleSummary s = counter.summary();
    const auto stamp = [](const QDateTime& t) { return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); };
    if (c.isSet(c.o.json)) {
        QJsonArray people, peaks;
        for (const live::PersonSummary& p : s.people)
            people.append(QJsonObject{{QStringLiteral("id"), p.id},
                                      {QStringLiteral("names"), QJsonArray::fromStringList(p.names)},
                                      {QStringLiteral("firstSeen"), p.firstSeen.toString(kJsonTime)},
                                      {QStringLiteral("lastSeen"), p.lastSeen.toString(kJsonTime)},
                                      {QStringLiteral("sessions"), p.sessions},
                                      {QStringLiteral("seconds"), double(p.seconds)}});
        for (const live::DayPeak& d : s.peaks)
            peaks.append(QJsonObject{{QStringLiteral("day"), d.day.toString(Qt::ISODate)},
                                     {QStringLiteral("people"), d.people}});
        printJson(QJsonDocument(QJsonObject{
            {QStringLiteral("people"), people},
            {QStringLiteral("bots"), QJsonObject{{QStringLiteral("names"), s.botNames},
                                                 {QStringLiteral("sessions"), s.botSessions},
                                                 {QStringLiteral("seconds"), double(s.botSeconds)}}},
            {QStringLiteral("peaks"), peaks}}));
        return code(Exit::Done);
    }
    out() << QStringLiteral("PERSON").leftJustified(20) << "  "
          << QStringLiteral("FIRST SEEN").leftJustified(19) << "  "
          << QStringLiteral("LAST SEEN").leftJustified(19) << "  SESSIONS  TIME      NAMES" << Qt::endl;
    for (const live::PersonSummary& p : s.people)
        out() << p.id.leftJustified(20) << "  " << stamp(p.firstSeen) << "  " << stamp(p.lastSeen) << "  "
              << QString::number(p.sessions).rightJustified(8) << "  "
              << durationText(p.seconds).leftJustified(8) << "  " << p.names.join(QStringLiteral(", "))
              << Qt::endl;
    if (s.people.isEmpty()) out() << "Nobody but bots in the log." << Qt::endl;
    out() << "Bots: " << s.botNames << (s.botNames == 1 ? " name, " : " names, ") << s.botSessions
          << (s.botSessions == 1 ? " session, " : " sessions, ") << durationText(s.botSeconds)
          << " in the game" << Qt::endl;
    QStringList peaks;
    for (const live::DayPeak& d : s.peaks)
        peaks << d.day.toString(Qt::ISODate) + QLatin1Char(' ') + QString::number(d.people);
    if (!peaks.isEmpty()) out() << "Most people at once: " << peaks.join(QStringLiteral(", ")) << Qt::endl;
    return code(Exit::Done);
}

} // namespace

QList<Command> logCommands() {
    return {
        {.name = "log",
         .synopsis = "log [--follow] [--since T] [--kinds L] [--json]",
         .summary = "the server's log: joins, chat, kills, console logins",
         .options = {{&Options::follow},
                     {&Options::since},
                     {&Options::kinds},
                     {&Options::peopleOnly},
                     {&Options::json}},
         .run = showLog,
         .place = 112},
        {.name = "people",
         .synopsis = "people [--since T] [--json]",
         .summary = "who came, apart from the bots, and the most at once each day",
         .options = {{&Options::since}, {&Options::json}},
         .run = showPeople,
         .place = 114},
    };
}

} // namespace tarrow::cli
