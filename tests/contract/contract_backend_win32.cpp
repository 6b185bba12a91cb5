// The contract suite on the Win32 backend: its start, and its driver. The user's
// actions are the real messages the system would deliver (menu messages, keys
// through the message loop, WM_CLOSE, SetWindowPos), pumped with the platform's own
// wait(); other programs act through the real clipboard and files.
#include <windows.h>

#include <shellapi.h>  // after <windows.h>, which it needs

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <utility>
#include <vector>

#include "platform/services/screen.h"
#include "tests/contract/contract_backend.h"

namespace contract {
namespace {

// The platform that the backend's entry point made and handed to ProgramMain.
plat::Platform* s_platform = nullptr;

HWND hwndOf(const plat::Form& form) {
    return reinterpret_cast<HWND>(form.handle());
}

// A drop-down or entry of a menu: the menu that holds it and its position there.
using MenuStep = std::pair<HMENU, int>;

// The steps from the menu bar down to the entry with command `id`; empty when the
// menu holds no such entry (a hidden entry is not in it).
bool findEntry(HMENU menu, int id, std::vector<MenuStep>& path) {
    const int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        path.emplace_back(menu, pos);
        const HMENU sub = GetSubMenu(menu, pos);
        if (sub ? findEntry(sub, id, path) : GetMenuItemID(menu, pos) == static_cast<UINT>(id)) {
            return true;
        }
        path.pop_back();
    }
    return false;
}

bool greyed(const MenuStep& step) {
    return (GetMenuState(step.first, static_cast<UINT>(step.second), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) != 0;
}

class Win32Backend final : public ContractBackend {
public:
    explicit Win32Backend(plat::Platform& platform) : m_platform(platform) { dropQuit(); }
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    plat::Platform& platform() override { return m_platform; }
    bool isHeadless() const override { return false; }
    void settle() override;

    bool clickMenu(plat::Form& form, int id) override;
    void pressShortcut(plat::Form& form, plat::Shortcut key) override;
    void requestClose(plat::Form& form) override { SendMessageW(hwndOf(form), WM_CLOSE, 0, 0); }
    void resize(plat::Form& form, float width, float height) override;
    void pressEnter(plat::Form& form) override { postKey(form, VK_RETURN); }
    void pressEscape(plat::Form& form) override { postKey(form, VK_ESCAPE); }
    bool visible(const plat::Form& form) const override { return IsWindowVisible(hwndOf(form)) != FALSE; }

    void sendCommand(plat::Form& form, int id) override;
    void putClipboardText(std::wstring_view text) override;
    void emptyClipboard() override;
    void hideFile(const std::wstring& path) override;
    void holdOpen(const std::wstring& path) override;

private:
    void postKey(plat::Form& form, WORD key);
    // The last form's unload posts WM_QUIT for the event loop, which this suite
    // does not run; left in the queue it would cut every later wait() short.
    static void dropQuit();
    HWND otherProgramWindow();

    plat::Platform& m_platform;
    HWND m_other = nullptr;
    std::vector<HANDLE> m_held;
};

Win32Backend::~Win32Backend() {
    for (const HANDLE file : m_held) {
        CloseHandle(file);
    }
    if (m_other) {
        DestroyWindow(m_other);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + std::wstring(kSettingsApp)).c_str());
    dropQuit();
}

void Win32Backend::settle() {
    m_platform.wait(20);
    dropQuit();
}

void Win32Backend::dropQuit() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// As the system's menu loop: each drop-down on the way is opened (WM_INITMENUPOPUP,
// whose handler may change what it holds) and a greyed entry cannot be clicked.
bool Win32Backend::clickMenu(plat::Form& form, int id) {
    const HWND hwnd = hwndOf(form);
    const HMENU bar = GetMenu(hwnd);
    std::vector<MenuStep> path;
    if (!bar || !findEntry(bar, id, path)) {
        return false;
    }
    SendMessageW(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    for (const MenuStep& step : path) {
        if (greyed(step)) {
            return false;
        }
        if (const HMENU sub = GetSubMenu(step.first, step.second)) {
            SendMessageW(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(step.second, FALSE));
        }
    }
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return true;
}

// The key goes through the message loop, where the backend runs its accelerators;
// Ctrl is down in this thread's key state meanwhile, as the accelerators ask it.
void Win32Backend::pressShortcut(plat::Form& form, plat::Shortcut key) {
    BYTE saved[256]{};
    GetKeyboardState(saved);
    BYTE down[256]{};
    std::copy(std::begin(saved), std::end(saved), std::begin(down));
    down[VK_CONTROL] = down[VK_LCONTROL] = 0x80;
    SetKeyboardState(down);
    const WORD vk = key.key == plat::Shortcut::Key::F ? static_cast<WORD>(VK_F1 + key.function - 1)
                                                      : static_cast<WORD>(towupper(key.letter));
    PostMessageW(hwndOf(form), WM_KEYDOWN, vk, 1);
    settle();
    SetKeyboardState(saved);
}

void Win32Backend::resize(plat::Form& form, float width, float height) {
    const plat::Rect now = form.bounds();
    const float x = m_platform.screen().twipsPerPixelX();
    const float y = m_platform.screen().twipsPerPixelY();
    SetWindowPos(hwndOf(form), nullptr, static_cast<int>(now.left / x), static_cast<int>(now.top / y),
                 static_cast<int>(width / x), static_cast<int>(height / y), SWP_NOZORDER | SWP_NOACTIVATE);
    settle();
}

void Win32Backend::postKey(plat::Form& form, WORD key) {
    PostMessageW(hwndOf(form), WM_KEYDOWN, key, 1);
    settle();
}

// A command as a menu would post it, without any drop-down opened first.
void Win32Backend::sendCommand(plat::Form& form, int id) {
    PostMessageW(hwndOf(form), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    settle();
}

// SetClipboardData needs an owner window: a message-only one stands for the other program.
HWND Win32Backend::otherProgramWindow() {
    if (!m_other) {
        m_other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    return m_other;
}

void Win32Backend::putClipboardText(std::wstring_view text) {
    if (!OpenClipboard(otherProgramWindow())) {
        ADD_FAILURE() << "the other program cannot open the clipboard";
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (auto* target = block ? static_cast<wchar_t*>(GlobalLock(block)) : nullptr) {
        std::copy(text.begin(), text.end(), target);
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
    }
    CloseClipboard();
}

void Win32Backend::emptyClipboard() {
    if (OpenClipboard(otherProgramWindow())) {
        EmptyClipboard();
        CloseClipboard();
    }
}

void Win32Backend::hideFile(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
}

void Win32Backend::holdOpen(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "the other program cannot open the file";
        return;
    }
    m_held.push_back(file);
}

}  // namespace

std::unique_ptr<ContractBackend> makeContractBackend(const std::wstring&) {
    return std::make_unique<Win32Backend>(*s_platform);
}

}  // namespace contract

// The backend's entry point makes the platform and calls this, as it does for the
// real programs; the cases then run in this process on that platform, and the exit
// code is their result.
int ProgramMain(plat::Platform& platform) {
    contract::s_platform = &platform;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv) {
        ::testing::InitGoogleTest(&argc, argv);
    } else {
        ::testing::InitGoogleTest();
    }
    const int result = RUN_ALL_TESTS();
    LocalFree(argv);
    return result;
}
