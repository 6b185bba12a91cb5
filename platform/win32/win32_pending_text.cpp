// The deferred text of a hidden editor. Until the page is shown, the control itself
// holds nothing; it answers WM_GETTEXT and WM_GETTEXTLENGTH from the deferred
// text, so every reader sees the page's text, and any message that could show,
// change or select it first hands the text to the control.
#include "platform/win32/win32_form.h"

#include <commctrl.h>

#include <algorithm>

namespace plat::win32 {
namespace {

// Messages that neither show nor touch the text: they leave the text deferred.
bool leavesTextAside(UINT message) {
    switch (message) {
        case WM_NCDESTROY: case WM_DESTROY: case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED:
        case WM_MOVE: case WM_SIZE: case WM_NCCALCSIZE: case WM_SETFONT: case WM_GETFONT:
        case WM_STYLECHANGING: case WM_STYLECHANGED: case WM_NCPAINT: case WM_ERASEBKGND:
        case WM_PAINT: case WM_GETOBJECT: case WM_GETDLGCODE: case WM_SETCURSOR: case WM_NCHITTEST:
        case EM_SETLIMITTEXT: case EM_GETLIMITTEXT:
            return true;
        default:
            return false;
    }
}

}  // namespace

void Win32TextBox::layOutPendingText() {
    if (!m_pending) {
        return;
    }
    const std::wstring text = std::move(*m_pending);
    m_pending.reset();
    SetWindowTextW(m_hwnd, text.c_str());
}

LRESULT Win32TextBox::answerFromPendingText(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    if (message == WM_GETTEXTLENGTH) {
        return static_cast<LRESULT>(m_pending->size());
    }
    if (message == WM_GETTEXT) {
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        if (wParam == 0 || buffer == nullptr) {
            return 0;
        }
        const std::size_t count = std::min<std::size_t>(m_pending->size(), wParam - 1);
        std::copy_n(m_pending->data(), count, buffer);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    handled = false;
    if (message == WM_SETTEXT) {
        m_pending.reset();  // replaced whole: the deferred text is no longer the page
    } else if (!leavesTextAside(message)) {
        layOutPendingText();
    }
    return 0;
}

LRESULT CALLBACK Win32TextBox::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self) {
    (void)id;
    auto* box = reinterpret_cast<Win32TextBox*>(self);
    if (box->m_pending) {
        bool handled = false;
        const LRESULT result = box->answerFromPendingText(message, wParam, lParam, handled);
        if (handled) {
            return result;
        }
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace plat::win32
