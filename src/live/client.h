#pragma once

// The engine's server query (info, players, rules) and remote console over UDP, to the one address the
// operator configured. The jobs run on signals only and never block the loop they run on (a host name
// is looked up asynchronously). queryServer and sendRcon run one job to its end on the application's
// own event loop: for the command line, never for the window.
#include "replies.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <memory>

class QUdpSocket;

namespace tarrow::live {

struct ServerAddress {
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 27015;
    QString text() const { return host + QLatin1Char(':') + QString::number(port); }
};

// Where the saved command line says the server listens: "+ip HOST", "+port N" or "-port N"; otherwise
// 127.0.0.1:27015. An address of all zeros means every interface: the server is asked on 127.0.0.1.
ServerAddress addressFromCommandLine(const QString& commandLine);
// "HOST" or "HOST:PORT"; none (with the reason) for anything else.
std::optional<ServerAddress> parseAddress(const QString& text, QString* error);

struct QueryOptions {
    bool players = false;
    bool rules = false;
    int timeoutMs = 1500; // per try
    int tries = 2;        // sends of one request that get no answer
};

struct QueryResult {
    ServerAddress address;
    bool answering = false;
    double latencyMs = 0; // the info request's last round trip
    ServerInfo info;
    std::optional<QList<PlayerEntry>> players;
    std::optional<Rules> rules;
    QString error; // a reply that could not be read
};

// One query: info, then the players and the rules when asked for, each after the server's challenge.
class QueryJob : public QObject {
    Q_OBJECT
  public:
    QueryJob(ServerAddress address, QueryOptions options, QObject* parent = nullptr);
    ~QueryJob() override;
    void start();

  signals:
    void finished(const tarrow::live::QueryResult& result);

  private:
    enum class Step { Info, Players, Rules, Done };
    void send();
    void received();
    void timedOut();
    void next();
    void finish();
    bool open();
    QByteArray request() const;

    ServerAddress address_;
    QHostAddress host_;
    QueryOptions options_;
    QueryResult result_;
    std::unique_ptr<QUdpSocket> socket_;
    QTimer timer_;
    QElapsedTimer sent_;
    SplitAssembler assembler_;
    Step step_ = Step::Info;
    QByteArray challenge_;
    int challenges_ = 0;
    int tries_ = 0;
};

// For the command line: the job run to its end.
QueryResult queryServer(const ServerAddress& address, const QueryOptions& options);

// RefusedBefore: the server refused this password before, in this process; it was not sent again.
enum class RconStatus { Done, BadPassword, BadChallenge, NoPassword, NoAnswer, RefusedBefore };
struct RconResult {
    RconStatus status = RconStatus::NoAnswer;
    QString output; // the console's text, the datagrams in the order they came
};
// What the status means, in words ("The server refused the rcon password." ...); empty for Done.
QString rconStatusText(RconStatus status);

// The passwords each server refused while this process runs (the engine bans an address after a few
// wrong tries): one that was refused is never sent to that address again. Only a hash is kept.
namespace refusedPasswords {
bool contains(const ServerAddress& address, const QString& password);
void add(const ServerAddress& address, const QString& password);
void clear(); // for tests
} // namespace refusedPasswords

// One remote console command: the challenge, then the command; the output is read until 150 ms pass
// without a datagram (2 s at most). A refused password is never tried again.
class RconJob : public QObject {
    Q_OBJECT
  public:
    RconJob(ServerAddress address, QString password, QString command, int timeoutMs = 1500,
            QObject* parent = nullptr);
    ~RconJob() override;
    void start();

  signals:
    void finished(const tarrow::live::RconResult& result);

  private:
    void open();
    void received();
    void finish(RconStatus status);

    ServerAddress address_;
    QHostAddress host_;
    QString password_, command_;
    int timeoutMs_;
    std::unique_ptr<QUdpSocket> socket_;
    QTimer quiet_, limit_;
    bool commandSent_ = false;
    bool finished_ = false;
    QStringList output_;
};

RconResult sendRcon(const ServerAddress& address, const QString& password, const QString& command,
                    int timeoutMs = 1500);

} // namespace tarrow::live
