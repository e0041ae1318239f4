// The "  Info/Help  " page: information labels, reset, and the window options.
#include "main.h"

#include "app/windowoptions.h"
#include "common/settingsstore.h"
#include "widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tarrow {

namespace {

QLineEdit* labelledEdit(QGridLayout* grid, int row, const char* name, const QString& label, const QString& hint) {
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
    for (QLabel* l : {static_cast<QLabel*>(TarKeylbl), static_cast<QLabel*>(TarPathlbl), TarVersionlbl, GUIversionlbl}) {
        l->setTextInteractionFlags(Qt::NoTextInteraction);
        l->setWordWrap(true);
        infoLayout->addWidget(l);
    }
    connect(TarKeylbl, &ClickLabel::doubleClicked, this, &TMainfrm::TarKeylblDblClick);
    connect(TarPathlbl, &ClickLabel::doubleClicked, this, &TMainfrm::TarPathlblDblClick);
    layout->addWidget(infoGroup, 0, 0);

    auto* resetGroup = new QGroupBox(QStringLiteral("Reset Options:"), Info);
    resetGroup->setObjectName(QStringLiteral("Resetgrp"));
    auto* resetLayout = new QVBoxLayout(resetGroup);
    ResetKeycmd = new QPushButton(QStringLiteral("Reset Tarrow Reg Key"));
    ResetKeycmd->setObjectName(QStringLiteral("ResetKeycmd"));
    resetLayout->addWidget(ResetKeycmd);
    resetLayout->addStretch();
    connect(ResetKeycmd, &QPushButton::clicked, this, [this] { guarded([this] { ResetKeycmdClick(); }); });
    layout->addWidget(resetGroup, 0, 1);

    auto* optionsGroup = new QGroupBox(QStringLiteral("Tarrow GUI Options:"), Info);
    optionsGroup->setObjectName(QStringLiteral("Optionsgrp"));
    auto* optionsLayout = new QGridLayout(optionsGroup);
    Transparency = labelledEdit(optionsLayout, 0, "Transparency", QStringLiteral("Transparency Level"),
                                QStringLiteral("Change this to enable transparency in the gui, the higher the number "
                                               "the more opaque the window is * NOTE * Only works on Windows 2000 or XP"));
    StatsSpeed = labelledEdit(optionsLayout, 1, "StatsSpeed", QStringLiteral("Statistics Refresh Speed"),
                              QStringLiteral("Seconds between two refreshes of the status page (5 to 20)"));
    optionsLayout->setColumnStretch(2, 1);
    connect(Transparency, &QLineEdit::textChanged, this, [this] { guarded([this] { TransparencyChange(); }); });
    connect(StatsSpeed, &QLineEdit::textChanged, this, [this] { guarded([this] { StatsSpeedChange(); }); });
    layout->addWidget(optionsGroup, 1, 0);

    layout->setRowStretch(3, 1);
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
