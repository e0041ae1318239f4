#include "common/fileio.h"
#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"
#include "support/windowtest.h"
#include "ui/main.h"
#include "ui/page_server.h"
#include "ui/startup.h"
#include "ui/widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QtTest>

using namespace tarrow;
using test::control;

namespace {

// The window on the launcher page; by default on an installation with the mod's own library only.
struct LauncherWindow : test::WindowUnderTest {
    explicit LauncherWindow(test::FixtureInstall& f, Liblist liblist = Liblist::WritePlain)
        : WindowUnderTest(f) {
        open(liblist).Tabs->setCurrentIndex(4);
    }
    TMainfrm* operator->() const { return w.get(); }
    TMainfrm& operator*() const { return *w; }
    TMainfrm* get() const { return w.get(); }
};

void type(QLineEdit* e, const QString& text) {
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
}

} // namespace

class TestServerPages : public QObject {
    Q_OBJECT
  private slots:
    void everyTableControlExists();
    void settingsSurviveSaveAndReopen();
    void togglesAndPresetsOnScreen();
    void operatorFileSavedAndRestored();
    void wheelChangesOnlyTheFocusedControl();
    void upDownShowsTheSavedValueWhenLeft_data();
    void upDownShowsTheSavedValueWhenLeft();
    void upDownsTellAScreenReaderValueAndRange();
};

void TestServerPages::everyTableControlExists() {
    test::FixtureInstall fx;
    LauncherWindow w(fx);
    int controls = 0;
    for (const auto* table : {&serverSettings(), &adminmodSettings(), &neotfSettings()}) {
        for (const Setting& st : *table) {
            if (!st.control) continue;
            QVERIFY2(w->findChild<QWidget*>(st.controlName()), st.control);
            if (st.box) QVERIFY2(w->findChild<QCheckBox*>(st.boxName()), st.box);
            if (st.kind == SettingKind::Number || st.kind == SettingKind::Penalty)
                QVERIFY2(w->findChild<QLineEdit*>(st.editName()), qPrintable(st.editName()));
            ++controls;
        }
    }
    QCOMPARE(controls, 59 + 48 + 103);
    QVERIFY(!control<QRadioButton>(*w, "Dedicatedopt")->isChecked() &&
            !control<QRadioButton>(*w, "Listenopt")->isChecked());
    QCOMPARE(control<QPushButton>(*w, "Saveservercmd")->text(), QStringLiteral("&Save Server Settings"));
    QCOMPARE(control<QLineEdit>(*w, "HelpTypetxt")->text(), QStringLiteral("MOTD and Console"));
    QCOMPARE(control<QLineEdit>(*w, "Maxplayerstxt")->maxLength(), 2);
    QCOMPARE(control<QLineEdit>(*w, "ServerNametxt")->maxLength(), 30);
}

