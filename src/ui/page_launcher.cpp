// The "Server Config/Launcher" page and its inner pages.
#include "main.h"

#include "widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarrow {

void TMainfrm::buildLauncherPage() {
    auto* layout = new QVBoxLayout(Launcher);
    Launchertabs = new QTabWidget(Launcher);
    Launchertabs->setObjectName(QStringLiteral("Launchertabs"));
    layout->addWidget(Launchertabs);
    auto inner = [this](const char* name, const QString& caption) {
        auto* page = new QWidget(Launchertabs);
        page->setObjectName(QString::fromLatin1(name));
        Launchertabs->addTab(page, caption);
        return page;
    };
    Basic = inner("Basic", QStringLiteral("  Basic  "));
    Advanced = inner("Advanced", QStringLiteral("Advanced"));
    Mapcycle = inner("Mapcycle", QStringLiteral("Map Cycle"));
    MOTD = inner("MOTD", QStringLiteral("  MOTD  "));
    Adminmod = inner("Adminmod", QStringLiteral("Admin Mod"));
    Neotf = inner("Neotf", QStringLiteral("  NeoTF  "));
    NeotfCont = inner("NeotfCont", QStringLiteral("NeoTF Cont."));

    auto* basic = new QGridLayout(Basic);
    auto* launchGroup = new QGroupBox(QStringLiteral("Launcher:"), Basic);
    auto* launchLayout = new QVBoxLayout(launchGroup);
    auto* mapCaption = new QLabel(QStringLiteral("Start map:"));
    StartMaplst = new FileListBox(QStringLiteral("*.bsp"), launchGroup);
    StartMaplst->setObjectName(QStringLiteral("StartMaplst"));
    StartMaplst->setAccessibleName(mapCaption->text());
    mapCaption->setBuddy(StartMaplst);
    auto* commandCaption = new QLabel(QStringLiteral("Additional command line options:"));
    Commandlinetxt = new QLineEdit(launchGroup);
    Commandlinetxt->setObjectName(QStringLiteral("Commandlinetxt"));
    Commandlinetxt->setAccessibleName(commandCaption->text());
    commandCaption->setBuddy(Commandlinetxt);
    launchLayout->addWidget(mapCaption);
    launchLayout->addWidget(StartMaplst);
    launchLayout->addWidget(commandCaption);
    launchLayout->addWidget(Commandlinetxt);
    basic->addWidget(launchGroup, 0, 1);
    basic->setColumnStretch(0, 2);
    basic->setColumnStretch(1, 1);

    auto* cycle = new QGridLayout(Mapcycle);
    auto* allCaption = new QLabel(QStringLiteral("Available maps:"));
    AllMaplst = new FileListBox(QStringLiteral("*.bsp"), Mapcycle);
    AllMaplst->setObjectName(QStringLiteral("AllMaplst"));
    AllMaplst->setSelectionMode(QAbstractItemView::ExtendedSelection);
    AllMaplst->setAccessibleName(allCaption->text());
    allCaption->setBuddy(AllMaplst);
    cycle->addWidget(allCaption, 0, 0);
    cycle->addWidget(AllMaplst, 1, 0);
    cycle->setColumnStretch(2, 1);
}

} // namespace tarrow
