#include "common/fileio.h"
#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"
#include "support/windowtest.h"
#include "ui/main.h"
#include "ui/startup.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

using namespace tarrow;
using test::control;

namespace {

struct Window : test::WindowUnderTest {
    explicit Window(test::FixtureInstall& fx) : WindowUnderTest(fx) { open(); }
};

QListWidgetItem* itemNamed(QListWidget* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// A user's click on a list item.
void clickItem(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

QStringList items(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class TestBotPages : public QObject {
    Q_OBJECT
  private slots:
    void showingThePageLoadsAndSaveWritesTemplate();
    void missingFileQuestion();
    void invalidIntegerShowsErrorAndKeepsEarlierValues();
    void configsPageOpenSaveClose();
    void scriptWizardNewScript();
    void scriptWizardBackKeepsTheChosenMap();
    void scriptWizardExistingScriptAndFailure();
    void scriptMenuInsertsAtCaret();
    void scriptNextWaitsForAChosenMap();
};

void TestBotPages::showingThePageLoadsAndSaveWritesTemplate() {
    test::FixtureInstall fx;
    fx.write("tarrow/TFC/tarrow.cfg",
             "botskill 4\r\nmin_bots 5\r\nmax_bots 3\r\nbot_chat 1\r\naddbot blue soldier Bob 2\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    QVERIFY(!control<QSlider>(w, "Skillsdr")->isEnabled());
    w.Tabs->setCurrentIndex(1);
    QCOMPARE(control<QPushButton>(w, "Tarcmd")->text(), QStringLiteral("Save Tarrow.cfg"));
    QVERIFY(control<QSlider>(w, "Skillsdr")->isEnabled());
    QCOMPARE(control<QSlider>(w, "Skillsdr")->value(), 4);
    QCOMPARE(control<QLabel>(w, "Skilllvllbl")->text(),
             QStringLiteral("I did pretty good against other bots, i think."));
    QCOMPARE(control<QSlider>(w, "Minbotsdr")->value(), 3);
    QCOMPARE(control<QSlider>(w, "Maxbotsdr")->value(), 3);
    QVERIFY(control<QCheckBox>(w, "Botchatchk")->isChecked());

    // The user drags the sliders: the minimum pushes the maximum up.
    control<QSlider>(w, "Minbotsdr")->setValue(24);
    QCOMPARE(control<QSlider>(w, "Maxbotsdr")->value(), 24);
    QCOMPARE(control<QLabel>(w, "Maxbotlvllbl")->text(), QStringLiteral("24, Thats alot of bots!"));
    control<QSlider>(w, "Maxbotsdr")->setValue(-1);
    QCOMPARE(control<QSlider>(w, "Minbotsdr")->value(), -1);
    QCOMPARE(control<QLabel>(w, "Minbotlvllbl")->text(), QStringLiteral("Off"));
    control<QSlider>(w, "Pausesdr")->setValue(12);
    QCOMPARE(control<QLabel>(w, "Pauselvllbl")->text(), QStringLiteral("12"));
    QTest::mouseClick(control<QCheckBox>(w, "BotXmaschk"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(w, "Tarcmd"), Qt::LeftButton);

    const QStringList lines = splitLines(QString::fromLatin1(fx.read("tarrow/TFC/tarrow.cfg")));
    QCOMPARE(lines.size(), 34);
    QCOMPARE(lines[9], QStringLiteral("botskill 4"));
    QCOMPARE(lines[12], QStringLiteral("min_bots -1"));
    QCOMPARE(lines[15], QStringLiteral("max_bots -1"));
    QCOMPARE(lines[25], QStringLiteral("pause 12"));
    QCOMPARE(lines[27], QStringLiteral("bot_xmas 1"));
    QCOMPARE(lines[31], QStringLiteral("addbot blue soldier Bob 2"));
    QVERIFY(fx.read("tarrow/TFC/tarrow.cfg").endsWith("addbot blue soldier Bob 2\r\n\r\n\r\n"));
    QVERIFY(win.prompter.log.isEmpty());
}

void TestBotPages::missingFileQuestion() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    win.prompter.answers.enqueue(false);
    w.Tabs->setCurrentIndex(1);
    QCOMPARE(win.prompter.texts("confirm"),
             QStringList{"Error loading Tarrow.cfg file, expected path: " + fx.root() +
                         "tarrow/TFC/Tarrow.cfg, Would you like to create it now in this directory?"});
    QVERIFY(!control<QSlider>(w, "Skillsdr")->isEnabled());
    QCOMPARE(control<QPushButton>(w, "Tarcmd")->text(), QStringLiteral("Load Tarrow.cfg"));
    QVERIFY(!fx.exists("tarrow/TFC/tarrow.cfg"));

    win.prompter.answers.enqueue(true);
    w.Tabs->setCurrentIndex(0);
    w.Tabs->setCurrentIndex(1);
    QVERIFY(control<QSlider>(w, "Skillsdr")->isEnabled());
    QCOMPARE(fx.read("tarrow/TFC/tarrow.cfg"),
             QByteArray("# Tarrow v 0.698.0.0 - Tarrow: https://tarrow-bot.example/\r\n# This file was "
                        "created with Tarrow Gui 1.00\r\n"));
    control<QPushButton>(w, "Tarcmd")->click();
    QCOMPARE(splitLines(QString::fromLatin1(fx.read("tarrow/TFC/tarrow.cfg"))).size(), 33);
}

void TestBotPages::invalidIntegerShowsErrorAndKeepsEarlierValues() {
    test::FixtureInstall fx;
    fx.write("tarrow/TFC/tarrow.cfg", "botskill 2\r\npause 5 // wait\r\nmax_bots 9\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(1);
    QCOMPARE(win.prompter.texts("error"), QStringList{"'5 ' is not a valid integer value"});
    QCOMPARE(control<QSlider>(w, "Skillsdr")->value(), 2);
    QCOMPARE(control<QSlider>(w, "Maxbotsdr")->value(), -1);
    QVERIFY(control<QSlider>(w, "Skillsdr")->isEnabled());
    QCOMPARE(control<QPushButton>(w, "Tarcmd")->text(), QStringLiteral("Save Tarrow.cfg"));
}

void TestBotPages::configsPageOpenSaveClose() {
    test::FixtureInstall fx;
    fx.write("tarrow/TFC/configs/2fort_bot.cfg", "max_bots 16\nbotskill 2");
    fx.write("tarrow/TFC/configs/notes.txt", "x");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(3);
    QCOMPARE(items(control<FileListBox>(w, "Configlst")), QStringList{"2fort_bot.cfg"});
    control<QPushButton>(w, "Loadconfigcmd")->click(); // nothing selected: nothing happens
    QVERIFY(!control<QPlainTextEdit>(w, "Configtxt")->isEnabled());
    QListWidgetItem* item = itemNamed(control<FileListBox>(w, "Configlst"), "2fort_bot.cfg");
    control<FileListBox>(w, "Configlst")->setCurrentItem(item);
    const QPoint at = control<FileListBox>(w, "Configlst")->visualItemRect(item).center();
    QTest::mouseClick(control<FileListBox>(w, "Configlst")->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(control<FileListBox>(w, "Configlst")->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(control<QLabel>(w, "Configlbl")->text(), fx.root() + "tarrow/TFC/configs/2fort_bot.cfg");
    QVERIFY(control<QPlainTextEdit>(w, "Configtxt")->isEnabled());
    QVERIFY(!control<FileListBox>(w, "Configlst")->isEnabled());
    QVERIFY(!control<QPushButton>(w, "Loadconfigcmd")->isEnabled());
    QCOMPARE(control<QPlainTextEdit>(w, "Configtxt")->toPlainText(),
             QStringLiteral("max_bots 16\nbotskill 2"));

    // Close discards edits without a question.
    control<QPlainTextEdit>(w, "Configtxt")->appendPlainText("pause 1");
    control<QPushButton>(w, "Closeconfigcmd")->click();
    QCOMPARE(control<QLabel>(w, "Configlbl")->text(), QStringLiteral("Current File: None"));
    QCOMPARE(fx.read("tarrow/TFC/configs/2fort_bot.cfg"), QByteArray("max_bots 16\nbotskill 2"));

    control<FileListBox>(w, "Configlst")->setCurrentItem(item);
    control<QPushButton>(w, "Loadconfigcmd")->click();
    control<QPlainTextEdit>(w, "Configtxt")->appendPlainText("pause 1");
    control<QPushButton>(w, "Saveconfigcmd")->click();
    QCOMPARE(fx.read("tarrow/TFC/configs/2fort_bot.cfg"), QByteArray("max_bots 16\r\nbotskill 2\r\npause 1"));
    QVERIFY(control<FileListBox>(w, "Configlst")->isEnabled());
    QVERIFY(!control<QPushButton>(w, "Saveconfigcmd")->isEnabled());

    // A read-only file: the error box, and the page stays open with the text.
    setReadOnly(fx.path("tarrow/TFC/configs/2fort_bot.cfg"));
    control<QPushButton>(w, "Loadconfigcmd")->click();
    control<QPlainTextEdit>(w, "Configtxt")->appendPlainText("x");
    control<QPushButton>(w, "Saveconfigcmd")->click();
    QCOMPARE(win.prompter.texts("error").size(), 1);
    QVERIFY(control<QPlainTextEdit>(w, "Configtxt")->isEnabled());
    QVERIFY(control<QPlainTextEdit>(w, "Configtxt")->toPlainText().endsWith("x"));
    QVERIFY(w.statustmr->isActive() == false);
}

void TestBotPages::scriptWizardNewScript() {
    test::FixtureInstall fx;
    fx.write("TFC/maps/2fort.bsp", "x");
    fx.write("TFC/maps/well.bsp", "x");
    fx.write("tarrow/TFC/scripts/2fort_tw.cfg", "old");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(2);
    QVERIFY(!control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    control<QRadioButton>(w, "Newscriptopt")->click();
    QVERIFY(control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    QVERIFY(!control<QPushButton>(w, "ScriptNcmd")->isDefault());
    control<QPushButton>(w, "ScriptNcmd")->click();
    QCOMPARE(w.Scripts->scriptStep(), 1);
    QCOMPARE(control<QLabel>(w, "Newlbl")->text(),
             QStringLiteral("Please select the map that you want to create a new script for."));
    QCOMPARE(items(control<FileListBox>(w, "Scriptlst")), QStringList{"well.bsp"});
    QVERIFY(!control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    QVERIFY(control<QRadioButton>(w, "Newscriptopt")->isHidden());
    QListWidgetItem* well = itemNamed(control<FileListBox>(w, "Scriptlst"), "well.bsp");
    QTest::mouseClick(control<FileListBox>(w, "Scriptlst")->viewport(), Qt::LeftButton, {},
                      control<FileListBox>(w, "Scriptlst")->visualItemRect(well).center());
    QVERIFY(control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    QVERIFY(control<QPushButton>(w, "ScriptNcmd")->isDefault());
    control<QPushButton>(w, "ScriptNcmd")->click();
    QCOMPARE(w.Scripts->scriptStep(), 2);
    QCOMPARE(control<QLabel>(w, "Newlbl")->text(), fx.root() + "tarrow/TFC/scripts/well_tw.cfg");
    QVERIFY(control<QPlainTextEdit>(w, "Scripttxt")
                ->toPlainText()
                .startsWith("//Tarrow Script File Created With Tarrow Gui 1.00\n//Map: well\n//Created: "));
    QVERIFY(control<QPushButton>(w, "ScriptFcmd")->isEnabled());

    // Back lists every map again, and Finish is off until Next.
    control<QPushButton>(w, "ScriptBcmd")->click();
    QCOMPARE(items(control<FileListBox>(w, "Scriptlst")), (QStringList{"2fort.bsp", "well.bsp"}));
    QVERIFY(!control<QPushButton>(w, "ScriptFcmd")->isEnabled());
    QVERIFY(control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    control<FileListBox>(w, "Scriptlst")
        ->setCurrentItem(itemNamed(control<FileListBox>(w, "Scriptlst"), "well.bsp"));
    control<QPushButton>(w, "ScriptNcmd")->click();
    control<QPushButton>(w, "ScriptFcmd")->click();
    const QStringList written = splitLines(QString::fromLatin1(fx.read("tarrow/TFC/scripts/well_tw.cfg")));
    QCOMPARE(written.size(), 9);
    QCOMPARE(written[1], QStringLiteral("//Map: well"));
    QCOMPARE(written[6], QStringLiteral("\t{"));
    QVERIFY(fx.read("tarrow/TFC/scripts/well_tw.cfg").endsWith("\t}\r\n"));
    QCOMPARE(w.Scripts->scriptStep(), 0);
    QCOMPARE(control<QLabel>(w, "Newlbl")->text(),
             QStringLiteral("Do you want to create a new script or edit a current one?"));
    QVERIFY(!control<QRadioButton>(w, "Newscriptopt")->isChecked());
    QVERIFY(!control<QPushButton>(w, "ScriptCcmd")->isEnabled());
}

void TestBotPages::scriptWizardBackKeepsTheChosenMap() {
    test::FixtureInstall fx;
    fx.write("TFC/maps/2fort.bsp", "x");
    fx.write("TFC/maps/well.bsp", "x");
    fx.write("tarrow/TFC/scripts/2fort_tw.cfg", "old");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(2);
    // Choices made by the keyboard or the program count as clicks.
    control<QRadioButton>(w, "Newscriptopt")->setChecked(true);
    QVERIFY(control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    control<QPushButton>(w, "ScriptNcmd")->click();
    QVERIFY(!control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    control<FileListBox>(w, "Scriptlst")->setFocus();
    QTest::keyClick(control<FileListBox>(w, "Scriptlst"), Qt::Key_Down);
    QCOMPARE(control<FileListBox>(w, "Scriptlst")->currentItem()->text(), QStringLiteral("well.bsp"));
    QVERIFY(control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    control<QPushButton>(w, "ScriptNcmd")->click();
    const QString well = fx.root() + "tarrow/TFC/scripts/well_tw.cfg";
    QCOMPARE(control<QLabel>(w, "Newlbl")->text(), well);
    // Back lists every map, with the chosen one still chosen; Next goes on with it.
    control<QPushButton>(w, "ScriptBcmd")->click();
    QCOMPARE(items(control<FileListBox>(w, "Scriptlst")), (QStringList{"2fort.bsp", "well.bsp"}));
    QCOMPARE(control<FileListBox>(w, "Scriptlst")->currentItem()->text(), QStringLiteral("well.bsp"));
    control<QPushButton>(w, "ScriptNcmd")->click();
    QCOMPARE(control<QLabel>(w, "Newlbl")->text(), well);

    // Choosing a map that has a script asks before Finish replaces it; No keeps it.
    control<QPushButton>(w, "ScriptBcmd")->click();
    control<FileListBox>(w, "Scriptlst")
        ->setCurrentItem(itemNamed(control<FileListBox>(w, "Scriptlst"), "2fort.bsp"));
    control<QPushButton>(w, "ScriptNcmd")->click();
    const QString fort = fx.root() + "tarrow/TFC/scripts/2fort_tw.cfg";
    win.prompter.answers.enqueue(false);
    control<QPushButton>(w, "ScriptFcmd")->click();
    QCOMPARE(win.prompter.texts("confirm"), QStringList{fort + " already exists. Replace it?"});
    QCOMPARE(fx.read("tarrow/TFC/scripts/2fort_tw.cfg"), QByteArray("old"));
    QCOMPARE(w.Scripts->scriptStep(), 2);
    win.prompter.answers.enqueue(true);
    control<QPushButton>(w, "ScriptFcmd")->click();
    QVERIFY(fx.read("tarrow/TFC/scripts/2fort_tw.cfg").contains("//Map: 2fort"));
    QCOMPARE(w.Scripts->scriptStep(), 0);
    // The old script is kept as a backup, and the status bar says so.
    QCOMPARE(w.statusBar()->currentMessage(), "Saved " + fort + " (previous version kept)");
}

void TestBotPages::scriptWizardExistingScriptAndFailure() {
    test::FixtureInstall fx;
    fx.write("tarrow/TFC/scripts/2fort_tw.cfg", "on_start\r\n\t{\r\n\t}\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    control<QRadioButton>(w, "Currentscriptopt")->click();
    QVERIFY(control<QPushButton>(w, "ScriptNcmd")->isDefault());
    control<QPushButton>(w, "ScriptNcmd")->click();
    QCOMPARE(items(control<FileListBox>(w, "Scriptlst")), QStringList{"2fort_tw.cfg"});
    clickItem(control<FileListBox>(w, "Scriptlst"), 0);
    control<QPushButton>(w, "ScriptNcmd")->click();
    QCOMPARE(control<QPlainTextEdit>(w, "Scripttxt")->toPlainText(), QStringLiteral("on_start\n\t{\n\t}\n"));
    control<QPlainTextEdit>(w, "Scripttxt")->moveCursor(QTextCursor::End);
    control<QPlainTextEdit>(w, "Scripttxt")->insertPlainText("on_msg( )\n");
    control<QPushButton>(w, "ScriptFcmd")->click();
    QCOMPARE(fx.read("tarrow/TFC/scripts/2fort_tw.cfg"),
             QByteArray("on_start\r\n\t{\r\n\t}\r\non_msg( )\r\n"));

    // The script folder vanished: Finish shows the error and stays at the editor.
    control<QRadioButton>(w, "Currentscriptopt")->click();
    control<QPushButton>(w, "ScriptNcmd")->click();
    clickItem(control<FileListBox>(w, "Scriptlst"), 0);
    control<QPushButton>(w, "ScriptNcmd")->click();
    QDir(fx.path("tarrow/TFC/scripts")).removeRecursively();
    control<QPushButton>(w, "ScriptFcmd")->click();
    QCOMPARE(win.prompter.texts("error").size(), 1);
    QCOMPARE(w.Scripts->scriptStep(), 2);
    QVERIFY(!control<QPlainTextEdit>(w, "Scripttxt")->toPlainText().isEmpty());
}

void TestBotPages::scriptMenuInsertsAtCaret() {
    test::FixtureInstall fx;
    fx.write("TFC/maps/well.bsp", "x");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(2);
    control<QRadioButton>(w, "Newscriptopt")->click();
    control<QPushButton>(w, "ScriptNcmd")->click();
    clickItem(control<FileListBox>(w, "Scriptlst"), 0);
    control<QPushButton>(w, "ScriptNcmd")->click();
    control<QPlainTextEdit>(w, "Scripttxt")->clear();
    QMenu* insert = nullptr;
    for (QAction* a : control<QMenu>(w, "scriptmnu")->actions())
        if (a->text() == "&Insert") insert = a->menu();
    QVERIFY(insert);
    QCOMPARE(insert->actions().size(), 13);
    insert->actions().at(0)->trigger();
    QCOMPARE(control<QPlainTextEdit>(w, "Scripttxt")->toPlainText(),
             QStringLiteral("on_msg( )\n\t{\n\n\t}\n"));
    QCOMPARE(control<QPlainTextEdit>(w, "Scripttxt")->document()->blockCount(), 5);
    QCOMPARE(control<QPlainTextEdit>(w, "Scripttxt")->textCursor().position(),
             control<QPlainTextEdit>(w, "Scripttxt")->toPlainText().size());
    // A point replaces the selection.
    control<QPlainTextEdit>(w, "Scripttxt")->selectAll();
    insert->actions().at(4)->trigger();
    QCOMPARE(control<QPlainTextEdit>(w, "Scripttxt")->toPlainText(),
             QStringLiteral("\t\tred_available_point"));

    // Pressing and releasing Alt in the editor opens the editor's menu, not the window's menu bar.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    control<QPlainTextEdit>(w, "Scripttxt")->setFocus();
    QSignalSpy focus(qApp, &QApplication::focusChanged);
    QTest::keyPress(control<QPlainTextEdit>(w, "Scripttxt"), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(control<QPlainTextEdit>(w, "Scripttxt"), Qt::Key_Alt);
    QTRY_VERIFY(control<QMenu>(w, "scriptmnu")->isVisible());
    // The menu bar never took the keyboard, not even for a moment.
    for (const QList<QVariant>& change : focus)
        QVERIFY(change.at(1).value<QWidget*>() != w.menuBar());
    QVERIFY(!w.menuBar()->activeAction());
    control<QMenu>(w, "scriptmnu")->hide();
    QMenu* edit = control<QMenu>(w, "scriptmnu")->actions().at(0)->menu();
    QCOMPARE(edit->actions().at(0)->shortcut(), QKeySequence(QKeySequence::Undo));
    QCOMPARE(edit->actions().at(2)->text(), QStringLiteral("Cu&t"));
}

void TestBotPages::scriptNextWaitsForAChosenMap() {
    test::FixtureInstall fx;
    fx.write("TFC/maps/2fort.bsp", "x");
    fx.write("TFC/maps/well.bsp", "x");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(2);
    control<QRadioButton>(w, "Newscriptopt")->click();
    control<QPushButton>(w, "ScriptNcmd")->click();
    auto* list = control<FileListBox>(w, "Scriptlst");
    // Focus makes a row current without choosing it, as giving the list the focus does.
    list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    QVERIFY(!control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    // A key that moves the selection is a choice.
    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(control<QPushButton>(w, "ScriptNcmd")->isEnabled());
    control<QPushButton>(w, "ScriptNcmd")->click();
    QCOMPARE(control<QLabel>(w, "Newlbl")->text(), fx.root() + "tarrow/TFC/scripts/well_tw.cfg");
}

TARROW_WINDOW_TEST_MAIN(TestBotPages)

#include "tst_botpages.moc"
