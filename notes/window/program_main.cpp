// The notes program's entry: start-up, then the window's events until it closes.
#include "notes/window/frm_main.h"

std::wstring_view ProgramTitle() {
    return kAppTitle;
}

int ProgramMain(plat::Platform& platform) {
    const std::unique_ptr<notes::NotesProgram> program = notes::Main(platform);
    return platform.run();
}
