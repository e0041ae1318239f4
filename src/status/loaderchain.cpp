// The loader chain as the engine and Metamod walk it, with what would break it.
#include "loaderchain.h"

#include "common/fileio.h"
#include "common/paths.h"
#include "common/textlists.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <optional>
#include <utility>

namespace tarrow {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// First word and the rest of a line, after a byte-order mark and blanks.
std::pair<QString, QString> split(const QString& raw) {
    const QString line = withoutByteOrderMark(raw).trimmed();
    qsizetype i = 0;
    while (i < line.size() && !isBlank(line.at(i)) && line.at(i) != QLatin1Char('"'))
        ++i;
    return {line.left(i), line.mid(i).trimmed()};
}

QString unquoted(const QString& text) {
    if (text.startsWith(QLatin1Char('"'))) {
        const qsizetype end = text.indexOf(QLatin1Char('"'), 1);
        return end < 0 ? text.mid(1) : text.mid(1, end - 1);
    }
    const qsizetype blank = text.indexOf(QRegularExpression(QStringLiteral("[ \t]")));
    return blank < 0 ? text : text.left(blank);
}

bool isComment(const QString& line) {
    const QString t = withoutByteOrderMark(line).trimmed();
    return t.isEmpty() || t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1String("//")) ||
           t.startsWith(QLatin1Char('#'));
}

// A path named in a loader file, resolved against `base` (a native folder), keeping what exists.
QString resolve(const QString& base, const QString& named) {
    QString rel = named;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString joined = QDir::cleanPath(base + QLatin1Char('/') + rel);
    return nativePath(joined);
}

QString extensionOf(const QString& path) {
    return QFileInfo(path).suffix().toLower();
}

struct Walker {
    const InstallPaths& p;
    LoaderChain chain;
    QString modDir;
    bool metamodSeen = false, neotfSeen = false; // a chain that loops back is followed once

    bool linux() const { return chain.platform == ServerPlatform::Linux; }
    QString wantedExtension() const { return linux() ? QStringLiteral("so") : QStringLiteral("dll"); }

    void problem(const QString& file, int line, const QString& text) {
        chain.problems.append({file, line, text});
    }

    ChainLink link(const QString& file, int line, const QString& statement, const QString& library) {
        ChainLink l{file, line, statement, library, QFileInfo(library).isFile()};
        chain.links.append(l);
        if (!l.exists) problem(file, line, QStringLiteral("names a library that does not exist: ") + library);
        const QString ext = extensionOf(library);
        if ((ext == QLatin1String("dll") || ext == QLatin1String("so")) && ext != wantedExtension())
            problem(file, line,
                    QStringLiteral("names a .%1 library, which the %2 server cannot load")
                        .arg(ext, linux() ? "Linux" : "Windows"));
        return l;
    }

    std::optional<ChainLink> liblist() {
        if (!fileExists(p.liblist)) {
            problem(p.liblist, 0, QStringLiteral("is missing: the engine cannot load the mod"));
            return std::nullopt;
        }
        const QString key = linux() ? QStringLiteral("gamedll_linux") : QStringLiteral("gamedll");
        const QStringList lines = readLines(p.liblist);
        int found = 0;
        std::optional<ChainLink> last;
        for (int i = 0; i < lines.size(); ++i) {
            const auto [word, rest] = split(lines[i]);
            if (word.compare(key, Qt::CaseInsensitive) != 0) continue;
            if (++found > 1)
                problem(p.liblist, i + 1,
                        QStringLiteral("is a second %1 line; the engine uses only one").arg(key));
            last = ChainLink{p.liblist, i + 1, lines[i], resolve(modDir, unquoted(rest)), false};
        }
        if (!last) {
            problem(p.liblist, 0, QStringLiteral("has no %1 line: the engine cannot load the mod").arg(key));
            return std::nullopt;
        }
        return link(last->file, last->line, last->statement, last->library);
    }

