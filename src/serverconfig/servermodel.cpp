#include "servermodel.h"

#include <QRegularExpression>
#include <algorithm>

namespace tarrow {

namespace {

bool hasBox(const Setting& s) {
    return s.kind == SettingKind::Password || s.kind == SettingKind::Penalty || s.kind == SettingKind::Exec ||
           s.kind == SettingKind::Custom;
}

bool isNumber(const Setting& s) {
    return s.kind == SettingKind::Number || s.kind == SettingKind::Penalty;
}

const QHash<QString, QString>& boxEdits() {
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> m;
        for (const Setting* s : allSettings())
            if (hasBox(*s)) m.insert(s->boxName(), isNumber(*s) ? s->editName() : s->controlName());
        return m;
    }();
    return map;
}

} // namespace

QString ServerModel::editOfBox(const QString& box) {
    return boxEdits().value(box);
}

ServerModel::ServerModel() {
    for (const Setting* row : allSettings()) {
        const Setting& s = *row;
        if (s.kind == SettingKind::Comment || s.kind == SettingKind::Teamplay) continue;
        if (isNumber(s)) {
            NumberState n;
            n.setting = &s;
            n.edit = s.editName();
            n.lastValid = s.start;
            numbers_.insert(s.controlName(), n);
            numberOfEdit_.insert(n.edit, s.controlName());
            texts_.insert(n.edit, QString::number(s.start));
        } else if (s.kind == SettingKind::Flag) {
            checked_.insert(s.controlName(), false);
        } else {
            texts_.insert(s.controlName(), QString());
        }
        if (hasBox(s)) checked_.insert(s.boxName(), false);
    }
    // Start texts and named values once every control has its place: a named value sets its edit.
    for (const Setting* s : allSettings()) {
        if (s->startText) texts_.insert(s->controlName(), QString::fromLatin1(s->startText));
        if (s->valueNames) setText(s->editName(), texts_.value(s->editName()));
    }
}

QString ServerModel::text(const QString& edit) const {
    return texts_.value(edit);
}

bool ServerModel::parseWhole(const QString& text, int& value) {
    static const QRegularExpression re(QStringLiteral("^-?[0-9]+$"));
    if (!re.match(text).hasMatch()) return false;
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

void ServerModel::refreshNumber(NumberState& n) const {
    const QString t = texts_.value(n.edit);
    int v = 0;
    if (t.isEmpty()) {
        if (n.setting->min <= 0 && 0 <= n.setting->max) n.lastValid = 0;
    } else if (parseWhole(t, v) && v >= n.setting->min && v <= n.setting->max) {
        n.lastValid = v;
    }
}

void ServerModel::setText(const QString& edit, const QString& text) {
    texts_.insert(edit, text);
    const auto ud = numberOfEdit_.constFind(edit);
    if (ud == numberOfEdit_.constEnd()) return;
    NumberState& n = numbers_[*ud];
    refreshNumber(n);
    // An edit with value names shows the name of its value; the saved value stays the number.
    if (!n.setting->valueNames) return;
    for (int i = 0; n.setting->valueNames[i]; ++i)
        if (text == QString::number(i)) texts_.insert(edit, QString::fromLatin1(n.setting->valueNames[i]));
}

bool ServerModel::checked(const QString& box) const {
    return checked_.value(box);
}

void ServerModel::setChecked(const QString& box, bool on) {
    if (checked_.value(box) == on) return;
    checked_.insert(box, on);
    const QString edit = editOfBox(box);
    // Unticking empties the edit; ticking keeps whatever it holds.
    if (!edit.isEmpty() && !on) setText(edit, QString());
}

bool ServerModel::editEnabled(const QString& edit) const {
    if (edit == QLatin1String("MinRatetxt") || edit == QLatin1String("MaxRatetxt"))
        return rateItem_ == kCustomRateItem;
    for (auto it = boxEdits().cbegin(); it != boxEdits().cend(); ++it)
        if (it.value() == edit) return checked_.value(it.key());
    return true;
}

int ServerModel::number(const QString& upDown) const {
    const auto it = numbers_.constFind(upDown);
    return it == numbers_.constEnd() ? 0 : it->lastValid;
}

void ServerModel::setNumber(const QString& upDown, int value) {
    const auto it = numbers_.find(upDown);
    if (it == numbers_.end()) return;
    const int v = std::clamp(value, it->setting->min, it->setting->max);
    setText(it->edit, QString::number(v));
}

void ServerModel::stepNumber(const QString& upDown, int steps) {
    const auto it = numbers_.constFind(upDown);
    if (it == numbers_.constEnd()) return;
    setNumber(upDown, it->lastValid + steps * it->setting->step);
}

void ServerModel::setRateItem(int item) {
    if (item == rateItem_) return;
    rateItem_ = item;
    if (item < 0 || item > 3) return;
    const RatePreset& p = ratePresets()[item];
    texts_.insert(QStringLiteral("MaxRatetxt"), QString::fromLatin1(p.shownMax));
    texts_.insert(QStringLiteral("MinRatetxt"), QString::fromLatin1(p.shownMin));
    rateLabel_ = QString::fromLatin1(p.label);
}

} // namespace tarrow
