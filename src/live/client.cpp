#include "client.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QHostInfo>
#include <QMutex>
#include <QNetworkDatagram>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <QUdpSocket>
#include <functional>

namespace tarrow::live {

namespace {

constexpr int kMostChallenges = 3;
constexpr int kRconQuietMs = 150;
constexpr int kRconMostMs = 2000;

QHostAddress firstAddress(const QHostInfo& info) {
    for (const QHostAddress& found : info.addresses())
        if (found.protocol() == QAbstractSocket::IPv4Protocol) return found;
    return info.addresses().value(0);
}

// For a job on the event loop: an address is used at once, a name is looked up without waiting for it.
void resolveThen(const QString& host, QObject* context,
                 const std::function<void(const QHostAddress&)>& then) {
    const QHostAddress a(host);
    if (!a.isNull()) {
        then(a);
        return;
    }
    QHostInfo::lookupHost(host, context, [then](const QHostInfo& info) { then(firstAddress(info)); });
}

bool fromServer(const QNetworkDatagram& d, const QHostAddress& host, quint16 port) {
    return d.senderPort() == port && d.senderAddress().isEqual(host, QHostAddress::TolerantConversion);
}

} // namespace

namespace refusedPasswords {

namespace {

// Process-wide on purpose: the engine bans the address, whichever folder, page or command sent the
// password, and a folder change must not forget what the server refused.
struct Refused {
    QMutex mutex;
    QSet<QByteArray> keys;
};

Refused& refused() {
    static Refused r;
    return r;
}

QByteArray key(const ServerAddress& address, const QString& password) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(address.host.toLower().toUtf8() + ':' + QByteArray::number(address.port) + '\0');
    h.addData(password.toUtf8());
    return h.result();
}

} // namespace

bool contains(const ServerAddress& address, const QString& password) {
    const QMutexLocker lock(&refused().mutex);
    return refused().keys.contains(key(address, password));
}

void add(const ServerAddress& address, const QString& password) {
    const QMutexLocker lock(&refused().mutex);
    refused().keys.insert(key(address, password));
}

void clear() {
    const QMutexLocker lock(&refused().mutex);
    refused().keys.clear();
}

} // namespace refusedPasswords

ServerAddress addressFromCommandLine(const QString& commandLine) {
    ServerAddress a;
    const QStringList words =
        commandLine.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i + 1 < words.size(); ++i) {
        const QString w = words[i].toLower();
        if (w == QLatin1String("+ip")) {
            a.host = words[i + 1];
        } else if (w == QLatin1String("+port") || w == QLatin1String("-port")) {
            bool ok = false;
            const uint port = words[i + 1].toUInt(&ok);
            if (ok && port > 0 && port < 65536) a.port = quint16(port);
        }
    }
    if (a.host == QLatin1String("0.0.0.0")) a.host = QStringLiteral("127.0.0.1");
    return a;
}

std::optional<ServerAddress> parseAddress(const QString& text, QString* error) {
    ServerAddress a;
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    a.host = colon < 0 ? text : text.left(colon);
    if (colon >= 0) {
        bool ok = false;
        const uint port = text.mid(colon + 1).toUInt(&ok);
        if (!ok || port == 0 || port > 65535) {
            if (error) *error = QStringLiteral("'%1' is not HOST or HOST:PORT").arg(text);
            return std::nullopt;
        }
        a.port = quint16(port);
    }
    if (a.host.isEmpty()) {
        if (error) *error = QStringLiteral("'%1' names no host").arg(text);
        return std::nullopt;
    }
    return a;
}

QueryJob::QueryJob(ServerAddress address, QueryOptions options, QObject* parent)
    : QObject(parent), address_(std::move(address)), options_(options) {
    result_.address = address_;
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &QueryJob::timedOut);
}

QueryJob::~QueryJob() = default;

bool QueryJob::open() {
    socket_ = std::make_unique<QUdpSocket>();
    // The server is asked directly: a desktop's proxy settings are for the web, and looking them up
    // (libproxy, at every socket, may fetch a proxy script) would reach out to other addresses.
    socket_->setProxy(QNetworkProxy::NoProxy);
    connect(socket_.get(), &QUdpSocket::readyRead, this, &QueryJob::received);
    const QHostAddress any =
        host_.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4;
    if (host_.isNull() || !socket_->bind(any, 0)) {
        result_.error = QStringLiteral("cannot reach %1").arg(address_.text());
        return false;
    }
    return true;
}

