// The "Server Config/Launcher" page and its inner pages.
#include "main.h"

#include "widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarrow {

namespace {

// Each inner page scrolls, so that nothing is cut off at any window size.
QWidget* scrolled(QWidget* page) {
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* area = new QScrollArea(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    area->setWidget(content);
    outer->addWidget(area);
    return content;
}

} // namespace

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

    // "  Basic  ": server kind and save, names, limits, rates, common options, and the launcher.
    QWidget* basicContent = scrolled(Basic);
    auto* basic = new QGridLayout(basicContent);
    int left = 0, right = 0;
    basic->addWidget(buildServerKindGroup(basicContent), left++, 0, 1, 2);
    right = left;
    const QList<QWidget*> basicGroups = buildServerGroups(SettingPage::Basic, basicContent);
    for (QWidget* g : basicGroups) {
        const bool options = static_cast<QGroupBox*>(g)->title() == QLatin1String("Common Server Options:");
        basic->addWidget(g, options ? right++ : left++, options ? 1 : 0);
    }
    basic->addWidget(buildRateGroup(basicContent), left++, 0);
    basic->addWidget(buildFriendlyFireGroup(basicContent), left++, 0);

    auto* launchGroup = new QGroupBox(QStringLiteral("Launcher:"), basicContent);
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
    const int span = std::max(1, left - right);
    basic->addWidget(launchGroup, right, 1, span, 1);
    right += span;
    basic->setRowStretch(std::max(left, right) + 1, 1);

    for (auto [page, kind] : {std::pair{Advanced, SettingPage::Advanced}, std::pair{Adminmod, SettingPage::Adminmod},
                              std::pair{Neotf, SettingPage::Neotf}, std::pair{NeotfCont, SettingPage::NeotfCont}}) {
        QWidget* content = scrolled(page);
        auto* grid = new QGridLayout(content);
        const QList<QWidget*> groups = buildServerGroups(kind, content);
        // The groups one below the other, in table order.
        int row = 0;
        for (QWidget* g : groups) grid->addWidget(g, row++, 0);
        grid->setRowStretch(row, 1);
    }

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

    syncServerControls();
}

} // namespace tarrow
