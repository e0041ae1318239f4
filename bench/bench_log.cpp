// The log reader on 100 MB of log (about a million lines, in two files) against the floor of reading the same
// file and splitting it into lines of text with no reading of the events: the ratio of the two is the figure.
#include "live/logfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The folder with one 100 MB log, written once for all the benchmarks here.
const QString& bigLogFolder() {
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QStringList kinds{
            R"("Alice %1<%1><STEAM_0:1:%1><Blue>" say "gg everyone, that was a close one")",
            R"("Bot %1<%1><BOT><Red>" killed "Alice %1<%1><STEAM_0:1:%1><Blue>" with "sentrygun")",
            R"("Bob %1<%1><STEAM_0:0:%1><>" connected, address "203.0.113.%2:27005")",
            R"("Bob %1<%1><STEAM_0:0:%1><>" entered the game)",
            R"("Bob %1<%1><STEAM_0:0:%1><Red>" joined team "Red")",
            R"("Bob %1<%1><STEAM_0:0:%1><Red>" disconnected (reason "Client left"))",
            R"(Bad Rcon: "rcon %1 "guess%2" status" from "192.0.2.%2:40000")",
            R"("Carol %1<%1><STEAM_0:1:%1><Blue>" triggered "Blue Flag Captured")",
            R"(Server cvar "mp_timelimit" = "%2")",
            R"("Dan %1<%1><STEAM_0:1:%1><Blue>" changed role to "Soldier")",
        };
        // Two files of 50 MB, as two long maps: a file over 64 MiB would be read from its end only.
        int i = 0;
        for (const char* name : {"L1209000.log", "L1209001.log"}) {
            QFile f(dir.filePath(QLatin1String(name)));
            if (!f.open(QIODevice::WriteOnly)) return QString();
            f.write("L 12/09/2026 - 00:00:00: Log file started (file \"logs/" + QByteArray(name) +
                    "\") (game \"tfc\")\n");
            QByteArray block;
            qint64 written = 0;
            for (; written < 50LL * 1000 * 1000; ++i) {
                QString event = kinds[i % kinds.size()];
                event.replace(QLatin1String("%1"), QString::number(i % 5000))
                    .replace(QLatin1String("%2"), QString::number(i % 250));
                block += QStringLiteral("L 12/09/2026 - %1:%2:%3: ")
                             .arg((i / 3600) % 24, 2, 10, QLatin1Char('0'))
                             .arg((i / 60) % 60, 2, 10, QLatin1Char('0'))
                             .arg(i % 60, 2, 10, QLatin1Char('0'))
                             .toUtf8() +
                         event.toUtf8() + "\r\n";
                if (block.size() > (1 << 20)) {
                    written += f.write(block);
                    block.clear();
                }
            }
            f.write(block);
        }
        return dir.path();
    }();
    return folder;
}

void BM_LogRead(benchmark::State& state) {
    const QString folder = bigLogFolder();
    qint64 lines = 0;
    for (auto _ : state) {
        tarrow::live::LogFollower follower(folder);
        lines = 0;
        follower.poll([&](const tarrow::live::LogLine& l) {
            benchmark::DoNotOptimize(l.event.kind);
            ++lines;
        });
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_LogRead)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same file read in the same chunks and split into lines of text, no event read.
void BM_LogFloor(benchmark::State& state) {
    const QDir dir(bigLogFolder());
    qint64 lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (const char* name : {"L1209000.log", "L1209001.log"}) {
            QFile f(dir.filePath(QLatin1String(name)));
            if (!f.open(QIODevice::ReadOnly)) state.SkipWithError("no log");
            QByteArray carry;
            while (true) {
                const QByteArray chunk = f.read(1 << 20);
                if (chunk.isEmpty()) break;
                const QByteArray data = carry + chunk;
                qsizetype start = 0;
                for (qsizetype nl = data.indexOf('\n'); nl >= 0; nl = data.indexOf('\n', start)) {
                    const QString line =
                        QString::fromUtf8(QByteArrayView(data.constData() + start, nl - start));
                    benchmark::DoNotOptimize(line.size());
                    ++lines;
                    start = nl + 1;
                }
                carry = data.mid(start);
            }
        }
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_LogFloor)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
