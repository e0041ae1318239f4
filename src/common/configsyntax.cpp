#include "configsyntax.h"

#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace tarrow {

namespace {

constexpr int kMostDepth = 8;
constexpr qint64 kMostBytes = 1024LL * 1024;

bool isBlank(char c) {
    // The engine takes every control character for a blank.
    return static_cast<unsigned char>(c) <= ' ' && c != '\n';
}

// Splits one line into its commands at ';' and "//" outside quotes.
void tokenizeLine(const QByteArray& line, QList<ConfigCommand>& out) {
    ConfigCommand command;
    auto endCommand = [&] {
        if (!command.words.isEmpty()) out.append(command);
        command.words.clear();
    };
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        const char c = line.at(i);
        if (isBlank(c)) {
            ++i;
        } else if (c == ';') {
            endCommand();
            ++i;
        } else if (c == '/' && i + 1 < n && line.at(i + 1) == '/') {
            break;
        } else if (c == '"') {
            const qsizetype close = line.indexOf('"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            command.words << QString::fromLatin1(line.mid(i + 1, end - i - 1));
            i = close < 0 ? n : close + 1;
        } else {
            qsizetype j = i;
            while (j < n && !isBlank(line.at(j)) && line.at(j) != ';' && line.at(j) != '"' &&
                   !(line.at(j) == '/' && j + 1 < n && line.at(j + 1) == '/'))
                ++j;
            command.words << QString::fromLatin1(line.mid(i, j - i));
            i = j;
        }
    }
    endCommand();
}

// Whether `path` (absolute, cleaned) lies inside `folder` (absolute, cleaned, no trailing '/').
bool inside(const QString& path, const QString& folder) {
    return path.startsWith(folder + QLatin1Char('/'));
}

void readInto(const QString& folder, const QString& fileName, QHash<QString, ConfigValue>& out,
              QSet<QString>& seen, int depth) {
    if (depth > kMostDepth || fileName.isEmpty()) return;
    QString relative = fileName;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(relative)) return;
    const QString root = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString path = QDir::cleanPath(nativePath(root + QLatin1Char('/') + relative));
    // A link may lead elsewhere: the file itself must be inside the mod folder too.
    const QString real = QFileInfo(path).canonicalFilePath();
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    if (!inside(path, root) || real.isEmpty() || !inside(real, realRoot) || seen.contains(real)) return;
    seen.insert(real);
    QFile f(real);
    if (!QFileInfo(real).isFile() || QFileInfo(real).size() > kMostBytes || !f.open(QIODevice::ReadOnly))
        return;
    for (const ConfigCommand& c : tokenizeConfig(f.readAll())) {
        const QString& name = c.words.first();
        if (name.compare(QLatin1String("exec"), Qt::CaseInsensitive) == 0) {
            readInto(folder, c.words.value(1), out, seen, depth + 1);
            continue;
        }
        out.insert(name.toLower(), {name, c.words.value(1)});
    }
}

} // namespace

QList<ConfigCommand> tokenizeConfig(const QByteArray& text) {
    QList<ConfigCommand> out;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0) end = text.size();
        QByteArray line = text.mid(start, end - start);
        if (line.endsWith('\r')) line.chop(1);
        tokenizeLine(line, out);
        start = end + 1;
    }
    return out;
}

QHash<QString, ConfigValue> configValues(const QString& folder, const QString& fileName) {
    QHash<QString, ConfigValue> out;
    QSet<QString> seen;
    readInto(folder, fileName, out, seen, 0);
    return out;
}

std::optional<QString> configValue(const QString& folder, const QString& fileName, const QString& cvar) {
    const QHash<QString, ConfigValue> values = configValues(folder, fileName);
    const auto it = values.constFind(cvar.toLower());
    if (it == values.constEnd()) return std::nullopt;
    return it->value;
}

} // namespace tarrow
