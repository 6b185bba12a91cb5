// The base window: class registration, the create-time `this` thunk and the one
// guard that keeps exceptions out of the system's code.
#include "platform/win32/win32_window.h"

#include "platform/win32/win32_common.h"
#include "platform/win32/win32_platform.h"

namespace plat::win32 {
namespace {

// Once per class and process: a class that exists already is left as it is.
void registerOnce(const WindowClass& windowClass, HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, windowClass.name, &wc)) {
        return;
    }
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.style = windowClass.style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = windowClass.name;
    if (windowClass.arrowAndButtonFace) {
        wc.hCursor = LoadCursorW(nullptr, resourceName(32512));  // IDC_ARROW
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    }
    RegisterClassExW(&wc);
}

}  // namespace

Win32Window::~Win32Window() {
    destroy();
}

HWND Win32Window::create(const WindowClass& windowClass, const WindowParams& params) {
    registerOnce(windowClass, m_state->instance, &Win32Window::windowProc);
    return CreateWindowExW(params.exStyle, windowClass.name, params.title, params.style, params.x, params.y, params.cx,
                           params.cy, params.parent, params.menu, m_state->instance, this);
}

void Win32Window::destroy() {
    if (m_hwnd) {
        const HWND hwnd = m_hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        m_hwnd = nullptr;
        DestroyWindow(hwnd);
    }
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {  // destroyed by a parent or the system
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const PlatformState* state = self->m_state;  // a handler may destroy `self`
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        reportEventFailure(*state);
        return 0;
    }
}

}  // namespace plat::win32
