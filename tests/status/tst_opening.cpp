// Opening an installation for work: what is written, removed and said, and in which order.
#include "app/loaderfiles.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "status/opening.h"
#include "status/pages.h"
#include "support/fixtureinstall.h"

#include <QtTest>

using namespace tarrow;

namespace {

using Files = QMap<QString, QByteArray>;

const QByteArray kTidyLiblist = "game \"tfc\"\r\ngamedll \"dlls\\tfc.dll\"\r\n";

} // namespace

class TestOpening : public QObject {
    Q_OBJECT
  private slots:
    void opening_data();
    void opening();
    void aFolderOpenedAgainIsLeftAsItWas();
};

void TestOpening::opening_data() {
    QTest::addColumn<Files>("files");
    // "message:" or "error:" and the start of each text, in order.
    QTest::addColumn<QStringList>("notes");
    // The loader files the opening changed, below the Half-Life folder.
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<Files>("after");

    QTest::newRow("tidy files stay as they are") << Files{{"TFC/liblist.gam", kTidyLiblist}} << QStringList{}
                                                 << QStringList{} << Files{{"TFC/liblist.gam", kTidyLiblist}};
    QTest::newRow("upper case and forward slashes are normalised")
        << Files{{"TFC/liblist.gam", "GameDLL \"DLLS/TFC.DLL\"\r\ngamedll_linux \"dlls/TFC.so\"\r\n"},
                 {"TFC/addons/Metamod/plugins.ini", "Win32 Addons\\AdminMod\\DLLS\\Admin_MM.dll\r\n"}}
        << QStringList{} << QStringList{"TFC/liblist.gam", "TFC/addons/Metamod/plugins.ini"}
        << Files{{"TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\ngamedll_linux \"dlls/TFC.so\"\r\n"},
                 {"TFC/addons/Metamod/plugins.ini", "win32 addons/adminmod/dlls/admin_mm.dll\r\n"}};
    QTest::newRow("no liblist.gam is said, nothing is made")
        << Files{} << QStringList{"message:" + missingLiblistMessage("x").left(30)} << QStringList{}
        << Files{};
    QTest::newRow("each copy of the rival plug-in is warned of, before the loader files")
        << Files{{"TFC/addons/AdminOP/adminop.dll", "x"}, {"TFC/dlls/adminop.dll", "x"}}
        << QStringList{"message:" + rivalPluginWarning(), "message:" + rivalPluginWarning(),
                       "message:" + missingLiblistMessage("x").left(30)}
        << QStringList{} << Files{};
}

void TestOpening::opening() {
    QFETCH(Files, files);
    QFETCH(QStringList, notes);
    QFETCH(QStringList, changed);
    QFETCH(Files, after);
    test::FixtureInstall fx;
    for (auto it = files.begin(); it != files.end(); ++it)
        fx.write(it.key(), it.value());
    // Pages a previous run left behind.
    fx.write("tarrow/stats.html", "old");
    fx.write("tarrow/tarrow1.html", "old");

    const Installation in = fx.installation();
    const OpeningResult r = openInstallation(in);

    QStringList said;
    for (const OpeningNote& n : r.notes)
        said << (n.kind == OpeningNote::Kind::Message ? QStringLiteral("message:")
                                                      : QStringLiteral("error:")) +
                    n.text;
    QCOMPARE(said.size(), notes.size());
    for (qsizetype i = 0; i < notes.size(); ++i)
        QVERIFY2(said[i].startsWith(notes[i]), qPrintable(said[i]));
    QStringList wrote;
    for (const WriteRecord& w : r.writes)
        if (w.changed) wrote << QDir(fx.root()).relativeFilePath(w.path);
    QCOMPARE(wrote, changed);
    for (auto it = after.begin(); it != after.end(); ++it)
        QCOMPARE(fx.read(it.key()), it.value());
    QVERIFY(!fx.exists("TFC/liblist.gam") || files.contains("TFC/liblist.gam"));

    // The old report pages are gone and the waiting pages are there, whatever was said.
    QVERIFY(!fx.exists("tarrow/stats.html"));
    QVERIFY(!fx.exists("tarrow/tarrow1.html"));
    for (const QString& page : generatedPageNames())
        if (!page.startsWith("stats") && !page.startsWith("tarrow"))
            QVERIFY2(fx.exists("tarrow/" + page), qPrintable(page));
}

void TestOpening::aFolderOpenedAgainIsLeftAsItWas() {
    // A loader file too large to read is named once and the opening goes on past it; a second
    // opening writes nothing new.
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "GAMEDLL \"dlls\\tfc.dll\"\r\n");
    fx.write("TFC/addons/Metamod/plugins.ini", QByteArray(kMaxReadBytes + 1, 'x'));
    fx.write("TFC/addons/neotf/ntf_config.txt", "TFC.DLL\r\n");
    const OpeningResult first = openInstallation(fx.installation());
    QCOMPARE(first.notes.size(), 1);
    QCOMPARE(first.notes[0].kind, OpeningNote::Kind::Error);
    QCOMPARE(first.notes[0].unreadableFile, nativePath(fx.path("TFC/addons/Metamod/plugins.ini")));
    QCOMPARE(fx.read("TFC/liblist.gam"), QByteArray("gamedll \"dlls\\tfc.dll\"\r\n"));
    QCOMPARE(fx.read("TFC/addons/neotf/ntf_config.txt"), QByteArray("tfc.dll\r\n"));

    const OpeningResult second = openInstallation(fx.installation());
    QCOMPARE(second.notes.size(), 1);
    for (const WriteRecord& w : second.writes)
        QVERIFY2(!w.changed, qPrintable(w.path));
}

QTEST_GUILESS_MAIN(TestOpening)
#include "tst_opening.moc"
