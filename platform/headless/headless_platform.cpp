// The headless backend's core: the services, application, forms, screen, message
// boxes, settings.
#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include <unistd.h>

#include "platform/headless/headless_form.h"
#include "platform/headless/headless_services.h"

namespace plat::headless {

HeadlessPlatform::State::State() : link(std::make_shared<StateLink>()) {
    link->state = this;
}

HeadlessPlatform::State::~State() {
    link->state = nullptr;
}

Rect nearestWorkArea(const std::vector<Rect>& areas, const Rect& r) {
    if (areas.empty()) {
        return kDefaultWorkArea;
    }
    const Rect* best = nullptr;
    float bestOverlap = 0;
    for (const Rect& a : areas) {
        const float w = std::min(a.left + a.width, r.left + r.width) - std::max(a.left, r.left);
        const float h = std::min(a.top + a.height, r.top + r.height) - std::max(a.top, r.top);
        if (w > 0 && h > 0 && w * h > bestOverlap) {
            bestOverlap = w * h;
            best = &a;
        }
    }
    if (best != nullptr) {
        return *best;
    }
    // No area intersects: the one nearest to r's centre.
    const float cx = r.left + r.width / 2;
    const float cy = r.top + r.height / 2;
    best = &areas.front();
    float bestDistance = std::numeric_limits<float>::infinity();
    for (const Rect& a : areas) {
        const float dx = std::max({a.left - cx, 0.0f, cx - (a.left + a.width)});
        const float dy = std::max({a.top - cy, 0.0f, cy - (a.top + a.height)});
        const float distance = std::hypot(dx, dy);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &a;
        }
    }
    return *best;
}

HeadlessPlatform::HeadlessPlatform(std::wstring appFolder)
    : m_state(std::make_unique<State>()), m_services(std::make_unique<ServiceSet>(m_state.get())) {
    while (appFolder.size() > 1 && appFolder.back() == L'/') {
        appFolder.pop_back();
    }
    m_state->appFolder = std::move(appFolder);
    m_state->platform = this;
    attach(*m_services, m_state->forms);
}

HeadlessPlatform::~HeadlessPlatform() {
    const State& s = *m_state;
    if (s.unusedScript && (!s.answers.empty() || !s.modalActions.empty() || !s.popupChoices.empty())) {
        s.unusedScript(std::to_string(s.answers.size()) + " message-box answers, " +
                       std::to_string(s.modalActions.size()) + " modal actions and " +
                       std::to_string(s.popupChoices.size()) + " pop-up choices were never used");
    }
}

// ---------------------------------------------------------------- Application

std::wstring HeadlessProgramInfo::folder() const {
    return m_state->appFolder;
}

std::wstring HeadlessProgramInfo::dataFolder() const {
    return m_state->dataFolder.empty() ? m_state->appFolder : m_state->dataFolder;
}

void HeadlessPlatform::setDataFolder(std::wstring folder) {
    m_state->dataFolder = std::move(folder);
}
std::wstring_view HeadlessProgramInfo::pathSeparator() const {
    return L"/";
}

std::uint32_t HeadlessProgramInfo::processId() const {
    return static_cast<std::uint32_t>(::getpid());
}

void HeadlessProgramInfo::version(int& major, int& minor, int& revision) const {
    major = 1;
    minor = 0;
    revision = 0;
}

void HeadlessPlatform::createAppWindow(std::wstring_view title, AppWindowEvents& events) {
    m_state->appWindowExists = true;
    m_state->appWindowTitle = title;
    m_state->appEvents = &events;
}

bool HeadlessPlatform::appWindowExists() const {
    return m_state->appWindowExists;
}
std::wstring HeadlessPlatform::appWindowTitle() const {
    return m_state->appWindowTitle;
}

void HeadlessPlatform::sendAppClose() {
    if (m_state->appEvents != nullptr) {
        raiseEvent(*m_state->link, [&] { m_state->appEvents->onAppCloseRequest(); });
    }
}

// A handler that fails leaves the answer false, as a window procedure's 0 does.
bool HeadlessPlatform::queryEndSession() {
    bool agreed = m_state->appEvents == nullptr;
    if (!agreed) {
        raiseEvent(*m_state->link, [&] { agreed = m_state->appEvents->onQueryEndSession(); });
    }
    return agreed;
}

// Every top-level window hears of it; a form unloaded by an earlier one is passed by.
void HeadlessPlatform::endSession() {
    if (m_state->appEvents != nullptr) {
        raiseEvent(*m_state->link, [&] { m_state->appEvents->onEndSession(); });
    }
    const std::vector<Form*> forms = m_state->forms->forms();
    for (Form* f : forms) {
        if (m_state->forms->contains(f)) {
            FormModel::of(*f)->sessionEnded();
        }
    }
}

int HeadlessPlatform::run() {
    return 0;
}

// ---------------------------------------------------------------- Forms

