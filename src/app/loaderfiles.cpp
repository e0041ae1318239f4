#include "loaderfiles.h"

#include "app/webaddresses.h"
#include "common/backups.h"
#include "common/fileio.h"
#include "common/paths.h"
#include "common/textlists.h"

namespace tarrow {

QStringList rivalPluginFiles(const QString& installRoot, const QString& modFolder) {
    const QString base = installRoot + modFolder;
    QStringList found;
    for (const char* rel :
         {"\\addons\\AdminOP\\adminop.dll", "\\addons\\AdminOP\\dlls\\adminop.dll", "\\dlls\\adminop.dll"}) {
        const QString path = base + QString::fromLatin1(rel);
        if (fileExists(path)) found.append(path);
    }
    return found;
}

QString rivalPluginWarning() {
    return QStringLiteral(
               "You should not support a rip off of good work, Please remove AdminOp and install the "
               "original work, NeoTF, which can be found at ") +
           WebAddresses::neotfHostName();
}

QString firstWord(const QString& line) {
    qsizetype i = startsWithByteOrderMark(line) ? 3 : 0;
    while (i < line.size() && (line.at(i) == QLatin1Char(' ') || line.at(i) == QLatin1Char('\t')))
        ++i;
    qsizetype end = i;
    while (end < line.size() && line.at(end) != QLatin1Char(' ') && line.at(end) != QLatin1Char('\t') &&
           line.at(end) != QLatin1Char('"'))
        ++end;
    return line.mid(i, end - i);
}

QString normaliseLiblistLine(const QString& line) {
    const QString word = firstWord(line);
    if (word.compare(QLatin1String("gamedll_linux"), Qt::CaseInsensitive) == 0 ||
        word.compare(QLatin1String("gamedll_osx"), Qt::CaseInsensitive) == 0)
        return line;
    QString out = asciiLower(line);
    out.replace(QLatin1Char('/'), QLatin1Char('\\'));
    out.replace(QLatin1String("\\\\"), QLatin1String("//"));
    return out;
}

QString normalisePluginLine(const QString& line) {
    if (firstWord(line).compare(QLatin1String("linux"), Qt::CaseInsensitive) == 0) return line;
    QString out = asciiLower(line);
    out.replace(QLatin1Char('\\'), QLatin1Char('/'));
    out.replace(QLatin1String("\\\\"), QLatin1String("//"));
    return out;
}

namespace {

bool normaliseFile(const QString& path, const BackupStore& backups, QString (*rule)(const QString&)) {
    if (!fileExists(path)) return false;
    QStringList lines = readLines(path);
    for (QString& line : lines)
        line = rule(line);
    clearReadOnly(path);
    SaveListToFile(path, lines, QString(), backups);
    return true;
}

} // namespace

bool normaliseLiblistFile(const QString& path, const BackupStore& backups) {
    return normaliseFile(path, backups, normaliseLiblistLine);
}

bool normalisePluginFile(const QString& path, const BackupStore& backups) {
    return normaliseFile(path, backups, normalisePluginLine);
}

QString missingLiblistMessage(const QString& path) {
    return QStringLiteral("Your Liblist.gam file was not found, expected path: \"") + nativePath(path) +
           QLatin1Char('"');
}

} // namespace tarrow
