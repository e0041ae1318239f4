#include "backupsdialog.h"

#include "common/errors.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/prompter.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarrow {

namespace {

QString sizeText(qint64 bytes) {
    return QLocale::system().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

// A file's bytes for a side-by-side look: through Latin-1, as every file of the program is read.
QString preview(const QString& nativePath) {
    if (!QFileInfo(nativePath).isFile()) return QStringLiteral("(the file does not exist now)");
    try {
        return editorTextFromBytes(readFileBytes(nativePath));
    } catch (const IoError& e) {
        return e.text();
    }
}

QPlainTextEdit* viewer(const QString& name, const QString& caption) {
    auto* t = new QPlainTextEdit;
    t->setObjectName(name);
    t->setReadOnly(true);
    t->setLineWrapMode(QPlainTextEdit::NoWrap);
    t->setAccessibleName(caption);
    return t;
}

} // namespace

BackupsDialog::BackupsDialog(const BackupStore& backups, Prompter& prompter, QWidget* parent)
    : QDialog(parent), store_(backups), prompter_(prompter) {
    setObjectName(QStringLiteral("Backupsdlg"));
    setWindowTitle(QStringLiteral("Backups - Tarrow GUI"));
    resize(900, 560);
    auto* layout = new QVBoxLayout(this);
    Backuplbl = new QLabel(QStringLiteral("Previous versions kept in ") + backupFolder(store_.root()));
    Backuplbl->setWordWrap(true);
    layout->addWidget(Backuplbl);

    Backuplst = new QTreeWidget;
    Backuplst->setObjectName(QStringLiteral("Backuplst"));
    Backuplst->setAccessibleName(QStringLiteral("Backups"));
    Backuplst->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Time"), QStringLiteral("Size")});
    Backuplst->setRootIsDecorated(false);
    Backuplst->header()->setStretchLastSection(false);
    Backuplst->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    Backuplst->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    Backuplst->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(Backuplst);
    auto* sideBySide = new QSplitter(Qt::Horizontal);
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(new QLabel(QStringLiteral("Backup:")));
    Backuptxt = viewer(QStringLiteral("Backuptxt"), QStringLiteral("Backup"));
    leftLayout->addWidget(Backuptxt);
    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(new QLabel(QStringLiteral("Current file:")));
    Currenttxt = viewer(QStringLiteral("Currenttxt"), QStringLiteral("Current file"));
    rightLayout->addWidget(Currenttxt);
    sideBySide->addWidget(left);
    sideBySide->addWidget(right);
    split->addWidget(sideBySide);
    layout->addWidget(split, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    Restorecmd = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::ActionRole);
    Restorecmd->setObjectName(QStringLiteral("Restorecmd"));
    Restorecmd->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(Restorecmd, &QPushButton::clicked, this, &BackupsDialog::RestorecmdClick);
    connect(Backuplst, &QTreeWidget::currentItemChanged, this, &BackupsDialog::showChosen);
    reload();
}

void BackupsDialog::reload() {
    backups_ = store_.list();
    Backuplst->clear();
    for (const Backup& b : backups_) {
        auto* item = new QTreeWidgetItem(
            {b.relative, QLocale::system().toString(b.time, QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             sizeText(b.size)});
        item->setToolTip(0, b.backupPath);
        Backuplst->addTopLevelItem(item);
    }
    if (Backuplst->topLevelItemCount() > 0) Backuplst->setCurrentItem(Backuplst->topLevelItem(0));
    showChosen();
}

void BackupsDialog::showChosen() {
    const int i = Backuplst->indexOfTopLevelItem(Backuplst->currentItem());
    Restorecmd->setEnabled(i >= 0);
    if (i < 0) {
        Backuptxt->clear();
        Currenttxt->clear();
        return;
    }
    Backuptxt->setPlainText(preview(backups_[i].backupPath));
    Currenttxt->setPlainText(preview(backups_[i].original));
}

void BackupsDialog::RestorecmdClick() {
    const int i = Backuplst->indexOfTopLevelItem(Backuplst->currentItem());
    if (i < 0) return;
    const Backup b = backups_[i];
    const QString when = QLocale::system().toString(b.time, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!prompter_.confirm(
            QStringLiteral("Put back %1 as it was at %2? The current version is kept as a backup.")
                .arg(b.original, when)))
        return;
    try {
        store_.restore(b);
    } catch (const IoError& e) {
        prompter_.error(e.text());
        return;
    }
    emit restored(b.original);
    reload();
}

} // namespace tarrow
