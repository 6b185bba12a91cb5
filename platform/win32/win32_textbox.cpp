// Text boxes: multi-line EDIT controls with a vertical scroll bar and no horizontal
// one, so that long lines wrap. Geometry in twips relative to the form's client area.
#include "platform/win32/win32_form.h"

namespace plat::win32 {
namespace {

constexpr int kFirstControlId = 1000;
// No WS_HSCROLL and no ES_AUTOHSCROLL: that is what makes long lines wrap.
constexpr DWORD kEditStyle =
    WS_CHILD | WS_VSCROLL | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Word breaks at blanks and tabs only. The control's own procedure classifies
// characters through the whole text on every keystroke, which makes typing into a
// page of a MiB take tens of milliseconds; this one looks at the current line only.
// Lines still wrap at word boundaries, and Ctrl+Left / Ctrl+Right still step by word.
int CALLBACK breakAtBlanks(LPWSTR text, int current, int length, int code) {
    int i = current;
    switch (code) {
        case WB_ISDELIMITER: return i >= 0 && i < length && isBlank(text[i]);
        case WB_LEFT:
            i = i > 0 ? i - 1 : 0;
            while (i > 0 && isBlank(text[i])) {
                --i;
            }
            while (i > 0 && !isBlank(text[i - 1])) {
                --i;
            }
            return i;
        case WB_RIGHT:
            while (i < length && !isBlank(text[i])) {
                ++i;
            }
            while (i < length && isBlank(text[i])) {
                ++i;
            }
            return i;
        default: return 0;
    }
}

// Keeps an EM_GETHANDLE buffer locked for as long as it is read.
class LockedText {
public:
    explicit LockedText(HWND edit) : m_handle(reinterpret_cast<HLOCAL>(SendMessageW(edit, EM_GETHANDLE, 0, 0))) {
        m_text = m_handle ? static_cast<const wchar_t*>(LocalLock(m_handle)) : nullptr;
    }
    ~LockedText() {
        if (m_text) {
            LocalUnlock(m_handle);
        }
    }
    LockedText(const LockedText&) = delete;
    LockedText& operator=(const LockedText&) = delete;

    const wchar_t* text() const { return m_text; }
    std::size_t capacity() const { return m_text ? LocalSize(m_handle) / sizeof(wchar_t) : 0; }

private:
    HLOCAL m_handle;
    const wchar_t* m_text = nullptr;
};

}  // namespace

Win32TextBox::Win32TextBox(Win32Form& form, int index) : m_form(form), m_index(index) {}

// The editor of a new window of the form: hidden at `rect` (client pixels), empty and
// unchanged. Its window is made only when it is first needed (shown, given text or a
// selection): most editors of the notes window stay hidden and empty at start, and
// each EDIT control costs about a millisecond to make under Wine.
void Win32TextBox::createWindow(HWND parent, std::uint32_t colour, HFONT font, const RECT& rect) {
    m_colour = colour;
    m_visible = false;
    m_changeNoted = false;
    m_hwnd = nullptr;
    m_parent = parent;
    m_font = font;
    m_rect = rect;
}

// The default limit of an EDIT control (about 30,000 characters) would cut longer
// pages silently: 0 lifts it. False when there is no form window to make it in.
bool Win32TextBox::made() {
    if (m_hwnd || !m_parent) {
        return m_hwnd != nullptr;
    }
    const auto id = static_cast<INT_PTR>(kFirstControlId + m_index);
    m_hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", kEditStyle, m_rect.left, m_rect.top,
                             m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_parent,
                             reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd) {
        return false;
    }
    SendMessageW(m_hwnd, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    SendMessageW(m_hwnd, EM_SETWORDBREAKPROC, 0, reinterpret_cast<LPARAM>(&breakAtBlanks));
    return true;
}

void Win32TextBox::forgetWindow() {
    m_hwnd = nullptr;
    m_parent = nullptr;
}

// An editor not made yet is empty already.
void Win32TextBox::setText(std::wstring_view text) {
    if (!text.empty() || m_hwnd) {
        if (!made()) {
            return;
        }
        m_programChange = true;
        SetWindowTextW(m_hwnd, zstr(text).c_str());
        m_programChange = false;
    }
    setModified(false);
}

std::size_t Win32TextBox::textLength() const {
    return m_hwnd ? static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)) : 0;
}

