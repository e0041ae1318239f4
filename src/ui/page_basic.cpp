// The "  Basic  " inner page: the server kind and its save, the basic settings, and the launcher.
#include "page_launcher.h"

#include "app/platform.h"
#include "app/windowoptions.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "launcher/commandline.h"
#include "page_server.h"
#include "serverconfig/serverfiles.h"
#include "service/manage.h"
#include "service/systemctl.h"
#include "service/units.h"
#include "widgets.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace tarrow {

BasicPage::BasicPage(WindowContext& context, ServerBinding& binding, QWidget* parent)
    : QWidget(parent), context_(context), binding_(binding) {
    QWidget* content = scrolledContent(this);
    auto* basic = new QGridLayout(content);
    int left = 0, right = 0;
    basic->addWidget(buildServerKindGroup(content), left++, 0, 1, 2);
    // The launcher comes right below the server kind, so that "Launch Server" is in view without
    // scrolling at the usual window sizes.
    basic->addWidget(buildLaunchGroup(content), left++, 0, 1, 2);
    right = left;
    const QList<QWidget*> basicGroups = binding_.buildServerGroups(SettingPage::Basic, content);
    for (QWidget* g : basicGroups) {
        const bool options = static_cast<QGroupBox*>(g)->title() == QLatin1String("Common Server Options:");
        basic->addWidget(g, options ? right++ : left++, options ? 1 : 0);
    }
    basic->addWidget(binding_.buildRateGroup(content), left++, 0);
    basic->addWidget(binding_.buildFriendlyFireGroup(content), left++, 0);
    basic->setRowStretch(std::max(left, right) + 1, 1);
}

void BasicPage::showLaunchSettings(const QString& mapFolder, const QString& commandLine) {
    if (folderExists(mapFolder)) StartMaplst->setFolder(mapFolder);
    if (!commandLine.isEmpty()) Commandlinetxt->setText(commandLine);
}

QWidget* BasicPage::buildServerKindGroup(QWidget* parent) {
    auto* group = new QGroupBox(QStringLiteral("Server Type:"), parent);
    auto* layout = new QHBoxLayout(group);
    Dedicatedopt = new QRadioButton(QStringLiteral("Dedicated Server"), group);
    Dedicatedopt->setObjectName(QStringLiteral("Dedicatedopt"));
    Listenopt = new QRadioButton(QStringLiteral("Listen Server"), group);
    Listenopt->setObjectName(QStringLiteral("Listenopt"));
    Saveservercmd = new QPushButton(QStringLiteral("&Save Server Settings"), group);
    Saveservercmd->setObjectName(QStringLiteral("Saveservercmd"));
    layout->addWidget(Dedicatedopt);
    layout->addWidget(Listenopt);
    layout->addStretch();
    layout->addWidget(Saveservercmd);
    // Choosing a kind loads its file; choosing the kind already chosen does nothing.
    connect(Dedicatedopt, &QRadioButton::toggled, this, [this](bool on) {
        if (on) context_.guarded([this] { DedicatedoptClick(); });
    });
    connect(Listenopt, &QRadioButton::toggled, this, [this](bool on) {
        if (on) context_.guarded([this] { ListenoptClick(); });
    });
    connectGuarded(context_, Saveservercmd, &QPushButton::clicked, this, &BasicPage::SaveservercmdClick);
    return group;
}

namespace {
// Whatever happens in a load, the controls show what the model now holds.
struct SyncAfter {
    ServerBinding& binding;
    ~SyncAfter() { binding.syncServerControls(); }
};
} // namespace

void BasicPage::DedicatedoptClick() {
    SyncAfter sync{binding_};
    binding_.model().serverKind = ServerModel::ServerKind::Dedicated;
    loadServerConfig(binding_.model(), context_.installation().root(), context_.installation().mod(),
                     context_.prompter());
}

void BasicPage::ListenoptClick() {
    SyncAfter sync{binding_};
    binding_.model().serverKind = ServerModel::ServerKind::Listen;
    loadServerConfig(binding_.model(), context_.installation().root(), context_.installation().mod(),
                     context_.prompter());
}

void BasicPage::SaveservercmdClick() {
    SyncAfter sync{binding_};
    const Installation& in = context_.installation();
    const QString path = serverConfigPath(binding_.model(), in.root(), in.mod());
    const bool written = !path.isEmpty() && folderExists(in.root() + in.mod());
    saveServerConfig(binding_.model(), in.root(), in.mod(), in.backups(), context_.prompter());
    if (written) context_.serverSettingsSaved(QFileInfo(nativePath(path)).fileName());
}

