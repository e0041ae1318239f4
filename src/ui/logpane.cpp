#include "logpane.h"

#include "app/installation.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace tarrow {

namespace {

// What the pane shows: who came and went, what was said, kicks, maps and console logins.
bool shown(const live::LogEvent& e) {
    const QLatin1String group(live::logKindGroup(e.kind));
    return group == QLatin1String("joins") || group == QLatin1String("chat") ||
           group == QLatin1String("map") || group == QLatin1String("rcon");
}

QString lineOf(const live::LogEvent& e) {
    return e.time.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' ') +
           QString::fromLatin1(live::logKindWord(e.kind)).leftJustified(6) + QLatin1Char(' ') +
           live::logEventText(e);
}

} // namespace

LogPane::LogPane(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("Logpane"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("Log:"), this);
    Peopleonlychk = new QCheckBox(QStringLiteral("&People only"), this);
    Peopleonlychk->setObjectName(QStringLiteral("Peopleonlychk"));
    Peopleonlychk->setToolTip(QStringLiteral("Leave out what the bots do"));
    Logfiltertxt = new QLineEdit(this);
    Logfiltertxt->setObjectName(QStringLiteral("Logfiltertxt"));
    Logfiltertxt->setPlaceholderText(QStringLiteral("filter: a name, an id, words said"));
    Logfiltertxt->setAccessibleName(QStringLiteral("Log filter"));
    Logfiltertxt->setClearButtonEnabled(true);
    Logmem = new QPlainTextEdit(this);
    Logmem->setObjectName(QStringLiteral("Logmem"));
    Logmem->setReadOnly(true);
    Logmem->setAccessibleName(QStringLiteral("Log"));
    Logmem->setMaximumBlockCount(kKeptEvents);
    Logmem->setLineWrapMode(QPlainTextEdit::NoWrap);
    Logmem->setFont(QFont(QStringLiteral("monospace")));
    caption->setBuddy(Logmem);
    Lognotelbl = new QLabel(this);
    Lognotelbl->setObjectName(QStringLiteral("Lognotelbl"));
    Lognotelbl->setWordWrap(true);
    Logoncmd = new QPushButton(QStringLiteral("&Turn the Log On"), this);
    Logoncmd->setObjectName(QStringLiteral("Logoncmd"));
    Logoncmd->setToolTip(
        QStringLiteral("Adds \"log on\" to server.cfg (its previous version is kept) and, when "
                       "the server answers, sends it"));
    grid->addWidget(caption, 0, 0);
    grid->addWidget(Peopleonlychk, 0, 1);
    grid->addWidget(Logfiltertxt, 0, 2);
    grid->addWidget(Lognotelbl, 1, 0, 1, 2);
    grid->addWidget(Logoncmd, 1, 2);
    grid->addWidget(Logmem, 2, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("logtmr"));
    timer_->setInterval(1000);
    // Reading the log writes nothing: the tick needs no handler's bookkeeping (which would take the
    // window's record of writes in the middle of a refresh).
    connect(timer_, &QTimer::timeout, this, &LogPane::look);
    connect(Peopleonlychk, &QCheckBox::toggled, this, [this] { show(); });
    connect(Logfiltertxt, &QLineEdit::textChanged, this, [this] { show(); });
    connectGuarded(context_, Logoncmd, &QPushButton::clicked, this, &LogPane::LogoncmdClick);
    restart();
}

bool LogPane::logOnInServerCfg() const {
    const auto value = context_.installation().serverCfgValue(QStringLiteral("log"));
    return value && value->compare(QLatin1String("on"), Qt::CaseInsensitive) == 0;
}

void LogPane::restart() {
    kept_.clear();
    Logmem->clear();
    follower_.reset();
    timer_->stop();
    const Installation& in = context_.installation();
    if (!in.isSet()) return;
    follower_ = std::make_unique<live::LogFollower>(nativePath(in.paths().logsFolder));
    follower_->startNearEnd(kFirstRead);
    showState();
    look();
    timer_->start();
}

void LogPane::showState() {
    const bool logOn = logOnInServerCfg();
    const bool anyFile =
        !live::logFilesInOrder(nativePath(context_.installation().paths().logsFolder)).isEmpty();
    Logoncmd->setVisible(!logOn);
    Lognotelbl->setVisible(!logOn || !anyFile);
    if (!logOn)
        Lognotelbl->setText(QStringLiteral("The server keeps no log: server.cfg has no \"log on\"."));
    else if (!anyFile)
        Lognotelbl->setText(
            QStringLiteral("No log yet: the server writes one once it runs with \"log on\"."));
}

void LogPane::look() {
    // Hidden, it waits: what was written meanwhile is read when the page shows again.
    if (!follower_ || !isVisible()) return;
    QList<live::LogEvent> fresh;
    follower_->poll([&](const live::LogLine& l) {
        if (shown(l.event)) fresh.append(l.event);
    });
    showState();
    if (fresh.isEmpty()) return;
    kept_ << fresh;
    if (kept_.size() > kKeptEvents) kept_.remove(0, kept_.size() - kKeptEvents);
    // New lines are added at the end; the whole pane is redrawn only when the filter changes.
    for (const live::LogEvent& e : fresh)
        append(e);
}

void LogPane::append(const live::LogEvent& e) {
    const QString line = lineOf(e);
    if (Peopleonlychk->isChecked() && e.player && !e.player->person()) return;
    const QString filter = Logfiltertxt->text().trimmed();
    if (!filter.isEmpty() && !line.contains(filter, Qt::CaseInsensitive)) return;
    const QString text = line.toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
    Logmem->appendHtml(e.kind == live::LogKind::BadRcon ? QStringLiteral("<span style=\"color:#c00000\">") +
                                                              text + QStringLiteral("</span>")
                                                        : text);
}

void LogPane::show() {
    Logmem->clear();
    for (const live::LogEvent& e : kept_)
        append(e);
}

void LogPane::LogoncmdClick() {
    const InstallPaths paths = context_.installation().paths();
    // Every byte of the file stays; the line is added at its end.
    QByteArray bytes = fileExists(paths.serverCfg) ? readFileBytes(paths.serverCfg) : QByteArray();
    if (!bytes.isEmpty() && !bytes.endsWith('\n')) bytes += "\r\n";
    bytes += "log on\r\n";
    const Installation& in = context_.installation();
    in.takeWrites();
    writeFileBytes(paths.serverCfg, bytes, in.backups());
    context_.reportWrites(in.takeWrites());
    emit logTurnedOn();
    showState();
}

} // namespace tarrow
