// Forms: the top-level window made and destroyed for the model's life cycle, its
// geometry in twips, its icons, and the window procedure that turns messages into
// the model's input.
#include "platform/win32/win32_form.h"

#include <algorithm>

#include "platform/win32/win32_platform.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace plat::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"QuibbetsForm";
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// A fixed dialog frame: no sizing border, no minimize or maximize button. With
// WS_EX_DLGMODALFRAME and no small icon of its own the caption shows no icon.
constexpr DWORD kDialogStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME;
// COLOR_BTNFACE in the OLE colour encoding: system colour 15 with the high bit.
constexpr std::uint32_t kButtonFace = 0x80000000u | COLOR_BTNFACE;

}  // namespace

Win32Form* OpenForms::Iterator::operator*() const {
    return static_cast<Win32Form*>(*m_at);
}

Win32Form::Win32Form(std::shared_ptr<PlatformState> platform, const FormDesign& design, FormEvents& events)
    : FormModel(design, events, platform->forms, static_cast<FormView&>(*this)),
      Win32Window(*platform),
      m_platform(std::move(platform)) {
    for (int i = 0; i < design.textBoxCount; ++i) {
        m_textBoxes.push_back(std::make_unique<Win32TextBox>(*this, i));
    }
    createWindow();
}

Win32Form::~Win32Form() {
    forget();
    destroyWindow();
    for (auto& [colour, brush] : m_brushes) {
        DeleteObject(brush);
    }
}

// The window starts hidden at the system's default place, sized so that its client
// area has the design size, with the design's caption, menu, controls and editors.
bool Win32Form::createWindow() {
    const FormDesign& d = design();
    m_dialog = d.border == BorderStyle::FixedDialog;
    m_showInTaskbar = d.showInTaskbar;
    m_menu = std::make_unique<Win32Menu>();
    m_menu->build(d.menuBar);
    const Scale s = m_platform->scale;
    const DWORD style = m_dialog ? kDialogStyle : kFormStyle;
    const DWORD exStyle = m_dialog ? kDialogExStyle : 0;
    RECT r{0, 0, twipsToPixels(d.clientWidth, s.x), twipsToPixels(d.clientHeight, s.y)};
    AdjustWindowRectEx(&r, style, m_menu->bar() != nullptr, exStyle);
    WindowParams params;
    params.title = d.caption.c_str();
    params.style = style;
    params.exStyle = exStyle;
    params.x = CW_USEDEFAULT;
    params.y = CW_USEDEFAULT;
    params.cx = r.right - r.left;
    params.cy = r.bottom - r.top;
    params.menu = m_menu->bar();
    if (!create(WindowClass{kFormClass, CS_HREDRAW | CS_VREDRAW, true}, params)) {
        DestroyMenu(m_menu->bar());
        m_menu->forgetBar();
    }
    GetWindowRect(hwnd(), &m_createdRect);
    m_lastFocus = nullptr;
    loadIcons(d.iconResource);
    m_controls = Win32Controls();
    m_controls.create(hwnd(), m_platform->instance, d.controls, s, m_platform->editFont);
    const RECT boxRect = toPixelRect(d.textBoxRect, s);
    for (auto& box : m_textBoxes) {
        box->createWindow(hwnd(), d.textBoxBackColor, m_platform->editFont, boxRect);
    }
    m_picture.reset();
    if (hwnd() && d.pictureBox.width > 0 && d.pictureBox.height > 0) {
        m_picture = std::make_unique<Win32PictureBox>(*m_platform, hwnd(), d.pictureBox, s, *this);
    }
    return hwnd() != nullptr;
}

// Icons of the two system sizes, each loaded at its own size (LR_SHARED would hand
// back the first size loaded), owned by the form.
void Win32Form::loadIcons(int resource) {
    if (resource == 0 || !hwnd()) {
        return;
    }
    const auto load = [&](int cx, int cy) {
        return static_cast<HICON>(LoadImageW(m_platform->instance, resourceName(resource), IMAGE_ICON,
                                             GetSystemMetrics(cx), GetSystemMetrics(cy), LR_DEFAULTCOLOR));
    };
    m_bigIcon = load(SM_CXICON, SM_CYICON);
    m_smallIcon = load(SM_CXSMICON, SM_CYSMICON);
    if (m_dialog) {
        return;  // a dialog shows its icon in an Icon control, not in the caption
    }
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
}

