#pragma once

#include <QString>

namespace tarrow {

// Every message box, confirmation and folder choice goes through this seam, so that logic can be tested
// without a window and tests never block on a modal box.
class Prompter {
  public:
    virtual ~Prompter() = default;
    // A notice or user error with an OK button.
    virtual void message(const QString& text) = 0;
    // A question with Yes and No; only Yes returns true.
    virtual bool confirm(const QString& text) = 0;
    // The browse-for-folder dialog; an empty result means the user cancelled.
    virtual QString browseForFolder(const QString& caption) = 0;
    // The generic error box for a failed operation (system text or conversion error).
    virtual void error(const QString& text) = 0;
    // Unsaved edits: save them, discard them, or stay where one was.
    enum class SaveChoice { Save, Discard, Cancel };
    virtual SaveChoice askToSave(const QString& text) = 0;
};

// Says nothing and refuses every question: for reading a file whose reader would otherwise talk to
// the user (the server settings behind the command line, the live page, a service).
class SilentPrompter : public Prompter {
  public:
    void message(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    QString browseForFolder(const QString&) override { return {}; }
    void error(const QString&) override {}
    SaveChoice askToSave(const QString&) override { return SaveChoice::Cancel; }
};

} // namespace tarrow
