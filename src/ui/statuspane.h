#pragma once

#include "status/report.h"

#include <QWebEnginePage>
#include <QWebEngineView>

namespace tarrow {

class Shell;

// A page of a status pane: links that ask for a new window (target="_NEW") go to the desktop's web
// browser, never into the pane; so does any web address the pane itself would open.
class StatusPage : public QWebEnginePage {
    Q_OBJECT
  public:
    StatusPage(Shell& shell, QObject* parent);

  signals:
    // The pane is about to show a component's waiting page: its Loaded row was clicked.
    void waitingPageRequested(Component component, const QUrl& url);

  protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

  private:
    Shell& shell_;
};

// One embedded browser pane of the status page, without a context menu.
class StatusPane : public QWebEngineView {
    Q_OBJECT
  public:
    StatusPane(Shell& shell, QWidget* parent = nullptr);
    // The location name the status refresh reads: the page's title, which for a page without a
    // <title> is its file name. While a page sent by showFile is still loading, its file name: the
    // title of the page before it would otherwise still be read, and a click acted on twice.
    QString locationName() const;
    // Shows the page at `nativePath`, whose look is its own bytes and those of the pages it frames
    // (`framed`). A pane that already shows that page, with the same bytes, is left alone: no blank
    // moment, and keyboard focus and scroll position inside the report stay where they were.
    void showFile(const QString& nativePath, const QStringList& framed = {});

  signals:
    // A click on a component's Loaded row: the pane went to its waiting page, which has now loaded.
    void componentClicked(Component component);

  private:
    void pageLoaded(bool ok);

    QUrl shownUrl_;         // what showFile last loaded, until the pane goes elsewhere
    QByteArray shownBytes_; // the bytes that page was made of
    QUrl pending_;          // a showFile load that has not finished
    // The waiting page a click is going to, and whose row it was.
    QUrl waiting_;
    Component waitingFor_ = Component::Mod;
};

} // namespace tarrow
