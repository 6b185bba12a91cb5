// Text boxes: multi-line EDIT controls with a vertical scroll bar and no horizontal
// one, so that long lines wrap. Geometry in twips relative to the form's client area.
#include "platform/win32/win32_form.h"

namespace plat::win32 {
namespace {

constexpr int kFirstControlId = 1000;
// No WS_HSCROLL and no ES_AUTOHSCROLL: that is what makes long lines wrap.
constexpr DWORD kEditStyle =
    WS_CHILD | WS_VSCROLL | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;

}  // namespace

// Created hidden; creation order is the tab order. The default limit of an EDIT
// control (about 30,000 characters) would cut longer pages silently: 0 lifts it.
Win32TextBox::Win32TextBox(Win32Form& form, HWND parent, int index, std::uint32_t colour, HFONT font)
    : m_form(form), m_colour(colour) {
    if (!parent) {
        return;
    }
    const auto id = static_cast<INT_PTR>(kFirstControlId + index);
    m_hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", kEditStyle, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_hwnd, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::wstring Win32TextBox::text() const {
    if (!m_hwnd) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(m_hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32TextBox::setText(std::wstring_view text) {
    SetWindowTextW(m_hwnd, zstr(text).c_str());
}

// EM_GETSEL with pointers: its return value holds only 16-bit positions.
void Win32TextBox::selection(DWORD& start, DWORD& end) const {
    start = end = 0;
    if (m_hwnd) {
        SendMessageW(m_hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    }
}

std::wstring Win32TextBox::selText() const {
    DWORD start = 0, end = 0;
    selection(start, end);
    const std::wstring all = text();
    if (start >= end || start >= all.size()) {
        return {};
    }
    return all.substr(start, end - start);
}

void Win32TextBox::setSelText(std::wstring_view text) {
    SendMessageW(m_hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(zstr(text).c_str()));
}

int Win32TextBox::selStart() const {
    DWORD start = 0, end = 0;
    selection(start, end);
    return static_cast<int>(start);
}

int Win32TextBox::selLength() const {
    DWORD start = 0, end = 0;
    selection(start, end);
    return end > start ? static_cast<int>(end - start) : 0;
}

void Win32TextBox::select(int start, int length) {
    start = start < 0 ? 0 : start;
    length = length < 0 ? 0 : length;
    SendMessageW(m_hwnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
}

// The flag, not IsWindowVisible: that is false for every child of a hidden form.
bool Win32TextBox::visible() const {
    return m_visible;
}

void Win32TextBox::setVisible(bool visible) {
    m_visible = visible;
    ShowWindow(m_hwnd, visible ? SW_SHOW : SW_HIDE);
}

RECT Win32TextBox::rectInParent() const {
    RECT r{};
    if (m_hwnd && GetWindowRect(m_hwnd, &r)) {
        MapWindowPoints(HWND_DESKTOP, GetParent(m_hwnd), reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

Rect Win32TextBox::geometry() const {
    return toTwipsRect(rectInParent(), m_form.scale());
}

void Win32TextBox::place(int x, int y, int cx, int cy, UINT flags) {
    SetWindowPos(m_hwnd, nullptr, x, y, cx, cy, flags | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32TextBox::setLeft(float v) {
    place(toPixels(v, m_form.scale().x), rectInParent().top, 0, 0, SWP_NOSIZE);
}

void Win32TextBox::setTop(float v) {
    place(rectInParent().left, toPixels(v, m_form.scale().y), 0, 0, SWP_NOSIZE);
}

void Win32TextBox::setWidth(float v) {
    if (v >= 0) {
        const RECT r = rectInParent();
        place(0, 0, toPixels(v, m_form.scale().x), r.bottom - r.top, SWP_NOMOVE);
    }
}

void Win32TextBox::setHeight(float v) {
    if (v >= 0) {
        const RECT r = rectInParent();
        place(0, 0, r.right - r.left, toPixels(v, m_form.scale().y), SWP_NOMOVE);
    }
}

std::uint32_t Win32TextBox::backColor() const {
    return m_colour;
}

// The form paints the background (WM_CTLCOLOREDIT) with one brush per colour.
void Win32TextBox::setBackColor(std::uint32_t colour) {
    m_colour = colour;
    m_form.pruneBrushes();
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void Win32TextBox::setFocus() {
    if (m_hwnd) {
        SetFocus(m_hwnd);
    }
}

}  // namespace plat::win32
