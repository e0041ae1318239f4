#pragma once

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
    // <title> is its file name.
    QString locationName() const;
    void showFile(const QString& nativePath);
};

} // namespace tarrow
