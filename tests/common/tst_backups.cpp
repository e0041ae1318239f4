#include "common/backups.h"
#include "common/errors.h"
#include "common/fileio.h"
#include "common/fileversion.h"
#include "common/paths.h"
#include "common/textlists.h"
#include "support/fixtureinstall.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarrow;

namespace {

QDateTime fixedNow() {
    return QDateTime(QDate(2026, 12, 8), QTime(6, 30, 15));
}

QStringList backupNames(const test::FixtureInstall& fx, const QString& relativeFolder) {
    return QDir(fx.path("tarrow/backups/" + relativeFolder)).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestBackups : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { setBackupClock(nullptr); }
    void everyWriterKeepsThePreviousBytes_data();
    void everyWriterKeepsThePreviousBytes();
    void sameSecondGetsACounterAndTwentyStay();
    void sizeLimitDropsTheOldestFirst();
    void failedBackupWritesNothing();
    void fullDiskKeepsTheOldFile();
    void fifoIsNeverOpened();
    void linkAtAPageIsReplacedNotFollowed();
    void clearingReadOnlyAddsOwnerWriteOnly();
    void withoutAFolderNothingIsWrittenHere();
    void sameBytesLeaveTheFileAlone_data();
    void sameBytesLeaveTheFileAlone();
    void existingPluginFolderSpellingHoldsTheBackups();
};

void TestBackups::everyWriterKeepsThePreviousBytes_data() {
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("kept");
    const QByteArray operatorFile = "\xEF\xBB\xBFhostname\t\t\"My \xC3\x89quipe\"\r\nlog on\n// no end";
    QTest::newRow("replace") << "replace" << operatorFile << true;
    QTest::newRow("list save") << "list" << operatorFile << true;
    QTest::newRow("delete") << "delete" << operatorFile << true;
    QTest::newRow("same bytes") << "same" << operatorFile << false;
    QTest::newRow("new file") << "new" << QByteArray() << false;
    QTest::newRow("dump output") << "output" << operatorFile << false;
}

void TestBackups::everyWriterKeepsThePreviousBytes() {
    QFETCH(QString, writer);
    QFETCH(QByteArray, before);
    QFETCH(bool, kept);
    test::FixtureInstall fx;
    fx.storeRoot();
    const QString file = fx.path("TFC/server.cfg");
    if (writer != "new")
        fx.write("TFC/server.cfg", before);
    else
        QDir().mkpath(fx.path("TFC"));
    const auto written = std::make_shared<WriteJournal>();
    const BackupStore store(fx.root(), written);

    if (writer == "replace" || writer == "new") writeFileBytes(file, "sv_lan 1\r\n", store);
    if (writer == "list") SaveListToFile(file, {"sv_lan 1"}, QString(), store);
    if (writer == "delete") deleteFile(file, store);
    if (writer == "same") writeFileBytes(file, before, store);
    if (writer == "output") writeFileBytes(file, "dump", WriteMode::Output);

    const QList<Backup> backups = fx.backups().list();
    QCOMPARE(backups.size(), kept ? 1 : 0);
    const QList<WriteRecord> journal = written->take();
    QCOMPARE(journal.size(), writer == "output" ? 0 : 1);
    if (!kept) return;
    const Backup& b = backups.first();
    QCOMPARE(b.relative, QStringLiteral("TFC/server.cfg"));
    QCOMPARE(b.original, file);
    QCOMPARE(b.size, before.size());
    QVERIFY(b.backupPath.startsWith(fx.path("tarrow/backups/TFC/server.cfg.")));
    QCOMPARE(journal.first().backup, b.backupPath);
    QCOMPARE(journal.first().deleted, writer == "delete");

    // Restore puts back the exact bytes, and keeps what it replaces.
    fx.backups().restore(b);
    QCOMPARE(fx.read("TFC/server.cfg"), before);
    QCOMPARE(fx.backups().list().size(), writer == "delete" ? 1 : 2);
}

void TestBackups::sameSecondGetsACounterAndTwentyStay() {
    test::FixtureInstall fx;
    fx.storeRoot();
    setBackupClock(fixedNow);
    const QString file = fx.path("TFC/liblist.gam");
    fx.write("TFC/liblist.gam", "v0");
    for (int i = 1; i <= 23; ++i)
        writeFileBytes(file, "v" + QByteArray::number(i), fx.backups());
    const QStringList names = backupNames(fx, "TFC");
    QCOMPARE(names.size(), kBackupsPerFile);
    // The oldest three (v0, v1, v2) went; the counter orders copies made in the same second.
    QVERIFY(!names.contains("liblist.gam.20261208-063015.bak"));
    QVERIFY(names.contains("liblist.gam.20261208-063015-23.bak"));
    const QList<Backup> listed = fx.backups().list();
    QCOMPARE(listed.first().counter, 23);
    QCOMPARE(readFileBytes(listed.first().backupPath), QByteArray("v22"));
    QCOMPARE(readFileBytes(listed.last().backupPath), QByteArray("v3"));
}

void TestBackups::sizeLimitDropsTheOldestFirst() {
    test::FixtureInstall fx;
    fx.storeRoot();
    // Three old 20 MiB copies of another file (sparse: they take no room).
    const QString area = fx.path("tarrow/backups/TFC/");
    QDir().mkpath(area);
    for (const char* stamp : {"20250101-000000", "20250102-000000", "20250103-000000"}) {
        QFile f(area + "big.wad." + stamp + ".bak");
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(20LL * 1024 * 1024));
    }
    fx.write("TFC/motd.txt", "old");
    writeFileBytes(fx.path("TFC/motd.txt"), "new", fx.backups());
    const QStringList names = backupNames(fx, "TFC");
    QCOMPARE(names.size(), 3);
    QVERIFY(!names.contains("big.wad.20250101-000000.bak"));
    QVERIFY(names.contains("big.wad.20250103-000000.bak"));
    QVERIFY(
        std::any_of(names.begin(), names.end(), [](const QString& n) { return n.startsWith("motd.txt."); }));
}

