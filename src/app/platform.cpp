#include "platform.h"

#include "common/paths.h"

namespace tarrow {

ServerPlatform installationPlatform(const QString& root, const QString& chosenSetting) {
    if (!root.isEmpty()) {
        const bool windowsServer = fileExists(root + QStringLiteral("hlds.exe"));
        const bool windowsProgram = windowsServer || fileExists(root + QStringLiteral("hl.exe"));
        const bool linuxProgram =
            fileExists(root + QStringLiteral("hlds_linux")) || fileExists(root + QStringLiteral("hlds_run"));
        if (windowsProgram && !linuxProgram) return ServerPlatform::Windows;
        if (linuxProgram && !windowsServer) return ServerPlatform::Linux;
    }
    const QString chosen = chosenSetting.trimmed().toLower();
    return chosen == QLatin1String("linux") ? ServerPlatform::Linux : ServerPlatform::Windows;
}

const char* platformName(ServerPlatform p) {
    return p == ServerPlatform::Linux ? "linux" : "windows";
}

} // namespace tarrow
