#include "qtservices.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace tarrow {

namespace {
const QString kTitle = QStringLiteral("Tarrow GUI");
}

void QtPrompter::message(const QString& text) {
    QMessageBox::information(parent_, kTitle, text);
}

bool QtPrompter::confirm(const QString& text) {
    return QMessageBox::question(parent_, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

Prompter::SaveChoice QtPrompter::askToSave(const QString& text) {
    switch (QMessageBox::question(parent_, kTitle, text,
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                  QMessageBox::Save)) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

QString QtPrompter::browseForFolder(const QString& caption) {
    return QFileDialog::getExistingDirectory(parent_, caption);
}

void QtPrompter::error(const QString& text) {
    QMessageBox::critical(parent_, kTitle, text);
}

bool QtShell::openDocument(const QString& nativePath) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(nativePath));
}

bool QtShell::openFolder(const QString& nativePath) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(nativePath));
}

bool QtShell::openWebAddress(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}

bool QtShell::startProgram(const QString& program, const QStringList& arguments,
                           const QString& workingDirectory) {
    return QProcess::startDetached(program, arguments, workingDirectory);
}

} // namespace tarrow
