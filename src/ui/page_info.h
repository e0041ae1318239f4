#pragma once

#include "backupsdialog.h"
#include "diagnostics/infodump.h"
#include "page.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tarrow {

class ClickLabel;
class Rebuilder;

// What the Info page changes of the window itself: the status timer, the opacity, closing.
struct WindowControls {
    QTimer* statusTimer = nullptr;
    std::function<void(bool on, int level)> setTransparency;
    std::function<int()> transparencyLevel;
    std::function<void()> close;
};

// "  Info/Help  ": information labels, reset and rebuild, the window options, the dump and the help.
class InfoPage : public QWidget {
    Q_OBJECT
  public:
    InfoPage(WindowContext& context, WindowControls window, QWidget* parent);
    ~InfoPage() override;

    // The labels that name the installation, the settings and the versions.
    void showInformation(const QString& installRoot);
    // The stored server platform in its choice, without storing it again.
    void showPlatformSetting();
    BackupsDialog* backupsDialog() const { return backupsDialog_; }

    ClickLabel* TarKeylbl = nullptr;
    ClickLabel* TarPathlbl = nullptr;
    QLabel* TarVersionlbl = nullptr;
    QLabel* GUIversionlbl = nullptr;
    QPushButton* ResetKeycmd = nullptr;
    QPushButton* Backupscmd = nullptr;
    QCheckBox* Autoexecchk = nullptr;
    QCheckBox* Liblistchk = nullptr;
    QCheckBox* Metamodchk = nullptr;
    QCheckBox* NTFchk = nullptr;
    QPushButton* Rebuildcmd = nullptr;
    QLabel* Rebuildlbl = nullptr;
    QLineEdit* Transparency = nullptr;
    QLineEdit* StatsSpeed = nullptr;
    QComboBox* Platformcmb = nullptr;
    QCheckBox* Pluginchk = nullptr;
    QCheckBox* Serverchk = nullptr;
    QCheckBox* botchk = nullptr;
    QCheckBox* Tarrowchk = nullptr;
    QPushButton* Dumpcmd = nullptr;
    QPushButton* Helpcmd = nullptr;
    QPushButton* guihelpcmd = nullptr;
    // The desktop folder the dump goes to, and the system readings of its report (tests put their own).
    std::function<QString()> desktopFolder;
    SystemReadings dumpReadings = SystemReadings::real();

  public slots:
    void ResetKeycmdClick();
    void BackupscmdClick();
    void TarPathlblDblClick();
    void TarKeylblDblClick();
    void TransparencyChange();
    void StatsSpeedChange();
    void PlatformcmbChange();
    void RebuildcmdClick();
    void DumpcmdClick();
    void HelpcmdClick();
    void guihelpcmdClick();

  private:
    void buildRebuildGroup(QGridLayout* into);
    QWidget* buildDumpGroup();
    QWidget* buildResourcesGroup();

    WindowContext& context_;
    WindowControls window_;
    std::unique_ptr<Rebuilder> rebuilder_;
    QPointer<BackupsDialog> backupsDialog_;
    bool loadingPlatform_ = false;
};

} // namespace tarrow