void QueryJob::start() {
    resolveThen(address_.host, this, [this](const QHostAddress& host) {
        host_ = host;
        if (!open()) {
            QTimer::singleShot(0, this, &QueryJob::finish);
            return;
        }
        send();
    });
}

QByteArray QueryJob::request() const {
    const QByteArray none("\xFF\xFF\xFF\xFF", 4);
    switch (step_) {
    case Step::Info:
        return kPrefix + QByteArray("TSource Engine Query", 20) + '\0' + challenge_;
    case Step::Players:
        return kPrefix + 'U' + (challenge_.isEmpty() ? none : challenge_);
    case Step::Rules:
        return kPrefix + 'V' + (challenge_.isEmpty() ? none : challenge_);
    case Step::Done:
        break;
    }
    return {};
}

void QueryJob::send() {
    ++tries_;
    sent_.start();
    socket_->writeDatagram(request(), host_, address_.port);
    timer_.start(options_.timeoutMs);
}

void QueryJob::received() {
    while (socket_ && socket_->hasPendingDatagrams()) {
        const QNetworkDatagram d =
            socket_->receiveDatagram(std::max<qint64>(socket_->pendingDatagramSize(), 0));
        // Only the configured server's answers count.
        if (!fromServer(d, host_, address_.port) || step_ == Step::Done) continue;
        const auto whole = assembler_.feed(d.data());
        if (!whole) continue;
        QString error;
        const ReplyKind kind = replyKind(*whole);
        if (kind == ReplyKind::Challenge) {
            const auto c = parseChallenge(*whole, &error);
            if (!c || ++challenges_ > kMostChallenges) {
                result_.error =
                    c ? QStringLiteral("the server asked for a challenge again and again") : error;
                next();
                return;
            }
            challenge_ = *c;
            tries_ = 0;
            send();
            return;
        }
        if (step_ == Step::Info && (kind == ReplyKind::Info || kind == ReplyKind::ObsoleteInfo)) {
            result_.latencyMs = double(sent_.nsecsElapsed()) / 1e6;
            if (auto info = parseInfo(*whole, &error)) {
                result_.answering = true;
                result_.info = *info;
            } else {
                result_.error = error;
            }
            next();
            return;
        }
        if (step_ == Step::Players && kind == ReplyKind::Players) {
            if (auto players = parsePlayers(*whole, &error))
                result_.players = *players;
            else
                result_.error = error;
            next();
            return;
        }
        if (step_ == Step::Rules && kind == ReplyKind::Rules) {
            if (auto rules = parseRules(*whole, &error))
                result_.rules = *rules;
            else
                result_.error = error;
            next();
            return;
        }
    }
}

void QueryJob::timedOut() {
    if (tries_ < options_.tries) {
        send();
        return;
    }
    next();
}

void QueryJob::next() {
    timer_.stop();
    challenge_.clear();
    challenges_ = 0;
    tries_ = 0;
    if (step_ == Step::Info && result_.answering && options_.players)
        step_ = Step::Players;
    else if ((step_ == Step::Info || step_ == Step::Players) && result_.answering && options_.rules)
        step_ = Step::Rules;
    else
        step_ = Step::Done;
    if (step_ == Step::Done) {
        finish();
        return;
    }
    send();
}

void QueryJob::finish() {
    step_ = Step::Done;
    timer_.stop();
    // It may be the socket whose signal is being handled: it goes when control is back in the loop.
    if (socket_) socket_.release()->deleteLater();
    emit finished(result_);
}

namespace {

// Runs a job to its end for the command line, on the application's own event loop. A caller that is
// itself inside a loop (none is, today) gets a local one.
template <typename Job, typename Result, typename Start>
Result runToEnd(Job& job, void (Job::*finished)(const Result&), Start start) {
    Result result;
    if (QThread::currentThread()->loopLevel() == 0 && QCoreApplication::instance()) {
        QObject::connect(&job, finished, &job, [&result](const Result& r) {
            result = r;
            QCoreApplication::exit(0);
        });
        // Started from the loop, so that a job that ends at once still finds the loop running.
        QTimer::singleShot(0, &job, start);
        QCoreApplication::exec();
        return result;
    }
    QEventLoop loop;
    QObject::connect(&job, finished, &loop, [&](const Result& r) {
        result = r;
        loop.quit();
    });
    start();
    loop.exec();
    return result;
}

} // namespace

QueryResult queryServer(const ServerAddress& address, const QueryOptions& options) {
    QueryJob job(address, options);
    return runToEnd(job, &QueryJob::finished, [&job] { job.start(); });
}

