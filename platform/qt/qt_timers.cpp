// Timers on the Qt event loop: a single-shot QTimer for each, deleted once it fired
// or was stopped. Modal loops (message boxes) run them too, as Windows does.
#include <QElapsedTimer>
#include <QTimer>

#include "platform/qt/qt_services.h"

namespace plat::qt {

QtTimers::~QtTimers() {
    for (const auto& [id, timer] : m_timers) {
        delete timer;
    }
}

int QtTimers::startTimer(int milliseconds, std::function<void()> due) {
    const int id = m_next++;
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, due = std::move(due)] {
        const auto it = m_timers.find(id);
        if (it == m_timers.end()) {
            return;
        }
        it->second->deleteLater();
        m_timers.erase(it);
        try {
            due();
        } catch (...) {
            reportEventFailure(*m_state);
        }
    });
    m_timers[id] = timer;
    timer->start(std::max(milliseconds, 0));
    return id;
}

void QtTimers::stopTimer(int timer) {
    const auto it = m_timers.find(timer);
    if (it != m_timers.end()) {
        it->second->stop();
        it->second->deleteLater();
        m_timers.erase(it);
    }
}

std::int64_t QtTimers::nowMilliseconds() const {
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

}  // namespace plat::qt
