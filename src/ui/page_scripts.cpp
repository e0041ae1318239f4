// The "Tarrow Scripts" page: a three-step wizard that writes a map's script, and its editor menu.
#include "page_scripts.h"

#include "common/prompter.h"

#include "app/installpaths.h"
#include "botconfig/mapscripts.h"
#include "common/fileio.h"
#include "common/modtable.h"
#include "common/paths.h"
#include "common/settingsstore.h"
#include "common/textlists.h"
#include "widgets.h"

#include <QCursor>
#include <QDateTime>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tarrow {

namespace {

const QString kChoose = QStringLiteral("Do you want to create a new script or edit a current one?");
const QString kPickMap = QStringLiteral("Please select the map that you want to create a new script for.");
const QString kPickScript = QStringLiteral("Please select the Tarrow script file that you want to edit.");

QString scriptFolder(const Installation& in) {
    return in.paths().scriptsFolder;
}
QString mapFolder(const Installation& in) {
    return in.paths().mapsFolder;
}

QPushButton* button(const char* name, const QString& caption) {
    auto* b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    b->setEnabled(false);
    return b;
}

// Both choices unselected again (exclusive radio buttons cannot be unchecked one by one).
void clearScriptChoice(QRadioButton* a, QRadioButton* b) {
    for (QRadioButton* r : {a, b})
        r->setAutoExclusive(false);
    for (QRadioButton* r : {a, b})
        r->setChecked(false);
    for (QRadioButton* r : {a, b})
        r->setAutoExclusive(true);
}

} // namespace

ScriptsPage::ScriptsPage(WindowContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    auto* layout = new QGridLayout(this);
    Newlbl = new QLabel(kChoose);
    Newlbl->setObjectName(QStringLiteral("Newlbl"));
    Newlbl->setWordWrap(true);
    Newscriptopt = new QRadioButton(QStringLiteral("New Script"));
    Newscriptopt->setObjectName(QStringLiteral("Newscriptopt"));
    Currentscriptopt = new QRadioButton(QStringLiteral("Current Script"));
    Currentscriptopt->setObjectName(QStringLiteral("Currentscriptopt"));
    Scriptlst = new FileListBox(QStringLiteral("*.cfg"), this);
    Scriptlst->setObjectName(QStringLiteral("Scriptlst"));
    Scriptlst->setAccessibleName(QStringLiteral("Maps and scripts"));
    Scriptlst->hide();
    Scripttxt = new QPlainTextEdit(this);
    Scripttxt->setObjectName(QStringLiteral("Scripttxt"));
    Scripttxt->setAccessibleName(QStringLiteral("Script text"));
    Scripttxt->setLineWrapMode(QPlainTextEdit::NoWrap);
    Scripttxt->setTabChangesFocus(false);
    Scripttxt->setContextMenuPolicy(Qt::NoContextMenu);
    Scripttxt->hide();
    Scripttxt->installEventFilter(this);
    Scripttxt->viewport()->installEventFilter(this);
    ScriptCcmd = button("ScriptCcmd", QStringLiteral("&Cancel"));
    ScriptBcmd = button("ScriptBcmd", QStringLiteral("< &Back"));
    ScriptNcmd = button("ScriptNcmd", QStringLiteral("&Next >"));
    ScriptFcmd = button("ScriptFcmd", QStringLiteral("&Finish"));

    layout->addWidget(Newlbl, 0, 0, 1, 4);
    layout->addWidget(Newscriptopt, 1, 0, 1, 4);
    layout->addWidget(Currentscriptopt, 2, 0, 1, 4);
    layout->addWidget(Scriptlst, 3, 0, 1, 4);
    layout->addWidget(Scripttxt, 4, 0, 1, 4);
    layout->setRowStretch(3, 1);
    layout->setRowStretch(4, 1);
    layout->addWidget(ScriptCcmd, 5, 0);
    layout->addWidget(ScriptBcmd, 5, 1);
    layout->addWidget(ScriptNcmd, 5, 2);
    layout->addWidget(ScriptFcmd, 5, 3);

    scriptmnu = new QMenu(this);
    scriptmnu->setObjectName(QStringLiteral("scriptmnu"));
    QMenu* edit = scriptmnu->addMenu(QStringLiteral("&Edit"));
    edit->addAction(QStringLiteral("&Undo"), QKeySequence::Undo, Scripttxt, &QPlainTextEdit::undo);
    edit->addSeparator();
    edit->addAction(QStringLiteral("Cu&t"), QKeySequence::Cut, Scripttxt, &QPlainTextEdit::cut);
    edit->addAction(QStringLiteral("&Copy"), QKeySequence::Copy, Scripttxt, &QPlainTextEdit::copy);
    edit->addAction(QStringLiteral("&Paste"), QKeySequence::Paste, Scripttxt, &QPlainTextEdit::paste);
    QMenu* insert = scriptmnu->addMenu(QStringLiteral("&Insert"));
    for (const ScriptInsert& entry : scriptInserts()) {
        QString text = entry.text;
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        insert->addAction(entry.caption, this, [this, text] {
            Scripttxt->setFocus();
            Scripttxt->textCursor().insertText(text);
        });
    }

    // A choice made with the keyboard, by the program or through the accessibility interface counts
    // as much as a click.
    connect(Newscriptopt, &QRadioButton::toggled, this, [this](bool on) {
        if (on) NewscriptoptClick();
    });
    connect(Currentscriptopt, &QRadioButton::toggled, this, [this](bool on) {
        if (on) CurrentscriptoptClick();
    });
    // A map or script is chosen when it is selected (a click, or a key that moves the selection); the
    // focus alone makes a row current without choosing it.
    connect(Scriptlst, &QListWidget::itemSelectionChanged, this, [this] {
        if (scriptStep_ == 1 && !Scriptlst->selectedItems().isEmpty()) ScriptlstClick();
    });
    connectGuarded(context_, ScriptNcmd, &QPushButton::clicked, this, &ScriptsPage::ScriptNcmdClick);
    connectGuarded(context_, ScriptBcmd, &QPushButton::clicked, this, &ScriptsPage::ScriptBcmdClick);
    connectGuarded(context_, ScriptFcmd, &QPushButton::clicked, this, &ScriptsPage::ScriptFcmdClick);
    connectGuarded(context_, ScriptCcmd, &QPushButton::clicked, this, &ScriptsPage::ScriptCcmdClick);
}