    void metamod() {
        if (std::exchange(metamodSeen, true)) return;
        if (!fileExists(p.pluginsIni)) {
            problem(p.pluginsIni, 0, QStringLiteral("is missing: Metamod loads no plug-in"));
        } else {
            const QStringList lines = readLines(p.pluginsIni);
            QHash<QString, int> seen;
            int own = 0, other = 0;
            for (int i = 0; i < lines.size(); ++i) {
                if (isComment(lines[i])) continue;
                auto [word, rest] = split(lines[i]);
                word = word.toLower();
                const bool isLinux = word == QLatin1String("linux") || word == QLatin1String("lin32");
                const bool isWindows = word == QLatin1String("win32");
                if (!isLinux && !isWindows) continue;
                if (rest.isEmpty()) {
                    problem(p.pluginsIni, i + 1,
                            QStringLiteral("has no path after \"%1\": Metamod rejects the line").arg(word));
                    continue;
                }
                if (isLinux != linux()) {
                    ++other;
                    continue;
                }
                ++own;
                const QString library = resolve(modDir, unquoted(rest));
                const QString key = library.toLower();
                if (seen.contains(key))
                    problem(
                        p.pluginsIni, i + 1,
                        QStringLiteral("lists the plug-in of line %1 a second time").arg(seen.value(key)));
                else
                    seen.insert(key, i + 1);
                link(p.pluginsIni, i + 1, lines[i], library);
            }
            if (linux() && own == 0 && other > 0)
                problem(p.pluginsIni, 0,
                        QStringLiteral("has only win32 lines: Metamod on a Linux server ignores them all"));
        }
        // Metamod's own game library: localinfo mm_gamedll, else the mod's library.
        if (fileExists(p.autoexec)) {
            const QStringList lines = readLines(p.autoexec);
            for (int i = 0; i < lines.size(); ++i) {
                const auto [word, rest] = split(lines[i]);
                if (word.compare(QLatin1String("localinfo"), Qt::CaseInsensitive) != 0) continue;
                const auto [name, value] = split(rest);
                if (name.compare(QLatin1String("mm_gamedll"), Qt::CaseInsensitive) != 0) continue;
                const ChainLink l = link(p.autoexec, i + 1, lines[i], resolve(modDir, unquoted(value)));
                if (isNeotf(l.library)) neotf();
                return;
            }
        }
        chain.links.append({QString(), 0, QStringLiteral("(Metamod finds the game library itself)"),
                            nativePath(p.modLibrary), fileExists(p.modLibrary)});
    }

    bool isNeotf(const QString& library) const {
        return QFileInfo(library).fileName().contains(QLatin1String("ntf"), Qt::CaseInsensitive);
    }
    bool isMetamod(const QString& library) const {
        return QFileInfo(library).fileName().contains(QLatin1String("metamod"), Qt::CaseInsensitive);
    }

    void neotf() {
        if (std::exchange(neotfSeen, true)) return;
        if (!fileExists(p.ntfConfig)) {
            problem(p.ntfConfig, 0, QStringLiteral("is missing: NeoTF does not know which library to load"));
            return;
        }
        const QStringList lines = readLines(p.ntfConfig);
        for (int i = 0; i < lines.size(); ++i) {
            if (isComment(lines[i])) continue;
            const QString named = unquoted(withoutByteOrderMark(lines[i]).trimmed());
            // A bare file name is one of the engine's own places: the mod's library or Metamod's.
            QString library;
            if (named.contains(QLatin1Char('/')) || named.contains(QLatin1Char('\\')))
                library = resolve(QFileInfo(nativePath(p.neotfLibrary)).absolutePath(), named);
            else if (isMetamod(named))
                library = nativePath(p.metamodLibrary);
            else
                library = nativePath(p.root + p.mod + QStringLiteral("\\dlls\\") + named);
            const ChainLink l = link(p.ntfConfig, i + 1, lines[i], library);
            if (isMetamod(l.library)) metamod();
            return;
        }
        problem(p.ntfConfig, 0, QStringLiteral("names no library"));
    }
};

} // namespace

LoaderChain followLoaderChain(const InstallPaths& paths, const ComponentSettings&) {
    Walker w{paths, {}, nativePath(paths.root + paths.mod), false, false};
    w.chain.platform = paths.platform;
    const auto game = w.liblist();
    if (game && game->exists) {
        if (w.isMetamod(game->library))
            w.metamod();
        else if (w.isNeotf(game->library))
            w.neotf();
    }
    return w.chain;
}

QStringList loaderChainText(const LoaderChain& chain) {
    QStringList out;
    out << QStringLiteral("Loader chain (%1 server):")
               .arg(chain.platform == ServerPlatform::Linux ? "Linux" : "Windows");
    for (const ChainLink& l : chain.links) {
        const QString where = l.file.isEmpty() ? QStringLiteral("-")
                                               : QFileInfo(nativePath(l.file)).fileName() + QLatin1Char(':') +
                                                     QString::number(l.line);
        out << QStringLiteral("  %1  %2  ->  %3  [%4]")
                   .arg(where, l.statement.trimmed(), l.library,
                        l.exists ? QStringLiteral("ok") : QStringLiteral("missing"));
    }
    if (chain.problems.isEmpty()) {
        out << QStringLiteral("No problems.");
        return out;
    }
    out << QStringLiteral("Problems:");
    for (const ChainProblem& pr : chain.problems) {
        const QString file = nativePath(pr.file);
        out << QStringLiteral("  %1%2: %3")
                   .arg(file, pr.line > 0 ? QLatin1Char(':') + QString::number(pr.line) : QString(), pr.text);
    }
    return out;
}

} // namespace tarrow
