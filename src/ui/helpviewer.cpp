#include "helpviewer.h"

#include "common/shell.h"

#include <QDialogButtonBox>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTimer>
#include <QVBoxLayout>

namespace tarrow {

HelpViewer::HelpViewer(Shell& shell, QWidget* parent) : QDialog(parent), shell_(shell) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Tarrow GUI Help"));
    resize(760, 620);
    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("HelpText"));
    text_->setOpenLinks(false);
    text_->setSource(QUrl(QStringLiteral("qrc:/help/README.md")), QTextDocument::MarkdownResource);
    connect(text_, &QTextBrowser::anchorClicked, this, &HelpViewer::follow);
    fitPictures();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
}

void HelpViewer::fitPictures() {
    // The pictures are of the whole window; at half size they leave room for the text beside them.
    constexpr qreal kWidth = 420;
    QTextDocument* doc = text_->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QImage picture =
                doc->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
            if (picture.isNull() || picture.width() <= kWidth) continue;
            image.setWidth(kWidth);
            image.setHeight(kWidth * picture.height() / picture.width());
            QTextCursor cursor(doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
}

void HelpViewer::follow(const QUrl& url) {
    if (isWebAddress(url))
        shell_.openWebAddress(url.toString());
    else if (url.hasFragment() && url.path().isEmpty())
        text_->scrollToAnchor(url.fragment());
    // Other files of the source tree (CONTRIBUTING.md, ...) are not carried inside the program.
}

void HelpViewer::showSection(const QString& heading) {
    show();
    raise();
    activateWindow();
    QTextCursor at = text_->document()->find(heading);
    if (at.isNull()) return;
    at.movePosition(QTextCursor::StartOfBlock);
    text_->setTextCursor(at);
    // Once laid out, the heading goes to the top rather than merely into view.
    QTimer::singleShot(0, this, [this] {
        QScrollBar* bar = text_->verticalScrollBar();
        bar->setValue(bar->value() + text_->cursorRect().top());
    });
}

} // namespace tarrow
