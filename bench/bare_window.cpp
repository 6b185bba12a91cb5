// The yardstick of the benchmarks: the least a window like the notes window needs
// (one top-level window, a menu bar with one menu, one multi-line word-wrapped
// editor in the editors' font, the same outer size, the same manifest) and nothing
// else. A page1.txt beside the program goes into the editor at start, as notes.exe
// loads its pages; on request (bare_window_protocol.h) it sets a text of N bytes.
#include <windows.h>

#include <string>

#include "bench/bare_window_protocol.h"
#include "bench/bench_stats.h"

namespace {

constexpr wchar_t kClassName[] = L"QuibbetsBareWindow";
constexpr int kExitId = 100;
// Outer rectangle of the notes window at first start: 33, 33, 257 x 257 pixels.
constexpr int kLeft = 33;
constexpr int kTop = 33;
constexpr int kSize = 257;
// As the notes editors: no WS_HSCROLL and no ES_AUTOHSCROLL, so long lines wrap.
constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;

struct BareWindow {
    HWND edit = nullptr;
    HFONT font = nullptr;
    std::wstring prepared;  // the text kBareSetText puts into the editor
};

// The system's message font, as the notes editors use; DEFAULT_GUI_FONT otherwise.
HFONT editorFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        if (HFONT font = CreateFontIndirectW(&metrics.lfMessageFont)) {
            return font;
        }
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HMENU buildMenuBar() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kExitId, L"E&xit");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    return bar;
}

// The default limit of an EDIT control (about 30,000 characters) would cut a big
// page: 0 lifts it, as notes.exe does.
void createEditor(HWND window, BareWindow& bare) {
    bare.edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", kEditStyle, 0, 0, 0, 0, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(bench::kBareEditId)),
                                GetModuleHandleW(nullptr), nullptr);
    bare.font = editorFont();
    SendMessageW(bare.edit, EM_SETLIMITTEXT, 0, 0);
    SendMessageW(bare.edit, WM_SETFONT, reinterpret_cast<WPARAM>(bare.font), FALSE);
}

void layoutEditor(HWND window, const BareWindow& bare) {
    RECT client{};
    GetClientRect(window, &client);
    MoveWindow(bare.edit, 0, 0, client.right, client.bottom, TRUE);
}

// A page text as the bench writes page files, without the final line end (which a
// page file adds to its text).
void prepareText(BareWindow& bare, size_t bytes, int page) {
    std::string text = bench::pageFile(bytes, page);
    text.resize(text.size() - 2);
    bare.prepared.assign(text.begin(), text.end());
}

LRESULT handleMessage(HWND window, BareWindow& bare, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: layoutEditor(window, bare); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kExitId) {
                DestroyWindow(window);
            }
            return 0;
        case bench::kBarePrepareText: prepareText(bare, wParam, static_cast<int>(lParam)); return 0;
        case bench::kBareSetText: SetWindowTextW(bare.edit, bare.prepared.c_str()); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
    }
    auto* bare = reinterpret_cast<BareWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!bare) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_CREATE) {
        createEditor(window, *bare);
        layoutEditor(window, *bare);
        return 0;
    }
    return handleMessage(window, *bare, message, wParam, lParam);
}

std::wstring pageFilePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + bench::kBarePageFile;
}

// The page file's ANSI text, final line end dropped, into the editor.
void loadPage(const BareWindow& bare) {
    const HANDLE file = CreateFileW(pageFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    if (bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0) {
        bytes.resize(bytes.size() - 2);
    }
    std::wstring text(bytes.size(), L'\0');
    const int size = static_cast<int>(bytes.size());
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), size)));
    SetWindowTextW(bare.edit, text.c_str());
}

}  // namespace

// Shown first, then the page loaded: the order notes.exe starts in.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    BareWindow bare;
    HWND window = CreateWindowExW(0, kClassName, bench::kBareTitle, WS_OVERLAPPEDWINDOW, kLeft, kTop, kSize, kSize,
                                  nullptr, buildMenuBar(), instance, &bare);
    ShowWindow(window, show);
    UpdateWindow(window);
    loadPage(bare);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(bare.font);  // a stock font ignores it
    return 0;
}
