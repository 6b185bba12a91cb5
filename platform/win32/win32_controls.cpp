// Dialog controls: creation in tab order, texts, the default-button look, label
// colours, the icon box and the lines.
#include "platform/win32/win32_controls.h"

#include <algorithm>

#include "platform/forms/form_model.h"

namespace plat::win32 {
namespace {

// SS_LEFT wraps at word boundaries; without SS_NOPREFIX an & marks the access key,
// which the dialog keyboard handling passes on to the next control in tab order.
constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kIconStyle = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

HWND createControl(HWND parent, HINSTANCE instance, const ControlDesign& design, Scale scale, HFONT font) {
    const wchar_t* className = design.kind == ControlKind::Button ? L"BUTTON" : L"STATIC";
    DWORD style = kLabelStyle;
    if (design.kind == ControlKind::Icon) {
        style = kIconStyle;
    } else if (design.kind == ControlKind::Button) {
        style = kButtonStyle | (design.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    }
    const RECT r = toPixelRect(design.rect, scale);
    const auto id = static_cast<INT_PTR>(design.id);
    const HWND hwnd = CreateWindowExW(0, className, design.text.c_str(), style, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, parent, reinterpret_cast<HMENU>(id), instance, nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

}  // namespace

void Win32Controls::create(HWND parent, HINSTANCE instance, const std::vector<ControlDesign>& designs, Scale scale,
                           HFONT font) {
    std::vector<ControlDesign> ordered = inTabOrder(designs);
    for (ControlDesign& design : ordered) {
        Control control{std::move(design), nullptr};
        if (parent && control.design.kind != ControlKind::Line) {
            control.hwnd = createControl(parent, instance, control.design, scale, font);
        }
        m_controls.push_back(std::move(control));
    }
    m_currentDefault = defaultButton().value_or(0);
}

void Win32Controls::forgetWindows() {
    for (Control& control : m_controls) {
        control.hwnd = nullptr;
    }
}

const Win32Controls::Control* Win32Controls::find(int id) const {
    const auto it =
        std::find_if(m_controls.begin(), m_controls.end(), [id](const Control& c) { return c.design.id == id; });
    return it == m_controls.end() ? nullptr : &*it;
}

const Win32Controls::Control* Win32Controls::findWindow(HWND hwnd) const {
    if (!hwnd) {
        return nullptr;
    }
    const auto it =
        std::find_if(m_controls.begin(), m_controls.end(), [hwnd](const Control& c) { return c.hwnd == hwnd; });
    return it == m_controls.end() ? nullptr : &*it;
}

bool Win32Controls::has(int id) const {
    return find(id) != nullptr;
}

void Win32Controls::setText(int id, std::wstring_view text) {
    const auto it =
        std::find_if(m_controls.begin(), m_controls.end(), [id](const Control& c) { return c.design.id == id; });
    if (it == m_controls.end()) {
        return;
    }
    it->design.text = std::wstring(text);
    if (it->hwnd) {
        SetWindowTextW(it->hwnd, it->design.text.c_str());
    }
}

bool Win32Controls::isButton(int id) const {
    const Control* control = find(id);
    return control && control->design.kind == ControlKind::Button;
}

std::optional<int> Win32Controls::defaultButton() const {
    for (const Control& c : m_controls) {
        if (c.design.kind == ControlKind::Button && c.design.isDefault) {
            return c.design.id;
        }
    }
    return std::nullopt;
}

// As in system dialogs: while a push button has the focus, it is the one that Enter
// presses and it wears the heavy border; elsewhere the design's default takes both back.
void Win32Controls::syncDefault(HWND focus) {
    const Control* focused = findWindow(focus);
    int wanted = defaultButton().value_or(0);
    if (focused && focused->design.kind == ControlKind::Button) {
        wanted = focused->design.id;
    }
    if (wanted != m_currentDefault) {
        applyDefaultLook(wanted);
        m_currentDefault = wanted;
    }
}

void Win32Controls::applyDefaultLook(int id) {
    for (const Control& c : m_controls) {
        if (c.design.kind == ControlKind::Button && c.hwnd) {
            const WPARAM style = c.design.id == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            SendMessageW(c.hwnd, BM_SETSTYLE, style, TRUE);
        }
    }
}

HWND Win32Controls::firstTabStop() const {
    for (const Control& c : m_controls) {
        if (c.design.kind == ControlKind::Button && c.hwnd && IsWindowVisible(c.hwnd) && IsWindowEnabled(c.hwnd)) {
            return c.hwnd;
        }
    }
    return nullptr;
}

// The system brush of the button face: the form's own background, not to be deleted.
HBRUSH Win32Controls::labelColours(HDC dc, HWND control) const {
    const Control* label = findWindow(control);
    if (!label || label->design.kind != ControlKind::Label) {
        return nullptr;
    }
    SetTextColor(dc, toColorRef(label->design.foreColor));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

// The icon at the large system size, centred in its box.
bool Win32Controls::drawIcon(const DRAWITEMSTRUCT& item, HICON icon) const {
    const Control* box = findWindow(item.hwndItem);
    if (item.CtlType != ODT_STATIC || !box || box->design.kind != ControlKind::Icon) {
        return false;
    }
    if (HBRUSH brush = CreateSolidBrush(toColorRef(box->design.backColor))) {
        FillRect(item.hDC, &item.rcItem, brush);
        DeleteObject(brush);
    }
    if (icon) {
        const int cx = GetSystemMetrics(SM_CXICON);
        const int cy = GetSystemMetrics(SM_CYICON);
        const int x = item.rcItem.left + (item.rcItem.right - item.rcItem.left - cx) / 2;
        const int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - cy) / 2;
        DrawIconEx(item.hDC, x, y, icon, cx, cy, 0, nullptr, DI_NORMAL);
    }
    return true;
}

bool Win32Controls::hasLines() const {
    return std::any_of(m_controls.begin(), m_controls.end(),
                       [](const Control& c) { return c.design.kind == ControlKind::Line; });
}

// A line's rect is its start point and its extent, not a box: a horizontal line has
// height 0, and a negative extent runs up or left. A wide pen is centred on its path;
// a level or upright line is moved by half its width so that it grows down or right
// from its position: an etched rule is a wide light line with a dark one-pixel line
// drawn over its upper half.
void Win32Controls::paintLines(HDC dc, Scale scale) const {
    for (const Control& c : m_controls) {
        if (c.design.kind != ControlKind::Line) {
            continue;
        }
        const Rect& r = c.design.rect;
        const int width = std::max(c.design.lineWidth, 1);
        HPEN pen = CreatePen(PS_SOLID, width, toColorRef(c.design.foreColor));
        if (!pen) {
            continue;
        }
        const int x0 = twipsToPixels(r.left, scale.x);
        const int y0 = twipsToPixels(r.top, scale.y);
        const int x1 = twipsToPixels(r.left + r.width, scale.x);
        const int y1 = twipsToPixels(r.top + r.height, scale.y);
        const int dx = x0 == x1 ? width / 2 : 0;
        const int dy = y0 == y1 ? width / 2 : 0;
        const HGDIOBJ previous = SelectObject(dc, pen);
        MoveToEx(dc, x0 + dx, y0 + dy, nullptr);
        LineTo(dc, x1 + dx, y1 + dy);
        SelectObject(dc, previous);
        DeleteObject(pen);
    }
}

}  // namespace plat::win32
