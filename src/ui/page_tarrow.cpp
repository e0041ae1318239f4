// The "Configure Tarrow" page: the bot's main configuration, and the file box beside it.
#include "page_tarrow.h"

#include "common/errors.h"
#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "common/textlists.h"
#include "widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace tarrow {

namespace {
const QString kLoadBotConfig = QStringLiteral("Load Tarrow.cfg");
const QString kSaveBotConfig = QStringLiteral("Save Tarrow.cfg");
} // namespace

namespace {

QSlider* slider(const char* name, int min, int max, int value, int pageStep, const QString& hint) {
    auto* s = new QSlider(Qt::Horizontal);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(min, max);
    s->setValue(value);
    s->setSingleStep(1);
    s->setPageStep(pageStep);
    s->setToolTip(hint);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(pageStep);
    s->setEnabled(false);
    return s;
}

QCheckBox* box(const char* name, const QString& caption, const QString& hint) {
    auto* c = new QCheckBox(caption);
    c->setObjectName(QString::fromLatin1(name));
    c->setToolTip(hint);
    c->setEnabled(false);
    return c;
}

QLabel* label(const char* name, const QString& text) {
    auto* l = new QLabel(text);
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

void TarrowPage::buildBotSettings(QBoxLayout* into) {
    auto* group = new QGroupBox(QStringLiteral("Tarrow Settings:"), this);
    auto* grid = new QGridLayout(group);
    Skillsdr = slider("Skillsdr", 1, 5, 1, 1,
                      QStringLiteral("Slide to adjust skill, 1 is best, 5 is worst, what can you handle?"));
    Pausesdr = slider(
        "Pausesdr", 0, 30, 3, 5,
        QStringLiteral("Slide to adjust the amount of time you want bots to wait before joining the server"));
    Minbotsdr = slider("Minbotsdr", -1, 31, -1, 5,
                       QStringLiteral("Slide to adjust the minimum amount of bots you want on your server"));
    Maxbotsdr = slider(
        "Maxbotsdr", -1, 31, -1, 5,
        QStringLiteral("Slide to adjust the max amount of bots on your server, always keep this at least 1 "
                       "below max amount of people or you wont be able to join your server"));
    Skilllbl = label("Skilllbl", QStringLiteral("Skill level: 1"));
    Skilllvllbl = label("Skilllvllbl", QStringLiteral("Tarrow is my Daddy!"));
    auto* pauseCaption = label("Pauselbl", QStringLiteral("Pause Time:"));
    Pauselvllbl = label("Pauselvllbl", QStringLiteral("3"));
    auto* minCaption = label("Minbotlbl", QStringLiteral("Min Bots:"));
    Minbotlvllbl = label("Minbotlvllbl", QStringLiteral("Off"));
    auto* maxCaption = label("Maxbotlbl", QStringLiteral("Max Bots:"));
    Maxbotlvllbl = label("Maxbotlvllbl", QStringLiteral("Off"));
    Skillsdr->setAccessibleName(QStringLiteral("Skill level"));
    Pausesdr->setAccessibleName(pauseCaption->text());
    Minbotsdr->setAccessibleName(minCaption->text());
    Maxbotsdr->setAccessibleName(maxCaption->text());
    pauseCaption->setBuddy(Pausesdr);
    minCaption->setBuddy(Minbotsdr);
    maxCaption->setBuddy(Maxbotsdr);

    int row = 0;
    grid->addWidget(Skilllbl, row, 0);
    grid->addWidget(Skilllvllbl, row++, 1);
    grid->addWidget(Skillsdr, row++, 0, 1, 2);
    grid->addWidget(pauseCaption, row, 0);
    grid->addWidget(Pauselvllbl, row++, 1);
    grid->addWidget(Pausesdr, row++, 0, 1, 2);
    grid->addWidget(minCaption, row, 0);
    grid->addWidget(Minbotlvllbl, row++, 1);
    grid->addWidget(Minbotsdr, row++, 0, 1, 2);
    grid->addWidget(maxCaption, row, 0);
    grid->addWidget(Maxbotlvllbl, row++, 1);
    grid->addWidget(Maxbotsdr, row++, 0, 1, 2);
    Botchatchk = box("Botchatchk", QStringLiteral("Bot Chat"),
                     QStringLiteral("Enable this to have the bots talk and insult other players"));
    BotXmaschk = box("BotXmaschk", QStringLiteral("Bot Fun Mode (Xmas)"),
                     QStringLiteral("Enable this to have the bots throw gifts as grenades"));
    Botbalchk =
        box("Botbalchk", QStringLiteral("Bot Balance"),
            QStringLiteral(
                "Enable this to have the teams contain the same amount of bots (may unbalance teams)"));
    BotTeambalchk = box("BotTeambalchk", QStringLiteral("Bot Team Balance"),
                        QStringLiteral("Enable this to have the bots keep the teams even during game"));
    grid->addWidget(Botchatchk, row, 0);
    grid->addWidget(BotXmaschk, row++, 1);
    grid->addWidget(Botbalchk, row, 0);
    grid->addWidget(BotTeambalchk, row++, 1);
    Tarcmd = new QPushButton(kLoadBotConfig);
    Tarcmd->setObjectName(QStringLiteral("Tarcmd"));
    grid->addWidget(Tarcmd, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    into->addWidget(group, 1);

    connect(Skillsdr, &QSlider::valueChanged, this, &TarrowPage::SkillsdrChange);
    connect(Pausesdr, &QSlider::valueChanged, this, &TarrowPage::PausesdrChange);
    connect(Minbotsdr, &QSlider::valueChanged, this, &TarrowPage::MinbotsdrChange);
    connect(Maxbotsdr, &QSlider::valueChanged, this, &TarrowPage::MaxbotsdrChange);
    for (QCheckBox* c : {Botchatchk, BotXmaschk, Botbalchk, BotTeambalchk})
        connect(c, &QCheckBox::toggled, this, [this] { readBotControls(); });
    connectGuarded(context_, Tarcmd, &QPushButton::clicked, this, &TarrowPage::TarcmdClick);
}

TarrowPage::TarrowPage(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* layout = new QHBoxLayout(this);
    buildBotSettings(layout);
    buildFileBox(layout);
}

void TarrowPage::setMode(Mode mode) {
    mode_ = mode;
    Tarcmd->setText(mode == Mode::Load ? kLoadBotConfig : kSaveBotConfig);
}

void TarrowPage::reloadBotConfig() {
    setMode(Mode::Load);
    context_.guarded([this] { TarcmdClick(); });
}

void TarrowPage::showBotModel() {
    showingBot_ = true;
    Skillsdr->setValue(bot_.skill());
    Pausesdr->setValue(bot_.pause());
    Minbotsdr->setValue(bot_.minBots());
    Maxbotsdr->setValue(bot_.maxBots());
    Botchatchk->setChecked(bot_.chat);
    BotXmaschk->setChecked(bot_.xmas);
    Botbalchk->setChecked(bot_.botBalance);
    BotTeambalchk->setChecked(bot_.teamBalance);
    Skilllvllbl->setText(bot_.skillPhrase());
    Skilllbl->setText(bot_.skillLabel());
    Pauselvllbl->setText(bot_.pauseLabel());
    Minbotlvllbl->setText(bot_.minBotsLabel());
    Maxbotlvllbl->setText(bot_.maxBotsLabel());
    showingBot_ = false;
}

void TarrowPage::readBotControls() {
    if (showingBot_) return;
    bot_ = shownBot();
}

BotConfigModel TarrowPage::shownBot() const {
    BotConfigModel shown = bot_;
    shown.chat = Botchatchk->isChecked();
    shown.xmas = BotXmaschk->isChecked();
    shown.botBalance = Botbalchk->isChecked();
    shown.teamBalance = BotTeambalchk->isChecked();
    return shown;
}

bool TarrowPage::hasUnsavedBotSettings() const {
    if (mode_ != Mode::Save || !savedBot_) return false;
    // Compared as the file would hold them: what the file cannot tell apart is no edit.
    const QString version = context_.installation().components().LatestPluginVersion;
    return shownBot().fileLines(version) != savedBot_->fileLines(version);
}

void TarrowPage::SkillsdrChange() {
    if (showingBot_) return;
    bot_.setSkill(Skillsdr->value());
    showBotModel();
}

void TarrowPage::PausesdrChange() {
    if (showingBot_) return;
    bot_.setPause(Pausesdr->value());
    showBotModel();
}

void TarrowPage::MinbotsdrChange() {
    if (showingBot_) return;
    bot_.setMinBots(Minbotsdr->value());
    showBotModel();
}

void TarrowPage::MaxbotsdrChange() {
    if (showingBot_) return;
    bot_.setMaxBots(Maxbotsdr->value());
    showBotModel();
}

void TarrowPage::setBotControlsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{Skillsdr, Pausesdr, Minbotsdr, Maxbotsdr, Botchatchk,
                                                      BotXmaschk, Botbalchk, BotTeambalchk})
        w->setEnabled(on);
}

void TarrowPage::TarcmdClick() {
    const InstallPaths paths = context_.installation().paths();
    const QString& path = paths.botConfig;
    if (mode_ == Mode::Save) {
        readBotControls();
        saveBotConfig(path, bot_, context_.installation().components(), context_.installation().backups());
        savedBot_ = bot_;
        return;
    }
    if (!fileExists(path)) {
        if (!context_.prompter().confirm(
                QStringLiteral("Error loading Tarrow.cfg file, expected path: ") + botConfigShownPath(paths) +
                QStringLiteral(", Would you like to create it now in this directory?")))
            return;
        setBotControlsEnabled(true);
        setMode(Mode::Save);
        createBotConfig(paths, context_.installation().components());
        savedBot_ = shownBot();
        return;
    }
    setBotControlsEnabled(true);
    setMode(Mode::Save);
    const QStringList lines = readLines(path);
    readBotControls();
    try {
        bot_.applyLines(lines);
    } catch (...) {
        // Lines before the faulty number stay applied: what the file holds is not known here, and no
        // edit is counted until the next load or save.
        showBotModel();
        savedBot_.reset();
        throw;
    }
    showBotModel();
    savedBot_ = bot_;
}

} // namespace tarrow
