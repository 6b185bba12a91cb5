// The help engine. The program ships no help file; asking for help still goes to
// the system's engine, which reports the missing file to the user itself.
#include "platform/win32/win32_platform.h"

#include <climits>

namespace plat::win32 {
namespace {

using WinHelpFunction = BOOL(WINAPI*)(HWND, LPCSTR, UINT, ULONG_PTR);

// Looked up at run time: newer systems no longer have the engine, and the program
// must still start there.
WinHelpFunction findHelpEngine() {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const FARPROC proc = user32 ? GetProcAddress(user32, "WinHelpA") : nullptr;
    // Through the generic function pointer type, which GCC allows to be cast to any other.
    return reinterpret_cast<WinHelpFunction>(reinterpret_cast<void (*)()>(proc));
}

// The path as an 8-bit program would pass it; a character with no 8-bit form
// becomes the code page's default character.
std::string ansiPath(std::wstring_view path) {
    if (path.empty() || path.size() > static_cast<std::size_t>(INT_MAX / 4)) {
        return {};
    }
    const int length = static_cast<int>(path.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, path.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, path.data(), length, out.data(), size, nullptr, nullptr);
    }
    return out;
}

}  // namespace

std::wstring Win32Platform::helpFile() const {
    return {};
}

FileStatus Win32Platform::showHelp(NativeHandle owner, std::wstring_view helpFile, std::uint32_t command) {
    const WinHelpFunction winHelp = findHelpEngine();
    if (!winHelp) {
        return FileStatus{false, L"The help engine is not available on this system."};
    }
    const std::string path = ansiPath(helpFile);
    // The data of the command: the address of an empty 16-bit value, alive for the call.
    const std::uint16_t none = 0;
    winHelp(reinterpret_cast<HWND>(owner), path.c_str(), command, reinterpret_cast<ULONG_PTR>(&none));
    return {};
}

}  // namespace plat::win32
