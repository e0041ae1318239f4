#include "guardedapp.h"

#include "common/errors.h"

#include <cstdio>
#include <exception>

namespace tarrow {

QString currentExceptionText() {
    try {
        throw;
    } catch (const Error& e) {
        return e.text();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("An unexpected error ended the step.");
    }
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        report(currentExceptionText());
    }
    return false;
}

GuardedApplication* GuardedApplication::running() {
    return qobject_cast<GuardedApplication*>(QCoreApplication::instance());
}

void GuardedApplication::report(const QString& text) {
    // The newest sink whose owner still lives.
    sinks_.removeIf([](const Sink& s) { return s.owner.isNull(); });
    if (sinks_.isEmpty()) {
        std::fprintf(stderr, "tarrow-gui: %s\n", text.toLocal8Bit().constData());
        return;
    }
    // A copy: the box runs an event loop, in which the list may change.
    const ErrorSink sink = sinks_.last().sink;
    try {
        sink(text);
    } catch (...) {
        std::fprintf(stderr, "tarrow-gui: %s\n", text.toLocal8Bit().constData());
    }
}

void GuardedApplication::setErrorSink(QObject* owner, ErrorSink sink) {
    GuardedApplication* app = running();
    if (!app) return;
    clearErrorSink(owner);
    app->sinks_.append({owner, std::move(sink)});
}

void GuardedApplication::clearErrorSink(QObject* owner) {
    if (GuardedApplication* app = running())
        app->sinks_.removeIf([owner](const Sink& s) { return s.owner.isNull() || s.owner == owner; });
}

} // namespace tarrow
