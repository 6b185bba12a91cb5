// The picture box: a child window of its own class, not shown to the user, whose
// mouse-move messages become onPictureMouseMove with the position in twips.
#include "platform/win32/win32_picture.h"

#include "platform/win32/win32_platform.h"

namespace plat::win32 {
namespace {

constexpr wchar_t kPictureClass[] = L"QuibbetsPicture";

// The desktop's button and shift codes: left 1, right 2, middle 4; Shift 1, Ctrl 2.
int buttonCode(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

int shiftCode(WPARAM keys) {
    return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0);
}

}  // namespace

void Win32PictureBox::registerClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Win32PictureBox::windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, resourceName(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kPictureClass;
    RegisterClassExW(&wc);
}

Win32PictureBox::Win32PictureBox(const PlatformState& state, HWND parent, const Rect& geometry, Scale scale,
                                 FormModel& form)
    : m_state(state), m_form(form), m_scale(scale) {
    const RECT r = toPixelRect(geometry, scale);
    CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    parent, nullptr, state.instance, this);
}

LRESULT CALLBACK Win32PictureBox::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32PictureBox*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32PictureBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_MOUSEMOVE) {
        const PlatformState& state = self->m_state;  // a chosen Exit destroys this box
        try {
            self->onMouseMove(wParam, lParam);
        } catch (...) {
            reportEventFailure(state);
        }
        return 0;
    }
    if (self && message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The position words are signed (a pointer left of or above the window), hence the
// short. An icon's notification carries its mouse message number in the low word.
void Win32PictureBox::onMouseMove(WPARAM wParam, LPARAM lParam) {
    const auto x = static_cast<short>(LOWORD(lParam));
    const auto y = static_cast<short>(HIWORD(lParam));
    m_form.pictureMouseMove(buttonCode(wParam), shiftCode(wParam), static_cast<float>(x) * m_scale.x,
                            static_cast<float>(y) * m_scale.y);
}

}  // namespace plat::win32
