// Figures for the routines that run on every status refresh.
#include "common/fileversion.h"

#include <benchmark/benchmark.h>

namespace {

void BM_FileVersionText(benchmark::State& state) {
    const QString dll = QStringLiteral(TARROW_FIXTURES "/dlls/big.dll");
    qint64 bytes = 0;
    for (auto _ : state) {
        auto version = tarrow::FileVersionText(dll);
        benchmark::DoNotOptimize(version);
        bytes = tarrow::lastFileVersionBytesRead();
    }
    state.counters["bytes_read"] = double(bytes);
}
BENCHMARK(BM_FileVersionText);

} // namespace

BENCHMARK_MAIN();
