// The "Server Config/Launcher" page: its inner pages, on one shared server model.
#include "page_launcher.h"

#include "page_mapcycle.h"
#include "page_motd.h"
#include "page_server.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace tarrow {

LauncherPage::LauncherPage(WindowContext& context, QWidget* parent)
    : QWidget(parent), binding_(new ServerBinding(this)) {
    auto* layout = new QVBoxLayout(this);
    Launchertabs = new QTabWidget(this);
    Launchertabs->setObjectName(QStringLiteral("Launchertabs"));
    layout->addWidget(Launchertabs);
    QTabWidget* tabs = Launchertabs;
    Basic = addNamedPage(tabs, new BasicPage(context, *binding_, tabs), "Basic", QStringLiteral("  Basic  "));
    Advanced = addNamedPage(tabs, new ServerSettingsPage(*binding_, SettingPage::Advanced, tabs), "Advanced",
                            QStringLiteral("Advanced"));
    Mapcycle = addNamedPage(tabs, new MapcyclePage(context, tabs), "Mapcycle", QStringLiteral("Map Cycle"));
    MOTD = addNamedPage(tabs, new MotdPage(context, tabs), "MOTD", QStringLiteral("  MOTD  "));
    Adminmod = addNamedPage(tabs, new ServerSettingsPage(*binding_, SettingPage::Adminmod, tabs), "Adminmod",
                            QStringLiteral("Admin Mod"));
    Neotf = addNamedPage(tabs, new ServerSettingsPage(*binding_, SettingPage::Neotf, tabs), "Neotf",
                         QStringLiteral("  NeoTF  "));
    NeotfCont = addNamedPage(tabs, new ServerSettingsPage(*binding_, SettingPage::NeotfCont, tabs),
                             "NeotfCont", QStringLiteral("NeoTF Cont."));
    binding_->syncServerControls();
}

} // namespace tarrow
