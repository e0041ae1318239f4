#include "common/fileio.h"
#include "common/settingsstore.h"
#include "support/fakesystemctl.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"
#include "support/windowtest.h"
#include "ui/main.h"
#include "ui/startup.h"
#include "ui/statuspane.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

using namespace tarrow;
using test::control;

namespace {

struct Window : test::WindowUnderTest {
    explicit Window(test::FixtureInstall& fx) : WindowUnderTest(fx) {
        for (const char* m : {"2fort.bsp", "well.bsp", "rock2.bsp"})
            fx.write(QStringLiteral("TFC/maps/") + m, "x");
        open();
        w->Launcher->Basic->wineFinder = [] { return QStringLiteral("/usr/bin/wine"); };
        w->Tabs->setCurrentIndex(4);
    }
};

void click(QListWidget* list, int row, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, list->visualItemRect(list->item(row)).center());
}

QStringList entries(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class TestLauncherPages : public QObject {
    Q_OBJECT
  private slots:
    void launchDedicated();
    void startMapToggling();
    void mapcycleEditing();
    void overviewButton();
    void motdEditor();
    void launchInViewWithoutScrolling_data();
    void launchInViewWithoutScrolling();
    void runAsAServiceThroughSystemd_data();
    void runAsAServiceThroughSystemd();
};

void TestLauncherPages::launchDedicated() {
    test::FixtureInstall fx;
    fx.write("hlds.exe", "MZ");
    Window win(fx);
    TMainfrm& w = *win.w;
    QCOMPARE(control<QPushButton>(w, "Launchcmd")->text(), QStringLiteral("L&aunch Server"));
    control<QPushButton>(w, "Launchcmd")->click();
    QCOMPARE(win.prompter.texts().last(), QStringLiteral("You must select a 'Server Starting Map'."));
    click(control<FileListBox>(w, "StartMaplst"), 0);
    control<QPushButton>(w, "Launchcmd")->click();
    QCOMPARE(win.prompter.texts().last(),
             QStringLiteral("You must either select a \"Dedicated Server\" or a \"Listen Server\"."));
    control<QRadioButton>(w, "Dedicatedopt")->click();
    win.prompter.log.clear();
    control<QLineEdit>(w, "Commandlinetxt")->setText("+sv_lan 1");
    control<QPushButton>(w, "Launchcmd")->click();
    QVERIFY(win.prompter.log.isEmpty());
    QCOMPARE(win.shell.opened,
             QStringList{"start /usr/bin/wine|" + fx.root() +
                         "hlds.exe|-console|-game|TFC|+map|2fort|+maxplayers|16|+sv_lan|1|" + fx.root()});
    // The folder's own command line, in its section of the settings.
    const QString folderKey = kTarrowKey + "\\Folder1";
    QCOMPARE(fx.settings().read(folderKey, "CommandLine"), QStringLiteral("+sv_lan 1"));
    // An empty command line keeps the stored one.
    control<QLineEdit>(w, "Commandlinetxt")->clear();
    control<QPushButton>(w, "Launchcmd")->click();
    QCOMPARE(fx.settings().read(folderKey, "CommandLine"), QStringLiteral("+sv_lan 1"));
    // Without wine: said so, nothing started.
    w.Launcher->Basic->wineFinder = [] { return QString(); };
    win.shell.opened.clear();
    control<QPushButton>(w, "Launchcmd")->click();
    QVERIFY(win.shell.opened.isEmpty());
    QVERIFY(win.prompter.texts().last().contains("install Wine"));
}

void TestLauncherPages::startMapToggling() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    QCOMPARE(entries(control<FileListBox>(w, "StartMaplst")),
             (QStringList{"2fort.bsp", "rock2.bsp", "well.bsp"}));
    click(control<FileListBox>(w, "StartMaplst"), 0);
    QCOMPARE(control<FileListBox>(w, "StartMaplst")->selectedItems().size(), 1);
    click(control<FileListBox>(w, "StartMaplst"), 2);
    QCOMPARE(control<FileListBox>(w, "StartMaplst")->selectedItems().size(), 1);
    QCOMPARE(control<FileListBox>(w, "StartMaplst")->selectedItems().first()->text(),
             QStringLiteral("well.bsp"));
    click(control<FileListBox>(w, "StartMaplst"), 2);
    QVERIFY(control<FileListBox>(w, "StartMaplst")->selectedItems().isEmpty());
}

