#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"

#include <QtTest>

using namespace tarrow;

class TestSettings : public QObject {
    Q_OBJECT
  private slots:
    void namesIgnoreCase_data();
    void namesIgnoreCase();
    void writeReplacesEverySpelling();
    void missingGivesEmpty();
    void failedWriteShowsKeyMessage();
    void installRootReadsBack();
};

void TestSettings::namesIgnoreCase_data() {
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::newRow("same") << "Translucency"
                          << "Translucency";
    QTest::newRow("lower") << "Translucency"
                           << "translucency";
    QTest::newRow("blank in name") << "Stats Speed"
                                   << "Stats speed";
    QTest::newRow("upper") << "CommandLine"
                           << "COMMANDLINE";
}

void TestSettings::namesIgnoreCase() {
    QFETCH(QString, written);
    QFETCH(QString, read);
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    RegWriteString(&fx.settings(), kTarrowKey, written, QStringLiteral("42"), p);
    QCOMPARE(RegReadString(&fx.settings(), kTarrowKey, read), QStringLiteral("42"));
    QVERIFY(p.log.isEmpty());
}

void TestSettings::writeReplacesEverySpelling() {
    test::FixtureInstall fx;
    {
        QSettings raw(fx.settingsFile(), QSettings::IniFormat);
        raw.setValue(QStringLiteral("Tarrow/translucency"), QStringLiteral("100"));
        raw.setValue(QStringLiteral("Tarrow/TRANSLUCENCY"), QStringLiteral("120"));
    }
    SettingsStore store(fx.settingsFile());
    QVERIFY(store.write(kTarrowKey, QStringLiteral("Translucency"), QStringLiteral("200")));
    QSettings raw(fx.settingsFile(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("Tarrow"));
    QCOMPARE(raw.childKeys(), QStringList{QStringLiteral("Translucency")});
    QCOMPARE(store.read(kTarrowKey, QStringLiteral("translucency")), QStringLiteral("200"));
}

void TestSettings::missingGivesEmpty() {
    test::FixtureInstall fx;
    QCOMPARE(RegReadString(&fx.settings(), kTarrowKey, QStringLiteral("INSTALL_PATH")), QString());
    QCOMPARE(RegReadString(&fx.settings(), QStringLiteral("\\SOFTWARE\\Nothing"), QStringLiteral("x")),
             QString());
    QVERIFY(!QFileInfo::exists(fx.settingsFile())); // reading creates nothing
}

void TestSettings::failedWriteShowsKeyMessage() {
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    RegWriteString(&fx.settings(), kTarrowKey, QStringLiteral("CommandLine"), QStringLiteral("x"), p);
    QFile::setPermissions(fx.settingsFile(), QFileDevice::ReadOwner);
    RegWriteString(&fx.settings(), kTarrowKey, QStringLiteral("INSTALL_PATH"), QStringLiteral("/x/"), p);
    QCOMPARE(p.texts(), QStringList{QStringLiteral("Error creating key! \\SOFTWARE\\Tarrow INSTALL_PATH")});
}

void TestSettings::installRootReadsBack() {
    test::FixtureInstall fx;
    fx.storeRoot();
    QCOMPARE(ReadInstallRoot(&fx.settings()), fx.root());
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
