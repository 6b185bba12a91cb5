// Windows of the programs under test read from outside: by title, the message
// boxes of a process (with whether they show an icon), and typing into a page.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/message_box.h"

namespace launcher_e2e {

// Top-level windows whose title is exactly `title`, visible or not.
std::vector<HWND> windowsTitled(const std::wstring& title);
// A visible message box (dialog class "#32770") of the process, null when none.
HWND messageBoxOf(DWORD processId);
// True when the box shows an icon (a static icon control holding one).
bool messageBoxHasIcon(HWND box);
// Types `text` into the editor with control id `editorId` of `window`, one WM_CHAR
// at a time, as keystrokes arrive; false when the editor is missing or hangs.
bool typeInto(HWND window, int editorId, const std::wstring& text);

}  // namespace launcher_e2e
