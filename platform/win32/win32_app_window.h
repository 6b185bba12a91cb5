// The hidden application window: a real top-level window titled with the
// application title, never shown, by which the launcher finds a running program.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/platform.h"

namespace plat::win32 {

struct PlatformState;

class AppWindow {
public:
    AppWindow(const PlatformState& state, std::wstring_view title, AppWindowEvents& events);
    ~AppWindow();
    AppWindow(const AppWindow&) = delete;
    AppWindow& operator=(const AppWindow&) = delete;

    static void registerClass(HINSTANCE instance);
    HWND hwnd() const { return m_hwnd; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    const PlatformState& m_state;
    AppWindowEvents& m_events;
    HWND m_hwnd = nullptr;
};

}  // namespace plat::win32
