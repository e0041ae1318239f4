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
#include <QTabWidget>
#include <QTimer>
#include <QWebEnginePage>
#include <QtTest>

using namespace tarrow;

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
    QTRY_COMPARE_WITH_TIMEOUT(w.Status->locationName(), QStringLiteral("tarrow1.html"), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(js(w.Status->page(), kLinksReady).toString(), QStringLiteral("ready"), 15000);
    QVERIFY(!w.statusRefresh().flags().TarrowLoaded);

    QCOMPARE(js(w.Status->page(), kClickTarrow).toString(), QStringLiteral("clicked"));
    QTRY_COMPARE_WITH_TIMEOUT(w.Status->locationName(), QStringLiteral("Tar.html"), 15000);
    w.statustmrTimer();
    QCOMPARE(fx.read("TFC/liblist.gam"),
             QByteArray("game \"tfc\"\r\ngamedll \"..\\tarrow\\tarrow.dll\"\r\n"
                        "gamedll_linux \"dlls/tfc.so\"\r\ngamedll_osx \"dlls/tfc.dylib\"\r\n"));
    QVERIFY(fx.read("tarrow/tarrow.html")
                .contains("title=\"Click to Unload Tarrow from TFC\"><font color=\"#008000\">Yes"));
    QTRY_COMPARE_WITH_TIMEOUT(w.Status->locationName(), QStringLiteral("tarrow1.html"), 15000);

    // A second click restores the mod's own library.
    QTRY_COMPARE_WITH_TIMEOUT(js(w.Status->page(), kLinksReady).toString(), QStringLiteral("ready"), 15000);
    QCOMPARE(js(w.Status->page(), kClickTarrow).toString(), QStringLiteral("clicked"));
    QTRY_COMPARE_WITH_TIMEOUT(w.Status->locationName(), QStringLiteral("Tar.html"), 15000);
    w.statustmrTimer();
    QCOMPARE(fx.read("TFC/liblist.gam"),
             QByteArray("game \"tfc\"\r\ngamedll \"dlls\\tfc.dll\"\r\n"
                        "gamedll_linux \"dlls/tfc.so\"\r\ngamedll_osx \"dlls/tfc.dylib\"\r\n"));
    QVERIFY(prompter.log.isEmpty());

    // A site link opens in the desktop's browser; the pane keeps the report.
    QTRY_COMPARE_WITH_TIMEOUT(js(w.Status->page(), kLinksReady).toString(), QStringLiteral("ready"), 15000);
    QCOMPARE(js(w.Status->page(), "window.frames[0].document.querySelector('a[target=_NEW]').click(), 'ok'")
                 .toString(),
             QStringLiteral("ok"));
    QTRY_VERIFY_WITH_TIMEOUT(shell.opened.contains(QStringLiteral("web https://tarrow-bot.example/")), 15000);
    QCOMPARE(w.Status->locationName(), QStringLiteral("tarrow1.html"));
    QCOMPARE(w.Status->contextMenuPolicy(), Qt::NoContextMenu);
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
    QCOMPARE(w.StatsSpeed->text(), shown);
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
