// The test side of the probe agent: loads the agent into the program under test
// and asks it for menus and editor texts, which Wine only gives in-process.
#pragma once

#include <windows.h>

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

class ProbeClient {
public:
    ProbeClient(HANDLE process, DWORD processId);
    MenuBar menuBar(HWND window);
    std::wstring text(HWND window);
    void setText(HWND window, std::wstring_view text);
    void replaceSelection(HWND window, std::wstring_view text);
    // The standard icon a static control shows: IDI_* number, 0 for none, 1 for another.
    int standardIcon(HWND window);

private:
    struct Reply {
        probe::Header header;
        std::string payload;
    };
    Reply call(probe::Op op, HWND window, std::string_view payload, size_t capacity);
    void inject();
    HANDLE m_process;
    DWORD m_processId;
    ULONG_PTR m_remoteServe = 0;
    unsigned long long m_request = 0;
};

}  // namespace e2e
