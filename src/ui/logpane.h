#pragma once

#include "live/logfiles.h"

#include <QList>
#include <QWidget>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tarrow {

class WindowContext;

// The Live Server page's log: the newest joins and leaves, chat, kicks, map changes and console logins
// (the failed ones in red) of the server's log files, following them as the engine writes. Each look
// reads only what was written since the last one, so the window never waits on it. Where the server
// keeps no log, it says so and offers to turn it on.
class LogPane : public QWidget {
    Q_OBJECT
  public:
    LogPane(WindowContext& context, QWidget* parent);

    QPlainTextEdit* Logmem = nullptr;
    QCheckBox* Peopleonlychk = nullptr;
    QLineEdit* Logfiltertxt = nullptr;
    QLabel* Lognotelbl = nullptr;
    QPushButton* Logoncmd = nullptr;

    // Reads what the engine wrote since the last look (the page's timer calls it).
    void look();
    // Starts afresh on the installation's log folder: the newest events, then what comes.
    void restart();

    // How many events are kept for the filter, and how much of the newest file is read at first.
    static constexpr int kKeptEvents = 2000;
    static constexpr qint64 kFirstRead = qint64(256) * 1024;

  signals:
    // "Turn the log on" asks the page to send `log on` too when the server answers.
    void logTurnedOn();

  private:
    void show();
    // The note and the offer where the server keeps no log.
    void showState();
    void append(const live::LogEvent& event);
    void LogoncmdClick();
    bool logOnInServerCfg() const;

    WindowContext& context_;
    std::unique_ptr<live::LogFollower> follower_;
    QList<live::LogEvent> kept_;
    QTimer* timer_ = nullptr;
};

} // namespace tarrow
