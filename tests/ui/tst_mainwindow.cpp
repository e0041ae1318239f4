#include "app/folders.h"
#include "app/windowoptions.h"
#include "common/fileio.h"
#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/loaderlines.h"
#include "support/scriptedprompter.h"
#include "support/windowtest.h"
#include "ui/main.h"
#include "ui/startup.h"
#include "ui/widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

using namespace tarrow;
using test::control;

namespace {

struct Window : test::WindowUnderTest {
    explicit Window(test::FixtureInstall& f) : WindowUnderTest(f) { open(Liblist::AsInstalled, false); }
};

void plainInstall(test::FixtureInstall& fx) {
    fx.write("TFC/liblist.gam",
             "game \"TFC\"\r\nGameDLL \"Dlls/TFC.dll\"\r\ngamedll_linux \"dlls/tfc.so\"\r\n");
    fx.dll("tfc.dll", "TFC/dlls/tfc.dll");
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    void pagesAndCaptions();
    void formCreateOnInstallation();
    void missingLiblistAndRivals();
    void transparencyRule_data();
    void transparencyRule();
    void storedTranslucencyAtStartUp_data();
    void storedTranslucencyAtStartUp();
    void statsSpeedRule();
    void pageChangeDrivesTimer();
    void resetKey();
    void infoLabelsOpen();
    void closeDeletesPagesAndFades();
    void bannerDecodes();
    void menuReachesPagesHelpAndAbout();
    void placeAndPageRemembered();
    void secondFolderFromRecentFolders();
    void editedServerSettingsAreSavedBeforeAnotherFolder();
    void editedBotSettingsAreSavedBeforeAnotherFolder_data();
    void editedBotSettingsAreSavedBeforeAnotherFolder();
};

void TestMainWindow::pagesAndCaptions() {
    test::FixtureInstall fx;
    plainInstall(fx);
    Window win(fx);
    QTabWidget* tabs = win.w->findChild<QTabWidget*>("Tabs");
    QVERIFY(tabs);
    const QStringList captions{" Server Status ", "Configure Tarrow",       "Tarrow Scripts",
                               "Tarrow Configs",  "Server Config/Launcher", "  Info/Help  "};
    const QStringList names{"Main", "Tarrow", "Scripts", "Configs", "Launcher", "Info"};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(tabs->tabText(i), captions[i]);
        QCOMPARE(tabs->widget(i)->objectName(), names[i]);
    }
    QTabWidget* inner = win.w->findChild<QTabWidget*>("Launchertabs");
    const QStringList innerCaptions{"  Basic  ", "Advanced",  "Map Cycle",  "  MOTD  ",
                                    "Admin Mod", "  NeoTF  ", "NeoTF Cont."};
    QCOMPARE(inner->count(), 7);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(inner->tabText(i), innerCaptions[i]);
    QCOMPARE(win.w->windowTitle(), QStringLiteral("Tarrow GUI"));
    QCOMPARE(win.w->findChild<QPushButton*>("ResetKeycmd")->text(), QStringLiteral("Reset Tarrow Reg Key"));
}

