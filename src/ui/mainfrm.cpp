#include "main.h"

#include "app/componentsettings.h"
#include "app/folders.h"
#include "app/installroot.h"
#include "app/loaderfiles.h"
#include "app/windowoptions.h"
#include "common/errors.h"
#include "common/fileio.h"
#include "common/fileversion.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/settingsstore.h"
#include "common/shell.h"
#include "common/textlists.h"
#include "common/wait.h"
#include "gamefiles/knownfiles.h"
#include "gamefiles/rebuild.h"
#include "guardedapp.h"
#include "helpviewer.h"
#include "page_mapcycle.h"
#include "page_motd.h"
#include "page_server.h"
#include "serverconfig/serverfiles.h"
#include "serverconfig/servermodel.h"
#include "service/manage.h"
#include "service/systemctl.h"
#include "service/units.h"
#include "status/actions.h"
#include "status/opening.h"
#include "status/pages.h"
#include "statuspane.h"
#include "widgets.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace tarrow {

TMainfrm::TMainfrm(SettingsStore& settings, Prompter& prompter, Shell& shell, QWidget* parent)
    : QMainWindow(parent), settings_(settings), installation_(Installation::stored(settings)),
      prompter_(prompter), shell_(shell) {
    setObjectName(QStringLiteral("Mainfrm"));
    setWindowTitle(QStringLiteral("Tarrow GUI"));
    setWindowIcon(QIcon(QStringLiteral(":/tarrow-gui.png")));
    resize(820, 700);

    statusBar()->setObjectName(QStringLiteral("StatusBar"));

    Tabs = new QTabWidget(this);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    setCentralWidget(Tabs);
    statustmr = new QTimer(this);
    driver_ = new StatusDriver(*this);
    offers_ = new StatusBarOffers(*this);
    livetmr = new QTimer(this);
    livetmr->setObjectName(QStringLiteral("livetmr"));
    connect(livetmr, &QTimer::timeout, this, [this] { Live->refresh(); });
    folderlbl = new QLabel(this);
    folderlbl->setObjectName(QStringLiteral("folderlbl"));
    statusBar()->addPermanentWidget(folderlbl);
    buildPages();

    statustmr->setObjectName(QStringLiteral("statustmr"));
    statustmr->setInterval(1000);
    connect(statustmr, &QTimer::timeout, this, &TMainfrm::statustmrTimer);

    buildMenus();
    connect(Tabs, &QTabWidget::currentChanged, this, &TMainfrm::TabsChange);
    // Whatever escapes a handler anyway reaches the event loop's guard: it shows the same box.
    GuardedApplication::setErrorSink(this, [this](const QString& text) {
        prompter_.error(text);
        showWrites(installation_.takeWrites());
    });
    // The creation handler runs as the window is made; a failure stops it with the error box and the
    // window opens without the later steps.
    runGuarded([this] { FormCreate(); });
    showFolder();
}

void TMainfrm::buildPages() {
    Main = addNamedPage(Tabs, new MainPage(shell_, Tabs), "Main", QStringLiteral(" Server Status "));
    Tarrow = addNamedPage(Tabs, new TarrowPage(*this, Tabs), "Tarrow", QStringLiteral("Configure Tarrow"));
    Scripts = addNamedPage(Tabs, new ScriptsPage(*this, Tabs), "Scripts", QStringLiteral("Tarrow Scripts"));
    Configs = addNamedPage(Tabs, new ConfigsPage(*this, Tabs), "Configs", QStringLiteral("Tarrow Configs"));
    Launcher = addNamedPage(Tabs, new LauncherPage(*this, Tabs), "Launcher",
                            QStringLiteral("Server Config/Launcher"));
    WindowControls controls;
    controls.statusTimer = statustmr;
    controls.setTransparency = [this](bool on, int level) { setTransparency(on, level); };
    controls.transparencyLevel = [this] { return transparencyLevel_; };
    controls.close = [this] { close(); };
    Info = addNamedPage(Tabs, new InfoPage(*this, std::move(controls), Tabs), "Info",
                        QStringLiteral("  Info/Help  "));
    Live = addNamedPage(Tabs, new LivePage(*this, Tabs), "Live", QStringLiteral("Live Server"));
    connect(Main->Status, &StatusPane::componentClicked, driver_, &StatusDriver::click);
    // Each page's own filter goes with the page when another folder opens.
    for (int i = 0; i < Tabs->count(); ++i)
        keepWheelForScrolling(Tabs->widget(i));
}

