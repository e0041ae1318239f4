// The command table against what is written about it elsewhere: the manual page, the README's exit
// codes, the help's option texts and the completion script that the build writes from it.
#include "cli/command.h"
#include "cli/exitcodes.h"
#include "support/program.h"

#include <QRegularExpression>
#include <QtTest>

using namespace tarrow;
using namespace tarrow::cli;

namespace {

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// The manual page's COMMANDS section: each `.TP` entry's command name with the text of the entry.
QList<QPair<QString, QString>> manualCommands() {
    const QString page = readText(QStringLiteral(TARROW_SOURCE_DIR "/resources/man/tarrow.1"));
    const qsizetype start = page.indexOf(QLatin1String("\n.SH COMMANDS\n"));
    const qsizetype end = page.indexOf(QLatin1String("\n.SH "), start + 1);
    if (start < 0 || end < 0) return {};
    QList<QPair<QString, QString>> entries;
    const QStringList parts = page.mid(start, end - start).split(QStringLiteral("\n.TP\n")).mid(1);
    static const QRegularExpression firstWord(QStringLiteral("^(?:\\.B[IR]?\\s+\"?|\\\\fB)([a-z]+)"));
    for (const QString& part : parts) {
        const QRegularExpressionMatch m = firstWord.match(part);
        entries.append({m.hasMatch() ? m.captured(1) : part.section(QLatin1Char('\n'), 0, 0), part});
    }
    return entries;
}

} // namespace

class TestCommandTable : public QObject {
    Q_OBJECT
  private slots:
    void theManualDescribesEveryCommandInOrder();
    void theReadmeSaysWhatEachExitCodeMeans();
    void theProgramEndsWithTheCodesItDocuments_data();
    void theProgramEndsWithTheCodesItDocuments();
    void optionTextsNameTheCommandsThatReadThem_data();
    void optionTextsNameTheCommandsThatReadThem();
    void tabOffersWhatTheTableSays_data();
    void tabOffersWhatTheTableSays();
};

void TestCommandTable::theManualDescribesEveryCommandInOrder() {
    const auto manual = manualCommands();
    QStringList manualNames, tableNames;
    for (const auto& [name, text] : manual)
        manualNames << name;
    for (const Command& c : commandTable())
        tableNames << QString::fromUtf8(c.name);
    QCOMPARE(manualNames, tableNames);
    // Each entry also names the options its command documents.
    for (const Command& c : commandTable()) {
        const QString text = manual.value(tableNames.indexOf(QString::fromUtf8(c.name))).second;
        const Options o;
        for (const OptionUse& use : c.options) {
            // The manual writes each hyphen as \-.
            QString option = QStringLiteral("--") + (o.*(use.option)).names().constFirst();
            option.replace(QLatin1String("-"), QLatin1String("\\-"));
            QVERIFY2(
                text.contains(option),
                qPrintable(QStringLiteral("the manual's entry of %1 does not name %2").arg(c.name, option)));
        }
    }
}

void TestCommandTable::theReadmeSaysWhatEachExitCodeMeans() {
    QString readme = readText(QStringLiteral(TARROW_SOURCE_DIR "/README.md"));
    readme.remove(QLatin1Char('`'));
    readme = readme.simplified();
    QVERIFY2(readme.contains(exitCodesParagraph()), qPrintable(exitCodesParagraph()));
    // The numbers are all different and in order: a new code is added at the end.
    int previous = -1;
    for (const ExitMeaning& m : exitMeanings()) {
        QVERIFY(int(m.code) > previous);
        previous = int(m.code);
    }
}

void TestCommandTable::theProgramEndsWithTheCodesItDocuments_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("said");
    // 3, 4 and 5 come from an installation and a server: the tests of status, query and restart.
    QTest::newRow("done") << QStringList{"folders"} << int(Exit::Done) << "";
    QTest::newRow("an unknown option")
        << QStringList{"status", "--frobnicate"} << int(Exit::UnknownOption) << "Unknown option 'frobnicate'";
    QTest::newRow("an unknown command") << QStringList{"frobnicate"} << int(Exit::Error)
                                        << "tarrow: unknown command 'frobnicate'; see tarrow --help";
    QTest::newRow("no command") << QStringList{} << int(Exit::Error) << "tarrow: no command given";
    QTest::newRow("a bad --max-wait") << QStringList{"restart", "--when-empty", "--max-wait", "soon"}
                                      << int(Exit::Error) << "--max-wait takes 90s, 30m, 2h or never";
}

