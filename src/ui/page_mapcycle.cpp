// The "Map Cycle" page: the server's map rotation, and the overview picture of a map.
#include "page_mapcycle.h"

#include "app/installpaths.h"
#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "common/shell.h"
#include "common/textlists.h"
#include "launcher/mapcycle.h"
#include "widgets.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarrow {

namespace {

const QString kLoad = QStringLiteral("Load Mapcycle");
const QString kSave = QStringLiteral("Save Mapcycle");

QString mapcyclePath(const Installation& in) {
    return in.paths().mapcycle;
}

QPushButton* arrow(const char* name, const char* icon, const QString& accessible) {
    auto* b = new QPushButton;
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(QIcon(QStringLiteral(":/") + QLatin1String(icon)));
    b->setIconSize(QSize(24, 24));
    b->setAccessibleName(accessible);
    b->setToolTip(accessible);
    return b;
}

QStringList entriesOf(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

MapcyclePage::MapcyclePage(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* grid = new QGridLayout(this);
    auto* cycleCaption = new QLabel(QStringLiteral("Map cycle:"));
    mapcyclelst = new QListWidget(this);
    mapcyclelst->setObjectName(QStringLiteral("mapcyclelst"));
    mapcyclelst->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mapcyclelst->setAccessibleName(cycleCaption->text());
    cycleCaption->setBuddy(mapcyclelst);
    auto* allCaption = new QLabel(QStringLiteral("Installed maps:"));
    AllMaplst = new FileListBox(QStringLiteral("*.bsp"), this);
    AllMaplst->setObjectName(QStringLiteral("AllMaplst"));
    AllMaplst->setSelectionMode(QAbstractItemView::ExtendedSelection);
    AllMaplst->setAccessibleName(allCaption->text());
    allCaption->setBuddy(AllMaplst);

    leftmapcmd =
        arrow("leftmapcmd", "arrow-left.png", QStringLiteral("Add the selected maps to the map cycle"));
    rightmapcmd = arrow("rightmapcmd", "arrow-right.png",
                        QStringLiteral("Remove the selected maps from the map cycle"));
    upmapcmd = arrow("upmapcmd", "arrow-up.png", QStringLiteral("Move the selected map up"));
    downmapcmd = arrow("downmapcmd", "arrow-down.png", QStringLiteral("Move the selected map down"));
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    for (QPushButton* b : {leftmapcmd, rightmapcmd, upmapcmd, downmapcmd})
        arrows->addWidget(b);
    arrows->addStretch();

    mapcmd = new QPushButton(kLoad);
    mapcmd->setObjectName(QStringLiteral("mapcmd"));
    Closemapcmd = new QPushButton(QStringLiteral("Clear Mapcycle"));
    Closemapcmd->setObjectName(QStringLiteral("Closemapcmd"));
    showmapcmd = new QPushButton(QStringLiteral("Show Map"));
    showmapcmd->setObjectName(QStringLiteral("showmapcmd"));
    showmapcmd->setToolTip(
        QStringLiteral("Click this button to show a 2D map of the map, NOTE: Must have map overview in "
                       "\"<modname>\\overviews\\<mapname>.bmp\""));
    showmapcmd->setEnabled(false);

    grid->addWidget(cycleCaption, 0, 0);
    grid->addWidget(allCaption, 0, 2);
    grid->addWidget(mapcyclelst, 1, 0);
    grid->addLayout(arrows, 1, 1);
    grid->addWidget(AllMaplst, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mapcmd);
    buttons->addWidget(Closemapcmd);
    buttons->addStretch();
    buttons->addWidget(showmapcmd);
    grid->addLayout(buttons, 2, 0, 1, 3);

    connectGuarded(context_, mapcmd, &QPushButton::clicked, this, &MapcyclePage::mapcmdClick);
    connect(Closemapcmd, &QPushButton::clicked, this, &MapcyclePage::ClosemapcmdClick);
    connect(leftmapcmd, &QPushButton::clicked, this, &MapcyclePage::leftmapcmdClick);
    connect(rightmapcmd, &QPushButton::clicked, this, &MapcyclePage::rightmapcmdClick);
    connect(upmapcmd, &QPushButton::clicked, this, &MapcyclePage::upmapcmdClick);
    connect(downmapcmd, &QPushButton::clicked, this, &MapcyclePage::downmapcmdClick);
    connect(AllMaplst, &QListWidget::itemSelectionChanged, this, &MapcyclePage::AllMaplstClick);
    connect(AllMaplst, &QListWidget::currentItemChanged, this, &MapcyclePage::AllMaplstClick);
    connect(showmapcmd, &QPushButton::clicked, this, &MapcyclePage::showmapcmdClick);
}

void MapcyclePage::mapcmdClick() {
    const QString path = mapcyclePath(context_.installation());
    if (mode_ == Mode::Load) {
        if (!fileExists(path)) {
            context_.prompter().message(mapcycleMissingMessage(context_.installation().paths()));
            return;
        }
        const QStringList entries = mapcycleEntries(readLines(path));
        mapcyclelst->clear();
        mapcyclelst->addItems(entries);
        setMode(Mode::Save);
        return;
    }
    SaveListToFile(path, entriesOf(mapcyclelst), mapcycleHeader(), context_.installation().backups());
    setMode(Mode::Load);
    mapcyclelst->clear();
}

void MapcyclePage::setMode(Mode mode) {
    mode_ = mode;
    // Loading, saving or closing leaves nothing unsaved; the edits set the flag after this.
    edited_ = false;
    mapcmd->setText(mode == Mode::Load ? kLoad : kSave);
}

void MapcyclePage::ClosemapcmdClick() {
    mapcyclelst->clear();
    setMode(Mode::Load);
}

void MapcyclePage::leftmapcmdClick() {
    for (int i = 0; i < AllMaplst->count(); ++i) {
        const QListWidgetItem* item = AllMaplst->item(i);
        if (!item->isSelected()) continue;
        mapcyclelst->addItem(mapNameOf(item->text()));
        setMode(Mode::Save);
        edited_ = true;
    }
}

void MapcyclePage::rightmapcmdClick() {
    QList<int> rows;
    for (int i = 0; i < mapcyclelst->count(); ++i)
        if (mapcyclelst->item(i)->isSelected()) rows << i;
    QStringList entries = entriesOf(mapcyclelst);
    const std::optional<int> select = removeRows(entries, rows);
    mapcyclelst->clear();
    mapcyclelst->addItems(entries);
    if (!select) {
        setMode(Mode::Load);
        return;
    }
    setMode(Mode::Save);
    edited_ = true;
    mapcyclelst->setCurrentRow(*select);
    mapcyclelst->item(*select)->setSelected(true);
}

void MapcyclePage::moveCycleEntry(int by) {
    const QList<QListWidgetItem*> selected = mapcyclelst->selectedItems();
    if (selected.size() >= 2) {
        context_.prompter().message(QStringLiteral("You can only move one field at a time."));
        return;
    }
    if (selected.isEmpty()) return;
    const int row = mapcyclelst->row(selected.first());
    const int to = row + by;
    if (to < 0 || to >= mapcyclelst->count()) return;
    QListWidgetItem* item = mapcyclelst->takeItem(row);
    mapcyclelst->insertItem(to, item);
    edited_ = true;
    mapcyclelst->clearSelection();
    mapcyclelst->setCurrentItem(item);
    item->setSelected(true);
}

void MapcyclePage::upmapcmdClick() {
    moveCycleEntry(-1);
}

void MapcyclePage::downmapcmdClick() {
    moveCycleEntry(1);
}

void MapcyclePage::AllMaplstClick() {
    showmapcmd->setEnabled(false);
    if (AllMaplst->selectedItems().size() != 1 || !AllMaplst->currentItem()) return;
    showmapcmd->setEnabled(
        mapOverview(context_.installation().paths(), AllMaplst->currentItem()->text()).has_value());
}

void MapcyclePage::showmapcmdClick() {
    if (!AllMaplst->currentItem()) return;
    if (const auto picture = mapOverview(context_.installation().paths(), AllMaplst->currentItem()->text()))
        context_.shell().openDocument(nativePath(*picture));
}

} // namespace tarrow
