// The headless backend's timers and background work. Its clock stands still until
// the test moves it (or the program waits), so a test decides exactly when a timer
// fires; background work runs at once, on the caller's thread.
#include "platform/headless/headless_platform.h"
#include "platform/headless/headless_services.h"

namespace plat::headless {
namespace {

class FinishedTask final : public BackgroundTask {
public:
    bool finished() const override { return true; }
    void wait() override {}
};

}  // namespace

int HeadlessTimers::startTimer(int milliseconds, std::function<void()> due) {
    const int id = m_state->nextTimer++;
    m_state->timers[id] = {m_state->clock + std::max(milliseconds, 0), std::move(due)};
    return id;
}

void HeadlessTimers::stopTimer(int timer) {
    m_state->timers.erase(timer);
}

std::int64_t HeadlessTimers::nowMilliseconds() const {
    return m_state->clock;
}

std::unique_ptr<BackgroundTask> HeadlessBackground::start(std::function<void()> work) {
    ++m_state->backgroundTasks;
    work();
    return std::make_unique<FinishedTask>();
}

// Timers fire one at a time with the clock at their due time; one started by a timer
// that falls due within the span fires too.
void HeadlessPlatform::advanceClock(int milliseconds) {
    const std::int64_t end = m_state->clock + std::max(milliseconds, 0);
    for (;;) {
        auto next = m_state->timers.end();
        for (auto it = m_state->timers.begin(); it != m_state->timers.end(); ++it) {
            if (it->second.due <= end && (next == m_state->timers.end() || it->second.due < next->second.due)) {
                next = it;
            }
        }
        if (next == m_state->timers.end()) {
            break;
        }
        m_state->clock = std::max(m_state->clock, next->second.due);
        const std::function<void()> callback = std::move(next->second.callback);
        m_state->timers.erase(next);
        raiseEvent(*m_state->link, callback);
    }
    m_state->clock = end;
}

int HeadlessPlatform::runningTimers() const {
    return static_cast<int>(m_state->timers.size());
}

int HeadlessPlatform::backgroundTasks() const {
    return m_state->backgroundTasks;
}

}  // namespace plat::headless