void TestBackups::failedBackupWritesNothing() {
    test::FixtureInstall fx;
    fx.storeRoot();
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    // A file where the backup folder must go: the copy cannot be made.
    fx.write("tarrow/backups", "in the way");
    try {
        writeFileBytes(fx.path("TFC/liblist.gam"), "gamedll \"..\\tarrow\\tarrow.dll\"\r\n", fx.backups());
        QFAIL("the write went ahead without its backup");
    } catch (const IoError& e) {
        QVERIFY2(e.text().startsWith("Cannot create backup \"" + fx.path("tarrow/backups/TFC/liblist.gam.")),
                 qPrintable(e.text()));
    }
    QCOMPARE(fx.read("TFC/liblist.gam"), QByteArray("gamedll \"dlls\\tfc.dll\"\r\n"));
}

void TestBackups::fullDiskKeepsTheOldFile() {
    if (geteuid() != 0) QSKIP("mounting a small file system needs root");
    QTemporaryDir mount;
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=128k", "tmpfs", mount.path()}) != 0)
        QSKIP("this machine cannot mount a tmpfs here");
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute("umount", {path}); }
    } unmount{mount.path()};
    test::FixtureInstall fx;
    SettingsStore& s = fx.settings();
    s.write(kTarrowKey, kInstallPathValue, mount.path() + "/");
    const QString file = mount.path() + "/liblist.gam";
    const QByteArray old(8 * 1024, 'a');
    writeFileBytes(file, old, fx.backups());
    try {
        writeFileBytes(file, QByteArray(512 * 1024, 'b'), fx.backups());
        QFAIL("a write to a full disk reported success");
    } catch (const IoError& e) {
        QVERIFY2(e.text().contains(file), qPrintable(e.text()));
        QVERIFY2(e.text().contains("No space left on device"), qPrintable(e.text()));
    }
    QCOMPARE(readFileBytes(file), old);
}

void TestBackups::fifoIsNeverOpened() {
    test::FixtureInstall fx;
    QDir().mkpath(fx.path("TFC"));
    const QString fifo = fx.path("TFC/liblist.gam");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    QVERIFY(!fileExists(fifo));
    QVERIFY(!FileVersionText(fifo).has_value());
    QVERIFY_THROWS_EXCEPTION(IoError, readFileBytes(fifo));
    QVERIFY_THROWS_EXCEPTION(IoError, writeFileBytes(fifo, "x", fx.backups()));
}

