// The "Server Config/Launcher" page and its inner pages.
#include "main.h"

#include "app/platform.h"

#include "app/componentsettings.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "launcher/commandline.h"
#include "widgets.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarrow {

namespace {

// Each inner page scrolls, so that nothing is cut off at any window size.
QWidget* scrolled(QWidget* page) {
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* area = new QScrollArea(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    area->setWidget(content);
    outer->addWidget(area);
    return content;
}

} // namespace

void TMainfrm::buildLauncherPage() {
    auto* layout = new QVBoxLayout(Launcher);
    Launchertabs = new QTabWidget(Launcher);
    Launchertabs->setObjectName(QStringLiteral("Launchertabs"));
    layout->addWidget(Launchertabs);
    auto inner = [this](const char* name, const QString& caption) {
        auto* page = new QWidget(Launchertabs);
        page->setObjectName(QString::fromLatin1(name));
        Launchertabs->addTab(page, caption);
        return page;
    };
    Basic = inner("Basic", QStringLiteral("  Basic  "));
    Advanced = inner("Advanced", QStringLiteral("Advanced"));
    Mapcycle = new MapcyclePage(*this, Launchertabs);
    Mapcycle->setObjectName(QStringLiteral("Mapcycle"));
    Launchertabs->addTab(Mapcycle, QStringLiteral("Map Cycle"));
    MOTD = new MotdPage(*this, Launchertabs);
    MOTD->setObjectName(QStringLiteral("MOTD"));
    Launchertabs->addTab(MOTD, QStringLiteral("  MOTD  "));
    Adminmod = inner("Adminmod", QStringLiteral("Admin Mod"));
    Neotf = inner("Neotf", QStringLiteral("  NeoTF  "));
    NeotfCont = inner("NeotfCont", QStringLiteral("NeoTF Cont."));

    // "  Basic  ": server kind and save, names, limits, rates, common options, and the launcher.
    QWidget* basicContent = scrolled(Basic);
    auto* basic = new QGridLayout(basicContent);
    int left = 0, right = 0;
    basic->addWidget(buildServerKindGroup(basicContent), left++, 0, 1, 2);
    right = left;
    const QList<QWidget*> basicGroups = buildServerGroups(SettingPage::Basic, basicContent);
    for (QWidget* g : basicGroups) {
        const bool options = static_cast<QGroupBox*>(g)->title() == QLatin1String("Common Server Options:");
        basic->addWidget(g, options ? right++ : left++, options ? 1 : 0);
    }
    basic->addWidget(buildRateGroup(basicContent), left++, 0);
    basic->addWidget(buildFriendlyFireGroup(basicContent), left++, 0);

    QWidget* launchGroup = buildLaunchGroup(basicContent);
    const int span = std::max(1, left - right);
    basic->addWidget(launchGroup, right, 1, span, 1);
    right += span;
    basic->setRowStretch(std::max(left, right) + 1, 1);

    for (auto [page, kind] :
         {std::pair{Advanced, SettingPage::Advanced}, std::pair{Adminmod, SettingPage::Adminmod},
          std::pair{Neotf, SettingPage::Neotf}, std::pair{NeotfCont, SettingPage::NeotfCont}}) {
        QWidget* content = scrolled(page);
        auto* grid = new QGridLayout(content);
        const QList<QWidget*> groups = buildServerGroups(kind, content);
        // The groups one below the other, in table order.
        int row = 0;
        for (QWidget* g : groups)
            grid->addWidget(g, row++, 0);
        grid->setRowStretch(row, 1);
    }

    syncServerControls();
}

QWidget* TMainfrm::buildLaunchGroup(QWidget* parent) {
    auto* group = new QGroupBox(QStringLiteral("Launcher:"), parent);
    auto* layout = new QVBoxLayout(group);
    auto* mapCaption = new QLabel(QStringLiteral("Server Startup Map:"));
    StartMaplst = new FileListBox(QStringLiteral("*.bsp"), group);
    StartMaplst->setObjectName(QStringLiteral("StartMaplst"));
    StartMaplst->setSelectionMode(QAbstractItemView::MultiSelection);
    StartMaplst->setAccessibleName(mapCaption->text());
    mapCaption->setBuddy(StartMaplst);
    auto* commandCaption =
        new QLabel(QStringLiteral("Server Command Line:  Do Not edit if you don't know what you are doing!"));
    commandCaption->setWordWrap(true);
    Commandlinetxt = new QLineEdit(group);
    Commandlinetxt->setObjectName(QStringLiteral("Commandlinetxt"));
    Commandlinetxt->setAccessibleName(commandCaption->text());
    commandCaption->setBuddy(Commandlinetxt);
    Launchcmd = new QPushButton(QStringLiteral("L&aunch Server"), group);
    Launchcmd->setObjectName(QStringLiteral("Launchcmd"));
    layout->addWidget(mapCaption);
    layout->addWidget(StartMaplst);
    layout->addWidget(commandCaption);
    layout->addWidget(Commandlinetxt);
    layout->addWidget(Launchcmd);
    // Clicks and keyboard changes alike.
    connect(StartMaplst, &QListWidget::itemSelectionChanged, this,
            [this] { StartMaplstClick(StartMaplst->currentItem()); });
    connect(Launchcmd, &QPushButton::clicked, this, [this] { guarded([this] { LaunchcmdClick(); }); });
    return group;
}

void TMainfrm::StartMaplstClick(QListWidgetItem* item) {
    // At most one start map: a click on another map moves the choice to it.
    if (StartMaplst->selectedItems().size() < 2) return;
    const QSignalBlocker block(StartMaplst);
    StartMaplst->clearSelection();
    if (item) item->setSelected(true);
}

void TMainfrm::LaunchcmdClick() {
    LaunchInput in;
    in.dedicated = Dedicatedopt->isChecked();
    in.listen = Listenopt->isChecked();
    QListWidgetItem* current = StartMaplst->currentItem();
    if (StartMaplst->count() > 0 && current && current->isSelected()) in.startMap = current->text();
    in.maxPlayersText = serverModel_.text(QStringLiteral("Maxplayerstxt"));
    in.commandLine = Commandlinetxt->text();
    in.installRoot = ReadInstallRoot();
    in.modFolder = SelectedModFolder();
    in.linuxServer = installationPlatform(in.installRoot) == ServerPlatform::Linux;
    const LaunchPlan plan = planLaunch(in);
    if (!plan.message.isEmpty()) {
        prompter_.message(plan.message);
        if (plan.focusMapList) StartMaplst->setFocus();
        return;
    }
    if (!startLaunchPlan(plan, shell_, prompter_, wineFinder)) return;
    if (!in.commandLine.isEmpty())
        RegWriteString(kTarrowKey, QStringLiteral("CommandLine"), in.commandLine, prompter_);
}

} // namespace tarrow
