#pragma once

#include "app/windowoptions.h"
#include "page.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace tarrow {

class FileListBox;
class MapcyclePage;
class MotdPage;
class ServerBinding;
class ServerSettingsPage;

// "  Basic  ": the server kind and its save, the basic settings, and the launcher.
class BasicPage : public QWidget {
    Q_OBJECT
  public:
    BasicPage(WindowContext& context, ServerBinding& binding, QWidget* parent);

    // Shows the installation's maps and the stored command line; with `ownChoices` also the start map and
    // the server kind last chosen for this folder.
    void showLaunchSettings(const QString& mapFolder, const QString& commandLine, bool ownChoices = false);

    QRadioButton* Dedicatedopt = nullptr;
    QRadioButton* Listenopt = nullptr;
    QPushButton* Saveservercmd = nullptr;
    FileListBox* StartMaplst = nullptr;
    QLineEdit* Commandlinetxt = nullptr;
    QPushButton* Launchcmd = nullptr;
    QCheckBox* Servicechk = nullptr;
    // How wine is found on PATH (tests put their own).
    std::function<QString()> wineFinder;

    // Whether the server runs as a systemd user service here: the box, and Launch as Start/Stop of the
    // service. Asked of systemd when the page shows, without waiting: the answer shows when it comes.
    void showServiceState();

  public slots:
    void DedicatedoptClick();
    void ListenoptClick();
    void SaveservercmdClick();
    void LaunchcmdClick();
    void StartMaplstClick(QListWidgetItem* item);
    void ServicechkClick();

  private:
    QString serviceName() const;
    void showLaunchState(const QString& caption, bool enabled);
    // Keeps a launcher choice in the folder's own settings.
    void rememberChoice(OwnSetting setting, const QString& value);
    bool serviceChecked_ = false;  // systemd was asked whether a user manager runs
    bool serviceAnswered_ = false; // and it answered
    bool serviceBusy_ = false;     // a start, stop, install or removal is on its way
    bool stateAsked_ = false;      // the service's state is being asked
    bool serviceAvailable_ = false;
    bool serviceInstalled_ = false;
    bool serviceActive_ = false;
    QWidget* buildServerKindGroup(QWidget* parent);
    QWidget* buildLaunchGroup(QWidget* parent);
    WindowContext& context_;
    ServerBinding& binding_;
};

// "Server Config/Launcher": the server's settings, map cycle and message of the day, and the launcher,
// on inner pages.
class LauncherPage : public QWidget {
    Q_OBJECT
  public:
    LauncherPage(WindowContext& context, QWidget* parent);

    ServerBinding& serverBinding() { return *binding_; }

    QTabWidget* Launchertabs = nullptr;
    BasicPage* Basic = nullptr;
    ServerSettingsPage* Advanced = nullptr;
    MapcyclePage* Mapcycle = nullptr;
    MotdPage* MOTD = nullptr;
    ServerSettingsPage* Adminmod = nullptr;
    ServerSettingsPage* Neotf = nullptr;
    ServerSettingsPage* NeotfCont = nullptr;

  private:
    ServerBinding* binding_;
};

} // namespace tarrow
