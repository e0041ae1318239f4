#include "fixtureinstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarrow::test {

FixtureInstall::FixtureInstall() {
    root_ = dir_.path() + QStringLiteral("/Half-Life/");
    QDir().mkpath(root_);
    store_ = std::make_unique<SettingsStore>(settingsFile());
}

FixtureInstall::~FixtureInstall() = default;

Installation FixtureInstall::installation(const ComponentSettings& settings) const {
    return Installation(store_.get(), root_, settings);
}

void FixtureInstall::write(const QString& relative, const QByteArray& bytes) const {
    const QString p = path(relative);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.exists()) f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write fixture %s", qPrintable(p));
    f.write(bytes);
}

void FixtureInstall::writeLines(const QString& relative, const QStringList& lines) const {
    QByteArray bytes;
    for (const QString& l : lines)
        bytes += l.toLatin1() + "\r\n";
    write(relative, bytes);
}

QString FixtureInstall::fixtureDll(const QString& name) {
    // The libraries the demo installation ships live with its resources; the rest are the tests' own.
    const QString own = QStringLiteral(TARROW_FIXTURES "/dlls/") + name;
    return QFileInfo::exists(own) ? own : QStringLiteral(TARROW_DEMO_DLLS "/") + name;
}

void FixtureInstall::dll(const QString& fixtureName, const QString& relative) const {
    QFile f(fixtureDll(fixtureName));
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing fixture dll %s", qPrintable(fixtureName));
    write(relative, f.readAll());
}

QByteArray FixtureInstall::read(const QString& relative) const {
    QFile f(path(relative));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool FixtureInstall::exists(const QString& relative) const {
    return QFileInfo::exists(path(relative));
}

void FixtureInstall::storeRoot() const {
    store_->write(kTarrowKey, kInstallPathValue, root_);
}

} // namespace tarrow::test
