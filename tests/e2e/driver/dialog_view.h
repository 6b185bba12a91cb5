// A dialog window of the program under test (the About box) seen from outside:
// found by its title, its controls by id, clicked as the mouse clicks them.
#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/program_process.h"

namespace e2e {

class DialogView {
public:
    // Waits for a visible top-level window of the process titled exactly `title`.
    static DialogView waitFor(const ProgramProcess& process, const std::wstring& title, Millis timeout = kWait);

    HWND handle() const { return m_window; }
    bool open() const { return IsWindow(m_window) && IsWindowVisible(m_window); }
    RECT rect() const;
    // The child control with id `id`; fails the test when there is none.
    HWND control(int id) const;
    std::wstring controlText(int id) const { return windowText(control(id)); }
    std::wstring controlClass(int id) const { return windowClass(control(id)); }
    LONG_PTR controlStyle(int id) const { return GetWindowLongPtrW(control(id), GWL_STYLE); }
    // Clicks a button (BM_CLICK, posted: what the click starts may be modal).
    void click(int id) const;
    // Waits until the window is gone; fails the test after `timeout`.
    void expectClosed(Millis timeout = kWait) const;

private:
    explicit DialogView(HWND window) : m_window(window) {}
    HWND m_window;
};

// Waits for a message box of the process other than `besides` and reads it.
MessageBoxView waitForMessageBoxBesides(const ProgramProcess& process, HWND besides, Millis timeout = kWait);

}  // namespace e2e
