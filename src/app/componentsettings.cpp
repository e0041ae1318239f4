#include "componentsettings.h"

namespace tarrow {

void applyPathOverrides(ComponentSettings& s, const ValueReader& read) {
    const std::pair<const char*, QString*> order[] = {
        {"NTFP", &s.NeotfFolder},          {"MMP", &s.MetamodFolder},   {"AMP", &s.AdminmodDllFolder},
        {"AMFP", &s.AdminmodConfigFolder}, {"NTFLi", &s.NeotfLoadPath}, {"AMLi", &s.AdminmodLoadPath},
    };
    for (const auto& [name, target] : order) {
        const QString value = read(QString::fromLatin1(name));
        if (!value.isEmpty()) *target = value.trimmed();
    }
}

void applyVersionOverrides(ComponentSettings& s, const ValueReader& read) {
    const std::pair<const char*, QString*> order[] = {
        {"HL", &s.LatestHLVersion},          {"TAR", &s.LatestPluginVersion},
        {"NTF", &s.LatestNeotfVersion},      {"META", &s.LatestMetamodVersion},
        {"ADMIN", &s.LatestAdminmodVersion},
    };
    for (const auto& [name, target] : order) {
        const QString value = read(QString::fromLatin1(name));
        if (versionOlder(*target, value)) *target = value;
    }
}

bool versionOlder(const QString& version, const QString& than) {
    // QString's operator< compares UTF-16 code units, which for these texts are the character codes.
    return version < than;
}

} // namespace tarrow
