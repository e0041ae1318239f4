#include "tarrowcfg.h"

#include "app/componentsettings.h"
#include "app/installpaths.h"
#include "app/webaddresses.h"
#include "common/backups.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/textlists.h"

#include <algorithm>

namespace tarrow {

namespace {

struct Key {
    const char* name;
    int valuePos; // 1-based
};

// In the order the load tests them on every line.
constexpr Key kKeys[] = {
    {"botskill", 10},         {"pause", 7},     {"min_bots", 10},        {"max_bots", 10},
    {"bot_team_balance", 18}, {"bot_chat", 10}, {"bot_bot_balance", 17}, {"bot_xmas", 10},
};

const char* const kPhrases[] = {
    "Tarrow is my Daddy!",
    "I have already made my funeral arrangements!",
    "I'm feelin lucky.",
    "I did pretty good against other bots, i think.",
    "Don't hurt me, I still wet my panties.",
};

// The key must be the line's whole first word: bot_chat_file and bot_xmas_gifts are lines of their own.
bool keyMatches(const QString& lowered, const Key& key) {
    const QLatin1String name(key.name);
    if (lowered.left(name.size()) != name) return false;
    return lowered.size() == name.size() || lowered.at(name.size()) == QLatin1Char(' ') ||
           lowered.at(name.size()) == QLatin1Char('\t');
}

} // namespace

void BotConfigModel::setSkill(int v) {
    skill_ = std::clamp(v, 1, 5);
}
void BotConfigModel::setPause(int v) {
    pause_ = std::clamp(v, 0, 30);
}

void BotConfigModel::setMinBots(int v) {
    minBots_ = std::clamp(v, -1, 31);
    if (maxBots_ < minBots_) setMaxBots(minBots_);
}

void BotConfigModel::setMaxBots(int v) {
    maxBots_ = std::clamp(v, -1, 31);
    if (maxBots_ < minBots_) setMinBots(maxBots_);
}

QString BotConfigModel::skillLabel() const {
    return QStringLiteral("Skill level: ") + QString::number(skill_);
}
QString BotConfigModel::skillPhrase() const {
    return QString::fromLatin1(kPhrases[skill_ - 1]);
}
QString BotConfigModel::pauseLabel() const {
    return QString::number(pause_);
}

QString BotConfigModel::minBotsLabel() const {
    return minBots_ == -1 ? QStringLiteral("Off") : QString::number(minBots_);
}

QString BotConfigModel::maxBotsLabel() const {
    if (maxBots_ == -1) return QStringLiteral("Off");
    return maxBots_ < 24 ? QString::number(maxBots_)
                         : QString::number(maxBots_) + QStringLiteral(", Thats alot of bots!");
}

void BotConfigModel::applyLines(const QStringList& lines) {
    for (const QString& raw : lines) {
        QString line = raw;
        line.remove(QLatin1Char('"'));
        const QString lowered = line.toLower();
        for (int k = 0; k < 8; ++k) {
            const Key& key = kKeys[k];
            if (!keyMatches(lowered, key)) continue;
            const QString value = line.mid(key.valuePos - 1, 2);
            switch (k) {
            case 0:
                setSkill(StrToInt(value));
                break;
            case 1:
                setPause(StrToInt(value));
                break;
            case 2:
                setMinBots(StrToInt(value));
                break;
            case 3:
                setMaxBots(StrToInt(value));
                break;
            // A box follows the file's value where the file names it, ticked or not.
            case 4:
                teamBalance = value.trimmed() == QLatin1String("1");
                break;
            case 5:
                chat = value.trimmed() == QLatin1String("1");
                break;
            case 6:
                botBalance = value.trimmed() == QLatin1String("1");
                break;
            case 7:
                xmas = value.trimmed() == QLatin1String("1");
                break;
            }
        }
    }
}

QStringList newBotConfigLines(const QString& pluginVersion) {
    return {QStringLiteral("# Tarrow v ") + pluginVersion + QStringLiteral(" - Tarrow: ") +
                WebAddresses::TarrowSiteAddress,
            QStringLiteral("# This file was created with ") + PanelVersionText};
}

QStringList BotConfigModel::fileLines(const QString& pluginVersion, const QStringList& kept) const {
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    QStringList l = newBotConfigLines(pluginVersion);
    l << QStringLiteral("# This file is ran everytime the map changes before the "
                        "Tarrow/configs/<mapname>_bot.cfg is ran")
      << QString() << QStringLiteral("# Bot Chat (0 off, 1 on)") << QStringLiteral("bot_chat ") + flag(chat)
      << QString() << QStringLiteral("# Bots skill (1 - 5 [Skill 1 is the best, Skill 5 is worst])")
      << QStringLiteral("# Note that the current skill system mainly effects there navigation timing")
      << QStringLiteral("botskill ") + QString::number(skill_) << QString()
      << QStringLiteral("# Minimum bots in server (0 - 32 [-1 Turns this off])")
      << QStringLiteral("min_bots ") + QString::number(minBots_) << QString()
      << QStringLiteral("# Maximum bots in server (0 - 32 [-1 Turns this off])")
      << QStringLiteral("max_bots ") + QString::number(maxBots_) << QString()
      << QStringLiteral("# Turn this on to have the bots auto switch when teams become uneven")
      << QStringLiteral("# Bot team balance (0 off, 1 on)")
      << QStringLiteral("bot_team_balance ") + flag(teamBalance) << QString()
      << QStringLiteral("# Turn this on to balance the teams in a bot to human ratio (May be buggy)")
      << QStringLiteral("bot_bot_balance ") + flag(botBalance) << QString()
      << QStringLiteral("# Seconds before bots join (0 - 100)")
      << QStringLiteral("pause ") + QString::number(pause_) << QString()
      << QStringLiteral("bot_xmas ") + flag(xmas) << QString()
      << QStringLiteral("# Down here you can add your addbot commands")
      << QStringLiteral("# addbot <team> <model> <name> <skill>");
    l << kept;
    l << QString() << QString();
    return l;
}

bool isBotSettingLine(const QString& line) {
    QString l = line;
    l.remove(QLatin1Char('"'));
    const QString lowered = l.toLower();
    return std::any_of(std::begin(kKeys), std::end(kKeys),
                       [&](const Key& k) { return keyMatches(lowered, k); });
}

QStringList userLinesOf(const QStringList& fileLines) {
    QStringList kept;
    for (const QString& line : fileLines) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')) || trimmed.startsWith(QLatin1Char('/')))
            continue;
        if (isBotSettingLine(line)) continue;
        kept.append(line);
    }
    return kept;
}

QString botConfigShownPath(const InstallPaths& paths) {
    return nativePath(paths.botFolder + QStringLiteral("Tarrow.cfg"));
}

void saveBotConfig(const QString& path, const BotConfigModel& model, const ComponentSettings& settings,
                   const BackupStore& backups) {
    const QStringList kept = fileExists(path) ? userLinesOf(readLines(path)) : QStringList();
    clearReadOnly(path);
    writeFileBytes(path, joinLinesCrLf(model.fileLines(settings.LatestPluginVersion, kept)), backups);
}

void createBotConfig(const InstallPaths& paths, const ComponentSettings& settings) {
    createFolder(paths.botFolder);
    writeFileBytes(paths.botConfig, joinLinesCrLf(newBotConfigLines(settings.LatestPluginVersion)),
                   paths.backups());
}

} // namespace tarrow
