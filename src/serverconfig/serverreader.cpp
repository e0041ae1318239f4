// Reading the server configuration back: tolerant of case, quotes, tabs and unknown lines; it only
// ever ticks flags, and it never writes a file.
#include "serverfiles.h"

#include "app/installpaths.h"
#include "common/errors.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/textlists.h"

#include <QHash>

namespace tarrow {

namespace {

const QString kAdvice = QStringLiteral(
    " Please select your settings and click the \"Save Settings\" button to save your options.");

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Lines of a file as they are matched: a UTF-8 byte-order mark is not part of the first line.
QStringList lineStore(const QString& path) {
    return withoutByteOrderMark(readLines(path));
}

QString valueWord(const QString& normalised) {
    return CvarValue(normalised);
}

// The value of a text setting. Quoted: between the first two double quotes. Unquoted: the word after
// the name (blanks and tabs both separate); a value that ends the line runs to its end. A line that is
// only the name gives no result, and the setting keeps what this load last gave it.
std::optional<QString> quotedValue(const QString& line) {
    if (line.contains(QLatin1Char('"'))) return TextBetween(QStringLiteral("\""), QStringLiteral("\""), line);
    qsizetype i = 0;
    while (i < line.size() && !isBlank(line.at(i)))
        ++i;
    if (i == line.size()) return std::nullopt;
    // The separator after the name may be several blanks or tabs.
    while (i < line.size() && isBlank(line.at(i)))
        ++i;
    const QString rest = line.mid(i);
    qsizetype j = 0;
    while (j < rest.size() && !isBlank(rest.at(j)))
        ++j;
    // Up to the next separator; a value that ends the line (trailing blanks aside) runs to its end.
    return rest.left(j);
}

// The file an exec line names: between the first two double quotes, else the word after "exec" and
// its blanks or tabs, up to a "//" comment, without trailing blanks or tabs.
QString execFileName(const QString& line) {
    if (line.contains(QLatin1Char('"')))
        return TextBetween(QStringLiteral("\""), QStringLiteral("\""), line).value_or(QString());
    qsizetype i = 4;
    while (i < line.size() && isBlank(line.at(i)))
        ++i;
    QString name = line.mid(i);
    const qsizetype comment = name.indexOf(QLatin1String("//"));
    if (comment >= 0) name.truncate(comment);
    qsizetype end = name.size();
    while (end > 0 && isBlank(name.at(end - 1)))
        --end;
    return name.left(end);
}

struct Load {
    ServerModel& m;
    QHash<QString, QString> given; // what the quoted-value rule last gave each setting in this load
    QString fileMinRate, fileMaxRate;
    bool haveMinRate = false, haveMaxRate = false;