void TestLauncherPages::mapcycleEditing() {
    test::FixtureInstall fx;
    fx.write("TFC/mapcycle.txt",
             "//Mapcycle created by Tarrow Gui 1.00\r\n  2fort\r\n\r\n// skip\r\nwell\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    control<QTabWidget>(w, "Launchertabs")->setCurrentIndex(2);
    control<QPushButton>(w, "mapcmd")->click();
    QCOMPARE(control<QPushButton>(w, "mapcmd")->text(), QStringLiteral("Save Mapcycle"));
    QCOMPARE(entries(control<QListWidget>(w, "mapcyclelst")), (QStringList{"  2fort", "well"}));
    click(control<FileListBox>(w, "AllMaplst"), 1);
    click(control<FileListBox>(w, "AllMaplst"), 2, Qt::ControlModifier);
    control<QPushButton>(w, "leftmapcmd")->click();
    QCOMPARE(entries(control<QListWidget>(w, "mapcyclelst")),
             (QStringList{"  2fort", "well", "rock2", "well"}));
    // Moves: two selected is refused; the first does not go up.
    click(control<QListWidget>(w, "mapcyclelst"), 0);
    click(control<QListWidget>(w, "mapcyclelst"), 1, Qt::ControlModifier);
    control<QPushButton>(w, "upmapcmd")->click();
    QCOMPARE(win.prompter.texts().last(), QStringLiteral("You can only move one field at a time."));
    click(control<QListWidget>(w, "mapcyclelst"), 0);
    control<QPushButton>(w, "upmapcmd")->click();
    QCOMPARE(entries(control<QListWidget>(w, "mapcyclelst")).first(), QStringLiteral("  2fort"));
    control<QPushButton>(w, "downmapcmd")->click();
    QCOMPARE(entries(control<QListWidget>(w, "mapcyclelst")),
             (QStringList{"well", "  2fort", "rock2", "well"}));
    QCOMPARE(control<QListWidget>(w, "mapcyclelst")->selectedItems().first()->text(),
             QStringLiteral("  2fort"));
    // Removing the last entry selects the new last.
    click(control<QListWidget>(w, "mapcyclelst"), 3);
    control<QPushButton>(w, "rightmapcmd")->click();
    QCOMPARE(entries(control<QListWidget>(w, "mapcyclelst")), (QStringList{"well", "  2fort", "rock2"}));
    QCOMPARE(control<QListWidget>(w, "mapcyclelst")->selectedItems().first()->text(),
             QStringLiteral("rock2"));
    control<QPushButton>(w, "mapcmd")->click();
    QCOMPARE(fx.read("TFC/mapcycle.txt"),
             QByteArray("//Mapcycle created by Tarrow Gui 1.00\r\nwell\r\n  2fort\r\nrock2\r\n"));
    QCOMPARE(control<QPushButton>(w, "mapcmd")->text(), QStringLiteral("Load Mapcycle"));
    QVERIFY(entries(control<QListWidget>(w, "mapcyclelst")).isEmpty());
    // Removing everything returns to Load.
    control<QPushButton>(w, "mapcmd")->click();
    control<QListWidget>(w, "mapcyclelst")->selectAll();
    control<QPushButton>(w, "rightmapcmd")->click();
    QCOMPARE(control<QPushButton>(w, "mapcmd")->text(), QStringLiteral("Load Mapcycle"));
    // A missing file: the message, nothing else.
    QFile::remove(fx.path("TFC/mapcycle.txt"));
    control<QPushButton>(w, "mapcmd")->click();
    QVERIFY(win.prompter.texts().last().startsWith("Your Mapcycle.txt was not found, expected path: "));
    QCOMPARE(control<QPushButton>(w, "mapcmd")->text(), QStringLiteral("Load Mapcycle"));
}

void TestLauncherPages::overviewButton() {
    test::FixtureInstall fx;
    fx.write("TFC/overviews/well.bmp", "x");
    fx.write("TFC/overviews/2fort.gif", "x");
    fx.write("TFC/overviews/2fort.bmp", "x");
    Window win(fx);
    TMainfrm& w = *win.w;
    control<QTabWidget>(w, "Launchertabs")->setCurrentIndex(2);
    QVERIFY(!control<QPushButton>(w, "showmapcmd")->isEnabled());
    click(control<FileListBox>(w, "AllMaplst"), 2); // well: only a bmp
    QVERIFY(control<QPushButton>(w, "showmapcmd")->isEnabled());
    control<QPushButton>(w, "showmapcmd")->click();
    click(control<FileListBox>(w, "AllMaplst"), 1); // rock2: none
    QVERIFY(!control<QPushButton>(w, "showmapcmd")->isEnabled());
    click(control<FileListBox>(w, "AllMaplst"), 0); // 2fort: the gif wins
    control<QPushButton>(w, "showmapcmd")->click();
    click(control<FileListBox>(w, "AllMaplst"), 2, Qt::ControlModifier);
    QVERIFY(!control<QPushButton>(w, "showmapcmd")->isEnabled());
    QCOMPARE(win.shell.opened, (QStringList{"document " + fx.root() + "TFC/overviews/well.bmp",
                                            "document " + fx.root() + "TFC/overviews/2fort.gif"}));
}

void TestLauncherPages::motdEditor() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    control<QTabWidget>(w, "Launchertabs")->setCurrentIndex(3);
    control<QPushButton>(w, "MOTDcmd")->click();
    QCOMPARE(control<QPushButton>(w, "MOTDcmd")->text(), QStringLiteral("Load MOTD"));
    QVERIFY(!fx.exists("TFC/motd.txt"));
    fx.write("TFC/motd.txt", "Welcome\nRules: \xE9t\xE9\n");
    control<QPushButton>(w, "MOTDcmd")->click();
    QCOMPARE(control<QPushButton>(w, "MOTDcmd")->text(), QStringLiteral("Save MOTD"));
    QVERIFY(control<QPlainTextEdit>(w, "MOTDtxt")->isEnabled());
    control<QPushButton>(w, "MOTDcmd")->click();
    QCOMPARE(fx.read("TFC/motd.txt"), QByteArray("Welcome\r\nRules: \xE9t\xE9\r\n"));
    QCOMPARE(control<QPushButton>(w, "MOTDcmd")->text(), QStringLiteral("Save MOTD"));
    control<QPlainTextEdit>(w, "MOTDtxt")->appendPlainText("lost");
    control<QPushButton>(w, "CloseMOTDcmd")->click();
    QVERIFY(!control<QPlainTextEdit>(w, "MOTDtxt")->isEnabled());
    control<QPushButton>(w, "MOTDcmd")->click();
    QCOMPARE(control<QPlainTextEdit>(w, "MOTDtxt")->toPlainText(),
             QString::fromLatin1("Welcome\nRules: \xE9t\xE9\n"));
    fx.write("TFC/motd.txt", "");
    control<QPushButton>(w, "CloseMOTDcmd")->click();
    control<QPushButton>(w, "MOTDcmd")->click();
    QVERIFY(control<QPlainTextEdit>(w, "MOTDtxt")->isEnabled());
    control<QPushButton>(w, "MOTDcmd")->click();
    QCOMPARE(fx.read("TFC/motd.txt"), QByteArray());
}

