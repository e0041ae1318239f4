#pragma once

#include "botconfig/tarrowcfg.h"
#include "page.h"

#include <QWidget>
#include <optional>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;

namespace tarrow {

// "Configure Tarrow": the bot's main configuration, and the file box beside it.
class TarrowPage : public QWidget {
    Q_OBJECT
  public:
    TarrowPage(WindowContext& context, QWidget* parent);

    const BotConfigModel& botModel() const { return bot_; }
    bool fileEdited() const { return fileEdited_; }
    // Loads the bot's main configuration again, as showing the page does.
    void reloadBotConfig();
    // The known files of the file box, the first one chosen.
    void setKnownFiles(const QStringList& names);
    // Esc on this page closes the open file, as Close does. False when no file is open.
    bool closeOpenFile();

    // Bot settings
    QSlider* Skillsdr = nullptr;
    QSlider* Pausesdr = nullptr;
    QSlider* Minbotsdr = nullptr;
    QSlider* Maxbotsdr = nullptr;
    QCheckBox* Botchatchk = nullptr;
    QCheckBox* BotXmaschk = nullptr;
    QCheckBox* Botbalchk = nullptr;
    QCheckBox* BotTeambalchk = nullptr;
    QLabel* Skilllbl = nullptr;
    QLabel* Skilllvllbl = nullptr;
    QLabel* Pauselvllbl = nullptr;
    QLabel* Minbotlvllbl = nullptr;
    QLabel* Maxbotlvllbl = nullptr;
    QPushButton* Tarcmd = nullptr;
    // File box
    QComboBox* Filelst = nullptr;
    QPushButton* LoadFilecmd = nullptr;
    QPushButton* Botclosecmd = nullptr;
    QPlainTextEdit* Tartxt = nullptr;
    QLabel* Filelbl = nullptr;

  public slots:
    void TarcmdClick();
    void LoadFilecmdClick();
    void BotclosecmdClick();
    void SkillsdrChange();
    void PausesdrChange();
    void MinbotsdrChange();
    void MaxbotsdrChange();

    // The file box holds a file with edits not saved yet; saving it writes it as "Save File" does.
    bool hasUnsavedFile() const;
    void saveOpenFile();
    // The bot's settings differ from what Tarrow.cfg held when it was loaded or last saved; TarcmdClick
    // saves them.
    bool hasUnsavedBotSettings() const;

  private:
    // What the page's button does next: load the file, or save what the page shows.
    enum class Mode { Load, Save };
    void setMode(Mode mode);
    Mode mode_ = Mode::Load;
    void buildBotSettings(QBoxLayout* into);
    void buildFileBox(QBoxLayout* into);
    void resetFileBox();
    // Shows the bot model in the sliders, boxes and labels.
    void showBotModel();
    void setBotControlsEnabled(bool on);
    void readBotControls();

    WindowContext& context_;
    BotConfigModel bot_;
    bool showingBot_ = false;
    // The settings as the file holds them (after a load, a save or a new file); none before a load.
    std::optional<BotConfigModel> savedBot_;
    // The model with the check boxes as they are now (the sliders update it as they move).
    BotConfigModel shownBot() const;
    bool fileEdited_ = false;
    // The file the box holds (composed or native), empty when none: what "Save File" writes.
    QString openFile_;
    bool loadingFile_ = false;
};

} // namespace tarrow
