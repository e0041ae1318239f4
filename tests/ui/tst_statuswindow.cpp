#include "common/fileio.h"
#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"
#include "support/windowtest.h"
#include "ui/main.h"
#include "ui/startup.h"
#include "ui/statuspane.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QWebEnginePage>
#include <QtTest>

using namespace tarrow;
using test::control;

namespace {

void plainInstall(test::FixtureInstall& fx) {
    fx.write("TFC/liblist.gam", "game \"tfc\"\r\ngamedll \"dlls\\tfc.dll\"\r\ngamedll_linux "
                                "\"dlls/tfc.so\"\r\ngamedll_osx \"dlls/tfc.dylib\"\r\n");
    fx.dll("tfc.dll", "TFC/dlls/tfc.dll");
    fx.dll("tarrow.dll", "tarrow/tarrow.dll");
    for (const char* f : {"tarrow/TFC/tarrow.cfg", "tarrow/TFC/default.cfg", "tarrow/TFC/tarrow_names.txt",
                          "tarrow/TFC/tarrow_chat.txt", "tarrow/Tarrow_Documentation.chm"})
        fx.write(f, "x");
}

QVariant js(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000)) return QStringLiteral("<timeout>");
    return result;
}

// The Tarrow Loaded link inside the report frame, clicked as a user would.
const QString kClickTarrow =
    QStringLiteral("(function(){var d=window.frames.length?window.frames[0].document:document;"
                   "var a=d.querySelectorAll('a[target=_parent]')[0]; if(!a) return 'no link'; a.click(); "
                   "return 'clicked';})()");

// The report has loaded inside its frame.
const QString kLinksReady =
    QStringLiteral("(function(){if(!window.frames.length) return 'no frame'; var d=window.frames[0].document;"
                   "return d.readyState=='complete' && d.querySelectorAll('a[target=_parent]').length==4 ? "
                   "'ready' : 'wait';})()");

} // namespace

class TestStatusWindow : public QObject {
    Q_OBJECT
  private slots:
    void clickSwitchesTheBotWithinOneRefresh();
    void clickWorksInAnyFolderAndOnlyWebLinksLeave();
    void noInstallationFolderNothingWritten();
    void refreshPeriodFromSettings_data();
    void refreshPeriodFromSettings();
    void failedRefreshShowsErrorAndKeepsTicking();
};

void TestStatusWindow::clickSwitchesTheBotWithinOneRefresh() {
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.storeRoot();
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    TMainfrm w(prompter, shell);
    w.show();
    w.statustmrTimer();
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPane>(w, "Status")->locationName(),
                              QStringLiteral("tarrow1.html"), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(), kLinksReady).toString(),
                              QStringLiteral("ready"), 15000);
    QVERIFY(!w.statusRefresh().flags().TarrowLoaded);

    QCOMPARE(js(control<StatusPane>(w, "Status")->page(), kClickTarrow).toString(),
             QStringLiteral("clicked"));
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPane>(w, "Status")->locationName(), QStringLiteral("Tar.html"),
                              15000);
    w.statustmrTimer();
    QCOMPARE(fx.read("TFC/liblist.gam"),
             QByteArray("game \"tfc\"\r\ngamedll \"..\\tarrow\\tarrow.dll\"\r\n"
                        "gamedll_linux \"dlls/tfc.so\"\r\ngamedll_osx \"dlls/tfc.dylib\"\r\n"));
    QVERIFY(fx.read("tarrow/tarrow.html")
                .contains("title=\"Click to Unload Tarrow from TFC\"><font color=\"#008000\">Yes"));
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPane>(w, "Status")->locationName(),
                              QStringLiteral("tarrow1.html"), 15000);

    // A second click restores the mod's own library.
    QTRY_COMPARE_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(), kLinksReady).toString(),
                              QStringLiteral("ready"), 15000);
    QCOMPARE(js(control<StatusPane>(w, "Status")->page(), kClickTarrow).toString(),
             QStringLiteral("clicked"));
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPane>(w, "Status")->locationName(), QStringLiteral("Tar.html"),
                              15000);
    w.statustmrTimer();
    QCOMPARE(fx.read("TFC/liblist.gam"),
             QByteArray("game \"tfc\"\r\ngamedll \"dlls\\tfc.dll\"\r\n"
                        "gamedll_linux \"dlls/tfc.so\"\r\ngamedll_osx \"dlls/tfc.dylib\"\r\n"));
    QVERIFY(prompter.log.isEmpty());

    // A site link opens in the desktop's browser; the pane keeps the report.
    QTRY_COMPARE_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(), kLinksReady).toString(),
                              QStringLiteral("ready"), 15000);
    QCOMPARE(js(control<StatusPane>(w, "Status")->page(),
                "window.frames[0].document.querySelector('a[target=_NEW]').click(), 'ok'")
                 .toString(),
             QStringLiteral("ok"));
    QTRY_VERIFY_WITH_TIMEOUT(shell.opened.contains(QStringLiteral("web https://tarrow-bot.example/")), 15000);
    QCOMPARE(control<StatusPane>(w, "Status")->locationName(), QStringLiteral("tarrow1.html"));
    QCOMPARE(control<StatusPane>(w, "Status")->contextMenuPolicy(), Qt::NoContextMenu);
}