QString TMainfrm::folderCaption(const Installation& in) {
    return nativePath(in.root()) + QStringLiteral(" (") + in.mod() + QStringLiteral(", ") +
           (in.platform() == ServerPlatform::Linux ? QStringLiteral("Linux") : QStringLiteral("Windows")) +
           QLatin1Char(')');
}

void TMainfrm::showFolder() {
    // The whole path in the tool tip; in the bar, its middle gives way to the news on the left.
    const QString caption = installation_.isSet() ? folderCaption(installation_) : QString();
    folderlbl->setToolTip(caption);
    folderlbl->setAccessibleName(caption);
    folderlbl->setText(folderlbl->fontMetrics().elidedText(caption, Qt::ElideMiddle, 360));
    recentmnu->clear();
    QList<KnownFolder> folders = KnownFolders(settings_).list();
    // The newest first, eight at most.
    std::reverse(folders.begin(), folders.end());
    for (const KnownFolder& f : folders.mid(0, 8)) {
        const Installation in(&settings_, f.root);
        QAction* a =
            recentmnu->addAction(folderCaption(in), this, [this, root = f.root] { openFolder(root); });
        a->setCheckable(true);
        a->setChecked(f.index == installation_.folderIndex());
    }
    recentmnu->setEnabled(!recentmnu->isEmpty());
}

QList<TMainfrm::UnsavedEdit> TMainfrm::unsavedEdits() {
    QList<UnsavedEdit> out;
    if (Tarrow->hasUnsavedBotSettings())
        out.append({QStringLiteral("Bot settings"), [this] { Tarrow->TarcmdClick(); }});
    if (Tarrow->hasUnsavedFile())
        out.append({Tabs->tabText(1).trimmed(), [this] { Tarrow->saveOpenFile(); }});
    if (Scripts->hasUnsavedScript())
        out.append({Tabs->tabText(2).trimmed(), [this] { Scripts->ScriptFcmdClick(); }});
    if (Configs->hasUnsavedConfig())
        out.append({Tabs->tabText(3).trimmed(), [this] { Configs->SaveconfigcmdClick(); }});
    if (Launcher->Mapcycle->hasUnsavedList())
        out.append({QStringLiteral("Map Cycle"), [this] { Launcher->Mapcycle->mapcmdClick(); }});
    if (Launcher->MOTD->hasUnsavedText())
        out.append({QStringLiteral("MOTD"), [this] { Launcher->MOTD->MOTDcmdClick(); }});
    // Server settings can be saved only once the server kind is chosen.
    const ServerModel& server = Launcher->serverBinding().model();
    if (server.serverKind != ServerModel::ServerKind::None && hasChangedRows(server))
        out.append({QStringLiteral("Server settings"), [this] { Launcher->Basic->SaveservercmdClick(); }});
    return out;
}

bool TMainfrm::settleUnsavedEdits() {
    const QList<UnsavedEdit> edits = unsavedEdits();
    if (edits.isEmpty()) return true;
    QStringList pages;
    for (const UnsavedEdit& e : edits)
        pages << e.page;
    const auto choice = prompter_.askToSave(
        QStringLiteral(
            "These pages have edits that are not saved: %1. Save them before another folder opens?")
            .arg(pages.join(QStringLiteral(", "))));
    if (choice == Prompter::SaveChoice::Cancel) return false;
    if (choice == Prompter::SaveChoice::Discard) return true;
    for (const UnsavedEdit& e : edits)
        if (!runGuarded(e.save)) return false;
    return true;
}

void TMainfrm::OpenFoldermnuClick() {
    const QString folder = prompter_.browseForFolder(QStringLiteral("Select a Half Life install folder."));
    if (!folder.isEmpty()) openFolder(folder);
}

