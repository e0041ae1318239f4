#include "bans.h"

#include <QRegularExpression>

namespace tarrow::live {

namespace {

// "banid 0 STEAM_0:1:1234" -> the id; "addip 0.0 1.2.3.4" -> the address; empty for any other line.
QString banOfLine(const QString& line, bool addresses) {
    const QStringList words = line.simplified().split(QLatin1Char(' '));
    if (words.size() < 3) return {};
    const QLatin1String command = addresses ? QLatin1String("addip") : QLatin1String("banid");
    if (words[0].compare(command, Qt::CaseInsensitive) != 0) return {};
    QString value = words[2];
    value.remove(QLatin1Char('"'));
    return value;
}

} // namespace

bool isBanAddress(const QString& text) {
    static const QRegularExpression quad(QStringLiteral("^\\d{1,3}(\\.\\d{1,3}){3}$"));
    return quad.match(text).hasMatch();
}

QStringList bansInFile(const QStringList& lines, bool addresses) {
    QStringList values;
    for (const QString& line : lines) {
        const QString v = banOfLine(line, addresses);
        if (!v.isEmpty() && !values.contains(v, Qt::CaseInsensitive)) values << v;
    }
    return values;
}

QStringList withBan(const QStringList& lines, const QString& value, bool addresses) {
    if (bansInFile(lines, addresses).contains(value, Qt::CaseInsensitive)) return lines;
    QStringList out = lines;
    // The engine's own writeid and writeip write a ban as "banid 0.0 ID" and "addip 0.0 IP".
    out << (addresses ? QStringLiteral("addip 0.0 ") : QStringLiteral("banid 0.0 ")) + value;
    return out;
}

QStringList withoutBan(const QStringList& lines, const QString& value, bool addresses) {
    QStringList out;
    for (const QString& line : lines)
        if (banOfLine(line, addresses).compare(value, Qt::CaseInsensitive) != 0) out << line;
    return out;
}

QList<LiveBan> bansInConsole(const QString& output, bool addresses) {
    static const QRegularExpression idLine(QStringLiteral("^\\s*\\d+\\s+(\\S+)\\s*:\\s*(.+?)\\s*$"));
    static const QRegularExpression ipLine(
        QStringLiteral("^\\s*(\\d{1,3}(?:\\.\\d{1,3}){3})\\s*:\\s*(.+?)\\s*$"));
    QList<LiveBan> bans;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = (addresses ? ipLine : idLine).match(line);
        if (m.hasMatch()) bans.append({m.captured(1), m.captured(2)});
    }
    return bans;
}

QList<StatusPlayer> playersInStatus(const QString& output) {
    // The name runs to the last quote before the user id: a name may hold quotes itself.
    static const QRegularExpression player(QStringLiteral("^#\\s*\\d+\\s+\"(.*)\"\\s+(\\S+)\\s+(\\S+)(.*)$"));
    QList<StatusPlayer> players;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        const auto m = player.match(line.trimmed());
        if (!m.hasMatch()) continue;
        StatusPlayer p;
        p.name = m.captured(1);
        bool ok = false;
        p.uid = m.captured(2).toInt(&ok);
        if (!ok) continue;
        p.id = m.captured(3);
        const QStringList rest = m.captured(4).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!rest.isEmpty() && rest.last().contains(QLatin1Char(':')) &&
            rest.last().contains(QLatin1Char('.')))
            p.address = rest.last();
        players.append(p);
    }
    return players;
}

QList<BanEntry> mergeBans(const QStringList& savedIds, const QStringList& savedAddresses,
                          const QList<LiveBan>& liveIds, const QList<LiveBan>& liveAddresses) {
    QList<BanEntry> all;
    auto add = [&](const QString& value, bool address, bool saved, const QString& lasts, bool live) {
        for (BanEntry& e : all) {
            if (e.address != address || e.value.compare(value, Qt::CaseInsensitive) != 0) continue;
            e.saved = e.saved || saved;
            if (live) {
                e.live = true;
                e.lasts = lasts;
            }
            return;
        }
        all.append({value, address, saved, live, live ? lasts : QString()});
    };
    for (const QString& v : savedIds)
        add(v, false, true, {}, false);
    for (const QString& v : savedAddresses)
        add(v, true, true, {}, false);
    for (const LiveBan& b : liveIds)
        add(b.value, false, false, b.lasts, true);
    for (const LiveBan& b : liveAddresses)
        add(b.value, true, false, b.lasts, true);
    return all;
}

} // namespace tarrow::live
