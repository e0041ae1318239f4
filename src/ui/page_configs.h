#pragma once

#include "page.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tarrow {

class FileListBox;

// "Tarrow Configs": the per-map configuration files of the bot, opened one at a time.
class ConfigsPage : public QWidget {
    Q_OBJECT
  public:
    ConfigsPage(WindowContext& context, QWidget* parent);

    // Points the list at the per-map folder of the installation, when it exists.
    void showConfigFolder(const QString& folder);

    FileListBox* Configlst = nullptr;
    QPlainTextEdit* Configtxt = nullptr;
    QLabel* Configlbl = nullptr;
    QPushButton* Loadconfigcmd = nullptr;
    QPushButton* Saveconfigcmd = nullptr;
    QPushButton* Closeconfigcmd = nullptr;

  public slots:
    void ConfiglstDblClick();
    void LoadconfigcmdClick();
    void SaveconfigcmdClick();
    void CloseconfigcmdClick();

    // An open per-map config with edits not saved yet.
    bool hasUnsavedConfig() const;

  private:
    void setConfigOpen(bool open);
    WindowContext& context_;
};

} // namespace tarrow
