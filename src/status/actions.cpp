#include "actions.h"

#include "common/backups.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/textlists.h"
#include "refresh.h"

namespace tarrow {

ClickedComponent clickedComponent(const QString& name) {
    const auto c = componentOfWaitingPage(name);
    return c ? clickOf(*c) : ClickedComponent::None;
}

ClickedComponent clickOf(Component c) {
    switch (c) {
    case Component::Tarrow:
        return ClickedComponent::Tarrow;
    case Component::Metamod:
        return ClickedComponent::Metamod;
    case Component::Adminmod:
        return ClickedComponent::Adminmod;
    case Component::Neotf:
        return ClickedComponent::Neotf;
    case Component::Mod:
        break;
    }
    return ClickedComponent::None;
}

namespace {

// The editing vocabulary of the actions, on the lines of one file at a time.
class Editor {
  public:
    Editor(BackupStore backups, const QString& gamedllKey)
        : backups_(std::move(backups)), gamedllKey_(gamedllKey) {}

    void read(const QString& path) { LoadListFromFile(path, list_, true); }
    void readIfExists(const QString& path) {
        list_.clear();
        if (fileExists(path)) read(path);
    }
    void save(const QString& path, const QString& firstLine = QString()) {
        SaveListToFile(path, list_, firstLine, backups_);
    }
    bool has(const QString& statement) const { return listHas(matchingView(list_), statement); }

    void setGamedll(const QString& statement) {
        const qsizetype i = findGamedllLine(list_, gamedllKey_);
        if (i >= 0)
            put(i, statement);
        else
            list_.append(statement);
    }
    // Replaces the last line beginning like `prefix` (k characters) by `statement`. When no line
    // does, a statement that loads something is added as a line of its own; a switched-off one is
    // not, since there is nothing to switch off. True when the list changed.
    bool replace(const QString& prefix, int k, const QString& statement) {
        const qsizetype i = FindListPrefix(matchingView(list_), prefix.left(k), k);
        if (i >= 0) {
            put(i, statement);
            return true;
        }
        if (statement.startsWith(QLatin1String("//"))) return false;
        list_.append(statement);
        return true;
    }
    void remove(const QString& prefix, int k) {
        const qsizetype i = FindListPrefix(matchingView(list_), prefix.left(k), k);
        if (i < 0) return;
        const bool mark = startsWithByteOrderMark(list_[i]);
        list_.removeAt(i);
        // The file's byte-order mark stays at its start.
        if (mark && i == 0 && !list_.isEmpty()) list_[0] = byteOrderMark() + list_[0];
    }
    // True when the list changed.
    bool ensure(const QString& statement, const QString& prefix, int k) {
        if (has(statement)) return false;
        return replace(prefix, k, statement);
    }
    void makeSingleLine(const QString& path, const QString& line) {
        list_ = QStringList{line};
        save(path);
    }

  private:
    // Replaces a line; a byte-order mark before it stays.
    void put(qsizetype i, const QString& statement) {
        list_[i] = startsWithByteOrderMark(list_[i]) ? byteOrderMark() + statement : statement;
    }

