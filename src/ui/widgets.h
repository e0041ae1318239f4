#pragma once

#include <QLabel>
#include <QListWidget>

class QPlainTextEdit;

namespace tarrow {

// A label that reports double clicks (the information labels of the Info page open things).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A list of a folder's files matching a mask, sorted by name, re-read each time it is pointed at the
// folder. The one file list of the program.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(const QString& mask, QWidget* parent = nullptr);
    // `composedFolder` may use backslashes and any letter case; see nativePath.
    void setFolder(const QString& composedFolder);
    QString folder() const { return folder_; }
    QString mask() const { return mask_; }
    void setMask(const QString& mask) { mask_ = mask; }
    // The folder as composed, ending with a separator.
    QString folderWithSeparator() const;

private:
    QString mask_;
    QString folder_;
};

// An editor's text as typed, every character kept (toPlainText would turn no-break spaces into blanks).
QString editorPlainText(const QPlainTextEdit* editor);

} // namespace tarrow
