// The Info page's dump group and its resources: the support dump on the desktop, help files and sites.
#include "page_info.h"

#include "app/componentsettings.h"
#include "app/installpaths.h"
#include "app/webaddresses.h"
#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "common/shell.h"
#include "common/textlists.h"
#include "common/wait.h"
#include "widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTime>
#include <QTimer>

namespace tarrow {

QWidget* InfoPage::buildDumpGroup() {
    auto* group = new QGroupBox(QStringLiteral("Info Dump:"), this);
    QGridLayout* grid = checkBoxGroup(
        group, QStringLiteral("Select any additional files you wish to include in the debug info dump."),
        {{&Pluginchk, "Plugin.ini", "Pluginchk"},
         {&Serverchk, "Server.cfg/Listenserver.cfg", "Serverchk"},
         {&botchk, "Bot.txt", "botchk"},
         {&Tarrowchk, "Tarrow.cfg/Default.cfg", "Tarrowchk"}});
    Dumpcmd = new QPushButton(QStringLiteral("Start Info Dump"), group);
    Dumpcmd->setObjectName(QStringLiteral("Dumpcmd"));
    Dumpcmd->setToolTip(
        QStringLiteral("Click here to dump info to your desktop to send to the Tarrow team to debug."));
    grid->addWidget(Dumpcmd, 3, 0);
    connectGuarded(context_, Dumpcmd, &QPushButton::clicked, this, &InfoPage::DumpcmdClick);
    desktopFolder = [] { return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation); };
    return group;
}

QWidget* InfoPage::buildResourcesGroup() {
    auto* group = new QGroupBox(QStringLiteral("Resources:"), this);
    auto* grid = new QGridLayout(group);
    Helpcmd = named(new QPushButton(QStringLiteral("Tarrow Help File"), group), "Helpcmd");
    guihelpcmd = named(new QPushButton(QStringLiteral("Tarrow GUI Help File"), group), "guihelpcmd");
    connect(Helpcmd, &QPushButton::clicked, this, &InfoPage::HelpcmdClick);
    connect(guihelpcmd, &QPushButton::clicked, this, &InfoPage::guihelpcmdClick);
    const struct {
        const char* name;
        QString caption;
        const QString& address;
    } web[] = {
        {"Forumscmd", QStringLiteral("Tarrow Forums"), WebAddresses::TarrowForumsAddress},
        {"Faqcmd", QStringLiteral("Tarrow Web Help"), WebAddresses::TarrowFaqAddress},
        {"GUIFaqcmd", QStringLiteral("Tarrow GUI Web Help"), WebAddresses::TarrowGuiFaqAddress},
        {"Contactcmd", QStringLiteral("Contact ") + WebAddresses::TarrowAuthorForumName,
         WebAddresses::TarrowContactAddress},
        {"WDBcmd", QStringLiteral("Waypoint Database"), WebAddresses::WaypointDatabaseAddress},
        {"Adminmodcmd", QStringLiteral("Admin Mod Website"), WebAddresses::AdminmodSiteAddress},
        {"Metamodcmd", QStringLiteral("Metamod Website"), WebAddresses::MetamodSiteAddress},
        {"Neotfcmd", QStringLiteral("NeoTF Website"), WebAddresses::NeotfSiteAddress},
    };
    QList<QPushButton*> all{Helpcmd, guihelpcmd};
    for (const auto& w : web) {
        QPushButton* b = named(new QPushButton(w.caption, group), w.name);
        const QString address = w.address;
        b->setToolTip(address);
        // Opened without a test beforehand and without a message.
        connect(b, &QPushButton::clicked, this,
                [this, address] { context_.shell().openWebAddress(address); });
        all << b;
    }
    for (int i = 0; i < all.size(); ++i)
        grid->addWidget(all[i], i / 5, i % 5);
    return group;
}

namespace {

void openHelp(WindowContext& context, const QString& file, const QString& missing) {
    Shell& shell = context.shell();
    Prompter& prompter = context.prompter();
    const QString path = context.installation().paths().pluginFolder + file;
    if (fileExists(path))
        shell.openDocument(nativePath(path));
    else
        prompter.message(missing + nativePath(path));
}

} // namespace

void InfoPage::HelpcmdClick() {
    openHelp(context_, QStringLiteral("Tarrow_Documentation.chm"),
             QStringLiteral("Your Tarrow help file could not be located, Expected path: "));
}

void InfoPage::guihelpcmdClick() {
    openHelp(context_, QStringLiteral("Tarrow_GUI_Help.chm"),
             QStringLiteral("Your Tarrow GUI help file could not be located, Expected path: "));
}

void InfoPage::DumpcmdClick() {
    window_.statusTimer->stop();
    context_.prompter().message(
        QStringLiteral("The Tarrow GUI will now begin an info dump on your HL setup, please do not touch any "
                       "keys or move the mouse "
                       "untill it has finished, you will recieve a message once it has finished."));
    const QString folder = desktopFolder() + QStringLiteral("\\TARROW DEBUG INFO\\");
    createFolder(folder);
    DumpSelection selection;
    selection.plugin = Pluginchk->isChecked();
    selection.server = Serverchk->isChecked();
    selection.bot = botchk->isChecked();
    selection.tarrow = Tarrowchk->isChecked();
    const InstallPaths paths = context_.installation().paths();
    QStringList report;
    writeInfoDumpReport(folder, report, paths, context_.installation().components(), selection, dumpReadings);

    // One refresh, so the page copies show the state as of now.
    window_.statusTimer->setInterval(1000);
    window_.statusTimer->start();
    WaitWithMessages(1500);
    window_.statusTimer->stop();

    copyStatusPages(folder, paths.pluginFolder, longTimeText(dumpReadings.now().time()));
    context_.shell().openFolder(nativePath(folder));
    for (QCheckBox* c : {Tarrowchk, botchk, Pluginchk, Serverchk})
        c->setChecked(false);
    WaitWithMessages(1000);
    // The status bar keeps saying where the folder went after the message box is gone.
    context_.showStatus(QStringLiteral("Support dump written to ") + nativePath(folder));
    context_.prompter().message(
        QStringLiteral("The info dump is now finished, this folder was placed on your desktop "
                       "and contains the files needed to debug your "
                       "setup, please submit these files to the Tarrow team for analysis."));
}

} // namespace tarrow
