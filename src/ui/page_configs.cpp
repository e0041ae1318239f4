// The "Tarrow Configs" page: the per-map configuration files of the bot.
#include "page_configs.h"

#include "common/fileio.h"
#include "common/paths.h"
#include "widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarrow {

namespace {
const QString kNoFile = QStringLiteral("Current File: None");
}

ConfigsPage::ConfigsPage(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* layout = new QGridLayout(this);
    auto* caption = new QLabel(QStringLiteral("Per-map configurations:"));
    Configlst = new FileListBox(QStringLiteral("*.cfg"), this);
    Configlst->setObjectName(QStringLiteral("Configlst"));
    Configlst->setToolTip(QStringLiteral("Double click to load the selected file"));
    Configlst->setAccessibleName(caption->text());
    caption->setBuddy(Configlst);
    Configlbl = new QLabel(kNoFile);
    Configlbl->setObjectName(QStringLiteral("Configlbl"));
    Configlbl->setWordWrap(true);
    Configtxt = new QPlainTextEdit(this);
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

    connectGuarded(context_, Configlst, &QListWidget::itemDoubleClicked, this,
                   &ConfigsPage::ConfiglstDblClick);
    connectGuarded(context_, Loadconfigcmd, &QPushButton::clicked, this, &ConfigsPage::LoadconfigcmdClick);
    connectGuarded(context_, Saveconfigcmd, &QPushButton::clicked, this, &ConfigsPage::SaveconfigcmdClick);
    connectGuarded(context_, Closeconfigcmd, &QPushButton::clicked, this, &ConfigsPage::CloseconfigcmdClick);
}

void ConfigsPage::showConfigFolder(const QString& folder) {
    if (folderExists(folder)) Configlst->setFolder(folder);
}

bool ConfigsPage::hasUnsavedConfig() const {
    return Saveconfigcmd->isEnabled() && Configtxt->document()->isModified();
}

void ConfigsPage::setConfigOpen(bool open) {
    Configlst->setEnabled(!open);
    Configtxt->setEnabled(open);
    Loadconfigcmd->setEnabled(!open);
    Saveconfigcmd->setEnabled(open);
    Closeconfigcmd->setEnabled(open);
}

void ConfigsPage::ConfiglstDblClick() {
    LoadconfigcmdClick();
}

void ConfigsPage::LoadconfigcmdClick() {
    const QListWidgetItem* item = Configlst->currentItem();
    if (!item || !Configlst->isEnabled()) return;
    const QString path = nativePath(Configlst->folderWithSeparator() + item->text());
    if (!fileExists(path)) return;
    Configtxt->setPlainText(editorTextFromBytes(readFileBytes(path)));
    Configlbl->setText(path);
    setConfigOpen(true);
    Configtxt->setFocus();
}

void ConfigsPage::SaveconfigcmdClick() {
    writeFileBytes(Configlbl->text(), editorTextToCrLf(editorPlainText(Configtxt)),
                   context_.installation().backups());
    CloseconfigcmdClick();
}

void ConfigsPage::CloseconfigcmdClick() {
    Configtxt->clear();
    Configlbl->setText(kNoFile);
    setConfigOpen(false);
}

} // namespace tarrow
