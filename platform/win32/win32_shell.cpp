// Services of the shell and the window manager: notification-area icons, starting
// another program, finding and messaging other programs' windows, and waiting while
// the program's own messages are handled.
#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_form.h"

#include <shellapi.h>  // after <windows.h>, which it needs

#include <algorithm>
#include <climits>
#include <cstring>

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

// The bytes an ANSI program would hold: a character with no 8-bit form becomes the
// code page's default character, as it would in that program.
std::string ansiBytes(std::wstring_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX / 4)) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    }
    return out;
}

}  // namespace

// The record arrives as plain bytes; it is copied into a zeroed, properly aligned
// structure before the shell reads it. Its cbSize tells the shell which layout it is
// (the first-version size here); a size larger than the structure is refused, as the
// shell would read past it.
bool Win32Platform::notifyIcon(NotifyOp op, const std::vector<std::uint8_t>& record) {
    NOTIFYICONDATAA data{};
    if (record.size() < sizeof(data.cbSize)) {
        return false;
    }
    std::memcpy(&data, record.data(), std::min(record.size(), sizeof(data)));
    if (data.cbSize > sizeof(data)) {
        return false;
    }
    DWORD message = NIM_ADD;
    if (op == NotifyOp::Modify) {
        message = NIM_MODIFY;
    } else if (op == NotifyOp::Delete) {
        message = NIM_DELETE;
    }
    return Shell_NotifyIconA(message, &data) != FALSE;
}

// The process starts suspended so that it can be allowed to take the foreground
// before its first window appears: the launcher has just had the user's click, the
// new program has not, and Windows would otherwise open it behind other windows.
FileStatus Win32Platform::startProgram(std::wstring_view path) {
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

NativeHandle Win32Platform::findWindow(std::wstring_view windowClass, std::wstring_view title) const {
    const std::string ansiClass = ansiBytes(windowClass);
    const std::string ansiTitle = ansiBytes(title);
    return reinterpret_cast<NativeHandle>(
        FindWindowA(windowClass.empty() ? nullptr : ansiClass.c_str(), ansiTitle.c_str()));
}

bool Win32Platform::postMessage(NativeHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam) != FALSE;
}

bool Win32Platform::isWindow(NativeHandle window) const {
    return IsWindow(reinterpret_cast<HWND>(window)) != FALSE;
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
