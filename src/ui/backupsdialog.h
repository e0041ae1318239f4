#pragma once

#include "common/backups.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace tarrow {

class Prompter;

// Lists the kept previous versions of the installation's files, newest first, shows the chosen one
// beside the file as it is now, and puts it back on request.
class BackupsDialog : public QDialog {
    Q_OBJECT
  public:
    // `backups`: the installation's store, whose journal hears of every restore.
    BackupsDialog(const BackupStore& backups, Prompter& prompter, QWidget* parent = nullptr);

    // Reads the backup folder again.
    void reload();
    QTreeWidget* Backuplst = nullptr;
    QPlainTextEdit* Backuptxt = nullptr;
    QPlainTextEdit* Currenttxt = nullptr;
    QPushButton* Restorecmd = nullptr;
    QLabel* Backuplbl = nullptr;

  signals:
    // A backup was put back; the text says which file.
    void restored(const QString& nativePath);

  private:
    void showChosen();
    void RestorecmdClick();

    BackupStore store_;
    Prompter& prompter_;
    QList<Backup> backups_;
};

} // namespace tarrow
