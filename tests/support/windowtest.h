#pragma once

// The main() of a test that builds the real window: WebEngine wants shared GL contexts before the
// application exists, and the window's pictures live in a static library's resources.
#include "ui/startup.h"

#include <QApplication>
#include <QTest>

#define TARROW_WINDOW_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char** argv) {                                                                                   \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                                     \
        QApplication app(argc, argv);                                                                                   \
        tarrow::initUiResources();                                                                                      \
        TestClass test;                                                                                                 \
        return QTest::qExec(&test, argc, argv);                                                                         \
    }
