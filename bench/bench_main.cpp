// Figures for the routines that run on every status refresh.
#include "app/installpaths.h"
#include "common/fileinuse.h"
#include "common/fileversion.h"
#include "common/modtable.h"
#include "common/prompter.h"
#include "serverconfig/serverfiles.h"
#include "status/refresh.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kBig = QStringLiteral(TARROW_FIXTURES "/dlls/big.dll");

void BM_FileVersionText(benchmark::State& state) {
    qint64 bytes = 0;
    for (auto _ : state) {
        auto version = tarrow::FileVersionText(kBig);
        benchmark::DoNotOptimize(version);
        bytes = tarrow::lastFileVersionBytesRead();
    }
    state.counters["bytes_read"] = double(bytes);
}
BENCHMARK(BM_FileVersionText);

// The floor for the version reader: open the same library, read as many bytes as the reader looks at,
// close it. Nothing cheaper can tell a version.
void BM_FileReadFloor(benchmark::State& state) {
    (void)tarrow::FileVersionText(kBig);
    const qint64 bytes = tarrow::lastFileVersionBytesRead();
    const QByteArray path = QFile::encodeName(kBig);
    std::vector<char> buffer(static_cast<size_t>(bytes));
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
        ::close(fd);
    }
    state.counters["bytes_read"] = double(bytes);
}
BENCHMARK(BM_FileReadFloor);

void put(const QString& root, const QString& rel, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(root + rel).absolutePath());
    QFile f(root + rel);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// A full installation with 4 MiB libraries, Metamod loading the bot and Admin Mod, NeoTF behind it.
struct BenchInstall {
    QTemporaryDir dir;
    // The files are written before the paths below are taken from them.
    QString root = written(dir.path() + QStringLiteral("/Half-Life/"));

    static QString written(const QString& root) {
        QFile big(kBig);
        big.open(QIODevice::ReadOnly);
        const QByteArray dll = big.readAll();
        for (const char* lib :
             {"TFC/dlls/tfc.dll", "tarrow/tarrow.dll", "TFC/addons/metamod/dlls/metamod.dll",
              "TFC/addons/adminmod/dlls/admin_mm.dll", "TFC/addons/neotf/dlls/ntf.dll"})
            put(root, QString::fromLatin1(lib), dll);
        put(root, "sierra.inf", "ProductName \"HLServer\"\r\nCurrentVersion \"4.1.1.1\"\r\n");
        put(root, "TFC/liblist.gam",
            "gamedll \"addons\\metamod\\dlls\\metamod.dll\"\r\ngamedll_linux \"x.so\"\r\n");
        put(root, "TFC/addons/metamod/plugins.ini",
            "win32 ../tarrow/tarrow.dll\r\nwin32 addons/adminmod/dlls/admin_mm.dll\r\n");
        put(root, "TFC/autoexec.cfg", "localinfo mm_gamedll addons/neotf/dlls/ntf.dll\r\n");
        put(root, "TFC/addons/neotf/ntf_config.txt", "tfc.dll\r\n");
        put(root, "TFC/plugin.ini", "dlls/a.amx\r\ndlls/b.amx\r\n");
        for (const char* f :
             {"tarrow/TFC/tarrow.cfg", "tarrow/TFC/default.cfg", "tarrow/TFC/tarrow_names.txt",
              "tarrow/TFC/tarrow_chat.txt", "TFC/addons/adminmod/config/plugin.ini",
              "TFC/addons/adminmod/config/users.ini", "TFC/dlls/a.amx"})
            put(root, QString::fromLatin1(f), "x");
        return root;
    }

    // One refresh, as the window runs it on each tick.
    void refresh() {
        tarrow::StatusRefresh::removeMetagame(paths);
        status.run(paths, settings, QStringLiteral("tarrow1.html"));
    }

    tarrow::ComponentSettings settings;
    const tarrow::InstallPaths paths{root, QStringLiteral("TFC"), settings, tarrow::ServerPlatform::Windows};
    tarrow::StatusRefresh status;
};

