#pragma once

#include "page.h"

#include <QWidget>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tarrow {

class FileListBox;

// "Tarrow Scripts": a three-step wizard that writes a map's script, and the editor's menu.
class ScriptsPage : public QWidget {
    Q_OBJECT
  public:
    ScriptsPage(WindowContext& context, QWidget* parent);

    // 0 the choice, 1 the list, 2 the editor.
    int scriptStep() const { return scriptStep_; }

    QLabel* Newlbl = nullptr;
    QRadioButton* Newscriptopt = nullptr;
    QRadioButton* Currentscriptopt = nullptr;
    FileListBox* Scriptlst = nullptr;
    QPlainTextEdit* Scripttxt = nullptr;
    QPushButton* ScriptCcmd = nullptr;
    QPushButton* ScriptBcmd = nullptr;
    QPushButton* ScriptNcmd = nullptr;
    QPushButton* ScriptFcmd = nullptr;
    QMenu* scriptmnu = nullptr;

  public slots:
    void NewscriptoptClick();
    void CurrentscriptoptClick();
    void ScriptlstClick();
    void ScriptNcmdClick();
    void ScriptBcmdClick();
    void ScriptFcmdClick();
    void ScriptCcmdClick();
    // Opens the script editor's menu at the mouse pointer.
    void popupScriptMenu();

  protected:
    // The editor opens its menu on a right-button release and on the release of Alt.
    bool eventFilter(QObject* watched, QEvent* event) override;

  public:
    // A script edited in the wizard's last step and not finished yet; finishing writes it.
    bool hasUnsavedScript() const;

  private:
    void showScriptList(bool filterScripted);
    WindowContext& context_;
    int scriptStep_ = 0;
};

} // namespace tarrow
