#pragma once

#include <QDialog>

class QTextBrowser;
class QUrl;

namespace tarrow {

class Shell;

// The program's own usage notes (its README, carried inside the program with its pictures), shown at
// "First steps" where no help file is installed. Web addresses go to the desktop's browser.
class HelpViewer : public QDialog {
    Q_OBJECT
  public:
    HelpViewer(Shell& shell, QWidget* parent);
    // Shows the window with the section whose heading is `heading` at the top.
    void showSection(const QString& heading);
    QTextBrowser* text() const { return text_; }

  private:
    void follow(const QUrl& url);
    void fitPictures();

    Shell& shell_;
    QTextBrowser* text_ = nullptr;
};

} // namespace tarrow
