// The headless desktop's notification area, other programs' windows, program
// start, processes and pop-up menus: what the launcher talks to, recorded for the
// tests.

#include "platform/headless/headless_services.h"

namespace plat::headless {
// Adds fail while failNotifyAdds is in force, and for an icon already shown, as
// the shell refuses a second icon with the same window and identifier.
bool HeadlessShell::notifyIcon(NotifyOp op, const NotifyRecord& record) {
    const std::pair<NativeHandle, std::uint32_t> key{record.window, record.id};
    bool accepted = false;
    if (op == NotifyOp::Add) {
        if (m_state->failingAdds > 0) {
            --m_state->failingAdds;
        } else {
            accepted = m_state->icons.insert(key).second;
        }
    } else if (op == NotifyOp::Delete) {
        accepted = m_state->icons.erase(key) > 0;
    } else {
        accepted = m_state->icons.count(key) > 0;
    }
    m_state->notifyCalls.push_back({op, record, accepted});
    return accepted;
}

FileStatus HeadlessShell::startProgram(std::wstring_view path) {
    if (!m_state->programStartError.empty()) {
        return {false, m_state->programStartError};
    }
    m_state->startedPrograms.emplace_back(path);
    return {};
}

NativeHandle HeadlessShell::findWindow(std::wstring_view windowClass, std::wstring_view title) const {
    for (const auto& [window, other] : m_state->windows) {
        if (other.title == title && (windowClass.empty() || other.windowClass == windowClass)) {
            return window;
        }
    }
    return 0;
}

bool HeadlessShell::requestClose(NativeHandle window) {
    if (m_state->windows.count(window) == 0) {
        return false;
    }
    m_state->closeRequests.push_back(window);
    if (m_state->onCloseRequest) {
        m_state->onCloseRequest(window);
    }
    return true;
}

// Signal 0 only asks whether the process exists; EPERM means it does, owned by another user.
std::wstring HeadlessShell::findSystemInfoTool() const {
    return m_state->systemInfoTool;
}

void HeadlessPlatform::setSystemInfoTool(std::wstring path) {
    m_state->systemInfoTool = std::move(path);
}

bool HeadlessShell::isProcessRunning(std::uint32_t processId) const {
    return posix::processRunning(processId);
}

void HeadlessPlatform::wait(int milliseconds) {
    advanceClock(milliseconds);
    m_state->waitedMilliseconds += milliseconds;
}

void HeadlessPlatform::pause(int milliseconds) {
    m_state->clock += milliseconds;  // timers due meanwhile fire at the next wait
    m_state->waitedMilliseconds += milliseconds;
}

// ---------------------------------------------------------------- Test side

const std::vector<HeadlessPlatform::NotifyCall>& HeadlessPlatform::notifyCalls() const {
    return m_state->notifyCalls;
}
void HeadlessPlatform::failNotifyAdds(int count) {
    m_state->failingAdds = count;
}
int HeadlessPlatform::iconCount() const {
    return static_cast<int>(m_state->icons.size());
}
void HeadlessPlatform::restartShell() {
    m_state->icons.clear();
}
const std::vector<std::wstring>& HeadlessPlatform::startedPrograms() const {
    return m_state->startedPrograms;
}
void HeadlessPlatform::failProgramStarts(std::wstring error) {
    m_state->programStartError = std::move(error);
}
NativeHandle HeadlessPlatform::addWindow(std::wstring title, std::wstring windowClass) {
    const NativeHandle window = m_state->nextWindow += 4;
    m_state->windows[window] = {std::move(title), std::move(windowClass)};
    return window;
}
void HeadlessPlatform::removeWindow(NativeHandle window) {
    m_state->windows.erase(window);
}
const std::vector<NativeHandle>& HeadlessPlatform::closeRequests() const {
    return m_state->closeRequests;
}
void HeadlessPlatform::onCloseRequest(std::function<void(NativeHandle)> handler) {
    m_state->onCloseRequest = std::move(handler);
}
int HeadlessPlatform::waitedMilliseconds() const {
    return m_state->waitedMilliseconds;
}
void HeadlessPlatform::queuePopupChoice(int id) {
    m_state->popupChoices.push_back(id);
}
void HeadlessPlatform::duringPopup(std::function<void()> action) {
    m_state->duringPopup = std::move(action);
}
const std::vector<int>& HeadlessPlatform::popups() const {
    return m_state->popups;
}

}  // namespace plat::headless
