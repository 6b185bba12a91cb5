// The notification area as a user meets it under Wine on a bare X server: the
// icons and where they are, the pop-up menus, and the shell's restart broadcast.
#pragma once

#include <windows.h>

#include <vector>

namespace launcher_e2e {

// Screen rectangles of the visible notification icons, left to right.
std::vector<RECT> trayIcons();
// A visible pop-up menu window of the process (any process for 0), null when none.
HWND popupMenuOf(DWORD processId);
// Sends the "TaskbarCreated" message to every top-level window, as a shell that
// has just started does; false when the broadcast could not be sent.
bool broadcastTaskbarCreated();
// Removes the icon `id` of `callbackWindow` from the notification area, as a shell
// that restarted has lost it; false when the shell refused.
bool dropIcon(HWND callbackWindow, UINT id);

}  // namespace launcher_e2e
