#include "replies.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarrow::live {

namespace {

// Reads a reply front to back; every read checks that its bytes are there.
class Cursor {
  public:
    Cursor(const QByteArray& bytes, qsizetype start) : b_(bytes), at_(start) {}
    bool ok() const { return ok_; }
    qsizetype left() const { return b_.size() - at_; }
    quint8 u8() { return ok_ && need(1) ? quint8(b_[at_++]) : 0; }
    quint16 u16() {
        if (!need(2)) return 0;
        const quint16 v = qFromLittleEndian<quint16>(b_.constData() + at_);
        at_ += 2;
        return v;
    }
    qint32 i32() {
        if (!need(4)) return 0;
        const qint32 v = qFromLittleEndian<qint32>(b_.constData() + at_);
        at_ += 4;
        return v;
    }
    float f32() {
        const qint32 raw = i32();
        float v = 0;
        std::memcpy(&v, &raw, sizeof v);
        return v;
    }
    quint64 u64() {
        if (!need(8)) return 0;
        const quint64 v = qFromLittleEndian<quint64>(b_.constData() + at_);
        at_ += 8;
        return v;
    }
    // A string ended by a zero byte; the zero must be inside the reply.
    QString str() {
        if (!ok_) return {};
        const qsizetype end = b_.indexOf('\0', at_);
        if (end < 0) {
            ok_ = false;
            return {};
        }
        QString s = QString::fromUtf8(b_.constData() + at_, end - at_);
        at_ = end + 1;
        return s;
    }

  private:
    bool need(qsizetype n) {
        if (!ok_ || left() < n) ok_ = false;
        return ok_;
    }
    const QByteArray& b_;
    qsizetype at_;
    bool ok_ = true;
};

template <typename T> std::optional<T> failed(QString* error, const QString& text) {
    if (error) *error = text;
    return std::nullopt;
}

bool expect(const QByteArray& payload, char kind) {
    return payload.size() >= 5 && payload.startsWith(kPrefix) && payload[4] == kind;
}

QString osName(quint8 c) {
    switch (c) {
    case 'l':
    case 'L':
        return QStringLiteral("linux");
    case 'w':
    case 'W':
        return QStringLiteral("windows");
    case 'm':
    case 'o':
        return QStringLiteral("mac");
    default:
        return QString(QLatin1Char(char(c)));
    }
}

const QString kCut = QStringLiteral("the reply ends before its last field");

// The obsolete reply writes the server type in capitals ('D', 'L', 'P'), the newer one in lower case.
bool isDedicated(quint8 type) {
    return type == 'd' || type == 'D';
}

} // namespace

std::optional<qint64> PlayerEntry::connectedSeconds() const {
    constexpr double kYear = 366.0 * 24 * 3600;
    const double s = seconds;
    if (!std::isfinite(s) || s < 0 || s > kYear) return std::nullopt;
    return qint64(s);
}

namespace {

std::optional<ServerInfo> parseSourceInfo(const QByteArray& payload, QString* error) {
    Cursor c(payload, 5);
    ServerInfo i;
    i.protocol = c.u8();
    i.name = c.str();
    i.map = c.str();
    i.folder = c.str();
    i.game = c.str();
    i.appId = c.u16();
    i.players = c.u8();
    i.maxPlayers = c.u8();
    i.bots = c.u8();
    i.dedicated = isDedicated(c.u8());
    i.os = osName(c.u8());
    i.password = c.u8() != 0;
    i.vac = c.u8() != 0;
    i.version = c.str();
    if (!c.ok()) return failed<ServerInfo>(error, kCut);
    if (c.left() == 0) return i;
    const quint8 edf = c.u8();
    if (edf & 0x80) i.port = c.u16();
    if (edf & 0x10) i.steamId = c.u64();
    if (edf & 0x40) {
        c.u16();
        c.str();
    }
    if (edf & 0x20) c.str();
    if (edf & 0x01) i.gameId = c.u64();
    if (!c.ok()) return failed<ServerInfo>(error, QStringLiteral("the reply's extra data ends early"));
    return i;
}

std::optional<ServerInfo> parseObsoleteInfo(const QByteArray& payload, QString* error) {
    Cursor c(payload, 5);
    ServerInfo i;
    c.str(); // the address the server thinks it has
    i.name = c.str();
    i.map = c.str();
    i.folder = c.str();
    i.game = c.str();
    i.players = c.u8();
    i.maxPlayers = c.u8();
    i.protocol = c.u8();
    i.dedicated = isDedicated(c.u8());
    i.os = osName(c.u8());
    i.password = c.u8() != 0;
    if (c.u8() == 1) { // a mod: its links, version, size, kind and library
        c.str();
        c.str();
        c.u8();
        c.i32();
        c.i32();
        c.u8();
        c.u8();
    }
    i.vac = c.u8() != 0;
    i.bots = c.u8();
    if (!c.ok()) return failed<ServerInfo>(error, kCut);
    return i;
}

} // namespace

ReplyKind replyKind(const QByteArray& payload) {
    if (payload.size() < 5 || !payload.startsWith(kPrefix)) return ReplyKind::Other;
    switch (payload[4]) {
    case 'A':
        return ReplyKind::Challenge;
    case 'I':
        return ReplyKind::Info;
    case 'm':
        return ReplyKind::ObsoleteInfo;
    case 'D':
        return ReplyKind::Players;
    case 'E':
        return ReplyKind::Rules;
    case 'l':
        return ReplyKind::Rcon;
    default:
        return ReplyKind::Other;
    }
}

std::optional<QByteArray> parseChallenge(const QByteArray& payload, QString* error) {
    if (!expect(payload, 'A')) return failed<QByteArray>(error, QStringLiteral("not a challenge"));
    if (payload.size() < 9) return failed<QByteArray>(error, QStringLiteral("the challenge is cut short"));
    return payload.mid(5, 4);
}

