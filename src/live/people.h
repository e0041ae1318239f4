#pragma once

#include "logline.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>

namespace tarrow::live {

// One person as the log knows them, by their unique id.
struct PersonSummary {
    QString id;
    QStringList names; // every name used, in the order first used
    QDateTime firstSeen, lastSeen;
    int sessions = 0;
    qint64 seconds = 0; // in the game: from "entered the game" to "disconnected"
};

struct DayPeak {
    QDate day;
    int people = 0; // the most people in the game at once that day
};

struct PeopleSummary {
    QList<PersonSummary> people; // in the order first seen
    // The bots, counted apart: how many names, how many sessions, how long in all.
    int botNames = 0;
    int botSessions = 0;
    qint64 botSeconds = 0;
    QList<DayPeak> peaks; // by day
};

// Counts people from log events, oldest first. A session runs from "entered the game" to
// "disconnected"; one left open (by a map change or a crash) ends at the next "Log file started", and
// when the same person enters again in that file, it goes on as the same session. Bots are counted
// apart. An id the engine gives many people (STEAM_ID_LAN, STEAM_ID_PENDING, ...) is told apart by the
// connection's number.
class PeopleCounter {
  public:
    void add(const LogEvent& event);
    // What the events so far say; a session still open counts up to the last event's time.
    PeopleSummary summary() const;

  private:
    struct Person {
        PersonSummary summary;
        bool bot = false;
        QDateTime inSince;   // valid while in the game
        bool goesOn = false; // a map change or crash ended its session: entering again continues it
    };
    Person& personOf(const LogPlayer& player, const QDateTime& time);
    void end(Person& p, const QDateTime& time);
    void noteDay(const QDateTime& time);

    QHash<QString, qsizetype> index_;
    QList<Person> people_;
    QSet<QString> inGame_; // people (not bots) in the game now
    QMap<QDate, int> peaks_;
    QDateTime last_;
};

} // namespace tarrow::live