void TestStatusWindow::clickWorksInAnyFolderAndOnlyWebLinksLeave() {
    test::FixtureInstall fx;
    // '#', '?' and '%' in the folder's name: the links must still lead to the waiting pages.
    const QString odd = "Half-Life #2 %41 ?/";
    fx.write(odd + "TFC/liblist.gam", "game \"tfc\"\r\ngamedll \"dlls\\tfc.dll\" \r\n");
    QFile::copy(test::FixtureInstall::fixtureDll("tfc.dll"), fx.path(odd + "TFC/dlls/tfc.dll"));
    fx.settings().write(kTarrowKey, kInstallPathValue, fx.path(odd));
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    TMainfrm w(prompter, shell);
    w.show();
    w.statustmrTimer();
    QTRY_COMPARE_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(), kLinksReady).toString(),
                              QStringLiteral("ready"), 15000);
    QCOMPARE(js(control<StatusPane>(w, "Status")->page(), kClickTarrow).toString(),
             QStringLiteral("clicked"));
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPane>(w, "Status")->locationName(), QStringLiteral("Tar.html"),
                              15000);
    w.statustmrTimer();
    QCOMPARE(fx.read(odd + "TFC/liblist.gam"),
             QByteArray("game \"tfc\"\r\ngamedll \"..\\tarrow\\tarrow.dll\"\r\n"));
    QCOMPARE(w.statusBar()->currentMessage(),
             QStringLiteral("liblist.gam: now loads Tarrow (previous version kept)"));

    // A planted link to a local program never reaches the desktop's opener; a web address does.
    QTRY_COMPARE_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(), kLinksReady).toString(),
                              QStringLiteral("ready"), 15000);
    const QString plant = QStringLiteral(
        "(function(){var d=window.frames[0].document;var a=d.createElement('a');a.href='file:///tmp/run.sh';"
        "a.target='_NEW';d.body.appendChild(a);a.click();return 'ok';})()");
    QCOMPARE(js(control<StatusPane>(w, "Status")->page(), plant).toString(), QStringLiteral("ok"));
    QTest::qWait(300);
    QCOMPARE(js(control<StatusPane>(w, "Status")->page(),
                "window.frames[0].document.querySelector('a[target=_NEW]').click(), 'ok'")
                 .toString(),
             QStringLiteral("ok"));
    QTRY_VERIFY_WITH_TIMEOUT(shell.opened.contains(QStringLiteral("web https://tarrow-bot.example/")), 15000);
    for (const QString& opened : shell.opened)
        QVERIFY2(!opened.contains("run.sh"), qPrintable(opened));
}

void TestStatusWindow::noInstallationFolderNothingWritten() {
    test::FixtureInstall fx;
    QTemporaryDir work;
    const QString before = QDir::currentPath();
    QDir::setCurrent(work.path());
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    {
        TMainfrm w(prompter, shell);
        w.show();
        w.statustmrTimer();
        QCOMPARE(w.statusBar()->currentMessage(), TMainfrm::noInstallRootText());
        QTRY_VERIFY_WITH_TIMEOUT(
            js(control<StatusPane>(w, "Status")->page(), "document.body ? document.body.innerText : ''")
                .toString()
                .contains("No Half-Life folder is set"),
            15000);
        w.Tabs->setCurrentIndex(1);
        w.Tabs->setCurrentIndex(0);
        w.close();
    }
    QDir::setCurrent(before);
    QCOMPARE(QDir(work.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    QVERIFY(prompter.texts("error").isEmpty());
}

void TestStatusWindow::refreshPeriodFromSettings_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("shown");
    QTest::newRow("5") << "5" << 5000 << "5";
    QTest::newRow("20") << "20" << 20000 << "20";
    QTest::newRow("4") << "4" << 7000 << "7";
    QTest::newRow("21") << "21" << 7000 << "7";
    QTest::newRow("leading zero") << "07" << 7000 << "7";
    QTest::newRow("text") << "fast" << 7000 << "7";
    QTest::newRow("empty") << "" << 7000 << "7";
}

void TestStatusWindow::refreshPeriodFromSettings() {
    QFETCH(QString, stored);
    QFETCH(int, interval);
    QFETCH(QString, shown);
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.storeRoot();
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    TMainfrm w(prompter, shell);
    fx.settings().write(kTarrowKey, "Stats Speed", stored);
    w.statustmrTimer();
    QCOMPARE(w.statustmr->interval(), interval);
    QCOMPARE(control<QLineEdit>(w, "StatsSpeed")->text(), shown);
}

void TestStatusWindow::failedRefreshShowsErrorAndKeepsTicking() {
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.storeRoot();
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    TMainfrm w(prompter, shell);
    // The report cannot be written: its name is taken by a folder.
    QDir().mkpath(fx.path("tarrow/tarrow.html"));
    w.statustmrTimer();
    QCOMPARE(prompter.texts("error").size(), 1);
    QVERIFY(prompter.texts("error").first().contains("tarrow.html"));
    QVERIFY(w.statustmr->isActive());
    QDir().rmdir(fx.path("tarrow/tarrow.html"));
    w.statustmrTimer();
    QCOMPARE(prompter.texts("error").size(), 1);
    QVERIFY(fx.exists("tarrow/tarrow.html"));
}

TARROW_WINDOW_TEST_MAIN(TestStatusWindow)

#include "tst_statuswindow.moc"