std::optional<ServerInfo> parseInfo(const QByteArray& payload, QString* error) {
    if (expect(payload, 'I')) return parseSourceInfo(payload, error);
    if (expect(payload, 'm')) return parseObsoleteInfo(payload, error);
    return failed<ServerInfo>(error, QStringLiteral("not an info reply"));
}

std::optional<QList<PlayerEntry>> parsePlayers(const QByteArray& payload, QString* error) {
    if (!expect(payload, 'D')) return failed<QList<PlayerEntry>>(error, QStringLiteral("not a player list"));
    Cursor c(payload, 5);
    const int count = c.u8();
    QList<PlayerEntry> out;
    // Each entry takes at least 10 bytes: a count the bytes cannot hold is a lie.
    if (!c.ok() || c.left() < qsizetype(count) * 10)
        return failed<QList<PlayerEntry>>(error, QStringLiteral("the player list is shorter than its count"));
    out.reserve(count);
    for (int n = 0; n < count; ++n) {
        PlayerEntry p;
        p.index = c.u8();
        p.name = c.str();
        p.score = c.i32();
        p.seconds = c.f32();
        if (!c.ok()) return failed<QList<PlayerEntry>>(error, kCut);
        out.append(p);
    }
    return out;
}

std::optional<Rules> parseRules(const QByteArray& payload, QString* error) {
    if (!expect(payload, 'E')) return failed<Rules>(error, QStringLiteral("not a rules reply"));
    Cursor c(payload, 5);
    const int count = c.u16();
    // Two zero bytes at least per rule.
    if (!c.ok() || c.left() < qsizetype(count) * 2)
        return failed<Rules>(error, QStringLiteral("the rules are shorter than their count"));
    Rules out;
    out.reserve(count);
    for (int n = 0; n < count; ++n) {
        const QString name = c.str();
        const QString value = c.str();
        if (!c.ok()) return failed<Rules>(error, kCut);
        out.append({name, value});
    }
    return out;
}

namespace {

const QByteArray kSplit("\xFE\xFF\xFF\xFF", 4);
constexpr int kMostPending = 4;
constexpr int kMostPackets = 32;

struct Piece {
    int number = 0, total = 0;
    QByteArray data;
};

// A datagram read under one of the two headers; none when the header does not fit it.
std::optional<Piece> readPiece(const QByteArray& d, bool engine) {
    Piece p;
    if (engine) {
        if (d.size() < 9) return std::nullopt;
        const quint8 b = quint8(d[8]);
        p.number = b >> 4;
        p.total = b & 0x0F;
        p.data = d.mid(9);
    } else {
        if (d.size() < 12) return std::nullopt;
        p.total = quint8(d[8]);
        p.number = quint8(d[9]);
        p.data = d.mid(12);
    }
    if (p.total < 1 || p.total > kMostPackets || p.number >= p.total) return std::nullopt;
    return p;
}

} // namespace

std::optional<QByteArray> SplitAssembler::assemble(const Pending& pending) const {
    for (const bool engine : {true, false}) {
        QList<std::optional<Piece>> pieces;
        int total = -1;
        bool fits = true;
        for (const QByteArray& d : pending.datagrams) {
            auto p = readPiece(d, engine);
            if (!p || (total >= 0 && p->total != total)) {
                fits = false;
                break;
            }
            total = p->total;
            pieces.resize(total);
            if (pieces[p->number]) continue; // a repeat
            pieces[p->number] = std::move(p);
        }
        if (!fits || total < 0) continue;
        if (std::any_of(pieces.begin(), pieces.end(), [](const auto& p) { return !p.has_value(); })) continue;
        QByteArray whole;
        for (const auto& p : pieces)
            whole += p->data;
        // What the pieces make is a reply of its own: the header tells which reading was right.
        if (whole.startsWith(kPrefix)) return whole;
    }
    return std::nullopt;
}

std::optional<QByteArray> SplitAssembler::feed(const QByteArray& datagram, QString* error) {
    if (datagram.startsWith(kPrefix)) return datagram;
    if (!datagram.startsWith(kSplit) || datagram.size() < 9) {
        if (error) *error = QStringLiteral("not a reply of the server's");
        return std::nullopt;
    }
    const qint32 id = qFromLittleEndian<qint32>(datagram.constData() + 4);
    auto it = std::find_if(pending_.begin(), pending_.end(), [id](const Pending& p) { return p.id == id; });
    if (it == pending_.end()) {
        if (pending_.size() >= kMostPending) pending_.removeFirst();
        pending_.append(Pending{id, {}});
        it = pending_.end() - 1;
    }
    if (it->datagrams.size() >= kMostPackets) {
        if (error) *error = QStringLiteral("too many packets for one reply");
        pending_.erase(it);
        return std::nullopt;
    }
    it->datagrams.append(datagram);
    auto whole = assemble(*it);
    if (whole) pending_.erase(it);
    return whole;
}

std::optional<QString> rconText(const QByteArray& payload) {
    if (!expect(payload, 'l')) return std::nullopt;
    QByteArray text = payload.mid(5);
    while (text.endsWith('\0'))
        text.chop(1);
    return QString::fromUtf8(text);
}

std::optional<QString> rconChallenge(const QByteArray& payload) {
    static const QByteArray head = kPrefix + "challenge rcon ";
    if (!payload.startsWith(head)) return std::nullopt;
    QByteArray number = payload.mid(head.size()).trimmed();
    while (number.endsWith('\0'))
        number.chop(1);
    bool ok = false;
    number.toULongLong(&ok);
    if (!ok) return std::nullopt;
    return QString::fromLatin1(number);
}

} // namespace tarrow::live
