// Message boxes of the program under test: find them, read them, answer them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/program_process.h"

namespace e2e {

struct DialogButton {
    int id = 0;  // IDOK, IDYES, ...
    std::wstring caption;
};

struct MessageBoxView {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    std::vector<DialogButton> buttons;
    int defaultButton = 0;       // id of the default button, 0 when none
    HWND iconControl = nullptr;  // the static control that shows the icon, if any

    // Button captions without '&', in window order ("Yes", "No").
    std::vector<std::wstring> buttonCaptions() const;
    // Presses the button whose caption without '&' is `label`; fails the test when absent.
    void press(const std::wstring& label) const;
};

// The visible dialog windows (class "#32770") of the process.
std::vector<HWND> dialogWindows(const ProgramProcess& process);
MessageBoxView readMessageBox(HWND dialog);
// Waits for a dialog of the process and reads it; fails the test after `timeout`.
MessageBoxView waitForMessageBox(const ProgramProcess& process, Millis timeout = kWait);

}  // namespace e2e
