#pragma once

// A game server on 127.0.0.1 with the engine's habits, for the tests of the live query and the remote
// console: a challenge before every answer, split replies (either header, out of order), rcon output in
// several datagrams, a refused password, the ban after five wrong ones, silence.
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QNetworkProxy>
#include <QObject>
#include <QPair>
#include <QStringList>
#include <QThread>
#include <QUdpSocket>
#include <QtEndian>

namespace tarrow::test {

class FakeServer : public QObject {
  public:
    enum class Split { None, Engine, Newer };

    FakeServer() {
        // A test may set an application proxy: the fake server is always reached directly.
        socket_.setProxy(QNetworkProxy::NoProxy);
        socket_.bind(QHostAddress::LocalHost, 0);
        connect(&socket_, &QUdpSocket::readyRead, this, [this] { answer(); });
    }
    quint16 port() const { return socket_.localPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:") + QString::number(port()); }

    // What the server says about itself.
    QString name = QStringLiteral("Tarrow Test Server"), map = QStringLiteral("2fort");
    int players = 5, maxPlayers = 20, bots = 3;
    QList<QPair<QString, float>> playerList{{QStringLiteral("Alice"), 812.5f},
                                            {QStringLiteral("[TB] Bot1"), 30.f}};
    QList<QPair<QString, QString>> rules{{QStringLiteral("mp_timelimit"), QStringLiteral("30")},
                                         {QStringLiteral("sv_gravity"), QStringLiteral("800")}};
    bool obsoleteInfo =
        false; // the old "m" reply, with the server type and system in capitals as the engine writes them
    Split split = Split::None; // how the rules reply comes
    bool silent = false;
    // The remote console.
    QString rconPassword = QStringLiteral("secret");
    QStringList rconOutput{QStringLiteral("hostname: Tarrow Test Server\n"), QStringLiteral("map: 2fort\n"),
                           QStringLiteral("players: 5\n")};
    QStringList commands;                // the rcon commands accepted
    QHash<QString, QString> rconReplies; // a command's own output, instead of rconOutput
    int badPasswords = 0;
    int requests = 0;

    static QByteArray str(const QString& s) { return s.toUtf8() + '\0'; }
    static QByteArray le16(quint16 v) {
        QByteArray b(2, '\0');
        qToLittleEndian(v, b.data());
        return b;
    }
    static QByteArray le32(qint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    }

    QByteArray infoReply() const {
        const QByteArray p("\xFF\xFF\xFF\xFF", 4);
        if (obsoleteInfo)
            return p + 'm' + str("127.0.0.1:27015") + str(name) + str(map) + str("tfc") +
                   str("Team Fortress Classic") + char(players) + char(maxPlayers) + char(47) + 'D' + 'L' +
                   char(0) + char(0) + char(1) + char(bots);
        return p + 'I' + char(48) + str(name) + str(map) + str("tfc") + str("Team Fortress Classic") +
               le16(20) + char(players) + char(maxPlayers) + char(bots) + 'd' + 'l' + char(0) + char(1) +
               str("1.1.2.2/Stdio") + char(0x80) + le16(27015);
    }
    QByteArray playersReply() const {
        QByteArray r = QByteArray("\xFF\xFF\xFF\xFF", 4) + 'D' + char(playerList.size());
        for (int i = 0; i < playerList.size(); ++i) {
            float seconds = playerList[i].second;
            qint32 raw;
            std::memcpy(&raw, &seconds, 4);
            r += char(i) + str(playerList[i].first) + le32(i + 3) + le32(raw);
        }
        return r;
    }
    QByteArray rulesReply() const {
        QByteArray r = QByteArray("\xFF\xFF\xFF\xFF", 4) + 'E' + le16(quint16(rules.size()));
        for (const auto& [k, v] : rules)
            r += str(k) + str(v);
        return r;
    }

  private:
    void send(const QByteArray& bytes, const QNetworkDatagram& to) {
        socket_.writeDatagram(bytes, to.senderAddress(), quint16(to.senderPort()));
    }
    // A reply in three packets, sent last first.
    void sendSplit(const QByteArray& whole, const QNetworkDatagram& to) {
        const int n = 3;
        const qsizetype size = (whole.size() + n - 1) / n;
        QList<QByteArray> packets;
        for (int i = 0; i < n; ++i) {
            QByteArray head = QByteArray("\xFE\xFF\xFF\xFF", 4) + le32(0x1234);
            if (split == Split::Engine)
                head += char((i << 4) | n);
            else
                head += QByteArray(1, char(n)) + char(i) + le16(1248);
            packets << head + whole.mid(i * size, size);
        }
        for (qsizetype i = packets.size() - 1; i >= 0; --i)
            send(packets[i], to);
    }
    void answer() {
        while (socket_.hasPendingDatagrams()) {
            const QNetworkDatagram d = socket_.receiveDatagram();
            ++requests;
            if (silent) continue;
            const QByteArray q = d.data();
            const QByteArray challenge("\x12\x34\x56\x78", 4);
            const QByteArray challengeReply = QByteArray("\xFF\xFF\xFF\xFF", 4) + 'A' + challenge;
            if (q.startsWith("\xFF\xFF\xFF\xFFTSource Engine Query")) {
                send(q.endsWith(challenge) ? infoReply() : challengeReply, d);
            } else if (q.startsWith("\xFF\xFF\xFF\xFFU")) {
                send(q.endsWith(challenge) ? playersReply() : challengeReply, d);
            } else if (q.startsWith("\xFF\xFF\xFF\xFFV")) {
                if (!q.endsWith(challenge))
                    send(challengeReply, d);
                else if (split == Split::None)
                    send(rulesReply(), d);
                else
                    sendSplit(rulesReply(), d);
            } else if (q == QByteArray("\xFF\xFF\xFF\xFF"
                                       "challenge rcon\n")) {
                if (badPasswords >= 5) continue; // banned
                send(QByteArray("\xFF\xFF\xFF\xFF"
                                "challenge rcon 987654321\n"),
                     d);
            } else if (q.startsWith("\xFF\xFF\xFF\xFFrcon ")) {
                rcon(q.mid(9), d);
            }
        }
    }
    void rcon(const QByteArray& rest, const QNetworkDatagram& d) {
        const QByteArray prefix("\xFF\xFF\xFF\xFFl", 5);
        // rest: <challenge> "<password>" <command>
        const qsizetype space = rest.indexOf(' ');
        const QByteArray number = rest.left(space);
        const qsizetype open = rest.indexOf('"', space), close = rest.indexOf('"', open + 1);
        const QString password = QString::fromUtf8(rest.mid(open + 1, close - open - 1));
        const QString command = QString::fromUtf8(rest.mid(close + 2));
        if (number != "987654321") {
            send(prefix + "Bad challenge.\n", d);
            return;
        }
        if (rconPassword.isEmpty()) {
            send(prefix + "Bad rcon_password.\nNo password set for this server.\n", d);
            return;
        }
        if (password != rconPassword) {
            ++badPasswords;
            send(prefix + "Bad rcon_password.\n", d);
            return;
        }
        commands << command;
        if (rconReplies.contains(command)) {
            send(prefix + rconReplies.value(command).toUtf8(), d);
            return;
        }
        for (const QString& part : rconOutput)
            send(prefix + part.toUtf8(), d);
    }

    QUdpSocket socket_;
};

// The fake server answering from a thread of its own: for a client that waits on its socket without an
// event loop. Set its fields before asking, read them after the answer.
class FakeServerThread {
  public:
    FakeServerThread() {
        context_.moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(
            &context_, [this] { server_ = new FakeServer; }, Qt::BlockingQueuedConnection);
    }
    ~FakeServerThread() {
        QMetaObject::invokeMethod(
            &context_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    FakeServer& server() { return *server_; }

  private:
    QThread thread_;
    QObject context_;
    FakeServer* server_ = nullptr;
};

} // namespace tarrow::test