// One refresh without the panes (the period, the click, detection and the four pages).
void BM_StatusRefresh(benchmark::State& state) {
    BenchInstall install;
    for (auto _ : state)
        install.refresh();
}
BENCHMARK(BM_StatusRefresh)->Unit(benchmark::kMillisecond);

// The floor for a refresh: the files one refresh of the same installation opens and reads, as a trace
// of it shows (the loader files, some twice; the version records of four libraries; the five
// libraries opened for writing, as the in-use check does), and its four pages written. No logic.
void BM_RefreshFloor(benchmark::State& state) {
    BenchInstall install;
    install.refresh();
    QList<QPair<QString, QByteArray>> pages;
    for (const char* name : {"tarrow1.html", "stats1.html", "tarrow.html", "stats.html"}) {
        QFile f(install.root + QStringLiteral("tarrow/") + QLatin1String(name));
        f.open(QIODevice::ReadOnly);
        pages.append({f.fileName(), f.readAll()});
    }
    const QString& r = install.root;
    const QStringList texts{
        r + "TFC/liblist.gam",  r + "TFC/liblist.gam",  r + "TFC/addons/metamod/plugins.ini",
        r + "TFC/autoexec.cfg", r + "TFC/autoexec.cfg", r + "TFC/addons/neotf/ntf_config.txt",
        r + "sierra.inf",       r + "TFC/plugin.ini"};
    const QStringList libraries{
        r + "TFC/dlls/tfc.dll", r + "tarrow/tarrow.dll", r + "TFC/addons/metamod/dlls/metamod.dll",
        r + "TFC/addons/adminmod/dlls/admin_mm.dll", r + "TFC/addons/neotf/dlls/ntf.dll"};
    for (auto _ : state) {
        for (const QString& path : texts) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(f.readAll());
        }
        char head[600];
        for (qsizetype i = 1; i < libraries.size(); ++i) {
            QFile f(libraries[i]);
            f.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            benchmark::DoNotOptimize(f.read(head, sizeof head));
        }
        for (const QString& path : libraries) {
            QFile f(path);
            benchmark::DoNotOptimize(f.open(QIODevice::ReadWrite));
        }
        for (const auto& [path, bytes] : pages) {
            QFile f(path);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(bytes);
        }
    }
}
BENCHMARK(BM_RefreshFloor)->Unit(benchmark::kMillisecond);

// One look at which files other processes hold: the part of a refresh that depends on the machine.
void BM_OpenFileScan(benchmark::State& state) {
    for (auto _ : state) {
        auto scan = tarrow::OpenFileScan::take();
        benchmark::DoNotOptimize(scan);
    }
}
BENCHMARK(BM_OpenFileScan)->Unit(benchmark::kMillisecond);

// Save then load of server.cfg, adminmod.cfg and ntf_cvars.cfg.
void BM_ServerConfigRoundTrip(benchmark::State& state) {
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/Half-Life/");
    QDir().mkpath(root + QStringLiteral("TFC/addons/adminmod/config"));
    QDir().mkpath(root + QStringLiteral("TFC/addons/neotf"));
    tarrow::ServerModel model;
    model.serverKind = tarrow::ServerModel::ServerKind::Dedicated;
    model.setChecked(QStringLiteral("Execchk"), true);
    model.setText(QStringLiteral("Exectxt"), QStringLiteral("addons/adminmod/config/adminmod.cfg"));
    model.setChecked(QStringLiteral("Exec2chk"), true);
    model.setText(QStringLiteral("Exec2txt"), QStringLiteral("addons/neotf/ntf_cvars.cfg"));
    model.setText(QStringLiteral("AdminPasstxt"), QStringLiteral("_pw"));
    tarrow::SilentPrompter prompter;
    const tarrow::InstallPaths paths(root, QStringLiteral("TFC"), {}, tarrow::ServerPlatform::Windows);
    for (auto _ : state) {
        tarrow::saveServerConfig(model, paths, prompter);
        tarrow::loadServerConfig(model, paths, prompter);
    }
}
BENCHMARK(BM_ServerConfigRoundTrip)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
