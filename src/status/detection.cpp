// Detection: what is installed, what is loaded and what is missing, as facts. The pages are made from
// them elsewhere (render.cpp).
#include "detection.h"

#include "common/errors.h"
#include "common/fileio.h"
#include "common/fileversion.h"
#include "common/paths.h"
#include "common/textlists.h"

#include <QFileInfo>

namespace tarrow {

namespace {

// A file that cannot be read counts as empty; the report names it and says why, and detection goes on.
QStringList readOrNote(const QString& path, StatusReport& r) {
    try {
        return readLines(path);
    } catch (const IoError& e) {
        r.unreadable.append({nativePath(path), e.text()});
        return {};
    }
}

QStringList readForMatching(const QString& path, StatusReport& r) {
    return matchingView(readOrNote(path, r));
}

// `shown` turns the version as read into the version the report shows.
void installedState(ComponentReport& r, const QString& library, const QString& latest,
                    QString (*shown)(const QString&) = nullptr) {
    r.currentVersion = latest;
    if (!fileExists(library)) {
        r.installed = InstallState::Missing;
        return;
    }
    if (library.endsWith(QLatin1String(".so"), Qt::CaseInsensitive)) {
        r.installed = InstallState::Present;
        return;
    }
    r.version = FileVersionText(library);
    if (!r.version) {
        r.installed = InstallState::NoVersionRecord;
        return;
    }
    r.shownVersion = shown ? shown(*r.version) : *r.version;
    r.installed = versionOlder(*r.version, latest) ? InstallState::Old : InstallState::Current;
}

// NeoTF 1.6.0.0 reports itself wrongly: it is shown as 1.6.1.0 but compared as read.
QString neotfShown(const QString& v) {
    return v == QLatin1String("1.6.0.0") ? QStringLiteral("1.6.1.0") : v;
}

void installedStates(const InstallPaths& p, const ComponentSettings& s, StatusReport& r) {
    ComponentReport& mod = r[Component::Mod];
    mod.installed = fileExists(p.modLibrary) ? InstallState::Current : InstallState::Missing;
    installedState(r[Component::Tarrow], p.botLibrary, s.LatestPluginVersion);
    installedState(r[Component::Metamod], p.metamodLibrary, s.LatestMetamodVersion);
    installedState(r[Component::Adminmod], p.adminmodLibrary, s.LatestAdminmodVersion);
    ComponentReport& ntf = r[Component::Neotf];
    installedState(ntf, p.neotfLibrary, s.LatestNeotfVersion, neotfShown);
}

void setLoaded(ComponentReport& c, LoadRoute route, LoadState state = LoadState::Yes) {
    c.loaded = state;
    c.route = route;
}

void loadAnalysis(const InstallPaths& p, const LoadStatements& st, StatusReport& r) {
    ComponentReport& mod = r[Component::Mod];
    ComponentReport& bot = r[Component::Tarrow];
    ComponentReport& mm = r[Component::Metamod];
    ComponentReport& am = r[Component::Adminmod];
    ComponentReport& ntf = r[Component::Neotf];
    LoadFlags& f = r.flags;
    if (!fileExists(p.liblist)) {
        mod.notes.append({NoteKind::MissingLiblist, QStringLiteral("Liblist.gam"), p.liblist});
        return;
    }
    // The mod under NeoTF is loaded when ntf_config.txt names tfc.dll, in error otherwise.
    auto modUnderNeotf = [&](const QStringList& ntfLines) {
        if (listHas(ntfLines, st.NTF2TFC)) {
            setLoaded(mod, LoadRoute::NeotfConfig);
        } else {
            setLoaded(mod, LoadRoute::NeotfConfig, LoadState::Warning);
            mod.notes.append({NoteKind::MissingLoadStatement, st.NTF2TFC, p.ntfConfig});
        }
    };
    // The bot's and Admin Mod's lines in Metamod's plugins.ini; true when the bot's stands.
    auto botAndAdminmodPlugins = [&](const QStringList& plugins, LoadRoute route) {
        const bool botLine = listHas(plugins, st.BOTPLUGREAD);
        if (botLine) {
            setLoaded(bot, route);
            f.TarrowLoaded = true;
        }
        if (listHas(plugins, st.AMPLUGREAD)) {
            setLoaded(am, route);
            f.AdminmodLoaded = true;
        }
        return botLine;
    };
    const QStringList lib = readForMatching(p.liblist, r);
    if (listHas(lib, st.GAME)) {
        setLoaded(mod, LoadRoute::GameLibrary);
    } else if (listHas(lib, st.BOTGAME)) {
        setLoaded(mod, LoadRoute::GameLibrary);
        setLoaded(bot, LoadRoute::GameLibrary);
        f.TarrowLoaded = true;
    } else if (listHas(lib, st.MMGAME)) {
        setLoaded(mm, LoadRoute::GameLibrary);
        f.MetamodLoaded = true;
        if (!fileExists(p.pluginsIni)) return;
        const QStringList plugins = readForMatching(p.pluginsIni, r);
        if (botAndAdminmodPlugins(plugins, LoadRoute::MetamodPlugin))
            setLoaded(mod, LoadRoute::MetamodPlugin);
        if (listHas(plugins, st.NTFPLUG)) {
            setLoaded(ntf, LoadRoute::MetamodPlugin, LoadState::YesWithNote);
            ntf.notes.append({NoteKind::OldNeotfSetup, QString(), p.pluginsIni});
            f.NeotfLoaded = true;
        }
        if (!fileExists(p.autoexec)) {
            setLoaded(mod, LoadRoute::MetamodPlugin, LoadState::YesWithNote);
            mod.notes.append({NoteKind::MissingAutoexec, QStringLiteral("Autoexec.cfg"), p.autoexec});
            return;
        }
        const QStringList autoexec = readForMatching(p.autoexec, r);
        if (!listHas(autoexec, st.NTFLOCAL)) {
            setLoaded(mod, LoadRoute::MetamodPlugin);
            return;
        }
        // NeoTF is Metamod's game library now: the plug-in line's note no longer applies.
        ntf.notes.clear();
        setLoaded(ntf, LoadRoute::AutoexecLocalinfo);
        f.NeotfLoaded = true;
        if (fileExists(p.ntfConfig)) modUnderNeotf(readForMatching(p.ntfConfig, r));
    } else if (listHas(lib, st.NTFGAME)) {
        setLoaded(ntf, LoadRoute::GameLibrary);
        f.NeotfLoaded = true;
        if (!fileExists(p.ntfConfig)) return;
        const QStringList ntfLines = readForMatching(p.ntfConfig, r);
        if (listHas(ntfLines, st.NTF2BOTREAD)) {
            setLoaded(mod, LoadRoute::NeotfConfig);
            setLoaded(bot, LoadRoute::NeotfConfig);
            f.TarrowLoaded = true;
        } else if (listHas(ntfLines, st.NTF2MM)) {
            setLoaded(mod, LoadRoute::NeotfConfig);
            setLoaded(mm, LoadRoute::NeotfConfig, LoadState::YesWithNote);
            mm.notes.append({NoteKind::SetupNotSuggested, QString(), p.ntfConfig});
            f.MetamodLoaded = true;
            if (!fileExists(p.pluginsIni)) return;
            botAndAdminmodPlugins(readForMatching(p.pluginsIni, r), LoadRoute::MetamodPluginViaNeotf);
        } else {
            modUnderNeotf(ntfLines);
        }
    }
}

// A Steam dedicated server records its build in the app manifest: "buildid"		"1234567".
std::optional<QString> steamBuild(const InstallPaths& p, StatusReport& r) {
    const QString& manifest = p.appManifest;
    if (!fileExists(manifest)) return std::nullopt;
    for (const QString& line : readOrNote(manifest, r)) {
        QString t = line.trimmed();
        if (!t.startsWith(QLatin1String("\"buildid\""), Qt::CaseInsensitive)) continue;
        t = t.mid(9).trimmed();
        t.remove(QLatin1Char('"'));
        return t.trimmed();
    }
    return std::nullopt;
}

void engineFacts(const InstallPaths& p, const ComponentSettings& s, StatusReport& r) {
    if (!fileExists(p.sierra)) {
        if (p.platform == ServerPlatform::Linux) r.engineBuild = steamBuild(p, r);
        return;
    }
    const QStringList lines = readForMatching(p.sierra, r);
    // The game's and the server's version numbers differ in their first digit only.
    QString latest = s.LatestHLVersion;
    if (listHas(lines, QStringLiteral("ProductName \"Half-Life\""))) {
        r.installType = InstallType::Game;
        if (!latest.isEmpty()) latest[0] = QLatin1Char('1');
    } else if (listHas(lines, QStringLiteral("ProductName \"HLServer\""))) {
        r.installType = InstallType::Server;
        if (!latest.isEmpty()) latest[0] = QLatin1Char('4');
    } else {
        r.installType = InstallType::Unknown;
    }
    r.currentEngineVersion = latest;
    // No CurrentVersion line: no engine version rather than a guess.
    const qsizetype i = FindListPrefix(lines, QStringLiteral("CurrentVersion"), 14);
    if (i < 0) return;
    const QString& line = lines[i];
    r.engineVersion = line.size() > 17 ? line.mid(16, line.size() - 17) : QString();
    r.engineOld = versionOlder(*r.engineVersion, latest);
}

void missing(ComponentReport& c, NoteKind kind, const QString& file, const QString& expected) {
    c.notes.append({kind, file, expected});
}

QString fileName(const QString& composed) {
    return QFileInfo(nativePath(composed)).fileName();
}

void companionChecks(const InstallPaths& p, const ComponentSettings& s, StatusReport& r) {
    const bool linux = p.platform == ServerPlatform::Linux;
    const QString rc = p.root + p.mod;
    if (r.flags.TarrowLoaded) {
        ComponentReport& bot = r[Component::Tarrow];
        if (!fileExists(p.botLibrary))
            missing(bot, NoteKind::MissingLibrary,
                    linux ? fileName(p.botLibrary) : QStringLiteral("Tarrow.dll"),
                    linux ? p.botLibrary : p.root + QStringLiteral("Tarrow\\Tarrow.dll"));
        for (const char* f : {"Tarrow.cfg", "Default.cfg", "Tarrow_Names.txt", "Tarrow_Chat.txt"}) {
            const QString name = QString::fromLatin1(f);
            if (!fileExists(p.botFolder + name))
                missing(bot, NoteKind::MissingCompanion, name,
                        p.root + QStringLiteral("Tarrow\\") + p.mod + QLatin1Char('\\') + name);
        }
        const QString help = p.root + QStringLiteral("Tarrow\\Tarrow_Documentation.chm");
        if (!fileExists(help))
            missing(bot, NoteKind::MissingHelp, QStringLiteral("Tarrow_Documentation.chm"), help);
    }
    if (r.flags.MetamodLoaded) {
        ComponentReport& mm = r[Component::Metamod];
        if (!fileExists(p.metamodLibrary))
            missing(mm, NoteKind::MissingLibrary,
                    linux ? fileName(p.metamodLibrary) : QStringLiteral("Metamod.dll"),
                    linux ? p.metamodLibrary
                          : rc + QLatin1Char('\\') + s.MetamodFolder + QStringLiteral("dlls\\Metamod.dll"));
        if (!fileExists(p.pluginsIni))
            missing(mm, NoteKind::MissingPluginsIni, QStringLiteral("plugins.ini"), p.pluginsIni);
    }
    if (r.flags.AdminmodLoaded) {
        ComponentReport& am = r[Component::Adminmod];
        if (!fileExists(p.adminmodLibrary))
            missing(am, NoteKind::MissingLibrary,
                    linux ? fileName(p.adminmodLibrary) : QStringLiteral("Admin_MM.dll"),
                    linux ? p.adminmodLibrary
                          : rc + QLatin1Char('\\') + s.AdminmodDllFolder + QStringLiteral("Admin_MM.dll"));
        for (const char* f : {"Plugin.ini", "Users.ini"}) {
            const QString name = QString::fromLatin1(f);
            if (!fileExists(p.adminmodConfigFolder + name.toLower()))
                missing(am, NoteKind::MissingCompanion, name, rc + s.AdminmodConfigFolder + name);
        }
        const QString list = rc + QStringLiteral("\\plugin.ini");
        if (fileExists(list)) {
            QStringList plugins;
            // Plug-in paths keep their own blanks.
            for (const QString& line : withoutByteOrderMark(readOrNote(list, r))) {
                if (line.startsWith(QLatin1Char(';')) || trimBlanks(line).isEmpty()) continue;
                plugins.append(line);
            }
            // Checked from the last to the first: the first missing one is the note that counts.
            for (qsizetype i = plugins.size() - 1; i >= 0; --i) {
                const QString& pl = plugins[i];
                if (!fileExists(rc + QLatin1Char('\\') + trimBlanks(pl)))
                    missing(am, NoteKind::MissingPlugin, pl, rc + QLatin1Char('\\') + pl);
            }
        }
    }
    if (r.flags.NeotfLoaded) {
        ComponentReport& ntf = r[Component::Neotf];
        const QString base = rc + QLatin1Char('\\') + s.NeotfFolder;
        const QString library = linux ? p.neotfLibrary : base + QStringLiteral("dlls\\NTF.dll");
        if (!fileExists(library))
            missing(ntf, NoteKind::MissingLibrary, linux ? fileName(library) : QStringLiteral("NTF.dll"),
                    library);
        for (const char* f : {"NTF_Config.txt", "NTF_Users.ini", "NTF_Cvars.cfg"}) {
            const QString name = QString::fromLatin1(f);
            if (!fileExists(base + name)) missing(ntf, NoteKind::MissingCompanion, name, base + name);
        }
    }
}

// One duplicated statement loses its last copy per call; a single one is never touched.
bool removeOneDuplicate(const InstallPaths& p, const QString& path, bool gamedll, const QString& key) {
    if (!fileExists(path)) return false;
    QStringList lines;
    try {
        lines = readLines(path);
    } catch (const IoError&) {
        return false; // detection has named it
    }
    auto find = [&] {
        return gamedll ? findGamedllLine(lines, key)
                       : FindListPrefix(matchingView(lines), QStringLiteral("localinfo mm_gamedll"), 20);
    };
    const qsizetype last = find();
    if (last < 0) return false;
    lines.removeAt(last);
    if (find() < 0) return false;
    SaveListToFile(path, lines, QString(), p.backups());
    return true;
}

bool isRemark(NoteKind kind) {
    return kind == NoteKind::MissingHelp || kind == NoteKind::MissingAutoexec ||
           kind == NoteKind::OldNeotfSetup || kind == NoteKind::SetupNotSuggested;
}

// A loaded component with a remark is loaded with a note; one that misses something has a warning.
void settleStates(StatusReport& r) {
    for (ComponentReport& c : r.components) {
        if (c.loaded == LoadState::No) continue;
        for (const Note& n : c.notes) {
            if (!isRemark(n.kind))
                c.loaded = LoadState::Warning;
            else if (c.loaded == LoadState::Yes)
                c.loaded = LoadState::YesWithNote;
        }
    }
}

} // namespace

StatusReport emptyReport(const QString& modFolder) {
    StatusReport r;
    r.modFolder = modFolder;
    for (const ComponentInfo& i : componentTable())
        r[i.component].component = i.component;
    return r;
}

QStringList removeDuplicateLoadStatements(const InstallPaths& paths, const ComponentSettings& settings) {
    const LoadStatements st(settings, paths);
    QStringList written;
    if (removeOneDuplicate(paths, paths.liblist, true, st.GAMEDLL)) written << paths.liblist;
    if (removeOneDuplicate(paths, paths.autoexec, false, st.GAMEDLL)) written << paths.autoexec;
    return written;
}

Detection detectComponents(const InstallPaths& paths, const ComponentSettings& settings) {
    Detection d;
    StatusReport& r = d.report;
    r = emptyReport(paths.mod);
    const LoadStatements st(settings, paths);
    installedStates(paths, settings, r);
    loadAnalysis(paths, st, r);
    engineFacts(paths, settings, r);
    companionChecks(paths, settings, r);
    if (r.flags.NeotfLoaded && r.flags.TarrowLoaded && !r.flags.MetamodLoaded)
        r[Component::Tarrow].notes.append({NoteKind::NeedsMetamod, QString(), QString()});
    settleStates(r);
    d.flags = r.flags;
    d.cells = renderCells(r);
    return d;
}

} // namespace tarrow
