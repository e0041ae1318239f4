#include "mapscripts.h"

#include "app/componentsettings.h"
#include "common/paths.h"

#include <QLocale>

namespace tarrow {

QString scriptFileOf(const QString& mapFile) {
    return mapNameOf(mapFile) + QStringLiteral("_tw.cfg");
}

QStringList mapsWithoutScript(const QStringList& mapFiles, const QString& scriptFolder) {
    QStringList left = mapFiles;
    for (qsizetype i = left.size() - 1; i >= 0; --i) {
        if (fileExists(scriptFolder + scriptFileOf(left[i]))) left.removeAt(i);
    }
    return left;
}

QStringList newScriptLines(const QString& mapName, const QString& created) {
    return {QStringLiteral("//Tarrow Script File Created With ") + PanelVersionText,
            QStringLiteral("//Map: ") + mapName,
            QStringLiteral("//Created: ") + created,
            QString(),
            QString(),
            QStringLiteral("on_start"),
            QStringLiteral("\t{"),
            QString(),
            QStringLiteral("\t}")};
}

QString scriptCreatedText(const QDateTime& when) {
    const QLocale locale;
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), QLocale::LongFormat);
}

const std::vector<ScriptInsert>& scriptInserts() {
    static const std::vector<ScriptInsert> inserts = [] {
        std::vector<ScriptInsert> v;
        v.push_back({QStringLiteral("&on_msg( )"), QStringLiteral("on_msg( )\r\n\t{\r\n\r\n\t}\r\n")});
        const std::pair<const char*, const char*> points[] = {
            {"&blue_available_point", "blue_available_point"},
            {"b&lue_notavailable_point", "blue_notavailable_point"},
            {"bl&ue_available_only_point", "blue_available_only_point"},
            {"&red_available_point", "red_available_point"},
            {"r&ed_notavailable_point", "red_notavailable_point"},
            {"re&d_available_only_point", "red_available_only_point"},
            {"&green_available_point", "green_available_point"},
            {"g&reen_notavailable_point", "green_notavailable_point"},
            {"gr&een_available_only_point", "green_available_only_point"},
            {"&yellow_available_point", "yellow_available_point"},
            {"y&ellow_notavailable_point", "yellow_notavailable_point"},
            {"ye&llow_available_only_point", "yellow_available_only_point"},
        };
        for (const auto& [caption, text] : points)
            v.push_back({QString::fromLatin1(caption), QStringLiteral("\t\t") + QString::fromLatin1(text)});
        return v;
    }();
    return inserts;
}

} // namespace tarrow
