#pragma once

#include <functional>
#include <initializer_list>

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
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

// An up-down bound to its edit. Unlike a spin box it holds any text, an empty one too: the value
// comes from the text by the setting's rules, which live in the model; this widget only shows the
// text and asks for steps.
class UpDownEdit : public QAbstractSpinBox {
    Q_OBJECT
    // What a screen reader reads of a spin box: its value and its range.
    Q_PROPERTY(int value READ value)
    Q_PROPERTY(int minimum READ minimum)
    Q_PROPERTY(int maximum READ maximum)
  public:
    UpDownEdit(const QString& upDownName, const QString& editName, QWidget* parent = nullptr);
    QLineEdit* edit() const { return lineEdit(); }
    void stepBy(int steps) override;

    // The range, and where the value a save would write comes from (else the number shown).
    void setRange(int minimum, int maximum);
    void setValueSource(std::function<int()> source) { valueSource_ = std::move(source); }
    int value() const;
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }

  signals:
    void stepRequested(int steps);

  protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }

  private:
    int minimum_ = 0;
    int maximum_ = 0;
    std::function<int()> valueSource_;
};

// The mouse wheel changes an up-down, slider or drop-down list only while it has the keyboard focus;
// otherwise the wheel scrolls the page under the pointer, so scrolling past a control never changes
// a setting. Applies to every such control below `root` and takes the wheel out of their focus.
void keepWheelForScrolling(QWidget* root);

// Gives a control the name the rest of the program knows it by, and returns it.
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// An editor's text as typed, every character kept (toPlainText would turn no-break spaces into blanks).
QString editorPlainText(const QPlainTextEdit* editor);

// A group box's notice across the top and its check boxes two to a row below; returns the grid, for the
// buttons that follow (in the row after the boxes).
struct CheckBoxRow {
    QCheckBox** box;
    const char* caption;
    const char* name;
};
QGridLayout* checkBoxGroup(QGroupBox* group, const QString& notice, std::initializer_list<CheckBoxRow> boxes);

} // namespace tarrow
