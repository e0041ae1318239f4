#include "widgets.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QEvent>
#include <QScrollBar>

#include "common/paths.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace tarrow {

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

FileListBox::FileListBox(const QString& mask, QWidget* parent) : QListWidget(parent), mask_(mask) {}

QString FileListBox::folderWithSeparator() const {
    if (folder_.endsWith(QLatin1Char('\\')) || folder_.endsWith(QLatin1Char('/'))) return folder_;
    return folder_ + QLatin1Char('\\');
}

void FileListBox::setFolder(const QString& composedFolder) {
    folder_ = composedFolder;
    clear();
    QDir dir(nativePath(composedFolder));
    dir.setNameFilters({mask_});
    dir.setFilter(QDir::Files | QDir::System);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    addItems(dir.entryList());
}

UpDownEdit::UpDownEdit(const QString& upDownName, const QString& editName, QWidget* parent)
    : QAbstractSpinBox(parent) {
    setObjectName(upDownName);
    lineEdit()->setObjectName(editName);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
}

void UpDownEdit::stepBy(int steps) {
    emit stepRequested(steps);
}

void UpDownEdit::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

int UpDownEdit::value() const {
    return valueSource_ ? valueSource_() : text().toInt();
}

QString editorPlainText(const QPlainTextEdit* editor) {
    QString text = editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

namespace {

class WheelNeedsFocus : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return false;
        auto* control = qobject_cast<QWidget*>(watched);
        if (!control || control->hasFocus()) return false;
        // Not for this control: the event goes on to the page that holds it.
        event->ignore();
        return true;
    }
};

} // namespace

void keepWheelForScrolling(QWidget* root) {
    auto* filter = new WheelNeedsFocus(root);
    QList<QWidget*> controls;
    for (QWidget* w : root->findChildren<QAbstractSpinBox*>())
        controls << w;
    for (QWidget* w : root->findChildren<QAbstractSlider*>())
        if (!qobject_cast<QScrollBar*>(w)) controls << w;
    for (QWidget* w : root->findChildren<QComboBox*>())
        controls << w;
    for (QWidget* w : controls) {
        if (w->focusPolicy() == Qt::WheelFocus) w->setFocusPolicy(Qt::StrongFocus);
        w->installEventFilter(filter);
    }
}

QGridLayout* checkBoxGroup(QGroupBox* group, const QString& notice,
                           std::initializer_list<CheckBoxRow> boxes) {
    auto* grid = new QGridLayout(group);
    auto* label = new QLabel(notice);
    label->setWordWrap(true);
    grid->addWidget(label, 0, 0, 1, 2);
    int i = 0;
    for (const CheckBoxRow& row : boxes) {
        *row.box = named(new QCheckBox(QString::fromLatin1(row.caption), group), row.name);
        grid->addWidget(*row.box, 1 + i / 2, i % 2);
        ++i;
    }
    return grid;
}

} // namespace tarrow
