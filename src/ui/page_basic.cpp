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

namespace {
// How a folder's server kind is kept in the settings.
const QString kDedicatedKind = QStringLiteral("Dedicated");
const QString kListenKind = QStringLiteral("Listen");
} // namespace

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

void BasicPage::showLaunchSettings(const QString& mapFolder, const QString& commandLine, bool ownChoices) {
    if (folderExists(mapFolder)) StartMaplst->setFolder(mapFolder);
    if (!commandLine.isEmpty()) Commandlinetxt->setText(commandLine);
    if (!ownChoices) return;
    // This folder's own choices from last time: its start map, then its server kind (which loads the
    // kind's file, as the click did).
    const Installation& in = context_.installation();
    const QString map = in.setting(ownSettingName(OwnSetting::StartMap));
    const QList<QListWidgetItem*> found =
        map.isEmpty() ? QList<QListWidgetItem*>() : StartMaplst->findItems(map, Qt::MatchFixedString);
    if (!found.isEmpty()) {
        const QSignalBlocker quiet(StartMaplst);
        StartMaplst->clearSelection();
        StartMaplst->setCurrentItem(found.first(), QItemSelectionModel::NoUpdate);
        found.first()->setSelected(true);
        StartMaplst->scrollToItem(found.first());
    }
    const QString kind = in.setting(ownSettingName(OwnSetting::ServerKind));
    if (kind == kDedicatedKind) Dedicatedopt->setChecked(true);
    if (kind == kListenKind) Listenopt->setChecked(true);
}

void BasicPage::rememberChoice(OwnSetting setting, const QString& value) {
    const Installation& in = context_.installation();
    if (in.isSet() && in.setting(ownSettingName(setting)) != value)
        in.writeSetting(ownSettingName(setting), value, context_.prompter());
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
        if (on)
            context_.guarded([this] {
                rememberChoice(OwnSetting::ServerKind, kDedicatedKind);
                DedicatedoptClick();
            });
    });
    connect(Listenopt, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            context_.guarded([this] {
                rememberChoice(OwnSetting::ServerKind, kListenKind);
                ListenoptClick();
            });
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
    loadServerConfig(binding_.model(), context_.installation().paths(), context_.prompter());
}

void BasicPage::ListenoptClick() {
    SyncAfter sync{binding_};
    binding_.model().serverKind = ServerModel::ServerKind::Listen;
    loadServerConfig(binding_.model(), context_.installation().paths(), context_.prompter());
}

void BasicPage::SaveservercmdClick() {
    SyncAfter sync{binding_};
    const InstallPaths paths = context_.installation().paths();
    const QString path = serverConfigPath(binding_.model(), paths);
    const bool written = !path.isEmpty() && folderExists(paths.root + paths.mod);
    saveServerConfig(binding_.model(), paths, context_.prompter());
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
    connect(StartMaplst, &QListWidget::itemSelectionChanged, this, [this] {
        context_.guarded([this] {
            StartMaplstClick(StartMaplst->currentItem());
            const QList<QListWidgetItem*> chosen = StartMaplst->selectedItems();
            rememberChoice(OwnSetting::StartMap, chosen.isEmpty() ? QString() : chosen.first()->text());
        });
    });
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
        // Asked once, on the event loop: a slow or wedged user manager never holds up the window.
        serviceChecked_ = true;
        Servicechk->setEnabled(false);
        const QString tip = Servicechk->toolTip();
        Servicechk->setToolTip(QStringLiteral("Checking whether systemd runs your services…"));
        service::systemctlUserAsync(
            service::userManagerArguments(), this, [this, tip](const service::CommandResult& r) {
                const QString problem = service::userManagerProblem(r);
                serviceAnswered_ = true;
                serviceAvailable_ = problem.isEmpty();
                Servicechk->setEnabled(serviceAvailable_);
                Servicechk->setToolTip(
                    serviceAvailable_
                        ? tip
                        : QStringLiteral("Not available here: %1. Launch starts the server from this window.")
                              .arg(problem));
                context_.guarded([this] { showServiceState(); });
            });
    }
    const bool unitFile = QFileInfo::exists(service::userUnitFolder() + service::serverUnitOf(serviceName()));
    if (!serviceAnswered_) {
        // Until systemd answers, Launch cannot tell the service's server from one of its own.
        if (unitFile) showLaunchState(QStringLiteral("Checking the service…"), false);
        return;
    }
    serviceInstalled_ = serviceAvailable_ && unitFile;
    Servicechk->setChecked(serviceInstalled_);
    if (!serviceInstalled_) {
        serviceActive_ = false;
        showLaunchState(QStringLiteral("L&aunch Server"), true);
        return;
    }
    // A start, stop or install on its way asks again when it ends.
    if (serviceBusy_ || stateAsked_) return;
    stateAsked_ = true;
    if (Launchcmd->text() == QLatin1String("L&aunch Server"))
        showLaunchState(QStringLiteral("Checking the service…"), false);
    service::systemctlUserAsync(
        service::unitStateArguments(service::serverUnitOf(serviceName())), this,
        [this](const service::CommandResult& r) {
            stateAsked_ = false;
            if (serviceBusy_) return;
            serviceActive_ = service::parseUnitState(r).activeState == QLatin1String("active");
            showLaunchState(serviceActive_ ? QStringLiteral("Stop Service (running)")
                                           : QStringLiteral("Start Service (stopped)"),
                            true);
        });
}

