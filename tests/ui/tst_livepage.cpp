#include "app/windowoptions.h"
#include "common/settingsstore.h"
#include "support/fakeserver.h"
#include "support/fixtureinstall.h"
#include "support/windowtest.h"
#include "ui/main.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using namespace tarrow;
using test::control;

class TestLivePage : public QObject {
    Q_OBJECT
  private slots:
    void showsTheServerAndRunsTheConsole();
    void theLogPaneFollowsTheLog();
    void withoutALogItOffersToTurnItOn();
    void playersByUniqueIdKickedAndBanned();
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

    // The console, with the password of server.cfg, and its history. The page asks `status` itself for
    // the players' ids: what was typed is the rest.
    const auto typed = [&server] {
        QStringList c = server.commands;
        c.removeAll("status");
        return c;
    };
    auto* line = control<QLineEdit>(w, "Consoletxt");
    line->setText("stats");
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_VERIFY(
        control<QPlainTextEdit>(w, "Consolemem")->toPlainText().contains("hostname: Tarrow Test Server"));
    QCOMPARE(typed(), QStringList{"stats"});
    QTest::keyClick(line, Qt::Key_Up);
    QCOMPARE(line->text(), QStringLiteral("stats"));
    QTest::keyClick(line, Qt::Key_Down);
    QCOMPARE(line->text(), QString());
    // Change Map sends changelevel with the chosen map.
    QTRY_VERIFY(control<QPushButton>(w, "Changemapcmd")->isEnabled());
    control<QPushButton>(w, "Changemapcmd")->click();
    QTRY_COMPARE(typed().size(), 2);
    QCOMPARE(typed().last(), QStringLiteral("changelevel 2fort"));

    // A saved server.cfg can be applied without a restart.
    w.Tabs->setCurrentIndex(4);
    control<QRadioButton>(w, "Dedicatedopt")->click();
    control<QPushButton>(w, "Saveservercmd")->click();
    auto* apply = w.statusBar()->findChild<QPushButton*>("Applycmd");
    QVERIFY(apply);
    apply->click();
    QTRY_COMPARE(typed().size(), 3);
    QCOMPARE(typed().last(), QStringLiteral("exec server.cfg"));
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

void TestLivePage::playersByUniqueIdKickedAndBanned() {
    test::FakeServer server;
    server.rconReplies.insert("status", "hostname: Tarrow Test Server\n"
                                        "#      name userid uniqueid frag time ping loss adr\n"
                                        "# 1 \"Alice\" 2 STEAM_0:1:1234 12 13:32 50 0 203.0.113.7:27005\n"
                                        "# 2 \"[TB] Bot1\" 3 BOT 3 13:32 0 0\n2 users\n");
    test::FixtureInstall fx;
    fx.write("TFC/server.cfg", "rcon_password \"secret\"\r\n");
    fx.settings().write(kTarrowKey, ownSettingName(OwnSetting::CommandLine),
                        "+port " + QString::number(server.port()));
    test::WindowUnderTest win(fx);
    TMainfrm& w = win.open();
    w.Tabs->setCurrentWidget(w.Live);
    auto* players = control<QTableWidget>(w, "Playerstbl");
    QTRY_COMPARE(players->rowCount(), 2);
    QTRY_COMPARE(players->item(0, 3)->text(), QStringLiteral("STEAM_0:1:1234"));
    QCOMPARE(players->item(1, 3)->text(), QStringLiteral("bot"));

    // Ban for an hour, asked once; the engine saves the lists after the ban.
    const QPoint alice = players->visualItemRect(players->item(0, 0)).center();
    win.prompter.answers.enqueue(true);
    QTimer::singleShot(300, [] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                if (a->text().contains("60 Minutes")) a->trigger();
            menu->close();
        }
    });
    emit players->customContextMenuRequested(alice);
    QTRY_VERIFY(server.commands.contains("writeid"));
    QVERIFY(win.prompter.texts().contains("Ban Alice (STEAM_0:1:1234) for 60 minutes?"));
    const qsizetype banned = server.commands.indexOf("banid 60 STEAM_0:1:1234 kick");
    QVERIFY(banned >= 0 && banned < server.commands.indexOf("writeid"));

    // Kick, refused at the question: nothing is sent.
    win.prompter.answers.enqueue(false);
    QTimer::singleShot(300, [] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                if (a->text().contains("Kick")) a->trigger();
            menu->close();
        }
    });
    emit players->customContextMenuRequested(alice);
    QTRY_VERIFY(win.prompter.texts().contains("Kick Alice (STEAM_0:1:1234)?"));
    QTest::qWait(300);
    QVERIFY(!server.commands.join(' ').contains("kick # 2"));
}

TARROW_WINDOW_TEST_MAIN(TestLivePage)
#include "tst_livepage.moc"
