#include "common/errors.h"
#include "common/fileio.h"
#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"
#include "support/windowtest.h"
#include "ui/main.h"
#include "ui/startup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

using namespace tarrow;
using test::control;

namespace {

struct Window : test::WindowUnderTest {
    explicit Window(test::FixtureInstall& fx, bool withLiblist = true) : WindowUnderTest(fx) {
        open(withLiblist ? Liblist::WritePlain : Liblist::AsInstalled);
    }
};

void select(QComboBox* box, const QString& entry) {
    box->setCurrentIndex(box->findText(entry));
}

} // namespace

class TestGameFilesPages : public QObject {
    Q_OBJECT
  private slots:
    void rebuildThroughTheWindow();
    void fileBoxRoundTripAndStates();
    void closeAsksOnlyAfterAnEdit();
    void readOnlyOnSaveAndOnClose();
    void editedTarrowCfgReachesTheSliders();
    void hostileFilesLoadAndSaveBack();
    void emptyListDoesNothing();
};

void TestGameFilesPages::rebuildThroughTheWindow() {
    test::FixtureInstall fx;
    test::FakeClock clock;
    QDir().mkpath(fx.path("TFC/addons/metamod"));
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(5);
    w.Tabs->setCurrentIndex(0);
    QVERIFY(w.statustmr->isActive());
    QCOMPARE(control<QLabel>(w, "Rebuildlbl")->text(), QStringLiteral("Idle"));
    control<QCheckBox>(w, "Liblistchk")->setChecked(true);
    control<QCheckBox>(w, "Metamodchk")->setChecked(true);
    control<QPushButton>(w, "Rebuildcmd")->click();
    QVERIFY(fx.read("TFC/liblist.gam").startsWith("// Rebuilt Liblist.gam by Tarrow Gui 1.00\r\n"));
    QCOMPARE(fx.read("TFC/addons/metamod/plugins.ini"),
             QByteArray("// Rebuilt plugins.ini by Tarrow Gui 1.00\r\n"));
    QVERIFY(!fx.exists("TFC/autoexec.cfg"));
    QVERIFY(!control<QCheckBox>(w, "Liblistchk")->isChecked() &&
            !control<QCheckBox>(w, "Metamodchk")->isChecked());
    QCOMPARE(control<QLabel>(w, "Rebuildlbl")->text(), QStringLiteral("Idle"));
    QVERIFY(!w.statustmr->isActive());
    QCOMPARE(clock.waits, (QList<int>{300, 300, 300, 300}));

    // A failed write: the error box, and the label back at Idle. (A file that already holds the default
    // bytes is not written at all, so it is changed first.)
    fx.write("TFC/liblist.gam", "changed\r\n");
    setWriteFaultHook([](const QString& p, const QByteArray&) {
        if (p.endsWith("liblist.gam")) throw IoError("Cannot create file \"" + p + "\". Access is denied.");
    });
    control<QCheckBox>(w, "Liblistchk")->setChecked(true);
    control<QPushButton>(w, "Rebuildcmd")->click();
    setWriteFaultHook(nullptr);
    QCOMPARE(win.prompter.texts("error").size(), 1);
    QVERIFY(win.prompter.texts("error").first().contains("liblist.gam"));
    QCOMPARE(control<QLabel>(w, "Rebuildlbl")->text(), QStringLiteral("Idle"));
    QVERIFY(control<QCheckBox>(w, "Liblistchk")->isChecked());
}

