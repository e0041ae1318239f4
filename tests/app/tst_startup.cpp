#include "app/componentsettings.h"
#include "app/installroot.h"
#include "common/settingsstore.h"
#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"

#include <QtTest>

using namespace tarrow;

namespace {
const QString kNotSet = QStringLiteral("Your Tarrow registry key is not set, you must set it now.");
const QString kPick = QStringLiteral("Select your Half Life install folder.");
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
  private slots:
    void storedRootAsksNothing();
    void settle_data();
    void settle();
    void failedStoreNamesKeyWithBackslash();
    void steamLibraries();
    void pathOverrides();
    void versionOverrides_data();
    void versionOverrides();
};

void TestStartup::storedRootAsksNothing() {
    test::FixtureInstall fx;
    fx.storeRoot();
    test::ScriptedPrompter p;
    settleInstallRoot(fx.settings(), p, QStringLiteral("/games/Half-Life"));
    QVERIFY(p.log.isEmpty());
    QCOMPARE(ReadInstallRoot(&fx.settings()), fx.root());
}

void TestStartup::settle_data() {
    QTest::addColumn<QString>("installer");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("expectedTexts");
    QTest::addColumn<QString>("expectedRoot");
    const QString ask = QStringLiteral("Is this your Half Life install path: /games/Half-Life ?");
    QTest::newRow("installer path accepted") << "/games/Half-Life" << QList<bool>{true} << QStringList{}
                                             << QStringList{kNotSet, ask} << "/games/Half-Life/";
    QTest::newRow("installer path refused, folder picked")
        << "/games/Half-Life" << QList<bool>{false} << QStringList{"/srv/hl"}
        << QStringList{kNotSet, ask, kPick} << "/srv/hl/";
    QTest::newRow("no installer, folder picked")
        << "" << QList<bool>{} << QStringList{"/srv/hl"} << QStringList{kNotSet, kPick} << "/srv/hl/";
    QTest::newRow("folder ending in a separator gets a second one")
        << "" << QList<bool>{} << QStringList{"/"} << QStringList{kNotSet, kPick} << "//";
    QTest::newRow("cancelled: nothing stored")
        << "" << QList<bool>{} << QStringList{} << QStringList{kNotSet, kPick} << "";
}

void TestStartup::settle() {
    QFETCH(QString, installer);
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, expectedTexts);
    QFETCH(QString, expectedRoot);
    test::FixtureInstall fx;
    test::ScriptedPrompter p;
    for (bool a : answers)
        p.answers.enqueue(a);
    for (const QString& f : folders)
        p.folders.enqueue(f);
    settleInstallRoot(fx.settings(), p, installer);
    QCOMPARE(p.texts(), expectedTexts);
    QCOMPARE(ReadInstallRoot(&fx.settings()), expectedRoot);
}

void TestStartup::failedStoreNamesKeyWithBackslash() {
    test::FixtureInstall fx;
    fx.settings().write(kTarrowKey, QStringLiteral("Other"), QStringLiteral("x"));
    QFile::setPermissions(fx.settingsFile(), QFileDevice::ReadOwner);
    test::ScriptedPrompter p;
    p.folders.enqueue(QStringLiteral("/srv/hl"));
    settleInstallRoot(fx.settings(), p, QString());
    QCOMPARE(p.texts().last(), QStringLiteral("Error creating key! \\SOFTWARE\\Tarrow\\INSTALL_PATH"));
}

void TestStartup::steamLibraries() {
    test::FixtureInstall fx;
    const QString home = fx.path("home");
    const QString vdf =
        QStringLiteral("\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"%1\"\n\t}\n}\n")
            .arg(fx.path("games/SteamLibrary"));
    fx.write("home/.steam/steam/steamapps/libraryfolders.vdf", vdf.toUtf8());
    QCOMPARE(halfLifeInstallerPath(home), QString());
    QDir().mkpath(fx.path("games/SteamLibrary/steamapps/common/Half-Life"));
    QCOMPARE(halfLifeInstallerPath(home), fx.path("games/SteamLibrary/steamapps/common/Half-Life"));
    // The client's own library comes first.
    QDir().mkpath(fx.path("home/.local/share/Steam/steamapps/common/Half-Life"));
    QCOMPARE(halfLifeInstallerPath(home), fx.path("games/SteamLibrary/steamapps/common/Half-Life"));
    QDir().mkpath(fx.path("home/.steam/steam/steamapps/common/Half-Life"));
    QCOMPARE(halfLifeInstallerPath(home), fx.path("home/.steam/steam/steamapps/common/Half-Life"));
}

void TestStartup::pathOverrides() {
    ComponentSettings s;
    const QMap<QString, QString> values{{"MMP", "  addons\\mm\\  "}, {"AMLi", "addons/am/"}, {"NTFP", ""}};
    applyPathOverrides(s, [&](const QString& n) { return values.value(n); });
    QCOMPARE(s.MetamodFolder, QStringLiteral("addons\\mm\\"));
    QCOMPARE(s.AdminmodLoadPath, QStringLiteral("addons/am/"));
    QCOMPARE(s.NeotfFolder, QStringLiteral("addons\\neotf\\"));
    QCOMPARE(s.AdminmodConfigFolder, QStringLiteral("\\addons\\Adminmod\\config\\"));
}

void TestStartup::versionOverrides_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("TAR sorting after") << "TAR"
                                       << "0.699.0.0"
                                       << "0.699.0.0";
    QTest::newRow("TAR sorting lower keeps default") << "TAR"
                                                     << "0.1000.0.0"
                                                     << "0.698.0.0";
    QTest::newRow("TAR empty") << "TAR"
                               << ""
                               << "0.698.0.0";
    QTest::newRow("TAR longer with same prefix") << "TAR"
                                                 << "0.698.0.0.1"
                                                 << "0.698.0.0.1";
    QTest::newRow("META numerically newer but sorting lower") << "META"
                                                              << "1.100.0.0"
                                                              << "1.16.2.0";
    QTest::newRow("HL") << "HL"
                        << "1.1.2.0"
                        << "1.1.2.0";
}

void TestStartup::versionOverrides() {
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    ComponentSettings s;
    applyVersionOverrides(s, [&](const QString& n) { return n == name ? value : QString(); });
    const QString actual = name == "TAR"    ? s.LatestPluginVersion
                           : name == "META" ? s.LatestMetamodVersion
                                            : s.LatestHLVersion;
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
