// Dialog forms: the dialog keyboard (Tab, Enter, Esc, access keys) in every message
// loop, button clicks, the painted lines, and showing a form modally over its owner.
// The forms are windows of the program's own class, not of the system's dialog
// class, so the parts of the dialog manager that IsDialogMessage relies on
// (DM_GETDEFID, WM_NEXTDLGCTL) are answered here.
#include "platform/win32/win32_form.h"

#include <algorithm>
#include <utility>

#include "platform/win32/win32_platform.h"

namespace plat::win32 {

// A form that takes no input (the owner of a modal form) runs no shortcuts either.
// The form is not touched after a call that may have dispatched the message: its
// handler may have unloaded or destroyed it.
bool filterMessage(PlatformState& state, MSG& msg) {
    if (!msg.hwnd) {
        return false;
    }
    const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    for (Win32Form* form : state.openForms) {
        if (form->hwnd() == root) {
            if (form->dialogMessage(msg)) {
                return true;
            }
            return IsWindowEnabled(root) && form->translateAccelerator(msg);
        }
    }
    return false;
}

// Esc goes to the model as the key it is: the dialog manager would send it as the
// command IDCANCEL (2) with the window of control 2, which a button numbered 2 would
// take for its own click.
bool Win32Form::dialogMessage(MSG& msg) {
    if (!m_dialog || !hwnd()) {
        return false;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        escapePressed();
        return true;
    }
    const std::shared_ptr<bool> alive = aliveToken();
    if (!IsDialogMessageW(hwnd(), &msg)) {
        return false;
    }
    if (*alive && hwnd()) {
        m_controls.syncDefault(GetFocus());
    }
    return true;
}

bool Win32Form::handleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_COMMAND: return onDialogCommand(wParam, lParam);
        case DM_GETDEFID:
            if (!m_dialog) {
                return false;
            }
            if (const int id = m_controls.currentDefault()) {
                result = MAKELRESULT(id, DC_HASDEFID);
            }
            return true;
        case WM_NEXTDLGCTL: nextControl(wParam, lParam); return true;
        case WM_CTLCOLORSTATIC:
            result = reinterpret_cast<LRESULT>(
                m_controls.labelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
            return result != 0;
        case WM_DRAWITEM:
            result = TRUE;
            return m_controls.drawIcon(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), m_bigIcon);
        case WM_PAINT:
            if (!m_controls.hasLines()) {
                return false;
            }
            paint();
            return true;
        default: return false;
    }
}

// A button's own click, or Enter and Esc as IsDialogMessage reports them when it
// finds no default button or is asked to cancel: IDOK and IDCANCEL, which no
// control uses as its id.
bool Win32Form::onDialogCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    if (lParam != 0 && HIWORD(wParam) == BN_CLICKED && m_controls.isButton(id)) {
        buttonClicked(id);
        return true;
    }
    if (!m_dialog || (id != IDOK && id != IDCANCEL) || m_controls.has(id)) {
        return false;
    }
    if (id == IDOK) {
        enterPressed();
    } else {
        escapePressed();
    }
    return true;
}

// wParam is a window when lParam's low word is set, else the direction (0: next).
void Win32Form::nextControl(WPARAM wParam, LPARAM lParam) {
    HWND next = nullptr;
    if (LOWORD(lParam)) {
        next = reinterpret_cast<HWND>(wParam);
    } else {
        const HWND focus = GetFocus();
        next = GetNextDlgTabItem(hwnd(), IsChild(hwnd(), focus) ? focus : nullptr, wParam != 0);
    }
    if (next && IsChild(hwnd(), next)) {
        SetFocus(next);
        m_controls.syncDefault(next);
    }
}

void Win32Form::paint() {
    PAINTSTRUCT ps{};
    if (HDC dc = BeginPaint(hwnd(), &ps)) {
        m_controls.paintLines(dc, scale());
        EndPaint(hwnd(), &ps);
    }
}

void Win32Form::focusFirstTabStop() {
    if (const HWND first = m_controls.firstTabStop()) {
        SetFocus(first);
        m_controls.syncDefault(first);
    }
}

void Win32Form::drawControlText(int id, std::wstring_view text) {
    m_controls.setText(id, text);
}

// Owned by the owner's window, so that it stays above it and has no taskbar button.
void Win32Form::attachOwner(NativeHandle owner) {
    const auto ownerHwnd = reinterpret_cast<HWND>(owner);
    if (hwnd() && ownerHwnd != hwnd() && IsWindow(ownerHwnd)) {
        SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerHwnd));
        placeOver(ownerHwnd);
    }
}

void Win32Form::runModal() {
    focusFirstTabStop();
    runModalLoop(aliveToken());
}

void Win32Form::activateOwner(NativeHandle owner) {
    const auto ownerHwnd = reinterpret_cast<HWND>(owner);
    if (IsWindow(ownerHwnd) && IsWindowEnabled(ownerHwnd)) {
        SetActiveWindow(ownerHwnd);
    }
}

void Win32Form::drawInputEnabled(bool enabled) {
    EnableWindow(hwnd(), enabled ? TRUE : FALSE);
}

// Above the owner, in the topmost band when the owner is there (an owned window
// does not follow its owner into that band by itself). A window the program has not
// placed yet is centred on the owner, within the owner's work area.
void Win32Form::placeOver(HWND owner) {
    const bool topMost = (GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    RECT now{};
    GetWindowRect(hwnd(), &now);
    UINT flags = SWP_NOSIZE | SWP_NOACTIVATE;
    int x = now.left;
    int y = now.top;
    RECT outer{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (EqualRect(&now, &m_createdRect) && GetWindowRect(owner, &outer) &&
        GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const int cx = now.right - now.left;
        const int cy = now.bottom - now.top;
        const RECT& work = monitor.rcWork;
        x = std::max(work.left, std::min((outer.left + outer.right - cx) / 2, work.right - cx));
        y = std::max(work.top, std::min((outer.top + outer.bottom - cy) / 2, work.bottom - cy));
    } else {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(hwnd(), topMost ? HWND_TOPMOST : HWND_TOP, x, y, 0, 0, flags);
}

// Until the form is unloaded. WM_QUIT ends the loop early; it is posted again for
// the loop further out. `this` may be destroyed by a handler while the loop runs;
// `alive` says so.
void Win32Form::runModalLoop(const std::shared_ptr<bool>& alive) {
    const std::shared_ptr<PlatformState> platform = m_platform;
    MSG msg{};
    while (*alive && loaded()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got == -1) {
            return;
        }
        if (!filterMessage(*platform, msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace plat::win32
