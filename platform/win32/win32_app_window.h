// The hidden application window: a real top-level window titled with the
// application title, never shown, by which the launcher finds a running program.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/platform.h"
#include "platform/win32/win32_window.h"

namespace plat::win32 {

struct PlatformState;

class AppWindow final : public Win32Window {
public:
    AppWindow(const PlatformState& state, std::wstring_view title, AppWindowEvents& events);

private:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    AppWindowEvents& m_events;
};

}  // namespace plat::win32
