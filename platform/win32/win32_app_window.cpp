// The hidden application window. A real top-level window (not a message-only one,
// which FindWindow does not see), WS_POPUP and never shown; WS_EX_TOOLWINDOW keeps it
// out of the taskbar and the Alt+Tab list.
#include "platform/win32/win32_app_window.h"

#include <string>

#include "platform/win32/win32_platform.h"
#include "platform/window_classes.h"

namespace plat::win32 {

void AppWindow::registerClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &AppWindow::windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kAppWindowClass;
    RegisterClassExW(&wc);
}

AppWindow::AppWindow(const PlatformState& state, std::wstring_view title, AppWindowEvents& events)
    : m_state(state), m_events(events) {
    CreateWindowExW(WS_EX_TOOLWINDOW, kAppWindowClass, std::wstring(title).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                    nullptr, state.instance, this);
}

AppWindow::~AppWindow() {
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

LRESULT CALLBACK AppWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<AppWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<AppWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const PlatformState& state = self->m_state;
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        reportEventFailure(state);
        return 0;
    }
}

// WM_CLOSE, whatever its parameters (the launcher sends 1, 1), never reaches
// DefWindowProc, which would destroy the window.
LRESULT AppWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: m_events.onAppCloseRequest(); return 0;
        case WM_QUERYENDSESSION: return m_events.onQueryEndSession() ? TRUE : FALSE;
        case WM_ENDSESSION:
            if (wParam) {
                m_events.onEndSession();
            }
            return 0;
        case WM_NCDESTROY: {
            const HWND hwnd = m_hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            m_hwnd = nullptr;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        default: break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

}  // namespace plat::win32
