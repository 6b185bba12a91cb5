// Timers of the window's thread, and the clock they run on.
#pragma once

#include <cstdint>
#include <functional>

namespace plat {

class Timers {
public:
    virtual ~Timers() = default;
    // Calls `due` once, on the window's thread, when the program handles its events
    // `milliseconds` or more from now (inside a message box's loop too). Returns the
    // timer's number, never 0. An exception out of `due` is reported as a failed event.
    virtual int startTimer(int milliseconds, std::function<void()> due) = 0;
    // Stops a timer that has not fired yet; a number that is not running (0 included)
    // is passed by.
    virtual void stopTimer(int timer) = 0;
    // Milliseconds on a clock that never goes back (not the time of day).
    virtual std::int64_t nowMilliseconds() const = 0;
};

}  // namespace plat