LRESULT Win32Form::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A registered message number is not a constant, so it cannot be a case label.
    if (message == m_platform->taskbarCreatedMessage && message != 0) {
        taskbarRestarted();
        return 0;
    }
    LRESULT result = 0;
    if (handleDialogMessage(message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
        case WM_CLOSE: closeRequested(CloseReason::User); return 0;
        case WM_SIZE: resized(); return 0;
        case WM_DPICHANGED:
            onDpiChanged(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ENDSESSION:
            if (wParam) {
                sessionEnded();
            }
            return 0;
        case WM_COMMAND:
            if (lParam == 0) {
                onMenuCommand(wParam);
                return 0;
            }
            if (HIWORD(wParam) == EN_CHANGE) {
                onEditChange(reinterpret_cast<HWND>(lParam));
                return 0;
            }
            break;
        case WM_INITMENUPOPUP: onInitMenuPopup(reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0); return 0;
        case WM_ACTIVATE:
            // Only a control of this form: disabling the form for a modal one may
            // already have taken the focus away.
            if (LOWORD(wParam) == WA_INACTIVE && IsChild(hwnd(), GetFocus())) {
                m_lastFocus = GetFocus();
            } else if (LOWORD(wParam) != WA_INACTIVE) {
                activated();
            }
            break;
        case WM_SETFOCUS: focusChild(); return 0;
        case WM_CTLCOLOREDIT: return onCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        default: break;
    }
    return defaultHandling(message, wParam, lParam);
}

// A form hands the keyboard focus on to a control, as a dialog does: the one that had
// it when the form was last deactivated, else the first visible text box, else the
// first button in tab order.
void Win32Form::focusChild() {
    if (m_lastFocus && IsChild(hwnd(), m_lastFocus) && IsWindowVisible(m_lastFocus)) {
        SetFocus(m_lastFocus);
        return;
    }
    for (const auto& box : m_textBoxes) {
        if (box->visible() && box->hwnd()) {
            SetFocus(box->hwnd());
            return;
        }
    }
    focusFirstTabStop();
}

// Every change of an editor's text but a whole new text set by the program itself:
// typing, the editor's own context menu, and EM_REPLACESEL from anyone.
void Win32Form::onEditChange(HWND edit) {
    for (const auto& box : m_textBoxes) {
        if (box->hwnd() == edit) {
            box->noteChange();
            if (!box->programChange()) {
                textChanged(box->index());
            }
        }
    }
}

// The window takes the rectangle the system suggests (about the same size to the
// eye on the new screen), its text the new screen's font; the layout then runs
// again in the new screen's twips, even where the size in pixels stayed.
void Win32Form::onDpiChanged(int dpiX, int dpiY, const RECT* suggested) {
    if (dpiX <= 0 || dpiY <= 0 || suggested == nullptr) {
        return;
    }
    followDpi(*m_platform, dpiX, dpiY);
    const HFONT font = m_platform->editFont;
    for (auto& box : m_textBoxes) {
        box->setFont(font);
    }
    EnumChildWindows(
        hwnd(),
        [](HWND child, LPARAM newFont) {
            wchar_t name[16] = {};
            GetClassNameW(child, name, 16);
            if (lstrcmpiW(name, L"Edit") != 0) {
                SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(newFont), TRUE);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(font));
    SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    resized();
}

LRESULT Win32Form::onCtlColorEdit(HDC dc, HWND edit) {
    for (const auto& box : m_textBoxes) {
        if (box->hwnd() == edit) {
            const std::uint32_t colour = box->backColor();
            auto [it, added] = m_brushes.try_emplace(colour, nullptr);
            if (added) {
                it->second = CreateSolidBrush(toColorRef(colour));
            }
            SetBkColor(dc, toColorRef(colour));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(it->second);
        }
    }
    return defaultHandling(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
}

// A window kept out of the taskbar is owned; until showModal names an owner, the
// hidden application window is it (an owned window has no taskbar button).
void Win32Form::showWindow(bool first) {
    if (!m_showInTaskbar && !GetWindow(hwnd(), GW_OWNER) && IsWindow(m_platform->appWindow)) {
        SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_platform->appWindow));
    }
    if (!first) {
        ShowWindow(hwnd(), SW_SHOW);
        return;
    }
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    UpdateWindow(hwnd());
}

// The loop ends with the WM_QUIT posted here.
void Win32Form::lastFormUnloaded() {
    PostQuitMessage(0);
}

// The window takes its menu bar, editors, controls and picture box with it.
void Win32Form::destroyWindow() {
    if (hwnd()) {
        destroy();
        m_menu->forgetBar();
        for (auto& box : m_textBoxes) {
            box->forgetWindow();
        }
        m_controls.forgetWindows();
    }
    const auto destroyIcon = [](HICON& icon) {
        if (icon) {
            DestroyIcon(icon);
            icon = nullptr;
        }
    };
    destroyIcon(m_bigIcon);
    destroyIcon(m_smallIcon);
}

void Win32Form::drawCaption(std::wstring_view caption) {
    SetWindowTextW(hwnd(), zstr(caption).c_str());
}

void Win32Form::place(bool topMost, int x, int y, int cx, int cy) {
    SetWindowPos(hwnd(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, x, y, cx, cy, 0);
}

Rect Win32Form::bounds() const {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return toTwipsRect(r, scale());
}

void Win32Form::setBounds(const Rect& r) {
    const RECT p = toPixelRect(r, scale());
    SetWindowPos(hwnd(), nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// GetClientRect of a minimized window is empty, which the layout relies on.
Rect Win32Form::clientArea() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    return toTwipsRect(r, scale());
}

WindowState Win32Form::windowState() const {
    if (IsIconic(hwnd())) {
        return WindowState::Minimized;
    }
    return IsZoomed(hwnd()) ? WindowState::Maximized : WindowState::Normal;
}

std::uint32_t Win32Form::backColor() const {
    return kButtonFace;
}

NativeHandle Win32Form::handle() const {
    return reinterpret_cast<NativeHandle>(hwnd());
}

NativeHandle Win32Form::pictureHandle() const {
    return m_picture ? reinterpret_cast<NativeHandle>(m_picture->hwnd()) : 0;
}

// The small icon when there is one: the notification area draws icons at the small
// size, and the 16 x 16 image drawn for that size looks better there than the
// 32 x 32 one shrunk by the shell.
NativeHandle Win32Form::iconHandle() const {
    return reinterpret_cast<NativeHandle>(m_smallIcon ? m_smallIcon : m_bigIcon);
}

TextBox& Win32Form::textBox(int index) {
    return *m_textBoxes.at(static_cast<std::size_t>(index));
}

Scale Win32Form::scale() const {
    return m_platform->scale;
}

}  // namespace plat::win32
