#include "common/configsyntax.h"
#include "support/fixtureinstall.h"

#include <QtTest>

using namespace tarrow;

class TestConfigSyntax : public QObject {
    Q_OBJECT
  private slots:
    void commandsAsTheEngineReadsThem_data();
    void commandsAsTheEngineReadsThem();
    void oneValueDespiteLinesThePagesCannotRead();
};

void TestConfigSyntax::commandsAsTheEngineReadsThem_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("commands"); // each command's words joined by '|'
    QTest::newRow("name and value") << QByteArray("hostname Tarrow\r\n") << QStringList{"hostname|Tarrow"};
    QTest::newRow("a comment after the value")
        << QByteArray("mp_timelimit 30 // half an hour\n") << QStringList{"mp_timelimit|30"};
    QTest::newRow("// inside quotes is no comment")
        << QByteArray("sv_downloadurl \"http://fastdl.example.org/tfc/\"\n")
        << QStringList{"sv_downloadurl|http://fastdl.example.org/tfc/"};
    QTest::newRow("; between commands, not inside quotes")
        << QByteArray("mp_fraglimit 50; say \"a;b\"\n") << QStringList{"mp_fraglimit|50", "say|a;b"};
    QTest::newRow("a quote left open ends with its line")
        << QByteArray("hostname \"open\nsv_lan 1\n") << QStringList{"hostname|open", "sv_lan|1"};
    QTest::newRow("tabs, blanks and empty lines")
        << QByteArray("\t sv_gravity\t800  \r\n\r\n   \n") << QStringList{"sv_gravity|800"};
    QTest::newRow("a whole-line comment and an empty quote")
        << QByteArray("// rcon_password old\nsv_password \"\"\n") << QStringList{"sv_password|"};
}

void TestConfigSyntax::commandsAsTheEngineReadsThem() {
    QFETCH(QByteArray, text);
    QFETCH(QStringList, commands);
    QStringList got;
    for (const ConfigCommand& c : tokenizeConfig(text))
        got << c.words.join('|');
    QCOMPARE(got, commands);
}

void TestConfigSyntax::oneValueDespiteLinesThePagesCannotRead() {
    test::FixtureInstall fx;
    fx.write("TFC/server.cfg", "mp_timelimit 25min\r\nRCON_PASSWORD \"se cret\" // the console's\r\n"
                               "exec tfc.cfg\r\nexec server.cfg\r\n");
    fx.write("TFC/tfc.cfg", "maxplayers 18\r\n");
    QCOMPARE(configValue(fx.path("TFC/"), "server.cfg", "rcon_password"), std::optional<QString>("se cret"));
    QCOMPARE(configValue(fx.path("TFC/"), "server.cfg", "MaxPlayers"), std::optional<QString>("18"));
    QCOMPARE(configValue(fx.path("TFC/"), "server.cfg", "sv_password"), std::nullopt);
    QCOMPARE(configValue(fx.path("TFC/"), "missing.cfg", "rcon_password"), std::nullopt);
}

QTEST_GUILESS_MAIN(TestConfigSyntax)
#include "tst_configsyntax.moc"
