// The yardstick for the start-up benchmark: the least a window like the notes
// window needs (one top-level window, a menu bar with one menu, one multi-line
// editor, the same outer size) and nothing else.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"QuibbetsBareWindow";
constexpr wchar_t kTitle[] = L"Bare Window";
constexpr int kExitId = 100;
constexpr int kEditId = 1000;
// Outer rectangle of the notes window at first start: 33, 33, 257 x 257 pixels.
constexpr int kLeft = 33;
constexpr int kTop = 33;
constexpr int kSize = 257;

HMENU buildMenuBar() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kExitId, L"E&xit");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    return bar;
}

void layoutEditor(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MoveWindow(GetDlgItem(window, kEditId), 0, 0, client.right, client.bottom, TRUE);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 0, 0,
                            0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
                            GetModuleHandleW(nullptr), nullptr);
            layoutEditor(window);
            return 0;
        case WM_SIZE: layoutEditor(window); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kExitId) {
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, kLeft, kTop, kSize, kSize, nullptr,
                                  buildMenuBar(), instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
