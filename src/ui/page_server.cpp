// The server settings pages, built from the settings tables and bound to the server model.
#include "page_server.h"

#include "common/modtable.h"
#include "widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace tarrow {

namespace {

const std::vector<Setting>& tableOf(SettingPage page) {
    switch (page) {
    case SettingPage::Basic:
    case SettingPage::Advanced:
        return serverSettings();
    case SettingPage::Adminmod:
        return adminmodSettings();
    default:
        return neotfSettings();
    }
}

// Check boxes per row, and caption-and-edit pairs per row.
int flagColumnsFor(SettingPage page) {
    return page == SettingPage::Basic ? 2 : 3;
}
int pairColumnsFor(SettingPage page) {
    return page == SettingPage::Basic ? 1 : 2;
}

} // namespace

void ServerBinding::bindServerEdit(QLineEdit* edit) {
    serverEdits_.insert(edit->objectName(), edit);
    // Typing is held to the table's limit; a longer value from a file is still shown whole.
    edit->setProperty("typingLimit", edit->maxLength());
    // Every change counts, also one made by the program or through the accessibility interface.
    connect(edit, &QLineEdit::textChanged, this, [this, edit](const QString& text) {
        if (syncingServer_) return;
        model_.setText(edit->objectName(), text);
        syncServerControls();
    });
}

QCheckBox* ServerBinding::serverCheckBox(const QString& name, const QString& caption) {
    auto* c = new QCheckBox(caption);
    c->setObjectName(name);
    serverBoxes_.insert(name, c);
    connect(c, &QCheckBox::toggled, this, [this, c](bool on) {
        if (syncingServer_) return;
        model_.setChecked(c->objectName(), on);
        syncServerControls();
    });
    return c;
}

QList<QWidget*> ServerBinding::buildServerGroups(SettingPage page, QWidget* parent) {
    QList<QWidget*> groups;
    QHash<QString, QGridLayout*> grids;
    QHash<QString, int> cells;
    const int columns = flagColumnsFor(page);
    const int pairs = pairColumnsFor(page);
    for (const Setting& s : tableOf(page)) {
        if (s.page != page || !s.group) continue;
        if (s.kind == SettingKind::Comment || s.kind == SettingKind::MinRate ||
            s.kind == SettingKind::MaxRate || s.kind == SettingKind::Teamplay)
            continue;
        const QString groupName = QString::fromLatin1(s.group);
        QGridLayout* grid = grids.value(groupName);
        if (!grid) {
            auto* box = new QGroupBox(groupName, parent);
            grid = new QGridLayout(box);
            grids.insert(groupName, grid);
            groups << box;
        }
        int& cell = cells[groupName];
        const QString caption = QString::fromLatin1(s.caption);
        const QString hint = s.hint ? QString::fromLatin1(s.hint) : QString();
        if (s.kind == SettingKind::Flag) {
            QCheckBox* c = serverCheckBox(s.controlName(), caption);
            c->setToolTip(hint);
            grid->addWidget(c, cell / columns, cell % columns);
            ++cell;
            continue;
        }
        // Settings with a caption and an edit take two cells of a two-wide row.
        QWidget* head = nullptr;
        if (!s.box) {
            auto* l = new QLabel(caption);
            l->setToolTip(hint);
            head = l;
        } else {
            head = serverCheckBox(s.boxName(), caption);
        }
        QWidget* field = nullptr;
        if (s.kind == SettingKind::Number || s.kind == SettingKind::Penalty) {
            auto* ud = new UpDownEdit(s.controlName(), s.editName());
            ud->setAccessibleName(caption);
            ud->edit()->setAccessibleName(caption);
            ud->setToolTip(hint);
            ud->setMinimumWidth(80);
            if (s.maxLength > 0) ud->edit()->setMaxLength(s.maxLength);
            ud->setRange(s.min, s.max);
            ud->setValueSource([this, name = ud->objectName()] { return model_.number(name); });
            bindServerEdit(ud->edit());
            connect(ud, &UpDownEdit::stepRequested, this, [this, ud](int steps) {
                model_.stepNumber(ud->objectName(), steps);
                syncServerControls();
            });
            // Once the user leaves it, the edit shows the value a save would write (a text out of range
            // keeps the last valid value).
            connect(ud, &QAbstractSpinBox::editingFinished, this, [this, ud] {
                model_.setText(ud->edit()->objectName(), QString::number(model_.number(ud->objectName())));
                syncServerControls();
            });
            field = ud;
        } else {
            auto* e = new QLineEdit;
            e->setObjectName(s.controlName());
            e->setAccessibleName(caption);
            e->setToolTip(hint);
            if (s.maxLength > 0) e->setMaxLength(s.maxLength);
            bindServerEdit(e);
            field = e;
        }
        if (auto* l = qobject_cast<QLabel*>(head)) l->setBuddy(field);
        int row = cell / pairs;
        int col = (cell % pairs) * 2;
        grid->addWidget(head, row, col);
        grid->addWidget(field, row, col + 1);
        ++cell;
    }
    return groups;
}

