#include "statusoffers.h"

#include "common/paths.h"
#include "common/settingsstore.h"
#include "common/shell.h"
#include "main.h"
#include "service/manage.h"
#include "service/systemctl.h"
#include "service/units.h"

#include <QFileInfo>
#include <QPushButton>
#include <QStatusBar>

namespace tarrow {

StatusBarOffers::StatusBarOffers(TMainfrm& window) : QObject(&window), window_(window) {}

void StatusBarOffers::offerRestartWhenEmpty() {
    const QString name = service::defaultServiceName(nativePath(window_.installation().root()));
    const QString unit = service::serverUnitOf(name);
    if (!QFileInfo::exists(service::userUnitFolder() + unit) ||
        window_.statusBar()->findChild<QPushButton*>(QStringLiteral("Restartcmd")))
        return;
    // systemd answers when it answers: the offer comes then, if the service runs.
    service::systemctlUserAsync(service::unitStateArguments(unit), this,
                                [this, name](const service::CommandResult& r) {
                                    if (service::parseUnitState(r).activeState == QLatin1String("active"))
                                        window_.guarded([this, name] { showRestartOffer(name); });
                                });
}

void StatusBarOffers::showRestartOffer(const QString& name) {
    QStatusBar* bar = window_.statusBar();
    if (bar->findChild<QPushButton*>(QStringLiteral("Restartcmd"))) return;
    auto* restart = new QPushButton(QStringLiteral("Restart when empty"), bar);
    restart->setObjectName(QStringLiteral("Restartcmd"));
    restart->setToolTip(QStringLiteral("The server loads the changed files when it starts: it restarts once "
                                       "nobody but bots plays (30 minutes at most, with warnings)"));
    bar->addWidget(restart);
    connect(restart, &QPushButton::clicked, this, [this, bar, restart, name] {
        bar->removeWidget(restart);
        restart->deleteLater();
        // The waiting goes on in tarrow, without this window.
        const Installation& in = window_.installation();
        QStringList args{QStringLiteral("--folder"),
                         nativePath(in.root()),
                         QStringLiteral("restart"),
                         QStringLiteral("--when-empty"),
                         QStringLiteral("--warn"),
                         QStringLiteral("--name"),
                         name};
        if (in.store()) args = QStringList{QStringLiteral("--settings"), in.store()->fileName()} + args;
        if (window_.shell().startProgram(service::tarrowProgram(), args, nativePath(in.root())))
            bar->showMessage(QStringLiteral("The server restarts once nobody but bots plays."));
    });
}

void StatusBarOffers::offerApply(const QString& fileName) {
    LivePage* live = window_.Live;
    if (!live->lastResult().answering || live->password().isEmpty()) return;
    QStatusBar* bar = window_.statusBar();
    auto* apply = new QPushButton(QStringLiteral("Apply to running server"), bar);
    apply->setObjectName(QStringLiteral("Applycmd"));
    apply->setToolTip(
        QStringLiteral("Runs \"exec %1\" on the server: no restart, nobody kicked").arg(fileName));
    bar->addWidget(apply);
    connect(apply, &QPushButton::clicked, this, [this, bar, apply, fileName] {
        apply->setEnabled(false);
        window_.Live->runCommand(
            QStringLiteral("exec ") + fileName, [bar, apply, fileName](const live::RconResult& r) {
                bar->removeWidget(apply);
                apply->deleteLater();
                bar->showMessage(r.status == live::RconStatus::Done
                                     ? QStringLiteral("Applied %1 to the running server. %2")
                                           .arg(fileName, r.output.trimmed().section(QLatin1Char('\n'), 0, 0))
                                     : live::rconStatusText(r.status));
            });
    });
}

} // namespace tarrow
