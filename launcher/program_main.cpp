// The launcher's entry: start-up, then the event loop until "Exit".
#include "launcher/frm_main.h"

std::wstring_view ProgramTitle() {
    return kAppTitle;
}

int ProgramMain(plat::Platform& platform) {
    const std::unique_ptr<launcher::LauncherProgram> program = launcher::Main(platform);
    return program ? platform.run() : 1;
}
