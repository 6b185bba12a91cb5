// The headless desktop's notification area, other programs' windows, program
// start and pop-up menus: what the launcher talks to, recorded for the tests.
#include <cstring>

#include "platform/headless/headless_state.h"

namespace plat::headless {
namespace {

// Reads the icon's (callback window, identifier) back out of a record's bytes.
std::pair<NativeHandle, std::uint32_t> iconKey(const std::vector<std::uint8_t>& record) {
    const std::size_t width = record.size() > 88 ? 8 : 4;
    NativeHandle window = 0;
    std::uint32_t id = 0;
    if (record.size() >= 2 * width + 4) {
        std::memcpy(&window, record.data() + width, width);
        std::memcpy(&id, record.data() + 2 * width, 4);
    }
    return {window, id};
}

}  // namespace

// Adds fail while failNotifyAdds is in force, and for an icon already shown, as
// the shell refuses a second icon with the same window and identifier.
bool HeadlessPlatform::notifyIcon(NotifyOp op, const std::vector<std::uint8_t>& record) {
    const auto key = iconKey(record);
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

FileStatus HeadlessPlatform::startProgram(std::wstring_view path) {
    if (!m_state->programStartError.empty()) {
        return {false, m_state->programStartError};
    }
    m_state->startedPrograms.emplace_back(path);
    return {};
}

NativeHandle HeadlessPlatform::findWindow(std::wstring_view windowClass, std::wstring_view title) const {
    for (const auto& [window, other] : m_state->windows) {
        if (other.title == title && (windowClass.empty() || other.windowClass == windowClass)) {
            return window;
        }
    }
    return 0;
}

bool HeadlessPlatform::postMessage(NativeHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!isWindow(window)) {
        return false;
    }
    const PostedMessage posted{window, message, wParam, lParam};
    m_state->posted.push_back(posted);
    if (m_state->onPost) {
        m_state->onPost(posted);
    }
    return true;
}

bool HeadlessPlatform::isWindow(NativeHandle window) const {
    return m_state->windows.count(window) > 0;
}

void HeadlessPlatform::wait(int milliseconds) {
    m_state->waitedMilliseconds += milliseconds;
}

void HeadlessPlatform::pause(int milliseconds) {
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
const std::vector<HeadlessPlatform::PostedMessage>& HeadlessPlatform::postedMessages() const {
    return m_state->posted;
}
void HeadlessPlatform::onPost(std::function<void(const PostedMessage&)> handler) {
    m_state->onPost = std::move(handler);
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
