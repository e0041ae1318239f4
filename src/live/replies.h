#pragma once

// The replies of the engine's server queries, read from the bytes of a datagram. Every count and length
// is checked against the bytes received: a broken or hostile reply gives an error text, never a read
// past its end or an allocation larger than the reply.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace tarrow::live {

// The four bytes every unsplit reply and request starts with.
inline const QByteArray kPrefix("\xFF\xFF\xFF\xFF", 4);

// What the info query tells (the "I" reply, or the obsolete "m" one).
struct ServerInfo {
    int protocol = 0;
    QString name, map, folder, game, version;
    int appId = 0;
    int players = 0, maxPlayers = 0, bots = 0;
    bool dedicated = false; // server type 'd'
    QString os;             // "linux", "windows", "mac" or the letter as sent
    bool password = false, vac = false;
    std::optional<int> port;
    std::optional<quint64> steamId, gameId;
    // People apart from bots.
    int humans() const { return players > bots ? players - bots : 0; }
};

struct PlayerEntry {
    int index = 0;
    QString name;
    qint32 score = 0;
    float seconds = 0; // as the wire has it: any float
    // How long the player has been on, in whole seconds; none for a time that is not one (not finite,
    // negative, or longer than a year).
    std::optional<qint64> connectedSeconds() const;
};

using Rules = QList<QPair<QString, QString>>;

// A reply's kind: its first byte after the four 0xFF.
enum class ReplyKind { Challenge, Info, ObsoleteInfo, Players, Rules, Rcon, Other };
// The kind of `payload` (a whole reply, prefix included); Other when it is too short or unknown.
ReplyKind replyKind(const QByteArray& payload);

// The four challenge bytes of an "A" reply.
std::optional<QByteArray> parseChallenge(const QByteArray& payload, QString* error);
std::optional<ServerInfo> parseInfo(const QByteArray& payload, QString* error);
std::optional<QList<PlayerEntry>> parsePlayers(const QByteArray& payload, QString* error);
std::optional<Rules> parseRules(const QByteArray& payload, QString* error);

// Puts split replies together: the engine's header (0xFE 0xFF 0xFF 0xFF, a 4-byte id, one byte whose
// high nibble is the packet's number and low nibble the total) and the newer one (the id, a total byte, a
// number byte, a 2-byte size). Packets may come in any order; a reply is given only once every packet of
// it is there.
class SplitAssembler {
  public:
    // Takes one datagram. Returns the whole reply (prefix included) when this datagram was an unsplit
    // reply, or the last missing packet of a split one; none otherwise. `error` names a packet refused.
    std::optional<QByteArray> feed(const QByteArray& datagram, QString* error = nullptr);

  private:
    struct Pending {
        qint32 id = 0;
        QList<QByteArray> datagrams;
    };
    std::optional<QByteArray> assemble(const Pending& p) const;
    QList<Pending> pending_;
};

// Console output of an rcon "l" reply (its text after the type byte); none for another reply.
std::optional<QString> rconText(const QByteArray& payload);
// The challenge number of "challenge rcon <number>\n"; none for another reply.
std::optional<QString> rconChallenge(const QByteArray& payload);

} // namespace tarrow::live