QString rconStatusText(RconStatus status) {
    switch (status) {
    case RconStatus::Done:
        return {};
    case RconStatus::BadPassword:
        return QStringLiteral(
            "The server refused the rcon password (\"Bad rcon_password.\"); it was not tried "
            "again: the server bans an address after five wrong tries.");
    case RconStatus::BadChallenge:
        return QStringLiteral("The server refused the challenge (\"Bad challenge.\").");
    case RconStatus::NoPassword:
        return QStringLiteral("The server has no rcon_password set: its console cannot be reached.");
    case RconStatus::NoAnswer:
        return QStringLiteral("The server did not answer.");
    case RconStatus::RefusedBefore:
        return QStringLiteral("The server refused this rcon password before; it was not sent again: the "
                              "server bans an address after five wrong tries. Give the right password.");
    }
    return {};
}

RconJob::RconJob(ServerAddress address, QString password, QString command, int timeoutMs, QObject* parent)
    : QObject(parent), address_(std::move(address)), password_(std::move(password)),
      command_(std::move(command)), timeoutMs_(timeoutMs) {
    quiet_.setSingleShot(true);
    limit_.setSingleShot(true);
    connect(&quiet_, &QTimer::timeout, this, [this] { finish(RconStatus::Done); });
    connect(&limit_, &QTimer::timeout, this,
            [this] { finish(commandSent_ ? RconStatus::Done : RconStatus::NoAnswer); });
}

RconJob::~RconJob() = default;

void RconJob::start() {
    if (refusedPasswords::contains(address_, password_)) {
        QTimer::singleShot(0, this, [this] { finish(RconStatus::RefusedBefore); });
        return;
    }
    limit_.start(timeoutMs_);
    resolveThen(address_.host, this, [this](const QHostAddress& host) {
        // A look-up that outlasted the time limit finds the job over.
        if (finished_) return;
        host_ = host;
        open();
    });
}

void RconJob::open() {
    socket_ = std::make_unique<QUdpSocket>();
    socket_->setProxy(QNetworkProxy::NoProxy);
    connect(socket_.get(), &QUdpSocket::readyRead, this, &RconJob::received);
    if (host_.isNull() ||
        !socket_->bind(host_.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6
                                                                         : QHostAddress::AnyIPv4,
                       0)) {
        QTimer::singleShot(0, this, [this] { finish(RconStatus::NoAnswer); });
        return;
    }
    socket_->writeDatagram(kPrefix + "challenge rcon\n", host_, address_.port);
    limit_.start(timeoutMs_);
}

void RconJob::received() {
    while (socket_ && socket_->hasPendingDatagrams()) {
        const QNetworkDatagram d =
            socket_->receiveDatagram(std::max<qint64>(socket_->pendingDatagramSize(), 0));
        if (!fromServer(d, host_, address_.port)) continue;
        const QByteArray payload = d.data();
        if (!commandSent_) {
            const auto challenge = rconChallenge(payload);
            if (!challenge) continue;
            commandSent_ = true;
            // The password goes to the server and nowhere else.
            socket_->writeDatagram(kPrefix + "rcon " + challenge->toLatin1() + " \"" + password_.toUtf8() +
                                       "\" " + command_.toUtf8(),
                                   host_, address_.port);
            limit_.start(kRconMostMs);
            continue;
        }
        const auto text = rconText(payload);
        if (!text) continue;
        output_ << *text;
        quiet_.start(kRconQuietMs);
    }
}

void RconJob::finish(RconStatus status) {
    if (finished_) return;
    finished_ = true;
    quiet_.stop();
    limit_.stop();
    // It may be the socket whose signal is being handled: it goes when control is back in the loop.
    if (socket_) socket_.release()->deleteLater();
    RconResult r;
    r.output = output_.join(QString());
    r.status = status;
    if (status == RconStatus::Done) {
        if (r.output.contains(QLatin1String("No password set")))
            r.status = RconStatus::NoPassword;
        else if (r.output.startsWith(QLatin1String("Bad rcon_password")))
            r.status = RconStatus::BadPassword;
        else if (r.output.startsWith(QLatin1String("Bad challenge")))
            r.status = RconStatus::BadChallenge;
    }
    if (r.status == RconStatus::BadPassword) refusedPasswords::add(address_, password_);
    emit finished(r);
}

RconResult sendRcon(const ServerAddress& address, const QString& password, const QString& command,
                    int timeoutMs) {
    RconJob job(address, password, command, timeoutMs);
    return runToEnd(job, &RconJob::finished, [&job] { job.start(); });
}

} // namespace tarrow::live