QWidget* BasicPage::buildLaunchGroup(QWidget* parent) {
    auto* group = new QGroupBox(QStringLiteral("Launcher:"), parent);
    auto* layout = new QGridLayout(group);
    auto* mapCaption = new QLabel(QStringLiteral("Server Startup Map:"));
    StartMaplst = new FileListBox(QStringLiteral("*.bsp"), group);
    StartMaplst->setObjectName(QStringLiteral("StartMaplst"));
    StartMaplst->setSelectionMode(QAbstractItemView::MultiSelection);
    StartMaplst->setAccessibleName(mapCaption->text());
    // A few rows of maps are enough to choose from; the list scrolls.
    StartMaplst->setMaximumHeight(110);
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
    layout->addWidget(mapCaption, 0, 0);
    layout->addWidget(StartMaplst, 1, 0, 3, 1);
    layout->addWidget(commandCaption, 0, 1);
    layout->addWidget(Commandlinetxt, 1, 1);
    layout->addWidget(Launchcmd, 2, 1, Qt::AlignLeft);
    Servicechk = new QCheckBox(QStringLiteral("Run as a s&ervice"), group);
    Servicechk->setObjectName(QStringLiteral("Servicechk"));
    Servicechk->setToolTip(QStringLiteral("systemd keeps the server up: restarted after a crash or a hang, "
                                          "running without this window"));
    layout->addWidget(Servicechk, 3, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 2);
    // Clicks and keyboard changes alike.
    connect(StartMaplst, &QListWidget::itemSelectionChanged, this,
            [this] { StartMaplstClick(StartMaplst->currentItem()); });
    connectGuarded(context_, Launchcmd, &QPushButton::clicked, this, &BasicPage::LaunchcmdClick);
    connectGuarded(context_, Servicechk, &QCheckBox::clicked, this, &BasicPage::ServicechkClick);
    return group;
}

void BasicPage::StartMaplstClick(QListWidgetItem* item) {
    // At most one start map: a click on another map moves the choice to it.
    if (StartMaplst->selectedItems().size() < 2) return;
    const QSignalBlocker block(StartMaplst);
    StartMaplst->clearSelection();
    if (item) item->setSelected(true);
}

QString BasicPage::serviceName() const {
    return service::defaultServiceName(nativePath(context_.installation().root()));
}

void BasicPage::showServiceState() {
    if (!context_.installation().isSet()) return;
    if (!serviceChecked_) {
        serviceChecked_ = true;
        QString why;
        serviceAvailable_ = service::userManagerAvailable(&why);
        if (!serviceAvailable_) {
            Servicechk->setEnabled(false);
            Servicechk->setToolTip(
                QStringLiteral("Not available here: %1. Launch starts the server from this window.")
                    .arg(why));
        }
    }
    serviceInstalled_ = serviceAvailable_ &&
                        QFileInfo::exists(service::userUnitFolder() + service::serverUnitOf(serviceName()));
    serviceActive_ =
        serviceInstalled_ &&
        service::unitState(service::serverUnitOf(serviceName())).activeState == QLatin1String("active");
    Servicechk->setChecked(serviceInstalled_);
    Launchcmd->setText(!serviceInstalled_ ? QStringLiteral("L&aunch Server")
                       : serviceActive_   ? QStringLiteral("Stop Service (running)")
                                          : QStringLiteral("Start Service (stopped)"));
}

void BasicPage::ServicechkClick() {
    const service::ManageResult r =
        Servicechk->isChecked()
            ? service::installService(
                  context_.installation(), serviceName(), service::tarrowProgram(),
                  context_.installation().store() ? context_.installation().store()->fileName() : QString())
            : service::removeService(serviceName());
    if (!r.ok) context_.prompter().message(r.error);
    if (!r.lines.isEmpty()) context_.showStatus(r.lines.join(QStringLiteral("; ")));
    showServiceState();
}

void BasicPage::LaunchcmdClick() {
    if (serviceInstalled_) {
        const QString verb = serviceActive_ ? QStringLiteral("stop") : QStringLiteral("start");
        const service::CommandResult r = service::systemctlUser({verb, service::serverUnitOf(serviceName())});
        if (!r.started || r.code != 0) context_.prompter().message(r.err.trimmed());
        showServiceState();
        return;
    }
    LaunchInput in;
    in.dedicated = Dedicatedopt->isChecked();
    in.listen = Listenopt->isChecked();
    QListWidgetItem* current = StartMaplst->currentItem();
    if (StartMaplst->count() > 0 && current && current->isSelected()) in.startMap = current->text();
    in.maxPlayersText = binding_.model().text(QStringLiteral("Maxplayerstxt"));
    in.commandLine = Commandlinetxt->text();
    in.installRoot = context_.installation().root();
    in.modFolder = context_.installation().mod();
    in.linuxServer = context_.installation().platform() == ServerPlatform::Linux;
    const LaunchPlan plan = planLaunch(in);
    if (!plan.message.isEmpty()) {
        context_.prompter().message(plan.message);
        if (plan.focusMapList) StartMaplst->setFocus();
        return;
    }
    if (!startLaunchPlan(plan, context_.shell(), context_.prompter(), wineFinder)) return;
    if (!in.commandLine.isEmpty())
        context_.installation().writeSetting(ownSettingName(OwnSetting::CommandLine), in.commandLine,
                                             context_.prompter());
}

} // namespace tarrow
