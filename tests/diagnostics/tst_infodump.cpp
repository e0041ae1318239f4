#include "app/componentsettings.h"
#include "common/fileio.h"
#include "diagnostics/infodump.h"
#include "support/fixtureinstall.h"

#include <QtTest>

using namespace tarrow;

namespace {

const QDateTime kWhen(QDate(2026, 12, 8), QTime(22, 15, 32));

SystemReadings fixedReadings() {
    return {[] { return QStringLiteral("Debian GNU/Linux 12 (bookworm)"); }, [] { return 2445.5; },
            [] { return QStringLiteral("2048 MB,1024 MB"); }, [] { return QStringLiteral("0 MB,0 MB"); },
            [] { return kWhen; }};
}

void installation(test::FixtureInstall& fx) {
    fx.write("sierra.inf", "x");
    fx.write("bot.txt", "bot line");
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.write("TFC/autoexec.cfg", "rcon_password secret\r\necho done\r\n");
    fx.write(
        "TFC/server.cfg",
        "hostname \"x\"\r\n SV_PASSWORD s\r\n// rcon_password y\r\n\tsetinfo _pw x\r\nsv_passwordlong z\r\n");
    fx.write("TFC/dlls/tfc.dll", "x");
    fx.write("TFC/addons/metamod/plugins.ini", "win32 ../tarrow/tarrow.dll\r\n");
    fx.write("TFC/addons/adminmod/config/plugin.ini", "; Admin Mod plug-ins\r\n");
    fx.write("tarrow/tarrow.dll", "x");
    fx.write("tarrow/TFC/tarrow.cfg", "botskill 3\r\n");
}

QByteArray golden(const char* name, const test::FixtureInstall& fx) {
    QFile f(QStringLiteral(TARROW_FIXTURES "/golden/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing golden %s", name);
    return f.readAll()
        .replace("@ROOT@", fx.root().toLatin1())
        .replace("@DATE@", dumpDateTimeText(kWhen).toLatin1());
}

QByteArray report(test::FixtureInstall& fx, const DumpSelection& sel) {
    QStringList lines;
    assembleInfoDump(lines, fx.paths(), sel, fixedReadings());
    maskPasswords(lines);
    return joinLinesCrLf(lines);
}

} // namespace

class TestInfoDump : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void noBoxChecked();
    void allFourChecked();
    void masking_data();
    void masking();
    void pageCopyNames();
    void folderInPlaceOfFileGivesEmptySection();
};

void TestInfoDump::noBoxChecked() {
    test::FixtureInstall fx;
    installation(fx);
    QCOMPARE(report(fx, {}), golden("infodump-none.txt", fx));
}

void TestInfoDump::allFourChecked() {
    test::FixtureInstall fx;
    installation(fx);
    QCOMPARE(report(fx, {true, true, true, true}), golden("infodump-all.txt", fx));
}

void TestInfoDump::masking_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("masked");
    QTest::newRow("plain") << "sv_password secret // x"
                           << "sv_password ***Protected***";
    QTest::newRow("exact //rcon_password") << "//rcon_password"
                                           << "//rcon_password ***Protected***";
    QTest::newRow("capitals") << "SV_PASSWORD secret"
                              << "sv_password ***Protected***";
    QTest::newRow("leading blank") << " rcon_password secret"
                                   << "rcon_password ***Protected***";
    QTest::newRow("leading tab setinfo") << "\tsetinfo _pw x"
                                         << "setinfo ***Protected***";
    QTest::newRow("blank after slashes") << "// rcon_password x"
                                         << "//rcon_password ***Protected***";
    QTest::newRow("blank, capitals, slashes") << "  //\tSetInfo _pw x"
                                              << "//setinfo ***Protected***";
    QTest::newRow("a listed file") << "setinfo.txt"
                                   << "setinfo ***Protected***";
    QTest::newRow("longer name") << "sv_passwordx 1"
                                 << "sv_password ***Protected***";
    QTest::newRow("other lines unchanged") << "hostname \"sv_password\""
                                           << "hostname \"sv_password\"";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("after a byte-order mark")
        << QString::fromLatin1("\xEF\xBB\xBFrcon_password \"x\"") << "rcon_password ***Protected***";
    QTest::newRow("second command of a line") << "sv_lan 0; rcon_password x"
                                              << "sv_lan 0; rcon_password ***Protected***";
    QTest::newRow("first of two commands") << "sv_password x;hostname \"y\""
                                           << "sv_password ***Protected***;hostname \"y\"";
    QTest::newRow("any cvar named for a password") << "autohltv_pass \"hltvsecret\""
                                                   << "autohltv_pass ***Protected***";
    QTest::newRow("commented, other case") << "//\tSV_ProxyPassword abc"
                                           << "//SV_ProxyPassword ***Protected***";
    QTest::newRow("a lone word is not a setting") << "password"
                                                  << "password";
}

void TestInfoDump::masking() {
    QFETCH(QString, line);
    QFETCH(QString, masked);
    QCOMPARE(maskPasswordLine(line), masked);
}

void TestInfoDump::pageCopyNames() {
    QCOMPARE(pageCopyName("stats", "10:15:32 PM"), QStringLiteral("stats 10-15-32 PM.html"));
    QCOMPARE(pageCopyName("tarrow", "22:15:32"), QStringLiteral("tarrow 22-15-32.html"));
    QCOMPARE(cpuSpeedText(2445.123456789012345), QStringLiteral("2445.12345678901"));
    QCOMPARE(cpuSpeedText(0), QStringLiteral("0"));
}

void TestInfoDump::folderInPlaceOfFileGivesEmptySection() {
    test::FixtureInstall fx;
    installation(fx);
    QDir().mkpath(fx.path("TFC/autoexec.cfg.d"));
    QFile::remove(fx.path("TFC/autoexec.cfg"));
    QDir().rename(fx.path("TFC/autoexec.cfg.d"),
                  fx.path("TFC/autoexec.cfg")); // a folder where the file should be
    QStringList lines;
    // A folder is no file: its section stays empty, as for a missing file.
    assembleInfoDump(lines, fx.paths(), {}, fixedReadings());
    QVERIFY(lines.contains("-==== Begin Autoexec File ===-"));
}

QTEST_GUILESS_MAIN(TestInfoDump)
#include "tst_infodump.moc"
