#include "statuspane.h"

#include "common/shell.h"

#include <QFileInfo>

namespace tarrow {

namespace {

// Only web addresses leave the panes for the desktop; a file:// or any other link never reaches the
// desktop's opener.
bool isWebAddress(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// Catches the first navigation of a would-be new window and hands it to the desktop.
class ExternalLinkPage : public QWebEnginePage {
  public:
    ExternalLinkPage(Shell& shell, QObject* parent) : QWebEnginePage(parent), shell_(shell) {}

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        if (!handled_) {
            handled_ = true;
            if (isWebAddress(url)) shell_.openWebAddress(url.toString());
            deleteLater();
        }
        return false;
    }

  private:
    Shell& shell_;
    bool handled_ = false;
};

} // namespace

StatusPage::StatusPage(Shell& shell, QObject* parent) : QWebEnginePage(parent), shell_(shell) {}

QWebEnginePage* StatusPage::createWindow(WebWindowType) {
    return new ExternalLinkPage(shell_, this);
}

bool StatusPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (!url.isLocalFile() && url.scheme() != QLatin1String("about") &&
        url.scheme() != QLatin1String("data") && type == NavigationTypeLinkClicked) {
        if (isWebAddress(url)) shell_.openWebAddress(url.toString());
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

StatusPane::StatusPane(Shell& shell, QWidget* parent) : QWebEngineView(parent) {
    setPage(new StatusPage(shell, this));
    setContextMenuPolicy(Qt::NoContextMenu);
}

QString StatusPane::locationName() const {
    QString title = page()->title();
    if (!title.isEmpty()) return title;
    return QFileInfo(page()->url().path()).fileName();
}

void StatusPane::showFile(const QString& nativePath) {
    load(QUrl::fromLocalFile(nativePath));
}

} // namespace tarrow
