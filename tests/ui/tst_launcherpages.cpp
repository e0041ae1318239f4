#include "common/fileio.h"
#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"
#include "support/windowtest.h"
#include "ui/main.h"
#include "ui/startup.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

using namespace tarrow;

namespace {

struct Window : test::WindowUnderTest {
    explicit Window(test::FixtureInstall& fx) : WindowUnderTest(fx) {
        for (const char* m : {"2fort.bsp", "well.bsp", "rock2.bsp"})
            fx.write(QStringLiteral("TFC/maps/") + m, "x");
        open();
        w->wineFinder = [] { return QStringLiteral("/usr/bin/wine"); };
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
};

void TestLauncherPages::launchDedicated() {
    test::FixtureInstall fx;
    fx.write("hlds.exe", "MZ");
    Window win(fx);
    TMainfrm& w = *win.w;
    QCOMPARE(w.Launchcmd->text(), QStringLiteral("L&aunch Server"));
    w.Launchcmd->click();
    QCOMPARE(win.prompter.texts().last(), QStringLiteral("You must select a 'Server Starting Map'."));
    click(w.StartMaplst, 0);
    w.Launchcmd->click();
    QCOMPARE(win.prompter.texts().last(),
             QStringLiteral("You must either select a \"Dedicated Server\" or a \"Listen Server\"."));
    w.Dedicatedopt->click();
    win.prompter.log.clear();
    w.Commandlinetxt->setText("+sv_lan 1");
    w.Launchcmd->click();
    QVERIFY(win.prompter.log.isEmpty());
    QCOMPARE(win.shell.opened,
             QStringList{"start /usr/bin/wine|" + fx.root() +
                         "hlds.exe|-console|-game|TFC|+map|2fort|+maxplayers|16|+sv_lan|1|" + fx.root()});
    QCOMPARE(fx.settings().read(kTarrowKey, "CommandLine"), QStringLiteral("+sv_lan 1"));
    // An empty command line keeps the stored one.
    w.Commandlinetxt->clear();
    w.Launchcmd->click();
    QCOMPARE(fx.settings().read(kTarrowKey, "CommandLine"), QStringLiteral("+sv_lan 1"));
    // Without wine: said so, nothing started.
    w.wineFinder = [] { return QString(); };
    win.shell.opened.clear();
    w.Launchcmd->click();
    QVERIFY(win.shell.opened.isEmpty());
    QVERIFY(win.prompter.texts().last().contains("install Wine"));
}

void TestLauncherPages::startMapToggling() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    QCOMPARE(entries(w.StartMaplst), (QStringList{"2fort.bsp", "rock2.bsp", "well.bsp"}));
    click(w.StartMaplst, 0);
    QCOMPARE(w.StartMaplst->selectedItems().size(), 1);
    click(w.StartMaplst, 2);
    QCOMPARE(w.StartMaplst->selectedItems().size(), 1);
    QCOMPARE(w.StartMaplst->selectedItems().first()->text(), QStringLiteral("well.bsp"));
    click(w.StartMaplst, 2);
    QVERIFY(w.StartMaplst->selectedItems().isEmpty());
}

void TestLauncherPages::mapcycleEditing() {
    test::FixtureInstall fx;
    fx.write("TFC/mapcycle.txt",
             "//Mapcycle created by Tarrow Gui 1.00\r\n  2fort\r\n\r\n// skip\r\nwell\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Launchertabs->setCurrentIndex(2);
    w.mapcmd->click();
    QCOMPARE(w.mapcmd->text(), QStringLiteral("Save Mapcycle"));
    QCOMPARE(entries(w.mapcyclelst), (QStringList{"  2fort", "well"}));
    click(w.AllMaplst, 1);
    click(w.AllMaplst, 2, Qt::ControlModifier);
    w.leftmapcmd->click();
    QCOMPARE(entries(w.mapcyclelst), (QStringList{"  2fort", "well", "rock2", "well"}));
    // Moves: two selected is refused; the first does not go up.
    click(w.mapcyclelst, 0);
    click(w.mapcyclelst, 1, Qt::ControlModifier);
    w.upmapcmd->click();
    QCOMPARE(win.prompter.texts().last(), QStringLiteral("You can only move one field at a time."));
    click(w.mapcyclelst, 0);
    w.upmapcmd->click();
    QCOMPARE(entries(w.mapcyclelst).first(), QStringLiteral("  2fort"));
    w.downmapcmd->click();
    QCOMPARE(entries(w.mapcyclelst), (QStringList{"well", "  2fort", "rock2", "well"}));
    QCOMPARE(w.mapcyclelst->selectedItems().first()->text(), QStringLiteral("  2fort"));
    // Removing the last entry selects the new last.
    click(w.mapcyclelst, 3);
    w.rightmapcmd->click();
    QCOMPARE(entries(w.mapcyclelst), (QStringList{"well", "  2fort", "rock2"}));
    QCOMPARE(w.mapcyclelst->selectedItems().first()->text(), QStringLiteral("rock2"));
    w.mapcmd->click();
    QCOMPARE(fx.read("TFC/mapcycle.txt"),
             QByteArray("//Mapcycle created by Tarrow Gui 1.00\r\nwell\r\n  2fort\r\nrock2\r\n"));
    QCOMPARE(w.mapcmd->text(), QStringLiteral("Load Mapcycle"));
    QVERIFY(entries(w.mapcyclelst).isEmpty());
    // Removing everything returns to Load.
    w.mapcmd->click();
    w.mapcyclelst->selectAll();
    w.rightmapcmd->click();
    QCOMPARE(w.mapcmd->text(), QStringLiteral("Load Mapcycle"));
    // A missing file: the message, nothing else.
    QFile::remove(fx.path("TFC/mapcycle.txt"));
    w.mapcmd->click();
    QVERIFY(win.prompter.texts().last().startsWith("Your Mapcycle.txt was not found, expected path: "));
    QCOMPARE(w.mapcmd->text(), QStringLiteral("Load Mapcycle"));
}

void TestLauncherPages::overviewButton() {
    test::FixtureInstall fx;
    fx.write("TFC/overviews/well.bmp", "x");
    fx.write("TFC/overviews/2fort.gif", "x");
    fx.write("TFC/overviews/2fort.bmp", "x");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Launchertabs->setCurrentIndex(2);
    QVERIFY(!w.showmapcmd->isEnabled());
    click(w.AllMaplst, 2); // well: only a bmp
    QVERIFY(w.showmapcmd->isEnabled());
    w.showmapcmd->click();
    click(w.AllMaplst, 1); // rock2: none
    QVERIFY(!w.showmapcmd->isEnabled());
    click(w.AllMaplst, 0); // 2fort: the gif wins
    w.showmapcmd->click();
    click(w.AllMaplst, 2, Qt::ControlModifier);
    QVERIFY(!w.showmapcmd->isEnabled());
    QCOMPARE(win.shell.opened, (QStringList{"document " + fx.root() + "TFC/overviews/well.bmp",
                                            "document " + fx.root() + "TFC/overviews/2fort.gif"}));
}

void TestLauncherPages::motdEditor() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Launchertabs->setCurrentIndex(3);
    w.MOTDcmd->click();
    QCOMPARE(w.MOTDcmd->text(), QStringLiteral("Load MOTD"));
    QVERIFY(!fx.exists("TFC/motd.txt"));
    fx.write("TFC/motd.txt", "Welcome\nRules: \xE9t\xE9\n");
    w.MOTDcmd->click();
    QCOMPARE(w.MOTDcmd->text(), QStringLiteral("Save MOTD"));
    QVERIFY(w.MOTDtxt->isEnabled());
    w.MOTDcmd->click();
    QCOMPARE(fx.read("TFC/motd.txt"), QByteArray("Welcome\r\nRules: \xE9t\xE9\r\n"));
    QCOMPARE(w.MOTDcmd->text(), QStringLiteral("Save MOTD"));
    w.MOTDtxt->appendPlainText("lost");
    w.CloseMOTDcmd->click();
    QVERIFY(!w.MOTDtxt->isEnabled());
    w.MOTDcmd->click();
    QCOMPARE(w.MOTDtxt->toPlainText(), QString::fromLatin1("Welcome\nRules: \xE9t\xE9\n"));
    fx.write("TFC/motd.txt", "");
    w.CloseMOTDcmd->click();
    w.MOTDcmd->click();
    QVERIFY(w.MOTDtxt->isEnabled());
    w.MOTDcmd->click();
    QCOMPARE(fx.read("TFC/motd.txt"), QByteArray());
}

TARROW_WINDOW_TEST_MAIN(TestLauncherPages)

#include "tst_launcherpages.moc"
