// The "  MOTD  " page: the message players see when they join.
#include "page_motd.h"

#include "app/installpaths.h"
#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/settingsstore.h"
#include "widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarrow {

namespace {
QString motdPath(const Installation& in) {
    return in.paths().motd;
}
} // namespace

MotdPage::MotdPage(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* grid = new QGridLayout(this);
    auto* label = new QLabel(QStringLiteral("This is the message that users will see upon entering your "
                                            "server. You might want to put information pertaining "
                                            "to any rules or regulations, map cycle, custom server features, "
                                            "server admin names, and/or links to find out more "
                                            "information about your server."));
    label->setWordWrap(true);
    MOTDtxt = new QPlainTextEdit(this);
    MOTDtxt->setObjectName(QStringLiteral("MOTDtxt"));
    MOTDtxt->setAccessibleName(QStringLiteral("Message of the day"));
    MOTDtxt->setEnabled(false);
    MOTDcmd = new QPushButton(QStringLiteral("Load MOTD"));
    MOTDcmd->setObjectName(QStringLiteral("MOTDcmd"));
    CloseMOTDcmd = new QPushButton(QStringLiteral("Close MOTD"));
    CloseMOTDcmd->setObjectName(QStringLiteral("CloseMOTDcmd"));
    grid->addWidget(label, 0, 0, 1, 3);
    grid->addWidget(MOTDtxt, 1, 0, 1, 3);
    grid->addWidget(MOTDcmd, 2, 0);
    grid->addWidget(CloseMOTDcmd, 2, 1);
    grid->setColumnStretch(2, 1);
    connectGuarded(context_, MOTDcmd, &QPushButton::clicked, this, &MotdPage::MOTDcmdClick);
    connect(CloseMOTDcmd, &QPushButton::clicked, this, &MotdPage::CloseMOTDcmdClick);
}

void MotdPage::MOTDcmdClick() {
    const QString path = motdPath(context_.installation());
    if (mode_ == Mode::Load) {
        if (!fileExists(path)) return;
        const QString text = editorTextFromBytes(readFileBytes(path));
        MOTDtxt->setPlainText(text);
        MOTDtxt->setEnabled(true);
        setMode(Mode::Save);
        return;
    }
    writeFileBytes(path, editorTextToCrLf(editorPlainText(MOTDtxt)), context_.installation().backups());
}

bool MotdPage::hasUnsavedText() const {
    return mode_ == Mode::Save && MOTDtxt->document()->isModified();
}

void MotdPage::setMode(Mode mode) {
    mode_ = mode;
    MOTDcmd->setText(mode == Mode::Load ? QStringLiteral("Load MOTD") : QStringLiteral("Save MOTD"));
}

void MotdPage::CloseMOTDcmdClick() {
    setMode(Mode::Load);
    MOTDtxt->clear();
    MOTDtxt->setEnabled(false);
}

} // namespace tarrow
