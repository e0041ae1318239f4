#pragma once

#include "page.h"
#include "serverconfig/servermodel.h"

#include <QHash>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tarrow {

// The server model of the "Server Config/Launcher" pages and the controls bound to it. Every page
// built from the settings tables registers its controls here; a change in any of them goes to the
// model, and the model is shown again in all of them.
class ServerBinding : public QObject {
    Q_OBJECT
  public:
    explicit ServerBinding(QObject* parent) : QObject(parent) {}

    ServerModel& model() { return model_; }
    // Shows the server model in its controls.
    void syncServerControls();
    // The group boxes of one settings page, built from the settings tables.
    QList<QWidget*> buildServerGroups(SettingPage page, QWidget* parent);
    QWidget* buildRateGroup(QWidget* parent);
    QWidget* buildFriendlyFireGroup(QWidget* parent);

    QLabel* Ratelbl = nullptr;

  public slots:
    void RategrpClick(int item);

  private:
    void bindServerEdit(QLineEdit* edit);
    // A check box of the server pages, bound to the model.
    QCheckBox* serverCheckBox(const QString& name, const QString& caption);

    ServerModel model_;
    QHash<QString, QLineEdit*> serverEdits_;
    QHash<QString, QCheckBox*> serverBoxes_;
    QRadioButton* rateItems_[4] = {};
    QRadioButton* friendlyFireItems_[4] = {};
    bool syncingServer_ = false;
};

// The content widget of an inner page that scrolls, so that nothing is cut off at any window size.
QWidget* scrolledContent(QWidget* page);

// An inner page made only of a settings table's groups, one below the other: "Advanced",
// "Admin Mod", "  NeoTF  ", "NeoTF Cont.".
class ServerSettingsPage : public QWidget {
    Q_OBJECT
  public:
    ServerSettingsPage(ServerBinding& binding, SettingPage page, QWidget* parent);
};

} // namespace tarrow