void TestMainWindow::formCreateOnInstallation() {
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.dll("tarrow.dll", "tarrow/tarrow.dll");
    fx.write("tarrow/stats.html", "stale");
    fx.write("tarrow/tarrow1.html", "stale");
    setReadOnly(fx.path("tarrow/stats.html"));
    fx.write("TFC/addons/Metamod/plugins.ini", "Win32 ..\\Tarrow\\Tarrow.dll\r\nlinux addons/X_i386.so\r\n");
    fx.write("tarrow/TFC/tarrow.cfg", "skill 3");
    fx.write("TFC/server.cfg", "x");
    fx.write("TFC/MOTD.txt", "x");
    fx.write("TFC/maps/2fort.bsp", "x");
    fx.write("TFC/maps/well.bsp", "x");
    fx.write("TFC/maps/readme.txt", "x");
    fx.settings().write(kTarrowKey, "CommandLine", "+sv_lan 1");
    Window win(fx);
    QVERIFY(win.prompter.log.isEmpty());

    // Stale pages are gone, the waiting pages are written.
    QVERIFY(!fx.exists("tarrow/stats.html"));
    QVERIFY(!fx.exists("tarrow/tarrow1.html"));
    QCOMPARE(fx.read("tarrow/Tar.html"), test::golden("Tar.html"));
    for (const char* page : {"MM.html", "AM.html", "NTF.html"})
        QVERIFY(fx.exists(QStringLiteral("tarrow/") + page));
    QVERIFY(fx.read("tarrow/MM.html").contains("Configuring Metamod..."));
    QVERIFY(fx.read("tarrow/AM.html").contains("Configuring Admin Mod..."));

    // Loader files normalised; the Linux lines keep their bytes.
    QCOMPARE(fx.read("TFC/liblist.gam"),
             QByteArray("game \"tfc\"\r\ngamedll \"dlls\\tfc.dll\"\r\ngamedll_linux \"dlls/tfc.so\"\r\n"));
    QCOMPARE(fx.read("TFC/addons/Metamod/plugins.ini"),
             QByteArray("win32 ../tarrow/tarrow.dll\r\nlinux addons/X_i386.so\r\n"));

    // Labels, known files, map lists, command line, options.
    QCOMPARE(control<ClickLabel>(*win.w, "TarPathlbl")->text(),
             QStringLiteral("Tarrow Installation Path: ") + fx.root());
    QCOMPARE(control<ClickLabel>(*win.w, "TarKeylbl")->text(),
             QStringLiteral("Tarrow Registry Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarrow\\"));
    QCOMPARE(control<QLabel>(*win.w, "TarVersionlbl")->text(), QStringLiteral("Tarrow Version: 0.698.0.0"));
    QCOMPARE(control<QLabel>(*win.w, "GUIversionlbl")->text(),
             QStringLiteral("Tarrow GUI Version: Tarrow Gui 1.00"));
    QStringList files;
    for (int i = 0; i < control<QComboBox>(*win.w, "Filelst")->count(); ++i)
        files << control<QComboBox>(*win.w, "Filelst")->itemText(i);
    QCOMPARE(files, (QStringList{"Liblist.gam", "MOTD.txt", "Plugins.ini", "Server.cfg", "Tarrow.cfg"}));
    QCOMPARE(control<QComboBox>(*win.w, "Filelst")->currentIndex(), 0);
    QCOMPARE(control<FileListBox>(*win.w, "AllMaplst")->count(), 2);
    QCOMPARE(control<FileListBox>(*win.w, "StartMaplst")->item(0)->text(), QStringLiteral("2fort.bsp"));
    QCOMPARE(control<QLineEdit>(*win.w, "Commandlinetxt")->text(), QStringLiteral("+sv_lan 1"));
    QCOMPARE(fx.settings().read(kTarrowKey, "Translucency"), QStringLiteral("255"));
    QVERIFY(fx.settings().read(kTarrowKey, "Stats Speed").isEmpty());
    QVERIFY(win.w->statustmr->isActive());
    QCOMPARE(win.w->statustmr->interval(), 1000);
}

void TestMainWindow::missingLiblistAndRivals() {
    test::FixtureInstall fx;
    fx.write("TFC/addons/AdminOP/adminop.dll", "x");
    fx.write("TFC/addons/AdminOP/dlls/adminop.dll", "x");
    fx.write("TFC/dlls/adminop.dll", "x");
    Window win(fx);
    const QStringList texts = win.prompter.texts("message");
    QCOMPARE(texts.size(), 4);
    QVERIFY(texts[0].startsWith("You should not support a rip off of good work"));
    QCOMPARE(texts[1], texts[0]);
    QCOMPARE(texts[2], texts[0]);
    QCOMPARE(texts[3],
             QStringLiteral("Your Liblist.gam file was not found, expected path: \"%1TFC/liblist.gam\"")
                 .arg(fx.root()));
    // The window goes on: the waiting pages are written after the missing liblist.
    QVERIFY(fx.exists("tarrow/Tar.html"));
}

void TestMainWindow::transparencyRule_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("text");
    QTest::newRow("254 slightly transparent") << "254" << true << 254 << "254";
    QTest::newRow("255 opaque") << "255" << false << 255 << "255";
    QTest::newRow("60 lowest") << "60" << true << 60 << "60";
    QTest::newRow("first digit of 120 replaced") << "1" << false << 255 << "255";
    QTest::newRow("leading zero") << "0120" << false << 255 << "255";
    QTest::newRow("text") << "abc" << false << 255 << "255";
}

