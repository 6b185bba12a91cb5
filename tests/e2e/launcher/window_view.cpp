// Reading windows of other processes without sending them anything that a busy
// program could block on, except where an answer is needed (bounded then).
#include "tests/e2e/launcher/window_view.h"

#include "tests/e2e/driver/program_process.h"
#include "tests/e2e/launcher/process_view.h"

namespace launcher_e2e {
namespace {

constexpr UINT kAnswerMilliseconds = 3000;

bool sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* answer) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMilliseconds, answer) != 0;
}

}  // namespace

std::vector<HWND> windowsTitled(const std::wstring& title) {
    struct Search {
        const std::wstring* title;
        std::vector<HWND> found;
    } search{&title, {}};
    EnumWindows(
        [](HWND window, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            if (e2e::windowText(window) == *s->title) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND messageBoxOf(DWORD processId) {
    for (HWND window : topLevelWindowsOf(processId)) {
        if (IsWindowVisible(window) && e2e::windowClass(window) == L"#32770") {
            return window;
        }
    }
    return nullptr;
}

// Wine's message box always has its icon control, visible even without an icon;
// what tells is whether the control holds an icon.
bool messageBoxHasIcon(HWND box) {
    for (HWND child : e2e::descendants(box)) {
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (lstrcmpiW(e2e::windowClass(child).c_str(), L"Static") != 0 || (style & SS_TYPEMASK) != SS_ICON) {
            continue;
        }
        DWORD_PTR icon = 0;
        if (sendBounded(child, STM_GETICON, 0, 0, &icon) && icon != 0) {
            return true;
        }
    }
    return false;
}

bool typeInto(HWND window, int editorId, const std::wstring& text) {
    HWND editor = nullptr;
    for (HWND child : e2e::descendants(window)) {
        if (GetDlgCtrlID(child) == editorId && lstrcmpiW(e2e::windowClass(child).c_str(), L"Edit") == 0) {
            editor = child;
        }
    }
    if (!editor) {
        return false;
    }
    for (wchar_t c : text) {
        DWORD_PTR answer = 0;
        if (!sendBounded(editor, WM_CHAR, c, 1, &answer)) {
            return false;
        }
    }
    return true;
}

}  // namespace launcher_e2e
