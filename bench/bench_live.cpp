// The live query's cost beside the bare datagrams it needs: info with its challenge, against the tests'
// fake server answering from a thread of its own.
#include "live/client.h"
#include "support/fakeserver.h"

#include <QCoreApplication>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The application object the event loops of the live benchmarks need; made once.
QCoreApplication& benchApp() {
    static int argc = 1;
    static char name[] = "tarrow_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

namespace {

QCoreApplication& app() {
    return benchApp();
}

void BM_QueryInfo(benchmark::State& state) {
    app();
    tarrow::test::FakeServerThread s;
    const tarrow::live::ServerAddress address{QStringLiteral("127.0.0.1"), s.server().port()};
    tarrow::live::QueryOptions options;
    for (auto _ : state) {
        const auto r = tarrow::live::queryServer(address, options);
        if (!r.answering) state.SkipWithError("no answer");
        benchmark::DoNotOptimize(r.info.players);
    }
}
BENCHMARK(BM_QueryInfo)->Unit(benchmark::kMicrosecond);

// The same two round trips (the request, the challenge, the request with it, the info) with a raw socket
// of its own per query, as each query has, and no reading of the reply.
void BM_UdpRoundTripFloor(benchmark::State& state) {
    app();
    tarrow::test::FakeServerThread s;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(s.server().port());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const QByteArray ask = QByteArray("\xFF\xFF\xFF\xFFTSource Engine Query", 24) + '\0';
    char reply[2048];
    for (auto _ : state) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        ::sendto(fd, ask.constData(), size_t(ask.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        const ssize_t n = ::recv(fd, reply, sizeof reply, 0);
        const QByteArray again = ask + QByteArray(reply + 5, n >= 9 ? 4 : 0);
        ::sendto(fd, again.constData(), size_t(again.size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        benchmark::DoNotOptimize(::recv(fd, reply, sizeof reply, 0));
        ::close(fd);
    }
}
BENCHMARK(BM_UdpRoundTripFloor)->Unit(benchmark::kMicrosecond);

} // namespace
