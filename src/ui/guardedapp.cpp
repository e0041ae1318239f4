#include "guardedapp.h"

#include "common/errors.h"

#include <QList>
#include <cstdio>
#include <exception>

namespace tarrow {

namespace {

struct Sink {
    QPointer<QObject> owner;
    GuardedApplication::ErrorSink sink;
};

QList<Sink>& sinks() {
    static QList<Sink> list;
    return list;
}

} // namespace

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

void GuardedApplication::report(const QString& text) {
    // The newest sink whose owner still lives.
    QList<Sink>& list = sinks();
    list.removeIf([](const Sink& s) { return s.owner.isNull(); });
    if (list.isEmpty()) {
        std::fprintf(stderr, "tarrow-gui: %s\n", text.toLocal8Bit().constData());
        return;
    }
    // A copy: the box runs an event loop, in which the list may change.
    const ErrorSink sink = list.last().sink;
    try {
        sink(text);
    } catch (...) {
        std::fprintf(stderr, "tarrow-gui: %s\n", text.toLocal8Bit().constData());
    }
}

void GuardedApplication::setErrorSink(QObject* owner, ErrorSink sink) {
    clearErrorSink(owner);
    sinks().append({owner, std::move(sink)});
}

void GuardedApplication::clearErrorSink(QObject* owner) {
    sinks().removeIf([owner](const Sink& s) { return s.owner.isNull() || s.owner == owner; });
}

} // namespace tarrow
