#pragma once

#include "settingtable.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarrow {

// The settings of the server pages, with the behaviour of their controls: boxes that enable their
// edits (unticking empties), the connection-speed presets, and number settings whose value comes from
// their edit's text. The pages show this model and pass the user's changes to it.
class ServerModel {
  public:
    enum class ServerKind { None, Dedicated, Listen };

    ServerModel();

    // Edit texts, by the edit's name (text, password, exec and custom settings, the rate edits and the
    // edits of the numbers).
    QString text(const QString& edit) const;
    void setText(const QString& edit, const QString& text);

    // Check boxes by name: flags and the boxes that enable an edit (which they switch).
    bool checked(const QString& box) const;
    void setChecked(const QString& box, bool on);
    bool editEnabled(const QString& edit) const;

    // Numbers by the up-down's name. The value is read from the edit's text: a whole number in range,
    // 0 for an empty text when 0 is in range, else the last valid value.
    int number(const QString& upDown) const;
    // Brings the value into range; the edit then shows it.
    void setNumber(const QString& upDown, int value);
    // One step up (+1) or down (-1) by the setting's step.
    void stepNumber(const QString& upDown, int steps);

    // Connection speed: 0..3, or -1 for none. Changing it runs the preset (shown rates, label, edits).
    int rateItem() const { return rateItem_; }
    void setRateItem(int item);
    QString rateLabel() const { return rateLabel_; }

    // Friendly fire: 0..3, or -1 for none.
    int friendlyFire() const { return friendlyFire_; }
    void setFriendlyFire(int item) { friendlyFire_ = item; }

    ServerKind serverKind = ServerKind::None;

    // The lines each row wrote when the files were loaded or last saved. A row whose lines differ now
    // was changed on the page, and only such rows touch an existing file. Empty until the first load.
    QHash<const Setting*, QStringList> baseline;

    // The edit a box switches, or empty.
    static QString editOfBox(const QString& box);

  private:
    struct NumberState {
        const Setting* setting = nullptr;
        QString edit;
        int lastValid = 0;
    };
    static bool parseWhole(const QString& text, int& value);
    void refreshNumber(NumberState& n) const;

    QHash<QString, QString> texts_;
    QHash<QString, bool> checked_;
    QHash<QString, NumberState> numbers_;  // by up-down
    QHash<QString, QString> numberOfEdit_; // edit -> up-down
    int rateItem_ = kCustomRateItem;
    QString rateLabel_ = QStringLiteral("Custom Rate Limits:");
    int friendlyFire_ = 0;
};

} // namespace tarrow
