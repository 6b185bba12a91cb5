// The Win32 platform object: start-up (screen scale, editor font), its services,
// the form operations, the event loop, the screen and the program file.
#include "platform/win32/win32_platform.h"

#include <commctrl.h>

#include <cmath>

#include "platform/win32/win32_app_window.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_services.h"

namespace plat::win32 {
namespace {

Scale screenScale() {
    Scale scale;
    if (HDC dc = GetDC(nullptr)) {
        const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
        const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        if (dpiX > 0 && dpiY > 0) {
            scale = {1440.0f / static_cast<float>(dpiX), 1440.0f / static_cast<float>(dpiY)};
        }
    }
    return scale;
}

// The editors use the system's message font, as dialogs do; DEFAULT_GUI_FONT is the
// older, smaller fallback.
void chooseEditFont(PlatformState& state) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        state.editFont = CreateFontIndirectW(&metrics.lfMessageFont);
        state.ownsFont = state.editFont != nullptr;
        state.messageFont = metrics.lfMessageFont;
        state.messageFontDpi = static_cast<int>(std::lround(1440.0f / state.scale.y));
        state.fontDpi = state.messageFontDpi;
    }
    if (!state.editFont) {
        state.editFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
}

// The full path of the program file; long paths grow the buffer.
std::wstring modulePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    while (buffer.size() <= 65536) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

}  // namespace

PlatformState::~PlatformState() {
    if (ownsFont) {
        DeleteObject(editFont);
    }
    for (HFONT font : retiredFonts) {
        DeleteObject(font);
    }
}

// Without a font of the system's own (messageFontDpi 0) the stock font stays.
void followDpi(PlatformState& state, int dpiX, int dpiY) {
    state.scale = {1440.0f / static_cast<float>(dpiX), 1440.0f / static_cast<float>(dpiY)};
    if (state.messageFontDpi == 0 || dpiY == state.fontDpi) {
        return;
    }
    LOGFONTW sized = state.messageFont;
    sized.lfHeight = MulDiv(sized.lfHeight, dpiY, state.messageFontDpi);
    if (HFONT font = CreateFontIndirectW(&sized)) {
        if (state.ownsFont) {
            state.retiredFonts.push_back(state.editFont);
        }
        state.editFont = font;
        state.ownsFont = true;
        state.fontDpi = dpiY;
    }
}

Win32Platform::Win32Platform()
    : m_state(std::make_shared<PlatformState>()), m_services(std::make_unique<ServiceSet>(m_state.get())) {
    m_state->instance = GetModuleHandleW(nullptr);
    m_state->platform = this;
    attach(*m_services, m_state->forms);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    m_state->taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    m_state->scale = screenScale();
    chooseEditFont(*m_state);
}

Win32Platform::~Win32Platform() {
    m_services.reset();
    m_state->appWindow = nullptr;
    m_state->platform = nullptr;
}

void reportEventFailure(const PlatformState& state) noexcept {
    if (state.platform) {
        state.platform->reportFailure(std::current_exception());
    }
}

std::wstring Win32ProgramInfo::folder() const {
    const std::wstring path = modulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(0, slash);
}

std::wstring_view Win32ProgramInfo::pathSeparator() const {
    return L"\\";
}

std::uint32_t Win32ProgramInfo::processId() const {
    return GetCurrentProcessId();
}

// The version resource of the program file: FILEVERSION major, minor, revision. Only
// the About box asks, so the version library is loaded then.
void Win32ProgramInfo::version(int& major, int& minor, int& revision) const {
    major = minor = revision = 0;
    using SizeProc = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoProc = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryProc = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    const auto infoSize = libraryFunction<SizeProc>(L"version.dll", "GetFileVersionInfoSizeW");
    const auto info = libraryFunction<InfoProc>(L"version.dll", "GetFileVersionInfoW");
    const auto query = libraryFunction<QueryProc>(L"version.dll", "VerQueryValueW");
    if (!infoSize || !info || !query) {
        return;
    }
    const std::wstring path = modulePath();
    DWORD ignored = 0;
    const DWORD size = infoSize(path.c_str(), &ignored);
    std::vector<char> data(size);
    void* block = nullptr;
    UINT length = 0;
    if (size == 0 || !info(path.c_str(), 0, size, data.data()) || !query(data.data(), L"\\", &block, &length) ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return;
    }
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block);
    major = HIWORD(fixed->dwFileVersionMS);
    minor = LOWORD(fixed->dwFileVersionMS);
    revision = HIWORD(fixed->dwFileVersionLS);
}

void Win32Platform::createAppWindow(std::wstring_view title, AppWindowEvents& events) {
    m_appWindow.reset();
    m_appWindow = std::make_unique<AppWindow>(*m_state, title, events);
    m_state->appTitle = std::wstring(title);
    m_state->appWindow = m_appWindow->hwnd();
}

std::unique_ptr<Form> Win32Platform::createForm(const FormDesign& design, FormEvents& events) {
    return std::make_unique<Win32Form>(m_state, design, events);
}

// The loop ends with the WM_QUIT that the last form's unload posts. The application
// window goes with it.
int Win32Platform::run() {
    const int code = m_state->forms->count() == 0 ? 0 : messageLoop();
    m_appWindow.reset();
    m_state->appWindow = nullptr;
    return code;
}

int Win32Platform::messageLoop() {
    MSG msg{};
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return -1;
        }
        if (filterMessage(*m_state, msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

float Win32Screen::twipsPerPixelX() const {
    return m_state->scale.x;
}

float Win32Screen::twipsPerPixelY() const {
    return m_state->scale.y;
}

Rect Win32Screen::workAreaNearest(const Rect& r) const {
    const RECT pixels = toPixelRect(r, m_state->scale);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromRect(&pixels, MONITOR_DEFAULTTONEAREST), &info)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return toTwipsRect(info.rcWork, m_state->scale);
}

}  // namespace plat::win32