void TMainfrm::openFolder(const QString& folder) {
    // A step under way (a rebuild's or a dump's paced waits, a box it shows) runs in a page that a
    // folder change would delete: the folder opens when the step has ended.
    if (handlersRunning_ > 0) {
        deferredFolder_ = folder;
        statusBar()->showMessage(
            QStringLiteral("%1 opens when the step under way has ended.").arg(nativePath(folder)));
        return;
    }
    if (!QFileInfo(nativePath(folder)).isDir()) {
        prompter_.message(QStringLiteral("The folder %1 does not exist.").arg(nativePath(folder)));
        return;
    }
    const QString root = withRootSeparator(KnownFolders::canonical(folder));
    if (installation_.isSet() &&
        KnownFolders::canonical(installation_.root()) == KnownFolders::canonical(root))
        return;
    if (!settleUnsavedEdits()) return;
    const int page = Tabs->currentIndex();
    statustmr->stop();
    if (installation_.isSet()) guarded([this] { deleteGeneratedPages(installation_.paths().pluginFolder); });
    if (!KnownFolders(settings_).makeCurrent(root, prompter_)) {
        prompter_.message(QStringLiteral("Error creating key! ") + kTarrowKey + QLatin1Char('\\') +
                          kInstallPathValue);
        return;
    }

    // Every page starts afresh on the new folder.
    const QSignalBlocker quiet(Tabs);
    for (QWidget* old :
         {static_cast<QWidget*>(Main), static_cast<QWidget*>(Tarrow), static_cast<QWidget*>(Scripts),
          static_cast<QWidget*>(Configs), static_cast<QWidget*>(Launcher), static_cast<QWidget*>(Info),
          static_cast<QWidget*>(Live)})
        delete old;
    buildPages();
    driver_->reset();
    Tabs->setCurrentIndex(page);
    switchingFolder_ = true;
    runGuarded([this] { FormCreate(); });
    switchingFolder_ = false;
    showFolder();
    TabsChange(Tabs->currentIndex());
}

TMainfrm::~TMainfrm() {
    GuardedApplication::clearErrorSink(this);
}

void TMainfrm::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("Filemnu"));
    QAction* open =
        file->addAction(QStringLiteral("&Open Half-Life Folder..."), this, &TMainfrm::OpenFoldermnuClick);
    open->setObjectName(QStringLiteral("OpenFoldermnu"));
    open->setShortcut(QKeySequence::Open);
    recentmnu = file->addMenu(QStringLiteral("&Recent Folders"));
    recentmnu->setObjectName(QStringLiteral("Recentmnu"));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Quit"), this, &QWidget::close);
    quit->setObjectName(QStringLiteral("Quitmnu"));
    quit->setShortcut(QKeySequence::Quit);
    if (quit->shortcut().isEmpty()) quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("Viewmnu"));
    for (int i = 0; i < Tabs->count(); ++i) {
        QAction* page =
            view->addAction(Tabs->tabText(i).trimmed(), this, [this, i] { Tabs->setCurrentIndex(i); });
        page->setObjectName(QStringLiteral("View%1mnu").arg(i + 1));
        page->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
    }

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Helpmnu"));
    QAction* contents = help->addAction(QStringLiteral("Help &Contents"), this,
                                        [this] { runGuarded([this] { showHelp(); }); });
    contents->setObjectName(QStringLiteral("HelpContentsmnu"));
    contents->setShortcut(QKeySequence::HelpContents);
    QAction* about = help->addAction(QStringLiteral("&About Tarrow GUI"), this, [this] {
        const QString root = installation_.root();
        prompter_.message(
            QStringLiteral("About Tarrow GUI\n\nVersion: %1\nSettings file: %2\nHalf-Life folder: %3")
                .arg(PanelVersionText, nativePath(settings_.fileName()),
                     root.isEmpty() ? QStringLiteral("(not set)") : nativePath(root)));
    });
    about->setObjectName(QStringLiteral("Aboutmnu"));
}

void TMainfrm::showHelp() {
    // The installed help file where there is one, as the Info page's button opens it; else the
    // program's own usage notes.
    if (installation_.isSet() &&
        fileExists(installation_.paths().pluginFolder + QStringLiteral("Tarrow_GUI_Help.chm"))) {
        Info->guihelpcmdClick();
        return;
    }
    if (!help_) help_ = new HelpViewer(shell_, this);
    help_->showSection(QStringLiteral("First steps"));
}

bool TMainfrm::guarded(const std::function<void()>& handler) {
    return runGuarded(handler);
}