void TestServerPages::settingsSurviveSaveAndReopen() {
    test::FixtureInstall fx;
    QDir().mkpath(fx.path("TFC/addons/adminmod/config"));
    QDir().mkpath(fx.path("TFC/addons/neotf"));
    {
        LauncherWindow w(fx);
        auto& p = w.prompter;
        control<QRadioButton>(*w, "Dedicatedopt")->click();
        QCOMPARE(p.texts().size(), 1); // no server.cfg yet
        type(control<QLineEdit>(*w, "ServerNametxt"), "Window Test");
        type(control<QLineEdit>(*w, "Maxplayerstxt"), "20");
        control<QCheckBox>(*w, "Lanchk")->click();
        control<QCheckBox>(*w, "Cheatschk")->click();
        control<QCheckBox>(*w, "Execchk")->click();
        type(control<QLineEdit>(*w, "Exectxt"), "addons/adminmod/config/adminmod.cfg");
        control<QCheckBox>(*w, "Exec2chk")->click();
        type(control<QLineEdit>(*w, "Exec2txt"), "addons/neotf/ntf_cvars.cfg");
        type(control<QLineEdit>(*w, "AdminPasstxt"), "secret");
        control<QCheckBox>(*w, "AdminFunchk")->click();
        control<QCheckBox>(*w, "Jetpackchk")->click();
        control<UpDownEdit>(*w, "MaxSnarksUD")->stepDown();
        control<QPushButton>(*w, "Saveservercmd")->click();
        QCOMPARE(p.texts().last(), QStringLiteral("Your Admin Password must start with an underscore "
                                                  "(\"_\"), it has been added to your password field."));
        QCOMPARE(control<QLineEdit>(*w, "AdminPasstxt")->text(), QStringLiteral("_secret"));
    }
    QVERIFY(fx.read("TFC/server.cfg").contains("hostname \"Window Test\"\r\n"));
    QVERIFY(fx.read("TFC/addons/neotf/ntf_cvars.cfg").contains("ntf_max_snarks \"4\"\r\n"));
    LauncherWindow w(fx, test::WindowUnderTest::Liblist::AsInstalled);
    auto& p = w.prompter;
    QCOMPARE(control<QLineEdit>(*w, "ServerNametxt")->text(), QString());
    control<QRadioButton>(*w, "Dedicatedopt")->click();
    QVERIFY(p.log.isEmpty());
    QCOMPARE(control<QLineEdit>(*w, "ServerNametxt")->text(), QStringLiteral("Window Test"));
    QCOMPARE(control<QLineEdit>(*w, "Maxplayerstxt")->text(), QStringLiteral("20"));
    QVERIFY(control<QCheckBox>(*w, "Lanchk")->isChecked());
    QVERIFY(control<QCheckBox>(*w, "Cheatschk")->isChecked());
    QVERIFY(control<QLineEdit>(*w, "Exectxt")->isEnabled());
    QCOMPARE(control<QLineEdit>(*w, "AdminPasstxt")->text(), QStringLiteral("_secret"));
    QVERIFY(control<QCheckBox>(*w, "AdminFunchk")->isChecked());
    QVERIFY(control<QCheckBox>(*w, "Jetpackchk")->isChecked());
    QCOMPARE(control<QLineEdit>(*w, "MaxSnarkstxt")->text(), QStringLiteral("4"));
}

void TestServerPages::togglesAndPresetsOnScreen() {
    test::FixtureInstall fx;
    LauncherWindow w(fx);
    auto& p = w.prompter;
    auto* pw = control<QLineEdit>(*w, "ServerPwtxt");
    QVERIFY(!pw->isEnabled());
    control<QCheckBox>(*w, "ServerPWchk")->click();
    QVERIFY(pw->isEnabled());
    type(pw, "abc");
    control<QCheckBox>(*w, "ServerPWchk")->click();
    QCOMPARE(pw->text(), QString());
    QVERIFY(!pw->isEnabled());
    QCOMPARE(control<QLabel>(*w, "Ratelbl")->text(), QStringLiteral("Custom Rate Limits:"));
    auto* speed = control<QWidget>(*w, "Rategrp");
    QList<QRadioButton*> items = speed->findChildren<QRadioButton*>();
    QCOMPARE(items.size(), 4);
    items[1]->click();
    QCOMPARE(control<QLineEdit>(*w, "MaxRatetxt")->text(), QStringLiteral("6000"));
    QCOMPARE(control<QLineEdit>(*w, "MinRatetxt")->text(), QStringLiteral("4000"));
    QVERIFY(!control<QLineEdit>(*w, "MinRatetxt")->isEnabled());
    QCOMPARE(control<QLabel>(*w, "Ratelbl")->text(), QStringLiteral("Fast DSL/Cable"));
    items[3]->click();
    QCOMPARE(control<QLineEdit>(*w, "MaxRatetxt")->text(), QString());
    QVERIFY(control<QLineEdit>(*w, "MaxRatetxt")->isEnabled());
    QCOMPARE(control<QLabel>(*w, "Ratelbl")->text(), QStringLiteral("Custom Rate Limits"));
    // An up-down steps by its step and holds an empty text.
    auto* decal = control<UpDownEdit>(*w, "DecalUD");
    decal->stepUp();
    QCOMPARE(control<QLineEdit>(*w, "Decaltxt")->text(), QStringLiteral("210"));
    type(control<QLineEdit>(*w, "Decaltxt"), "");
    QCOMPARE(control<QLineEdit>(*w, "Decaltxt")->text(), QString());
    QCOMPARE(w->Launcher->serverBinding().model().number("DecalUD"), 0);
    // Saving without a server kind.
    control<QPushButton>(*w, "Saveservercmd")->click();
    QCOMPARE(p.texts().last(),
             QStringLiteral("You must either select a \"Dedicated Server\" or a \"Listen Server\"."));
}

