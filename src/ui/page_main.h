#pragma once

#include <QWidget>

class QLabel;

namespace tarrow {

class Shell;
class StatusPane;

// " Server Status ": the banner and the two report panes the status refresh fills.
class MainPage : public QWidget {
    Q_OBJECT
  public:
    MainPage(Shell& shell, QWidget* parent);

    QLabel* Bannerimg = nullptr;
    StatusPane* Status = nullptr;
    StatusPane* Stats = nullptr;
};

} // namespace tarrow
