#pragma once

#include <QString>
#include <QStringList>

namespace tarrow {

class BackupStore;
struct ComponentSettings;
struct InstallPaths;

// The eight settings of the bot's main configuration file, with the rules of their sliders: values are
// brought into range, and the minimum and maximum bot counts push each other so that the minimum
// never stands above the maximum.
class BotConfigModel {
  public:
    int skill() const { return skill_; }
    int pause() const { return pause_; }
    int minBots() const { return minBots_; }
    int maxBots() const { return maxBots_; }
    bool chat = false;
    bool xmas = false;
    bool botBalance = false;
    bool teamBalance = false;

    void setSkill(int v);
    void setPause(int v);
    void setMinBots(int v);
    void setMaxBots(int v);

    QString skillLabel() const;   // "Skill level: 3"
    QString skillPhrase() const;  // "I'm feelin lucky."
    QString pauseLabel() const;   // "3"
    QString minBotsLabel() const; // "Off" or the number
    QString maxBotsLabel() const; // "Off", the number, or "24, Thats alot of bots!"

    // Applies the lines as the bot's file is loaded: quotes removed, keys matched by prefix without
    // regard to case, the two characters after key and separator taken as the value. Throws
    // ConversionError at the first number that is not one; earlier lines stay applied.
    void applyLines(const QStringList& lines);

    // The 33 lines of the file for the current values; `kept` lines (the user's own commands) stand
    // after the addbot comments, before the two closing empty lines.
    // The first line names `pluginVersion`, the bot's current version.
    QStringList fileLines(const QString& pluginVersion, const QStringList& kept = {}) const;

  private:
    int skill_ = 1;
    int pause_ = 3;
    int minBots_ = -1;
    int maxBots_ = -1;
};

// True when the load would apply this line to one of the eight settings.
bool isBotSettingLine(const QString& line);

// The lines of the file on disk that a save keeps: not empty, not a comment (first non-blank
// character "#" or "/"), not a setting line.
QStringList userLinesOf(const QStringList& fileLines);

// The first two template lines: the file made when none exists.
QStringList newBotConfigLines(const QString& pluginVersion);

// The bot's main configuration file (InstallPaths::botConfig) as messages show it.
QString botConfigShownPath(const InstallPaths& paths);

// Writes `model` to `path`; the user's own lines of the file there (addbot commands and the like) stay.
void saveBotConfig(const QString& path, const BotConfigModel& model, const ComponentSettings& settings,
                   const BackupStore& backups);
// Makes the bot folder and a new file from the template.
void createBotConfig(const InstallPaths& paths, const ComponentSettings& settings);

} // namespace tarrow
