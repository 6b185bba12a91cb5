// Reading and clicking the program's dialog windows from outside.
#include "tests/e2e/driver/dialog_view.h"

namespace e2e {

DialogView DialogView::waitFor(const ProgramProcess& process, const std::wstring& title, Millis timeout) {
    HWND window = process.waitForWindow([&](HWND w) { return IsWindowVisible(w) && windowText(w) == title; }, timeout,
                                        "the window \"" + toUtf8(title) + "\"");
    return DialogView(window);
}

RECT DialogView::rect() const {
    RECT r{};
    GetWindowRect(m_window, &r);
    return r;
}

HWND DialogView::control(int id) const {
    for (HWND child : descendants(m_window)) {
        if (GetDlgCtrlID(child) == id) {
            return child;
        }
    }
    fail("the window \"" + toUtf8(windowText(m_window)) + "\" has no control " + std::to_string(id));
}

void DialogView::click(int id) const {
    PostMessageW(control(id), BM_CLICK, 0, 0);
}

void DialogView::expectClosed(Millis timeout) const {
    if (!waitUntil([&] { return !open(); }, timeout)) {
        fail("the window \"" + toUtf8(windowText(m_window)) + "\" did not close");
    }
}

MessageBoxView waitForMessageBoxBesides(const ProgramProcess& process, HWND besides, Millis timeout) {
    HWND box =
        process.waitForWindow([&](HWND w) { return w != besides && IsWindowVisible(w) && windowClass(w) == L"#32770"; },
                              timeout, "a message box");
    // Its buttons are created after the box shows under Wine.
    MessageBoxView view;
    waitUntil([&] { return !(view = readMessageBox(box)).buttons.empty(); }, kShortWait);
    return view;
}

}  // namespace e2e
