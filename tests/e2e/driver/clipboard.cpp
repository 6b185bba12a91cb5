// Clipboard access of the test process.
#include "tests/e2e/driver/clipboard.h"

#include <cstring>

namespace e2e {

namespace {

// Wine's own clipboard bridge to X may hold the clipboard for a moment: retry.
bool openWithRetry(HWND owner) {
    return waitUntil([&] { return OpenClipboard(owner) != 0; }, kShortWait, Millis{10});
}

// Copies the clipboard's data of `format` (a NUL-terminated text of `Char`).
template <class Char>
std::optional<std::basic_string<Char>> readText(UINT format) {
    if (!openWithRetry(nullptr)) {
        fail("cannot open the clipboard: " + lastErrorText());
    }
    std::optional<std::basic_string<Char>> text;
    if (HANDLE data = GetClipboardData(format)) {
        if (const auto* chars = static_cast<const Char*>(GlobalLock(data))) {
            const size_t limit = GlobalSize(data) / sizeof(Char);
            size_t length = 0;
            while (length < limit && chars[length] != Char{}) {
                ++length;
            }
            text.emplace(chars, length);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace

void setClipboardText(std::wstring_view text) {
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* chars = static_cast<wchar_t*>(GlobalLock(data));
    std::memcpy(chars, text.data(), text.size() * sizeof(wchar_t));
    chars[text.size()] = L'\0';
    GlobalUnlock(data);
    if (!openWithRetry(nullptr)) {
        GlobalFree(data);
        fail("cannot open the clipboard: " + lastErrorText());
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    CloseClipboard();
    if (!set) {
        GlobalFree(data);
        fail("cannot put text on the clipboard: " + lastErrorText());
    }
}

std::optional<std::wstring> clipboardText() {
    return readText<wchar_t>(CF_UNICODETEXT);
}

std::optional<std::string> clipboardAnsiText() {
    return readText<char>(CF_TEXT);
}

ClipboardHolder::ClipboardHolder() {
    m_window = CreateWindowExW(0, L"STATIC", L"clipboard holder", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!m_window) {
        fail("cannot create the clipboard holder's window: " + lastErrorText());
    }
    m_open = openWithRetry(m_window);
    if (!m_open) {
        DestroyWindow(m_window);
        fail("cannot open the clipboard to hold it: " + lastErrorText());
    }
}

ClipboardHolder::~ClipboardHolder() {
    release();
    DestroyWindow(m_window);
}

void ClipboardHolder::release() {
    if (m_open) {
        CloseClipboard();
    }
    m_open = false;
}

}  // namespace e2e