void TestGameFilesPages::fileBoxRoundTripAndStates() {
    test::FixtureInstall fx;
    fx.write("TFC/server.cfg", "hostname \"x\"\nsv_lan 1");
    fx.write("TFC/plugins.ini", "mod copy");
    fx.write("TFC/addons/metamod/plugins.ini", "win32 ../tarrow/tarrow.dll\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    QStringList entries;
    for (int i = 0; i < control<QComboBox>(w, "Filelst")->count(); ++i)
        entries << control<QComboBox>(w, "Filelst")->itemText(i);
    QCOMPARE(entries, (QStringList{"Liblist.gam", "Plugins.ini", "Server.cfg"}));
    QCOMPARE(control<QPushButton>(w, "LoadFilecmd")->toolTip(),
             QStringLiteral("Click here to load the selected file in the file box"));
    select(control<QComboBox>(w, "Filelst"), "Plugins.ini");
    w.Tabs->setCurrentIndex(1);
    QTest::keyClick(control<QComboBox>(w, "Filelst"), Qt::Key_Return); // Enter presses the default button
    QCOMPARE(control<QLabel>(w, "Filelbl")->text(),
             "Current File: " + fx.root() + "TFC/addons/metamod/plugins.ini");
    QCOMPARE(control<QPushButton>(w, "LoadFilecmd")->text(), QStringLiteral("Save Selected File"));
    QCOMPARE(control<QPushButton>(w, "LoadFilecmd")->toolTip(),
             QStringLiteral("Click here to save the selected file in the file box"));
    QVERIFY(!control<QComboBox>(w, "Filelst")->isEnabled());
    QVERIFY(control<QPushButton>(w, "Botclosecmd")->isEnabled());
    QVERIFY(!w.Tarrow->fileEdited());
    control<QPushButton>(w, "LoadFilecmd")->click();
    QCOMPARE(fx.read("TFC/addons/metamod/plugins.ini"), QByteArray("win32 ../tarrow/tarrow.dll\r\n"));
    QCOMPARE(control<QLabel>(w, "Filelbl")->text(), QStringLiteral("Current File: None"));
    QVERIFY(control<QComboBox>(w, "Filelst")->isEnabled());
    QVERIFY(!control<QPlainTextEdit>(w, "Tartxt")->isEnabled());

    select(control<QComboBox>(w, "Filelst"), "Server.cfg");
    control<QPushButton>(w, "LoadFilecmd")->click();
    control<QPushButton>(w, "LoadFilecmd")->click();
    QCOMPARE(fx.read("TFC/server.cfg"), QByteArray("hostname \"x\"\r\nsv_lan 1"));

    // A known file that has gone since start-up.
    QFile::remove(fx.path("TFC/server.cfg"));
    control<QPushButton>(w, "LoadFilecmd")->click();
    const QString r = fx.root();
    QCOMPARE(win.prompter.texts("message"),
             QStringList{"Error loading file, expected path: " + r + "tarrow/TFC/Server.cfg, or " + r +
                         "TFC/Server.cfg or " + r + "TFC/addons/metamod/Server.cfg or " + r +
                         "TFC/addons/neotf/Server.cfg"});
    QCOMPARE(control<QPushButton>(w, "LoadFilecmd")->text(), QStringLiteral("Load Selected File"));
}

void TestGameFilesPages::closeAsksOnlyAfterAnEdit() {
    test::FixtureInstall fx;
    fx.write("TFC/motd.txt", "Welcome");
    fx.write("tarrow/TFC/tarrow.cfg", "botskill 1");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(1);
    select(control<QComboBox>(w, "Filelst"), "MOTD.txt");
    control<QPushButton>(w, "LoadFilecmd")->click();
    control<QPushButton>(w, "Botclosecmd")->click();
    QVERIFY(win.prompter.texts("confirm").isEmpty());

    control<QPushButton>(w, "LoadFilecmd")->click();
    QTest::keyClick(control<QPlainTextEdit>(w, "Tartxt"), Qt::Key_X);
    QVERIFY(w.Tarrow->fileEdited());
    win.prompter.answers.enqueue(false);
    control<QPushButton>(w, "Botclosecmd")->click();
    QCOMPARE(win.prompter.texts("confirm"),
             QStringList{"You have edited the open file, would you like to save it before you close it?"});
    QCOMPARE(fx.read("TFC/motd.txt"), QByteArray("Welcome"));

    control<QPushButton>(w, "LoadFilecmd")->click();
    control<QPlainTextEdit>(w, "Tartxt")->moveCursor(QTextCursor::End);
    QTest::keyClick(control<QPlainTextEdit>(w, "Tartxt"), Qt::Key_Exclam);
    win.prompter.answers.enqueue(true);
    QTest::keyClick(control<QPlainTextEdit>(w, "Tartxt"),
                    Qt::Key_Escape); // Esc acts as Close while the page is shown
    QCOMPARE(fx.read("TFC/motd.txt"), QByteArray("Welcome!"));
    QCOMPARE(control<QLabel>(w, "Filelbl")->text(), QStringLiteral("Current File: None"));
}

void TestGameFilesPages::readOnlyOnSaveAndOnClose() {
    test::FixtureInstall fx;
    fx.write("TFC/mapcycle.txt", "2fort");
    setReadOnly(fx.path("TFC/mapcycle.txt"));
    Window win(fx);
    TMainfrm& w = *win.w;
    select(control<QComboBox>(w, "Filelst"), "Mapcycle.txt");
    control<QPushButton>(w, "LoadFilecmd")->click();
    QTest::keyClick(control<QPlainTextEdit>(w, "Tartxt"), Qt::Key_A);
    win.prompter.answers.enqueue(true);
    control<QPushButton>(w, "Botclosecmd")->click();
    QCOMPARE(win.prompter.texts("error").size(), 1);
    QVERIFY(control<QPlainTextEdit>(w, "Tartxt")->isEnabled());
    QVERIFY(w.Tarrow->fileEdited());
    QCOMPARE(control<QPlainTextEdit>(w, "Tartxt")->toPlainText(), QStringLiteral("a2fort"));
    QCOMPARE(fx.read("TFC/mapcycle.txt"), QByteArray("2fort"));
    // Save clears the attribute.
    control<QPushButton>(w, "LoadFilecmd")->click();
    QCOMPARE(fx.read("TFC/mapcycle.txt"), QByteArray("a2fort"));
    QVERIFY(!isReadOnly(fx.path("TFC/mapcycle.txt")));
}

void TestGameFilesPages::editedTarrowCfgReachesTheSliders() {
    test::FixtureInstall fx;
    fx.write("tarrow/TFC/tarrow.cfg", "botskill 2\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(1);
    QCOMPARE(control<QSlider>(w, "Skillsdr")->value(), 2);
    select(control<QComboBox>(w, "Filelst"), "Tarrow.cfg");
    control<QPushButton>(w, "LoadFilecmd")->click();
    control<QPlainTextEdit>(w, "Tartxt")->setPlainText("botskill 5");
    control<QPushButton>(w, "LoadFilecmd")->click();
    w.Tabs->setCurrentIndex(0);
    w.Tabs->setCurrentIndex(1);
    QCOMPARE(control<QSlider>(w, "Skillsdr")->value(), 5);
}

void TestGameFilesPages::hostileFilesLoadAndSaveBack() {
    test::FixtureInstall fx;
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        if (i != '\r' && i != '\n') bytes += char(i);
    bytes += "\r\n" + QByteArray(1 << 20, 'z') + "\r\nend\xA0\xA0";
    fx.write("TFC/users.ini", bytes);
    fx.write("TFC/server.cfg", QByteArray(20 * 1024 * 1024, 'x'));
    Window win(fx);
    TMainfrm& w = *win.w;
    select(control<QComboBox>(w, "Filelst"), "Users.ini");
    control<QPushButton>(w, "LoadFilecmd")->click();
    control<QPushButton>(w, "LoadFilecmd")->click();
    QCOMPARE(fx.read("TFC/users.ini"), bytes);
    // Too large for the box: said so, nothing loaded, nothing cut.
    select(control<QComboBox>(w, "Filelst"), "Server.cfg");
    control<QPushButton>(w, "LoadFilecmd")->click();
    QCOMPARE(win.prompter.texts("message").size(), 1);
    QVERIFY(win.prompter.texts("message").first().contains("too large"));
    QCOMPARE(control<QPushButton>(w, "LoadFilecmd")->text(), QStringLiteral("Load Selected File"));
    QCOMPARE(QFileInfo(fx.path("TFC/server.cfg")).size(), 20 * 1024 * 1024);
}

void TestGameFilesPages::emptyListDoesNothing() {
    test::FixtureInstall fx;
    Window win(fx, false);
    TMainfrm& w = *win.w;
    QCOMPARE(control<QComboBox>(w, "Filelst")->count(), 0);
    win.prompter.log.clear();
    control<QPushButton>(w, "LoadFilecmd")->click();
    QVERIFY(win.prompter.log.isEmpty());
    QCOMPARE(control<QPushButton>(w, "LoadFilecmd")->text(), QStringLiteral("Load Selected File"));
}

TARROW_WINDOW_TEST_MAIN(TestGameFilesPages)

#include "tst_gamefilespages.moc"