void TestMainWindow::transparencyRule() {
    QFETCH(QString, typed);
    QFETCH(bool, on);
    QFETCH(int, level);
    QFETCH(QString, text);
    test::FixtureInstall fx;
    plainInstall(fx);
    Window win(fx);
    control<QLineEdit>(*win.w, "Transparency")->setText(typed);
    QCOMPARE(win.w->transparencyOn(), on);
    QCOMPARE(control<QLineEdit>(*win.w, "Transparency")->text(), text);
    QCOMPARE(fx.settings().read(kTarrowKey, "translucency"), text);
    if (on) QCOMPARE(win.w->transparencyLevel(), level);
    QCOMPARE(win.w->windowOpacity() < 1.0, on);
}

void TestMainWindow::storedTranslucencyAtStartUp_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("after");
    QTest::newRow("30 rejected") << "30" << false << "255";
    QTest::newRow("200 applied") << "200" << true << "200";
    QTest::newRow("garbage") << "x1" << false << "255";
}

void TestMainWindow::storedTranslucencyAtStartUp() {
    QFETCH(QString, stored);
    QFETCH(bool, on);
    QFETCH(QString, after);
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.settings().write(kTarrowKey, "Translucency", stored);
    Window win(fx);
    QCOMPARE(win.w->transparencyOn(), on);
    QCOMPARE(fx.settings().read(kTarrowKey, "TRANSLUCENCY"), after);
}

void TestMainWindow::statsSpeedRule() {
    test::FixtureInstall fx;
    plainInstall(fx);
    Window win(fx);
    const QList<std::tuple<QString, int, QString>> cases{{"5", 5000, "5"},   {"20", 20000, "20"},
                                                         {"4", 7000, "20"},  {"21", 7000, "20"},
                                                         {"07", 7000, "20"}, {"12", 12000, "12"}};
    for (const auto& [text, interval, stored] : cases) {
        control<QLineEdit>(*win.w, "StatsSpeed")->setText(text);
        QCOMPARE(win.w->statustmr->interval(), interval);
        QCOMPARE(fx.settings().read(kTarrowKey, "Stats speed"), stored);
    }
}

void TestMainWindow::pageChangeDrivesTimer() {
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.write("tarrow/TFC/configs/2fort_bot.cfg", "x");
    Window win(fx);
    QVERIFY(win.w->statustmr->isActive());
    win.w->Tabs->setCurrentIndex(4);
    QVERIFY(!win.w->statustmr->isActive());
    win.w->Tabs->setCurrentIndex(3);
    QVERIFY(!win.w->statustmr->isActive());
    QCOMPARE(control<FileListBox>(*win.w, "Configlst")->count(), 1);
    win.w->Tabs->setCurrentIndex(0);
    QVERIFY(win.w->statustmr->isActive());
}

void TestMainWindow::resetKey() {
    test::FixtureInstall fx;
    plainInstall(fx);
    Window win(fx);
    win.w->show();
    win.prompter.answers.enqueue(false);
    control<QPushButton>(*win.w, "ResetKeycmd")->click();
    QCOMPARE(ReadInstallRoot(&fx.settings()), fx.root());
    QVERIFY(win.w->isVisible());
    win.prompter.answers.enqueue(true);
    control<QPushButton>(*win.w, "ResetKeycmd")->click();
    QVERIFY(win.prompter.texts("confirm").last().startsWith(
        "If you procede this option will reset the Tarrow installation"));
    QCOMPARE(ReadInstallRoot(&fx.settings()), QString());
    QVERIFY(!win.w->isVisible());
    QVERIFY(!win.w->statustmr->isActive());
}

void TestMainWindow::infoLabelsOpen() {
    test::FixtureInstall fx;
    plainInstall(fx);
    Window win(fx);
    QTest::mouseDClick(control<ClickLabel>(*win.w, "TarPathlbl"), Qt::LeftButton);
    QTest::mouseDClick(control<ClickLabel>(*win.w, "TarKeylbl"), Qt::LeftButton);
    QCOMPARE(win.shell.opened, (QStringList{"folder " + fx.root(), "document " + fx.settingsFile()}));
}

void TestMainWindow::closeDeletesPagesAndFades() {
    test::FixtureInstall fx;
    plainInstall(fx);
    Window win(fx);
    win.w->show();
    QVERIFY(fx.exists("tarrow/Tar.html"));
    win.w->close();
    for (const char* page : {"Tar.html", "MM.html", "AM.html", "NTF.html"})
        QVERIFY(!fx.exists(QStringLiteral("tarrow/") + page));
    QVERIFY(!win.w->statustmr->isActive());
    QVERIFY(win.w->transparencyOn());
}

