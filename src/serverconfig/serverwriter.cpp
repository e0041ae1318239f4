// Writing the server configuration: a new file gets every line from the tables, values exactly as
// entered; an existing one keeps the operator's lines and gets only the settings changed on the page.
#include "serverfiles.h"

#include "app/componentsettings.h"
#include "app/installpaths.h"
#include "app/webaddresses.h"
#include "common/backups.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/textlists.h"

namespace tarrow {

namespace {

QString quoted(const char* name, const QString& value) {
    return QLatin1String(name) + QStringLiteral(" \"") + value + QLatin1Char('"');
}

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

void appendSetting(QStringList& out, const Setting& s, const ServerModel& m) {
    switch (s.kind) {
    case SettingKind::Comment:
        if (s.commentEnd == CommentEnd::SiteAddress)
            out << QLatin1String(s.caption) + WebAddresses::TarrowSiteAddress;
        else if (s.commentEnd == CommentEnd::PanelVersion)
            out << QLatin1String(s.caption) + PanelVersionText;
        break;
    case SettingKind::Text:
    case SettingKind::Password:
        out << quoted(s.line, m.text(s.controlName()));
        break;
    case SettingKind::Number:
    case SettingKind::Penalty:
        out << quoted(s.line, QString::number(m.number(s.controlName())));
        break;
    case SettingKind::Flag:
        out << quoted(s.line, flag(m.checked(s.controlName())));
        break;
    case SettingKind::MinRate:
    case SettingKind::MaxRate: {
        const int item = m.rateItem();
        const bool preset = item >= 0 && item < kCustomRateItem;
        const bool min = s.kind == SettingKind::MinRate;
        const QString value =
            preset ? QString::fromLatin1(min ? ratePresets()[item].fileMin : ratePresets()[item].fileMax)
                   : m.text(s.controlName());
        out << quoted(s.line, value);
        break;
    }
    case SettingKind::Teamplay:
        if (m.friendlyFire() >= 0 && m.friendlyFire() < 4)
            out << quoted(s.line, QString::number(friendlyFireItems()[m.friendlyFire()].value));
        break;
    case SettingKind::Exec:
        if (!m.text(s.controlName()).isEmpty()) out << quoted(s.line, m.text(s.controlName()));
        break;
    case SettingKind::Custom:
        if (!m.text(s.controlName()).isEmpty())
            out << QStringLiteral("//custom cvar")
                << QLatin1Char('"') + m.text(s.controlName()) + QLatin1Char('"');
        break;
    }
}

QStringList linesOf(const std::vector<Setting>& table, const ServerModel& m) {
    QStringList out;
    for (const Setting& s : table)
        appendSetting(out, s, m);
    return out;
}

std::optional<QString> execNaming(const ServerModel& m, const QString& file) {
    for (const char* edit : {"Exectxt", "Exec2txt", "Exec3txt", "Exec4txt"}) {
        const QString t = m.text(QString::fromLatin1(edit));
        if (t.contains(file)) return t;
    }
    return std::nullopt;
}

// A line of an existing file with its own line end, which is kept.
struct RawLine {
    QString text;
    QString end;
};

QList<RawLine> splitKeepingEnds(const QString& text) {
    QList<RawLine> out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        const qsizetype len =
            c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n') ? 2 : 1;
        out.append({text.mid(start, i - start), text.mid(i, len)});
        i += len - 1;
        start = i + 1;
    }
    if (start < n) out.append({text.mid(start), QString()});
    return out;
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The first word of a line as the readers see it, lower-cased: after a byte-order mark and leading
// blanks or tabs, up to a blank, a tab or a double quote.
QString firstWordOf(const QString& line) {
    const QString text = withoutByteOrderMark(line);
    qsizetype i = 0;
    while (i < text.size() && isBlank(text.at(i)))
        ++i;
    qsizetype end = i;
    while (end < text.size() && !isBlank(text.at(end)) && text.at(end) != QLatin1Char('"'))
        ++end;
    return asciiLower(text.mid(i, end - i));
}

bool isCustomMarker(const QString& line) {
    return lineMatchesKey(normaliseConfigLine(withoutByteOrderMark(line)), QStringLiteral("//custom cvar"));
}

bool hasNamedLine(SettingKind kind) {
    return kind != SettingKind::Comment && kind != SettingKind::Exec && kind != SettingKind::Custom;
}

// The file is read at the moment of saving, so that what another program wrote since the page was
// loaded survives the merge.
void writeLines(const QString& path, const std::vector<Setting>& table, const ServerModel& m,
                const QStringList& template_, const BackupStore& backups) {
    clearReadOnly(path);
    if (fileExists(path))
        writeFileBytes(path, mergeIntoFile(readFileBytes(path), table, m), backups);
    else
        writeFileBytes(path, joinLinesCrLf(template_), backups);
}

} // namespace

QStringList rowLines(const Setting& s, const ServerModel& m) {
    QStringList out;
    appendSetting(out, s, m);
    return out;
}

void rememberFileValues(ServerModel& m) {
    m.baseline.clear();
    for (const Setting* s : allSettings())
        m.baseline.insert(s, rowLines(*s, m));
}

bool hasChangedRows(const ServerModel& m) {
    ServerModel defaults;
    if (m.baseline.isEmpty()) rememberFileValues(defaults);
    const auto& baseline = m.baseline.isEmpty() ? defaults.baseline : m.baseline;
    for (const Setting* s : allSettings())
        if (s->kind != SettingKind::Comment && rowLines(*s, m) != baseline.value(s)) return true;
    return false;
}

QByteArray mergeIntoFile(const QByteArray& existing, const std::vector<Setting>& table,
                         const ServerModel& m) {
    // Without a load there is no baseline: the page's own start values stand for it.
    ServerModel defaults;
    if (m.baseline.isEmpty()) rememberFileValues(defaults);
    const auto& baseline = m.baseline.isEmpty() ? defaults.baseline : m.baseline;

    QList<RawLine> lines = splitKeepingEnds(QString::fromLatin1(existing));
    QHash<QString, qsizetype> firstOfName;
    QList<qsizetype> execLines, customMarkers;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString word = firstWordOf(lines[i].text);
        if (!firstOfName.contains(word)) firstOfName.insert(word, i);
        if (word == QLatin1String("exec")) execLines.append(i);
        if (isCustomMarker(lines[i].text)) customMarkers.append(i);
    }
    QList<bool> dropped(lines.size(), false);
    QStringList appended;
    // A replaced first line keeps the file's byte-order mark.
    auto put = [&](qsizetype i, const QString& text) {
        lines[i].text = startsWithByteOrderMark(lines[i].text) ? byteOrderMark() + text : text;
    };
    qsizetype execSlot = 0, customSlot = 0;
    for (const Setting& s : table) {
        if (s.kind == SettingKind::Comment) continue;
        const qsizetype slot = s.kind == SettingKind::Exec     ? execSlot++
                               : s.kind == SettingKind::Custom ? customSlot++
                                                               : 0;
        const QStringList now = rowLines(s, m);
        if (now == baseline.value(&s)) continue;
        if (s.kind == SettingKind::Exec || s.kind == SettingKind::Custom) {
            const QList<qsizetype>& found = s.kind == SettingKind::Exec ? execLines : customMarkers;
            if (slot >= found.size()) {
                appended << now;
                continue;
            }
            const qsizetype i = found[slot];
            const qsizetype count = s.kind == SettingKind::Custom && i + 1 < lines.size() ? 2 : 1;
            for (qsizetype k = 0; k < count; ++k) {
                if (k < now.size())
                    put(i + k, now[k]);
                else
                    dropped[i + k] = true; // the slot was emptied on the page
            }
            continue;
        }
        if (!hasNamedLine(s.kind) || now.isEmpty()) continue;
        const auto at = firstOfName.constFind(asciiLower(QString::fromLatin1(s.line)));
        if (at != firstOfName.constEnd())
            put(*at, now.first());
        else
            appended << now;
    }

