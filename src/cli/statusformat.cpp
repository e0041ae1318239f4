#include "statusformat.h"

#include "common/paths.h"

#include <QJsonArray>

namespace tarrow {

namespace {

QJsonValue installTypeValue(InstallType t) {
    switch (t) {
    case InstallType::None:
        return QJsonValue::Null;
    case InstallType::Game:
        return QStringLiteral("game");
    case InstallType::Server:
        return QStringLiteral("server");
    case InstallType::Unknown:
        return QStringLiteral("unknown");
    }
    return QJsonValue::Null;
}

QJsonValue orNull(const std::optional<QString>& v) {
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

// ANSI colours, only where asked for.
struct Paint {
    bool on;
    QString operator()(const QString& text, const char* code) const {
        return on ? QStringLiteral("\x1b[") + QLatin1String(code) + QLatin1Char('m') + text +
                        QStringLiteral("\x1b[0m")
                  : text;
    }
};

QString pad(const QString& text, int width) {
    return text.leftJustified(width);
}

} // namespace

QString noteText(const Note& n) {
    const QString where = n.expectedPath.isEmpty() ? QString() : nativePath(n.expectedPath);
    switch (n.kind) {
    case NoteKind::MissingLibrary:
    case NoteKind::MissingCompanion:
    case NoteKind::MissingPluginsIni:
    case NoteKind::MissingLiblist:
        return QStringLiteral("missing %1, expected %2").arg(n.file, where);
    case NoteKind::MissingHelp:
        return QStringLiteral("note: missing the help file, expected %1").arg(where);
    case NoteKind::MissingPlugin:
        return QStringLiteral("missing plug-in '%1', expected %2").arg(n.file, where);
    case NoteKind::MissingAutoexec:
        return QStringLiteral("note: no autoexec.cfg, expected %1").arg(where);
    case NoteKind::MissingLoadStatement:
        return QStringLiteral("%1 lacks the load statement \"%2\"").arg(where, n.file);
    case NoteKind::OldNeotfSetup:
        return QStringLiteral("note: this setup does not work with NeoTF 1.5.2 or earlier");
    case NoteKind::SetupNotSuggested:
        return QStringLiteral("note: Metamod is loaded by NeoTF; load Metamod first, then NeoTF");
    case NoteKind::NeedsMetamod:
        return QStringLiteral("warning: NeoTF and Tarrow will not work together without Metamod; the server "
                              "will crash");
    }
    return QString();
}

QString statusText(const StatusReport& r, const RunningReport& running, const QString& root, bool colour) {
    const Paint paint{colour};
    QStringList out;
    out << QStringLiteral("Installation: %1 (mod %2)").arg(nativePath(root), r.modFolder);
    QString engine;
    switch (r.installType) {
    case InstallType::None:
        engine = QStringLiteral("Install type: not known (no sierra.inf)");
        break;
    case InstallType::Game:
        engine = QStringLiteral("Install type: Half-Life game");
        break;
    case InstallType::Server:
        engine = QStringLiteral("Install type: Half-Life server");
        break;
    case InstallType::Unknown:
        engine = QStringLiteral("Install type: unknown");
        break;
    }
    if (r.engineBuild) engine += QStringLiteral(", build ") + *r.engineBuild;
    if (r.engineVersion) {
        engine += QStringLiteral(", engine version ") + *r.engineVersion;
        if (r.engineOld)
            engine +=
                paint(QStringLiteral(" (old; current ") + r.currentEngineVersion + QLatin1Char(')'), "33");
    }
    out << engine << QString();
    out << QStringLiteral("%1 %2 %3 %4 %5")
               .arg(pad(QStringLiteral("COMPONENT"), 10), pad(QStringLiteral("INSTALLED"), 11),
                    pad(QStringLiteral("VERSION"), 12), pad(QStringLiteral("LOADED"), 14),
                    QStringLiteral("RUNNING"));
    for (const ComponentInfo& info : componentTable()) {
        const ComponentReport& c = r[info.component];
        QString installed = QLatin1String(installedWord(c.installed));
        QString version = c.component == Component::Mod ? r.modFolder : c.shownVersion;
        if (c.component == Component::Mod)
            installed = c.installed == InstallState::Missing ? "missing" : "yes";
        const char* installedColour = c.installed == InstallState::Missing ? "31"
                                      : c.installed == InstallState::Old   ? "33"
                                                                           : "32";
        const QString loaded = QLatin1String(loadedWord(c.loaded));
        const char* loadedColour = c.loaded == LoadState::Warning       ? "31"
                                   : c.loaded == LoadState::YesWithNote ? "33"
                                   : c.loaded == LoadState::Yes         ? "32"
                                                                        : "0";
        out << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(pad(QLatin1String(info.displayName), 10), paint(pad(installed, 11), installedColour),
                        pad(version, 12), paint(pad(loaded, 14), loadedColour),
                        QLatin1String(runningWord(running.states[int(info.component)])));
        if (c.installed == InstallState::Old)
            out << QStringLiteral("    current version: ") + c.currentVersion;
        for (const Note& n : c.notes)
            out << QStringLiteral("    ") + paint(noteText(n), n.kind == NoteKind::MissingHelp ? "33" : "31");
    }
    for (const StatusReport::Unreadable& u : r.unreadable)
        out << paint(QStringLiteral("Not read, counted as empty: ") + u.reason, "31");
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject statusJson(const StatusReport& r, const RunningReport& running, const QString& root,
                       ServerPlatform platform) {
    QJsonArray components;
    for (const ComponentInfo& info : componentTable()) {
        const ComponentReport& c = r[info.component];
        QJsonArray notes;
        for (const Note& n : c.notes)
            notes.append(QJsonObject{{QStringLiteral("kind"), QLatin1String(noteWord(n.kind))},
                                     {QStringLiteral("file"), n.file},
                                     {QStringLiteral("expectedPath"),
                                      n.expectedPath.isEmpty() ? QString() : nativePath(n.expectedPath)},
                                     {QStringLiteral("text"), noteText(n)}});
        components.append(QJsonObject{
            {QStringLiteral("id"), QLatin1String(info.cliName)},
            {QStringLiteral("name"), QLatin1String(info.displayName)},
            {QStringLiteral("installed"), QLatin1String(installedWord(c.installed))},
            {QStringLiteral("version"), orNull(c.version)},
            {QStringLiteral("shownVersion"),
             c.version ? QJsonValue(c.shownVersion) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("currentVersion"),
             c.component == Component::Mod ? QJsonValue(QJsonValue::Null) : QJsonValue(c.currentVersion)},
            {QStringLiteral("loaded"), QLatin1String(loadedWord(c.loaded))},
            {QStringLiteral("route"), QLatin1String(routeWord(c.route))},
            {QStringLiteral("running"), QLatin1String(runningWord(running.states[int(info.component)]))},
            {QStringLiteral("notes"), notes},
        });
    }
    // Added to schema 1: the files that could not be read.
    QJsonArray unreadable;
    for (const StatusReport::Unreadable& u : r.unreadable)
        unreadable.append(
            QJsonObject{{QStringLiteral("path"), u.path}, {QStringLiteral("reason"), u.reason}});
    return QJsonObject{
        {QStringLiteral("schema"), 1},
        {QStringLiteral("installRoot"), nativePath(root)},
        {QStringLiteral("mod"), r.modFolder},
        {QStringLiteral("installType"), installTypeValue(r.installType)},
        {QStringLiteral("engineVersion"), orNull(r.engineVersion)},
        {QStringLiteral("engineBuild"), orNull(r.engineBuild)},
        {QStringLiteral("platform"), QLatin1String(platformName(platform))},
        {QStringLiteral("currentEngineVersion"), r.currentEngineVersion.isEmpty()
                                                     ? QJsonValue(QJsonValue::Null)
                                                     : QJsonValue(r.currentEngineVersion)},
        {QStringLiteral("engineOld"), r.engineOld},
        {QStringLiteral("components"), components},
        {QStringLiteral("unreadable"), unreadable},
        {QStringLiteral("problems"), r.hasProblems()},
    };
}

} // namespace tarrow
