#include "people.h"

namespace tarrow::live {

namespace {

QString keyOf(const LogPlayer& p) {
    if (p.bot()) return QStringLiteral("BOT ") + p.name;
    if (p.sharedId()) return p.id + QLatin1Char('#') + QString::number(p.uid);
    return p.id;
}

} // namespace

PeopleCounter::Person& PeopleCounter::personOf(const LogPlayer& player, const QDateTime& time) {
    const QString key = keyOf(player);
    auto it = index_.find(key);
    if (it == index_.end()) {
        Person p;
        p.bot = player.bot();
        p.summary.id = player.id;
        p.summary.firstSeen = time;
        people_.append(p);
        it = index_.insert(key, people_.size() - 1);
    }
    Person& p = people_[*it];
    if (!player.name.isEmpty() && !p.summary.names.contains(player.name)) p.summary.names << player.name;
    p.summary.lastSeen = time;
    return p;
}

void PeopleCounter::end(Person& p, const QDateTime& time) {
    if (!p.inSince.isValid()) return;
    p.summary.seconds += std::max<qint64>(0, p.inSince.secsTo(time));
    p.inSince = {};
}

void PeopleCounter::noteDay(const QDateTime& time) {
    int& peak = peaks_[time.date()];
    peak = std::max(peak, int(inGame_.size()));
}

void PeopleCounter::add(const LogEvent& e) {
    if (!e.time.isValid()) return;
    last_ = e.time;
    if (e.kind == LogKind::LogStart) {
        // The engine began anew (a map change, a restart after a crash): nobody is in the game now.
        for (Person& p : people_) {
            if (!p.inSince.isValid()) continue;
            end(p, e.time);
            p.goesOn = true;
        }
        inGame_.clear();
        return;
    }
    if (!e.player) return;
    if (e.kind == LogKind::Name && !e.text.isEmpty()) {
        LogPlayer renamed = *e.player;
        renamed.name = e.text;
        personOf(renamed, e.time);
        return;
    }
    if (e.kind != LogKind::Enter && e.kind != LogKind::Leave && e.kind != LogKind::Join &&
        e.kind != LogKind::Say && e.kind != LogKind::SayTeam && e.kind != LogKind::Team)
        return;
    if (e.player->id == QLatin1String("HLTV")) return;
    Person& p = personOf(*e.player, e.time);
    const QString key = keyOf(*e.player);
    // A new connection begins a new session; entering again after a map change goes on with the old one.
    if (e.kind == LogKind::Join) p.goesOn = false;
    if (e.kind == LogKind::Enter) {
        if (p.inSince.isValid()) return;
        if (!p.goesOn) ++p.summary.sessions;
        p.goesOn = false;
        p.inSince = e.time;
        if (!p.bot) {
            inGame_.insert(key);
            noteDay(e.time);
        }
    } else if (e.kind == LogKind::Leave) {
        end(p, e.time);
        p.goesOn = false;
        inGame_.remove(key);
    }
}

PeopleSummary PeopleCounter::summary() const {
    PeopleSummary s;
    for (Person p : people_) {
        if (p.inSince.isValid()) p.summary.seconds += std::max<qint64>(0, p.inSince.secsTo(last_));
        if (p.bot) {
            ++s.botNames;
            s.botSessions += p.summary.sessions;
            s.botSeconds += p.summary.seconds;
            continue;
        }
        s.people.append(p.summary);
    }
    for (auto it = peaks_.begin(); it != peaks_.end(); ++it)
        s.peaks.append({it.key(), it.value()});
    return s;
}

} // namespace tarrow::live
