// The "  Info/Help  " page: information labels, reset, and the window options.
#include "main.h"

#include "app/componentsettings.h"
#include "app/platform.h"
#include "app/windowoptions.h"
#include "backupsdialog.h"
#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
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

void TMainfrm::buildInfoPage() {
    auto* layout = new QGridLayout(Info);

    auto* infoGroup = new QGroupBox(QStringLiteral("Tarrow Information:"), Info);
    auto* infoLayout = new QVBoxLayout(infoGroup);
    TarKeylbl = new ClickLabel(QStringLiteral("Tarrow Registry Key:"));
    TarKeylbl->setObjectName(QStringLiteral("TarKeylbl"));
    TarKeylbl->setToolTip(QStringLiteral("Double click to open the settings file"));
    TarPathlbl = new ClickLabel(QStringLiteral("Tarrow Installation Path:"));
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
    connect(TarKeylbl, &ClickLabel::doubleClicked, this, &TMainfrm::TarKeylblDblClick);
    connect(TarPathlbl, &ClickLabel::doubleClicked, this, &TMainfrm::TarPathlblDblClick);
    layout->addWidget(infoGroup, 0, 0);

    buildRebuildGroup(Info, layout);

    auto* optionsGroup = new QGroupBox(QStringLiteral("Tarrow GUI Options:"), Info);
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
        if (!loadingPlatform_) guarded([this] { PlatformcmbChange(); });
    });
    optionsLayout->setColumnStretch(2, 1);
    connect(Transparency, &QLineEdit::textChanged, this,
            [this] { guarded([this] { TransparencyChange(); }); });
    connect(StatsSpeed, &QLineEdit::textChanged, this, [this] { guarded([this] { StatsSpeedChange(); }); });
    layout->addWidget(optionsGroup, 1, 0);
    layout->addWidget(buildDumpGroup(Info), 1, 1);
    layout->addWidget(buildResourcesGroup(Info), 2, 0, 1, 2);

    layout->setRowStretch(3, 1);
}

void TMainfrm::buildRebuildGroup(QWidget* parent, QGridLayout* into) {
    auto* group = new QGroupBox(QStringLiteral("Reset Options:"), parent);
    group->setObjectName(QStringLiteral("Resetgrp"));
    auto* grid = new QGridLayout(group);
    auto* notice = new QLabel(QStringLiteral(
        "This will overwrite and reset your HalfLife configuration back to its default state."));
    notice->setWordWrap(true);
    grid->addWidget(notice, 0, 0, 1, 2);
    Autoexecchk = named(new QCheckBox(QStringLiteral("Autoexec.cfg"), group), "Autoexecchk");
    Liblistchk = named(new QCheckBox(QStringLiteral("Liblist.gam"), group), "Liblistchk");
    Metamodchk = named(new QCheckBox(QStringLiteral("Plugins.ini"), group), "Metamodchk");
    NTFchk = named(new QCheckBox(QStringLiteral("NTF_Config.txt"), group), "NTFchk");
    grid->addWidget(Autoexecchk, 1, 0);
    grid->addWidget(Liblistchk, 1, 1);
    grid->addWidget(Metamodchk, 2, 0);
    grid->addWidget(NTFchk, 2, 1);
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
    connect(ResetKeycmd, &QPushButton::clicked, this, [this] { guarded([this] { ResetKeycmdClick(); }); });
    connect(Backupscmd, &QPushButton::clicked, this, [this] { guarded([this] { BackupscmdClick(); }); });
    connect(Rebuildcmd, &QPushButton::clicked, this, [this] { guarded([this] { RebuildcmdClick(); }); });
    into->addWidget(group, 0, 1);

    rebuilder_ = std::make_unique<Rebuilder>();
    rebuilder_->setLabel = [this](const QString& text) { Rebuildlbl->setText(text); };
    rebuilder_->stopStatusTimer = [this] { statustmr->stop(); };
    rebuilder_->clearSelection = [this] {
        for (QCheckBox* c : {Autoexecchk, Liblistchk, Metamodchk, NTFchk})
            c->setChecked(false);
    };
}

void TMainfrm::BackupscmdClick() {
    const QString root = ReadInstallRoot();
    if (root.isEmpty()) {
        prompter_.message(noInstallRootText());
        return;
    }
    if (backupsDialog_) backupsDialog_->deleteLater();
    backupsDialog_ = new BackupsDialog(nativePath(root), prompter_, this);
    connect(backupsDialog_, &BackupsDialog::restored, this, [this](const QString& path) {
        reportWrites(takeWriteJournal());
        Q_UNUSED(path);
    });
    // Window-modal without a nested loop: the window's timers and tests go on.
    backupsDialog_->open();
}

void TMainfrm::RebuildcmdClick() {
    RebuildSelection selection;
    selection.autoexec = Autoexecchk->isChecked();
    selection.liblist = Liblistchk->isChecked();
    selection.pluginsIni = Metamodchk->isChecked();
    selection.ntfConfig = NTFchk->isChecked();
    rebuilder_->run(selection, ReadInstallRoot(), SelectedModFolder(), components());
}

void TMainfrm::PlatformcmbChange() {
    RegWriteString(kTarrowKey, kPlatformValue, Platformcmb->currentData().toString(), prompter_);
}

void TMainfrm::showPlatformSetting() {
    const QString stored = RegReadString(kTarrowKey, kPlatformValue).trimmed().toLower();
    const int i = Platformcmb->findData(stored.isEmpty() ? QStringLiteral("auto") : stored);
    loadingPlatform_ = true;
    Platformcmb->setCurrentIndex(i < 0 ? 0 : i);
    loadingPlatform_ = false;
}

void TMainfrm::TransparencyChange() {
    const QString text = Transparency->text();
    if (const auto level = tarrow::transparencyLevel(text)) {
        RegWriteString(kTarrowKey, QStringLiteral("translucency"), text, prompter_);
        setTransparency(transparencyOnFor(*level), *level);
        return;
    }
    // Not a level: opaque, and the edit shows "255" (this change runs the rule again and stores it).
    setTransparency(false, transparencyLevel_);
    Transparency->setText(QStringLiteral("255"));
}

void TMainfrm::StatsSpeedChange() {
    const QString text = StatsSpeed->text();
    if (const auto seconds = statsSpeedSeconds(text)) {
        RegWriteString(kTarrowKey, QStringLiteral("Stats Speed"), text, prompter_);
        statustmr->setInterval(*seconds * 1000);
        return;
    }
    statustmr->setInterval(kDefaultStatsSeconds * 1000);
}

} // namespace tarrow
