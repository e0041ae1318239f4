// The file box of the "Configure Tarrow" page: a plain editor for the known game and bot files.
#include "page_tarrow.h"

#include "app/componentsettings.h"
#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "common/textlists.h"
#include "gamefiles/fileeditor.h"
#include "widgets.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tarrow {

namespace {
// The label names the open file after this caption; the handlers read the path back from it.
const QString kCurrentFile = QStringLiteral("Current File: ");
const QString kNoFile = kCurrentFile + QStringLiteral("None");
const QString kLoadCaption = QStringLiteral("Load Selected File");
const QString kSaveCaption = QStringLiteral("Save Selected File");
const QString kLoadHint = QStringLiteral("Click here to load the selected file in the file box");
const QString kSaveHint = QStringLiteral("Click here to save the selected file in the file box");
} // namespace

void TarrowPage::buildFileBox(QBoxLayout* into) {
    auto* group = new QGroupBox(QStringLiteral("File Box:"), this);
    auto* layout = new QVBoxLayout(group);
    auto* caption = new QLabel(QStringLiteral("Known files:"));
    Filelst = new QComboBox(group);
    Filelst->setObjectName(QStringLiteral("Filelst"));
    Filelst->setAccessibleName(caption->text());
    caption->setBuddy(Filelst);
    LoadFilecmd = new QPushButton(kLoadCaption);
    LoadFilecmd->setObjectName(QStringLiteral("LoadFilecmd"));
    LoadFilecmd->setToolTip(kLoadHint);
    LoadFilecmd->setDefault(true);
    Botclosecmd = new QPushButton(QStringLiteral("Close File"));
    Botclosecmd->setObjectName(QStringLiteral("Botclosecmd"));
    Botclosecmd->setToolTip(QStringLiteral("Close currently open file"));
    Botclosecmd->setEnabled(false);
    Filelbl = new QLabel(kNoFile);
    Filelbl->setObjectName(QStringLiteral("Filelbl"));
    Filelbl->setWordWrap(true);
    Tartxt = new QPlainTextEdit(group);
    Tartxt->setObjectName(QStringLiteral("Tartxt"));
    Tartxt->setAccessibleName(QStringLiteral("File text"));
    Tartxt->setLineWrapMode(QPlainTextEdit::NoWrap);
    Tartxt->setEnabled(false);
    auto* row = new QHBoxLayout;
    row->addWidget(Filelst, 1);
    row->addWidget(LoadFilecmd);
    row->addWidget(Botclosecmd);
    layout->addWidget(caption);
    layout->addLayout(row);
    layout->addWidget(Filelbl);
    layout->addWidget(Tartxt, 1);
    into->addWidget(group, 2);

    connectGuarded(context_, LoadFilecmd, &QPushButton::clicked, this, &TarrowPage::LoadFilecmdClick);
    connectGuarded(context_, Botclosecmd, &QPushButton::clicked, this, &TarrowPage::BotclosecmdClick);
    connect(Tartxt, &QPlainTextEdit::textChanged, this, [this] {
        if (!loadingFile_) fileEdited_ = true;
    });
}

void TarrowPage::resetFileBox() {
    loadingFile_ = true;
    Tartxt->clear();
    loadingFile_ = false;
    Tartxt->setEnabled(false);
    LoadFilecmd->setText(kLoadCaption);
    LoadFilecmd->setToolTip(kLoadHint);
    Filelbl->setText(kNoFile);
    Botclosecmd->setEnabled(false);
    fileEdited_ = false;
    openFile_.clear();
    Filelst->setEnabled(true);
}

void TarrowPage::LoadFilecmdClick() {
    if (!openFile_.isEmpty()) {
        const QString path = openFile_;
        clearReadOnly(path);
        writeFileBytes(path, editorTextToCrLf(editorPlainText(Tartxt)), context_.installation().backups());
        resetFileBox();
        return;
    }
    // With no known file there is nothing to look for.
    const QString name = Filelst->currentText();
    if (name.isEmpty()) return;
    const InstallPaths paths = context_.installation().paths();
    const auto found = findKnownFile(paths, name);
    if (!found) {
        context_.prompter().message(knownFileNotFoundMessage(paths, name));
        return;
    }
    const qint64 size = QFileInfo(*found).size();
    if (size > kMaxEditableFileBytes) {
        context_.prompter().message(fileTooLargeMessage(*found, size));
        return;
    }
    const QString text = editorTextFromBytes(readFileBytes(*found));
    loadingFile_ = true;
    Tartxt->setPlainText(text);
    loadingFile_ = false;
    Filelbl->setText(kCurrentFile + *found);
    openFile_ = *found;
    Botclosecmd->setEnabled(true);
    Tartxt->setEnabled(true);
    LoadFilecmd->setText(kSaveCaption);
    LoadFilecmd->setToolTip(kSaveHint);
    Tartxt->setFocus();
    Filelst->setEnabled(false);
    fileEdited_ = false;
}

void TarrowPage::BotclosecmdClick() {
    if (fileEdited_ &&
        context_.prompter().confirm(QStringLiteral(
            "You have edited the open file, would you like to save it before you close it?"))) {
        // As asked here, without clearing a read-only attribute: such a file fails and stays open.
        writeFileBytes(openFile_, editorTextToCrLf(editorPlainText(Tartxt)),
                       context_.installation().backups());
    }
    resetFileBox();
}

void TarrowPage::setKnownFiles(const QStringList& names) {
    Filelst->clear();
    Filelst->addItems(names);
    Filelst->setCurrentIndex(Filelst->count() > 0 ? 0 : -1);
}

bool TarrowPage::hasUnsavedFile() const {
    return fileEdited_ && Botclosecmd->isEnabled();
}

void TarrowPage::saveOpenFile() {
    if (hasUnsavedFile()) LoadFilecmdClick();
}

bool TarrowPage::closeOpenFile() {
    if (!Botclosecmd->isEnabled()) return false;
    Botclosecmd->click();
    return true;
}

} // namespace tarrow