std::unique_ptr<Form> HeadlessPlatform::createForm(const FormDesign& design, FormEvents& events) {
    return std::make_unique<HeadlessFormImpl>(m_state->link, design, events);
}

HeadlessForm& HeadlessPlatform::form(int index) {
    auto* form = dynamic_cast<HeadlessForm*>(m_state->forms->at(index));
    if (form == nullptr) {
        throw std::out_of_range("HeadlessPlatform::form: no loaded form " + std::to_string(index));
    }
    return *form;
}

void HeadlessPlatform::setWindowPos(Form& form, ZOrder z, int x, int y, int cx, int cy) {
    m_state->lastWindowPos = WindowPosCall{z, x, y, cx, cy};
    Platform::setWindowPos(form, z, x, y, cx, cy);
}

const std::optional<WindowPosCall>& HeadlessPlatform::lastWindowPos() const {
    return m_state->lastWindowPos;
}

// ---------------------------------------------------------------- Screen

float HeadlessScreen::twipsPerPixelX() const {
    return kTwipsPerPixel;
}
float HeadlessScreen::twipsPerPixelY() const {
    return kTwipsPerPixel;
}
Rect HeadlessScreen::workAreaNearest(const Rect& r) const {
    return nearestWorkArea(m_state->workAreas, r);
}

void HeadlessPlatform::setWorkAreas(std::vector<Rect> areas) {
    m_state->workAreas = areas.empty() ? std::vector<Rect>{kDefaultWorkArea} : std::move(areas);
}

// ---------------------------------------------------------------- Message boxes

namespace {

MsgAnswer defaultAnswer(const MessageBoxRequest& request) {
    std::vector<MsgAnswer> buttons;
    switch (request.buttons) {
        case MsgButtons::Ok: buttons = {MsgAnswer::Ok}; break;
        case MsgButtons::OkCancel: buttons = {MsgAnswer::Ok, MsgAnswer::Cancel}; break;
        case MsgButtons::YesNo: buttons = {MsgAnswer::Yes, MsgAnswer::No}; break;
        case MsgButtons::YesNoCancel: buttons = {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel}; break;
    }
    const int n = request.defaultButton;
    return n >= 1 && n <= static_cast<int>(buttons.size()) ? buttons[static_cast<std::size_t>(n - 1)] : buttons[0];
}

}  // namespace

MsgAnswer HeadlessPlatform::showMessageBox(const MessageBoxRequest& request) {
    m_state->boxes.push_back(request);
    if (!m_state->answers.empty()) {
        State::QueuedAnswer queued = std::move(m_state->answers.front());
        m_state->answers.pop_front();
        if (queued.whileOpen) {
            queued.whileOpen();
        }
        return queued.answer;
    }
    if (m_state->unexpectedBox) {
        m_state->unexpectedBox(request);
    }
    return defaultAnswer(request);
}

void HeadlessPlatform::queueAnswer(MsgAnswer answer, std::function<void()> whileOpen) {
    m_state->answers.push_back({answer, std::move(whileOpen)});
}
const std::vector<MessageBoxRequest>& HeadlessPlatform::messageBoxes() const {
    return m_state->boxes;
}

void HeadlessPlatform::onUnexpectedBox(std::function<void(const MessageBoxRequest&)> handler) {
    m_state->unexpectedBox = std::move(handler);
}

std::size_t HeadlessPlatform::queuedAnswers() const {
    return m_state->answers.size();
}

void HeadlessPlatform::onUnusedScript(std::function<void(const std::string&)> handler) {
    m_state->unusedScript = std::move(handler);
}

// ---------------------------------------------------------------- Settings

namespace {

std::wstring settingKey(std::wstring_view app, std::wstring_view section, std::wstring_view key) {
    std::wstring k(app);
    k.append(L"\\").append(section).append(L"\\").append(key);
    return k;
}

}  // namespace

std::wstring HeadlessSettings::get(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                                   std::wstring_view fallback) const {
    const auto it = m_state->settings.find(settingKey(app, section, key));
    return it != m_state->settings.end() ? it->second : std::wstring(fallback);
}

// All or nothing, as one write of a real store would be.
FileStatus HeadlessSettings::saveAll(std::wstring_view app, std::wstring_view section, const SettingValues& values) {
    ++m_state->settingWrites;
    if (m_state->failSettingWrites) {
        return {false, L"The settings store is not writable."};
    }
    for (const auto& [key, value] : values) {
        m_state->settings[settingKey(app, section, key)] = value;
    }
    return {};
}

std::map<std::wstring, std::wstring>& HeadlessPlatform::storedSettings() {
    return m_state->settings;
}
void HeadlessPlatform::failSettingWrites(bool fail) {
    m_state->failSettingWrites = fail;
}
int HeadlessPlatform::settingWrites() const {
    return m_state->settingWrites;
}

}  // namespace plat::headless
