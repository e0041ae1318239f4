// Not a test: renders every page of the window on the demo installation into PNG files, for a look
// at the layout (tarrow_screens OUTPUT_FOLDER).
#include "app/demo.h"
#include "common/settingsstore.h"
#include "support/scriptedprompter.h"
#include "support/windowtest.h"
#include "ui/main.h"
#include "ui/startup.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using tarrow::test::control;

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tarrow::initUiResources();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTemporaryDir dir;
    const tarrow::DemoInstallation demo =
        tarrow::buildDemoInstallation(dir.path(), QStringLiteral(":/demo/dlls"));
    tarrow::SettingsStore store(demo.settingsFile);
    store.write(tarrow::kTarrowKey, tarrow::kInstallPathValue, demo.installRoot);
    tarrow::test::ScriptedPrompter prompter;
    tarrow::test::RecordingShell shell;
    prompter.answers.enqueue(true);
    tarrow::TMainfrm w(store, prompter, shell);
    w.show();
    QTest::qWait(300);
    for (int i = 1; i < w.Tabs->count(); ++i) {
        w.Tabs->setCurrentIndex(i);
        QTest::qWait(100);
        w.grab().save(QDir(out).filePath(QStringLiteral("page%1.png").arg(i)));
    }
    w.Tabs->setCurrentIndex(4);
    control<QRadioButton>(w, "Dedicatedopt")->setChecked(true);
    for (int i = 0; i < control<QTabWidget>(w, "Launchertabs")->count(); ++i) {
        control<QTabWidget>(w, "Launchertabs")->setCurrentIndex(i);
        QTest::qWait(100);
        w.grab().save(QDir(out).filePath(QStringLiteral("launcher%1.png").arg(i)));
    }
    // A save on the server page leaves a backup; the Info page's dialog shows it.
    control<QPushButton>(w, "Saveservercmd")->click();
    QTest::qWait(100);
    w.grab().save(QDir(out).filePath(QStringLiteral("saved.png")));
    w.Tabs->setCurrentIndex(5);
    control<QPushButton>(w, "Backupscmd")->click();
    QTest::qWait(200);
    if (w.Info->backupsDialog())
        w.Info->backupsDialog()->grab().save(QDir(out).filePath(QStringLiteral("backups.png")));
    for (const QString& t : prompter.texts())
        qInfo("%s", qPrintable(t));
    return 0;
}
