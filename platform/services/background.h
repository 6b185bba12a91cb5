// Work done off the window's thread, so that a slow disk never holds up typing.
#pragma once

#include <functional>
#include <memory>

namespace plat {

// One piece of work under way.
class BackgroundTask {
public:
    // Waits for the work to end.
    virtual ~BackgroundTask() = default;
    // Whether the work has ended (its effects are then visible to the caller).
    virtual bool finished() const = 0;
    // Returns once the work has ended.
    virtual void wait() = 0;
};

class Background {
public:
    virtual ~Background() = default;
    // Starts `work` on a thread of its own. The work may use the files and the ANSI
    // character set, never the windows, and must not throw. A backend may run it at
    // once, on the caller's thread (the headless desktop does, to be predictable).
    virtual std::unique_ptr<BackgroundTask> start(std::function<void()> work) = 0;
};

}  // namespace plat
