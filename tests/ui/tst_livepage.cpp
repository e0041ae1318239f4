#include "app/windowoptions.h"
#include "common/settingsstore.h"
#include "support/fakeserver.h"
#include "support/fixtureinstall.h"
#include "support/windowtest.h"
#include "ui/main.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>

using namespace tarrow;
using test::control;

class TestLivePage : public QObject {
    Q_OBJECT
  private slots:
    void showsTheServerAndRunsTheConsole();
    void theLogPaneFollowsTheLog();
    void withoutALogItOffersToTurnItOn();
};

void TestLivePage::showsTheServerAndRunsTheConsole() {
    test::FakeServer server;
    test::FixtureInstall fx;
    fx.write("TFC/maps/2fort.bsp", "x");
    fx.write("TFC/maps/well.bsp", "x");
    fx.write("TFC/server.cfg", "hostname \"x\"\r\nrcon_password \"secret\"\r\nexec more.cfg\r\n");
    fx.write("TFC/more.cfg", "sv_gravity 600\r\nmp_timelimit 30.0\r\n");
    fx.settings().write(kTarrowKey, ownSettingName(OwnSetting::CommandLine),
                        "+port " + QString::number(server.port()));
    test::WindowUnderTest win(fx);
    TMainfrm& w = win.open();
    // Ctrl+7 shows the page, which asks the server at once.
    QCOMPARE(w.Tabs->count(), 7);
    w.Tabs->setCurrentWidget(w.Live);
    QTRY_COMPARE(control<QLabel>(w, "Maplbl")->text(), QStringLiteral("2fort"));
    QCOMPARE(control<QLabel>(w, "Addresslbl")->text(), server.address());
    QCOMPARE(control<QLabel>(w, "Peoplelbl")->text(), QStringLiteral("2 people and 3 bots of 20 places"));
    QVERIFY(control<QLabel>(w, "Statelbl")->text().startsWith("yes ("));
    auto* players = control<QTableWidget>(w, "Playerstbl");
    QCOMPARE(players->rowCount(), 2);
    QCOMPARE(players->item(0, 0)->text(), QStringLiteral("Alice"));
    QCOMPARE(players->item(0, 2)->text(), QStringLiteral("13:32"));
    // What a restart would change: the file says 600 through its exec line, the server runs 800.
    auto* differs = control<QTableWidget>(w, "Differstbl");
    QCOMPARE(differs->rowCount(), 1);
    QCOMPARE(differs->item(0, 0)->text(), QStringLiteral("sv_gravity"));
    QCOMPARE(differs->item(0, 1)->text(), QStringLiteral("600"));
    QCOMPARE(differs->item(0, 2)->text(), QStringLiteral("800"));

    // The console, with the password of server.cfg, and its history.
    auto* line = control<QLineEdit>(w, "Consoletxt");
    line->setText("status");
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_VERIFY(
        control<QPlainTextEdit>(w, "Consolemem")->toPlainText().contains("hostname: Tarrow Test Server"));
    QCOMPARE(server.commands, QStringList{"status"});
    QTest::keyClick(line, Qt::Key_Up);
    QCOMPARE(line->text(), QStringLiteral("status"));
    QTest::keyClick(line, Qt::Key_Down);
    QCOMPARE(line->text(), QString());
    // Change Map sends changelevel with the chosen map.
    QTRY_VERIFY(control<QPushButton>(w, "Changemapcmd")->isEnabled());
    control<QPushButton>(w, "Changemapcmd")->click();
    QTRY_COMPARE(server.commands.size(), 2);
    QCOMPARE(server.commands.last(), QStringLiteral("changelevel 2fort"));

    // A saved server.cfg can be applied without a restart.
    w.Tabs->setCurrentIndex(4);
    control<QRadioButton>(w, "Dedicatedopt")->click();
    control<QPushButton>(w, "Saveservercmd")->click();
    auto* apply = w.statusBar()->findChild<QPushButton*>("Applycmd");
    QVERIFY(apply);
    apply->click();
    QTRY_COMPARE(server.commands.size(), 3);
    QCOMPARE(server.commands.last(), QStringLiteral("exec server.cfg"));
    QTRY_VERIFY(w.statusBar()->currentMessage().startsWith("Applied server.cfg to the running server."));
    QVERIFY(win.prompter.log.isEmpty() || !win.prompter.texts().join(' ').contains("secret"));
}

