// The fixed controls of a dialog form: labels (STATIC), push buttons (BUTTON), the
// form's icon in a box of its own colour (an owner-drawn STATIC) and lines, which
// have no window and are drawn by the form itself.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/win32/win32_common.h"

namespace plat::win32 {

class Win32Controls {
public:
    // Creates the child windows in tab order: the controls by tabIndex, those
    // without one (-1) after them in design order.
    void create(HWND parent, HINSTANCE instance, const std::vector<ControlDesign>& designs, Scale scale, HFONT font);
    // The parent destroyed the windows.
    void forgetWindows();

    bool has(int id) const;
    // Draws a new text of a label or button (the form model holds the texts).
    void setText(int id, std::wstring_view text);

    bool isButton(int id) const;
    std::optional<int> defaultButton() const;
    // The button that Enter presses now: the focused push button, else the design's default.
    int currentDefault() const { return m_currentDefault; }
    // Gives the default look to the focused push button, or back to the design's
    // default when the focus is elsewhere.
    void syncDefault(HWND focus);
    // The first button in tab order that can take the focus.
    HWND firstTabStop() const;

    // WM_CTLCOLORSTATIC of a label: its text colour on the dialog background.
    // Null when `control` is not a label of this form.
    HBRUSH labelColours(HDC dc, HWND control) const;
    // WM_DRAWITEM of the icon box; false when the item is not one of these controls.
    bool drawIcon(const DRAWITEMSTRUCT& item, HICON icon) const;
    void paintLines(HDC dc, Scale scale) const;
    bool hasLines() const;

private:
    struct Control {
        ControlDesign design;
        HWND hwnd = nullptr;
    };
    const Control* find(int id) const;
    const Control* findWindow(HWND hwnd) const;
    void applyDefaultLook(int id);

    std::vector<Control> m_controls;  // in tab order
    int m_currentDefault = 0;
};

}  // namespace plat::win32
