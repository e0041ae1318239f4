// The window never dies and never waits: a failure that escapes a handler, a slow systemd, a console
// password among lines the pages cannot read, a folder change during a paced wait, a loader file too
// large to read at start-up.
#include "app/folders.h"
#include "app/windowoptions.h"
#include "common/errors.h"
#include "common/settingsstore.h"
#include "live/client.h"
#include "support/fakeserver.h"
#include "support/fakesystemctl.h"
#include "support/windowtest.h"
#include "ui/page_info.h"
#include "ui/page_launcher.h"
#include "ui/widgets.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

using namespace tarrow;
using test::control;

namespace {

struct Window : test::WindowUnderTest {
    explicit Window(test::FixtureInstall& f) : WindowUnderTest(f) { open(Liblist::WritePlain, true); }
};

} // namespace

class TestWindowGuard : public QObject {
    Q_OBJECT
  private slots:
    void init() { live::refusedPasswords::clear(); }
    void anEscapedFailureShowsTheErrorBox_data();
    void anEscapedFailureShowsTheErrorBox();
    void aSlowSystemdNeverHoldsUpTheWindow();
    void theConsoleReadsThePasswordAlone();
    void aRefusedPasswordIsNotSentAgain();
    void anotherFolderWaitsForTheRebuild_data();
    void anotherFolderWaitsForTheRebuild();
    void eachFolderKeepsItsLauncherChoices();
    void anOversizedLoaderFileAtStartUp();
};

void TestWindowGuard::anEscapedFailureShowsTheErrorBox_data() {
    QTest::addColumn<int>("how");
    QTest::addColumn<QString>("text");
    QTest::newRow("a button connected without the boundary") << 0 << "Cannot write file \"x\". Disk full";
    QTest::newRow("a timer's handler") << 1 << "'25min' is not a valid integer value";
    QTest::newRow("a failure not of ours") << 2 << "bad optional access";
}

void TestWindowGuard::anEscapedFailureShowsTheErrorBox() {
    QFETCH(int, how);
    QFETCH(QString, text);
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    auto* button = new QPushButton(QStringLiteral("Fails"), w.statusBar());
    w.statusBar()->addWidget(button);
    button->show();
    auto fail = [how, text] {
        if (how == 0) throw IoError(text);
        if (how == 1) throw ConversionError(QStringLiteral("25min"));
        throw std::bad_optional_access();
    };
    if (how == 0) {
        QObject::connect(button, &QPushButton::clicked, fail);
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        QTimer::singleShot(0, &w, fail);
    }
    QTRY_COMPARE(win.prompter.texts("error"), QStringList{text});
    // The window goes on: it is shown, its pages answer, its timers run.
    QVERIFY(w.isVisible());
    w.Tabs->setCurrentIndex(5);
    QCOMPARE(w.Tabs->currentIndex(), 5);
    bool ticked = false;
    QTimer::singleShot(0, &w, [&ticked] { ticked = true; });
    QTRY_VERIFY(ticked);
    QCOMPARE(win.prompter.texts("error").size(), 1);
}