void TestServerPages::operatorFileSavedAndRestored() {
    test::FixtureInstall fx;
    const QByteArray operatorCfg = "// my server\r\n"
                                   "hostname\t\t\"Old name\"\r\n"
                                   "log on\r\n"
                                   "mp_teamplay\t21\r\n"
                                   "sv_maxrate\t100000\r\n"
                                   "hostname \"a second one\"\r\n";
    fx.write("TFC/server.cfg", operatorCfg);
    LauncherWindow w(fx);
    auto& p = w.prompter;
    control<QRadioButton>(*w, "Dedicatedopt")->click();
    // A value wider than the typing limit shows whole.
    QCOMPARE(control<QLineEdit>(*w, "MaxRatetxt")->text(), QStringLiteral("100000"));
    // A text set by the program (or through the accessibility interface) is saved.
    control<QLineEdit>(*w, "ServerNametxt")->setText("New name");
    control<QPushButton>(*w, "Saveservercmd")->click();
    QByteArray expected = operatorCfg;
    expected.replace("hostname\t\t\"Old name\"", "hostname \"New name\"");
    QCOMPARE(fx.read("TFC/server.cfg"), expected);
    const QString path = fx.path("TFC/server.cfg");
    QCOMPARE(w->statusBar()->currentMessage(), "Saved " + path + " (previous version kept)");

    // The Info page's Backups... lists the copy and puts it back.
    w->Tabs->setCurrentIndex(5);
    control<QPushButton>(*w, "Backupscmd")->click();
    BackupsDialog* d = w->Info->backupsDialog();
    QVERIFY(d && d->isVisible());
    QCOMPARE(d->Backuplst->topLevelItemCount(), 1);
    QCOMPARE(d->Backuplst->topLevelItem(0)->text(0), QStringLiteral("TFC/server.cfg"));
    QVERIFY(d->Backuptxt->toPlainText().contains("Old name"));
    QVERIFY(d->Currenttxt->toPlainText().contains("New name"));
    p.answers.enqueue(true);
    d->Restorecmd->click();
    QCOMPARE(p.texts("confirm").size(), 1);
    QCOMPARE(fx.read("TFC/server.cfg"), operatorCfg);
    // What the restore replaced is itself kept.
    QCOMPARE(d->Backuplst->topLevelItemCount(), 2);
    QVERIFY(d->Backuptxt->toPlainText().contains("New name"));
    QCOMPARE(w->statusBar()->currentMessage(), "Saved " + path + " (previous version kept)");
    QVERIFY(p.texts("error").isEmpty());
}

namespace {
// One notch of the mouse wheel, upwards, over the middle of `w`.
void wheelUp(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}
} // namespace

