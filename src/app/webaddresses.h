#pragma once

#include <QString>

namespace tarrow {

// Every web address the program shows or opens, in one place. Metamod and Admin Mod have real sites;
// the bot plug-in's and NeoTF's addresses are placeholders until their projects name a home.
struct WebAddresses {
    static const QString TarrowSiteAddress;
    static const QString TarrowDownloadAddress;
    static const QString TarrowForumsAddress;
    static const QString TarrowFaqAddress;
    static const QString TarrowGuiFaqAddress;
    static const QString TarrowContactAddress;
    static const QString TarrowAuthorForumName;
    static const QString WaypointDatabaseAddress;
    static const QString MetamodSiteAddress;
    static const QString AdminmodSiteAddress;
    static const QString AdminmodDownloadAddress;
    static const QString NeotfSiteAddress;
    static const QString NeotfDownloadAddress;
    // The game's own address, named in a rebuilt liblist.gam.
    static const QString GameInfoAddress;

    // The host name of NeoTF's site, for the warning about its rival.
    static QString neotfHostName();
};

} // namespace tarrow
