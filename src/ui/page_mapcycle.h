#pragma once

#include "page.h"

#include <QWidget>

class QListWidget;
class QPushButton;

namespace tarrow {

class FileListBox;

// "Map Cycle": the server's map rotation, and the overview picture of a map.
class MapcyclePage : public QWidget {
    Q_OBJECT
  public:
    MapcyclePage(WindowContext& context, QWidget* parent);

    FileListBox* AllMaplst = nullptr;
    QListWidget* mapcyclelst = nullptr;
    QPushButton* mapcmd = nullptr;
    QPushButton* Closemapcmd = nullptr;
    QPushButton* leftmapcmd = nullptr;
    QPushButton* rightmapcmd = nullptr;
    QPushButton* upmapcmd = nullptr;
    QPushButton* downmapcmd = nullptr;
    QPushButton* showmapcmd = nullptr;

  public slots:
    void mapcmdClick();
    void ClosemapcmdClick();
    void leftmapcmdClick();
    void rightmapcmdClick();
    void upmapcmdClick();
    void downmapcmdClick();
    void AllMaplstClick();
    void showmapcmdClick();

    // The map cycle changed on the page and not saved yet.
    bool hasUnsavedList() const { return edited_; }

  private:
    // What the page's button does next: load the file, or save what the page shows.
    enum class Mode { Load, Save };
    void setMode(Mode mode);
    Mode mode_ = Mode::Load;
    bool edited_ = false;
    void moveCycleEntry(int by);
    WindowContext& context_;
};

} // namespace tarrow
