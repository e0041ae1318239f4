#pragma once

// The main() of a test that builds the real window: WebEngine wants shared GL contexts before the
// application exists, and the window's pictures live in a static library's resources.
#include "ui/guardedapp.h"
#include "ui/startup.h"

#include <QApplication>
#include <QTest>

#define TARROW_WINDOW_TEST_MAIN(TestClass)                                                                   \
    int main(int argc, char** argv) {                                                                        \
        tarrow::enableReportAccessibility();                                                                 \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                          \
        tarrow::GuardedApplication app(argc, argv);                                                          \
        tarrow::initUiResources();                                                                           \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }

#include "support/fixtureinstall.h"
#include "support/scriptedprompter.h"
#include "ui/main.h"

#include <memory>

namespace tarrow::test {

// A control of the window, found by its object name. A missing name stops the test run: every test
// that asks for one relies on it.
template <typename T> T* control(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("The window has no %s named \"%s\"", T::staticMetaObject.className(), name);
    return found;
}

// The real window on a fixture installation, with recording dialogs and desktop. Tests write their
// files first, then open().
struct WindowUnderTest {
    enum class Liblist { WritePlain, AsInstalled };
    explicit WindowUnderTest(FixtureInstall& installation) : fx(installation) {}

    TMainfrm& open(Liblist liblist = Liblist::WritePlain, bool show = true) {
        if (liblist == Liblist::WritePlain) fx.write("TFC/liblist.gam", "gamedll \"dlls\\tfc.dll\"\r\n");
        fx.storeRoot();
        w = std::make_unique<TMainfrm>(fx.settings(), prompter, shell);
        if (show) w->show();
        return *w;
    }

    FixtureInstall& fx;
    ScriptedPrompter prompter;
    RecordingShell shell;
    std::unique_ptr<TMainfrm> w;
};

} // namespace tarrow::test
