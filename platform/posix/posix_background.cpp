// Background work on threads: one thread a task, joined when the task goes. Tasks
// are rare (a recovery write after a pause in typing), so no pool is kept.
#include <atomic>
#include <thread>

#include "platform/posix/posix_services.h"

namespace plat::posix {
namespace {

class ThreadTask final : public BackgroundTask {
public:
    explicit ThreadTask(std::function<void()> work)
        : m_thread([this, work = std::move(work)] {
              work();
              m_finished.store(true, std::memory_order_release);
          }) {}
    ~ThreadTask() override { wait(); }
    ThreadTask(const ThreadTask&) = delete;
    ThreadTask& operator=(const ThreadTask&) = delete;

    bool finished() const override { return m_finished.load(std::memory_order_acquire); }
    void wait() override {
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

private:
    std::atomic<bool> m_finished = false;
    std::thread m_thread;  // last: it starts once the flag exists
};

}  // namespace

std::unique_ptr<BackgroundTask> ThreadBackground::start(std::function<void()> work) {
    return std::make_unique<ThreadTask>(std::move(work));
}

}  // namespace plat::posix
