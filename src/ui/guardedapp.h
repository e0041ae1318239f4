#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <functional>

namespace tarrow {

// The program's application object: no exception ever leaves an event handler. A failed step is
// caught where it happens by the window's boundary (`WindowContext::guarded`); whatever escapes anyway
// (a handler connected without it, a widget's own event) ends here, at the event loop: its text goes to
// the error sink (the window's generic error box) and the loop goes on.
class GuardedApplication : public QApplication {
    Q_OBJECT
  public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    using ErrorSink = std::function<void(const QString& text)>;
    // Where an escaped failure's text goes while `owner` lives; the newest owner's sink is used. Without
    // one, the text goes to standard error. Kept by the running GuardedApplication: under another
    // application object (a test's own) these do nothing.
    static void setErrorSink(QObject* owner, ErrorSink sink);
    static void clearErrorSink(QObject* owner);

  private:
    struct Sink {
        QPointer<QObject> owner;
        ErrorSink sink;
    };
    static GuardedApplication* running();
    void report(const QString& text);
    QList<Sink> sinks_;
};

// The text of the exception being handled: our own errors' texts as they stand, any other's what().
QString currentExceptionText();

} // namespace tarrow
