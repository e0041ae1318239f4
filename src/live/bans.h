#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tarrow::live {

// One ban of the server: a unique id or an address, in the files the server reads at its start
// (banned.cfg, listip.cfg: "saved"), in the running server's lists ("live"), or both.
struct BanEntry {
    QString value; // STEAM_0:1:1234, or 203.0.113.7
    bool address = false;
    bool saved = false;
    bool live = false;
    QString lasts; // as the server says it: "permanent", "30.000 min"; empty when not live
};

// Whether `text` is an address (four numbers) rather than a unique id.
bool isBanAddress(const QString& text);

// The ids of banned.cfg ("banid MINUTES ID") or the addresses of listip.cfg ("addip MINUTES IP").
QStringList bansInFile(const QStringList& lines, bool addresses);
// The file with the ban of `value` added (none when it is there) or removed; every other line stays.
QStringList withBan(const QStringList& lines, const QString& value, bool addresses);
QStringList withoutBan(const QStringList& lines, const QString& value, bool addresses);

struct LiveBan {
    QString value, lasts;
};
// The console's answer to listid ("1 STEAM_0:1:1234 : permanent") or listip ("1.2.3.4 : 30.000 min").
QList<LiveBan> bansInConsole(const QString& output, bool addresses);

// A player as the console's `status` lists them: # 1 "Alice" 2 STEAM_0:1:1234 12 13:32 50 0 1.2.3.4:5.
struct StatusPlayer {
    QString name;
    int uid = -1;
    QString id;      // BOT for a bot
    QString address; // ip:port; empty for a bot
    bool bot() const { return id.compare(QLatin1String("BOT"), Qt::CaseInsensitive) == 0; }
};
QList<StatusPlayer> playersInStatus(const QString& output);

// The saved and the live lists as one, saved ones first, each value once.
QList<BanEntry> mergeBans(const QStringList& savedIds, const QStringList& savedAddresses,
                          const QList<LiveBan>& liveIds, const QList<LiveBan>& liveAddresses);

} // namespace tarrow::live
