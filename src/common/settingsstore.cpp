#include "settingsstore.h"

#include <algorithm>

#include "prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tarrow {

namespace {

QString sectionFor(const QString& keyPath) {
    QString section = keyPath;
    while (section.startsWith(QLatin1Char('\\')))
        section.remove(0, 1);
    if (section.startsWith(QLatin1String("SOFTWARE\\"), Qt::CaseInsensitive)) section.remove(0, 9);
    while (section.endsWith(QLatin1Char('\\')))
        section.chop(1);
    section.replace(QLatin1Char('\\'), QLatin1Char('.'));
    return section.isEmpty() ? QStringLiteral("General") : section;
}

} // namespace

SettingsStore::SettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const {
    return settings_->fileName();
}

QString SettingsStore::read(const QString& keyPath, const QString& valueName) const {
    settings_->beginGroup(sectionFor(keyPath));
    QString result;
    const QStringList keys = settings_->childKeys();
    for (const QString& key : keys) {
        if (key.compare(valueName, Qt::CaseInsensitive) == 0) {
            result = settings_->value(key).toString();
            break;
        }
    }
    settings_->endGroup();
    return result;
}

bool SettingsStore::write(const QString& keyPath, const QString& valueName, const QString& value) {
    const QFileInfo file(settings_->fileName());
    if (!QDir().mkpath(file.absolutePath())) return false;
    if (file.exists() && !file.isWritable()) return false;
    if (file.exists() && !(file.permissions() & QFileDevice::WriteOwner)) return false;
    settings_->beginGroup(sectionFor(keyPath));
    const QStringList keys = settings_->childKeys();
    // The same value under the same spelling: nothing to rewrite.
    if (keys.contains(valueName) && settings_->value(valueName).toString() == value &&
        std::count_if(keys.begin(), keys.end(), [&](const QString& k) {
            return k.compare(valueName, Qt::CaseInsensitive) == 0;
        }) == 1) {
        settings_->endGroup();
        return true;
    }
    for (const QString& key : keys) {
        if (key.compare(valueName, Qt::CaseInsensitive) == 0) settings_->remove(key);
    }
    settings_->setValue(valueName, value);
    settings_->endGroup();
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

QString SettingsStore::defaultFileName() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tarrow/Tarrow.conf");
}

QString RegReadString(const SettingsStore* store, const QString& keyPath, const QString& valueName) {
    return store ? store->read(keyPath, valueName) : QString();
}

void RegWriteString(SettingsStore* store, const QString& keyPath, const QString& valueName,
                    const QString& value, Prompter& prompter) {
    if (!store || !store->write(keyPath, valueName, value))
        prompter.message(QStringLiteral("Error creating key! ") + keyPath + QLatin1Char(' ') + valueName);
}

QString ReadInstallRoot(const SettingsStore* store) {
    return RegReadString(store, kTarrowKey, kInstallPathValue);
}

} // namespace tarrow
