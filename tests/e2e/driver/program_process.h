// A run of a program under test: start it, find its windows, wait for its end,
// and make sure it never outlives the test.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/driver/win_util.h"

namespace e2e {

// Text of any window, as the window manager holds it (no message is sent, so it
// works across processes for captions and static controls, not for editors).
std::wstring windowText(HWND window);
std::wstring windowClass(HWND window);
// Every descendant window of `parent`.
std::vector<HWND> descendants(HWND parent);

class ProgramProcess {
public:
    // Starts `exe` in `workFolder` with `arguments` after its quoted path on the
    // command line; fails the test when it cannot be started.
    static ProgramProcess start(const std::wstring& exe, const std::wstring& workFolder,
                                const std::wstring& arguments = {});
    ProgramProcess(ProgramProcess&&) noexcept = default;
    ProgramProcess& operator=(ProgramProcess&&) = delete;
    ~ProgramProcess();

    DWORD id() const { return m_id; }
    HANDLE handle() const { return m_process.get(); }
    bool running() const;
    // True when the process ended within `timeout`.
    bool waitForExit(Millis timeout) const;
    DWORD exitCode() const;
    void terminate();

    // Top-level windows of the process, visible or not.
    std::vector<HWND> topLevelWindows() const;
    // Polls until a top-level window satisfies `match`; fails the test after `timeout`.
    HWND waitForWindow(const std::function<bool(HWND)>& match, Millis timeout, const std::string& what) const;
    HWND findWindow(const std::function<bool(HWND)>& match) const;

private:
    ProgramProcess(Handle process, DWORD id) : m_process(std::move(process)), m_id(id) {}
    Handle m_process;
    DWORD m_id = 0;
};

}  // namespace e2e