QWidget* ServerBinding::buildRateGroup(QWidget* parent) {
    auto* group = new QGroupBox(QStringLiteral("Server Rate:"), parent);
    auto* grid = new QGridLayout(group);
    auto* speed = new QGroupBox(QStringLiteral("Connection Speed:"), group);
    speed->setObjectName(QStringLiteral("Rategrp"));
    auto* speedLayout = new QVBoxLayout(speed);
    auto* buttons = new QButtonGroup(group);
    for (int i = 0; i < 4; ++i) {
        rateItems_[i] = new QRadioButton(QString::fromLatin1(ratePresets()[i].caption), speed);
        buttons->addButton(rateItems_[i], i);
        speedLayout->addWidget(rateItems_[i]);
    }
    connect(buttons, &QButtonGroup::idToggled, this, [this](int item, bool on) {
        if (on && !syncingServer_) RategrpClick(item);
    });
    grid->addWidget(speed, 0, 0, 3, 1);
    Ratelbl = new QLabel(model_.rateLabel());
    Ratelbl->setObjectName(QStringLiteral("Ratelbl"));
    grid->addWidget(Ratelbl, 0, 1, 1, 2);
    for (const Setting& s : serverSettings()) {
        if (s.kind != SettingKind::MinRate && s.kind != SettingKind::MaxRate) continue;
        auto* l = new QLabel(QString::fromLatin1(s.caption));
        auto* e = new QLineEdit;
        e->setObjectName(s.controlName());
        e->setMaxLength(s.maxLength);
        e->setAccessibleName(l->text());
        l->setBuddy(e);
        bindServerEdit(e);
        const int row = s.kind == SettingKind::MinRate ? 1 : 2;
        grid->addWidget(l, row, 1);
        grid->addWidget(e, row, 2);
    }
    return group;
}

QWidget* ServerBinding::buildFriendlyFireGroup(QWidget* parent) {
    auto* group = new QGroupBox(QStringLiteral("Friendly Fire Damage:"), parent);
    group->setObjectName(QStringLiteral("FriendlyFiregrp"));
    auto* layout = new QHBoxLayout(group);
    auto* buttons = new QButtonGroup(group);
    for (int i = 0; i < 4; ++i) {
        friendlyFireItems_[i] = new QRadioButton(QString::fromLatin1(friendlyFireItems()[i].caption), group);
        buttons->addButton(friendlyFireItems_[i], i);
        layout->addWidget(friendlyFireItems_[i]);
    }
    connect(buttons, &QButtonGroup::idToggled, this, [this](int item, bool on) {
        if (!on || syncingServer_) return;
        model_.setFriendlyFire(item);
        syncServerControls();
    });
    return group;
}

void ServerBinding::syncServerControls() {
    syncingServer_ = true;
    for (auto it = serverEdits_.cbegin(); it != serverEdits_.cend(); ++it) {
        const QString text = model_.text(it.key());
        const int limit = it.value()->property("typingLimit").toInt();
        it.value()->setMaxLength(int(std::max<qsizetype>(limit, text.size())));
        if (it.value()->text() != text) it.value()->setText(text);
        it.value()->setEnabled(model_.editEnabled(it.key()));
    }
    for (auto it = serverBoxes_.cbegin(); it != serverBoxes_.cend(); ++it)
        it.value()->setChecked(model_.checked(it.key()));
    for (int i = 0; i < 4; ++i) {
        rateItems_[i]->setChecked(model_.rateItem() == i);
        friendlyFireItems_[i]->setChecked(model_.friendlyFire() == i);
    }
    Ratelbl->setText(model_.rateLabel());
    syncingServer_ = false;
}

void ServerBinding::RategrpClick(int item) {
    model_.setRateItem(item);
    syncServerControls();
}

QWidget* scrolledContent(QWidget* page) {
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* area = new QScrollArea(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    area->setWidget(content);
    outer->addWidget(area);
    return content;
}

ServerSettingsPage::ServerSettingsPage(ServerBinding& binding, SettingPage page, QWidget* parent)
    : QWidget(parent) {
    QWidget* content = scrolledContent(this);
    auto* grid = new QGridLayout(content);
    int row = 0;
    for (QWidget* g : binding.buildServerGroups(page, content))
        grid->addWidget(g, row++, 0);
    grid->setRowStretch(row, 1);
}

} // namespace tarrow
