// The "Tarrow Configs" page: the per-map configuration files of the bot.
#include "main.h"

#include "common/fileio.h"
#include "common/paths.h"
#include "widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarrow {

namespace {
const QString kNoFile = QStringLiteral("Current File: None");
}

void TMainfrm::buildConfigsPage() {
    auto* layout = new QGridLayout(Configs);
    auto* caption = new QLabel(QStringLiteral("Per-map configurations:"));
    Configlst = new FileListBox(QStringLiteral("*.cfg"), Configs);
    Configlst->setObjectName(QStringLiteral("Configlst"));
    Configlst->setToolTip(QStringLiteral("Double click to load the selected file"));
    Configlst->setAccessibleName(caption->text());
    caption->setBuddy(Configlst);
    Configlbl = new QLabel(kNoFile);
    Configlbl->setObjectName(QStringLiteral("Configlbl"));
    Configlbl->setWordWrap(true);
    Configtxt = new QPlainTextEdit(Configs);
    Configtxt->setObjectName(QStringLiteral("Configtxt"));
    Configtxt->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Configtxt->setAccessibleName(QStringLiteral("Configuration text"));
    Configtxt->setEnabled(false);
    Loadconfigcmd = new QPushButton(QStringLiteral("&Load File"));
    Loadconfigcmd->setObjectName(QStringLiteral("Loadconfigcmd"));
    Saveconfigcmd = new QPushButton(QStringLiteral("&Save File"));
    Saveconfigcmd->setObjectName(QStringLiteral("Saveconfigcmd"));
    Saveconfigcmd->setEnabled(false);
    Closeconfigcmd = new QPushButton(QStringLiteral("&Close File"));
    Closeconfigcmd->setObjectName(QStringLiteral("Closeconfigcmd"));
    Closeconfigcmd->setEnabled(false);

    layout->addWidget(caption, 0, 0);
    layout->addWidget(Configlbl, 0, 1);
    layout->addWidget(Configlst, 1, 0);
    layout->addWidget(Configtxt, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Loadconfigcmd);
    buttons->addWidget(Saveconfigcmd);
    buttons->addWidget(Closeconfigcmd);
    buttons->addStretch();
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 3);

    connect(Configlst, &QListWidget::itemDoubleClicked, this,
            [this] { guarded([this] { ConfiglstDblClick(); }); });
    connect(Loadconfigcmd, &QPushButton::clicked, this,
            [this] { guarded([this] { LoadconfigcmdClick(); }); });
    connect(Saveconfigcmd, &QPushButton::clicked, this,
            [this] { guarded([this] { SaveconfigcmdClick(); }); });
    connect(Closeconfigcmd, &QPushButton::clicked, this,
            [this] { guarded([this] { CloseconfigcmdClick(); }); });
}

void TMainfrm::setConfigOpen(bool open) {
    Configlst->setEnabled(!open);
    Configtxt->setEnabled(open);
    Loadconfigcmd->setEnabled(!open);
    Saveconfigcmd->setEnabled(open);
    Closeconfigcmd->setEnabled(open);
}

void TMainfrm::ConfiglstDblClick() {
    LoadconfigcmdClick();
}

void TMainfrm::LoadconfigcmdClick() {
    const QListWidgetItem* item = Configlst->currentItem();
    if (!item || !Configlst->isEnabled()) return;
    const QString path = nativePath(Configlst->folderWithSeparator() + item->text());
    if (!fileExists(path)) return;
    Configtxt->setPlainText(editorTextFromBytes(readFileBytes(path)));
    Configlbl->setText(path);
    setConfigOpen(true);
    Configtxt->setFocus();
}

void TMainfrm::SaveconfigcmdClick() {
    writeFileBytes(Configlbl->text(), editorTextToCrLf(editorPlainText(Configtxt)));
    CloseconfigcmdClick();
}

void TMainfrm::CloseconfigcmdClick() {
    Configtxt->clear();
    Configlbl->setText(kNoFile);
    setConfigOpen(false);
}

} // namespace tarrow
