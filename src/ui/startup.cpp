#include "startup.h"

#include "app/demo.h"
#include "app/folders.h"
#include "app/installroot.h"
#include "common/settingsstore.h"
#include "common/version.h"
#include "guardedapp.h"
#include "main.h"
#include "qtservices.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include <cstdio>
#include <memory>

static void initResourcesOutsideNamespace() {
    Q_INIT_RESOURCE(resources);
}

namespace tarrow {

void initUiResources() {
    initResourcesOutsideNamespace();
}

namespace {

// --help and --version are answered before any display is needed: on a server over SSH they must work.
bool asksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--help" || a == "-h" || a == "-?" || a == "--help-all" || a == "--version" || a == "-v")
            return true;
    }
    return false;
}

} // namespace

namespace {

// The two variables as they were before the program set them, restored for the programs it starts.
struct SavedVariable {
    const char* name;
    bool wasSet = false;
    QByteArray value;
    bool saved = false;
};
SavedVariable gAccessibility{"QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", false, {}, false};
SavedVariable gChromiumFlags{"QTWEBENGINE_CHROMIUM_FLAGS", false, {}, false};

void save(SavedVariable& v) {
    if (v.saved) return;
    v.saved = true;
    v.wasSet = qEnvironmentVariableIsSet(v.name);
    v.value = qgetenv(v.name);
}

void restore(SavedVariable& v) {
    if (!v.saved) return;
    if (v.wasSet)
        qputenv(v.name, v.value);
    else
        qunsetenv(v.name);
    v.saved = false;
}

} // namespace

void enableReportAccessibility() {
    save(gAccessibility);
    save(gChromiumFlags);
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
    // The pages' accessibility tree is kept from the start, not only once a screen reader is detected
    // (which many desktops never report to the browser): the report is a few lines, and building its
    // tree costs a few milliseconds a load.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("renderer-accessibility")) {
        if (!flags.isEmpty()) flags += ' ';
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + "--force-renderer-accessibility");
    }
}

void restoreStartedProgramsEnvironment() {
    restore(gAccessibility);
    restore(gChromiumFlags);
}

int runTarrowGui(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> appHolder;
    if (asksForHelpOrVersion(argc, argv))
        appHolder = std::make_unique<QCoreApplication>(argc, argv);
    else {
        enableReportAccessibility();
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        appHolder = std::make_unique<GuardedApplication>(argc, argv);
    }
    QCoreApplication& app = *appHolder;
    QCoreApplication::setOrganizationName(QStringLiteral("Tarrow"));
    QCoreApplication::setApplicationName(QStringLiteral("tarrow-gui"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARROW_VERSION));
    if (qobject_cast<QApplication*>(&app)) {
        QApplication::setApplicationDisplayName(QStringLiteral("Tarrow GUI"));
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/tarrow-gui.png")));
        initUiResources();
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Control panel for the Tarrow bot on a Half-Life Team Fortress Classic server."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"), QStringLiteral("Keep the settings in FILE (also TARROW_SETTINGS)."),
        QStringLiteral("FILE"));
    const QCommandLineOption rootOption(QStringLiteral("install-root"),
                                        QStringLiteral("Use DIR as the Half-Life installation folder."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Open a sample installation with its own settings (nothing real is touched)."));
    parser.addOptions({settingsOption, rootOption, demoOption});
    parser.addPositionalArgument(
        QStringLiteral("linux"),
        QStringLiteral("With --demo: a Linux server installation (hlds_run, .so libraries)."),
        QStringLiteral("[linux]"));
    parser.process(app);

    QString settingsFile = parser.value(settingsOption);
    if (settingsFile.isEmpty()) settingsFile = qEnvironmentVariable("TARROW_SETTINGS");
    QString installRoot = parser.value(rootOption);

    QtPrompter prompter;
    if (parser.isSet(demoOption)) {
        const QString base =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/demo");
        QDir().mkpath(base);
        try {
            const bool linuxDemo = parser.positionalArguments().contains(QStringLiteral("linux"));
            const DemoInstallation demo =
                linuxDemo ? buildLinuxDemoInstallation(base, QStringLiteral(":/demo/dlls"))
                          : buildDemoInstallation(base, QStringLiteral(":/demo/dlls"));
            settingsFile = demo.settingsFile;
            installRoot = demo.installRoot;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tarrow-gui: cannot build the demo installation: %s\n", e.what());
            return 1;
        }
    }
    if (settingsFile.isEmpty()) settingsFile = SettingsStore::defaultFileName();

    SettingsStore store(settingsFile);
    if (!installRoot.isEmpty()) KnownFolders(store).makeCurrent(QDir(installRoot).absolutePath(), prompter);
    settleInstallRoot(store, prompter, halfLifeInstallerPath(QDir::homePath()));

    QtShell shell;
    auto window = std::make_unique<TMainfrm>(store, prompter, shell);
    // The browser has read its settings by now; the server and the desktop's programs get the
    // environment the program was started with.
    restoreStartedProgramsEnvironment();
    prompter.setParent(window.get());
    window->rememberPlace();
    window->show();
    const int rc = app.exec();
    window.reset();
    return rc;
}

} // namespace tarrow
