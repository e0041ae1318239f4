#include "installroot.h"

#include "common/prompter.h"
#include "common/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace tarrow {

namespace {

// Storing the chosen or proposed folder names the value with a backslash after the key in its error
// message, unlike RegWriteString.
void storeRoot(SettingsStore& store, const QString& value, Prompter& prompter) {
    if (!store.write(kTarrowKey, kInstallPathValue, value))
        prompter.message(QStringLiteral("Error creating key! ") + kTarrowKey + QLatin1Char('\\') +
                         kInstallPathValue);
}

bool endsWithSeparator(const QString& path) {
    return path.endsWith(QLatin1Char('\\')) || path.endsWith(installRootSeparator());
}

} // namespace

QChar installRootSeparator() {
#ifdef Q_OS_WIN
    return QLatin1Char('\\');
#else
    return QLatin1Char('/');
#endif
}

QStringList steamLibraryPaths(const QString& vdfText) {
    QStringList paths;
    static const QRegularExpression re(QStringLiteral("\"path\"\\s+\"([^\"]*)\""),
                                       QRegularExpression::CaseInsensitiveOption);
    auto it = re.globalMatch(vdfText);
    while (it.hasNext()) {
        QString p = it.next().captured(1);
        p.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        paths.append(p);
    }
    return paths;
}

QString halfLifeInstallerPath(const QString& home) {
    const QStringList roots = {home + QStringLiteral("/.steam/steam"),
                               home + QStringLiteral("/.local/share/Steam"), home + QStringLiteral("/Steam")};
    QStringList libraries;
    for (const QString& root : roots) {
        libraries.append(root);
        QFile vdf(root + QStringLiteral("/steamapps/libraryfolders.vdf"));
        if (vdf.open(QIODevice::ReadOnly))
            libraries.append(steamLibraryPaths(QString::fromUtf8(vdf.readAll())));
    }
    for (const QString& library : libraries) {
        QString candidate = QDir::cleanPath(library + QStringLiteral("/steamapps/common/Half-Life"));
        if (QFileInfo(candidate).isDir()) return candidate;
    }
    return {};
}

void settleInstallRoot(SettingsStore& store, Prompter& prompter, const QString& installerPath) {
    if (!ReadInstallRoot(&store).isEmpty()) return;
    prompter.message(QStringLiteral("Your Tarrow registry key is not set, you must set it now."));
    bool stored = false;
    if (!installerPath.isEmpty() && prompter.confirm(QStringLiteral("Is this your Half Life install path: ") +
                                                     installerPath + QStringLiteral(" ?"))) {
        storeRoot(store, installerPath + installRootSeparator(), prompter);
        stored = true;
    }
    if (!stored) {
        const QString folder =
            prompter.browseForFolder(QStringLiteral("Select your Half Life install folder."));
        if (!folder.isEmpty()) storeRoot(store, folder + installRootSeparator(), prompter);
    }
    const QString root = ReadInstallRoot(&store);
    if (!root.isEmpty() && !endsWithSeparator(root))
        storeRoot(store, root + installRootSeparator(), prompter);
}

QString withRootSeparator(const QString& folder) {
    return endsWithSeparator(folder) ? folder : folder + installRootSeparator();
}

void storeInstallRoot(SettingsStore& store, const QString& folder, Prompter& prompter) {
    storeRoot(store, withRootSeparator(folder), prompter);
}

} // namespace tarrow
