#include "app/folders.h"
#include "app/installation.h"
#include "app/windowoptions.h"
#include "common/fileio.h"
#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"

#include <QDir>
#include <QtTest>

using namespace tarrow;

class TestFolders : public QObject {
    Q_OBJECT
  private slots:
    void eachFolderKeepsItsOwnLauncherSettings_data();
    void eachFolderKeepsItsOwnLauncherSettings();
    void singleFolderSettingsFileStillOpens();
    void foldersKeepTheirNumbersAndSpellingsMeetOnce();
    void eachFolderHearsOfItsOwnWritesOnly();
};

namespace {

const QString kCommandLine = ownSettingName(OwnSetting::CommandLine);

} // namespace

void TestFolders::eachFolderKeepsItsOwnLauncherSettings_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("command line") << kCommandLine;
    QTest::newRow("platform") << kPlatformValue;
}

void TestFolders::eachFolderKeepsItsOwnLauncherSettings() {
    QFETCH(QString, name);
    test::FixtureInstall fx;
    const QString second = fx.path("second/");
    QDir().mkpath(second);
    KnownFolders known(fx.settings());
    QCOMPARE(known.add(fx.root())->index, 1);
    QCOMPARE(known.add(second)->index, 2);
    test::ScriptedPrompter p;
    const Installation first(&fx.settings(), fx.root());
    const Installation other(&fx.settings(), second);
    first.writeSetting(name, "linux", p);
    other.writeSetting(name, "windows", p);
    QVERIFY(p.log.isEmpty());
    QCOMPARE(Installation(&fx.settings(), fx.root()).setting(name), QStringLiteral("linux"));
    QCOMPARE(Installation(&fx.settings(), second).setting(name), QStringLiteral("windows"));
    // The window's own values stay shared.
    first.writeSetting("Translucency", "120", p);
    QCOMPARE(other.setting("Translucency"), QStringLiteral("120"));
    // The second folder never reads what a single-folder file kept for the first.
    fx.settings().write(kTarrowKey, name, "legacy");
    const QString third = fx.path("third/");
    QDir().mkpath(third);
    known.add(third);
    QCOMPARE(Installation(&fx.settings(), third).setting(name), QString());
}

void TestFolders::singleFolderSettingsFileStillOpens() {
    test::FixtureInstall fx;
    fx.storeRoot();
    fx.settings().write(kTarrowKey, kCommandLine, "+maxplayers 12");
    fx.settings().write(kTarrowKey, kPlatformValue, "linux");
    const QList<KnownFolder> folders = KnownFolders(fx.settings()).list();
    QCOMPARE(folders.size(), 1);
    QCOMPARE(folders.first().index, 1);
    QCOMPARE(folders.first().root, fx.root());
    const Installation in = Installation::stored(fx.settings());
    QCOMPARE(in.folderIndex(), 1);
    QCOMPARE(in.setting(kCommandLine), QStringLiteral("+maxplayers 12"));
    QCOMPARE(in.platform(), ServerPlatform::Linux);
    // Once written, the folder's own section holds the value; the old place is left as it was.
    test::ScriptedPrompter p;
    in.writeSetting(kCommandLine, "+maxplayers 16", p);
    QCOMPARE(Installation::stored(fx.settings()).setting(kCommandLine), QStringLiteral("+maxplayers 16"));
    QCOMPARE(fx.settings().read(kTarrowKey, kCommandLine), QStringLiteral("+maxplayers 12"));
    // A second folder makes the first one's place explicit: the numbers stay.
    const QString second = fx.path("second/");
    QDir().mkpath(second);
    QCOMPARE(KnownFolders(fx.settings()).add(second)->index, 2);
    QCOMPARE(KnownFolders(fx.settings()).byIndex(1)->root, fx.root());
}

void TestFolders::foldersKeepTheirNumbersAndSpellingsMeetOnce() {
    test::FixtureInstall fx;
    QDir().mkpath(fx.path("a"));
    QDir().mkpath(fx.path("b"));
    KnownFolders known(fx.settings());
    QCOMPARE(known.add(fx.path("b"))->index, 1);
    QCOMPARE(known.add(fx.path("a/"))->index, 2);
    // Another spelling of a known folder is that folder.
    QCOMPARE(known.add(fx.path("a/../b/"))->index, 1);
    QVERIFY(QFile::link(fx.path("a"), fx.path("link")));
    QCOMPARE(known.add(fx.path("link"))->index, 2);
    QCOMPARE(known.list().size(), 2);
    QCOMPARE(known.byIndex(2)->root, fx.path("a/"));
    QVERIFY(!known.byIndex(3));
    QVERIFY(!known.current());
}

void TestFolders::eachFolderHearsOfItsOwnWritesOnly() {
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    fx.write("second/TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    const Installation first(&fx.settings(), fx.root());
    const Installation second(&fx.settings(), fx.path("second/"));
    // An override's copy is the same folder: its writes are the folder's.
    const Installation firstOverridden = first.withStoredPathOverrides();

    writeFileBytes(first.paths().liblist, "gamedll \"..\\tarrow\\tarrow.dll\"\r\n", first.backups());
    writeFileBytes(firstOverridden.paths().autoexec, "echo hi\r\n", firstOverridden.paths().backups());
    writeFileBytes(second.paths().liblist, "gamedll \"dlls\\tfc.dll\"\r\n", second.backups());
    writeFileBytes(fx.path("dump.txt"), "not a person's file", WriteMode::Output);

    const QList<WriteRecord> firstWrites = first.takeWrites();
    QCOMPARE(firstWrites.size(), 2);
    QCOMPARE(firstWrites[0].path, fx.path("TFC/liblist.gam"));
    QVERIFY(firstWrites[0].changed);
    QCOMPARE(firstWrites[1].path, fx.path("TFC/autoexec.cfg"));
    QVERIFY(firstOverridden.takeWrites().isEmpty());
    // The second folder's file held those bytes already: written nowhere, and heard of only there.
    const QList<WriteRecord> secondWrites = second.takeWrites();
    QCOMPARE(secondWrites.size(), 1);
    QCOMPARE(secondWrites[0].path, fx.path("second/TFC/liblist.gam"));
    QVERIFY(!secondWrites[0].changed);
    QVERIFY(first.takeWrites().isEmpty());
}

QTEST_GUILESS_MAIN(TestFolders)
#include "tst_folders.moc"
