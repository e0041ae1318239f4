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

} // namespace tarrow
