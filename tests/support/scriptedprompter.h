#pragma once

#include "common/prompter.h"
#include "common/shell.h"
#include "common/wait.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

namespace tarrow::test {

// Records every text shown and answers questions from a queue the test filled (No when it is empty).
class ScriptedPrompter : public Prompter {
  public:
    struct Entry {
        QString kind; // "message", "confirm", "folder", "error", "save"
        QString text;
    };
    void message(const QString& text) override { log.append({QStringLiteral("message"), text}); }
    bool confirm(const QString& text) override {
        log.append({QStringLiteral("confirm"), text});
        return answers.isEmpty() ? false : answers.dequeue();
    }
    QString browseForFolder(const QString& caption) override {
        log.append({QStringLiteral("folder"), caption});
        return folders.isEmpty() ? QString() : folders.dequeue();
    }
    void error(const QString& text) override { log.append({QStringLiteral("error"), text}); }
    SaveChoice askToSave(const QString& text) override {
        log.append({QStringLiteral("save"), text});
        return saveChoices.isEmpty() ? SaveChoice::Cancel : saveChoices.dequeue();
    }

    QStringList texts(const QString& kind = QString()) const;

    QList<Entry> log;
    QQueue<bool> answers;
    QQueue<QString> folders;
    QQueue<SaveChoice> saveChoices;
};

// Records what the desktop would have opened or started.
class RecordingShell : public Shell {
  public:
    bool openDocument(const QString& p) override { return record(QStringLiteral("document ") + p); }
    bool openFolder(const QString& p) override { return record(QStringLiteral("folder ") + p); }
    bool openWebAddress(const QString& a) override { return record(QStringLiteral("web ") + a); }
    bool startProgram(const QString& program, const QStringList& args, const QString& dir) override {
        return record(QStringLiteral("start ") + program + QLatin1Char('|') + args.join(QLatin1Char('|')) +
                      QLatin1Char('|') + dir);
    }
    QStringList opened;
    bool result = true;

  private:
    bool record(const QString& what) {
        opened.append(what);
        return result;
    }
};

// Waits return at once; the clock records how long each would have been.
class FakeClock : public Clock {
  public:
    FakeClock() { Clock::setCurrent(this); }
    ~FakeClock() override { Clock::setCurrent(nullptr); }
    void waitWithMessages(int ms) override {
        waits.append(ms);
        if (onWait) onWait(ms);
    }
    QList<int> waits;
    // What happens while the window would wait (a timer's tick, say).
    std::function<void(int)> onWait;
};

} // namespace tarrow::test
