// launcher_e2e_tool.exe: the Win32 eyes and hands of launcher_e2e.sh. Each command
// does one look or one action inside the Wine session and prints plain lines for
// the script; commands named wait-* poll until their condition holds and exit 1
// when their time limit passes first. Usage: launcher_e2e_tool COMMAND ARGS...
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tests/e2e/launcher/tool_commands.h"

namespace launcher_e2e {
namespace {

std::vector<std::wstring> arguments() {
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; i < count; ++i) {
        args.emplace_back(list[i]);
    }
    LocalFree(list);
    return args;
}

void usage() {
    std::fputs(
        "usage: launcher_e2e_tool COMMAND ARGS...\n"
        "  icons | wait-icons N MS            notification icons: \"left top right bottom\" each\n"
        "  procs FOLDER [NAME] | wait-procs FOLDER NAME N MS | kill FOLDER\n"
        "  windows PID                        the process's windows\n"
        "  titled TITLE | wait-titled TITLE N MS\n"
        "  menu PID MS | wait-no-menu PID MS  pop-up menu of PID (0: any): \"pid left top right bottom\"\n"
        "  msgbox PID MS | wait-no-msgbox PID MS | press PID LABEL   message box of PID\n"
        "  type TITLE PAGE TEXT               type into the page of the window titled TITLE\n"
        "  taskbar-created | drop-icon PID | clear-settings | settings-empty\n",
        stderr);
}

}  // namespace
}  // namespace launcher_e2e

int main() {
    using namespace launcher_e2e;
    const std::vector<std::wstring> args = arguments();
    if (args.empty()) {
        usage();
        return 2;
    }
    // Plain "\n" line ends: the script reads the lines with Unix tools.
    _setmode(_fileno(stdout), _O_BINARY);
    try {
        const int status = runCommand(args.front(), {args.begin() + 1, args.end()});
        if (status == kUsage) {
            usage();
        }
        std::fflush(stdout);
        return status;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "launcher_e2e_tool: %s\n", error.what());
        return 2;
    }
}
