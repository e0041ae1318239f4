#include "common/fileinuse.h"
#include "common/fileio.h"
#include "common/sysinfo.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"

#include <QProcess>
#include <QtTest>

using namespace tarrow;

class TestSysInfo : public QObject {
    Q_OBJECT
  private slots:
    void memoryTexts();
    void osNameIsNotEmpty();
    void fileInUse();
    void waitsGoThroughTheClock();
};

void TestSysInfo::memoryTexts() {
    const QString meminfo =
        QStringLiteral("MemTotal:        2097152 kB\nMemFree:  1 kB\nMemAvailable:    1048576 kB\n"
                       "SwapTotal:       0 kB\nSwapFree:        0 kB\n");
    QCOMPARE(memoryText(meminfo, "MemTotal", "MemAvailable"), QStringLiteral("2048 MB,1024 MB"));
    QCOMPARE(memoryText(meminfo, "SwapTotal", "SwapFree"), QStringLiteral("0 MB,0 MB"));
    QVERIFY(PhysicalMemoryText().contains(QStringLiteral(" MB,")));
}

void TestSysInfo::osNameIsNotEmpty() {
    QVERIFY(!WindowsVersionText().isEmpty());
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
