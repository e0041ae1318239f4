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
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

using namespace tarrow;
using test::control;

namespace {

const QString kFirst = QStringLiteral("The Tarrow GUI will now begin an info dump on your HL setup, please "
                                      "do not touch any keys or move the mouse untill "
                                      "it has finished, you will recieve a message once it has finished.");
const QString kLast = QStringLiteral("The info dump is now finished, this folder was placed on your desktop "
                                     "and contains the files needed to debug your "
                                     "setup, please submit these files to the Tarrow team for analysis.");

struct Window : test::WindowUnderTest {
    QString desktop;
    explicit Window(test::FixtureInstall& fx) : WindowUnderTest(fx) {
        fx.write("TFC/server.cfg", "rcon_password hunter2\r\n");
        desktop = fx.path("Desktop");
        QDir().mkpath(desktop);
        open(Liblist::WritePlain, false);
        w->Info->desktopFolder = [this] { return desktop; };
        w->Info->dumpReadings.cpuSpeedMHz = [] { return 1000.0; };
        w->Info->dumpReadings.now = [] { return QDateTime(QDate(2026, 12, 8), QTime(10, 15, 32)); };
        w->show();
    }
};

} // namespace

class TestInfoPage : public QObject {
    Q_OBJECT
  private slots:
    void dumpToTheDesktop();
    void failedDumpStops();
    void helpFiles();
    void webButtons();
    void checkBoxCaptions_data();
    void checkBoxCaptions();
};

void TestInfoPage::dumpToTheDesktop() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    test::FakeClock clock;
    clock.onWait = [&](int ms) {
        if (ms == 1500 && w.statustmr->isActive()) w.statustmrTimer();
    };
    w.Tabs->setCurrentIndex(5);
    control<QCheckBox>(w, "Serverchk")->setChecked(true);
    control<QCheckBox>(w, "Tarrowchk")->setChecked(true);
    control<QPushButton>(w, "Dumpcmd")->click();
    QCOMPARE(win.prompter.texts(), (QStringList{kFirst, kLast}));
    const QString folder = win.desktop + "/TARROW DEBUG INFO/";
    QCOMPARE(w.statusBar()->currentMessage(), "Support dump written to " + folder);
    QFile f(folder + "infodump.txt");
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.contains("rcon_password ***Protected***\r\n"));
    QVERIFY(!text.contains("hunter2"));
    QVERIFY(text.contains("-==== Begin Server File ===-"));
    QVERIFY(text.endsWith("~~~/End File Content List~~~\r\n\r\n"));
    const QString time = QLocale().toString(QTime(10, 15, 32), QLocale::LongFormat).replace(':', '-');
    QVERIFY(QFileInfo::exists(folder + "stats " + time + ".html"));
    QVERIFY(QFileInfo::exists(folder + "tarrow " + time + ".html"));
    QFile copy(folder + "tarrow " + time + ".html");
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QVERIFY(copy.readAll().contains("Mod Loaded:"));
    QCOMPARE(win.shell.opened, QStringList{"folder " + folder});
    QVERIFY(!control<QCheckBox>(w, "Serverchk")->isChecked() &&
            !control<QCheckBox>(w, "Tarrowchk")->isChecked());
    QVERIFY(!w.statustmr->isActive());
    QCOMPARE(clock.waits, (QList<int>{1500, 1000}));
    QCOMPARE(control<QPushButton>(w, "Dumpcmd")->toolTip(),
             QStringLiteral("Click here to dump info to your desktop to send to the Tarrow team to debug."));
}

