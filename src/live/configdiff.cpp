#include "configdiff.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace tarrow::live {

namespace {

constexpr int kMostDepth = 4;
constexpr qint64 kMostBytes = 1024LL * 1024;

void readInto(const QString& modFolder, const QString& fileName, QHash<QString, QPair<QString, QString>>& out,
              QSet<QString>& seen, int depth) {
    const QString path = QFileInfo(modFolder + fileName).absoluteFilePath();
    if (depth > kMostDepth || seen.contains(path)) return;
    seen.insert(path);
    QFile f(path);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() > kMostBytes || !f.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        QString line = QString::fromLatin1(raw);
        const qsizetype comment = line.indexOf(QLatin1String("//"));
        if (comment >= 0) line.truncate(comment);
        line = line.trimmed();
        if (line.isEmpty()) continue;
        const qsizetype gap = line.indexOf(QRegularExpression(QStringLiteral("\\s")));
        const QString name = gap < 0 ? line : line.left(gap);
        QString value = gap < 0 ? QString() : line.mid(gap).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (name.compare(QLatin1String("exec"), Qt::CaseInsensitive) == 0) {
            readInto(modFolder, value, out, seen, depth + 1);
            continue;
        }
        out.insert(name.toLower(), {name, value});
    }
}

bool sameValue(const QString& a, const QString& b) {
    if (a.trimmed() == b.trimmed()) return true;
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    return okA && okB && qFuzzyCompare(x + 1.0, y + 1.0);
}

} // namespace

QHash<QString, QPair<QString, QString>> configValues(const QString& modFolder, const QString& fileName) {
    QHash<QString, QPair<QString, QString>> out;
    QSet<QString> seen;
    readInto(modFolder, fileName, out, seen, 0);
    return out;
}

QList<SettingDifference> differences(const QHash<QString, QPair<QString, QString>>& file, const Rules& live) {
    QList<SettingDifference> out;
    for (const auto& [name, value] : live) {
        const auto it = file.constFind(name.toLower());
        if (it == file.constEnd() || sameValue(it->second, value)) continue;
        out.append({name, it->second, value});
    }
    return out;
}

} // namespace tarrow::live
