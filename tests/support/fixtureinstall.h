#pragma once

#include "app/installation.h"
#include "common/settingsstore.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tarrow::test {

// A temporary Half-Life installation with its own settings file.
class FixtureInstall {
  public:
    FixtureInstall();
    ~FixtureInstall();

    // InstallRoot, ending with '/'.
    QString root() const { return root_; }
    QString path(const QString& relative) const { return root_ + relative; }
    // Writes a file (parents created) with the given bytes.
    void write(const QString& relative, const QByteArray& bytes) const;
    // Writes lines each ended with CR LF.
    void writeLines(const QString& relative, const QStringList& lines) const;
    // Copies a fixture DLL from tests/fixtures/dlls (or, for the demo's own, resources/demo/dlls).
    void dll(const QString& fixtureName, const QString& relative) const;
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;
    // Stores the InstallRoot in the settings.
    void storeRoot() const;
    SettingsStore& settings() { return *store_; }
    // The installation as an entry of the program makes it: this folder, `settings`, this settings file.
    Installation installation(const ComponentSettings& settings = {}) const;
    InstallPaths paths(const ComponentSettings& settings = {}) const {
        return installation(settings).paths();
    }
    BackupStore backups() const { return BackupStore(root_); }
    QString settingsFile() const { return dir_.path() + QStringLiteral("/settings.conf"); }

    static QString fixtureDll(const QString& name);

  private:
    QTemporaryDir dir_;
    QString root_;
    std::unique_ptr<SettingsStore> store_;
};

} // namespace tarrow::test
