// Forms: the top-level window, its load/show/unload life cycle, its geometry in
// twips, its icons, and the window procedure that turns messages into FormEvents calls.
#include "platform/win32/win32_form.h"

#include <algorithm>

#include "platform/win32/win32_platform.h"

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

void Win32Form::registerClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &Win32Form::windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, resourceName(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);
}

Win32Form::Win32Form(std::shared_ptr<PlatformState> platform, const FormDesign& design, FormEvents& events)
    : m_platform(std::move(platform)),
      m_events(events),
      m_guarded(events,
                [state = m_platform](std::exception_ptr error) {
                    if (state->platform) {
                        state->platform->reportFailure(error);
                    }
                }),
      m_menuState(design.menuBar) {
    create(design);
}

Win32Form::~Win32Form() {
    *m_alive = false;
    leaveOpenForms();
    destroyWindow();
    for (auto& [colour, brush] : m_brushes) {
        DeleteObject(brush);
    }
}

// The window starts hidden at the system's default place, sized so that its client
// area has the design size.
void Win32Form::create(const FormDesign& design) {
    m_dialog = design.border == BorderStyle::FixedDialog;
    m_showInTaskbar = design.showInTaskbar;
    m_menu.build(design.menuBar);
    const Scale s = m_platform->scale;
    const DWORD style = m_dialog ? kDialogStyle : kFormStyle;
    const DWORD exStyle = m_dialog ? kDialogExStyle : 0;
    RECT r{0, 0, toPixels(design.clientWidth, s.x), toPixels(design.clientHeight, s.y)};
    AdjustWindowRectEx(&r, style, m_menu.bar() != nullptr, exStyle);
    CreateWindowExW(exStyle, kFormClass, design.caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                    r.bottom - r.top, nullptr, m_menu.bar(), m_platform->instance, this);
    if (!m_hwnd) {
        DestroyMenu(m_menu.bar());
        m_menu.forgetBar();
    }
    GetWindowRect(m_hwnd, &m_createdRect);
    loadIcons(design.iconResource);
    m_controls.create(m_hwnd, m_platform->instance, design.controls, s, m_platform->editFont);
    const RECT boxRect = toPixelRect(design.textBoxRect, s);
    for (int i = 0; i < design.textBoxCount; ++i) {
        m_textBoxes.push_back(
            std::make_unique<Win32TextBox>(*this, m_hwnd, i, design.textBoxBackColor, m_platform->editFont, boxRect));
    }
    if (m_hwnd && design.pictureBox.width > 0 && design.pictureBox.height > 0) {
        m_picture = std::make_unique<Win32PictureBox>(*m_platform, m_hwnd, design.pictureBox, s, m_events);
    }
}

// Icons of the two system sizes, each loaded at its own size (LR_SHARED would hand
// back the first size loaded), owned by the form.
void Win32Form::loadIcons(int resource) {
    if (resource == 0 || !m_hwnd) {
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
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
}

LRESULT CALLBACK Win32Form::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* form = static_cast<Win32Form*>(created->lpCreateParams);
        form->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const PlatformState* platform = form->m_platform.get();  // the form may be gone when the handler fails
    try {
        return form->handleMessage(message, wParam, lParam);
    } catch (...) {
        reportEventFailure(*platform);
        return 0;
    }
}

