#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <utility>

namespace tarrow {

// What the safe writer did to a person's file (through a backup store), for the window's status bar and
// the command line's report.
struct WriteRecord {
    QString path;   // native
    QString backup; // the copy of the previous bytes, empty when there were none to keep
    bool deleted = false;
    bool changed = true; // false when the file already held these bytes
};

// The writes made through the backup stores of one installation, collected until they are taken.
class WriteJournal {
  public:
    void add(const WriteRecord& record) { records_.append(record); }
    QList<WriteRecord> take() { return std::exchange(records_, {}); }

  private:
    QList<WriteRecord> records_;
};

// Previous versions of the files the program overwrites or deletes. They live below
// InstallRoot + "tarrow/backups/", mirroring each file's place relative to InstallRoot, named
// "<file name>.<yyyyMMdd-HHmmss>[-<n>].bak". A file outside InstallRoot is mirrored by its absolute
// path below "_outside/"; without an InstallRoot the backups go beside the file, in ".tarrow-backups/".
struct Backup {
    QString original;   // native path of the file it is a copy of
    QString relative;   // that path as listed (relative to InstallRoot where it lies below it)
    QString backupPath; // native path of the copy
    QDateTime time;     // from the name, to the second
    int counter = 1;    // order within one second
    qint64 size = 0;
};

inline constexpr int kBackupsPerFile = 20;
inline constexpr qint64 kBackupBytesInAll = 50LL * 1024 * 1024;

// The folder that holds the backups of an installation (native, ends with '/'); empty without one. An
// existing plug-in folder is used in the spelling found on disk ("Tarrow/" as well as "tarrow/").
QString backupFolder(const QString& installRootNative);

// Where one installation keeps the previous versions of its files. Made from the installation's root;
// a store without a root keeps each copy beside its file, in ".tarrow-backups/".
class BackupStore {
  public:
    BackupStore() = default;
    // `installRoot` composed or native; empty for none.
    explicit BackupStore(const QString& installRoot);
    // The same, recording every write made through it in `journal` (shared by the installation's stores).
    BackupStore(const QString& installRoot, std::shared_ptr<WriteJournal> journal);

    // Where the writes through this store are recorded; null when nobody asked.
    WriteJournal* journal() const { return journal_.get(); }

    // The installation's root, native, ending with '/'; empty for none.
    const QString& root() const { return root_; }

    // Keeps the current bytes of `nativeTarget` before it is replaced by `newBytes` (or deleted, when
    // `newBytes` is null). Nothing is kept for a file that does not exist or whose bytes do not change.
    // Returns the copy's path, or an empty string when none was needed. Throws IoError naming the
    // backup path and the reason when the copy cannot be made: the caller must not write then.
    QString keepPreviousVersion(const QString& nativeTarget, const QByteArray* newBytes) const;

    // Every backup of the installation, newest first.
    QList<Backup> list() const;

    // Puts a backup's bytes back in place through the safe writer (which keeps the current bytes first).
    void restore(const Backup& backup) const;

  private:
    QString folderFor(const QString& nativeTarget) const;
    void prune(const QString& folder, const QString& fileName, const QString& keep) const;
    QString root_;
    std::shared_ptr<WriteJournal> journal_;
};

// The clock the backup names are taken from; tests set it to make two backups in one second.
void setBackupClock(QDateTime (*now)());

} // namespace tarrow
