#pragma once

#include "page.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace tarrow {

// "  MOTD  ": the message players see when they join.
class MotdPage : public QWidget {
    Q_OBJECT
  public:
    MotdPage(WindowContext& context, QWidget* parent);

    QPlainTextEdit* MOTDtxt = nullptr;
    QPushButton* MOTDcmd = nullptr;
    QPushButton* CloseMOTDcmd = nullptr;

  public slots:
    void MOTDcmdClick();
    void CloseMOTDcmdClick();

    // The message of the day edited and not saved yet.
    bool hasUnsavedText() const;

  private:
    // What the page's button does next: load the file, or save what the page shows.
    enum class Mode { Load, Save };
    void setMode(Mode mode);
    Mode mode_ = Mode::Load;
    WindowContext& context_;
};

} // namespace tarrow
