#include "common/fileversion.h"
#include "support/fixtureinstall.h"

#include <QtTest>

#include <sys/stat.h>

using namespace tarrow;

namespace {

QByteArray fixture(const QString& name) {
    QFile f(test::FixtureInstall::fixtureDll(name));
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing fixture");
    return f.readAll();
}

quint32 u32(const QByteArray& b, int at) {
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
           quint32(uchar(b[at + 3])) << 24;
}

void put32(QByteArray& b, int at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

class TestFileVersion : public QObject {
    Q_OBJECT
  private slots:
    void fixtures_data();
    void fixtures();
    void largeFileReadsLittle();
    void corrupted_data();
    void corrupted();
    void everyTruncationIsSafe();
    void fileReaderAgreesWithBytes_data();
    void fileReaderAgreesWithBytes();
    void otherSpellingAndOtherKinds();
};

void TestFileVersion::fixtures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected"); // empty: no version record
    QTest::newRow("32-bit") << "tarrow.dll"
                            << "0.698.0.0";
    QTest::newRow("64-bit") << "tarrow64.dll"
                            << "0.698.0.0";
    QTest::newRow("halves printed unsigned") << "big.dll"
                                             << "65535.1.2.65534";
    QTest::newRow("admin mod") << "admin_mm.dll"
                               << "2.50.56.0";
    QTest::newRow("neotf 1.6.0.0 as read") << "ntf_160.dll"
                                           << "1.6.0.0";
    QTest::newRow("no resource") << "noversion.dll"
                                 << "";
    QTest::newRow("missing file") << "does-not-exist.dll"
                                  << "";
}

void TestFileVersion::fixtures() {
    QFETCH(QString, file);
    QFETCH(QString, expected);
    const auto v = FileVersionText(test::FixtureInstall::fixtureDll(file));
    QCOMPARE(v.has_value(), !expected.isEmpty());
    if (v) QCOMPARE(*v, expected);
}

void TestFileVersion::largeFileReadsLittle() {
    const QString big = test::FixtureInstall::fixtureDll("big.dll");
    QVERIFY(QFileInfo(big).size() >= 4 * 1024 * 1024);
    QVERIFY(FileVersionText(big).has_value());
    QVERIFY2(lastFileVersionBytesRead() < 64 * 1024, qPrintable(QString::number(lastFileVersionBytesRead())));
}

void TestFileVersion::corrupted_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = fixture("tarrow.dll");
    const int pe = int(u32(good, 0x3C));
    QByteArray b;

    b = good;
    put32(b, 0x3C, 0x7FFFFFF0);
    QTest::newRow("PE offset past the end") << b;
    b = good;
    b[pe] = 'X';
    QTest::newRow("bad PE signature") << b;
    b = good;
    b[pe + 6] = char(0xFF);
    b[pe + 7] = char(0xFF);
    QTest::newRow("65535 sections") << b;
    b = good;
    b[pe + 20] = 0;
    b[pe + 21] = 0;
    QTest::newRow("optional header size 0") << b;
    b = good;
    put32(b, pe + 24 + 96 + 16, 0x7FFFFF00);
    QTest::newRow("resource RVA outside sections") << b;
    b = good;
    put32(b, pe + 24 + 96 + 16, 0);
    QTest::newRow("no resource table") << b;
    // Make every section claim raw data far beyond the file.
    b = good;
    {
        const int sections = uchar(good[pe + 6]) | uchar(good[pe + 7]) << 8;
        const int optSize = uchar(good[pe + 20]) | uchar(good[pe + 21]) << 8;
        for (int i = 0; i < sections; ++i)
            put32(b, pe + 24 + optSize + i * 40 + 20, 0x7FFFFFF0);
    }
    QTest::newRow("section raw offsets lie") << b;
    // A directory whose entry points back at the root: a loop the reader must not follow.
    b = good;
    {
        const int optSize = uchar(good[pe + 20]) | uchar(good[pe + 21]) << 8;
        const quint32 rva = u32(good, pe + 24 + 96 + 16);
        const int sections = uchar(good[pe + 6]) | uchar(good[pe + 7]) << 8;
        for (int i = 0; i < sections; ++i) {
            const int s = pe + 24 + optSize + i * 40;
            const quint32 va = u32(good, s + 12), raw = u32(good, s + 20);
            if (rva >= va && rva < va + u32(good, s + 16)) {
                const int root = int(raw + (rva - va));
                put32(b, root + 16 + 4, 0x80000000u); // first entry's sub-directory is the root again
            }
        }
    }
    QTest::newRow("looping directory") << b;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("random") << QByteArray(5000, char(0xA5));
}

void TestFileVersion::corrupted() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!fileVersionFromBytes(bytes).has_value());
}

void TestFileVersion::everyTruncationIsSafe() {
    const QByteArray good = fixture("tarrow.dll");
    const QString real = *fileVersionFromBytes(good);
    int withVersion = 0;
    for (int len = 0; len < good.size(); len += 61) {
        // A cut file either still holds the whole record, or has none; never a wrong text.
        const auto v = fileVersionFromBytes(good.left(len));
        if (v) {
            QCOMPARE(*v, real);
            ++withVersion;
        }
    }
    QVERIFY(withVersion < good.size() / 61);
}

void TestFileVersion::fileReaderAgreesWithBytes_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"tarrow.dll", "tarrow64.dll", "big.dll", "admin_mm.dll", "ntf_160.dll",
                             "noversion.dll", "tarrow_old.dll"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// The library file is read in blocks; cuts at and around the block edges must give what the same
// bytes in memory give.
void TestFileVersion::fileReaderAgreesWithBytes() {
    QFETCH(QString, name);
    const QByteArray whole = fixture(name);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.dll"));
    QList<qsizetype> lengths{whole.size()};
    for (qsizetype edge = 1024; edge < whole.size() && lengths.size() < 200; edge += 1024)
        lengths << edge - 1 << edge << edge + 1;
    for (qsizetype at : {qsizetype(64), qsizetype(0x3C + 4), qsizetype(700)})
        lengths << std::min(at, whole.size());
    // The tail of the file is where the resources lie.
    for (qsizetype back = 1; back < 4096 && back < whole.size(); back += 97)
        lengths << whole.size() - back;
    for (qsizetype len : lengths) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(whole.left(len));
        f.close();
        QCOMPARE(FileVersionText(path), fileVersionFromBytes(whole.left(len)));
    }
}

void TestFileVersion::otherSpellingAndOtherKinds() {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("Half-Life/TFC/dlls")));
    QVERIFY(QFile::copy(test::FixtureInstall::fixtureDll("tarrow.dll"),
                        dir.filePath(QStringLiteral("Half-Life/TFC/dlls/tarrow.dll"))));
    const auto real = FileVersionText(dir.filePath(QStringLiteral("Half-Life/TFC/dlls/tarrow.dll")));
    QVERIFY(real.has_value());
    // A path in the Windows spelling and another case finds the same file.
    QCOMPARE(FileVersionText(dir.path() + QStringLiteral("\\half-life\\tfc\\DLLS\\Tarrow.DLL")), real);
    // A folder and a FIFO have no version, and the FIFO does not block the reader.
    QVERIFY(!FileVersionText(dir.filePath(QStringLiteral("Half-Life/TFC/dlls"))).has_value());
    const QString fifo = dir.filePath(QStringLiteral("fifo.dll"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QVERIFY(!FileVersionText(fifo).has_value());
}

QTEST_GUILESS_MAIN(TestFileVersion)
#include "tst_fileversion.moc"