    void setQuoted(const QString& control, const QString& line) {
        const auto v = quotedValue(line);
        if (v) given.insert(control, *v);
        m.setText(control, given.value(control));
    }
};

bool numberMatches(const Setting& s, const QString& line) {
    if (!lineMatchesKey(line, QLatin1String(s.line))) return false;
    // A key that begins another setting's name does not take that setting's lines.
    if (s.longerKey) {
        const QLatin1String longer(s.longerKey);
        if (line.left(longer.size()).toLower() == longer) return false;
    }
    return true;
}

bool flagMatches(const Setting& s, const QString& normalised) {
    return lineMatchesKey(normalised, QLatin1String(s.line) + QStringLiteral(" 1"));
}

// The settings a line gives as it stands in the file: quoted texts and passwords, exec lines, and the
// custom cvar that follows a marker line.
void readQuotedAndExecLines(Load& ld, QStringList& store, qsizetype i) {
    const QString& line = store[i];
    for (const Setting& s : serverSettings()) {
        switch (s.kind) {
        case SettingKind::Text:
            if (lineMatchesKey(line, QLatin1String(s.line))) ld.setQuoted(s.controlName(), line);
            break;
        case SettingKind::Password:
            if (lineMatchesKey(line, QLatin1String(s.line))) {
                ld.m.setChecked(s.boxName(), true);
                ld.setQuoted(s.controlName(), line);
            }
            break;
        default:
            break;
        }
    }
    if (lineMatchesKey(line, QStringLiteral("exec"))) {
        for (const Setting& s : serverSettings()) {
            if (s.kind != SettingKind::Exec || !ld.m.text(s.controlName()).isEmpty()) continue;
            ld.m.setChecked(s.boxName(), true);
            ld.m.setText(s.controlName(), execFileName(line));
            break;
        }
    }
    if (lineMatchesKey(line, QStringLiteral("//custom cvar"))) {
        for (const Setting& s : serverSettings()) {
            if (s.kind != SettingKind::Custom || !ld.m.text(s.controlName()).isEmpty()) continue;
            // A marker on the last line has nothing to give.
            if (i + 1 >= store.size()) break;
            const QString& next = store[i + 1];
            ld.m.setChecked(s.boxName(), true);
            ld.m.setText(
                s.controlName(),
                next.contains(QLatin1Char('"'))
                    ? TextBetween(QStringLiteral("\""), QStringLiteral("\""), next).value_or(QString())
                    : next);
            break;
        }
    }
}

// The settings a normalised line gives: numbers, rates, penalties, the friendly-fire choice and flags.
void readNormalisedLine(Load& ld, const QString& line) {
    ServerModel& m = ld.m;
    for (const Setting& s : serverSettings()) {
        switch (s.kind) {
        case SettingKind::Number:
            if (numberMatches(s, line)) m.setNumber(s.controlName(), StrToInt(valueWord(line)));
            break;
        case SettingKind::MaxRate:
            if (lineMatchesKey(line, QLatin1String(s.line))) {
                ld.fileMaxRate = valueWord(line);
                ld.haveMaxRate = true;
                m.setText(s.controlName(), ld.fileMaxRate);
            }
            break;
        case SettingKind::MinRate:
            if (lineMatchesKey(line, QLatin1String(s.line))) {
                ld.fileMinRate = valueWord(line);
                ld.haveMinRate = true;
                m.setText(s.controlName(), ld.fileMinRate);
            }
            break;
        case SettingKind::Penalty:
            if (numberMatches(s, line)) {
                m.setNumber(s.controlName(), StrToInt(valueWord(line)));
                m.setChecked(s.boxName(), true);
            }
            break;
        default:
            break;
        }
    }
    // The connection speed follows the two rate texts on every line; the file's own values win.
    const QString min = m.text(QStringLiteral("MinRatetxt"));
    const QString max = m.text(QStringLiteral("MaxRatetxt"));
    int item = kCustomRateItem;
    for (int k = 0; k < kCustomRateItem; ++k)
        if (min == QLatin1String(ratePresets()[k].fileMin) && max == QLatin1String(ratePresets()[k].fileMax))
            item = k;
    m.setRateItem(item);
    if (ld.haveMinRate) m.setText(QStringLiteral("MinRatetxt"), ld.fileMinRate);
    if (ld.haveMaxRate) m.setText(QStringLiteral("MaxRatetxt"), ld.fileMaxRate);
    for (const Setting& s : serverSettings()) {
        if (s.kind == SettingKind::Password && trimBlanks(m.text(s.controlName())).isEmpty())
            m.setChecked(s.boxName(), false);
    }
    for (const Setting& s : serverSettings()) {
        if (s.kind == SettingKind::Teamplay && lineMatchesKey(line, QLatin1String(s.line))) {
            const int v = StrToInt(valueWord(line));
            for (int k = 0; k < 4; ++k)
                if (friendlyFireItems()[k].value == v) m.setFriendlyFire(k);
        }
        if (s.kind == SettingKind::Flag && flagMatches(s, line)) m.setChecked(s.controlName(), true);
    }
}

void pluginLine(Load& ld, const std::vector<Setting>& table, QString line, bool textSteps) {
    ServerModel& m = ld.m;
    if (textSteps) {
        for (const Setting& s : table)
            if (s.kind == SettingKind::Text && !s.oneWord && lineMatchesKey(line, QLatin1String(s.line)))
                ld.setQuoted(s.controlName(), line);
    }
    line = normaliseConfigLine(line);
    for (const Setting& s : table) {
        if (s.kind == SettingKind::Text && s.oneWord && lineMatchesKey(line, QLatin1String(s.line)))
            m.setText(s.controlName(), valueWord(line));
        else if (s.kind == SettingKind::Number && numberMatches(s, line))
            m.setNumber(s.controlName(), StrToInt(valueWord(line)));
        else if (s.kind == SettingKind::Flag && flagMatches(s, line))
            m.setChecked(s.controlName(), true);
    }
}

void loadPluginFile(Load& ld, const std::optional<QString>& exec, const InstallPaths& paths,
                    const QString& what, const std::vector<Setting>& table, bool textSteps,
                    Prompter& prompter) {
    if (!exec) return;
    const QString path = pluginConfigPath(paths, *exec);
    if (!fileExists(path)) {
        prompter.message(QStringLiteral("Error loading your ") + what +
                         QStringLiteral(" config file, expected path: ") +
                         nativePath(paths.modFolder + *exec) + kAdvice);
        return;
    }
    for (const QString& line : lineStore(path))
        pluginLine(ld, table, line, textSteps);
}

} // namespace

bool lineMatchesKey(const QString& line, const QString& key) {
    return line.size() >= key.size() && line.left(key.size()).toLower() == key;
}

QString normaliseConfigLine(const QString& line) {
    QString out = line;
    out.remove(QLatin1Char('"'));
    // Tab-aligned files are common: a tab separates like a blank.
    out.replace(QLatin1Char('\t'), QLatin1Char(' '));
    while (out.contains(QLatin1String("  ")))
        out.replace(QLatin1String("  "), QLatin1String(" "));
    return out;
}

void loadServerConfig(ServerModel& m, const InstallPaths& paths, Prompter& prompter) {
    const QString path = serverConfigPath(m, paths);
    if (path.isEmpty()) {
        prompter.message(chooseServerKindMessage());
        return;
    }
    // Whatever the load gave, even up to a line that stopped it, is what the page now matches: only
    // what the user changes from here on is written into the files.
    struct Remember {
        ServerModel& m;
        ~Remember() { rememberFileValues(m); }
    } remember{m};
    Load ld{m, {}, {}, {}};
    if (!fileExists(path)) {
        prompter.message(QStringLiteral("Error loading your server config file, expected path: ") +
                         nativePath(path) + kAdvice);
    } else {
        for (const Setting& s : serverSettings())
            if (s.kind == SettingKind::Exec || s.kind == SettingKind::Custom)
                m.setChecked(s.boxName(), false);
        QStringList store = lineStore(path);
        for (qsizetype i = 0; i < store.size(); ++i) {
            readQuotedAndExecLines(ld, store, i);
            store[i] = normaliseConfigLine(store[i]);
            readNormalisedLine(ld, store[i]);
        }
    }
    Load plugins{m, {}, {}, {}};
    loadPluginFile(plugins, adminmodExecText(m), paths, QStringLiteral("AdminMod"), adminmodSettings(), true,
                   prompter);
    loadPluginFile(plugins, neotfExecText(m), paths, QStringLiteral("NeoTF"), neotfSettings(), false,
                   prompter);
}

} // namespace tarrow
