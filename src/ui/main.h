#pragma once

#include "common/fileio.h"
#include "page.h"
#include "page_configs.h"
#include "page_info.h"
#include "page_launcher.h"
#include "page_live.h"
#include "page_main.h"
#include "page_scripts.h"
#include "page_tarrow.h"
#include "statusdriver.h"
#include "statusoffers.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <functional>

class QKeyEvent;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;

namespace tarrow {

class HelpViewer;
class Prompter;
class Shell;
class SettingsStore;

// The program's one window: the page control with its six pages, the status timer and the refresh it
// runs, the page changes, and the error boundary every handler runs in. Each page is a class of its own
// that owns its controls; controls carry the names the rest of the team knows them by, as member names
// and as object names, and handlers are named after the control and the event.
class TMainfrm : public QMainWindow, public WindowContext {
    Q_OBJECT
  public:
    // The window works on the Half-Life folder stored in `settings`.
    TMainfrm(SettingsStore& settings, Prompter& prompter, Shell& shell, QWidget* parent = nullptr);
    ~TMainfrm() override;

    Prompter& prompter() override { return prompter_; }
    Shell& shell() override { return shell_; }

    // Runs `handler`, turning a failed file operation or conversion into the generic error box. The
    // files it wrote are then named in the status bar.
    bool guarded(const std::function<void()>& handler) override;
    const Installation& installation() const override { return installation_; }
    // Names in the status bar the files just written, and whether their previous versions were kept.
    void reportWrites(const QList<WriteRecord>& records) override;
    void showStatus(const QString& text) override;
    // Offers "Apply to running server" when the server answers and its console password is known.
    void serverSettingsSaved(const QString& fileName) override;
    // The status bar's offers after a change (apply, restart when empty).
    StatusBarOffers& offers() { return *offers_; }
    // What the window says where no Half-Life folder is set.
    static QString noInstallRootText() { return tarrow::noInstallRootText(); }

    // Puts the window where it was left, on the page last shown, and keeps both in the settings when it
    // closes. The program's entry turns this on: a window made for a test or a picture leaves the
    // settings alone.
    void rememberPlace();

    // Window transparency: on or off, level 0..255.
    void setTransparency(bool on, int level);
    bool transparencyOn() const { return transparencyOn_; }
    int transparencyLevel() const { return transparencyLevel_; }

    // Page control and pages, by index: 0 Main .. 5 Info.
    QTabWidget* Tabs = nullptr;
    MainPage* Main = nullptr;
    TarrowPage* Tarrow = nullptr;
    ScriptsPage* Scripts = nullptr;
    ConfigsPage* Configs = nullptr;
    LauncherPage* Launcher = nullptr;
    InfoPage* Info = nullptr;
    LivePage* Live = nullptr;

    QTimer* statustmr = nullptr;
    // File > Recent Folders, and the status bar's field that names the open folder.
    QMenu* recentmnu = nullptr;
    // Asks the live server again while its page is shown.
    QTimer* livetmr = nullptr;
    QLabel* folderlbl = nullptr;

    // Opens another Half-Life folder: unsaved edits are saved or dropped as the user says, then every
    // page starts afresh on it. It becomes the folder the window opens next time.
    void openFolder(const QString& folder);
    // The status refresh and the load flags it keeps between ticks.
    StatusRefresh& statusRefresh() { return driver_->refresh(); }

  public slots:
    void FormCreate();
    void TabsChange(int index);
    void statustmrTimer();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter presses the shown page's default button; Esc closes the file box's file.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool runGuarded(const std::function<void()>& handler);
    // A folder change or a close asked for while a handler ran, done once none runs.
    void runDeferred();
    int handlersRunning_ = 0;
    QString deferredFolder_;
    bool deferredClose_ = false;
    // Another folder is being opened: its own launcher choices come back (start-up opens without them).
    bool switchingFolder_ = false;
    void buildPages();
    void OpenFoldermnuClick();
    // The open folder in the status bar and the recent folders in the File menu.
    void showFolder();
    static QString folderCaption(const Installation& in);
    struct UnsavedEdit {
        QString page;
        std::function<void()> save;
    };
    QList<UnsavedEdit> unsavedEdits();
    // False when the user keeps the edits where they are (Cancel) or a save failed.
    bool settleUnsavedEdits();
    // File (Quit), View (the six pages, Ctrl+1..6) and Help (contents on F1, About).
    void buildMenus();
    void showWrites(const QList<WriteRecord>& records);
    void savePlace();
    // Help Contents (F1): the help file, or the usage notes where it is missing.
    void showHelp();
    // The window is closing: its pages go, the timer stops and the window fades out.
    void FormCloseQuery();

    SettingsStore& settings_;
    Installation installation_;
    Prompter& prompter_;
    Shell& shell_;
    bool transparencyOn_ = false;
    int transparencyLevel_ = 150;
    bool closing_ = false;
    bool remembersPlace_ = false;
    HelpViewer* help_ = nullptr;
    // The refresh on the status timer, and the status bar's offers: classes of their own beside the window.
    StatusDriver* driver_ = nullptr;
    StatusBarOffers* offers_ = nullptr;
};

} // namespace tarrow