void TestBackups::linkAtAPageIsReplacedNotFollowed() {
    test::FixtureInstall fx;
    QTemporaryDir outside;
    QDir().mkpath(fx.path("tarrow"));
    const QString page = fx.path("tarrow/tarrow.html");
    const QString target = outside.path() + "/planted.html";
    QVERIFY(QFile::link(target, page));
    writeFileBytes(page, "<html>", WriteMode::Scratch);
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(!QFileInfo(page).isSymLink());
    QCOMPARE(fx.read("tarrow/tarrow.html"), QByteArray("<html>"));
    // A dangling link is deleted itself.
    QVERIFY(QFile::remove(page));
    QVERIFY(QFile::link(target, page));
    deleteFile(page, WriteMode::Scratch);
    QVERIFY(!QFileInfo(page).isSymLink());
}

void TestBackups::clearingReadOnlyAddsOwnerWriteOnly() {
    test::FixtureInstall fx;
    fx.write("TFC/plugins.ini", "x");
    const QString file = fx.path("TFC/plugins.ini");
    QVERIFY(QFile::setPermissions(file, QFileDevice::Permissions()));
    clearReadOnly(file);
    struct stat st {};
    QCOMPARE(stat(QFile::encodeName(file).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0200));
}

void TestBackups::withoutAFolderNothingIsWrittenHere() {
    QTemporaryDir work;
    const QString before = QDir::currentPath();
    QDir::setCurrent(work.path());
    // An empty InstallRoot composes paths like "tarrow\\stats.html": they never land in the current folder.
    QVERIFY_THROWS_EXCEPTION(IoError, writeFileBytes("tarrow\\stats.html", "x", WriteMode::Scratch));
    QVERIFY_THROWS_EXCEPTION(IoError, createFolder("tarrow"));
    QVERIFY_THROWS_EXCEPTION(IoError, writeFileBytes("TFC\\server.cfg", "x", BackupStore()));
    QDir::setCurrent(before);
    QCOMPARE(QDir(work.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

void TestBackups::sameBytesLeaveTheFileAlone_data() {
    QTest::addColumn<QByteArray>("next");
    QTest::addColumn<bool>("written");
    QTest::newRow("same bytes") << QByteArray("gamedll \"dlls\\tfc.dll\"\r\n") << false;
    QTest::newRow("one byte more") << QByteArray("gamedll \"dlls\\tfc.dll\"\r\n\r\n") << true;
    QTest::newRow("same size, other bytes") << QByteArray("gamedll \"dlls\\tfc.dlx\"\r\n") << true;
}

void TestBackups::sameBytesLeaveTheFileAlone() {
    QFETCH(QByteArray, next);
    QFETCH(bool, written);
    test::FixtureInstall fx;
    fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
    // A second name for the file, as an operator's deployment may keep one.
    QVERIFY(::link(QFile::encodeName(fx.path("TFC/liblist.gam")).constData(),
                   QFile::encodeName(fx.path("liblist.link")).constData()) == 0);
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(fx.path("TFC/liblist.gam")).constData(), &before), 0);
    const auto journalOf = std::make_shared<WriteJournal>();
    writeFileBytes(fx.path("TFC/liblist.gam"), next, BackupStore(fx.root(), journalOf));
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(fx.path("TFC/liblist.gam")).constData(), &after), 0);
    QCOMPARE(fx.read("TFC/liblist.gam"), next);
    // Skipped: same inode, the link still shares it, no backup; written: a new file by rename.
    QCOMPARE(after.st_ino == before.st_ino, !written);
    QCOMPARE(after.st_nlink, written ? nlink_t(1) : nlink_t(2));
    QCOMPARE(fx.backups().list().size(), written ? 1 : 0);
    const QList<WriteRecord> journal = journalOf->take();
    QCOMPARE(journal.size(), 1);
    QCOMPARE(journal.first().changed, written);
}

void TestBackups::existingPluginFolderSpellingHoldsTheBackups() {
    // A Linux server whose plug-in folder is spelled "Tarrow/": a second "tarrow/" would take its place.
    test::FixtureInstall fx;
    fx.write("Tarrow/tarrow_i386.so", "x");
    fx.write("TFC/server.cfg", "hostname a\r\n");
    writeFileBytes(fx.path("TFC/server.cfg"), "hostname b\r\n", fx.backups());
    QVERIFY(!QFileInfo::exists(fx.path("tarrow")));
    const QList<Backup> kept = fx.backups().list();
    QCOMPARE(kept.size(), 1);
    QVERIFY2(kept.first().backupPath.startsWith(fx.path("Tarrow/backups/TFC/server.cfg.")),
             qPrintable(kept.first().backupPath));
    QCOMPARE(kept.first().relative, QStringLiteral("TFC/server.cfg"));
}

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
