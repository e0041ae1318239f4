#pragma once

#include "live/bans.h"
#include "live/client.h"
#include "page.h"

#include <QDateTime>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tarrow {

class LogPane;

// "Live Server": the running server as it answers its query (map, people apart from bots, players, the
// live settings that differ from server.cfg) and its remote console. Queries run on the event loop and
// never hold up the window.
class LivePage : public QWidget {
    Q_OBJECT
  public:
    LivePage(WindowContext& context, QWidget* parent);

    QLabel* Addresslbl = nullptr;
    QLabel* Statelbl = nullptr;
    QLabel* Namelbl = nullptr;
    QLabel* Maplbl = nullptr;
    QLabel* Peoplelbl = nullptr;
    QTableWidget* Playerstbl = nullptr;
    QTableWidget* Differstbl = nullptr;
    QPushButton* Refreshcmd = nullptr;
    QLineEdit* Passwordtxt = nullptr;
    QLineEdit* Consoletxt = nullptr;
    QPlainTextEdit* Consolemem = nullptr;
    QComboBox* Mapcmb = nullptr;
    QPushButton* Changemapcmd = nullptr;
    // The server's log, below the players.
    LogPane* Log = nullptr;

    // Asks the server again, unless a query is still on its way.
    void refresh();
    // The last answer: whether the server answers, and the query result.
    const live::QueryResult& lastResult() const { return last_; }
    // Sends a console command; `done` gets the result (also shown in the console pane).
    void runCommand(const QString& command, const std::function<void(const live::RconResult&)>& done = {});
    // The password the console uses: the one typed on the page, else server.cfg's rcon_password.
    QString password() const;

  signals:
    void answered(const tarrow::live::QueryResult& result);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The players as the console's `status` last listed them (ids, bots, addresses); empty without it.
    const QList<live::StatusPlayer>& statusPlayers() const { return statusPlayers_; }

  private:
    void show(const live::QueryResult& result);
    // Asks the console's `status` quietly, for the players' unique ids and which of them are bots.
    void askStatus();
    void showIds();
    // The players table's menu: Kick..., Ban... (each asked once).
    void PlayerstblMenu(const QPoint& at);
    void kickOrBan(const live::StatusPlayer& who, int banMinutes);
    // Runs the commands in turn, each once the one before has been done.
    void runCommands(const QStringList& commands);
    void ConsoletxtReturn();
    void ChangemapcmdClick();
    live::ServerAddress address() const;

    WindowContext& context_;
    live::QueryResult last_;
    bool querying_ = false;
    QDateTime stateSince_;
    bool answeringShown_ = false;
    QList<live::StatusPlayer> statusPlayers_;
    bool askingStatus_ = false;
    // Console commands on their way; one password is never sent twice at once (a refusal must be heard
    // before the next try), so the page's own status and a typed command wait for each other.
    int commandsRunning_ = 0;
    QList<std::function<void()>> afterStatus_;
    QStringList history_;
    qsizetype historyAt_ = 0;
};

} // namespace tarrow