void TestLauncherPages::launchInViewWithoutScrolling_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("default 820x700") << QSize(820, 700);
    QTest::newRow("1024x768") << QSize(1024, 768);
}

// The page scrolls; the launcher must not need it.
void TestLauncherPages::launchInViewWithoutScrolling() {
    QFETCH(QSize, size);
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    w.resize(size);
    QTRY_COMPARE(w.size(), size);
    for (const char* name : {"Launchcmd", "Commandlinetxt", "Saveservercmd"}) {
        QWidget* c = control<QWidget>(w, name);
        QTRY_VERIFY2(c->isVisible(), name);
        const QRect shown = c->visibleRegion().boundingRect();
        QVERIFY2(shown.size() == c->size(), qPrintable(QStringLiteral("%1 shows %2x%3 of %4x%5")
                                                           .arg(QLatin1String(name))
                                                           .arg(shown.width())
                                                           .arg(shown.height())
                                                           .arg(c->width())
                                                           .arg(c->height())));
    }
}

void TestLauncherPages::runAsAServiceThroughSystemd_data() {
    QTest::addColumn<bool>("userManager");
    QTest::newRow("a user manager runs") << true;
    QTest::newRow("no user manager") << false;
}

void TestLauncherPages::runAsAServiceThroughSystemd() {
    QFETCH(bool, userManager);
    test::FixtureInstall fx;
    fx.write("hlds.exe", "");
    fx.write("TFC/maps/2fort.bsp", "x");
    // A systemctl that records what it is asked, first on PATH; the units go to the fixture.
    const QString log = fx.path("systemctl.log");
    const test::FakeSystemctl systemctl(
        fx, ("echo \"$@\" >> " + log + "\n" +
             (userManager ? QString() : "[ \"$2\" = show-environment ] && exit 1\n") +
             "case \"$*\" in *show\\ *) [ -f " + fx.path("active") +
             " ] && echo ActiveState=active || echo ActiveState=inactive;; esac\nexit 0\n")
                .toUtf8());
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(4);
    auto* box = control<QCheckBox>(w, "Servicechk");
    auto* launch = control<QPushButton>(w, "Launchcmd");
    if (!userManager) {
        // systemd's answer comes when it comes: the window does not wait for it.
        QTRY_VERIFY2(box->toolTip().startsWith("Not available here: "), qPrintable(box->toolTip()));
        QVERIFY(!box->isEnabled());
        QCOMPARE(launch->text(), QStringLiteral("L&aunch Server"));
    } else {
        QTRY_VERIFY(box->isEnabled());
        box->click();
        const QString unit = fx.path("config/systemd/user/tarrow-server-Half\\x2dLife.service");
        QVERIFY2(QFileInfo::exists(unit),
                 qPrintable(win.prompter.texts().join(" / ") + QString::fromUtf8(fx.read("systemctl.log"))));
        QVERIFY(box->isChecked());
        QTRY_COMPARE(launch->text(), QStringLiteral("Start Service (stopped)"));
        launch->click();
        QTRY_VERIFY(QString::fromUtf8(fx.read("systemctl.log"))
                        .contains("--user start tarrow-server-Half\\x2dLife.service"));
        QTRY_VERIFY(launch->isEnabled());
        fx.write("active", "");
        w.Tabs->setCurrentIndex(0);
        w.Tabs->setCurrentIndex(4);
        QTRY_COMPARE(launch->text(), QStringLiteral("Stop Service (running)"));
        // A click on the report that changes a loader file offers a restart once only bots play.
        w.Tabs->setCurrentIndex(0);
        QVERIFY(!w.statusBar()->findChild<QPushButton*>("Restartcmd"));
        emit w.Main->Status->componentClicked(Component::Tarrow);
        QTRY_VERIFY(w.statusBar()->findChild<QPushButton*>("Restartcmd"));
        auto* restart = w.statusBar()->findChild<QPushButton*>("Restartcmd");
        restart->click();
        QVERIFY2(win.shell.opened.last().contains("|restart|--when-empty|--warn|--name|Half\\x2dLife|"),
                 qPrintable(win.shell.opened.last()));
        w.Tabs->setCurrentIndex(4);
        // Unticked: the units go, and Launch starts the server from the window again.
        QTRY_VERIFY(box->isEnabled());
        box->click();
        QTRY_VERIFY(!QFileInfo::exists(unit));
        QTRY_COMPARE(launch->text(), QStringLiteral("L&aunch Server"));
    }
    QVERIFY(win.prompter.log.isEmpty());
}

TARROW_WINDOW_TEST_MAIN(TestLauncherPages)

#include "tst_launcherpages.moc"
