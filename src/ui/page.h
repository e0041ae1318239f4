#pragma once

#include "app/installation.h"
#include "common/fileio.h"

#include <QObject>
#include <QStringList>
#include <QTabWidget>
#include <functional>

namespace tarrow {

class Prompter;
class Shell;

// What a page needs of the window around it: the dialogs, the desktop, and the error boundary that
// turns a failed file operation into the generic error box.
class WindowContext {
  public:
    virtual ~WindowContext() = default;
    virtual Prompter& prompter() = 0;
    virtual Shell& shell() = 0;
    // Runs `handler`; a failed file operation or conversion shows the generic error box instead of
    // leaving the handler, and the files written are named in the status bar.
    virtual bool guarded(const std::function<void()>& handler) = 0;
    // The Half-Life folder the window works on.
    virtual const Installation& installation() const = 0;
    // Names in the status bar the files just written, and whether their previous versions were kept.
    virtual void reportWrites(const QList<WriteRecord>& records) = 0;
    // A line of news in the status bar.
    virtual void showStatus(const QString& text) = 0;
    // The server settings were saved into `fileName` (below the mod folder): the window may offer to
    // apply them to the running server.
    virtual void serverSettingsSaved(const QString& fileName) { Q_UNUSED(fileName); }
};

// Puts a page of its own class into a page control under its object name, and returns it.
template <typename Page>
Page* addNamedPage(QTabWidget* tabs, Page* page, const char* name, const QString& caption) {
    page->setObjectName(QString::fromLatin1(name));
    tabs->addTab(page, caption);
    return page;
}

// What the window says where no Half-Life folder is set.
QString noInstallRootText();

// Connects `signal` of `sender` to the handler `slot` of `page`, run inside the window's error
// boundary. The signal's arguments are not passed on: the handlers read their controls.
template <typename Sender, typename Signal, typename Page>
void connectGuarded(WindowContext& context, Sender* sender, Signal signal, Page* page, void (Page::*slot)()) {
    QObject::connect(sender, signal, page,
                     [&context, page, slot] { context.guarded([page, slot] { (page->*slot)(); }); });
}

} // namespace tarrow
