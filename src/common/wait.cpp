#include "wait.h"

#include <QEventLoop>
#include <QTimer>

namespace tarrow {

namespace {

class RealClock : public Clock {
  public:
    void waitWithMessages(int milliseconds) override {
        if (milliseconds <= 0) return;
        QEventLoop loop;
        QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
};

Clock*& installed() {
    static Clock* clock = nullptr;
    return clock;
}

} // namespace

Clock& Clock::current() {
    static RealClock real;
    return installed() ? *installed() : real;
}

void Clock::setCurrent(Clock* clock) {
    installed() = clock;
}

namespace {
thread_local int waitsRunning = 0;
}

void WaitWithMessages(int milliseconds) {
    struct Count {
        Count() { ++waitsRunning; }
        ~Count() { --waitsRunning; }
    } count;
    Clock::current().waitWithMessages(milliseconds);
}

int pacedWaitsRunning() {
    return waitsRunning;
}

} // namespace tarrow