void TestInfoPage::failedDumpStops() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    test::FakeClock clock;
    control<QCheckBox>(w, "Serverchk")->setChecked(true);
    setWriteFaultHook([](const QString& p, const QByteArray&) {
        if (p.endsWith("infodump.txt")) throw IoError("Cannot create file \"" + p + "\". Disk full");
    });
    control<QPushButton>(w, "Dumpcmd")->click();
    setWriteFaultHook(nullptr);
    QCOMPARE(win.prompter.texts("message"), QStringList{kFirst});
    QCOMPARE(win.prompter.texts("error").size(), 1);
    QVERIFY(control<QCheckBox>(w, "Serverchk")->isChecked());
    QVERIFY(!w.statustmr->isActive());
    QVERIFY(clock.waits.isEmpty());
    QVERIFY(win.shell.opened.isEmpty());
}

void TestInfoPage::helpFiles() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    control<QPushButton>(w, "Helpcmd")->click();
    control<QPushButton>(w, "guihelpcmd")->click();
    QCOMPARE(win.prompter.texts(),
             (QStringList{"Your Tarrow help file could not be located, Expected path: " + fx.root() +
                              "tarrow/Tarrow_Documentation.chm",
                          "Your Tarrow GUI help file could not be located, Expected path: " + fx.root() +
                              "tarrow/Tarrow_GUI_Help.chm"}));
    QVERIFY(win.shell.opened.isEmpty());
    fx.write("tarrow/tarrow_documentation.chm", "x");
    control<QPushButton>(w, "Helpcmd")->click();
    QCOMPARE(win.shell.opened, QStringList{"document " + fx.root() + "tarrow/tarrow_documentation.chm"});
}

void TestInfoPage::webButtons() {
    test::FixtureInstall fx;
    Window win(fx);
    TMainfrm& w = *win.w;
    const QList<std::pair<const char*, const char*>> buttons{
        {"Forumscmd", "Tarrow Forums"},       {"Faqcmd", "Tarrow Web Help"},
        {"GUIFaqcmd", "Tarrow GUI Web Help"}, {"Contactcmd", "Contact Tarrow"},
        {"WDBcmd", "Waypoint Database"},      {"Adminmodcmd", "Admin Mod Website"},
        {"Metamodcmd", "Metamod Website"},    {"Neotfcmd", "NeoTF Website"}};
    for (const auto& [name, caption] : buttons) {
        auto* b = w.findChild<QPushButton*>(name);
        QVERIFY2(b, name);
        QCOMPARE(b->text(), QString::fromLatin1(caption));
        b->click();
    }
    QCOMPARE(win.shell.opened.size(), 8);
    QCOMPARE(win.shell.opened[5], QStringLiteral("web http://www.adminmod.org/"));
    QCOMPARE(win.shell.opened[6], QStringLiteral("web http://metamod.org/"));
    QVERIFY(win.prompter.log.isEmpty());
}

void TestInfoPage::checkBoxCaptions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("rebuild autoexec") << "Autoexecchk"
                                      << "Autoexec.cfg";
    QTest::newRow("rebuild liblist") << "Liblistchk"
                                     << "Liblist.gam";
    QTest::newRow("rebuild plugins") << "Metamodchk"
                                     << "Plugins.ini";
    QTest::newRow("rebuild ntf config") << "NTFchk"
                                        << "NTF_Config.txt";
    QTest::newRow("dump plug-in list") << "Pluginchk"
                                       << "Plugin.ini";
    QTest::newRow("dump server file") << "Serverchk"
                                      << "Server.cfg/Listenserver.cfg";
    QTest::newRow("dump bot.txt") << "botchk"
                                  << "Bot.txt";
    QTest::newRow("dump bot files") << "Tarrowchk"
                                    << "Tarrow.cfg/Default.cfg";
}

// The files a box names are the ones the rebuild and the dump work on: a caption is the user's only
// guide to what will be overwritten or sent.
void TestInfoPage::checkBoxCaptions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    test::FixtureInstall fx;
    Window win(fx);
    QCOMPARE(control<QCheckBox>(*win.w, qPrintable(name))->text(), caption);
}

TARROW_WINDOW_TEST_MAIN(TestInfoPage)

#include "tst_infopage.moc"
