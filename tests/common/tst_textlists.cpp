#include "common/errors.h"
#include "common/fileio.h"
#include "common/textlists.h"
#include "support/fixtureinstall.h"

#include <QtTest>

using namespace tarrow;

class TestTextLists : public QObject {
    Q_OBJECT
  private slots:
    void findListPrefix_data();
    void findListPrefix();
    void textBetween_data();
    void textBetween();
    void cvarValue_data();
    void cvarValue();
    void isByteNumber_data();
    void isByteNumber();
    void strToInt_data();
    void strToInt();
    void splitLines_data();
    void splitLines();
    void loadListAppendsOrClears();
    void loadMissingFileThrowsAndKeepsList();
    void saveListFirstLineRule_data();
    void saveListFirstLineRule();
    void listFolderFilesSkipsFoldersAndHidden();
    void readersSurviveHostileBytes();
};

void TestTextLists::findListPrefix_data() {
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty list") << QStringList{} << "gamedll" << 7 << -1;
    QTest::newRow("two matches give the later")
        << QStringList{"gamedll \"a\"", "x", "gamedll \"b\""} << "gamedll" << 7 << 2;
    QTest::newRow("case ignored") << QStringList{"GameDLL \"dlls\\tfc.dll\""} << "gamedll" << 7 << 0;
    QTest::newRow("cut before trimming")
        << QStringList{"  GameDLL \"dlls\\tfc.dll\""} << "gamedll" << 7 << -1;
    QTest::newRow("short line compared whole") << QStringList{"game"} << "game" << 7 << 0;
    QTest::newRow("text trimmed too")
        << QStringList{"localinfo mm_gamedll x"} << " localinfo mm_gamedll " << 20 << 0;
    QTest::newRow("control characters trimmed") << QStringList{"\tgamedl"} << "gamedl" << 7 << 0;
}

void TestTextLists::findListPrefix() {
    QFETCH(QStringList, list);
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(int, expected);
    QCOMPARE(FindListPrefix(list, text, n), qsizetype(expected));
}

void TestTextLists::textBetween_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("hasResult");
    QTest::addColumn<QString>("expected");
    QTest::newRow("quoted") << "\""
                            << "\""
                            << "hostname \"My Server\"" << true << "My Server";
    QTest::newRow("blank, no second blank: no result") << " "
                                                       << " "
                                                       << "sv_cheats 1" << false << "";
    QTest::newRow("blank and semicolon: empty") << " "
                                                << ";"
                                                << "x y" << true << "";
    QTest::newRow("blank-delimited value") << " "
                                           << " "
                                           << "mp_timelimit 30 // x" << true << "30";
    QTest::newRow("start absent: whole line") << "\""
                                              << " "
                                              << "abc def" << true << "abc";
    QTest::newRow("quote without closing") << "\""
                                           << "\""
                                           << "hostname \"open" << true << "";
}

void TestTextLists::textBetween() {
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, line);
    QFETCH(bool, hasResult);
    QFETCH(QString, expected);
    const auto r = TextBetween(start, end, line);
    QCOMPARE(r.has_value(), hasResult);
    if (hasResult) QCOMPARE(*r, expected);
}

void TestTextLists::cvarValue_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comment after blank") << "hostname MyServer // name"
                                         << "MyServer";
    QTest::newRow("comment glued") << "sv_gravity 800//x"
                                   << "800";
    QTest::newRow("no blank") << "maxplayers"
                              << "maxplayers";
    QTest::newRow("comment before blank") << "a b//c d"
                                          << "b";
    QTest::newRow("quotes kept") << "hostname \"x\""
                                 << "\"x\"";
    QTest::newRow("empty value") << "name "
                                 << "";
}

void TestTextLists::cvarValue() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(CvarValue(line), expected);
}

void TestTextLists::isByteNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    for (const char* yes : {"0", "7", "60", "255"})
        QTest::newRow(yes) << QString::fromLatin1(yes) << true;
    for (const char* no : {"", "0255", "007", "+7", " 7", "7 ", "256", "-1", "1e2", "abc", "99999"})
        QTest::newRow(qPrintable(QStringLiteral("'%1'").arg(QLatin1String(no))))
            << QString::fromLatin1(no) << false;
}

void TestTextLists::isByteNumber() {
    QFETCH(QString, text);
    QFETCH(bool, expected);
    QCOMPARE(IsByteNumber(text), expected);
}

