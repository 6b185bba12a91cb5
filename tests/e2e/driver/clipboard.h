// The clipboard seen from the test process: put text on it, read it back in both
// formats, and hold it open so that the program under test finds it busy.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "tests/e2e/driver/win_util.h"

namespace e2e {

// Replaces the clipboard's content with `text` (CF_UNICODETEXT); fails the test
// when the clipboard stays busy.
void setClipboardText(std::wstring_view text);
// The clipboard's CF_UNICODETEXT, nullopt when it holds no text.
std::optional<std::wstring> clipboardText();
// The clipboard's CF_TEXT, the 8-bit view of the same text.
std::optional<std::string> clipboardAnsiText();

// Keeps the clipboard open from a hidden window of the test process until
// released or destroyed; meanwhile no other process can open it.
class ClipboardHolder {
public:
    ClipboardHolder();
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    void release();

private:
    HWND m_window = nullptr;
    bool m_open = false;
};

}  // namespace e2e
