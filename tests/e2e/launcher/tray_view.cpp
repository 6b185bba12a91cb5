// Wine's notification area under an X server without a system tray of its own
// (a bare Xvfb): Wine's explorer shows a top-level window of class
// "__winex11_standalone_tray", titled "Wine System Tray", at the top left of the
// screen. Each icon is a visible child of class "__winex11_tray_icon", about 20 px
// square, laid out left to right in the order the icons were added. The window's
// X width does not count icons (it keeps a minimum width), and with no icon left
// the window is hidden or gone; so icons are counted as those child windows. The
// "Shell_TrayWnd" window of the same explorer is a hidden, empty stand-in.
#include "tests/e2e/launcher/tray_view.h"

#include <shellapi.h>

#include <algorithm>

#include "tests/e2e/driver/program_process.h"

namespace launcher_e2e {
namespace {

constexpr wchar_t kTrayClass[] = L"__winex11_standalone_tray";
constexpr wchar_t kIconClass[] = L"__winex11_tray_icon";
constexpr wchar_t kMenuClass[] = L"#32768";

std::vector<HWND> visibleTopLevel(const wchar_t* className) {
    std::vector<HWND> found;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr) {
        if (IsWindowVisible(window)) {
            found.push_back(window);
        }
    }
    return found;
}

}  // namespace

std::vector<RECT> trayIcons() {
    std::vector<RECT> icons;
    for (HWND tray : visibleTopLevel(kTrayClass)) {
        for (HWND child : e2e::descendants(tray)) {
            if (IsWindowVisible(child) && e2e::windowClass(child) == kIconClass) {
                RECT r{};
                GetWindowRect(child, &r);
                icons.push_back(r);
            }
        }
    }
    std::sort(icons.begin(), icons.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
    return icons;
}

HWND popupMenuOf(DWORD processId) {
    for (HWND menu : visibleTopLevel(kMenuClass)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(menu, &owner);
        if (processId == 0 || owner == processId) {
            return menu;
        }
    }
    return nullptr;
}

bool broadcastTaskbarCreated() {
    const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    if (message == 0) {
        return false;
    }
    DWORD_PTR answer = 0;
    // A hung window must not hold the test: each window gets two seconds.
    return SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 2000, &answer) != 0;
}

bool dropIcon(HWND callbackWindow, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = callbackWindow;
    data.uID = id;
    return Shell_NotifyIconW(NIM_DELETE, &data) != 0;
}

}  // namespace launcher_e2e
