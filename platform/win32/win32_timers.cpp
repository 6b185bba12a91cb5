// Timers and background work on Win32. The timers belong to a message-only window
// made with the first one, so that no window of the program's own has to carry them;
// background tasks each get a thread of their own.
#include <atomic>

#include "platform/win32/win32_services.h"

namespace plat::win32 {
namespace {

constexpr WindowClass kTimerClass{L"QuibbetsTimers"};

class ThreadTask final : public BackgroundTask {
public:
    explicit ThreadTask(std::function<void()> work) : m_work(std::move(work)) {
        m_thread = CreateThread(nullptr, 0, &ThreadTask::run, this, 0, nullptr);
        if (!m_thread) {
            run(this);  // no thread to be had: the work is done now rather than lost
        }
    }
    ~ThreadTask() override {
        wait();
        if (m_thread) {
            CloseHandle(m_thread);
        }
    }
    ThreadTask(const ThreadTask&) = delete;
    ThreadTask& operator=(const ThreadTask&) = delete;

    bool finished() const override { return m_finished.load(std::memory_order_acquire); }
    void wait() override {
        if (m_thread) {
            WaitForSingleObject(m_thread, INFINITE);
        }
    }

private:
    static DWORD WINAPI run(void* self) {
        auto* task = static_cast<ThreadTask*>(self);
        task->m_work();
        task->m_finished.store(true, std::memory_order_release);
        return 0;
    }

    std::function<void()> m_work;
    std::atomic<bool> m_finished = false;
    HANDLE m_thread = nullptr;
};

}  // namespace

Win32Timers::~Win32Timers() {
    destroy();
}

int Win32Timers::startTimer(int milliseconds, std::function<void()> due) {
    if (!hwnd()) {
        create(kTimerClass, WindowParams{.parent = HWND_MESSAGE});
    }
    const UINT_PTR id = m_next++;
    m_timers[id] = std::move(due);
    SetTimer(hwnd(), id, static_cast<UINT>(std::max(milliseconds, USER_TIMER_MINIMUM)), nullptr);
    return static_cast<int>(id);
}

void Win32Timers::stopTimer(int timer) {
    const auto id = static_cast<UINT_PTR>(timer);
    if (m_timers.erase(id) > 0) {
        KillTimer(hwnd(), id);
    }
}

std::int64_t Win32Timers::nowMilliseconds() const {
    return static_cast<std::int64_t>(GetTickCount64());
}

// A Windows timer repeats: it is killed as it fires, before its callback runs (which
// may start the next one).
LRESULT Win32Timers::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER) {
        return defaultHandling(message, wParam, lParam);
    }
    KillTimer(hwnd(), wParam);
    const auto it = m_timers.find(wParam);
    if (it != m_timers.end()) {
        const std::function<void()> due = std::move(it->second);
        m_timers.erase(it);
        due();
    }
    return 0;
}

std::unique_ptr<BackgroundTask> Win32Background::start(std::function<void()> work) {
    return std::make_unique<ThreadTask>(std::move(work));
}

}  // namespace plat::win32
