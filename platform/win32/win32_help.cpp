// The help engine. The program ships no help file; asking for help still goes to
// the system's engine, which reports the missing file to the user itself.
#include "platform/win32/win32_services.h"

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

UINT engineCommand(HelpCommand command) {
    return command == HelpCommand::Search ? HELP_PARTIALKEY : HELP_CONTENTS;
}

}  // namespace

std::wstring Win32Help::file() const {
    return {};
}

FileStatus Win32Help::show(NativeHandle owner, std::wstring_view helpFile, HelpCommand command) {
    const WinHelpFunction winHelp = findHelpEngine();
    if (!winHelp) {
        return FileStatus{false, L"The help engine is not available on this system."};
    }
    const std::string path = lossyAnsi(helpFile);
    // The data of the command: the address of an empty 16-bit value, alive for the call.
    const std::uint16_t none = 0;
    winHelp(reinterpret_cast<HWND>(owner), path.c_str(), engineCommand(command), reinterpret_cast<ULONG_PTR>(&none));
    return {};
}

}  // namespace plat::win32
