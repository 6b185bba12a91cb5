// The entry point of a Win32 program: creates the platform and hands it to the
// program's start-up routine.
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        plat::win32::Win32Platform platform;
        return ProgramMain(platform);
    } catch (...) {
        return 1;  // nothing may unwind into the C runtime
    }
}
