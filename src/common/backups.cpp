#include "backups.h"

#include "errors.h"
#include "fileio.h"
#include "paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <optional>

namespace tarrow {

namespace {

QDateTime (*gNow)() = [] { return QDateTime::currentDateTime(); };

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString kOutside = QStringLiteral("_outside");

const QRegularExpression& backupName() {
    static const QRegularExpression re(QStringLiteral("^(.+)\\.(\\d{8}-\\d{6})(?:-(\\d+))?\\.bak$"));
    return re;
}

struct Parsed {
    QString name;
    QDateTime time;
    int counter = 1;
};

std::optional<Parsed> parse(const QString& fileName) {
    const auto m = backupName().match(fileName);
    if (!m.hasMatch()) return std::nullopt;
    Parsed p;
    p.name = m.captured(1);
    p.time = QDateTime::fromString(m.captured(2), kStampFormat);
    p.counter = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
    if (!p.time.isValid()) return std::nullopt;
    return p;
}

bool newerFirst(const Backup& a, const Backup& b) {
    if (a.time != b.time) return a.time > b.time;
    return a.counter > b.counter;
}

QList<Backup> backupsIn(const QString& area, const QString& root) {
    QList<Backup> out;
    if (area.isEmpty() || !QFileInfo(area).isDir()) return out;
    QDirIterator it(area, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const auto p = parse(info.fileName());
        if (!p) continue;
        Backup b;
        b.backupPath = path;
        b.time = p->time;
        b.counter = p->counter;
        b.size = info.size();
        const QString relDir = info.absolutePath().mid(area.size()); // "" or "valve/..." (no slashes at ends)
        const QString relFile = relDir.isEmpty() ? p->name : relDir + QLatin1Char('/') + p->name;
        if (relFile.startsWith(kOutside + QLatin1Char('/'))) {
            b.original = relFile.mid(kOutside.size());
            b.relative = b.original;
        } else {
            b.original = root + relFile;
            b.relative = relFile;
        }
        out.append(b);
    }
    std::sort(out.begin(), out.end(), newerFirst);
    return out;
}

void removeBackupFile(const QString& path) {
    QFile::remove(path);
}

void writeCopy(const QString& path, const QByteArray& bytes) {
    auto fail = [&](const QString& reason) {
        throw IoError(QStringLiteral("Cannot create backup \"%1\". %2").arg(path, reason));
    };
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) fail(QStringLiteral("Cannot create its folder."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) fail(file.errorString());
    if (!writeAll(file, bytes)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(reason);
    }
    if (!file.commit()) fail(file.errorString());
}

} // namespace

BackupStore::BackupStore(const QString& installRoot, std::shared_ptr<WriteJournal> journal)
    : BackupStore(installRoot) {
    journal_ = std::move(journal);
}

BackupStore::BackupStore(const QString& installRoot) {
    if (installRoot.isEmpty()) return;
    root_ = nativePath(installRoot);
    if (!root_.endsWith(QLatin1Char('/'))) root_ += QLatin1Char('/');
}

// The folder that holds the copies of one file.
QString BackupStore::folderFor(const QString& target) const {
    const QString& root = root_;
    const QFileInfo info(target);
    const QString dir = info.absolutePath();
    if (root.isEmpty()) return dir + QStringLiteral("/.tarrow-backups/");
    const QString area = backupFolder(root);
    if ((dir + QLatin1Char('/')).startsWith(root)) {
        const QString rel = (dir + QLatin1Char('/')).mid(root.size());
        return area + rel;
    }
    return area + kOutside + dir + QLatin1Char('/');
}

// Newest 20 per file, then no more than the size limit in all, dropping the oldest first. The copy just
// made always stays.
void BackupStore::prune(const QString& folder, const QString& fileName, const QString& keep) const {
    QList<Backup> mine;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        const auto p = parse(info.fileName());
        if (!p || p->name != fileName) continue;
        Backup b;
        b.backupPath = info.absoluteFilePath();
        b.time = p->time;
        b.counter = p->counter;
        mine.append(b);
    }
    std::sort(mine.begin(), mine.end(), newerFirst);
    for (qsizetype i = kBackupsPerFile; i < mine.size(); ++i)
        if (mine[i].backupPath != keep) removeBackupFile(mine[i].backupPath);

    const QString& root = root_;
    const QString area = root.isEmpty() ? folder : backupFolder(root);
    QList<Backup> all = backupsIn(area, root);
    qint64 total = 0;
    for (const Backup& b : all)
        total += b.size;
    for (qsizetype i = all.size() - 1; i >= 0 && total > kBackupBytesInAll; --i) {
        if (all[i].backupPath == keep) continue;
        removeBackupFile(all[i].backupPath);
        total -= all[i].size;
    }
}

QString backupFolder(const QString& installRootNative) {
    if (installRootNative.isEmpty()) return {};
    QString root = installRootNative;
    if (!root.endsWith(QLatin1Char('/'))) root += QLatin1Char('/');
    // The plug-in folder may already exist as "Tarrow/": a second "tarrow/" beside it would take the
    // bot's place on a file system that tells the two apart.
    QString folder = nativePath(root + QStringLiteral("tarrow\\backups\\"));
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

QString BackupStore::keepPreviousVersion(const QString& target, const QByteArray* newBytes) const {
    const QFileInfo info(target);
    if (!info.isFile()) return {};
    QFile in(target);
    if (!in.open(QIODevice::ReadOnly))
        throw IoError(
            QStringLiteral("Cannot keep the previous version of \"%1\". %2").arg(target, in.errorString()));
    const QByteArray old = in.readAll();
    in.close();
    if (newBytes && *newBytes == old) return {};

    const QString folder = folderFor(info.absoluteFilePath());
    const QString stamp = gNow().toString(kStampFormat);
    // Copies made in the same second are numbered on from the highest number there, so the order
    // stays right after older ones were dropped.
    int highest = 0;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        const auto p = parse(name);
        if (p && p->name == info.fileName() && p->time.toString(kStampFormat) == stamp)
            highest = std::max(highest, p->counter);
    }
    QString path = folder + info.fileName() + QLatin1Char('.') + stamp +
                   (highest == 0 ? QString() : QLatin1Char('-') + QString::number(highest + 1)) +
                   QStringLiteral(".bak");
    writeCopy(path, old);
    prune(folder, info.fileName(), path);
    return path;
}

QList<Backup> BackupStore::list() const {
    return backupsIn(backupFolder(root_), root_);
}

void BackupStore::restore(const Backup& backup) const {
    writeFileBytes(backup.original, readFileBytes(backup.backupPath), *this);
}

void setBackupClock(QDateTime (*now)()) {
    gNow = now ? now : +[] { return QDateTime::currentDateTime(); };
}

} // namespace tarrow
