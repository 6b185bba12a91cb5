// Message boxes: MessageBoxW with the request's buttons, icon and default button.
#include "platform/win32/win32_platform.h"

namespace plat::win32 {
namespace {

UINT buttonFlags(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok: return MB_OK;
        case MsgButtons::OkCancel: return MB_OKCANCEL;
        case MsgButtons::YesNo: return MB_YESNO;
        case MsgButtons::YesNoCancel: return MB_YESNOCANCEL;
    }
    return MB_OK;
}

UINT iconFlags(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::None: return 0;
        case MsgIcon::Information: return MB_ICONINFORMATION;
        case MsgIcon::Exclamation: return MB_ICONEXCLAMATION;
        case MsgIcon::Question: return MB_ICONQUESTION;
        case MsgIcon::Critical: return MB_ICONERROR;
    }
    return 0;
}

UINT defaultButtonFlags(int defaultButton) {
    return defaultButton == 2 ? MB_DEFBUTTON2 : defaultButton == 3 ? MB_DEFBUTTON3 : MB_DEFBUTTON1;
}

MsgAnswer answerOf(int result) {
    switch (result) {
        case IDOK: return MsgAnswer::Ok;
        case IDYES: return MsgAnswer::Yes;
        case IDNO: return MsgAnswer::No;
        default: return MsgAnswer::Cancel;
    }
}

// The program file's name without its extension: the title when there is no
// application window to take it from.
std::wstring programName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return name.substr(0, name.find_last_of(L'.'));
}

}  // namespace

// Without an owner the box belongs to the active window, so that it stays above a
// topmost form rather than behind it.
MsgAnswer Win32Platform::showMessageBox(const MessageBoxRequest& request) {
    HWND owner = reinterpret_cast<HWND>(request.owner);
    if (!owner) {
        owner = GetActiveWindow();
    }
    std::wstring caption = request.caption;
    if (caption.empty()) {
        caption = m_state->appTitle.empty() ? programName() : m_state->appTitle;
    }
    const UINT flags = buttonFlags(request.buttons) | iconFlags(request.icon) |
                       defaultButtonFlags(request.defaultButton) | MB_SETFOREGROUND;
    return answerOf(MessageBoxW(owner, request.text.c_str(), caption.c_str(), flags));
}

}  // namespace plat::win32