    QByteArray out;
    out.reserve(existing.size() + appended.size() * 32);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (dropped[i]) continue;
        out += lines[i].text.toLatin1();
        QString end = lines[i].end;
        if (end.isEmpty() && !appended.isEmpty()) end = QStringLiteral("\r\n");
        out += end.toLatin1();
    }
    out += joinLinesCrLf(appended);
    return out;
}

QStringList serverFileLines(const ServerModel& m) {
    return linesOf(serverSettings(), m);
}

QStringList adminmodFileLines(const ServerModel& m) {
    return linesOf(adminmodSettings(), m);
}

QStringList neotfFileLines(const ServerModel& m) {
    return linesOf(neotfSettings(), m);
}

std::optional<QString> adminmodExecText(const ServerModel& m) {
    return execNaming(m, QStringLiteral("adminmod.cfg"));
}

std::optional<QString> neotfExecText(const ServerModel& m) {
    return execNaming(m, QStringLiteral("ntf_cvars.cfg"));
}

QString pluginConfigPath(const InstallPaths& paths, const QString& execText) {
    QString rel = execText;
    rel.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return paths.modFolder + rel;
}

QString serverConfigPath(const ServerModel& m, const InstallPaths& paths) {
    if (m.serverKind == ServerModel::ServerKind::Dedicated) return paths.serverCfg;
    if (m.serverKind == ServerModel::ServerKind::Listen) return paths.listenServerCfg;
    return {};
}

QString chooseServerKindMessage() {
    return QStringLiteral("You must either select a \"Dedicated Server\" or a \"Listen Server\".");
}

void saveServerConfig(ServerModel& m, const InstallPaths& paths, Prompter& prompter) {
    const QString path = serverConfigPath(m, paths);
    const QString& root = paths.root;
    const QString& mod = paths.mod;
    const BackupStore backups = paths.backups();
    if (path.isEmpty()) {
        prompter.message(chooseServerKindMessage());
        return;
    }
    const QString pass = m.text(QStringLiteral("AdminPasstxt"));
    if (!pass.isEmpty() && !pass.startsWith(QLatin1Char('_'))) {
        prompter.message(
            QStringLiteral("Your Admin Password must start with an underscore (\"_\"), it has been added to "
                           "your password field."));
        m.setText(QStringLiteral("AdminPasstxt"), QLatin1Char('_') + pass);
    }
    if (!folderExists(root + mod)) {
        prompter.message(QStringLiteral("Your ") + root + mod + QStringLiteral(" directory does not exist!"));
        return;
    }
    writeLines(path, serverSettings(), m, serverFileLines(m), backups);
    if (const auto exec = adminmodExecText(m))
        writeLines(pluginConfigPath(paths, *exec), adminmodSettings(), m, adminmodFileLines(m), backups);
    if (const auto exec = neotfExecText(m))
        writeLines(pluginConfigPath(paths, *exec), neotfSettings(), m, neotfFileLines(m), backups);
    // The files now hold what the page shows.
    rememberFileValues(m);
}

} // namespace tarrow
