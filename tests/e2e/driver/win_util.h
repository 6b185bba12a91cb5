// Small helpers of the test driver: text conversion, paths, bounded waits and the
// error type that turns any driver failure into a failed test.
#pragma once

#include <windows.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Every wait of the driver is bounded by one of these.
inline constexpr Millis kShortWait{3000};
inline constexpr Millis kWait{15000};
inline constexpr Millis kLongWait{60000};
// Wine's multi-line EDIT takes seconds per MiB of text: big pages need this.
inline constexpr Millis kHugeWait{300000};

// A driver step that could not be done; gtest reports it as a failure of the test.
class DriverError : public std::runtime_error {
public:
    explicit DriverError(const std::string& what) : std::runtime_error(what) {}
};

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);
// Message of GetLastError() (or `code`) for a DriverError.
std::string lastErrorText(DWORD code = GetLastError());
[[noreturn]] void fail(const std::string& what);

// A Unix path ("/tmp/x") as Wine sees it ("Z:\tmp\x"); other paths are unchanged.
std::wstring windowsPath(std::wstring_view path);
// Value of an environment variable, empty when unset.
std::wstring environment(const wchar_t* name);

// Polls `condition` every `step` until it holds or `timeout` passes.
template <class Condition>
bool waitUntil(Condition condition, Millis timeout, Millis step = Millis{5}) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(step);
    }
}

// Owns a kernel handle.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : m_handle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void reset() {
        if (m_handle) {
            CloseHandle(m_handle);
        }
        m_handle = nullptr;
    }

private:
    HANDLE m_handle = nullptr;
};

// Top-level windows of a process, visible or not.
std::vector<HWND> topLevelWindowsOf(DWORD processId);

}  // namespace e2e
