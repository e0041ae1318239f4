#include "common/fileinuse.h"
#include "common/fileio.h"
#include "common/sysinfo.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <QFile>
#include <QtTest>
#include <sys/stat.h>

using namespace tarrow;

class TestSysInfo : public QObject {
    Q_OBJECT
  private slots:
    void memoryTexts();
    void fileInUse();
    void watchSeesAProcessStartedSinceTheLastLook();
    void watchLooksAgainAtAProcessThatBecameAnotherProgram();
    void watchLooksAgainAtServers_data();
    void watchLooksAgainAtServers();
    void waitsGoThroughTheClock();
};

void TestSysInfo::memoryTexts() {
    const QString meminfo =
        QStringLiteral("MemTotal:        2097152 kB\nMemFree:  1 kB\nMemAvailable:    1048576 kB\n"
                       "SwapTotal:       0 kB\nSwapFree:        0 kB\n");
    QCOMPARE(memoryText(meminfo, "MemTotal", "MemAvailable"), QStringLiteral("2048 MB,1024 MB"));
    QCOMPARE(memoryText(meminfo, "SwapTotal", "SwapFree"), QStringLiteral("0 MB,0 MB"));
    // The machine's own figures come from /proc/meminfo.
    QFile proc(QStringLiteral("/proc/meminfo"));
    QVERIFY(proc.open(QIODevice::ReadOnly));
    const QString real = QString::fromLatin1(proc.readAll());
    const QString total = memoryText(real, "MemTotal", "MemAvailable").section(QLatin1Char(','), 0, 0);
    QVERIFY2(total != QStringLiteral("0 MB"), qPrintable(total));
    QVERIFY2(PhysicalMemoryText().startsWith(total + QLatin1Char(',')), qPrintable(PhysicalMemoryText()));
}

void TestSysInfo::fileInUse() {
    test::FixtureInstall fx;
    fx.write("free.dll", "x");
    fx.write("ro.dll", "x");
    fx.write("held.dll", "x");
    setReadOnly(fx.path("ro.dll"));
    QVERIFY(!IsFileInUse(fx.path("missing.dll")));
    QVERIFY(!IsFileInUse(fx.path("FREE.DLL")));
    QVERIFY(IsFileInUse(fx.path("ro.dll")));
    // Another process holding the file open, as a running server holds its libraries.
    QProcess holder;
    holder.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QStringLiteral("exec 3<\"$0\"; sleep 30"), fx.path("held.dll")});
    QVERIFY(holder.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(IsFileInUse(fx.path("held.dll")), 5000);
    const OpenFileScan scan = OpenFileScan::take();
    QVERIFY(IsFileInUse(fx.path("held.dll"), scan));
    QVERIFY(!IsFileInUse(fx.path("free.dll"), scan));
    holder.kill();
    holder.waitForFinished();
}

namespace {

QByteArray programNameOf(qint64 pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) return {};
    return comm.readAll().trimmed();
}

} // namespace

void TestSysInfo::watchSeesAProcessStartedSinceTheLastLook() {
    test::FixtureInstall fx;
    fx.write("tarrow.dll", "x");
    const QString lib = fx.path("tarrow.dll");
    OpenFileWatch watch;
    QVERIFY(!watch.scan({lib}).contains(lib));
    QVERIFY(watch.processesRead() > 0);
    QProcess holder;
    holder.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QStringLiteral("exec 3<\"$0\"; exec sleep 30"), lib});
    QVERIFY(holder.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(programNameOf(holder.processId()) == "sleep", 5000);
    QVERIFY(watch.scan({lib}).contains(lib));
    // Gone again: the next look says so.
    holder.kill();
    holder.waitForFinished();
    QVERIFY(!watch.scan({lib}).contains(lib));
    // A file that does not exist is held by nobody, and nothing is read for it.
    QVERIFY(!watch.scan({fx.path("missing.dll")}).contains(fx.path("missing.dll")));
    QCOMPARE(watch.processesRead(), 0);
}

