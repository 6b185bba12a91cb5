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

Win32PictureBox::Win32PictureBox(const PlatformState& state, HWND parent, const Rect& geometry, Scale scale,
                                 FormModel& form)
    : Win32Window(state), m_form(form), m_scale(scale) {
    const RECT r = toPixelRect(geometry, scale);
    WindowParams params;
    params.style = WS_CHILD | WS_VISIBLE;
    params.x = r.left;
    params.y = r.top;
    params.cx = r.right - r.left;
    params.cy = r.bottom - r.top;
    params.parent = parent;
    create(WindowClass{kPictureClass, 0, true}, params);
}

// A chosen Exit may destroy this box while the move is handled.
LRESULT Win32PictureBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) {
        onMouseMove(wParam, lParam);
        return 0;
    }
    return defaultHandling(message, wParam, lParam);
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
