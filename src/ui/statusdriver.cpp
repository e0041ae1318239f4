#include "statusdriver.h"

#include "app/windowoptions.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "main.h"
#include "statusoffers.h"
#include "statuspane.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace tarrow {

bool anyChanged(const QList<WriteRecord>& records) {
    return std::any_of(records.begin(), records.end(), [](const WriteRecord& r) { return r.changed; });
}

QString refreshWritesText(const QList<WriteRecord>& records, const LoadFlags& before,
                          const LoadFlags& after) {
    QStringList names;
    bool kept = false;
    for (const WriteRecord& r : records) {
        if (!r.changed) continue;
        const QString name = QFileInfo(r.path).fileName();
        if (!names.contains(name)) names << name;
        kept = kept || !r.backup.isEmpty();
    }
    QStringList changes;
    for (const ComponentInfo& c : componentTable()) {
        const bool was = isLoaded(before, c.component), is = isLoaded(after, c.component);
        if (was == is) continue;
        changes << (is ? QStringLiteral("now loads ") : QStringLiteral("no longer loads ")) +
                       QString::fromLatin1(c.displayName);
    }
    QString text =
        names.join(QStringLiteral(", ")) + QStringLiteral(": ") +
        (changes.isEmpty() ? QStringLiteral("load statements tidied") : changes.join(QStringLiteral(", ")));
    if (kept) text += QStringLiteral(" (previous version kept)");
    return text;
}

namespace {

// The page both panes show while no Half-Life folder is set.
QString noInstallRootPage(const QString& text) {
    return QStringLiteral(
               "<html><body style=\"font-family: 'Times New Roman', serif\"><p><b>Tarrow GUI</b></p><p>") +
           text.toHtmlEscaped() + QStringLiteral("</p></body></html>");
}

} // namespace

StatusDriver::StatusDriver(TMainfrm& window) : QObject(&window), window_(window) {}

void StatusDriver::reset() {
    refresh_ = StatusRefresh();
    pendingClick_ = ClickedComponent::None;
    unreadableShown_.clear();
    showingNoRootPage_ = false;
}

void StatusDriver::noteUnreadableShown(const QString& nativePath) {
    unreadableShown_.insert(nativePath, unreadableStamp(nativePath));
}

void StatusDriver::tick() {
    // A refresh lets window messages run at its end; a tick arriving then waits for the next one.
    if (refreshing_) return;
    if (!window_.installation().isSet()) {
        if (!showingNoRootPage_) {
            const QString page = noInstallRootPage(noInstallRootText());
            window_.Main->Stats->setHtml(page);
            window_.Main->Status->setHtml(page);
            showingNoRootPage_ = true;
        }
        return;
    }
    showingNoRootPage_ = false;
    refreshing_ = true;
    const InstallPaths paths = window_.installation().paths();
    window_.guarded([&] {
        StatusRefresh::removeMetagame(paths);
        const QString stored = window_.installation().setting(ownSettingName(OwnSetting::StatsSpeed));
        if (const auto seconds = statsSpeedSeconds(stored)) {
            window_.Info->StatsSpeed->setText(stored);
            window_.statustmr->setInterval(*seconds * 1000);
        } else {
            window_.statustmr->setInterval(kDefaultStatsSeconds * 1000);
            window_.Info->StatsSpeed->setText(QString::number(kDefaultStatsSeconds));
        }
        const LoadFlags before = refresh_.flags();
        // A click's writes are reported even when the refresh stops after them.
        const ClickedComponent click = std::exchange(pendingClick_, ClickedComponent::None);
        struct Report {
            TMainfrm& w;
            const StatusRefresh& refresh;
            LoadFlags before;
            bool clicked;
            ~Report() {
                const QList<WriteRecord> written = w.installation().takeWrites();
                if (!anyChanged(written)) return;
                w.statusBar()->showMessage(refreshWritesText(written, before, refresh.flags()));
                // The engine reads its loader files only when it starts.
                if (clicked) w.offers().offerRestartWhenEmpty();
            }
        } report{window_, refresh_, before, click != ClickedComponent::None};
        refresh_.run(paths, window_.installation().components(), click);
        reportUnreadable(refresh_.report());
    });
    // The panes return to the report even after a failed refresh, so that a click acts only once.
    // A pane whose page came out the same as it shows is not reloaded.
    window_.Main->Stats->showFile(nativePath(paths.pluginFolder + QStringLiteral("stats1.html")),
                                  {nativePath(paths.pluginFolder + QStringLiteral("stats.html"))});
    window_.Main->Status->showFile(nativePath(paths.pluginFolder + QStringLiteral("tarrow1.html")),
                                   {nativePath(paths.pluginFolder + QStringLiteral("tarrow.html"))});
    // Pending window messages run before the refresh ends: a page change, a button, a click.
    QCoreApplication::processEvents();
    refreshing_ = false;
    // A click that came while this refresh ran is acted on by the next one, now.
    if (pendingClick_ != ClickedComponent::None)
        QTimer::singleShot(0, this, [this] {
            if (pendingClick_ != ClickedComponent::None && window_.statustmr->isActive() && !refreshing_) {
                window_.statustmr->start();
                tick();
            }
        });
}

QString StatusDriver::unreadableStamp(const QString& nativePath) {
    const QFileInfo info(nativePath);
    return QString::number(info.size()) + QLatin1Char('@') +
           QString::number(info.lastModified().toMSecsSinceEpoch());
}

void StatusDriver::reportUnreadable(const StatusReport& report) {
    QHash<QString, QString> now;
    QStringList fresh, reasons;
    for (const StatusReport::Unreadable& u : report.unreadable) {
        const QString stamp = unreadableStamp(u.path);
        now.insert(u.path, stamp);
        reasons << u.reason;
        if (unreadableShown_.value(u.path) != stamp) fresh << u.reason;
    }
    // A file that reads again is forgotten: should it break again, its box comes again.
    unreadableShown_ = now;
    if (!reasons.isEmpty())
        window_.statusBar()->showMessage(QStringLiteral("Not read, counted as empty: ") +
                                         reasons.join(QStringLiteral("; ")));
    for (const QString& reason : fresh)
        window_.prompter().error(reason);
}

void StatusDriver::click(Component component) {
    pendingClick_ = clickOf(component);
    // Only the Server Status page, whose timer runs, acts on clicks.
    if (!window_.statustmr->isActive()) return;
    // A refresh still running (an error box open inside it) acts on the click when it ends.
    if (refreshing_) return;
    // The timer starts its period again after the refresh the click brings.
    window_.statustmr->start();
    tick();
}

} // namespace tarrow