// Scrolling the page over a control must not change a setting; a control the user chose takes it.
void TestServerPages::wheelChangesOnlyTheFocusedControl() {
    test::FixtureInstall fx;
    LauncherWindow w(fx);
    auto* players = control<UpDownEdit>(*w, "MaxPlayersUD");
    const QString before = control<QLineEdit>(*w, "Maxplayerstxt")->text();
    control<QPushButton>(*w, "Saveservercmd")->setFocus();
    wheelUp(players);
    QCOMPARE(control<QLineEdit>(*w, "Maxplayerstxt")->text(), before);
    QCOMPARE(players->focusPolicy(), Qt::StrongFocus);
    players->setFocus();
    QTRY_VERIFY(players->hasFocus());
    wheelUp(players);
    QCOMPARE(control<QLineEdit>(*w, "Maxplayerstxt")->text(), QString::number(before.toInt() + 1));

    w->Tabs->setCurrentIndex(5);
    auto* platform = control<QComboBox>(*w, "Platformcmb");
    const int index = platform->currentIndex();
    control<QPushButton>(*w, "Dumpcmd")->setFocus();
    wheelUp(platform);
    QCOMPARE(platform->currentIndex(), index);
}

void TestServerPages::upDownShowsTheSavedValueWhenLeft_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("in range") << "20"
                              << "20";
    // Typed key by key: "9" is valid, "99" is above 32 and keeps it.
    QTest::newRow("above the range keeps the last valid value") << "99"
                                                                << "9";
    QTest::newRow("empty is 0 where 0 is in range") << ""
                                                    << "0";
    // The cleared edit counted as 0 before the letter came.
    QTest::newRow("not a number") << "x"
                                  << "0";
}

// Typing 99 into Max Players (0 to 32) must not show 99 while a save writes the last valid value.
void TestServerPages::upDownShowsTheSavedValueWhenLeft() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    test::FixtureInstall fx;
    LauncherWindow w(fx);
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    auto* edit = control<QLineEdit>(*w, "Maxplayerstxt");
    type(edit, QStringLiteral("20"));
    type(edit, typed);
    QTRY_VERIFY(edit->hasFocus());
    control<QPushButton>(*w, "Saveservercmd")->setFocus();
    QTRY_COMPARE(edit->text(), shown);
    QCOMPARE(w->Launcher->serverBinding().model().number("MaxPlayersUD"), shown.toInt());
}

void TestServerPages::upDownsTellAScreenReaderValueAndRange() {
    test::FixtureInstall fx;
    LauncherWindow w(fx);
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    auto* edit = control<QLineEdit>(*w, "Maxplayerstxt");
    type(edit, QStringLiteral("20"));
    QAccessibleInterface* maxPlayers =
        QAccessible::queryAccessibleInterface(control<QWidget>(*w, "MaxPlayersUD"));
    QVERIFY(maxPlayers && maxPlayers->valueInterface());
    QCOMPARE(maxPlayers->valueInterface()->currentValue().toInt(), 20);
    QCOMPARE(maxPlayers->valueInterface()->minimumValue().toInt(), 0);
    QCOMPARE(maxPlayers->valueInterface()->maximumValue().toInt(), 32);
    // What is read out is what a save writes, also while the edit holds a number out of range.
    type(edit, QStringLiteral("99"));
    QCOMPARE(maxPlayers->valueInterface()->currentValue().toInt(), 9);

    // Every up-down of every server page has a range, and a value inside it.
    const QList<UpDownEdit*> upDowns = w->findChildren<UpDownEdit*>();
    QVERIFY(upDowns.size() > 10);
    for (UpDownEdit* ud : upDowns) {
        QAccessibleValueInterface* value = QAccessible::queryAccessibleInterface(ud)->valueInterface();
        QVERIFY(value);
        const int lo = value->minimumValue().toInt(), hi = value->maximumValue().toInt();
        const int now = value->currentValue().toInt();
        QVERIFY2(
            lo < hi && lo <= now && now <= hi,
            qPrintable(QStringLiteral("%1: %2 in %3..%4").arg(ud->objectName()).arg(now).arg(lo).arg(hi)));
        QCOMPARE(now, w->Launcher->serverBinding().model().number(ud->objectName()));
    }
}

TARROW_WINDOW_TEST_MAIN(TestServerPages)

#include "tst_serverpages.moc"