    QStringList list_;
    BackupStore backups_;
    QString gamedllKey_;
};

const QString kLocal = QStringLiteral("localinfo mm_gamedll");
const QString kLocalOff = QStringLiteral("//localinfo mm_gamedll");

void switchLocalinfo(Editor& e, const InstallPaths& p, const LoadStatements& st, bool on) {
    const bool changed = on ? e.ensure(st.NTFLOCAL, kLocalOff, 22) : e.ensure(st.NTFLOCALOFF, kLocal, 20);
    if (changed) e.save(p.autoexec);
}

// NeoTF as Metamod's game library: switched on (and told to load TFC) or off in autoexec.cfg.
void neotfUnderMetamod(Editor& e, const InstallPaths& p, const LoadStatements& st, bool on) {
    e.readIfExists(p.autoexec);
    switchLocalinfo(e, p, st, on);
    if (on) e.makeSingleLine(p.ntfConfig, st.NTF2TFC);
}

void tarrowAction(const LoadFlags& f, const InstallPaths& p, const LoadStatements& st, Editor& e) {
    if (!f.MetamodLoaded && !f.NeotfLoaded) {
        if (!fileExists(p.liblist)) return;
        e.read(p.liblist);
        e.setGamedll(f.TarrowLoaded ? st.GAME : st.BOTGAME);
        e.save(p.liblist);
    } else if (f.MetamodLoaded) {
        e.readIfExists(p.pluginsIni);
        e.remove(st.BOTPLUGOFF, st.BOTPLUGOFF_K);
        e.remove(st.BOTPLUG, st.BOTPLUG_K);
        e.save(p.pluginsIni, f.TarrowLoaded ? st.BOTPLUGOFF : st.BOTPLUG);
    } else {
        e.makeSingleLine(p.ntfConfig, f.TarrowLoaded ? st.NTF2TFC : st.NTF2BOT);
    }
}

void metamodAction(const LoadFlags& f, const InstallPaths& p, const LoadStatements& st, Editor& e) {
    if (!fileExists(p.metamodLibrary) || !fileExists(p.pluginsIni) || !fileExists(p.liblist)) return;
    e.read(p.liblist);
    if (!f.MetamodLoaded) {
        e.setGamedll(st.MMGAME);
        e.save(p.liblist);
        e.read(p.pluginsIni);
        e.remove(st.BOTPLUGOFF, st.BOTPLUGOFF_K);
        e.remove(st.BOTPLUG, st.BOTPLUG_K);
        if (f.TarrowLoaded) {
            // Admin Mod stays off; the bot moves under Metamod.
            if (!e.has(st.AMPLUGOFF)) e.replace(st.AMPLUG, st.AMPLUG_REMOVE_K, st.AMPLUGOFF);
            e.save(p.pluginsIni, st.BOTPLUG);
        } else {
            if (!e.has(st.AMPLUGOFF)) e.remove(st.AMPLUG, st.AMPLUG_REMOVE_K);
            e.save(p.pluginsIni);
        }
        neotfUnderMetamod(e, p, st, f.NeotfLoaded);
        return;
    }
    e.read(p.liblist);
    if (!f.NeotfLoaded) {
        e.setGamedll(f.TarrowLoaded ? st.BOTGAME : st.TFCGAME);
        e.save(p.liblist);
    } else {
        e.setGamedll(st.NTFGAME);
        e.save(p.liblist);
        e.readIfExists(p.autoexec);
        switchLocalinfo(e, p, st, false);
        e.makeSingleLine(p.ntfConfig, f.TarrowLoaded ? st.NTF2BOT : st.NTF2TFC);
    }
}

void adminmodAction(const LoadFlags& f, const InstallPaths& p, const LoadStatements& st, Editor& e) {
    if (!fileExists(p.adminmodLibrary) || !fileExists(p.adminmodConfigFolder + QStringLiteral("plugin.ini")))
        return;
    if (f.MetamodLoaded) {
        if (!fileExists(p.pluginsIni)) return;
        e.read(p.pluginsIni);
        if (f.AdminmodLoaded)
            e.replace(st.AMPLUG, st.AMPLUG_K, st.AMPLUGOFF);
        else
            e.replace(st.AMPLUGOFF, st.AMPLUGOFF_K, st.AMPLUG);
        e.save(p.pluginsIni);
        return;
    }
    // Admin Mod needs Metamod, which is loaded too.
    if (!fileExists(p.liblist)) return;
    e.read(p.liblist);
    e.setGamedll(st.MMGAME);
    e.save(p.liblist);
    e.readIfExists(p.pluginsIni);
    if (f.TarrowLoaded)
        e.ensure(st.BOTPLUG, st.BOTPLUGOFF, st.BOTPLUGOFF_K);
    else if (!e.has(st.BOTPLUGOFF))
        e.remove(st.BOTPLUG, st.BOTPLUG_K);
    e.ensure(st.AMPLUG, st.AMPLUGOFF, st.AMPLUGOFF_K);
    e.save(p.pluginsIni);
    neotfUnderMetamod(e, p, st, f.NeotfLoaded);
}

void neotfAction(const LoadFlags& f, const InstallPaths& p, const LoadStatements& st, Editor& e) {
    if (!fileExists(p.neotfLibrary) || !fileExists(p.ntfConfig)) return;
    if (!f.MetamodLoaded) {
        e.makeSingleLine(p.ntfConfig, f.TarrowLoaded ? st.NTF2BOT : st.NTF2TFC);
        if (!fileExists(p.liblist)) return;
        e.read(p.liblist);
        if (!f.NeotfLoaded)
            e.setGamedll(st.NTFGAME);
        else
            e.setGamedll(f.TarrowLoaded ? st.BOTGAME : st.TFCGAME);
        e.save(p.liblist);
        return;
    }
    neotfUnderMetamod(e, p, st, !f.NeotfLoaded);
}

} // namespace

namespace {

QStringList loaderFilesOf(const InstallPaths& p) {
    return {p.liblist, p.pluginsIni, p.autoexec, p.ntfConfig};
}

QList<QByteArray> loaderBytes(const InstallPaths& p) {
    QList<QByteArray> out;
    for (const QString& file : loaderFilesOf(p))
        out << (fileExists(file) ? readFileBytes(file) : QByteArray());
    return out;
}

// The file and the statement through which a component is loaded now.
std::pair<QString, QString> loadingStatement(const InstallPaths& p, const LoadStatements& st, Component c,
                                             LoadRoute route) {
    switch (route) {
    case LoadRoute::GameLibrary:
        return {p.liblist, c == Component::Tarrow    ? st.BOTGAME
                           : c == Component::Metamod ? st.MMGAME
                                                     : st.NTFGAME};
    case LoadRoute::MetamodPlugin:
    case LoadRoute::MetamodPluginViaNeotf:
        return {p.pluginsIni, c == Component::Tarrow     ? st.BOTPLUGREAD
                              : c == Component::Adminmod ? st.AMPLUGREAD
                                                         : st.NTFPLUG};
    case LoadRoute::NeotfConfig:
        return {p.ntfConfig, c == Component::Tarrow ? st.NTF2BOTREAD : st.NTF2MM};
    case LoadRoute::AutoexecLocalinfo:
        return {p.autoexec, st.NTFLOCAL};
    case LoadRoute::None:
        break;
    }
    return {};
}

} // namespace

void applyClickAction(ClickedComponent component, const LoadFlags& previous, const InstallPaths& paths,
                      const ComponentSettings& settings) {
    const LoadStatements st(settings, paths);
    Editor e(paths.backups(), st.GAMEDLL);
    switch (component) {
    case ClickedComponent::Tarrow:
        tarrowAction(previous, paths, st, e);
        break;
    case ClickedComponent::Metamod:
        metamodAction(previous, paths, st, e);
        break;
    case ClickedComponent::Adminmod:
        adminmodAction(previous, paths, st, e);
        break;
    case ClickedComponent::Neotf:
        neotfAction(previous, paths, st, e);
        break;
    case ClickedComponent::None:
        break;
    }
}

SwitchOutcome switchComponent(const InstallPaths& p, const ComponentSettings& s, Component c, bool load) {
    SwitchOutcome out;
    out.after = detectComponents(p, s);
    qsizetype limit = 1;
    for (const QString& file : loaderFilesOf(p))
        if (fileExists(file)) limit += readLines(file).size();
    while (isLoaded(out.after.flags, c) != load && out.clicks < limit) {
        const QList<QByteArray> before = loaderBytes(p);
        StatusRefresh::removeMetagame(p);
        for (const QString& file : {p.metamodLibrary, p.adminmodLibrary, p.modLibrary, p.neotfLibrary,
                                    p.liblist, p.pluginsIni, p.autoexec, p.ntfConfig})
            clearReadOnly(file);
        applyClickAction(clickOf(c), out.after.flags, p, s);
        ++out.clicks;
        out.after = detectComponents(p, s);
        removeDuplicateLoadStatements(p, s);
        if (loaderBytes(p) == before) break;
    }
    out.reached = isLoaded(out.after.flags, c) == load;
    if (out.reached || !isLoaded(out.after.flags, c)) return out;
    const auto [file, statement] = loadingStatement(p, LoadStatements(s, p), c, out.after.report[c].route);
    if (file.isEmpty() || !fileExists(file)) return out;
    const QStringList lines = readLines(file);
    const QStringList forms = matchingView(lines);
    for (qsizetype i = 0; i < forms.size(); ++i) {
        if (forms[i].compare(statement, Qt::CaseInsensitive) != 0) continue;
        out.file = file;
        out.line = int(i + 1);
        out.text = lines[i];
        break;
    }
    return out;
}

} // namespace tarrow
