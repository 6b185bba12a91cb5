// Plain text on the clipboard (CF_UNICODETEXT only). Each call makes one attempt:
// another program may hold the clipboard for a moment, and the caller decides
// whether to try again.
#include <cstring>

#include "platform/win32/win32_form.h"
#include "platform/win32/win32_services.h"

namespace plat::win32 {
namespace {

// OpenClipboard's own error code is rarely more telling than this.
FileStatus clipboardBusy() {
    return FileStatus{false, L"Another program is using the clipboard."};
}

// The error of the step that failed, closing the clipboard afterwards (which would
// overwrite the code).
FileStatus failAndClose() {
    const DWORD code = GetLastError();
    CloseClipboard();
    return code == 0 ? clipboardBusy() : failure(code);
}

// A movable block holding the text and its terminating NUL; null when out of memory.
HGLOBAL textBlock(std::wstring_view text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (text.size() >= static_cast<std::size_t>(-1) / sizeof(wchar_t) - 1) {
        return nullptr;
    }
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) {
        return nullptr;
    }
    auto* target = static_cast<wchar_t*>(GlobalLock(block));
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
    target[text.size()] = L'\0';
    GlobalUnlock(block);
    return block;
}

}  // namespace

// With a null owner EmptyClipboard leaves the clipboard without an owner and
// SetClipboardData then fails, so the clipboard is always opened for a window of
// this program: the application window, else a form, else a message-only helper.
Win32Clipboard::~Win32Clipboard() {
    if (m_helperWindow) {
        DestroyWindow(m_helperWindow);
    }
}

HWND Win32Clipboard::clipboardWindow() {
    if (m_state->appWindow) {
        return m_state->appWindow;
    }
    for (const Win32Form* form : m_state->openForms) {
        if (form->hwnd()) {
            return form->hwnd();
        }
    }
    if (!m_helperWindow) {
        m_helperWindow =
            CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, m_state->instance, nullptr);
    }
    return m_helperWindow;
}

// The block belongs to the system once SetClipboardData succeeds; before that it is ours.
FileStatus Win32Clipboard::setText(std::wstring_view text) {
    if (!OpenClipboard(clipboardWindow())) {
        return clipboardBusy();
    }
    if (!EmptyClipboard()) {
        return failAndClose();
    }
    const HGLOBAL block = textBlock(text);
    if (!block) {
        return failAndClose();
    }
    if (!SetClipboardData(CF_UNICODETEXT, block)) {
        const DWORD code = GetLastError();
        GlobalFree(block);
        SetLastError(code);
        return failAndClose();
    }
    CloseClipboard();
    return {};
}

// The text ends at its NUL, or at the end of the block when another program left
// that out.
FileStatus Win32Clipboard::getText(std::wstring& text) {
    text.clear();
    if (!OpenClipboard(clipboardWindow())) {
        return clipboardBusy();
    }
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        if (const HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
            const std::size_t capacity = GlobalSize(block) / sizeof(wchar_t);
            if (const auto* data = static_cast<const wchar_t*>(GlobalLock(block))) {
                text.assign(data, wcsnlen(data, capacity));
                GlobalUnlock(block);
            }
        }
    }
    CloseClipboard();
    return {};
}

}  // namespace plat::win32