void TestTextLists::strToInt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "16" << true << 16;
    QTest::newRow("negative") << "-1" << true << -1;
    QTest::newRow("plus") << "+5" << true << 5;
    QTest::newRow("leading blank") << " 4" << true << 4;
    QTest::newRow("trailing blank") << "5 " << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("letters") << "ti" << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("too large") << "99999999999" << false << 0;
}

void TestTextLists::strToInt() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    if (valid) {
        QCOMPARE(StrToInt(text), value);
        return;
    }
    try {
        StrToInt(text);
        QFAIL("no error");
    } catch (const ConversionError& e) {
        QCOMPARE(e.text(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
}

void TestTextLists::splitLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("lone lf and cr") << QByteArray("a\nb\rc") << QStringList{"a", "b", "c"};
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx") << QStringList{"", "", "x"};
    QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("no trimming") << QByteArray("  a \t\r\n") << QStringList{"  a \t"};
}

void TestTextLists::splitLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(tarrow::splitLines(QString::fromLatin1(bytes)), lines);
}

void TestTextLists::loadListAppendsOrClears() {
    test::FixtureInstall fx;
    fx.write("a.txt", "one\r\ntwo");
    QStringList list{"keep"};
    LoadListFromFile(fx.path("a.txt"), list, false);
    QCOMPARE(list, (QStringList{"keep", "one", "two"}));
    LoadListFromFile(fx.path("A.TXT"), list, true); // letter case of the name does not matter
    QCOMPARE(list, (QStringList{"one", "two"}));
}

void TestTextLists::loadMissingFileThrowsAndKeepsList() {
    test::FixtureInstall fx;
    QStringList list{"keep"};
    try {
        LoadListFromFile(fx.path("missing.txt"), list, true);
        QFAIL("no error raised");
    } catch (const IoError& e) {
        QVERIFY(e.text().contains(fx.path("missing.txt")));
    }
    QCOMPARE(list, QStringList{"keep"});
}

void TestTextLists::saveListFirstLineRule_data() {
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray body = "b\r\nc\r\n";
    QTest::newRow("no first line") << QString() << QStringList{"b", "c"} << body;
    QTest::newRow("first line written") << "first" << QStringList{"b", "c"} << QByteArray("first\r\n") + body;
    // Decided by the lines being saved, whatever another list held last.
    QTest::newRow("first line already in the saved lines")
        << "FIRST" << QStringList{"b", "first", "c"} << QByteArray("b\r\nfirst\r\nc\r\n");
}

void TestTextLists::saveListFirstLineRule() {
    QFETCH(QString, firstLine);
    QFETCH(QStringList, list);
    QFETCH(QByteArray, expected);
    test::FixtureInstall fx;
    SaveListToFile(fx.path("out.txt"), list, firstLine, fx.backups());
    QCOMPARE(fx.read("out.txt"), expected);
}

void TestTextLists::listFolderFilesSkipsFoldersAndHidden() {
    test::FixtureInstall fx;
    QDir().mkpath(fx.path("maps/sub"));
    QStringList list{"x"};
    ListFolderFiles(fx.path("maps/"), list);
    QCOMPARE(list, QStringList{"x"});
    fx.write("maps/b.bsp", "1");
    fx.write("maps/.hidden", "1");
    ListFolderFiles(fx.path("maps\\"), list);
    QCOMPARE(list, (QStringList{"x", "b.bsp"}));
}

void TestTextLists::readersSurviveHostileBytes() {
    test::FixtureInstall fx;
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char(i % 256);
    const QByteArray longLine(1 << 20, 'x');
    fx.write("bin.dat", binary);
    fx.write("long.txt", longLine + "\r\n" + longLine);
    QStringList list;
    LoadListFromFile(fx.path("bin.dat"), list, true);
    // Every byte but the line ends survives, and a save writes the same bytes with CR LF.
    QByteArray joined;
    for (const QString& l : list)
        joined += l.toLatin1();
    QByteArray expected = binary;
    expected.replace('\r', QByteArray()).replace('\n', QByteArray());
    QCOMPARE(joined, expected);
    LoadListFromFile(fx.path("long.txt"), list, true);
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[1].size(), 1 << 20);
}

QTEST_GUILESS_MAIN(TestTextLists)
#include "tst_textlists.moc"
