// Figures for the command line as a shell runs it: one whole process per iteration.
#include "app/demo.h"
#include "support/fakeserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

QCoreApplication& benchApp();

namespace {

// The demo installation, built from the same libraries and picture the program's resources hold.
struct Demo {
    QTemporaryDir dir;
    tarrow::DemoInstallation install;
    Demo() {
        const QString from = QStringLiteral(TARROW_SOURCE);
        QDir().mkpath(dir.filePath(QStringLiteral("source/dlls")));
        QDir().mkpath(dir.filePath(QStringLiteral("source/overviews")));
        for (const char* dll : {"tfc.dll", "tarrow.dll", "metamod.dll", "admin_mm_old.dll", "ntf.dll"})
            QFile::copy(from + QStringLiteral("/resources/demo/dlls/") + QLatin1String(dll),
                        dir.filePath(QStringLiteral("source/dlls/")) + QLatin1String(dll));
        QFile::copy(from + QStringLiteral("/resources/demo/2fort-overview.bmp"),
                    dir.filePath(QStringLiteral("source/overviews/2fort.bmp")));
        install = tarrow::buildDemoInstallation(dir.path(), dir.filePath(QStringLiteral("source/dlls")));
    }
};

void runTarrow(benchmark::State& state, const QStringList& args) {
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral(TARROW_CLI_BIN), args);
        if (!p.waitForFinished(30000)) state.SkipWithError("tarrow did not finish");
        benchmark::DoNotOptimize(p.readAllStandardOutput());
    }
}

// The floor: the same program started and ended, answering --version only.
void BM_ProcessFloor(benchmark::State& state) {
    runTarrow(state, {QStringLiteral("--version")});
}
BENCHMARK(BM_ProcessFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// One `tarrow status --json` on the demo installation, its live look answered by a server. Target: under
// 3 times the floor.
void BM_CliStatus(benchmark::State& state) {
    static Demo demo;
    benchApp();
    tarrow::test::FakeServerThread server;
    runTarrow(state,
              {QStringLiteral("status"), QStringLiteral("--json"), QStringLiteral("--settings"),
               demo.install.settingsFile, QStringLiteral("--install-root"), demo.install.installRoot,
               QStringLiteral("--address"), QStringLiteral("127.0.0.1:%1").arg(server.server().port())});
}
BENCHMARK(BM_CliStatus)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