namespace {

QByteArray fixtureLog(const char* name) {
    QFile f(QStringLiteral(TARROW_FIXTURES "/logs/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

void TestLivePage::theLogPaneFollowsTheLog() {
    test::FixtureInstall fx;
    fx.write("TFC/server.cfg", "hostname \"x\"\r\nlog on\r\n");
    fx.write("TFC/logs/L1208000.log", fixtureLog("L1208000.log"));
    test::WindowUnderTest win(fx);
    TMainfrm& w = win.open();
    w.Tabs->setCurrentWidget(w.Live);
    auto* log = control<QPlainTextEdit>(w, "Logmem");
    QTRY_VERIFY(log->toPlainText().contains("join   Alice (STEAM_0:1:1234) from 203.0.113.7"));
    const QString all = log->toPlainText();
    // Joins, chat, console logins; no kill; no password; the failed logins in red.
    QVERIFY(all.contains("say    Alice (STEAM_0:1:1234): hello \"there\" everyone"));
    QVERIFY(all.contains("badrcon wrong console password from 192.0.2.66: status"));
    QVERIFY(!all.contains("killed"));
    for (const char* password : {"hunter2", "guess1", "guess2"})
        QVERIFY2(!all.contains(password), password);
    QVERIFY(log->document()->toHtml().contains("#c00000"));
    QVERIFY(!control<QPushButton>(w, "Logoncmd")->isVisible());

    // People only, then a filter.
    QVERIFY(all.contains("Bot Sam (bot)"));
    control<QCheckBox>(w, "Peopleonlychk")->setChecked(true);
    QVERIFY(!log->toPlainText().contains("Bot Sam"));
    QVERIFY(log->toPlainText().contains("Alice"));
    control<QLineEdit>(w, "Logfiltertxt")->setText("bobby");
    QVERIFY(log->toPlainText().contains("Bobby (STEAM_0:0:42) left"));
    QVERIFY(!log->toPlainText().contains("Alice"));
    control<QLineEdit>(w, "Logfiltertxt")->clear();

    // The engine goes on writing, into the same file and then a new one: the pane follows.
    QFile more(fx.path("TFC/logs/L1208000.log"));
    QVERIFY(more.open(QIODevice::Append));
    more.write(
        "L 12/08/2026 - 20:11:00: \"Dana<9><STEAM_0:1:99><>\" connected, address \"198.51.100.9:1\"\r\n");
    more.close();
    QTRY_VERIFY(log->toPlainText().contains("Dana (STEAM_0:1:99) from 198.51.100.9"));
    fx.write("TFC/logs/L1208001.log", fixtureLog("L1208001.log"));
    QTRY_VERIFY(log->toPlainText().contains("kick   Carol (STEAM_ID_LAN) kicked by Console: be nice"));
    QVERIFY(win.prompter.log.isEmpty());
}

void TestLivePage::withoutALogItOffersToTurnItOn() {
    test::FakeServer server;
    test::FixtureInstall fx;
    fx.write("TFC/server.cfg", "hostname \"x\"\r\nrcon_password \"secret\"");
    fx.settings().write(kTarrowKey, ownSettingName(OwnSetting::CommandLine),
                        "+port " + QString::number(server.port()));
    test::WindowUnderTest win(fx);
    TMainfrm& w = win.open();
    w.Tabs->setCurrentWidget(w.Live);
    QTRY_COMPARE(control<QLabel>(w, "Maplbl")->text(), QStringLiteral("2fort"));
    auto* on = control<QPushButton>(w, "Logoncmd");
    QTRY_VERIFY(on->isVisible());
    QVERIFY(control<QLabel>(w, "Lognotelbl")->text().contains("no \"log on\""));
    on->click();
    // Every byte of server.cfg stays, the line comes at its end, the old version is kept.
    QCOMPARE(fx.read("TFC/server.cfg"),
             QByteArray("hostname \"x\"\r\nrcon_password \"secret\"\r\nlog on\r\n"));
    QVERIFY(!QDir(fx.path("tarrow/backups/TFC")).entryList({"server.cfg.*"}, QDir::Files).isEmpty());
    // The running server turns it on too.
    QTRY_VERIFY(server.commands.contains("log on"));
    QTRY_VERIFY(!on->isVisible());
    QVERIFY(control<QLabel>(w, "Lognotelbl")->text().contains("No log yet"));
}

TARROW_WINDOW_TEST_MAIN(TestLivePage)
#include "tst_livepage.moc"