void TestSysInfo::watchLooksAgainAtAProcessThatBecameAnotherProgram() {
    test::FixtureInstall fx;
    fx.write("tarrow.dll", "x");
    const QString lib = fx.path("tarrow.dll");
    const QString copy = fx.path("backup-tool");
    QVERIFY(QFile::copy(QStandardPaths::findExecutable(QStringLiteral("sleep")), copy));
    QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner);
    OpenFileWatch watch;
    QProcess holder;
    holder.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"),
                  QStringLiteral("while [ ! -e \"$1\" ]; do sleep 0.05; done; exec 3<\"$0\"; exec \"$2\" 30"),
                  lib, fx.path("go"), copy});
    QVERIFY(holder.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(programNameOf(holder.processId()) == "sh", 5000);
    QVERIFY(!watch.scan({lib}).contains(lib));
    // The same number, another program: as good as a new process.
    fx.write("go", "");
    QTRY_VERIFY_WITH_TIMEOUT(programNameOf(holder.processId()) == "backup-tool", 5000);
    QVERIFY(watch.scan({lib}).contains(lib));
    holder.kill();
    holder.waitForFinished();
}

void TestSysInfo::watchLooksAgainAtServers_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("seen");
    QTest::newRow("native server") << "hlds_linux" << true;
    QTest::newRow("listen server") << "hl_linux" << true;
    QTest::newRow("server under Wine") << "hlds.exe" << true;
    QTest::newRow("Wine's loader, name cut to 15") << "wine64-preloader" << true;
    QTest::newRow("another program") << "backup-tool" << false;
}

// A process looked at before it opened the library, and still the same program after: a server is
// looked at again at every refresh, another program is not (the full scan still sees it).
void TestSysInfo::watchLooksAgainAtServers() {
    QFETCH(QString, program);
    QFETCH(bool, seen);
    test::FixtureInstall fx;
    fx.write("tarrow.dll", "x");
    const QString lib = fx.path("tarrow.dll");
    const QString fifo = fx.path("never-written");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // The script's own name is the process's program name; it opens the library on a sign and then
    // waits with no children of its own.
    const QString script = fx.path(program);
    fx.write(program,
             "#!/bin/sh\nwhile [ ! -e \"$2\" ]; do sleep 0.05; done\nexec 3<\"$1\"\nread x < \"$3\"\n");
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
    OpenFileWatch watch;
    QProcess holder;
    holder.start(script, {lib, fx.path("go"), fifo});
    QVERIFY(holder.waitForStarted());
    const QByteArray name = program.left(15).toLatin1();
    QTRY_VERIFY_WITH_TIMEOUT(programNameOf(holder.processId()) == name, 5000);
    QVERIFY(!watch.scan({lib}).contains(lib));
    fx.write("go", "");
    const QString held = QStringLiteral("/proc/%1/fd/3").arg(holder.processId());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(held).canonicalFilePath() == QFileInfo(lib).canonicalFilePath(), 5000);
    QCOMPARE(programNameOf(holder.processId()), name);
    QCOMPARE(OpenFileWatch::loadsLibraries(name), seen);
    QCOMPARE(watch.scan({lib}).contains(lib), seen);
    QVERIFY(OpenFileScan::take({lib}).contains(lib));
    holder.kill();
    holder.waitForFinished();
}

void TestSysInfo::waitsGoThroughTheClock() {
    {
        test::FakeClock clock;
        WaitWithMessages(500);
        WaitWithMessages(1500);
        QCOMPARE(clock.waits, (QList<int>{500, 1500}));
    }
    // The real clock lets queued events run while it waits.
    bool ran = false;
    QTimer::singleShot(10, [&] { ran = true; });
    QElapsedTimer t;
    t.start();
    WaitWithMessages(60);
    QVERIFY(ran);
    QVERIFY(t.elapsed() >= 55);
}

QTEST_GUILESS_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
