// Start-up of the launcher: a hidden form and one icon in the notification area.
#include "launcher/frm_main.h"

namespace launcher {
namespace {

// At logon the notification area may not be up yet: try for about half a minute.
constexpr int kAddAttempts = 30;
constexpr int kAddPauseMilliseconds = 1000;

constexpr wchar_t kNoIcon[] =
    L"Quibbets could not put its icon into the notification area, so there would be no way to reach it. "
    L"It ends now; start it again once the taskbar is running.";

}  // namespace

std::unique_ptr<LauncherProgram> Main(plat::Platform& platform) {
    platform.setFailureCaption(kAppTitle);
    auto program = std::make_unique<LauncherProgram>();
    program->form = std::make_unique<FrmMain>(platform);
    FrmMain& form = *program->form;
    form.form().load();
    if (!form.addIcon(kAddAttempts, kAddPauseMilliseconds)) {
        platform.inform(kNoIcon, kAppTitle, plat::MsgIcon::Critical);
        form.form().unload();
        return nullptr;
    }
    return program;
}

}  // namespace launcher