void TMainfrm::reportWrites(const QList<WriteRecord>& records) {
    showWrites(records);
}

void TMainfrm::showStatus(const QString& text) {
    statusBar()->showMessage(text);
}

// The constructor runs its handler through these, not through the overrides, which it may not call.
bool TMainfrm::runGuarded(const std::function<void()>& handler) {
    bool ok = false;
    ++handlersRunning_;
    try {
        handler();
        ok = true;
    } catch (...) {
        prompter_.error(currentExceptionText());
    }
    --handlersRunning_;
    // Also after a failure: the files written before it are named.
    showWrites(installation_.takeWrites());
    if (handlersRunning_ == 0) runDeferred();
    return ok;
}

void TMainfrm::runDeferred() {
    // From the event loop, once the handler's frames are gone.
    if (deferredClose_) {
        deferredClose_ = false;
        QTimer::singleShot(0, this, [this] { close(); });
    } else if (!deferredFolder_.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            const QString folder = std::exchange(deferredFolder_, QString());
            if (!folder.isEmpty()) openFolder(folder);
        });
    }
}

void TMainfrm::showWrites(const QList<WriteRecord>& records) {
    if (records.isEmpty()) return;
    QStringList parts;
    for (const WriteRecord& r : records) {
        QString text = (r.deleted ? QStringLiteral("Deleted ") : QStringLiteral("Saved ")) + r.path;
        if (!r.backup.isEmpty()) text += QStringLiteral(" (previous version kept)");
        if (!parts.contains(text)) parts << text;
    }
    statusBar()->showMessage(parts.join(QStringLiteral("; ")));
}

QString noInstallRootText() {
    return QStringLiteral(
        "No Half-Life folder is set. Click \"Reset Tarrow Reg Key\" on the Info/Help page and "
        "start Tarrow GUI again to choose one, or start it with --install-root DIR.");
}

void TMainfrm::setTransparency(bool on, int level) {
    transparencyOn_ = on;
    transparencyLevel_ = level;
    setWindowOpacity(on ? level / 255.0 : 1.0);
}

void TMainfrm::FormCreate() {
    // The folder settings are the built-in ones until the loader files have been normalised at their
    // built-in places; the stored overrides are read below.
    installation_ = Installation::stored(settings_);
    const QString root = installation_.root();
    if (root.isEmpty()) {
        // Nothing below an InstallRoot is read or written without one: not in the working folder either.
        Info->showInformation(root);
        statusBar()->showMessage(noInstallRootText());
        statustmr->start();
        return;
    }

    // The plug-in folder and its pages, the loader files normalised. A loader file that cannot be read
    // (over the size limit, say) is named once, here: the refresh counts it as empty without a second
    // box, and everything after this step happens all the same.
    const InstallPaths paths = installation_.paths();
    const OpeningResult opened = openInstallation(installation_);
    for (const OpeningNote& note : opened.notes) {
        if (note.kind == OpeningNote::Kind::Message) {
            prompter_.message(note.text);
            continue;
        }
        prompter_.error(note.text);
        driver_->noteUnreadableShown(note.unreadableFile);
    }
    if (anyChanged(opened.writes))
        statusBar()->showMessage(refreshWritesText(opened.writes, LoadFlags{}, LoadFlags{}));

    // The stored folder settings, the known files of the file box, the stored version settings.
    installation_ = installation_.withStoredPathOverrides();
    QStringList known = existingKnownFiles(installation_.paths());
    known.sort(Qt::CaseInsensitive);
    Tarrow->setKnownFiles(known);
    installation_ = installation_.withStoredVersionOverrides();

    Info->showInformation(root);

    // The window options exist in the settings from now on; the transparency edit applies its own rule.
    if (installation_.setting(ownSettingName(OwnSetting::Translucency)).isEmpty())
        installation_.writeSetting(ownSettingName(OwnSetting::Translucency), QString(), prompter_);
    if (installation_.setting(ownSettingName(OwnSetting::StatsSpeed)).isEmpty())
        installation_.writeSetting(ownSettingName(OwnSetting::StatsSpeed), QString(), prompter_);
    const QString level = installation_.setting(ownSettingName(OwnSetting::Translucency));
    if (!level.isEmpty() && IsByteNumber(level)) {
        Info->Transparency->setText(level);
    } else {
        setTransparency(false, transparencyLevel_);
        Info->Transparency->setText(QStringLiteral("255"));
    }

    Info->showPlatformSetting();

    // The map lists and the stored command line.
    if (folderExists(paths.mapsFolder)) Launcher->Mapcycle->AllMaplst->setFolder(paths.mapsFolder);
    Launcher->Basic->showLaunchSettings(
        paths.mapsFolder, installation_.setting(ownSettingName(OwnSetting::CommandLine)), switchingFolder_);

    // The first refresh comes a second after the window shows; it sets the real period.
    statustmr->start();
}