void TestCommandTable::theProgramEndsWithTheCodesItDocuments() {
    QFETCH(QStringList, args);
    QFETCH(int, expected);
    QFETCH(QString, said);
    QTemporaryDir work;
    QVERIFY(QDir().mkpath(work.filePath("hl")));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", work.path());
    args << "--settings" << work.filePath("tarrow.conf");
    if (args.first() == QLatin1String("restart")) args << "--install-root" << work.filePath("hl");
    const test::ProgramResult r = test::runProgram(QStringLiteral(TARROW_CLI_BIN), args, env, work.path());
    QCOMPARE(r.code, expected);
    QVERIFY2(r.err.contains(said), qPrintable(r.err));
}

void TestCommandTable::optionTextsNameTheCommandsThatReadThem_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("text");
    QTest::newRow("json")
        << "json"
        << "status, check, folders, query, log, people, bans, service status, demo: print JSON.";
    QTest::newRow("dir") << "dir"
                         << "dump, demo: write the folder into DIR.";
    QTest::newRow("restart-when-empty") << "restart-when-empty"
                                        << "load, unload, rebuild: then restart the service once nobody but "
                                           "bots is on it.";
    QTest::newRow("settings, read by all") << "settings"
                                           << "Keep the settings in FILE (also TARROW_SETTINGS), as "
                                              "tarrow-gui does.";
}

void TestCommandTable::optionTextsNameTheCommandsThatReadThem() {
    QFETCH(QString, option);
    QFETCH(QString, text);
    const Options o;
    QStringList descriptions;
    for (const QCommandLineOption& each : o.all())
        if (each.names().constFirst() == option) descriptions << each.description();
    QCOMPARE(descriptions, QStringList{text});
}

void TestCommandTable::tabOffersWhatTheTableSays_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("offered");
    QTest::newRow("commands") << "tarrow lo"
                              << "load log";
    QTest::newRow("after options") << "tarrow --json ch"
                                   << "check";
    QTest::newRow("a component") << "tarrow unload m"
                                 << "metamod";
    QTest::newRow("files to rebuild, again and again") << "tarrow rebuild autoexec l"
                                                       << "liblist";
    QTest::newRow("a service verb") << "tarrow service re"
                                    << "restart remove";
    QTest::newRow("an option") << "tarrow status --max"
                               << "--max-wait";
    QTest::newRow("an option's value") << "tarrow dump --include p"
                                       << "plugin";
    QTest::newRow("a folder") << "tarrow --install-root x"
                              << "<dirs>";
    QTest::newRow("nothing after a finished command") << "tarrow status x"
                                                      << "";
}

void TestCommandTable::tabOffersWhatTheTableSays() {
    QFETCH(QString, line);
    QFETCH(QString, offered);
    // The script as the build wrote it, with bash-completion's two helpers stood in for.
    const QString script = readText(QStringLiteral(TARROW_COMPLETION));
    QVERIFY(script.contains(QLatin1String("complete -F _tarrow tarrow")));
    QStringList words = line.split(QLatin1Char(' '));
    QString driver = QStringLiteral("_init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; "
                                    "prev=${COMP_WORDS[COMP_CWORD-1]}; words=(\"${COMP_WORDS[@]}\"); "
                                    "cword=$COMP_CWORD; }\n"
                                    "_filedir() { COMPREPLY=(\"<dirs>\"); }\n") +
                     script + QStringLiteral("\nCOMP_WORDS=(");
    for (const QString& w : words)
        driver += QLatin1Char('"') + w + QStringLiteral("\" ");
    driver += QStringLiteral(")\nCOMP_CWORD=%1\n_tarrow\necho \"${COMPREPLY[*]}\"\n").arg(words.size() - 1);
    QProcess bash;
    bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), driver});
    QVERIFY(bash.waitForFinished());
    QCOMPARE(bash.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(bash.readAllStandardOutput()).trimmed(), offered);
}

QTEST_GUILESS_MAIN(TestCommandTable)
#include "tst_commandtable.moc"
