// The "  Info/Help  " page: information labels, reset, and the window options.
#include "page_info.h"

#include "app/componentsettings.h"
#include "app/installpaths.h"
#include "app/platform.h"
#include "app/windowoptions.h"
#include "backupsdialog.h"
#include "common/fileio.h"
#include "common/fileversion.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "common/shell.h"
#include "gamefiles/rebuild.h"
#include "widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tarrow {

namespace {

const QString kInstallPathCaption = QStringLiteral("Tarrow Installation Path:");

QLineEdit* labelledEdit(QGridLayout* grid, int row, const char* name, const QString& label,
                        const QString& hint) {
    auto* caption = new QLabel(label);
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(60);
    edit->setToolTip(hint);
    caption->setToolTip(hint);
    caption->setBuddy(edit);
    edit->setAccessibleName(label);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

} // namespace

InfoPage::InfoPage(WindowContext& context, WindowControls window, QWidget* parent)
    : QWidget(parent), context_(context), window_(std::move(window)) {
    auto* layout = new QGridLayout(this);

    auto* infoGroup = new QGroupBox(QStringLiteral("Tarrow Information:"), this);
    auto* infoLayout = new QVBoxLayout(infoGroup);
    TarKeylbl = new ClickLabel(QStringLiteral("Tarrow Registry Key:"));
    TarKeylbl->setObjectName(QStringLiteral("TarKeylbl"));
    TarKeylbl->setToolTip(QStringLiteral("Double click to open the settings file"));
    TarPathlbl = new ClickLabel(kInstallPathCaption);
    TarPathlbl->setObjectName(QStringLiteral("TarPathlbl"));
    TarPathlbl->setToolTip(QStringLiteral("Double click to open the installation folder"));
    TarVersionlbl = new QLabel(QStringLiteral("Tarrow Version:"));
    TarVersionlbl->setObjectName(QStringLiteral("TarVersionlbl"));
    GUIversionlbl = new QLabel(QStringLiteral("Tarrow GUI Version:"));
    GUIversionlbl->setObjectName(QStringLiteral("GUIversionlbl"));
    for (QLabel* l :
         {static_cast<QLabel*>(TarKeylbl), static_cast<QLabel*>(TarPathlbl), TarVersionlbl, GUIversionlbl}) {
        l->setTextInteractionFlags(Qt::NoTextInteraction);
        l->setWordWrap(true);
        infoLayout->addWidget(l);
    }
    connect(TarKeylbl, &ClickLabel::doubleClicked, this, &InfoPage::TarKeylblDblClick);
    connect(TarPathlbl, &ClickLabel::doubleClicked, this, &InfoPage::TarPathlblDblClick);
    layout->addWidget(infoGroup, 0, 0);

    buildRebuildGroup(layout);

    auto* optionsGroup = new QGroupBox(QStringLiteral("Tarrow GUI Options:"), this);
    optionsGroup->setObjectName(QStringLiteral("Optionsgrp"));
    auto* optionsLayout = new QGridLayout(optionsGroup);
    Transparency = labelledEdit(
        optionsLayout, 0, "Transparency", QStringLiteral("Transparency Level"),
        QStringLiteral("Change this to enable transparency in the gui, the higher the number "
                       "the more opaque the window is * NOTE * Only works on Windows 2000 or XP"));
    StatsSpeed = labelledEdit(optionsLayout, 1, "StatsSpeed", QStringLiteral("Statistics Refresh Speed"),
                              QStringLiteral("Seconds between two refreshes of the status page (5 to 20)"));
    auto* platformLabel = new QLabel(QStringLiteral("Server platform:"));
    Platformcmb = new QComboBox;
    Platformcmb->setObjectName(QStringLiteral("Platformcmb"));
    Platformcmb->addItem(QStringLiteral("Automatic"), QStringLiteral("auto"));
    Platformcmb->addItem(QStringLiteral("Windows (hlds.exe)"), QStringLiteral("windows"));
    Platformcmb->addItem(QStringLiteral("Linux (hlds_linux)"), QStringLiteral("linux"));
    Platformcmb->setAccessibleName(platformLabel->text());
    Platformcmb->setToolTip(
        QStringLiteral("Which server program the installation runs, where its own programs "
                       "do not tell: it decides which loader lines and libraries count"));
    platformLabel->setBuddy(Platformcmb);
    optionsLayout->addWidget(platformLabel, 2, 0);
    optionsLayout->addWidget(Platformcmb, 2, 1, 1, 2);
    connect(Platformcmb, &QComboBox::currentIndexChanged, this, [this] {
        if (!loadingPlatform_) context_.guarded([this] { PlatformcmbChange(); });
    });
    optionsLayout->setColumnStretch(2, 1);
    connectGuarded(context_, Transparency, &QLineEdit::textChanged, this, &InfoPage::TransparencyChange);
    connectGuarded(context_, StatsSpeed, &QLineEdit::textChanged, this, &InfoPage::StatsSpeedChange);
    layout->addWidget(optionsGroup, 1, 0);
    layout->addWidget(buildDumpGroup(), 1, 1);
    layout->addWidget(buildResourcesGroup(), 2, 0, 1, 2);

    layout->setRowStretch(3, 1);
}

InfoPage::~InfoPage() = default;

void InfoPage::buildRebuildGroup(QGridLayout* into) {
    auto* group = new QGroupBox(QStringLiteral("Reset Options:"), this);
    group->setObjectName(QStringLiteral("Resetgrp"));
    QGridLayout* grid = checkBoxGroup(
        group,
        QStringLiteral(
            "This will overwrite and reset your HalfLife configuration back to its default state."),
        {{&Autoexecchk, "Autoexec.cfg", "Autoexecchk"},
         {&Liblistchk, "Liblist.gam", "Liblistchk"},
         {&Metamodchk, "Plugins.ini", "Metamodchk"},
         {&NTFchk, "NTF_Config.txt", "NTFchk"}});
    Rebuildcmd = new QPushButton(QStringLiteral("Rebuild Selected Files"));
    Rebuildcmd->setObjectName(QStringLiteral("Rebuildcmd"));
    Rebuildcmd->setToolTip(QStringLiteral(
        "Click here to rebuild the selected files (Warning this will overwrite your current files)"));
    Rebuildlbl = new QLabel(QStringLiteral("Idle"));
    Rebuildlbl->setObjectName(QStringLiteral("Rebuildlbl"));
    grid->addWidget(Rebuildcmd, 3, 0);
    grid->addWidget(Rebuildlbl, 3, 1);
    ResetKeycmd = new QPushButton(QStringLiteral("Reset Tarrow Reg Key"));
    ResetKeycmd->setObjectName(QStringLiteral("ResetKeycmd"));
    grid->addWidget(ResetKeycmd, 4, 0);
    Backupscmd = new QPushButton(QStringLiteral("Backups..."));
    Backupscmd->setObjectName(QStringLiteral("Backupscmd"));
    Backupscmd->setToolTip(
        QStringLiteral("See and restore the previous versions of the files Tarrow GUI wrote"));
    grid->addWidget(Backupscmd, 4, 1);
    connectGuarded(context_, ResetKeycmd, &QPushButton::clicked, this, &InfoPage::ResetKeycmdClick);
    connectGuarded(context_, Backupscmd, &QPushButton::clicked, this, &InfoPage::BackupscmdClick);
    connectGuarded(context_, Rebuildcmd, &QPushButton::clicked, this, &InfoPage::RebuildcmdClick);
    into->addWidget(group, 0, 1);

    rebuilder_ = std::make_unique<Rebuilder>();
    rebuilder_->setLabel = [this](const QString& text) { Rebuildlbl->setText(text); };
    rebuilder_->stopStatusTimer = [this] { window_.statusTimer->stop(); };
    rebuilder_->clearSelection = [this] {
        for (QCheckBox* c : {Autoexecchk, Liblistchk, Metamodchk, NTFchk})
            c->setChecked(false);
    };
}

void InfoPage::BackupscmdClick() {
    const QString root = context_.installation().root();
    if (root.isEmpty()) {
        context_.prompter().message(noInstallRootText());
        return;
    }
    if (backupsDialog_) backupsDialog_->deleteLater();
    backupsDialog_ = new BackupsDialog(context_.installation().backups(), context_.prompter(), this);
    connect(backupsDialog_, &BackupsDialog::restored, this, [this](const QString& path) {
        context_.reportWrites(context_.installation().takeWrites());
        Q_UNUSED(path);
    });
    // Window-modal without a nested loop: the window's timers and tests go on.
    backupsDialog_->open();
}

void InfoPage::RebuildcmdClick() {
    RebuildSelection selection;
    selection.autoexec = Autoexecchk->isChecked();
    selection.liblist = Liblistchk->isChecked();
    selection.pluginsIni = Metamodchk->isChecked();
    selection.ntfConfig = NTFchk->isChecked();
    rebuilder_->run(selection, context_.installation().paths());
}

void InfoPage::PlatformcmbChange() {
    context_.installation().writeSetting(ownSettingName(OwnSetting::Platform),
                                         Platformcmb->currentData().toString(), context_.prompter());
}

void InfoPage::showPlatformSetting() {
    const QString stored =
        context_.installation().setting(ownSettingName(OwnSetting::Platform)).trimmed().toLower();
    const int i = Platformcmb->findData(stored.isEmpty() ? QStringLiteral("auto") : stored);
    loadingPlatform_ = true;
    Platformcmb->setCurrentIndex(i < 0 ? 0 : i);
    loadingPlatform_ = false;
}

void InfoPage::TransparencyChange() {
    const QString text = Transparency->text();
    if (const auto level = tarrow::transparencyLevel(text)) {
        context_.installation().writeSetting(ownSettingName(OwnSetting::Translucency), text,
                                             context_.prompter());
        window_.setTransparency(transparencyOnFor(*level), *level);
        return;
    }
    // Not a level: opaque, and the edit shows "255" (this change runs the rule again and stores it).
    window_.setTransparency(false, window_.transparencyLevel());
    Transparency->setText(QStringLiteral("255"));
}

void InfoPage::StatsSpeedChange() {
    const QString text = StatsSpeed->text();
    if (const auto seconds = statsSpeedSeconds(text)) {
        context_.installation().writeSetting(ownSettingName(OwnSetting::StatsSpeed), text,
                                             context_.prompter());
        window_.statusTimer->setInterval(*seconds * 1000);
        return;
    }
    window_.statusTimer->setInterval(kDefaultStatsSeconds * 1000);
}

void InfoPage::showInformation(const QString& root) {
    TarPathlbl->setText(kInstallPathCaption + QLatin1Char(' ') + root);
    TarKeylbl->setText(QStringLiteral("Tarrow Registry Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarrow\\"));
    GUIversionlbl->setText(QStringLiteral("Tarrow GUI Version: ") + PanelVersionText);
    if (root.isEmpty()) return;
    const QString dll = context_.installation().paths().pluginFolder + QStringLiteral("tarrow.dll");
    if (fileExists(dll)) {
        const auto version = FileVersionText(dll);
        TarVersionlbl->setText(version ? QStringLiteral("Tarrow Version: ") + *version
                                       : QStringLiteral("Tarrow Version: Not Installed/Error"));
    }
}

void InfoPage::ResetKeycmdClick() {
    if (!context_.prompter().confirm(QStringLiteral(
            "If you procede this option will reset the Tarrow installation path registry key and will shut "
            "down "
            "the Tarrow GUI, please restart the GUI to set the path again. Do you wish to continue?")))
        return;
    window_.statusTimer->stop();
    context_.installation().writeSetting(kInstallPathValue, QString(), context_.prompter());
    window_.close();
}

void InfoPage::TarPathlblDblClick() {
    context_.shell().openFolder(nativePath(context_.installation().root()));
}

void InfoPage::TarKeylblDblClick() {
    // There is no registry editor here: the settings file opens in the desktop's editor.
    if (context_.installation().store())
        context_.shell().openDocument(context_.installation().store()->fileName());
}

} // namespace tarrow