// The control's own buffer (EM_GETHANDLE) costs a fraction of a millisecond where
// WM_GETTEXT copies the whole text; a copy is the fallback when there is no buffer.
void Win32TextBox::readText(const std::function<void(std::wstring_view)>& reader) const {
    if (m_hwnd) {
        const std::size_t length = textLength();
        const LockedText locked(m_hwnd);
        if (locked.text() && length < locked.capacity()) {
            reader(std::wstring_view(locked.text(), length));
            return;
        }
        std::wstring copy(static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
        copy.resize(static_cast<std::size_t>(GetWindowTextW(m_hwnd, copy.data(), static_cast<int>(copy.size()))));
        reader(copy);
        return;
    }
    reader(std::wstring_view());
}

// The control's own flag covers what the user does; the change notification also
// covers text replaced by other programs.
bool Win32TextBox::modified() const {
    return m_changeNoted || (m_hwnd && SendMessageW(m_hwnd, EM_GETMODIFY, 0, 0) != 0);
}

void Win32TextBox::setModified(bool modified) {
    m_changeNoted = modified;
    if (m_hwnd) {
        SendMessageW(m_hwnd, EM_SETMODIFY, modified ? TRUE : FALSE, 0);
    }
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
    std::wstring selected;
    readText([&](std::wstring_view all) {
        if (start < end && start < all.size()) {
            selected = all.substr(start, end - start);
        }
    });
    return selected;
}

void Win32TextBox::setSelText(std::wstring_view text) {
    if (!made()) {
        return;
    }
    m_programChange = true;
    SendMessageW(m_hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(zstr(text).c_str()));
    m_programChange = false;
    setModified(true);
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
    if (!made()) {
        return;
    }
    SendMessageW(m_hwnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
}

// The flag, not IsWindowVisible: that is false for every child of a hidden form.
bool Win32TextBox::visible() const {
    return m_visible;
}

void Win32TextBox::setVisible(bool visible) {
    m_visible = visible;
    if (m_hwnd || (visible && made())) {
        if (visible) {
            applyFont();
        }
        ShowWindow(m_hwnd, visible ? SW_SHOW : SW_HIDE);
    }
}

void Win32TextBox::setFont(HFONT font) {
    m_font = font;
    if (m_visible) {
        applyFont();
    }
}

void Win32TextBox::applyFont() {
    if (m_hwnd && reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)) != m_font) {
        SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    }
}

// Where the editor is, or where it will be made.
RECT Win32TextBox::rectInParent() const {
    RECT r = m_rect;
    if (m_hwnd && GetWindowRect(m_hwnd, &r)) {
        MapWindowPoints(HWND_DESKTOP, GetParent(m_hwnd), reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

Rect Win32TextBox::geometry() const {
    return toTwipsRect(rectInParent(), m_form.scale());
}

void Win32TextBox::setGeometry(const Rect& r) {
    const RECT now = rectInParent();
    const Scale scale = m_form.scale();
    const int cx = r.width >= 0 ? twipsToPixels(r.width, scale.x) : now.right - now.left;
    const int cy = r.height >= 0 ? twipsToPixels(r.height, scale.y) : now.bottom - now.top;
    const int x = twipsToPixels(r.left, scale.x);
    const int y = twipsToPixels(r.top, scale.y);
    if (!m_hwnd) {
        m_rect = {x, y, x + cx, y + cy};
        return;
    }
    SetWindowPos(m_hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32TextBox::setFocus() {
    if (m_hwnd) {
        SetFocus(m_hwnd);
    }
}

}  // namespace plat::win32