void TestWindowGuard::aSlowSystemdNeverHoldsUpTheWindow() {
    test::FixtureInstall fx;
    fx.write("hlds.exe", "");
    // A user manager that takes 3 s to say that it is not there.
    test::FakeSystemctl systemctl(fx, "sleep 3\ntouch " + fx.path("answered").toUtf8() + "\nexit 1\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(4);
    auto* box = control<QCheckBox>(w, "Servicechk");
    // The page shows at once, saying that it asks; the window's loop runs meanwhile.
    QVERIFY(!fx.exists("answered"));
    QCOMPARE(box->toolTip(), QStringLiteral("Checking whether systemd runs your services…"));
    QVERIFY(!box->isEnabled());
    bool ticked = false;
    QTimer::singleShot(0, &w, [&ticked] { ticked = true; });
    QTRY_VERIFY(ticked);
    QVERIFY(!fx.exists("answered"));
    // The answer shows when it comes.
    QTRY_VERIFY_WITH_TIMEOUT(box->toolTip().startsWith("Not available here: "), 15000);
    QVERIFY(fx.exists("answered"));
    QCOMPARE(control<QPushButton>(w, "Launchcmd")->text(), QStringLiteral("L&aunch Server"));
}

// The Live Server page of a window on a fixture whose server.cfg is `serverCfg`, asking `server`.
struct ConsolePage {
    ConsolePage(const test::FakeServer& server, const QByteArray& serverCfg) {
        fx.write("TFC/server.cfg", serverCfg);
        fx.settings().write(kTarrowKey, ownSettingName(OwnSetting::CommandLine),
                            "+port " + QString::number(server.port()));
        win = std::make_unique<Window>(fx);
        w().Tabs->setCurrentIndex(w().Tabs->indexOf(w().Live));
    }
    TMainfrm& w() { return *win->w; }
    // A command typed into the console, then Enter.
    void enter(const QString& command) {
        auto* console = control<QLineEdit>(w(), "Consoletxt");
        console->setText(command);
        QTest::keyClick(console, Qt::Key_Return);
    }
    QString output() { return control<QPlainTextEdit>(w(), "Consolemem")->toPlainText(); }
    test::FixtureInstall fx;
    std::unique_ptr<Window> win;
};

void TestWindowGuard::theConsoleReadsThePasswordAlone() {
    test::FakeServer server;
    // A number setting the pages cannot read, and the password on a line of its own.
    ConsolePage page(server, "mp_timelimit 25min\r\nrcon_password \"secret\"\r\n");
    page.enter("status");
    QTRY_VERIFY(page.output().contains("hostname: Tarrow Test Server"));
    // The page's own status for the players' ids may have gone too: nothing else did.
    QVERIFY(!server.commands.isEmpty());
    QCOMPARE(server.commands.count("status"), server.commands.size());
    QVERIFY(page.win->prompter.texts("error").isEmpty());
    QVERIFY(page.w().isVisible());
}

void TestWindowGuard::aRefusedPasswordIsNotSentAgain() {
    test::FakeServer server;
    ConsolePage page(server, "rcon_password \"wrong\"\r\n");
    for (int i = 0; i < 3; ++i) {
        page.enter("status");
        QTRY_COMPARE(page.output().count("rcon password"), i + 1);
    }
    QCOMPARE(server.badPasswords, 1);
    QVERIFY(page.output().contains("refused this rcon password before; it was not sent again"));
    // A password typed on the page is another one: it goes.
    control<QLineEdit>(page.w(), "Passwordtxt")->setText("secret");
    page.enter("status");
    QTRY_COMPARE(server.commands, QStringList{"status"});
}

void TestWindowGuard::anotherFolderWaitsForTheRebuild_data() {
    QTest::addColumn<bool>("quit"); // the window is closed during the wait, not switched
    QTest::newRow("another folder") << false;
    QTest::newRow("quit") << true;
}

void TestWindowGuard::anotherFolderWaitsForTheRebuild() {
    QFETCH(bool, quit);
    test::FixtureInstall fx;
    fx.write("second/TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    InfoPage* page = w.Info;
    // While the rebuild waits between its steps, the user opens the second folder, or quits.
    test::FakeClock clock;
    bool asked = false;
    clock.onWait = [&](int) {
        if (asked) return;
        asked = true;
        if (quit)
            w.close();
        else
            w.openFolder(fx.path("second/"));
        // The page that waits is still there, and so is the window.
        QCOMPARE(w.Info, page);
        QVERIFY(w.isVisible());
        QCOMPARE(w.installation().root(), fx.root());
    };
    control<QCheckBox>(w, "Liblistchk")->setChecked(true);
    control<QPushButton>(w, "Rebuildcmd")->click();
    QVERIFY(asked);
    // The rebuild went to its end in the first folder.
    QVERIFY(fx.read("TFC/liblist.gam").startsWith("// Rebuilt Liblist.gam by Tarrow Gui 1.00\r\n"));
    QCOMPARE(control<QLabel>(w, "Rebuildlbl")->text(), QStringLiteral("Idle"));
    QVERIFY(win.prompter.texts("error").isEmpty());
    // Then what was asked for happens.
    if (quit) {
        QTRY_VERIFY(!w.isVisible());
    } else {
        QTRY_COMPARE(w.installation().root(), fx.path("second/"));
        QVERIFY(w.Info != page);
    }
}

void TestWindowGuard::eachFolderKeepsItsLauncherChoices() {
    test::FixtureInstall fx;
    fx.write("TFC/maps/2fort.bsp", "x");
    fx.write("TFC/maps/well.bsp", "x");
    fx.write("TFC/server.cfg", "hostname \"first\"\r\n");
    fx.write("TFC/listenserver.cfg", "hostname \"first listen\"\r\n");
    const QString second = fx.path("second/");
    fx.write("second/TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.write("second/TFC/maps/rock2.bsp", "x");
    fx.write("second/TFC/maps/well.bsp", "x");
    fx.write("second/TFC/listenserver.cfg", "hostname \"second listen\"\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    auto choose = [&](const char* kind, const QString& map) {
        control<QRadioButton>(w, kind)->click();
        auto* maps = control<FileListBox>(w, "StartMaplst");
        maps->findItems(map, Qt::MatchFixedString).first()->setSelected(true);
    };
    auto shown = [&] {
        const QList<QListWidgetItem*> selected = control<FileListBox>(w, "StartMaplst")->selectedItems();
        return QStringList{control<QRadioButton>(w, "Dedicatedopt")->isChecked() ? "dedicated"
                           : control<QRadioButton>(w, "Listenopt")->isChecked()  ? "listen"
                                                                                 : "none",
                           selected.size() == 1 ? selected.first()->text() : QString::number(selected.size()),
                           control<QLineEdit>(w, "ServerNametxt")->text()};
    };
    choose("Dedicatedopt", "well.bsp");
    QCOMPARE(shown(), (QStringList{"dedicated", "well.bsp", "first"}));
    w.openFolder(second);
    QCOMPARE(shown(), (QStringList{"none", "0", ""}));
    choose("Listenopt", "rock2.bsp");
    w.openFolder(fx.root());
    QCOMPARE(shown(), (QStringList{"dedicated", "well.bsp", "first"}));
    w.openFolder(second);
    QCOMPARE(shown(), (QStringList{"listen", "rock2.bsp", "second listen"}));
    QVERIFY(win.prompter.log.isEmpty());
}

void TestWindowGuard::anOversizedLoaderFileAtStartUp() {
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", QByteArray(17 * 1024 * 1024, 'x'));
    test::WindowUnderTest win(fx);
    TMainfrm& w = win.open(test::WindowUnderTest::Liblist::AsInstalled);
    // Named once, at start-up, by its path.
    QCOMPARE(win.prompter.texts("error").size(), 1);
    QVERIFY2(win.prompter.texts("error").first().contains("liblist.gam"),
             qPrintable(win.prompter.texts("error").first()));
    // The report starts all the same, and its refreshes do not name the file again.
    QVERIFY(w.statustmr->isActive());
    w.statustmr->stop();
    w.statustmrTimer();
    w.statustmrTimer();
    QVERIFY(fx.exists("tarrow/tarrow.html"));
    QCOMPARE(win.prompter.texts("error").size(), 1);
    QVERIFY(w.statusBar()->currentMessage().startsWith("Not read, counted as empty: "));
}

TARROW_WINDOW_TEST_MAIN(TestWindowGuard)

#include "tst_windowguard.moc"
