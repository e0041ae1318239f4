#pragma once

namespace tarrow {

// Time for waits that keep the window live. The real clock runs a nested event loop until the time has
// passed; tests install one that returns at once and records what was asked.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual void waitWithMessages(int milliseconds) = 0;

    static Clock& current();
    static void setCurrent(Clock* clock); // nullptr restores the real clock
};

// Processes window messages until the given time has passed.
void WaitWithMessages(int milliseconds);
// How many of those waits are under way on this thread: the window defers its closing while one runs,
// since the step that waits would go on in a window that is gone.
int pacedWaitsRunning();

} // namespace tarrow
