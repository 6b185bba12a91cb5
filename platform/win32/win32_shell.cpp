// Services of the shell and the window manager: notification-area icons, starting
// another program, finding other programs' windows and asking them to close; and
// waiting while the program's own messages are handled.
#include "platform/win32/win32_services.h"

#include <shellapi.h>  // after <windows.h>, which it needs

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/win32/win32_form.h"

namespace plat::win32 {
namespace {

// The folder a program runs in: its own. "C:" alone would mean the drive's current
// folder, hence the separator kept after a drive letter.
std::wstring programFolder(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        return {};
    }
    const std::wstring folder = path.substr(0, slash);
    return folder.empty() || folder.back() == L':' ? path.substr(0, slash + 1) : folder;
}

// The record's layout is built byte by byte in platform/notify_record.cpp; the
// system's structure must agree with it for this build's pointer width.
constexpr NotifyLayout kLayout = notifyLayout(sizeof(void*));
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == kLayout.window);
static_assert(offsetof(NOTIFYICONDATAA, uID) == kLayout.id);
static_assert(offsetof(NOTIFYICONDATAA, uFlags) == kLayout.flags);
static_assert(offsetof(NOTIFYICONDATAA, uCallbackMessage) == kLayout.callbackMessage);
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == kLayout.icon);
static_assert(offsetof(NOTIFYICONDATAA, szTip) == kLayout.tip);
static_assert(NOTIFYICONDATAA_V1_SIZE == kLayout.size && sizeof(NOTIFYICONDATAA) >= kLayout.size);

}  // namespace

// The record's bytes go into a zeroed, properly aligned structure. Their cbSize
// tells the shell which layout it is: the first-version size.
bool Win32Shell::notifyIcon(NotifyOp op, const NotifyRecord& record) {
    const std::vector<std::uint8_t> bytes = encodeNotifyRecord(record, sizeof(void*));
    NOTIFYICONDATAA data{};
    std::memcpy(&data, bytes.data(), bytes.size());
    DWORD message = NIM_ADD;
    if (op == NotifyOp::Modify) {
        message = NIM_MODIFY;
    } else if (op == NotifyOp::Delete) {
        message = NIM_DELETE;
    }
    using NotifyIconProc = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
    static const auto notify = libraryFunction<NotifyIconProc>(L"shell32.dll", "Shell_NotifyIconA");
    return notify != nullptr && notify(message, &data) != FALSE;
}

// The process starts suspended so that it can be allowed to take the foreground
// before its first window appears: the launcher has just had the user's click, the
// new program has not, and Windows would otherwise open it behind other windows.
FileStatus Win32Shell::startProgram(std::wstring_view path) {
    const std::wstring program(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    const std::wstring folder = programFolder(program);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        return failure(GetLastError());
    }
    AllowSetForegroundWindow(process.dwProcessId);
    FileStatus status;
    if (ResumeThread(process.hThread) == static_cast<DWORD>(-1)) {
        status = failure(GetLastError());
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

NativeHandle Win32Shell::findWindow(std::wstring_view windowClass, std::wstring_view title) const {
    const std::string ansiClass = lossyAnsi(windowClass);
    const std::string ansiTitle = lossyAnsi(title);
    return reinterpret_cast<NativeHandle>(
        FindWindowA(windowClass.empty() ? nullptr : ansiClass.c_str(), ansiTitle.c_str()));
}

// WM_CLOSE with both parameters 1, as the notes program has always been asked; it
// takes any WM_CLOSE as the request.
bool Win32Shell::requestClose(NativeHandle window) {
    return PostMessageA(reinterpret_cast<HWND>(window), WM_CLOSE, 1, 1) != FALSE;
}

// A process that cannot be opened for lack of rights is running; any other failure
// means there is no such process.
bool Win32Shell::isProcessRunning(std::uint32_t processId) const {
    if (processId == GetCurrentProcessId()) {
        return true;
    }
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

// The program stays responsive while it waits (a retry loop at start-up, for one).
// A WM_QUIT ends the wait early and is posted again so that the event loop sees it.
void Win32Platform::wait(int milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(milliseconds, 0));
    while (dispatchPending()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

bool Win32Platform::dispatchPending() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (filterMessage(*m_state, msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace plat::win32