LRESULT Win32Form::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A registered message number is not a constant, so it cannot be a case label.
    if (message == m_platform->taskbarCreatedMessage && message != 0) {
        m_events.onTaskbarCreated();
        return 0;
    }
    LRESULT result = 0;
    if (handleDialogMessage(message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
        case WM_CLOSE: m_events.onCloseRequest(CloseReason::User); return 0;
        case WM_SIZE: onSize(); return 0;
        case WM_ENDSESSION:
            if (wParam) {
                m_events.onSessionEnd();
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
            if (LOWORD(wParam) == WA_INACTIVE && IsChild(m_hwnd, GetFocus())) {
                m_lastFocus = GetFocus();
            }
            break;
        case WM_SETFOCUS: focusChild(); return 0;
        case WM_CTLCOLOREDIT: return onCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NCDESTROY: SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0); break;
        default: break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

// Size changes during onLoad are not reported: show() raises one onResize for them
// once the window is visible.
void Win32Form::onSize() {
    if (m_stage == Stage::Loaded || m_stage == Stage::Unloading) {
        m_resizeRaised = true;
        m_events.onResize();
    }
}

// A form hands the keyboard focus on to a control, as a dialog does: the one that had
// it when the form was last deactivated, else the first visible text box, else the
// first button in tab order.
void Win32Form::focusChild() {
    if (m_lastFocus && IsChild(m_hwnd, m_lastFocus) && IsWindowVisible(m_lastFocus)) {
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
        }
    }
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
    return DefWindowProcW(m_hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
}

void Win32Form::pruneBrushes() {
    for (auto it = m_brushes.begin(); it != m_brushes.end();) {
        const bool used = std::any_of(m_textBoxes.begin(), m_textBoxes.end(),
                                      [&](const auto& box) { return box->backColor() == it->first; });
        if (used) {
            ++it;
        } else {
            DeleteObject(it->second);
            it = m_brushes.erase(it);
        }
    }
}

// Loading: the form joins the open forms and onLoad runs, the window still hidden
// (a hidden window has no taskbar button).
void Win32Form::load() {
    if (!m_hwnd || m_stage != Stage::Created) {
        return;
    }
    m_stage = Stage::Loading;
    m_platform->openForms.push_back(this);
    m_events.onLoad();
    if (m_stage == Stage::Loading) {
        m_stage = Stage::Loaded;
    }
}

// The first show loads the form if need be; then the window appears and onResize is
// raised once (unless a size change while appearing raised it already).
void Win32Form::show() {
    load();
    if (!m_hwnd || m_stage != Stage::Loaded) {
        return;  // never created, or unloaded during onLoad
    }
    // A window kept out of the taskbar is owned; until showModal names an owner, the
    // hidden application window is it (an owned window has no taskbar button).
    if (!m_showInTaskbar && !GetWindow(m_hwnd, GW_OWNER) && IsWindow(m_platform->appWindow)) {
        SetWindowLongPtrW(m_hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_platform->appWindow));
    }
    if (m_shown) {
        ShowWindow(m_hwnd, SW_SHOW);
        return;
    }
    m_shown = true;
    m_resizeRaised = false;
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    UpdateWindow(m_hwnd);
    if (!m_resizeRaised) {
        m_events.onResize();
    }
}

void Win32Form::unload() {
    if (m_stage != Stage::Loaded && m_stage != Stage::Loading) {
        return;
    }
    const Stage before = m_stage;
    m_stage = Stage::Unloading;
    std::int16_t cancel = 0;
    m_events.onUnload(cancel);
    if (cancel != 0) {
        m_stage = before;
        return;
    }
    m_stage = Stage::Unloaded;
    destroyWindow();
    leaveOpenForms();
    if (m_platform->openForms.empty()) {
        PostQuitMessage(0);
    }
}

void Win32Form::destroyWindow() {
    // The owner of a modal form takes input again before the form goes, so that the
    // system activates it rather than another program's window.
    releaseOwner();
    if (m_hwnd) {
        const HWND hwnd = m_hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);  // also destroys the menu bar and the editors
        m_hwnd = nullptr;
        m_menu.forgetBar();
        for (auto& box : m_textBoxes) {
            box->forgetWindow();
        }
        if (m_picture) {
            m_picture->forgetWindow();
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

void Win32Form::leaveOpenForms() {
    auto& forms = m_platform->openForms;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

bool Win32Form::loaded() const {
    return m_stage == Stage::Loading || m_stage == Stage::Loaded || m_stage == Stage::Unloading;
}

std::wstring Win32Form::caption() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(m_hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32Form::setCaption(std::wstring_view caption) {
    SetWindowTextW(m_hwnd, zstr(caption).c_str());
}

Rect Win32Form::bounds() const {
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    return toTwipsRect(r, scale());
}

void Win32Form::setBounds(const Rect& r) {
    const RECT p = toPixelRect(r, scale());
    SetWindowPos(m_hwnd, nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// GetClientRect of a minimized window is empty, which the layout relies on.
Rect Win32Form::clientArea() const {
    RECT r{};
    GetClientRect(m_hwnd, &r);
    return toTwipsRect(r, scale());
}

WindowState Win32Form::windowState() const {
    if (IsIconic(m_hwnd)) {
        return WindowState::Minimized;
    }
    return IsZoomed(m_hwnd) ? WindowState::Maximized : WindowState::Normal;
}

std::uint32_t Win32Form::backColor() const {
    return kButtonFace;
}

std::wstring Win32Form::tag() const {
    return m_tag;
}

void Win32Form::setTag(std::wstring_view tag) {
    m_tag = tag;
}

NativeHandle Win32Form::handle() const {
    return reinterpret_cast<NativeHandle>(m_hwnd);
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