void TestMainWindow::bannerDecodes() {
    QVERIFY2(QImageReader::supportedImageFormats().contains("jpeg"), "Qt's JPEG plugin is missing");
    QImageReader reader(QStringLiteral(":/banner.jpg"));
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    test::FixtureInstall fx;
    plainInstall(fx);
    Window win(fx);
    QVERIFY(!control<QLabel>(*win.w, "Bannerimg")->pixmap().isNull());
}

void TestMainWindow::menuReachesPagesHelpAndAbout() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    w.show();
    // Ctrl+1..6 lead to the six pages, in their order.
    for (int i = 0; i < 6; ++i) {
        auto* page = w.findChild<QAction*>(QStringLiteral("View%1mnu").arg(i + 1));
        QVERIFY(page);
        QCOMPARE(page->shortcut(), QKeySequence(QStringLiteral("Ctrl+%1").arg(i + 1)));
        page->trigger();
        QCOMPARE(w.Tabs->currentIndex(), i);
    }
    auto* contents = w.findChild<QAction*>(QStringLiteral("HelpContentsmnu"));
    QVERIFY(contents);
    QCOMPARE(contents->shortcut(), QKeySequence(Qt::Key_F1));
    // Without the help file: the program's own usage notes, at "First steps", with their pictures.
    win.prompter.log.clear();
    contents->trigger();
    QVERIFY(win.prompter.texts().isEmpty());
    auto* viewer = w.findChild<QDialog*>(QStringLiteral("HelpViewer"));
    QVERIFY(viewer && viewer->isVisible());
    auto* text = viewer->findChild<QTextBrowser*>(QStringLiteral("HelpText"));
    QVERIFY(text->toPlainText().contains("--install-root DIR"));
    QTRY_VERIFY(text->cursorRect().top() < text->viewport()->height() / 4);
    QCOMPARE(text->textCursor().block().text(), QStringLiteral("First steps"));
    QVERIFY(!text->document()
                 ->resource(QTextDocument::ImageResource,
                            QUrl(QStringLiteral("qrc:/help/resources/screenshots/status.png")))
                 .isNull());
    viewer->close();
    // With it, the file itself, as the Info page's button opens it.
    fx.write("tarrow/Tarrow_GUI_Help.chm", "x");
    contents->trigger();
    QVERIFY(win.shell.opened.contains("document " + fx.root() + "tarrow/Tarrow_GUI_Help.chm"));
    QVERIFY(!viewer->isVisible());
    w.findChild<QAction*>(QStringLiteral("Aboutmnu"))->trigger();
    const QString about = win.prompter.texts().last();
    QVERIFY2(about.contains("Version: Tarrow Gui 1.00"), qPrintable(about));
    QVERIFY2(about.contains(fx.root()), qPrintable(about));
    QVERIFY2(about.contains(fx.settingsFile()), qPrintable(about));

    auto* quit = w.findChild<QAction*>(QStringLiteral("Quitmnu"));
    QCOMPARE(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->trigger();
    QVERIFY(!w.isVisible());
}

