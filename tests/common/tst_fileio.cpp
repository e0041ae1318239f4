#include "common/errors.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "support/fixtureinstall.h"

#include <QtTest>

using namespace tarrow;

class TestFileIo : public QObject {
    Q_OBJECT
  private slots:
    void nativePathMatchesCase_data();
    void nativePathMatchesCase();
    void caseMatchSeesChangesAtOnce();
    void readOnlyRefusedEvenAsRoot();
    void failedWriteKeepsOldFile();
    void writeErrorNamesPathAndReason();
    void latin1BytesSurvive();
    void hundredMebibyteFileIsRefused();
    void deleteAndCreateFolder();
};

void TestFileIo::nativePathMatchesCase_data() {
    QTest::addColumn<QString>("composed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exact") << "TFC/liblist.gam"
                           << "TFC/liblist.gam";
    QTest::newRow("backslashes and case") << "tfc\\LIBLIST.GAM"
                                          << "TFC/liblist.gam";
    QTest::newRow("missing file keeps composed name") << "TFC\\dlls\\Tarrow.dll"
                                                      << "TFC/dlls/Tarrow.dll";
    QTest::newRow("missing folder keeps rest") << "tfc\\addons\\Metamod\\plugins.ini"
                                               << "TFC/addons/Metamod/plugins.ini";
    QTest::newRow("exact spelling wins") << "Mixed/a.txt"
                                         << "Mixed/a.txt";
    QTest::newRow("other spelling found") << "MIXED/A.txt"
                                          << "MIXED/A.txt";
}

void TestFileIo::nativePathMatchesCase() {
    QFETCH(QString, composed);
    QFETCH(QString, expected);
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "x");
    QDir().mkpath(fx.path("TFC/dlls"));
    fx.write("Mixed/a.txt", "1");
    fx.write("MIXED/A.txt", "2");
    QCOMPARE(nativePath(fx.root() + composed), fx.root() + expected);
}

void TestFileIo::caseMatchSeesChangesAtOnce() {
    test::FixtureInstall fx;
    fx.write("TFC/other.txt", "x");
    QCOMPARE(nativePath(fx.root() + "tfc\\Server.cfg"), fx.root() + "TFC/Server.cfg");
    // Files that appear, vanish or change case right after a lookup are seen by the next one.
    fx.write("TFC/SERVER.CFG", "x");
    QCOMPARE(nativePath(fx.root() + "tfc\\Server.cfg"), fx.root() + "TFC/SERVER.CFG");
    QFile::rename(fx.path("TFC/SERVER.CFG"), fx.path("TFC/server.CFG"));
    QCOMPARE(nativePath(fx.root() + "tfc\\Server.cfg"), fx.root() + "TFC/server.CFG");
    QFile::remove(fx.path("TFC/server.CFG"));
    QCOMPARE(nativePath(fx.root() + "tfc\\Server.cfg"), fx.root() + "TFC/Server.cfg");
}

void TestFileIo::readOnlyRefusedEvenAsRoot() {
    test::FixtureInstall fx;
    fx.write("ro.cfg", "old");
    setReadOnly(fx.path("ro.cfg"));
    QVERIFY(isReadOnly(fx.path("ro.cfg")));
    QVERIFY_THROWS_EXCEPTION(IoError, writeFileBytes(fx.path("ro.cfg"), "new", fx.backups()));
    QCOMPARE(fx.read("ro.cfg"), QByteArray("old"));
    clearReadOnly(fx.path("ro.cfg"));
    writeFileBytes(fx.path("ro.cfg"), "new", fx.backups());
    QCOMPARE(fx.read("ro.cfg"), QByteArray("new"));
}

void TestFileIo::failedWriteKeepsOldFile() {
    test::FixtureInstall fx;
    fx.write("server.cfg", "hostname old\r\n");
    int calls = 0;
    setWriteFaultHook([&](const QString&, const QByteArray&) {
        if (++calls == 2) throw IoError(QStringLiteral("injected: disk full"));
    });
    writeFileBytes(fx.path("first.cfg"), "written", fx.backups());
    QVERIFY_THROWS_EXCEPTION(IoError,
                             writeFileBytes(fx.path("server.cfg"), "hostname new\r\n", fx.backups()));
    setWriteFaultHook(nullptr);
    QCOMPARE(fx.read("first.cfg"), QByteArray("written"));
    QCOMPARE(fx.read("server.cfg"), QByteArray("hostname old\r\n"));
    // No temporary file is left beside the target.
    QCOMPARE(QDir(fx.root()).entryList(QDir::Files).size(), 2);
}

void TestFileIo::writeErrorNamesPathAndReason() {
    test::FixtureInstall fx;
    fx.write("ro.cfg", "x");
    setReadOnly(fx.path("ro.cfg"));
    try {
        writeFileBytes(fx.path("RO.CFG"), "y", fx.backups());
        QFAIL("no error");
    } catch (const IoError& e) {
        QCOMPARE(e.text(),
                 QStringLiteral("Cannot create file \"%1\". Access is denied.").arg(fx.path("ro.cfg")));
    }
}

void TestFileIo::latin1BytesSurvive() {
    test::FixtureInstall fx;
    QByteArray all;
    for (int i = 1; i < 256; ++i)
        if (i != '\r' && i != '\n') all += char(i);
    writeFileBytes(fx.path("bytes.txt"), joinLinesCrLf({QString::fromLatin1(all)}), fx.backups());
    QCOMPARE(fx.read("bytes.txt"), all + "\r\n");
    QCOMPARE(readLines(fx.path("bytes.txt")), QStringList{QString::fromLatin1(all)});
}

void TestFileIo::hundredMebibyteFileIsRefused() {
    test::FixtureInstall fx;
    QByteArray chunk(1 << 20, 'a');
    for (int i = 0; i < chunk.size(); i += 97)
        chunk[i] = '\n';
    chunk[5] = '\0';
    {
        QFile f(fx.path("huge.bin"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 100; ++i)
            f.write(chunk);
    }
    // Nothing that large is a game file; reading it would hold the window for half a minute.
    try {
        readLines(fx.path("huge.bin"));
        QFAIL("a 100 MiB file was read");
    } catch (const IoError& e) {
        QCOMPARE(e.text(),
                 QStringLiteral("Cannot open file \"%1\". The file is 100.0 MiB; files of over 16 MiB "
                                "are not read.")
                     .arg(fx.path("huge.bin")));
    }
}

void TestFileIo::deleteAndCreateFolder() {
    test::FixtureInstall fx;
    createFolder(fx.path("a\\b\\c"));
    QVERIFY(QFileInfo(fx.path("a/b/c")).isDir());
    fx.write("a/b/c/x.html", "x");
    setReadOnly(fx.path("a/b/c/x.html"));
    clearReadOnly(fx.path("A\\B\\C\\X.HTML"));
    deleteFile(fx.path("A\\B\\C\\X.HTML"), fx.backups());
    QVERIFY(!fx.exists("a/b/c/x.html"));
    deleteFile(fx.path("a/b/c/missing.html"), fx.backups()); // missing files are ignored
}

QTEST_GUILESS_MAIN(TestFileIo)
#include "tst_fileio.moc"
