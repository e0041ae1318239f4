#pragma once

#include "common/prompter.h"
#include "common/shell.h"

class QWidget;

namespace tarrow {

// Message boxes titled "Tarrow GUI" with OK or Yes/No, and the folder dialog.
class QtPrompter : public Prompter {
  public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    QString browseForFolder(const QString& caption) override;
    void error(const QString& text) override;
    SaveChoice askToSave(const QString& text) override;

  private:
    QWidget* parent_;
};

// The desktop's handlers, and programs started without waiting.
class QtShell : public Shell {
  public:
    bool openDocument(const QString& nativePath) override;
    bool openFolder(const QString& nativePath) override;
    bool openWebAddress(const QString& address) override;
    bool startProgram(const QString& program, const QStringList& arguments,
                      const QString& workingDirectory) override;
};

} // namespace tarrow
