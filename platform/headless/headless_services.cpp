// The headless desktop's clipboard, machine registry and help engine, with the
// faults a test can set: a clipboard held by another program, keys that may be
// read but not changed, a help engine that cannot be reached.
#include <algorithm>
#include <cctype>

#include "platform/headless/headless_state.h"

namespace plat::headless {
namespace {

constexpr long kNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kMoreData = 234;

// Registry names compare without regard to case.
std::string keyName(std::uint32_t root, std::string_view path) {
    std::string name = std::to_string(root) + "\\";
    for (char c : path)
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

std::string lower(std::string_view text) {
    return keyName(0, text).substr(2);
}

}  // namespace

// ---------------------------------------------------------------- Clipboard

namespace {

bool openClipboard(HeadlessPlatform::State& state) {
    ++state.clipboardOpens;
    if (state.clipboardHeld == 0)
        return true;
    if (state.clipboardHeld > 0)
        --state.clipboardHeld;
    return false;
}

const wchar_t kClipboardBusy[] = L"Another program is using the clipboard.";

}  // namespace

FileStatus HeadlessPlatform::setClipboardText(std::wstring_view text) {
    if (!openClipboard(*m_state))
        return {false, kClipboardBusy};
    m_state->clipboard = std::wstring(text);
    return {};
}

FileStatus HeadlessPlatform::getClipboardText(std::wstring& text) {
    if (!openClipboard(*m_state))
        return {false, kClipboardBusy};
    text = m_state->clipboard.value_or(std::wstring());
    return {};
}

std::optional<std::wstring>& HeadlessPlatform::clipboard() {
    return m_state->clipboard;
}

void HeadlessPlatform::holdClipboard(int attempts) {
    m_state->clipboardHeld = attempts;
}

int HeadlessPlatform::clipboardOpens() const {
    return m_state->clipboardOpens;
}

// ---------------------------------------------------------------- Registry

long HeadlessPlatform::regOpenKey(std::uint32_t root, std::string_view path, std::uint32_t access, RegKey& key) {
    const std::string name = keyName(root, path);
    m_state->registryOpens.push_back(name);
    const auto it = m_state->registry.find(name);
    if (it == m_state->registry.end())
        return kNotFound;
    if ((access & ~it->second.allowedAccess) != 0)
        return kAccessDenied;
    key = m_state->nextKey++;
    m_state->openKeys[key] = name;
    return 0;
}

long HeadlessPlatform::regQueryValue(RegKey key, std::string_view name, std::uint32_t& type, std::uint8_t* data,
                                     std::uint32_t& size) {
    const auto open = m_state->openKeys.find(key);
    if (open == m_state->openKeys.end())
        return 6;  // invalid handle
    const auto& values = m_state->registry[open->second].values;
    const auto it = values.find(lower(name));
    if (it == values.end())
        return kNotFound;
    const std::string& bytes = it->second.data;
    type = it->second.type;
    const bool fits = bytes.size() <= size;
    size = static_cast<std::uint32_t>(bytes.size());
    if (!fits)
        return kMoreData;
    std::copy(bytes.begin(), bytes.end(), data);
    return 0;
}

void HeadlessPlatform::regCloseKey(RegKey key) {
    m_state->openKeys.erase(key);
}

void HeadlessPlatform::addRegistryKey(std::uint32_t root, std::string path) {
    m_state->registry[keyName(root, path)];
}

void HeadlessPlatform::setRegistryValue(std::uint32_t root, std::string path, std::string name, std::uint32_t type,
                                        std::string data) {
    m_state->registry[keyName(root, path)].values[lower(name)] = {type, std::move(data)};
}

void HeadlessPlatform::restrictRegistryKey(std::uint32_t root, std::string path, std::uint32_t allowed) {
    m_state->registry[keyName(root, path)].allowedAccess = allowed;
}

int HeadlessPlatform::openRegistryKeys() const {
    return static_cast<int>(m_state->openKeys.size());
}

const std::vector<std::string>& HeadlessPlatform::registryOpens() const {
    return m_state->registryOpens;
}

// ---------------------------------------------------------------- Help engine

std::wstring HeadlessPlatform::helpFile() const {
    return m_state->helpFile;
}

FileStatus HeadlessPlatform::showHelp(NativeHandle owner, std::wstring_view helpFile, std::uint32_t command) {
    if (!m_state->helpError.empty())
        return {false, m_state->helpError};
    const std::int16_t zero = 0;
    m_state->helpCalls.push_back({owner, std::wstring(helpFile), command, zero});
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