void TMainfrm::FormCloseQuery() {
    if (installation_.isSet()) guarded([this] { deleteGeneratedPages(installation_.paths().pluginFolder); });
    statustmr->stop();
    setTransparency(true, 255);
    for (int level = 255; level > 1; level -= 25)
        setTransparency(true, level);
}

void TMainfrm::rememberPlace() {
    remembersPlace_ = true;
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) screens << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) screens << screen->availableGeometry();
    if (const auto place =
            windowPlaceFromText(installation_.setting(ownSettingName(OwnSetting::WindowPlace)))) {
        const QRect r = placeOnScreens(place->rect, screens, QSize(640, 480));
        move(r.topLeft());
        resize(r.size());
        if (place->maximized) setWindowState(windowState() | Qt::WindowMaximized);
    }
    const int page =
        lastPageFromText(installation_.setting(ownSettingName(OwnSetting::LastPage)), Tabs->count());
    if (page != Tabs->currentIndex()) Tabs->setCurrentIndex(page);
}

void TMainfrm::savePlace() {
    if (!remembersPlace_) return;
    WindowPlace place;
    place.maximized = isMaximized();
    if (place.maximized) {
        // Where the window goes when it is no longer maximised; stored, like the rest, by its frame.
        const QPoint frame = geometry().topLeft() - pos();
        place.rect = QRect(normalGeometry().topLeft() - frame, normalGeometry().size());
    } else {
        place.rect = QRect(pos(), size());
    }
    installation_.writeSetting(ownSettingName(OwnSetting::WindowPlace), windowPlaceText(place), prompter_);
    installation_.writeSetting(ownSettingName(OwnSetting::LastPage), QString::number(Tabs->currentIndex()),
                               prompter_);
}

void TMainfrm::closeEvent(QCloseEvent* event) {
    // Quitting deletes the pages: a step under way ends first, then the window closes.
    if (pacedWaitsRunning() > 0 && !closing_) {
        deferredClose_ = true;
        statusBar()->showMessage(QStringLiteral("The window closes when the step under way has ended."));
        event->ignore();
        return;
    }
    if (!closing_) {
        closing_ = true;
        guarded([this] { savePlace(); });
        FormCloseQuery();
    }
    event->accept();
}

void TMainfrm::TabsChange(int index) {
    if (index != 0)
        statustmr->stop();
    else
        statustmr->start();
    // The live page asks the server when it shows, then at the refresh period.
    if (Tabs->widget(index) == Live && installation_.isSet()) {
        Live->refresh();
        livetmr->start(statustmr->interval());
    } else {
        livetmr->stop();
    }
    if (!installation_.isSet()) return;
    // Showing the bot page reloads its file; showing the per-map page points its list at its folder.
    if (index == 1) Tarrow->reloadBotConfig();
    if (index == 3) Configs->showConfigFolder(installation_.paths().configsFolder);
    if (index == 4) Launcher->Basic->showServiceState();
}

void TMainfrm::statustmrTimer() {
    driver_->tick();
}

void TMainfrm::serverSettingsSaved(const QString& fileName) {
    offers_->offerApply(fileName);
}

void TMainfrm::keyPressEvent(QKeyEvent* event) {
    QWidget* page = Tabs->currentWidget();
    if (event->key() == Qt::Key_Escape && page == Tarrow && Tarrow->closeOpenFile()) return;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && page) {
        for (QPushButton* b : page->findChildren<QPushButton*>()) {
            if (b->isDefault() && b->isEnabled() && b->isVisible()) {
                b->click();
                return;
            }
        }
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace tarrow
