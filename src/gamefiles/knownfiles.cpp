#include "knownfiles.h"

#include "app/componentsettings.h"
#include "app/installpaths.h"
#include "common/paths.h"

namespace tarrow {

namespace {

enum class Where { Mod, Bot, Metamod, Neotf };

struct KnownFile {
    const char* entry;
    Where where;
    const char* file;
};

constexpr KnownFile kKnownFiles[] = {
    {"Autoexec.cfg", Where::Mod, "Autoexec.cfg"},
    {"Liblist.gam", Where::Mod, "Liblist.gam"},
    {"Tarrow_Chat.txt", Where::Bot, "Tarrow_Chat.txt"},
    {"Tarrow_Names.txt", Where::Bot, "Tarrow_Names.txt"},
    {"Tarrow.cfg", Where::Bot, "Tarrow.cfg"},
    {"Default.cfg", Where::Bot, "Default.cfg"},
    {"Plugins.ini", Where::Metamod, "plugins.ini"},
    {"NTF_Users.ini", Where::Neotf, "NTF_Users.ini"},
    {"NTF_Cvars.cfg", Where::Neotf, "NTF_Cvars.cfg"},
    {"Plugin.ini", Where::Mod, "Plugin.ini"},
    {"Users.ini", Where::Mod, "Users.ini"},
    {"Listenserver.cfg", Where::Mod, "listenServer.cfg"},
    {"Server.cfg", Where::Mod, "Server.cfg"},
    {"Mapcycle.txt", Where::Mod, "Mapcycle.txt"},
    {"MOTD.txt", Where::Mod, "MOTD.txt"},
};

} // namespace

QStringList existingKnownFiles(const InstallPaths& p) {
    const QString folders[] = {p.modFolder, p.botFolder, p.metamodFolder, p.neotfFolder};
    QStringList entries;
    for (const KnownFile& k : kKnownFiles) {
        if (fileExists(folders[int(k.where)] + QString::fromLatin1(k.file)))
            entries.append(QString::fromLatin1(k.entry));
    }
    return entries;
}

} // namespace tarrow
