// The stand-in program itself: writes its command line to "<its own path>.ran"
// (see stand_in.h) and ends, so that a test can tell that it was started.
#include <windows.h>

#include <cwchar>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 1;
    }
    wcscat(path, L".ran");
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 2;
    }
    const wchar_t* commandLine = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, commandLine, static_cast<DWORD>(wcslen(commandLine) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
