#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace tarrow {

class Prompter;

// The tool's own settings, kept where Windows keeps them in HKEY_LOCAL_MACHINE "\SOFTWARE\Tarrow": here
// one INI file. A key path such as "\SOFTWARE\Tarrow" becomes the section [Tarrow]. Value names are
// matched without regard to letter case: a read finds any spelling, a write replaces every spelling.
class SettingsStore {
  public:
    explicit SettingsStore(const QString& iniFile);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QString fileName() const;
    // Empty when the key or the value is missing; never creates anything.
    QString read(const QString& keyPath, const QString& valueName) const;
    // False when the store could not be written (the key could not be opened or created).
    bool write(const QString& keyPath, const QString& valueName, const QString& value);

    // $XDG_CONFIG_HOME/Tarrow/Tarrow.conf
    static QString defaultFileName();

  private:
    std::unique_ptr<QSettings> settings_;
};

inline const QString kTarrowKey = QStringLiteral("\\SOFTWARE\\Tarrow");
inline const QString kInstallPathValue = QStringLiteral("INSTALL_PATH");

// Reads `store` (empty without one).
QString RegReadString(const SettingsStore* store, const QString& keyPath, const QString& valueName);
// Writes into `store`; on failure (or without one) shows "Error creating key! " + key path + " " + value
// name.
void RegWriteString(SettingsStore* store, const QString& keyPath, const QString& valueName,
                    const QString& value, Prompter& prompter);

// The InstallRoot as stored; no trailing separator is added here.
QString ReadInstallRoot(const SettingsStore* store);

} // namespace tarrow