void BasicPage::showLaunchState(const QString& caption, bool enabled) {
    Launchcmd->setText(caption);
    Launchcmd->setEnabled(enabled);
}

void BasicPage::ServicechkClick() {
    if (serviceBusy_) {
        Servicechk->setChecked(!Servicechk->isChecked());
        return;
    }
    const QString name = serviceName();
    auto after = [this](const service::ManageResult& done) {
        return [this, done](const service::CommandResult& r, const QStringList& args) {
            serviceBusy_ = false;
            Servicechk->setEnabled(true);
            const bool ok = r.started && r.code == 0;
            if (!ok) context_.prompter().message(service::failureText(args, r));
            if (!done.lines.isEmpty()) context_.showStatus(done.lines.join(QStringLiteral("; ")));
            context_.guarded([this] { showServiceState(); });
        };
    };
    if (Servicechk->isChecked()) {
        const service::ManageResult written = service::writeServiceUnits(
            context_.installation(), name, service::tarrowProgram(),
            context_.installation().store() ? context_.installation().store()->fileName() : QString());
        if (!written.ok) {
            context_.prompter().message(written.error);
            Servicechk->setChecked(false);
            return;
        }
        serviceBusy_ = true;
        Servicechk->setEnabled(false);
        showLaunchState(QStringLiteral("Installing the service…"), false);
        service::systemctlUserSequence(service::enableCalls(name), this, after(written));
        return;
    }
    serviceBusy_ = true;
    Servicechk->setEnabled(false);
    showLaunchState(QStringLiteral("Removing the service…"), false);
    // A unit that is not loaded cannot be disabled: the files go all the same, then systemd reloads.
    service::systemctlUserSequence(
        service::disableCalls(name), this,
        [this, name, after](const service::CommandResult&, const QStringList&) {
            service::ManageResult deleted;
            if (!context_.guarded([&] { deleted = service::deleteServiceUnits(name); })) {
                serviceBusy_ = false;
                Servicechk->setEnabled(true);
                context_.guarded([this] { showServiceState(); });
                return;
            }
            service::systemctlUserSequence({{QStringLiteral("daemon-reload")}}, this, after(deleted));
        },
        true);
}

void BasicPage::LaunchcmdClick() {
    if (serviceInstalled_) {
        if (serviceBusy_) return;
        const bool stop = serviceActive_;
        const QStringList args{stop ? QStringLiteral("stop") : QStringLiteral("start"),
                               service::serverUnitOf(serviceName())};
        serviceBusy_ = true;
        showLaunchState(
            stop ? QStringLiteral("Stopping the service…") : QStringLiteral("Starting the service…"), false);
        service::systemctlUserAsync(args, this, [this](const service::CommandResult& r) {
            serviceBusy_ = false;
            if (!r.started || r.code != 0) context_.prompter().message(r.err.trimmed());
            context_.guarded([this] { showServiceState(); });
        });
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
