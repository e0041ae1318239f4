#include "statuspane.h"

#include "common/shell.h"

#include <QFile>
#include <QFileInfo>

namespace tarrow {

namespace {

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
    // A Loaded row's link leads the whole pane to its component's waiting page.
    if (isMainFrame && url.isLocalFile()) {
        if (const auto c = componentOfWaitingPage(QFileInfo(url.path()).fileName()))
            emit waitingPageRequested(*c, url);
    }
    if (!url.isLocalFile() && url.scheme() != QLatin1String("about") &&
        url.scheme() != QLatin1String("data") && type == NavigationTypeLinkClicked) {
        if (isWebAddress(url)) shell_.openWebAddress(url.toString());
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

namespace {

// The bytes a shown page is made of; a file that cannot be read gives none, so it is always reloaded.
QByteArray pageBytes(const QString& nativePath, const QStringList& framed) {
    QByteArray all;
    for (const QString& path : QStringList{nativePath} + framed) {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return {};
        const QByteArray bytes = file.readAll();
        // The length first, so that bytes moving from one file to the next still count as a change.
        all += QByteArray::number(bytes.size()) + ':' + bytes;
    }
    return all;
}

} // namespace

StatusPane::StatusPane(Shell& shell, QWidget* parent) : QWebEngineView(parent) {
    auto* page = new StatusPage(shell, this);
    setPage(page);
    connect(page, &StatusPage::waitingPageRequested, this, [this](Component c, const QUrl& url) {
        waiting_ = url;
        waitingFor_ = c;
    });
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QWebEngineView::urlChanged, this, [this](const QUrl& url) {
        // Anywhere else than the page showFile sent it to (a link, or HTML set directly): the next
        // showFile loads again whatever the bytes.
        if (url != shownUrl_ && url != pending_) {
            shownUrl_.clear();
            shownBytes_.clear();
            pending_.clear();
        }
    });
    connect(this, &QWebEngineView::loadFinished, this, &StatusPane::pageLoaded);
}

void StatusPane::pageLoaded(bool ok) {
    const bool sent = !pending_.isEmpty() && page()->url() == pending_;
    if (sent) {
        pending_.clear();
        // A page that failed to load is loaded again next time, even with the same bytes.
        if (!ok) shownBytes_.clear();
        return;
    }
    // The waiting page shows: the click is acted on now, once.
    if (!waiting_.isEmpty() && page()->url() == waiting_) {
        waiting_.clear();
        if (ok) emit componentClicked(waitingFor_);
    }
}

QString StatusPane::locationName() const {
    if (!pending_.isEmpty()) return QFileInfo(pending_.path()).fileName();
    QString title = page()->title();
    if (!title.isEmpty()) return title;
    return QFileInfo(page()->url().path()).fileName();
}

void StatusPane::showFile(const QString& nativePath, const QStringList& framed) {
    const QUrl url = QUrl::fromLocalFile(nativePath);
    QByteArray bytes = pageBytes(nativePath, framed);
    if (url == shownUrl_ && !bytes.isEmpty() && bytes == shownBytes_) return;
    shownUrl_ = url;
    shownBytes_ = std::move(bytes);
    pending_ = url;
    load(url);
}

} // namespace tarrow
