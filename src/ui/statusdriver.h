#pragma once

#include "common/backups.h"
#include "status/refresh.h"

#include <QHash>
#include <QObject>
#include <QString>

namespace tarrow {

class TMainfrm;

// Whether any of the writes changed a file.
bool anyChanged(const QList<WriteRecord>& records);
// What a refresh's writes did, as the status bar says it: "liblist.gam: now loads Metamod".
QString refreshWritesText(const QList<WriteRecord>& records, const LoadFlags& before, const LoadFlags& after);

// Drives the status refresh on the window's timer: the period from the settings, the click the next
// refresh acts on, the two panes' pages, the status bar's note of what a refresh wrote, and the error
// box of a loader file that could not be read (once, and again only when the file changes).
class StatusDriver : public QObject {
    Q_OBJECT
  public:
    explicit StatusDriver(TMainfrm& window);

    // One tick of the status timer.
    void tick();
    // A click on a component's Loaded row: the refresh acts on it now (or right after the one running).
    void click(Component component);
    // Another folder: the load flags, the pending click and the files named are forgotten.
    void reset();
    // The box of an unreadable file was shown (while the folder was opened): not again until it changes.
    void noteUnreadableShown(const QString& nativePath);

    StatusRefresh& refresh() { return refresh_; }

  private:
    void reportUnreadable(const StatusReport& report);
    // A file's size and time: its box comes again only when they change.
    static QString unreadableStamp(const QString& nativePath);

    TMainfrm& window_;
    StatusRefresh refresh_;
    // A refresh is running; a modal box inside it runs a nested event loop, where a tick must wait.
    bool refreshing_ = false;
    // The click the next refresh acts on.
    ClickedComponent pendingClick_ = ClickedComponent::None;
    bool showingNoRootPage_ = false;
    QHash<QString, QString> unreadableShown_; // native path -> size and time when its box was shown
};

} // namespace tarrow
