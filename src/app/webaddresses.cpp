#include "webaddresses.h"

#include <QUrl>

namespace tarrow {

const QString WebAddresses::TarrowSiteAddress = QStringLiteral("https://tarrow-bot.example/");
const QString WebAddresses::TarrowDownloadAddress = QStringLiteral("https://tarrow-bot.example/download/");
const QString WebAddresses::TarrowForumsAddress = QStringLiteral("https://tarrow-bot.example/forums/");
const QString WebAddresses::TarrowFaqAddress = QStringLiteral("https://tarrow-bot.example/forums/help/");
const QString WebAddresses::TarrowGuiFaqAddress =
    QStringLiteral("https://tarrow-bot.example/forums/gui-help/");
const QString WebAddresses::TarrowContactAddress =
    QStringLiteral("https://tarrow-bot.example/forums/private-message/?to=Tarrow");
const QString WebAddresses::TarrowAuthorForumName = QStringLiteral("Tarrow");
const QString WebAddresses::WaypointDatabaseAddress = QStringLiteral("https://tarrow-bot.example/waypoints/");
const QString WebAddresses::MetamodSiteAddress = QStringLiteral("http://metamod.org/");
const QString WebAddresses::AdminmodSiteAddress = QStringLiteral("http://www.adminmod.org/");
const QString WebAddresses::AdminmodDownloadAddress = QStringLiteral("http://www.adminmod.org/download/");
const QString WebAddresses::NeotfSiteAddress = QStringLiteral("https://neotf.example/");
const QString WebAddresses::NeotfDownloadAddress = QStringLiteral("https://neotf.example/download/");

const QString WebAddresses::GameInfoAddress = QStringLiteral("www.valvesoftware.com");

QString WebAddresses::neotfHostName() {
    return QUrl(NeotfSiteAddress).host();
}

} // namespace tarrow
