// The programs of one test folder seen from outside: which processes run from it,
// their windows, and ending them so that no test leaves a process behind.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/win_util.h"

namespace launcher_e2e {

struct ProcessEntry {
    DWORD id = 0;
    std::wstring name;  // file name of the program, "notes.exe"
};

// Processes whose program file lies directly in `folder` (a Windows path).
std::vector<ProcessEntry> processesIn(const std::wstring& folder);
using e2e::topLevelWindowsOf;
// Ends every process of `folder` and waits (bounded) for each to be gone; false
// when one outlived the wait.
bool endProcessesIn(const std::wstring& folder);

}  // namespace launcher_e2e