void TestMainWindow::placeAndPageRemembered() {
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.storeRoot();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect left(screen.x() + 5, screen.y() + 20, 790, 560);
    {
        test::ScriptedPrompter prompter;
        test::RecordingShell shell;
        TMainfrm w(fx.settings(), prompter, shell);
        w.rememberPlace();
        w.show();
        w.move(left.topLeft());
        w.resize(left.size());
        w.Tabs->setCurrentIndex(4);
        w.close();
        QVERIFY(prompter.texts("error").isEmpty());
    }
    const QRect stored = windowPlaceFromText(fx.settings().read(kTarrowKey, "Window Place"))->rect;
    QCOMPARE(stored.size(), left.size());
    QCOMPARE(fx.settings().read(kTarrowKey, "Last Page"), QStringLiteral("4"));

    // Back where it was left, on the page last shown.
    {
        test::ScriptedPrompter prompter;
        test::RecordingShell shell;
        TMainfrm w(fx.settings(), prompter, shell);
        w.rememberPlace();
        QCOMPARE(QRect(w.pos(), w.size()), stored);
        QCOMPARE(w.Tabs->currentIndex(), 4);
    }

    // A place off every screen and larger than it: the window comes back whole on the screen.
    fx.settings().write(kTarrowKey, "Window Place", "-9000,7000,5000,4000");
    fx.settings().write(kTarrowKey, "Last Page", "9");
    {
        test::ScriptedPrompter prompter;
        test::RecordingShell shell;
        TMainfrm w(fx.settings(), prompter, shell);
        w.rememberPlace();
        QVERIFY2(
            screen.contains(QRect(w.pos(), w.size())),
            qPrintable(QStringLiteral("%1,%2 %3x%4").arg(w.x()).arg(w.y()).arg(w.width()).arg(w.height())));
        QCOMPARE(w.Tabs->currentIndex(), 0);
    }

    // A window that was not asked to remember leaves the settings as they are.
    {
        test::ScriptedPrompter prompter;
        test::RecordingShell shell;
        TMainfrm w(fx.settings(), prompter, shell);
        w.show();
        w.Tabs->setCurrentIndex(2);
        w.close();
    }
    QCOMPARE(fx.settings().read(kTarrowKey, "Last Page"), QStringLiteral("9"));
}

void TestMainWindow::secondFolderFromRecentFolders() {
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.write("TFC/maps/2fort.bsp", "x");
    fx.write("TFC/motd.txt", "first");
    // A second server: a Linux one with other maps, known from an earlier session.
    const QString second = fx.path("public/");
    fx.write("public/hlds_run", "#!/bin/sh\n");
    fx.write("public/TFC/liblist.gam", "gamedll_linux \"dlls/tfc.so\"\r\n");
    fx.write("public/TFC/dlls/tfc.so", "");
    fx.write("public/TFC/maps/well.bsp", "x");
    fx.write("public/TFC/motd.txt", "second");
    fx.storeRoot();
    KnownFolders(fx.settings()).add(fx.root());
    KnownFolders(fx.settings()).add(second);
    Window win(fx);
    TMainfrm& w = *win.w;
    w.show();
    QCOMPARE(control<QLabel>(w, "folderlbl")->toolTip(), fx.root() + " (TFC, Windows)");
    auto* recent = control<QMenu>(w, "Recentmnu");
    QCOMPARE(recent->actions().size(), 2);
    QCOMPARE(recent->actions().at(0)->text(), second + " (TFC, Linux)");
    QVERIFY(recent->actions().at(1)->isChecked());

    // An edited message of the day: Cancel keeps the folder and the edit.
    control<QPushButton>(w, "MOTDcmd")->click();
    control<QPlainTextEdit>(w, "MOTDtxt")->setFocus();
    QTest::keyClicks(control<QPlainTextEdit>(w, "MOTDtxt"), "!");
    win.prompter.saveChoices.enqueue(Prompter::SaveChoice::Cancel);
    recent->actions().at(0)->trigger();
    QCOMPARE(win.prompter.texts("save"),
             QStringList{"These pages have edits that are not saved: MOTD. Save them before another folder "
                         "opens?"});
    QCOMPARE(control<QLabel>(w, "folderlbl")->toolTip(), fx.root() + " (TFC, Windows)");
    QCOMPARE(w.installation().root(), fx.root());
    // Save writes it into the first folder, then the second opens.
    win.prompter.saveChoices.enqueue(Prompter::SaveChoice::Save);
    recent->actions().at(0)->trigger();
    QCOMPARE(fx.read("TFC/motd.txt"), QByteArray("!first"));
    QCOMPARE(w.installation().root(), second);
    QCOMPARE(control<QLabel>(w, "folderlbl")->toolTip(), second + " (TFC, Linux)");
    QCOMPARE(fx.settings().read(kTarrowKey, kInstallPathValue), second);

    // Every page shows the second folder.
    QCOMPARE(control<QLabel>(w, "TarPathlbl")->text(), "Tarrow Installation Path: " + second);
    QCOMPARE(control<FileListBox>(w, "AllMaplst")->count(), 1);
    QCOMPARE(control<FileListBox>(w, "AllMaplst")->item(0)->text(), QStringLiteral("well.bsp"));
    QCOMPARE(control<QPlainTextEdit>(w, "MOTDtxt")->toPlainText(), QString());
    control<QPushButton>(w, "MOTDcmd")->click();
    QCOMPARE(control<QPlainTextEdit>(w, "MOTDtxt")->toPlainText(), QStringLiteral("second"));
    w.statustmrTimer();
    QVERIFY(fx.exists("public/tarrow/tarrow.html"));
    QVERIFY(!fx.exists("tarrow/tarrow.html"));
    // The recent folders: the one open now is ticked; File > Open asks for a folder.
    QVERIFY(control<QMenu>(w, "Recentmnu")->actions().at(0)->isChecked());
    win.prompter.folders.enqueue(fx.root());
    control<QAction>(w, "OpenFoldermnu")->trigger();
    QCOMPARE(w.installation().root(), fx.root());
}

