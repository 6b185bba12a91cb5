// The picture box of a form: a plain child window whose only job is to report the
// mouse-move messages it receives to the form. The notification area posts an
// icon's mouse messages to it in that form.
#pragma once

#include <windows.h>

#include "platform/forms/form_model.h"
#include "platform/platform.h"
#include "platform/services/geometry.h"
#include "platform/win32/win32_common.h"
#include "platform/win32/win32_window.h"

namespace plat::win32 {

struct PlatformState;

class Win32PictureBox final : public Win32Window {
public:
    // Creates the window at `geometry` (twips, in the parent's client area).
    Win32PictureBox(const PlatformState& state, HWND parent, const Rect& geometry, Scale scale, FormModel& form);

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onMouseMove(WPARAM wParam, LPARAM lParam);

    FormModel& m_form;
    Scale m_scale;
};

}  // namespace plat::win32
