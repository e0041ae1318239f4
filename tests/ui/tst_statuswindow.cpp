#include "common/fileio.h"
#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"
#include "support/windowtest.h"
#include "ui/main.h"
#include "ui/startup.h"
#include "ui/statuspane.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTestAccessibility>
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
    void unchangedReportIsNotReloaded();
    void noInstallationFolderNothingWritten();
    void screenReaderReadsTheReport();
    void refreshPeriodFromSettings_data();
    void refreshPeriodFromSettings();
    void failedRefreshShowsErrorAndKeepsTicking();
    void oversizedFileIsNamedOnceAndTheReportGoesOn_data();
    void oversizedFileIsNamedOnceAndTheReportGoesOn();
};

void TestStatusWindow::clickSwitchesTheBotWithinOneRefresh() {
    test::FixtureInstall fx;
    plainInstall(fx);
    // The slowest period: a report that changes within it was not waiting for a tick.
    fx.settings().write(kTarrowKey, "Stats Speed", "20");
    test::WindowUnderTest win(fx);
    TMainfrm& w = win.open(test::WindowUnderTest::Liblist::AsInstalled);
    w.statustmrTimer();
    QCOMPARE(w.statustmr->interval(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPane>(w, "Status")->locationName(),
                              QStringLiteral("tarrow1.html"), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(), kLinksReady).toString(),
                              QStringLiteral("ready"), 15000);
    QVERIFY(!w.statusRefresh().flags().TarrowLoaded);
    QSignalSpy ticks(w.statustmr, &QTimer::timeout);

    QElapsedTimer sinceClick;
    sinceClick.start();
    QCOMPARE(js(control<StatusPane>(w, "Status")->page(), kClickTarrow).toString(),
             QStringLiteral("clicked"));
    const QByteArray tarrowLoaded("game \"tfc\"\r\ngamedll \"..\\tarrow\\tarrow.dll\"\r\n"
                                  "gamedll_linux \"dlls/tfc.so\"\r\ngamedll_osx \"dlls/tfc.dylib\"\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(fx.read("TFC/liblist.gam"), tarrowLoaded, 15000);
    QTRY_VERIFY_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(),
                                "window.frames.length && window.frames[0].document.body ? "
                                "window.frames[0].document.body.innerHTML : ''")
                                 .toString()
                                 .contains("Click to Unload Tarrow from TFC"),
                             15000);
    QVERIFY2(sinceClick.elapsed() < w.statustmr->interval(), "the report waited for the timer");
    QCOMPARE(ticks.count(), 0);
    QVERIFY(w.statusRefresh().flags().TarrowLoaded);
    QVERIFY(w.statustmr->isActive());
    QVERIFY(fx.read("tarrow/tarrow.html")
                .contains("title=\"Click to Unload Tarrow from TFC\"><font color=\"#008000\">Yes"));
    QTRY_COMPARE_WITH_TIMEOUT(control<StatusPane>(w, "Status")->locationName(),
                              QStringLiteral("tarrow1.html"), 15000);
    // Ticks after it do not act on the click again, not even one that comes while the report loads.
    w.statustmrTimer();
    w.statustmrTimer();
    QCOMPARE(fx.read("TFC/liblist.gam"), tarrowLoaded);

    // A second click restores the mod's own library.
    QTRY_COMPARE_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(), kLinksReady).toString(),
                              QStringLiteral("ready"), 15000);
    QCOMPARE(js(control<StatusPane>(w, "Status")->page(), kClickTarrow).toString(),
             QStringLiteral("clicked"));
    QTRY_COMPARE_WITH_TIMEOUT(
        fx.read("TFC/liblist.gam"),
        QByteArray("game \"tfc\"\r\ngamedll \"dlls\\tfc.dll\"\r\n"
                   "gamedll_linux \"dlls/tfc.so\"\r\ngamedll_osx \"dlls/tfc.dylib\"\r\n"),
        15000);
    QCOMPARE(ticks.count(), 0);
    QVERIFY(win.prompter.log.isEmpty());

    // A site link opens in the desktop's browser; the pane keeps the report.
    QTRY_COMPARE_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(), kLinksReady).toString(),
                              QStringLiteral("ready"), 15000);
    QCOMPARE(js(control<StatusPane>(w, "Status")->page(),
                "window.frames[0].document.querySelector('a[target=_NEW]').click(), 'ok'")
                 .toString(),
             QStringLiteral("ok"));
    QTRY_VERIFY_WITH_TIMEOUT(win.shell.opened.contains(QStringLiteral("web https://tarrow-bot.example/")),
                             15000);
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
    TMainfrm w(fx.settings(), prompter, shell);
    w.show();
    w.statustmrTimer();
    QTRY_COMPARE_WITH_TIMEOUT(js(control<StatusPane>(w, "Status")->page(), kLinksReady).toString(),
                              QStringLiteral("ready"), 15000);
    QCOMPARE(js(control<StatusPane>(w, "Status")->page(), kClickTarrow).toString(),
             QStringLiteral("clicked"));
    QTRY_COMPARE_WITH_TIMEOUT(fx.read(odd + "TFC/liblist.gam"),
                              QByteArray("game \"tfc\"\r\ngamedll \"..\\tarrow\\tarrow.dll\"\r\n"), 15000);
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

