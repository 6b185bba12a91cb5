// The picture box of a form: a plain child window whose only job is to report the
// mouse-move messages it receives to the form. The notification area posts an
// icon's mouse messages to it in that form.
#pragma once

#include <windows.h>

#include "platform/form_model.h"
#include "platform/platform.h"
#include "platform/win32/win32_common.h"

namespace plat::win32 {

struct PlatformState;

class Win32PictureBox {
public:
    // Creates the window at `geometry` (twips, in the parent's client area).
    Win32PictureBox(const PlatformState& state, HWND parent, const Rect& geometry, Scale scale, FormModel& form);
    Win32PictureBox(const Win32PictureBox&) = delete;
    Win32PictureBox& operator=(const Win32PictureBox&) = delete;

    static void registerClass(HINSTANCE instance);
    HWND hwnd() const { return m_hwnd; }
    // The parent destroyed the window.
    void forgetWindow() { m_hwnd = nullptr; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void onMouseMove(WPARAM wParam, LPARAM lParam);

    const PlatformState& m_state;
    FormModel& m_form;
    Scale m_scale;
    HWND m_hwnd = nullptr;
};

}  // namespace plat::win32
