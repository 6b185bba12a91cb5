// Starting, watching and ending the program under test.
#include "tests/e2e/driver/program_process.h"

namespace e2e {

std::wstring windowText(HWND window) {
    wchar_t buffer[4096] = {};
    // InternalGetWindowText reads the stored text without sending WM_GETTEXT, so a
    // busy or hung program cannot block the test here.
    InternalGetWindowText(window, buffer, 4096);
    return buffer;
}

std::wstring windowClass(HWND window) {
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return buffer;
}

std::vector<HWND> descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

ProgramProcess ProgramProcess::start(const std::wstring& exe, const std::wstring& workFolder,
                                     const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workFolder.c_str(),
                        &startup, &info)) {
        fail("cannot start " + toUtf8(exe) + ": " + lastErrorText());
    }
    CloseHandle(info.hThread);
    return ProgramProcess(Handle(info.hProcess), info.dwProcessId);
}

ProgramProcess::~ProgramProcess() {
    if (m_process && running()) {
        terminate();
    }
}

bool ProgramProcess::running() const {
    return WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

bool ProgramProcess::waitForExit(Millis timeout) const {
    return WaitForSingleObject(m_process.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD ProgramProcess::exitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(m_process.get(), &code);
    return code;
}

void ProgramProcess::terminate() {
    TerminateProcess(m_process.get(), 99);
    waitForExit(kWait);
}

std::vector<HWND> ProgramProcess::topLevelWindows() const {
    return topLevelWindowsOf(m_id);
}

HWND ProgramProcess::findWindow(const std::function<bool(HWND)>& match) const {
    for (HWND window : topLevelWindows()) {
        if (match(window)) {
            return window;
        }
    }
    return nullptr;
}

HWND ProgramProcess::waitForWindow(const std::function<bool(HWND)>& match, Millis timeout,
                                   const std::string& what) const {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(match)) != nullptr || !running(); }, timeout);
    if (!found) {
        fail(running() ? "timed out waiting for " + what
                       : "the program ended (exit code " + std::to_string(exitCode()) + ") while waiting for " + what);
    }
    return found;
}

}  // namespace e2e
