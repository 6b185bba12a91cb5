// The launcher's form: decoding the icon's mouse notifications, the tray menu, and
// starting and closing the notes program.
#include "launcher/frm_main.h"

#include "assets/resource_ids.h"
#include "launcher/notify_record.h"
#include "platform/services/program_info.h"
#include "platform/services/screen.h"

namespace launcher {
namespace {

constexpr wchar_t kCloseFailed[] = L"Error!  Please close the program manually.";
constexpr wchar_t kOpenFailed[] = L"The notes program could not be started.\r\n\r\n";

plat::FormDesign launcherForm() {
    plat::FormDesign design;
    design.clientWidth = 3525;
    design.clientHeight = 1950;
    design.iconResource = kIconResource;
    design.pictureBox = {120, 240, 1215, 1095};
    plat::MenuItem pop{mnuPop, L"PopupMenu", {}, true, false, {}, {}};
    pop.items = {{mnuPopOpen, L"Open", {}, true, true, {}, {}},
                 {mnuPopClose, L"Close", {}, true, true, {}, {}},
                 {mnuExit, L"Exit", {}, true, true, {}, {}}};
    design.menuBar = {pop};
    return design;
}

}  // namespace

FrmMain::FrmMain(plat::Platform& platform) : m_platform(platform) {
    m_form = m_platform.createForm(launcherForm(), *this);
}

FrmMain::~FrmMain() = default;

// The shell sends the icon's mouse message as the low word of a mouse-move
// position, which arrives here as x in twips: x divided back is the message.
void FrmMain::picHook_MouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
    (void)button, (void)shift, (void)y;
    const auto code = static_cast<std::int32_t>(std::nearbyint(x / m_platform.screen().twipsPerPixelX()));
    if (m_busy) {
        return;  // a menu is open or an Open runs: drop, do not queue
    }
    m_busy = true;
    if (code == kLeftDoubleClick) {
        mnuPopOpen_Click();
    } else if (code == kRightButtonUp) {
        m_form->popupMenu(mnuPop);
    }
    m_busy = false;
}

void FrmMain::mnuPopOpen_Click() {
    const plat::Command command(m_platform, L"The notes program could not be started");
    const std::wstring path =
        m_platform.program().folder() + std::wstring(m_platform.program().pathSeparator()) + kNotesProgram;
    const plat::FileStatus status = m_platform.shell().startProgram(path);
    if (!status.ok) {
        message(kOpenFailed + path + L"\r\n\r\n" + status.error, plat::MsgIcon::Exclamation);
    }
}

// The request goes to the notes program's application window, which carries the
// same title as the program's message boxes: found by its class too, it is never a
// box that would take the request for a click on its close button.
void FrmMain::mnuPopClose_Click() {
    const plat::Command command(m_platform, L"The notes program could not be asked to close");
    const plat::NativeHandle window = m_platform.shell().findWindow(plat::appWindowClass(kAppTitle), kAppTitle);
    // A request once delivered has done its part: a program that closes at once, before
    // it could be looked at again, is no failure.
    if (window == 0 || !m_platform.shell().requestClose(window)) {
        message(kCloseFailed, plat::MsgIcon::None);
    }
}

void FrmMain::mnuExit_Click(std::int16_t index) {
    (void)index;
    m_form->unload();
}

void FrmMain::Form_Unload(std::int16_t& cancel) {
    (void)cancel;
    sendIcon(plat::NotifyOp::Delete);
}

bool FrmMain::addIcon(int attempts, int pauseMilliseconds) {
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (sendIcon(plat::NotifyOp::Add)) {
            return true;
        }
        if (attempt < attempts) {
            m_platform.wait(pauseMilliseconds);
        }
    }
    return false;
}

// A fresh record for every call: the add record carries message, icon and tip;
// the delete record only names the icon.
bool FrmMain::sendIcon(plat::NotifyOp op) {
    plat::NotifyRecord record;
    record.window = m_form->pictureHandle();
    record.id = kIconId;
    if (op == plat::NotifyOp::Add) {
        record.tip = tipField(m_platform, kAppTitle);
        record.callbackMessage = kCallbackMessage;
        record.icon = m_form->iconHandle();
        record.flags = kNotifyFlags;
    }
    return m_platform.shell().notifyIcon(op, record);
}

void FrmMain::message(const std::wstring& text, plat::MsgIcon icon) {
    m_platform.inform(text, kAppTitle, icon);
}

void FrmMain::onMenuClick(int id) {
    switch (id) {
        case mnuPopOpen: mnuPopOpen_Click(); break;
        case mnuPopClose: mnuPopClose_Click(); break;
        case mnuExit: mnuExit_Click(0); break;
        default: break;
    }
}

void FrmMain::onCloseRequest(plat::CloseReason reason) {
    (void)reason;
    m_form->unload();
}

// At logoff the icon goes as it does on Exit, so that no dead icon is left behind.
void FrmMain::onSessionEnd() {
    m_form->unload();
}

void FrmMain::onPictureMouseMove(int button, int shift, float x, float y) {
    picHook_MouseMove(static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), x, y);
}

// After the shell restarts its notification area is empty: add the icon again. If
// the icon is still there the shell refuses the add, and there is still one icon.
void FrmMain::onTaskbarCreated() {
    sendIcon(plat::NotifyOp::Add);
}

}  // namespace launcher
