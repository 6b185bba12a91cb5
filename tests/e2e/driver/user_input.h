// Input as a user gives it: real keystrokes to the foreground window, a menu bar
// drop-down opened by its access key, and a selection in an editor.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "tests/e2e/driver/program_process.h"

namespace e2e {

// Makes `window` the foreground window; fails the test when it does not become so.
void bringToFront(HWND window);
// Presses the keys in order and releases them in reverse, as one chord
// ({VK_CONTROL, 'X'}), through the system's input queue: the program sees the
// modifier state, which posted key messages do not carry.
void pressKeys(HWND foreground, std::initializer_list<WORD> keys);

// Opens the menu bar drop-down whose access key is `key` (L'e' for "&Edit"), the
// way Alt+key does, and waits until it shows.
void openDropDown(const ProgramProcess& process, HWND window, wchar_t key);
// Closes any open menu of `window` and waits until none shows.
void closeMenus(const ProgramProcess& process, HWND window);
bool menuShown(const ProgramProcess& process);

// Waits until the thread of `window` handles messages again: a command it was
// running has ended (or shows a modal box). Fails the test after `timeout`.
void waitForIdle(HWND window, Millis timeout = kWait);

// Selects characters [from, to) of an editor (EM_SETSEL).
void selectText(HWND editor, int from, int to);

}  // namespace e2e