bool ScriptsPage::eventFilter(QObject* watched, QEvent* event) {
    if (Scripttxt && watched == Scripttxt->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        popupScriptMenu();
        return true;
    }
    // Alt alone belongs to the editor here: taken at its shortcut check, it never reaches the window,
    // whose menu bar would otherwise take the keyboard when it is released.
    if (Scripttxt && watched == Scripttxt && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt) {
        event->accept();
        return true;
    }
    if (Scripttxt && watched == Scripttxt && event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt) {
        popupScriptMenu();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool ScriptsPage::hasUnsavedScript() const {
    return scriptStep_ == 2 && ScriptFcmd->isEnabled() && Scripttxt->document()->isModified();
}

void ScriptsPage::popupScriptMenu() {
    scriptmnu->popup(QCursor::pos());
}

void ScriptsPage::NewscriptoptClick() {
    ScriptNcmd->setEnabled(true);
}

void ScriptsPage::CurrentscriptoptClick() {
    ScriptNcmd->setEnabled(true);
    ScriptNcmd->setDefault(true);
}

void ScriptsPage::ScriptlstClick() {
    ScriptNcmd->setEnabled(true);
    ScriptNcmd->setDefault(true);
}

void ScriptsPage::showScriptList(bool filterScripted) {
    if (Newscriptopt->isChecked()) {
        Scriptlst->setMask(QStringLiteral("*.bsp"));
        if (folderExists(mapFolder(context_.installation())))
            Scriptlst->setFolder(mapFolder(context_.installation()));
        Newlbl->setText(kPickMap);
        if (filterScripted) {
            for (int i = Scriptlst->count() - 1; i >= 0; --i) {
                if (fileExists(scriptFolder(context_.installation()) +
                               scriptFileOf(Scriptlst->item(i)->text())))
                    delete Scriptlst->takeItem(i);
            }
        }
    } else {
        Scriptlst->setMask(QStringLiteral("*.cfg"));
        if (folderExists(scriptFolder(context_.installation())))
            Scriptlst->setFolder(scriptFolder(context_.installation()));
        Newlbl->setText(kPickScript);
    }
}

void ScriptsPage::ScriptNcmdClick() {
    ++scriptStep_;
    if (scriptStep_ == 1) {
        showScriptList(true);
        ScriptNcmd->setEnabled(false);
        Newscriptopt->hide();
        Currentscriptopt->hide();
        ScriptBcmd->setEnabled(true);
        ScriptCcmd->setEnabled(true);
        Scriptlst->show();
        Scriptlst->setFocus();
    } else if (scriptStep_ == 2) {
        const QList<QListWidgetItem*> chosen = Scriptlst->selectedItems();
        const QListWidgetItem* item = chosen.isEmpty() ? Scriptlst->currentItem() : chosen.first();
        const QString name = item ? item->text() : QString();
        if (Newscriptopt->isChecked()) {
            Newlbl->setText(nativePath(scriptFolder(context_.installation()) + scriptFileOf(name)));
            Scripttxt->setPlainText(
                newScriptLines(mapNameOf(name), scriptCreatedText(QDateTime::currentDateTime()))
                    .join(QLatin1Char('\n')));
        } else {
            const QString path = scriptFolder(context_.installation()) + name;
            if (!name.isEmpty() && fileExists(path))
                Scripttxt->setPlainText(editorTextFromBytes(readFileBytes(path)));
            Newlbl->setText(nativePath(path));
        }
        Scripttxt->show();
        Scriptlst->hide();
        ScriptNcmd->setEnabled(false);
        ScriptFcmd->setEnabled(true);
        Scripttxt->setFocus();
    }
}

void ScriptsPage::ScriptBcmdClick() {
    if (scriptStep_ <= 0) return;
    --scriptStep_;
    if (scriptStep_ == 0) {
        Newscriptopt->show();
        Currentscriptopt->show();
        clearScriptChoice(Newscriptopt, Currentscriptopt);
        for (QPushButton* b : {ScriptBcmd, ScriptCcmd, ScriptNcmd, ScriptFcmd})
            b->setEnabled(false);
        Scriptlst->hide();
        Newlbl->setText(kChoose);
    } else if (scriptStep_ == 1) {
        // The map or script chosen before stays chosen.
        const QListWidgetItem* chosen = Scriptlst->currentItem();
        const QString name = chosen ? chosen->text() : QString();
        showScriptList(false);
        const auto same = Scriptlst->findItems(name, Qt::MatchExactly);
        if (!same.isEmpty()) Scriptlst->setCurrentItem(same.first());
        ScriptNcmd->setEnabled(true);
        ScriptBcmd->setEnabled(true);
        ScriptCcmd->setEnabled(true);
        ScriptFcmd->setEnabled(false);
        Scriptlst->show();
        Scripttxt->hide();
        Scriptlst->setFocus();
    }
}

void ScriptsPage::ScriptFcmdClick() {
    if (scriptStep_ != 2) return;
    // A new script never replaces another one without a question.
    if (Newscriptopt->isChecked() && fileExists(Newlbl->text()) &&
        !context_.prompter().confirm(nativePath(Newlbl->text()) +
                                     QStringLiteral(" already exists. Replace it?")))
        return;
    writeFileBytes(Newlbl->text(), joinLinesCrLf(splitLines(editorPlainText(Scripttxt))),
                   context_.installation().backups());
    ScriptCcmdClick();
}

void ScriptsPage::ScriptCcmdClick() {
    scriptStep_ = 0;
    Newlbl->show();
    Newscriptopt->show();
    Currentscriptopt->show();
    clearScriptChoice(Newscriptopt, Currentscriptopt);
    for (QPushButton* b : {ScriptBcmd, ScriptFcmd, ScriptNcmd, ScriptCcmd})
        b->setEnabled(false);
    Scriptlst->hide();
    Scripttxt->hide();
    Scripttxt->clear();
    Newlbl->setText(kChoose);
}

} // namespace tarrow
