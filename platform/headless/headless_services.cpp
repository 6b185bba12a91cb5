// The headless desktop's clipboard, machine registry and help engine, with the
// faults a test can set: a clipboard held by another program, keys that may not be
// read, a help engine that cannot be reached.
#include <algorithm>
#include <cctype>

#include "platform/headless/headless_services.h"

namespace plat::headless {
namespace {

// Registry names compare without regard to case.
std::string lower(std::string_view text) {
    std::string name;
    for (char c : text) {
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name;
}

}  // namespace

// ---------------------------------------------------------------- Clipboard

namespace {

bool openClipboard(State& state) {
    ++state.clipboardOpens;
    if (state.clipboardHeld == 0) {
        return true;
    }
    if (state.clipboardHeld > 0) {
        --state.clipboardHeld;
    }
    return false;
}

const wchar_t kClipboardBusy[] = L"Another program is using the clipboard.";

}  // namespace

FileStatus HeadlessClipboard::setText(std::wstring_view text) {
    if (!openClipboard(*m_state)) {
        return {false, kClipboardBusy};
    }
    m_state->clipboard = std::wstring(text);
    return {};
}

FileStatus HeadlessClipboard::getText(std::wstring& text) {
    if (!openClipboard(*m_state)) {
        return {false, kClipboardBusy};
    }
    text = m_state->clipboard.value_or(std::wstring());
    return {};
}

std::optional<std::wstring>& HeadlessPlatform::clipboardContent() {
    return m_state->clipboard;
}

void HeadlessPlatform::holdClipboard(int attempts) {
    m_state->clipboardHeld = attempts;
}

int HeadlessPlatform::clipboardOpens() const {
    return m_state->clipboardOpens;
}

// ---------------------------------------------------------------- Registry

RegOpenResult HeadlessRegistry::openMachineKey(std::string_view path, RegKey& key) {
    key = 0;
    const std::string name = lower(path);
    m_state->registryOpens.push_back(name);
    const auto it = m_state->registry.find(name);
    if (it == m_state->registry.end()) {
        return RegOpenResult::NotFound;
    }
    if (it->second.denied) {
        return RegOpenResult::AccessDenied;
    }
    key = m_state->nextKey++;
    m_state->openKeys[key] = name;
    return RegOpenResult::Ok;
}

RegReadResult HeadlessRegistry::readValue(RegKey key, std::string_view name, RegValueKind& kind, std::uint8_t* data,
                                          std::uint32_t& size) {
    const auto open = m_state->openKeys.find(key);
    if (open == m_state->openKeys.end()) {
        return RegReadResult::Failed;  // not an open key
    }
    const auto& values = m_state->registry[open->second].values;
    const auto it = values.find(lower(name));
    if (it == values.end()) {
        return RegReadResult::NotFound;
    }
    const std::string& bytes = it->second.data;
    kind = it->second.kind;
    const bool fits = bytes.size() <= size;
    size = static_cast<std::uint32_t>(bytes.size());
    if (!fits) {
        return RegReadResult::MoreData;
    }
    std::copy(bytes.begin(), bytes.end(), data);
    return RegReadResult::Ok;
}

void HeadlessRegistry::closeKey(RegKey key) {
    m_state->openKeys.erase(key);
}

void HeadlessPlatform::addRegistryKey(std::string path) {
    m_state->registry[lower(path)];
}

void HeadlessPlatform::setRegistryValue(std::string path, std::string name, RegValueKind kind, std::string data) {
    m_state->registry[lower(path)].values[lower(name)] = {kind, std::move(data)};
}

void HeadlessPlatform::denyRegistryKey(std::string path) {
    m_state->registry[lower(path)].denied = true;
}

int HeadlessPlatform::openRegistryKeys() const {
    return static_cast<int>(m_state->openKeys.size());
}

const std::vector<std::string>& HeadlessPlatform::registryOpens() const {
    return m_state->registryOpens;
}

// ---------------------------------------------------------------- Help engine

std::wstring HeadlessHelp::file() const {
    return m_state->helpFile;
}

FileStatus HeadlessHelp::show(NativeHandle owner, std::wstring_view helpFile, HelpCommand command) {
    if (!m_state->helpError.empty()) {
        return {false, m_state->helpError};
    }
    m_state->helpCalls.push_back({owner, std::wstring(helpFile), command});
    return {};
}

void HeadlessPlatform::setHelpFile(std::wstring path) {
    m_state->helpFile = std::move(path);
}

const std::vector<HeadlessPlatform::HelpCall>& HeadlessPlatform::helpCalls() const {
    return m_state->helpCalls;
}

void HeadlessPlatform::failHelp(std::wstring error) {
    m_state->helpError = std::move(error);
}

// ---------------------------------------------------------------- Modal forms

void HeadlessPlatform::queueModalAction(std::function<void(HeadlessForm&)> action) {
    m_state->modalActions.push_back(std::move(action));
}

void HeadlessPlatform::onUnexpectedModal(std::function<void(HeadlessForm&)> handler) {
    m_state->unexpectedModal = std::move(handler);
}

std::size_t HeadlessPlatform::queuedModalActions() const {
    return m_state->modalActions.size();
}

}  // namespace plat::headless
