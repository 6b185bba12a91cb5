// The hidden application window. A real top-level window (not a message-only one,
// which FindWindow does not see), WS_POPUP and never shown; WS_EX_TOOLWINDOW keeps it
// out of the taskbar and the Alt+Tab list.
#include "platform/win32/win32_app_window.h"

#include "platform/services/shell.h"

#include <string>

#include "platform/win32/win32_platform.h"

namespace plat::win32 {

AppWindow::AppWindow(const PlatformState& state, std::wstring_view title, AppWindowEvents& events)
    : Win32Window(state), m_events(events) {
    const std::wstring text(title);
    WindowParams params;
    params.title = text.c_str();
    params.style = WS_POPUP;
    params.exStyle = WS_EX_TOOLWINDOW;
    const std::wstring windowClass = appWindowClass(title);
    create(WindowClass{windowClass.c_str(), 0, false}, params);
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
        default: break;
    }
    return defaultHandling(message, wParam, lParam);
}

}  // namespace plat::win32
