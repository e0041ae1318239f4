// The "Live Server" page: the running server's query and its remote console.
#include "page_live.h"
#include "logpane.h"

#include "app/windowoptions.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "live/configdiff.h"
#include "serverconfig/serverfiles.h"
#include "serverconfig/servermodel.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

namespace tarrow {

namespace {

QTableWidget* table(const char* name, const QStringList& headers, QWidget* parent) {
    auto* t = new QTableWidget(0, int(headers.size()), parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setHorizontalHeaderLabels(headers);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    return t;
}

void setRow(QTableWidget* t, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c)
        t->setItem(row, c, new QTableWidgetItem(cells[c]));
}

QString duration(std::optional<qint64> seconds) {
    if (!seconds) return {};
    const qint64 s = *seconds;
    return s >= 3600 ? QStringLiteral("%1:%2:%3")
                           .arg(s / 3600)
                           .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                           .arg(s % 60, 2, 10, QLatin1Char('0'))
                     : QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

LivePage::LivePage(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* layout = new QGridLayout(this);
    auto* server = new QGroupBox(QStringLiteral("Server:"), this);
    auto* grid = new QGridLayout(server);
    auto label = [&](const char* name, int row, const QString& caption) {
        auto* l = new QLabel(server);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        grid->addWidget(new QLabel(caption, server), row, 0);
        grid->addWidget(l, row, 1);
        return l;
    };
    Addresslbl = label("Addresslbl", 0, QStringLiteral("Address:"));
    Statelbl = label("Statelbl", 1, QStringLiteral("Answering:"));
    Namelbl = label("Namelbl", 2, QStringLiteral("Name:"));
    Maplbl = label("Maplbl", 3, QStringLiteral("Map:"));
    Peoplelbl = label("Peoplelbl", 4, QStringLiteral("People:"));
    Refreshcmd = new QPushButton(QStringLiteral("&Ask Again"), server);
    Refreshcmd->setObjectName(QStringLiteral("Refreshcmd"));
    grid->addWidget(Refreshcmd, 5, 0);
    Mapcmb = new QComboBox(server);
    Mapcmb->setObjectName(QStringLiteral("Mapcmb"));
    Mapcmb->setAccessibleName(QStringLiteral("Map to change to"));
    Changemapcmd = new QPushButton(QStringLiteral("&Change Map"), server);
    Changemapcmd->setObjectName(QStringLiteral("Changemapcmd"));
    grid->addWidget(Mapcmb, 6, 0);
    grid->addWidget(Changemapcmd, 6, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(server, 0, 0);

    Playerstbl = table("Playerstbl",
                       {QStringLiteral("Player"), QStringLiteral("Score"), QStringLiteral("Connected"),
                        QStringLiteral("Unique id")},
                       this);
    Playerstbl->setAccessibleName(QStringLiteral("Players"));
    Playerstbl->setToolTip(QStringLiteral("Right-click a player to kick or ban them"));
    Playerstbl->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Playerstbl, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { context_.guarded([this, at] { PlayerstblMenu(at); }); });
    layout->addWidget(Playerstbl, 0, 1);
    Differstbl =
        table("Differstbl",
              {QStringLiteral("Setting"), QStringLiteral("server.cfg"), QStringLiteral("Live value")}, this);
    Differstbl->setAccessibleName(QStringLiteral("Differs from server.cfg"));
    Differstbl->setToolTip(QStringLiteral("The live settings a restart would change back to server.cfg's"));
    auto* differs = new QLabel(QStringLiteral("Differs from server.cfg:"), this);
    differs->setBuddy(Differstbl);
    layout->addWidget(differs, 1, 0, 1, 2);
    layout->addWidget(Differstbl, 2, 0, 1, 2);

    auto* console = new QGroupBox(QStringLiteral("Console:"), this);
    auto* c = new QGridLayout(console);
    Passwordtxt = new QLineEdit(console);
    Passwordtxt->setObjectName(QStringLiteral("Passwordtxt"));
    Passwordtxt->setEchoMode(QLineEdit::Password);
    Passwordtxt->setPlaceholderText(QStringLiteral("rcon password (kept until the program closes)"));
    Passwordtxt->setAccessibleName(QStringLiteral("Rcon password"));
    Consolemem = new QPlainTextEdit(console);
    Consolemem->setObjectName(QStringLiteral("Consolemem"));
    Consolemem->setReadOnly(true);
    Consolemem->setAccessibleName(QStringLiteral("Console output"));
    Consoletxt = new QLineEdit(console);
    Consoletxt->setObjectName(QStringLiteral("Consoletxt"));
    Consoletxt->setPlaceholderText(QStringLiteral("a console command, then Enter"));
    Consoletxt->setAccessibleName(QStringLiteral("Console command"));
    Consoletxt->installEventFilter(this);
    c->addWidget(Passwordtxt, 0, 0);
    c->addWidget(Consolemem, 1, 0);
    c->addWidget(Consoletxt, 2, 0);
    layout->addWidget(console, 3, 0);
    Log = new LogPane(context_, this);
    layout->addWidget(Log, 3, 1);
    layout->setRowStretch(3, 1);

    connect(Refreshcmd, &QPushButton::clicked, this, &LivePage::refresh);
    // The log turned on in server.cfg is turned on in the running server too, when it answers.
    connect(Log, &LogPane::logTurnedOn, this, [this] {
        if (last_.answering && !password().isEmpty()) runCommand(QStringLiteral("log on"));
    });
    connect(Consoletxt, &QLineEdit::returnPressed, this, &LivePage::ConsoletxtReturn);
    connectGuarded(context_, Changemapcmd, &QPushButton::clicked, this, &LivePage::ChangemapcmdClick);
}

live::ServerAddress LivePage::address() const {
    return live::addressFromCommandLine(
        context_.installation().setting(ownSettingName(OwnSetting::CommandLine)));
}

QString LivePage::password() const {
    if (!Passwordtxt->text().isEmpty()) return Passwordtxt->text();
    return context_.installation().serverCfgValue(QStringLiteral("rcon_password")).value_or(QString());
}

void LivePage::refresh() {
    if (querying_ || !context_.installation().isSet()) return;
    querying_ = true;
    live::QueryOptions options;
    options.players = options.rules = true;
    options.tries = 1;
    auto* job = new live::QueryJob(address(), options, this);
    connect(job, &live::QueryJob::finished, this, [this, job](const live::QueryResult& r) {
        job->deleteLater();
        querying_ = false;
        show(r);
    });
    job->start();
}

void LivePage::show(const live::QueryResult& r) {
    last_ = r;
    Addresslbl->setText(r.address.text());
    if (r.answering != answeringShown_ || !stateSince_.isValid()) {
        answeringShown_ = r.answering;
        stateSince_ = QDateTime::currentDateTime();
    }
    const QString since = stateSince_.toString(QStringLiteral("HH:mm:ss"));
    Statelbl->setText(
        r.answering ? QStringLiteral("yes (%1 ms), since %2").arg(QString::number(r.latencyMs, 'f', 1), since)
                    : QStringLiteral("no, since %1").arg(since));
    const live::ServerInfo& i = r.info;
    Namelbl->setText(r.answering ? i.name : QString());
    Maplbl->setText(r.answering ? i.map : QString());
    Peoplelbl->setText(r.answering ? QStringLiteral("%1 people and %2 bots of %3 places")
                                         .arg(i.humans())
                                         .arg(i.bots)
                                         .arg(i.maxPlayers)
                                   : QString());
    const QList<live::PlayerEntry> players = r.players.value_or(QList<live::PlayerEntry>());
    Playerstbl->setRowCount(int(players.size()));
    for (int row = 0; row < players.size(); ++row)
        setRow(Playerstbl, row,
               {players[row].name, QString::number(players[row].score),
                duration(players[row].connectedSeconds()), QString()});
    showIds();
    if (r.answering) askStatus();
    QList<live::SettingDifference> differ;
    if (r.rules && context_.installation().isSet())
        differ = live::differences(context_.installation().serverCfgValues(), *r.rules);
    Differstbl->setRowCount(int(differ.size()));
    for (int row = 0; row < differ.size(); ++row)
        setRow(Differstbl, row, {differ[row].name, differ[row].fileValue, differ[row].liveValue});
    // The maps the launcher offers.
    if (Mapcmb->count() == 0 && context_.installation().isSet()) {
        const QDir maps(nativePath(context_.installation().paths().mapsFolder));
        for (const QString& f :
             maps.entryList({QStringLiteral("*.bsp")}, QDir::Files, QDir::Name | QDir::IgnoreCase))
            Mapcmb->addItem(f.left(f.size() - 4));
    }
    Changemapcmd->setEnabled(r.answering && Mapcmb->count() > 0);
    emit answered(r);
}

void LivePage::askStatus() {
    const QString pw = password();
    if (askingStatus_ || commandsRunning_ > 0 || pw.isEmpty()) return;
    askingStatus_ = true;
    auto* job = new live::RconJob(address(), pw, QStringLiteral("status"), 1500, this);
    connect(job, &live::RconJob::finished, this, [this, job](const live::RconResult& r) {
        job->deleteLater();
        askingStatus_ = false;
        // A refused password is not sent again; the table then shows no ids.
        statusPlayers_ = r.status == live::RconStatus::Done ? live::playersInStatus(r.output)
                                                            : QList<live::StatusPlayer>();
        showIds();
        for (const auto& next : std::exchange(afterStatus_, {}))
            next();
    });
    job->start();
}

void LivePage::showIds() {
    for (int row = 0; row < Playerstbl->rowCount(); ++row) {
        QTableWidgetItem* name = Playerstbl->item(row, 0);
        QTableWidgetItem* id = Playerstbl->item(row, 3);
        if (!name || !id) continue;
        const auto it = std::find_if(statusPlayers_.begin(), statusPlayers_.end(),
                                     [&](const live::StatusPlayer& p) { return p.name == name->text(); });
        id->setText(it == statusPlayers_.end() ? QString() : it->bot() ? QStringLiteral("bot") : it->id);
    }
}

void LivePage::PlayerstblMenu(const QPoint& at) {
    const QTableWidgetItem* item = Playerstbl->itemAt(at);
    if (!item) return;
    const QString name = Playerstbl->item(item->row(), 0)->text();
    const auto it = std::find_if(statusPlayers_.begin(), statusPlayers_.end(),
                                 [&](const live::StatusPlayer& p) { return p.name == name; });
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("Playersmnu"));
    if (it == statusPlayers_.end()) {
        // Without the console's status there is no number or id to act on.
        menu.addAction(QStringLiteral("Kick and ban need the console password"))->setEnabled(false);
        menu.exec(Playerstbl->viewport()->mapToGlobal(at));
        return;
    }
    const live::StatusPlayer who = *it;
    connect(menu.addAction(QStringLiteral("&Kick...")), &QAction::triggered, this,
            [this, who] { context_.guarded([this, who] { kickOrBan(who, -1); }); });
    for (const auto& [caption, minutes] :
         {std::pair{"Ban for &60 Minutes...", 60}, std::pair{"Ban for a &Day...", 1440},
          std::pair{"Ban for &Good...", 0}})
        connect(menu.addAction(QString::fromLatin1(caption)), &QAction::triggered, this,
                [this, who, minutes = minutes] {
                    context_.guarded([this, who, minutes] { kickOrBan(who, minutes); });
                });
    menu.exec(Playerstbl->viewport()->mapToGlobal(at));
}

void LivePage::kickOrBan(const live::StatusPlayer& who, int banMinutes) {
    // An id the engine gives many people (a LAN game) is banned by the player's address.
    live::LogPlayer asLogged;
    asLogged.id = who.id;
    const bool byAddress = asLogged.sharedId() && !who.address.isEmpty();
    const QString shown = who.name + QStringLiteral(" (") +
                          (byAddress ? who.address.section(QLatin1Char(':'), 0, 0) : who.id) +
                          QLatin1Char(')');
    if (banMinutes < 0) {
        if (!context_.prompter().confirm(QStringLiteral("Kick %1?").arg(shown))) return;
        runCommand(QStringLiteral("kick # %1").arg(who.uid));
        return;
    }
    const QString lasting =
        banMinutes == 0 ? QStringLiteral("for good") : QStringLiteral("for %1 minutes").arg(banMinutes);
    if (!context_.prompter().confirm(QStringLiteral("Ban %1 %2?").arg(shown, lasting))) return;
    // One after the other: writeid and writeip save the lists as the ban left them.
    QStringList commands;
    if (byAddress)
        commands
            << QStringLiteral("addip %1 %2").arg(banMinutes).arg(who.address.section(QLatin1Char(':'), 0, 0))
            << QStringLiteral("kick # %1").arg(who.uid) << QStringLiteral("writeip");
    else
        commands << QStringLiteral("banid %1 %2 kick").arg(banMinutes).arg(who.id)
                 << QStringLiteral("writeid");
    runCommands(commands);
}

void LivePage::runCommands(const QStringList& commands) {
    if (commands.isEmpty()) return;
    runCommand(commands.first(), [this, rest = commands.mid(1)](const live::RconResult& r) {
        if (r.status == live::RconStatus::Done) runCommands(rest);
    });
}

void LivePage::runCommand(const QString& command, const std::function<void(const live::RconResult&)>& done) {
    if (askingStatus_) {
        afterStatus_ << [this, command, done] { runCommand(command, done); };
        return;
    }
    const QString pw = password();
    Consolemem->appendPlainText(QStringLiteral("] ") + command);
    if (pw.isEmpty()) {
        Consolemem->appendPlainText(
            QStringLiteral("No rcon password: type it above, or set rcon_password in server.cfg."));
        Passwordtxt->setFocus();
        return;
    }
    auto* job = new live::RconJob(address(), pw, command, 1500, this);
    ++commandsRunning_;
    connect(job, &live::RconJob::finished, this, [this, job, done](const live::RconResult& r) {
        job->deleteLater();
        --commandsRunning_;
        QString text = r.status == live::RconStatus::Done ? r.output : live::rconStatusText(r.status);
        while (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        if (!text.isEmpty()) Consolemem->appendPlainText(text);
        // A refused password is never sent again (the client remembers it): the page asks for another.
        if (r.status == live::RconStatus::BadPassword || r.status == live::RconStatus::RefusedBefore) {
            Passwordtxt->clear();
            Passwordtxt->setFocus();
        }
        if (done) done(r);
    });
    job->start();
}

void LivePage::ConsoletxtReturn() {
    const QString command = Consoletxt->text().trimmed();
    if (command.isEmpty()) return;
    if (history_.isEmpty() || history_.last() != command) history_ << command;
    historyAt_ = history_.size();
    Consoletxt->clear();
    runCommand(command);
}

void LivePage::ChangemapcmdClick() {
    if (Mapcmb->currentText().isEmpty()) return;
    runCommand(QStringLiteral("changelevel ") + Mapcmb->currentText(),
               [this](const live::RconResult&) { refresh(); });
}

bool LivePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Consoletxt && event->type() == QEvent::KeyPress && !history_.isEmpty()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            historyAt_ = std::clamp<qsizetype>(historyAt_ + (key == Qt::Key_Up ? -1 : 1), 0, history_.size());
            Consoletxt->setText(historyAt_ < history_.size() ? history_[historyAt_] : QString());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarrow
