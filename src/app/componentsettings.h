#pragma once

#include "common/version.h"

#include <QString>
#include <functional>

namespace tarrow {

// Where the components live and which versions count as current. Built-in defaults; an installation
// replaces some of them from its settings store (see installation.h).
struct ComponentSettings {
    QString MetamodFolder = QStringLiteral("addons\\Metamod\\");
    QString AdminmodDllFolder = QStringLiteral("addons\\Adminmod\\dlls\\");
    // Appended to InstallRoot + ModFolder directly, hence the leading backslash.
    QString AdminmodConfigFolder = QStringLiteral("\\addons\\Adminmod\\config\\");
    QString NeotfFolder = QStringLiteral("addons\\neotf\\");
    QString AdminmodLoadPath = QStringLiteral("addons/Adminmod/dlls/");
    QString NeotfLoadPath = QStringLiteral("addons/neotf/");
    QString LatestHLVersion = QStringLiteral("1.1.1.0");
    QString LatestPluginVersion = QStringLiteral("0.698.0.0");
    QString LatestMetamodVersion = QStringLiteral("1.16.2.0");
    QString LatestAdminmodVersion = QStringLiteral("2.50.56.0");
    QString LatestNeotfVersion = QStringLiteral("1.8.7.0");
};

// The panel's own name and version, named in the first comment line of every file it creates.
inline const QString PanelVersionText = QStringLiteral("Tarrow Gui " TARROW_VERSION);

using ValueReader = std::function<QString(const QString& valueName)>;

// "NTFP", "MMP", "AMP", "AMFP", "NTFLi", "AMLi": a non-empty value, trimmed, replaces the folder.
void applyPathOverrides(ComponentSettings& settings, const ValueReader& read);
// "HL", "TAR", "NTF", "META", "ADMIN": a value replaces the version only when it sorts after it.
void applyVersionOverrides(ComponentSettings& settings, const ValueReader& read);

// Plain character-by-character order of version texts (a proper prefix sorts first).
bool versionOlder(const QString& version, const QString& than);

} // namespace tarrow
