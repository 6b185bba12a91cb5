// The test side of the probe agent: hooks the agent into the program under test
// and asks it for menus and editor texts, which Wine only gives in-process.
// Requests are posted messages served by the program's own UI thread; none starts
// a thread in the program, and every request has a time limit.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/driver/win_util.h"
#include "tests/e2e/probe/probe_protocol.h"

namespace e2e {

// Path of the agent DLL: QUIBBETS_E2E_PROBE, or the one built beside the tests.
std::wstring probeDllPath();

// One menu entry as read in the program's own process.
struct MenuItem {
    std::wstring caption;   // text before the tab, with its '&'
    std::wstring shortcut;  // text after the tab
    UINT id = 0;
    UINT state = 0;
    UINT type = 0;
    bool hasSubmenu = false;
    std::vector<MenuItem> items;

    bool separator() const { return (type & MFT_SEPARATOR) != 0; }
    bool enabled() const { return (state & MFS_DISABLED) == 0; }
};

struct MenuBar {
    std::vector<MenuItem> items;
    // The entry at a caption path ({L"&File", L"&Save"}), null when absent.
    const MenuItem* find(std::initializer_list<std::wstring_view> path) const;
    // As find, but fails the test when the entry is absent.
    const MenuItem& at(std::initializer_list<std::wstring_view> path) const;
};

// Default time limit of one probe request: the program serves it when its UI
// thread next fetches its messages, and the slowest legitimate wait is the
// program laying out a 16 MiB text (about 45 s under Wine) or the agent setting one.
inline constexpr Millis kProbeWait = kHugeWait;

class ProbeClient {
public:
    ProbeClient(HANDLE process, DWORD processId);
    ~ProbeClient();
    ProbeClient(const ProbeClient&) = delete;
    ProbeClient& operator=(const ProbeClient&) = delete;

    // Each request fails the test when the program has not served it within
    // `limit` (it did not fetch its messages: busy or hung) or has ended.
    MenuBar menuBar(HWND window, Millis limit = kProbeWait);
    std::wstring text(HWND window, Millis limit = kProbeWait);
    void setText(HWND window, std::wstring_view text, Millis limit = kProbeWait);
    void replaceSelection(HWND window, std::wstring_view text, Millis limit = kProbeWait);
    // The standard icon a static control shows: IDI_* number, 0 for none, 1 for another.
    int standardIcon(HWND window, Millis limit = kProbeWait);
    // The height in pixels of the font `window` draws its text with.
    int fontHeight(HWND window, Millis limit = kProbeWait);
    // Tells `window` it is now on a screen of `dpi`, suggesting `suggested`.
    void dpiChanged(HWND window, int dpi, const RECT& suggested, Millis limit = kProbeWait);

private:
    struct Reply {
        probe::Header header;
        std::string payload;
    };
    // Posts one request to the UI thread of `window` and waits for its answer.
    Reply call(probe::Op op, HWND window, std::string_view payload, size_t capacity, Millis limit);
    // Installs the agent's hook on `thread` once (the program loads the agent
    // when the hook is first called there).
    void hook(DWORD thread);
    HANDLE m_process;
    DWORD m_processId;
    HMODULE m_agent = nullptr;
    HOOKPROC m_hookProc = nullptr;
    UINT m_requestMessage = 0;
    std::map<DWORD, HHOOK> m_hooks;
};

}  // namespace e2e
