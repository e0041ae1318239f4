// Writing the server configuration: every line from the tables, values exactly as entered.
#include "serverfiles.h"

#include "app/componentsettings.h"
#include "app/webaddresses.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/prompter.h"

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

void writeLines(const QString& path, const QStringList& lines) {
    clearReadOnly(path);
    writeFileBytes(path, joinLinesCrLf(lines));
}

} // namespace

QStringList serverFileLines(const ServerModel& m) {
    QStringList out{QStringLiteral("// Tarrow: ") + WebAddresses::TarrowSiteAddress,
                    QStringLiteral("// This file was created with ") + PanelVersionText};
    out << linesOf(serverSettings(), m);
    return out;
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

QString pluginConfigPath(const QString& root, const QString& mod, const QString& execText) {
    QString rel = execText;
    rel.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return root + mod + QLatin1Char('\\') + rel;
}

QString serverConfigPath(const ServerModel& m, const QString& root, const QString& mod) {
    if (m.serverKind == ServerModel::ServerKind::Dedicated)
        return root + mod + QStringLiteral("\\server.cfg");
    if (m.serverKind == ServerModel::ServerKind::Listen)
        return root + mod + QStringLiteral("\\listenserver.cfg");
    return {};
}

QString chooseServerKindMessage() {
    return QStringLiteral("You must either select a \"Dedicated Server\" or a \"Listen Server\".");
}

void saveServerConfig(ServerModel& m, const QString& root, const QString& mod, Prompter& prompter) {
    const QString path = serverConfigPath(m, root, mod);
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
    writeLines(path, serverFileLines(m));
    if (const auto exec = adminmodExecText(m))
        writeLines(pluginConfigPath(root, mod, *exec), adminmodFileLines(m));
    if (const auto exec = neotfExecText(m)) writeLines(pluginConfigPath(root, mod, *exec), neotfFileLines(m));
}

} // namespace tarrow
