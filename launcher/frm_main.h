// The launcher's hidden form: the icon's callback window `picHook`, the pop-up menu
// "Open", "Close", "Exit", and the icon's life in the notification area.
#pragma once

#include <cstdint>
#include <memory>

#include "assets/resource_ids.h"
#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/services/shell.h"

namespace launcher {

// The notes program's file, beside the launcher's own.
#ifdef _WIN32
inline constexpr wchar_t kNotesProgram[] = L"notes.exe";
#else
inline constexpr wchar_t kNotesProgram[] = L"quibbets-notes";
#endif

enum MenuId : int {
    mnuPop = 100,
    mnuPopOpen,
    mnuPopClose,
    mnuExit,
};

// Mouse messages reported for the icon.
enum MouseCode : int {
    kLeftButtonDown = plat::kNotifyLeftButtonDown,
    kLeftDoubleClick = plat::kNotifyLeftDoubleClick,
    kRightButtonUp = plat::kNotifyRightButtonUp,
};

class FrmMain : public plat::FormEvents {
public:
    explicit FrmMain(plat::Platform& platform);
    ~FrmMain() override;
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    plat::Form& form() { return *m_form; }

    void picHook_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void mnuPopOpen_Click();
    void mnuPopClose_Click();
    void mnuExit_Click(std::int16_t index);
    void Form_Unload(std::int16_t& cancel);

    // Puts the icon into the notification area, trying again for a while when the
    // shell is not ready; false when it never took it.
    bool addIcon(int attempts, int pauseMilliseconds);

    // plat::FormEvents
    void onUnload(std::int16_t& cancel) override { Form_Unload(cancel); }
    void onMenuClick(int id) override;
    void onCloseRequest(plat::CloseReason reason) override;
    void onPictureMouseMove(int button, int shift, float x, float y) override;
    void onTaskbarCreated() override;
    void onSessionEnd() override;

private:
    bool sendIcon(plat::NotifyOp op);
    void message(const std::wstring& text, plat::MsgIcon icon);

    plat::Platform& m_platform;
    std::unique_ptr<plat::Form> m_form;
    bool m_busy = false;
};

// The launcher after start-up; null when the icon could not be added (the user has
// been told, and the launcher ends).
struct LauncherProgram {
    std::unique_ptr<FrmMain> form;
};
std::unique_ptr<LauncherProgram> Main(plat::Platform& platform);

}  // namespace launcher