// File > Open Half-Life Folder... on the fixture's "second" folder; unsaved edits are answered with `choice`.
void openSecondFolder(Window& win, test::FixtureInstall& fx, Prompter::SaveChoice choice) {
    win.prompter.folders.enqueue(fx.path("second"));
    win.prompter.saveChoices.enqueue(choice);
    control<QAction>(*win.w, "OpenFoldermnu")->trigger();
}

void TestMainWindow::editedServerSettingsAreSavedBeforeAnotherFolder() {
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.write("TFC/server.cfg", "hostname \"Old\"\r\nsv_gravity 800\r\n");
    fx.write("second/TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(4);
    control<QRadioButton>(w, "Dedicatedopt")->click();
    control<QLineEdit>(w, "ServerNametxt")->setText("New");
    openSecondFolder(win, fx, Prompter::SaveChoice::Cancel);
    QCOMPARE(
        win.prompter.texts("save"),
        QStringList{"These pages have edits that are not saved: Server settings. Save them before another "
                    "folder opens?"});
    QCOMPARE(w.installation().root(), fx.root());
    openSecondFolder(win, fx, Prompter::SaveChoice::Save);
    QCOMPARE(fx.read("TFC/server.cfg"), QByteArray("hostname \"New\"\r\nsv_gravity 800\r\n"));
    QCOMPARE(w.installation().root(), fx.path("second/"));
}

void TestMainWindow::editedBotSettingsAreSavedBeforeAnotherFolder_data() {
    QTest::addColumn<int>("skill"); // where the slider ends; 4 is the file's
    QTest::addColumn<bool>("chat"); // the check box as it ends; on in the file
    QTest::addColumn<bool>("asked");
    QTest::newRow("slider moved") << 2 << true << true;
    QTest::newRow("slider moved and back") << 4 << true << false;
    QTest::newRow("check box cleared") << 4 << false << true;
}

void TestMainWindow::editedBotSettingsAreSavedBeforeAnotherFolder() {
    QFETCH(int, skill);
    QFETCH(bool, chat);
    QFETCH(bool, asked);
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.write("tarrow/TFC/tarrow.cfg", "botskill 4\r\nbot_chat 1\r\n");
    fx.write("second/TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    Window win(fx);
    TMainfrm& w = *win.w;
    w.Tabs->setCurrentIndex(1);
    QCOMPARE(control<QSlider>(w, "Skillsdr")->value(), 4);
    control<QSlider>(w, "Skillsdr")->setValue(3);
    control<QSlider>(w, "Skillsdr")->setValue(skill);
    control<QCheckBox>(w, "Botchatchk")->setChecked(chat);
    const QByteArray before = fx.read("tarrow/TFC/tarrow.cfg");
    openSecondFolder(win, fx, Prompter::SaveChoice::Save);
    QCOMPARE(w.installation().root(), fx.path("second/"));
    if (!asked) {
        QVERIFY(win.prompter.texts("save").isEmpty());
        QCOMPARE(fx.read("tarrow/TFC/tarrow.cfg"), before);
        return;
    }
    QCOMPARE(win.prompter.texts("save"),
             QStringList{"These pages have edits that are not saved: Bot settings. Save them before another "
                         "folder opens?"});
    const QStringList lines = splitLines(QString::fromLatin1(fx.read("tarrow/TFC/tarrow.cfg")));
    QVERIFY(lines.contains(QStringLiteral("botskill %1").arg(skill)));
    QVERIFY(lines.contains(chat ? QStringLiteral("bot_chat 1") : QStringLiteral("bot_chat 0")));
}

TARROW_WINDOW_TEST_MAIN(TestMainWindow)

#include "tst_mainwindow.moc"