void TestStatusWindow::unchangedReportIsNotReloaded() {
    test::FixtureInstall fx;
    plainInstall(fx);
    test::WindowUnderTest win(fx);
    TMainfrm& w = win.open(test::WindowUnderTest::Liblist::AsInstalled);
    auto* status = control<StatusPane>(w, "Status");
    auto* stats = control<StatusPane>(w, "Stats");
    // Only the ticks below refresh: on a slow machine the window's own timer would otherwise tick between
    // two steps and load the report where the test expects another page.
    control<QTimer>(w, "statustmr")->stop();
    QSignalSpy statusLoads(status, &QWebEngineView::loadStarted);
    QSignalSpy statsLoads(stats, &QWebEngineView::loadStarted);
    w.statustmrTimer();
    QTRY_COMPARE_WITH_TIMEOUT(js(status->page(), kLinksReady).toString(), QStringLiteral("ready"), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(stats->locationName(), QStringLiteral("stats1.html"), 15000);
    QCOMPARE(statusLoads.count(), 1);
    QCOMPARE(statsLoads.count(), 1);

    // The pages are written again on every tick, with the same bytes: neither pane reloads, and a
    // link the keyboard reached inside the report keeps the focus.
    const QString focusedLink =
        QStringLiteral("(function(){var d=window.frames[0].document; var e=d.activeElement;"
                       "return e && e.tagName=='A' ? e.textContent : 'none';})()");
    QCOMPARE(
        js(status->page(), "window.frames[0].document.querySelectorAll('a')[2].focus(), 'ok'").toString(),
        QStringLiteral("ok"));
    const QString focused = js(status->page(), focusedLink).toString();
    QVERIFY2(focused != "none", qPrintable(focused));
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(20);
        w.statustmrTimer();
    }
    QVERIFY(fx.exists("tarrow/tarrow.html"));
    QCOMPARE(js(status->page(), focusedLink).toString(), focused);

    // Without the bot's library both reports change, and both panes show the new one.
    QFile::remove(fx.path("tarrow/tarrow.dll"));
    w.statustmrTimer();
    QTRY_COMPARE_WITH_TIMEOUT(statusLoads.count(), 2, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(statsLoads.count(), 2, 15000);
    QTRY_VERIFY_WITH_TIMEOUT(js(stats->page(), "window.frames.length && window.frames[0].document.body ? "
                                               "window.frames[0].document.body.innerText : ''")
                                 .toString()
                                 .contains("Tarrow Status: Not Installed"),
                             15000);
    // Loads start in the order asked: had an unchanged tick asked for one, the new page would have come
    // third.
    QCOMPARE(statsLoads.count(), 2);
    QCOMPARE(statusLoads.count(), 2);

    // A pane sent elsewhere (here: HTML set directly) shows the report again at the next tick.
    QSignalSpy elsewhereLoaded(status, &QWebEngineView::loadFinished);
    status->setHtml(QStringLiteral("<p>elsewhere</p>"));
    QTRY_VERIFY_WITH_TIMEOUT(statusLoads.count() == 3, 15000);
    // The pane has gone elsewhere and finished loading there before the tick comes: a load started while
    // another is under way starts no second loadStarted.
    QTRY_COMPARE_WITH_TIMEOUT(status->url().scheme(), QStringLiteral("data"), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(elsewhereLoaded.count() >= 1, 15000);
    w.statustmrTimer();
    QTRY_COMPARE_WITH_TIMEOUT(statusLoads.count(), 4, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(status->locationName(), QStringLiteral("tarrow1.html"), 15000);
}

void TestStatusWindow::noInstallationFolderNothingWritten() {
    test::FixtureInstall fx;
    QTemporaryDir work;
    const QString before = QDir::currentPath();
    QDir::setCurrent(work.path());
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    {
        TMainfrm w(fx.settings(), prompter, shell);
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
    TMainfrm w(fx.settings(), prompter, shell);
    fx.settings().write(kTarrowKey, "Stats Speed", stored);
    w.statustmrTimer();
    QCOMPARE(w.statustmr->interval(), interval);
    QCOMPARE(control<QLineEdit>(w, "StatsSpeed")->text(), shown);
}

void TestStatusWindow::oversizedFileIsNamedOnceAndTheReportGoesOn_data() {
    QTest::addColumn<QString>("file");
    QTest::addRow("liblist.gam") << "TFC/liblist.gam";
    QTest::addRow("sierra.inf") << "sierra.inf";
}

void TestStatusWindow::oversizedFileIsNamedOnceAndTheReportGoesOn() {
    QFETCH(QString, file);
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.storeRoot();
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    TMainfrm w(fx.settings(), prompter, shell);
    // Blanks: a line no loader reads, 16 MiB and one byte of it.
    fx.write(file, QByteArray(kMaxReadBytes + 1, ' '));
    for (int tick = 0; tick < 3; ++tick) {
        QFile::remove(fx.path("tarrow/tarrow.html"));
        w.statustmrTimer();
        // The report is written at every tick, the box shown at the first only.
        QVERIFY2(fx.exists("tarrow/tarrow.html"), qPrintable(QString::number(tick)));
        QCOMPARE(prompter.texts("error").size(), 1);
    }
    QVERIFY(prompter.texts("error").first().contains(fx.path(file)));
    QVERIFY(prompter.texts("error").first().contains("files of over 16 MiB are not read"));
    QVERIFY2(w.statusBar()->currentMessage().startsWith("Not read, counted as empty: "),
             qPrintable(w.statusBar()->currentMessage()));
    // Once the file changes, it is named again.
    fx.write(file, QByteArray(kMaxReadBytes + 2, ' '));
    w.statustmrTimer();
    QCOMPARE(prompter.texts("error").size(), 2);
}

void TestStatusWindow::failedRefreshShowsErrorAndKeepsTicking() {
    test::FixtureInstall fx;
    plainInstall(fx);
    fx.storeRoot();
    test::ScriptedPrompter prompter;
    test::RecordingShell shell;
    TMainfrm w(fx.settings(), prompter, shell);
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

namespace {

// Every text and link a screen reader finds below `root`, depth first.
void collect(QAccessibleInterface* node, QStringList& texts, QStringList& links, int depth = 0) {
    if (!node || depth > 40) return;
    const QString name = node->text(QAccessible::Name);
    const QString value = node->text(QAccessible::Value);
    if (node->role() == QAccessible::Link) links << name;
    if (!name.isEmpty()) texts << name;
    if (!value.isEmpty()) texts << value;
    for (int i = 0; i < node->childCount(); ++i)
        collect(node->child(i), texts, links, depth + 1);
}

} // namespace

void TestStatusWindow::screenReaderReadsTheReport() {
    QTestAccessibility::initialize();
    test::FixtureInstall fx;
    plainInstall(fx);
    QVERIFY(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--force-renderer-accessibility"));
    test::WindowUnderTest win(fx);
    TMainfrm& w = win.open(test::WindowUnderTest::Liblist::AsInstalled);
    // As the program does once its window exists: programs it starts get the environment it got.
    restoreStartedProgramsEnvironment();
    QVERIFY(!qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--force-renderer-accessibility"));
    w.statustmrTimer();
    auto* status = control<StatusPane>(w, "Status");
    QTRY_COMPARE_WITH_TIMEOUT(js(status->page(), kLinksReady).toString(), QStringLiteral("ready"), 15000);
    QStringList texts, links;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            texts.clear();
            links.clear();
            collect(QAccessible::queryAccessibleInterface(status), texts, links);
            return texts.join(' ').contains("Tarrow Loaded: ");
        }(),
        15000);
    const QString read = texts.join(QString());
    for (const char* line : {"Mod Installed: ", "Tarrow Loaded: ", "NeoTF Loaded: "})
        QVERIFY2(read.contains(QLatin1String(line)), qPrintable(read));
    QVERIFY2(read.contains(QLatin1String("0.698.0.0")), qPrintable(read));
    // The sites and the four Loaded cells are links a reader can follow.
    for (const char* site : {"Tarrow", "Metamod", "Admin Mod", "NeoTF"})
        QVERIFY2(links.contains(QLatin1String(site)), qPrintable(links.join('|')));
    QVERIFY2(links.count(QStringLiteral("No")) + links.count(QStringLiteral("Yes")) >= 4,
             qPrintable(links.join('|')));

    // The running report too.
    auto* stats = control<StatusPane>(w, "Stats");
    const auto statsText = [&] {
        QStringList statsTexts;
        QStringList statsLinks;
        collect(QAccessible::queryAccessibleInterface(stats), statsTexts, statsLinks);
        return statsTexts.join(QString());
    };
    QTRY_VERIFY_WITH_TIMEOUT(statsText().contains("Tarrow Status: "), 15000);
    QTestAccessibility::cleanup();
}

TARROW_WINDOW_TEST_MAIN(TestStatusWindow)

#include "tst_statuswindow.moc"
