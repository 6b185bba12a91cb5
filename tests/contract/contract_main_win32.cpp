// The contract suite's start on Windows: the Win32 backend's entry point makes the
// platform and calls this, as it does for the real programs. The cases then run in
// this process on that platform; the exit code is the result.
#include <windows.h>

#include <shellapi.h>  // after <windows.h>, which it needs

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace contract {
extern plat::Platform* g_win32Platform;
}

int ProgramMain(plat::Platform& platform) {
    contract::g_win32Platform = &platform;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    LocalFree(argv);
    return result;
}
