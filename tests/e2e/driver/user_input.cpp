// Keystrokes, menu drop-downs and selections for the end-to-end tests.
#include "tests/e2e/driver/user_input.h"

#include <vector>

namespace e2e {

namespace {

INPUT keyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// The pop-up window of an open menu has the class "#32768".
bool isShownMenu(HWND window) {
    return IsWindowVisible(window) && windowClass(window) == L"#32768";
}

}  // namespace

void bringToFront(HWND window) {
    // Another process may not take the foreground on Windows; Wine lets the test
    // do it, and the window must have it for keystrokes to reach it.
    const bool front = waitUntil(
        [&] {
            if (GetForegroundWindow() == window) {
                return true;
            }
            SetForegroundWindow(window);
            return false;
        },
        kShortWait, Millis{50});
    if (!front) {
        fail("the window did not come to the foreground");
    }
}

void pressKeys(HWND foreground, std::initializer_list<WORD> keys) {
    bringToFront(foreground);
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        inputs.push_back(keyInput(key, false));
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        inputs.push_back(keyInput(*key, true));
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        fail("SendInput took " + std::to_string(sent) + " of " + std::to_string(inputs.size()) + " keys");
    }
}

void openDropDown(const ProgramProcess& process, HWND window, wchar_t key) {
    // What DefWindowProc makes of Alt+key: the menu loop starts and the
    // drop-down is prepared (WM_INITMENUPOPUP) and shown.
    PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, key);
    process.waitForWindow(isShownMenu, kWait, "the menu drop-down");
}

void closeMenus(const ProgramProcess& process, HWND window) {
    // WM_CANCELMODE ends the menu loop through DefWindowProc, as a click elsewhere does.
    PostMessageW(window, WM_CANCELMODE, 0, 0);
    if (!waitUntil([&] { return !menuShown(process); }, kShortWait)) {
        fail("the menu drop-down did not close");
    }
}

bool menuShown(const ProgramProcess& process) {
    return process.findWindow(isShownMenu) != nullptr;
}

void waitForIdle(HWND window, Millis timeout) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(timeout.count()), &answer)) {
        fail("the program did not come back to its message loop");
    }
}

void selectText(HWND editor, int from, int to) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(editor, EM_SETSEL, static_cast<WPARAM>(from), to, SMTO_NORMAL,
                             static_cast<UINT>(kWait.count()), &answer)) {
        fail("the editor did not answer EM_SETSEL");
    }
}

}  // namespace e2e
